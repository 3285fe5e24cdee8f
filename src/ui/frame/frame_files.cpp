// The frame's File commands: New, Open, Append, Save, Save As and Save As
// Locked with the save question they share, and the other ways a readings
// file opens: dropped onto the frame or picked from the recent files.

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>

#include "ui/frame/frame_window.h"
#include "core/platform/file_chooser.h"
#include "core/platform/file_io.h"
#include "core/platform/prompter.h"
#include "core/readings/readings_saver.h"
#include "core/shell/shell_rules.h"
#include "ui/common/qt_text.h"

namespace ravik {

namespace {

// The first local file of a drag, or nothing.
QString DroppedFile(const QMimeData* data) {
    if (data == nullptr) return {};
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) return url.toLocalFile();
    }
    return {};
}

bool NothingOpened(LoadOutcome outcome) {
    return outcome == LoadOutcome::Unreadable || outcome == LoadOutcome::NotReadingsFile ||
           outcome == LoadOutcome::TooManyReadings;
}

}  // namespace

bool FrameWindow::askToSaveWork(const char* caption) {
    if (!program_.shell.unsavedChanges) return true;
    // Enter saves: the default is never No, the answer that drops the work.
    switch (prompter_.askWithDefault("Do you wish to save work?", caption, Buttons::YesNoCancel, Icon::Question,
                                     Answer::Yes)) {
        case Answer::Yes:
            // Unsaved work is never dropped because its save failed or its
            // name dialog was cancelled: the command stops instead.
            return saveWork();
        case Answer::No: return true;
        default: return false;
    }
}

bool FrameWindow::saveWork() {
    ShellState& shell = program_.shell;
    bool saved = false;
    if (shell.currentFileName.empty()) {
        saved = chooseAndSave(kPurposeSaveReadings);
    } else {
        const std::string name = shell.currentFileName;
        saved = SaveReadingsFile(program_.store, name, name, shell.currentFileName, prompter_);
    }
    if (saved) {
        shell.unsavedChanges = false;
        offerToArchive(shell.currentFileName);
    }
    return saved;
}

bool FrameWindow::chooseAndSave(int purpose) {
    ShellState& shell = program_.shell;
    const std::string previous = shell.currentFileName;
    std::string chosen = previous;
    // A file never saved starts from its site's name.
    if (chosen.empty()) chosen = SiteStartName(program_.store.site);
    if (!fileChooser_.askFileName(chosen, purpose)) return false;
    shell.currentFileName = chosen;
    if (!SaveReadingsFile(program_.store, chosen, previous, shell.currentFileName, prompter_)) return false;
    desktop_->rememberRecentFile(shell.currentFileName);
    return true;
}

void FrameWindow::newFile() {
    if (!askToSaveWork()) return;
    program_.shell.currentFileName.clear();
    program_.store.fileTitle.clear();
    setFileCaption();
    closeChildWindows(false);
    updateCommandStates();
}

void FrameWindow::openWithDialog() {
    if (!askToSaveWork()) return;
    updateCommandStates();
    std::string chosen = program_.shell.currentFileName;
    if (fileChooser_.askFileName(chosen, kPurposeOpenReadings)) {
        openFile(chosen);
    } else {
        setFileCaption();
    }
}

void FrameWindow::openFile(const std::string& path) {
    // A file that is no readings file, or cannot be read, is only told: the
    // open file, its tables and the recent files stay as they are.
    if (NothingOpened(CheckReadingsFile(path, prompter_))) return;
    ShellState& shell = program_.shell;
    shell.currentFileName = path;
    program_.store.fileTitle.clear();
    // A file that could not be opened at all is not the open file.
    if (NothingOpened(loadAndShowFile(path, kOpenCommand))) shell.currentFileName.clear();
    if (!shell.currentFileName.empty()) desktop_->rememberRecentFile(path);
    shell.unsavedChanges = false;
    updateCommandStates();
    setFileCaption();
}

void FrameWindow::openFromDesktop(const std::string& path) {
    // Told before the save question: the readings it would replace stay open.
    if (NothingOpened(CheckReadingsFile(path, prompter_))) return;
    if (!askToSaveWork()) return;
    openFile(path);
}

void FrameWindow::openRecentFile(const std::string& path) {
    if (FileExists(path)) {
        openFromDesktop(path);
        return;
    }
    prompter_.notice(path + "\nThis file no longer exists; it is taken off the list of recent files.", "NOTICE");
    desktop_->forgetRecentFile(path);
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

void FrameWindow::appendFile() {
    std::string chosen = program_.shell.currentFileName;
    if (fileChooser_.askFileName(chosen, kPurposeOpenReadings)) {
        if (AppendExtensionsMatch(chosen, program_.shell.currentFileName)) {
            const int before = program_.store.readingCount;
            loadAndShowFile(chosen, kAppendCommand);
            if (program_.store.readingCount != before) program_.shell.unsavedChanges = true;
            setFileCaption();
        } else {
            prompter_.notice("Cannot Append Different File Versions", "Warning");
        }
    }
    updateCommandStates();
}

void FrameWindow::save() {
    saveWork();
    setFileCaption();
    updateCommandStates();
}

void FrameWindow::saveAs(int purpose) {
    const bool locking = purpose == kPurposeSaveLocked;
    if (locking) {
        if (!askToSaveWork()) return;
        updateCommandStates();
    }
    bool& locked = program_.store.locked;
    const bool wasLocked = locked;
    if (locking) locked = true;
    if (!chooseAndSave(purpose)) {
        locked = wasLocked;
        return;
    }
    program_.shell.unsavedChanges = false;
    updateCommandStates();
    setFileCaption();
    offerToArchive(program_.shell.currentFileName);
    // The table windows show what is on disk now.
    loadAndShowFile(program_.shell.currentFileName, kOpenCommand);
}

}  // namespace ravik
