#include <gtest/gtest.h>

#include "unit/readings/reading_files.h"
#include "core/views/table_cells.h"
#include "core/views/table_layout.h"

namespace ravik {
namespace {

constexpr int kBulkCode = 6;

// Settings whose column masks show nothing until a test sets bits.
Settings NoColumns() {
    Settings settings;
    settings.enabledColumns.fill(0);
    return settings;
}

// Bulk readings numbered 1, 2, ... of these sites and Fe values.
ReadingStore BulkStore(const std::vector<std::pair<std::string, double>>& readings) {
    test::TestFile file;
    for (const auto& [site, fe] : readings) {
        const auto number = static_cast<uint16_t>(file.records.size() + 1);
        sample::RecordSpec recordSpec = test::PlainReading(6.0f, kBulkCode, number);
        recordSpec.textFields[0] = "Site:" + site;
        recordSpec.elements.push_back(test::Element("Fe", fe, 0.1));
        file.add(recordSpec);
    }
    return test::LoadStore(file);
}

TEST(ShownColumns, FollowTheMaskWordsOfEachMode) {
    Settings settings = NoColumns();
    std::array<int32_t, 9>& masks = settings.enabledColumns;
    masks[0] = (1 << 0) | (1 << 17) | (1 << 21) | (1 << 25);  // bit 25 lies beyond Paint's titles
    EXPECT_EQ(ShownColumns(Mode::Paint, settings), (std::vector<int>{0, 17, 21}));

    // Bulk: text columns from word A, element columns from word B only; bit
    // 20 of word A does not show element column 20.
    masks[1] = (1 << 2) | (1 << 15) | (1 << 20);
    masks[2] = (1 << 0) | (1 << 4) | static_cast<int32_t>(1u << 31);
    EXPECT_EQ(ShownColumns(Mode::Bulk, settings), (std::vector<int>{2, 15, 16, 20, 47}));

    masks[7] = 1;  // Sign: words 7 and 8
    EXPECT_EQ(ShownColumns(Mode::Sign, settings), (std::vector<int>{0}));
    EXPECT_EQ(ShownColumns(Mode::Thin, Settings{}).size(), 48u);  // -1: every column
    EXPECT_EQ(ShownColumns(Mode::Paint, Settings{}).size(), 22u);
}

// Blanks are 4 pixels wide, everything else 10, so padded numbers differ.
int NarrowBlanks(std::string_view text) {
    int width = 0;
    for (char c : text) width += c == ' ' ? 4 : 10;
    return width;
}

// A column is as wide as the widest of its title and cells plus the gap; a
// font change is followed from the widest texts, without the readings.
TEST(ColumnWidths, TakeTheWidestOfTitleAndCellsPlusGapAndFollowTheFont) {
    ReadingStore store = BulkStore({{"Yard", 1.5}, {"Long Garage", 12.5}, {"Shed", 3.0}});
    ColumnWidthCache cache;
    RemeasureColumnWidths(store, Settings{}, Mode::Bulk, NarrowBlanks, cache);
    const int gap = 16;

    EXPECT_EQ(cache.widestCell[2], "Long Garage");
    EXPECT_EQ(cache.widths[2], 104 + gap);  // wider than its title "Site"
    EXPECT_EQ(cache.widths[1], 40 + gap);   // the title "QVNo" beats the numbers
    // The element column is centred on "±": twice the widest "%s ±" text.
    EXPECT_EQ(cache.widestCell[16], " 12.50 \xB1");
    EXPECT_EQ(cache.widths[16], gap + 2 * 68);
    // A free column shows "NA" everywhere; its title "#2 ± Prec" is wider.
    EXPECT_EQ(cache.widths[17], 78 + gap);

    const ColumnWidthCache before = cache;
    ClearStore(store);  // the readings are no longer needed
    RefreshColumnWidths(store.titles, Mode::Bulk, [](std::string_view t) { return 2 * NarrowBlanks(t); }, cache);
    for (int column = 0; column < 48; ++column) {
        EXPECT_EQ(cache.widths[column], 2 * before.widths[column]) << "column " << column;
    }
}

TEST(LayoutColumns, PlacesCentresOrLeftEdgesOnARunningSum) {
    ColumnWidthCache cache;
    cache.widths[0] = 30;
    cache.widths[1] = 45;
    cache.widths[5] = 21;
    Settings settings = NoColumns();
    settings.enabledColumns[0] = (1 << 0) | (1 << 1) | (1 << 5);
    const ColumnLayout centres = LayoutColumns(Mode::Paint, settings, cache);
    EXPECT_EQ(centres.columns, (std::vector<int>{0, 1, 5}));
    EXPECT_EQ(centres.positions, (std::vector<double>{15.0, 52.5, 85.5}));
    EXPECT_EQ(centres.totalWidth, 96);
    const ColumnLayout edges = LayoutColumns(Mode::Paint, settings, cache, ColumnAnchor::LeftEdge);
    EXPECT_EQ(edges.positions, (std::vector<double>{0.0, 30.0, 75.0}));
}

TEST(HitTestColumn, TakesTheNearestCentreAndTheLaterOneOnATie) {
    ColumnWidthCache cache;
    cache.widths.fill(20);  // centres 10, 30, 50 ...
    Settings settings = NoColumns();
    settings.enabledColumns[1] = (1 << 3) | (1 << 4);
    settings.enabledColumns[2] = 1 << 5;  // element column 21
    const ColumnLayout layout = LayoutColumns(Mode::Bulk, settings, cache);
    EXPECT_EQ(HitTestColumn(layout, 0, Mode::Bulk), 3);
    EXPECT_EQ(HitTestColumn(layout, 19, Mode::Bulk), 3);
    EXPECT_EQ(HitTestColumn(layout, 20, Mode::Bulk), 4);  // tie between 10 and 30
    EXPECT_EQ(HitTestColumn(layout, 41, Mode::Bulk), 21);
    EXPECT_EQ(HitTestColumn(layout, 5000, Mode::Bulk), 21);
    EXPECT_EQ(HitTestColumn(LayoutColumns(Mode::Bulk, NoColumns(), cache), 10, Mode::Bulk), 0);
}

TEST(TableFontSizes, FixedSizesArePointsAndFitShrinksOneStepAtATime) {
    EXPECT_EQ(FixedFontHeight(6, 96), -18);   // 14 points at 96 pixels per inch
    EXPECT_EQ(FixedFontHeight(1, 96), -5);    // 4 points: 5.33 cut to 5
    EXPECT_EQ(FixedFontHeight(7, 144), -32);

    std::vector<int> tried;
    auto needs = [&](int perPixel) {
        return [&tried, perPixel](int height) {
            tried.push_back(height);
            return height * perPixel;
        };
    };
    // At 96 dpi a step is one pixel: 15, 14, ... until 12 x 50 = 600 fits 601.
    EXPECT_EQ(FitFontHeight(96, 601, needs(50)), 12);
    EXPECT_EQ(tried, (std::vector<int>{15, 14, 13, 12}));
    // Never below four steps, even when nothing fits.
    tried.clear();
    EXPECT_EQ(FitFontHeight(144, 10, needs(1000)), 8);  // steps of 2: 30, 28 ... floor 8
    EXPECT_EQ(tried.front(), 30);
    EXPECT_EQ(tried.back(), 10);
}

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
    specs.records[1].ranges[0] = {"", 50.0f, 60.0f};   // unused: no element name matches every title
    specs.records[1].ranges[13] = {"Mo", 2.0f, 3.0f};  // the 14th entry is not checked
    return specs;
}

TEST(AlloyValueOutOfRange, ChecksTheFirstMatchingElementOfTheGrade) {
    const AlloySpecTable specs = Specs();
    EXPECT_FALSE(AlloyValueOutOfRange(specs, "316", "Cr \xB1 Prec", " 17.00"));
    EXPECT_FALSE(AlloyValueOutOfRange(specs, "316", "Cr \xB1 Prec", " 16.00"));  // the limits are in range
    EXPECT_FALSE(AlloyValueOutOfRange(specs, "316", "Cr \xB1 Prec", " 18.00"));
    EXPECT_TRUE(AlloyValueOutOfRange(specs, "316", "Cr \xB1 Prec", " 19.50"));
    EXPECT_TRUE(AlloyValueOutOfRange(specs, "316", "Ni \xB1 Prec", "  9.99"));
    EXPECT_TRUE(AlloyValueOutOfRange(specs, "316", "Ni \xB1 Prec", "<LOD"));  // absent where 10 are needed
    EXPECT_FALSE(AlloyValueOutOfRange(specs, "316", "Ni \xB1 Prec", "NA"));   // not analysed
    EXPECT_FALSE(AlloyValueOutOfRange(specs, "316", "Fe \xB1 Prec", " 99.00"));  // no range for Fe
    EXPECT_FALSE(AlloyValueOutOfRange(specs, "304", "Mo \xB1 Prec", " 99.00"));
    EXPECT_FALSE(AlloyValueOutOfRange(specs, "No Match", "Cr \xB1 Prec", " 99.00"));
    EXPECT_FALSE(AlloyValueOutOfRange(specs, "", "Cr \xB1 Prec", " 99.00"));
}

}  // namespace
}  // namespace ravik
