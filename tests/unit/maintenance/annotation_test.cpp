#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "core/maintenance/annotation_edit.h"
#include "core/maintenance/cell_write_back.h"
#include "core/maintenance/pick_lists.h"
#include "support/scripted_prompter.h"
#include "support/temp_dir.h"
#include "unit/readings/reading_files.h"

namespace ravik {
namespace {

using sample::RecordSpec;
using test::PaintRooms;
using Strings = std::vector<std::string>;

constexpr size_t kRoomBox = 4;  // Paint cell 6
constexpr int kRoomCell = 6;

// Every text field "L<k>:v<k>" (k = 1..11).
RecordSpec NumberedFields(float version, int code) {
    RecordSpec recordSpec = test::PlainReading(version, code, 7);
    for (size_t f = 0; f < 11; ++f) recordSpec.textFields[f] = "L" + std::to_string(f + 1) + ":v" + std::to_string(f + 1);
    return recordSpec;
}

TEST(CellWriteBack, FormattingShowsTheValueInTheSameCellForEveryLayoutAndVersion) {
    struct Case {
        const char* version;
        int code;
        bool sign;
    };
    const Case cases[] = {
        {"5.0", 0, false}, {"5.0", 1, false}, {"5.0", 3, false},  {"5.0", 4, true},
        {"5.2", 5, true},  {"5.2", 8, false}, {"5.5", 7, true},   {"5.5", 2048, false},
        {"6.0", 4, true},  {"6.0", 22, true}, {"6.0", 12, false}, {"6.0", 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.version) + " code " + std::to_string(c.code));
        test::TestFile file;
        file.versionText = c.version;
        file.add(NumberedFields(std::stof(c.version), c.code));
        test::LoadedStore loaded(file);
        const Mode mode = *std::find_if(kAllModes.begin(), kAllModes.end(),
                                        [&](Mode m) { return loaded.store.count(m) == 1; });
        const std::span<uint8_t> record = loaded.store.recordBytes(1);
        ASSERT_EQ(UsesSignLayout(loaded.store, record), c.sign);
        int written = 0;
        for (int cell = 2; cell <= 12; ++cell) {
            if (!RecordFieldOfCell(c.sign, cell)) continue;
            const ReadingFields before = loaded.fields(mode, 0);
            const std::string value = "New" + std::to_string(cell);
            ASSERT_TRUE(WriteCellIntoRecord(record, c.sign, cell, value));
            const ReadingFields after = loaded.fields(mode, 0);
            for (size_t other = 2; other <= 12; ++other) {
                EXPECT_EQ(after.text[other].view(), other == static_cast<size_t>(cell) ? value : before.text[other].view())
                    << cell;
            }
            ++written;
        }
        EXPECT_EQ(written, c.sign ? 10 : 11);
    }
}

TEST(CellWriteBack, ValuesAreCutToTheFieldsRoomAndTheRestZeroFilled) {
    RecordSpec recordSpec;
    recordSpec.textFields[2] = "Sub:Plaster";      // 15 wide: room for 11
    recordSpec.textFields[0] = "Garage";           // no colon: all label
    recordSpec.textFields[7] = "ABCDEFGHIJKLMNO";  // a label filling its 15 bytes
    std::vector<uint8_t> record = sample::BuildRecord(recordSpec);
    auto field = [&](int f) { return std::string(RecordView(record).textField(f)); };

    ASSERT_TRUE(WriteCellIntoRecord(record, false, 4, "Concrete block wall"));
    EXPECT_EQ(field(2), "Sub:Concrete bl");
    ASSERT_TRUE(WriteCellIntoRecord(record, false, 4, "Wood"));
    EXPECT_EQ(field(2), "Sub:Wood");
    const size_t at = RecordView(record).header().textOffset + 56;
    EXPECT_EQ(std::string(record.begin() + at + 8, record.begin() + at + 15), std::string(7, '\0'));

    ASSERT_TRUE(WriteCellIntoRecord(record, false, 2, "Bath"));
    EXPECT_EQ(field(0), "Garage:Bath");
    const std::vector<uint8_t> unchanged = record;
    EXPECT_FALSE(WriteCellIntoRecord(record, false, 8, "x"));  // no room for a colon
    EXPECT_FALSE(WriteCellIntoRecord(record, false, 13, "x"));
    EXPECT_FALSE(WriteCellIntoRecord(record, true, 12, "x"));
    std::vector<uint8_t> headerOnly(record.begin(), record.begin() + 20);
    EXPECT_FALSE(WriteCellIntoRecord(headerOnly, false, 2, "x"));
    EXPECT_EQ(record, unchanged);
}

// A store with an edit open at row of the mode's list, its pick lists in a
// temporary directory.
struct Edit {
    test::TempDir dir;
    test::LoadedStore loaded;
    AnnotationEdit edit;
    bool unsaved = false;

    Edit(const test::TestFile& file, size_t row, const std::string& pickList = "", Mode mode = Mode::Paint)
        : loaded(file) {
        if (!pickList.empty()) test::WriteAll(dir.file(PickListFileName(mode)), pickList);
        auto opened = OpenAnnotationEdit(loaded.store, loaded.settings, mode, row, dir.path(), loaded.prompter);
        EXPECT_TRUE(opened.has_value());
        if (opened) edit = *opened;
    }
    std::optional<int> global(std::optional<size_t> box, const std::string& text, std::optional<ReplaceScope> scope) {
        if (scope) loaded.prompter.queueChoice(static_cast<int>(*scope));
        return ApplyGlobal(loaded.store, loaded.settings, edit, box, text, loaded.prompter, unsaved);
    }
    Strings rooms() const {
        Strings result;
        for (size_t row = 0; row < loaded.store.list(Mode::Paint).size(); ++row) {
            result.push_back(loaded.cell(Mode::Paint, row, kRoomCell));
        }
        return result;
    }
    // OK with the stored texts, but for these boxes.
    void ok(const std::vector<std::pair<size_t, std::string>>& changes) {
        std::vector<std::string> texts = ResetTexts(edit);
        for (const auto& [box, text] : changes) texts.at(box) = text;
        FinishAnnotationEdit(loaded.store, edit, texts, dir.path(), loaded.prompter, unsaved);
    }
    std::string pickList() const { return test::ReadAll(dir.file(PickListFileName(edit.mode))); }
    long pickListLines() const { return std::ranges::count(pickList(), '\n'); }
};

TEST(Global, ToEndChangesOnlyTheEditedReadingAndThoseAfterIt) {
    Strings rooms;
    for (int i = 0; i < 20; ++i) rooms.push_back(i % 2 == 1 || i == 8 ? "Kitchen" : "Bath");  // 8: just before
    Edit paint(PaintRooms(rooms), 9);
    ASSERT_EQ(paint.edit.boxes[kRoomBox].stored, "Kitchen");
    EXPECT_EQ(paint.global(kRoomBox, "Den", ReplaceScope::ToEnd), 6);
    EXPECT_TRUE(paint.unsaved);
    for (size_t row = 9; row < 20; row += 2) rooms[row] = "Den";
    EXPECT_EQ(paint.rooms(), rooms);

    const ChoiceDialog& replace = paint.loaded.prompter.dialogs().at(0);
    EXPECT_EQ(replace.resource + " " + replace.title + ": " + replace.text, "REPLACE Replace: Room\nReplace:\tKitchen\nWith:\tDen");
    Strings buttons;
    for (const auto& button : replace.buttons) buttons.push_back(std::to_string(button.id) + " " + button.label);
    EXPECT_EQ(buttons, (Strings{"1046 &All", "1136 To &End", "1047 &Marked", std::to_string(kCancelId) + " " + replace.buttons.back().label}));
    EXPECT_EQ(replace.defaultId, kCancelId);  // Enter replaces nothing
}

// Cancel or no focused box changes nothing; an empty old text matches every
// empty cell and the new text is cut to the room.
TEST(Global, CancelAndEmptyOldTexts) {
    Edit paint(PaintRooms({"", "Bath", ""}), 0);
    EXPECT_EQ(paint.global(std::nullopt, "Den", std::nullopt), std::nullopt);
    EXPECT_EQ(paint.global(kRoomBox, "Den", std::nullopt), std::nullopt);  // Cancel
    EXPECT_EQ(paint.loaded.prompter.dialogs().size(), 1u);
    EXPECT_FALSE(paint.unsaved);
    EXPECT_EQ(paint.global(kRoomBox, "Attic above the garage on the left", ReplaceScope::All), 2);
    const std::string cut = "Attic above the garage ";  // 28 - "Room" - ":" = 23
    EXPECT_EQ(paint.rooms(), (Strings{cut, "Bath", cut}));
}

// A paint.str whose Room line holds Bath and Kitchen.
const std::string kRoomPickList = "\n\n\n\nBath,Kitchen,\n\n\n\n\n\n\n\n";

TEST(FinishAnnotationEdit, ANewWordGoesToItsSortedPlaceAndTheCellIntoTheRecord) {
    Edit paint(PaintRooms({"Kitchen"}), 0, kRoomPickList);
    EXPECT_EQ(paint.edit.windowTitle, "Paint Meas #20");
    paint.ok({{kRoomBox, "Den"}});
    // The stored Site joins its list too.
    EXPECT_EQ(paint.pickList(), "Yard,\n\n\n\nBath,Den,Kitchen,\n\n\n\n\n\n\n\n");
    EXPECT_EQ(paint.rooms(), Strings{"Den"});
}

TEST(FinishAnnotationEdit, RemovedWordsStayOutUnlessTheBoxStillHoldsThem) {
    Edit removed(PaintRooms({"Kitchen"}), 0, kRoomPickList);
    EXPECT_FALSE(RemovePickWord(removed.edit, std::nullopt, "Kitchen"));
    ASSERT_TRUE(RemovePickWord(removed.edit, kRoomBox, "kitchen"));
    EXPECT_EQ(removed.edit.boxes[kRoomBox].words, WordList{"Bath"});
    removed.ok({{kRoomBox, "Den"}});
    EXPECT_EQ(removed.pickList(), "Yard,\n\n\n\nBath,Den,\n\n\n\n\n\n\n\n");

    Edit kept(PaintRooms({"Kitchen"}), 0, kRoomPickList);
    ASSERT_TRUE(RemovePickWord(kept.edit, kRoomBox, "Kitchen"));
    kept.ok({{kRoomBox, "Kitchen"}});
    EXPECT_EQ(kept.pickList(), "Yard,\n\n\n\nBath,Kitchen,\n\n\n\n\n\n\n\n");
}

TEST(FinishAnnotationEdit, ResetGivesTheStoredValuesAndValuesAreCutSoThatTitleAndValueFit28) {
    // The Room column is titled by the last label loaded, "Location"; the
    // edited reading's own label "Rm" would leave room for 25 characters.
    test::TestFile file = PaintRooms({""}, "Rm");
    file.records.push_back(PaintRooms({"Hall"}, "Location").records[0]);
    Edit paint(file, 0, kRoomPickList);
    const Strings reset = ResetTexts(paint.edit);
    ASSERT_EQ(reset.size(), 11u);
    EXPECT_EQ(reset[0], "Yard");
    EXPECT_EQ(reset[kRoomBox], "");  // an empty value stays empty, not the first word
    paint.ok({{kRoomBox, "ABCDEFGHIJKLMNOPQRSTUVWXYZ"}});
    EXPECT_EQ(paint.rooms(), (Strings{"ABCDEFGHIJKLMNOPQRS", "Hall"}));
}

TEST(FinishAnnotationEdit, ShownOnlyCellsAreNeverWrittenBack) {
    test::TestFile file;
    RecordSpec alloy = NumberedFields(6.0f, 12);          // AlloyCode1
    alloy.elements = {test::Element("Fe", 250.0, 1.0)};  // no match
    file.add(alloy);
    Edit edit(file, 0, "", Mode::Alloy);
    ASSERT_EQ(edit.edit.shown.size(), 3u);
    EXPECT_EQ(edit.edit.shown[0].text, "No Match");
    ASSERT_EQ(edit.edit.boxes.size(), 7u);
    EXPECT_EQ(edit.edit.boxes[0].cell, 5);
    edit.ok({{0, "Valve"}});
    const RecordView view(edit.loaded.store.record(1));
    EXPECT_EQ(std::string(view.textField(0)) + " " + std::string(view.textField(1)) + " " + std::string(view.textField(3)),
              "L1:v1 L2:v2 L4:Valve");
    EXPECT_EQ(edit.pickListLines(), 7);
}

TEST(FinishAnnotationEdit, ASignEditShowsInTheSameBoxWhenReopened) {
    test::TestFile file;
    file.add(NumberedFields(6.0f, 4));  // SignCode1
    Edit sign(file, 0, "", Mode::Sign);
    ASSERT_EQ(sign.edit.boxes.size(), 6u);
    ASSERT_EQ(sign.edit.shown.size(), 4u);
    EXPECT_EQ(sign.edit.shown[0].text, "v4");  // Sign cell 2 shows field 4
    EXPECT_EQ(sign.edit.boxes[0].stored, "v6");
    sign.ok({{0, "F1 new"}, {5, "F6 new"}});
    auto reopened = OpenAnnotationEdit(sign.loaded.store, sign.loaded.settings, Mode::Sign, 0, sign.dir.path(),
                                       sign.loaded.prompter);
    ASSERT_TRUE(reopened);
    EXPECT_EQ(reopened->boxes[0].stored + "|" + reopened->boxes[5].stored, "F1 new|F6 new");
    EXPECT_TRUE(FindWord(reopened->boxes[0].words, "F1 new"));
    EXPECT_EQ(sign.pickListLines(), 6);
}

TEST(OpenAnnotationEdit, AReadingOfUnknownModeIsNotEdited) {
    test::TempDir dir;
    test::TestFile file;
    file.add(test::PlainReading(6.0f, 17, 5));  // SpareCode1 goes to the Paint list
    test::LoadedStore loaded(file);
    loaded.prompter.clear();
    EXPECT_FALSE(OpenAnnotationEdit(loaded.store, loaded.settings, Mode::Paint, 0, dir.path(), loaded.prompter));
    EXPECT_EQ(loaded.prompter.shown(), Strings{"MODE ERROR: Reading 5\r\nUnknown Mode 17"});
    EXPECT_FALSE(OpenAnnotationEdit(loaded.store, loaded.settings, Mode::Paint, 1, dir.path(), loaded.prompter));
}

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

// Written with a comma after every word, read splitting at commas and line
// ends; a word that would reach the 2048-byte buffer is left out and later
// words tried; empty words and words holding a line end are never written.
TEST(PickLists, WrittenAndReadLineByLine) {
    const std::string a(1023, 'a');
    const std::string b(1023, 'b');
    const std::string c(1024, 'c');
    EXPECT_EQ(PickListsText({Sorted({"Kitchen", "Bath"}), {}, {"x"}}), "Bath,Kitchen,\n\nx,\n");
    EXPECT_EQ(PickListsText({{a, c, "d"}}), a + ",d,\n");
    EXPECT_EQ(PickListsText({{"", "two\nlines", "ok"}}), "ok,\n");
    const std::string full = PickListsText({{a, c, b, "d"}});  // a and b: a line of 2048 characters
    EXPECT_EQ(full, a + "," + b + ",\n");
    std::vector<CutPickListLine> cut;
    EXPECT_EQ(ParsePickLists(full, 1, cut), (std::vector<WordList>{{a, b}}));
    EXPECT_EQ(ParsePickLists("Kitchen,,bath\r\n,\nAttic", 4, cut),
              (std::vector<WordList>{{"bath", "Kitchen"}, {}, {"Attic"}, {}}));
    EXPECT_EQ(ParsePickLists("a,\nb,\nc,\n", 2, cut), (std::vector<WordList>{{"a"}, {"b"}}));
    EXPECT_TRUE(cut.empty());
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
    }
    std::vector<WordList> paint;
    ASSERT_TRUE(ReadPickListFile(dir.path(), Mode::Paint, paint, prompter));
    EXPECT_TRUE(FindWord(paint[kRoomBox], "Kitchen"));
    EXPECT_TRUE(prompter.boxes().empty());
}

TEST(PickListFile, UnreadableFilesAreToldLongLinesWarnedAndWritingPadsToTheModesLines) {
    test::TempDir dir;
    test::ScriptedPrompter prompter;
    std::filesystem::create_directory(dir.file("bulk.str"));
    std::vector<WordList> lines;
    EXPECT_FALSE(ReadPickListFile(dir.path(), Mode::Bulk, lines, prompter));
    test::WriteAll(dir.file("sign.str"), std::string(3000, 'x') + "\nA,\n");
    ASSERT_TRUE(ReadPickListFile(dir.path(), Mode::Sign, lines, prompter));
    EXPECT_TRUE(lines[0].empty());
    EXPECT_EQ(lines[1], WordList{"A"});
    ASSERT_TRUE(WritePickListFile(dir.path(), Mode::Alloy, {{"Pipe"}}, prompter));
    EXPECT_EQ(test::ReadAll(dir.file("alloy.str")), "Pipe,\n\n\n\n\n\n\n");
    EXPECT_FALSE(WritePickListFile(dir.file("missing"), Mode::Alloy, {{"Pipe"}}, prompter));
    ASSERT_EQ(prompter.captions(), (Strings{"ERROR", "Warning", "ERROR"}));
    EXPECT_EQ(prompter.boxes()[0].text, "Not a Regular File\n" + dir.file("bulk.str"));
    EXPECT_NE(prompter.boxes()[1].text.find("sign.str line 1"), std::string::npos);
}

}  // namespace
}  // namespace ravik
