#include "core/readings/spectrum_decoder.h"

#include <algorithm>
#include <cstdint>

namespace ravik {

std::vector<float> DecodeSpectrum(Bytes record, SpectrumKind which) {
    const RecordView view(record);
    const std::optional<SpectrumLayout> layout = view.spectrumLayout();
    if (!layout) return {};
    int64_t first = 0;
    int64_t end = 0;
    float step = 0.0f;
    if (which == SpectrumKind::Low) {
        first = static_cast<int64_t>(std::min(layout->lowFirst, 65536.0f));
        end = layout->lowChannels;
        step = layout->lowStep;
    } else {
        first = layout->lowChannels;
        end = int64_t{layout->lowChannels} + layout->highChannels;
        step = layout->highStep;
    }
    const double repeatExact = static_cast<double>(step) / 100.0;
    if (end - first < kMinimumSpectrumChannels || repeatExact < 1.0 ||
        repeatExact >= kMaximumChannelRepeat + 1 ||
        end > static_cast<int64_t>(view.channelsAvailable())) {
        return {};
    }
    const auto repeat = static_cast<size_t>(repeatExact);
    std::vector<float> counts;
    counts.reserve(static_cast<size_t>(end - first) * repeat);
    for (int64_t channel = first; channel < end; ++channel) {
        const auto count = static_cast<float>(PackedMilli(view.channelWord(static_cast<size_t>(channel))));
        counts.insert(counts.end(), repeat, count);
    }
    return counts;
}

std::vector<float> DecodeSpectraForExport(Bytes record) {
    const RecordView view(record);
    const std::optional<SpectrumLayout> layout = view.spectrumLayout();
    if (!layout) return {};
    const size_t available = view.channelsAvailable();
    std::vector<float> data;
    data.reserve(13 + available);
    data.push_back(view.header().instrumentNumber);
    // The four region lengths, lowered from the end when the record holds
    // fewer channels than they add up to.
    uint32_t regions[4] = {layout->lowChannels, layout->highChannels, layout->region3Channels,
                           layout->region4Channels};
    size_t room = available;
    for (uint32_t& region : regions) {
        region = static_cast<uint32_t>(std::min<size_t>(region, room));
        room -= region;
        data.push_back(static_cast<float>(region));
    }
    for (size_t offset = 12; offset < 44; offset += 4) data.push_back(view.spectrumFloat(offset));
    for (size_t channel = 0; channel < available; ++channel) {
        data.push_back(static_cast<float>(PackedMilli(view.channelWord(channel))));
    }
    return data;
}

}  // namespace ravik
