#include "ui/link/remote_painter.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <QStyle>
#include <QStyleOptionButton>
#include <algorithm>

#include "ui/common/qt_text.h"

namespace ravik {

namespace {

// The analyzer's display: dark ink on a pale grey-green panel.
const QColor kPanelLight(0xC8, 0xD4, 0xB8);
const QColor kPanelInk(0x1C, 0x24, 0x1C);

QColor ShadeColor(Shade shade) { return shade == Shade::Grey ? QColor(0x80, 0x80, 0x80) : QColor(0xC0, 0xC0, 0xC0); }

QImage ToImage(const MonoPicture& picture) {
    QImage image(picture.width, picture.height, QImage::Format_Mono);
    image.setColorTable({kPanelInk.rgb(), kPanelLight.rgb()});  // bit 0 dark, bit 1 light
    const int bytes = picture.bytesPerRow();
    for (int y = 0; y < picture.height; ++y) {
        std::copy_n(picture.rows.data() + static_cast<size_t>(y * bytes), bytes, image.scanLine(y));
    }
    return image;
}

}  // namespace

void PaintMonoPicture(QPainter& painter, const MonoPicture& picture, QSize size) {
    painter.fillRect(QRect(QPoint(0, 0), size), kPanelLight);
    if (picture.width <= 0 || picture.height <= 0) return;
    // Whole-pixel scaling keeps every analyzer pixel a sharp square.
    const int scale = std::max(1, std::min(size.width() / picture.width, size.height() / picture.height));
    const QSize drawn(picture.width * scale, picture.height * scale);
    const QPoint origin((size.width() - drawn.width()) / 2, (size.height() - drawn.height()) / 2);
    painter.drawImage(QRect(origin, drawn), ToImage(picture));
}

void PaintSpectrumPlot(QPainter& painter, const SpectrumPlot& plot, QSize size) {
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    const std::vector<PlotPoint> points = PlotLine(plot, size.width(), size.height());
    QPolygon line;
    line.reserve(static_cast<int>(points.size()) + 1);
    line << QPoint(0, size.height());
    for (const PlotPoint& point : points) line << QPoint(point.x, point.y);
    painter.setPen(QPen(QColor(0x10, 0x30, 0x90), 1));
    painter.drawPolyline(line);
    painter.setPen(Qt::black);
    const int lineHeight = painter.fontMetrics().height();
    int top = 0;
    for (const std::string& label : plot.labels) {
        painter.drawText(2, top + painter.fontMetrics().ascent(), ToQString(label));
        top += 2 * lineHeight;
    }
}

DisplayBox::DisplayBox(int controlId, QSize preferred, QWidget* parent) : QWidget(parent), preferred_(preferred) {
    SetControlId(this, controlId);
    setMinimumSize(preferred / 2);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void DisplayBox::showText(const QString& text) {
    text_ = text;
    content_ = Text{};
    update();
}

void DisplayBox::showPicture(const MonoPicture& picture) {
    content_ = picture;
    update();
}

void DisplayBox::showShade(Shade shade) {
    content_ = shade;
    update();
}

void DisplayBox::showPlot(const SpectrumPlot& plot) {
    content_ = plot;
    update();
}

void DisplayBox::showVerdict(const QString& verdict) {
    verdict_ = verdict;
    content_ = Verdict{};
    update();
}

void DisplayBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect area = rect();
    if (const auto* picture = std::get_if<MonoPicture>(&content_)) {
        PaintMonoPicture(painter, *picture, area.size());
    } else if (const auto* plot = std::get_if<SpectrumPlot>(&content_)) {
        PaintSpectrumPlot(painter, *plot, area.size());
    } else if (const auto* shade = std::get_if<Shade>(&content_)) {
        painter.fillRect(area, ShadeColor(*shade));
    } else if (std::holds_alternative<Verdict>(content_)) {
        const bool pass = verdict_ == QStringLiteral("Pass");
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(pass ? QColor(0x1E, 0x8C, 0x3C) : QColor(0xC8, 0x28, 0x28));
        painter.setPen(Qt::NoPen);
        painter.drawRoundedRect(area.adjusted(2, 2, -2, -2), 8, 8);
        QFont font = painter.font();
        font.setBold(true);
        font.setPixelSize(std::max(10, area.height() / 2));
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(area, Qt::AlignCenter, verdict_);
    } else {
        painter.fillRect(area, palette().base());
        painter.setPen(palette().text().color());
        painter.drawText(area.adjusted(kTextMargin, 2, -kTextMargin, -2), Qt::AlignLeft | Qt::AlignTop | Qt::TextExpandTabs, text_);
    }
    painter.setPen(palette().mid().color());
    painter.setBrush(Qt::NoBrush);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.drawRect(area.adjusted(0, 0, -1, -1));
}

ArrowButton::ArrowButton(int controlId, Arrow arrow, const QString& name, QWidget* parent)
    : QAbstractButton(parent), arrow_(arrow) {
    SetControlId(this, controlId);
    setText(name);
    setAccessibleName(name);
    setFocusPolicy(Qt::StrongFocus);
}

void ArrowButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOptionButton option;
    option.initFrom(this);
    option.state |= isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
    style()->drawControl(QStyle::CE_PushButtonBevel, &option, &painter, this);

    // The arrow moves with the pressed face of the button.
    const QPointF centre = QRectF(rect()).center() + (isDown() ? QPointF(1, 1) : QPointF(0, 0));
    const qreal r = std::min(width(), height()) * 0.28;
    QPolygonF triangle;
    switch (arrow_) {
        case Arrow::Up: triangle << centre + QPointF(0, -r) << centre + QPointF(r, r * 0.7) << centre + QPointF(-r, r * 0.7); break;
        case Arrow::Down: triangle << centre + QPointF(0, r) << centre + QPointF(r, -r * 0.7) << centre + QPointF(-r, -r * 0.7); break;
        case Arrow::Right: triangle << centre + QPointF(r, 0) << centre + QPointF(-r * 0.7, r) << centre + QPointF(-r * 0.7, -r); break;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(isEnabled() ? palette().buttonText() : palette().mid());
    painter.drawPolygon(triangle);
}

}  // namespace ravik
