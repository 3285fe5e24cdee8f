#include "ui/frame/frame_desktop.h"

#include <QEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <algorithm>

#include "core/platform/data_dir.h"
#include "core/readings/reading_store.h"
#include "core/shell/reading_tally.h"
#include "ui/common/qt_text.h"
#include "ui/views/table_window.h"

namespace ravik {

namespace {

constexpr const char* kLayoutFileName = "desktop.ini";
constexpr int kRecentLabelWidth = 420;  // pixels of a path shown in the File menu

QString LayoutFilePath() { return PathToQString(DataFilePath(DataDirectory(), kLayoutFileName)); }

QString TableKey(Mode mode) { return QStringLiteral("Tables/") + QString::fromLatin1(WindowText(mode)); }

QLabel* MakeEmptyHint(QWidget* viewport) {
    auto* hint = new QLabel(QStringLiteral("No readings file is open.\n\n"
                                           "To open one, choose File, Open (Ctrl+O), or drop a readings file "
                                           "(.qvr or .lck) here.\n"
                                           "To take readings off the analyzer, choose Receive."),
                            viewport);
    hint->setObjectName(QStringLiteral("emptyHint"));
    hint->setAlignment(Qt::AlignCenter);
    hint->setWordWrap(true);
    hint->setStyleSheet(QStringLiteral("color: white; font-size: 11pt;"));
    auto* layout = new QGridLayout(viewport);
    layout->addWidget(hint, 0, 0, Qt::AlignCenter);
    return hint;
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

FrameDesktop::FrameDesktop(QMainWindow& frame, QWidget* clientViewport, const ReadingStore& store)
    : frame_(frame), store_(store), statusLabel_(new QLabel(&frame)), emptyHint_(MakeEmptyHint(clientViewport)),
      recentFiles_(ReadRecentFiles(DataDirectory())) {
    frame.statusBar()->addWidget(statusLabel_, 1);
}

void FrameDesktop::listRecentFilesAbove(QAction* exit, OpenFile open) {
    exit_ = exit;
    openRecent_ = std::move(open);
    fillRecentFilesMenu();
}

void FrameDesktop::rememberRecentFile(const std::string& path) {
    RememberRecentFile(recentFiles_, path);
    keepRecentFiles();
}

void FrameDesktop::forgetRecentFile(const std::string& path) {
    ForgetRecentFile(recentFiles_, path);
    keepRecentFiles();
}

void FrameDesktop::keepRecentFiles() {
    WriteRecentFiles(DataDirectory(), recentFiles_);
    fillRecentFilesMenu();
}

void FrameDesktop::fillRecentFilesMenu() {
    for (QAction* action : recentActions_) delete action;
    recentActions_.clear();
    auto* fileMenu = exit_ != nullptr ? qobject_cast<QMenu*>(exit_->parent()) : nullptr;
    if (fileMenu == nullptr || recentFiles_.empty()) return;
    recentActions_.push_back(fileMenu->insertSeparator(exit_));
    const QFontMetrics metrics(fileMenu->font());
    for (size_t i = 0; i < recentFiles_.size(); ++i) {
        const std::string& path = recentFiles_[i];
        const QString shown = metrics.elidedText(PathToQString(path), Qt::ElideMiddle, kRecentLabelWidth);
        auto* action = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shown), fileMenu);
        action->setObjectName(QStringLiteral("recent%1").arg(i + 1));
        action->setToolTip(PathToQString(path));
        // The list changes when a file opens: the path is copied, not referred to.
        QObject::connect(action, &QAction::triggered, &frame_, [this, path] { openRecent_(path); });
        fileMenu->insertAction(exit_, action);
        recentActions_.push_back(action);
    }
    recentActions_.push_back(fileMenu->insertSeparator(exit_));
}

void FrameDesktop::showWhereItWas() {
    const QSettings layout(LayoutFilePath(), QSettings::IniFormat);
    const QRect place = layout.value(QStringLiteral("Frame/place")).toRect();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect desktop = screen != nullptr ? screen->availableGeometry() : place;
    // A place off the screen (another monitor then) is not restored.
    if (!layout.value(QStringLiteral("Frame/maximized")).toBool() && place.isValid() && desktop.intersects(place)) {
        frame_.setGeometry(place);
        frame_.show();
        return;
    }
    // The whole screen, also where no window manager maximizes windows.
    if (screen != nullptr) frame_.resize(desktop.size());
    frame_.showMaximized();
}

std::array<QRect, kModeCount> FrameDesktop::rememberedTablePlaces() const {
    const QSettings layout(LayoutFilePath(), QSettings::IniFormat);
    std::array<QRect, kModeCount> places;
    for (Mode mode : kAllModes) places[static_cast<size_t>(Index(mode))] = layout.value(TableKey(mode)).toRect();
    return places;
}

void FrameDesktop::saveLayout(const std::array<TableWindow*, kModeCount>& tables, bool stacked) {
    QSettings layout(LayoutFilePath(), QSettings::IniFormat);
    const bool maximized = frame_.isMaximized();
    layout.setValue(QStringLiteral("Frame/maximized"), maximized);
    layout.setValue(QStringLiteral("Frame/place"), maximized ? frame_.normalGeometry() : frame_.geometry());
    if (std::all_of(tables.begin(), tables.end(), [](const TableWindow* w) { return w == nullptr; })) return;
    layout.remove(QStringLiteral("Tables"));
    if (stacked) return;
    for (Mode mode : kAllModes) {
        const TableWindow* window = tables[static_cast<size_t>(Index(mode))];
        if (window != nullptr && !window->isMinimized()) layout.setValue(TableKey(mode), window->geometry());
    }
}

void FrameDesktop::updateStatus() {
    statusLabel_->setText(QString::fromStdString(ReadingTallyText(store_)));
    emptyHint_->setVisible(!store_.hasReadings());
}

QString FrameDesktop::statusText() const { return statusLabel_->text(); }

void FrameDesktop::watchMarking(QWidget* tableViewport) {
    tableViewport->installEventFilter(new MarkWatcher(tableViewport, [this] { updateStatus(); }));
}

}  // namespace ravik
