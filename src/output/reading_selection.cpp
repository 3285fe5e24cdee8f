#include "output/reading_selection.h"

namespace ravik {

namespace {

// A cycle's final result: 1 of 1, or 0 of b with b other than 1.
bool IsFinalResult(uint32_t index, uint32_t count) {
    return (index == 1 && count == 1) || (index == 0 && count != 1);
}

}  // namespace

int SelectionClass(const ReadingFields& fields, Mode mode, const Settings& settings) {
    return mode == Mode::Paint ? ClassifyPaintFields(fields, settings) : 2;
}

bool FieldsPassSelection(const ReadingFields& fields, uint32_t flags, ReadingSelection selection,
                         Mode mode, const Settings& settings) {
    if ((flags & Hidden) != 0) return false;
    if ((selection & SelectMarked) != 0 && (flags & Marked) == 0) return false;
    if ((selection & SelectSubResults) == 0 && mode != Mode::Alloy && mode != Mode::Paint &&
        !IsFinalResult(fields.cycleIndex, fields.cycleCount)) {
        return false;
    }
    switch (SelectionClass(fields, mode, settings)) {
        case 1: return (selection & SelectPositive) != 0;
        case 2: return (selection & SelectNegative) != 0;
        case 3:
        case 4: return (selection & SelectIncomplete) != 0;
        default: return false;
    }
}

bool PassesSelection(const ReadingStore& store, const Settings& settings, int32_t readingNumber,
                     ReadingSelection selection, Mode mode, int* readingClass) {
    ReadingFields fields;
    FormatReadingFields(store, settings, readingNumber, store.record(readingNumber), fields);
    if (readingClass != nullptr) *readingClass = SelectionClass(fields, mode, settings);
    return FieldsPassSelection(fields, store.flags(readingNumber), selection, mode, settings);
}

}  // namespace ravik
