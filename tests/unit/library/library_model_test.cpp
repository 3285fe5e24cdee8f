#include <gtest/gtest.h>

#include "library/alloy_edit.h"
#include "library/alloy_groups.h"
#include "library/library_model.h"
#include "library/library_source.h"
#include "library_builder.h"
#include "support/scripted_prompter.h"

namespace ravik {
namespace {

using test::Alloy;
using test::Library;

constexpr int kFe = 4, kCo = 5, kNi = 6;

LibraryLine AlloyAt(int index) { return {"", 0, index}; }
LibraryLine Header(int group) { return {"", group, -1}; }

TEST(ParseLimit, ReadsHundredthsOfAPercentAndRefusesAnythingButDigitsAndOnePoint) {
    const std::pair<const char*, std::optional<int32_t>> cases[] = {
        {" 12", 1200},     {"12 ", std::nullopt}, {"100", 10000},      {"100.01", 10001},
        {"", -1},          {"   ", -1},           {"0.29", 29},        {"4.35", 435},
        {"12.345", 1234},  {".5", 50},            {"7.", 700},         {"1.2.3", std::nullopt},
        {".", std::nullopt}, {"1 2", std::nullopt}, {"-1", std::nullopt}, {"1e2", std::nullopt},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(ParseLimit(text), expected) << '"' << text << '"';
}

// Apply on the only alloy of BEGIN_CUST (never checked for its group) with
// the given texts in Ti's edit pair (pair 0).
struct ApplyCase {
    const char* low;
    const char* high;
    const char* message;  // nullptr: stored
    LimitPair stored;
};

TEST(ApplyAlloyEdit, NumberRulesAndTheirMessages) {
    const ApplyCase cases[] = {
        {" 12", "20", nullptr, {1200, 2000}},
        {"12 ", "20", "Please Enter a Valid Nubmber", {}},
        {"0", "100", nullptr, {0, 10000}},
        {"0", "100.01", "Value Can Not Greater Than 100%", {}},
        {"5", "", "Lo Must be less than Hi", {}},
        {"30", "20", "Lo Must be less than Hi", {}},
        {"", "", nullptr, {}},
    };
    for (const ApplyCase& c : cases) {
        SCOPED_TRACE(std::string(c.low) + " / " + c.high);
        EditedLibrary edited{Library({{11, {Alloy("X")}}}), false};
        test::ScriptedPrompter prompter;
        EditPairTexts texts;
        texts[0] = {c.low, c.high};
        const ApplyResult result = ApplyAlloyEdit(edited, 0, "", texts, prompter);
        EXPECT_EQ(result.stored, c.message == nullptr);
        EXPECT_EQ(edited.library.alloys[0].limits[0], c.stored);
        if (c.message != nullptr) {
            ASSERT_EQ(prompter.boxes().size(), 1u);
            EXPECT_EQ(prompter.boxes()[0].text, c.message);
            EXPECT_EQ(prompter.boxes()[0].caption, "Error");
        } else {
            EXPECT_TRUE(prompter.boxes().empty());
        }
    }
}

TEST(ApplyAlloyEdit, TheFailingSlotKeepsItsPairAndEarlierSlotsTheirNewOnes) {
    EditedLibrary edited{Library({{6, {Alloy("X", {{1, {100, 200}}, {2, {300, 400}}, {3, {500, 600}}})}}}), false};
    test::ScriptedPrompter prompter;
    EditPairTexts texts = ShownEditPairs(edited.library.alloys[0], 6);
    texts[0] = {"0", "0.5"};
    texts[1] = {"2", "3"};
    texts[2] = {"9", "x"};
    texts[3] = {"7", "8"};
    EXPECT_FALSE(ApplyAlloyEdit(edited, 0, "Renamed", texts, prompter).stored);
    const AlloyRecord& alloy = edited.library.alloys[0];
    EXPECT_EQ(alloy.name, "Renamed");
    EXPECT_EQ(alloy.limits[0], (LimitPair{0, 50}));
    EXPECT_EQ(alloy.limits[1], (LimitPair{200, 300}));
    EXPECT_EQ(alloy.limits[2], (LimitPair{300, 400}));
    EXPECT_EQ(alloy.limits[3], (LimitPair{500, 600}));
    EXPECT_TRUE(edited.changed);
}

// A nickel-cobalt alloy filed under BEGIN_NI, behind one BEGIN_FE alloy.
EditedLibrary NickelCobaltUnderNickel() {
    return {Library({{0, {Alloy("304")}},
                     {4, {Alloy("Alloy 600"), Alloy("NiCo", {{kNi, {3000, 4000}}, {kCo, {600, 900}}})}}}),
            false};
}

TEST(ApplyAlloyEdit, AGroupConflictOffersToRegroupAsTheProperGroupsFirstAlloy) {
    EditedLibrary edited = NickelCobaltUnderNickel();
    test::ScriptedPrompter prompter;
    const ApplyResult result = ApplyAlloyEdit(edited, 2, "", ShownEditPairs(edited.library.alloys[2], 4), prompter);
    ASSERT_TRUE(result.stored);
    ASSERT_EQ(prompter.boxes().size(), 1u);
    EXPECT_EQ(prompter.boxes()[0].text, "Group is: BEGIN_NI\r\n Should Be: BEGIN_NI_CO\r\nWould You Like to Re-Group?");
    EXPECT_EQ(prompter.boxes()[0].caption, "Warning:Group Conflict");
    EXPECT_EQ(prompter.boxes()[0].buttons, Buttons::YesNo);
    EXPECT_EQ(result.alloy, 1);
    EXPECT_EQ(edited.library.alloys[1].name, "NiCo");
    EXPECT_EQ(GroupOfAlloy(edited.library, 1), 1);
    EXPECT_EQ(edited.library.searchIndex, (std::array<int, 13>{0, 1, 2, 2, 2, 3, 3, 3, 3, 3, 3, 3, 3}));
    EXPECT_TRUE(edited.changed);
}

TEST(ApplyAlloyEdit, DecliningTheRegroupingWarnsAndLeavesTheAlloy) {
    EditedLibrary edited = NickelCobaltUnderNickel();
    const AlloyLibrary before = edited.library;
    test::ScriptedPrompter prompter;
    prompter.queueAnswer(Answer::No);
    const ApplyResult result = ApplyAlloyEdit(edited, 2, "", ShownEditPairs(edited.library.alloys[2], 4), prompter);
    EXPECT_TRUE(result.stored);
    EXPECT_EQ(result.alloy, 2);
    EXPECT_EQ(edited.library, before);
    EXPECT_FALSE(edited.changed);
    ASSERT_EQ(prompter.boxes().size(), 2u);
    EXPECT_EQ(prompter.boxes()[1].text, "Alloy May Not Be Displayed on QV-240");
    EXPECT_EQ(prompter.boxes()[1].caption, "Warning");
}

TEST(ProperGroup, TheFirstRuleThatHoldsDecides) {
    const std::pair<AlloyRecord, int> cases[] = {
        {Alloy("", {{kNi, {3000, 0}}, {kCo, {600, 0}}}), 1},
        {Alloy("", {{kNi, {3000, 0}}, {7, {2600, 0}}}), 2},  // Ni-Co not met (Co unset): Cu
        {Alloy("", {{kCo, {2600, 0}}, {kNi, {2900, 0}}}), 1},  // Ni above 2500 takes rule 1
        {Alloy("", {{kCo, {2600, 0}}}), 3},                    // Ni not set counts as -1
        {Alloy("", {{kNi, {2600, 0}}, {kCo, {400, 0}}}), 4},
        {Alloy("", {{0, {6100, 0}}}), 5},
        {Alloy("", {{kFe, {4100, 0}}}), 0},
        {Alloy("", {{16, {0, 8600}}}), 8},
        {Alloy("", {{0, {0, 101}}}), 5},
        {Alloy("", {{kNi, {2500, 0}}, {kCo, {500, 0}}}), 6},
        {Alloy(""), 6},
    };
    for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(ProperGroup(cases[i].first), cases[i].second) << i;
}

TEST(InsertAlloy, FillsTheLibraryTo425AndThenRefuses) {
    std::vector<AlloyRecord> alloys(424, Alloy("A"));
    EditedLibrary edited{Library({{0, alloys}}), false};
    test::ScriptedPrompter prompter;
    EXPECT_EQ(InsertAlloy(edited, AlloyAt(423), prompter), 424);
    EXPECT_EQ(edited.library.alloys.size(), 425u);
    EXPECT_EQ(edited.library.searchIndex[12], 425);
    EXPECT_EQ(InsertAlloy(edited, AlloyAt(0), prompter), std::nullopt);
    EXPECT_EQ(CopyAlloy(edited, AlloyAt(0), prompter), std::nullopt);
    EXPECT_EQ(edited.library.alloys.size(), 425u);
    ASSERT_EQ(prompter.boxes().size(), 2u);
    EXPECT_EQ(prompter.boxes()[0].text, "User Libray may\r\nnot be more than 425 Alloys");
    EXPECT_EQ(prompter.boxes()[0].caption, "NOTICE");
    EXPECT_EQ(prompter.boxes()[0].icon, Icon::Stop);
}

TEST(InsertAlloy, GoesAfterTheSelectedLineInItsGroup) {
    EditedLibrary edited{Library({{0, {Alloy("304"), Alloy("316")}}, {2, {Alloy("C360")}}}), false};
    test::ScriptedPrompter prompter;
    // After a header of an empty group: that group's first alloy.
    EXPECT_EQ(InsertAlloy(edited, Header(1), prompter), 2);
    EXPECT_EQ(edited.library.alloys[2], Alloy(kNewAlloyName));
    EXPECT_EQ(GroupOfAlloy(edited.library, 2), 1);
    // Copy after the first alloy: the same limits, in BEGIN_FE.
    edited.library.alloys[0].limits[kFe] = {6000, 7000};
    EXPECT_EQ(CopyAlloy(edited, AlloyAt(0), prompter), 1);
    EXPECT_EQ(edited.library.alloys[1].name, kNewAlloyName);
    EXPECT_EQ(edited.library.alloys[1].limits[kFe], (LimitPair{6000, 7000}));
    EXPECT_EQ(edited.library.searchIndex, (std::array<int, 13>{0, 3, 4, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5}));
    EXPECT_EQ(CopyAlloy(edited, Header(0), prompter), std::nullopt);
    EXPECT_TRUE(edited.changed);
    EXPECT_TRUE(prompter.boxes().empty());
}

TEST(DeleteAlloy, DeletingAGroupsLastAlloyLowersEveryLaterStart) {
    EditedLibrary edited{Library({{0, {Alloy("304")}}, {2, {Alloy("C360")}}, {5, {Alloy("Ti6Al4V")}}}), false};
    EXPECT_FALSE(DeleteAlloy(edited, Header(2)));
    EXPECT_FALSE(edited.changed);
    ASSERT_TRUE(DeleteAlloy(edited, AlloyAt(1)));
    EXPECT_EQ(edited.library.searchIndex, (std::array<int, 13>{0, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2}));
    EXPECT_TRUE(edited.changed);
    EXPECT_NE(LibrarySourceText(edited.library).find("int searchIndex[13] = {0, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2};"),
              std::string::npos);
}

TEST(LibraryLists, GroupedListHasEveryHeaderAndSortedListOnlyAlloys) {
    const AlloyLibrary library = Library({{2, {Alloy("brass"), Alloy("Bronze")}}, {4, {Alloy("alloy 600")}}});
    const std::vector<LibraryLine> grouped = GroupedList(library);
    ASSERT_EQ(grouped.size(), 15u);
    EXPECT_EQ(grouped[0].text, "BEGIN_FE");
    EXPECT_TRUE(grouped[0].isHeader());
    EXPECT_EQ(grouped[2].text, "BEGIN_CU");
    EXPECT_EQ(grouped[3].text, "     brass");
    EXPECT_EQ(grouped[3].group, 2);
    EXPECT_EQ(grouped[4].alloy, 1);
    EXPECT_EQ(grouped[14].text, "BEGIN_CUST");
    std::vector<std::string> sorted;
    for (const LibraryLine& line : SortedList(library)) sorted.push_back(line.text);
    EXPECT_EQ(sorted, (std::vector<std::string>{"     alloy 600", "     brass", "     Bronze"}));
}

TEST(EditPairs, TantalumHafniumGroupShowsSlotsSevenToTenInTheRightColumn) {
    EXPECT_EQ(EditPairOfSlot(0, 7), 7);
    EXPECT_EQ(EditPairOfSlot(0, 11), 15);
    EXPECT_EQ(SlotOfEditPair(0, 12), std::nullopt);
    EXPECT_EQ(EditPairOfSlot(kTaHfGroup, 7), 11);
    EXPECT_EQ(SlotOfEditPair(kTaHfGroup, 8), std::nullopt);
    for (int slot = 0; slot < kLimitPairs; ++slot) {
        for (int group : {0, kTaHfGroup}) {
            const int pair = EditPairOfSlot(group, slot);
            EXPECT_EQ(SlotOfEditPair(group, pair), slot);
            EXPECT_EQ(EditPairLabel(pair), ElementSlotLabel(group, slot)) << group << " " << slot;
        }
    }
    EXPECT_EQ(ElementSlotLabel(kTaHfGroup, 8), "Ta");
    EXPECT_EQ(ElementSlotLabel(0, 8), "Zn");
    const EditPairTexts shown = ShownEditPairs(Alloy("X", {{8, {2500, 10000}}, {9, {-1, 50}}}), kTaHfGroup);
    EXPECT_EQ(shown[12], (EditPairText{"25.00", "100.00"}));
    EXPECT_EQ(shown[13], EditPairText{});  // low not set: nothing shown
}

TEST(RenameAlloy, LongNamesAreCutAndQuotesRefused) {
    EditedLibrary edited{Library({{0, {Alloy("304")}}}), false};
    test::ScriptedPrompter prompter;
    ASSERT_TRUE(RenameAlloy(edited, 0, "Super Duplex 2507", prompter));
    EXPECT_EQ(edited.library.alloys[0].name, "Super Duple");
    EXPECT_FALSE(RenameAlloy(edited, 0, "A\"B", prompter));
    EXPECT_EQ(edited.library.alloys[0].name, "Super Duple");
    EXPECT_EQ(prompter.captions(), std::vector<std::string>{"Error"});
}

TEST(ConfirmLibraryClose, AsksOnlyWithUnsavedChanges) {
    test::ScriptedPrompter prompter;
    EditedLibrary edited;
    EXPECT_TRUE(ConfirmLibraryClose(edited, prompter));
    EXPECT_TRUE(prompter.boxes().empty());
    edited.changed = true;
    prompter.queueAnswer(Answer::No);
    EXPECT_FALSE(ConfirmLibraryClose(edited, prompter));
    EXPECT_EQ(prompter.boxes()[0].text, "Canceling will loose changes\nAre you sure?");
    EXPECT_EQ(prompter.boxes()[0].caption, "Warning");
}

}  // namespace
}  // namespace ravik
