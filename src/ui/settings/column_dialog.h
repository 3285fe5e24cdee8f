#pragma once
// The column dialogs "PAINTCOLUMNS" and "BULKCOLUMNS": one check box per
// column of the mode (box 300 + j is column j), labelled with the mode's
// column titles. OK stores the column set, writes "ravik56.ini" and lets the
// tables show it.

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "core/readings/column_titles.h"
#include "core/settings/settings.h"

class QCheckBox;

namespace ravik {

class Prompter;

inline constexpr int kFirstColumnBox = 300;

class ColumnDialog : public QDialog {
    Q_OBJECT
public:
    ColumnDialog(Mode mode, Settings& settings, const ColumnTitles& titles, std::string directory,
                 Prompter& prompter, std::function<void()> columnsChanged, QWidget* parent = nullptr);

    QCheckBox* box(int column) const { return boxes_[static_cast<size_t>(column)]; }
    // OK: stores the boxes as the mode's mask words, writes the settings
    // file, repaints the tables and closes.
    void ok();

private:
    Mode mode_;
    Settings& settings_;
    std::string directory_;
    Prompter& prompter_;
    std::function<void()> columnsChanged_;
    std::vector<QCheckBox*> boxes_;
};

}  // namespace ravik
