#pragma once
// "Report Setup": the client report's template (firm, client, property,
// inspectors, method, footer, paper) edited and written to report.ini.

#include <QDialog>
#include <string>
#include <vector>

#include "core/output/report_template.h"

class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace ravik {

class Prompter;

class ReportSetupDialog : public QDialog {
    Q_OBJECT
public:
    // Shows value; warnings (bad values left out while reading) stand above the fields.
    ReportSetupDialog(std::string path, const ReportTemplate& value, const std::vector<std::string>& warnings,
                      Prompter& prompter, QWidget* parent = nullptr);

    // The template as the fields hold it. Inspectors are one a line, as
    // "name; certification".
    ReportTemplate currentTemplate() const;
    void setTemplate(const ReportTemplate& value);
    // OK: writes the file whole; on failure tells so and stays open.
    bool accept_();
    // Browse: a logo picture chosen with a file dialog.
    void browseLogo();

    QLineEdit* field(const char* name) const;

private:
    QLineEdit* addLine(const char* name, const QString& label);
    QPlainTextEdit* addText(const char* name, const QString& label);

    std::string path_;
    Prompter& prompter_;
    QFormLayout* form_ = nullptr;
    QPlainTextEdit* firmAddress_ = nullptr;
    QPlainTextEdit* clientAddress_ = nullptr;
    QPlainTextEdit* propertyAddress_ = nullptr;
    QPlainTextEdit* inspectors_ = nullptr;
    QPlainTextEdit* method_ = nullptr;
    QComboBox* paper_ = nullptr;
    QComboBox* orientation_ = nullptr;
};

}  // namespace ravik
