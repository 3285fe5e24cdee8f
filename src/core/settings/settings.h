#pragma once
// The program's settings: what "ravik56.ini" holds, the alloy grade
// table read beside it, and the switches that live only while the program runs.

#include <array>
#include <cstdint>
#include <string>

namespace ravik {

// Paint classification sources (`pcs`).
inline constexpr int kPcsDevice = 1081;
inline constexpr int kPcsUser = 1082;

// `download`: 118 once a file was opened or a dump received.
inline constexpr int kDownloadDone = 118;
inline constexpr int kDownloadNone = 119;

// The spectrum scale is held as the radio id of its button.
inline constexpr int kScaleSqrt = 1041;
inline constexpr int kScaleLinear = 1039;
inline constexpr int kScaleLog = 1040;

struct Rgb {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    bool operator==(const Rgb&) const = default;
};

enum class ColorRole : int { Normal = 0, Positive, Marked, Deleted, Background };
inline constexpr int kColorCount = 5;

// The display colours every new settings file and "Defaults" start from.
inline constexpr std::array<Rgb, kColorCount> kDefaultColors = {
    Rgb{255, 255, 255}, Rgb{255, 255, 255}, Rgb{0, 255, 0}, Rgb{64, 64, 172}, Rgb{0, 0, 255}};

// One grade of "alloy.spc": its names and up to 14 element ranges.
inline constexpr int kAlloySpecRecords = 20;
inline constexpr int kAlloySpecRanges = 14;
struct AlloySpecRange {
    std::string element;  // 2 characters
    float minimum = 0.0f;
    float maximum = 100.0f;
};
struct AlloySpecRecord {
    std::string name;        // 10 characters
    std::string secondName;  // 10 characters
    std::array<AlloySpecRange, kAlloySpecRanges> ranges;
    int rangeCount = 0;  // ranges read; the others keep 0.0 to 100.0 and no element
};
struct AlloySpecTable {
    std::array<AlloySpecRecord, kAlloySpecRecords> records;
    int count = 0;  // records read
};

struct Settings {
    int xSpect = 2;  // spectrum printer layout, "Horizontal ="
    int ySpect = 2;  // "Vertical ="
    int currentPort = 0;  // 0 = COM1 ... 3 = COM4
    int orient = 1;       // printer orientation: 1 portrait, 2 landscape
    int pcs = kPcsDevice;
    int download = kDownloadNone;
    int displayFontSize = 6;  // index into "Fit", "4", "6", ... "16"
    int baud = 0;             // index into "9.6K" ... "115.2K"
    int exportForm = 0;       // `Export`: 0..3
    std::string printerLine = "default";  // line 2 of the file, kept as text
    float neg = 0.0f;
    float inc = 0.0f;
    float pos = 1.0f;
    std::array<int32_t, 9> enabledColumns{-1, -1, -1, -1, -1, -1, -1, -1, -1};
    int spectrumYscale = kScaleSqrt;
    int minLtime = 20;   // seconds
    int minKtime = 120;  // seconds
    std::array<Rgb, kColorCount> colors = kDefaultColors;
    std::string reportHeader;  // the header text lines, with their line ends

    // Not stored in the file: lives for the run.
    bool displayValuesBelowLod = false;
    // Device paths chosen for COM1..COM4 (empty: resolved from the system),
    // kept beside the settings file in "ports.ini".
    std::array<std::string, 4> portPaths;

    AlloySpecTable alloySpecs;

    const Rgb& color(ColorRole role) const { return colors[static_cast<size_t>(role)]; }
};

}  // namespace ravik
