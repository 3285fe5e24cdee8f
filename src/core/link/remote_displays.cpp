#include "core/link/remote_displays.h"

#include <strings.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/platform/format_text.h"
#include "core/readings/record.h"
#include "core/readings/time_stamp.h"

namespace ravik {

namespace {

uint8_t ReverseBits(uint8_t byte) {
    uint8_t reversed = 0;
    for (int bit = 0; bit < 8; ++bit) {
        if ((byte & (1u << bit)) != 0) reversed = static_cast<uint8_t>(reversed | (0x80u >> bit));
    }
    return reversed;
}

void SetLight(MonoPicture& picture, int x, int y) {
    picture.rows[static_cast<size_t>(y * picture.bytesPerRow() + x / 8)] |=
        static_cast<uint8_t>(0x80u >> (x % 8));
}

// The counts of a spectrum reply from byte offset `at`, n of them, and the largest.
SpectrumPlot ReadCounts(ReplyBytes payload, size_t at, int n) {
    SpectrumPlot plot;
    plot.counts.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const float count = static_cast<float>(ReadLe32(payload.data() + at + 4 * static_cast<size_t>(i)));
        plot.counts.push_back(count);
        plot.largest = std::max(plot.largest, count);
    }
    return plot;
}

constexpr std::array<const char*, 17> kStatusLabels = {
    "VSig1:", "VLeak1:", "VSig2:",    "VLeak2:",   "RoomT:",  "DetectorT:", "daset:",  "VCool:",  "ICool:",
    "VBattery:", "IBattery:", "VBias1:", "VBias2:", "PCool:", "V5Volt:", "Power:", "PWait:"};
constexpr size_t kStatusReplyLength = 77;

}  // namespace

int32_t ReadLe32(const uint8_t* bytes) {
    return static_cast<int32_t>(uint32_t{bytes[0]} | (uint32_t{bytes[1]} << 8) | (uint32_t{bytes[2]} << 16) |
                                (uint32_t{bytes[3]} << 24));
}

int32_t FoldedField(const uint8_t* bytes) {
    return static_cast<int32_t>(static_cast<uint32_t>(ReadLe32(bytes)) | static_cast<uint32_t>(ReadLe32(bytes + 4)));
}

std::string ReplyText(ReplyBytes payload) {
    if (payload.empty()) return {};
    const auto body = payload.first(payload.size() - 1);
    const auto end = std::find(body.begin(), body.end(), uint8_t{0});
    return std::string(body.begin(), end);
}

std::optional<int32_t> SignatureOf(ReplyBytes payload) {
    if (payload.size() < 9) return std::nullopt;
    return FoldedField(payload.data());
}

bool MonoPicture::light(int x, int y) const {
    return (rows[static_cast<size_t>(y * bytesPerRow() + x / 8)] & (0x80u >> (x % 8))) != 0;
}

MonoPicture ScreenPicture(std::span<const uint8_t> bitmap) {
    MonoPicture picture{kScreenWidth, kScreenHeight, std::vector<uint8_t>(kScreenBitmapBytes, 0)};
    const size_t count = std::min(bitmap.size(), kScreenBitmapBytes);
    for (size_t i = 0; i < count; ++i) picture.rows[i] = ReverseBits(static_cast<uint8_t>(~bitmap[i]));
    return picture;
}

MonoPicture RotateClockwise(const MonoPicture& source) {
    MonoPicture turned{source.height, source.width, {}};
    turned.rows.assign(static_cast<size_t>(turned.bytesPerRow() * turned.height), 0);
    for (int y = 0; y < source.height; ++y) {
        for (int x = 0; x < source.width; ++x) {
            if (source.light(x, y)) SetLight(turned, source.height - 1 - y, x);
        }
    }
    return turned;
}

std::optional<ScreenDump> DecodeScreenDump(ReplyBytes payload) {
    if (payload.size() != kScreenReplyLength) return std::nullopt;
    ScreenDump dump;
    dump.landscape = payload[0] != 0;
    dump.picture = ScreenPicture(payload.subspan(1, kScreenBitmapBytes));
    if (!dump.landscape) dump.picture = RotateClockwise(dump.picture);
    return dump;
}

std::vector<PlotPoint> PlotLine(const SpectrumPlot& plot, int width, int height) {
    std::vector<PlotPoint> line{{0, height}};
    const size_t n = plot.counts.size();
    if (n == 0) return line;
    const float xStep = static_cast<float>(width) / static_cast<float>(n);
    const float yScale = plot.largest > 0.0f ? static_cast<float>(height) / plot.largest : 0.0f;
    for (size_t i = 0; i < n; ++i) {
        const float x = static_cast<float>(i) * xStep;
        const float y = static_cast<float>(height) - plot.counts[i] * yScale;
        line.push_back({static_cast<int>(x), static_cast<int>(y)});
    }
    return line;
}

std::optional<size_t> SpectrumReplyLength(ReplyBytes payload, size_t headerBytes) {
    if (payload.size() < 4) return std::nullopt;
    const int channels = ReadU16(payload.data() + 2) - ReadU16(payload.data());
    if (channels < 0) return 0;
    return 4 * static_cast<size_t>(channels) + headerBytes;
}

std::optional<SpectrumPlot> DecodeSpectrum(ReplyBytes payload) {
    const std::optional<size_t> length = SpectrumReplyLength(payload, kSpectrumHeaderBytes);
    if (!length || payload.size() != *length) return std::nullopt;
    return ReadCounts(payload, 4, static_cast<int>((*length - kSpectrumHeaderBytes) / 4));
}

std::optional<SecondSpectrum> DecodeSecondSpectrum(ReplyBytes payload) {
    const std::optional<size_t> length = SpectrumReplyLength(payload, kSecondSpectrumHeaderBytes);
    if (!length || payload.size() != *length) return std::nullopt;
    const int n = static_cast<int>((*length - kSecondSpectrumHeaderBytes) / 4);
    SecondSpectrum second;
    second.ezeroText = FormatText("%6.4f", FoldedField(payload.data() + 4) / 1000000.0);
    second.escaleText = FormatText("%6.4f", FoldedField(payload.data() + 12) / 1000000.0);
    double seconds = FoldedField(payload.data() + 20) / 1000.0;
    if (seconds < 0.01) seconds = 0.01;
    second.plot = ReadCounts(payload, 28, n);
    second.plot.labels = {FormatText("MAX=%6.2f cps", static_cast<double>(second.plot.largest) / seconds),
                          FormatText("NomSec=%6.2f", seconds)};
    return second;
}

std::vector<std::string> MeasurementNames(std::string_view text) {
    std::vector<std::string> names;
    size_t at = text.find(',');
    if (at == std::string_view::npos) return names;
    for (int value = 0; value < 3; ++value) {
        const size_t colon = text.find(':', at);
        if (colon == std::string_view::npos) break;
        const size_t start = colon + 1;
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view found = text.substr(start, end - start);
        const bool usable = !found.empty() && found.front() != ',';
        names.emplace_back(usable ? found.substr(0, found.size() - 1) : std::string_view());
        at = end;
    }
    return names;
}

std::optional<double> ElapsedMeasurementTime(std::string_view regions) {
    size_t at = 0;
    for (int sign = 0; sign < 3; ++sign) {
        at = regions.find('=', at);
        if (at == std::string_view::npos) return std::nullopt;
        ++at;
    }
    const size_t comma = regions.find(',', at);
    const std::string value(regions.substr(at, comma == std::string_view::npos ? std::string_view::npos : comma - at));
    return std::strtod(value.c_str(), nullptr);
}

std::optional<std::string> StatusText(ReplyBytes payload) {
    if (payload.size() < kStatusReplyLength) return std::nullopt;
    const ShownTime shown = ShownTimeOf(FoldedField(payload.data()));
    std::string text = FormatText(" %2.2d/%2.2d/%-lld %2.2d:%2.2d:%2.2d\r\n", shown.month, shown.day,
                              static_cast<long long>(shown.year), shown.hour, shown.minute, shown.second);
    for (size_t i = 0; i < kStatusLabels.size(); ++i) {
        const double value = ReadLe32(payload.data() + 8 + 4 * i) / 100.0;
        text += FormatText(" %-12s\t%-6.2f\r\n", kStatusLabels[i], value);
    }
    return text;
}

std::optional<std::string> MillionthsText(ReplyBytes payload) {
    if (payload.size() < 9) return std::nullopt;
    return FormatText("%6.4f", FoldedField(payload.data()) / 1000000.0);
}

std::optional<std::string> HundredthsText(ReplyBytes payload) {
    if (payload.size() < 5) return std::nullopt;
    return FormatText("%6.2f", ReadLe32(payload.data()) / 100.0);
}

std::optional<size_t> AlloyNameList::find(std::string_view name) const {
    for (size_t i = 0; i < names_.size(); ++i) {
        if (names_[i].size() == name.size() && strncasecmp(names_[i].data(), name.data(), name.size()) == 0) {
            return i;
        }
    }
    return std::nullopt;
}

size_t AlloyNameList::add(const std::string& name) {
    if (const std::optional<size_t> found = find(name)) return *found;
    const auto before = [](const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) < 0; };
    const size_t at = static_cast<size_t>(std::upper_bound(names_.begin(), names_.end(), name, before) - names_.begin());
    names_.insert(names_.begin() + static_cast<long>(at), name);
    return at;
}

}  // namespace ravik
