// Any bytes as a readings file, its readings compared as the spectrum
// workbench does: each mode's first readings overlaid (low or high band and
// the normalisation chosen by the input's size), as differences against the
// first, laid out zoomed, summed over a region, and written as EMSA text and
// a CSV table.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "core/output/spectrum_files.h"
#include "core/readings/readings_loader.h"
#include "core/views/spectrum_compare.h"
#include "quiet_prompter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace ravik;
    ReadingStore store;
    fuzz::QuietPrompter prompter;
    LoadReadingsBytes(store, std::span<const uint8_t>(data, size), "fuzz.qvr", kOpenCommand, prompter);
    SpectrumComparison comparison;
    for (Mode mode : kAllModes) {
        for (int row = 1; row <= std::min(store.count(mode), 4); ++row) {
            comparison.add(*TakeReading(store, Settings(), mode, row, "fuzz.qvr"));
        }
    }
    const OverlayOptions options{(size & 1) ? SpectrumBand::High : SpectrumBand::Low,
                                 static_cast<Normalisation>((size >> 1) % 4)};
    const CountScale scale = static_cast<CountScale>((size >> 3) % 3);
    CompareViewport view;
    for (int pass = 0; pass < 2; ++pass) {
        // The plain overlay, then the differences against the first reading.
        if (pass == 1 && !comparison.entries().empty()) comparison.setReference(comparison.entries().front().id);
        view.update(BuildOverlay(comparison, options), scale);
        view.zoomEnergy(3, 10);
        LayOutComparison(view.overlay(), view.window(), scale, 0, 0, 300, 200);
        SumRegion(view.overlay(), 8, 12);
        SpectrumCsvText(view.overlay(), {});
    }
    EmsaSpectrum spectrum;
    for (const auto& entry : comparison.entries()) {
        if (EmsaSpectrumOf(entry.reading, options.band, spectrum)) EmsaText(spectrum);
    }
    return 0;
}
