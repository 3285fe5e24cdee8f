#include "core/library/alloy_edit.h"

#include <algorithm>
#include <cstdio>

#include "core/library/alloy_groups.h"
#include "core/platform/prompter.h"

namespace ravik {

namespace {

constexpr std::array<const char*, kEditPairCount> kEditPairLabels = {
    "Ti", "V",  "Cr", "Mn", "Fe", "Co", "Ni", "Cu", "Zn", "W",  "Pb", "Hf",
    "Ta", "W",  "Re", "Bi", "Zr", "Nb", "Mo", "Al", "Ag", "Pd", "Sn"};

// Slots from this one on are shown four pairs further down.
int FirstShiftedSlot(int group) { return group == kTaHfGroup ? 7 : 11; }

std::string Percent(int32_t hundredths) {
    char text[32];
    std::snprintf(text, sizeof text, "%5.2f", hundredths / 100.0);
    return text;
}

// The first failing check of one slot's pair, or nullptr when it may be stored.
const char* PairProblem(const std::optional<int32_t>& low, const std::optional<int32_t>& high) {
    if (!low || !high) return "Please Enter a Valid Nubmber";
    if (*low > *high) return "Lo Must be less than Hi";
    if (*high > kMaxLimit) return "Value Can Not Greater Than 100%";
    return nullptr;
}

// Offers to move an alloy whose limits belong to another group; returns its index afterwards.
int OfferRegrouping(AlloyLibrary& library, int alloy, Prompter& prompter) {
    const int group = GroupOfAlloy(library, alloy);
    if (group > kLastCheckedGroup) return alloy;
    const int proper = ProperGroup(library.alloys[static_cast<size_t>(alloy)]);
    if (proper == group) return alloy;
    const std::string question = std::string("Group is: ") + kAlloyGroupNames[static_cast<size_t>(group)] +
                                 "\r\n Should Be: " + kAlloyGroupNames[static_cast<size_t>(proper)] +
                                 "\r\nWould You Like to Re-Group?";
    if (prompter.ask(question, "Warning:Group Conflict", Buttons::YesNo, Icon::Question) == Answer::Yes) {
        return MoveAlloyToGroup(library, alloy, proper);
    }
    prompter.ask("Alloy May Not Be Displayed on QV-240", "Warning", Buttons::Ok, Icon::Exclamation);
    return alloy;
}

}  // namespace

std::string_view EditPairLabel(int pair) {
    if (pair < 0 || pair >= kEditPairCount) return {};
    return kEditPairLabels[static_cast<size_t>(pair)];
}

int EditPairOfSlot(int group, int slot) { return slot < FirstShiftedSlot(group) ? slot : slot + 4; }

std::optional<int> SlotOfEditPair(int group, int pair) {
    const int first = FirstShiftedSlot(group);
    if (pair < 0 || pair >= kEditPairCount) return std::nullopt;
    if (pair < first) return pair;
    if (pair < first + 4) return std::nullopt;
    return pair - 4;
}

EditPairTexts ShownEditPairs(const AlloyRecord& alloy, int group) {
    EditPairTexts texts;
    for (int slot = 0; slot < kLimitPairs; ++slot) {
        const LimitPair& pair = alloy.limits[static_cast<size_t>(slot)];
        if (pair.low < 0) continue;
        texts[static_cast<size_t>(EditPairOfSlot(group, slot))] = {Percent(pair.low), Percent(pair.high)};
    }
    return texts;
}

std::optional<int32_t> ParseLimit(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    if (i == text.size()) return -1;
    int64_t whole = 0;
    int64_t hundredths = 0;
    int decimals = -1;  // digits read after the point; -1 before it
    bool anyDigit = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.' && decimals < 0) {
            decimals = 0;
        } else if (c >= '0' && c <= '9') {
            anyDigit = true;
            if (decimals < 0) {
                whole = std::min<int64_t>(whole * 10 + (c - '0'), INT32_MAX);
            } else if (decimals < 2) {
                hundredths = hundredths * 10 + (c - '0');
                ++decimals;
            }
        } else {
            return std::nullopt;
        }
    }
    if (!anyDigit) return std::nullopt;
    if (decimals == 1) hundredths *= 10;
    return static_cast<int32_t>(std::min<int64_t>(whole * 100 + hundredths, INT32_MAX));
}

ApplyResult ApplyAlloyEdit(EditedLibrary& edited, int alloy, std::string_view newName,
                           const EditPairTexts& texts, Prompter& prompter) {
    AlloyLibrary& library = edited.library;
    if (alloy < 0 || alloy >= static_cast<int>(library.alloys.size())) return {false, alloy};
    if (!newName.empty() && !RenameAlloy(edited, alloy, newName, prompter)) return {false, alloy};
    const int group = GroupOfAlloy(library, alloy);
    AlloyRecord& record = library.alloys[static_cast<size_t>(alloy)];
    for (int slot = 0; slot < kLimitPairs; ++slot) {
        const EditPairText& text = texts[static_cast<size_t>(EditPairOfSlot(group, slot))];
        const std::optional<int32_t> low = ParseLimit(text.low);
        const std::optional<int32_t> high = ParseLimit(text.high);
        if (const char* problem = PairProblem(low, high)) {
            // The element is named so the user knows which of the 19 pairs to correct.
            const int pair = EditPairOfSlot(group, slot);
            prompter.error(std::string(EditPairLabel(pair)) + ": " + problem, "Error");
            return {false, alloy, pair};
        }
        LimitPair& stored = record.limits[static_cast<size_t>(slot)];
        if (stored != LimitPair{*low, *high}) edited.changed = true;
        stored = {*low, *high};
    }
    const int placed = OfferRegrouping(library, alloy, prompter);
    if (GroupOfAlloy(library, placed) != group) edited.changed = true;
    return {true, placed};
}

}  // namespace ravik
