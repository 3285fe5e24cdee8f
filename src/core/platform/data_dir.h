#pragma once
// The data directory: where the settings file "ravik56.ini", the pick lists
// "*.str" and the alloy grade table "alloy.spc" live.

#include <string>

namespace ravik {

// $RAVIK_HOME when set and not empty, else $XDG_CONFIG_HOME/ravik, else
// ~/.config/ravik. The directory is not created here.
std::string DataDirectory();

// Creates the data directory (and its parents) when missing; false when that fails.
bool EnsureDataDirectory(const std::string& directory);

// directory + "/" + name.
std::string DataFilePath(const std::string& directory, const std::string& name);

}  // namespace ravik
