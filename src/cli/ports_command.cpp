// "ravik ports": what COM1 to COM4 stand for (their device paths, from
// $RAVIK_COMn, "ports.ini" or the system) and whether each opens, then the
// serial devices found on this machine that can be chosen for them.

#include <cstdio>

#include "cli/commands.h"
#include "core/link/serial_devices.h"
#include "core/platform/data_dir.h"
#include "core/platform/file_io.h"
#include "core/settings/settings_file.h"

namespace ravik {

namespace {

const char* OpensText(bool opens) { return opens ? "opens" : "does not open"; }

PortPaths ChosenPortPaths() {
    std::string text;
    if (ReadSmallTextFile(DataFilePath(DataDirectory(), kPortsFileName), text) != FileStatus::Ok) return {};
    return ParsePortPaths(text);
}

}  // namespace

int RunPorts(const Arguments& args) {
    if (!args.empty()) {
        std::fprintf(stderr, "usage: ravik ports\n");
        return 2;
    }
    const ComPortStates ports = ProbeComPorts(ChosenPortPaths());
    for (int n = 0; n < kComPortCount; ++n) {
        const ComPortState& port = ports[static_cast<size_t>(n)];
        std::printf("COM%d  %-40s %s\n", n + 1, port.path.c_str(), OpensText(port.opens));
    }
    std::printf("\ndetected devices:\n");
    const std::vector<SerialDevice> devices = DetectSerialDevices();
    if (devices.empty()) std::printf("  (none)\n");
    for (const SerialDevice& device : devices) {
        if (device.target == device.path) {
            std::printf("  %-40s %s\n", device.path.c_str(), OpensText(device.opens));
        } else {
            std::printf("  %s\n    -> %-37s %s\n", device.path.c_str(), device.target.c_str(), OpensText(device.opens));
        }
    }
    return 0;
}

}  // namespace ravik
