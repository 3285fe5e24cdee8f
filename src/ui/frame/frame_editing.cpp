// The frame's reading maintenance: sorting on a column, renaming a column
// title and the reading editors, from the table windows and from Edit
// Reading (Ctrl+E).

#include "ui/frame/frame_window.h"
#include "ui/maintenance/column_title_dialog.h"
#include "ui/maintenance/reading_edit_dialog.h"
#include "ui/maintenance/sort_dialog.h"
#include "core/platform/data_dir.h"
#include "core/views/table_marking.h"
#include "ui/views/table_window.h"

namespace ravik {

void FrameWindow::sortColumn(Mode mode, int column) {
    SortDialog dialog(program_.store, program_.settings, mode, column, sortChoices_, prompter_, this);
    if (dialog.exec() == 1) program_.shell.unsavedChanges = true;
    updateCommandStates();
    if (TableWindow* window = tableWindow(mode)) window->view()->viewport()->update();
}

void FrameWindow::editColumnTitle(Mode mode, int column) {
    ColumnTitleDialog dialog(program_.store, mode, column, this);
    if (dialog.exec() == 1) program_.shell.unsavedChanges = true;
    if (TableWindow* window = tableWindow(mode)) {
        window->view()->readingsChanged();
        window->view()->setFocus();
    }
    updateCommandStates();
}

void FrameWindow::editReading(Mode mode, int row) {
    if (ReadingAtRow(program_.store, mode, row) == 0) return;
    if (RunReadingEditor(program_, mode, static_cast<size_t>(row - 1), DataDirectory(), prompter_, this)) {
        // Edited values may be wider than their columns were.
        for (TableWindow* window : tables_) {
            if (window != nullptr) window->view()->readingsChanged();
        }
    }
    updateCommandStates();
}

void FrameWindow::editSelectedReading() {
    const TableSelection& selection = program_.shell.selection;
    if (selection.selectedMode >= 0 && selection.selectedMode < kModeCount && !program_.store.locked) {
        editReading(static_cast<Mode>(selection.selectedMode), selection.selectedRow);
    }
    updateCommandStates();
}

}  // namespace ravik
