#include <asm/termbits.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "core/link/flow_queue.h"
#include "core/link/instrument_port.h"
#include "core/link/line_discipline.h"
#include "core/link/serial_devices.h"
#include "core/settings/settings.h"
#include "support/pseudo_terminal.h"
#include "support/scripted_prompter.h"
#include "support/temp_dir.h"

namespace ravik {
namespace {

TEST(SerialConfig, RatesAndComNamesResolvedThroughEnvironmentSettingsAndSystem) {
    EXPECT_EQ(WriteMultiplier(kBaudRates[0].bitsPerSecond), 8u);
    EXPECT_EQ(WriteMultiplier(kBaudRates[4].bitsPerSecond), 0u);
    EXPECT_EQ(ComPortNumber("COM2"), 1);
    EXPECT_EQ(ComPortNumber("com5"), std::nullopt);
    EXPECT_EQ(ComPortNumber("/dev/com1"), std::nullopt);

    // The variable and the chosen device are resolved in the ports check; without either a
    // COM port is the system's serial device of its number.
    Settings settings;
    settings.currentPort = 2;
    settings.baud = 3;
    SerialPortConfig config = PortConfigFromSettings(settings);
    EXPECT_EQ(config.device + " " + std::to_string(config.baudIndex), "Com3: 3");
    ::unsetenv("RAVIK_COM3");
    const std::string fallback = ResolveDevicePath(config);
    EXPECT_TRUE(fallback == "/dev/ttyUSB2" || fallback == "/dev/ttyS2") << fallback;
    config.device = "/dev/pts/7";
    EXPECT_EQ(ResolveDevicePath(config), "/dev/pts/7");
}

TEST(LineDiscipline, ReadBackItemsAreCheckedInTableOrder) {
    EXPECT_TRUE(FailedReadBackItems(WantedDiscipline(56000), 56000).empty());
    EXPECT_EQ(FailedReadBackItems(WantedDiscipline(57600), 56000), (std::vector<std::string>{"Baud Rate"}));
    LineDiscipline readBack = WantedDiscipline(9600);
    readBack.xoffChar = 0;
    readBack.stopBits = 2;
    readBack.parityCheck = true;
    readBack.xonLimit = 0;  // the limits are not checked
    EXPECT_EQ(FailedReadBackItems(readBack, 9600), (std::vector<std::string>{"Stop Bits", "XOFF", "Parity"}));
    LineDiscipline none;
    EXPECT_EQ(FailedReadBackItems(none, 9600),
              (std::vector<std::string>{"Baud Rate", "Byte Size", "InX", "XON", "XOFF", "Binary"}));
}

// A port open on a pseudo-terminal: the test plays the analyzer on the master side.
struct PtyPort : test::PseudoTerminal {
    InstrumentPort port;
    test::ScriptedPrompter prompter;

    explicit PtyPort(int baudIndex) { EXPECT_TRUE(open(baudIndex)); }
    bool open(int baudIndex) { return port.open(SerialPortConfig{slave, baudIndex}, prompter); }
    termios2 lineSettings() const {
        termios2 settings{};
        ::ioctl(master, TCGETS2, &settings);
        return settings;
    }
    void send(const std::string& bytes) const {
        ASSERT_EQ(::write(master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    std::string drain() const {
        std::string got;
        char chunk[4096];
        ssize_t n;
        while ((n = ::read(master, chunk, sizeof chunk)) > 0) got.append(chunk, static_cast<size_t>(n));
        return got;
    }
    // The pseudo-terminal hands bytes over asynchronously: polls the port until
    // `count` bytes wait (or two seconds have passed).
    LineStatus waitForQueued(uint32_t count) {
        LineStatus status = port.clearCommError();
        for (int i = 0; i < 2000 && status.inQueue < count; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            status = port.clearCommError();
        }
        return status;
    }
};

// The raw eight-bit discipline is what lets whole dumps through unchanged (the
// link's end-to-end tests compare them byte for byte); here the flow control
// characters and the rate 56000, which has no constant of its own.
TEST(InstrumentPort, SetsTheFlowControlAndRatesIncluding56000) {
    PtyPort pty(3);
    EXPECT_TRUE(pty.prompter.boxes().empty());
    const termios2 settings = pty.lineSettings();
    EXPECT_EQ(settings.c_ospeed, 56000u);
    EXPECT_NE(settings.c_iflag & IXOFF, 0u);
    EXPECT_EQ(settings.c_iflag & IXON, 0u);
    EXPECT_EQ(settings.c_cc[VSTART], 0x11);
    EXPECT_EQ(settings.c_cc[VSTOP], 0x13);

    // Any other index keeps the rate the device has.
    ASSERT_TRUE(pty.open(9));
    EXPECT_EQ(pty.lineSettings().c_ospeed, 56000u);
    ASSERT_TRUE(pty.open(4));
    EXPECT_EQ(pty.lineSettings().c_ospeed, 115200u);
}

TEST(InstrumentPort, KeepsEveryByteAndSendsItsOwnXoffAndXon) {
    PtyPort pty(4);
    InstrumentPort& port = pty.port;
    const std::string data("\0\x11\x13\r\n\x1A", 6);
    pty.send(data);
    std::vector<uint8_t> got(pty.waitForQueued(6).inQueue);
    EXPECT_EQ(port.read(got).count, 6u);
    EXPECT_EQ(std::string(got.begin(), got.end()), data);

    // More than 3072 bytes waiting: XOFF to the analyzer; the queue holds at most 4096.
    pty.send(std::string(5000, 'r'));
    LineStatus status = pty.waitForQueued(4096);
    EXPECT_EQ(status.inQueue, 4096u);
    EXPECT_TRUE(status.xoffSent);
    EXPECT_EQ(pty.drain(), "\x13");
    std::vector<uint8_t> big(4000);
    port.read(big);
    status = pty.waitForQueued(1000);  // the rest of the 5000 came in, fewer than 1024 wait
    EXPECT_EQ(status.inQueue, 1000u);
    EXPECT_FALSE(status.xoffSent);
    EXPECT_EQ(pty.drain(), "\x11");

    port.purge(PurgeReceive);
    EXPECT_EQ(port.clearCommError().inQueue, 0u);
    const uint8_t probe[] = {141};
    EXPECT_EQ(port.write(probe), 1u);
    EXPECT_EQ(pty.drain(), "\x8D");
}

// XOFF once fewer than xoffLimit bytes of room are left, XON once fewer
// than xonLimit bytes are queued; exactly at a limit nothing is sent.
TEST(FlowQueue, XoffAndXonExactlyAtTheirThresholds) {
    FlowQueue queue(100);
    queue.setLimits(20, 10);
    std::vector<uint8_t> bytes(90);
    queue.push(bytes);
    EXPECT_EQ(queue.flowControlByte(), std::nullopt);
    queue.push(std::vector<uint8_t>(1));
    EXPECT_EQ(queue.flowControlByte(), kXoff);
    queue.take(std::span<uint8_t>(bytes.data(), 71));
    EXPECT_EQ(queue.flowControlByte(), std::nullopt);
    queue.take(std::span<uint8_t>(bytes.data(), 1));
    EXPECT_EQ(queue.flowControlByte(), kXon);
}

TEST(InstrumentPort, FailuresAreToldWithTheSystemsTexts) {
    test::ScriptedPrompter prompter;
    InstrumentPort port;
    EXPECT_FALSE(port.open(SerialPortConfig{"/dev/no-such-port", 0}, prompter));
    EXPECT_EQ(prompter.boxes()[0].icon, Icon::Stop);
    test::TempDir dir;
    test::WriteAll(dir.file("plain"), "not a port");
    EXPECT_FALSE(port.open(SerialPortConfig{dir.file("plain"), 0}, prompter));
    // The port is the program's alone while it is open.
    PtyPort first(0);
    EXPECT_FALSE(port.open(SerialPortConfig{first.slave, 0}, prompter));
    EXPECT_EQ(prompter.shown(), (std::vector<std::string>{
                                    "ERROR SETTING PORT: last_error = 2 (No such file or directory)",
                                    "ERROR SETTING PORT: GetCommState failed: last_error = " + std::to_string(ENOTTY) +
                                        " (Inappropriate ioctl for device)",
                                    "ERROR SETTING PORT: last_error = " + std::to_string(EWOULDBLOCK) +
                                        " (Resource temporarily unavailable)"}));
}

TEST(SerialDevices, ComPortsResolveAndOnlyAnOpenableOneIsAvailable) {
    test::PseudoTerminal pty;
    test::TempDir dir;
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
    // A chosen device that is missing and a file that is no terminal do not open.
    EXPECT_EQ((std::vector<bool>{ports[0].opens, ports[1].opens, ports[2].opens}), (std::vector<bool>{false, true, false}));
    EXPECT_EQ(AvailablePort(0, ports), 1);
    EXPECT_EQ(AvailablePort(1, ports), 1);
    EXPECT_EQ(AvailablePort(3, ComPortStates{}), 3);  // none opens: stays
}

TEST(SerialDevices, ByIdLinksAreNamedAndTheirTargetsNotListedTwice) {
    test::PseudoTerminal pty;
    test::TempDir root;
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
