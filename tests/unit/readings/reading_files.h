#pragma once
// Building readings files inside the tests, field by field, and loading them.

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "make-sample/record_builder.h"
#include "core/readings/field_formatter.h"
#include "core/readings/mode_codes.h"
#include "core/readings/readings_loader.h"
#include "support/scripted_prompter.h"

namespace ravik::test {

// The mode word of a code and source bits in a file of this version.
inline uint16_t ModeWord(float version, int code, int sourceBits) {
    const ModeWordLayout layout = ModeWordLayoutFor(version);
    return static_cast<uint16_t>(code | (sourceBits << layout.sourceShift));
}

// A reading of the given code with two text fields and no elements.
inline sample::RecordSpec PlainReading(float version, int code, uint16_t instrumentNumber) {
    sample::RecordSpec recordSpec;
    recordSpec.instrumentNumber = instrumentNumber;
    recordSpec.modeWord = ModeWord(version, code, 2);
    recordSpec.measuringMillis = 30000;
    recordSpec.textFields[0] = "Site:Yard";
    return recordSpec;
}

// An element entry; value and precision in the entry's own units.
inline sample::ElementSpec Element(const char* name, double value, double precision, uint8_t flags = 0) {
    return sample::ElementSpec{name, flags, sample::PackTenth(value), sample::PackTenth(precision)};
}

// A version 6.0 Paint reading: lead and precision as shown (1.20 ...), a
// K value of 0.80, DI 2.5, and the instrument's class (the high four bits of
// the third entry's flags).
inline sample::RecordSpec PaintReading(uint16_t number, int classNibble, double lead = 1.2,
                                       double precision = 0.1) {
    sample::RecordSpec recordSpec = PlainReading(6.0f, 0, number);
    recordSpec.diWord = sample::PackMilli(2.5);
    recordSpec.elements = {Element("Pbl", lead * 1000, precision * 1000), Element("Pbk", 800, 100),
                           Element("Pbc", 0, 0, static_cast<uint8_t>(classNibble << 4))};
    return recordSpec;
}

struct TestFile {
    std::string versionText = "6.0";
    std::string site = "Mill Road";
    std::string title = "Test survey";
    std::optional<int> headerCount;  // default: the number of records
    std::vector<std::vector<uint8_t>> records;

    void add(const sample::RecordSpec& recordSpec) { records.push_back(sample::BuildRecord(recordSpec)); }
    std::vector<uint8_t> bytes() const {
        const int count = headerCount.value_or(static_cast<int>(records.size()));
        return sample::JoinFile(
            sample::BuildFileHeader(sample::StandardHeaderLines(count, title, versionText), site),
            records);
    }
    std::string text() const {
        const std::vector<uint8_t> b = bytes();
        return std::string(b.begin(), b.end());
    }
};

// A version 6.0 file of plain readings of these codes, numbered 1, 2, ...
inline TestFile FileOf(std::initializer_list<int> codes) {
    TestFile file;
    uint16_t number = 1;
    for (int code : codes) file.add(PlainReading(6.0f, code, number++));
    return file;
}

// A version 6.0 file of these readings, in this order.
inline TestFile FileWith(std::initializer_list<sample::RecordSpec> readings) {
    TestFile file;
    for (const sample::RecordSpec& reading : readings) file.add(reading);
    return file;
}

// Paint readings (QV numbers 20, 21, ...) with these texts in field 5, the
// Room cell, labelled `label`.
inline TestFile PaintRooms(const std::vector<std::string>& rooms, const std::string& label = "Room") {
    TestFile file;
    for (size_t i = 0; i < rooms.size(); ++i) {
        sample::RecordSpec recordSpec = PlainReading(6.0f, 0, static_cast<uint16_t>(20 + i));
        recordSpec.textFields[4] = label + ":" + rooms[i];
        file.add(recordSpec);
    }
    return file;
}

// A store loaded from a file built in the test, with the boxes the load showed.
struct LoadedStore {
    ReadingStore store;
    ScriptedPrompter prompter;
    Settings settings;  // what the cells are formatted with
    LoadOutcome outcome;

    explicit LoadedStore(const TestFile& file)
        : outcome(LoadReadingsBytes(store, file.bytes(), "test.qvr", kOpenCommand, prompter)) {}
    // The cells of reading n, its "No" cell showing n.
    ReadingFields format(int n) const {
        ReadingFields out;
        EXPECT_TRUE(FormatReadingFields(store, settings, n, store.record(n), out)) << "reading " << n;
        return out;
    }
    // The cells of the reading at row (from 0) of the mode's list.
    ReadingFields fields(Mode mode, size_t row) const {
        ReadingFields out;
        const int32_t n = store.list(mode).at(row);
        EXPECT_TRUE(FormatReadingFields(store, settings, static_cast<int>(row + 1), store.record(n), out));
        return out;
    }
    std::string cell(Mode mode, size_t row, int cell) const {
        return std::string(fields(mode, row).text[static_cast<size_t>(cell)].view());
    }
    std::string title(Mode mode, int slot) const {
        return std::string(store.titles[mode][static_cast<size_t>(slot)].view());
    }
};

// The store of a file that must load whole.
inline ReadingStore LoadStore(const TestFile& file) {
    ReadingStore store;
    ScriptedPrompter prompter;
    EXPECT_EQ(LoadReadingsBytes(store, file.bytes(), "test.qvr", kOpenCommand, prompter), LoadOutcome::Whole);
    return store;
}

}  // namespace ravik::test
