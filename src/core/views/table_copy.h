#pragma once
// The marked readings of a table as text for the clipboard: the shown
// columns, a TAB between cells and a line per reading, the titles first, so
// that they paste into a spreadsheet.

#include <string>

#include "core/readings/reading_store.h"
#include "core/settings/settings.h"

namespace ravik {

// The titles line and one line per Marked reading of the mode, in the
// table's order; each line ends in "\n". Cells are the table's texts without
// their padding blanks, value cells as the table draws them ("%s ± %s" ...).
// Empty when no reading of the mode is marked. Windows-1252 text.
std::string MarkedReadingsText(const ReadingStore& store, const Settings& settings, Mode mode);

}  // namespace ravik
