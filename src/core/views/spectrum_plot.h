#pragma once
// The arithmetic of a spectrum plot: the kinds of spectra, the plot box, the
// three vertical scales, the ticks and axis labels, the curve, the caption
// and field list, and the emission lines labelled on a shift-click. The
// painter of the windows and the printed pages draws what this computes.

#include <optional>
#include <string>
#include <vector>

#include "core/readings/mode.h"
#include "core/readings/reading_store.h"
#include "core/settings/settings.h"

namespace ravik {

// Spectrum kind identifiers: the low (L) and high (K) spectrum of each mode.
inline constexpr int kPaintLowKind = 1032;
inline constexpr int kPaintHighKind = 1035;
inline constexpr int kBulkLowKind = 106;
inline constexpr int kBulkHighKind = 107;
inline constexpr int kThinLowKind = 111;
inline constexpr int kThinHighKind = 112;
inline constexpr int kAlloyLowKind = 124;
inline constexpr int kAlloyHighKind = 123;
inline constexpr int kSignLowKind = 126;

int LowKind(Mode mode);
// Alloy has a high kind for printing; Sign has none.
std::optional<int> HighKind(Mode mode);
// The mode of a kind, and whether it is a high (K) kind; nothing for an unknown kind.
std::optional<Mode> ModeOfKind(int kind);
bool IsHighKind(int kind);

// The counts the plot shows: the L or K spectrum of the reading, empty
// when the reading has no such spectrum.
std::vector<float> SpectrumCounts(const ReadingStore& store, int32_t reading, int kind);

struct PlotRect {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
};

// The text height of a plot: 12 points, or a twentieth (screen) or thirtieth
// (printer) of the rectangle's smaller side when that is less; never below 1.
int SpectrumFontHeight(int pixelsPerInchY, const PlotRect& rect, bool printer);

struct PlotLabel {
    double x = 0;
    double y = 0;
    std::string text;
};

struct PlotSegment {
    double x1, y1, x2, y2;
};

struct SpectrumViewPlot {
    PlotRect box;          // the frame of the plot
    int fontHeight = 1;    // of the caption, labels and field list
    int channels = 0;      // channels drawn (an L plot shows at most 250)
    double offset = 0;     // keV of channel 0
    double xScale = 0;     // pixels per channel
    double yScale = 0;     // pixels per scaled count
    double maxRaw = 0;     // the largest count (at least 0)
    std::vector<double> scaled;  // the scaled value of each channel drawn
    std::vector<PlotSegment> ticks;
    std::vector<PlotLabel> axisLabels;
    PlotLabel caption;
    double fieldListX = 0;    // the field list's usual place: right for L plots, left for K plots
    double fieldListTop = 0;

    // The y of a channel's point on the curve.
    double curveY(size_t channel) const { return box.bottom - yScale * scaled[channel]; }
};

// A count on the scale (kScaleLinear, kScaleLog, kScaleSqrt). Counts that
// are not finite or below 0 plot as 0, so a damaged spectrum never breaks
// the scale.
double ScaledCount(double count, int scale);

// The plot of counts of a kind in rect with text height fontHeight; s12 is
// the 12-point height (it places the axis labels).
SpectrumViewPlot LayOutSpectrum(const std::vector<float>& counts, int kind, int scale, const PlotRect& rect,
                            int fontHeight, int s12);

// The plot of a reading's spectrum of a kind in rect on a device with that
// vertical resolution, on the settings' scale; nothing when the reading has
// no such spectrum.
std::optional<SpectrumViewPlot> PlotReadingSpectrum(const ReadingStore& store, const Settings& settings, int32_t reading,
                                                int kind, const PlotRect& rect, int pixelsPerInchY, bool printer);

// "Low Energy Spectrum (Y-linear)" ... "High Energy Spectrum (Y-sqrt)".
std::string SpectrumTitle(int kind, int scale);

// The field list beside the plot: "title: text" for each of the mode's 16
// text columns shown in its first column-mask word.
std::vector<std::string> SpectrumFieldLines(const ReadingStore& store, const Settings& settings, int32_t reading,
                                            int kind);

// Where a field list of that width and height goes: of the usual place, the
// other side at the same height and the two lower corners, the one whose
// rectangle covers the least of the curve (the usual place on a tie), so
// the texts stay off the peaks.
PlotRect PlaceFieldList(const SpectrumViewPlot& plot, double width, double height);

// The emission lines of the elements labelled on the plot.
struct EmissionElement {
    const char* symbol;
    double lines[3];  // keV; 0 means no such line
};
inline constexpr int kEmissionElementCount = 30;
extern const EmissionElement kEmissionLineTable[kEmissionElementCount];

// The element whose first line lies nearest to keV (the earlier one on a tie).
int NearestElement(double keV);

// The keV under an x of an L plot.
double EnergyAt(const SpectrumViewPlot& plot, double x);

// The labels "<-Pb=10.50" of an element's lines on an L plot, each at its
// line's x and the height of the curve at the channel nearest to it.
std::vector<PlotLabel> EmissionLabels(const SpectrumViewPlot& plot, int element);

}  // namespace ravik
