// The frame's side of the readings archive: File, Find Readings..., opening
// a found reading marked in its table, and the offer to add a saved file.

#include <QMdiArea>
#include <QScrollBar>
#include <algorithm>

#include "core/archive/archive.h"
#include "core/platform/data_dir.h"
#include "core/platform/file_io.h"
#include "core/platform/prompter.h"
#include "ui/archive/find_readings_window.h"
#include "ui/frame/frame_window.h"
#include "ui/views/compare_window.h"
#include "ui/views/table_window.h"

namespace ravik {

void FrameWindow::findReadings() {
    if (findWindow_ == nullptr) {
        auto* window = new FindReadingsWindow(
            ResolveArchiveTarget("", DataDirectory()), program_.settings, desktop_->offerArchiveAdd(),
            [this](const std::string& path, int number) { openArchivedReading(path, number); },
            [this](bool on) { desktop_->setOfferArchiveAdd(on); }, this);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setCompare([this](std::vector<ComparedReading> readings) {
            if (!readings.empty()) showCompareWindow()->addReadings(std::move(readings));
        });
        findWindow_ = window;
    }
    findWindow_->show();
    findWindow_->raise();
    findWindow_->activateWindow();
}

void FrameWindow::openArchivedReading(const std::string& path, int readingNumber) {
    if (!FileExists(path)) {
        prompter_.notice(path + "\nThis file no longer exists; run \"ravik archive files\" to see what has gone.",
                         "NOTICE");
        return;
    }
    // The open file is kept when it is the one asked for and has no unsaved
    // changes; otherwise it is opened as a dropped file is (asking to save work).
    if (program_.shell.currentFileName != path || program_.shell.unsavedChanges) openFromDesktop(path);
    ReadingStore& store = program_.store;
    if (program_.shell.currentFileName != path || readingNumber < 1 || readingNumber > store.readingCount) return;
    store.flags(readingNumber) |= Marked;
    for (Mode mode : kAllModes) {
        const ModeList& list = store.list(mode);
        const auto place = std::find(list.begin(), list.end(), readingNumber);
        TableWindow* table = tableWindow(mode);
        if (place == list.end() || table == nullptr) continue;
        if (table->isMinimized()) table->showNormal();
        mdiArea_->setActiveSubWindow(table);
        table->view()->verticalScrollBar()->setValue(static_cast<int>(place - list.begin()));
    }
    repaintTableWindows();
    desktop_->updateStatus();
    activateWindow();
}

void FrameWindow::offerToArchive(const std::string& path) {
    if (!desktop_->offerArchiveAdd() || path.empty()) return;
    if (prompter_.ask(path + "\nAdd this readings file to the readings archive?", "Archive", Buttons::YesNo,
                      Icon::Question) != Answer::Yes) {
        return;
    }
    try {
        Archive archive(ResolveArchiveTarget("", DataDirectory()));
        const AddReport report = AddToArchive(archive, {path}).at(0);
        if (report.result == AddResult::Refused || report.result == AddResult::Damaged) {
            prompter_.error(path + "\n" + report.message, "Archive");
        }
    } catch (const ArchiveError& error) {
        prompter_.error(error.what(), "Archive");
    }
}

}  // namespace ravik
