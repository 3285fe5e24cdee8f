#pragma once
// The configured serial port and rate: the five baud indexes with their
// labels and write time-out multipliers, the "Com%d:" port names and how they
// resolve to device paths, and the text of a system error code.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ravik {

struct Settings;

inline constexpr int kBaudCount = 5;

struct BaudRate {
    const char* label;      // "9.6K" ... "115.2K"
    uint32_t bitsPerSecond;
};
inline constexpr std::array<BaudRate, kBaudCount> kBaudRates = {{
    {"9.6K", 9600},
    {"19.2K", 19200},
    {"38.4K", 38400},
    {"56.0K", 56000},
    {"115.2K", 115200},
}};

inline constexpr bool IsBaudIndex(int index) { return index >= 0 && index < kBaudCount; }

// Milliseconds per written byte: 76800 / rate in whole numbers (8 at 9600,
// 0 at 115200). A rate of 0 counts as 9600.
uint32_t WriteMultiplier(uint32_t bitsPerSecond);

// The port of a transfer: "Com%d:" (COM1..COM4) or a device path given
// directly, the baud index, and the device paths chosen for COM1..COM4 in
// the settings (empty entries resolve from the system).
struct SerialPortConfig {
    std::string device = "Com1:";
    int baudIndex = 0;
    std::array<std::string, 4> portPaths;
};

// "Com%d:" filled with port number + 1 (port number 0 is "Com1:").
std::string ComDeviceName(int portNumber);

// The port number (0..3) of "Com1:" ... "Com4:" or "COM1" ... "COM4"
// (letters in any case, colon optional); nothing for anything else.
std::optional<int> ComPortNumber(std::string_view device);

// The port and baud index of the settings, with their chosen paths.
SerialPortConfig PortConfigFromSettings(const Settings& settings);

// The device path to open: a COM name resolves to $RAVIK_COMn when set, else
// the path chosen in the settings, else /dev/ttyUSB(n-1) when it exists, else
// /dev/ttyS(n-1); anything else is a device path and is used as it is.
std::string ResolveDevicePath(const SerialPortConfig& config);

// "last_error = %d" with the system error code, followed by the system's
// explanation of it in parentheses.
std::string LastErrorText(int code);

}  // namespace ravik
