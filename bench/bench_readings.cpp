// Opening, formatting and saving a full readings file: 5100 readings of all
// five modes. The reference is a plain copy of the same file (read it whole,
// write it whole, flush it to disk), which is what opening plus saving
// would cost if nothing were decoded or learned.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "make-sample/sample_file.h"
#include "core/platform/file_io.h"
#include "core/platform/prompter.h"
#include "core/readings/field_formatter.h"
#include "core/readings/readings_loader.h"
#include "core/readings/readings_saver.h"
#include "bench_support.h"

namespace ravik {
namespace {

void BM_CopyFileReference(benchmark::State& state) {
    const std::string copy = FullReadingsFile() + ".copy";
    std::vector<uint8_t> bytes;
    for (auto _ : state) {
        ReadFileBytes(FullReadingsFile(), bytes, size_t{1} << 30);
        const int fd = ::open(copy.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        benchmark::DoNotOptimize(::write(fd, bytes.data(), bytes.size()));
        ::fsync(fd);
        ::close(fd);
    }
    state.counters["MB"] = static_cast<double>(bytes.size()) / 1e6;
    std::filesystem::remove(copy);
}
BENCHMARK(BM_CopyFileReference)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();

void BM_OpenAndLearnTitles(benchmark::State& state) {
    SilentPrompter prompter(Answer::Yes, kSaveAllId);
    for (auto _ : state) {
        ReadingStore store;
        if (LoadReadingsFile(store, FullReadingsFile(), kOpenCommand, prompter) != LoadOutcome::Whole) {
            state.SkipWithError("load failed");
        }
        benchmark::DoNotOptimize(store.readingCount);
    }
}
BENCHMARK(BM_OpenAndLearnTitles)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();

void BM_FormatAllReadings(benchmark::State& state) {
    SilentPrompter prompter(Answer::Yes, kSaveAllId);
    ReadingStore store;
    LoadReadingsFile(store, FullReadingsFile(), kOpenCommand, prompter);
    Settings settings;
    settings.pcs = kPcsUser;
    ReadingFields fields;
    for (auto _ : state) {
        for (Mode mode : kAllModes) {
            int row = 0;
            for (int32_t n : store.list(mode)) {
                FormatReadingFields(store, settings, ++row, store.record(n), fields);
                benchmark::DoNotOptimize(fields);
            }
        }
    }
    state.counters["readings"] = store.readingCount;
}
BENCHMARK(BM_FormatAllReadings)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();

void BM_SaveReadingsFile(benchmark::State& state) {
    SilentPrompter prompter(Answer::Yes, kSaveAllId);
    ReadingStore store;
    LoadReadingsFile(store, FullReadingsFile(), kOpenCommand, prompter);
    const std::string target = FullReadingsFile() + ".saved.qvr";
    std::string current;
    for (auto _ : state) {
        if (!SaveReadingsFile(store, target, "", current, prompter)) state.SkipWithError("save failed");
    }
    std::filesystem::remove(target);
}
BENCHMARK(BM_SaveReadingsFile)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();

void BM_BuildSavedBytesInMemory(benchmark::State& state) {
    SilentPrompter prompter(Answer::Yes, kSaveAllId);
    ReadingStore store;
    LoadReadingsFile(store, FullReadingsFile(), kOpenCommand, prompter);
    for (auto _ : state) benchmark::DoNotOptimize(BuildReadingsFile(store, SaveSelection::All));
}
BENCHMARK(BM_BuildSavedBytesInMemory)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();

}  // namespace
}  // namespace ravik
