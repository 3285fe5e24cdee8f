#include "core/views/spectrum_plot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "core/readings/field_formatter.h"
#include "core/readings/spectrum_decoder.h"
#include "core/settings/column_masks.h"
#include "core/views/table_marking.h"

namespace ravik {

namespace {

constexpr int kLowChannelCap = 250;
constexpr int kLowTickStep = 10;
constexpr int kHighTickStep = 20;
constexpr double kHighOffsetKeV = 45.0;
constexpr double kChannelsPerKeV = 10.0;
constexpr int kAxisTicks = 10;
constexpr double kTickLength = 20.0;
constexpr int kFieldListColumns = 16;

struct KindEntry {
    int kind;
    Mode mode;
    bool high;
};
constexpr KindEntry kKinds[] = {
    {kPaintLowKind, Mode::Paint, false}, {kPaintHighKind, Mode::Paint, true},
    {kBulkLowKind, Mode::Bulk, false},   {kBulkHighKind, Mode::Bulk, true},
    {kThinLowKind, Mode::Thin, false},   {kThinHighKind, Mode::Thin, true},
    {kAlloyLowKind, Mode::Alloy, false}, {kAlloyHighKind, Mode::Alloy, true},
    {kSignLowKind, Mode::Sign, false},
};

const KindEntry* FindKind(int kind) {
    for (const KindEntry& entry : kKinds) {
        if (entry.kind == kind) return &entry;
    }
    return nullptr;
}

// How much of the curve lies in rect: the height of each step of the
// polyline inside it, and a pixel for each point inside, so a flat run
// counts too.
double CurveInside(const SpectrumViewPlot& plot, const PlotRect& rect) {
    double covered = 0;
    for (size_t i = 0; i < plot.scaled.size(); ++i) {
        const double x = plot.box.left + static_cast<double>(i) * plot.xScale;
        if (x < rect.left || x > rect.right) continue;
        const double y = plot.curveY(i);
        const double before = i > 0 ? plot.curveY(i - 1) : y;
        const double top = std::max(std::min(y, before), rect.top);
        const double bottom = std::min(std::max(y, before), rect.bottom);
        if (bottom > top) covered += bottom - top;
        if (y >= rect.top && y <= rect.bottom) covered += 1;
    }
    return covered;
}

std::string Printf(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

}  // namespace

const EmissionElement kEmissionLineTable[kEmissionElementCount] = {
    {"Al", {1.49, 0, 0}},      {"Si", {1.74, 0, 0}},     {"P", {2.01, 0, 0}},      {"S", {2.31, 0, 0}},
    {"Cl", {2.62, 0, 0}},      {"Ar", {2.96, 0, 0}},     {"K", {3.31, 0, 0}},      {"Ca", {3.69, 0, 0}},
    {"Sc", {4.09, 4.46, 0}},   {"Ti", {4.51, 4.9, 0}},   {"V", {4.95, 5.4, 0}},    {"Cr", {5.41, 6.0, 0}},
    {"Mn", {5.9, 6.5, 0}},     {"Fe", {6.4, 7.1, 0}},    {"Co", {6.93, 7.7, 0}},   {"Ni", {7.48, 8.3, 0}},
    {"Cu", {8.05, 8.9, 0}},    {"W ", {8.39, 9.67, 0}},  {"Zn", {8.64, 9.6, 0}},   {"Au", {9.7, 11.4, 13.4}},
    {"Pb", {10.5, 12.6, 14.7}}, {"As", {10.53, 11.7, 0}}, {"Br", {11.91, 13.3, 0}}, {"Sr", {14.15, 15.8, 0}},
    {"Zr", {15.75, 17.7, 0}},  {"Nb", {16.58, 18.62, 0}}, {"Mo", {17.44, 19.6, 0}}, {"Ag", {22.16, 24.94, 0}},
    {"Sn", {25.2, 28.5, 0}},   {"Ba", {32.1, 36.4, 0}},
};

int LowKind(Mode mode) {
    constexpr int kLow[kModeCount] = {kPaintLowKind, kBulkLowKind, kThinLowKind, kAlloyLowKind, kSignLowKind};
    return kLow[Index(mode)];
}

std::optional<int> HighKind(Mode mode) {
    constexpr int kHigh[kModeCount] = {kPaintHighKind, kBulkHighKind, kThinHighKind, kAlloyHighKind, 0};
    if (mode == Mode::Sign) return std::nullopt;
    return kHigh[Index(mode)];
}

std::optional<Mode> ModeOfKind(int kind) {
    const KindEntry* entry = FindKind(kind);
    if (entry == nullptr) return std::nullopt;
    return entry->mode;
}

bool IsHighKind(int kind) {
    const KindEntry* entry = FindKind(kind);
    return entry != nullptr && entry->high;
}

std::vector<float> SpectrumCounts(const ReadingStore& store, int32_t reading, int kind) {
    if (reading < 1 || reading > store.readingCount || FindKind(kind) == nullptr) return {};
    return DecodeSpectrum(store.record(reading), IsHighKind(kind) ? SpectrumKind::High : SpectrumKind::Low);
}

int SpectrumFontHeight(int pixelsPerInchY, const PlotRect& rect, bool printer) {
    const int s12 = pixelsPerInchY * 12 / 72;
    const int side = static_cast<int>(std::min(rect.right - rect.left, rect.bottom - rect.top));
    const int share = side / (printer ? 30 : 20);
    return std::max(1, std::min(s12, share));
}

double ScaledCount(double count, int scale) {
    if (!std::isfinite(count) || count <= 0) return 0.0;
    if (scale == kScaleLinear) return count;
    if (scale == kScaleLog) return std::log10(count);
    return std::sqrt(count);
}

SpectrumViewPlot LayOutSpectrum(const std::vector<float>& counts, int kind, int scale, const PlotRect& rect,
                            int fontHeight, int s12) {
    SpectrumViewPlot plot;
    const double fh = fontHeight;
    plot.fontHeight = fontHeight;
    plot.box = {rect.left + fh, rect.top + fh, rect.right, rect.bottom - 2 * fh};
    const bool high = IsHighKind(kind);
    plot.channels = static_cast<int>(counts.size());
    if (!high) plot.channels = std::min(plot.channels, kLowChannelCap);
    plot.offset = high ? kHighOffsetKeV : 0.0;
    const int step = high ? kHighTickStep : kLowTickStep;

    double maxScaled = 0;
    plot.scaled.resize(static_cast<size_t>(plot.channels));
    for (size_t i = 0; i < plot.scaled.size(); ++i) {
        plot.scaled[i] = ScaledCount(counts[i], scale);
        maxScaled = std::max(maxScaled, plot.scaled[i]);
        if (std::isfinite(counts[i])) plot.maxRaw = std::max(plot.maxRaw, static_cast<double>(counts[i]));
    }
    const PlotRect& box = plot.box;
    plot.yScale = (box.bottom - box.top) / (maxScaled + 0.1);
    plot.xScale = plot.channels > 0 ? (box.right - box.left) / plot.channels : 0.0;

    for (int k = 0; k < kAxisTicks; ++k) {
        const double y = box.bottom - 1 - plot.yScale * k * maxScaled / kAxisTicks;
        plot.ticks.push_back({box.left, y, box.left + kTickLength, y});
    }
    for (int c = 0; c <= plot.channels; c += step) {
        const double x = box.left + c * plot.xScale;
        plot.ticks.push_back({x, box.bottom, x, box.bottom - kTickLength});
        if (c % (2 * step) == 0) {
            plot.axisLabels.push_back({x - s12, box.bottom + 5, Printf("%3.1f", c / kChannelsPerKeV + plot.offset)});
        }
    }
    plot.caption = {rect.left + 2 * fh, rect.top,
                    SpectrumTitle(kind, scale) + Printf("     MaxPeak: %5.1f   ", plot.maxRaw)};
    plot.fieldListX = high ? rect.left + 2 * fh : rect.right - 15 * fh;
    plot.fieldListTop = box.top + (box.bottom - box.top) / 20;
    return plot;
}

std::optional<SpectrumViewPlot> PlotReadingSpectrum(const ReadingStore& store, const Settings& settings, int32_t reading,
                                                int kind, const PlotRect& rect, int pixelsPerInchY, bool printer) {
    const std::vector<float> counts = SpectrumCounts(store, reading, kind);
    if (counts.empty()) return std::nullopt;
    const int fontHeight = SpectrumFontHeight(pixelsPerInchY, rect, printer);
    return LayOutSpectrum(counts, kind, settings.spectrumYscale, rect, fontHeight, pixelsPerInchY * 12 / 72);
}

std::string SpectrumTitle(int kind, int scale) {
    const char* energy = IsHighKind(kind) ? "High" : "Low";
    const char* axis = scale == kScaleLinear ? "Y-linear" : scale == kScaleLog ? "Y-log10" : "Y-sqrt";
    return std::string(energy) + " Energy Spectrum (" + axis + ")";
}

std::vector<std::string> SpectrumFieldLines(const ReadingStore& store, const Settings& settings, int32_t reading,
                                            int kind) {
    const std::optional<Mode> mode = ModeOfKind(kind);
    if (!mode || reading < 1 || reading > store.readingCount) return {};
    const int row = RowOfReading(store, *mode, reading);
    ReadingFields fields;
    FormatReadingFields(store, settings, row, store.record(reading), fields);
    std::vector<std::string> lines;
    for (int column = 0; column < kFieldListColumns; ++column) {
        if (!FixedColumnShown(settings, *mode, column)) continue;
        std::string line(store.titles[*mode][static_cast<size_t>(column)].view());
        line += ": ";
        line += fields.text[static_cast<size_t>(column)].view();
        lines.push_back(std::move(line));
    }
    return lines;
}

PlotRect PlaceFieldList(const SpectrumViewPlot& plot, double width, double height) {
    const double margin = plot.fontHeight / 2.0;
    const PlotRect& box = plot.box;
    const bool high = plot.offset > 0;  // K plots start at 45 keV and list on the left
    // Clear of the ticks along the left and bottom edges, and inside the box on the right.
    const double left = box.left + std::max(static_cast<double>(plot.fontHeight), kTickLength + margin);
    const double right = std::max(left, std::min(high ? box.right : plot.fieldListX, box.right - width - margin));
    const double top = plot.fieldListTop;
    const double low = std::max(top, box.bottom - kTickLength - margin - height);
    const double usual = high ? left : right;
    const double other = high ? right : left;
    // From the usual side across to the other, at the top, then at the bottom.
    constexpr int kSteps = 8;
    PlotRect best;
    double least = std::numeric_limits<double>::max();
    for (const double y : {top, low}) {
        for (int step = 0; step <= kSteps; ++step) {
            const double x = usual + (other - usual) * step / kSteps;
            const PlotRect place{x, y, x + width, y + height};
            const double covered = CurveInside(plot, place);
            if (covered < least) {
                least = covered;
                best = place;
            }
        }
    }
    return best;
}

int NearestElement(double keV) {
    int nearest = 0;
    for (int i = 1; i < kEmissionElementCount; ++i) {
        if (std::fabs(kEmissionLineTable[i].lines[0] - keV) < std::fabs(kEmissionLineTable[nearest].lines[0] - keV)) {
            nearest = i;
        }
    }
    return nearest;
}

double EnergyAt(const SpectrumViewPlot& plot, double x) {
    if (plot.xScale <= 0) return 0.0;
    return (x - plot.box.left) / plot.xScale / kChannelsPerKeV + plot.offset;
}

std::vector<PlotLabel> EmissionLabels(const SpectrumViewPlot& plot, int element) {
    std::vector<PlotLabel> labels;
    if (element < 0 || element >= kEmissionElementCount || plot.channels == 0) return labels;
    const EmissionElement& entry = kEmissionLineTable[element];
    for (double energy : entry.lines) {
        // Line 2 and 3 follow only while the lines before them exist.
        if (energy == 0) break;
        const double channel = (energy - plot.offset) * kChannelsPerKeV;
        // The nearest channel; the earlier one when two are as near.
        const int nearest = std::clamp(static_cast<int>(std::ceil(channel - 0.5)), 0, plot.channels - 1);
        char text[64];
        std::snprintf(text, sizeof text, "<-%s=%2.2f", entry.symbol, energy);
        labels.push_back({std::trunc(plot.box.left + channel * plot.xScale),
                          plot.curveY(static_cast<size_t>(nearest)), text});
    }
    return labels;
}

}  // namespace ravik
