#include "ui/output/print_jobs.h"

#include <QCoreApplication>
#include <QPdfWriter>
#include <QWidget>
#include <cstdio>

#include "ui/common/qt_text.h"
#include "ui/output/abort_dialog.h"
#include "ui/output/page_printers.h"
#include "ui/output/printer_setup.h"
#include "core/platform/prompter.h"
#include "core/views/spectrum_plot.h"

namespace ravik {

namespace {

constexpr int kPdfResolution = 300;

JobOutcome RunRequest(PageSink& sink, const PrintSource& source, const PrintRequest& request) {
    if (request.kind == PrintRequest::Kind::Spectra) return PrintSpectraJob(sink, source, request.param);
    return PrintTableJob(sink, source, request.param);
}

}  // namespace

bool RequestHasReadings(const ReadingStore& store, const PrintRequest& request) {
    if (request.kind == PrintRequest::Kind::Spectra) {
        const std::optional<Mode> mode = ModeOfKind(request.param);
        return mode && store.count(*mode) > 0;
    }
    if (request.param == kStatusTableSelector) {
        return store.count(Mode::Paint) + store.count(Mode::Bulk) + store.count(Mode::Thin) + store.count(Mode::Alloy) > 0;
    }
    return request.param >= 0 && request.param < kModeCount && store.count(static_cast<Mode>(request.param)) > 0;
}

const char* DocumentName(const PrintRequest& request) {
    return request.kind == PrintRequest::Kind::Spectra ? "RAVIK Spectra Print" : "RAVIK XRF Table Print";
}

void RunPrinterJob(QWidget* owner, QPrinter& printer, const PrintSource& source, const PrintRequest& request,
                   Prompter& prompter) {
    printer.setDocName(QString::fromLatin1(DocumentName(request)));
    AbortDialog abort(JobText(request, source.fileName), owner);
    abort.show();
    if (owner != nullptr) owner->setEnabled(false);
    // The abort window stays usable while the frame is disabled.
    abort.setEnabled(true);
    QCoreApplication::processEvents();
    PageSink sink(printer, {[] { QCoreApplication::processEvents(); }, [&abort] { return abort.cancelled(); }});
    if (!sink.isActive()) {
        prompter.error("Unable to start print job", "ERROR");
    } else if (RunRequest(sink, source, request) == JobOutcome::Failed) {
        prompter.error("Problem with print job", "ERROR");
        printer.abort();
    }
    sink.finish();
    abort.close();
    if (owner != nullptr) {
        owner->setEnabled(true);
        owner->activateWindow();
    }
}

bool PrintRequestsToPdf(const std::string& path, const PrintSource& source, const std::vector<PrintRequest>& requests,
                        std::string& error, const PageHooks& hooks) {
    const std::string partial = path + ".part";
    bool written = false;
    {
        QPdfWriter writer(PathToQString(partial));
        writer.setResolution(kPdfResolution);
        writer.setPageLayout(PageLayoutOf(source.settings));
        writer.setTitle(QString::fromLatin1(requests.empty() ? "RAVIK" : DocumentName(requests.front())));
        writer.setCreator(QStringLiteral("RAVIK"));
        PageSink sink(writer, hooks);
        written = sink.isActive();
        for (const PrintRequest& request : requests) {
            if (!written) break;
            written = RunRequest(sink, source, request) == JobOutcome::Printed;
        }
        written = sink.finish() && written;
    }
    if (written && std::rename(partial.c_str(), path.c_str()) == 0) return true;
    std::remove(partial.c_str());
    if (!(hooks.aborted && hooks.aborted())) error = "Cannot write " + path;
    return false;
}

}  // namespace ravik
