#pragma once
// The raw bytes of one reading and the number codecs every decoder uses.
// All numbers inside readings files and dumps are big-endian. Every accessor
// checks its offsets against the bytes the record really has.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace ravik {

using Bytes = std::span<const uint8_t>;

inline constexpr size_t kRecordHeaderSize = 20;
inline constexpr size_t kMeasurementBlockSize = 34;
inline constexpr size_t kResultsEntriesOffset = 16;
inline constexpr size_t kElementEntrySize = 8;
inline constexpr size_t kSpectrumChannelsOffset = 44;
inline constexpr size_t kTextBlockSize = 230;
inline constexpr int kTextFieldCount = 11;

// Offsets and widths of the eleven text fields of the text block.
struct TextFieldPlace {
    size_t offset;
    size_t width;
};
inline constexpr TextFieldPlace kTextFields[kTextFieldCount] = {
    {0, 28}, {28, 28}, {56, 15}, {71, 15}, {86, 28}, {114, 28},
    {142, 28}, {170, 15}, {185, 15}, {200, 15}, {215, 15},
};
inline constexpr int kSourceField = 5;  // field 6 (index 5) holds the source

constexpr uint16_t ReadU16(const uint8_t* p) {
    return static_cast<uint16_t>((p[0] << 8) | p[1]);
}
constexpr uint32_t ReadU32(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

// IEEE single precision, most significant byte first. Anything below 0.00001
// (negative values included) reads as 0.0; so does a value that is not finite.
float ReadF32(const uint8_t* p);

// The 16-bit packed number: bit 15 sign, bits 4..14 mantissa, bits 0..3
// exponent; the value is mantissa << exponent, negated when the sign is set.
double PackedValue(uint16_t word);
inline double PackedMilli(uint16_t word) { return PackedValue(word) / 1000.0; }
inline double PackedTenth(uint16_t word) { return PackedValue(word) / 10.0; }

struct RecordHeader {
    uint16_t recordLength = 0;
    uint16_t measurementOffset = 0;
    uint16_t resultsOffset = 0;
    uint16_t spectrumOffset = 0;
    uint16_t textOffset = 0;
    uint16_t instrumentNumber = 0;
    uint16_t modeWord = 0;
    uint16_t cycleIndex = 0;
    uint16_t cycleCount = 0;
};

// Decodes the 20-byte header; the bytes must hold at least 20.
RecordHeader DecodeRecordHeader(const uint8_t* bytes);

struct ElementEntry {
    char name[3];
    uint8_t flags;
    uint16_t valueWord;
    uint16_t precisionWord;
};

struct SpectrumLayout {
    uint16_t lowChannels = 0;
    uint16_t highChannels = 0;
    uint16_t region3Channels = 0;
    uint16_t region4Channels = 0;
    float lowFirst = 0;
    float lowStep = 0;
    float highStep = 0;
    uint32_t totalChannels() const {
        return uint32_t{lowChannels} + highChannels + region3Channels + region4Channels;
    }
};

// A bounds-checked view of one reading's record. A block that does not fit
// inside the record reads as absent.
class RecordView {
public:
    explicit RecordView(Bytes bytes);

    bool hasHeader() const { return header_.has_value(); }
    const RecordHeader& header() const { return *header_; }

    // Measurement block (34 bytes), or nothing when it lies outside the record.
    std::optional<Bytes> measurementBlock() const;
    uint32_t timeStamp() const;        // 0 without a measurement block
    uint32_t measuringMillis() const;  // 0 without a measurement block
    // The measurement block's PackedMilli at byte offset (8, 10, ... 32).
    double measurementValue(size_t offset) const;

    // Results block: element count and entries. Entries that do not fit are
    // not counted.
    uint16_t elementCount() const;          // as stored
    size_t elementsAvailable() const;       // entries that lie inside the record
    ElementEntry element(size_t index) const;  // index < elementsAvailable()
    uint16_t resultsWord(size_t offset) const;  // 0 when outside

    // Text field i (0..10): its text up to the first NUL within its width;
    // empty when the text block lies outside the record.
    std::string_view textField(int field) const;
    bool hasTextBlock() const;

    // Spectrum block layout; nothing when its 44 bytes lie outside the record.
    std::optional<SpectrumLayout> spectrumLayout() const;
    // Channels that lie inside the record (from byte 44 of the block).
    size_t channelsAvailable() const;
    uint16_t channelWord(size_t channel) const;  // channel < channelsAvailable()
    // The spectrum block's f32 at byte offset.
    float spectrumFloat(size_t offset) const;

    // True when every block lies inside the record: the measurement block,
    // the results block with all its entries, the text block and the spectrum
    // block with all its channels.
    bool isWhole() const;

private:
    bool fits(size_t offset, size_t size) const {
        return offset <= bytes_.size() && size <= bytes_.size() - offset;
    }
    Bytes bytes_;
    std::optional<RecordHeader> header_;
};

}  // namespace ravik
