#pragma once
// The arithmetic of the spectrum comparison: up to 64 readings' low or high
// spectra overlaid on one energy axis, normalised, optionally as differences
// against a reference reading, on a linear, log10 or square-root count axis;
// the visible window with its zoom and pan steps; the plot geometry with
// labelled axis ticks; the readout under the cursor and the sums of a region
// of interest. Every compared reading keeps its own copy of its record, so
// readings of several files can be compared and closing a file changes
// nothing here. The window paints what this computes.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/readings/mode.h"
#include "core/readings/reading_store.h"
#include "core/settings/settings.h"

namespace ravik {

inline constexpr int kMaxComparedSpectra = 64;
// The energy axis of the spectrum plots: 0.1 keV per plotted channel, from
// 0 keV for low spectra and from 45.0 keV for high spectra.
inline constexpr double kKeVPerPlottedChannel = 0.1;
inline constexpr double kLowSpectrumOffsetKeV = 0.0;
inline constexpr double kHighSpectrumOffsetKeV = 45.0;

enum class SpectrumBand { Low, High };
enum class Normalisation { None, ToMaximum, ToArea, ToMeasuringTime };
enum class CountScale { Linear, Log10, Sqrt };

// "Low" / "High".
const char* BandText(SpectrumBand band);
// "none", "max", "area", "time" (also the --normalize words).
const char* NormalisationWord(Normalisation normalisation);
// "linear", "log", "sqrt" (also the --scale words).
const char* ScaleWord(CountScale scale);
// The keV of a band's plotted channel 0.
double BandOffsetKeV(SpectrumBand band);

// One reading taken into a comparison: its identification and its own copy
// of the record bytes.
struct ComparedReading {
    std::string fileName;      // the readings file's name, without folders
    Mode mode = Mode::Paint;
    int tableNo = 0;           // the reading's No in its mode's table (from 1)
    uint16_t qvNo = 0;         // the instrument's number of the reading ("QVNo")
    double measuringSeconds = 0;  // "Ssec": the measuring time in seconds
    std::optional<uint32_t> timeStamp;  // the instrument's time stamp; nothing without a measurement block
    // The identifying field texts, "title: text", of the mode's text columns
    // that hold a value (the same texts the spectrum window lists).
    std::vector<std::string> fields;
    std::vector<uint8_t> record;  // the record's bytes, as read

    std::vector<float> decode(SpectrumBand band) const;  // empty when the reading has no such spectrum
};

// The reading at row tableNo (from 1) of the mode's table, taken out of the
// store with its identification; nothing when the row holds no reading.
std::optional<ComparedReading> TakeReading(const ReadingStore& store, const Settings& settings, Mode mode,
                                           int tableNo, const std::string& fileName);

// A reading known only by its record bytes (a reading of the archive): its
// number, time and measuring time come from the record; fields are left to
// the caller.
ComparedReading ReadingFromRecord(const std::string& fileName, Mode mode, int tableNo, Bytes record);

// The legend text of a reading: "file No 5 (QVNo 123) field; field; ...",
// at most maxFields of its field texts.
std::string LegendText(const ComparedReading& reading, size_t maxFields = 3);

// The set of compared readings. Each has an id that stays its own while it
// is in the set (the window's colours and reference follow the id).
class SpectrumComparison {
public:
    struct Entry {
        int id = 0;
        ComparedReading reading;
    };

    // Adds a reading at the end; nothing when 64 are already compared.
    std::optional<int> add(ComparedReading reading);
    // True when the id was compared (a reference on it is dropped).
    bool remove(int id);
    void clear();
    const std::vector<Entry>& entries() const { return entries_; }
    size_t size() const { return entries_.size(); }
    bool full() const { return entries_.size() >= static_cast<size_t>(kMaxComparedSpectra); }
    const Entry* find(int id) const;

    // The difference view's reference, or nothing for the plain overlay.
    std::optional<int> reference() const { return reference_; }
    bool setReference(std::optional<int> id);  // false for an id not compared

private:
    std::vector<Entry> entries_;
    std::optional<int> reference_;
    int nextId_ = 1;
};

// A compared spectrum as plotted: its values per plotted channel after
// normalisation (and difference), channel i at offsetKeV + i * 0.1 keV.
// Counts that are not finite or below 0 are taken as 0 before anything else,
// so they plot at the axis.
struct OverlayCurve {
    int id = 0;
    double offsetKeV = 0;
    std::vector<double> values;
    double keVOf(size_t channel) const { return offsetKeV + static_cast<double>(channel) * kKeVPerPlottedChannel; }
    double endKeV() const { return keVOf(values.empty() ? 0 : values.size() - 1); }
};

// Why a compared reading is not in the overlay, or is there unnormalised.
enum class OverlayNote {
    NoSuchSpectrum,      // left out: the reading has no spectrum of the band
    NoMeasuringTime,     // shown unnormalised: no measuring time to divide by
    NothingToNormalise,  // shown unnormalised: all counts 0 (no maximum or area)
    NoReference,         // left out: the reference has no spectrum of the band
};
struct OverlayRemark {
    int id = 0;
    OverlayNote note = OverlayNote::NoSuchSpectrum;
};
// The text of a remark for the window's list: "No 5 has no High spectrum".
std::string RemarkText(const SpectrumComparison& comparison, SpectrumBand band, const OverlayRemark& remark);

struct OverlayOptions {
    SpectrumBand band = SpectrumBand::Low;
    Normalisation normalisation = Normalisation::None;
};

struct SpectrumOverlay {
    SpectrumBand band = SpectrumBand::Low;
    bool difference = false;              // values are differences against the reference
    std::vector<OverlayCurve> curves;     // in the comparison's order
    std::vector<OverlayRemark> remarks;   // in the comparison's order
    // The energies every curve spans together (0..0 without curves).
    double firstKeV = 0;
    double lastKeV = 0;
    const OverlayCurve* find(int id) const;
};

// The overlay of the comparison's spectra of a band. With a reference, each
// curve is its normalised values minus the reference's at the same energy,
// over the channels both have; the reference itself is a line at 0.
SpectrumOverlay BuildOverlay(const SpectrumComparison& comparison, const OverlayOptions& options);

// Normalised values of one spectrum (the rule BuildOverlay uses): none, each
// divided by the largest, by the sum of all, or by the measuring time. False
// (values unchanged) when the divisor is not above 0.
bool Normalise(std::vector<double>& values, Normalisation normalisation, double measuringSeconds);

// The count axis: a value's position on the scale. Linear is the value;
// square root and log10 keep the sign of differences (sign(v) * sqrt(|v|),
// and in a difference view sign(v) * log10(1 + |v|)). On a plain log10
// axis, values not above 0 have no position (they plot at the axis).
std::optional<double> AxisValue(double value, CountScale scale, bool difference);
// The value at an axis position (the inverse of AxisValue).
double ValueAtAxis(double axis, CountScale scale, bool difference);

// What the plot shows: an energy range and a range on the count axis (axis
// positions, as AxisValue gives them).
struct ViewWindow {
    double fromKeV = 0;
    double toKeV = 1;
    double fromAxis = 0;
    double toAxis = 1;
};

// The count-axis range that holds every curve's values inside the energy
// range, with a tenth of head room above (and below, when values go below 0).
// The range never collapses: all-zero spectra give 0..1.
void FitCountRange(const SpectrumOverlay& overlay, CountScale scale, ViewWindow& window);

// The shown overlay and its visible window, with the navigation. Energy
// stays inside the overlay's span; the count range follows the visible
// energy range until the user sets it (Shift+drag, zoomCounts), and again
// after reset().
class CompareViewport {
public:
    // Takes a new overlay or scale: a window inside the new span is kept,
    // else reset; the count range is refitted when it follows.
    void update(SpectrumOverlay overlay, CountScale scale);
    const SpectrumOverlay& overlay() const { return overlay_; }
    CountScale scale() const { return scale_; }
    const ViewWindow& window() const { return window_; }
    bool countsFollow() const { return countsFollow_; }

    // factor above 1 zooms in, below 1 out, about an energy that stays put.
    void zoomEnergy(double factor, double aboutKeV);
    // The same on the count axis, about an axis position; the count range
    // then stops following.
    void zoomCounts(double factor, double aboutAxis);
    // Moves the energy range by a fraction of its width (negative: left).
    void panEnergy(double fraction);
    void panCounts(double fraction);
    // The drag zooms: ranges given in either order; ranges narrower than
    // one channel (energy) are ignored.
    void showEnergy(double fromKeV, double toKeV);
    void showCounts(double fromAxis, double toAxis);
    // The whole span, counts following.
    void reset();

    // Where the visible energy range lies in the span, each 0..1 (the
    // overview strip).
    double overviewFrom() const;
    double overviewTo() const;

private:
    void clampEnergy();
    void follow();
    SpectrumOverlay overlay_;
    CountScale scale_ = CountScale::Linear;
    ViewWindow window_;
    bool countsFollow_ = true;
};

// A labelled tick of an axis: its value (keV, or counts), its position in
// pixels along the axis, and its label.
struct AxisTick {
    double value = 0;
    double position = 0;
    std::string label;
};

// Values of round steps (1, 2 or 5 times a power of ten) from..to, at most
// about maxTicks of them.
std::vector<double> NiceTickValues(double from, double to, int maxTicks);
// The text of a tick value with the decimals its step needs ("0.05", "1500", "1e+06").
std::string TickLabel(double value, double step);

struct ComparePoint {
    double x = 0;
    double y = 0;
};

// The plot of an overlay in a box (pixels; the window leaves room for
// labels around it).
struct ComparePlot {
    double left = 0, top = 0, right = 0, bottom = 0;
    ViewWindow window;
    CountScale scale = CountScale::Linear;
    bool difference = false;
    std::vector<AxisTick> energyTicks;  // positions are x
    std::vector<AxisTick> countTicks;   // positions are y; values in counts (not axis positions)
    // One polyline per overlay curve, in its order: the visible channels,
    // and one each side so the line reaches the edge (the painter clips to
    // the box); empty for a curve wholly outside the visible energies. Where
    // a curve has more channels than twice the box's width, each pixel column
    // holds its first, lowest, highest and last point, which draws the same
    // picture.
    std::vector<std::vector<ComparePoint>> curves;
    std::optional<double> zeroY;  // y of the 0 line of a difference view, when visible

    double xOf(double keV) const;
    double yOfAxis(double axis) const;
    // y of a value; values without an axis position plot at the bottom.
    double yOfValue(double value) const;
    double keVAt(double x) const;
    double axisAt(double y) const;
};

ComparePlot LayOutComparison(const SpectrumOverlay& overlay, const ViewWindow& window, CountScale scale,
                             double left, double top, double right, double bottom, int maxEnergyTicks = 10,
                             int maxCountTicks = 8);

// The value of each curve at an energy: its nearest channel's value, or
// nothing where the curve has no channel within half a channel.
struct CursorValue {
    int id = 0;
    std::optional<double> value;
};
std::vector<CursorValue> ValuesAt(const SpectrumOverlay& overlay, double keV);

// The readout under the pointer: "12.34 keV", then a line per curve,
// "legend: value" ("legend: -" where it has no channel there). Values are
// written with up to 6 significant digits.
std::vector<std::string> ReadoutLines(const SpectrumComparison& comparison, const SpectrumOverlay& overlay,
                                      double keV);

// A region of interest of one curve: the channels from the one nearest to
// fromKeV to the one nearest to toKeV (inclusive; swapped when given in
// reverse, cut to the curve's channels). The background is the straight line
// between the values at the two edge channels; net = sum - background.
struct RegionSum {
    int id = 0;
    int firstChannel = 0;
    int lastChannel = -1;  // below firstChannel: the curve has no channel in the region
    double sum = 0;
    double background = 0;
    double net = 0;
};
std::vector<RegionSum> SumRegion(const SpectrumOverlay& overlay, double fromKeV, double toKeV);
RegionSum SumRegionOf(const OverlayCurve& curve, double fromKeV, double toKeV);

// The region table as tab-separated text for the clipboard: a title line
// and a line per curve (legend, from keV, to keV, sum, net).
std::string RegionTableText(const SpectrumComparison& comparison, const std::vector<RegionSum>& sums,
                            double fromKeV, double toKeV);

}  // namespace ravik
