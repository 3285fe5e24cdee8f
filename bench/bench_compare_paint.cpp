// The compare window's costs: one repaint of its plot at 1600 x 1000 pixels
// (offscreen) with 16 and with 64 overlaid low spectra of the demo-like
// sample readings, legend and overview strip included, and one zoom step
// (the view's zoom and the repaint that follows).
// Reference: Qt drawing the same curves' points ready-made, without axes,
// texts or layout.

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include "bench_support.h"
#include "core/platform/prompter.h"
#include "core/readings/readings_loader.h"
#include "core/views/spectrum_compare.h"
#include "make-sample/sample_file.h"
#include "qt_bench_support.h"
#include "ui/views/compare_painter.h"

namespace ravik {
namespace {

constexpr int kWidth = 1600;
constexpr int kHeight = 1000;

// A comparison of the first count Paint readings of a sample file.
struct Overlaid {
    explicit Overlaid(int count) {
        EnsureApplication();
        sample::SampleOptions options;
        options.counts = {count, 0, 0, 0, 0};
        options.seed = 64;
        SilentPrompter prompter;
        LoadReadingsBytes(store, sample::MakeReadingsFile(options), "bench.qvr", kOpenCommand, prompter);
        for (int row = 1; row <= count; ++row) {
            if (auto reading = TakeReading(store, settings, Mode::Paint, row, "bench.qvr")) comparison.add(std::move(*reading));
        }
        viewport.update(BuildOverlay(comparison, {}), CountScale::Linear);
    }
    CompareScene scene() const {
        CompareScene scene;
        scene.comparison = &comparison;
        scene.overlay = &viewport.overlay();
        scene.window = viewport.window();
        scene.scale = viewport.scale();
        return scene;
    }
    ReadingStore store;
    Settings settings;
    SpectrumComparison comparison;
    CompareViewport viewport;
};

Overlaid& Spectra(int count) {
    static Overlaid sixteen(16);
    static Overlaid sixtyFour(64);
    return count == 16 ? sixteen : sixtyFour;
}

void BM_CompareRepaint(benchmark::State& state) {
    Overlaid& overlaid = Spectra(static_cast<int>(state.range(0)));
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    const CompareScene scene = overlaid.scene();
    for (auto _ : state) {
        QPainter painter(&image);
        benchmark::DoNotOptimize(PaintComparison(painter, scene, QRectF(0, 0, kWidth, kHeight)));
    }
    state.counters["curves"] = static_cast<double>(overlaid.viewport.overlay().curves.size());
}
BENCHMARK(BM_CompareRepaint)->Arg(16)->Arg(64)->Unit(benchmark::kMillisecond)->UseRealTime();

// A wheel notch in, about the middle, then the repaint; every 8 steps the
// view goes back to the whole span.
void BM_CompareZoomStep(benchmark::State& state) {
    Overlaid& overlaid = Spectra(static_cast<int>(state.range(0)));
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    int steps = 0;
    for (auto _ : state) {
        if (++steps % 8 == 0) overlaid.viewport.reset();
        const ViewWindow& shown = overlaid.viewport.window();
        overlaid.viewport.zoomEnergy(1.25, (shown.fromKeV + shown.toKeV) / 2);
        QPainter painter(&image);
        benchmark::DoNotOptimize(PaintComparison(painter, overlaid.scene(), QRectF(0, 0, kWidth, kHeight)));
    }
    overlaid.viewport.reset();
}
BENCHMARK(BM_CompareZoomStep)->Arg(16)->Arg(64)->Unit(benchmark::kMillisecond)->UseRealTime();

// The reference: the same curves' points as polylines, nothing else.
void BM_ReferencePolylines(benchmark::State& state) {
    Overlaid& overlaid = Spectra(static_cast<int>(state.range(0)));
    const ComparePlot plot = LayOutComparison(overlaid.viewport.overlay(), overlaid.viewport.window(),
                                              CountScale::Linear, 100, 40, kWidth - 20, kHeight - 120);
    std::vector<QPolygonF> lines;
    for (const std::vector<PlotPoint>& curve : plot.curves) {
        QPolygonF line;
        for (const PlotPoint& point : curve) line.append(QPointF(point.x, point.y));
        lines.push_back(line);
    }
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        painter.fillRect(image.rect(), Qt::white);
        int id = 1;
        for (const QPolygonF& line : lines) {
            painter.setPen(QPen(CompareColour(id++), 0));
            painter.drawPolyline(line);
        }
    }
}
BENCHMARK(BM_ReferencePolylines)->Arg(16)->Arg(64)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace ravik
