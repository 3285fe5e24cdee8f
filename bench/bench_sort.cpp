// Sorting 5100 readings, the most a store holds, in the worst order (the
// exact reverse of the sorted one) on a text column and on an element column.
// For reference: formatting every reading once (what keying costs) and
// sorting a list that is already in order (a single pass).

#include <benchmark/benchmark.h>

#include <cstdio>

#include "core/maintenance/sorting.h"
#include "make-sample/record_builder.h"
#include "core/platform/prompter.h"
#include "core/readings/field_formatter.h"
#include "core/readings/readings_loader.h"
#include "bench_support.h"

namespace {

using namespace ravik;

constexpr int kReadings = kMaxReadings;
constexpr int kRoomColumn = 6;      // Bulk cell 6, text field 5
constexpr int kElementColumn = 16;  // the first element column

// Bulk readings whose rooms and zinc values fall as the reading number rises.
// Every sort starts again from the file order.
struct Readings {
    ReadingStore store;
    ModeList fileOrder;
};

Readings& DescendingReadings() {
    static Readings readings = [] {
        std::vector<std::vector<uint8_t>> records;
        for (int i = 0; i < kReadings; ++i) {
            sample::RecordSpec recordSpec;
            recordSpec.instrumentNumber = static_cast<uint16_t>(i + 1);
            recordSpec.modeWord = 6;  // BulkCode1 in a version 6.0 file
            recordSpec.measuringMillis = 30000;
            char room[32];
            std::snprintf(room, sizeof room, "Room:Unit %04d", kReadings - i);
            recordSpec.textFields[0] = "Site:Mill Road";
            recordSpec.textFields[4] = room;
            const double zinc = (kReadings - i) * 0.1;
            recordSpec.elements = {{"Zn", 0, sample::PackTenth(zinc), sample::PackTenth(0.05)}};
            records.push_back(sample::BuildRecord(recordSpec));
        }
        const std::string header = sample::BuildFileHeader(
            sample::StandardHeaderLines(kReadings, "Benchmark", "6.0"), "Mill Road");
        const std::vector<uint8_t> bytes = sample::JoinFile(header, records);
        Readings loaded;
        SilentPrompter prompter;
        LoadReadingsBytes(loaded.store, bytes, "bench.qvr", kOpenCommand, prompter);
        loaded.fileOrder = loaded.store.list(Mode::Bulk);
        return loaded;
    }();
    return readings;
}

void SortFromOrder(benchmark::State& state, int column, SortComparison comparison, bool alreadySorted) {
    Readings& readings = DescendingReadings();
    ReadingStore& store = readings.store;
    const Settings settings;
    SilentPrompter prompter;
    const SortChoices choices{alreadySorted ? SortDirection::Descending : SortDirection::Ascending, comparison};
    int passes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        store.list(Mode::Bulk) = readings.fileOrder;
        state.ResumeTiming();
        SortModeList(store, settings, Mode::Bulk, column, choices, prompter, [&](int done) { passes = done; });
    }
    state.counters["passes"] = passes;
    state.counters["readings"] = static_cast<double>(store.count(Mode::Bulk));
}

void BM_SortTextColumnReversed(benchmark::State& state) {
    SortFromOrder(state, kRoomColumn, SortComparison::Text, false);
}
void BM_SortElementColumnReversed(benchmark::State& state) {
    SortFromOrder(state, kElementColumn, SortComparison::Numeric, false);
}
void BM_SortElementColumnInOrder(benchmark::State& state) {
    SortFromOrder(state, kElementColumn, SortComparison::Numeric, true);
}

void BM_FormatEveryReading(benchmark::State& state) {
    const ReadingStore& store = DescendingReadings().store;
    const Settings settings;
    ReadingFields fields;
    for (auto _ : state) {
        int row = 0;
        for (int32_t n : store.list(Mode::Bulk)) FormatReadingFields(store, settings, ++row, store.record(n), fields);
        benchmark::DoNotOptimize(fields);
    }
}

BENCHMARK(BM_SortTextColumnReversed)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_SortElementColumnReversed)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_SortElementColumnInOrder)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_FormatEveryReading)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
