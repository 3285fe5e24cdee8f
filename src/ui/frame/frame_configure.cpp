// The frame's Configure commands: the configuration dialogs and the column
// dialogs, and what their OK changes in the windows.

#include <QMdiArea>
#include <QMdiSubWindow>

#include "ui/frame/frame_window.h"
#include "core/platform/data_dir.h"
#include "ui/settings/column_dialog.h"
#include "ui/settings/configuration_dialog.h"
#include "ui/views/spectrum_window.h"
#include "ui/views/table_window.h"

namespace ravik {

namespace {

// Every document window draws itself again with the settings as they are
// now: the tables (colours) and the spectra (colours and vertical scale).
// Settings taken by an OK also take the spectra's labels off the old curves.
void RepaintDocumentWindows(const QMdiArea& client, bool settingsTaken) {
    for (QMdiSubWindow* window : client.subWindowList()) {
        if (auto* table = qobject_cast<TableWindow*>(window)) table->view()->viewport()->update();
        auto* spectrum = qobject_cast<SpectrumWindow*>(window);
        if (spectrum != nullptr && settingsTaken) spectrum->view()->settingsChanged();
        if (spectrum != nullptr && !settingsTaken) spectrum->view()->update();
    }
}

}  // namespace

void FrameWindow::setPrinterHooks(ConfigurationHooks hooks) { printerHooks_ = std::move(hooks); }

ConfigurationHooks FrameWindow::configurationHooks() {
    ConfigurationHooks hooks = printerHooks_;
    hooks.settingsApplied = [this] { applySettingsToWindows(); };
    hooks.columnsChanged = [this] { relayOutTableWindows(); };
    return hooks;
}

void FrameWindow::configure(ConfigKind kind) {
    ConfigurationDialog dialog(kind, program_.settings, program_.store.titles, DataDirectory(), prompter_,
                               configurationHooks(), this);
    dialog.exec();
    // The windows show the colours the dialog leaves: its own on OK, the
    // previous ones put back on Cancel.
    RepaintDocumentWindows(*mdiArea_, false);
}

void FrameWindow::editColumns(Mode mode) {
    ColumnDialog dialog(mode, program_.settings, program_.store.titles, DataDirectory(), prompter_,
                        [this] { relayOutTableWindows(); }, this);
    dialog.exec();
}

void FrameWindow::relayOutTableWindows() {
    // Every table at once, maximized and minimized ones too: a fixed font
    // size is shared by all of them.
    for (TableWindow* window : tables_) {
        if (window != nullptr) window->view()->relayOut();
    }
}

void FrameWindow::applySettingsToWindows() {
    relayOutTableWindows();
    applyBackground();
    RepaintDocumentWindows(*mdiArea_, true);
}

void FrameWindow::applyBackground() {
    const Rgb& background = program_.settings.color(ColorRole::Background);
    mdiArea_->setBackground(QColor(background.red, background.green, background.blue));
}

}  // namespace ravik
