#include "ui/output/print_dialog.h"

#include <QCheckBox>
#include <QApplication>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <memory>

#include "ui/common/qt_text.h"
#include "ui/output/abort_dialog.h"
#include "core/platform/file_io.h"
#include "core/output/export_flow.h"
#include "core/output/spreadsheet.h"
#include "ui/output/print_jobs.h"
#include "core/platform/file_chooser.h"
#include "core/platform/prompter.h"

namespace ravik {

namespace {

using namespace print_control;

int ModeControl(Mode mode) { return kFirstMode + Index(mode); }

// The open file's name with ".pdf" in place of its extension.
std::string PdfStartName(const std::string& currentFileName) {
    const std::string name = currentFileName.empty() ? std::string("report") : currentFileName;
    return name.substr(0, ExtensionStart(name)) + ".pdf";
}

}  // namespace

PrintDialog::PrintDialog(const PrintDialogContext& context, QWidget* parent) : QDialog(parent), context_(context) {
    setObjectName(QStringLiteral("PrintDialogBox"));
    setWindowTitle(QStringLiteral("Print"));
    buildControls();
    fillFromChoices();
}

void PrintDialog::buildControls() {
    const auto add = [&](QAbstractButton* button, int id, QLayout* layout) {
        SetControlId(button, id);
        controls_[id] = button;
        layout->addWidget(button);
        return button;
    };
    const auto group = [&](const char* title) {
        auto* box = new QGroupBox(QString::fromLatin1(title), this);
        box->setFlat(true);
        box->setLayout(new QVBoxLayout);
        return box;
    };
    QGroupBox* print = group("Print:");
    add(new QCheckBox(QStringLiteral("&Data Table")), kTable, print->layout());
    add(new QCheckBox(QStringLiteral("&Low Spectrum")), kLowSpectrum, print->layout());
    add(new QCheckBox(QStringLiteral("&Hi Spectrum")), kHighSpectrum, print->layout());
    add(new QCheckBox(QStringLiteral("&Status")), kStatus, print->layout());

    QGroupBox* reading = group("Reading:");
    auto* which = new QHBoxLayout;
    add(new QRadioButton(QStringLiteral("&All")), kAll, which);
    add(new QRadioButton(QStringLiteral("&Marked")), kMarked, which);
    static_cast<QVBoxLayout*>(reading->layout())->addLayout(which);
    add(new QCheckBox(QStringLiteral("Positi&ve")), kPositive, reading->layout());
    add(new QCheckBox(QStringLiteral("&Negative")), kNegative, reading->layout());
    add(new QCheckBox(QStringLiteral("&Incomplete")), kIncomplete, reading->layout());
    QAbstractButton* noError = add(new QCheckBox(QStringLiteral("&No error")), kNoError, reading->layout());
    noError->hide();

    QGroupBox* type = group("Type:");
    constexpr const char* kModeLabels[kModeCount] = {"&Paint", "&Bulk", "&Thin", "Allo&y", "Si&gnature"};
    for (Mode mode : kAllModes) {
        QAbstractButton* button = add(new QRadioButton(QString::fromLatin1(kModeLabels[Index(mode)])), ModeControl(mode),
                                      type->layout());
        connect(button, &QAbstractButton::clicked, this, [this, mode] { clickMode(mode); });
    }

    QGroupBox* results = group("Results:");
    add(new QRadioButton(QStringLiteral("Sub-Results")), kSubResults, results->layout());
    add(new QRadioButton(QStringLiteral("Final Results")), kFinalResults, results->layout());

    QGroupBox* device = group("Device:");
    connect(add(new QRadioButton(QStringLiteral("P&rinter")), kPrinter, device->layout()), &QAbstractButton::clicked,
            this, &PrintDialog::clickPrinter);
    connect(add(new QRadioButton(QStringLiteral("PDF Fil&e")), kPdfFile, device->layout()), &QAbstractButton::clicked,
            this, &PrintDialog::clickPdfFile);
    connect(add(new QRadioButton(QStringLiteral("E&xport File")), kExportFile, device->layout()),
            &QAbstractButton::clicked, this, &PrintDialog::clickExportFile);
    // Every letter of its name is taken: the arrow keys and Space reach it from the other devices.
    connect(add(new QRadioButton(QStringLiteral("Spreadsheet")), kSpreadsheet, device->layout()),
            &QAbstractButton::clicked, this, &PrintDialog::clickSpreadsheet);

    auto* buttons = new QVBoxLayout;
    auto* ok = static_cast<QPushButton*>(add(new QPushButton(QStringLiteral("&OK")), kOk, buttons));
    ok->setDefault(true);
    configure_ = static_cast<QPushButton*>(add(new QPushButton(QStringLiteral("Con&figure")), kConfigure, buttons));
    configure_->setEnabled(false);
    add(new QPushButton(QStringLiteral("&Cancel")), kCancel, buttons);
    buttons->addStretch();
    connect(ok, &QPushButton::clicked, this, &PrintDialog::pressOk);
    connect(configure_, &QPushButton::clicked, this, [this] {
        if (configureAction_) configureAction_();
    });
    connect(controls_[kCancel], &QPushButton::clicked, this, &PrintDialog::pressCancel);

    auto* grid = new QGridLayout(this);
    grid->addWidget(print, 0, 0);
    grid->addWidget(reading, 0, 1);
    grid->addWidget(type, 1, 0);
    auto* right = new QVBoxLayout;
    right->addWidget(results);
    right->addWidget(device);
    grid->addLayout(right, 1, 1);
    grid->addLayout(buttons, 0, 2, 2, 1);
}

QAbstractButton* PrintDialog::control(int id) const {
    const auto found = controls_.find(id);
    return found == controls_.end() ? nullptr : found->second;
}

void PrintDialog::setConfigureAction(std::function<void()> action) {
    configureAction_ = std::move(action);
    configure_->setEnabled(static_cast<bool>(configureAction_));
}

void PrintDialog::fillFromChoices() {
    OutputChoices& choices = context_.choices;
    for (Mode mode : kAllModes) control(ModeControl(mode))->setEnabled(context_.store.count(mode) > 0);
    if (choices.mode && context_.store.count(*choices.mode) == 0) choices.mode.reset();
    control(kTable)->setChecked(choices.table);
    control(kLowSpectrum)->setChecked(choices.lowSpectrum);
    control(kHighSpectrum)->setChecked(choices.highSpectrum);
    control(kStatus)->setChecked(choices.status);
    control(choices.markedOnly ? kMarked : kAll)->setChecked(true);
    control(kPositive)->setChecked(choices.positive);
    control(kNegative)->setChecked(choices.negative);
    control(kIncomplete)->setChecked(choices.incomplete);
    control(choices.subResults ? kSubResults : kFinalResults)->setChecked(true);
    const int device = choices.device == OutputDevice::ExportFile    ? kExportFile
                       : choices.device == OutputDevice::PdfFile     ? kPdfFile
                       : choices.device == OutputDevice::Spreadsheet ? kSpreadsheet
                                                                     : kPrinter;
    control(device)->setChecked(true);

    control(kHighSpectrum)->setEnabled(false);
    for (int id : {kPositive, kNegative, kIncomplete, kSubResults, kFinalResults}) control(id)->setEnabled(false);
    const bool downloaded = context_.settings.download == kDownloadDone;
    control(kStatus)->setEnabled(downloaded);
    if (!downloaded && choices.device == OutputDevice::ExportFile) setSpectraEnabled(false);
    if (choices.mode) {
        control(ModeControl(*choices.mode))->setChecked(true);
        applyModeRules(*choices.mode);
    }
    greyForSpreadsheet();
}

void PrintDialog::setSpectraEnabled(bool enabled) {
    control(kLowSpectrum)->setEnabled(enabled);
    control(kHighSpectrum)->setEnabled(enabled);
}

void PrintDialog::applyModeRules(Mode mode) {
    control(kLowSpectrum)->setEnabled(true);
    control(kHighSpectrum)->setEnabled(mode == Mode::Paint || mode == Mode::Bulk || mode == Mode::Thin);
    const bool thin = mode == Mode::Thin;
    control(kSubResults)->setEnabled(thin);
    control(kFinalResults)->setEnabled(thin);
    if (thin) control(context_.choices.subResults ? kSubResults : kFinalResults)->setChecked(true);
    for (int id : {kPositive, kNegative, kIncomplete}) control(id)->setEnabled(mode == Mode::Paint);
}

void PrintDialog::clickMode(Mode mode) {
    control(ModeControl(mode))->setChecked(true);
    applyModeRules(mode);
    greyForSpreadsheet();
}

void PrintDialog::clickPrinter() {
    control(kPrinter)->setChecked(true);
    setSpectraEnabled(true);
    control(kStatus)->setEnabled(context_.settings.download == kDownloadDone);
}

void PrintDialog::clickPdfFile() {
    control(kPdfFile)->setChecked(true);
    setSpectraEnabled(true);
    control(kStatus)->setEnabled(context_.settings.download == kDownloadDone);
}

void PrintDialog::clickExportFile() {
    control(kExportFile)->setChecked(true);
    setSpectraEnabled(context_.settings.download == kDownloadDone);
    control(kStatus)->setEnabled(context_.settings.download == kDownloadDone);
}

void PrintDialog::clickSpreadsheet() {
    control(kSpreadsheet)->setChecked(true);
    greyForSpreadsheet();
}

void PrintDialog::greyForSpreadsheet() {
    if (!control(kSpreadsheet)->isChecked()) return;
    setSpectraEnabled(false);
    control(kStatus)->setEnabled(false);
}

void PrintDialog::readKindsAndStage() {
    OutputChoices& choices = context_.choices;
    choices.table = control(kTable)->isChecked();
    choices.lowSpectrum = control(kLowSpectrum)->isChecked();
    choices.highSpectrum = control(kHighSpectrum)->isChecked();
    choices.status = control(kStatus)->isChecked();
    choices.subResults = control(kSubResults)->isChecked();
}

bool PrintDialog::pressOk() {
    OutputChoices& choices = context_.choices;
    choices.markedOnly = control(kMarked)->isChecked();
    readKindsAndStage();
    if (!RequireOutputKind(choices, context_.prompter)) return false;
    // The classes are read even when their boxes are greyed.
    choices.positive = control(kPositive)->isChecked();
    choices.negative = control(kNegative)->isChecked();
    choices.incomplete = control(kIncomplete)->isChecked();
    choices.device = control(kExportFile)->isChecked()    ? OutputDevice::ExportFile
                     : control(kPdfFile)->isChecked()     ? OutputDevice::PdfFile
                     : control(kSpreadsheet)->isChecked() ? OutputDevice::Spreadsheet
                                                          : OutputDevice::Printer;
    choices.mode.reset();
    for (Mode mode : kAllModes) {
        if (control(ModeControl(mode))->isChecked() && control(ModeControl(mode))->isEnabled()) choices.mode = mode;
    }
    // A spreadsheet holds the data table and nothing else.
    if (choices.device == OutputDevice::Spreadsheet && !choices.table) {
        context_.prompter.notice(kNoOutputKindNotice, "NOTICE");
        return false;
    }
    switch (choices.device) {
        case OutputDevice::Printer:
            for (const PrintRequest& request : RequestsFor(choices, context_.settings)) {
                if (sendRequest) sendRequest(request);
            }
            break;
        case OutputDevice::PdfFile: writePdf(); break;
        case OutputDevice::ExportFile: writeExport(); break;
        case OutputDevice::Spreadsheet: writeSpreadsheet(); break;
    }
    accept();
    return true;
}

void PrintDialog::pressCancel() {
    readKindsAndStage();
    reject();
}

void PrintDialog::writePdf() {
    std::vector<PrintRequest> requests;
    for (const PrintRequest& request : RequestsFor(context_.choices, context_.settings)) {
        if (RequestHasReadings(context_.store, request)) requests.push_back(request);
    }
    if (requests.empty()) return;
    std::string path = PdfStartName(context_.currentFileName);
    if (!context_.chooser.askFileName(path, kPurposePrintPdf)) return;
    // The readings are in memory, but their file would be gone.
    if (SameFile(path, context_.currentFileName)) {
        context_.prompter.error("Cannot Write Over the Input File\n" + path, "SAVE ERROR");
        return;
    }
    const PrintSource source{context_.store, context_.settings, SelectionFrom(context_.choices),
                             context_.currentFileName};
    AbortDialog abort(JobText(requests.front(), context_.currentFileName), this, PrintTarget::PdfFile);
    abort.show();
    std::string error;
    const PageHooks hooks{[] { QCoreApplication::processEvents(); }, [&abort] { return abort.cancelled(); }};
    if (!PrintRequestsToPdf(path, source, requests, error, hooks) && !error.empty()) {
        context_.prompter.error(error, "SAVE ERROR");
    }
}

void PrintDialog::writeExport() {
    // The progress window is made with the first spectra row, after the name
    // and replace questions, so that it never covers them.
    std::unique_ptr<QProgressDialog> progress;
    const ExportRequest request{context_.store, context_.settings, context_.choices};
    std::string path = context_.currentFileName;
    RunFileExport(request, path, context_.chooser, context_.prompter, [this, &progress] {
        if (!progress) {
            progress = std::make_unique<QProgressDialog>(QStringLiteral("Writing spectra..."), QString(), 0, 0, this);
            progress->setWindowTitle(QStringLiteral("Export File"));
            progress->setMinimumDuration(500);
        }
        progress->setValue(0);
        QCoreApplication::processEvents();
    });
}

// The mode's table alone: the other kinds have no place in it.
void PrintDialog::writeSpreadsheet() {
    const OutputChoices& choices = context_.choices;
    if (!choices.mode || context_.store.count(*choices.mode) == 0) return;
    const SheetSource source{context_.store, context_.settings, *choices.mode, SelectionFrom(choices)};
    bool busy = false;
    RunSpreadsheetExport(source, context_.currentFileName, context_.chooser, context_.prompter, [&busy] {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        busy = true;
    });
    if (busy) QApplication::restoreOverrideCursor();
}

}  // namespace ravik
