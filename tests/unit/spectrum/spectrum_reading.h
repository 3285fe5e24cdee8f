#pragma once
// A compared reading of "wall.qvr" whose record holds these low and high
// spectra (fewer than 150 channels: no such spectrum).

#include "core/views/spectrum_compare.h"
#include "make-sample/record_builder.h"

namespace ravik::test {

inline ComparedReading SpectrumReading(int tableNo, const std::vector<double>& low, uint32_t millis,
                                       const std::vector<double>& high = {}) {
    sample::RecordSpec made;
    made.measuringMillis = millis;
    made.spectrum.lowChannels = static_cast<uint16_t>(low.size());
    made.spectrum.highChannels = static_cast<uint16_t>(high.size());
    for (const std::vector<double>* band : {&low, &high}) {
        for (double count : *band) made.spectrum.channelWords.push_back(sample::PackMilli(count));
    }
    ComparedReading reading;
    reading.fileName = "wall.qvr";
    reading.tableNo = tableNo;
    reading.measuringSeconds = millis / 1000.0;
    reading.record = sample::BuildRecord(made);
    return reading;
}

}  // namespace ravik::test
