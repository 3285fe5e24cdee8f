#include "core/library/alloy_groups.h"

#include <algorithm>

namespace ravik {

namespace {

enum Slot { Ti = 0, Fe = 4, Co = 5, Ni = 6, Cu = 7, Slot16 = 16 };

constexpr std::array<const char*, kLimitPairs> kSlotLabels = {
    "Ti", "V", "Cr", "Mn", "Fe", "Co", "Ni", "Cu", "Zn", "W",
    "Pb", "Bi", "Zr", "Nb", "Mo", "Al", "Ag", "Pd", "Sn"};
constexpr std::array<const char*, 4> kTaHfSlotLabels = {"Hf", "Ta", "W", "Re"};  // slots 7..10

}  // namespace

std::string_view ElementSlotLabel(int group, int slot) {
    if (slot < 0 || slot >= kLimitPairs) return {};
    if (group == kTaHfGroup && slot >= 7 && slot <= 10) return kTaHfSlotLabels[static_cast<size_t>(slot - 7)];
    return kSlotLabels[static_cast<size_t>(slot)];
}

int ProperGroup(const AlloyRecord& alloy) {
    auto low = [&](int slot) { return alloy.limits[static_cast<size_t>(slot)].low; };
    auto high = [&](int slot) { return alloy.limits[static_cast<size_t>(slot)].high; };
    if (low(Ni) > 2500 && low(Co) > 500) return 1;
    if (low(Cu) > 2500) return 2;
    if (low(Co) > 2500 && low(Ni) < 3000) return 3;
    if (low(Ni) > 2500 && low(Co) < 500) return 4;
    if (low(Ti) > 6000) return 5;
    if (low(Ni) < 2500 && low(Fe) > 4000) return 0;
    if (high(Slot16) > 8500) return 8;
    if (high(Ti) > 100) return 5;
    return 6;
}

std::array<int, kSearchIndexCount> GroupStarts(const AlloyLibrary& library) {
    const int count = static_cast<int>(library.alloys.size());
    std::array<int, kSearchIndexCount> starts{};
    for (int g = 1; g < kAlloyGroupCount; ++g) {
        starts[static_cast<size_t>(g)] =
            std::clamp(library.searchIndex[static_cast<size_t>(g)], starts[static_cast<size_t>(g - 1)], count);
    }
    starts[kAlloyGroupCount] = count;
    return starts;
}

int GroupOfAlloy(const AlloyLibrary& library, int alloy) {
    const std::array<int, kSearchIndexCount> starts = GroupStarts(library);
    int group = 0;
    for (int g = 1; g < kAlloyGroupCount; ++g) {
        if (starts[static_cast<size_t>(g)] <= alloy) group = g;
    }
    return group;
}

bool IsConsistentLibrary(const AlloyLibrary& library) {
    return library.alloys.size() <= static_cast<size_t>(kMaxAlloys) &&
           GroupStarts(library) == library.searchIndex;
}

}  // namespace ravik
