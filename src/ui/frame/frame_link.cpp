// The frame's instrument commands: Receive, Connection ended, Remote and
// Alloy Library. Each runs its dialog over the one instrument port, which
// is open only while the dialog runs.

#include "ui/frame/frame_window.h"
#include "ui/frame/quick_button_bar.h"
#include "core/shell/command_ids.h"
#include "ui/library/library_dialog.h"
#include "ui/link/dump_dialog.h"
#include "core/link/instrument_port.h"
#include "ui/link/remote_dialog.h"
#include "core/platform/clock.h"
#include "core/platform/prompter.h"

namespace ravik {

void FrameWindow::receiveDump() {
    updateCommandStates();
    // The store is only replaced when a dump is accepted, so a save that
    // did not happen stops here rather than losing the work later.
    if (!askToSaveWork("Save1")) return;
    updateCommandStates();
    InstrumentPort port;
    DumpDialog dialog(port, prompter_, program_.settings, DumpTempPath(), this);
    if (!dialog.start(PortConfigFromSettings(program_.settings))) {
        updateCommandStates();
        return;
    }
    program_.shell.portOpen = true;
    updateCommandStates();
    if (dialog.exec() == 1) {
        // Like New without its question (it was asked above), then an Open of the dump.
        closeChildWindows(false);
        program_.shell.currentFileName.clear();
        program_.store.fileTitle.clear();
        program_.settings.download = kDownloadDone;
        const DumpAcceptResult accepted = dialog.receiver().accept(program_.store);
        showStoreReadings(false);
        program_.shell.unsavedChanges = accepted.unsavedChanges;
        setFileCaption();
    }
    program_.shell.portOpen = port.isOpen();
    handleCommand(command::kConnectionEnded);
}

void FrameWindow::connectionEnded() { updateCommandStates(); }

void FrameWindow::remoteControl() {
    InstrumentPort port;
    SystemClock clock;
    RemoteDialog dialog(port, prompter_, clock, PortConfigFromSettings(program_.settings), this);
    program_.shell.portOpen = true;
    updateCommandStates();
    dialog.start();
    dialog.exec();
    program_.shell.portOpen = port.isOpen();
    handleCommand(command::kConnectionEnded);
}

void FrameWindow::alloyLibrary() {
    InstrumentPort port;
    SystemClock clock;
    LibraryDialog dialog(port, prompter_, fileChooser_, clock, PortConfigFromSettings(program_.settings), this);
    if (dialog.openLibrary()) dialog.exec();
    updateCommandStates();
}

}  // namespace ravik
