#include "core/views/spectrum_compare.h"

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

constexpr int kIdentifyingColumns = 16;
constexpr double kHeadRoom = 0.1;

std::string Format(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// The nearest channel to an energy on a curve, unbounded.
double ChannelOf(const OverlayCurve& curve, double keV) {
    return (keV - curve.offsetKeV) / kKeVPerPlottedChannel;
}

long NearestChannel(const OverlayCurve& curve, double keV) {
    const double channel = ChannelOf(curve, keV);
    if (!std::isfinite(channel)) return -1;
    return std::lround(std::clamp(channel, -1.0, static_cast<double>(curve.values.size())));
}

}  // namespace

const char* BandText(SpectrumBand band) { return band == SpectrumBand::High ? "High" : "Low"; }

const char* NormalisationWord(Normalisation normalisation) {
    switch (normalisation) {
        case Normalisation::ToMaximum: return "max";
        case Normalisation::ToArea: return "area";
        case Normalisation::ToMeasuringTime: return "time";
        case Normalisation::None: break;
    }
    return "none";
}

const char* ScaleWord(CountScale scale) {
    switch (scale) {
        case CountScale::Log10: return "log";
        case CountScale::Sqrt: return "sqrt";
        case CountScale::Linear: break;
    }
    return "linear";
}

double BandOffsetKeV(SpectrumBand band) {
    return band == SpectrumBand::High ? kHighSpectrumOffsetKeV : kLowSpectrumOffsetKeV;
}

std::vector<float> ComparedReading::decode(SpectrumBand band) const {
    return DecodeSpectrum(Bytes(record.data(), record.size()),
                          band == SpectrumBand::High ? SpectrumKind::High : SpectrumKind::Low);
}

ComparedReading ReadingFromRecord(const std::string& fileName, Mode mode, int tableNo, Bytes record) {
    ComparedReading reading;
    const size_t slash = fileName.find_last_of('/');
    reading.fileName = slash == std::string::npos ? fileName : fileName.substr(slash + 1);
    reading.mode = mode;
    reading.tableNo = tableNo;
    reading.record.assign(record.begin(), record.end());
    const RecordView view(record);
    if (view.hasHeader()) reading.qvNo = view.header().instrumentNumber;
    if (view.measurementBlock()) {
        reading.measuringSeconds = view.measuringMillis() / 1000.0;
        reading.timeStamp = view.timeStamp();
    }
    return reading;
}

std::optional<ComparedReading> TakeReading(const ReadingStore& store, const Settings& settings, Mode mode,
                                           int tableNo, const std::string& fileName) {
    const int32_t n = ReadingAtRow(store, mode, tableNo);
    if (n == 0) return std::nullopt;
    const Bytes record = store.record(n);
    ComparedReading reading = ReadingFromRecord(fileName, mode, tableNo, record);
    ReadingFields fields;
    FormatReadingFields(store, settings, tableNo, record, fields);
    // Columns 0 and 1 are the No and QVNo, which the legend names anyway.
    for (int column = 2; column < kIdentifyingColumns; ++column) {
        if (!FixedColumnShown(settings, mode, column)) continue;
        const std::string_view text = fields.text[static_cast<size_t>(column)].view();
        if (text.find_first_not_of(' ') == std::string_view::npos) continue;
        std::string line(store.titles[mode][static_cast<size_t>(column)].view());
        line += ": ";
        line += text;
        reading.fields.push_back(std::move(line));
    }
    return reading;
}

std::string LegendText(const ComparedReading& reading, size_t maxFields) {
    std::string text = reading.fileName + " No " + std::to_string(reading.tableNo) + " (QVNo " +
                       std::to_string(reading.qvNo) + ")";
    for (size_t i = 0; i < reading.fields.size() && i < maxFields; ++i) {
        text += i == 0 ? " " : "; ";
        text += reading.fields[i];
    }
    return text;
}

std::optional<int> SpectrumComparison::add(ComparedReading reading) {
    if (full()) return std::nullopt;
    const int id = nextId_++;
    entries_.push_back({id, std::move(reading)});
    return id;
}

bool SpectrumComparison::remove(int id) {
    const auto found = std::find_if(entries_.begin(), entries_.end(), [id](const Entry& e) { return e.id == id; });
    if (found == entries_.end()) return false;
    entries_.erase(found);
    if (reference_ == id) reference_.reset();
    return true;
}

void SpectrumComparison::clear() {
    entries_.clear();
    reference_.reset();
}

const SpectrumComparison::Entry* SpectrumComparison::find(int id) const {
    for (const Entry& entry : entries_) {
        if (entry.id == id) return &entry;
    }
    return nullptr;
}

bool SpectrumComparison::setReference(std::optional<int> id) {
    if (id && find(*id) == nullptr) return false;
    reference_ = id;
    return true;
}

const OverlayCurve* SpectrumOverlay::find(int id) const {
    for (const OverlayCurve& curve : curves) {
        if (curve.id == id) return &curve;
    }
    return nullptr;
}

std::string RemarkText(const SpectrumComparison& comparison, SpectrumBand band, const OverlayRemark& remark) {
    const SpectrumComparison::Entry* entry = comparison.find(remark.id);
    std::string who = entry != nullptr ? entry->reading.fileName + " No " + std::to_string(entry->reading.tableNo)
                                       : "Reading " + std::to_string(remark.id);
    switch (remark.note) {
        case OverlayNote::NoSuchSpectrum: return who + " has no " + BandText(band) + " spectrum";
        case OverlayNote::NoMeasuringTime: return who + " has no measuring time: shown unnormalised";
        case OverlayNote::NothingToNormalise: return who + " has no counts: shown unnormalised";
        case OverlayNote::NoReference: return who + " (the reference) has no " + BandText(band) + " spectrum";
    }
    return who;
}

bool Normalise(std::vector<double>& values, Normalisation normalisation, double measuringSeconds) {
    double divisor = 1;
    switch (normalisation) {
        case Normalisation::None: return true;
        case Normalisation::ToMaximum:
            divisor = values.empty() ? 0 : *std::max_element(values.begin(), values.end());
            break;
        case Normalisation::ToArea:
            divisor = 0;
            for (double v : values) divisor += v;
            break;
        case Normalisation::ToMeasuringTime: divisor = measuringSeconds; break;
    }
    if (!(divisor > 0) || !std::isfinite(divisor)) return false;
    for (double& v : values) v /= divisor;
    return true;
}

SpectrumOverlay BuildOverlay(const SpectrumComparison& comparison, const OverlayOptions& options) {
    SpectrumOverlay overlay;
    overlay.band = options.band;
    const double offset = BandOffsetKeV(options.band);
    for (const SpectrumComparison::Entry& entry : comparison.entries()) {
        const std::vector<float> counts = entry.reading.decode(options.band);
        if (counts.empty()) {
            overlay.remarks.push_back({entry.id, OverlayNote::NoSuchSpectrum});
            continue;
        }
        OverlayCurve curve;
        curve.id = entry.id;
        curve.offsetKeV = offset;
        curve.values.reserve(counts.size());
        // Damaged counts plot at the axis, as the spectrum window draws them.
        for (float count : counts) curve.values.push_back(std::isfinite(count) && count > 0 ? count : 0.0);
        if (!Normalise(curve.values, options.normalisation, entry.reading.measuringSeconds)) {
            const bool time = options.normalisation == Normalisation::ToMeasuringTime;
            overlay.remarks.push_back({entry.id, time ? OverlayNote::NoMeasuringTime : OverlayNote::NothingToNormalise});
        }
        overlay.curves.push_back(std::move(curve));
    }
    if (const std::optional<int> reference = comparison.reference()) {
        const OverlayCurve* base = overlay.find(*reference);
        if (base == nullptr) {
            overlay.remarks.push_back({*reference, OverlayNote::NoReference});
        } else {
            overlay.difference = true;
            const std::vector<double> subtrahend = base->values;
            for (OverlayCurve& curve : overlay.curves) {
                // Channels of the same band stand at the same energies; the
                // difference covers those both spectra have.
                curve.values.resize(std::min(curve.values.size(), subtrahend.size()));
                for (size_t i = 0; i < curve.values.size(); ++i) curve.values[i] -= subtrahend[i];
            }
        }
    }
    bool first = true;
    for (const OverlayCurve& curve : overlay.curves) {
        if (curve.values.empty()) continue;
        overlay.firstKeV = first ? curve.offsetKeV : std::min(overlay.firstKeV, curve.offsetKeV);
        overlay.lastKeV = first ? curve.endKeV() : std::max(overlay.lastKeV, curve.endKeV());
        first = false;
    }
    return overlay;
}

std::optional<double> AxisValue(double value, CountScale scale, bool difference) {
    if (!std::isfinite(value)) return std::nullopt;
    const double sign = value < 0 ? -1.0 : 1.0;
    switch (scale) {
        case CountScale::Linear: return value;
        case CountScale::Sqrt: return sign * std::sqrt(std::fabs(value));
        case CountScale::Log10:
            if (difference) return sign * std::log10(1 + std::fabs(value));
            if (value <= 0) return std::nullopt;
            return std::log10(value);
    }
    return value;
}

double ValueAtAxis(double axis, CountScale scale, bool difference) {
    const double sign = axis < 0 ? -1.0 : 1.0;
    switch (scale) {
        case CountScale::Linear: return axis;
        case CountScale::Sqrt: return sign * axis * axis;
        case CountScale::Log10:
            if (difference) return sign * (std::pow(10.0, std::fabs(axis)) - 1);
            return std::pow(10.0, axis);
    }
    return axis;
}

void FitCountRange(const SpectrumOverlay& overlay, CountScale scale, ViewWindow& window) {
    double low = std::numeric_limits<double>::infinity();
    double high = -std::numeric_limits<double>::infinity();
    for (const OverlayCurve& curve : overlay.curves) {
        if (curve.values.empty()) continue;
        const long first = std::max(0L, NearestChannel(curve, window.fromKeV));
        const long last = std::min(static_cast<long>(curve.values.size()) - 1, NearestChannel(curve, window.toKeV));
        for (long i = first; i <= last; ++i) {
            const std::optional<double> axis = AxisValue(curve.values[static_cast<size_t>(i)], scale, overlay.difference);
            if (!axis) continue;
            low = std::min(low, *axis);
            high = std::max(high, *axis);
        }
    }
    const bool log = scale == CountScale::Log10 && !overlay.difference;
    if (!std::isfinite(low) || !std::isfinite(high)) {
        // Nothing visible with a place on the axis: an empty linear axis, or a decade.
        window.fromAxis = log ? -1 : 0;
        window.toAxis = log ? 0 : 1;
        return;
    }
    if (log) {
        // Whole decades, at least one.
        window.fromAxis = std::floor(low);
        window.toAxis = std::max(std::ceil(high - 1e-9), window.fromAxis + 1);
        return;
    }
    low = std::min(low, 0.0);  // counts rise from the axis
    if (high <= low) high = low + 1;
    const double room = (high - low) * kHeadRoom;
    window.fromAxis = low < 0 ? low - room : low;
    window.toAxis = high + room;
}

void CompareViewport::update(SpectrumOverlay overlay, CountScale scale) {
    // A first overlay is shown whole; a later one keeps a window that still lies inside it.
    const bool hadCurves = !overlay_.curves.empty();
    const bool sameAxis = scale == scale_ && overlay.difference == overlay_.difference;
    overlay_ = std::move(overlay);
    scale_ = scale;
    if (!sameAxis) countsFollow_ = true;
    if (!hadCurves || window_.fromKeV < overlay_.firstKeV || window_.toKeV > overlay_.lastKeV ||
        window_.toKeV <= window_.fromKeV) {
        window_.fromKeV = overlay_.firstKeV;
        window_.toKeV = overlay_.lastKeV;
    }
    clampEnergy();
    if (countsFollow_) follow();
}

void CompareViewport::clampEnergy() {
    const double spanFrom = overlay_.firstKeV;
    // A single channel still gets a channel's width.
    const double spanTo = std::max(overlay_.lastKeV, spanFrom + kKeVPerPlottedChannel);
    double width = std::clamp(window_.toKeV - window_.fromKeV, kKeVPerPlottedChannel, spanTo - spanFrom);
    if (!std::isfinite(width)) width = spanTo - spanFrom;
    double from = std::isfinite(window_.fromKeV) ? window_.fromKeV : spanFrom;
    from = std::clamp(from, spanFrom, spanTo - width);
    window_.fromKeV = from;
    window_.toKeV = from + width;
}

void CompareViewport::follow() { FitCountRange(overlay_, scale_, window_); }

void CompareViewport::zoomEnergy(double factor, double aboutKeV) {
    if (!(factor > 0) || !std::isfinite(factor) || !std::isfinite(aboutKeV)) return;
    aboutKeV = std::clamp(aboutKeV, window_.fromKeV, window_.toKeV);
    window_.fromKeV = aboutKeV - (aboutKeV - window_.fromKeV) / factor;
    window_.toKeV = aboutKeV + (window_.toKeV - aboutKeV) / factor;
    clampEnergy();
    if (countsFollow_) follow();
}

void CompareViewport::zoomCounts(double factor, double aboutAxis) {
    if (!(factor > 0) || !std::isfinite(factor) || !std::isfinite(aboutAxis)) return;
    aboutAxis = std::clamp(aboutAxis, window_.fromAxis, window_.toAxis);
    const double from = aboutAxis - (aboutAxis - window_.fromAxis) / factor;
    const double to = aboutAxis + (window_.toAxis - aboutAxis) / factor;
    if (!(to - from > 1e-12)) return;
    window_.fromAxis = from;
    window_.toAxis = to;
    countsFollow_ = false;
}

void CompareViewport::panEnergy(double fraction) {
    if (!std::isfinite(fraction)) return;
    const double shift = (window_.toKeV - window_.fromKeV) * fraction;
    window_.fromKeV += shift;
    window_.toKeV += shift;
    clampEnergy();
    if (countsFollow_) follow();
}

void CompareViewport::panCounts(double fraction) {
    if (!std::isfinite(fraction)) return;
    const double shift = (window_.toAxis - window_.fromAxis) * fraction;
    window_.fromAxis += shift;
    window_.toAxis += shift;
    countsFollow_ = false;
}

void CompareViewport::showEnergy(double fromKeV, double toKeV) {
    if (!std::isfinite(fromKeV) || !std::isfinite(toKeV)) return;
    if (fromKeV > toKeV) std::swap(fromKeV, toKeV);
    if (toKeV - fromKeV < kKeVPerPlottedChannel) return;
    window_.fromKeV = fromKeV;
    window_.toKeV = toKeV;
    clampEnergy();
    if (countsFollow_) follow();
}

void CompareViewport::showCounts(double fromAxis, double toAxis) {
    if (!std::isfinite(fromAxis) || !std::isfinite(toAxis)) return;
    if (fromAxis > toAxis) std::swap(fromAxis, toAxis);
    if (!(toAxis - fromAxis > 1e-12)) return;
    window_.fromAxis = fromAxis;
    window_.toAxis = toAxis;
    countsFollow_ = false;
}

void CompareViewport::reset() {
    window_.fromKeV = overlay_.firstKeV;
    window_.toKeV = overlay_.lastKeV;
    clampEnergy();
    countsFollow_ = true;
    follow();
}

double CompareViewport::overviewFrom() const {
    const double span = overlay_.lastKeV - overlay_.firstKeV;
    return span > 0 ? std::clamp((window_.fromKeV - overlay_.firstKeV) / span, 0.0, 1.0) : 0.0;
}

double CompareViewport::overviewTo() const {
    const double span = overlay_.lastKeV - overlay_.firstKeV;
    return span > 0 ? std::clamp((window_.toKeV - overlay_.firstKeV) / span, 0.0, 1.0) : 1.0;
}

std::vector<double> NiceTickValues(double from, double to, int maxTicks) {
    std::vector<double> ticks;
    if (!std::isfinite(from) || !std::isfinite(to) || maxTicks < 1) return ticks;
    if (from > to) std::swap(from, to);
    const double range = to - from;
    if (!(range > 0)) return {from};
    const double rough = range / maxTicks;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    double step = power * 10;
    for (double multiple : {1.0, 2.0, 5.0, 10.0}) {
        if (power * multiple >= rough) {
            step = power * multiple;
            break;
        }
    }
    const double first = std::ceil(from / step - 1e-9);
    for (double k = first; k * step <= to + step * 1e-9; k += 1) {
        const double value = k * step;
        ticks.push_back(std::fabs(value) < step * 1e-9 ? 0.0 : value);
        if (ticks.size() > static_cast<size_t>(maxTicks) * 3) break;
    }
    return ticks;
}

std::string TickLabel(double value, double step) {
    const double magnitude = std::max(std::fabs(value), std::fabs(step));
    if (magnitude >= 1e6 || (magnitude > 0 && magnitude < 1e-4)) return Format("%.3g", value);
    int decimals = 0;
    if (step > 0 && step < 1) decimals = static_cast<int>(std::ceil(-std::log10(step) - 1e-9));
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", std::clamp(decimals, 0, 6), value);
    return text;
}

double ComparePlot::xOf(double keV) const {
    const double width = window.toKeV - window.fromKeV;
    return width > 0 ? left + (keV - window.fromKeV) / width * (right - left) : left;
}

double ComparePlot::yOfAxis(double axis) const {
    const double height = window.toAxis - window.fromAxis;
    return height > 0 ? bottom - (axis - window.fromAxis) / height * (bottom - top) : bottom;
}

double ComparePlot::yOfValue(double value) const {
    const std::optional<double> axis = AxisValue(value, scale, difference);
    return axis ? yOfAxis(*axis) : bottom;
}

double ComparePlot::keVAt(double x) const {
    return right > left ? window.fromKeV + (x - left) / (right - left) * (window.toKeV - window.fromKeV)
                        : window.fromKeV;
}

double ComparePlot::axisAt(double y) const {
    return bottom > top ? window.fromAxis + (bottom - y) / (bottom - top) * (window.toAxis - window.fromAxis)
                        : window.fromAxis;
}

namespace {

std::vector<AxisTick> CountTicks(const ComparePlot& plot, int maxTicks) {
    std::vector<AxisTick> ticks;
    const ViewWindow& w = plot.window;
    if (plot.scale == CountScale::Log10 && !plot.difference) {
        // Decades, thinned to at most maxTicks.
        const double first = std::ceil(w.fromAxis - 1e-9);
        const double last = std::floor(w.toAxis + 1e-9);
        const double every = std::max(1.0, std::ceil((last - first + 1) / maxTicks));
        for (double k = first; k <= last; k += every) {
            const double value = std::pow(10.0, k);
            ticks.push_back({value, plot.yOfAxis(k), TickLabel(value, value)});
        }
        if (!ticks.empty()) return ticks;
    }
    if (plot.scale == CountScale::Linear) {
        const std::vector<double> values = NiceTickValues(w.fromAxis, w.toAxis, maxTicks);
        const double step = values.size() > 1 ? values[1] - values[0] : 1;
        for (double v : values) ticks.push_back({v, plot.yOfAxis(v), TickLabel(v, step)});
        return ticks;
    }
    // Square root (and signed log): round count values between the ends,
    // placed where the scale puts them.
    const double low = ValueAtAxis(w.fromAxis, plot.scale, plot.difference);
    const double high = ValueAtAxis(w.toAxis, plot.scale, plot.difference);
    const std::vector<double> values = NiceTickValues(low, high, maxTicks);
    const double step = values.size() > 1 ? values[1] - values[0] : 1;
    for (double v : values) {
        const std::optional<double> axis = AxisValue(v, plot.scale, plot.difference);
        if (axis) ticks.push_back({v, plot.yOfAxis(*axis), TickLabel(v, step)});
    }
    return ticks;
}

// The visible part of a curve as a polyline; with many channels per pixel
// column, each column's first, lowest, highest and last point.
std::vector<ComparePoint> CurvePoints(const ComparePlot& plot, const OverlayCurve& curve) {
    std::vector<ComparePoint> points;
    if (curve.values.empty()) return points;
    const long count = static_cast<long>(curve.values.size());
    // A curve wholly outside the visible energies draws nothing.
    if (ChannelOf(curve, plot.window.toKeV) < 0 || ChannelOf(curve, plot.window.fromKeV) > static_cast<double>(count - 1)) {
        return points;
    }
    const long first = std::clamp(static_cast<long>(std::floor(ChannelOf(curve, plot.window.fromKeV))) - 1, 0L, count - 1);
    const long last = std::clamp(static_cast<long>(std::ceil(ChannelOf(curve, plot.window.toKeV))) + 1, 0L, count - 1);
    if (last < first) return points;
    const double width = plot.right - plot.left;
    const long visible = last - first + 1;
    auto pointOf = [&](long i) {
        return ComparePoint{plot.xOf(curve.keVOf(static_cast<size_t>(i))), plot.yOfValue(curve.values[static_cast<size_t>(i)])};
    };
    if (static_cast<double>(visible) <= 2 * width || width < 1) {
        points.reserve(static_cast<size_t>(visible));
        for (long i = first; i <= last; ++i) points.push_back(pointOf(i));
        return points;
    }
    points.reserve(static_cast<size_t>(width) * 4 + 8);
    long i = first;
    while (i <= last) {
        const ComparePoint start = pointOf(i);
        const double column = std::floor(start.x);
        ComparePoint low = start, high = start, end = start;
        long j = i + 1;
        for (; j <= last; ++j) {
            const ComparePoint p = pointOf(j);
            if (std::floor(p.x) != column) break;
            if (p.y > low.y) low = p;
            if (p.y < high.y) high = p;
            end = p;
        }
        points.push_back(start);
        // The extremes in the order they come, so the line stays a path.
        if (low.x <= high.x) {
            points.push_back(low);
            points.push_back(high);
        } else {
            points.push_back(high);
            points.push_back(low);
        }
        points.push_back(end);
        i = j;
    }
    return points;
}

}  // namespace

ComparePlot LayOutComparison(const SpectrumOverlay& overlay, const ViewWindow& window, CountScale scale,
                             double left, double top, double right, double bottom, int maxEnergyTicks,
                             int maxCountTicks) {
    ComparePlot plot;
    plot.left = left;
    plot.top = top;
    plot.right = right;
    plot.bottom = bottom;
    plot.window = window;
    plot.scale = scale;
    plot.difference = overlay.difference;
    const std::vector<double> energies = NiceTickValues(window.fromKeV, window.toKeV, maxEnergyTicks);
    const double step = energies.size() > 1 ? energies[1] - energies[0] : 1;
    for (double e : energies) plot.energyTicks.push_back({e, plot.xOf(e), TickLabel(e, step)});
    plot.countTicks = CountTicks(plot, maxCountTicks);
    plot.curves.reserve(overlay.curves.size());
    for (const OverlayCurve& curve : overlay.curves) plot.curves.push_back(CurvePoints(plot, curve));
    if (overlay.difference) {
        if (const std::optional<double> zero = AxisValue(0.0, scale, true);
            zero && *zero >= window.fromAxis && *zero <= window.toAxis) {
            plot.zeroY = plot.yOfAxis(*zero);
        }
    }
    return plot;
}

std::vector<CursorValue> ValuesAt(const SpectrumOverlay& overlay, double keV) {
    std::vector<CursorValue> values;
    values.reserve(overlay.curves.size());
    for (const OverlayCurve& curve : overlay.curves) {
        CursorValue value{curve.id, std::nullopt};
        const long channel = NearestChannel(curve, keV);
        if (channel >= 0 && channel < static_cast<long>(curve.values.size())) {
            value.value = curve.values[static_cast<size_t>(channel)];
        }
        values.push_back(value);
    }
    return values;
}

std::vector<std::string> ReadoutLines(const SpectrumComparison& comparison, const SpectrumOverlay& overlay,
                                      double keV) {
    std::vector<std::string> lines = {Format("%.2f keV", keV)};
    for (const CursorValue& value : ValuesAt(overlay, keV)) {
        const SpectrumComparison::Entry* entry = comparison.find(value.id);
        std::string line = entry != nullptr ? LegendText(entry->reading, 0) : std::to_string(value.id);
        line += ": ";
        line += value.value ? Format("%.6g", *value.value) : "-";
        lines.push_back(std::move(line));
    }
    return lines;
}

RegionSum SumRegionOf(const OverlayCurve& curve, double fromKeV, double toKeV) {
    RegionSum region;
    region.id = curve.id;
    if (fromKeV > toKeV) std::swap(fromKeV, toKeV);
    const long count = static_cast<long>(curve.values.size());
    const long first = std::max(0L, NearestChannel(curve, fromKeV));
    const long last = std::min(count - 1, NearestChannel(curve, toKeV));
    if (count == 0 || last < first) return region;
    region.firstChannel = static_cast<int>(first);
    region.lastChannel = static_cast<int>(last);
    for (long i = first; i <= last; ++i) region.sum += curve.values[static_cast<size_t>(i)];
    // The trapezium under the straight line between the edge channels' values.
    const double edges = curve.values[static_cast<size_t>(first)] + curve.values[static_cast<size_t>(last)];
    region.background = static_cast<double>(last - first + 1) * edges / 2;
    region.net = region.sum - region.background;
    return region;
}

std::vector<RegionSum> SumRegion(const SpectrumOverlay& overlay, double fromKeV, double toKeV) {
    std::vector<RegionSum> sums;
    sums.reserve(overlay.curves.size());
    for (const OverlayCurve& curve : overlay.curves) sums.push_back(SumRegionOf(curve, fromKeV, toKeV));
    return sums;
}

std::string RegionTableText(const SpectrumComparison& comparison, const std::vector<RegionSum>& sums,
                            double fromKeV, double toKeV) {
    if (fromKeV > toKeV) std::swap(fromKeV, toKeV);
    std::string text = "Reading\tFrom keV\tTo keV\tSum\tNet\r\n";
    for (const RegionSum& sum : sums) {
        const SpectrumComparison::Entry* entry = comparison.find(sum.id);
        text += entry != nullptr ? LegendText(entry->reading, 0) : std::to_string(sum.id);
        text += '\t' + Format("%.2f", fromKeV) + '\t' + Format("%.2f", toKeV) + '\t';
        if (sum.lastChannel >= sum.firstChannel) text += Format("%.6g", sum.sum) + '\t' + Format("%.6g", sum.net);
        else text += "\t";
        text += "\r\n";
    }
    return text;
}

}  // namespace ravik
