#include "core/output/reading_selection.h"

namespace ravik {

namespace {

// A cycle's final result: 1 of 1, or 0 of b with b other than 1.
bool IsFinalResult(uint32_t index, uint32_t count) {
    return (index == 1 && count == 1) || (index == 0 && count != 1);
}

bool Accepts(ReadingSelection selection, Mode mode, uint32_t flags, int readingClass, uint32_t cycleIndex,
             uint32_t cycleCount) {
    if ((flags & Hidden) != 0) return false;
    if ((selection & SelectMarked) != 0 && (flags & Marked) == 0) return false;
    if ((selection & SelectSubResults) == 0 && mode != Mode::Alloy && mode != Mode::Paint &&
        !IsFinalResult(cycleIndex, cycleCount)) {
        return false;
    }
    switch (readingClass) {
        case 1: return (selection & SelectPositive) != 0;
        case 2: return (selection & SelectNegative) != 0;
        case 3:
        case 4: return (selection & SelectIncomplete) != 0;
        default: return false;
    }
}

}  // namespace

int SelectionClass(const ReadingFields& fields, Mode mode, const Settings& settings) {
    return mode == Mode::Paint ? ClassifyPaintFields(fields, settings) : 2;
}

bool FieldsPassSelection(const ReadingFields& fields, uint32_t flags, ReadingSelection selection,
                         Mode mode, const Settings& settings) {
    return Accepts(selection, mode, flags, SelectionClass(fields, mode, settings), fields.cycleIndex,
                   fields.cycleCount);
}

bool PassesSelection(const ReadingStore& store, const Settings& settings, int32_t readingNumber,
                     ReadingSelection selection, Mode mode, int* readingClass) {
    const Bytes record = store.record(readingNumber);
    int classOfReading = 2;
    uint32_t cycleIndex = 0;
    uint32_t cycleCount = 0;
    if (mode == Mode::Paint) {
        ReadingFields fields;
        FormatReadingFields(store, settings, readingNumber, record, fields);
        classOfReading = ClassifyPaintFields(fields, settings);
    } else if (const RecordView view(record); view.hasHeader()) {
        // Only the paint classification needs the formatted fields; the
        // cycle pair is the one in the record's header.
        cycleIndex = view.header().cycleIndex;
        cycleCount = view.header().cycleCount;
    }
    if (readingClass != nullptr) *readingClass = classOfReading;
    return Accepts(selection, mode, store.flags(readingNumber), classOfReading, cycleIndex, cycleCount);
}

}  // namespace ravik
