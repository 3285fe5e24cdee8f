#pragma once
// The rules of the configuration dialogs, apart from their windows: which
// settings each dialog edits, the steps of the up/down pairs, the texts the
// values are shown in, the "Defaults" colours, and the column sets.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/readings/mode.h"
#include "core/settings/settings.h"

namespace ravik {

// The dialogs of the family.
enum class ConfigKind { Setup, Display, Communication, Output, Protocol };

// The groups of settings a dialog edits.
enum class ConfigSection { Ports, Display, Protocol, Output };
bool HasSection(ConfigKind kind, ConfigSection section);

// Resource names ("SetupBox", "DISPLAY", ...) and titles ("Configuration", ...).
const char* ConfigResourceName(ConfigKind kind);
const char* ConfigTitle(ConfigKind kind);

// The "Defaults" colours: Configuration's are those of a new settings file;
// Display Configure's have a red Positive.
std::array<Rgb, kColorCount> DefaultColorsOf(ConfigKind kind);

// The up/down pairs. Layout numbers stay within 1..10; minimum times step by
// 1 and never go below 1; colour components step by 5, wrapping above 255 to
// 0 and below 0 to 255.
inline constexpr int kLayoutMin = 1;
inline constexpr int kLayoutMax = 10;
inline constexpr int kColorStep = 5;
int StepLayout(int value, int direction);
int StepMinimumTime(int value, int direction);
int StepColorComponent(int value, int direction);

// "%2.2f" for the paint ranges, "%3d" for minimum times and colour
// components, "%3.1d" for the layout numbers.
std::string RangeText(float value);
std::string MinimumTimeText(int value);
std::string LayoutText(int value);

// A range edit's text read as a number (blanks around it allowed); nothing
// when it is not a number.
std::optional<float> ParseRangeText(std::string_view text);

// The values a dialog edits but that take effect only with OK. The colours
// and `pcs` act at once and are not among them.
struct ConfigValues {
    int currentPort = 0;
    int xSpect = 2;
    int ySpect = 2;
    int minLtime = 20;
    int minKtime = 120;
    std::string reportHeader;
    float neg = 0.0f;
    float pos = 1.0f;
    int spectrumYscale = kScaleSqrt;
    int baud = 0;
    int exportForm = 0;
    int displayFontSize = 6;
    bool displayValuesBelowLod = false;
    std::array<std::string, 4> portPaths;  // the devices chosen for COM1..COM4
};
ConfigValues ConfigValuesOf(const Settings& settings);

// The header text keeps at most this many characters.
inline constexpr size_t kHeaderMaxLength = 255;

// OK: takes the values of the dialog's sections into the settings, in the
// order port (with the devices chosen for the ports), layout, minimum times, header text (cut to 255 characters),
// ranges, spectrum scale, baud, export, font size, LOD switch.
void TakeConfigValues(ConfigKind kind, const ConfigValues& values, Settings& settings);

// The device name of the settings' printer line ("%d,%s,%d,%s,%d,%s": the
// device is the second name); empty for the default printer.
std::string PrinterDeviceName(std::string_view printerLine);

// Column sets. Box j of a mode's column dialog is column j: Paint has 22
// boxes in word 0; the other modes 48 boxes over two words A and B, A bit j
// for columns 0..31 and B bit j - 16 for columns 16..47, so that columns
// 16..31 are held in both words.
int ColumnBoxCount(Mode mode);
const char* ColumnDialogTitle(Mode mode);  // "Paint Sample Columns", ...
std::vector<bool> ColumnBoxesOf(const Settings& settings, Mode mode);
void StoreColumnBoxes(Settings& settings, Mode mode, const std::vector<bool>& boxes);

}  // namespace ravik
