#include "core/shell/spectrum_request.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "core/output/spectrum_files.h"
#include "core/shell/command_line.h"
#include "core/shell/output_arguments.h"
#include "core/views/element_lines.h"

namespace ravik {

namespace {

constexpr DeclaredOption kOptions[] = {
    {"--mode", true},  {"--readings", true}, {"--high", false},          {"--normalize", true},
    {"--scale", true}, {"--range", true},    {"--lines", true},          {"--settings-dir", true},
    {"--force", false}, {"-o", true},
};

// More table rows than a file can hold are never asked for.
constexpr long kLargestTableNo = kMaxReadings;

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

bool IsFolder(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

// A whole number from 1 to the largest table row; nothing otherwise.
std::optional<int> TableNumber(std::string_view text) {
    if (text.empty() || text.size() > 6) return std::nullopt;
    long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value < 1 || value > kLargestTableNo) return std::nullopt;
    return static_cast<int>(value);
}

// "1,5,9" and runs "3-6"; each No once, in the order given.
bool TakeTableNumbers(std::string_view text, std::vector<int>& numbers) {
    while (true) {
        const size_t comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        const size_t dash = item.find('-');
        const std::optional<int> first = TableNumber(item.substr(0, dash));
        const std::optional<int> last = dash == std::string_view::npos ? first : TableNumber(item.substr(dash + 1));
        if (!first || !last || *last < *first) return false;
        for (int n = *first; n <= *last; ++n) {
            if (std::find(numbers.begin(), numbers.end(), n) == numbers.end()) numbers.push_back(n);
            if (numbers.size() > static_cast<size_t>(kMaxComparedSpectra)) return false;
        }
        if (comma == std::string_view::npos) return true;
        text.remove_prefix(comma + 1);
    }
}

std::optional<double> Energy(const std::string& text) {
    if (text.empty() || !(std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '.')) return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(text.c_str(), &end);
    if (errno != 0 || end != text.c_str() + text.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

}  // namespace

std::optional<SpectrumOutput> SpectrumOutputOf(const std::string& path) {
    if (IsFolder(path)) return SpectrumOutput::Msa;
    const size_t dot = ExtensionStart(path);
    const std::string extension = Lower(std::string_view(path).substr(std::min(dot, path.size())));
    if (extension == ".png") return SpectrumOutput::Png;
    if (extension == ".svg") return SpectrumOutput::Svg;
    if (extension == ".pdf") return SpectrumOutput::Pdf;
    if (extension == ".msa") return SpectrumOutput::Msa;
    if (extension == ".csv") return SpectrumOutput::Csv;
    return std::nullopt;
}

bool DrawsWithQt(SpectrumOutput output) {
    return output == SpectrumOutput::Png || output == SpectrumOutput::Svg || output == SpectrumOutput::Pdf;
}

bool SpectrumCallDrawsWithQt(std::span<const std::string> args) {
    for (size_t i = 0; i < args.size(); ++i) {
        std::string value;
        if (args[i] == "-o" && i + 1 < args.size()) value = args[i + 1];
        else if (args[i].starts_with("-o=")) value = args[i].substr(3);
        else continue;
        const std::optional<SpectrumOutput> output = SpectrumOutputOf(value);
        return output && DrawsWithQt(*output);
    }
    return false;
}

std::optional<SpectrumRequest> ParseSpectrumRequest(std::span<const std::string> args, std::string& error) {
    const std::optional<ParsedOptions> options = ParseOptions(args, kOptions);
    if (!options) {
        error = "unknown, repeated or empty option";
        return std::nullopt;
    }
    if (options->operands().size() != 1 || options->operands().front().empty()) {
        error = "give one readings file";
        return std::nullopt;
    }
    for (const char* required : {"--mode", "--readings", "-o"}) {
        if (!options->has(required)) {
            error = std::string(required) + " is missing";
            return std::nullopt;
        }
    }
    SpectrumRequest request;
    request.input = options->operands().front();
    request.output = options->value("-o");
    request.settingsDirectory = options->value("--settings-dir");
    request.force = options->has("--force");
    const std::optional<Mode> mode = ModeNamed(options->value("--mode"));
    if (!mode) {
        error = "unknown mode \"" + options->value("--mode") + "\"";
        return std::nullopt;
    }
    request.mode = *mode;
    if (!TakeTableNumbers(options->value("--readings"), request.tableNumbers)) {
        error = "--readings takes table numbers from 1, such as 1,5,9 or 3-6 (at most 64 readings)";
        return std::nullopt;
    }
    request.overlay.band = options->has("--high") ? SpectrumBand::High : SpectrumBand::Low;
    if (request.overlay.band == SpectrumBand::High && request.mode == Mode::Sign) {
        error = "Sign readings have no High spectrum";
        return std::nullopt;
    }
    if (options->has("--normalize")) {
        const std::string word = options->value("--normalize");
        bool known = false;
        for (Normalisation n : {Normalisation::None, Normalisation::ToMaximum, Normalisation::ToArea,
                                Normalisation::ToMeasuringTime}) {
            if (word == NormalisationWord(n)) {
                request.overlay.normalisation = n;
                known = true;
            }
        }
        if (!known) {
            error = "--normalize takes none, max, area or time";
            return std::nullopt;
        }
    }
    if (options->has("--scale")) {
        const std::string word = options->value("--scale");
        bool known = false;
        for (CountScale s : {CountScale::Linear, CountScale::Log10, CountScale::Sqrt}) {
            if (word == ScaleWord(s)) {
                request.scale = s;
                known = true;
            }
        }
        if (!known) {
            error = "--scale takes linear, log or sqrt";
            return std::nullopt;
        }
    }
    if (options->has("--range")) {
        const std::string range = options->value("--range");
        const size_t dash = range.find('-');
        const std::optional<double> from = dash == std::string::npos ? std::nullopt : Energy(range.substr(0, dash));
        const std::optional<double> to = dash == std::string::npos ? std::nullopt : Energy(range.substr(dash + 1));
        if (!from || !to || !(*from < *to)) {
            error = "--range takes FROM-TO in keV with FROM below TO, such as 8-16";
            return std::nullopt;
        }
        request.fromKeV = from;
        request.toKeV = to;
    }
    if (options->has("--lines")) {
        std::string unknown;
        const std::optional<std::vector<int>> elements = ParseElementList(options->value("--lines"), &unknown);
        if (!elements) {
            error = "--lines: unknown element \"" + unknown + "\"";
            return std::nullopt;
        }
        request.elements = *elements;
    }
    const std::optional<SpectrumOutput> kind = SpectrumOutputOf(request.output);
    if (!kind) {
        error = "-o names a .png, .svg, .pdf, .msa or .csv file, or an existing folder for .msa files";
        return std::nullopt;
    }
    request.kind = *kind;
    request.outputIsFolder = request.kind == SpectrumOutput::Msa && IsFolder(request.output);
    if (request.kind == SpectrumOutput::Msa && !request.outputIsFolder && request.tableNumbers.size() > 1) {
        error = "several readings give one .msa file each: -o names an existing folder for them";
        return std::nullopt;
    }
    return request;
}

std::optional<SpectrumJob> PrepareSpectrumJob(const SpectrumRequest& request, const ReadingStore& store,
                                              const Settings& settings, std::string& error) {
    SpectrumJob job;
    for (int no : request.tableNumbers) {
        std::optional<ComparedReading> reading = TakeReading(store, settings, request.mode, no, request.input);
        if (!reading) {
            error = "there is no " + std::string(WindowText(request.mode)) + " reading No " + std::to_string(no) +
                    " (the table has " + std::to_string(store.count(request.mode)) + ")";
            return std::nullopt;
        }
        job.comparison.add(std::move(*reading));
    }
    job.overlay = BuildOverlay(job.comparison, request.overlay);
    for (const OverlayRemark& remark : job.overlay.remarks) {
        job.remarks.push_back(RemarkText(job.comparison, request.overlay.band, remark));
    }
    for (const OverlayCurve& curve : job.overlay.curves) {
        job.legends.push_back(LegendText(job.comparison.find(curve.id)->reading));
    }
    job.window.fromKeV = job.overlay.firstKeV;
    job.window.toKeV = std::max(job.overlay.lastKeV, job.overlay.firstKeV + kKeVPerPlottedChannel);
    if (request.fromKeV && request.toKeV && !job.overlay.curves.empty()) {
        const double tolerance = kKeVPerPlottedChannel / 2;
        if (*request.fromKeV < job.overlay.firstKeV - tolerance || *request.toKeV > job.overlay.lastKeV + tolerance) {
            char text[160];
            std::snprintf(text, sizeof text, "--range %g-%g lies outside the spectra's energies %.1f-%.1f keV",
                          *request.fromKeV, *request.toKeV, job.overlay.firstKeV, job.overlay.lastKeV);
            error = text;
            return std::nullopt;
        }
        job.window.fromKeV = *request.fromKeV;
        job.window.toKeV = *request.toKeV;
    }
    FitCountRange(job.overlay, request.scale, job.window);
    return job;
}

std::vector<std::string> SpectrumFileTargets(const SpectrumRequest& request, const SpectrumJob& job) {
    std::vector<std::string> targets;
    if (request.kind == SpectrumOutput::Csv) {
        targets.push_back(request.output);
    } else if (request.kind == SpectrumOutput::Msa) {
        if (request.outputIsFolder) return EmsaFolderTargets(job.comparison, request.overlay.band, request.output);
        if (!job.overlay.curves.empty()) targets.push_back(request.output);
    }
    return targets;
}

FileStatus WriteSpectrumFiles(const SpectrumRequest& request, const SpectrumJob& job, std::string& failedPath) {
    if (request.kind == SpectrumOutput::Msa && request.outputIsFolder) {
        return WriteEmsaFolder(job.comparison, request.overlay.band, request.output, failedPath);
    }
    const std::vector<std::string> targets = SpectrumFileTargets(request, job);
    if (targets.empty()) return FileStatus::Ok;
    std::vector<StagedFile> files;
    StagedFile& file = files.emplace_back(targets.front());
    FileStatus status = FileStatus::Ok;
    if (request.kind == SpectrumOutput::Csv) {
        const bool ranged = request.fromKeV && request.toKeV;
        status = ranged ? WriteSpectrumCsv(job.overlay, job.legends, file, *request.fromKeV, *request.toKeV)
                        : WriteSpectrumCsv(job.overlay, job.legends, file);
    } else {
        EmsaSpectrum spectrum;
        EmsaSpectrumOf(job.comparison.find(job.overlay.curves.front().id)->reading, request.overlay.band, spectrum);
        status = WriteEmsaFile(spectrum, file);
    }
    if (status == FileStatus::Ok) status = CommitStagedFiles(files);
    if (status != FileStatus::Ok) failedPath = targets.front();
    return status;
}

}  // namespace ravik
