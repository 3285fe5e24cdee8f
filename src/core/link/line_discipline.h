#pragma once
// The one line discipline every transfer uses, as the members of a device
// control block, and the checks of the block read back from the port.

#include <cstdint>
#include <string>
#include <vector>

namespace ravik {

inline constexpr uint8_t kXon = 0x11;
inline constexpr uint8_t kXoff = 0x13;

struct LineDiscipline {
    uint32_t baudRate = 0;
    bool binary = false;       // fBinary: no byte is interpreted or changed
    bool parityCheck = false;  // fParity
    bool outxCtsFlow = false;  // output held by CTS
    bool outxDsrFlow = false;  // output held by DSR
    bool dtrEnabled = false;
    bool rtsEnabled = false;
    bool outX = false;         // output held by a received XOFF
    bool inX = false;          // XOFF/XON sent when the receive queue fills/empties
    bool nullDiscard = false;  // fNull: NUL bytes dropped
    uint32_t xonLimit = 0;     // XON when fewer bytes than this are queued
    uint32_t xoffLimit = 0;    // XOFF when less room than this is left
    uint8_t byteSize = 0;
    uint8_t parity = 0;        // 0 none
    uint8_t stopBits = 0;      // 0 one stop bit
    uint8_t xonChar = 0;
    uint8_t xoffChar = 0;
};

// The discipline at this rate: 8-N-1, binary, receive-side XON/XOFF with
// 0x11/0x13 and limits of 1024 bytes, no hardware flow control, DTR and RTS off.
LineDiscipline WantedDiscipline(uint32_t baudRate);

// The items of a read-back block that do not hold, by their texts and in the
// order they are checked ("Baud Rate", "Byte Size", ...). The limits are not
// checked.
std::vector<std::string> FailedReadBackItems(const LineDiscipline& readBack, uint32_t requestedRate);

}  // namespace ravik
