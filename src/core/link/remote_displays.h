#pragma once
// Decoding the analyzer's remote-control replies for display: signatures,
// the screen picture, spectra, measurement data, regions, status and
// calibration values. Every decoder takes the reply payload (the bytes after
// the code byte, the terminating 0x1A included) and checks its length.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ravik {

using ReplyBytes = std::span<const uint8_t>;

inline constexpr uint8_t kReplyTerminator = 0x1A;

// A 4-byte count or value, least significant byte first, signed.
int32_t ReadLe32(const uint8_t* bytes);
// An 8-byte field whose value is the OR of its two little-endian 32-bit
// halves (the integer itself whenever it fits in 32 bits).
int32_t FoldedField(const uint8_t* bytes);

// The payload's text: the bytes before the terminator, up to the first NUL.
std::string ReplyText(ReplyBytes payload);

// Signatures (142, 146, 147): the folded field at offset 0, or nothing when
// the payload is shorter than 9 bytes.
std::optional<int32_t> SignatureOf(ReplyBytes payload);

// ---- Screen (144) ----------------------------------------------------------

inline constexpr int kScreenWidth = 160;
inline constexpr int kScreenHeight = 80;
inline constexpr size_t kScreenBitmapBytes = 1600;
inline constexpr size_t kScreenReplyLength = 1602;  // orientation, bitmap, terminator

// A one-bit picture in the platform's monochrome order: rows top first, the
// most significant bit of a byte is the leftmost pixel, a set bit is light.
struct MonoPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rows;

    int bytesPerRow() const { return (width + 7) / 8; }
    bool light(int x, int y) const;
    bool operator==(const MonoPicture&) const = default;
};

// The analyzer's 160 x 80 bitmap (least significant bit leftmost, set bit
// dark) as a picture: every byte inverted and its bits reversed.
MonoPicture ScreenPicture(std::span<const uint8_t> bitmap);

// A quarter turn clockwise: the pixel at column x, row y goes to column
// height - 1 - y, row x.
MonoPicture RotateClockwise(const MonoPicture& picture);

struct ScreenDump {
    bool landscape = true;  // orientation byte non-zero
    MonoPicture picture;    // 160 x 80 landscape, 80 x 160 portrait
};
// A complete screen dump (exactly 1602 bytes), or nothing.
std::optional<ScreenDump> DecodeScreenDump(ReplyBytes payload);

// ---- Spectra (148, 149) ----------------------------------------------------

struct SpectrumPlot {
    std::vector<float> counts;
    float largest = 0.0f;             // the largest count, never below 0
    // Texts at the plot's top left corner, each two text heights below the one before.
    std::vector<std::string> labels;
};

struct PlotPoint {
    int x = 0;
    int y = 0;
    bool operator==(const PlotPoint&) const = default;
};
// The plot's line in a w x h area: it starts at (0, h) and goes to
// (trunc(i * w / n), trunc(h - count_i * h / largest)) for every count i.
// A spectrum whose counts are all 0 is drawn as a line along the bottom.
std::vector<PlotPoint> PlotLine(const SpectrumPlot& plot, int width, int height);

// The bytes of a spectrum reply besides its counts: 5 for 148, 29 for 149.
inline constexpr size_t kSpectrumHeaderBytes = 5;
inline constexpr size_t kSecondSpectrumHeaderBytes = 29;
// The exact length of a spectrum reply, 4 x (last - first) + its header
// bytes, once the two channel words are there; 0 when last is below first,
// which no reply can match.
std::optional<size_t> SpectrumReplyLength(ReplyBytes payload, size_t headerBytes);

std::optional<SpectrumPlot> DecodeSpectrum(ReplyBytes payload);

struct SecondSpectrum {
    SpectrumPlot plot;  // with the labels "MAX=%6.2f cps" and "NomSec=%6.2f"
    std::string ezeroText;   // "%6.4f"
    std::string escaleText;  // "%6.4f"
};
std::optional<SecondSpectrum> DecodeSecondSpectrum(ReplyBytes payload);

// ---- Text replies (145, 150, 154) and calibration (151, 152, 153) ----------

// The alloy names of a measurement data reply: after the first ",", up to
// three values, each the text after the next ":" up to the line end, less
// its last character. A value that is empty or begins with "," stands as an
// empty name; the parse ends where no further ":" follows.
std::vector<std::string> MeasurementNames(std::string_view text);

// The elapsed measurement time of a regions text: the number after the
// third "=" up to the next ",", or nothing when there is no third "=".
std::optional<double> ElapsedMeasurementTime(std::string_view regions);

// The status text: the date line, then one line per status value.
std::optional<std::string> StatusText(ReplyBytes payload);

// "%6.4f" of a value in millionths (151, 152) and "%6.2f" of one in
// hundredths (153).
std::optional<std::string> MillionthsText(ReplyBytes payload);
std::optional<std::string> HundredthsText(ReplyBytes payload);

// The names seen in measurement data, as the sorted alloy list holds them:
// ordered and compared without regard to letter case.
class AlloyNameList {
public:
    const std::vector<std::string>& names() const { return names_; }
    // The index of the name, found without regard to case.
    std::optional<size_t> find(std::string_view name) const;
    // Adds the name unless the list holds it already; returns its index.
    size_t add(const std::string& name);

private:
    std::vector<std::string> names_;
};

}  // namespace ravik
