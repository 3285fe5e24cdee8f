#pragma once
// Alloy libraries built inside the tests.

#include <string>
#include <utility>
#include <vector>

#include "core/library/alloy_library.h"

namespace ravik::test {

struct GroupAlloys {
    int group;
    std::vector<AlloyRecord> alloys;
};

inline AlloyRecord Alloy(const std::string& name, std::vector<std::pair<int, LimitPair>> limits = {}) {
    AlloyRecord alloy;
    alloy.name = name;
    for (const auto& [slot, pair] : limits) alloy.limits[static_cast<size_t>(slot)] = pair;
    return alloy;
}

// A consistent library with these alloys in these groups (given in group order).
inline AlloyLibrary Library(const std::vector<GroupAlloys>& groups) {
    AlloyLibrary library;
    size_t next = 0;
    for (int g = 0; g < kAlloyGroupCount; ++g) {
        library.searchIndex[static_cast<size_t>(g)] = static_cast<int>(library.alloys.size());
        if (next < groups.size() && groups[next].group == g) {
            for (const AlloyRecord& alloy : groups[next].alloys) library.alloys.push_back(alloy);
            ++next;
        }
    }
    library.searchIndex[kAlloyGroupCount] = static_cast<int>(library.alloys.size());
    return library;
}

}  // namespace ravik::test
