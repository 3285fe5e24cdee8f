#pragma once
// The measurement modes. Every five-element table of the program is indexed
// in this order.

#include <array>

namespace ravik {

enum class Mode : int { Paint = 0, Bulk = 1, Thin = 2, Alloy = 3, Sign = 4 };

inline constexpr int kModeCount = 5;
inline constexpr std::array<Mode, kModeCount> kAllModes = {Mode::Paint, Mode::Bulk, Mode::Thin,
                                                           Mode::Alloy, Mode::Sign};

constexpr int Index(Mode mode) { return static_cast<int>(mode); }

// "PAINT", "BULK", ... as in report headers.
constexpr const char* UpperText(Mode mode) {
    constexpr const char* kTexts[] = {"PAINT", "BULK", "THIN", "ALLOY", "SIGN"};
    return kTexts[Index(mode)];
}

// "Paint", "Bulk", ... as in window titles.
constexpr const char* WindowText(Mode mode) {
    constexpr const char* kTexts[] = {"Paint", "Bulk", "Thin", "Alloy", "Sign"};
    return kTexts[Index(mode)];
}

}  // namespace ravik
