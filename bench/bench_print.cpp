// Output costs: drawing one spectrum window (760 x 480, offscreen), and
// printing to PDF a 5100-reading Bulk table and 1000 low spectra.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>

#include "make-sample/sample_file.h"
#include "ui/output/print_jobs.h"
#include "core/platform/prompter.h"
#include "core/readings/readings_loader.h"
#include "ui/views/spectrum_painter.h"
#include "bench_support.h"
#include "qt_bench_support.h"

namespace ravik {
namespace {

struct Readings {
    Readings(Mode mode, int count, bool compactSpectra) {
        EnsureApplication();
        sample::SampleOptions options;
        options.counts[static_cast<size_t>(Index(mode))] = count;
        options.seed = 77;
        options.compactSpectra = compactSpectra;
        SilentPrompter prompter;
        LoadReadingsBytes(store, sample::MakeReadingsFile(options), "bench.qvr", kOpenCommand, prompter);
        settings.download = kDownloadDone;
    }
    PrintSource source() const {
        return {store, settings, SelectAll | SelectPositive | SelectNegative | SelectIncomplete | SelectSubResults,
                "bench.qvr"};
    }
    ReadingStore store;
    Settings settings;
};

void BM_DrawSpectrumWindow(benchmark::State& state) {
    static Readings paint(Mode::Paint, 4, false);
    QImage image(760, 480, QImage::Format_RGB32);
    const int32_t reading = paint.store.list(Mode::Paint).front();
    for (auto _ : state) {
        QPainter painter(&image);
        painter.fillRect(image.rect(), Qt::blue);
        DrawSpectrum(painter, paint.store, paint.settings, image.rect(), kPaintLowKind, reading, false);
    }
}
BENCHMARK(BM_DrawSpectrumWindow)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();

void PrintToPdf(benchmark::State& state, const Readings& readings, const PrintRequest& request) {
    const std::string path = "/tmp/ravik-bench-print.pdf";
    std::string error;
    for (auto _ : state) {
        if (!PrintRequestsToPdf(path, readings.source(), {request}, error)) state.SkipWithError(error.c_str());
    }
    std::remove(path.c_str());
}

void BM_PrintBulkTableToPdf(benchmark::State& state) {
    static Readings bulk(Mode::Bulk, kMaxReadings, true);
    PrintToPdf(state, bulk, {PrintRequest::Kind::Table, Index(Mode::Bulk)});
}
BENCHMARK(BM_PrintBulkTableToPdf)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly();

void BM_PrintLowSpectraToPdf(benchmark::State& state) {
    static Readings paint(Mode::Paint, 1000, false);
    PrintToPdf(state, paint, {PrintRequest::Kind::Spectra, kPaintLowKind});
}
BENCHMARK(BM_PrintLowSpectraToPdf)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly();

}  // namespace
}  // namespace ravik
