#pragma once
// Receiving a Fast Data Dump: the analyzer sends five header lines and then
// its readings, a 20-byte record header and the record body in turn; the
// receiver frames that stream, writes every byte to the dump file "ravik.tmp"
// in the tick that read it, shows progress and line status, and loads the file
// into the store when the user accepts. The program sends nothing meanwhile.
// The dump dialog (control ids below) drives tick() from a 100 ms timer.

#include <cstdint>
#include <string>
#include <vector>

#include "core/link/dialog_events.h"
#include "core/link/serial_line.h"
#include "core/readings/readings_loader.h"

namespace ravik {

class Prompter;
struct Settings;

inline constexpr int kDumpTickMillis = 100;
// Bytes that must be queued before the header lines are read.
inline constexpr uint32_t kDumpStartBytes = 378;

// Controls of the dump dialog "COMMDIALOGBOX".
namespace dump_control {
inline constexpr int kAccept = 1;
inline constexpr int kDiscard = 2;
inline constexpr int kPrompt = 1050;
inline constexpr int kProgress = 1062;
inline constexpr int kInQueue = 1063;
inline constexpr int kCts = 1102;
inline constexpr int kDsr = 1103;
inline constexpr int kRls = 1104;
inline constexpr int kXoffSent = 1105;
inline constexpr int kXoffReceived = 1106;
}  // namespace dump_control

// "ravik.tmp" in the data directory, which is created when missing.
std::string DumpTempPath();

// The prompt for a baud index ("Press Fast Data Dump on ORVEX\n..."); empty
// for index 4.
std::string DumpPrompt(int baudIndex);

struct DumpState {
    uint32_t expected = kDumpStartBytes;  // bytes wanted before the next read
    bool headerDone = false;
    bool wantRecordHeader = true;
    int32_t received = -1;  // records completed
    int32_t total = 0;      // readings announced by the header
    uint32_t lastRead = 0;  // bytes returned by the last read
    int32_t percent = 0;
};

// How a dump ends when the user accepts it.
struct DumpAcceptResult {
    LoadOutcome outcome = LoadOutcome::Unreadable;
    // Set when the store now holds the dump: it has no file name yet.
    bool unsavedChanges = false;
};

class DumpReceiver {
public:
    enum class Phase {
        Closed,     // not opened, or ended
        Receiving,
        Stalled,    // a fault stopped the transfer; only Discard ends it
    };

    DumpReceiver(SerialLine& line, Prompter& prompter, Settings& settings, std::string dumpPath);
    ~DumpReceiver();
    DumpReceiver(const DumpReceiver&) = delete;
    DumpReceiver& operator=(const DumpReceiver&) = delete;

    // Creates the dump file, opens the port and only then empties the file;
    // shows the prompt for the baud index. A dump path that names anything
    // but a regular file (a link, FIFO, device or folder) is refused with
    // "Not a Regular File" and never waited on. False when either failed:
    // the port and the file are closed again, a previous dump is left as it
    // was, and the dialog ends.
    bool open(const SerialPortConfig& config);

    // One timer tick: line status, then what the queue already holds.
    void tick();

    // Accept: closes the port and the dump file and loads the dump as an
    // Open. The caller has closed the table windows. Refused (outcome
    // Unreadable, nothing done) until every announced reading has arrived.
    DumpAcceptResult accept(ReadingStore& store);
    // Discard: asks "Canceling will delete data\nAre you sure?"; on Yes ends
    // the transfer and returns true. The store is never touched.
    bool discard();
    // Ends the transfer without asking (what Discard does after its Yes).
    void end();

    bool acceptEnabled() const { return acceptEnabled_; }
    Phase phase() const { return phase_; }
    const DumpState& state() const { return state_; }
    // Bytes taken off the line by the last tick.
    uint32_t lastTickBytes() const { return lastTickBytes_; }
    std::vector<DialogEvent> takeEvents() { return events_.take(); }

private:
    // The tick's work: line status, then what the queue already holds.
    void receiveQueued();
    void showLineStatus(const LineStatus& status);
    // The header phase: reads the five lines byte by byte from what is queued.
    void readHeaderLines(uint32_t queued);
    void finishHeader();
    // Reads `count` bytes of the current block, writes them to the file.
    bool readBlock(uint32_t count);
    void completeBlock();
    // Bytes read are kept until the end of the tick, then written at once.
    void append(const uint8_t* bytes, size_t count);
    bool writePending();
    void showProgress();
    void stall();
    void failWrite();
    // Opens the dump file for writing, as a regular file only.
    bool openDumpFile();

    SerialLine& line_;
    Prompter& prompter_;
    Settings& settings_;
    std::string dumpPath_;
    int file_ = -1;
    Phase phase_ = Phase::Closed;
    DumpState state_;
    std::string header_;             // header bytes read so far
    int headerLineFeeds_ = 0;
    std::vector<uint8_t> block_;     // bytes of the current record header
    std::vector<uint8_t> buffer_;    // receive buffer of one read
    std::vector<uint8_t> pending_;   // bytes read this tick, not yet in the file
    bool acceptEnabled_ = false;
    uint32_t lastTickBytes_ = 0;
    std::optional<LineStatus> shownStatus_;
    DialogEvents events_;
};

}  // namespace ravik
