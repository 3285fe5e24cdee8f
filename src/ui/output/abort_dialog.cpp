#include "ui/output/abort_dialog.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/common/qt_text.h"

namespace ravik {

namespace {
constexpr int kJobText = 402;
constexpr int kCancelButton = 2;
}  // namespace

AbortDialog::AbortDialog(const std::string& jobText, QWidget* parent, PrintTarget target) : QDialog(parent) {
    setObjectName(QStringLiteral("AbortDlg"));
    setWindowTitle(QStringLiteral("Print File"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    const auto centredLabel = [&](const QString& text) {
        auto* label = new QLabel(text, this);
        label->setAlignment(Qt::AlignCenter);
        layout->addWidget(label);
        return label;
    };
    centredLabel(QStringLiteral("Sending"));
    SetControlId(centredLabel(ToQString(jobText)), kJobText);
    centredLabel(target == PrintTarget::PdfFile ? QStringLiteral("to PDF file.") : QStringLiteral("to print spooler."));
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    SetControlId(cancel, kCancelButton);
    layout->addWidget(cancel, 0, Qt::AlignCenter);
    connect(cancel, &QPushButton::clicked, this, &AbortDialog::cancelJob);
}

}  // namespace ravik
