#pragma once
// The client report's preview window: the pages as they will print, with
// Print and Save PDF, and progress while the pages are built.

#include <QDialog>
#include <memory>
#include <string>
#include <vector>

#include "ui/output/report_painter.h"

class QLabel;
class QPrinter;
class QPrintPreviewWidget;

namespace ravik {

class Prompter;

class ReportPreviewWindow : public QDialog {
    Q_OBJECT
public:
    // inputPath is the readings file the report is made from: a PDF is never
    // written over it.
    ReportPreviewWindow(ReportSource source, std::vector<std::string> warnings, std::string inputPath,
                        Prompter& prompter, QWidget* parent = nullptr);
    ~ReportPreviewWindow() override;

    QPrintPreviewWidget* preview() const { return preview_; }
    // Writes the report to path (whole or not at all); failures are told.
    bool savePdf(const std::string& path);
    // Save PDF: asks for a file name, then savePdf.
    void savePdfAs();
    // Print: the print dialog, then the pages to the chosen printer.
    void print();
    // The warnings of the last build (a bad template value, an unreadable logo).
    const std::vector<std::string>& warnings() const { return warnings_; }

private:
    void paintPages(QPrinter* printer);
    bool drawWithProgress(const QString& what, const std::function<bool(const ReportProgress&)>& draw);
    void showWarnings();

    ReportSource source_;
    std::vector<std::string> templateWarnings_;
    std::vector<std::string> warnings_;
    std::string inputPath_;
    Prompter& prompter_;
    std::unique_ptr<QPrinter> printer_;
    QPrintPreviewWidget* preview_ = nullptr;
    QLabel* note_ = nullptr;
};

}  // namespace ravik
