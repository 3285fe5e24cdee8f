#include "ui/maintenance/reading_edit_dialog.h"

#include <QComboBox>
#include <QCompleter>
#include <QAbstractItemView>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "core/shell/program.h"
#include "ui/common/qt_text.h"

namespace ravik {

namespace {

constexpr int kPaintBoxes[] = {1198, 1199, 1028, 1029, 1017, 1019, 1020, 1200, 1021, 1201, 1026};
// Labels of cells 2 to 10; cells 11 and 12 have labels without ids.
constexpr int kPaintLabels[] = {1139, 1189, 1190, 1202, 1191, 1193, 1194, 1195, 1196};
constexpr int kAlloyFirstBox = 1191;
constexpr int kSignFirstBox = 1192;
// Labels of cells 2 to 11 in the Alloy and Sign editors.
constexpr int kOtherLabels[] = {1148, 1140, 1141, 1142, 1143, 1144, 1145, 1147, 1146, 1149};
constexpr int kFirstShownStatic = 1188;
constexpr int kRowsPerColumn = 6;

bool UsesPaintTemplate(Mode mode) { return mode == Mode::Paint || mode == Mode::Bulk || mode == Mode::Thin; }

const char* TemplateName(Mode mode) {
    if (UsesPaintTemplate(mode)) return "EditPaintDataBox";
    return mode == Mode::Alloy ? "EditAlloyDataBox" : "EditSignDataBox";
}

int BoxId(Mode mode, size_t k) {
    if (UsesPaintTemplate(mode)) return kPaintBoxes[k];
    return (mode == Mode::Alloy ? kAlloyFirstBox : kSignFirstBox) + static_cast<int>(k);
}

// 0: a label without an id.
int LabelId(Mode mode, int cell) {
    const auto index = static_cast<size_t>(cell - 2);
    if (UsesPaintTemplate(mode)) return index < std::size(kPaintLabels) ? kPaintLabels[index] : 0;
    return index < std::size(kOtherLabels) ? kOtherLabels[index] : 0;
}

QLabel* CellLabel(Mode mode, int cell, const std::string& title, QWidget* parent) {
    auto* label = new QLabel(ToQString(title), parent);
    if (const int id = LabelId(mode, cell)) SetControlId(label, id);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

QPushButton* Button(const QString& text, int id, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    SetControlId(button, id);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

ReadingEditDialog::ReadingEditDialog(Program& program, AnnotationEdit edit, std::string directory,
                                     Prompter& prompter, QWidget* parent)
    : QDialog(parent), program_(program), edit_(std::move(edit)), directory_(std::move(directory)), prompter_(prompter) {
    setObjectName(QString::fromLatin1(TemplateName(edit_.mode)));
    setWindowTitle(ToQString(edit_.windowTitle));
    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(10);
    int place = 0;
    auto nextPlace = [&place, fields](QWidget* label, QWidget* field) {
        const int row = place % kRowsPerColumn;
        const int column = 2 * (place / kRowsPerColumn);
        fields->addWidget(label, row, column);
        fields->addWidget(field, row, column + 1);
        ++place;
    };
    for (size_t s = 0; s < edit_.shown.size(); ++s) {
        const ShownCell& cell = edit_.shown[s];
        auto* text = new QLabel(ToQString(cell.text), this);
        SetControlId(text, kFirstShownStatic + static_cast<int>(s));
        text->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
        nextPlace(CellLabel(edit_.mode, cell.cell, cell.title, this), text);
    }
    for (size_t k = 0; k < edit_.boxes.size(); ++k) {
        const AnnotationBox& cell = edit_.boxes[k];
        auto* box = new QComboBox(this);
        SetControlId(box, BoxId(edit_.mode, k));
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->completer()->setCaseSensitivity(Qt::CaseInsensitive);
        box->setMinimumContentsLength(20);
        // The box takes no more than OK and the write-back keep, so the
        // limit shows while typing instead of cutting the value silently.
        box->lineEdit()->setMaxLength(static_cast<int>(cell.room));
        box->installEventFilter(this);
        box->lineEdit()->installEventFilter(this);
        boxes_.push_back(box);
        showWords(k);
        box->setEditText(ToQString(cell.stored));
        nextPlace(CellLabel(edit_.mode, cell.cell, cell.title, this), box);
    }

    auto* buttons = new QVBoxLayout;
    QPushButton* okButton = Button(QStringLiteral("&OK"), 1, this);
    okButton->setDefault(true);
    QPushButton* globalButton = Button(QStringLiteral("&Global"), 1055, this);
    QPushButton* removeButton = Button(QStringLiteral("&Remove"), 1108, this);
    QPushButton* resetButton = Button(QStringLiteral("Rese&t"), 1023, this);
    QPushButton* cancelButton = Button(QStringLiteral("&Cancel"), 2, this);
    connect(okButton, &QPushButton::clicked, this, &ReadingEditDialog::ok);
    connect(globalButton, &QPushButton::clicked, this, &ReadingEditDialog::global);
    connect(removeButton, &QPushButton::clicked, this, &ReadingEditDialog::remove);
    connect(resetButton, &QPushButton::clicked, this, &ReadingEditDialog::reset);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    for (QPushButton* button : {okButton, globalButton, removeButton, resetButton, cancelButton}) {
        buttons->addWidget(button);
    }
    buttons->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(fields, 1);
    layout->addLayout(buttons);
    if (!boxes_.empty()) boxes_.front()->setFocus();
}

bool ReadingEditDialog::eventFilter(QObject* watched, QEvent* event) {
    // Enter in a box is OK, also while the box shows an inline completion
    // (which would otherwise take the key); only an open drop-down list
    // keeps it to choose its word.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const auto box = std::find_if(boxes_.begin(), boxes_.end(),
                                      [watched](const QComboBox* b) { return watched == b || watched == b->lineEdit(); });
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && box != boxes_.end() && !(*box)->view()->isVisible()) {
            ok();
            return true;
        }
    }
    if (event->type() == QEvent::FocusIn) {
        for (size_t k = 0; k < boxes_.size(); ++k) {
            if (watched == boxes_[k] || watched == boxes_[k]->lineEdit()) focusedBox_ = k;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ReadingEditDialog::showWords(size_t k) {
    QComboBox* box = boxes_[k];
    const QString text = box->currentText();
    box->clear();
    for (const std::string& word : edit_.boxes[k].words) box->addItem(ToQString(word));
    box->setEditText(text);
}

std::vector<std::string> ReadingEditDialog::boxTexts() const {
    std::vector<std::string> texts;
    for (const QComboBox* box : boxes_) texts.push_back(FromQString(box->currentText()));
    return texts;
}

void ReadingEditDialog::global() {
    if (!focusedBox_) return;
    const std::string text = FromQString(boxes_[*focusedBox_]->currentText());
    if (ApplyGlobal(program_.store, program_.settings, edit_, focusedBox_, text, prompter_,
                    program_.shell.unsavedChanges)) {
        accept();
    }
}

void ReadingEditDialog::remove() {
    if (!focusedBox_) return;
    const std::string text = FromQString(boxes_[*focusedBox_]->currentText());
    if (RemovePickWord(edit_, focusedBox_, text)) showWords(*focusedBox_);
}

void ReadingEditDialog::reset() {
    const std::vector<std::string> texts = ResetTexts(edit_);
    for (size_t k = 0; k < boxes_.size() && k < texts.size(); ++k) {
        const std::optional<size_t> word = FindWord(edit_.boxes[k].words, texts[k]);
        if (word) boxes_[k]->setCurrentIndex(static_cast<int>(*word));
        boxes_[k]->setEditText(ToQString(texts[k]));
    }
}

void ReadingEditDialog::ok() {
    FinishAnnotationEdit(program_.store, edit_, boxTexts(), directory_, prompter_, program_.shell.unsavedChanges);
    accept();
}

bool RunReadingEditor(Program& program, Mode mode, size_t row, const std::string& directory, Prompter& prompter,
                      QWidget* parent) {
    std::optional<AnnotationEdit> edit =
        OpenAnnotationEdit(program.store, program.settings, mode, row, directory, prompter);
    if (!edit) return false;
    ReadingEditDialog dialog(program, std::move(*edit), directory, prompter, parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace ravik
