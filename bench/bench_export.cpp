// Exporting 5100 Bulk readings: the data table (header and rows) and the
// spectra (one column per reading, one "%4.3f" cell per channel). Each
// export builds its text and writes it with one plain write; the reference
// writes the same number of bytes with one plain write, so the ratio is the
// cost of making the text. The whole flow (atomic replace, flushed to disk)
// is measured too, and the spectra export as the ravik command runs it, a
// whole process, against writing its output bytes with write and fsync:
// time, and the process's peak resident memory against its input's size.
// The spreadsheet files of the same readings are measured last.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "make-sample/sample_file.h"
#include "core/output/export_flow.h"
#include "core/output/export_writers.h"
#include "core/output/spreadsheet.h"
#include "core/platform/file_chooser.h"
#include "core/platform/prompter.h"
#include "core/readings/readings_loader.h"
#include "bench_support.h"

namespace ravik {
namespace {

class FixedChooser final : public FileChooser {
public:
    explicit FixedChooser(std::string path) : path_(std::move(path)) {}
    bool askFileName(std::string& path, int) override {
        path = path_;
        return true;
    }

private:
    std::string path_;
};

const ReadingStore& BulkStore() {
    static const ReadingStore store = [] {
        sample::SampleOptions options;
        options.counts = {0, kMaxReadings, 0, 0, 0};
        options.seed = 5100;
        const std::vector<uint8_t> bytes = sample::MakeReadingsFile(options);
        ReadingStore loaded;
        SilentPrompter prompter(Answer::Yes);
        if (LoadReadingsBytes(loaded, bytes, "bench.qvr", kOpenCommand, prompter) != LoadOutcome::Whole) {
            std::abort();
        }
        return loaded;
    }();
    return store;
}

const Settings& ExportSettings() {
    static const Settings settings = [] {
        Settings s;
        s.download = kDownloadDone;
        s.reportHeader = "Orvex Survey Co.\r\nBenchmark site\r\n";
        return s;
    }();
    return settings;
}

constexpr ReadingSelection kEverything =
    SelectAll | SelectPositive | SelectNegative | SelectIncomplete | SelectSubResults;

std::string TableText() {
    const ExportSource source{BulkStore(), ExportSettings(), kEverything};
    std::string out;
    ExportSink sink(out);
    ExportTableHeader(sink, source, Index(Mode::Bulk));
    ExportTableRows(sink, source, Mode::Bulk);
    return out;
}

std::string SpectraText() {
    std::string out;
    ExportSink sink(out);
    ExportSpectra(sink, {BulkStore(), ExportSettings(), kEverything}, Mode::Bulk);
    return out;
}

std::string TargetPath(const char* name) {
    return (std::filesystem::temp_directory_path() / name).string();
}

void PlainWrite(const std::string& path, const std::string& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    benchmark::DoNotOptimize(::write(fd, bytes.data(), bytes.size()));
    ::close(fd);
}

void Report(benchmark::State& state, const std::string& text) {
    state.counters["MB"] = static_cast<double>(text.size()) / 1e6;
}

void BM_ExportTable(benchmark::State& state) {
    const std::string path = TargetPath("ravik-bench-table.tab");
    std::string text;
    for (auto _ : state) {
        text = TableText();
        PlainWrite(path, text);
    }
    Report(state, text);
    std::filesystem::remove(path);
}

void BM_PlainWriteOfTableBytes(benchmark::State& state) {
    const std::string path = TargetPath("ravik-bench-table-plain");
    const std::string bytes(TableText().size(), 'x');
    for (auto _ : state) PlainWrite(path, bytes);
    Report(state, bytes);
    std::filesystem::remove(path);
}

void BM_ExportSpectra(benchmark::State& state) {
    const std::string path = TargetPath("ravik-bench-spectra.tab");
    std::string text;
    for (auto _ : state) {
        text = SpectraText();
        PlainWrite(path, text);
    }
    Report(state, text);
    std::filesystem::remove(path);
}

void BM_PlainWriteOfSpectraBytes(benchmark::State& state) {
    const std::string path = TargetPath("ravik-bench-spectra-plain");
    const std::string bytes(SpectraText().size(), 'x');
    for (auto _ : state) PlainWrite(path, bytes);
    Report(state, bytes);
    std::filesystem::remove(path);
}

// The single-file flow as the desktop runs it: table and spectra in one
// file, replaced atomically and flushed to disk.
void BM_SingleFileFlowTableAndSpectra(benchmark::State& state) {
    OutputChoices choices;
    choices.table = choices.lowSpectrum = true;
    choices.mode = Mode::Bulk;
    const std::string path = TargetPath("ravik-bench-flow.tab");
    SilentPrompter prompter(Answer::Yes);
    FixedChooser chooser(path);
    for (auto _ : state) {
        std::string chosen;
        const ExportResult result =
            RunFileExport({BulkStore(), ExportSettings(), choices}, chosen, chooser, prompter);
        if (result.outcome != ExportOutcome::Written) state.SkipWithError("export failed");
    }
    std::filesystem::remove(path);
}

// The ravik executable, beside the benchmark's folder.
std::string RavikExecutable() {
    return (std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() / "ravik").string();
}

const std::string& SpectraCommandOutput() {
    static const std::string path = TargetPath("ravik-bench-command-spectra.tab");
    return path;
}

// "ravik export IN.qvr --mode bulk --spectra --form 0 -o OUT" on 5100 Bulk
// readings; its settings come from an empty folder of its own.
std::optional<rusage> RunSpectraCommand() {
    const std::string settings = TargetPath("ravik-bench-command-home");
    std::filesystem::create_directories(settings);
    const int devNull = ::open("/dev/null", O_WRONLY);
    const std::optional<rusage> usage =
        RunProcess({RavikExecutable(), "export", BulkReadingsFile(), "--mode", "bulk", "--spectra", "--form", "0",
                    "--settings-dir", settings, "--force", "-o", SpectraCommandOutput()},
                   devNull);
    ::close(devNull);
    return usage;
}

void BM_SpectraCommand(benchmark::State& state) {
    BulkReadingsFile();  // made before the clock runs
    long peakKiB = 0;
    for (auto _ : state) {
        const std::optional<rusage> usage = RunSpectraCommand();
        if (!usage) {
            state.SkipWithError("ravik export failed");
            return;
        }
        peakKiB = std::max(peakKiB, usage->ru_maxrss);
    }
    state.counters["peakMB"] = static_cast<double>(peakKiB) * 1024 / 1e6;
    state.counters["inputMB"] = static_cast<double>(std::filesystem::file_size(BulkReadingsFile())) / 1e6;
    state.counters["outputMB"] = static_cast<double>(std::filesystem::file_size(SpectraCommandOutput())) / 1e6;
}

// The reference: the command's output bytes written with write and fsync.
void BM_WriteAndFsyncOfCommandOutput(benchmark::State& state) {
    if (!std::filesystem::exists(SpectraCommandOutput()) && !RunSpectraCommand()) {
        state.SkipWithError("ravik export failed");
        return;
    }
    std::ifstream in(SpectraCommandOutput(), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const std::string path = TargetPath("ravik-bench-command-plain");
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        for (size_t done = 0; done < bytes.size();) {
            const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
            if (wrote <= 0) break;
            done += static_cast<size_t>(wrote);
        }
        ::fsync(fd);
        ::close(fd);
    }
    Report(state, bytes);
    std::filesystem::remove(path);
}

// Spreadsheet files of the 5100 Bulk readings (80 columns): the workbook,
// and the CSV, both written whole through the staged writer and flushed to
// disk; the CSV's reference is its bytes written with write and fsync.
void WriteSheet(benchmark::State& state, const char* name) {
    const std::string path = TargetPath(name);
    const SheetSource source{BulkStore(), ExportSettings(), Mode::Bulk, kEverything};
    for (auto _ : state) {
        std::string error;
        if (WriteSpreadsheet(source, path, error) != FileStatus::Ok) state.SkipWithError(error.c_str());
    }
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
    std::filesystem::remove(path);
}

void BM_SheetXlsx(benchmark::State& state) { WriteSheet(state, "ravik-bench-sheet.xlsx"); }
void BM_SheetCsv(benchmark::State& state) { WriteSheet(state, "ravik-bench-sheet.csv"); }

void BM_WriteAndFsyncOfSheetCsvBytes(benchmark::State& state) {
    const std::string csv = TargetPath("ravik-bench-sheet-ref.csv");
    std::string error;
    WriteSpreadsheet({BulkStore(), ExportSettings(), Mode::Bulk, kEverything}, csv, error);
    std::ifstream in(csv, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const std::string path = TargetPath("ravik-bench-sheet-plain");
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        benchmark::DoNotOptimize(::write(fd, bytes.data(), bytes.size()));
        ::fsync(fd);
        ::close(fd);
    }
    Report(state, bytes);
    std::filesystem::remove(path);
    std::filesystem::remove(csv);
}

// The floor of every export of these readings: formatting each of them once.
void BM_FormatBulkReadings(benchmark::State& state) {
    const ReadingStore& store = BulkStore();
    ReadingFields fields;
    for (auto _ : state) {
        int position = 0;
        for (int32_t n : store.list(Mode::Bulk)) {
            FormatReadingFields(store, ExportSettings(), ++position, store.record(n), fields);
        }
        benchmark::DoNotOptimize(fields);
    }
}

BENCHMARK(BM_FormatBulkReadings)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();
BENCHMARK(BM_SheetXlsx)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(7)->ReportAggregatesOnly();
BENCHMARK(BM_SheetCsv)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(9)->ReportAggregatesOnly();
BENCHMARK(BM_WriteAndFsyncOfSheetCsvBytes)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(9)
    ->ReportAggregatesOnly();

BENCHMARK(BM_SpectraCommand)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(10)->ReportAggregatesOnly();
BENCHMARK(BM_WriteAndFsyncOfCommandOutput)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(10)
    ->ReportAggregatesOnly();

BENCHMARK(BM_ExportTable)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();
BENCHMARK(BM_PlainWriteOfTableBytes)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();
BENCHMARK(BM_ExportSpectra)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();
BENCHMARK(BM_PlainWriteOfSpectraBytes)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();
BENCHMARK(BM_SingleFileFlowTableAndSpectra)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

}  // namespace
}  // namespace ravik
