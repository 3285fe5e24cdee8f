#pragma once
// The library editor's limit edits: which of the 23 edit pairs shows which
// limit slot, the texts they show, and Apply with its number rules.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/library/library_model.h"

namespace ravik {

class Prompter;

inline constexpr int kEditPairCount = 23;
// Limits above this (100.00 %) are refused.
inline constexpr int32_t kMaxLimit = 10000;

// The label of edit pair e: Ti, V, Cr, Mn, Fe, Co, Ni, Cu, Zn, W, Pb, Hf, Ta,
// W, Re in the left column (0..14), Bi, Zr, Nb, Mo, Al, Ag, Pd, Sn in the
// right one (15..22).
std::string_view EditPairLabel(int pair);

// The edit pair that shows a slot: outside "BEGIN_TA_HF" pairs 0..10 show
// slots 0..10 and pairs 15..22 slots 11..18; in "BEGIN_TA_HF" pairs 0..6 show
// slots 0..6 and pairs 11..22 slots 7..18.
int EditPairOfSlot(int group, int slot);
// The slot an edit pair shows, or nothing for a pair that stays empty and disabled.
std::optional<int> SlotOfEditPair(int group, int pair);

struct EditPairText {
    std::string low;
    std::string high;
    bool operator==(const EditPairText&) const = default;
};
using EditPairTexts = std::array<EditPairText, kEditPairCount>;

// What the edit pairs show for an alloy: each slot whose low limit is 0 or
// more as low / 100 and high / 100 with "%5.2f"; all other pairs empty.
EditPairTexts ShownEditPairs(const AlloyRecord& alloy, int group);

// One limit edit read as Apply reads it: empty (or only blanks) is -1 (not
// set); otherwise leading blanks, then digits with at most one "." and at
// least one digit; the value is hundredths of a percent, further decimals cut
// off. Nothing for any other text ("12 " and "1 2" included).
std::optional<int32_t> ParseLimit(std::string_view text);

struct ApplyResult {
    bool stored = false;  // false: refused, the editor stays in edit mode
    int alloy = 0;        // the alloy's library index afterwards (re-grouping moves it)
    int failedPair = -1;  // the edit pair whose limits were refused, or -1
};

// Apply on the alloy at index: a non-empty newName renames it first (a
// refused name stops Apply there); then every used slot's pair is read from
// its edit pair in slot order and checked ("Please Enter a Valid Nubmber",
// "Lo Must be less than Hi", "Value Can Not Greater Than 100%", captioned
// "Error", each after the element's label, as in "Pb: Lo Must be less than
// Hi"). The first slot that fails keeps its previous pair, slots before it
// keep their new ones, and Apply stops there, naming the failing edit pair.
// When all are stored, an alloy of groups 0 to 8 whose ProperGroup differs is
// offered to be re-grouped ("Warning:Group Conflict"): Yes moves it to the
// proper group as its first alloy, No warns "Alloy May Not Be Displayed on QV-240".
ApplyResult ApplyAlloyEdit(EditedLibrary& edited, int alloy, std::string_view newName,
                           const EditPairTexts& texts, Prompter& prompter);

}  // namespace ravik
