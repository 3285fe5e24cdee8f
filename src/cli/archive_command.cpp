// "ravik archive add|find|collect|files|remove|check": the readings archive
// from the command line. The archive is archive.sqlite in the data
// directory, or what --db or $RAVIK_ARCHIVE names.

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <sstream>

#include "cli/commands.h"
#include "core/archive/archive.h"
#include "core/platform/data_dir.h"
#include "core/platform/file_io.h"
#include "core/platform/prompter.h"
#include "core/readings/readings_loader.h"
#include "core/readings/readings_saver.h"
#include "core/shell/command_line.h"
#include "core/shell/command_output.h"
#include "core/shell/output_arguments.h"
#include "core/settings/settings_file.h"

namespace ravik {

namespace {

constexpr const char* kArchiveUsage =
    "usage: ravik archive add PATH... [--db URL]\n"
    "       ravik archive find [FILTERS] [--format table|csv|json] [--order file|date|value] [--limit N]\n"
    "       ravik archive collect [FILTERS] [--order ...] [--limit N] -o OUT.qvr [--force]\n"
    "       ravik archive files [--db URL]\n"
    "       ravik archive remove PATH... [--db URL]\n"
    "       ravik archive check [--db URL]\n"
    "FILTERS: --site TEXT --mode paint|bulk|thin|alloy|sign --class POS|NEG|INC\n"
    "         --element EL [--min X] [--max Y] --from YYYY-MM-DD --to YYYY-MM-DD\n"
    "         --text WORDS --file TEXT --hidden; also --db URL --settings-dir DIR\n";

int Usage(const std::string& why = {}) {
    if (!why.empty()) std::fprintf(stderr, "ravik archive: %s\n", why.c_str());
    std::fputs(kArchiveUsage, stderr);
    return 2;
}

int Failed(const std::string& why) {
    std::fprintf(stderr, "ravik archive: %s\n", why.c_str());
    return 1;
}

constexpr DeclaredOption kFilterOptions[] = {
    {"--db", true},      {"--settings-dir", true}, {"--site", true},  {"--mode", true},  {"--class", true},
    {"--element", true}, {"--min", true},          {"--max", true},   {"--from", true},  {"--to", true},
    {"--text", true},    {"--file", true},         {"--hidden", false}, {"--format", true}, {"--order", true},
    {"--limit", true},   {"-o", true},             {"--force", false},
};

bool ReadDouble(const std::string& text, double& out) {
    const char* end = text.data() + text.size();
    auto [ptr, error] = std::from_chars(text.data(), end, out);
    return error == std::errc() && ptr == end;
}

bool IsDate(const std::string& text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
    for (size_t i : {0u, 1u, 2u, 3u, 5u, 6u, 8u, 9u}) {
        if (text[i] < '0' || text[i] > '9') return false;
    }
    const int month = (text[5] - '0') * 10 + (text[6] - '0');
    const int day = (text[8] - '0') * 10 + (text[9] - '0');
    return month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

// The filters of find and collect; a wrong value gives the reason.
std::optional<std::string> ReadFilter(const ParsedOptions& options, ArchiveFilter& filter) {
    if (options.has("--site")) filter.site = options.value("--site");
    if (options.has("--mode")) {
        const std::string mode = options.value("--mode");
        bool known = false;
        for (Mode m : kAllModes) {
            std::string lower = WindowText(m);
            std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
            if (mode == lower || mode == UpperText(m) || mode == WindowText(m)) {
                filter.mode = m;
                known = true;
            }
        }
        if (!known) return "--mode takes paint, bulk, thin, alloy or sign";
    }
    if (options.has("--class")) {
        const std::string name = options.value("--class");
        if (name == "POS") filter.paintClass = 1;
        else if (name == "NEG") filter.paintClass = 2;
        else if (name == "INC") filter.paintClass = 3;
        else return "--class takes POS, NEG or INC";
    }
    if (options.has("--element")) filter.element = options.value("--element");
    for (const char* bound : {"--min", "--max"}) {
        if (!options.has(bound)) continue;
        if (!filter.element) return std::string(bound) + " needs --element";
        double value = 0;
        if (!ReadDouble(options.value(bound), value)) return std::string(bound) + " takes a number";
        (std::string(bound) == "--min" ? filter.minValue : filter.maxValue) = value;
    }
    for (const char* day : {"--from", "--to"}) {
        if (!options.has(day)) continue;
        const std::string text = options.value(day);
        if (!IsDate(text)) return std::string(day) + " takes a date as YYYY-MM-DD";
        (std::string(day) == "--from" ? filter.from : filter.to) = text;
    }
    if (options.has("--text")) {
        std::istringstream words(options.value("--text"));
        for (std::string word; words >> word;) filter.words.push_back(word);
    }
    if (options.has("--file")) filter.file = options.value("--file");
    filter.includeHidden = options.has("--hidden");
    if (options.has("--order")) {
        const std::string order = options.value("--order");
        if (order == "file") filter.order = FindOrder::File;
        else if (order == "date") filter.order = FindOrder::Date;
        else if (order == "value" && filter.element) filter.order = FindOrder::Value;
        else return "--order takes file, date, or value (with --element)";
    } else if (filter.element) {
        filter.order = FindOrder::Value;
    }
    if (options.has("--limit")) {
        const std::string text = options.value("--limit");
        long long limit = 0;
        auto [ptr, error] = std::from_chars(text.data(), text.data() + text.size(), limit);
        if (error != std::errc() || ptr != text.data() + text.size() || limit < 1) return "--limit takes a whole number above 0";
        filter.limit = limit;
    }
    return std::nullopt;
}

std::unique_ptr<Archive> OpenArchive(const ParsedOptions& options) {
    return std::make_unique<Archive>(ResolveArchiveTarget(options.value("--db"), DataDirectory()));
}

const char* ClassText(const FoundReading& reading) {
    return reading.mode == Mode::Paint ? kPaintClassTexts[static_cast<size_t>(reading.paintClass) % 6] : "";
}

// The annotation fields that hold something, as "a | b | c".
std::string ShownAnnotations(const std::string& annotations) {
    std::string shown;
    std::istringstream fields(annotations);
    for (std::string field; std::getline(fields, field, '\t');) {
        if (field.empty()) continue;
        if (!shown.empty()) shown += " | ";
        shown += field;
    }
    return shown;
}

std::string CsvText(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string JsonText(const std::string& text) {
    std::string quoted = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += static_cast<char>(c);
        } else if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            quoted += escape;
        } else {
            quoted += static_cast<char>(c);
        }
    }
    return quoted + "\"";
}

std::string ValueText(const FoundReading& reading) {
    if (!reading.elementValue) return "";
    char text[32];
    std::snprintf(text, sizeof text, "%.2f%s", *reading.elementValue, reading.belowDetection ? " <LOD" : "");
    return text;
}

void PrintFound(const std::vector<FoundReading>& found, const std::string& format, bool withValue) {
    const std::vector<std::string> titles = {"File", "No", "Mode", "QVNo", "Date", "Class", "Value", "Fields"};
    std::vector<std::vector<std::string>> rows;
    for (const FoundReading& reading : found) {
        rows.push_back({reading.path, std::to_string(reading.readingNumber), WindowText(reading.mode),
                        std::to_string(reading.instrumentNumber), reading.taken, ClassText(reading),
                        ValueText(reading), ShownAnnotations(reading.annotations)});
    }
    auto shown = [&](size_t column) { return column != 6 || withValue; };
    if (format == "csv") {
        std::string line;
        for (size_t c = 0; c < titles.size(); ++c) {
            if (shown(c)) line += (line.empty() ? "" : ",") + titles[c];
        }
        std::printf("%s\r\n", line.c_str());
        for (const auto& row : rows) {
            line.clear();
            for (size_t c = 0; c < row.size(); ++c) {
                if (shown(c)) line += (c == 0 ? "" : ",") + CsvText(row[c]);
            }
            std::printf("%s\r\n", line.c_str());
        }
    } else if (format == "json") {
        std::printf("[");
        for (size_t r = 0; r < found.size(); ++r) {
            const FoundReading& reading = found[r];
            std::printf("%s\n  {\"file\": %s, \"site\": %s, \"no\": %d, \"mode\": %s, \"qvno\": %d, \"date\": %s,"
                        " \"class\": %s, \"hidden\": %s, ",
                        r == 0 ? "" : ",", JsonText(reading.path).c_str(), JsonText(reading.site).c_str(),
                        reading.readingNumber, JsonText(WindowText(reading.mode)).c_str(), reading.instrumentNumber,
                        JsonText(reading.taken).c_str(), JsonText(ClassText(reading)).c_str(),
                        reading.hidden ? "true" : "false");
            if (reading.elementValue) {
                std::printf("\"value\": %.6g, \"below_detection\": %s, ", *reading.elementValue,
                            reading.belowDetection ? "true" : "false");
            }
            std::printf("\"fields\": [");
            std::istringstream fields(reading.annotations);
            bool first = true;
            for (std::string field; std::getline(fields, field, '\t'); first = false) {
                std::printf("%s%s", first ? "" : ", ", JsonText(field).c_str());
            }
            std::printf("]}");
        }
        std::printf("%s]\n", found.empty() ? "" : "\n");
    } else {
        std::vector<size_t> widths(titles.size());
        for (size_t c = 0; c < titles.size(); ++c) widths[c] = titles[c].size();
        for (const auto& row : rows) {
            for (size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], row[c].size());
        }
        auto print = [&](const std::vector<std::string>& row) {
            std::string line;
            for (size_t c = 0; c < row.size(); ++c) {
                if (!shown(c)) continue;
                std::string cell = row[c];
                if (c + 1 < row.size()) cell.resize(widths[c] + 2, ' ');
                line += cell;
            }
            std::printf("%s\n", line.c_str());
        };
        print(titles);
        for (const auto& row : rows) print(row);
        std::printf("%zu reading%s found\n", found.size(), found.size() == 1 ? "" : "s");
    }
}

int RunAdd(const ParsedOptions& options) {
    if (options.operands().empty()) return Usage("add needs files or folders");
    std::vector<std::string> missing;
    const std::vector<std::string> files = ExpandArchivePaths(options.operands(), missing);
    for (const std::string& path : missing) std::fprintf(stderr, "ravik archive: %s: no such file or folder\n", path.c_str());
    std::unique_ptr<Archive> archive = OpenArchive(options);
    const bool showProgress = isatty(STDERR_FILENO) && files.size() > 1;
    const std::vector<AddReport> reports = AddToArchive(*archive, files, [&](const AddProgress& progress) {
        if (showProgress) {
            std::fprintf(stderr, "\rarchive: file %zu of %zu, %d readings stored   ", progress.fileIndex + 1,
                         progress.fileCount, progress.readingsStored);
        }
    });
    if (showProgress) std::fprintf(stderr, "\n");
    int added = 0, readings = 0, problems = static_cast<int>(missing.size());
    bool damaged = false;
    for (const AddReport& report : reports) {
        switch (report.result) {
            case AddResult::Added: std::printf("added %s (%d readings)\n", report.path.c_str(), report.readings); break;
            case AddResult::Replaced:
                std::printf("replaced %s (%d readings)\n", report.path.c_str(), report.readings);
                break;
            case AddResult::Unchanged:
                std::printf("unchanged %s%s%s\n", report.path.c_str(), report.message.empty() ? "" : ": ",
                            report.message.c_str());
                break;
            case AddResult::Damaged:
                damaged = true;
                std::printf("damaged %s (%d whole readings added)\n", report.path.c_str(), report.readings);
                std::fprintf(stderr, "ravik archive: %s: %s\n", report.path.c_str(), report.message.c_str());
                break;
            case AddResult::Refused:
                ++problems;
                std::fprintf(stderr, "ravik archive: %s: %s; skipped\n", report.path.c_str(), report.message.c_str());
                break;
        }
        if (report.result != AddResult::Refused && report.result != AddResult::Unchanged) {
            ++added;
            readings += report.readings;
        }
    }
    std::printf("%d file%s, %d readings stored in %s\n", added, added == 1 ? "" : "s", readings, archive->name().c_str());
    return problems > 0 ? 1 : damaged ? kPartialExit : 0;
}

int RunCollect(const ParsedOptions& options, const ArchiveFilter& filter, const Settings& settings) {
    if (!options.has("-o")) return Usage("collect needs -o OUT.qvr");
    std::unique_ptr<Archive> archive = OpenArchive(options);
    long long count = CountReadings(*archive, filter, settings);
    if (filter.limit) count = std::min(count, *filter.limit);
    if (count > kMaxReadings) {
        return Failed(std::to_string(count) + " readings found; a readings file holds at most " +
                      std::to_string(kMaxReadings) + ": narrow the filters or give --limit");
    }
    if (count == 0) return Failed("no readings found; nothing written");
    const std::vector<FoundReading> found = FindReadings(*archive, filter, settings);
    const std::vector<CollectedReading> records = CollectRecords(*archive, found);
    for (const CollectedReading& record : records) {
        if (record.fileVersion != records[0].fileVersion) {
            std::fprintf(stderr, "Warning: Cannot Append Different File Versions\n");
            return 2;
        }
    }
    std::string bytes = records[0].header;
    char countText[8];
    std::snprintf(countText, sizeof countText, " %-4d", static_cast<int>(records.size()));
    bytes.replace(0, 5, countText, 5);
    for (const CollectedReading& record : records) bytes += record.record;

    StderrPrompter prompter;
    ReadingStore store;
    const std::span<const uint8_t> view(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    if (LoadReadingsBytes(store, view, "archive", kOpenCommand, prompter) != LoadOutcome::Whole) {
        return Failed("the collected readings do not make a whole readings file");
    }
    std::vector<std::string> inputs;
    if (archive->engine() == ArchiveEngine::Sqlite) inputs.push_back(archive->target().location);
    for (const FoundReading& reading : found) {
        if (std::find(inputs.begin(), inputs.end(), reading.path) == inputs.end()) inputs.push_back(reading.path);
    }
    const std::string target = SaveTargetName(options.value("-o"), store.locked);
    if (!MayWriteOutput(target, inputs, options.has("--force"), prompter)) return 1;
    std::string written;
    if (!SaveReadingsFile(store, target, "", written, prompter)) return 1;
    std::printf("%d readings collected into %s\n", store.readingCount, written.c_str());
    return 0;
}

int RunFiles(const ParsedOptions& options) {
    if (!options.operands().empty()) return Usage("files takes no paths");
    std::unique_ptr<Archive> archive = OpenArchive(options);
    const std::vector<ArchivedFile> files = ListArchivedFiles(*archive);
    int gone = 0, changed = 0;
    for (const ArchivedFile& file : files) {
        const char* state = file.state == ArchivedFile::State::Gone      ? "gone"
                          : file.state == ArchivedFile::State::Changed ? "changed"
                                                                       : "ok";
        gone += file.state == ArchivedFile::State::Gone;
        changed += file.state == ArchivedFile::State::Changed;
        std::printf("%-7s %5d  %-24s %s\n", state, file.readings, file.site.c_str(), file.path.c_str());
    }
    std::printf("%zu files archived, %d gone, %d changed\n", files.size(), gone, changed);
    return 0;
}

int RunRemove(const ParsedOptions& options) {
    if (options.operands().empty()) return Usage("remove needs paths");
    std::unique_ptr<Archive> archive = OpenArchive(options);
    const std::vector<std::string> removed = RemoveFromArchive(*archive, options.operands());
    for (const std::string& path : removed) std::printf("removed %s\n", path.c_str());
    if (removed.empty()) return Failed("no archived file has these paths");
    return 0;
}

int RunCheck(const ParsedOptions& options) {
    if (!options.operands().empty()) return Usage("check takes no paths");
    std::unique_ptr<Archive> archive = OpenArchive(options);
    const std::vector<std::string> problems = CheckArchive(*archive);
    for (const std::string& problem : problems) std::printf("%s\n", problem.c_str());
    std::printf("%s: %s\n", archive->name().c_str(), problems.empty() ? "sound" : "problems found");
    return problems.empty() ? 0 : 1;
}

}  // namespace

int RunArchive(const Arguments& args) {
    if (args.empty()) return Usage();
    const std::string action = args[0];
    const Arguments rest(args.begin() + 1, args.end());
    const std::optional<ParsedOptions> options = ParseOptions(rest, kFilterOptions);
    if (!options) return Usage();
    const bool filters = action == "find" || action == "collect";
    for (const DeclaredOption& option : kFilterOptions) {
        const bool allowed = option.name == "--db" || filters ||
                             (option.name == "--settings-dir" && action == "find");
        const bool forCollect = option.name == "-o" || option.name == "--force";
        const bool forFind = option.name == "--format";
        if (options->has(option.name) && (!allowed || (forCollect && action != "collect") ||
                                          (forFind && action != "find"))) {
            return Usage(std::string(option.name) + " does not go with " + action);
        }
    }
    try {
        if (action == "add") return RunAdd(*options);
        if (action == "files") return RunFiles(*options);
        if (action == "remove") return RunRemove(*options);
        if (action == "check") return RunCheck(*options);
        if (!filters) return Usage("unknown action " + action);
        if (!options->operands().empty()) return Usage(action + " takes no paths");
        ArchiveFilter filter;
        if (const std::optional<std::string> problem = ReadFilter(*options, filter)) return Usage(*problem);
        Settings settings;
        StderrPrompter prompter;
        const std::string directory = options->has("--settings-dir") ? options->value("--settings-dir") : DataDirectory();
        if (!LoadSubcommandSettings(directory, settings, prompter)) return 1;
        if (action == "collect") return RunCollect(*options, filter, settings);
        const std::string format = options->value("--format", "table");
        if (format != "table" && format != "csv" && format != "json") return Usage("--format takes table, csv or json");
        std::unique_ptr<Archive> archive = OpenArchive(*options);
        PrintFound(FindReadings(*archive, filter, settings), format, filter.element.has_value());
        return 0;
    } catch (const ArchiveError& error) {
        return Failed(error.what());
    }
}

}  // namespace ravik
