#pragma once
// The numeric mode codes the instrument writes into a record's mode word,
// grouped by mode, and the mode-word layout, both decided by the file's
// instrument software version.

#include <array>
#include <cstdint>
#include <optional>

#include "core/readings/mode.h"

namespace ravik {

// The table's entries in their stored order (entry numbers 1..22); entry 0 is
// the fixed Paint code 0.
enum class CodeEntry : int {
    PaintFixed = 0,
    PaintCode1, PaintCode2, PaintCode3,
    SignCode1, SignCode2,
    BulkCode1,
    ThinCode1, ThinCode2, ThinCode3, ThinCode4, ThinCode5,
    AlloyCode1, AlloyCode2, AlloyCode3,
    BulkCode2, BulkCode3,
    SpareCode1, SpareCode2,
    AlloyCode4, AlloyCode5,
    SignCode3, SignCode4,
};
inline constexpr int kCodeEntryCount = 23;

// Codes no record carries are held as -1.
struct ModeCodeTable {
    std::array<int, kCodeEntryCount> codes{};

    int operator[](CodeEntry entry) const { return codes[static_cast<size_t>(entry)]; }
    bool is(int code, CodeEntry entry) const { return code >= 0 && code == (*this)[entry]; }

    // The mode group of a code, or nothing for a code of no group (the spare
    // codes and unknown ones).
    std::optional<Mode> groupOf(int code) const;
    // AlloyCode1..5, BulkCode2 and BulkCode3.
    bool isAlloyLike(int code) const;
    // The codes whose element precision of 0 or less is shown as is:
    // AlloyCode1, BulkCode2, BulkCode3, AlloyCode4 and AlloyCode5.
    bool showsNonPositivePrecision(int code) const;
    bool isSign(int code) const { return groupOf(code) == Mode::Sign; }
};

// The table for a version: 5.1 < version < 6.0 and 6.0 and above. Before the
// first load the table holds the values of 5.1 < version < 6.0.
ModeCodeTable ModeCodeTableFor(float fileVersion);

// Versions are compared as single-precision numbers against the
// double-precision constants 5.1, 5.5 and 6.0.
inline bool VersionAbove51(float version) { return double{version} > 5.1; }

struct ModeWordLayout {
    uint16_t codeMask = 4095;
    int sourceShift = 12;
    int code(uint16_t modeWord) const { return modeWord & codeMask; }
    int sourceBits(uint16_t modeWord) const { return modeWord >> sourceShift; }
};

// Below 5.5: mask 4095, source bits from bit 12; from 5.5: mask 8191, from bit 13.
ModeWordLayout ModeWordLayoutFor(float fileVersion);

// The list a reading of this code goes to when a file is loaded: the code's
// group; codes of no group go to Paint. For version 5.1 and below the code is
// the mode index itself, and 8 and 9 also mean Paint (other codes go to Paint).
Mode ListModeOfCode(const ModeCodeTable& table, float fileVersion, int code);

}  // namespace ravik
