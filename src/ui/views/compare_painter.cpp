#include "ui/views/compare_painter.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QHash>
#include <QStaticText>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>
#include <map>

#include "core/platform/file_io.h"
#include "ui/common/qt_text.h"

namespace ravik {

namespace {

constexpr double kOverviewLines = 2.4;  // the strip's height in text lines

QFont PlotFont(double pixels) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(std::max(6, static_cast<int>(std::lround(pixels))));
    return font;
}

double FontPixelsFor(const QRectF& rect) {
    return std::clamp(std::min(rect.width(), rect.height()) / 55.0, 9.0, 15.0);
}

// Colours of the markers: one per element in the order they were marked.
QColor MarkerColour(size_t index) {
    static const QColor kColours[] = {QColor(170, 20, 20), QColor(20, 90, 170), QColor(20, 130, 40),
                                      QColor(150, 60, 160), QColor(190, 110, 0), QColor(60, 60, 60)};
    return kColours[index % std::size(kColours)];
}

QString Text(const std::string& text) { return ToQString(text); }

// The curves in their colours; faded ones (the overview strip) mixed with
// white, opaque, which draws faster than blending.
void DrawCurves(QPainter& painter, const ComparePlot& plot, const SpectrumOverlay& overlay, bool faded) {
    for (size_t i = 0; i < plot.curves.size() && i < overlay.curves.size(); ++i) {
        const std::vector<ComparePoint>& points = plot.curves[i];
        if (points.empty()) continue;
        QPolygonF line;
        line.reserve(static_cast<qsizetype>(points.size()));
        for (const ComparePoint& point : points) line.append(QPointF(point.x, point.y));
        QColor colour = CompareColour(overlay.curves[i].id);
        if (faded) colour = QColor((colour.red() + 2 * 255) / 3, (colour.green() + 2 * 255) / 3, (colour.blue() + 2 * 255) / 3);
        painter.setPen(QPen(colour, 0));
        painter.drawPolyline(line);
    }
}

// A legend line laid out once, cut to the legend's width: the repaints of
// the view while it moves draw the same legends again and again.
struct LegendLine {
    QStaticText text;
    double width = 0;
};

LegendLine LaidOutLegendLine(const QString& text, const QFont& font, const QFontMetricsF& metrics,
                                    double maxWidth, int dpi) {
    static QHash<QString, LegendLine> cache;
    if (cache.size() > 4096) cache.clear();
    const QString key = QStringLiteral("%1|%2|%3|").arg(font.pixelSize()).arg(qRound(maxWidth)).arg(dpi) + text;
    auto found = cache.find(key);
    if (found == cache.end()) {
        const QString elided = metrics.elidedText(text, Qt::ElideRight, maxWidth);
        LegendLine line{QStaticText(elided), metrics.horizontalAdvance(elided)};
        line.text.setTextFormat(Qt::PlainText);
        line.text.prepare(QTransform(), font);
        found = cache.insert(key, line);
    }
    return *found;
}

void DrawLegend(QPainter& painter, const CompareScene& scene, const ComparePlot& plot, const QRectF& box,
                const QFontMetricsF& metrics) {
    const SpectrumOverlay& overlay = *scene.overlay;
    std::vector<std::pair<int, QString>> lines;
    for (const OverlayCurve& curve : overlay.curves) {
        const SpectrumComparison::Entry* entry = scene.comparison->find(curve.id);
        if (entry == nullptr) continue;
        QString text = Text(LegendText(entry->reading));
        if (overlay.difference && scene.comparison->reference() == curve.id) text.prepend(QStringLiteral("[reference] "));
        lines.emplace_back(curve.id, text);
    }
    if (lines.empty()) return;
    const double lineHeight = metrics.height();
    const double swatch = lineHeight * 1.6;
    const size_t fits = static_cast<size_t>(std::max(1.0, std::floor((box.height() * 0.9) / lineHeight) - 1));
    size_t shown = std::min(lines.size(), fits);
    if (shown < lines.size() && shown > 1) --shown;  // room for "... N more"
    const int dpi = painter.device()->logicalDpiY();
    std::vector<LegendLine> laidOut;  // copies: the cache may move its entries
    double width = 0;
    for (size_t i = 0; i < shown; ++i) {
        laidOut.push_back(LaidOutLegendLine(lines[i].second, painter.font(), metrics, box.width() * 0.6, dpi));
        width = std::max(width, laidOut.back().width);
    }
    const double rows = static_cast<double>(shown + (shown < lines.size() ? 1 : 0));
    const QSizeF size(width + swatch + lineHeight * 0.5, rows * lineHeight + lineHeight * 0.5);
    // The top corner where the legend hides fewer of the curves' points.
    const QRectF right(QPointF(box.right() - size.width() - lineHeight * 0.5, box.top() + lineHeight * 0.5), size);
    const QRectF left(QPointF(box.left() + lineHeight * 0.5, box.top() + lineHeight * 0.5), size);
    const auto hidden = [&plot](const QRectF& place) {
        size_t count = 0;
        for (const std::vector<ComparePoint>& curve : plot.curves) {
            for (const ComparePoint& point : curve) count += place.contains(point.x, point.y) ? 1 : 0;
        }
        return count;
    };
    const QRectF frame = hidden(left) < hidden(right) ? left : right;
    painter.setPen(QPen(QColor(160, 160, 160), 0));
    painter.setBrush(QColor(255, 255, 255, 225));
    painter.drawRect(frame);
    painter.setBrush(Qt::NoBrush);
    double y = frame.top() + lineHeight * 0.25;
    for (size_t i = 0; i < shown; ++i) {
        const double middle = y + lineHeight / 2;
        painter.setPen(QPen(CompareColour(lines[i].first), 2));
        painter.drawLine(QPointF(frame.left() + lineHeight * 0.3, middle), QPointF(frame.left() + swatch, middle));
        painter.setPen(Qt::black);
        painter.drawStaticText(QPointF(frame.left() + swatch + lineHeight * 0.3, y), laidOut[i].text);
        y += lineHeight;
    }
    if (shown < lines.size()) {
        painter.setPen(Qt::black);
        painter.drawText(QPointF(frame.left() + swatch + lineHeight * 0.3, y + metrics.ascent()),
                         QStringLiteral("... %1 more").arg(lines.size() - shown));
    }
}

void DrawMarkers(QPainter& painter, const CompareScene& scene, const ComparePlot& plot) {
    std::map<std::string, size_t> elementIndex;
    for (const LineMarker& marker : scene.markers) elementIndex.emplace(marker.element, elementIndex.size());
    for (const LineMarker& marker : scene.markers) {
        if (marker.keV < plot.window.fromKeV || marker.keV > plot.window.toKeV) continue;
        const double x = plot.xOf(marker.keV);
        const QColor colour = MarkerColour(elementIndex[marker.element]);
        painter.setPen(QPen(colour, 0, Qt::DashLine));
        painter.drawLine(QPointF(x, plot.top), QPointF(x, plot.bottom));
    }
}

// The markers' labels, over the legend, each on a white ground at the top
// of its line; labels that would overlap step down a row.
void DrawMarkerLabels(QPainter& painter, const CompareScene& scene, const ComparePlot& plot,
                      const QFontMetricsF& metrics) {
    std::map<std::string, size_t> elementIndex;
    for (const LineMarker& marker : scene.markers) elementIndex.emplace(marker.element, elementIndex.size());
    std::vector<LineMarker> shown;
    for (const LineMarker& marker : scene.markers) {
        if (marker.keV >= plot.window.fromKeV && marker.keV <= plot.window.toKeV) shown.push_back(marker);
    }
    std::sort(shown.begin(), shown.end(), [](const LineMarker& a, const LineMarker& b) { return a.keV < b.keV; });
    std::vector<double> rowEnds;  // where each row's last label ends
    for (const LineMarker& marker : shown) {
        const double x = plot.xOf(marker.keV);
        const QString label = Text(marker.element + " " + marker.line);
        const double width = metrics.horizontalAdvance(label) + 4;
        size_t row = 0;
        while (row < rowEnds.size() && rowEnds[row] > x) ++row;
        if (row == rowEnds.size()) rowEnds.push_back(0);
        rowEnds[row] = x + width + 2;
        const double top = plot.top + 2 + static_cast<double>(row) * metrics.height();
        if (top + metrics.height() > plot.bottom) continue;
        painter.fillRect(QRectF(x + 1, top, width, metrics.height()), QColor(255, 255, 255, 230));
        painter.setPen(MarkerColour(elementIndex[marker.element]));
        painter.drawText(QPointF(x + 3, top + metrics.ascent()), label);
    }
}

void DrawOverview(QPainter& painter, const CompareScene& scene, const QRectF& strip, const ComparePlot& plot) {
    const SpectrumOverlay& overlay = *scene.overlay;
    painter.setPen(QPen(QColor(150, 150, 150), 0));
    painter.setBrush(QColor(246, 246, 246));
    painter.drawRect(strip);
    painter.setBrush(Qt::NoBrush);
    if (overlay.curves.empty() || overlay.lastKeV <= overlay.firstKeV) return;
    ViewWindow whole{overlay.firstKeV, overlay.lastKeV, 0, 1};
    FitCountRange(overlay, scene.scale, whole);
    const ComparePlot all = LayOutComparison(overlay, whole, scene.scale, strip.left(), strip.top() + 1, strip.right(),
                                             strip.bottom() - 1, 2, 2);
    painter.save();
    painter.setClipRect(strip);
    DrawCurves(painter, all, overlay, true);
    const double from = strip.left() + strip.width() * (plot.window.fromKeV - overlay.firstKeV) /
                                           (overlay.lastKeV - overlay.firstKeV);
    const double to = strip.left() + strip.width() * (plot.window.toKeV - overlay.firstKeV) /
                                         (overlay.lastKeV - overlay.firstKeV);
    painter.setPen(QPen(QColor(30, 80, 200), 0));
    painter.setBrush(QColor(30, 80, 200, 40));
    painter.drawRect(QRectF(QPointF(from, strip.top()), QPointF(std::max(to, from + 2), strip.bottom())));
    painter.restore();
}

}  // namespace

QColor CompareColour(int id) {
    // Twelve well-separated hues first, then the same hues darker and
    // lighter, then shifted by half a step: 64 colours before one repeats.
    static const int kHues[] = {0, 210, 120, 30, 280, 180, 330, 60, 240, 150, 15, 300};
    const int index = ((id - 1) % 64 + 64) % 64;
    const int hue = (kHues[index % 12] + (index / 36) * 15) % 360;
    const int round = (index / 12) % 3;
    const int saturation = round == 1 ? 255 : 230;
    const int value = round == 0 ? 210 : round == 1 ? 140 : 235;
    const int lightness = hue == 60 && round == 0 ? 170 : value;  // yellow on white is too faint
    return QColor::fromHsv(hue, round == 2 ? 150 : saturation, lightness);
}

CompareFrame CompareFrameIn(const QRectF& rect, double fontPixels, bool overview) {
    CompareFrame frame;
    const double f = fontPixels * 1.25;
    const double stripHeight = overview ? f * kOverviewLines : 0;
    const double left = rect.left() + f * 6.2;
    const double right = rect.right() - f;
    const double top = rect.top() + f * 1.8;
    const double bottom = rect.bottom() - f * 3.0 - (overview ? stripHeight + f * 0.6 : 0);
    frame.plot = QRectF(QPointF(left, top), QPointF(std::max(left + 10, right), std::max(top + 10, bottom)));
    if (overview) {
        frame.overview = QRectF(QPointF(left, rect.bottom() - stripHeight - f * 0.4),
                                QPointF(frame.plot.right(), rect.bottom() - f * 0.4));
    }
    return frame;
}

ComparePlot LayOutScene(const CompareScene& scene, const CompareFrame& frame) {
    const QRectF& box = frame.plot;
    return LayOutComparison(*scene.overlay, scene.window, scene.scale, box.left(), box.top(), box.right(),
                            box.bottom(), std::max(2, static_cast<int>(box.width() / 90)),
                            std::max(2, static_cast<int>(box.height() / 60)));
}

std::string CountAxisTitle(const CompareScene& scene) {
    std::string title = scene.overlay != nullptr && scene.overlay->difference ? "Difference" : "Counts";
    switch (scene.normalisation) {
        case Normalisation::None: break;
        case Normalisation::ToMaximum: title += " / maximum"; break;
        case Normalisation::ToArea: title += " / area"; break;
        case Normalisation::ToMeasuringTime: title += " / s"; break;
    }
    if (scene.scale == CountScale::Log10) title += " (log10)";
    if (scene.scale == CountScale::Sqrt) title += " (sqrt)";
    return title;
}

ComparePlot PaintComparison(QPainter& painter, const CompareScene& scene, const QRectF& rect) {
    const double fontPixels = FontPixelsFor(rect);
    const CompareFrame frame = CompareFrameIn(rect, fontPixels, scene.overview);
    const ComparePlot plot = LayOutScene(scene, frame);
    const QFont font = PlotFont(fontPixels);
    const QFontMetricsF metrics(font, painter.device());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setFont(font);
    painter.fillRect(rect, Qt::white);
    const QRectF box(QPointF(plot.left, plot.top), QPointF(plot.right, plot.bottom));

    // Grid and ticks with their labels.
    const QColor grid(232, 232, 232);
    for (const AxisTick& tick : plot.energyTicks) {
        painter.setPen(QPen(grid, 0));
        painter.drawLine(QPointF(tick.position, plot.top), QPointF(tick.position, plot.bottom));
        painter.setPen(Qt::black);
        painter.drawLine(QPointF(tick.position, plot.bottom), QPointF(tick.position, plot.bottom + 4));
        const QString label = Text(tick.label);
        painter.drawText(QPointF(tick.position - metrics.horizontalAdvance(label) / 2, plot.bottom + 5 + metrics.ascent()),
                         label);
    }
    for (const AxisTick& tick : plot.countTicks) {
        painter.setPen(QPen(grid, 0));
        painter.drawLine(QPointF(plot.left, tick.position), QPointF(plot.right, tick.position));
        painter.setPen(Qt::black);
        painter.drawLine(QPointF(plot.left - 4, tick.position), QPointF(plot.left, tick.position));
        const QString label = Text(tick.label);
        painter.drawText(QPointF(plot.left - 6 - metrics.horizontalAdvance(label), tick.position + metrics.ascent() / 2 - 1),
                         label);
    }
    // Axis titles and caption.
    const QString energyTitle = QStringLiteral("Energy (keV)");
    painter.drawText(QPointF((plot.left + plot.right) / 2 - metrics.horizontalAdvance(energyTitle) / 2,
                             plot.bottom + 6 + metrics.height() + metrics.ascent()),
                     energyTitle);
    painter.save();
    painter.translate(rect.left() + metrics.ascent() + 2, (plot.top + plot.bottom) / 2);
    painter.rotate(-90);
    const QString countTitle = Text(CountAxisTitle(scene));
    painter.drawText(QPointF(-metrics.horizontalAdvance(countTitle) / 2, 0), countTitle);
    painter.restore();
    const SpectrumOverlay& overlay = *scene.overlay;
    QString caption = QStringLiteral("%1 energy spectra, %2 shown")
                          .arg(QString::fromLatin1(BandText(overlay.band)))
                          .arg(overlay.curves.size());
    if (overlay.difference) caption += QStringLiteral(", difference to the reference");
    painter.drawText(QPointF(plot.left, rect.top() + metrics.ascent() + 3), caption);

    painter.setClipRect(box.adjusted(0, 0, 1, 1));
    if (scene.region) {
        const double a = plot.xOf(scene.region->first);
        const double b = plot.xOf(scene.region->second);
        painter.fillRect(QRectF(QPointF(std::min(a, b), plot.top), QPointF(std::max(a, b), plot.bottom)),
                         QColor(255, 220, 80, 70));
    }
    if (plot.zeroY) {
        painter.setPen(QPen(QColor(120, 120, 120), 0, Qt::DotLine));
        painter.drawLine(QPointF(plot.left, *plot.zeroY), QPointF(plot.right, *plot.zeroY));
    }
    DrawCurves(painter, plot, overlay, false);
    DrawMarkers(painter, scene, plot);
    if (scene.cursorKeV && *scene.cursorKeV >= plot.window.fromKeV && *scene.cursorKeV <= plot.window.toKeV) {
        painter.setPen(QPen(QColor(90, 90, 90), 0));
        const double x = plot.xOf(*scene.cursorKeV);
        painter.drawLine(QPointF(x, plot.top), QPointF(x, plot.bottom));
    }
    painter.setClipping(false);
    painter.setPen(QPen(Qt::black, 0));
    painter.drawRect(box);
    if (scene.legend) DrawLegend(painter, scene, plot, box, metrics);
    DrawMarkerLabels(painter, scene, plot, metrics);
    if (scene.overview && !frame.overview.isEmpty()) DrawOverview(painter, scene, frame.overview, plot);
    painter.restore();
    return plot;
}

std::optional<ImageFormat> ImageFormatOf(const std::string& path) {
    std::string extension = path.substr(ExtensionStart(path));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".png") return ImageFormat::Png;
    if (extension == ".svg") return ImageFormat::Svg;
    if (extension == ".pdf") return ImageFormat::Pdf;
    return std::nullopt;
}

bool RenderSceneImage(const CompareScene& scene, ImageFormat format, int width, int height, std::string& bytes,
                      std::string& error) {
    if (width < 50 || height < 50 || width > 20000 || height > 20000) {
        error = "The picture must be between 50 and 20000 pixels wide and high.";
        return false;
    }
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    const QRectF rect(0, 0, width, height);
    bool drawn = false;
    if (format == ImageFormat::Png) {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            PaintComparison(painter, scene, rect);
        }
        drawn = image.save(&buffer, "PNG");
    } else if (format == ImageFormat::Svg) {
        QSvgGenerator generator;
        generator.setOutputDevice(&buffer);
        generator.setSize(QSize(width, height));
        generator.setViewBox(rect);
        generator.setTitle(QStringLiteral("Spectrum comparison"));
        QPainter painter;
        drawn = painter.begin(&generator);
        if (drawn) {
            PaintComparison(painter, scene, rect);
            drawn = painter.end();
        }
    } else {
        QPdfWriter writer(&buffer);
        writer.setResolution(72);  // one unit a point
        writer.setPageSize(QPageSize(QSizeF(width, height), QPageSize::Point));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setTitle(QStringLiteral("Spectrum comparison"));
        QPainter painter;
        drawn = painter.begin(&writer);
        if (drawn) {
            PaintComparison(painter, scene, rect);
            drawn = painter.end();
        }
    }
    if (!drawn || data.isEmpty()) {
        error = "The picture could not be drawn.";
        return false;
    }
    bytes.assign(data.constData(), static_cast<size_t>(data.size()));
    return true;
}

bool WriteSceneImage(const CompareScene& scene, const std::string& path, int width, int height, std::string& error) {
    const std::optional<ImageFormat> format = ImageFormatOf(path);
    if (!format) {
        error = "The picture's name must end in .png, .svg or .pdf: " + path;
        return false;
    }
    std::string bytes;
    if (!RenderSceneImage(scene, *format, width, height, bytes, error)) return false;
    const FileStatus status = WriteFileAtomically(path, bytes);
    if (status != FileStatus::Ok) {
        error = status == FileStatus::NotRegularFile ? "Cannot write over " + path + ": it is not a regular file."
                                                      : "Cannot write " + path + "; the previous file is unchanged.";
        return false;
    }
    return true;
}

}  // namespace ravik
