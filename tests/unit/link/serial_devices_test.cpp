#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "link/serial_devices.h"
#include "support/pseudo_terminal.h"
#include "support/temp_dir.h"

namespace ravik {
namespace {

using test::PseudoTerminal;
using test::TempDir;

TEST(SerialDevices, ComPortsResolveAndOnlyAnOpenableOneIsAvailable) {
    PseudoTerminal pty;
    TempDir dir;
    test::WriteAll(dir.file("plain"), "not a terminal");
    setenv("RAVIK_COM2", pty.slave.c_str(), 1);
    setenv("RAVIK_COM3", dir.file("plain").c_str(), 1);
    unsetenv("RAVIK_COM1");
    unsetenv("RAVIK_COM4");
    PortPaths chosen;
    chosen[0] = dir.file("missing");
    chosen[1] = "/dev/ignored-when-the-variable-is-set";
    const ComPortStates ports = ProbeComPorts(chosen);
    unsetenv("RAVIK_COM2");
    unsetenv("RAVIK_COM3");
    EXPECT_EQ(ports[0].path, dir.file("missing"));
    EXPECT_EQ(ports[1].path, pty.slave);
    EXPECT_FALSE(ports[0].opens);
    EXPECT_TRUE(ports[1].opens);
    EXPECT_FALSE(ports[2].opens);  // a file that is no terminal
    EXPECT_EQ(AvailablePort(0, ports), 1);
    EXPECT_EQ(AvailablePort(1, ports), 1);
    EXPECT_EQ(AvailablePort(3, ComPortStates{}), 3);  // none opens: stays
}

TEST(SerialDevices, ByIdLinksAreNamedAndTheirTargetsNotListedTwice) {
    PseudoTerminal pty;
    TempDir root;
    namespace fs = std::filesystem;
    fs::create_directories(root.file("serial/by-id"));
    fs::create_symlink(pty.slave, root.file("serial/by-id/usb-Maker_Cable_A1B2-if00-port0"));
    // A tty node that does not open is left out.
    test::WriteAll(root.file("ttyUSB7"), "");
    const std::vector<SerialDevice> devices = DetectSerialDevices(root.path());
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0].name, "usb-Maker_Cable_A1B2-if00-port0");
    EXPECT_EQ(devices[0].target, pty.slave);
    EXPECT_TRUE(devices[0].opens);
}

}  // namespace
}  // namespace ravik
