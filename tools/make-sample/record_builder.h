#pragma once
// Building readings-file bytes field by field: the records and headers that
// tests, benchmarks, the fuzz corpus and the demo file are made of.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace ravik::sample {

// The packed 16-bit number for value x scale (scale 10 for PackedTenth, 1000
// for PackedMilli): the largest 11-bit mantissa with the smallest exponent
// that holds it, rounded to the nearest representable value.
uint16_t EncodePacked(double value, double scale);
inline uint16_t PackTenth(double value) { return EncodePacked(value, 10.0); }
inline uint16_t PackMilli(double value) { return EncodePacked(value, 1000.0); }

struct ElementSpec {
    std::string name;  // up to 3 characters, padded with NUL bytes
    uint8_t flags = 0;
    uint16_t valueWord = 0;
    uint16_t precisionWord = 0;
};

struct SpectrumSpec {
    uint16_t lowChannels = 0;
    uint16_t highChannels = 0;
    uint16_t region3Channels = 0;
    uint16_t region4Channels = 0;
    // The twelve floats at block bytes 12..59 minus the channel area:
    // [0] lowFirst (12), [1..3] (16..27), [4] lowStep (28), [5] highStep (32), [6..7] (36..43).
    std::array<float, 8> floats{0.0f, 0.0f, 0.0f, 0.0f, 100.0f, 100.0f, 0.0f, 0.0f};
    std::vector<uint16_t> channelWords;  // PackedMilli per channel, all regions
};

struct RecordSpec {
    uint16_t instrumentNumber = 1;
    uint16_t modeWord = 0;
    uint16_t cycleIndex = 1;
    uint16_t cycleCount = 1;
    uint32_t timeStamp = 0;        // instrument seconds
    uint32_t measuringMillis = 0;  // milliseconds
    std::array<uint16_t, 13> statusWords{};  // PackedMilli, measurement bytes 8..33
    uint16_t diWord = 0;                     // results bytes 2..3
    std::vector<ElementSpec> elements;
    // The eleven text fields, each written at its offset and cut to its
    // width (a field of exactly its width has no terminating NUL).
    std::array<std::string, 11> textFields;
    SpectrumSpec spectrum;
};

// Blocks in this order: header, measurement, results, text, spectrum.
std::vector<uint8_t> BuildRecord(const RecordSpec& recordSpec);

// A 256-byte file header: the lines, each followed by CR LF, then NUL bytes,
// with the site (up to 63 characters) at byte 191.
std::string BuildFileHeader(const std::vector<std::string>& lines, const std::string& site);

// Header lines as the analyzer writes them: the count, the instrument line,
// the title, the version line ending in the version's three characters, and
// the date line.
std::vector<std::string> StandardHeaderLines(int count, const std::string& title,
                                             const std::string& versionText);

std::vector<uint8_t> JoinFile(const std::string& header,
                              const std::vector<std::vector<uint8_t>>& records);

}  // namespace ravik::sample
