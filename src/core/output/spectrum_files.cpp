#include "core/output/spectrum_files.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "core/readings/time_stamp.h"

namespace ravik {

namespace {

constexpr size_t kPieceSize = 64 * 1024;
constexpr size_t kLineLimit = 80;
constexpr size_t kTitleLimit = 64;
constexpr const char* kMonths[12] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                     "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

// The calendar time the table shows for a time stamp (its hour 24 is hour 0
// of the next day here).
std::tm ShownCalendar(int64_t instrumentSeconds) {
    const std::time_t seconds = static_cast<std::time_t>(instrumentSeconds + kInstrumentEpoch + 3600);
    std::tm calendar{};
    gmtime_r(&seconds, &calendar);
    return calendar;
}

// EMSA text is printable ASCII: other bytes (Windows-1252 letters, control
// characters) become '?'.
std::string Printable(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte > 0x7E) c = '?';
    }
    return out;
}

// "#KEYWORD     : value": the keyword padded so the colon stands in column 14.
void AppendKeyword(std::string& text, std::string_view keyword, std::string_view value) {
    std::string line = "#";
    line += keyword;
    if (line.size() < 13) line.append(13 - line.size(), ' ');
    line += ": ";
    line += Printable(value);
    if (line.size() > kLineLimit) line.resize(kLineLimit);
    while (!line.empty() && line.back() == ' ') line.pop_back();
    text += line;
    text += "\r\n";
}

// Writes a whole number of units of 10^-decimals at out ("45.0000" for
// 450000 with 4 decimals); trim drops trailing zeros and a bare point
// ("5726.208", "12"). Returns the end; out needs 32 bytes.
char* WriteScaled(char* out, long long scaled, int decimals, bool trim) {
    if (scaled < 0) *out++ = '-';
    char digits[24];
    char* end = std::to_chars(digits, digits + sizeof digits, scaled < 0 ? -scaled : scaled).ptr;
    const int length = static_cast<int>(end - digits);
    if (length <= decimals) {
        *out++ = '0';
        *out++ = '.';
        for (int i = length; i < decimals; ++i) *out++ = '0';
        out = std::copy(digits, end, out);
    } else {
        out = std::copy(digits, end - decimals, out);
        *out++ = '.';
        out = std::copy(end - decimals, end, out);
    }
    if (trim) {
        while (out[-1] == '0') --out;
        if (out[-1] == '.') --out;
    }
    return out;
}

// A value as "%.6g" would write it, but exact for the counts of a record,
// which are whole thousandths (and cheap to write, as a file holds many).
// out needs 32 bytes.
char* WriteValue(char* out, double value) {
    if (!std::isfinite(value)) value = 0;
    const double thousandths = value * 1000;
    if (std::fabs(thousandths) < 1e15) {
        const auto whole = static_cast<long long>(thousandths);
        if (static_cast<double>(whole) == thousandths) return WriteScaled(out, whole, 3, true);
    }
    return std::to_chars(out, out + 32, value, std::chars_format::general, 6).ptr;
}

void AppendValue(std::string& text, double value) {
    char digits[32];
    text.append(digits, WriteValue(digits, value));
}

std::string Number(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, std::isfinite(value) ? value : 0.0);
    return text;
}

// Quotes a CSV cell when it holds a comma, quote or line break.
std::string CsvCell(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string cell = "\"";
    for (char c : text) {
        if (c == '"') cell += '"';
        cell += c;
    }
    return cell + "\"";
}

bool WriteCsv(const SpectrumOverlay& overlay, const std::vector<std::string>& legends, double fromKeV, double toKeV,
              const TextSink& sink) {
    std::string text = "keV";
    for (size_t i = 0; i < overlay.curves.size(); ++i) {
        text += ',';
        text += CsvCell(i < legends.size() ? legends[i] : std::to_string(overlay.curves[i].id));
    }
    text += "\r\n";
    if (!overlay.curves.empty()) {
        const long rows = std::lround((overlay.lastKeV - overlay.firstKeV) / kKeVPerPlottedChannel);
        for (long row = 0; row <= rows; ++row) {
            const double keV = overlay.firstKeV + static_cast<double>(row) * kKeVPerPlottedChannel;
            if (keV < fromKeV - 1e-9 || keV > toKeV + 1e-9) continue;
            char digits[32];
            text.append(digits, WriteScaled(digits, std::llround(keV * 10), 1, false));
            for (const OverlayCurve& curve : overlay.curves) {
                text += ',';
                const long channel = std::lround((keV - curve.offsetKeV) / kKeVPerPlottedChannel);
                if (channel >= 0 && channel < static_cast<long>(curve.values.size())) {
                    AppendValue(text, curve.values[static_cast<size_t>(channel)]);
                }
            }
            text += "\r\n";
            if (text.size() >= kPieceSize) {
                if (!sink(text)) return false;
                text.clear();
            }
        }
    }
    return sink(text);
}

FileStatus ToStaged(StagedFile& file, const std::function<bool(const TextSink&)>& write) {
    FileStatus status = FileStatus::Ok;
    const bool whole = write([&](std::string_view piece) {
        status = file.append(piece);
        return status == FileStatus::Ok;
    });
    if (!whole) return status == FileStatus::Ok ? FileStatus::WriteFailed : status;
    return file.finish();
}

}  // namespace

std::string EmsaDate(int64_t instrumentSeconds) {
    const std::tm calendar = ShownCalendar(instrumentSeconds);
    char text[32];
    std::snprintf(text, sizeof text, "%02d-%s-%04d", calendar.tm_mday, kMonths[calendar.tm_mon],
                  calendar.tm_year + 1900);
    return text;
}

std::string EmsaTime(int64_t instrumentSeconds) {
    const std::tm calendar = ShownCalendar(instrumentSeconds);
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d", calendar.tm_hour, calendar.tm_min);
    return text;
}

bool EmsaSpectrumOf(const ComparedReading& reading, SpectrumBand band, EmsaSpectrum& out) {
    const std::vector<float> counts = reading.decode(band);
    if (counts.empty()) return false;
    out = EmsaSpectrum();
    out.title = reading.fileName + " No " + std::to_string(reading.tableNo) + " QVNo " +
                std::to_string(reading.qvNo) + " " + BandText(band);
    if (reading.timeStamp) {
        out.date = EmsaDate(*reading.timeStamp);
        out.time = EmsaTime(*reading.timeStamp);
    }
    out.owner = "RAVIK";
    out.offsetKeV = BandOffsetKeV(band);
    out.liveSeconds = reading.measuringSeconds;
    out.counts.reserve(counts.size());
    for (float count : counts) out.counts.push_back(std::isfinite(count) && count > 0 ? count : 0.0);
    out.comments = reading.fields;
    return true;
}

bool WriteEmsaText(const EmsaSpectrum& spectrum, const TextSink& sink) {
    std::string text;
    text.reserve(kPieceSize + 128);
    std::string title = spectrum.title;
    if (title.size() > kTitleLimit) title.resize(kTitleLimit);
    AppendKeyword(text, "FORMAT", "EMSA/MAS Spectral Data File");
    AppendKeyword(text, "VERSION", "1.0");
    AppendKeyword(text, "TITLE", title);
    AppendKeyword(text, "DATE", spectrum.date.empty() ? "01-JAN-1994" : spectrum.date);
    AppendKeyword(text, "TIME", spectrum.time.empty() ? "00:00" : spectrum.time);
    AppendKeyword(text, "OWNER", spectrum.owner);
    AppendKeyword(text, "NPOINTS", std::to_string(spectrum.counts.size()) + ".");
    AppendKeyword(text, "NCOLUMNS", "1.");
    AppendKeyword(text, "XUNITS", "keV");
    AppendKeyword(text, "YUNITS", "counts");
    AppendKeyword(text, "DATATYPE", "XY");
    AppendKeyword(text, "XPERCHAN", Number("%.4f", spectrum.keVPerChannel));
    AppendKeyword(text, "OFFSET", Number("%.4f", spectrum.offsetKeV));
    AppendKeyword(text, "SIGNALTYPE", "XRF");
    AppendKeyword(text, "LIVETIME", Number("%.3f", spectrum.liveSeconds));
    for (const std::string& comment : spectrum.comments) AppendKeyword(text, "COMMENT", comment);
    AppendKeyword(text, "SPECTRUM", "Spectrum Data Starts Here");
    // Energies in ten-thousandths of a keV: whole steps from the offset when
    // the step is a whole number of them (0.1 keV is), computed per line otherwise.
    const bool sane = std::isfinite(spectrum.offsetKeV) && std::isfinite(spectrum.keVPerChannel) &&
                      std::fabs(spectrum.offsetKeV) < 1e9 && std::fabs(spectrum.keVPerChannel) < 1e6;
    const long long base = sane ? std::llround(spectrum.offsetKeV * 10000) : 0;
    const long long step = sane ? std::llround(spectrum.keVPerChannel * 10000) : 0;
    const bool stepped = sane && std::fabs(spectrum.keVPerChannel * 10000 - static_cast<double>(step)) < 1e-6 &&
                         std::fabs(spectrum.offsetKeV * 10000 - static_cast<double>(base)) < 1e-6;
    for (size_t i = 0; i < spectrum.counts.size(); ++i) {
        const double keV = spectrum.offsetKeV + static_cast<double>(i) * spectrum.keVPerChannel;
        // One line: "energy, count" CR LF.
        char line[80];
        char* end = line;
        if (stepped) {
            end = WriteScaled(end, base + static_cast<long long>(i) * step, 4, false);
        } else if (std::isfinite(keV) && std::fabs(keV) < 1e9) {
            end = WriteScaled(end, std::llround(keV * 10000), 4, false);
        } else {
            end = std::copy_n("0.0000", 6, end);
        }
        *end++ = ',';
        *end++ = ' ';
        end = WriteValue(end, spectrum.counts[i]);
        *end++ = '\r';
        *end++ = '\n';
        text.append(line, end);
        if (text.size() >= kPieceSize) {
            if (!sink(text)) return false;
            text.clear();
        }
    }
    AppendKeyword(text, "ENDOFDATA", "End Of Data and File");
    return sink(text);
}

std::string EmsaText(const EmsaSpectrum& spectrum) {
    std::string text;
    WriteEmsaText(spectrum, [&](std::string_view piece) {
        text += piece;
        return true;
    });
    return text;
}

FileStatus WriteEmsaFile(const EmsaSpectrum& spectrum, StagedFile& file) {
    return ToStaged(file, [&](const TextSink& sink) { return WriteEmsaText(spectrum, sink); });
}

FileStatus WriteSpectrumCsv(const SpectrumOverlay& overlay, const std::vector<std::string>& legends,
                            StagedFile& file, double fromKeV, double toKeV) {
    return ToStaged(file, [&](const TextSink& sink) { return WriteCsv(overlay, legends, fromKeV, toKeV, sink); });
}

std::string SpectrumCsvText(const SpectrumOverlay& overlay, const std::vector<std::string>& legends,
                            double fromKeV, double toKeV) {
    std::string text;
    WriteCsv(overlay, legends, fromKeV, toKeV, [&](std::string_view piece) {
        text += piece;
        return true;
    });
    return text;
}

std::string EmsaFileName(std::string_view inputPath, int tableNo) {
    const size_t slash = inputPath.find_last_of('/');
    std::string_view name = slash == std::string_view::npos ? inputPath : inputPath.substr(slash + 1);
    name = name.substr(0, ExtensionStart(name));
    return std::string(name) + "-" + std::to_string(tableNo) + ".msa";
}

std::vector<std::string> EmsaFolderTargets(const SpectrumComparison& comparison, SpectrumBand band,
                                           const std::string& folder) {
    std::vector<std::string> targets;
    std::vector<std::string> names;
    for (const SpectrumComparison::Entry& entry : comparison.entries()) {
        if (entry.reading.decode(band).empty()) continue;
        const std::string name = EmsaFileName(entry.reading.fileName, entry.reading.tableNo);
        std::string unique = name;
        for (int n = 2; std::find(names.begin(), names.end(), unique) != names.end(); ++n) {
            unique = name.substr(0, name.size() - 4) + "_" + std::to_string(n) + ".msa";
        }
        names.push_back(unique);
        targets.push_back(folder.empty() || folder.back() == '/' ? folder + unique : folder + "/" + unique);
    }
    return targets;
}

FileStatus WriteEmsaFolder(const SpectrumComparison& comparison, SpectrumBand band, const std::string& folder,
                           std::string& failedPath) {
    const std::vector<std::string> targets = EmsaFolderTargets(comparison, band, folder);
    std::vector<StagedFile> files;
    files.reserve(targets.size());
    size_t next = 0;
    for (const SpectrumComparison::Entry& entry : comparison.entries()) {
        EmsaSpectrum spectrum;
        if (!EmsaSpectrumOf(entry.reading, band, spectrum) || next >= targets.size()) continue;
        StagedFile& file = files.emplace_back(targets[next++]);
        if (const FileStatus status = WriteEmsaFile(spectrum, file); status != FileStatus::Ok) {
            failedPath = file.target();
            return status;
        }
    }
    const FileStatus status = CommitStagedFiles(files);
    if (status != FileStatus::Ok && !targets.empty()) failedPath = folder;
    return status;
}

}  // namespace ravik
