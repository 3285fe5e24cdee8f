#pragma once
// Downloading the alloy library to the analyzer: find its rate (it must
// echo 141 followed by "9", its custom library screen), send the alloy
// count, then one line of the grouped list per tick (a group header sends
// nothing; an alloy sends its name and its 19 limit pairs), and finally the
// 13 searchIndex values. Every field after the count waits for the
// analyzer's acknowledgement byte first (AckWait). The library editor drives
// tick() from a 10 ms timer.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/library/alloy_library.h"
#include "core/library/library_model.h"
#include "core/link/baud_probe.h"
#include "core/link/dialog_events.h"
#include "core/link/serial_line.h"

namespace ravik {

class Clock;
class Prompter;

inline constexpr int kLibraryTickMillis = 10;
// Sent to the analyzer when the user stops a download ("Q").
inline constexpr uint8_t kDownloadAbort = 81;
// How long AckWait waits for the analyzer's acknowledgement.
inline constexpr int64_t kAckWaitMillis = 5000;

namespace library_control {
inline constexpr int kCancel = 2;
inline constexpr int kProgress = 1062;
}  // namespace library_control

class LibraryDownload {
public:
    enum class Phase { Idle, Probing, Sending, Done, Failed, Aborted };
    enum class CloseDecision {
        NotDownloading,  // nothing under way: the editor closes as usual
        Stay,            // the user chose to let the download go on
        Aborted,         // the download was stopped ("Q" sent, port closed)
    };

    // config gives the device; the rate is found from 9.6K upward and the
    // configured index is never changed.
    LibraryDownload(SerialLine& line, Prompter& prompter, Clock& clock, SerialPortConfig config);

    // Send: takes a copy of the library and starts the rate search. False
    // (with a message) when the library cannot be sent: more than 425
    // alloys, a group index that does not fit, or not read whole.
    bool start(const AlloyLibrary& library);
    void tick();
    // Close (Cancel, 2) pressed.
    CloseDecision close();

    Phase phase() const { return phase_; }
    int foundIndex() const { return baudIndex_; }
    // "%d%% Complete": alloys sent x 100 / alloy count.
    int percent() const;
    std::vector<DialogEvent> takeEvents() { return events_.take(); }

private:
    void tickProbe();
    void sendLine(const LibraryLine& line);
    void sendSearchIndex();
    // Waits for the acknowledgement, then sends the field with its "\r".
    bool sendField(const std::string& text);
    bool ackWait();
    void stopAnswered();
    void finish(Phase phase);

    SerialLine& line_;
    Prompter& prompter_;
    Clock& clock_;
    SerialPortConfig config_;
    std::optional<BaudProbe> probe_;
    Phase phase_ = Phase::Idle;
    int baudIndex_ = -1;
    AlloyLibrary library_;
    std::vector<LibraryLine> lines_;
    size_t position_ = 0;
    int alloysSent_ = 0;
    DialogEvents events_;
};

}  // namespace ravik
