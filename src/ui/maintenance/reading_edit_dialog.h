#pragma once
// The reading editors "EditPaintDataBox" (Paint, Bulk, Thin),
// "EditAlloyDataBox" and "EditSignDataBox": one reading's annotation cells,
// each an editable drop-down list of its pick-list words, with Global
// (with the Replace choices), Remove, Reset, OK and Cancel.

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

#include "core/maintenance/annotation_edit.h"

class QComboBox;

namespace ravik {

struct Program;

class ReadingEditDialog : public QDialog {
    Q_OBJECT
public:
    ReadingEditDialog(Program& program, AnnotationEdit edit, std::string directory, Prompter& prompter,
                      QWidget* parent = nullptr);

    const AnnotationEdit& edit() const { return edit_; }
    // Box k edits cell FirstEditableCell(mode) + k.
    QComboBox* box(size_t k) const { return boxes_[k]; }
    void setFocusedBox(size_t k) { focusedBox_ = k; }

    // "&Global": the focused box's text into every reading of the chosen
    // Replace scope whose cell holds the stored value; closes when applied.
    void global();
    // "&Remove": drops the focused box's word from its list; the text stays.
    void remove();
    // "Rese&t": every box back to the reading's stored value.
    void reset();
    // "&OK": writes the values back and the pick-list file anew; closes.
    void ok();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showWords(size_t k);
    std::vector<std::string> boxTexts() const;

    Program& program_;
    AnnotationEdit edit_;
    std::string directory_;
    Prompter& prompter_;
    std::vector<QComboBox*> boxes_;
    std::optional<size_t> focusedBox_;
};

// Opens the editor of the reading at row (from 0) of the mode's list and
// runs it. Nothing opens when the pick-list file cannot be had. True when
// the readings were changed (OK or Global).
bool RunReadingEditor(Program& program, Mode mode, size_t row, const std::string& directory, Prompter& prompter,
                      QWidget* parent);

}  // namespace ravik
