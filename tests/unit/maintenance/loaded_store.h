#pragma once
// A store loaded from a readings file built inside the test.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "readings/field_formatter.h"
#include "readings/readings_loader.h"
#include "support/scripted_prompter.h"
#include "unit/readings/reading_files.h"

namespace ravik::test {

struct LoadedStore {
    ReadingStore store;
    ScriptedPrompter prompter;
    Settings settings;

    explicit LoadedStore(const TestFile& file) {
        const std::vector<uint8_t> bytes = file.bytes();
        EXPECT_EQ(LoadReadingsBytes(store, bytes, "test.qvr", kOpenCommand, prompter), LoadOutcome::Whole);
        prompter.clear();
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
};

}  // namespace ravik::test
