#pragma once
// The printer of print jobs, and Printer Setup: the stored printer (the
// settings' printer line and orientation), else the system's default
// printer.

#include <QPrinter>
#include <memory>
#include <string>

#include "core/settings/settings.h"

class QWidget;

namespace ravik {

class Prompter;

// MakePrinterContext: a printer for a job. A stored printer that no longer
// exists (or one from another system) is forgotten and the default printer
// taken; without any printer the messages are told and nothing returned.
std::unique_ptr<QPrinter> MakePrinterContext(Settings& settings, Prompter& prompter);

// Printer Setup: the print setup dialog on the stored printer; OK keeps the
// printer, page size and orientation in the settings. True on OK.
bool RunPrinterSetup(QWidget* parent, Settings& settings);

// The stored printer's name, or the default printer's, or empty.
std::string PrinterDisplayName(const Settings& settings);

// The page size and orientation of the settings (for printers and PDF files).
QPageLayout PageLayoutOf(const Settings& settings);

}  // namespace ravik
