// The client report: a 5100-reading file of every mode (no spectra in the
// report) to PDF, content and pages included, and the summary alone into a
// one-page PDF.

#include <benchmark/benchmark.h>

#include <cstdio>

#include "core/output/report_layout.h"
#include "core/platform/prompter.h"
#include "core/readings/readings_loader.h"
#include "make-sample/sample_file.h"
#include "ui/output/report_painter.h"
#include "bench_support.h"
#include "qt_bench_support.h"

namespace ravik {
namespace {

struct Survey {
    Survey() {
        EnsureApplication();
        sample::SampleOptions options;
        options.counts = {2100, 1000, 800, 700, 500};
        options.seed = 21;
        options.compactSpectra = true;
        SilentPrompter prompter;
        LoadReadingsBytes(store, sample::MakeReadingsFile(options), "bench.qvr", kOpenCommand, prompter);
        settings.download = kDownloadDone;
        layoutTemplate.firmName = "Maple Building Inspections LLC";
        layoutTemplate.inspectors = {{"Dana Whitfield", "LI-44821"}};
    }
    ReadingStore store;
    Settings settings;
    ReportTemplate layoutTemplate;
};

void ReportToPdf(benchmark::State& state, bool summaryOnly) {
    static Survey survey;
    const std::string path = "/tmp/ravik-bench-report.pdf";
    for (auto _ : state) {
        std::string error;
        ReportSource source;
        std::optional<ReportContent> content = BuildReportContent(survey.store, survey.settings, {}, error);
        if (!content) state.SkipWithError(error.c_str());
        source.content = std::move(*content);
        source.layoutTemplate = survey.layoutTemplate;
        source.date = "2026-12-07";
        source.summaryOnly = summaryOnly;
        std::vector<std::string> warnings;
        if (!WriteReportPdf(path, source, warnings, error)) state.SkipWithError(error.c_str());
    }
    std::remove(path.c_str());
}

void BM_ReportToPdf(benchmark::State& state) { ReportToPdf(state, false); }
BENCHMARK(BM_ReportToPdf)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)->ReportAggregatesOnly();

void BM_ReportSummaryToPdf(benchmark::State& state) { ReportToPdf(state, true); }
BENCHMARK(BM_ReportSummaryToPdf)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(5)->ReportAggregatesOnly();

}  // namespace
}  // namespace ravik
