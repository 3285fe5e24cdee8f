#include <gtest/gtest.h>

#include "readings/field_formatter.h"
#include "readings/readings_loader.h"
#include "reading_files.h"
#include "support/scripted_prompter.h"

namespace ravik {
namespace {

using sample::ElementSpec;
using sample::PackTenth;
using sample::RecordSpec;
using test::ModeWord;

// A store of one loaded file, titles learned.
struct Loaded {
    ReadingStore store;
    test::ScriptedPrompter prompter;
    LoadOutcome outcome;
    Loaded(const test::TestFile& file) {  // NOLINT
        const std::vector<uint8_t> bytes = file.bytes();
        outcome = LoadReadingsBytes(store, bytes, "test.qvr", kOpenCommand, prompter);
    }
    ReadingFields format(int n, const Settings& settings = {}) const {
        ReadingFields fields;
        EXPECT_TRUE(FormatReadingFields(store, settings, n, store.record(n), fields));
        return fields;
    }
    std::string title(Mode mode, int slot) const {
        return std::string(store.titles[mode][static_cast<size_t>(slot)].view());
    }
};

ElementSpec Element(const char* name, double value, double precision, uint8_t flags = 0) {
    return ElementSpec{name, flags, PackTenth(value), PackTenth(precision)};
}

TEST(FormatReadingFields, TextFieldsSplitAtTheFirstColonAndTeachTitles) {
    test::TestFile file;
    RecordSpec bulk = test::PlainReading(6.0f, 6, 41);  // BulkCode1
    bulk.textFields[0] = "Site:Garage:North";
    bulk.textFields[1] = "Garage";      // no colon: all label, no value
    bulk.textFields[2] = "Elv:";        // ends with its colon: no value
    bulk.textFields[7] = "Type:Soil\tdry";  // a TAB shows as a blank
    file.add(bulk);
    Loaded loaded(file);
    ASSERT_EQ(loaded.outcome, LoadOutcome::Whole);
    ReadingFields fields;
    ASSERT_TRUE(FormatReadingFields(loaded.store, {}, 7, loaded.store.record(1), fields));
    EXPECT_EQ(fields.text[0].view(), "7");  // the number the caller shows
    EXPECT_EQ(fields.text[1].view(), "41");
    EXPECT_EQ(fields.text[2].view(), "Garage:North");
    EXPECT_EQ(loaded.title(Mode::Bulk, 2), "Site");
    EXPECT_EQ(fields.text[3].view(), "");
    EXPECT_EQ(loaded.title(Mode::Bulk, 3), "Garage");
    EXPECT_EQ(fields.text[4].view(), "");
    EXPECT_EQ(fields.text[8].view(), "Soil dry");  // field 8 goes to cell 8
    EXPECT_EQ(fields.text[13].view(), "30.0");
    EXPECT_EQ(fields.text[15].view(), "1 of 1");
    EXPECT_EQ(loaded.title(Mode::Bulk, 13), "Ssec");
    EXPECT_EQ(loaded.title(Mode::Bulk, 14), "Date/Time");
    EXPECT_TRUE(loaded.prompter.boxes().empty());
}

TEST(FormatReadingFields, SignLayoutAndSourceTexts) {
    test::TestFile file;
    RecordSpec sign = test::PlainReading(6.0f, 21, 5);  // SignCode3
    sign.modeWord = ModeWord(6.0f, 21, 1);
    for (int f = 0; f < 11; ++f) sign.textFields[static_cast<size_t>(f)] = "L" + std::to_string(f + 1) + ":v" + std::to_string(f + 1);
    sign.textFields[5] = "";  // empty source field
    file.add(sign);
    sign.modeWord = ModeWord(6.0f, 21, 5);
    file.add(sign);
    sign.modeWord = ModeWord(6.0f, 4, 1);  // SignCode1: no source text
    file.add(sign);
    RecordSpec alloy = test::PlainReading(6.0f, 12, 6);  // AlloyCode1, bits 3
    alloy.modeWord = ModeWord(6.0f, 12, 3);
    file.add(alloy);
    RecordSpec bulk = test::PlainReading(6.0f, 6, 7);  // BulkCode1 is not alloy-like
    bulk.modeWord = ModeWord(6.0f, 6, 3);
    file.add(bulk);
    Loaded loaded(file);
    const ReadingFields first = loaded.format(1);
    // Cells 2..11 take fields 4, 5, 1, 2, 6, 7, 8, 9, 10, 11; field 3 is not shown.
    const char* expected[] = {"v4", "v5", "v1", "v2", "Fe55Only", "v7", "v8", "v9", "v10", "v11"};
    for (int cell = 2; cell <= 11; ++cell) {
        EXPECT_EQ(first.text[static_cast<size_t>(cell)].view(), expected[cell - 2]) << cell;
    }
    EXPECT_EQ(first.text[12].view(), "DEF12");  // not written in the Sign layout
    EXPECT_EQ(loaded.title(Mode::Sign, 2), "L4");
    EXPECT_EQ(loaded.format(2).text[6].view(), "");
    EXPECT_EQ(loaded.format(3).text[6].view(), "");
    EXPECT_EQ(loaded.format(4).text[7].view(), "Cd,Fe");
    EXPECT_EQ(loaded.format(5).text[7].view(), "");
}

TEST(FormatReadingFields, SourceFieldWithALabelIsTitledSource) {
    test::TestFile file;
    RecordSpec alloy = test::PlainReading(6.0f, 12, 6);
    alloy.textFields[5] = "Src:";
    file.add(alloy);
    Loaded loaded(file);
    EXPECT_EQ(loaded.title(Mode::Alloy, 7), "Source");
    EXPECT_EQ(loaded.format(1).text[7].view(), "Cd");  // bits 2 in PlainReading
}

TEST(FormatReadingFields, BulkValuesBelowTheLimitOfDetection) {
    test::TestFile file;
    RecordSpec bulk = test::PlainReading(6.0f, 6, 1);
    bulk.elements = {Element("Fe", 1.0, 0.7), Element("Zn", 52.3, 1.2), Element("RES", 12.0, 1.0)};
    file.add(bulk);
    Loaded loaded(file);
    ReadingFields fields = loaded.format(1);
    EXPECT_EQ(fields.value[0].view(), "<LOD");
    EXPECT_EQ(fields.precision[0].view(), "  1.05");
    EXPECT_EQ(fields.value[1].view(), " 52.30");
    EXPECT_EQ(fields.precision[1].view(), "  1.20");
    EXPECT_EQ(fields.value[2].view(), "    12");
    EXPECT_EQ(fields.precision[2].view(), "NA");
    EXPECT_EQ(fields.value[3].view(), "NA");  // no element in this column
    EXPECT_EQ(loaded.title(Mode::Bulk, 16), "Fe \xB1 Prec");
    EXPECT_EQ(loaded.title(Mode::Bulk, 18), "RES \xB1 Prec");

    Settings showAll;
    showAll.displayValuesBelowLod = true;
    fields = loaded.format(1, showAll);
    EXPECT_EQ(fields.value[0].view(), "  1.00");
    EXPECT_EQ(fields.precision[0].view(), "  0.70");
}

TEST(FormatReadingFields, ElementsKeepTheirColumnsAcrossReadings) {
    test::TestFile file;
    RecordSpec first = test::PlainReading(6.0f, 7, 1);  // Thin
    first.elements = {Element("Cu", 9, 1), Element("Pb", 9, 1)};
    RecordSpec second = test::PlainReading(6.0f, 7, 2);
    second.elements = {Element("Zn", 9, 1), Element("Pb", 8, 1), Element("Cu", 7, 1)};
    file.add(first);
    file.add(second);
    Loaded loaded(file);
    const ReadingFields fields = loaded.format(2);
    EXPECT_EQ(fields.value[0].view(), "  7.00");  // Cu stays in the first column
    EXPECT_EQ(fields.value[1].view(), "  8.00");
    EXPECT_EQ(fields.value[2].view(), "  9.00");  // Zn took the next free column
    EXPECT_EQ(loaded.title(Mode::Thin, 18), "Zn \xB1 Prec");
    EXPECT_EQ(loaded.title(Mode::Thin, 19), "#4 \xB1 Prec");
}

TEST(FormatReadingFields, AlloyMatchesAndHundredths) {
    test::TestFile file;
    RecordSpec alloy = test::PlainReading(6.0f, 13, 3);  // AlloyCode2
    alloy.textFields[0] = "1st:316";
    alloy.textFields[1] = "2nd:304";
    alloy.textFields[2] = "3rd:321";
    alloy.elements = {Element("M1\x01", 250, 0), Element("M2", 12, 0), Element("M3", 30, 0),
                      Element("Cr", 150, 4), Element("Ni", 90, 3)};
    file.add(alloy);
    alloy.elements = {Element("M1", 2, 0), Element("M2", 12, 0), Element("M3", 300, 0),
                      Element("Cr", 18.2, 0.4)};
    file.add(alloy);
    Loaded loaded(file);
    ReadingFields fields = loaded.format(1);
    EXPECT_EQ(fields.text[2].view(), "No Match");
    EXPECT_EQ(fields.text[3].view(), "");
    EXPECT_EQ(fields.text[4].view(), "");
    EXPECT_EQ(fields.value[3].view(), "  1.50");  // 150 / 100 from the fourth element on
    EXPECT_EQ(fields.precision[3].view(), "  0.04");
    EXPECT_EQ(fields.value[4].view(), "  0.90");
    EXPECT_EQ(fields.value[0].view(), "250.00");   // match values are not divided
    EXPECT_EQ(loaded.title(Mode::Alloy, 16), "M1 \xB1 Prec");  // two-character names
    fields = loaded.format(2);
    EXPECT_EQ(fields.text[2].view(), "316");
    EXPECT_EQ(fields.text[3].view(), "304");
    EXPECT_EQ(fields.text[4].view(), "");
    EXPECT_EQ(fields.value[3].view(), " 18.20");
}

TEST(FormatReadingFields, ZeroPrecisionOfTheAssayCodesIsShownAsIs) {
    test::TestFile file;
    RecordSpec alloy = test::PlainReading(6.0f, 12, 3);  // AlloyCode1
    alloy.elements = {Element("Fe", 0.5, -0.2)};
    file.add(alloy);
    alloy.modeWord = ModeWord(6.0f, 13, 2);  // AlloyCode2 is not one of them
    file.add(alloy);
    Loaded loaded(file);
    EXPECT_EQ(loaded.format(1).value[0].view(), " 0.50");
    EXPECT_EQ(loaded.format(1).precision[0].view(), "-0.20");
    EXPECT_EQ(loaded.format(2).value[0].view(), "  0.50");
}

RecordSpec PaintReading(double lead, double precision, int classNibble, uint32_t millis) {
    RecordSpec paint = test::PlainReading(6.0f, 1, 9);
    paint.measuringMillis = millis;
    paint.diWord = sample::PackMilli(2.5);
    paint.elements = {Element("Pbl", lead * 1000, precision * 1000), Element("Pbk", 800, 100),
                      Element("Pbc", 600, 100, static_cast<uint8_t>(classNibble << 4))};
    return paint;
}

TEST(FormatReadingFields, PaintResultsAndDeviceClasses) {
    test::TestFile file;
    file.add(PaintReading(1.2, 0.1, 1, 25000));
    file.add(PaintReading(5.12, 0.1, 2, 25000));
    file.add(PaintReading(4.8, 0.1, 7, 25000));
    RecordSpec res = PaintReading(0.5, 0.1, 5, 25000);
    res.elements.push_back(Element("Res", 30, 1));
    file.add(res);
    Loaded loaded(file);
    ReadingFields fields = loaded.format(1);
    EXPECT_EQ(fields.value[0].view(), " 1.20");
    EXPECT_EQ(fields.precision[0].view(), " 0.10");
    EXPECT_EQ(fields.value[1].view(), " 0.80");
    EXPECT_EQ(fields.text[16].view(), "2.5");
    EXPECT_EQ(fields.text[17].view(), "POS");
    fields = loaded.format(2);
    EXPECT_EQ(fields.value[0].view(), ">>5.0");
    EXPECT_EQ(fields.precision[0].view(), "");
    EXPECT_EQ(fields.text[17].view(), "NEG");
    fields = loaded.format(3);
    EXPECT_EQ(fields.value[0].view(), " 4.80");
    EXPECT_EQ(fields.text[17].view(), "...");  // a class without text
    fields = loaded.format(4);
    EXPECT_EQ(fields.text[17].view(), "NotDone");
    EXPECT_EQ(fields.value[3].view(), "   30");  // Res x 1000
    EXPECT_EQ(fields.precision[3].view(), "NA");
    EXPECT_EQ(loaded.title(Mode::Paint, 21), "Res \xB1 Prec");
}

TEST(ClassifyPaint, UserThresholdsAndMinimumTimes) {
    Settings user;
    user.pcs = kPcsUser;
    user.neg = 0.7f;
    user.pos = 1.0f;
    user.minLtime = 20;
    user.minKtime = 120;
    // L rule.
    EXPECT_EQ(ClassifyPaint(1.2, 0.1, 0, 0, "", 15.0, "NA", user), 4);
    EXPECT_EQ(ClassifyPaint(1.2, 0.1, 0, 0, "", 25.0, "NA", user), 1);
    EXPECT_EQ(ClassifyPaint(0.5, 0.1, 0, 0, "", 25.0, "NA", user), 2);
    EXPECT_EQ(ClassifyPaint(0.8, 0.1, 0, 0, "", 25.0, "NA", user), 3);
    // K rule: fourth value text containing "NC" and an L precision of 9.5.
    EXPECT_EQ(ClassifyPaint(0, 9.5, 1.5, 0.1, "", 100.0, "NC", user), 4);
    EXPECT_EQ(ClassifyPaint(0, 9.5, 1.5, 0.1, "", 130.0, "NC", user), 1);
    EXPECT_EQ(ClassifyPaint(0, 9.5, 0.5, 0.1, "", 130.0, "NC", user), 2);  // 0.5 + 0.1 < 0.7
    EXPECT_EQ(ClassifyPaint(0, 9.5, 0.65, 0.1, "", 130.0, "NC", user), 3);
    EXPECT_EQ(ClassifyPaint(0, 9.5, 0.9, -0.6, "", 130.0, "NC", user), 2);  // -pK when negative
    EXPECT_EQ(ClassifyPaint(0, 9.4, 1.5, 0.1, "", 130.0, "NC", user), 2);   // not 9.5: L rule
    // Device: the class text decides.
    const Settings device;
    EXPECT_EQ(ClassifyPaint(9, 0, 0, 0, "POS", 0, "", device), 1);
    EXPECT_EQ(ClassifyPaint(9, 0, 0, 0, "NEG", 0, "", device), 2);
    EXPECT_EQ(ClassifyPaint(9, 0, 0, 0, "INC", 0, "", device), 3);
    EXPECT_EQ(ClassifyPaint(9, 0, 0, 0, "INCOM", 0, "", device), 4);
    EXPECT_EQ(ClassifyPaint(9, 0, 0, 0, "...", 0, "", device), 4);
}

TEST(FormatReadingFields, PaintWithUserClassesUsesTheLRule) {
    test::TestFile file;
    file.add(PaintReading(1.2, 0.1, 2, 15000));
    file.add(PaintReading(1.2, 0.1, 2, 25000));
    file.add(PaintReading(0.5, 0.1, 1, 25000));
    Loaded loaded(file);
    Settings user;
    user.pcs = kPcsUser;
    user.neg = 0.7f;
    EXPECT_EQ(loaded.format(1, user).text[17].view(), "INCOM");
    EXPECT_EQ(loaded.format(2, user).text[17].view(), "POS");
    const ReadingFields negative = loaded.format(3, user);
    EXPECT_EQ(negative.text[17].view(), "NEG");
    EXPECT_EQ(ClassifyPaintFields(negative, user), 2);
}

TEST(FormatReadingFields, UnknownModesAndTooManyElementsAreReported) {
    test::TestFile file;
    file.add(test::PlainReading(6.0f, 17, 77));  // SpareCode1: Paint list, unknown mode
    RecordSpec crowded = test::PlainReading(6.0f, 1, 8);
    for (const char* name : {"Pbl", "Pbk", "Pbc", "Zn", "Cu"}) crowded.elements.push_back(Element(name, 100, 10));
    file.add(crowded);
    file.add(crowded);
    Loaded loaded(file);
    EXPECT_EQ(loaded.store.list(Mode::Paint), (ModeList{1, 2, 3}));
    ASSERT_EQ(loaded.prompter.boxes().size(), 2u);  // the overflow is told once per run
    EXPECT_EQ(loaded.prompter.boxes()[0].text, "Reading 77\r\nUnknown Mode 17");
    EXPECT_EQ(loaded.prompter.boxes()[0].caption, "MODE ERROR");
    EXPECT_EQ(loaded.prompter.boxes()[1].text,
              "Too Many Elements to Append Files\nSome Data Will NOT Be Appended");
    EXPECT_EQ(loaded.prompter.boxes()[1].caption, "APPEND ERROR");

    ReadingFields fields;
    EXPECT_FALSE(FormatReadingFields(loaded.store, {}, 1, loaded.store.record(1), fields));
    EXPECT_EQ(fields.text[0].view(), "DEF0");
    EXPECT_EQ(fields.text[13].view(), "DEF13");
    EXPECT_EQ(loaded.format(2).value[3].view(), " 0.10");  // Zn took the free column; Cu is dropped
}

TEST(FormatStatusFields, CellsFromTheMeasurementBlock) {
    RecordSpec recordSpec = test::PlainReading(6.0f, 6, 1234);
    recordSpec.timeStamp = 0;
    recordSpec.measuringMillis = 12345;
    for (size_t k = 0; k < 13; ++k) recordSpec.statusWords[k] = sample::PackMilli(1.5 + 0.25 * static_cast<double>(k));
    const std::vector<uint8_t> record = sample::BuildRecord(recordSpec);
    StatusFields status;
    FormatStatusFields(record, status);
    EXPECT_EQ(status.cells[0].view(), "1234");
    EXPECT_EQ(status.cells[1].view(), "12/31/1993");
    EXPECT_EQ(status.cells[2].view(), "24:00:00");
    EXPECT_EQ(status.cells[3].view(), "12.3");
    EXPECT_EQ(status.cells[4].view(), "1.500");
    EXPECT_EQ(status.cells[11].view(), " 3.250");  // PCool "%6.3f"
    EXPECT_EQ(status.cells[16].view(), "4.5000");
}

TEST(ReadNumber, ReadsOnlyThePlainDecimalForm) {
    EXPECT_DOUBLE_EQ(ReadNumber("  12.5xyz"), 12.5);
    EXPECT_DOUBLE_EQ(ReadNumber("-3e2,"), -300.0);
    EXPECT_DOUBLE_EQ(ReadNumber("1e"), 1.0);
    EXPECT_DOUBLE_EQ(ReadNumber("Nancy"), 0.0);
    EXPECT_DOUBLE_EQ(ReadNumber("inf"), 0.0);
    EXPECT_DOUBLE_EQ(ReadNumber("0x10"), 0.0);
    EXPECT_DOUBLE_EQ(ReadNumber(""), 0.0);
}

}  // namespace
}  // namespace ravik
