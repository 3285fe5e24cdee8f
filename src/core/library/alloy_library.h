#pragma once
// The analyzer's user library of alloy grades: each alloy a name and a low
// and high limit per element, filed under one of twelve groups.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace ravik {

inline constexpr int kLimitPairs = 19;
inline constexpr int kAlloyGroupCount = 12;
inline constexpr int kSearchIndexCount = 13;
inline constexpr int kMaxAlloys = 425;
inline constexpr size_t kAlloyNameMaxLength = 11;

// Limits in hundredths of a percent (2500 = 25.00 %); -1 means not set.
struct LimitPair {
    int32_t low = -1;
    int32_t high = -1;
    bool operator==(const LimitPair&) const = default;
};

struct AlloyRecord {
    std::string name;  // at most 11 characters
    std::array<LimitPair, kLimitPairs> limits;
    bool operator==(const AlloyRecord&) const = default;
};

// The alloys in library order (group 0's first, then group 1's, ...) and
// searchIndex: entry g (0..11) is the library index of group g's first alloy,
// entry 12 the number of alloys.
struct AlloyLibrary {
    std::vector<AlloyRecord> alloys;
    std::array<int, kSearchIndexCount> searchIndex{};
    // False for a library from a file that did not read whole (alloys or
    // limits were dropped or corrected): such a library is never sent to the
    // analyzer, which would take it as complete.
    bool readWhole = true;
    bool operator==(const AlloyLibrary&) const = default;
};

}  // namespace ravik
