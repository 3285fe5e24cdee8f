#include <gtest/gtest.h>

#include "views/table_cells.h"

namespace ravik {
namespace {

TEST(ValueCellTexts, AnchorOnTheSignThatLinesUp) {
    struct Case {
        Mode mode;
        const char* value;
        const char* precision;
        const char* drawn;
        const char* anchor;
    };
    const Case cases[] = {
        {Mode::Bulk, "NA", "NA", "NA", "N"},
        {Mode::Bulk, "<LOD", "  1.05", "<LOD =   1.05", "<LOD ="},
        {Mode::Paint, ">>5.0", "", ">>5.0", ">>"},
        {Mode::Bulk, ">>5.0", "", ">>5.0 \xB1 ", ">>5.0 \xB1"},  // only Paint reads ">"
        {Mode::Alloy, " 1.00", "-0.50", " 1.00 to 0.50", " 1.00 t"},
        {Mode::Bulk, " 1.00", "-0.50", " 1.00 \xB1 -0.50", " 1.00 \xB1"},  // only Alloy reads "-"
        {Mode::Paint, " 1.23", " 0.10", " 1.23 \xB1  0.10", " 1.23 \xB1"},
        {Mode::Thin, "123.45", "  2.00", "123.45 \xB1   2.00", "123.45 \xB1"},
    };
    for (const Case& c : cases) {
        const ValueCellText text = ValueCellTexts(c.mode, c.value, c.precision);
        EXPECT_EQ(text.drawn, c.drawn) << c.value;
        EXPECT_EQ(text.anchor, c.anchor) << c.value;
    }
}

ReadingFields PaintFields(const char* classText) {
    ReadingFields fields;
    fields.text[17].set(classText);
    return fields;
}

TEST(RowStyle, PositivePaintIsBoldAndMarkOrHiddenColoursWin) {
    const Settings settings;  // classification by the device's class text
    EXPECT_EQ(RowStyle(Mode::Paint, PaintFields("POS"), 0, settings), (CellStyle{ColorRole::Positive, true}));
    EXPECT_EQ(RowStyle(Mode::Paint, PaintFields("NEG"), 0, settings), (CellStyle{ColorRole::Normal, false}));
    EXPECT_EQ(RowStyle(Mode::Paint, PaintFields("POS"), Marked, settings), (CellStyle{ColorRole::Marked, true}));
    EXPECT_EQ(RowStyle(Mode::Paint, PaintFields("POS"), Hidden, settings), (CellStyle{ColorRole::Deleted, true}));
    EXPECT_EQ(RowStyle(Mode::Paint, PaintFields("INC"), Marked | Hidden, settings),
              (CellStyle{ColorRole::Marked, false}));
    // Only Paint readings are classed.
    EXPECT_EQ(RowStyle(Mode::Bulk, PaintFields("POS"), 0, settings), (CellStyle{ColorRole::Normal, false}));
    EXPECT_EQ(AlloyValueStyle(true, 0), (CellStyle{ColorRole::Positive, true}));
    EXPECT_EQ(AlloyValueStyle(true, Hidden), (CellStyle{ColorRole::Deleted, true}));
    EXPECT_EQ(AlloyValueStyle(false, Marked), (CellStyle{ColorRole::Marked, false}));
}

AlloySpecTable Specs() {
    AlloySpecTable specs;
    specs.count = 2;
    specs.records[0].name = "316";
    specs.records[0].ranges[0] = {"Cr", 16.0f, 18.0f};
    specs.records[0].ranges[1] = {"Ni", 10.0f, 14.0f};
    specs.records[0].ranges[2] = {"Cr", 0.0f, 1.0f};  // a later entry of the same element is not used
    specs.records[1].name = "304";
    specs.records[1].ranges[13] = {"Mo", 2.0f, 3.0f};  // the 14th entry is not checked
    return specs;
}

TEST(AlloyValueOutOfRange, ChecksTheFirstMatchingElementOfTheGrade) {
    const AlloySpecTable specs = Specs();
    EXPECT_FALSE(AlloyValueOutOfRange(specs, "316", "Cr \xB1 Prec", " 17.00"));
    EXPECT_TRUE(AlloyValueOutOfRange(specs, "316", "Cr \xB1 Prec", " 19.50"));
    EXPECT_TRUE(AlloyValueOutOfRange(specs, "316", "Ni \xB1 Prec", "  9.99"));
    EXPECT_TRUE(AlloyValueOutOfRange(specs, "316", "Ni \xB1 Prec", "<LOD"));  // absent where 10 are needed
    EXPECT_FALSE(AlloyValueOutOfRange(specs, "316", "Ni \xB1 Prec", "NA"));   // not analysed
    EXPECT_FALSE(AlloyValueOutOfRange(specs, "316", "Fe \xB1 Prec", " 99.00"));  // no range for Fe
    EXPECT_FALSE(AlloyValueOutOfRange(specs, "304", "Mo \xB1 Prec", " 99.00"));
    EXPECT_FALSE(AlloyValueOutOfRange(specs, "No Match", "Cr \xB1 Prec", " 99.00"));
    EXPECT_FALSE(AlloyValueOutOfRange(specs, "", "Cr \xB1 Prec", " 99.00"));
    // Unused ranges have no element name; they do not match every title.
    AlloySpecTable unnamed;
    unnamed.count = 1;
    unnamed.records[0].name = "316";
    unnamed.records[0].ranges[0] = {"", 50.0f, 60.0f};
    EXPECT_FALSE(AlloyValueOutOfRange(unnamed, "316", "Cr \xB1 Prec", " 17.00"));
    EXPECT_FALSE(AlloyValueOutOfRange(AlloySpecTable{}, "316", "Cr \xB1 Prec", " 99.00"));
}

}  // namespace
}  // namespace ravik
