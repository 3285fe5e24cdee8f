#include "ui/views/table_window.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>

#include "core/shell/command_ids.h"
#include "ui/common/qt_text.h"
#include "core/maintenance/column_title_edit.h"
#include "core/platform/prompter.h"
#include "core/views/spectrum_plot.h"
#include "core/views/table_marking.h"
#include "ui/views/table_painter.h"

namespace ravik {

namespace {

constexpr int kHorizontalLine = 20;  // pixels per line step
constexpr int kDragScrollMs = 50;    // drag-marking scroll steps beyond an edge

// Text widths in the bold table font of a pixel height.
TextWidth BoldWidth(int height) {
    return [metrics = QFontMetrics(TableFont(height, true))](std::string_view text) {
        return metrics.horizontalAdvance(ToQString(text));
    };
}

bool IsNavigationKey(int key) {
    switch (key) {
        case Qt::Key_PageUp: case Qt::Key_PageDown: case Qt::Key_Home: case Qt::Key_End:
        case Qt::Key_Left: case Qt::Key_Right: case Qt::Key_Up: case Qt::Key_Down:
        case Qt::Key_Insert: case Qt::Key_Delete: case Qt::Key_Space:
            return true;
        default:
            return false;
    }
}

}  // namespace

TableView::TableView(Program& program, TableViewState& views, Mode mode, QWidget* parent)
    : QAbstractScrollArea(parent), program_(program), views_(views), mode_(mode) {
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    setFrameShape(QFrame::NoFrame);
    verticalScrollBar()->setSingleStep(1);
    dragScroll_.setInterval(kDragScrollMs);
    connect(&dragScroll_, &QTimer::timeout, this, [this] { dragTo(dragY_); });
    horizontalScrollBar()->setSingleStep(kHorizontalLine);
    connect(horizontalScrollBar(), &QAbstractSlider::actionTriggered, this, &TableView::pageHorizontally);
}

int TableView::fontHeight() const { return -views_.modeFontHeight[static_cast<size_t>(Index(mode_))]; }

int TableView::topRow() const { return verticalScrollBar()->value(); }

int TableView::horizontalPos() const { return horizontalScrollBar()->value(); }

int TableView::rowHeight() const { return std::max(1, QFontMetrics(TableFont(fontHeight(), false)).height()); }

int TableView::rowAt(int y) const { return y / rowHeight() + topRow(); }

void TableView::ensureWidths(int height) {
    const size_t m = static_cast<size_t>(Index(mode_));
    if (views_.widthsFontHeight[m] == height) return;
    RefreshColumnWidths(program_.store.titles, mode_, BoldWidth(height), views_.widths[m]);
    views_.widthsFontHeight[m] = height;
}

ColumnLayout TableView::columnLayout() {
    ensureWidths(fontHeight());
    return LayoutColumns(mode_, program_.settings, views_.widths[static_cast<size_t>(Index(mode_))]);
}

void TableView::readingsChanged() {
    const size_t m = static_cast<size_t>(Index(mode_));
    RemeasureColumnWidths(program_.store, program_.settings, mode_, BoldWidth(fontHeight()), views_.widths[m]);
    views_.widthsFontHeight[m] = fontHeight();
    updateScrollRanges();
    viewport()->update();
}

int TableView::fitHeight() {
    const int clientWidth = viewport()->width() + 1;
    return FitFontHeight(logicalDpiY(), clientWidth, [this](int height) {
        ensureWidths(height);
        const ColumnLayout layout =
            LayoutColumns(mode_, program_.settings, views_.widths[static_cast<size_t>(Index(mode_))]);
        if (layout.columns.empty()) return 0;
        const std::string_view lastTitle = program_.store.titles[mode_][static_cast<size_t>(layout.columns.back())].view();
        return static_cast<int>(layout.positions.back()) + BoldWidth(height)(lastTitle);
    });
}

void TableView::sizeFont() {
    if (program_.settings.displayFontSize == 0) {
        views_.modeFontHeight[static_cast<size_t>(Index(mode_))] = -fitHeight();
    } else {
        const int height = FixedFontHeight(program_.settings.displayFontSize, logicalDpiY());
        views_.modeFontHeight.fill(height);
    }
    ensureWidths(fontHeight());
}

void TableView::updateScrollRanges() {
    const int rows = program_.store.count(mode_);
    const int visibleRows = viewport()->height() / rowHeight();
    verticalScrollBar()->setRange(0, std::max(0, rows - visibleRows + 1));
    verticalScrollBar()->setPageStep(std::max(1, visibleRows - 1));
    horizontalScrollBar()->setRange(0, std::max(0, columnLayout().totalWidth - viewport()->width()));
    horizontalScrollBar()->setPageStep(std::max(1, viewport()->width()));
}

// Called for the viewport's resizes: a resize event sent to the scroll area
// itself only places its scroll bars.
void TableView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    layOutForSize();
}

void TableView::layOutForSize() {
    const QWidget* frame = parentWidget();
    if (frame != nullptr && frame->isMinimized()) return;
    sizeFont();
    updateScrollRanges();
    horizontalScrollBar()->setValue(0);
    viewport()->update();
}

void TableView::relayOut() {
    layOutForSize();
    readingsChanged();
}

void TableView::pageHorizontally(int action) {
    if (action != QAbstractSlider::SliderPageStepAdd && action != QAbstractSlider::SliderPageStepSub) return;
    const ColumnLayout layout = columnLayout();
    const double current = horizontalPos();
    double target = action == QAbstractSlider::SliderPageStepAdd ? horizontalScrollBar()->maximum() : 0.0;
    if (action == QAbstractSlider::SliderPageStepAdd) {
        const auto after = std::find_if(layout.positions.begin(), layout.positions.end(),
                                        [current](double centre) { return centre > current; });
        if (after != layout.positions.end()) target = *after;
    } else {
        for (double centre : layout.positions) {
            if (centre < current) target = centre;
        }
    }
    horizontalScrollBar()->setSliderPosition(static_cast<int>(target));
}

void TableView::scrollContentsBy(int, int) { viewport()->update(); }

void TableView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const int height = fontHeight();
    const QFont normal = TableFont(height, false);
    const QFont bold = TableFont(height, true);
    const ColumnLayout layout = columnLayout();
    const TablePaint job{program_.store, program_.settings, mode_, layout, normal, bold,
                         rowHeight(), topRow(), horizontalPos(), event->rect()};
    PaintTable(painter, job);
}

void TableView::keyPressEvent(QKeyEvent* event) {
    // Keys act when they are let go; their presses do nothing here.
    if (event->key() == Qt::Key_Home || event->key() == Qt::Key_End) {
        controlWithKey_ = event->modifiers() & Qt::ControlModifier;
    }
    if (IsNavigationKey(event->key())) {
        event->accept();
        return;
    }
    event->ignore();
}

void TableView::keyReleaseEvent(QKeyEvent* event) {
    QScrollBar* vertical = verticalScrollBar();
    QScrollBar* horizontal = horizontalScrollBar();
    const bool control = (event->modifiers() & Qt::ControlModifier) || controlWithKey_;
    if (event->key() == Qt::Key_Home || event->key() == Qt::Key_End) controlWithKey_ = false;
    switch (event->key()) {
        case Qt::Key_PageUp: vertical->triggerAction(QAbstractSlider::SliderPageStepSub); break;
        case Qt::Key_PageDown: vertical->triggerAction(QAbstractSlider::SliderPageStepAdd); break;
        case Qt::Key_End:
            if (control) vertical->setValue(vertical->maximum());
            else horizontal->setValue(horizontal->maximum());
            break;
        case Qt::Key_Home:
            if (control) vertical->setValue(0);
            else horizontal->setValue(0);
            break;
        case Qt::Key_Left: horizontal->triggerAction(QAbstractSlider::SliderSingleStepSub); break;
        case Qt::Key_Right: horizontal->triggerAction(QAbstractSlider::SliderSingleStepAdd); break;
        case Qt::Key_Up:
        case Qt::Key_Down: {
            const bool down = event->key() == Qt::Key_Down;
            if (!(event->modifiers() & Qt::ShiftModifier)) {
                vertical->triggerAction(down ? QAbstractSlider::SliderSingleStepAdd : QAbstractSlider::SliderSingleStepSub);
                break;
            }
            // Shift+Up/Down extends the mark from the current row and keeps that row in view.
            ExtendMarkByKey(program_.store, mode_, down ? 1 : -1, topRow() + 1, program_.shell.selection);
            showRow(program_.shell.selection.currentRow);
            viewport()->update();
            break;
        }
        case Qt::Key_Space:
            if (event->isAutoRepeat()) break;
            ToggleCurrentRow(program_.store, mode_, topRow() + 1, program_.shell.selection);
            showRow(program_.shell.selection.currentRow);
            viewport()->update();
            break;
        case Qt::Key_Insert:
            if (!event->isAutoRepeat()) Q_EMIT commandRequested(command::kUnhideReading);
            break;
        case Qt::Key_Delete:
            if (!event->isAutoRepeat()) Q_EMIT commandRequested(command::kHideReading);
            break;
        default:
            event->ignore();
            return;
    }
    event->accept();
}

void TableView::showRow(int row) {
    // The rows wholly below the header band.
    const int shown = std::max(1, viewport()->height() / rowHeight() - 1);
    if (row <= topRow()) verticalScrollBar()->setValue(row - 1);
    else if (row > topRow() + shown) verticalScrollBar()->setValue(row - shown);
}

void TableView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const int y = event->position().toPoint().y();
    PressKind kind = PressKind::Plain;
    if (event->modifiers() & Qt::ControlModifier) kind = PressKind::Control;
    else if (event->modifiers() & Qt::ShiftModifier) kind = PressKind::Shift;
    PressRow(program_.store, mode_, rowAt(y), kind, y < rowHeight(), program_.shell.selection);
    buttonHeld_ = true;
    viewport()->update();
}

void TableView::mouseMoveEvent(QMouseEvent* event) {
    if (!buttonHeld_ || !(event->buttons() & Qt::LeftButton)) return;
    if (program_.shell.selection.dragKind != PressKind::Plain) return;
    dragY_ = event->position().toPoint().y();
    dragTo(dragY_);
    const bool beyondEdge = dragY_ < rowHeight() || dragY_ + rowHeight() > viewport()->height();
    if (beyondEdge && !dragScroll_.isActive()) dragScroll_.start();
    if (!beyondEdge) dragScroll_.stop();
}

void TableView::dragTo(int y) {
    const int height = rowHeight();
    // Near the top or bottom edge the table scrolls a line towards the pointer.
    if (y < height) verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    else if (y + height > viewport()->height()) verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    const int inside = std::clamp(y, 0, std::max(0, viewport()->height() - 1));
    DragToRow(program_.store, mode_, rowAt(inside), program_.shell.selection);
    viewport()->update();
}

void TableView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    buttonHeld_ = false;
    dragScroll_.stop();
}

void TableView::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::RightButton) rightDoubleClick(at);
    if (event->button() != Qt::LeftButton) return;
    const int y = at.y();
    const int row = rowAt(y);
    DoubleClickRow(program_.store, mode_, row, program_.shell.selection);
    Q_EMIT allMarksChanged();
    if (y < rowHeight()) {
        const int column = HitTestColumn(columnLayout(), at.x() + horizontalPos(), mode_);
        if (column != 0) Q_EMIT sortRequested(mode_, column);
        return;
    }
    // A data row opens its reading's low-energy spectrum.
    if (const int32_t reading = ReadingAtRow(program_.store, mode_, row)) Q_EMIT spectrumRequested(reading, LowKind(mode_));
}

void TableView::rightDoubleClick(const QPoint& at) {
    if (program_.store.locked) return;
    if (at.y() >= rowHeight()) {
        const int row = rowAt(at.y());
        // A row below the last reading has nothing to edit.
        if (ReadingAtRow(program_.store, mode_, row) != 0) Q_EMIT readingEditRequested(mode_, row);
        return;
    }
    const int column = HitTestColumn(columnLayout(), at.x() + horizontalPos(), mode_);
    if (CanEditColumnTitle(program_.store, column)) Q_EMIT columnTitleEditRequested(mode_, column);
}

TableWindow::TableWindow(Program& program, TableViewState& views, Mode mode, Prompter& prompter, QWidget* parent)
    : QMdiSubWindow(parent), view_(new TableView(program, views, mode, this)), prompter_(prompter) {
    setObjectName(QString::fromLatin1(WindowText(mode)));
    setWidget(view_);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(QIcon(QStringLiteral(":/pictures/TABLE_ICON.png")));
    connect(view_, &TableView::commandRequested, this, &TableWindow::commandRequested);
    connect(view_, &TableView::allMarksChanged, this, &TableWindow::allMarksChanged);
    connect(view_, &TableView::spectrumRequested, this, &TableWindow::spectrumRequested);
    compareMarked_ = new QAction(QStringLiteral("Compare &Marked"), this);
    compareMarked_->setObjectName(QStringLiteral("compareMarked"));
    compareMarked_->setShortcut(QKeySequence(Qt::ControlModifier | Qt::Key_M));
    compareMarked_->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(compareMarked_);
    connect(compareMarked_, &QAction::triggered, this, [this] { Q_EMIT compareMarkedRequested(this->mode()); });
    contextMenuDelay_.setSingleShot(true);
    connect(&contextMenuDelay_, &QTimer::timeout, this, [this] {
        QMenu menu(this);
        menu.addAction(compareMarked_);
        menu.exec(contextMenuAt_);
    });
    view_->viewport()->installEventFilter(this);
}

bool TableWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_->viewport() && event->type() == QEvent::MouseButtonDblClick) contextMenuDelay_.stop();
    return QMdiSubWindow::eventFilter(watched, event);
}

void TableWindow::showContextMenuLater(const QPoint& globalPosition) {
    contextMenuAt_ = globalPosition;
    contextMenuDelay_.start(QApplication::doubleClickInterval());
}

void TableWindow::closeWithoutQuestion() {
    closingWithoutQuestion_ = true;
    close();
}

void TableWindow::closeEvent(QCloseEvent* event) {
    if (closingWithoutQuestion_) {
        QMdiSubWindow::closeEvent(event);
        return;
    }
    event->ignore();
    if (prompter_.ask("Closing this Window will Close File", "Message", Buttons::OkCancel, Icon::Question) ==
        Answer::Ok) {
        // New asks about saving and closes every window, this one too; it
        // runs once this close event is over.
        QTimer::singleShot(0, this, [this] { Q_EMIT commandRequested(command::kNew); });
    }
}

void TableWindow::moveEvent(QMoveEvent* event) {
    QMdiSubWindow::moveEvent(event);
    keepNormalPlace();
}

void TableWindow::resizeEvent(QResizeEvent* event) {
    QMdiSubWindow::resizeEvent(event);
    keepNormalPlace();
}

// The client gives no child window's place from before it was maximized:
// the window keeps it itself.
void TableWindow::keepNormalPlace() {
    if (!(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized))) normalPlace_ = geometry();
}

bool TableWindow::onTitleBar(const QPoint& position) const {
    return position.y() < view_->geometry().top();
}

void TableWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton && onTitleBar(event->position().toPoint())) {
        Q_EMIT commandRequested(command::kSite);
        return;
    }
    QMdiSubWindow::mouseDoubleClickEvent(event);
}

void TableWindow::contextMenuEvent(QContextMenuEvent* event) {
    // The right button on the title bar is kept for the double-click that
    // opens the site dialog; the window menu stays on the title bar's icon.
    if (onTitleBar(event->pos())) {
        event->accept();
        return;
    }
    if (view_->geometry().contains(event->pos())) {
        event->accept();
        if (event->reason() == QContextMenuEvent::Mouse) {
            showContextMenuLater(event->globalPos());
        } else {
            contextMenuAt_ = event->globalPos();
            contextMenuDelay_.start(0);
        }
        return;
    }
    QMdiSubWindow::contextMenuEvent(event);
}

}  // namespace ravik
