// Any bytes as a readings file: load (open, then append the same bytes),
// format every reading and its status, decode its spectra, build the saved file.

#include <cstddef>
#include <cstdint>
#include <span>

#include "quiet_prompter.h"
#include "core/readings/field_formatter.h"
#include "core/readings/readings_loader.h"
#include "core/readings/readings_saver.h"
#include "core/readings/spectrum_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace ravik;
    ReadingStore store;
    fuzz::QuietPrompter prompter;
    const std::span<const uint8_t> bytes(data, size);
    LoadReadingsBytes(store, bytes, "fuzz.qvr", kOpenCommand, prompter);
    LoadReadingsBytes(store, bytes, "fuzz.qvr", kAppendCommand, prompter);

    Settings settings;
    settings.pcs = (size & 1) ? kPcsUser : kPcsDevice;
    ReadingFields fields;
    StatusFields status;
    for (Mode mode : kAllModes) {
        int row = 0;
        for (int32_t n : store.list(mode)) {
            FormatReadingFields(store, settings, ++row, store.record(n), fields);
            FormatStatusFields(store.record(n), status);
            DecodeSpectrum(store.record(n), SpectrumKind::Low);
            DecodeSpectrum(store.record(n), SpectrumKind::High);
            DecodeSpectraForExport(store.record(n));
        }
    }
    if (store.readingCount > 0) store.flags(1) = Marked;
    const std::string saved = BuildReadingsFile(store, SaveSelection::All);
    ReadingStore reloaded;
    const std::span<const uint8_t> savedBytes(reinterpret_cast<const uint8_t*>(saved.data()), saved.size());
    LoadReadingsBytes(reloaded, savedBytes, "saved.qvr", kOpenCommand, prompter);
    return 0;
}
