#include <gtest/gtest.h>

#include <string>

#include "loaded_store.h"
#include "maintenance/annotation_edit.h"
#include "maintenance/cell_write_back.h"
#include "support/temp_dir.h"

namespace ravik {
namespace {

using sample::ElementSpec;
using sample::PackTenth;
using sample::RecordSpec;

constexpr size_t kRoomBox = 4;  // Paint cell 6
constexpr int kRoomCell = 6;

// Paint readings 1, 2, ... with these rooms, labelled "Room".
test::TestFile PaintRooms(const std::vector<std::string>& rooms, const std::string& label = "Room") {
    test::TestFile file;
    for (size_t i = 0; i < rooms.size(); ++i) {
        RecordSpec recordSpec = test::PlainReading(6.0f, 0, static_cast<uint16_t>(20 + i));
        recordSpec.textFields[4] = label + ":" + rooms[i];
        file.add(recordSpec);
    }
    return file;
}

// Every text field "L<k>:v<k>" (k = 1..11).
RecordSpec NumberedFields(float version, int code) {
    RecordSpec recordSpec = test::PlainReading(version, code, 7);
    for (size_t f = 0; f < 11; ++f) recordSpec.textFields[f] = "L" + std::to_string(f + 1) + ":v" + std::to_string(f + 1);
    return recordSpec;
}

Mode OnlyMode(const ReadingStore& store) {
    for (Mode mode : kAllModes) {
        if (store.count(mode) == 1) return mode;
    }
    ADD_FAILURE() << "no single reading";
    return Mode::Paint;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    EXPECT_EQ(start, text.size()) << "text after the last line feed";
    return lines;
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
        const Mode mode = OnlyMode(loaded.store);
        std::vector<uint8_t>& record = loaded.store.slots[1].record;
        ASSERT_EQ(UsesSignLayout(loaded.store, record), c.sign);
        int written = 0;
        for (int cell = 2; cell <= 12; ++cell) {
            if (!RecordFieldOfCell(c.sign, cell)) continue;
            const ReadingFields before = loaded.fields(mode, 0);
            const std::string value = "New" + std::to_string(cell);
            ASSERT_TRUE(WriteCellIntoRecord(record, c.sign, cell, value));
            const ReadingFields after = loaded.fields(mode, 0);
            for (int other = 2; other <= 12; ++other) {
                const auto k = static_cast<size_t>(other);
                EXPECT_EQ(after.text[k].view(), other == cell ? value : before.text[k].view()) << cell;
            }
            ++written;
        }
        EXPECT_EQ(written, c.sign ? 10 : 11);
    }
}

TEST(CellWriteBack, ValuesAreCutToTheFieldsRoomAndTheRestZeroFilled) {
    RecordSpec recordSpec;
    recordSpec.textFields[2] = "Sub:Plaster";          // 15 wide: room for 11
    recordSpec.textFields[0] = "Garage";               // no colon: all label
    recordSpec.textFields[7] = "ABCDEFGHIJKLMNO";      // a label filling its 15 bytes
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

// A Paint store with an edit open at row, its pick lists in a temporary directory.
struct PaintEdit {
    test::TempDir dir;
    test::LoadedStore loaded;
    AnnotationEdit edit;
    bool unsaved = false;

    PaintEdit(const test::TestFile& file, size_t row, const std::string& paintStr = "") : loaded(file) {
        if (!paintStr.empty()) test::WriteAll(dir.file("paint.str"), paintStr);
        auto opened = OpenAnnotationEdit(loaded.store, loaded.settings, Mode::Paint, row, dir.path(), loaded.prompter);
        EXPECT_TRUE(opened.has_value());
        if (opened) edit = *opened;
    }
    std::optional<int> global(std::optional<size_t> box, const std::string& text, std::optional<ReplaceScope> scope) {
        if (scope) loaded.prompter.queueChoice(static_cast<int>(*scope));
        return ApplyGlobal(loaded.store, loaded.settings, edit, box, text, loaded.prompter, unsaved);
    }
    std::vector<std::string> rooms() const {
        std::vector<std::string> result;
        for (size_t row = 0; row < loaded.store.list(Mode::Paint).size(); ++row) {
            result.push_back(loaded.cell(Mode::Paint, row, kRoomCell));
        }
        return result;
    }
    void ok(const std::vector<std::string>& texts) {
        FinishAnnotationEdit(loaded.store, edit, texts, dir.path(), loaded.prompter, unsaved);
    }
    std::vector<std::string> paintStr() const { return Lines(test::ReadAll(dir.file("paint.str"))); }
};

TEST(Global, ToEndChangesOnlyTheEditedReadingAndThoseAfterIt) {
    std::vector<std::string> rooms;
    for (int i = 0; i < 20; ++i) rooms.push_back(i % 2 == 1 ? "Kitchen" : "Bath");
    PaintEdit paint(PaintRooms(rooms), 9);
    ASSERT_EQ(paint.edit.boxes[kRoomBox].stored, "Kitchen");
    EXPECT_EQ(paint.global(kRoomBox, "Den", ReplaceScope::ToEnd), 6);
    EXPECT_TRUE(paint.unsaved);
    for (size_t row = 0; row < 20; ++row) {
        const char* expected = row % 2 == 0 ? "Bath" : (row < 9 ? "Kitchen" : "Den");
        EXPECT_EQ(paint.rooms()[row], expected) << row;
    }
    ASSERT_EQ(paint.loaded.prompter.dialogs().size(), 1u);
    const ChoiceDialog& replace = paint.loaded.prompter.dialogs()[0];
    EXPECT_EQ(replace.resource, "REPLACE");
    EXPECT_EQ(replace.title, "Replace");
    EXPECT_EQ(replace.text, "Room\nReplace:\tKitchen\nWith:\tDen");
    ASSERT_EQ(replace.buttons.size(), 4u);
    EXPECT_EQ(replace.buttons[0].id, 1046);
    EXPECT_EQ(replace.buttons[0].label, "&All");
    EXPECT_EQ(replace.buttons[1].id, 1136);
    EXPECT_EQ(replace.buttons[1].label, "To &End");
    EXPECT_EQ(replace.buttons[2].id, 1047);
    EXPECT_EQ(replace.buttons[2].label, "&Marked");
    EXPECT_EQ(replace.buttons[3].id, kCancelId);
}

TEST(Global, MarkedTakesOnlyReadingsWhoseFlagsAreExactlyMarked) {
    PaintEdit paint(PaintRooms({"Hall", "Hall", "Hall"}), 2);
    paint.loaded.store.flags(1) = Marked;
    paint.loaded.store.flags(2) = Marked | Hidden;
    EXPECT_EQ(paint.global(kRoomBox, "Porch", ReplaceScope::Marked), 1);
    EXPECT_EQ(paint.rooms(), (std::vector<std::string>{"Porch", "Hall", "Hall"}));
}

TEST(Global, AnEmptyOldTextMatchesEveryEmptyCellAndTheNewTextIsCutToTheRoom) {
    PaintEdit paint(PaintRooms({"", "Bath", ""}), 0);
    EXPECT_EQ(paint.global(kRoomBox, "Attic above the garage on the left", ReplaceScope::All), 2);
    const std::string cut = "Attic above the garage ";  // 28 - "Room" - ":" = 23
    EXPECT_EQ(paint.rooms(), (std::vector<std::string>{cut, "Bath", cut}));
}

TEST(Global, CancelOrNoFocusedBoxChangesNothing) {
    PaintEdit paint(PaintRooms({"Bath"}), 0);
    EXPECT_EQ(paint.global(std::nullopt, "Den", std::nullopt), std::nullopt);
    EXPECT_EQ(paint.global(kRoomBox, "Den", std::nullopt), std::nullopt);  // Cancel
    EXPECT_EQ(paint.loaded.prompter.dialogs().size(), 1u);
    EXPECT_EQ(paint.rooms(), std::vector<std::string>{"Bath"});
    EXPECT_FALSE(paint.unsaved);
}

// A paint.str whose Room line holds Bath and Kitchen.
std::string RoomPickList() { return "\n\n\n\nBath,Kitchen,\n\n\n\n\n\n\n\n"; }

TEST(FinishAnnotationEdit, ANewWordGoesToItsSortedPlaceAndTheCellIntoTheRecord) {
    PaintEdit paint(PaintRooms({"Kitchen"}), 0, RoomPickList());
    EXPECT_EQ(paint.edit.windowTitle, "Paint Meas #20");
    std::vector<std::string> texts = ResetTexts(paint.edit);
    texts[kRoomBox] = "Den";
    paint.ok(texts);
    const std::vector<std::string> lines = paint.paintStr();
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[0], "Yard,");  // the stored Site joins its list
    EXPECT_EQ(lines[4], "Bath,Den,Kitchen,");
    EXPECT_EQ(lines[11], "");
    EXPECT_EQ(paint.rooms(), std::vector<std::string>{"Den"});
    EXPECT_EQ(paint.loaded.cell(Mode::Paint, 0, 2), "Yard");
    EXPECT_TRUE(paint.unsaved);
}

TEST(FinishAnnotationEdit, RemovedWordsStayOutUnlessTheBoxStillHoldsThem) {
    {
        PaintEdit paint(PaintRooms({"Kitchen"}), 0, RoomPickList());
        EXPECT_FALSE(RemovePickWord(paint.edit, std::nullopt, "Kitchen"));
        ASSERT_TRUE(RemovePickWord(paint.edit, kRoomBox, "kitchen"));
        EXPECT_EQ(paint.edit.boxes[kRoomBox].words, WordList{"Bath"});
        std::vector<std::string> texts = ResetTexts(paint.edit);
        texts[kRoomBox] = "Den";
        paint.ok(texts);
        EXPECT_EQ(paint.paintStr()[4], "Bath,Den,");
    }
    PaintEdit paint(PaintRooms({"Kitchen"}), 0, RoomPickList());
    ASSERT_TRUE(RemovePickWord(paint.edit, kRoomBox, "Kitchen"));
    paint.ok(ResetTexts(paint.edit));
    EXPECT_EQ(paint.paintStr()[4], "Bath,Kitchen,");
}

TEST(FinishAnnotationEdit, ResetReturnsEveryBoxToTheStoredValues) {
    PaintEdit paint(PaintRooms({""}), 0, RoomPickList());
    const std::vector<std::string> texts = ResetTexts(paint.edit);
    ASSERT_EQ(texts.size(), 11u);
    EXPECT_EQ(texts[0], "Yard");
    EXPECT_EQ(texts[kRoomBox], "");  // an empty value stays empty, not the first word
}

TEST(FinishAnnotationEdit, ValuesAreCutSoThatTheColumnTitleAndValueFit28) {
    // The Room column is titled by the last label loaded, "Location"; the
    // edited reading's own label "Rm" would leave room for 25 characters.
    test::TestFile file = PaintRooms({"Hall"}, "Rm");
    file.records.push_back(PaintRooms({"Hall"}, "Location").records[0]);
    PaintEdit paint(file, 0);
    ASSERT_EQ(paint.edit.boxes[kRoomBox].title, "Location");
    EXPECT_EQ(AnnotationValueMaxLength("Location"), 19u);
    std::vector<std::string> texts = ResetTexts(paint.edit);
    texts[kRoomBox] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    paint.ok(texts);
    EXPECT_EQ(paint.rooms(), (std::vector<std::string>{"ABCDEFGHIJKLMNOPQRS", "Hall"}));
}

TEST(FinishAnnotationEdit, ShownOnlyCellsAreNeverWrittenBack) {
    test::TempDir dir;
    test::TestFile file;
    RecordSpec alloy = NumberedFields(6.0f, 12);  // AlloyCode1
    alloy.elements = {ElementSpec{"Fe", 0, PackTenth(250.0), PackTenth(1.0)}};  // no match
    file.add(alloy);
    test::LoadedStore loaded(file);
    auto edit = OpenAnnotationEdit(loaded.store, loaded.settings, Mode::Alloy, 0, dir.path(), loaded.prompter);
    ASSERT_TRUE(edit);
    EXPECT_EQ(edit->windowTitle, "Alloy Meas #7");
    ASSERT_EQ(edit->shown.size(), 3u);
    EXPECT_EQ(edit->shown[0].text, "No Match");
    EXPECT_EQ(edit->shown[1].text, "");
    ASSERT_EQ(edit->boxes.size(), 7u);
    EXPECT_EQ(edit->boxes[0].cell, 5);
    std::vector<std::string> texts = ResetTexts(*edit);
    texts[0] = "Valve";
    bool unsaved = false;
    FinishAnnotationEdit(loaded.store, *edit, texts, dir.path(), loaded.prompter, unsaved);
    const RecordView view(loaded.store.record(1));
    EXPECT_EQ(view.textField(0), "L1:v1");
    EXPECT_EQ(view.textField(1), "L2:v2");
    EXPECT_EQ(view.textField(3), "L4:Valve");
    EXPECT_EQ(Lines(test::ReadAll(dir.file("alloy.str"))).size(), 7u);
}

TEST(FinishAnnotationEdit, ASignEditShowsInTheSameBoxWhenReopened) {
    test::TempDir dir;
    test::TestFile file;
    file.add(NumberedFields(6.0f, 4));  // SignCode1
    test::LoadedStore loaded(file);
    auto edit = OpenAnnotationEdit(loaded.store, loaded.settings, Mode::Sign, 0, dir.path(), loaded.prompter);
    ASSERT_TRUE(edit);
    ASSERT_EQ(edit->boxes.size(), 6u);
    ASSERT_EQ(edit->shown.size(), 4u);
    EXPECT_EQ(edit->shown[0].text, "v4");  // Sign cell 2 shows field 4
    EXPECT_EQ(edit->boxes[0].stored, "v6");
    std::vector<std::string> texts = ResetTexts(*edit);
    texts[0] = "F1 new";
    texts[5] = "F6 new";
    bool unsaved = false;
    FinishAnnotationEdit(loaded.store, *edit, texts, dir.path(), loaded.prompter, unsaved);
    auto reopened = OpenAnnotationEdit(loaded.store, loaded.settings, Mode::Sign, 0, dir.path(), loaded.prompter);
    ASSERT_TRUE(reopened);
    EXPECT_EQ(reopened->boxes[0].stored, "F1 new");
    EXPECT_EQ(reopened->boxes[5].stored, "F6 new");
    EXPECT_TRUE(FindWord(reopened->boxes[0].words, "F1 new"));
    EXPECT_EQ(Lines(test::ReadAll(dir.file("sign.str"))).size(), 6u);
}

TEST(OpenAnnotationEdit, AReadingOfUnknownModeIsNotEdited) {
    test::TempDir dir;
    test::TestFile file;
    file.add(test::PlainReading(6.0f, 17, 5));  // SpareCode1 goes to the Paint list
    test::LoadedStore loaded(file);
    EXPECT_FALSE(OpenAnnotationEdit(loaded.store, loaded.settings, Mode::Paint, 0, dir.path(), loaded.prompter));
    ASSERT_EQ(loaded.prompter.boxes().size(), 1u);
    EXPECT_EQ(loaded.prompter.boxes()[0].text, "Reading 5\r\nUnknown Mode 17");
    EXPECT_EQ(loaded.prompter.boxes()[0].caption, "MODE ERROR");
    EXPECT_FALSE(OpenAnnotationEdit(loaded.store, loaded.settings, Mode::Paint, 1, dir.path(), loaded.prompter));
}

}  // namespace
}  // namespace ravik
