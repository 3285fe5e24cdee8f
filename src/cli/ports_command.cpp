// "ravik ports": what COM1 to COM4 stand for (their device paths, from
// $RAVIK_COMn, "ports.ini" or the system) and whether each opens, then the
// serial devices found on this machine that can be chosen for them. A
// "ports.ini" that is refused is told; the list then shows the system's
// choices and the exit status is 1.

#include <cstdio>

#include "cli/commands.h"
#include "core/link/serial_devices.h"
#include "core/platform/data_dir.h"
#include "core/platform/prompter.h"
#include "core/settings/settings_file.h"
#include "core/shell/command_line.h"

namespace ravik {

namespace {

const char* OpensText(bool opens) { return opens ? "opens" : "does not open"; }

// A path as it can be shown on a terminal: control characters (C0, DEL and
// C1 in UTF-8), which a hand-edited "ports.ini" or a device name may hold,
// are written as \xNN so that they cannot move the cursor or recolour it.
std::string Shown(const std::string& path) {
    std::string shown;
    for (size_t i = 0; i < path.size(); ++i) {
        const auto byte = static_cast<unsigned char>(path[i]);
        const bool c1 = byte == 0xC2 && i + 1 < path.size() && (static_cast<unsigned char>(path[i + 1]) & 0xE0) == 0x80;
        if (byte >= 0x20 && byte != 0x7F && !c1) {
            shown += path[i];
            continue;
        }
        const unsigned code = c1 ? static_cast<unsigned char>(path[++i]) : byte;
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\x%02X", code);
        shown += escaped;
    }
    return shown;
}

}  // namespace

int RunPorts(const Arguments& args) {
    const std::optional<ParsedOptions> parsed = ParseOptions(args, {});
    if (!parsed || !parsed->operands().empty()) {
        std::fprintf(stderr, "usage: ravik ports\n");
        return 2;
    }
    StderrPrompter prompter;
    PortPaths chosen;
    const bool portsRead = ReadPortPaths(DataDirectory(), chosen, prompter);
    const ComPortStates ports = ProbeComPorts(chosen);
    for (int n = 0; n < kComPortCount; ++n) {
        const ComPortState& port = ports[static_cast<size_t>(n)];
        std::printf("COM%d  %-40s %s\n", n + 1, Shown(port.path).c_str(), OpensText(port.opens));
    }
    std::printf("\ndetected devices:\n");
    const std::vector<SerialDevice> devices = DetectSerialDevices();
    if (devices.empty()) std::printf("  (none)\n");
    for (const SerialDevice& device : devices) {
        if (device.target == device.path) {
            std::printf("  %-40s %s\n", Shown(device.path).c_str(), OpensText(device.opens));
        } else {
            std::printf("  %s\n    -> %-37s %s\n", Shown(device.path).c_str(), Shown(device.target).c_str(),
                        OpensText(device.opens));
        }
    }
    return portsRead ? 0 : 1;
}

}  // namespace ravik
