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
using Strings = std::vector<std::string>;
using Index13 = std::array<int, 13>;

constexpr int kFe = 4, kCo = 5, kNi = 6;

LibraryLine AlloyAt(int index) { return {"", 0, index}; }
LibraryLine Header(int group) { return {"", group, -1}; }

TEST(ParseLimit, ReadsHundredthsOfAPercentAndRefusesAnythingButDigitsAndOnePoint) {
    const std::pair<const char*, std::optional<int32_t>> cases[] = {
        {"", -1},          {"   ", -1},        {"0.29", 29},        {"4.35", 435},         {"12.345", 1234},
        {".5", 50},        {"7.", 700},        {"1.2.3", std::nullopt}, {".", std::nullopt}, {"1 2", std::nullopt},
        {"-1", std::nullopt}, {"1e2", std::nullopt},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(ParseLimit(text), expected) << '"' << text << '"';
}

TEST(ApplyAlloyEdit, NumberRulesAndTheirMessages) {
    struct Case {
        const char* low;
        const char* high;
        const char* message;  // nullptr: stored
        LimitPair stored;
    };
    const Case cases[] = {
        {" 12", "20", nullptr, {1200, 2000}},
        {"12 ", "20", "Please Enter a Valid Nubmber", {}},
        {"0", "100", nullptr, {0, 10000}},
        {"0", "100.01", "Value Can Not Greater Than 100%", {}},
        {"5", "", "Lo Must be less than Hi", {}},
        {"30", "20", "Lo Must be less than Hi", {}},
        {"", "", nullptr, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.low) + " / " + c.high);
        // The only alloy of BEGIN_CUST, never checked for its group; Ti's pair is pair 0.
        EditedLibrary edited{Library({{11, {Alloy("X")}}}), false};
        test::ScriptedPrompter prompter;
        EditPairTexts texts;
        texts[0] = {c.low, c.high};
        EXPECT_EQ(ApplyAlloyEdit(edited, 0, "", texts, prompter).stored, c.message == nullptr);
        EXPECT_EQ(edited.library.alloys[0].limits[0], c.stored);
        EXPECT_EQ(prompter.shown(), c.message ? Strings{std::string("Error: ") + c.message} : Strings{});
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
    const std::vector<LimitPair> pairs(alloy.limits.begin(), alloy.limits.begin() + 4);
    EXPECT_EQ(pairs, (std::vector<LimitPair>{{0, 50}, {200, 300}, {300, 400}, {500, 600}}));
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
    EXPECT_EQ(prompter.shown(), Strings{"Warning:Group Conflict: Group is: BEGIN_NI\r\n Should Be: BEGIN_NI_CO\r\n"
                                        "Would You Like to Re-Group?"});
    EXPECT_EQ(prompter.boxes()[0].buttons, Buttons::YesNo);
    EXPECT_EQ(result.alloy, 1);
    EXPECT_EQ(edited.library.alloys[1].name, "NiCo");
    EXPECT_EQ(GroupOfAlloy(edited.library, 1), 1);
    EXPECT_EQ(edited.library.searchIndex, (Index13{0, 1, 2, 2, 2, 3, 3, 3, 3, 3, 3, 3, 3}));
    EXPECT_TRUE(edited.changed);

    // Declining warns and leaves the alloy where it is.
    EditedLibrary declined = NickelCobaltUnderNickel();
    prompter.clear();
    prompter.queueAnswer(Answer::No);
    const ApplyResult kept = ApplyAlloyEdit(declined, 2, "", ShownEditPairs(declined.library.alloys[2], 4), prompter);
    EXPECT_TRUE(kept.stored);
    EXPECT_EQ(kept.alloy, 2);
    EXPECT_EQ(declined.library, NickelCobaltUnderNickel().library);
    EXPECT_FALSE(declined.changed);
    EXPECT_EQ(prompter.shown().back(), "Warning: Alloy May Not Be Displayed on QV-240");
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
    EditedLibrary edited{Library({{0, std::vector<AlloyRecord>(424, Alloy("A"))}}), false};
    test::ScriptedPrompter prompter;
    EXPECT_EQ(InsertAlloy(edited, AlloyAt(423), prompter), 424);
    EXPECT_EQ(edited.library.searchIndex[12], 425);
    EXPECT_EQ(InsertAlloy(edited, AlloyAt(0), prompter), std::nullopt);
    EXPECT_EQ(CopyAlloy(edited, AlloyAt(0), prompter), std::nullopt);
    EXPECT_EQ(edited.library.alloys.size(), 425u);
    EXPECT_EQ(prompter.shown(), Strings(2, "NOTICE: User Libray may\r\nnot be more than 425 Alloys"));
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
    EXPECT_EQ(edited.library.searchIndex, (Index13{0, 3, 4, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5}));
    EXPECT_EQ(CopyAlloy(edited, Header(0), prompter), std::nullopt);
    EXPECT_TRUE(edited.changed);
    EXPECT_TRUE(prompter.boxes().empty());
}

TEST(DeleteAlloy, DeletingAGroupsLastAlloyLowersEveryLaterStart) {
    EditedLibrary edited{Library({{0, {Alloy("304")}}, {2, {Alloy("C360")}}, {5, {Alloy("Ti6Al4V")}}}), false};
    EXPECT_FALSE(DeleteAlloy(edited, Header(2)));
    EXPECT_FALSE(edited.changed);
    ASSERT_TRUE(DeleteAlloy(edited, AlloyAt(1)));
    EXPECT_EQ(edited.library.searchIndex, (Index13{0, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2}));
    EXPECT_TRUE(edited.changed);
    EXPECT_NE(LibrarySourceText(edited.library).find("int searchIndex[13] = {0, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2};"),
              std::string::npos);
}

TEST(LibraryLists, GroupedListHasEveryHeaderAndSortedListOnlyAlloys) {
    const AlloyLibrary library = Library({{2, {Alloy("brass"), Alloy("Bronze")}}, {4, {Alloy("alloy 600")}}});
    Strings grouped;
    for (const LibraryLine& line : GroupedList(library)) {
        grouped.push_back(line.text + (line.isHeader() ? "" : " @" + std::to_string(line.alloy)));
    }
    EXPECT_EQ(grouped, (Strings{"BEGIN_FE", "BEGIN_NI_CO", "BEGIN_CU", "     brass @0", "     Bronze @1", "BEGIN_CO",
                                "BEGIN_NI", "     alloy 600 @2", "BEGIN_TI", "BEGIN_OTHER", "BEGIN_TA_HF", "BEGIN_AL",
                                "BEGIN_FE55", "BEGIN_SUB_FE55", "BEGIN_CUST"}));
    Strings sorted;
    for (const LibraryLine& line : SortedList(library)) sorted.push_back(line.text);
    EXPECT_EQ(sorted, (Strings{"     alloy 600", "     brass", "     Bronze"}));
}

TEST(EditPairs, TantalumHafniumGroupShowsSlotsSevenToTenInTheRightColumn) {
    EXPECT_EQ((std::vector<int>{EditPairOfSlot(0, 7), EditPairOfSlot(0, 11), EditPairOfSlot(kTaHfGroup, 7)}),
              (std::vector<int>{7, 15, 11}));
    EXPECT_EQ(SlotOfEditPair(0, 12), std::nullopt);
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
    EXPECT_FALSE(RenameAlloy(edited, 0, "A\"B", prompter));
    EXPECT_EQ(edited.library.alloys[0].name, "Super Duple");
    EXPECT_EQ(prompter.captions(), Strings{"Error"});
}

}  // namespace
}  // namespace ravik
