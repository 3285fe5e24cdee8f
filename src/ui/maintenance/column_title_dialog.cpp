#include "ui/maintenance/column_title_dialog.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QVBoxLayout>

#include "ui/common/dialog_buttons.h"
#include "ui/common/qt_text.h"
#include "core/maintenance/column_title_edit.h"
#include "core/readings/reading_store.h"

namespace ravik {

ColumnTitleDialog::ColumnTitleDialog(ReadingStore& store, Mode mode, int column, QWidget* parent)
    : QDialog(parent), store_(store), mode_(mode), column_(column), edit_(new QLineEdit(this)) {
    setObjectName(QStringLiteral("ChangeColumnBox"));
    setWindowTitle(QStringLiteral("Edit Column"));
    SetControlId(edit_, 1110);
    edit_->setMaxLength(static_cast<int>(kEditedTitleMaxLength));
    edit_->setMinimumWidth(edit_->fontMetrics().averageCharWidth() * 24);
    edit_->setText(ToQString(store.titles[mode][static_cast<size_t>(column)].view()));
    edit_->selectAll();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(edit_);
    layout->addWidget(OkCancelButtons(this, [this] { ok(); }));
}

void ColumnTitleDialog::ok() {
    done(StoreColumnTitle(store_, mode_, column_, FromQString(edit_->text())) ? 1 : 0);
}

}  // namespace ravik
