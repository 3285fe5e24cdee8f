// The table window's costs on a full file: painting one screen of a
// 5100-reading table (offscreen, 1280 x 800 pixels, the 14-point font) and
// remeasuring every column width over all its readings.
// References: drawing the same screen's texts ready-made (Qt's own cost of
// the glyphs), and formatting all readings without measuring anything.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include "ui/common/qt_text.h"
#include "make-sample/sample_file.h"
#include "core/platform/prompter.h"
#include "core/readings/field_formatter.h"
#include "core/readings/readings_loader.h"
#include "core/views/table_marking.h"
#include "ui/views/table_painter.h"
#include "bench_support.h"
#include "qt_bench_support.h"

namespace ravik {
namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 800;
constexpr int kFontPixels = 18;  // 14 points at 96 pixels per inch

// A 5100-reading table of one mode, with marked, hidden and positive rows.
struct FullTable {
    explicit FullTable(Mode mode) : mode(mode) {
        EnsureApplication();
        sample::SampleOptions options;
        options.counts[static_cast<size_t>(Index(mode))] = kMaxReadings;
        options.seed = 5100;
        options.compactSpectra = true;
        const std::vector<uint8_t> bytes = sample::MakeReadingsFile(options);
        SilentPrompter prompter;
        LoadReadingsBytes(store, bytes, "bench.qvr", kOpenCommand, prompter);
        for (int32_t n = 1; n <= store.readingCount; n += 7) store.flags(n) = n % 2 ? Marked : Hidden;
        RemeasureColumnWidths(store, settings, mode, BoldWidth(), widths);
    }
    TextWidth BoldWidth() const {
        return [metrics = QFontMetrics(TableFont(kFontPixels, true))](std::string_view text) {
            return metrics.horizontalAdvance(ToQString(text));
        };
    }
    Mode mode;
    ReadingStore store;
    Settings settings;
    ColumnWidthCache widths;
};

FullTable& Table(Mode mode) {
    static FullTable paint(Mode::Paint);
    static FullTable bulk(Mode::Bulk);
    return mode == Mode::Paint ? paint : bulk;
}

void BM_PaintOneScreen(benchmark::State& state) {
    FullTable& table = Table(static_cast<Mode>(state.range(0)));
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    const QFont normal = TableFont(kFontPixels, false);
    const QFont bold = TableFont(kFontPixels, true);
    const int rowHeight = QFontMetrics(normal).height();
    const ColumnLayout layout = LayoutColumns(table.mode, table.settings, table.widths);
    int topRow = 2500;
    for (auto _ : state) {
        QPainter painter(&image);
        const TablePaint job{table.store, table.settings, table.mode, layout, normal, bold,
                             rowHeight, topRow, 0, image.rect()};
        PaintTable(painter, job);
        topRow = topRow == 2500 ? 2501 : 2500;  // a scroll by one line each time
    }
    state.counters["rows"] = kHeight / rowHeight;
}
BENCHMARK(BM_PaintOneScreen)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();

// The same screen's texts, formatted beforehand, drawn at the same places.
void BM_DrawReadyTextsReference(benchmark::State& state) {
    FullTable& table = Table(static_cast<Mode>(state.range(0)));
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    const QFont normal = TableFont(kFontPixels, false);
    const QFontMetrics metrics(normal);
    const int rowHeight = metrics.height();
    const ColumnLayout layout = LayoutColumns(table.mode, table.settings, table.widths);
    std::vector<std::pair<QPointF, QString>> texts;
    ReadingFields fields;
    for (int row = 2501; row < 2500 + kHeight / rowHeight; ++row) {
        const int32_t n = ReadingAtRow(table.store, table.mode, row);
        FormatReadingFields(table.store, table.settings, row, table.store.record(n), fields);
        for (size_t i = 0; i < layout.columns.size() && layout.positions[i] < kWidth + 200; ++i) {
            const int column = layout.columns[i];
            const QString text = IsValueColumn(table.mode, column)
                                     ? ToQString(fields.value[static_cast<size_t>(column - FixedColumns(table.mode))].view())
                                     : ToQString(fields.text[static_cast<size_t>(column)].view());
            texts.emplace_back(QPointF(layout.positions[i], (row - 2500) * rowHeight + metrics.ascent()), text);
        }
    }
    for (auto _ : state) {
        QPainter painter(&image);
        painter.fillRect(image.rect(), Qt::blue);
        painter.setFont(normal);
        painter.setPen(Qt::white);
        for (const auto& [at, text] : texts) painter.drawText(at, text);
    }
    state.counters["texts"] = static_cast<double>(texts.size());
}
BENCHMARK(BM_DrawReadyTextsReference)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();

void BM_RemeasureColumnWidths(benchmark::State& state) {
    FullTable& table = Table(static_cast<Mode>(state.range(0)));
    const TextWidth width = table.BoldWidth();
    ColumnWidthCache cache;
    for (auto _ : state) RemeasureColumnWidths(table.store, table.settings, table.mode, width, cache);
}
BENCHMARK(BM_RemeasureColumnWidths)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();

// Formatting every reading of the table, as the remeasure does, without measuring.
void BM_FormatAllReadingsReference(benchmark::State& state) {
    FullTable& table = Table(static_cast<Mode>(state.range(0)));
    ReadingFields fields;
    for (auto _ : state) {
        int row = 0;
        for (int32_t n : table.store.list(table.mode)) {
            FormatReadingFields(table.store, table.settings, ++row, table.store.record(n), fields);
            benchmark::DoNotOptimize(fields);
        }
    }
}
BENCHMARK(BM_FormatAllReadingsReference)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();

}  // namespace
}  // namespace ravik
