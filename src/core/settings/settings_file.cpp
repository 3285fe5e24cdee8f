#include "core/settings/settings_file.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>

#include "core/platform/data_dir.h"
#include "core/platform/file_io.h"
#include "core/platform/prompter.h"

namespace ravik {

namespace {

const Settings kDefaults{};

constexpr std::string_view kValueEnds = ",\r\n";

std::string_view DropLeadingBlanks(std::string_view text) {
    const size_t start = text.find_first_not_of(" \t");
    return start == std::string_view::npos ? std::string_view() : text.substr(start);
}

std::string_view WithoutLineEnd(std::string_view line) {
    const size_t end = line.find_first_of("\r\n");
    return end == std::string_view::npos ? line : line.substr(0, end);
}

// A number's text without its leading blanks and plus sign.
std::string_view NumberText(std::string_view text) {
    text = DropLeadingBlanks(text);
    if (text.size() > 1 && text[0] == '+' && text[1] != '-') text.remove_prefix(1);
    return text;
}

// Leading blanks, an optional sign, digits; what follows the digits is
// ignored. Nothing when there are no digits or the number is out of range.
std::optional<long long> IntegerValue(std::string_view text) {
    text = NumberText(text);
    long long value = 0;
    if (std::from_chars(text.data(), text.data() + text.size(), value).ec != std::errc()) {
        return std::nullopt;
    }
    return value;
}

std::optional<int> ReadInt(std::optional<std::string_view> text, int low = INT_MIN,
                           int high = INT_MAX) {
    if (!text) return std::nullopt;
    const std::optional<long long> value = IntegerValue(*text);
    if (!value || *value < low || *value > high) return std::nullopt;
    return static_cast<int>(*value);
}

std::optional<float> ReadFloat(std::optional<std::string_view> text) {
    if (!text) return std::nullopt;
    const std::string_view digits = NumberText(*text);
    double value = 0.0;
    if (std::from_chars(digits.data(), digits.data() + digits.size(), value).ec != std::errc()) {
        return std::nullopt;
    }
    if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max()) return std::nullopt;
    return static_cast<float>(value);
}

// A column mask is a 32-bit word; one written unsigned (4294967295) means
// the same bits as its signed form (-1).
std::optional<int32_t> ReadMask(std::optional<std::string_view> text) {
    if (!text) return std::nullopt;
    const std::optional<long long> value = IntegerValue(*text);
    if (!value || *value < INT32_MIN || *value > static_cast<long long>(UINT32_MAX)) return std::nullopt;
    return static_cast<int32_t>(static_cast<uint32_t>(*value));
}

// Walks the "key:value, key:value,value" pairs of one settings line in order.
// A keyed value is the text after the next ':' up to the next ',', CR or LF;
// a bare value starts right after the previous value's comma. Once a key is
// missing, every later value is missing too.
class ValueScanner {
public:
    explicit ValueScanner(std::string_view line) : rest_(line) {}

    std::optional<std::string_view> keyed() {
        const size_t colon = ended_ ? std::string_view::npos : rest_.find(':');
        if (colon == std::string_view::npos) {
            ended_ = true;
            return std::nullopt;
        }
        rest_.remove_prefix(colon + 1);
        return value();
    }

    std::optional<std::string_view> bare() {
        if (ended_) return std::nullopt;
        return value();
    }

private:
    std::string_view value() {
        const size_t end = rest_.find_first_of(kValueEnds);
        const std::string_view text = rest_.substr(0, end);
        rest_ = end == std::string_view::npos ? std::string_view() : rest_.substr(end + 1);
        return text;
    }

    std::string_view rest_;
    bool ended_ = false;
};

// The file holds the scale as 0 "Sqrt", 1 "Linear", 2 "Log"; the settings
// hold the radio id of its button.
int ScaleFromFile(std::optional<int> index) {
    switch (index.value_or(0)) {
        case 1: return kScaleLinear;
        case 2: return kScaleLog;
        default: return kScaleSqrt;
    }
}

int ScaleToFile(int scale) {
    switch (scale) {
        case kScaleLinear: return 1;
        case kScaleLog: return 2;
        default: return 0;
    }
}

// Line 1. Values that would index outside their lists fall back to their
// defaults; the printer layout stays within the 1..10 cells the page has.
bool TakeFirstLine(std::string_view line, Settings& settings) {
    ValueScanner values(line);
    const std::optional<int> required[5] = {ReadInt(values.keyed()), ReadInt(values.keyed()),
                                            ReadInt(values.keyed()), ReadInt(values.keyed()),
                                            ReadInt(values.keyed())};
    for (const std::optional<int>& value : required) {
        if (!value) return false;
    }
    settings.xSpect = std::clamp(*required[0], 1, 10);
    settings.ySpect = std::clamp(*required[1], 1, 10);
    settings.currentPort = (*required[2] >= 0 && *required[2] <= 3) ? *required[2] : 0;
    settings.orient = *required[3];
    settings.pcs = *required[4] == kPcsUser ? kPcsUser : kPcsDevice;
    settings.download = ReadInt(values.keyed()) == kDownloadDone ? kDownloadDone : kDownloadNone;
    settings.displayFontSize = ReadInt(values.keyed(), 0, 7).value_or(kDefaults.displayFontSize);
    settings.baud = ReadInt(values.keyed(), 0, 4).value_or(kDefaults.baud);
    settings.exportForm = ReadInt(values.keyed(), 0, 3).value_or(kDefaults.exportForm);
    return true;
}

// Line 3: the paint ranges, then "enabledColumns[0]:a, enabledColumns[1,2]:b,c, ...".
void TakeRangesLine(std::string_view line, Settings& settings) {
    ValueScanner values(line);
    settings.neg = ReadFloat(values.keyed()).value_or(kDefaults.neg);
    settings.inc = ReadFloat(values.keyed()).value_or(kDefaults.inc);
    settings.pos = ReadFloat(values.keyed()).value_or(kDefaults.pos);
    for (size_t word = 0; word < settings.enabledColumns.size(); ++word) {
        const bool startsPair = word == 0 || word % 2 == 1;
        settings.enabledColumns[word] =
            ReadMask(startsPair ? values.keyed() : values.bare()).value_or(kDefaults.enabledColumns[word]);
    }
}

// Line 4: the spectrum scale, then the L and K minimum times.
void TakeScaleLine(std::string_view line, Settings& settings) {
    ValueScanner values(line);
    settings.spectrumYscale = ScaleFromFile(ReadInt(values.keyed()));
    settings.minLtime = ReadInt(values.keyed()).value_or(kDefaults.minLtime);
    settings.minKtime = ReadInt(values.keyed()).value_or(kDefaults.minKtime);
}

uint8_t& ColorComponent(std::array<Rgb, kColorCount>& colors, size_t index) {
    Rgb& color = colors[index / 3];
    switch (index % 3) {
        case 0: return color.red;
        case 1: return color.green;
        default: return color.blue;
    }
}

// The 15 numbers after "Colors:"; a missing or unreadable one keeps its default.
void TakeColors(std::string_view line, std::array<Rgb, kColorCount>& colors) {
    std::string_view rest = line.substr(line.find("Colors:") + 7);
    for (size_t i = 0; i < 3 * kColorCount; ++i) {
        const size_t end = rest.find_first_of(kValueEnds);
        if (const std::optional<int> value = ReadInt(rest.substr(0, end), 0, 255)) {
            ColorComponent(colors, i) = static_cast<uint8_t>(*value);
        }
        if (end == std::string_view::npos) break;
        rest.remove_prefix(end + 1);
    }
}

bool IsLoneLineFeed(std::string_view line) { return line == "\n"; }

// The header text as it is stored: a line that holds only LF would end the
// header when the file is read back, so such lines are left out and every
// line after them survives.
std::string StoredHeader(std::string_view header) {
    std::string stored;
    TextLineReader lines(header);
    std::string line;
    while (lines.ReadTextLine(line)) {
        if (!IsLoneLineFeed(line)) stored += line;
    }
    return stored;
}

bool WritePortPaths(const std::string& directory, const PortPaths& paths) {
    const std::string path = DataFilePath(directory, kPortsFileName);
    const bool anySet = std::any_of(paths.begin(), paths.end(), [](const std::string& p) { return !p.empty(); });
    if (!anySet && !FileExists(path)) return true;
    return WriteFileAtomically(path, PortPathsText(paths)) == FileStatus::Ok;
}

std::optional<AlloySpecRecord> ParseAlloySpecLine(std::string_view line) {
    line = WithoutLineEnd(line);
    if (DropLeadingBlanks(line).empty()) return std::nullopt;
    AlloySpecRecord record;
    size_t comma = line.find(',');
    record.name = std::string(line.substr(0, std::min<size_t>(comma, 10)));
    if (comma == std::string_view::npos) return record;
    line.remove_prefix(comma + 1);
    comma = line.find(',');
    record.secondName = std::string(DropLeadingBlanks(line.substr(0, comma)).substr(0, 10));
    if (comma == std::string_view::npos) return record;
    line.remove_prefix(comma + 1);
    while (record.rangeCount < kAlloySpecRanges) {
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos) break;
        const size_t dash = line.find('-', equals + 1);
        if (dash == std::string_view::npos) break;
        comma = line.find(',', dash + 1);
        AlloySpecRange& range = record.ranges[static_cast<size_t>(record.rangeCount++)];
        range.element = std::string(DropLeadingBlanks(line.substr(0, equals)).substr(0, 2));
        range.minimum = ReadFloat(line.substr(equals + 1, dash - equals - 1)).value_or(range.minimum);
        range.maximum = ReadFloat(line.substr(dash + 1, comma == std::string_view::npos ? comma : comma - dash - 1))
                            .value_or(range.maximum);
        if (comma == std::string_view::npos) break;
        line.remove_prefix(comma + 1);
    }
    return record;
}

}  // namespace

std::string SettingsFileText(const Settings& settings) {
    std::string text;
    char line[512];
    std::snprintf(line, sizeof line,
                  "xSpect:%d, ySpect:%d, currentPort:%d, orient:%d, pcs:%d, download:%d, "
                  "DisplayFontSize:%d, Baud:%d, Export:%d\n",
                  settings.xSpect, settings.ySpect, settings.currentPort, settings.orient, settings.pcs,
                  settings.download, settings.displayFontSize, settings.baud, settings.exportForm);
    text += line;
    text += WithoutLineEnd(settings.printerLine);
    text += '\n';
    std::snprintf(line, sizeof line, "neg:%f,   inc:%f,  pos:%f, ", static_cast<double>(settings.neg),
                  static_cast<double>(settings.inc), static_cast<double>(settings.pos));
    text += line;
    const auto mask = [&](size_t word) { return static_cast<long>(settings.enabledColumns[word]); };
    std::snprintf(line, sizeof line,
                  "enabledColumns[0]:%ld, enabledColumns[1,2]:%ld,%ld, enabledColumns[3,4]:%ld,%ld, "
                  "enabledColumns[5,6]:%ld,%ld, enabledColumns[7,8]:%ld,%ld\n",
                  mask(0), mask(1), mask(2), mask(3), mask(4), mask(5), mask(6), mask(7), mask(8));
    text += line;
    std::snprintf(line, sizeof line, "spectrumYscale:%d, minLtime:%d, minLtime:%d\n",
                  ScaleToFile(settings.spectrumYscale), settings.minLtime, settings.minKtime);
    text += line;
    text += "Colors:";
    for (const Rgb& color : settings.colors) {
        std::snprintf(line, sizeof line, "%d,%d,%d,", color.red, color.green, color.blue);
        text += line;
    }
    text += '\n';
    text += StoredHeader(settings.reportHeader);
    return text;
}

bool ParseSettingsFileText(std::string_view text, Settings& settings) {
    Settings parsed = settings;
    TextLineReader lines(text);
    std::string line;
    lines.ReadTextLine(line);
    if (!TakeFirstLine(line, parsed)) return false;
    parsed.printerLine = lines.ReadTextLine(line) ? std::string(WithoutLineEnd(line)) : kDefaults.printerLine;
    lines.ReadTextLine(line);
    TakeRangesLine(line, parsed);
    lines.ReadTextLine(line);
    TakeScaleLine(line, parsed);

    parsed.colors = kDefaults.colors;
    bool more = lines.ReadTextLine(line);
    if (more && line.find("Colors:") != std::string::npos) {
        TakeColors(line, parsed.colors);
        more = lines.ReadTextLine(line);
    }
    parsed.reportHeader.clear();
    while (more && !IsLoneLineFeed(line)) {
        parsed.reportHeader += line;
        more = lines.ReadTextLine(line);
    }
    settings = std::move(parsed);
    return true;
}

std::string PortPathsText(const PortPaths& paths) {
    std::string text;
    for (size_t port = 0; port < paths.size(); ++port) {
        if (paths[port].empty()) continue;
        text += "COM" + std::to_string(port + 1) + "=" + paths[port] + "\n";
    }
    return text;
}

PortPaths ParsePortPaths(std::string_view text) {
    PortPaths paths;
    TextLineReader lines(text);
    std::string line;
    while (lines.ReadTextLine(line)) {
        const std::string_view entry = WithoutLineEnd(line);
        if (entry.size() < 5 || entry.substr(0, 3) != "COM" || entry[4] != '=') continue;
        if (entry[3] < '1' || entry[3] > '4') continue;
        paths[static_cast<size_t>(entry[3] - '1')] = std::string(entry.substr(5));
    }
    return paths;
}

AlloySpecTable ParseAlloySpecTable(std::string_view text) {
    AlloySpecTable table;
    TextLineReader lines(text);
    std::string line;
    while (table.count < kAlloySpecRecords && lines.ReadTextLine(line)) {
        if (std::optional<AlloySpecRecord> record = ParseAlloySpecLine(line)) {
            table.records[static_cast<size_t>(table.count++)] = std::move(*record);
        }
    }
    return table;
}

namespace {

bool Refused(FileStatus status) { return status == FileStatus::NotRegularFile || status == FileStatus::TooLarge; }

// Reads "ports.ini" or "alloy.spc": a missing file is passed over, one that
// is refused (not a regular file, too large) is told; either leaves its
// settings as they were.
FileStatus ReadBesideFile(const std::string& path, std::string& text, Prompter& prompter) {
    const FileStatus status = ReadSmallTextFile(path, text);
    if (Refused(status)) prompter.error(ReadProblemText(status, path, ""), "READ ERROR");
    return status;
}

}  // namespace

bool ReadPortPaths(const std::string& directory, PortPaths& paths, Prompter& prompter) {
    std::string text;
    const FileStatus status = ReadBesideFile(DataFilePath(directory, kPortsFileName), text, prompter);
    if (status == FileStatus::Ok) paths = ParsePortPaths(text);
    return !Refused(status);
}

bool ReadSettings(const std::string& directory, Settings& settings, Prompter& prompter) {
    Settings loaded = settings;
    ReadPortPaths(directory, loaded.portPaths, prompter);
    std::string text;
    const std::string path = DataFilePath(directory, kSettingsFileName);
    if (!FileExists(path)) {
        // A first start: the defaults, kept in a new file. When that file
        // cannot be written the user is told, and the settings still hold for this run.
        ParseSettingsFileText(SettingsFileText(kDefaults), loaded);
        WriteSettings(directory, loaded, prompter);
    } else if (const FileStatus status = ReadSmallTextFile(path, text); status != FileStatus::Ok) {
        prompter.error(ReadProblemText(status, path, "Opening Ini file\r\n        in\r\n  " + directory), "READ ERROR");
        return false;
    } else if (!ParseSettingsFileText(text, loaded)) {
        prompter.error("Error in Ravik.ini File\nContact Technical Support", "Ravik.ini Error");
        return false;
    }
    if (ReadBesideFile(DataFilePath(directory, kAlloySpecFileName), text, prompter) == FileStatus::Ok) {
        loaded.alloySpecs = ParseAlloySpecTable(text);
    }
    settings = std::move(loaded);
    return true;
}

bool WriteSettings(const std::string& directory, const Settings& settings, Prompter& prompter) {
    const bool written =
        EnsureDataDirectory(directory) &&
        WriteFileAtomically(DataFilePath(directory, kSettingsFileName), SettingsFileText(settings)) ==
            FileStatus::Ok &&
        WritePortPaths(directory, settings.portPaths);
    if (!written) prompter.error("Opening Ini file", "SAVE ERROR");
    return written;
}

}  // namespace ravik
