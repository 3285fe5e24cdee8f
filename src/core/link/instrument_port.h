#pragma once
// The serial port on POSIX termios (Linux). The device is drained into the
// port's own 4096-byte receive queue, which does the receive-side flow
// control: XOFF to the analyzer when more than 3072 bytes are waiting, XON
// when fewer than 1024 are. The queue count and the hold flags are what
// ClearCommError reports; reads take from the queue.

#include "core/link/flow_queue.h"
#include "core/link/line_discipline.h"
#include "core/link/serial_line.h"

struct termios2;

namespace ravik {

class InstrumentPort final : public SerialLine {
public:
    InstrumentPort();
    ~InstrumentPort() override;
    InstrumentPort(const InstrumentPort&) = delete;
    InstrumentPort& operator=(const InstrumentPort&) = delete;

    // Opens the device exclusively, sets the line discipline at the config's
    // rate (any index outside 0..4 keeps the device's rate), empties both
    // queues and checks the settings read back. Every failure is told with
    // the system's texts ("ERROR SETTING PORT", "PORT ERROR").
    bool open(const SerialPortConfig& config, Prompter& prompter) override;
    bool isOpen() const override { return fd_ >= 0; }
    LineStatus clearCommError() override;
    ReadResult read(std::span<uint8_t> into) override;
    size_t write(std::span<const uint8_t> bytes) override;
    void purge(unsigned flags) override;
    bool close() override;

private:
    bool configure(const LineDiscipline& discipline, const ::termios2& current, Prompter& prompter);
    bool checkReadBack(uint32_t requestedRate, Prompter& prompter);
    // Moves what the device holds into the queue (as far as there is room),
    // then sends XOFF or XON when the queue asks for it.
    void serviceQueue();
    size_t writeWithin(std::span<const uint8_t> bytes, int timeoutMillis);

    int fd_ = -1;
    int deviceError_ = 0;  // errno of a failed device read, until reported
    FlowQueue queue_;
    uint32_t writeMultiplier_ = 8;
};

}  // namespace ravik
