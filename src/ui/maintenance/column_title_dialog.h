#pragma once
// The Edit Column dialog "ChangeColumnBox": renames a fixed column's title
// (at most 18 characters) in the open file's column titles.

#include <QDialog>

#include "core/readings/mode.h"

class QLineEdit;

namespace ravik {

struct ReadingStore;

class ColumnTitleDialog : public QDialog {
    Q_OBJECT
public:
    ColumnTitleDialog(ReadingStore& store, Mode mode, int column, QWidget* parent = nullptr);

    QLineEdit* edit() const { return edit_; }
    // OK: stores the title and closes with 1; a locked file or a column that
    // cannot be renamed closes with 0.
    void ok();

private:
    ReadingStore& store_;
    Mode mode_;
    int column_;
    QLineEdit* edit_;
};

}  // namespace ravik
