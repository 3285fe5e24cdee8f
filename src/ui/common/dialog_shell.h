#pragma once
// What the serial dialogs share on the Qt side: finding a control by its
// numeric id and showing what a transfer machine asked for.

#include <QDialog>
#include <vector>

#include "core/link/dialog_events.h"

namespace ravik {

// The control with the id inside the dialog, or nullptr.
QWidget* FindControl(const QWidget& dialog, int id);

// Applies a machine's events to the dialog's controls: texts, check boxes,
// enabling, showing, beeps, pictures, plots, lists and the end of the dialog.
void ApplyDialogEvents(QDialog& dialog, const std::vector<DialogEvent>& events);

}  // namespace ravik
