#pragma once
// What the frame keeps of the desktop: the recent files and their entries in
// the File menu, the frame's place and the table arrangement kept between
// runs in "desktop.ini" beside the settings file, and the status bar with its
// tally of readings and the hint shown in an empty frame.

#include <QRect>
#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/readings/mode.h"
#include "core/shell/recent_files.h"

class QAbstractScrollArea;
class QAction;
class QLabel;
class QMainWindow;
class QWidget;

namespace ravik {

class Prompter;
struct ReadingStore;
class TableWindow;

// What "desktop.ini" keeps: the frame's place and whether it was maximized,
// the places of the table windows by mode (invalid where none is kept) and
// the table that was maximized, if one was.
struct DesktopLayout {
    bool maximized = false;
    QRect place;
    std::array<QRect, kModeCount> tables;
    std::optional<Mode> maximizedTable;
    // "[Archive]" "offerAdd=true": saving a readings file offers to add it to the archive.
    bool offerArchiveAdd = false;
};

class FrameDesktop {
public:
    using OpenFile = std::function<void(const std::string& path)>;

    // Puts the status label in the frame's status bar and the empty-frame
    // hint in the client's viewport, and reads the recent files and the
    // layout (a file of either that is refused is told to the prompter and
    // the defaults are used); the tally counts the store's readings.
    FrameDesktop(QMainWindow& frame, QWidget* clientViewport, const ReadingStore& store, Prompter& prompter);

    // The recent files are listed above the File menu's Exit; choosing one
    // calls open with its path.
    void listRecentFilesAbove(QAction* exit, OpenFile open);
    const RecentFiles& recentFiles() const { return recentFiles_; }
    // Both keep the list in the data directory and in the menu.
    void rememberRecentFile(const std::string& path);
    void forgetRecentFile(const std::string& path);

    // Shows the frame where it was at the end of the last run: maximized
    // the first time, or when it was then.
    void showWhereItWas();
    // The places of the tables of the last run, by mode; an invalid
    // rectangle where none is remembered.
    std::array<QRect, kModeCount> rememberedTablePlaces() const;
    // The mode of the table that was maximized at the end of the last run.
    std::optional<Mode> rememberedMaximizedTable() const { return layout_.maximizedTable; }
    // Keeps the frame's place and the tables' arrangement: without tables
    // the last arrangement stays; stacked tables need no places. A maximized
    // table keeps its place as a window and is remembered as maximized.
    void saveLayout(const std::array<TableWindow*, kModeCount>& tables, bool stacked);

    bool offerArchiveAdd() const { return layout_.offerArchiveAdd; }
    void setOfferArchiveAdd(bool on) { layout_.offerArchiveAdd = on; }

    // The tally of readings and marks, and the hint while nothing is open.
    void updateStatus();
    QString statusText() const;
    // The status follows the marks that clicks and keys in a table change.
    void watchMarking(QAbstractScrollArea* tableView);

private:
    void fillRecentFilesMenu();
    void keepRecentFiles();

    QMainWindow& frame_;
    const ReadingStore& store_;
    QLabel* statusLabel_ = nullptr;
    QLabel* emptyHint_ = nullptr;
    RecentFiles recentFiles_;
    DesktopLayout layout_;
    QAction* exit_ = nullptr;
    OpenFile openRecent_;
    std::vector<QAction*> recentActions_;  // the list and its separators in the File menu
};

}  // namespace ravik
