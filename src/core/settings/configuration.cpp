#include "core/settings/configuration.h"

#include <algorithm>
#include <cstdlib>

#include "core/platform/format_text.h"
#include "core/readings/column_titles.h"
#include "core/settings/column_masks.h"

namespace ravik {

namespace {

constexpr int kColorMax = 255;
constexpr size_t kPaintColumnWord = 0;

size_t FirstWord(Mode mode) { return static_cast<size_t>(2 * Index(mode) - 1); }

void SetBit(int32_t& word, int bit, bool on) {
    const uint32_t mask = 1u << bit;
    uint32_t bits = static_cast<uint32_t>(word);
    bits = on ? bits | mask : bits & ~mask;
    word = static_cast<int32_t>(bits);
}

}  // namespace

bool HasSection(ConfigKind kind, ConfigSection section) {
    switch (kind) {
        case ConfigKind::Setup: return true;
        case ConfigKind::Display: return section == ConfigSection::Display;
        case ConfigKind::Communication: return section == ConfigSection::Ports;
        case ConfigKind::Output: return section == ConfigSection::Output;
        case ConfigKind::Protocol: return section == ConfigSection::Protocol;
    }
    return false;
}

const char* ConfigResourceName(ConfigKind kind) {
    switch (kind) {
        case ConfigKind::Setup: return "SetupBox";
        case ConfigKind::Display: return "DISPLAY";
        case ConfigKind::Communication: return "COMMUNICATION";
        case ConfigKind::Output: return "SetupOutput";
        case ConfigKind::Protocol: return "SetupProtocol";
    }
    return "";
}

const char* ConfigTitle(ConfigKind kind) {
    switch (kind) {
        case ConfigKind::Setup: return "Configuration";
        case ConfigKind::Display: return "Display Configure";
        case ConfigKind::Communication: return "Communication Configure";
        case ConfigKind::Output: return "Output Configure";
        case ConfigKind::Protocol: return "Protocol Configuration";
    }
    return "";
}

std::array<Rgb, kColorCount> DefaultColorsOf(ConfigKind kind) {
    std::array<Rgb, kColorCount> colors = kDefaultColors;
    if (kind == ConfigKind::Display) colors[static_cast<size_t>(ColorRole::Positive)] = Rgb{255, 0, 0};
    return colors;
}

int StepLayout(int value, int direction) {
    const int next = value + direction;
    return next < kLayoutMin || next > kLayoutMax ? value : next;
}

int StepMinimumTime(int value, int direction) { return value + direction < 1 ? value : value + direction; }

int StepColorComponent(int value, int direction) {
    const int next = value + direction * kColorStep;
    if (next > kColorMax) return 0;
    if (next < 0) return kColorMax;
    return next;
}

std::string RangeText(float value) { return FormatText("%2.2f", static_cast<double>(value)); }
std::string MinimumTimeText(int value) { return FormatText("%3d", value); }
std::string LayoutText(int value) { return FormatText("%3.1d", value); }

std::optional<float> ParseRangeText(std::string_view text) {
    const std::string copy(text);
    const char* begin = copy.c_str();
    char* end = nullptr;
    const float value = std::strtof(begin, &end);
    if (end == begin) return std::nullopt;
    while (*end == ' ' || *end == '\t') ++end;
    if (*end != '\0') return std::nullopt;
    return value;
}

ConfigValues ConfigValuesOf(const Settings& s) {
    return ConfigValues{s.currentPort, s.xSpect,         s.ySpect, s.minLtime,     s.minKtime,
                        s.reportHeader, s.neg,           s.pos,    s.spectrumYscale, s.baud,
                        s.exportForm,  s.displayFontSize, s.displayValuesBelowLod, s.portPaths};
}

void TakeConfigValues(ConfigKind kind, const ConfigValues& values, Settings& settings) {
    const bool ports = HasSection(kind, ConfigSection::Ports);
    const bool output = HasSection(kind, ConfigSection::Output);
    const bool protocol = HasSection(kind, ConfigSection::Protocol);
    const bool display = HasSection(kind, ConfigSection::Display);
    if (ports) {
        settings.currentPort = values.currentPort;
        settings.portPaths = values.portPaths;
    }
    if (output) {
        settings.xSpect = values.xSpect;
        settings.ySpect = values.ySpect;
    }
    if (protocol) {
        settings.minLtime = values.minLtime;
        settings.minKtime = values.minKtime;
    }
    if (output) settings.reportHeader = values.reportHeader.substr(0, kHeaderMaxLength);
    if (protocol) {
        settings.neg = values.neg;
        settings.pos = values.pos;
    }
    if (output) settings.spectrumYscale = values.spectrumYscale;
    if (ports) settings.baud = values.baud;
    if (output) settings.exportForm = values.exportForm;
    if (display) settings.displayFontSize = values.displayFontSize;
    // The LOD switch is on Display Configure only.
    if (kind == ConfigKind::Display) settings.displayValuesBelowLod = values.displayValuesBelowLod;
}

std::string PrinterDeviceName(std::string_view line) {
    if (line.find("default") != std::string_view::npos) return {};
    // offset, driver, offset, device, ...
    for (int field = 0; field < 3; ++field) {
        const size_t comma = line.find(',');
        if (comma == std::string_view::npos) return {};
        line.remove_prefix(comma + 1);
    }
    return std::string(line.substr(0, line.find(',')));
}

int ColumnBoxCount(Mode mode) { return mode == Mode::Paint ? 22 : 48; }

const char* ColumnDialogTitle(Mode mode) {
    switch (mode) {
        case Mode::Paint: return "Paint Sample Columns";
        case Mode::Bulk: return "Bulk Sample Columns";
        case Mode::Thin: return "Thin Sample Columns";
        case Mode::Alloy: return "Alloy Sample Columns";
        case Mode::Sign: return "Signature Sample Columns";
    }
    return "";
}

std::vector<bool> ColumnBoxesOf(const Settings& settings, Mode mode) {
    std::vector<bool> boxes;
    for (int j = 0; j < ColumnBoxCount(mode); ++j) {
        if (mode == Mode::Paint) boxes.push_back(MaskBit(settings.enabledColumns[kPaintColumnWord], j));
        else if (j < FixedColumns(mode)) boxes.push_back(FixedColumnShown(settings, mode, j));
        else boxes.push_back(ElementColumnShown(settings, mode, j - FixedColumns(mode)));
    }
    return boxes;
}

void StoreColumnBoxes(Settings& settings, Mode mode, const std::vector<bool>& boxes) {
    const int count = std::min(ColumnBoxCount(mode), static_cast<int>(boxes.size()));
    if (mode == Mode::Paint) {
        int32_t word = 0;
        for (int j = 0; j < count; ++j) SetBit(word, j, boxes[static_cast<size_t>(j)]);
        settings.enabledColumns[kPaintColumnWord] = word;
        return;
    }
    int32_t first = 0;
    int32_t second = 0;
    for (int j = 0; j < count; ++j) {
        const bool on = boxes[static_cast<size_t>(j)];
        if (j < 32) SetBit(first, j, on);
        if (j >= 16) SetBit(second, j - 16, on);
    }
    settings.enabledColumns[FirstWord(mode)] = first;
    settings.enabledColumns[FirstWord(mode) + 1] = second;
}

}  // namespace ravik
