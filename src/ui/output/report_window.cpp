#include "ui/output/report_window.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileDialog>
#include <QLabel>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProgressDialog>
#include <QToolBar>
#include <QVBoxLayout>

#include "core/platform/file_io.h"
#include "core/platform/prompter.h"

namespace ravik {

ReportPreviewWindow::ReportPreviewWindow(ReportSource source, std::vector<std::string> warnings, std::string inputPath,
                                         Prompter& prompter, QWidget* parent)
    : QDialog(parent),
      source_(std::move(source)),
      templateWarnings_(std::move(warnings)),
      inputPath_(std::move(inputPath)),
      prompter_(prompter),
      printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    setObjectName(QStringLiteral("ReportPreview"));
    setWindowTitle(QStringLiteral("Report Preview"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    printer_->setPageLayout(ReportPageLayout(source_.layoutTemplate));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* tools = new QToolBar(this);
    const auto addAction = [&](const QString& text, const QKeySequence& key, auto slot) {
        QAction* action = tools->addAction(text);
        action->setShortcut(key);
        action->setToolTip(QStringLiteral("%1 (%2)").arg(QString(text).remove(QLatin1Char('&')), key.toString()));
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    addAction(tr("&Print..."), QKeySequence::Print, &ReportPreviewWindow::print);
    addAction(tr("Save &PDF..."), QKeySequence::Save, &ReportPreviewWindow::savePdfAs);
    tools->addSeparator();
    layout->addWidget(tools);
    note_ = new QLabel(this);
    note_->setObjectName(QStringLiteral("note"));
    note_->setWordWrap(true);
    note_->setStyleSheet(QStringLiteral("color: #a00000; padding: 4px"));
    note_->hide();
    layout->addWidget(note_);
    preview_ = new QPrintPreviewWidget(printer_.get(), this);
    layout->addWidget(preview_);
    connect(preview_, &QPrintPreviewWidget::paintRequested, this, &ReportPreviewWindow::paintPages);
    addAction(tr("Zoom &In"), QKeySequence::ZoomIn, [this] { preview_->zoomIn(); });
    addAction(tr("Zoom &Out"), QKeySequence::ZoomOut, [this] { preview_->zoomOut(); });
    addAction(tr("Fit &Width"), QKeySequence(Qt::CTRL | Qt::Key_1), [this] { preview_->fitToWidth(); });
    addAction(tr("&Close"), QKeySequence(Qt::Key_Escape), [this] { reject(); });
    resize(1000, 800);
}

ReportPreviewWindow::~ReportPreviewWindow() = default;

bool ReportPreviewWindow::drawWithProgress(const QString& what,
                                           const std::function<bool(const ReportProgress&)>& draw) {
    QProgressDialog progress(what, tr("Cancel"), 0, 0, isVisible() ? this : nullptr);
    progress.setWindowTitle(QStringLiteral("Report"));
    progress.setMinimumDuration(300);
    progress.setWindowModality(Qt::WindowModal);
    warnings_ = templateWarnings_;
    return draw([&progress](int page, int pages) {
        progress.setMaximum(pages);
        progress.setValue(page);
        progress.setLabelText(QObject::tr("Page %1 of %2").arg(page).arg(pages));
        QCoreApplication::processEvents();
        return !progress.wasCanceled();
    });
}

void ReportPreviewWindow::showWarnings() {
    if (warnings_.empty()) {
        note_->hide();
        return;
    }
    QString text;
    for (const std::string& warning : warnings_) text += (text.isEmpty() ? "" : "\n") + QString::fromStdString(warning);
    note_->setText(text);
    note_->show();
}

void ReportPreviewWindow::paintPages(QPrinter* printer) {
    drawWithProgress(tr("Building the preview..."), [&](const ReportProgress& progress) {
        return PaintReport(*printer, source_, warnings_, progress);
    });
    showWarnings();
}

bool ReportPreviewWindow::savePdf(const std::string& path) {
    if (!inputPath_.empty() && SameFile(path, inputPath_)) {
        prompter_.error("Cannot Write Over the Input File\n" + path, "SAVE ERROR");
        return false;
    }
    std::string error;
    const bool written = drawWithProgress(tr("Writing the PDF..."), [&](const ReportProgress& progress) {
        return WriteReportPdf(path, source_, warnings_, error, progress);
    });
    showWarnings();
    if (!written && !error.empty()) prompter_.error(error, "SAVE ERROR");
    return written;
}

void ReportPreviewWindow::savePdfAs() {
    // The dialog asks before it lets an existing file be chosen.
    const QString chosen = QFileDialog::getSaveFileName(this, tr("Save PDF"), QStringLiteral("report.pdf"),
                                                        tr("PDF files (*.pdf)"));
    if (chosen.isEmpty()) return;
    savePdf(chosen.toStdString());
}

void ReportPreviewWindow::print() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(ReportPageLayout(source_.layoutTemplate));
    printer.setDocName(QStringLiteral("Inspection Report"));
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted) return;
    const bool printed = drawWithProgress(tr("Printing..."), [&](const ReportProgress& progress) {
        return PaintReport(printer, source_, warnings_, progress);
    });
    if (!printed) printer.abort();
}

}  // namespace ravik
