#include <gtest/gtest.h>

#include "core/settings/configuration.h"

namespace ravik {
namespace {

TEST(Configuration, UpDownStepsKeepTheirLimitsAndColoursWrap) {
    struct Case {
        int (*step)(int, int);
        int from, direction, expected;
    };
    const Case cases[] = {
        {StepLayout, 9, +1, 10}, {StepLayout, 10, +1, 10}, {StepLayout, 1, -1, 1}, {StepLayout, 2, -1, 1},
        {StepMinimumTime, 1, -1, 1}, {StepMinimumTime, 1, +1, 2}, {StepMinimumTime, 120, +1, 121},
        {StepColorComponent, 253, +1, 0}, {StepColorComponent, 250, +1, 255}, {StepColorComponent, 3, -1, 255},
        {StepColorComponent, 5, -1, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(c.step(c.from, c.direction), c.expected) << c.from << " " << c.direction;
}

TEST(Configuration, TextsAndNumbers) {
    EXPECT_EQ(RangeText(0.7f), "0.70");
    EXPECT_EQ(RangeText(12.0f), "12.00");
    EXPECT_EQ(MinimumTimeText(20), " 20");
    EXPECT_EQ(LayoutText(2), "  2");
    EXPECT_EQ(ParseRangeText(" 1.5 "), 1.5f);
    EXPECT_EQ(ParseRangeText("-2"), -2.0f);
    for (const char* refused : {"", "abc", "1.0x", "1,5"}) EXPECT_FALSE(ParseRangeText(refused)) << refused;
    EXPECT_EQ(PrinterDeviceName("0,winspool,9,HP LaserJet,22,LPT1:"), "HP LaserJet");
    EXPECT_EQ(PrinterDeviceName("default"), "");
}

TEST(Configuration, DefaultsDifferOnlyInPositiveForDisplay) {
    EXPECT_EQ(DefaultColorsOf(ConfigKind::Setup), kDefaultColors);
    auto display = kDefaultColors;
    display[static_cast<size_t>(ColorRole::Positive)] = Rgb{255, 0, 0};
    EXPECT_EQ(DefaultColorsOf(ConfigKind::Display), display);
}

TEST(Configuration, EachDialogTakesOnlyItsOwnSettings) {
    ConfigValues values;
    values.currentPort = 2;
    values.xSpect = 4;
    values.minLtime = 9;
    values.reportHeader = std::string(300, 'h');
    values.neg = 0.5f;
    values.spectrumYscale = kScaleLog;
    values.baud = 3;
    values.displayFontSize = 0;
    values.displayValuesBelowLod = true;
    values.portPaths[1] = "/dev/ttyACM0";
    const Settings before;
    struct Expect {
        ConfigKind kind;
        bool port, layout, times, display, lod;
    };
    for (const Expect& e : {Expect{ConfigKind::Setup, true, true, true, true, false},
                            Expect{ConfigKind::Display, false, false, false, true, true},
                            Expect{ConfigKind::Communication, true, false, false, false, false},
                            Expect{ConfigKind::Output, false, true, false, false, false},
                            Expect{ConfigKind::Protocol, false, false, true, false, false}}) {
        Settings s = before;
        TakeConfigValues(e.kind, values, s);
        SCOPED_TRACE(ConfigTitle(e.kind));
        EXPECT_EQ(s.currentPort == 2 && s.baud == 3 && s.portPaths[1] == "/dev/ttyACM0", e.port);
        EXPECT_EQ(s.xSpect == 4 && s.spectrumYscale == kScaleLog && s.reportHeader.size() == kHeaderMaxLength,
                  e.layout);
        EXPECT_EQ(s.minLtime == 9 && s.neg == 0.5f, e.times);
        EXPECT_EQ(s.displayFontSize == 0, e.display);
        EXPECT_EQ(s.displayValuesBelowLod, e.lod);
    }
}

TEST(Configuration, ColumnBoxesAndTheirMaskWords) {
    Settings s;
    std::vector<bool> bulk(48, true);
    bulk[20] = false;  // in both words: bit 20 of A, bit 4 of B
    bulk[40] = false;  // in B only: bit 24
    StoreColumnBoxes(s, Mode::Bulk, bulk);
    EXPECT_EQ(static_cast<uint32_t>(s.enabledColumns[1]), ~(1u << 20));
    EXPECT_EQ(static_cast<uint32_t>(s.enabledColumns[2]), ~((1u << 4) | (1u << 24)));
    EXPECT_EQ(ColumnBoxesOf(s, Mode::Bulk), bulk);
    EXPECT_EQ(s.enabledColumns[3], -1);  // Thin untouched

    std::vector<bool> paint(22, false);
    paint[0] = paint[21] = true;
    StoreColumnBoxes(s, Mode::Paint, paint);
    EXPECT_EQ(s.enabledColumns[0], static_cast<int32_t>((1u << 21) | 1u));
    EXPECT_EQ(ColumnBoxesOf(s, Mode::Paint), paint);
}

}  // namespace
}  // namespace ravik
