// Any bytes as a readings file, exported TAB- or comma-delimited: the table of each
// mode, the spectra, the status block and the header of all modes, with every
// reading selected or only the marked ones. The input's size picks the
// classification source, the delimiter, the selection and the mode of the
// spectra, so every combination is reached across inputs while each run
// exports once.

#include <cstddef>
#include <cstdint>
#include <span>

#include "core/output/export_writers.h"
#include "quiet_prompter.h"
#include "core/readings/readings_loader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace ravik;
    ReadingStore store;
    fuzz::QuietPrompter prompter;
    LoadReadingsBytes(store, std::span<const uint8_t>(data, size), "fuzz.qvr", kOpenCommand, prompter);
    if (store.readingCount > 0) store.flags(1) = Marked;

    Settings settings;
    settings.pcs = (size & 1) ? kPcsUser : kPcsDevice;
    settings.exportForm = (size & 2) ? 1 : 0;  // TAB or comma; the multi-file forms use the same writers
    settings.reportHeader = "Header\r\n";
    const ReadingSelection everything = SelectAll | SelectPositive | SelectNegative | SelectIncomplete;
    const ReadingSelection selection = (size & 4) ? (everything & ~SelectAll) | SelectMarked : everything | SelectSubResults;
    const ExportSource source{store, settings, selection};
    // One text for every run: it keeps its room, so a run does not spend its
    // time growing a fresh text and faulting in its pages.
    static std::string out;
    out.clear();
    ExportSink sink(out);
    ExportTableHeader(sink, source, kAllHeaderModes);
    for (Mode mode : kAllModes) {
        ExportTableHeader(sink, source, Index(mode));
        ExportTableRows(sink, source, mode);
    }
    // The spectra writer sets up its value table on every call: one mode per run.
    ExportSpectra(sink, source, kAllModes[(size >> 3) % kModeCount]);
    ExportStatus(sink, source);
    return 0;
}
