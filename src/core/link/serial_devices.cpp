#include "core/link/serial_devices.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>

#include "core/link/serial_config.h"

namespace ravik {

namespace {

namespace fs = std::filesystem;

constexpr const char* kDevicePrefixes[] = {"ttyUSB", "ttyACM", "ttyS"};

std::string CanonicalPath(const fs::path& path) {
    std::error_code error;
    const fs::path canonical = fs::canonical(path, error);
    return error ? path.string() : canonical.string();
}

// Directory entries sorted by name, so listings come out the same every time.
std::vector<fs::path> SortedEntries(const fs::path& directory) {
    std::vector<fs::path> entries;
    std::error_code error;
    for (fs::directory_iterator it(directory, error), end; !error && it != end; it.increment(error)) {
        entries.push_back(it->path());
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

bool HasDevicePrefix(const std::string& name) {
    return std::any_of(std::begin(kDevicePrefixes), std::end(kDevicePrefixes),
                       [&name](const char* prefix) { return name.rfind(prefix, 0) == 0; });
}

}  // namespace

bool CanOpenPort(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    // Another program holding the port exclusively refuses the open above;
    // a device that is not a terminal is no serial port.
    const bool terminal = ::isatty(fd) == 1;
    return ::close(fd) == 0 && terminal;
}

ComPortStates ProbeComPorts(const PortPaths& chosenPaths) {
    ComPortStates states;
    for (int n = 0; n < kComPortCount; ++n) {
        SerialPortConfig config;
        config.device = ComDeviceName(n);
        config.portPaths = chosenPaths;
        ComPortState& state = states[static_cast<size_t>(n)];
        state.path = ResolveDevicePath(config);
        state.opens = CanOpenPort(state.path);
    }
    return states;
}

int AvailablePort(int currentPort, const ComPortStates& ports) {
    if (currentPort >= 0 && currentPort < kComPortCount && ports[static_cast<size_t>(currentPort)].opens) {
        return currentPort;
    }
    for (int n = 0; n < kComPortCount; ++n) {
        if (ports[static_cast<size_t>(n)].opens) return n;
    }
    return currentPort;
}

std::vector<SerialDevice> DetectSerialDevices(const std::string& deviceRoot) {
    std::vector<SerialDevice> devices;
    std::set<std::string> linked;
    for (const fs::path& link : SortedEntries(fs::path(deviceRoot) / "serial" / "by-id")) {
        SerialDevice& device = devices.emplace_back();
        device.path = link.string();
        device.name = link.filename().string();
        device.target = CanonicalPath(link);
        device.opens = CanOpenPort(device.path);
        linked.insert(device.target);
    }
    for (const fs::path& node : SortedEntries(deviceRoot)) {
        const std::string name = node.filename().string();
        if (!HasDevicePrefix(name) || linked.count(CanonicalPath(node)) > 0) continue;
        if (!CanOpenPort(node.string())) continue;
        devices.push_back({node.string(), node.string(), node.string(), true});
    }
    return devices;
}

}  // namespace ravik
