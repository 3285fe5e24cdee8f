#include "ui/frame/site_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/shell/command_ids.h"
#include "ui/common/qt_text.h"
#include "core/readings/reading_store.h"

namespace ravik {

SiteDialog::SiteDialog(const std::string& site, QWidget* parent)
    : QDialog(parent), original_(ToQString(site)), edit_(new QLineEdit(this)) {
    setObjectName(QStringLiteral("SiteDialogBox"));
    setWindowTitle(QStringLiteral("Site"));
    SetControlId(edit_, control::kSiteEdit);
    edit_->setMaxLength(static_cast<int>(kSiteMaxLength));
    edit_->setMinimumWidth(edit_->fontMetrics().averageCharWidth() * 48);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    SetControlId(buttons->button(QDialogButtonBox::Ok), 1);
    SetControlId(buttons->button(QDialogButtonBox::Cancel), 2);
    QPushButton* resetButton = buttons->addButton(QStringLiteral("&Reset"), QDialogButtonBox::ResetRole);
    SetControlId(resetButton, control::kSiteReset);
    connect(resetButton, &QPushButton::clicked, this, &SiteDialog::reset);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("&Site:"), this);
    label->setBuddy(edit_);
    layout->addWidget(label);
    layout->addWidget(edit_);
    layout->addWidget(buttons);
    reset();
}

void SiteDialog::reset() {
    edit_->setText(original_);
    edit_->selectAll();
    edit_->setFocus();
}

std::string SiteDialog::site() const { return FromQString(edit_->text()).substr(0, kSiteMaxLength); }

}  // namespace ravik
