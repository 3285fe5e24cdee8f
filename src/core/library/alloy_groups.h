#pragma once
// The twelve alloy groups, the element each limit slot stands for, and the
// group an alloy's limits say it belongs to.

#include <array>
#include <string_view>

#include "core/library/alloy_library.h"

namespace ravik {

// AlloyGroup names by index; shown as the list's header lines and written as
// comments in the library source text.
inline constexpr std::array<const char*, kAlloyGroupCount> kAlloyGroupNames = {
    "BEGIN_FE", "BEGIN_NI_CO", "BEGIN_CU", "BEGIN_CO",  "BEGIN_NI",       "BEGIN_TI",
    "BEGIN_OTHER", "BEGIN_TA_HF", "BEGIN_AL", "BEGIN_FE55", "BEGIN_SUB_FE55", "BEGIN_CUST"};

// In this group slots 7 to 10 stand for Hf, Ta, W and Re.
inline constexpr int kTaHfGroup = 7;
// The groups whose alloys are checked against ProperGroup.
inline constexpr int kLastCheckedGroup = 8;

// ElementSlot: the element limit slot 0..18 stands for in the group.
std::string_view ElementSlotLabel(int group, int slot);

// The group an alloy's limits belong to (groups 0 to 8; the first rule that
// holds decides, limits not set take part as -1).
int ProperGroup(const AlloyRecord& alloy);

// The first library index of every group and, last, the alloy count, made
// to fit the alloys: starting at 0, never decreasing, never past the count.
// For a consistent library this is its searchIndex.
std::array<int, kSearchIndexCount> GroupStarts(const AlloyLibrary& library);

// The group an alloy's library index falls in.
int GroupOfAlloy(const AlloyLibrary& library, int alloy);

// True when searchIndex starts at 0, never decreases, ends at the alloy count
// and the count is at most 425.
bool IsConsistentLibrary(const AlloyLibrary& library);

}  // namespace ravik
