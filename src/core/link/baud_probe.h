#pragma once
// Finding the analyzer's rate: at each baud index from 9.6K upward the port
// is opened, emptied, sent the byte 141 and, once the wall clock's whole
// seconds have advanced by 3, read; the first rate whose reply holds a 141
// is the analyzer's. Driven by timer ticks so that the wait never blocks.

#include <array>
#include <cstdint>
#include <optional>

#include "core/link/serial_line.h"

namespace ravik {

class Clock;
class Prompter;

inline constexpr uint8_t kWhatScreen = 141;  // R_WHAT_SCREEN
inline constexpr int kProbeWaitSeconds = 3;
// The probe reads at most this many queued bytes.
inline constexpr size_t kProbeBufferSize = 512;

class BaudProbe {
public:
    enum class Status {
        Searching,
        Found,       // foundIndex() answered; the port is closed
        NotFound,    // no rate answered; "Instrument not responding..." was shown
        OpenFailed,  // the port could not be opened (its messages were shown)
    };

    // config gives the device; its baud index is not used.
    BaudProbe(SerialLine& line, Prompter& prompter, Clock& clock, SerialPortConfig config);

    // One step: opens and asks at the next rate, or reads the answer once
    // the wait is over. Returns the status after the step.
    Status tick();
    // Closes the port if a probe is under way (the user gave up).
    void cancel();

    Status status() const { return status_; }
    int foundIndex() const { return index_; }
    // The byte after the echoed 141, when the reply has one (the analyzer's
    // screen: "9" on its custom library screen).
    std::optional<uint8_t> screenByte() const { return screenByte_; }

private:
    void ask();
    void readAnswer();

    SerialLine& line_;
    Prompter& prompter_;
    Clock& clock_;
    SerialPortConfig config_;
    Status status_ = Status::Searching;
    int index_ = 0;
    bool asked_ = false;
    int64_t askedAt_ = 0;
    std::optional<uint8_t> screenByte_;
};

// "Instrument not responding\r\nCheck instrument and connection\r\nand try again"
extern const char* const kNotRespondingText;

}  // namespace ravik
