#pragma once
// The Sorting dialog "SortColumnsBox": sorts one mode's readings on one
// column, ascending or descending, as text or as numbers. While the sort
// runs, Cancel becomes "&Abort" and the dialog stays responsive.

#include <QDialog>

#include "core/maintenance/sorting.h"

class QAbstractButton;
class QLabel;
class QPushButton;

namespace ravik {

class Prompter;
struct ReadingStore;

class SortDialog : public QDialog {
    Q_OBJECT
public:
    // choices: remembered for the run; OK stores the dialog's choice there.
    SortDialog(ReadingStore& store, const Settings& settings, Mode mode, int column, SortChoices& choices,
               Prompter& prompter, QWidget* parent = nullptr);

    void chooseDirection(SortDirection direction);
    void chooseComparison(SortComparison comparison);
    // OK: sorts and closes with 1 (0 when the sort could not run). The order is written back whole even
    // when Abort is confirmed while the passes run.
    void ok();
    // Cancel, Abort, "AC" and Escape: asks whether to abort; Yes closes
    // with 0 before a sort, No goes on.
    void cancel();
    void reject() override { cancel(); }

private:
    ReadingStore& store_;
    const Settings& settings_;
    Mode mode_;
    int column_;
    SortChoices& remembered_;
    SortChoices choices_;
    Prompter& prompter_;
    QLabel* progress_;
    QPushButton* okButton_;
    QPushButton* cancelButton_;
    QAbstractButton* ascending_;
    QAbstractButton* descending_;
    bool sorting_ = false;
};

}  // namespace ravik
