#include "core/link/serial_config.h"

#include <strings.h>

#include <cstdio>
#include <cstring>
#include <cstdlib>

#include "core/platform/file_io.h"
#include "core/settings/settings.h"

namespace ravik {

uint32_t WriteMultiplier(uint32_t bitsPerSecond) {
    return 76800 / (bitsPerSecond == 0 ? 9600 : bitsPerSecond);
}

std::string ComDeviceName(int portNumber) {
    char name[16];
    std::snprintf(name, sizeof name, "Com%d:", portNumber + 1);
    return name;
}

std::optional<int> ComPortNumber(std::string_view device) {
    if (!device.empty() && device.back() == ':') device.remove_suffix(1);
    if (device.size() != 4 || strncasecmp(device.data(), "com", 3) != 0) return std::nullopt;
    const int number = device[3] - '1';
    if (number < 0 || number > 3) return std::nullopt;
    return number;
}

SerialPortConfig PortConfigFromSettings(const Settings& settings) {
    SerialPortConfig config;
    config.device = ComDeviceName(settings.currentPort);
    config.baudIndex = settings.baud;
    config.portPaths = settings.portPaths;
    return config;
}

std::string ResolveDevicePath(const SerialPortConfig& config) {
    const std::optional<int> number = ComPortNumber(config.device);
    if (!number) return config.device;
    const std::string variable = "RAVIK_COM" + std::to_string(*number + 1);
    if (const char* path = std::getenv(variable.c_str()); path != nullptr && *path != '\0') return path;
    const std::string& chosen = config.portPaths[static_cast<size_t>(*number)];
    if (!chosen.empty()) return chosen;
    const std::string usb = "/dev/ttyUSB" + std::to_string(*number);
    if (FileExists(usb)) return usb;
    return "/dev/ttyS" + std::to_string(*number);
}

std::string LastErrorText(int code) {
    return "last_error = " + std::to_string(code) + " (" + std::strerror(code) + ")";
}

}  // namespace ravik
