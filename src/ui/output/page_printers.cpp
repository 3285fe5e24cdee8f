#include "ui/output/page_printers.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>

#include "ui/common/qt_text.h"
#include "core/readings/readings_loader.h"
#include "ui/views/spectrum_painter.h"
#include "core/views/table_cells.h"
#include "core/views/table_layout.h"
#include "ui/views/table_painter.h"

namespace ravik {

namespace {

constexpr int kGradeColumn = 2;  // the "1st" match of Alloy readings
constexpr int kHeaderFirstLine = 5;
const QColor kAlarmRed(200, 0, 0);

// Draws texts on lines of one font height, centred or at an x.
class LineWriter {
public:
    LineWriter(QPainter& painter, int fontHeight)
        : painter_(painter),
          normal_(TableFont(fontHeight, false)),
          boldFont_(TableFont(fontHeight, true)),
          normalMetrics_(normal_, painter.device()),
          boldMetrics_(boldFont_, painter.device()),
          lineHeight_(std::max(1, qRound(normalMetrics_.height()))) {}

    int lineHeight() const { return lineHeight_; }
    double width(const QString& text, bool bold) const {
        return (bold ? boldMetrics_ : normalMetrics_).horizontalAdvance(text);
    }
    void at(double x, int line, const QString& text, bool bold = false, const QColor& colour = Qt::black) {
        // The device is told of a font or colour only when it changes.
        if (!styled_ || bold != bold_) painter_.setFont(bold ? boldFont_ : normal_);
        if (!styled_ || colour != colour_) painter_.setPen(colour);
        styled_ = true;
        bold_ = bold;
        colour_ = colour;
        painter_.drawText(QPointF(x, line * lineHeight_ + (bold ? boldMetrics_ : normalMetrics_).ascent()), text);
    }
    void centred(double centre, int line, const QString& text, bool bold = false, const QColor& colour = Qt::black) {
        at(centre - width(text, bold) / 2, line, text, bold, colour);
    }

private:
    QPainter& painter_;
    QFont normal_;
    QFont boldFont_;
    QFontMetricsF normalMetrics_;
    QFontMetricsF boldMetrics_;
    int lineHeight_;
    bool styled_ = false;
    bool bold_ = false;
    QColor colour_;
};

TextWidth BoldWidthOn(QPaintDevice* device, int height) {
    return [metrics = QFontMetricsF(TableFont(height, true), device)](std::string_view text) {
        return qRound(metrics.horizontalAdvance(ToQString(text)));
    };
}

// The header of a table page: the report header lines and the site line
// on the first page, the site line alone later, the page label on line 5.
// Returns the line of the column titles.
int WriteTableHeader(LineWriter& writer, const PrintSource& source, const std::vector<std::string>& siteLines,
                     int selector, int page, int pageWidth) {
    int line = kHeaderFirstLine;
    std::vector<TextSpan> spans;
    const auto centre = [&](const std::string& text, int at) {
        const QString shown = ToQString(text);
        const double width = writer.width(shown, false);
        spans.push_back({(pageWidth - width) / 2, (pageWidth + width) / 2});
        writer.centred(pageWidth / 2.0, at, shown);
    };
    if (page == 1) {
        for (const std::string& header : HeaderLines(source.settings.reportHeader.c_str())) centre(header, line++);
    }
    for (const std::string& site : siteLines) centre(site, line++);
    // The page label stays on the first header line unless it would run
    // into the centred text there; then it takes the first line it clears
    // (at worst the blank line below the header).
    const QString label = ToQString(PageLabel(selector, page));
    const double labelLeft = pageWidth - writer.width(label, true);
    const size_t labelLine = LineClearOf(spans, {labelLeft, static_cast<double>(pageWidth)}, writer.width(QStringLiteral(" "), false));
    writer.at(labelLeft, kHeaderFirstLine + static_cast<int>(labelLine), label, true);
    return line + 1;
}

class DataTablePages {
public:
    DataTablePages(PageSink& sink, const PrintSource& source, Mode mode)
        : sink_(sink), source_(source), mode_(mode), readings_(PrintedReadings(source, Index(mode))),
          dates_(PrintDateRange(source, readings_)),
          averager_(source.store, source.settings, ShownColumns(mode, source.settings)) {
        QPaintDevice* device = sink.painter().device();
        RemeasureColumnWidths(source.store, source.settings, mode, BoldWidthOn(device, 12), widths_);
        fontHeight_ = ChooseTableFontHeight(sink.pixelsPerInch(), sink.width(), [&](int height) {
            const ColumnLayout layout = layoutAt(height);
            return layout.positions.empty() ? 0.0 : layout.positions.back();
        });
        layout_ = layoutAt(fontHeight_);
    }

    JobOutcome print() {
        int page = 1;
        size_t next = 0;
        do {
            if (!sink_.startPage()) return JobOutcome::Failed;
            next = printPage(page++, next);
        } while (next < readings_.size() || pendingAverage_);
        return JobOutcome::Printed;
    }

private:
    ColumnLayout layoutAt(int height) {
        RefreshColumnWidths(source_.store.titles, mode_, BoldWidthOn(sink_.painter().device(), height), widths_);
        return LayoutColumns(mode_, source_.settings, widths_);
    }

    // Prints readings from next on and returns the first one left over.
    size_t printPage(int page, size_t next) {
        LineWriter writer(sink_.painter(), fontHeight_);
        const int lines = sink_.height() / writer.lineHeight();
        const std::vector<std::string> site = {SiteLine(source_, dates_, page == 1)};
        int line = WriteTableHeader(writer, source_, site, Index(mode_), page, sink_.width()) + 1;
        for (size_t i = 0; i < layout_.columns.size(); ++i) {
            writer.centred(layout_.positions[i], line, ToQString(title(layout_.columns[i])), true);
        }
        line += 2;
        const bool averages = mode_ == Mode::Alloy && source_.settings.alloySpecs.count > 0;
        ReadingFields fields;
        while (line < lines) {
            if (pendingAverage_) {
                writeAverage(writer, line++, *pendingAverage_);
                pendingAverage_.reset();
                continue;
            }
            if (next >= readings_.size()) break;
            const int32_t reading = readings_[next];
            FormatReadingFields(source_.store, source_.settings, static_cast<int>(next) + 1,
                                source_.store.record(reading), fields);
            if (averages && !rowCounted_) {
                rowCounted_ = true;
                if (std::optional<AverageLine> due = averager_.add(fields)) {
                    // The run's average comes first; the reading follows
                    // on the next line, on this page or the next.
                    writeAverage(writer, line++, *due);
                    continue;
                }
            }
            writeRow(writer, line++, fields);
            rowCounted_ = false;
            if (++next == readings_.size() && averages) pendingAverage_ = averager_.finish();
        }
        return next;
    }

    std::string_view title(int column) const { return source_.store.titles[mode_][static_cast<size_t>(column)].view(); }

    void writeRow(LineWriter& writer, int line, const ReadingFields& fields) {
        const bool grades = mode_ == Mode::Alloy && source_.settings.alloySpecs.count > 0;
        for (size_t i = 0; i < layout_.columns.size(); ++i) {
            const int column = layout_.columns[i];
            if (!IsValueColumn(mode_, column)) {
                writer.centred(layout_.positions[i], line, ToQString(fields.text[static_cast<size_t>(column)].view()));
                continue;
            }
            const size_t k = static_cast<size_t>(column - FixedColumns(mode_));
            const std::string_view value = fields.value[k].view();
            const bool outside = grades && AlloyValueOutOfRange(source_.settings.alloySpecs, fields.text[kGradeColumn].view(),
                                                                title(column), value);
            writer.centred(layout_.positions[i], line,
                           ToQString(PrintedElementCell(mode_, value, fields.precision[k].view())), outside,
                           outside ? kAlarmRed : QColor(Qt::black));
        }
    }

    void writeAverage(LineWriter& writer, int line, const AverageLine& average) {
        for (size_t i = 0; i < layout_.columns.size(); ++i) {
            if (layout_.columns[i] == kGradeColumn) writer.centred(layout_.positions[i], line, ToQString(average.grade));
            for (const AverageCell& cell : average.cells) {
                if (cell.column != layout_.columns[i]) continue;
                writer.centred(layout_.positions[i], line, ToQString(cell.text), cell.outOfRange,
                               cell.outOfRange ? kAlarmRed : QColor(Qt::black));
            }
        }
    }

    PageSink& sink_;
    const PrintSource& source_;
    Mode mode_;
    std::vector<int32_t> readings_;
    PrintDates dates_;
    AlloyRunAverager averager_;
    ColumnWidthCache widths_;
    int fontHeight_ = 1;
    ColumnLayout layout_;
    std::optional<AverageLine> pendingAverage_;
    bool rowCounted_ = false;  // the reading at next is counted in its run already
};

class StatusPages {
public:
    StatusPages(PageSink& sink, const PrintSource& source)
        : sink_(sink), source_(source), readings_(PrintedReadings(source, kStatusTableSelector)),
          dates_(PrintDateRange(source, readings_)) {
        fontHeight_ = ChooseStatusFontHeight(sink.pixelsPerInch(), sink.width(),
                                             [&](int height) { return columnCentres(height).back() * 2; });
    }

    JobOutcome print() {
        int page = 1;
        size_t next = 0;
        do {
            if (!sink_.startPage()) return JobOutcome::Failed;
            next = printPage(page++, next);
        } while (next < readings_.size());
        return JobOutcome::Printed;
    }

private:
    // The centre of each status column; the last entry is the half width of all.
    std::vector<double> columnCentres(int height) const {
        const QFontMetricsF metrics(TableFont(height, false), sink_.painter().device());
        const double character = metrics.averageCharWidth() * 1.05;
        std::vector<double> centres;
        double left = 0;
        for (int chars : kStatusColumnChars) {
            centres.push_back(left + chars * character / 2);
            left += chars * character;
        }
        centres.push_back(left / 2);
        return centres;
    }

    size_t printPage(int page, size_t next) {
        LineWriter writer(sink_.painter(), fontHeight_);
        const int lines = sink_.height() / writer.lineHeight();
        const std::string ranges = RangesLine(source_.settings);
        std::vector<std::string> siteLines = {SiteLine(source_, dates_, page == 1)};
        if (page == 1) {
            siteLines.push_back(ranges);
        } else {
            siteLines.back() += "   " + ranges;
        }
        int line = WriteTableHeader(writer, source_, siteLines, kStatusTableSelector, page, sink_.width()) + 1;
        const std::vector<double> centres = columnCentres(fontHeight_);
        for (int i = 0; i < kStatusCellCount; ++i) writer.centred(centres[i], line, QString::fromLatin1(kStatusTitles[i]), true);
        line += 2;
        StatusFields fields;
        for (; line < lines && next < readings_.size(); ++line, ++next) {
            FormatStatusFields(source_.store.record(readings_[next]), fields);
            for (int i = 0; i < kStatusCellCount; ++i) {
                writer.centred(centres[i], line, ToQString(fields.cells[static_cast<size_t>(i)].view()));
            }
        }
        return next;
    }

    PageSink& sink_;
    const PrintSource& source_;
    std::vector<int32_t> readings_;
    PrintDates dates_;
    int fontHeight_ = 1;
};

}  // namespace

PageSink::PageSink(QPagedPaintDevice& device, PageHooks hooks) : device_(device), hooks_(std::move(hooks)) {
    painter_.begin(&device_);
}

bool PageSink::startPage() {
    const auto aborted = [this] { return hooks_.aborted && hooks_.aborted(); };
    if (!painter_.isActive() || aborted()) return false;
    if (pageOpen_) {
        if (hooks_.betweenPages) hooks_.betweenPages();
        if (aborted() || !device_.newPage()) return false;
    }
    pageOpen_ = true;
    return true;
}

bool PageSink::finish() { return !painter_.isActive() || painter_.end(); }

int PageSink::width() const { return device_.width(); }
int PageSink::height() const { return device_.height(); }
int PageSink::pixelsPerInch() const { return device_.logicalDpiY(); }

JobOutcome PrintTableJob(PageSink& sink, const PrintSource& source, int selector) {
    if (selector == kStatusTableSelector) return StatusPages(sink, source).print();
    return DataTablePages(sink, source, static_cast<Mode>(selector)).print();
}

JobOutcome PrintSpectraJob(PageSink& sink, const PrintSource& source, int kind) {
    const std::optional<Mode> mode = ModeOfKind(kind);
    if (!mode) return JobOutcome::Failed;
    const std::vector<int32_t> readings = PrintedReadings(source, Index(*mode));
    QPainter& painter = sink.painter();
    const QFont font = TableFont(sink.pixelsPerInch() * 12 / 72, false);
    const QFontMetricsF metrics(font, painter.device());
    const int lineHeight = std::max(1, qRound(metrics.height()));
    const QString header = ToQString(SpectraHeaderLine(source.settings, source.store, kind));
    const int pages = SpectrumPageCount(static_cast<int>(readings.size()), source.settings);
    const int columns = std::max(1, source.settings.xSpect);
    const int rows = std::max(1, source.settings.ySpect);
    ReadingFields fields;
    size_t next = 0;
    for (int page = 1; page <= pages && next < readings.size(); ++page) {
        if (!sink.startPage()) return JobOutcome::Failed;
        painter.setFont(font);
        painter.setPen(Qt::black);
        const double baseline = 4 * lineHeight + metrics.ascent();
        painter.drawText(QPointF(0, baseline), header);
        FormatReadingFields(source.store, source.settings, 0, source.store.record(readings[next]), fields);
        const QString dateLine = ToQString(SpectraPageLine(fields.text[14].view(), *mode, page));
        // The date line shares the header line when it clears the header's
        // text; otherwise it goes on the line below and the grid moves down.
        const double dateX = sink.width() - metrics.horizontalAdvance(dateLine) - 10;
        const int dateLineIndex = static_cast<int>(
            LineClearOf({{0, metrics.horizontalAdvance(header)}}, {dateX, dateX + metrics.horizontalAdvance(dateLine)},
                        metrics.horizontalAdvance(QLatin1Char(' '))));
        painter.drawText(QPointF(dateX, baseline + dateLineIndex * lineHeight), dateLine);
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns && next < readings.size(); ++c) {
                const CellRect cell = SpectrumCell(source.settings, c, r, sink.width(), sink.height(), lineHeight,
                                                   1 + dateLineIndex);
                const QRect rect(QPoint(cell.left, cell.top), QPoint(cell.right - 1, cell.bottom - 1));
                DrawSpectrum(painter, source.store, source.settings, rect, kind, readings[next++], true);
            }
        }
    }
    return JobOutcome::Printed;
}

}  // namespace ravik
