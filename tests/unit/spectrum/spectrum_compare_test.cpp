#include <gtest/gtest.h>

#include <array>

#include "unit/spectrum/spectrum_reading.h"

namespace ravik {
namespace {

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
        a = *comparison.add(test::SpectrumReading(1, countsA, 2000));
        b = *comparison.add(test::SpectrumReading(2, countsB, 4000));
        c = *comparison.add(test::SpectrumReading(3, std::vector<double>(100, 1.0), 0));
    }
    SpectrumOverlay overlay(Normalisation n) const { return BuildOverlay(comparison, {SpectrumBand::Low, n}); }
};

TEST(SpectrumCompare, NormalisationDifferenceAndRemarks) {
    Three t;
    // A[0], A[101], B[0], B[5], B[101] under each normalisation.
    const std::pair<Normalisation, std::array<double, 5>> cases[] = {
        {Normalisation::None, {2, 10, 1, 0, 5}},
        {Normalisation::ToMaximum, {0.2, 1, 0.2, 0, 1}},
        {Normalisation::ToArea, {2 / 316.0, 10 / 316.0, 1 / 163.0, 0, 5 / 163.0}},
        {Normalisation::ToMeasuringTime, {1, 5, 0.25, 0, 1.25}},
    };
    for (const auto& [normalisation, expected] : cases) {
        const SpectrumOverlay overlay = t.overlay(normalisation);
        SCOPED_TRACE(NormalisationWord(normalisation));
        ASSERT_EQ(overlay.curves.size(), 2u);
        const std::vector<double>&a = overlay.curves[0].values, &b = overlay.curves[1].values;
        EXPECT_EQ((std::array<double, 5>{a[0], a[101], b[0], b[5], b[101]}), expected);
        EXPECT_DOUBLE_EQ(overlay.lastKeV, 15.9);
        ASSERT_EQ(overlay.remarks.size(), 1u);
        EXPECT_EQ(RemarkText(t.comparison, SpectrumBand::Low, overlay.remarks[0]), "wall.qvr No 3 has no Low spectrum");
    }
    // Against B, per second: A - B over the 150 channels both have; B is the 0 line.
    ASSERT_TRUE(t.comparison.setReference(t.b));
    const SpectrumOverlay difference = t.overlay(Normalisation::ToMeasuringTime);
    EXPECT_TRUE(difference.difference);
    const std::vector<double>& d = difference.curves[0].values;
    EXPECT_EQ((std::array<double, 4>{double(d.size()), d[0], d[5], d[101]}), (std::array<double, 4>{150, 0.75, 1, 3.75}));
    EXPECT_EQ(difference.curves[1].values, std::vector<double>(160, 0.0));
    // Removing the reference ends the difference view.
    t.comparison.remove(t.b);
    EXPECT_FALSE(t.overlay(Normalisation::None).difference);
}

TEST(SpectrumCompare, RegionSumsAboveAStraightBackground) {
    Three t;
    const SpectrumOverlay overlay = t.overlay(Normalisation::None);
    // from, to keV; first, last channel of A; A's sum and net; B's sum and net.
    const std::array<double, 8> cases[] = {
        {10.0, 10.2, 100, 102, 22, 4, 7, 4},  // edges 6 and 6 under A, 1 and 1 under B
        {10.3, 9.9, 99, 103, 26, 16, 9, 4},   // given in reverse
        {10.1, 10.1, 101, 101, 10, 0, 5, 0},  // one channel: its own background
    };
    for (const std::array<double, 8>& c : cases) {
        const std::vector<RegionSum> s = SumRegion(overlay, c[0], c[1]);
        EXPECT_EQ((std::array<double, 8>{c[0], c[1], double(s[0].firstChannel), double(s[0].lastChannel), s[0].sum,
                                         s[0].net, s[1].sum, s[1].net}),
                  c);
    }
    // Past A's last channel (14.9 keV) only B has counts; the readout says so too.
    const std::vector<RegionSum> beyond = SumRegion(overlay, 15.2, 20);
    EXPECT_LT(beyond[0].lastChannel, beyond[0].firstChannel);
    EXPECT_EQ(beyond[1].lastChannel, 159);
    const std::vector<CursorValue> readout = ValuesAt(overlay, 15.24);
    EXPECT_FALSE(readout[0].value.has_value());
    EXPECT_EQ(readout[1].value, 1.0);
}

std::vector<std::string> Labels(const SpectrumOverlay& overlay, const ViewWindow& window) {
    std::vector<std::string> labels;
    for (const AxisTick& tick : LayOutComparison(overlay, window, CountScale::Linear, 0, 0, 800, 400).countTicks) {
        labels.push_back(tick.label);
    }
    return labels;
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
    // Round count labels: 0..11 in steps of 2, and 0..1.1 (to the maximum) in steps of 0.2.
    EXPECT_EQ(Labels(view.overlay(), view.window()), (std::vector<std::string>{"0", "2", "4", "6", "8", "10"}));
    view.update(t.overlay(Normalisation::ToMaximum), CountScale::Linear);
    EXPECT_EQ(Labels(view.overlay(), view.window()),
              (std::vector<std::string>{"0.0", "0.2", "0.4", "0.6", "0.8", "1.0"}));
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

}  // namespace
}  // namespace ravik
