#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/views/spectrum_plot.h"

namespace ravik {
namespace {

const PlotRect kRect{0, 0, 700, 420};
constexpr int kFont = 14;

SpectrumViewPlot Plot(const std::vector<float>& counts, int kind = kPaintLowKind, int scale = kScaleLinear) {
    return LayOutSpectrum(counts, kind, scale, kRect, kFont, 16);
}

std::vector<std::string> Texts(const std::vector<PlotLabel>& labels) {
    std::vector<std::string> texts;
    for (const PlotLabel& label : labels) texts.push_back(label.text);
    return texts;
}

// Low plots show at most 250 channels from 0 keV, high plots every channel from 45 keV.
TEST(SpectrumViewPlot, ChannelsAxisAndCaptionByKind) {
    const SpectrumViewPlot low = Plot(std::vector<float>(300, 5.0f));
    EXPECT_EQ(low.channels, 250);
    EXPECT_DOUBLE_EQ(low.xScale, (700.0 - kFont) / 250);
    // Every 20 channels, 0 to 240.
    EXPECT_EQ(Texts(low.axisLabels), (std::vector<std::string>{"0.0", "2.0", "4.0", "6.0", "8.0", "10.0", "12.0",
                                                                "14.0", "16.0", "18.0", "20.0", "22.0", "24.0"}));
    EXPECT_EQ(low.caption.text, "Low Energy Spectrum (Y-linear)     MaxPeak:   5.0   ");

    const SpectrumViewPlot high = Plot(std::vector<float>(400, 1.0f), kBulkHighKind, kScaleLog);
    EXPECT_EQ(high.channels, 400);
    // Every 40 channels.
    EXPECT_EQ(Texts(high.axisLabels), (std::vector<std::string>{"45.0", "49.0", "53.0", "57.0", "61.0", "65.0", "69.0",
                                                                 "73.0", "77.0", "81.0", "85.0"}));
    EXPECT_EQ(high.caption.text.substr(0, 30), "High Energy Spectrum (Y-log10)");
    EXPECT_DOUBLE_EQ(high.fieldListX, 2.0 * kFont);
}

// The field list leaves its usual place for where it hides the least curve:
// beside a peak under it, below a curve across the top (as on the log scale).
TEST(SpectrumViewPlot, FieldListGoesWhereTheCurveIsNot) {
    std::vector<float> peak(250, 1.0f), upper(250, 600.0f);
    for (size_t i = 200; i < 240; ++i) peak[i] = 500.0f;
    upper[0] = 900.0f;
    SpectrumViewPlot plot = Plot(peak);
    PlotRect list = PlaceFieldList(plot, 150, 200);
    EXPECT_TRUE(list.right < plot.box.left + 200 * plot.xScale && list.top == plot.fieldListTop);
    plot = Plot(upper);
    list = PlaceFieldList(plot, 150, 200);
    EXPECT_TRUE(list.top > plot.curveY(1) && list.left == plot.fieldListX && list.bottom <= plot.box.bottom);
}

TEST(SpectrumViewPlot, EmptyAndDamagedCountsLieOnTheBottom) {
    struct Case {
        const char* name;
        float count;
        int scale;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float infinity = std::numeric_limits<float>::infinity();
    for (const Case& c : {Case{"zero linear", 0.0f, kScaleLinear}, Case{"zero log", 0.0f, kScaleLog},
                          Case{"zero sqrt", 0.0f, kScaleSqrt}, Case{"one log", 1.0f, kScaleLog},
                          Case{"nan", nan, kScaleLinear}, Case{"infinite", infinity, kScaleSqrt},
                          Case{"negative", -40.0f, kScaleLinear}}) {
        SCOPED_TRACE(c.name);
        const SpectrumViewPlot plot = Plot(std::vector<float>(256, c.count), kPaintLowKind, c.scale);
        EXPECT_DOUBLE_EQ(plot.yScale, (plot.box.bottom - plot.box.top) / 0.1);
        for (size_t i = 0; i < plot.scaled.size(); ++i) ASSERT_DOUBLE_EQ(plot.curveY(i), plot.box.bottom);
        EXPECT_TRUE(std::isfinite(plot.maxRaw));
    }
}

TEST(SpectrumViewPlot, ScalesOfACount) {
    EXPECT_DOUBLE_EQ(ScaledCount(100, kScaleLinear), 100);
    EXPECT_DOUBLE_EQ(ScaledCount(100, kScaleLog), 2);
    EXPECT_DOUBLE_EQ(ScaledCount(16, kScaleSqrt), 4);
}

TEST(SpectrumViewPlot, ShiftClickLabelsTheNearestElementsLines) {
    std::vector<float> counts(256, 1.0f);
    counts[105] = 400.0f;
    const SpectrumViewPlot plot = Plot(counts);
    const double at10_5 = plot.box.left + 105 * plot.xScale;
    const std::vector<PlotLabel> labels = EmissionLabels(plot, NearestElement(EnergyAt(plot, at10_5)));
    EXPECT_EQ(Texts(labels), (std::vector<std::string>{"<-Pb=10.50", "<-Pb=12.60", "<-Pb=14.70"}));
    EXPECT_DOUBLE_EQ(labels[0].x, std::trunc(at10_5));
    EXPECT_DOUBLE_EQ(labels[0].y, plot.curveY(105));
    EXPECT_DOUBLE_EQ(labels[1].y, plot.curveY(126));

    EXPECT_STREQ(kEmissionLineTable[NearestElement(10.51)].symbol, "Pb");  // As lies at 10.53
    EXPECT_STREQ(kEmissionLineTable[NearestElement(3.5)].symbol, "K");     // as near as Ca: the earlier
    EXPECT_STREQ(kEmissionLineTable[NearestElement(1.615)].symbol, "Al");
    // Two lines only: no third label.
    EXPECT_EQ(Texts(EmissionLabels(plot, NearestElement(6.4))), (std::vector<std::string>{"<-Fe=6.40", "<-Fe=7.10"}));
}

}  // namespace
}  // namespace ravik
