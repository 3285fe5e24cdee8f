#pragma once
// Small stores for the output tests, built record by record (version 6.0
// codes: Paint 0, Bulk 6, Thin 7, Alloy 12, Sign 4).

#include "unit/readings/reading_files.h"

namespace ravik::test {

inline constexpr int kPaintCode = 0;
inline constexpr int kBulkCode = 6;
inline constexpr int kThinCode = 7;
inline constexpr int kAlloyCode = 12;
inline constexpr int kSignCode = 4;

// Instrument seconds of 01:00:00 shown on the day that lies `days` after 1994-01-01.
inline uint32_t Day(int days) { return 3600 + 86400u * static_cast<uint32_t>(days); }

inline sample::RecordSpec Reading(int code, uint16_t number, uint16_t cycleIndex = 1, uint16_t cycleCount = 1) {
    sample::RecordSpec recordSpec = PlainReading(6.0f, code, number);
    recordSpec.cycleIndex = cycleIndex;
    recordSpec.cycleCount = cycleCount;
    return recordSpec;
}

// The store of a file of these readings, which must load whole.
inline ReadingStore StoreWith(std::initializer_list<sample::RecordSpec> readings) {
    return LoadStore(FileWith(readings));
}

}  // namespace ravik::test
