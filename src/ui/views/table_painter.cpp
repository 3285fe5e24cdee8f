#include "ui/views/table_painter.h"

#include <QFontMetrics>
#include <QPainter>

#include "ui/common/qt_text.h"
#include "core/readings/field_formatter.h"
#include "core/views/table_cells.h"
#include "core/views/table_marking.h"

namespace ravik {

namespace {

QColor ColourOf(const Settings& settings, ColorRole role) {
    const Rgb& rgb = settings.color(role);
    return QColor(rgb.red, rgb.green, rgb.blue);
}

// Draws the cells of one line with as few pen and font changes as possible.
class LinePainter {
public:
    LinePainter(QPainter& painter, const TablePaint& job)
        : painter_(painter),
          job_(job),
          normalMetrics_(job.normalFont),
          boldMetrics_(job.boldFont) {}

    void setStyle(const CellStyle& style) {
        const QColor colour = ColourOf(job_.settings, style.color);
        if (!styled_ || colour != colour_) painter_.setPen(colour);
        if (!styled_ || style.bold != bold_) painter_.setFont(style.bold ? job_.boldFont : job_.normalFont);
        styled_ = true;
        colour_ = colour;
        bold_ = style.bold;
    }
    int width(const QString& text) const {
        return (bold_ ? boldMetrics_ : normalMetrics_).horizontalAdvance(text);
    }
    void draw(double x, int top, const QString& text) {
        const int ascent = (bold_ ? boldMetrics_ : normalMetrics_).ascent();
        painter_.drawText(QPointF(x, top + ascent), text);
    }

private:
    QPainter& painter_;
    const TablePaint& job_;
    QFontMetrics normalMetrics_;
    QFontMetrics boldMetrics_;
    bool styled_ = false;
    QColor colour_;
    bool bold_ = false;
};

// True when a column centred at x with this width can reach into the area;
// a value cell's text may reach beyond its half width, so a whole width is
// allowed on both sides.
bool ColumnInArea(double x, int width, const QRect& area) {
    return x + width >= area.left() && x - width <= area.right();
}

void PaintRow(LinePainter& line, const TablePaint& job, int row, int32_t reading, ReadingFields& fields) {
    const Mode mode = job.mode;
    const Settings& settings = job.settings;
    FormatReadingFields(job.store, settings, row, job.store.record(reading), fields);
    const uint32_t flags = job.store.flags(reading);
    const CellStyle rowStyle = RowStyle(mode, fields, flags, settings);
    const bool checkGrades = mode == Mode::Alloy && settings.alloySpecs.count > 0;
    const int top = (row - job.topRow) * job.rowHeight;

    for (size_t i = 0; i < job.layout.columns.size(); ++i) {
        const double centre = job.layout.positions[i] - job.horizontalPos;
        if (!ColumnInArea(centre, job.layout.widths[i], job.area)) continue;
        const int column = job.layout.columns[i];
        if (!IsValueColumn(mode, column)) {
            line.setStyle(rowStyle);
            const QString text = ToQString(fields.text[static_cast<size_t>(column)].view());
            line.draw(centre - line.width(text) / 2.0, top, text);
            continue;
        }
        const size_t k = static_cast<size_t>(column - FixedColumns(mode));
        const std::string_view value = fields.value[k].view();
        const ValueCellText cell = ValueCellTexts(mode, value, fields.precision[k].view());
        if (checkGrades) {
            const bool outside = AlloyValueOutOfRange(settings.alloySpecs, fields.text[2].view(),
                                                      job.store.titles[mode][static_cast<size_t>(column)].view(), value);
            line.setStyle(AlloyValueStyle(outside, flags));
        } else {
            line.setStyle(rowStyle);
        }
        line.draw(centre - line.width(ToQString(cell.anchor)), top, ToQString(cell.drawn));
    }
}

void PaintHeader(QPainter& painter, const TablePaint& job) {
    const QRect band(job.area.left(), 0, job.area.width(), job.rowHeight);
    painter.fillRect(band, ColourOf(job.settings, ColorRole::Background));
    painter.setPen(Qt::white);
    painter.setFont(job.boldFont);
    const QFontMetrics metrics(job.boldFont);
    for (size_t i = 0; i < job.layout.columns.size(); ++i) {
        const double centre = job.layout.positions[i] - job.horizontalPos;
        if (!ColumnInArea(centre, job.layout.widths[i], job.area)) continue;
        const QString title = ToQString(job.store.titles[job.mode][static_cast<size_t>(job.layout.columns[i])].view());
        painter.drawText(QPointF(centre - metrics.horizontalAdvance(title) / 2.0, metrics.ascent()), title);
    }
}

}  // namespace

QFont TableFont(int pixelHeight, bool bold) {
    QFont font(QStringLiteral("Times New Roman"));
    font.setStyleHint(QFont::Serif, QFont::PreferQuality);
    font.setPixelSize(std::max(1, pixelHeight));
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return font;
}

void PaintTable(QPainter& painter, const TablePaint& job) {
    painter.fillRect(job.area, ColourOf(job.settings, ColorRole::Background));
    const int rowHeight = std::max(1, job.rowHeight);
    LinePainter line(painter, job);
    ReadingFields fields;
    const int firstRow = job.topRow + std::max(1, job.area.top() / rowHeight);
    const int lastRow = job.topRow + job.area.bottom() / rowHeight;
    for (int row = firstRow; row <= lastRow; ++row) {
        const int32_t reading = ReadingAtRow(job.store, job.mode, row);
        if (reading == 0) break;
        PaintRow(line, job, row, reading, fields);
    }
    if (job.area.top() < rowHeight) PaintHeader(painter, job);
}

}  // namespace ravik
