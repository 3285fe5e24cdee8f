#include "ui/settings/column_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QVBoxLayout>

#include "ui/common/dialog_buttons.h"
#include "ui/common/qt_text.h"
#include "core/settings/configuration.h"
#include "core/settings/settings_file.h"

namespace ravik {

namespace {

// Boxes per column of the dialog's grid.
constexpr int kBoxesPerColumn = 12;

QString BoxLabel(const ColumnTitles& titles, Mode mode, int column) {
    const std::string_view title = titles[mode][static_cast<size_t>(column)].view();
    // An element slot no reading has named yet still has its box.
    return title.empty() ? QStringLiteral("(column %1)").arg(column) : ToQString(title);
}

}  // namespace

ColumnDialog::ColumnDialog(Mode mode, Settings& settings, const ColumnTitles& titles, std::string directory,
                           Prompter& prompter, std::function<void()> columnsChanged, QWidget* parent)
    : QDialog(parent),
      mode_(mode),
      settings_(settings),
      directory_(std::move(directory)),
      prompter_(prompter),
      columnsChanged_(std::move(columnsChanged)) {
    setObjectName(mode == Mode::Paint ? QStringLiteral("PAINTCOLUMNS") : QStringLiteral("BULKCOLUMNS"));
    setWindowTitle(QString::fromLatin1(ColumnDialogTitle(mode)));
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(18);
    const std::vector<bool> shown = ColumnBoxesOf(settings, mode);
    for (int j = 0; j < ColumnBoxCount(mode); ++j) {
        auto* box = new QCheckBox(BoxLabel(titles, mode, j), this);
        SetControlId(box, kFirstColumnBox + j);
        box->setChecked(shown[static_cast<size_t>(j)]);
        grid->addWidget(box, j % kBoxesPerColumn, j / kBoxesPerColumn);
        boxes_.push_back(box);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(OkCancelButtons(this, [this] { ok(); }));
}

void ColumnDialog::ok() {
    std::vector<bool> shown;
    for (const QCheckBox* box : boxes_) shown.push_back(box->isChecked());
    StoreColumnBoxes(settings_, mode_, shown);
    WriteSettings(directory_, settings_, prompter_);
    if (columnsChanged_) columnsChanged_();
    accept();
}

}  // namespace ravik
