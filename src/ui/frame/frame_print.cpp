// The frame's output commands: Print (the Print dialog), the printer's
// table and spectrum jobs it requests, Printer Setup, and the spectrum
// windows the tables open.

#include <QCoreApplication>
#include <QMdiArea>
#include <QResizeEvent>

#include "ui/frame/frame_window.h"
#include "ui/common/qt_text.h"
#include "ui/output/print_dialog.h"
#include "ui/output/print_jobs.h"
#include "ui/output/printer_setup.h"
#include "core/platform/data_dir.h"
#include "core/platform/prompter.h"
#include "core/settings/settings_file.h"
#include "ui/views/spectrum_window.h"
#include "core/views/table_marking.h"
#include "ui/views/table_window.h"

namespace ravik {

void FrameWindow::connectOutputDialogs() {
    // The configuration dialogs' "&Setup" and printer name are Printer Setup's.
    ConfigurationHooks hooks;
    hooks.printerSetup = [this] { return RunPrinterSetup(this, program_.settings); };
    hooks.printerName = [this] { return PrinterDisplayName(program_.settings); };
    hooks.printerPage = [this] { return PageLayoutOf(program_.settings).fullRectPixels(300).size(); };
    setPrinterHooks(std::move(hooks));
    // A spectrum window's right double-click opens its reading's editor.
    spectrumEditAction = [this](int32_t reading) {
        Mode mode = Mode::Paint;
        int row = 0;
        if (!program_.store.locked && FindReadingRow(program_.store, reading, mode, row)) editReading(mode, row);
    };
}

void FrameWindow::print() {
    const PrintDialogContext context{program_.store, program_.settings, program_.shell.currentFileName,
                                     program_.shell.outputChoices, prompter_, fileChooser_};
    PrintDialog dialog(context, this);
    dialog.setConfigureAction([this] { configure(ConfigKind::Setup); });
    std::vector<PrintRequest> requests;
    dialog.sendRequest = [&requests](const PrintRequest& request) { requests.push_back(request); };
    dialog.exec();
    for (const PrintRequest& request : requests) runPrintRequest(request);
    // The dialog may have changed the columns: the tables lay out again.
    relayOutTableWindows();
}

void FrameWindow::runPrintRequest(const PrintRequest& request) {
    std::unique_ptr<QPrinter> printer =
        printerFactory ? printerFactory() : MakePrinterContext(program_.settings, prompter_);
    if (printer == nullptr) {
        prompter_.notice("Cannot print " + PrinterDisplayName(program_.settings), "");
        return;
    }
    if (!RequestHasReadings(program_.store, request)) return;
    const PrintSource source{program_.store, program_.settings, SelectionFrom(program_.shell.outputChoices),
                             program_.shell.currentFileName};
    RunPrinterJob(this, *printer, source, request, prompter_);
}

void FrameWindow::printerSetup() {
    if (RunPrinterSetup(this, program_.settings)) WriteSettings(DataDirectory(), program_.settings, prompter_);
}

SpectrumWindow* FrameWindow::openSpectrumWindow(int32_t reading, int kind) {
    const QString title = SpectrumWindow::TitleFor(reading, kind);
    for (QMdiSubWindow* open : mdiArea_->subWindowList()) {
        auto* window = qobject_cast<SpectrumWindow*>(open);
        if (window == nullptr || window->windowTitle().compare(title, Qt::CaseInsensitive) != 0) continue;
        if (window->isMinimized()) window->showNormal();
        mdiArea_->setActiveSubWindow(window);
        return window;
    }
    auto* window = new SpectrumWindow(program_, reading, kind);
    mdiArea_->addSubWindow(window);
    SpectrumView* view = window->view();
    connect(view, &SpectrumView::spectrumRequested, this, &FrameWindow::openSpectrumWindow);
    connect(view, &SpectrumView::commandRequested, this, [this](int command) { handleCommand(command); });
    connect(window, &SpectrumWindow::compareRequested, this, &FrameWindow::compareSpectrum);
    connect(view, &SpectrumView::editRequested, this, [this](int32_t shown) {
        if (spectrumEditAction) spectrumEditAction(shown);
    });
    window->show();
    mdiArea_->setActiveSubWindow(window);
    view->setFocus();
    return window;
}

}  // namespace ravik
