#include "ui/views/spectrum_window.h"

#include <QAction>
#include <QDialog>
#include <QMenu>
#include <QKeyEvent>
#include <QListWidget>
#include <QPainter>
#include <QVBoxLayout>
#include <functional>

#include "core/shell/command_ids.h"
#include "ui/common/qt_text.h"
#include "ui/views/spectrum_painter.h"
#include "ui/views/table_painter.h"

namespace ravik {

namespace {

constexpr int kElementList = 1137;

// The "SELECTELEMENT" list: a click, Enter or Space chooses the symbol.
class ElementList final : public QListWidget {
public:
    using QListWidget::QListWidget;
    std::function<void(QListWidgetItem*)> choose;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        const int key = event->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) && currentItem() != nullptr) {
            choose(currentItem());
            return;
        }
        QListWidget::keyPressEvent(event);
    }
};

QColor ColourOf(const Settings& settings, ColorRole role) {
    const Rgb& rgb = settings.color(role);
    return QColor(rgb.red, rgb.green, rgb.blue);
}

}  // namespace

SpectrumView::SpectrumView(Program& program, int32_t reading, int kind, QWidget* parent)
    : QWidget(parent), program_(program), reading_(reading), kind_(kind) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

std::optional<SpectrumViewPlot> SpectrumView::plot() const {
    return PlotReadingSpectrum(program_.store, program_.settings, reading_, kind_, ToPlotRect(rect()), logicalDpiY(),
                               false);
}

void SpectrumView::labelNearest(double x) {
    const std::optional<SpectrumViewPlot> shown = plot();
    if (!shown || IsHighKind(kind_)) return;
    labels_ = EmissionLabels(*shown, NearestElement(EnergyAt(*shown, x)));
    update();
}

void SpectrumView::labelElement(int element) {
    const std::optional<SpectrumViewPlot> shown = plot();
    if (!shown || IsHighKind(kind_)) return;
    labels_ = EmissionLabels(*shown, element);
    update();
}

void SpectrumView::settingsChanged() {
    labels_.clear();
    update();
}

void SpectrumView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const Settings& settings = program_.settings;
    painter.fillRect(rect(), ColourOf(settings, ColorRole::Background));
    DrawSpectrum(painter, program_.store, settings, rect(), kind_, reading_, false);
    if (labels_.empty()) return;
    const std::optional<SpectrumViewPlot> shown = plot();
    const QFont font = TableFont(shown ? shown->fontHeight : 12, false);
    painter.setFont(font);
    const QFontMetrics metrics(font);
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(ColourOf(settings, ColorRole::Background));
    painter.setPen(ColourOf(settings, ColorRole::Normal));
    // A label's text starts at its line; its top edge at the curve.
    for (const PlotLabel& label : labels_) {
        painter.drawText(QPointF(label.x, label.y + metrics.ascent()), ToQString(label.text));
    }
}

void SpectrumView::mousePressEvent(QMouseEvent* event) {
    if (!(event->modifiers() & Qt::ShiftModifier)) return;
    if (event->button() == Qt::LeftButton) {
        labels_.clear();
        labelNearest(event->position().x());
    } else if (event->button() == Qt::RightButton && !IsHighKind(kind_)) {
        const int element = chooseElement(event->globalPosition().toPoint());
        if (element >= 0) labelElement(element);
    }
}

int SpectrumView::chooseElement(const QPoint& globalPosition) {
    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("SELECTELEMENT"));
    dialog.setWindowTitle(QStringLiteral("Element"));
    auto* list = new ElementList(&dialog);
    SetControlId(list, kElementList);
    for (int i = 0; i < kEmissionElementCount; ++i) {
        auto* item = new QListWidgetItem(ToQString(kEmissionLineTable[i].symbol), list);
        item->setData(Qt::UserRole, i);
    }
    list->sortItems();
    list->setCurrentRow(0);
    auto* layout = new QVBoxLayout(&dialog);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(list);
    int chosen = -1;
    list->choose = [&](QListWidgetItem* item) {
        chosen = item->data(Qt::UserRole).toInt();
        dialog.accept();
    };
    connect(list, &QListWidget::itemClicked, &dialog, list->choose);
    dialog.resize(90, 260);
    dialog.move(globalPosition.x() - dialog.width() / 2, globalPosition.y());
    dialog.exec();
    return chosen;
}

void SpectrumView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        Q_EMIT editRequested(reading_);
        return;
    }
    if (event->button() != Qt::LeftButton || IsHighKind(kind_)) return;
    const std::optional<Mode> mode = ModeOfKind(kind_);
    if (mode == Mode::Paint || mode == Mode::Bulk || mode == Mode::Thin) {
        Q_EMIT spectrumRequested(reading_, *HighKind(*mode));
    }
}

void SpectrumView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Insert || event->key() == Qt::Key_Delete) {
        event->accept();
        return;
    }
    event->ignore();
}

void SpectrumView::keyReleaseEvent(QKeyEvent* event) {
    // As in the tables, the keys act when let go; only these two do
    // anything in a spectrum window.
    if (event->isAutoRepeat()) return;
    if (event->key() == Qt::Key_Insert) {
        Q_EMIT commandRequested(command::kUnhideReading);
    } else if (event->key() == Qt::Key_Delete) {
        Q_EMIT commandRequested(command::kHideReading);
    } else {
        event->ignore();
    }
}

SpectrumWindow::SpectrumWindow(Program& program, int32_t reading, int kind, QWidget* parent)
    : QMdiSubWindow(parent), view_(new SpectrumView(program, reading, kind, this)) {
    setObjectName(QStringLiteral("bland child"));
    setWidget(view_);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(TitleFor(reading, kind));
    resize(640, 420);
    auto* compare = new QAction(QStringLiteral("Com&pare"), this);
    compare->setObjectName(QStringLiteral("compare"));
    compare->setShortcut(QKeySequence(Qt::ControlModifier | Qt::Key_M));
    compare->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(compare);
    connect(compare, &QAction::triggered, this, [this] { Q_EMIT compareRequested(view_->reading(), view_->kind()); });
    if (QMenu* menu = systemMenu()) {
        menu->addSeparator();
        menu->addAction(compare);
    }
}

QString SpectrumWindow::TitleFor(int32_t reading, int kind) {
    return QStringLiteral("%1 Energy Meas #%2").arg(IsHighKind(kind) ? QStringLiteral("High") : QStringLiteral("Low")).arg(reading);
}

}  // namespace ravik
