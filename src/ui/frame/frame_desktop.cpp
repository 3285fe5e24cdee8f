// What makes the frame at home on a desktop: files dropped onto it, the
// recent files, copying marked readings, the status bar, a hint in the empty
// frame, cascading, and the frame's place and the table arrangement kept
// between runs in "desktop.ini" beside the settings file.

#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QStatusBar>
#include <algorithm>
#include <functional>
#include <memory>

#include "ui/frame/frame_window.h"
#include "core/shell/reading_tally.h"
#include "core/shell/command_ids.h"
#include "ui/common/qt_text.h"
#include "core/platform/data_dir.h"
#include "core/platform/file_io.h"
#include "core/platform/prompter.h"
#include "core/views/table_copy.h"
#include "ui/views/table_window.h"

namespace ravik {

namespace {

constexpr const char* kLayoutFileName = "desktop.ini";
constexpr int kRecentLabelWidth = 420;  // pixels of a path shown in the File menu

QString LayoutFilePath() { return PathToQString(DataFilePath(DataDirectory(), kLayoutFileName)); }

QString TableKey(Mode mode) { return QStringLiteral("Tables/") + QString::fromLatin1(WindowText(mode)); }

// The first local file of a drag, or nothing.
QString DroppedFile(const QMimeData* data) {
    if (data == nullptr) return {};
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) return url.toLocalFile();
    }
    return {};
}

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

// Calls back once a mouse press or release in a table has done its marking.
class MarkWatcher : public QObject {
public:
    MarkWatcher(QObject* parent, std::function<void()> marksChanged)
        : QObject(parent), marksChanged_(std::move(marksChanged)) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
                QMetaObject::invokeMethod(this, marksChanged_, Qt::QueuedConnection);
                break;
            default: break;
        }
        return false;
    }

private:
    std::function<void()> marksChanged_;
};

}  // namespace

void FrameWindow::setUpDesktop() {
    setAcceptDrops(true);
    statusLabel_ = new QLabel(this);
    statusBar()->addWidget(statusLabel_, 1);

    emptyHint_ = new QLabel(QStringLiteral("No readings file is open.\n\n"
                                           "To open one, choose File, Open (Ctrl+O), or drop a readings file "
                                           "(.qvr or .lck) here.\n"
                                           "To take readings off the analyzer, choose Receive."),
                            mdiViewport_);
    emptyHint_->setObjectName(QStringLiteral("emptyHint"));
    emptyHint_->setAlignment(Qt::AlignCenter);
    emptyHint_->setWordWrap(true);
    emptyHint_->setStyleSheet(QStringLiteral("color: white; font-size: 11pt;"));
    auto* hintLayout = new QGridLayout(mdiViewport_);
    hintLayout->addWidget(emptyHint_, 0, 0, Qt::AlignCenter);

    // F1 opens the help, as on every desktop.
    connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this,
            [this] { handleCommand(command::kHelp); });

    recentFiles_ = ReadRecentFiles(DataDirectory());
    fillRecentFilesMenu();
}

void FrameWindow::showWhereItWas() {
    const QSettings layout(LayoutFilePath(), QSettings::IniFormat);
    const QRect place = layout.value(QStringLiteral("Frame/place")).toRect();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect desktop = screen != nullptr ? screen->availableGeometry() : place;
    // A place off the screen (another monitor then) is not restored.
    if (!layout.value(QStringLiteral("Frame/maximized")).toBool() && place.isValid() && desktop.intersects(place)) {
        setGeometry(place);
        show();
        return;
    }
    // The whole screen, also where no window manager maximizes windows.
    if (screen != nullptr) resize(desktop.size());
    showMaximized();
}

void FrameWindow::saveDesktopLayout() {
    QSettings layout(LayoutFilePath(), QSettings::IniFormat);
    layout.setValue(QStringLiteral("Frame/maximized"), isMaximized());
    layout.setValue(QStringLiteral("Frame/place"), isMaximized() ? normalGeometry() : geometry());
    const bool hasTables = std::any_of(tables_.begin(), tables_.end(), [](TableWindow* w) { return w != nullptr; });
    // Without tables the last arrangement stays; stacked tables need none.
    if (!hasTables) return;
    layout.remove(QStringLiteral("Tables"));
    if (autoTiled_) return;
    for (Mode mode : kAllModes) {
        const TableWindow* window = tableWindow(mode);
        if (window != nullptr && !window->isMinimized()) layout.setValue(TableKey(mode), window->geometry());
    }
}

void FrameWindow::arrangeNewFileWindows() {
    const QSettings layout(LayoutFilePath(), QSettings::IniFormat);
    // Every table needs a remembered place that can still be seen in the client.
    const QRect area = mdiViewport_->rect();
    const bool remembered = std::all_of(kAllModes.begin(), kAllModes.end(), [&](Mode mode) {
        return tableWindow(mode) == nullptr || area.intersects(layout.value(TableKey(mode)).toRect());
    });
    if (!remembered) {
        tile(true);
        autoTiled_ = true;
        return;
    }
    tiling_ = true;
    for (Mode mode : kAllModes) {
        if (TableWindow* window = tableWindow(mode)) window->setGeometry(layout.value(TableKey(mode)).toRect());
    }
    tiling_ = false;
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

void FrameWindow::cascade() {
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* window : mdiArea_->subWindowList()) {
        if (window->isVisible() && !window->isMinimized()) windows.append(window);
    }
    autoTiled_ = false;
    if (windows.isEmpty()) return;
    const QRect area = mdiViewport_->rect();
    tiling_ = true;
    for (int i = 0; i < windows.size(); ++i) {
        QMdiSubWindow* window = windows[i];
        if (window->isMaximized()) window->showNormal();
        window->setGeometry(CascadePlace(area, i, TitleBarHeight(window)));
        window->raise();
    }
    tiling_ = false;
    mdiArea_->setActiveSubWindow(windows.last());
}

void FrameWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void FrameWindow::dropEvent(QDropEvent* event) {
    const QString file = DroppedFile(event->mimeData());
    if (file.isEmpty()) return;
    event->acceptProposedAction();
    // The file opens once the drop is over, so that the questions it may
    // ask do not hold up the program the file came from.
    QMetaObject::invokeMethod(
        this, [this, path = PathFromQString(file)] { openFromDesktop(path); }, Qt::QueuedConnection);
}

void FrameWindow::openFromDesktop(const std::string& path) {
    if (!ReadFileVersion(path)) {
        // The loader tells what is wrong with the file; the readings it
        // would have replaced stay open.
        const auto probe = std::make_unique<ReadingStore>();
        LoadReadingsFile(*probe, path, kOpenCommand, prompter_);
        return;
    }
    if (!askToSaveWork()) return;
    openFile(path);
}

void FrameWindow::openRecentFile(const std::string& path) {
    if (FileExists(path)) {
        openFromDesktop(path);
        return;
    }
    prompter_.notice(path + "\nThis file no longer exists; it is taken off the list of recent files.", "NOTICE");
    ForgetRecentFile(recentFiles_, path);
    WriteRecentFiles(DataDirectory(), recentFiles_);
    fillRecentFilesMenu();
}

void FrameWindow::rememberRecentFile(const std::string& path) {
    RememberRecentFile(recentFiles_, path);
    WriteRecentFiles(DataDirectory(), recentFiles_);
    fillRecentFilesMenu();
}

void FrameWindow::fillRecentFilesMenu() {
    for (QAction* action : recentActions_) delete action;
    recentActions_.clear();
    QAction* exit = commandAction(command::kExit);
    auto* fileMenu = exit != nullptr ? qobject_cast<QMenu*>(exit->parent()) : nullptr;
    if (fileMenu == nullptr || recentFiles_.empty()) return;
    recentActions_.push_back(fileMenu->insertSeparator(exit));
    const QFontMetrics metrics(fileMenu->font());
    for (size_t i = 0; i < recentFiles_.size(); ++i) {
        const std::string& path = recentFiles_[i];
        const QString shown = metrics.elidedText(PathToQString(path), Qt::ElideMiddle, kRecentLabelWidth);
        auto* action = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shown), fileMenu);
        action->setObjectName(QStringLiteral("recent%1").arg(i + 1));
        action->setToolTip(PathToQString(path));
        // The list changes when a file opens: the path is copied, not referred to.
        connect(action, &QAction::triggered, this, [this, path] { openRecentFile(path); });
        fileMenu->insertAction(exit, action);
        recentActions_.push_back(action);
    }
    recentActions_.push_back(fileMenu->insertSeparator(exit));
}

void FrameWindow::copyMarkedReadings() {
    auto* table = qobject_cast<TableWindow*>(mdiArea_->activeSubWindow());
    const int selectedMode = program_.shell.selection.selectedMode;
    if (table == nullptr && selectedMode >= 0 && selectedMode < static_cast<int>(kModeCount)) {
        table = tableWindow(static_cast<Mode>(selectedMode));
    }
    if (table == nullptr) return;
    const std::string text = MarkedReadingsText(program_.store, program_.settings, table->mode());
    if (!text.empty()) QGuiApplication::clipboard()->setText(ToQString(text));
}

void FrameWindow::updateStatusBar() {
    if (statusLabel_ == nullptr) return;
    statusLabel_->setText(QString::fromStdString(ReadingTallyText(program_.store)));
    emptyHint_->setVisible(!program_.store.hasReadings());
}

QString FrameWindow::statusText() const { return statusLabel_->text(); }

void FrameWindow::watchMarking(TableWindow* window) {
    QWidget* viewport = window->view()->viewport();
    viewport->installEventFilter(new MarkWatcher(viewport, [this] { updateStatusBar(); }));
}

}  // namespace ravik
