#include "ui/output/report_painter.h"

#include <QDate>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QImageReader>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgRenderer>
#include <cmath>
#include <optional>

#include "ui/output/print_jobs.h"

namespace ravik {

namespace {

constexpr double kTextPoints = 9.5;
constexpr double kHeadingPoints = 11.5;
constexpr double kTitlePoints = 14.0;
constexpr double kMarginPoints = kReportSmallestPoints;  // header and footer
constexpr double kLinePoints = 14.0;
constexpr double kLabelShare = 0.28;  // of the width, for the labels of the first page
constexpr double kLogoShare = 0.30;
constexpr int kLogoLines = 5;
constexpr qint64 kLogoFileLimit = 20 * 1024 * 1024;

QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

QFont MakeFont(double points, bool bold, bool italic = false) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

bool IsSvg(const QString& path) { return path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive); }

class ReportPainter {
public:
    ReportPainter(QPagedPaintDevice& device, const ReportSource& source)
        : device_(device),
          source_(source),
          points_(device.logicalDpiY() / 72.0),
          text_(MakeFont(kTextPoints, false)),
          bold_(MakeFont(kTextPoints, true)),
          italic_(MakeFont(kTextPoints, false, true)),
          heading_(MakeFont(kHeadingPoints, true)),
          title_(MakeFont(kTitlePoints, true)),
          small_(MakeFont(kMarginPoints, false)),
          smallBold_(MakeFont(kMarginPoints, true)),
          textMetrics_(text_, &device),
          boldMetrics_(bold_, &device) {
        line_ = kLinePoints * points_;
        top_ = 2.2 * kMarginPoints * points_;
        // Every page has the template's size and orientation: a preview
        // shows all pages in one layout, so the PDF keeps to it too.
        const QRect area = ReportPageLayout(source.layoutTemplate).paintRectPixels(device_.logicalDpiX());
        width_ = area.width();
        height_ = area.height();
        bottom_ = height_ - 2.2 * kMarginPoints * points_;
    }
    int linesPerPage() const { return static_cast<int>(std::floor((bottom_ - top_) / line_)); }

    ReportPlan plan(bool withLogo) {
        ReportMetrics metrics;
        metrics.width = width_;
        metrics.linesPerPage = linesPerPage();
        metrics.cellGap = 1.2 * textMetrics_.averageCharWidth();
        if (withLogo) {
            metrics.logoWidth = width_ * kLogoShare + metrics.cellGap;
            metrics.logoLines = kLogoLines;
        }
        const MeasureText measure = [this](std::string_view text, bool bold) {
            return (bold ? boldMetrics_ : textMetrics_).horizontalAdvance(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
        };
        return PlanReport(source_.content, source_.layoutTemplate, metrics, measure, source_.summaryOnly);
    }

    void drawLogo(QPainter& painter) {
        const QString path = Text(source_.layoutTemplate.logoPath);
        const QRectF box(width_ * (1 - kLogoShare), top_, width_ * kLogoShare, kLogoLines * line_);
        if (IsSvg(path)) {
            QSvgRenderer renderer(path);
            QSizeF size = renderer.defaultSize();
            size.scale(box.size(), Qt::KeepAspectRatio);
            renderer.render(&painter, QRectF(box.right() - size.width(), box.top(), size.width(), size.height()));
            return;
        }
        QImageReader reader(path);
        const QImage image = reader.read();
        if (image.isNull()) return;
        QSizeF size = image.size();
        size.scale(box.size(), Qt::KeepAspectRatio);
        painter.drawImage(QRectF(box.right() - size.width(), box.top(), size.width(), size.height()), image);
    }

    void drawFrame(QPainter& painter, int page, int pages) {
        const ReportTemplate& t = source_.layoutTemplate;
        const double rule = 1.6 * kMarginPoints * points_;
        painter.setPen(Qt::black);
        painter.setFont(smallBold_);
        const QRectF head(0, 0, width_, rule);
        const QString title = QStringLiteral("Inspection Report, ") + Text(source_.date);
        const double titleWidth = QFontMetricsF(smallBold_, &device_).horizontalAdvance(title);
        painter.drawText(head, Qt::AlignLeft | Qt::AlignVCenter,
                         QFontMetricsF(smallBold_, &device_).elidedText(Text(t.firmName), Qt::ElideRight, width_ - titleWidth - line_));
        painter.drawText(head, Qt::AlignRight | Qt::AlignVCenter, title);
        painter.drawLine(QPointF(0, rule), QPointF(width_, rule));
        const QRectF foot(0, height_ - rule, width_, rule);
        painter.drawLine(QPointF(0, foot.top()), QPointF(width_, foot.top()));
        painter.setFont(small_);
        const QString number = Text(PageNumberText(page, pages));
        const double numberWidth = QFontMetricsF(small_, &device_).horizontalAdvance(number);
        QString footer = Text(t.footer);
        footer.replace(QLatin1Char('\n'), QLatin1Char(' '));
        painter.drawText(foot, Qt::AlignLeft | Qt::AlignVCenter,
                         QFontMetricsF(small_, &device_).elidedText(footer, Qt::ElideRight, width_ - numberWidth - line_));
        painter.drawText(foot, Qt::AlignRight | Qt::AlignVCenter, number);
    }

    void drawTableLine(QPainter& painter, const ReportPlan& plan, const PageLine& line, double y) {
        const ReportTable& table = plan.tables[static_cast<size_t>(line.table)];
        const ColumnGroup& group = plan.groups[static_cast<size_t>(line.table)][static_cast<size_t>(line.group)];
        if (group.columns.empty()) return;  // a mode whose columns are all switched off
        const bool header = line.kind == PageLine::Kind::TableHeader;
        const double right = group.left.back() + group.width.back();
        if (header) {
            painter.fillRect(QRectF(0, y, right, line_), QColor(225, 225, 225));
        } else if (line.row % 2 == 1) {
            painter.fillRect(QRectF(0, y, right, line_), QColor(244, 244, 244));
        }
        const bool bold = header || (line.row >= 0 && static_cast<size_t>(line.row) < table.bold.size() &&
                                     table.bold[static_cast<size_t>(line.row)]);
        painter.setFont(bold ? bold_ : text_);
        const std::vector<std::string>* cells = header ? &table.titles : &table.rows[static_cast<size_t>(line.row)];
        // Cells are drawn at their baseline: much cheaper than laying each
        // out in a rectangle, and they were measured to fit their column.
        const QFontMetricsF& metrics = bold ? boldMetrics_ : textMetrics_;
        const double baseline = y + (line_ + metrics.ascent() - metrics.descent()) / 2;
        for (size_t i = 0; i < group.columns.size(); ++i) {
            const size_t column = static_cast<size_t>(group.columns[i]);
            if (column >= cells->size() || (*cells)[column].empty()) continue;
            painter.drawText(QPointF(group.left[i], baseline), Text((*cells)[column]));
        }
        if (header) painter.drawLine(QPointF(0, y + line_), QPointF(right, y + line_));
    }

    void drawLine(QPainter& painter, const ReportPlan& plan, const PageLine& line, double y) {
        using K = PageLine::Kind;
        const QRectF box(0, y, width_, line_);
        switch (line.kind) {
            case K::Blank: break;
            case K::Title:
                painter.setFont(title_);
                painter.drawText(box, Qt::AlignLeft | Qt::AlignBottom, Text(line.text));
                break;
            case K::Heading:
                painter.setFont(heading_);
                painter.drawText(box, Qt::AlignLeft | Qt::AlignBottom, Text(line.text));
                break;
            case K::Text:
                painter.setFont(text_);
                painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, Text(line.text));
                break;
            case K::Legend:
                painter.setFont(italic_);
                painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, Text(line.text));
                break;
            case K::Label:
                painter.setFont(bold_);
                painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, Text(line.text));
                painter.setFont(text_);
                painter.drawText(box.adjusted(width_ * kLabelShare, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                                 Text(line.value));
                break;
            case K::TableHeader:
            case K::TableRow: drawTableLine(painter, plan, line, y); break;
            case K::Signature: {
                const double signRight = width_ * 0.5;
                painter.drawLine(QPointF(0, y), QPointF(signRight, y));
                painter.drawLine(QPointF(signRight + line_, y), QPointF(width_ * 0.8, y));
                painter.setFont(text_);
                QString who = Text(line.text);
                if (!line.value.empty()) who += QStringLiteral(", certification ") + Text(line.value);
                painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, who);
                painter.drawText(box.adjusted(signRight + line_, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                                 QStringLiteral("Date"));
                break;
            }
        }
    }

    bool paint(bool withLogo, const ReportProgress& progress) {
        const ReportPlan plan = this->plan(withLogo);
        QPainter painter;
        if (!painter.begin(&device_)) return false;
        const int pages = static_cast<int>(plan.pages.size());
        for (int page = 0; page < pages; ++page) {
            if (page > 0) device_.newPage();
            drawFrame(painter, page + 1, pages);
            if (page == 0 && withLogo) drawLogo(painter);
            double y = top_;
            for (const PageLine& line : plan.pages[static_cast<size_t>(page)]) {
                drawLine(painter, plan, line, y);
                y += line_;
            }
            if (progress && !progress(page + 1, pages)) {
                painter.end();
                return false;
            }
        }
        return painter.end();
    }

private:
    QPagedPaintDevice& device_;
    const ReportSource& source_;
    double points_;
    QFont text_, bold_, italic_, heading_, title_, small_, smallBold_;
    QFontMetricsF textMetrics_, boldMetrics_;
    double width_ = 0, height_ = 0, line_ = 0, top_ = 0, bottom_ = 0;
};

QPageSize::PageSizeId PaperOf(const std::string& name) {
    if (name == "A4") return QPageSize::A4;
    if (name == "Legal") return QPageSize::Legal;
    return QPageSize::Letter;
}

}  // namespace

QPageLayout ReportPageLayout(const ReportTemplate& layoutTemplate) {
    const QPageLayout::Orientation orientation =
        layoutTemplate.orientation == "landscape" ? QPageLayout::Landscape : QPageLayout::Portrait;
    return QPageLayout(QPageSize(PaperOf(layoutTemplate.paperSize)), orientation, QMarginsF(15, 15, 15, 15),
                       QPageLayout::Millimeter);
}

bool ReportLogoUsable(const ReportTemplate& layoutTemplate, std::vector<std::string>* warnings) {
    if (layoutTemplate.logoPath.empty()) return false;
    const QString path = Text(layoutTemplate.logoPath);
    const QFileInfo info(path);
    bool usable = info.isFile() && info.isReadable() && info.size() <= kLogoFileLimit;
    if (usable && IsSvg(path)) {
        usable = QSvgRenderer(path).isValid();
    } else if (usable) {
        QImageReader reader(path);
        const QByteArray format = reader.format();
        usable = reader.canRead() && (format == "png" || format == "jpeg" || format == "jpg");
    }
    if (!usable && warnings != nullptr) {
        warnings->push_back("logo " + layoutTemplate.logoPath + " cannot be read as a PNG, JPEG or SVG picture; the report has no logo");
    }
    return usable;
}

bool PaintReport(QPagedPaintDevice& device, const ReportSource& source, std::vector<std::string>& warnings,
                 const ReportProgress& progress) {
    const bool withLogo = ReportLogoUsable(source.layoutTemplate, &warnings);
    ReportPainter painter(device, source);
    return painter.paint(withLogo, progress);
}

bool WriteReportPdf(const std::string& path, const ReportSource& source, std::vector<std::string>& warnings,
                    std::string& error, const ReportProgress& progress) {
    bool cancelled = false;
    const auto draw = [&](QPdfWriter& writer) {
        writer.setPageLayout(ReportPageLayout(source.layoutTemplate));
        writer.setTitle(QStringLiteral("Inspection Report"));
        return PaintReport(writer, source, warnings, [&](int page, int pages) {
            cancelled = progress && !progress(page, pages);
            return !cancelled;
        });
    };
    return WriteStagedPdf(path, draw, [&] { return cancelled; }, error);
}

std::string ReportDateToday() { return QDate::currentDate().toString(Qt::ISODate).toStdString(); }

}  // namespace ravik
