#pragma once
// "AbortDlg": the modeless window shown while a print job runs, with the
// job's text, where the pages go, and a Cancel button that stops the job
// after its page.

#include <QDialog>

class QLabel;

namespace ravik {

// Where a job's pages go: the line under the job's text names it.
enum class PrintTarget { Spooler, PdfFile };

class AbortDialog : public QDialog {
    Q_OBJECT
public:
    AbortDialog(const std::string& jobText, QWidget* parent = nullptr, PrintTarget target = PrintTarget::Spooler);

    bool cancelled() const { return cancelled_; }
    // The Cancel button.
    void cancelJob() { cancelled_ = true; }

private:
    bool cancelled_ = false;
};

}  // namespace ravik
