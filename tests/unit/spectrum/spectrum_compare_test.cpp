#include <gtest/gtest.h>

#include "core/views/spectrum_compare.h"
#include "make-sample/record_builder.h"

namespace ravik {
namespace {

// A reading whose low spectrum holds these counts (fewer than 150: none).
ComparedReading Reading(int tableNo, std::vector<double> counts, uint32_t millis) {
    sample::RecordSpec spec;
    spec.measuringMillis = millis;
    spec.spectrum.lowChannels = static_cast<uint16_t>(counts.size());
    for (double count : counts) spec.spectrum.channelWords.push_back(sample::PackMilli(count));
    ComparedReading reading;
    reading.fileName = "wall.qvr";
    reading.tableNo = tableNo;
    reading.measuringSeconds = millis / 1000.0;
    reading.record = sample::BuildRecord(spec);
    return reading;
}

// A: 2 everywhere, a peak 6, 10, 6 at channels 100..102 (sum 316, 2 s).
// B: 1 everywhere, 5 at channel 101, -3 at channel 5 (read as 0), 160 channels (sum 163, 4 s).
// C: 100 channels, which is no spectrum.
struct Three {
    SpectrumComparison comparison;
    int a, b, c;
    Three() {
        std::vector<double> countsA(150, 2.0), countsB(160, 1.0);
        countsA[100] = 6, countsA[101] = 10, countsA[102] = 6;
        countsB[101] = 5, countsB[5] = -3;
        a = *comparison.add(Reading(1, countsA, 2000));
        b = *comparison.add(Reading(2, countsB, 4000));
        c = *comparison.add(Reading(3, std::vector<double>(100, 1.0), 0));
    }
    SpectrumOverlay overlay(Normalisation n) const { return BuildOverlay(comparison, {SpectrumBand::Low, n}); }
};

TEST(SpectrumCompare, NormalisationDifferenceAndRemarks) {
    Three t;
    struct Case {
        Normalisation normalisation;
        double a0, a101, b0, b5, b101;
    } cases[] = {
        {Normalisation::None, 2, 10, 1, 0, 5},
        {Normalisation::ToMaximum, 0.2, 1, 0.2, 0, 1},
        {Normalisation::ToArea, 2 / 316.0, 10 / 316.0, 1 / 163.0, 0, 5 / 163.0},
        {Normalisation::ToMeasuringTime, 1, 5, 0.25, 0, 1.25},
    };
    for (const Case& c : cases) {
        const SpectrumOverlay overlay = t.overlay(c.normalisation);
        SCOPED_TRACE(NormalisationWord(c.normalisation));
        ASSERT_EQ(overlay.curves.size(), 2u);
        const OverlayCurve &a = overlay.curves[0], &b = overlay.curves[1];
        EXPECT_DOUBLE_EQ(a.values[0], c.a0);
        EXPECT_DOUBLE_EQ(a.values[101], c.a101);
        EXPECT_DOUBLE_EQ(b.values[0], c.b0);
        EXPECT_DOUBLE_EQ(b.values[5], c.b5);
        EXPECT_DOUBLE_EQ(b.values[101], c.b101);
        EXPECT_DOUBLE_EQ(overlay.lastKeV, 15.9);
        ASSERT_EQ(overlay.remarks.size(), 1u);
        EXPECT_EQ(RemarkText(t.comparison, SpectrumBand::Low, overlay.remarks[0]), "wall.qvr No 3 has no Low spectrum");
    }
    // Against B, per second: A - B over the 150 channels both have; B is the 0 line.
    ASSERT_TRUE(t.comparison.setReference(t.b));
    const SpectrumOverlay difference = t.overlay(Normalisation::ToMeasuringTime);
    EXPECT_TRUE(difference.difference);
    EXPECT_EQ(difference.curves[0].values.size(), 150u);
    EXPECT_DOUBLE_EQ(difference.curves[0].values[0], 0.75);
    EXPECT_DOUBLE_EQ(difference.curves[0].values[101], 3.75);
    EXPECT_DOUBLE_EQ(difference.curves[0].values[5], 1.0);
    EXPECT_EQ(difference.curves[1].values, std::vector<double>(160, 0.0));
    // Removing the reference ends the difference view.
    t.comparison.remove(t.b);
    EXPECT_FALSE(t.overlay(Normalisation::None).difference);
}

TEST(SpectrumCompare, RegionSumsAboveAStraightBackground) {
    Three t;
    const SpectrumOverlay overlay = t.overlay(Normalisation::None);
    struct Case {
        double from, to;
        int first, last;
        double sumA, netA, sumB, netB;
    } cases[] = {
        {10.0, 10.2, 100, 102, 22, 4, 7, 4},      // edges 6 and 6 under A, 1 and 1 under B
        {10.3, 9.9, 99, 103, 26, 16, 9, 4},       // given in reverse
        {10.1, 10.1, 101, 101, 10, 0, 5, 0},      // one channel: its own background
    };
    for (const Case& c : cases) {
        const std::vector<RegionSum> sums = SumRegion(overlay, c.from, c.to);
        EXPECT_EQ(sums[0].firstChannel, c.first);
        EXPECT_EQ(sums[0].lastChannel, c.last);
        EXPECT_DOUBLE_EQ(sums[0].sum, c.sumA);
        EXPECT_DOUBLE_EQ(sums[0].net, c.netA);
        EXPECT_DOUBLE_EQ(sums[1].sum, c.sumB);
        EXPECT_DOUBLE_EQ(sums[1].net, c.netB);
    }
    // Past A's last channel (14.9 keV) only B has counts; the readout says so too.
    const std::vector<RegionSum> beyond = SumRegion(overlay, 15.2, 20);
    EXPECT_LT(beyond[0].lastChannel, beyond[0].firstChannel);
    EXPECT_EQ(beyond[1].lastChannel, 159);
    const std::vector<CursorValue> readout = ValuesAt(overlay, 15.24);
    EXPECT_FALSE(readout[0].value.has_value());
    EXPECT_EQ(readout[1].value, 1.0);
}

TEST(SpectrumCompare, ViewportZoomPanResetAndFollowingCounts) {
    Three t;
    CompareViewport view;
    view.update(t.overlay(Normalisation::None), CountScale::Linear);
    EXPECT_DOUBLE_EQ(view.window().toKeV, 15.9);
    EXPECT_DOUBLE_EQ(view.window().toAxis, 11);  // 10 and a tenth of head room
    view.zoomEnergy(4, 4.0);                      // about 4 keV, which stays put
    EXPECT_NEAR(view.window().fromKeV, 3.0, 1e-9);
    EXPECT_NEAR(view.window().toKeV, 6.975, 1e-9);
    EXPECT_DOUBLE_EQ(view.window().toAxis, 2.2);  // the peak is out of sight
    view.panEnergy(-10);                          // stops at the start
    EXPECT_DOUBLE_EQ(view.window().fromKeV, 0);
    view.showCounts(5, 1);
    EXPECT_FALSE(view.countsFollow());
    view.showEnergy(9, 11);
    EXPECT_DOUBLE_EQ(view.window().toAxis, 5);
    view.reset();
    EXPECT_TRUE(view.countsFollow());
    EXPECT_DOUBLE_EQ(view.overviewTo(), 1);
    // Log axis: whole decades; the scale's ticks carry count labels.
    view.update(t.overlay(Normalisation::None), CountScale::Log10);
    EXPECT_DOUBLE_EQ(view.window().fromAxis, 0);
    EXPECT_DOUBLE_EQ(view.window().toAxis, 1);
    const ComparePlot plot = LayOutComparison(view.overlay(), view.window(), CountScale::Log10, 0, 0, 800, 400);
    ASSERT_EQ(plot.countTicks.size(), 2u);
    EXPECT_EQ(plot.countTicks[1].label, "10");
    EXPECT_DOUBLE_EQ(plot.countTicks[1].position, 0);
    EXPECT_DOUBLE_EQ(plot.curves[1][5].y, 400);  // B's damaged count on the axis
}

TEST(SpectrumCompare, NiceTicks) {
    struct Case {
        double from, to;
        int most;
        std::vector<std::string> labels;
    } cases[] = {
        {0, 1234, 8, {"0", "200", "400", "600", "800", "1000", "1200"}},
        {0.013, 0.1, 5, {"0.02", "0.04", "0.06", "0.08", "0.10"}},
        {-3.5, 3.5, 4, {"-2", "0", "2"}},
    };
    for (const Case& c : cases) {
        const std::vector<double> values = NiceTickValues(c.from, c.to, c.most);
        std::vector<std::string> labels;
        for (double v : values) labels.push_back(TickLabel(v, values[1] - values[0]));
        EXPECT_EQ(labels, c.labels);
    }
}

}  // namespace
}  // namespace ravik
