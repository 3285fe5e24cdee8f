#pragma once
// Export to file, as the Print dialog's OK runs it with Export File chosen:
// the single-file forms (0 TAB, 1 comma) write one ".tab" or ".csv" file;
// the multi-file forms (2 TAB, 3 comma) write base.hdr, the mode's rows
// file, base.spc and base.sta. Every question comes before anything is
// written, and the files appear under their names only when all of them
// were written whole.

#include <functional>
#include <string>
#include <vector>

#include "core/output/output_choices.h"
#include "core/readings/reading_store.h"
#include "core/settings/settings.h"

namespace ravik {

class FileChooser;
class Prompter;

struct ExportRequest {
    const ReadingStore& store;
    const Settings& settings;  // `Export` gives the form, `download` must be 118 for spectra and status
    const OutputChoices& choices;
};

enum class ExportOutcome {
    Written,    // every file of the export was written
    Cancelled,  // the name dialog was cancelled or a replace question answered No; nothing written
    Failed,     // a file could not be written (told to the user); no file was replaced or added
};

struct ExportResult {
    ExportOutcome outcome = ExportOutcome::Cancelled;
    std::vector<std::string> written;  // in the order written
};

// The files an export to the chosen name writes, in the order it writes them.
std::vector<std::string> ExportTargets(const ExportRequest& request, const std::string& chosenPath);

// Asks for the name (purpose 122 for the single-file forms, 121 for the
// multi-file forms) starting from path, which then holds the chosen name;
// asks once before replacing any of the files it will write; writes the export.
// beforeSpectraRow runs before each row of a spectra block.
ExportResult RunFileExport(const ExportRequest& request, std::string& path, FileChooser& chooser,
                       Prompter& prompter, const std::function<void()>& beforeSpectraRow = {});

}  // namespace ravik
