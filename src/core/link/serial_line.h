#pragma once
// The serial line as the transfer machines use it: open and configure the
// port, poll its status and queue counts, read, write, purge, close. The
// termios InstrumentPort is the real one; tests drive the machines through a
// scripted fake.

#include <cstddef>
#include <cstdint>
#include <span>

#include "core/link/serial_config.h"

namespace ravik {

class Prompter;

// What ClearCommError reports: the queue counts and the line's hold flags.
struct LineStatus {
    uint32_t inQueue = 0;   // cbInQue: bytes waiting to be read
    uint32_t outQueue = 0;  // cbOutQue: bytes not yet sent
    bool ctsHold = false;
    bool dsrHold = false;
    bool rlsdHold = false;
    bool xoffHold = false;  // output held by a received XOFF
    bool xoffSent = false;  // the port has sent XOFF to the analyzer
};

enum PurgeFlag : unsigned { PurgeReceive = 0x0008, PurgeTransmit = 0x0004 };

// The result of a read: the bytes read, or a failure with its system error code.
struct ReadResult {
    size_t count = 0;
    bool ok = true;
    int error = 0;
};

class SerialLine {
public:
    virtual ~SerialLine() = default;

    // Opens and configures the port; tells the user through the prompter
    // why it could not. On false the port may still be open: the caller
    // closes it.
    virtual bool open(const SerialPortConfig& config, Prompter& prompter) = 0;
    virtual bool isOpen() const = 0;
    virtual LineStatus clearCommError() = 0;
    // Reads up to into.size() bytes, waiting at most the read time-out
    // (1000 ms) for them.
    virtual ReadResult read(std::span<uint8_t> into) = 0;
    // Writes the bytes; returns how many went out.
    virtual size_t write(std::span<const uint8_t> bytes) = 0;
    virtual void purge(unsigned flags) = 0;
    // Closes the port; false when closing failed. Closing a closed port succeeds.
    virtual bool close() = 0;
};

// The read total time-out of every read.
inline constexpr int kReadTimeoutMillis = 1000;
// Receive and transmit queue sizes.
inline constexpr uint32_t kQueueSize = 4096;

}  // namespace ravik
