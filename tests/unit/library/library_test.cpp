#include <gtest/gtest.h>

#include "core/library/alloy_edit.h"
#include "core/library/alloy_groups.h"
#include "core/library/library_model.h"
#include "core/library/library_source.h"
#include "library_builder.h"
#include "support/scripted_prompter.h"
#include "support/temp_dir.h"

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
        EXPECT_EQ(prompter.shown(), c.message ? Strings{std::string("Error: Ti: ") + c.message} : Strings{});
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
    const ApplyResult result = ApplyAlloyEdit(edited, 0, "Renamed", texts, prompter);
    EXPECT_FALSE(result.stored);
    EXPECT_EQ(result.failedPair, 2);
    EXPECT_EQ(prompter.shown(), Strings{"Error: Cr: Please Enter a Valid Nubmber"});
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
    EXPECT_EQ(edited.library.searchIndex, (Index13{0, 1, 2, 2, 2, 3, 3, 3, 3, 3, 3, 3, 3}));
    EXPECT_TRUE(edited.changed);

    // Declining warns and leaves the alloy where it is.
    EditedLibrary declined = NickelCobaltUnderNickel();
    prompter.clear();
    prompter.queueAnswer(Answer::No);
    const ApplyResult kept = ApplyAlloyEdit(declined, 2, "", ShownEditPairs(declined.library.alloys[2], 4), prompter);
    EXPECT_TRUE(kept.stored);
    EXPECT_EQ(declined.library, NickelCobaltUnderNickel().library);
    EXPECT_FALSE(declined.changed);
    EXPECT_EQ(prompter.shown().back(), "Warning: Alloy May Not Be Displayed on QV-240");
}

TEST(ProperGroup, TheFirstRuleThatHoldsDecides) {
    const std::pair<AlloyRecord, int> cases[] = {
        {Alloy("", {{kNi, {3000, 0}}, {kCo, {600, 0}}}), 1},
        {Alloy("", {{kNi, {3000, 0}}, {7, {2600, 0}}}), 2},  // Ni-Co not met (Co unset): Cu
        {Alloy("", {{7, {2500, 0}}}), 6},                     // Cu of 25.00 % is not above 25 %
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

TEST(InsertAlloy, GoesAfterTheSelectedLineInItsGroupUpTo425Alloys) {
    EditedLibrary edited{Library({{0, {Alloy("304"), Alloy("316")}}, {2, {Alloy("C360")}}}), false};
    test::ScriptedPrompter prompter;
    // After a header of an empty group: that group's first alloy.
    EXPECT_EQ(InsertAlloy(edited, Header(1), prompter), 2);
    EXPECT_EQ(edited.library.alloys[2], Alloy(kNewAlloyName));
    // Copy after the first alloy: the same limits, in BEGIN_FE.
    edited.library.alloys[0].limits[kFe] = {6000, 7000};
    EXPECT_EQ(CopyAlloy(edited, AlloyAt(0), prompter), 1);
    EXPECT_EQ(edited.library.alloys[1].limits[kFe], (LimitPair{6000, 7000}));
    EXPECT_EQ(edited.library.searchIndex, (Index13{0, 3, 4, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5}));
    EXPECT_EQ(CopyAlloy(edited, Header(0), prompter), std::nullopt);
    EXPECT_TRUE(edited.changed);
    EXPECT_TRUE(prompter.boxes().empty());

    // The library holds at most 425 alloys.
    EditedLibrary full{Library({{0, std::vector<AlloyRecord>(424, Alloy("A"))}}), false};
    EXPECT_EQ(InsertAlloy(full, AlloyAt(423), prompter), 424);
    EXPECT_EQ(InsertAlloy(full, AlloyAt(0), prompter), std::nullopt);
    EXPECT_EQ(CopyAlloy(full, AlloyAt(0), prompter), std::nullopt);
    EXPECT_EQ(prompter.shown(), Strings(2, "NOTICE: User Libray may\r\nnot be more than 425 Alloys"));
    EXPECT_EQ(prompter.boxes()[0].icon, Icon::Stop);
}

TEST(DeleteAlloy, DeletingAGroupsLastAlloyLowersEveryLaterStart) {
    EditedLibrary edited{Library({{0, {Alloy("304")}}, {2, {Alloy("C360")}}, {5, {Alloy("Ti6Al4V")}}}), false};
    EXPECT_FALSE(DeleteAlloy(edited, Header(2)));
    EXPECT_FALSE(edited.changed);
    ASSERT_TRUE(DeleteAlloy(edited, AlloyAt(1)));
    EXPECT_EQ(edited.library.searchIndex, (Index13{0, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2}));
    EXPECT_TRUE(edited.changed);
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

std::string Repeat(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

const std::string kUnsetPair = "   -1,\t   -1,          ";

TEST(LibrarySourceText, TwoCopperAlloysByteForByte) {
    const AlloyLibrary library =
        Library({{2, {Alloy("Zn", {{8, {9000, 10000}}}), Alloy("Brass", {{7, {6000, 7000}}, {8, {3000, 4000}}})}}});
    const std::string expected =
        "#ifndef BASICLIB\r\n#ifdef PRECIOUS_METALS\r\n\t#define NELEMENTRESULT 13\r\n#else\r\n"
        "\t#define NELEMENTRESULT 19\r\n#endif\r\n\r\n"
        "#define LO \t0 \r\n#define HI \t1 \r\n#define ELEMENT_RES \t100.0\r\n"
        "#define LO \t0 \r\n#define HI \t1 \r\n#define ELEMENT_RES \t100.0\r\n"
        "#define NALLOY \t2\r\n\r\n"
        "\t#define OTHER_ZN\t0\r\n#endif#ifdef DEFINE_LIBRARY\r\n"
        "const ALLOY_STRUCT assayLibrary[NALLOY] = \r\n\t{\r\n"
        "/*BEGIN_CU*/\r\n"
        "\t/*  0*/\t{\"Zn\" ,          " + Repeat(kUnsetPair, 8) + " 9000,\t10000,          " +
        Repeat(kUnsetPair, 9) + "   -1,\t   -1, 0},\r\n" +
        "\t/*  1*/\t{\"Brass\" ,          " + Repeat(kUnsetPair, 7) + " 6000,\t 7000,           3000,\t 4000,          " +
        Repeat(kUnsetPair, 9) + "   -1,\t   -1, 0},\r\n" +
        "};\r\n"
        "\r\n\r\n\r\n\tint searchIndex[13] = {0, 0, 0, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2};\r\n\r\n"
        "#else\r\n\textern char libraryVer[10];\r\n\textern ALLOY_STRUCT assayLibrary[NALLOY];\r\n"
        "\textern int searchIndex[13];\r\n#endif\r\n\r\n"
        "\r\n#endif";
    EXPECT_EQ(LibrarySourceText(library), expected);
}

struct ReadBack {
    AlloyLibrary library;
    Strings notes;
};
ReadBack Read(const std::string& text) {
    ReadBack read;
    read.library = ReadLibrarySourceText(text, read.notes);
    return read;
}

TEST(ReadLibrarySourceText, WritingAndReadingBackGivesTheSameLibrary) {
    const AlloyLibrary library = Library({
        {0, {Alloy("316L", {{2, {1600, 1800}}, {6, {1000, 1400}}}), Alloy("searchIndex")}},
        {2, {Alloy("C36000", {{7, {6000, 6300}}, {10, {250, 370}}})}},
        {7, {Alloy("Ta-10W", {{8, {8800, 10000}}, {9, {900, 1100}}})}},
        {11, {Alloy("Custom, 1", {{0, {0, 0}}, {18, {-5, 2147483647}}})}},
    });
    EXPECT_EQ(Read(LibrarySourceText(library)).library, library);
    EXPECT_EQ(Read(LibrarySourceText(library)).notes, Strings{});
    EXPECT_EQ(Read(LibrarySourceText(AlloyLibrary{})).library, AlloyLibrary{});
}

TEST(ReadLibrarySourceText, ABareLineFeedFileStopsAtItsEmptyLine) {
    const std::string row = "{\"A\" , 1, 2, 0},\n";
    const ReadBack read = Read("x\nconst ALLOY_STRUCT assayLibrary[NALLOY] =\n\t{\n/*BEGIN_FE*/\n" + row + row + "\n" +
                               row + "};\n\tint searchIndex[13] = {0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};\n");
    EXPECT_EQ(read.library.alloys.size(), 2u);
    EXPECT_EQ(read.library.searchIndex[1], 2);  // the index was never reached: all in BEGIN_FE
    EXPECT_EQ(read.library.alloys[0].limits[0], (LimitPair{1, 2}));
    EXPECT_NE(std::find(read.notes.begin(), read.notes.end(),
                        "No searchIndex was read: every alloy is filed under BEGIN_FE"),
              read.notes.end());
}

std::string Row(const std::string& name, int pairs) {
    std::string row = "\t/*  0*/\t{\"" + name + "\" ,          ";
    for (int p = 0; p < pairs; ++p) row += std::to_string(p) + ",\t" + std::to_string(100 + p) + ",          ";
    return row + " 0},\r\n";
}

std::string LibraryText(const std::string& rows, const std::string& searchIndex) {
    return "#ifdef DEFINE_LIBRARY\r\nconst ALLOY_STRUCT assayLibrary[NALLOY] = \r\n\t{\r\n" + rows +
           "};\r\n\r\n\tint searchIndex[13] = {" + searchIndex + "};\r\n\r\n#else\r\n";
}

TEST(ReadLibrarySourceText, RowsAreReadLeniently) {
    // Another pair count: the first nineteen pairs are kept.
    ReadBack read = Read(LibraryText(Row("Short", 17) + Row("Long", 21), "0, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2"));
    ASSERT_EQ(read.library.alloys.size(), 2u);
    EXPECT_EQ(read.library.alloys[0].limits[16], (LimitPair{16, 116}));
    EXPECT_EQ(read.library.alloys[0].limits[17], LimitPair{});
    EXPECT_EQ(read.library.alloys[1].limits[18], (LimitPair{18, 118}));
    EXPECT_EQ(read.notes, (Strings{"Short: 17 limit pairs; the others are not set",
                                   "Long: 21 limit pairs; those after the 19th were dropped"}));

    // Limits read as longs stop at the 32-bit range; long names are cut and broken rows skipped.
    read = Read(LibraryText("{\"X\" , \t 25x, +7, -99999999999, 99999999999, , abc, 0},\r\n" +
                                Row("Inconel 625 LCF", 19) + "\t{\"Broken , 1, 2, 0},\r\n",
                            "0, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2"));
    ASSERT_EQ(read.library.alloys.size(), 2u);
    EXPECT_EQ(read.library.alloys[0].limits[0], (LimitPair{25, 7}));
    EXPECT_EQ(read.library.alloys[0].limits[1], (LimitPair{INT32_MIN, INT32_MAX}));
    EXPECT_EQ(read.library.alloys[0].limits[2], (LimitPair{0, 0}));
    EXPECT_EQ(read.library.alloys[1].name, "Inconel 625");

    // A row longer than the line buffer: the number cut at its end is not read as a limit.
    std::string wide = "{\"Wide\" , 1, 2, 3, 4, 5,";
    wide.resize(kLibraryLineLimit - 2, ' ');
    read = Read(LibraryText(wide + "12345, 6, 0},\r\n", "0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1"));
    ASSERT_EQ(read.library.alloys.size(), 1u);
    EXPECT_EQ(read.library.alloys[0].limits[1], (LimitPair{3, 4}));
    EXPECT_EQ(read.library.alloys[0].limits[2], LimitPair{});
}

TEST(ReadLibrarySourceText, OversizedOrInconsistentLibrariesAreMadeToFit) {
    std::string rows;
    for (int i = 0; i < 430; ++i) rows += Row(i == 100 ? "zn" : "A" + std::to_string(i), 19);
    ReadBack read = Read(LibraryText(rows, "0, 400, 430, 430, 430, 430, 430, 430, 430, 430, 430, 430, 430"));
    EXPECT_EQ(read.library.alloys.size(), 425u);
    EXPECT_EQ(read.library.alloys.back().name, "A424");
    EXPECT_EQ(read.library.searchIndex[1], 400);
    EXPECT_EQ(read.library.searchIndex[2], 425);
    EXPECT_TRUE(IsConsistentLibrary(read.library));
    EXPECT_EQ(read.notes.at(0), "User Libray may\r\nnot be more than 425 Alloys\r\nThe 5 alloys after the 425th were not read");
    // Written back: index comments right-aligned; OTHER_ZN is -1 without an alloy named "Zn".
    const std::string text = LibrarySourceText(read.library);
    EXPECT_NE(text.find("\t/*  5*/\t{\"A5\" ,"), std::string::npos);
    EXPECT_NE(text.find("\t/*100*/\t{\"zn\" ,"), std::string::npos);
    EXPECT_NE(text.find("\t#define OTHER_ZN\t-1\r\n#endif#ifdef"), std::string::npos);

    rows.clear();
    for (int i = 0; i < 6; ++i) rows += Row("A" + std::to_string(i), 19);
    read = Read(LibraryText(rows, "3, 5, 2, 100, -4, 6, 6, 6, 6, 6, 6, 6, 9"));
    EXPECT_EQ(read.library.searchIndex, (Index13{0, 5, 5, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6}));
    EXPECT_EQ(read.notes.size(), 5u);
    EXPECT_EQ(read.notes[0], "searchIndex[0] 3 does not fit the alloys and was taken as 0");
    read = Read(LibraryText(rows, "0, 2, 4"));
    EXPECT_EQ(read.library.searchIndex, (Index13{0, 2, 4, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6}));
    EXPECT_EQ(read.notes, Strings{"searchIndex holds only 3 values: the alloys from 4 on are filed under BEGIN_CU"});
}

TEST(LibraryFile, ReadingTellsWhatWasCorrectedAndSavingReplacesOnlyWholeFiles) {
    test::TempDir dir;
    test::ScriptedPrompter prompter;
    AlloyLibrary library;
    EXPECT_EQ(ReadLibraryFile(dir.file("none.lib"), library, prompter), LibraryReadOutcome::Unreadable);
    EditedLibrary edited{Library({{4, {Alloy("625")}}}), true};
    ASSERT_TRUE(SaveLibraryFile(dir.file("a.lib"), edited, prompter));
    EXPECT_FALSE(edited.changed);
    EXPECT_EQ(ReadLibraryFile(dir.file("a.lib"), library, prompter), LibraryReadOutcome::Whole);
    EXPECT_EQ(library, edited.library);
    test::WriteAll(dir.file("b.lib"), LibraryText(Row("X", 18), "0"));
    EXPECT_EQ(ReadLibraryFile(dir.file("b.lib"), library, prompter), LibraryReadOutcome::Corrected);
    edited.changed = true;
    EXPECT_FALSE(SaveLibraryFile(dir.file("missing/a.lib"), edited, prompter));
    EXPECT_TRUE(edited.changed);
    EXPECT_EQ(prompter.captions(), (Strings{"READ ERROR", "Warning", "SAVE ERROR"}));
}

}  // namespace
}  // namespace ravik
