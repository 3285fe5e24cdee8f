#include "ui/maintenance/sort_dialog.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/common/qt_text.h"
#include "core/platform/format_text.h"
#include "core/readings/reading_store.h"

namespace ravik {

namespace {

QRadioButton* Radio(const QString& label, int id, QWidget* parent) {
    auto* radio = new QRadioButton(label, parent);
    SetControlId(radio, id);
    return radio;
}

}  // namespace

SortDialog::SortDialog(ReadingStore& store, const Settings& settings, Mode mode, int column, SortChoices& choices,
                       Prompter& prompter, QWidget* parent)
    : QDialog(parent),
      store_(store),
      settings_(settings),
      mode_(mode),
      column_(column),
      remembered_(choices),
      choices_(choices),
      prompter_(prompter),
      progress_(new QLabel(this)),
      okButton_(new QPushButton(QStringLiteral("&OK"), this)),
      cancelButton_(new QPushButton(QStringLiteral("&Cancel"), this)) {
    setObjectName(QStringLiteral("SortColumnsBox"));
    setWindowTitle(QStringLiteral("Sorting"));
    auto* title = new QLabel(ToQString(store.titles[mode][static_cast<size_t>(column)].view()), this);
    SetControlId(title, 1110);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    title->setAlignment(Qt::AlignCenter);

    auto* direction = new QGroupBox(QStringLiteral("Order"), this);
    ascending_ = Radio(QStringLiteral("&Ascending"), 1111, direction);
    descending_ = Radio(QStringLiteral("&Descending"), 1112, direction);
    auto* comparison = new QGroupBox(QStringLiteral("Compare"), this);
    QRadioButton* text = Radio(QStringLiteral("&Text"), 1135, comparison);
    QRadioButton* numeric = Radio(QStringLiteral("&Numeric"), 1114, comparison);
    (choices_.direction == SortDirection::Ascending ? ascending_ : descending_)->setChecked(true);
    (choices_.comparison == SortComparison::Text ? text : numeric)->setChecked(true);
    connect(ascending_, &QRadioButton::clicked, this, [this] { chooseDirection(SortDirection::Ascending); });
    connect(descending_, &QRadioButton::clicked, this, [this] { chooseDirection(SortDirection::Descending); });
    connect(text, &QRadioButton::clicked, this, [this] { chooseComparison(SortComparison::Text); });
    connect(numeric, &QRadioButton::clicked, this, [this] { chooseComparison(SortComparison::Numeric); });
    auto* directionRows = new QVBoxLayout(direction);
    directionRows->addWidget(ascending_);
    directionRows->addWidget(descending_);
    auto* comparisonRows = new QVBoxLayout(comparison);
    comparisonRows->addWidget(text);
    comparisonRows->addWidget(numeric);

    SetControlId(progress_, 1120);
    progress_->setAlignment(Qt::AlignCenter);
    progress_->setMinimumWidth(progress_->fontMetrics().horizontalAdvance(QStringLiteral("Sorting 5100 Records")) + 20);
    SetControlId(okButton_, 1);
    SetControlId(cancelButton_, 2);
    okButton_->setDefault(true);
    // "AC": a hidden button that acts as Cancel.
    auto* hiddenCancel = new QPushButton(QStringLiteral("AC"), this);
    SetControlId(hiddenCancel, 1121);
    hiddenCancel->hide();
    connect(okButton_, &QPushButton::clicked, this, &SortDialog::ok);
    connect(cancelButton_, &QPushButton::clicked, this, &SortDialog::cancel);
    connect(hiddenCancel, &QPushButton::clicked, this, &SortDialog::cancel);

    auto* grid = new QGridLayout(this);
    grid->addWidget(title, 0, 0, 1, 2);
    grid->addWidget(direction, 1, 0);
    grid->addWidget(comparison, 1, 1);
    grid->addWidget(progress_, 2, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton_);
    buttons->addWidget(cancelButton_);
    grid->addLayout(buttons, 3, 0, 1, 2);
}

void SortDialog::chooseDirection(SortDirection direction) { choices_.direction = direction; }
void SortDialog::chooseComparison(SortComparison comparison) { choices_.comparison = comparison; }

void SortDialog::ok() {
    if (sorting_) return;
    sorting_ = true;
    for (QWidget* control : std::initializer_list<QWidget*>{okButton_, ascending_, descending_}) {
        control->setEnabled(false);
    }
    cancelButton_->setText(QStringLiteral("&Abort"));
    cancelButton_->setFocus();
    progress_->setText(ToQString(FormatText("Sorting %d Records", store_.count(mode_))));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    remembered_ = choices_;
    // Between passes the dialog takes its pending events: Abort can be
    // pressed, the window repaints.
    const bool sorted = SortModeList(store_, settings_, mode_, column_, choices_, prompter_,
                 [](int) { QCoreApplication::processEvents(); });
    QApplication::restoreOverrideCursor();
    sorting_ = false;
    done(sorted ? 1 : 0);
}

void SortDialog::cancel() {
    // While the passes run the order is written back whole in any case;
    // the question is asked all the same and the dialog then closes with 1.
    if (!ConfirmSortAbort(prompter_) || sorting_) return;
    done(0);
}

}  // namespace ravik
