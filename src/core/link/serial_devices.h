#pragma once
// The serial devices of this machine, as a user recognises them: what COM1
// to COM4 stand for, whether each opens, and the devices that can be chosen
// for them.

#include <array>
#include <string>
#include <vector>

namespace ravik {

inline constexpr int kComPortCount = 4;
using PortPaths = std::array<std::string, kComPortCount>;

// True when the device can be opened exclusively for reading and writing
// and closed again (it is then closed at once).
bool CanOpenPort(const std::string& path);

// COMn (port number 0..3) with the device path it resolves to and whether
// that opens now.
struct ComPortState {
    std::string path;
    bool opens = false;
};
using ComPortStates = std::array<ComPortState, kComPortCount>;
ComPortStates ProbeComPorts(const PortPaths& chosenPaths);

// The port a dialog makes current: the stored one when it opens, else the
// first that opens; when none opens the stored one stays.
int AvailablePort(int currentPort, const ComPortStates& ports);

// A device the user can give to a COM port: the links of serial/by-id with
// their names (the file name, which tells the maker and serial number), then
// the ttyUSB, ttyACM and ttyS devices that open and have no such link.
struct SerialDevice {
    std::string path;
    std::string name;    // the by-id name, or the path again
    std::string target;  // the device a by-id link stands for, else the path
    bool opens = false;
};
std::vector<SerialDevice> DetectSerialDevices(const std::string& deviceRoot = "/dev");

}  // namespace ravik
