#include <gtest/gtest.h>

#include "core/readings/field_formatter.h"
#include "reading_files.h"

namespace ravik {
namespace {

using sample::RecordSpec;
using test::Element;
using test::ModeWord;
using Strings = std::vector<std::string>;

// The texts of some cells of an array of cells.
template <typename Cells>
Strings At(const Cells& cells, std::initializer_list<int> indices) {
    Strings texts;
    for (int i : indices) texts.emplace_back(cells[static_cast<size_t>(i)].view());
    return texts;
}

// Value columns as "value|precision".
Strings Pairs(const ReadingFields& fields, std::initializer_list<int> columns) {
    Strings texts;
    for (int c : columns) {
        texts.push_back(std::string(fields.value[static_cast<size_t>(c)].view()) + "|" +
                        std::string(fields.precision[static_cast<size_t>(c)].view()));
    }
    return texts;
}

TEST(FormatReadingFields, TextFieldsSplitAtTheFirstColonAndTeachTitles) {
    RecordSpec bulk = test::PlainReading(6.0f, 6, 41);  // BulkCode1
    bulk.textFields[0] = "Site:Garage:North";
    bulk.textFields[1] = "Garage";          // no colon: all label, no value
    bulk.textFields[2] = "Elv:";            // ends with its colon: no value
    bulk.textFields[7] = "Type:Soil\tdry";  // a TAB shows as a blank
    test::LoadedStore loaded(test::FileWith({bulk}));
    ReadingFields fields;
    ASSERT_TRUE(FormatReadingFields(loaded.store, {}, 7, loaded.store.record(1), fields));
    // Cell 0 is the number the caller shows; field 8 goes to cell 8.
    EXPECT_EQ(At(fields.text, {0, 1, 2, 3, 4, 8, 13, 15}),
              (Strings{"7", "41", "Garage:North", "", "", "Soil dry", "30.0", "1 of 1"}));
    EXPECT_EQ(At(loaded.store.titles[Mode::Bulk], {2, 3, 13, 14}), (Strings{"Site", "Garage", "Ssec", "Date/Time"}));
}

TEST(FormatReadingFields, SignLayoutAndSourceTexts) {
    // The reading with its mode word made of this code and these source bits.
    auto as = [](RecordSpec recordSpec, int code, int sourceBits) {
        recordSpec.modeWord = ModeWord(6.0f, code, sourceBits);
        return recordSpec;
    };
    RecordSpec sign = test::PlainReading(6.0f, 21, 5);  // SignCode3
    for (size_t f = 0; f < 11; ++f) sign.textFields[f] = "L" + std::to_string(f + 1) + ":v" + std::to_string(f + 1);
    sign.textFields[5] = "";  // the source field
    RecordSpec alloy = test::PlainReading(6.0f, 12, 6);  // AlloyCode1
    alloy.textFields[5] = "Src:";  // a labelled source field is titled "Source" all the same
    // SignCode1 (4) shows no source text, nor does BulkCode1, which is not alloy-like.
    test::LoadedStore loaded(test::FileWith({as(sign, 21, 1), as(sign, 21, 5), as(sign, 4, 1), as(alloy, 12, 3),
                                             as(test::PlainReading(6.0f, 6, 7), 6, 3)}));
    // Cells 2..11 take fields 4, 5, 1, 2, the source, 7..11; field 3 is not shown, nor is cell 12 written.
    EXPECT_EQ(At(loaded.format(1).text, {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}),
              (Strings{"v4", "v5", "v1", "v2", "Fe55Only", "v7", "v8", "v9", "v10", "v11", "DEF12"}));
    EXPECT_EQ(loaded.title(Mode::Sign, 2), "L4");
    EXPECT_EQ(loaded.format(2).text[6].view(), "");
    EXPECT_EQ(loaded.format(3).text[6].view(), "");
    EXPECT_EQ(loaded.format(4).text[7].view(), "Cd,Fe");
    EXPECT_EQ(loaded.title(Mode::Alloy, 7), "Source");
    EXPECT_EQ(loaded.format(5).text[7].view(), "");
}

TEST(FormatReadingFields, BulkValuesBelowTheLimitOfDetection) {
    test::TestFile file;
    RecordSpec bulk = test::PlainReading(6.0f, 6, 1);
    bulk.elements = {Element("Fe", 1.0, 0.7), Element("Zn", 52.3, 1.2), Element("RES", 12.0, 1.0)};
    file.add(bulk);
    bulk.elements = {Element("Fe", 1.5, 1.0)};  // exactly at the limit
    file.add(bulk);
    test::LoadedStore loaded(file);
    ReadingFields fields = loaded.format(1);
    // Below the limit the precision shown is 1.5 times the stored one; RES is a whole number.
    EXPECT_EQ(Pairs(fields, {0, 1, 2}), (Strings{"<LOD|  1.05", " 52.30|  1.20", "    12|NA"}));
    EXPECT_EQ(Pairs(loaded.format(2), {0}), Strings{"  1.50|  1.00"});
    EXPECT_EQ(At(fields.value, {3}), Strings{"NA"});
    EXPECT_EQ(loaded.title(Mode::Bulk, 16), "Fe \xB1 Prec");
    loaded.settings.displayValuesBelowLod = true;
    EXPECT_EQ(Pairs(loaded.format(1), {0}), Strings{"  1.00|  0.70"});
}

TEST(FormatReadingFields, ElementsKeepTheirColumnsAcrossReadings) {
    RecordSpec first = test::PlainReading(6.0f, 7, 1);  // Thin
    first.elements = {Element("Cu", 9, 1), Element("Pb", 9, 1)};
    RecordSpec second = test::PlainReading(6.0f, 7, 2);
    second.elements = {Element("Zn", 9, 1), Element("Pb", 8, 1), Element("Cu", 7, 1)};
    test::LoadedStore loaded(test::FileWith({first, second}));
    // Cu and Pb keep their columns; Zn takes the next free one.
    EXPECT_EQ(At(loaded.format(2).value, {0, 1, 2}), (Strings{"  7.00", "  8.00", "  9.00"}));
    EXPECT_EQ(loaded.title(Mode::Thin, 18), "Zn \xB1 Prec");
    EXPECT_EQ(loaded.title(Mode::Thin, 19), "#4 \xB1 Prec");
}

TEST(FormatReadingFields, AlloyMatchesAndHundredths) {
    test::TestFile file;
    RecordSpec alloy = test::PlainReading(6.0f, 13, 3);  // AlloyCode2
    alloy.textFields = {"1st:316", "2nd:304", "3rd:321"};
    alloy.elements = {Element("M1\x01", 250, 0), Element("M2", 12, 0), Element("M3", 30, 0),
                      Element("Cr", 150, 4), Element("Ni", 90, 3)};
    file.add(alloy);
    alloy.elements = {Element("M1", 2, 0), Element("M2", 12, 0), Element("M3", 200, 0), Element("Cr", 18.2, 0.4)};
    file.add(alloy);
    RecordSpec assay = test::PlainReading(6.0f, 12, 3);  // AlloyCode1 shows "%5.2f", the precision as stored
    assay.elements = {Element("Fe", 0.5, -0.2)};
    file.add(assay);
    // A first match of exactly 200 is no match; a three-letter name joins its two-letter column.
    alloy.elements = {Element("M1", 200, 0), Element("M2", 12, 0), Element("M3", 30, 0), Element("CrX", 17.5, 0.3)};
    file.add(alloy);
    alloy.elements = {Element("M1", 2, 0), Element("M2", 200, 0), Element("M3", 30, 0)};
    file.add(alloy);
    test::LoadedStore loaded(file);
    ReadingFields fields = loaded.format(1);
    // A first match value of 200 or more is no match; with a value of 100 or more from the fourth
    // element on, those values are hundredths.
    EXPECT_EQ(At(fields.text, {2, 3, 4}), (Strings{"No Match", "", ""}));
    EXPECT_EQ(Pairs(fields, {0, 3, 4}), (Strings{"250.00|  0.00", "  1.50|  0.04", "  0.90|  0.03"}));
    EXPECT_EQ(loaded.title(Mode::Alloy, 16), "M1 \xB1 Prec");  // two-character names
    fields = loaded.format(2);
    EXPECT_EQ(At(fields.text, {2, 3, 4}), (Strings{"316", "304", ""}));
    EXPECT_EQ(At(fields.value, {3}), Strings{" 18.20"});
    EXPECT_EQ(Pairs(loaded.format(3), {5}), Strings{" 0.50|-0.20"});  // Fe takes the sixth column
    fields = loaded.format(4);
    EXPECT_EQ(At(fields.text, {2, 3, 4}), (Strings{"No Match", "", ""}));
    EXPECT_EQ(Pairs(fields, {3}), Strings{" 17.50|  0.30"});
    EXPECT_EQ(At(loaded.format(5).text, {2, 3, 4}), (Strings{"316", "", ""}));  // a second match of exactly 200
}

TEST(FormatReadingFields, PaintResultsAndClasses) {
    RecordSpec res = test::PaintReading(4, 5, 0.5);
    res.elements.push_back(Element("Res", 30, 1));
    RecordSpec quick = test::PaintReading(5, 2, 1.2);
    quick.measuringMillis = 15000;
    test::LoadedStore loaded(test::FileWith(
        {test::PaintReading(1, 2, 1.2), test::PaintReading(2, 1, 5.0016), test::PaintReading(3, 7, 4.8), res, quick,
         test::PaintReading(6, 1, 4.9984)}));
    EXPECT_EQ(Pairs(loaded.format(1), {0, 1}), (Strings{" 1.20| 0.10", " 0.80| 0.10"}));
    EXPECT_EQ(loaded.format(1).text[16].view(), "2.5");
    // The stored leads nearest 5.0 on either side: only the one above it is ">>5.0".
    EXPECT_EQ(Pairs(loaded.format(2), {0}), Strings{">>5.0|"});
    EXPECT_EQ(Pairs(loaded.format(6), {0}), Strings{" 5.00| 0.10"});
    EXPECT_EQ(Pairs(loaded.format(4), {3}), Strings{"   30|NA"});  // Res x 1000
    EXPECT_EQ(loaded.title(Mode::Paint, 21), "Res \xB1 Prec");

    auto classes = [&] {
        Strings texts;
        for (int n = 1; n <= 5; ++n) texts.emplace_back(loaded.format(n).text[17].view());
        return texts;
    };
    // The device's class texts; a class without a text is "...".
    EXPECT_EQ(classes(), (Strings{"NEG", "POS", "...", "NotDone", "NEG"}));
    // User classes follow the L rule.
    loaded.settings.pcs = kPcsUser;
    loaded.settings.neg = 0.7f;
    EXPECT_EQ(classes(), (Strings{"POS", "POS", "POS", "NEG", "INCOM"}));
}

TEST(ClassifyPaint, TheUserLAndKRules) {
    Settings user;
    user.pcs = kPcsUser;
    user.pos = 1.0f;
    user.minLtime = 20;
    user.minKtime = 120;
    struct Case {
        double l, pL, k, pK, seconds;
        const char* fourth;
        int expected;
        float neg = 0.7f;
    };
    const Case cases[] = {
        {1.2, 0.1, 0, 0, 15, "NA", 4},  // the L rule
        {1.2, 0.1, 0, 0, 25, "NA", 1},
        {0.5, 0.1, 0, 0, 25, "NA", 2},
        {0.8, 0.1, 0, 0, 25, "NA", 3},
        {0, 9.5, 1.5, 0.1, 100, "NC", 4},  // the K rule: "NC" in the fourth value and an L precision of 9.5
        {0, 9.5, 1.5, 0.1, 130, "NC", 1},
        {0, 9.5, 0.5, 0.1, 130, "NC", 2},  // 0.5 + 0.1 < 0.7
        {0, 9.5, 0.65, 0.1, 130, "NC", 3},
        {0, 9.5, 0.9, -0.6, 130, "NC", 2},  // -pK when negative
        {0, 9.4, 1.5, 0.1, 130, "NC", 2},   // not 9.5: the L rule
        {1.2, 0.1, 0, 0, 20, "NA", 1},      // exactly the minimum times count as measured
        {0, 9.5, 1.5, 0.1, 120, "NC", 1},
        {1.0, 0.1, 0, 0, 25, "NA", 1},  // exactly pos is positive
        {0.5, 0.1, 0, 0, 25, "NA", 3, 0.5f},  // exactly neg is not negative, by either rule
        {0, 9.5, 0.25, 0.25, 130, "NC", 3, 0.5f},
    };
    for (const Case& c : cases) {
        user.neg = c.neg;
        EXPECT_EQ(ClassifyPaint(c.l, c.pL, c.k, c.pK, "", c.seconds, c.fourth, user), c.expected)
            << c.l << " " << c.pL << " " << c.k << " " << c.pK << " " << c.seconds;
    }
}

TEST(FormatReadingFields, UnknownModesAndTooManyElementsAreReported) {
    RecordSpec crowded = test::PlainReading(6.0f, 1, 8);
    for (const char* name : {"Pbl", "Pbk", "Pbc", "Zn", "Cu"}) crowded.elements.push_back(Element(name, 100, 10));
    // Code 17 (SpareCode1) goes to the Paint list as an unknown mode.
    test::LoadedStore loaded(test::FileWith({test::PlainReading(6.0f, 17, 77), crowded, crowded}));
    EXPECT_EQ(loaded.store.list(Mode::Paint), (ModeList{1, 2, 3}));
    EXPECT_EQ(loaded.prompter.shown(),  // the overflow is told once per run
              (Strings{"MODE ERROR: Reading 77\r\nUnknown Mode 17",
                       "APPEND ERROR: Too Many Elements to Append Files\nSome Data Will NOT Be Appended"}));
    ReadingFields fields;
    EXPECT_FALSE(FormatReadingFields(loaded.store, {}, 1, loaded.store.record(1), fields));
    EXPECT_EQ(At(fields.text, {0, 13}), (Strings{"DEF0", "DEF13"}));
    EXPECT_EQ(At(loaded.format(2).value, {3}), Strings{" 0.10"});  // Zn took the free column; Cu is dropped
}

TEST(ReadNumber, ReadsOnlyThePlainDecimalForm) {
    const std::pair<const char*, double> cases[] = {{"  12.5xyz", 12.5}, {"-3e2,", -300.0}, {"1e", 1.0},
                                                    {"Nancy", 0.0},      {"inf", 0.0},      {"0x10", 0.0}};
    for (const auto& [text, value] : cases) EXPECT_DOUBLE_EQ(ReadNumber(text), value) << text;
}

}  // namespace
}  // namespace ravik
