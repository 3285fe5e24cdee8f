#include <gtest/gtest.h>

#include <filesystem>

#include "maintenance/pick_lists.h"
#include "support/scripted_prompter.h"
#include "support/temp_dir.h"

namespace ravik {
namespace {

WordList Sorted(std::initializer_list<const char*> words) {
    WordList list;
    for (const char* word : words) AddWord(list, word);
    return list;
}

TEST(PickLists, WordsAreKeptAlphabeticallyWithoutRegardToCase) {
    EXPECT_EQ(Sorted({"kitchen", "Bath", "attic", "Zoo"}), (WordList{"attic", "Bath", "kitchen", "Zoo"}));
    const WordList words = Sorted({"Bath", "bath", "Attic"});
    EXPECT_EQ(words, (WordList{"Attic", "Bath", "bath"}));
    EXPECT_EQ(FindWord(words, "bath"), 2u);  // the exact word first
    EXPECT_EQ(FindWord(words, "BATH"), 1u);
    EXPECT_EQ(FindWord(words, "Bat"), std::nullopt);
    // Accented capitals of 1252 match their small letters and sort with them,
    // after the unaccented letters.
    EXPECT_EQ(FindWord(Sorted({"eau", "\xC9TAGE"}), "\xE9tage"), 1u);
    EXPECT_EQ(Sorted({"\xE9t\xE9", "\xC9tage", "Zinc", "eau"}), (WordList{"eau", "Zinc", "\xC9tage", "\xE9t\xE9"}));
}

TEST(PickLists, WrittenWithACommaAfterEveryWordAndReadSplittingAtCommasAndLineEnds) {
    EXPECT_EQ(PickListsText({Sorted({"Kitchen", "Bath"}), {}, {"x"}}), "Bath,Kitchen,\n\nx,\n");
    std::vector<CutPickListLine> cut;
    const std::vector<WordList> lines = ParsePickLists("Kitchen,,bath\r\n,\nAttic", 4, cut);
    EXPECT_EQ(lines, (std::vector<WordList>{{"bath", "Kitchen"}, {}, {"Attic"}, {}}));
    EXPECT_TRUE(cut.empty());
    EXPECT_EQ(ParsePickLists("a,\nb,\nc,\n", 2, cut), (std::vector<WordList>{{"a"}, {"b"}}));
}

TEST(PickLists, AWordThatWouldReachTheBufferIsLeftOutAndLaterWordsTried) {
    const std::string a(1023, 'a');
    const std::string b(1023, 'b');
    const std::string c(1024, 'c');
    // a, plus b makes 2047 < 2048: both fit, the line is 2048 characters.
    const std::string text = PickListsText({{a, c, b, "d"}});
    EXPECT_EQ(text, a + "," + b + ",\n");
    std::vector<CutPickListLine> cut;
    EXPECT_EQ(ParsePickLists(text, 1, cut), (std::vector<WordList>{{a, b}}));
    EXPECT_TRUE(cut.empty());
    EXPECT_EQ(PickListsText({{a, c, "d"}}), a + ",d,\n");
    EXPECT_EQ(PickListsText({{"", "two\nlines", "ok"}}), "ok,\n");
}

TEST(PickLists, AnOverlongLineLosesItsCutWordButNotTheLinesAfterIt) {
    std::string first;
    for (int i = 0; i < 300; ++i) first += "word" + std::to_string(1000 + i) + ",";  // 2700 characters
    std::vector<CutPickListLine> cut;
    const std::vector<WordList> lines = ParsePickLists(first + "\nNext,\n", 2, cut);
    ASSERT_EQ(cut.size(), 1u);
    EXPECT_EQ(cut[0].line, 1);
    // 2049 bytes hold 227 whole words of 9 characters; the 228th is cut.
    EXPECT_EQ(cut[0].droppedFrom, "word12");
    EXPECT_EQ(lines[0].size(), 227u);
    EXPECT_EQ(lines[0].back(), "word1226");
    EXPECT_EQ(lines[1], WordList{"Next"});
}

TEST(PickListFile, AMissingFileIsSeededWithOneLinePerEditableCell) {
    test::TempDir dir;
    test::ScriptedPrompter prompter;
    for (Mode mode : kAllModes) {
        std::vector<WordList> lines;
        ASSERT_TRUE(ReadPickListFile(dir.path(), mode, lines, prompter));
        const std::string text = test::ReadAll(dir.file(PickListFileName(mode)));
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), PickListLineCount(mode)) << WindowText(mode);
        EXPECT_EQ(text.find('\r'), std::string::npos);
        EXPECT_EQ(lines.size(), static_cast<size_t>(PickListLineCount(mode)));
    }
    std::vector<WordList> paint;
    ASSERT_TRUE(ReadPickListFile(dir.path(), Mode::Paint, paint, prompter));
    EXPECT_TRUE(FindWord(paint[6 - 2], "Kitchen"));  // the Room line
    EXPECT_TRUE(prompter.boxes().empty());
}

TEST(PickListFile, UnreadableFilesAreToldAndLongLinesWarned) {
    test::TempDir dir;
    test::ScriptedPrompter prompter;
    std::filesystem::create_directory(dir.file("bulk.str"));
    std::vector<WordList> lines;
    EXPECT_FALSE(ReadPickListFile(dir.path(), Mode::Bulk, lines, prompter));
    test::WriteAll(dir.file("sign.str"), std::string(3000, 'x') + "\nA,\n");
    ASSERT_TRUE(ReadPickListFile(dir.path(), Mode::Sign, lines, prompter));
    EXPECT_TRUE(lines[0].empty());
    EXPECT_EQ(lines[1], WordList{"A"});
    ASSERT_EQ(prompter.captions(), (std::vector<std::string>{"ERROR", "Warning"}));
    EXPECT_EQ(prompter.boxes()[0].text, "Not a Regular File\n" + dir.file("bulk.str"));
    EXPECT_NE(prompter.boxes()[1].text.find("sign.str line 1"), std::string::npos);
}

TEST(PickListFile, WritingPadsToTheModesLinesAndKeepsTheOldFileOnFailure) {
    test::TempDir dir;
    test::ScriptedPrompter prompter;
    ASSERT_TRUE(WritePickListFile(dir.path(), Mode::Alloy, {{"Pipe"}}, prompter));
    EXPECT_EQ(test::ReadAll(dir.file("alloy.str")), "Pipe,\n\n\n\n\n\n\n");
    EXPECT_FALSE(WritePickListFile(dir.file("missing"), Mode::Alloy, {{"Pipe"}}, prompter));
    EXPECT_EQ(prompter.captions(), std::vector<std::string>{"ERROR"});
}

}  // namespace
}  // namespace ravik
