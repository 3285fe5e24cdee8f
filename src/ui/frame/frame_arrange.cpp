// The frame's arrangement of its child windows: tiling, cascading and the
// row of icons from the Window menu, and the places the tables of an opened
// or appended file take.

#include <QMdiArea>
#include <QMdiSubWindow>
#include <algorithm>

#include "ui/frame/frame_window.h"
#include "ui/views/table_window.h"

namespace ravik {

namespace {

// A cascade place: two thirds of the client (never smaller than a useful
// table), stepped down and right by a title bar per window, starting again
// at the top left when the next step would leave the client.
QRect CascadePlace(const QRect& area, int index, int step) {
    const QSize size(std::max(area.width() * 2 / 3, std::min(area.width(), 480)),
                     std::max(area.height() * 2 / 3, std::min(area.height(), 300)));
    const int room = std::min(area.width() - size.width(), area.height() - size.height());
    const int places = std::max(1, room / std::max(1, step) + 1);
    const int offset = (index % places) * step;
    return QRect(QPoint(offset, offset), size);
}

int TitleBarHeight(const QMdiSubWindow* window) {
    const QWidget* content = window->widget();
    return std::max(20, content != nullptr ? content->geometry().top() : 0);
}

// Horizontal Tile stacks the windows, Vertical Tile sets them side by side.
QRect TilePlace(const QRect& area, int index, int count, bool stacked) {
    if (stacked) {
        const int top = area.height() * index / count;
        return QRect(0, top, area.width(), area.height() * (index + 1) / count - top);
    }
    const int left = area.width() * index / count;
    return QRect(left, 0, area.width() * (index + 1) / count - left, area.height());
}

}  // namespace

QList<QMdiSubWindow*> FrameWindow::arrangeOpenWindows(const WindowPlacer& placeOf) {
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* window : mdiArea_->subWindowList()) {
        if (window->isVisible() && !window->isMinimized()) windows.append(window);
    }
    autoTiled_ = false;
    const QRect area = mdiViewport_->rect();
    const int count = static_cast<int>(windows.size());
    tiling_ = true;
    for (int i = 0; i < count; ++i) {
        if (windows[i]->isMaximized()) windows[i]->showNormal();
        windows[i]->setGeometry(placeOf(area, i, count, windows[i]));
    }
    tiling_ = false;
    return windows;
}

void FrameWindow::tile(bool stacked) {
    arrangeOpenWindows([stacked](const QRect& area, int index, int count, const QMdiSubWindow*) {
        return TilePlace(area, index, count, stacked);
    });
}

void FrameWindow::cascade() {
    const QList<QMdiSubWindow*> windows =
        arrangeOpenWindows([](const QRect& area, int index, int, const QMdiSubWindow* window) {
            return CascadePlace(area, index, TitleBarHeight(window));
        });
    if (windows.isEmpty()) return;
    for (QMdiSubWindow* window : windows) window->raise();
    mdiArea_->setActiveSubWindow(windows.last());
}

void FrameWindow::arrangeIcons() {
    const QRect area = mdiViewport_->rect();
    int left = 0;
    for (QMdiSubWindow* window : mdiArea_->subWindowList()) {
        if (!window->isMinimized()) continue;
        window->move(left, area.bottom() + 1 - window->height());
        left += window->width();
    }
}

void FrameWindow::arrangeNewFileWindows() {
    const std::array<QRect, kModeCount> places = desktop_->rememberedTablePlaces();
    // Every table needs a remembered place that can still be seen in the client.
    const QRect area = mdiViewport_->rect();
    const bool remembered = std::all_of(kAllModes.begin(), kAllModes.end(), [&](Mode mode) {
        return tableWindow(mode) == nullptr || area.intersects(places[static_cast<size_t>(Index(mode))]);
    });
    if (!remembered) {
        tile(true);
        autoTiled_ = true;
    } else {
        tiling_ = true;
        for (Mode mode : kAllModes) {
            if (TableWindow* window = tableWindow(mode)) window->setGeometry(places[static_cast<size_t>(Index(mode))]);
        }
        tiling_ = false;
        autoTiled_ = false;
    }
    // The table that was maximized comes back maximized, in front of the others.
    const std::optional<Mode> maximized = desktop_->rememberedMaximizedTable();
    TableWindow* window = maximized ? tableWindow(*maximized) : nullptr;
    if (window == nullptr) return;
    window->showMaximized();
    mdiArea_->setActiveSubWindow(window);
    autoTiled_ = false;
}

void FrameWindow::placeAppendedWindows(const std::vector<TableWindow*>& windows) {
    const QRect area = mdiViewport_->rect();
    int index = static_cast<int>(mdiArea_->subWindowList().size() - windows.size());
    tiling_ = true;
    for (TableWindow* window : windows) {
        window->setGeometry(CascadePlace(area, index++, TitleBarHeight(window)));
        window->raise();
    }
    tiling_ = false;
}

}  // namespace ravik
