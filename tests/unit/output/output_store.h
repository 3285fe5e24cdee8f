#pragma once
// Small stores for the output tests, built record by record (version 6.0
// codes: Paint 0, Bulk 6, Thin 7, Alloy 12, Sign 4).

#include <gtest/gtest.h>

#include "readings/readings_loader.h"
#include "support/scripted_prompter.h"
#include "unit/readings/reading_files.h"

namespace ravik::test {

inline constexpr int kPaintCode = 0;
inline constexpr int kBulkCode = 6;
inline constexpr int kThinCode = 7;
inline constexpr int kAlloyCode = 12;
inline constexpr int kSignCode = 4;

// Instrument seconds of 01:00:00 shown on the day that lies `days` after 1994-01-01.
inline uint32_t Day(int days) { return 3600 + 86400u * static_cast<uint32_t>(days); }

inline sample::ElementSpec Element(const char* name, double value, double precision, uint8_t flags = 0) {
    return sample::ElementSpec{name, flags, sample::PackTenth(value), sample::PackTenth(precision)};
}

inline sample::RecordSpec Reading(int code, uint16_t number, uint16_t cycleIndex = 1, uint16_t cycleCount = 1) {
    sample::RecordSpec recordSpec = PlainReading(6.0f, code, number);
    recordSpec.cycleIndex = cycleIndex;
    recordSpec.cycleCount = cycleCount;
    return recordSpec;
}

// A Paint reading whose instrument class (the high four bits of the third
// entry's flags) is classNibble; lead and precision as shown (1.20 and so on).
inline sample::RecordSpec PaintReading(uint16_t number, int classNibble, double lead = 1.2,
                                       double precision = 0.1) {
    sample::RecordSpec recordSpec = Reading(kPaintCode, number);
    recordSpec.elements = {Element("Pbl", lead * 1000, precision * 1000), Element("Pbk", 0, 0),
                     Element("Pbc", 0, 0, static_cast<uint8_t>(classNibble << 4))};
    return recordSpec;
}

inline ReadingStore LoadStore(const TestFile& file) {
    ReadingStore store;
    ScriptedPrompter prompter;
    const std::vector<uint8_t> bytes = file.bytes();
    EXPECT_EQ(LoadReadingsBytes(store, bytes, "test.qvr", kOpenCommand, prompter), LoadOutcome::Whole);
    return store;
}

}  // namespace ravik::test
