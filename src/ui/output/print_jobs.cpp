#include "ui/output/print_jobs.h"

#include <QCoreApplication>
#include <QIODevice>
#include <QPdfWriter>
#include <QWidget>
#include <string_view>

#include "ui/output/abort_dialog.h"
#include "ui/output/page_printers.h"
#include "ui/output/printer_setup.h"
#include "core/platform/file_io.h"
#include "core/platform/prompter.h"
#include "core/views/spectrum_plot.h"

namespace ravik {

namespace {

constexpr int kPdfResolution = 300;

// The PDF writer's output device: every byte goes into a staged file. The
// first failed write (a full disk) is kept and reported at the end; what
// comes after it is dropped.
class StagedFileDevice final : public QIODevice {
public:
    explicit StagedFileDevice(StagedFile& file) : file_(file) { open(QIODevice::WriteOnly | QIODevice::Unbuffered); }
    FileStatus status() const { return status_; }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* /*data*/, qint64 /*size*/) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        if (status_ == FileStatus::Ok) status_ = file_.append(std::string_view(data, static_cast<size_t>(size)));
        return status_ == FileStatus::Ok ? size : -1;
    }

private:
    StagedFile& file_;
    FileStatus status_ = FileStatus::Ok;
};

std::string PdfFailureText(FileStatus status, const std::string& path) {
    if (status == FileStatus::NotRegularFile) return ReadProblemText(status, path, "");
    const char* what = status == FileStatus::WriteFailed ? "Error Writing File\n" : "Cannot Create File\n";
    return what + path + "\nPDF Not Written";
}

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

bool WriteStagedPdf(const std::string& path, const std::function<bool(QPdfWriter&)>& draw,
                    const std::function<bool()>& cancelled, std::string& error) {
    std::vector<StagedFile> files;
    files.emplace_back(path);
    StagedFile& file = files.front();
    // The temporary is made before any page is drawn, so a target that is
    // refused or a folder that cannot be written costs no drawing.
    FileStatus status = file.append({});
    bool drawn = false;
    if (status == FileStatus::Ok) {
        StagedFileDevice device(file);
        {
            QPdfWriter writer(&device);
            writer.setResolution(kPdfResolution);
            writer.setCreator(QStringLiteral("RAVIK"));
            drawn = draw(writer);
        }
        status = device.status();
    }
    if (cancelled && cancelled()) {
        error.clear();  // the staged file is discarded
        return false;
    }
    if (status == FileStatus::Ok && !drawn) status = FileStatus::CannotCreate;
    if (status == FileStatus::Ok) status = file.finish();
    if (status == FileStatus::Ok) status = CommitStagedFiles(files);
    if (status == FileStatus::Ok) return true;
    error = PdfFailureText(status, path);
    return false;
}

bool PrintRequestsToPdf(const std::string& path, const PrintSource& source, const std::vector<PrintRequest>& requests,
                        std::string& error, const PageHooks& hooks) {
    const auto draw = [&](QPdfWriter& writer) {
        writer.setPageLayout(PageLayoutOf(source.settings));
        writer.setTitle(QString::fromLatin1(requests.empty() ? "RAVIK" : DocumentName(requests.front())));
        PageSink sink(writer, hooks);
        bool drawn = sink.isActive();
        for (const PrintRequest& request : requests) {
            if (!drawn) break;
            drawn = RunRequest(sink, source, request) == JobOutcome::Printed;
        }
        return sink.finish() && drawn;
    };
    return WriteStagedPdf(path, draw, hooks.aborted, error);
}

}  // namespace ravik
