#include "ui/views/spectrum_painter.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>
#include <algorithm>
#include <limits>

#include "ui/common/qt_text.h"
#include "ui/views/table_painter.h"

namespace ravik {

QRectF ToQRect(const PlotRect& rect) {
    return QRectF(QPointF(rect.left, rect.top), QPointF(rect.right, rect.bottom));
}

PlotRect ToPlotRect(const QRect& rect) {
    return {static_cast<double>(rect.left()), static_cast<double>(rect.top()),
            static_cast<double>(rect.left() + rect.width()), static_cast<double>(rect.top() + rect.height())};
}

void PaintSpectrumPlot(QPainter& painter, const SpectrumViewPlot& plot, const std::vector<std::string>& fieldLines,
                       const Settings& settings, bool printer) {
    const Rgb& normal = settings.color(ColorRole::Normal);
    const QColor ink = printer ? QColor(Qt::black) : QColor(normal.red, normal.green, normal.blue);
    painter.save();
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(ToQRect(plot.box));
    for (const PlotSegment& tick : plot.ticks) painter.drawLine(QLineF(tick.x1, tick.y1, tick.x2, tick.y2));

    QPolygonF curve;
    curve.reserve(static_cast<qsizetype>(plot.scaled.size()));
    for (size_t i = 0; i < plot.scaled.size(); ++i) curve.append(QPointF(plot.box.left + static_cast<double>(i) * plot.xScale, plot.curveY(i)));
    painter.setPen(QPen(ink, 0));
    painter.drawPolyline(curve);

    const QFont font = TableFont(plot.fontHeight, false);
    painter.setFont(font);
    const QFontMetrics metrics(font);
    const auto drawTop = [&](double x, double top, const std::string& text) {
        painter.drawText(QPointF(x, top + metrics.ascent()), ToQString(text));
    };
    // Where the channels lie close, a label that would run into the one
    // before it is left out.
    double freeFrom = std::numeric_limits<double>::lowest();
    for (const PlotLabel& label : plot.axisLabels) {
        if (label.x < freeFrom) continue;
        drawTop(label.x, label.y, label.text);
        freeFrom = label.x + metrics.horizontalAdvance(ToQString(label.text)) + metrics.averageCharWidth();
    }
    drawTop(plot.caption.x, plot.caption.y, plot.caption.text);
    // The field list goes where it hides the least of the curve, and its
    // texts are drawn without a background, so what they cross still shows.
    double listWidth = 0;
    for (const std::string& line : fieldLines) listWidth = std::max<double>(listWidth, metrics.horizontalAdvance(ToQString(line)));
    const double listHeight = static_cast<double>(metrics.height()) * static_cast<double>(fieldLines.size());
    const PlotRect list = PlaceFieldList(plot, listWidth, listHeight);
    painter.setBackgroundMode(Qt::TransparentMode);
    double y = list.top;
    for (const std::string& line : fieldLines) {
        drawTop(list.left, y, line);
        y += metrics.height();
    }
    painter.restore();
}

bool DrawSpectrum(QPainter& painter, const ReadingStore& store, const Settings& settings, const QRect& rect,
                  int kind, int32_t reading, bool printer) {
    const std::optional<SpectrumViewPlot> plot =
        PlotReadingSpectrum(store, settings, reading, kind, ToPlotRect(rect), painter.device()->logicalDpiY(), printer);
    if (!plot) return false;
    PaintSpectrumPlot(painter, *plot, SpectrumFieldLines(store, settings, reading, kind), settings, printer);
    return true;
}

}  // namespace ravik
