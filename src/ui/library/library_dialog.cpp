#include "ui/library/library_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPalette>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "ui/common/qt_text.h"
#include "core/library/alloy_groups.h"
#include "core/library/library_source.h"
#include "ui/common/dialog_shell.h"
#include "core/platform/file_chooser.h"
#include "core/platform/prompter.h"

namespace ravik {

namespace {

using namespace library_dialog_control;

// Pairs 0..14 form the left column of edits, 15..22 the right one.
constexpr int kLeftColumnPairs = 15;

QListWidget* AddList(QWidget* parent, int id) {
    auto* list = new QListWidget(parent);
    SetControlId(list, id);
    list->setMinimumWidth(list->fontMetrics().averageCharWidth() * 26);
    QFont font(QStringLiteral("Monospace"));
    font.setStyleHint(QFont::TypeWriter);
    list->setFont(font);
    return list;
}

void FillList(QListWidget* list, const std::vector<LibraryLine>& lines) {
    const QSignalBlocker quiet(list);
    list->clear();
    for (const LibraryLine& line : lines) {
        auto* item = new QListWidgetItem(ToQString(line.text), list);
        if (line.isHeader()) {
            QFont bold = list->font();
            bold.setBold(true);
            item->setFont(bold);
        }
    }
}

// The row of the line for the alloy (or, for -1, the group's header); -1 when absent.
int RowOf(const std::vector<LibraryLine>& lines, int alloy, int group) {
    for (size_t row = 0; row < lines.size(); ++row) {
        const LibraryLine& line = lines[row];
        if (alloy >= 0 ? line.alloy == alloy : line.isHeader() && line.group == group) return static_cast<int>(row);
    }
    return -1;
}

// What the editor says when Send has finished: the download is complete
// and how many alloys went to the analyzer.
std::string DownloadCompleteText(int alloys) {
    return "Download complete\r\n" + std::to_string(alloys) + (alloys == 1 ? " alloy" : " alloys") +
           " sent to the analyzer";
}

}  // namespace

LibraryDialog::LibraryDialog(SerialLine& line, Prompter& prompter, FileChooser& chooser, Clock& clock,
                             const SerialPortConfig& config, QWidget* parent)
    : QDialog(parent), prompter_(prompter), chooser_(chooser), download_(line, prompter, clock, config) {
    setObjectName(QStringLiteral("LIBRARY"));
    setWindowTitle(QStringLiteral("Custom Alloy Library"));

    groupedList_ = AddList(this, kGroupedList);
    sortedList_ = AddList(this, kSortedList);
    sortedList_->hide();
    connect(groupedList_, &QListWidget::currentRowChanged, this, &LibraryDialog::selectRow);
    connect(sortedList_, &QListWidget::currentRowChanged, this, &LibraryDialog::selectRow);

    auto* countBox = new QGroupBox(QStringLiteral("Number of Alloys"), this);
    count_ = new QLabel(countBox);
    SetControlId(count_, kCount);
    (new QVBoxLayout(countBox))->addWidget(count_);
    progressBox_ = new QGroupBox(QStringLiteral("Library Download"), this);
    progress_ = new QLabel(progressBox_);
    SetControlId(progress_, library_control::kProgress);
    (new QVBoxLayout(progressBox_))->addWidget(progress_);
    progress_->hide();
    progressBox_->hide();

    auto* listColumn = new QVBoxLayout;
    listColumn->addWidget(groupedList_, 1);
    listColumn->addWidget(sortedList_, 1);
    listColumn->addWidget(countBox);
    listColumn->addWidget(progressBox_);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(listColumn, 1);
    layout->addWidget(buildLimitEdits());
    layout->addWidget(buildButtons());

    timer_.setInterval(kLibraryTickMillis);
    connect(&timer_, &QTimer::timeout, this, &LibraryDialog::tick);
}

QWidget* LibraryDialog::buildLimitEdits() {
    auto* panel = new QWidget(this);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(new QLabel(QStringLiteral("New Alloy Name"), panel));
    nameEdit_ = new QLineEdit(panel);
    SetControlId(nameEdit_, kNewName);
    nameEdit_->setMaxLength(static_cast<int>(kAlloyNameMaxLength));
    column->addWidget(nameEdit_);

    auto* limits = new QGroupBox(QStringLiteral("Limits (%)"), panel);
    auto* grid = new QGridLayout(limits);
    const int editWidth = nameEdit_->fontMetrics().horizontalAdvance(QStringLiteral("100.00")) + 16;
    for (int side = 0; side < 2; ++side) {
        grid->addWidget(new QLabel(QStringLiteral("Lo"), limits), 0, side * 3 + 1, Qt::AlignHCenter);
        grid->addWidget(new QLabel(QStringLiteral("Hi"), limits), 0, side * 3 + 2, Qt::AlignHCenter);
    }
    for (int pair = 0; pair < kEditPairCount; ++pair) {
        const int row = 1 + (pair < kLeftColumnPairs ? pair : pair - kLeftColumnPairs);
        const int left = pair < kLeftColumnPairs ? 0 : 3;
        auto* label = new QLabel(QString::fromLatin1(EditPairLabel(pair).data(), static_cast<int>(EditPairLabel(pair).size())), limits);
        limitLabels_[static_cast<size_t>(pair)] = label;
        grid->addWidget(label, row, left);
        for (int side = 0; side < 2; ++side) {
            auto* edit = new QLineEdit(limits);
            SetControlId(edit, kFirstLimitEdit + 2 * pair + side);
            edit->setFixedWidth(editWidth);
            edit->setAlignment(Qt::AlignRight);
            // Outside edit mode the limits are shown, greyed only in their frame: keep them readable.
            QPalette palette = edit->palette();
            palette.setColor(QPalette::Disabled, QPalette::Text, palette.color(QPalette::Active, QPalette::Text));
            edit->setPalette(palette);
            limitEdits_[static_cast<size_t>(pair)][static_cast<size_t>(side)] = edit;
            grid->addWidget(edit, row, left + 1 + side);
        }
    }
    grid->setColumnMinimumWidth(3, editWidth / 2);
    column->addWidget(limits);
    column->addStretch(1);
    return panel;
}

QPushButton* LibraryDialog::addButton(QWidget* parent, int id, const char* label) {
    auto* button = new QPushButton(QString::fromLatin1(label), parent);
    SetControlId(button, id);
    button->setAutoDefault(false);
    return button;
}

QWidget* LibraryDialog::buildButtons() {
    auto* panel = new QWidget(this);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    const std::pair<int, void (LibraryDialog::*)()> actions[] = {
        {kInsert, &LibraryDialog::insertAlloy}, {kCopy, &LibraryDialog::copyAlloy},
        {kDelete, &LibraryDialog::deleteAlloy}, {kEdit, &LibraryDialog::editAlloy},
        {kApply, &LibraryDialog::applyEdit},    {kCancelEdit, &LibraryDialog::cancelEdit},
        {kSort, &LibraryDialog::toggleSort},    {kSave, &LibraryDialog::saveLibrary},
        {kSend, &LibraryDialog::sendLibrary},   {kClose, &LibraryDialog::closeEditor},
    };
    const char* labels[] = {"Insert", "Copy", "Delete", "Edit", "Apply", "Cancel", "Sort", "Save", "Send", "Cancel"};
    for (size_t i = 0; i < std::size(actions); ++i) {
        // The file and transfer buttons stand apart from the editing ones.
        if (actions[i].first == kSort || actions[i].first == kSave || actions[i].first == kClose) column->addSpacing(12);
        QPushButton* button = addButton(panel, actions[i].first, labels[i]);
        connect(button, &QPushButton::clicked, this, actions[i].second);
        column->addWidget(button);
    }
    column->addStretch(1);
    return panel;
}

bool LibraryDialog::openLibrary() {
    std::string path;
    if (!chooser_.askFileName(path, kPurposeOpenLibrary)) return false;
    AlloyLibrary library;
    if (ReadLibraryFile(path, library, prompter_) == LibraryReadOutcome::Unreadable) return false;
    fileName_ = path;
    showLibrary(library);
    return true;
}

void LibraryDialog::showLibrary(const AlloyLibrary& library) {
    edited_ = EditedLibrary{library, false};
    editing_ = false;
    const std::vector<LibraryLine> lines = GroupedList(library);
    rebuildLists(lines.empty() ? -1 : lines.front().alloy, lines.empty() ? 0 : lines.front().group);
}

void LibraryDialog::rebuildLists(int alloy, int group) {
    grouped_ = GroupedList(edited_.library);
    sorted_ = SortedList(edited_.library);
    FillList(groupedList_, grouped_);
    FillList(sortedList_, sorted_);
    selectedAlloy_ = alloy;
    selectedGroup_ = group;
    const int groupedRow = RowOf(grouped_, alloy, group);
    int sortedRow = RowOf(sorted_, alloy, group);
    if (sortedRow < 0 && !sorted_.empty()) sortedRow = 0;
    {
        const QSignalBlocker quietGrouped(groupedList_);
        const QSignalBlocker quietSorted(sortedList_);
        groupedList_->setCurrentRow(groupedRow);
        sortedList_->setCurrentRow(sortedRow);
    }
    count_->setText(QString::number(edited_.library.alloys.size()));
    showSelection();
}

void LibraryDialog::selectRow(int row) {
    const std::vector<LibraryLine>& lines = shownLines();
    if (row < 0 || row >= static_cast<int>(lines.size())) return;
    selectedAlloy_ = lines[static_cast<size_t>(row)].alloy;
    selectedGroup_ = lines[static_cast<size_t>(row)].group;
    // Both lists show the selection: the other one follows.
    const QSignalBlocker quietGrouped(groupedList_);
    const QSignalBlocker quietSorted(sortedList_);
    shownList()->setCurrentRow(row);
    QListWidget* other = sortedView_ ? groupedList_ : sortedList_;
    const int otherRow = RowOf(sortedView_ ? grouped_ : sorted_, selectedAlloy_, selectedGroup_);
    if (otherRow >= 0) other->setCurrentRow(otherRow);
    showSelection();
}

const LibraryLine* LibraryDialog::selectedLine() const {
    const int row = RowOf(grouped_, selectedAlloy_, selectedGroup_);
    return row < 0 ? nullptr : &grouped_[static_cast<size_t>(row)];
}

void LibraryDialog::showSelection() {
    EditPairTexts texts;
    if (selectedAlloy_ >= 0) {
        texts = ShownEditPairs(edited_.library.alloys[static_cast<size_t>(selectedAlloy_)], selectedGroup_);
    }
    showTexts(texts);
    updateControls();
}

void LibraryDialog::showTexts(const EditPairTexts& texts) {
    for (int pair = 0; pair < kEditPairCount; ++pair) {
        const EditPairText& text = texts[static_cast<size_t>(pair)];
        limitEdits_[static_cast<size_t>(pair)][0]->setText(ToQString(text.low));
        limitEdits_[static_cast<size_t>(pair)][1]->setText(ToQString(text.high));
    }
}

void LibraryDialog::updateControls() {
    const bool browsing = !editing_ && !downloading();
    const bool alloy = selectedAlloy_ >= 0;
    const auto enable = [this](int id, bool enabled) {
        if (QWidget* control = FindControl(*this, id)) control->setEnabled(enabled);
    };
    groupedList_->setEnabled(browsing);
    sortedList_->setEnabled(browsing);
    enable(kInsert, browsing && !sortedView_);
    enable(kCopy, browsing && !sortedView_ && alloy);
    enable(kDelete, browsing && !sortedView_ && alloy);
    enable(kEdit, browsing && !sortedView_ && alloy);
    enable(kApply, editing_);
    enable(kCancelEdit, editing_);
    enable(kSort, browsing);
    enable(kSave, browsing);
    enable(kSend, browsing);
    enable(kClose, !editing_);
    nameEdit_->setEnabled(editing_);
    for (int pair = 0; pair < kEditPairCount; ++pair) {
        const bool used = alloy && SlotOfEditPair(selectedGroup_, pair).has_value();
        limitLabels_[static_cast<size_t>(pair)]->setEnabled(used || !alloy);
        for (QLineEdit* edit : limitEdits_[static_cast<size_t>(pair)]) edit->setEnabled(editing_ && used);
    }
    qobject_cast<QPushButton*>(FindControl(*this, kSort))->setText(sortedView_ ? QStringLiteral("Group") : QStringLiteral("Sort"));
}

bool LibraryDialog::downloading() const {
    return download_.phase() == LibraryDownload::Phase::Probing || download_.phase() == LibraryDownload::Phase::Sending;
}

QListWidget* LibraryDialog::shownList() const { return sortedView_ ? sortedList_ : groupedList_; }

const std::vector<LibraryLine>& LibraryDialog::shownLines() const { return sortedView_ ? sorted_ : grouped_; }

EditPairTexts LibraryDialog::editedTexts() const {
    EditPairTexts texts;
    for (int pair = 0; pair < kEditPairCount; ++pair) {
        texts[static_cast<size_t>(pair)] = {FromQString(limitEdits_[static_cast<size_t>(pair)][0]->text()),
                                            FromQString(limitEdits_[static_cast<size_t>(pair)][1]->text())};
    }
    return texts;
}

void LibraryDialog::insertAlloy() {
    const LibraryLine* line = selectedLine();
    if (line == nullptr || sortedView_) return;
    if (const std::optional<int> added = InsertAlloy(edited_, *line, prompter_)) {
        rebuildLists(*added, GroupOfAlloy(edited_.library, *added));
    }
}

void LibraryDialog::copyAlloy() {
    const LibraryLine* line = selectedLine();
    if (line == nullptr || sortedView_) return;
    if (const std::optional<int> added = CopyAlloy(edited_, *line, prompter_)) {
        rebuildLists(*added, GroupOfAlloy(edited_.library, *added));
    }
}

void LibraryDialog::deleteAlloy() {
    const LibraryLine* line = selectedLine();
    if (line == nullptr || line->isHeader() || sortedView_) return;
    const int row = RowOf(grouped_, line->alloy, line->group);
    const int deleted = line->alloy;
    // The line after the deleted one is selected next (the one before at the end).
    const LibraryLine next = grouped_[static_cast<size_t>(row + 1 < static_cast<int>(grouped_.size()) ? row + 1 : row - 1)];
    if (!DeleteAlloy(edited_, *line)) return;
    rebuildLists(next.alloy > deleted ? next.alloy - 1 : next.alloy, next.group);
}

void LibraryDialog::editAlloy() {
    if (selectedAlloy_ < 0 || sortedView_ || downloading()) return;
    editing_ = true;
    updateControls();
}

void LibraryDialog::applyEdit() {
    if (!editing_) return;
    const EditPairTexts typed = editedTexts();
    const ApplyResult result = ApplyAlloyEdit(edited_, selectedAlloy_, FromQString(nameEdit_->text()), typed, prompter_);
    if (result.stored) {
        editing_ = false;
        nameEdit_->clear();
    }
    rebuildLists(result.alloy, GroupOfAlloy(edited_.library, result.alloy));
    if (result.stored) return;
    // Refused: the edits keep what was typed, and the refused pair has the
    // keyboard, so the user corrects it instead of typing it all again.
    showTexts(typed);
    if (result.failedPair >= 0) {
        QLineEdit* low = limitEdits_[static_cast<size_t>(result.failedPair)][0];
        low->setFocus();
        low->selectAll();
    }
}

void LibraryDialog::cancelEdit() {
    editing_ = false;
    nameEdit_->clear();
    showSelection();
}

void LibraryDialog::toggleSort() {
    if (!sortedView_ && sorted_.empty()) return;
    sortedView_ = !sortedView_;
    groupedList_->setVisible(!sortedView_);
    sortedList_->setVisible(sortedView_);
    // A header has no line in the sorted view: its current alloy line is taken.
    if (sortedView_ && selectedAlloy_ < 0) selectRow(std::max(sortedList_->currentRow(), 0));
    updateControls();
}

void LibraryDialog::saveLibrary() {
    std::string path = fileName_;
    if (!chooser_.askFileName(path, kPurposeSaveLibrary)) return;
    if (SaveLibraryFile(path, edited_, prompter_)) fileName_ = path;
    count_->setText(QString::number(edited_.library.alloys.size()));
}

void LibraryDialog::sendLibrary() {
    if (editing_ || !download_.start(edited_.library)) return;
    alloysSent_ = static_cast<int>(edited_.library.alloys.size());
    ApplyDialogEvents(*this, download_.takeEvents());
    updateControls();
    timer_.start();
}

void LibraryDialog::tick() {
    download_.tick();
    ApplyDialogEvents(*this, download_.takeEvents());
    progressBox_->setVisible(!progress_->isHidden());
    if (downloading()) return;
    timer_.stop();
    updateControls();
    // The progress box is gone: without a word the user cannot tell a
    // finished download from one that stopped.
    if (download_.phase() == LibraryDownload::Phase::Done) {
        prompter_.notice(DownloadCompleteText(alloysSent_), "Library Download");
    }
}

void LibraryDialog::closeEditor() {
    if (editing_) {
        cancelEdit();
        return;
    }
    switch (download_.close()) {
        case LibraryDownload::CloseDecision::Stay:
            return;
        case LibraryDownload::CloseDecision::Aborted:
            timer_.stop();
            done(0);
            return;
        case LibraryDownload::CloseDecision::NotDownloading:
            break;
    }
    timer_.stop();
    ApplyDialogEvents(*this, download_.takeEvents());
    progressBox_->setVisible(!progress_->isHidden());
    if (ConfirmLibraryClose(edited_, prompter_)) {
        done(0);
    } else {
        updateControls();
    }
}

}  // namespace ravik
