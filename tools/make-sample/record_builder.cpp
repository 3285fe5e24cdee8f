#include "make-sample/record_builder.h"

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <algorithm>

namespace ravik::sample {

namespace {

void PutU16(std::vector<uint8_t>& bytes, size_t at, uint16_t value) {
    bytes[at] = static_cast<uint8_t>(value >> 8);
    bytes[at + 1] = static_cast<uint8_t>(value & 0xFF);
}

void PutU32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    PutU16(bytes, at, static_cast<uint16_t>(value >> 16));
    PutU16(bytes, at + 2, static_cast<uint16_t>(value & 0xFFFF));
}

void PutF32(std::vector<uint8_t>& bytes, size_t at, float value) {
    PutU32(bytes, at, std::bit_cast<uint32_t>(value));
}

constexpr size_t kFieldOffsets[11] = {0, 28, 56, 71, 86, 114, 142, 170, 185, 200, 215};
constexpr size_t kFieldWidths[11] = {28, 28, 15, 15, 28, 28, 28, 15, 15, 15, 15};

}  // namespace

uint16_t EncodePacked(double value, double scale) {
    double magnitude = std::fabs(value) * scale;
    const uint16_t sign = value < 0 ? 0x8000 : 0;
    for (uint16_t exponent = 0; exponent < 16; ++exponent) {
        const double mantissa = std::round(magnitude / std::ldexp(1.0, exponent));
        if (mantissa <= 2047.0) {
            return static_cast<uint16_t>(sign | (static_cast<uint16_t>(mantissa) << 4) | exponent);
        }
    }
    return static_cast<uint16_t>(sign | (2047u << 4) | 15u);
}

std::vector<uint8_t> BuildRecord(const RecordSpec& recordSpec) {
    const size_t measurement = 20;
    const size_t results = measurement + 34;
    const size_t text = results + 16 + 8 * recordSpec.elements.size();
    const size_t spectrum = text + 230;
    const size_t channels = recordSpec.spectrum.channelWords.size();
    const size_t length = spectrum + 44 + 2 * channels;
    std::vector<uint8_t> bytes(length, 0);

    PutU16(bytes, 0, static_cast<uint16_t>(length));
    PutU16(bytes, 2, static_cast<uint16_t>(measurement));
    PutU16(bytes, 4, static_cast<uint16_t>(results));
    PutU16(bytes, 6, static_cast<uint16_t>(spectrum));
    PutU16(bytes, 8, static_cast<uint16_t>(text));
    PutU16(bytes, 12, recordSpec.instrumentNumber);
    PutU16(bytes, 14, recordSpec.modeWord);
    PutU16(bytes, 16, recordSpec.cycleIndex);
    PutU16(bytes, 18, recordSpec.cycleCount);

    PutU32(bytes, measurement, recordSpec.timeStamp);
    PutU32(bytes, measurement + 4, recordSpec.measuringMillis);
    for (size_t k = 0; k < recordSpec.statusWords.size(); ++k) {
        PutU16(bytes, measurement + 8 + 2 * k, recordSpec.statusWords[k]);
    }

    PutU16(bytes, results, static_cast<uint16_t>(recordSpec.elements.size()));
    PutU16(bytes, results + 2, recordSpec.diWord);
    for (size_t i = 0; i < recordSpec.elements.size(); ++i) {
        const ElementSpec& element = recordSpec.elements[i];
        const size_t at = results + 16 + 8 * i;
        std::memcpy(bytes.data() + at, element.name.data(), std::min<size_t>(element.name.size(), 3));
        bytes[at + 3] = element.flags;
        PutU16(bytes, at + 4, element.valueWord);
        PutU16(bytes, at + 6, element.precisionWord);
    }

    for (size_t f = 0; f < 11; ++f) {
        const std::string& field = recordSpec.textFields[f];
        std::memcpy(bytes.data() + text + kFieldOffsets[f], field.data(),
                    std::min(field.size(), kFieldWidths[f]));
    }

    const SpectrumSpec& s = recordSpec.spectrum;
    PutU16(bytes, spectrum + 4, s.lowChannels);
    PutU16(bytes, spectrum + 6, s.highChannels);
    PutU16(bytes, spectrum + 8, s.region3Channels);
    PutU16(bytes, spectrum + 10, s.region4Channels);
    for (size_t k = 0; k < s.floats.size(); ++k) PutF32(bytes, spectrum + 12 + 4 * k, s.floats[k]);
    for (size_t c = 0; c < channels; ++c) PutU16(bytes, spectrum + 44 + 2 * c, s.channelWords[c]);
    return bytes;
}

std::string BuildFileHeader(const std::vector<std::string>& lines, const std::string& site) {
    std::string header(256, '\0');
    size_t at = 0;
    for (const std::string& line : lines) {
        const std::string withEnd = line + "\r\n";
        const size_t room = 191 - std::min<size_t>(at, 191);
        const size_t take = std::min(withEnd.size(), room);
        header.replace(at, take, withEnd.substr(0, take));
        at += take;
    }
    header.replace(191, std::min<size_t>(site.size(), 63), site.substr(0, 63));
    return header;
}

std::vector<std::string> StandardHeaderLines(int count, const std::string& title,
                                             const std::string& versionText) {
    char countLine[64];
    std::snprintf(countLine, sizeof countLine, " %-4d Readings", count);
    return {countLine, "ORVEX QV Serial 40217", title, "Orvex QV Software Version " + versionText,
            "Fast Data Dump"};
}

std::vector<uint8_t> JoinFile(const std::string& header,
                              const std::vector<std::vector<uint8_t>>& records) {
    std::vector<uint8_t> file(header.begin(), header.end());
    for (const auto& record : records) file.insert(file.end(), record.begin(), record.end());
    return file;
}

}  // namespace ravik::sample
