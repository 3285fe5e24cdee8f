#include "ui/frame/frame_desktop.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QScreen>
#include <QStatusBar>
#include <algorithm>

#include "core/platform/data_dir.h"
#include "core/platform/file_io.h"
#include "core/platform/prompter.h"
#include "core/readings/reading_store.h"
#include "core/shell/reading_tally.h"
#include "ui/common/qt_text.h"
#include "ui/views/table_window.h"

namespace ravik {

namespace {

constexpr const char* kLayoutFileName = "desktop.ini";
// The layout is a few short lines; a file far larger than that is no layout.
constexpr size_t kLayoutFileLimit = 64 * 1024;
constexpr int kRecentLabelWidth = 420;  // pixels of a path shown in the File menu

std::string LayoutFilePath() { return DataFilePath(DataDirectory(), kLayoutFileName); }

QString TableKey(Mode mode) { return QStringLiteral("Tables/") + QString::fromLatin1(WindowText(mode)); }

constexpr QStringView kMaximizedTableKey = u"Tables/maximized";

// "desktop.ini" is an INI text: "[Frame]" with "maximized=true" (or false)
// and "place=@Rect(x y width height)", "[Tables]" with one such place per
// mode, "Paint=@Rect(...)", and "maximized=Paint" naming the table that was
// maximized. A line that is none of these is passed over.
QString RectText(const QRect& rect) {
    return QStringLiteral("@Rect(%1 %2 %3 %4)").arg(rect.x()).arg(rect.y()).arg(rect.width()).arg(rect.height());
}

QRect RectValue(QStringView text) {
    if (!text.startsWith(u"@Rect(") || !text.endsWith(u')')) return {};
    const QList<QStringView> numbers = text.sliced(6, text.size() - 7).split(u' ', Qt::SkipEmptyParts);
    if (numbers.size() != 4) return {};
    int values[4];
    for (qsizetype i = 0; i < 4; ++i) {
        bool ok = false;
        values[i] = numbers[i].toInt(&ok);
        if (!ok) return {};
    }
    return {values[0], values[1], values[2], values[3]};
}

DesktopLayout ParseLayout(const QString& text) {
    DesktopLayout layout;
    QString section;
    for (QStringView line : QStringView(text).split(u'\n')) {
        line = line.trimmed();
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            section = line.sliced(1, line.size() - 2).toString();
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0) continue;
        const QString key = section + QLatin1Char('/') + line.first(equals).trimmed().toString();
        const QStringView value = line.sliced(equals + 1).trimmed();
        if (key == u"Frame/maximized") layout.maximized = value == u"true";
        if (key == u"Frame/place") layout.place = RectValue(value);
        if (key == u"Archive/offerAdd") layout.offerArchiveAdd = value == u"true";
        for (Mode mode : kAllModes) {
            if (key == TableKey(mode)) layout.tables[static_cast<size_t>(Index(mode))] = RectValue(value);
            if (key == kMaximizedTableKey && value == QLatin1String(WindowText(mode))) layout.maximizedTable = mode;
        }
    }
    return layout;
}

QString LayoutText(const DesktopLayout& layout) {
    QString text = QStringLiteral("[Frame]\nmaximized=%1\nplace=%2\n")
                       .arg(layout.maximized ? QStringLiteral("true") : QStringLiteral("false"), RectText(layout.place));
    QString tables;
    for (Mode mode : kAllModes) {
        const QRect& place = layout.tables[static_cast<size_t>(Index(mode))];
        if (place.isValid()) tables += QString::fromLatin1(WindowText(mode)) + u'=' + RectText(place) + u'\n';
    }
    if (layout.maximizedTable) {
        tables += QStringLiteral("maximized=") + QString::fromLatin1(WindowText(*layout.maximizedTable)) + u'\n';
    }
    if (!tables.isEmpty()) text += QStringLiteral("\n[Tables]\n") + tables;
    if (layout.offerArchiveAdd) text += QStringLiteral("\n[Archive]\nofferAdd=true\n");
    return text;
}

// The layout of the last run; the defaults when there is none, or when the
// file is refused (a folder, FIFO or device, or far too large: told).
DesktopLayout ReadLayout(Prompter& prompter) {
    const std::string path = LayoutFilePath();
    std::string text;
    const FileStatus status = ReadSmallTextFile(path, text, kLayoutFileLimit);
    if (status == FileStatus::NotRegularFile || status == FileStatus::TooLarge) {
        prompter.error(ReadProblemText(status, path, ""), "READ ERROR");
    }
    return status == FileStatus::Ok ? ParseLayout(QString::fromUtf8(text)) : DesktopLayout{};
}

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
            case QEvent::KeyRelease:  // Shift+Up/Down and Space mark too
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

FrameDesktop::FrameDesktop(QMainWindow& frame, QWidget* clientViewport, const ReadingStore& store,
                           Prompter& prompter)
    : frame_(frame), store_(store), statusLabel_(new QLabel(&frame)), emptyHint_(MakeEmptyHint(clientViewport)),
      recentFiles_(ReadRecentFiles(DataDirectory(), prompter)), layout_(ReadLayout(prompter)) {
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
    const QRect& place = layout_.place;
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect desktop = screen != nullptr ? screen->availableGeometry() : place;
    // A place off the screen (another monitor then) is not restored.
    if (!layout_.maximized && place.isValid() && desktop.intersects(place)) {
        frame_.setGeometry(place);
        frame_.show();
        return;
    }
    // The whole screen, also where no window manager maximizes windows.
    if (screen != nullptr) frame_.resize(desktop.size());
    frame_.showMaximized();
}

std::array<QRect, kModeCount> FrameDesktop::rememberedTablePlaces() const { return layout_.tables; }

void FrameDesktop::saveLayout(const std::array<TableWindow*, kModeCount>& tables, bool stacked) {
    layout_.maximized = frame_.isMaximized();
    layout_.place = layout_.maximized ? frame_.normalGeometry() : frame_.geometry();
    if (std::any_of(tables.begin(), tables.end(), [](const TableWindow* w) { return w != nullptr; })) {
        layout_.tables = {};
        layout_.maximizedTable.reset();
        for (Mode mode : kAllModes) {
            const TableWindow* window = tables[static_cast<size_t>(Index(mode))];
            if (window == nullptr) continue;
            if (!stacked && !window->isMinimized()) layout_.tables[static_cast<size_t>(Index(mode))] = window->normalPlace();
            if (window->isMaximized()) layout_.maximizedTable = mode;
        }
    }
    // Kept for the next run only: a layout that cannot be written is not worth a message.
    if (EnsureDataDirectory(DataDirectory())) {
        WriteFileAtomically(LayoutFilePath(), LayoutText(layout_).toStdString());
    }
}

void FrameDesktop::updateStatus() {
    statusLabel_->setText(QString::fromStdString(ReadingTallyText(store_)));
    emptyHint_->setVisible(!store_.hasReadings());
}

QString FrameDesktop::statusText() const { return statusLabel_->text(); }

void FrameDesktop::watchMarking(QAbstractScrollArea* tableView) {
    auto* watcher = new MarkWatcher(tableView, [this] { updateStatus(); });
    tableView->installEventFilter(watcher);              // the marking keys
    tableView->viewport()->installEventFilter(watcher);  // the clicks
}

}  // namespace ravik
