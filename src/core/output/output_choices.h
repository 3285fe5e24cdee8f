#pragma once
// What the Print dialog remembers from one opening to the next while the
// program runs (none of it is saved), and what its OK turns that into.

#include <optional>

#include "core/output/reading_selection.h"
#include "core/readings/mode.h"

namespace ravik {

class Prompter;

// PdfFile draws the printer's pages into a PDF file; Spreadsheet writes the
// mode's table as a CSV or .xlsx file.
enum class OutputDevice { Printer, ExportFile, PdfFile, Spreadsheet };

struct OutputChoices {
    // The kinds of output: "&Data Table", "&Low Spectrum", "&Hi Spectrum", "&Status".
    bool table = false;
    bool lowSpectrum = false;
    bool highSpectrum = false;
    bool status = false;
    bool markedOnly = false;  // readings: All (false) or Marked
    // The paint classes; they stay in force for the other modes too.
    bool positive = true;
    bool negative = true;
    bool incomplete = true;
    bool subResults = true;  // Thin: Sub-Results (true) or Final Results
    OutputDevice device = OutputDevice::Printer;
    std::optional<Mode> mode;  // none until one is picked
};

ReadingSelection SelectionFrom(const OutputChoices& choices);

inline constexpr const char* kNoOutputKindNotice =
    "Must Select Paint, Bulk, Alloy or Thin\nand Table, L-Spect, K-Spect or Status";

// True when a kind of output is ticked; otherwise shows the "NOTICE".
bool RequireOutputKind(const OutputChoices& choices, Prompter& prompter);

}  // namespace ravik
