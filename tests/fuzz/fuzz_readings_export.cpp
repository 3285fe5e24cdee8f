// Any bytes as a readings file, exported TAB- and comma-delimited: the table of each
// mode, the spectra, the status block and the header of all modes, with
// every reading selected and then only the marked ones.

#include <cstddef>
#include <cstdint>
#include <span>

#include "output/export_writers.h"
#include "quiet_prompter.h"
#include "readings/readings_loader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace ravik;
    ReadingStore store;
    fuzz::QuietPrompter prompter;
    LoadReadingsBytes(store, std::span<const uint8_t>(data, size), "fuzz.qvr", kOpenCommand, prompter);
    if (store.readingCount > 0) store.flags(1) = Marked;

    Settings settings;
    settings.pcs = (size & 1) ? kPcsUser : kPcsDevice;
    settings.reportHeader = "Header\r\n";
    const ReadingSelection everything = SelectAll | SelectPositive | SelectNegative | SelectIncomplete;
    for (ReadingSelection selection : {everything | SelectSubResults, (everything & ~SelectAll) | SelectMarked}) {
        for (int form : {0, 1}) {  // TAB and comma; the multi-file forms use the same writers
            settings.exportForm = form;
            const ExportSource source{store, settings, selection};
            std::string out;
            ExportTableHeader(out, source, kAllHeaderModes);
            for (Mode mode : kAllModes) {
                ExportTableHeader(out, source, Index(mode));
                ExportTableRows(out, source, mode);
                ExportSpectra(out, source, mode);
            }
            ExportStatus(out, source);
        }
    }
    return 0;
}
