#include "ui/output/report_setup_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "core/platform/prompter.h"
#include "ui/output/report_painter.h"

namespace ravik {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }
std::string S(const QString& text) { return text.toStdString(); }

std::string InspectorLines(const std::vector<ReportInspector>& inspectors) {
    std::string text;
    for (const ReportInspector& inspector : inspectors) {
        text += inspector.name;
        if (!inspector.certification.empty()) text += "; " + inspector.certification;
        text += "\n";
    }
    return text;
}

std::vector<ReportInspector> InspectorsOf(const QString& text) {
    std::vector<ReportInspector> inspectors;
    for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const qsizetype semicolon = line.indexOf(QLatin1Char(';'));
        ReportInspector inspector;
        inspector.name = S(line.left(semicolon < 0 ? line.size() : semicolon).trimmed());
        if (semicolon >= 0) inspector.certification = S(line.mid(semicolon + 1).trimmed());
        if (!inspector.name.empty()) inspectors.push_back(std::move(inspector));
    }
    return inspectors;
}

}  // namespace

ReportSetupDialog::ReportSetupDialog(std::string path, const ReportTemplate& value,
                                     const std::vector<std::string>& warnings, Prompter& prompter, QWidget* parent)
    : QDialog(parent), path_(std::move(path)), prompter_(prompter) {
    setObjectName(QStringLiteral("ReportSetup"));
    setWindowTitle(QStringLiteral("Report Setup"));
    auto* outer = new QVBoxLayout(this);
    if (!warnings.empty()) {
        QString text = QStringLiteral("Left out of %1:").arg(Q(path_));
        for (const std::string& warning : warnings) text += QStringLiteral("\n  ") + Q(warning);
        auto* label = new QLabel(text, this);
        label->setObjectName(QStringLiteral("warnings"));
        label->setStyleSheet(QStringLiteral("color: #a00000"));
        label->setWordWrap(true);
        outer->addWidget(label);
    }
    auto* page = new QWidget;
    form_ = new QFormLayout(page);
    addLine("firm", tr("&Firm name:"));
    firmAddress_ = addText("firm_address", tr("Firm &address:"));
    addLine("telephone", tr("&Telephone:"));
    addLine("licence", tr("&Licence / certification:"));
    auto* browse = new QPushButton(tr("&Browse..."), page);
    auto* logoRow = new QHBoxLayout;
    auto* logo = new QLineEdit(page);
    logo->setObjectName(QStringLiteral("logo"));
    logoRow->addWidget(logo);
    logoRow->addWidget(browse);
    auto* logoLabel = new QLabel(tr("Lo&go (PNG, JPEG, SVG):"), page);
    logoLabel->setBuddy(logo);
    form_->addRow(logoLabel, logoRow);
    connect(browse, &QPushButton::clicked, this, &ReportSetupDialog::browseLogo);
    addLine("client", tr("&Client / owner:"));
    clientAddress_ = addText("client_address", tr("Client a&ddress:"));
    propertyAddress_ = addText("property_address", tr("&Property address:"));
    addLine("units", tr("&Units:"));
    addLine("construction_date", tr("Date of co&nstruction:"));
    inspectors_ = addText("inspectors", tr("&Inspectors\n(name; certification,\none a line):"));
    method_ = addText("method", tr("&Method:"));
    addLine("footer", tr("Footer te&xt:"));
    paper_ = new QComboBox(page);
    paper_->setObjectName(QStringLiteral("paper"));
    paper_->addItems({QStringLiteral("Letter"), QStringLiteral("A4"), QStringLiteral("Legal")});
    form_->addRow(tr("Pap&er:"), paper_);
    orientation_ = new QComboBox(page);
    orientation_->setObjectName(QStringLiteral("orientation"));
    orientation_->addItems({QStringLiteral("landscape"), QStringLiteral("portrait")});
    form_->addRow(tr("O&rientation:"), orientation_);
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(page);
    scroll->setWidgetResizable(true);
    outer->addWidget(scroll);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (accept_()) accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    outer->addWidget(buttons);
    setTemplate(value);
    resize(620, 720);
    field("firm")->setFocus();  // typing starts in the first field
}

QLineEdit* ReportSetupDialog::addLine(const char* name, const QString& label) {
    auto* edit = new QLineEdit;
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMaxLength(static_cast<int>(kReportValueLimit));
    form_->addRow(label, edit);
    return edit;
}

QPlainTextEdit* ReportSetupDialog::addText(const char* name, const QString& label) {
    auto* edit = new QPlainTextEdit;
    edit->setObjectName(QString::fromLatin1(name));
    edit->setTabChangesFocus(true);
    edit->setFixedHeight(edit->fontMetrics().lineSpacing() * 3 + 12);
    form_->addRow(label, edit);
    return edit;
}

QLineEdit* ReportSetupDialog::field(const char* name) const { return findChild<QLineEdit*>(QString::fromLatin1(name)); }

void ReportSetupDialog::setTemplate(const ReportTemplate& value) {
    field("firm")->setText(Q(value.firmName));
    firmAddress_->setPlainText(Q(value.firmAddress));
    field("telephone")->setText(Q(value.telephone));
    field("licence")->setText(Q(value.licence));
    field("logo")->setText(Q(value.logoPath));
    field("client")->setText(Q(value.clientName));
    clientAddress_->setPlainText(Q(value.clientAddress));
    propertyAddress_->setPlainText(Q(value.propertyAddress));
    field("units")->setText(Q(value.units));
    field("construction_date")->setText(Q(value.constructionDate));
    inspectors_->setPlainText(Q(InspectorLines(value.inspectors)));
    method_->setPlainText(Q(value.method));
    field("footer")->setText(Q(value.footer));
    paper_->setCurrentText(Q(value.paperSize));
    orientation_->setCurrentText(Q(value.orientation));
}

ReportTemplate ReportSetupDialog::currentTemplate() const {
    ReportTemplate value;
    value.firmName = S(field("firm")->text());
    value.firmAddress = S(firmAddress_->toPlainText());
    value.telephone = S(field("telephone")->text());
    value.licence = S(field("licence")->text());
    value.logoPath = S(field("logo")->text());
    value.clientName = S(field("client")->text());
    value.clientAddress = S(clientAddress_->toPlainText());
    value.propertyAddress = S(propertyAddress_->toPlainText());
    value.units = S(field("units")->text());
    value.constructionDate = S(field("construction_date")->text());
    value.inspectors = InspectorsOf(inspectors_->toPlainText());
    value.method = S(method_->toPlainText());
    value.footer = S(field("footer")->text());
    value.paperSize = S(paper_->currentText());
    value.orientation = S(orientation_->currentText());
    return value;
}

bool ReportSetupDialog::accept_() {
    const ReportTemplate value = currentTemplate();
    // What the file could not read back is refused here, not written.
    std::vector<std::string> problems;
    ParseReportTemplate(ReportTemplateText(value), problems);
    if (!problems.empty()) {
        prompter_.error("The report template cannot hold this:\n" + problems.front(), "Report Setup");
        return false;
    }
    if (!value.logoPath.empty() && !ReportLogoUsable(value, nullptr)) {
        prompter_.notice("The logo " + value.logoPath +
                             "\ncannot be read as a PNG, JPEG or SVG picture; reports show no logo until it can.",
                         "Report Setup");
    }
    if (WriteReportTemplate(path_, value) != FileStatus::Ok) {
        prompter_.error("Cannot write " + path_ + "\nThe report template is unchanged.", "Report Setup");
        return false;
    }
    return true;
}

void ReportSetupDialog::browseLogo() {
    const QString chosen = QFileDialog::getOpenFileName(this, tr("Logo"), field("logo")->text(),
                                                        tr("Pictures (*.png *.jpg *.jpeg *.svg)"));
    if (!chosen.isEmpty()) field("logo")->setText(chosen);
}

}  // namespace ravik
