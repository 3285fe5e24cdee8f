#pragma once
// "PrintDialogBox": what to output (table, low or high spectra, status),
// which readings, the mode and the device (printer, PDF file, export file
// or spreadsheet). The printer's requests go to the frame; PDF files and exports are
// written here.

#include <QDialog>
#include <functional>
#include <map>

#include "core/output/output_choices.h"
#include "core/output/print_layout.h"

class QAbstractButton;
class QPushButton;

namespace ravik {

class FileChooser;
class Prompter;

namespace print_control {
inline constexpr int kTable = 1031;
inline constexpr int kLowSpectrum = 1032;
inline constexpr int kHighSpectrum = 1035;
inline constexpr int kStatus = 1036;
inline constexpr int kAll = 1046;
inline constexpr int kMarked = 1047;
inline constexpr int kPositive = 1059;
inline constexpr int kNegative = 1061;
inline constexpr int kIncomplete = 1060;
inline constexpr int kPrinter = 1113;
inline constexpr int kExportFile = 1114;
inline constexpr int kPdfFile = 1115;
inline constexpr int kSpreadsheet = 1116;
inline constexpr int kSubResults = 1185;
inline constexpr int kFinalResults = 1186;
inline constexpr int kFirstMode = 1062;  // Paint; then Bulk, Thin, Alloy, Signature
inline constexpr int kNoError = 1067;
inline constexpr int kOk = 1;
inline constexpr int kConfigure = 1034;
inline constexpr int kCancel = 2;
}  // namespace print_control

struct PrintDialogContext {
    const ReadingStore& store;
    const Settings& settings;
    const std::string& currentFileName;
    OutputChoices& choices;  // remembered from one opening to the next
    Prompter& prompter;
    FileChooser& chooser;
};

class PrintDialog : public QDialog {
    Q_OBJECT
public:
    explicit PrintDialog(const PrintDialogContext& context, QWidget* parent = nullptr);

    // The printer's requests, in order (set by the frame).
    std::function<void(const PrintRequest&)> sendRequest;
    // "Con&figure" is greyed until an action is given.
    void setConfigureAction(std::function<void()> action);

    // The controls' handlers.
    void clickMode(Mode mode);
    void clickPrinter();
    void clickExportFile();
    void clickPdfFile();
    void clickSpreadsheet();
    // OK: false when the dialog stays open (nothing ticked).
    bool pressOk();
    void pressCancel();

    QAbstractButton* control(int id) const;

private:
    void buildControls();
    void fillFromChoices();
    void applyModeRules(Mode mode);
    void setSpectraEnabled(bool enabled);
    void readKindsAndStage();
    void writePdf();
    void writeExport();
    void writeSpreadsheet();
    // The kinds a spreadsheet cannot hold are greyed while it is the device.
    void greyForSpreadsheet();

    PrintDialogContext context_;
    std::map<int, QAbstractButton*> controls_;
    QPushButton* configure_ = nullptr;
    std::function<void()> configureAction_;
};

}  // namespace ravik
