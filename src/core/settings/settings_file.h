#pragma once
// The settings file "ravik56.ini" of the data directory, and the two files
// read beside it: "ports.ini" (the device paths chosen for COM1..COM4) and
// the alloy grade table "alloy.spc".

#include <array>
#include <string>
#include <string_view>

#include "core/settings/settings.h"

namespace ravik {

class Prompter;

inline constexpr const char* kSettingsFileName = "ravik56.ini";
inline constexpr const char* kPortsFileName = "ports.ini";
inline constexpr const char* kAlloySpecFileName = "alloy.spc";

// Reads the settings of a data directory: "ravik56.ini", then "ports.ini"
// and "alloy.spc" when they can be read (otherwise those settings stay as
// they are). A missing "ravik56.ini" is a first start: the file is created
// with the defaults, which the settings then hold. A settings file that
// cannot be read, or whose first line lacks one of the five required keys,
// is told to the user and gives false; the settings are then unchanged.
bool ReadSettings(const std::string& directory, Settings& settings, Prompter& prompter);

// Rewrites "ravik56.ini" (and "ports.ini" when a port path is set or the file
// exists) in the data directory, creating the directory when needed. A file
// that cannot be written is told to the user and gives false; the previous
// file is then untouched.
bool WriteSettings(const std::string& directory, const Settings& settings, Prompter& prompter);

// The text of "ravik56.ini" for these settings.
std::string SettingsFileText(const Settings& settings);

// Takes every value the text holds into the settings, and the default of
// every value it lacks. False, with the settings unchanged, when one of the
// five required keys of the first line is missing.
bool ParseSettingsFileText(std::string_view text, Settings& settings);

// "ports.ini": one line "COMn=path" per port that has a path.
using PortPaths = std::array<std::string, 4>;
std::string PortPathsText(const PortPaths& paths);
PortPaths ParsePortPaths(std::string_view text);
// Reads "ports.ini" of the directory into paths. A file that is missing or
// cannot be opened leaves them as they are; one refused (not a regular file,
// too large) is told as a "READ ERROR" and gives false.
bool ReadPortPaths(const std::string& directory, PortPaths& paths, Prompter& prompter);

// "alloy.spc": one grade per line, "name,second name, El=min-max, ..."; at
// most 20 grades of 14 ranges, further input is ignored. Blank lines are skipped.
AlloySpecTable ParseAlloySpecTable(std::string_view text);

}  // namespace ravik
