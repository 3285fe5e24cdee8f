#include <gtest/gtest.h>

#include "library/alloy_groups.h"
#include "library/library_source.h"
#include "library_builder.h"
#include "support/scripted_prompter.h"
#include "support/temp_dir.h"

namespace ravik {
namespace {

using test::Alloy;
using test::Library;
using Strings = std::vector<std::string>;
using Index13 = std::array<int, 13>;

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

TEST(LibrarySourceText, IndexCommentsAreRightAlignedAndOtherZnIsMinusOneWithoutZinc) {
    std::vector<AlloyRecord> alloys;
    for (int i = 0; i < 101; ++i) alloys.push_back(Alloy(i == 100 ? "zn" : "A" + std::to_string(i)));
    const std::string text = LibrarySourceText(Library({{0, alloys}}));
    EXPECT_NE(text.find("\t/*  5*/\t{\"A5\" ,"), std::string::npos);
    EXPECT_NE(text.find("\t/*100*/\t{\"zn\" ,"), std::string::npos);
    EXPECT_NE(text.find("\t#define OTHER_ZN\t-1\r\n#endif#ifdef"), std::string::npos);
    EXPECT_NE(text.find("#define NALLOY \t101\r\n"), std::string::npos);
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
    const ReadBack read = Read(LibrarySourceText(library));
    EXPECT_EQ(read.library, library);
    EXPECT_EQ(read.notes, Strings{});
    EXPECT_EQ(Read(LibrarySourceText(AlloyLibrary{})).library, AlloyLibrary{});
}

TEST(ReadLibrarySourceText, ABareLineFeedFileStopsAtItsEmptyLine) {
    const std::string row = "{\"A\" , 1, 2, 0},\n";
    const ReadBack read = Read("x\nconst ALLOY_STRUCT assayLibrary[NALLOY] =\n\t{\n/*BEGIN_FE*/\n" + row + row + "\n" +
                               row + "};\n\tint searchIndex[13] = {0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};\n");
    EXPECT_EQ(read.library.alloys.size(), 2u);
    EXPECT_EQ(read.library.searchIndex[1], 2);  // the index was never reached: all in BEGIN_FE
    EXPECT_EQ(read.library.alloys[0].limits[0], (LimitPair{1, 2}));
    EXPECT_EQ(read.library.alloys[0].limits[1], LimitPair{});
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
    EXPECT_EQ(LibrarySourceText(read.library).find("  120,"), std::string::npos);  // the 20th pair is gone

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
    for (int i = 0; i < 430; ++i) rows += Row("A" + std::to_string(i), 19);
    ReadBack read = Read(LibraryText(rows, "0, 400, 430, 430, 430, 430, 430, 430, 430, 430, 430, 430, 430"));
    EXPECT_EQ(read.library.alloys.size(), 425u);
    EXPECT_EQ(read.library.alloys.back().name, "A424");
    EXPECT_EQ(read.library.searchIndex[1], 400);
    EXPECT_EQ(read.library.searchIndex[2], 425);
    EXPECT_TRUE(IsConsistentLibrary(read.library));
    EXPECT_EQ(read.notes.at(0), "User Libray may\r\nnot be more than 425 Alloys\r\nThe 5 alloys after the 425th were not read");

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
