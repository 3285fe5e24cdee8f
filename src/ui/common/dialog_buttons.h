#pragma once
// The "&OK" (1) and "&Cancel" (2) buttons every dialog of the program ends
// with. OK calls the dialog's own handler (which closes it when it accepts);
// Cancel, Escape and the close button reject it.

#include <functional>

class QDialog;
class QDialogButtonBox;

namespace ravik {

QDialogButtonBox* OkCancelButtons(QDialog* dialog, const std::function<void()>& onOk);

}  // namespace ravik
