#include "core/link/dump_receiver.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "core/platform/format_text.h"
#include "core/platform/data_dir.h"
#include "core/platform/file_io.h"
#include "core/platform/prompter.h"
#include "core/readings/record.h"
#include "core/settings/settings.h"

namespace ravik {

namespace {

constexpr int kHeaderLines = 5;

// The reading count at the start of the header; a negative (locked) count
// announces as many readings as its absolute value.
int32_t AnnouncedCount(const std::string& header) {
    const long long count = std::llabs(std::strtoll(header.c_str(), nullptr, 10));
    return static_cast<int32_t>(std::min<long long>(count, std::numeric_limits<int32_t>::max()));
}

}  // namespace

std::string DumpTempPath() {
    const std::string directory = DataDirectory();
    EnsureDataDirectory(directory);
    return DataFilePath(directory, "ravik.tmp");
}

std::string DumpPrompt(int baudIndex) {
    switch (baudIndex) {
        case 0: return "Press Fast Data Dump on ORVEX\nSet Baud Rate to 9.6K (default)";
        case 1: return "Press Fast Data Dump on ORVEX\nMUST Set Baud Rate to 19.2K";
        case 2: return "Press Fast Data Dump on ORVEX\nMUST Set Baud Rate to 38.4K";
        case 3: return "Press Fast Data Dump on ORVEX\nMUST Set Baud Rate to 56.0K";
        default: return "";
    }
}

DumpReceiver::DumpReceiver(SerialLine& line, Prompter& prompter, Settings& settings, std::string dumpPath)
    : line_(line), prompter_(prompter), settings_(settings), dumpPath_(std::move(dumpPath)) {}

DumpReceiver::~DumpReceiver() {
    if (file_ >= 0) ::close(file_);
}

bool DumpReceiver::open(const SerialPortConfig& config) {
    end();
    // Locked before it is emptied, so a second receiver cannot wipe a dump
    // that is still arriving; emptied only once the port is open, so a
    // receive that cannot start leaves the previous dump as it was.
    const auto cannotCreate = [this] {
        end();
        prompter_.error("Cannot Create Dump File\n" + dumpPath_, "Disk Error");
        return false;
    };
    if (!openDumpFile()) return false;
    if (::flock(file_, LOCK_EX | LOCK_NB) != 0) return cannotCreate();
    if (!line_.open(config, prompter_)) {
        end();
        return false;
    }
    if (::ftruncate(file_, 0) != 0) return cannotCreate();
    state_ = DumpState{};
    header_.clear();
    headerLineFeeds_ = 0;
    block_.clear();
    acceptEnabled_ = false;
    shownStatus_.reset();
    phase_ = Phase::Receiving;
    if (const std::string prompt = DumpPrompt(config.baudIndex); !prompt.empty()) {
        events_.push(TextEvent{dump_control::kPrompt, prompt});
    }
    return true;
}

bool DumpReceiver::openDumpFile() {
    // Without blocking and without following a link: a FIFO by that name
    // would otherwise hang the open until a reader came, and a link would
    // let the emptying in open() cut down the file it points to.
    file_ = ::open(dumpPath_.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW, 0644);
    struct stat info {};
    if (file_ >= 0 && ::fstat(file_, &info) == 0 && S_ISREG(info.st_mode)) {
        ::fcntl(file_, F_SETFL, ::fcntl(file_, F_GETFL) & ~O_NONBLOCK);
        return true;
    }
    // Opened as something else, or refused because something else (a link,
    // a FIFO without a reader, a folder) has the name.
    const bool special = file_ >= 0 || (::lstat(dumpPath_.c_str(), &info) == 0 && !S_ISREG(info.st_mode));
    end();
    prompter_.error(special ? ReadProblemText(FileStatus::NotRegularFile, dumpPath_, "")
                            : "Cannot Create Dump File\n" + dumpPath_,
                    "Disk Error");
    return false;
}

void DumpReceiver::tick() {
    lastTickBytes_ = 0;
    if (phase_ == Phase::Closed) return;
    receiveQueued();
    // What the tick read goes to the dump file in one write (the records
    // before their progress is shown; the header here).
    if (!pending_.empty() && !writePending()) failWrite();
}

void DumpReceiver::receiveQueued() {
    const LineStatus status = line_.clearCommError();
    showLineStatus(status);
    if (phase_ != Phase::Receiving) return;

    uint32_t queued = status.inQueue;
    if (!state_.headerDone) {
        if (header_.empty() && queued < state_.expected) return;
        readHeaderLines(queued);
        return;
    }
    // Every block the queue already holds is taken, so a tick never waits
    // and never does more than one queue's worth of work.
    bool readRecords = false;
    while (phase_ == Phase::Receiving) {
        const bool wholeBlock = queued >= state_.expected;
        // A body longer than the queue lets in before XOFF is taken in
        // pieces: the analyzer waits until the queue has been read.
        const bool heldBody = !state_.wantRecordHeader && status.xoffSent && queued > 0;
        if (!wholeBlock && !heldBody) break;
        const uint32_t before = lastTickBytes_;
        if (!readBlock(wholeBlock ? state_.expected : queued)) break;
        queued -= lastTickBytes_ - before;
        readRecords = true;
    }
    if (!readRecords) return;
    // Accept is offered only for what is in the file.
    if (!writePending()) {
        failWrite();
        return;
    }
    showProgress();
    if (state_.received >= state_.total && !acceptEnabled_) {
        acceptEnabled_ = true;
        events_.push(EnableEvent{dump_control::kAccept, true});
        events_.push(BeepEvent{});
        events_.push(BeepEvent{});
    }
}

void DumpReceiver::showLineStatus(const LineStatus& status) {
    const bool changed = !shownStatus_ || shownStatus_->inQueue != status.inQueue ||
                         shownStatus_->ctsHold != status.ctsHold || shownStatus_->dsrHold != status.dsrHold ||
                         shownStatus_->rlsdHold != status.rlsdHold || shownStatus_->xoffHold != status.xoffHold ||
                         shownStatus_->xoffSent != status.xoffSent;
    if (!changed) return;
    shownStatus_ = status;
    events_.push(TextEvent{dump_control::kInQueue, FormatText("InQue: %d   ", static_cast<int>(status.inQueue))});
    events_.push(CheckEvent{dump_control::kCts, status.ctsHold});
    events_.push(CheckEvent{dump_control::kDsr, status.dsrHold});
    events_.push(CheckEvent{dump_control::kRls, status.rlsdHold});
    events_.push(CheckEvent{dump_control::kXoffReceived, status.xoffHold});
    events_.push(CheckEvent{dump_control::kXoffSent, status.xoffSent});
}

void DumpReceiver::readHeaderLines(uint32_t queued) {
    settings_.download = kDownloadDone;
    state_.expected = 1;  // the header is read a byte at a time
    while (headerLineFeeds_ < kHeaderLines) {
        if (header_.size() == kFileHeaderSize) {
            prompter_.error("Dump Header Too Long\nMore Than 256 Bytes in Five Lines", "COMM ERROR");
            append(reinterpret_cast<const uint8_t*>(header_.data()), header_.size());
            stall();
            return;
        }
        if (queued == 0) return;  // the rest of the header comes with a later tick
        uint8_t byte = 0;
        const ReadResult result = line_.read(std::span<uint8_t>(&byte, 1));
        if (!result.ok) {
            prompter_.error(LastErrorText(result.error), "ERROR READING PORT");
            stall();
            return;
        }
        if (result.count == 0) return;
        --queued;
        ++lastTickBytes_;
        header_ += static_cast<char>(byte);
        if (byte == '\n') ++headerLineFeeds_;
    }
    finishHeader();
}

void DumpReceiver::finishHeader() {
    header_.resize(kFileHeaderSize, '\0');
    events_.push(TextEvent{dump_control::kPrompt, std::string(header_.c_str())});
    state_.headerDone = true;
    state_.received = 0;
    state_.expected = kRecordHeaderSize;
    state_.wantRecordHeader = true;
    state_.total = AnnouncedCount(header_);
    state_.lastRead = static_cast<uint32_t>(kFileHeaderSize);
    append(reinterpret_cast<const uint8_t*>(header_.data()), header_.size());
}

bool DumpReceiver::readBlock(uint32_t count) {
    buffer_.resize(count);
    ReadResult result;
    if (count > 0) result = line_.read(buffer_);
    if (!result.ok) {
        prompter_.error(LastErrorText(result.error), "ERROR READING PORT");
        stall();
        return false;
    }
    state_.lastRead = static_cast<uint32_t>(result.count);
    lastTickBytes_ += state_.lastRead;
    append(buffer_.data(), result.count);
    if (state_.wantRecordHeader) block_.insert(block_.end(), buffer_.begin(), buffer_.begin() + static_cast<long>(result.count));
    state_.expected -= state_.lastRead;
    if (state_.expected == 0) completeBlock();
    return result.count > 0 || count == 0;
}

void DumpReceiver::completeBlock() {
    if (state_.wantRecordHeader) {
        // The record's whole length less its header, in 32-bit unsigned
        // arithmetic: a length below 20 asks for more than any queue holds.
        state_.expected = uint32_t{ReadU16(block_.data())} - static_cast<uint32_t>(kRecordHeaderSize);
        block_.clear();
        state_.wantRecordHeader = false;
        if (state_.expected > kQueueSize) {
            prompter_.ask(FormatText("WaitInQue %d  > RXQUEUE %d @ %d", static_cast<int>(state_.expected),
                                 static_cast<int>(kQueueSize), state_.received),
                          "COMM ERROR", Buttons::Ok, Icon::None);
            stall();
        }
        return;
    }
    if (state_.received < state_.total) {
        state_.expected = kRecordHeaderSize;
        state_.wantRecordHeader = true;
        ++state_.received;
    } else {
        state_.expected = 1;  // surplus bytes after the announced readings
    }
    state_.percent = state_.total == 0 ? 0 : static_cast<int32_t>(state_.received * 1.0 / state_.total * 100.0);
}

void DumpReceiver::append(const uint8_t* bytes, size_t count) { pending_.insert(pending_.end(), bytes, bytes + count); }

bool DumpReceiver::writePending() {
    size_t written = 0;
    while (written < pending_.size()) {
        const ssize_t put = ::write(file_, pending_.data() + written, pending_.size() - written);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) break;
        written += static_cast<size_t>(put);
    }
    const bool whole = written == pending_.size();
    pending_.clear();
    return whole;
}

void DumpReceiver::showProgress() {
    events_.push(TextEvent{dump_control::kProgress,
                           FormatText("%d%% Complete Records %ld of %ld  %4d", std::min(state_.percent, 100),
                                  static_cast<long>(state_.received), static_cast<long>(state_.total),
                                  static_cast<int>(state_.expected))});
}

void DumpReceiver::stall() { phase_ = Phase::Stalled; }

void DumpReceiver::failWrite() {
    prompter_.ask("Out of Disk Space\nFree More Space\nor\nDownload Fewer Reading", "Disk Error", Buttons::Ok,
                  Icon::None);
    stall();
    if (discard()) events_.push(EndEvent{0});
}

DumpAcceptResult DumpReceiver::accept(ReadingStore& store) {
    DumpAcceptResult result;
    if (!acceptEnabled_ || phase_ == Phase::Closed) return result;
    end();
    result.outcome = LoadReadingsFile(store, dumpPath_, kOpenCommand, prompter_);
    result.unsavedChanges = result.outcome == LoadOutcome::Whole || result.outcome == LoadOutcome::Damaged ||
                            result.outcome == LoadOutcome::OutOfMemory;
    return result;
}

bool DumpReceiver::discard() {
    if (prompter_.askWithDefault("Canceling will delete data\nAre you sure?", "Warning", Buttons::YesNo,
                                 Icon::Stop, Answer::No) != Answer::Yes) {
        return false;
    }
    end();
    return true;
}

void DumpReceiver::end() {
    if (file_ >= 0) {
        ::close(file_);
        file_ = -1;
    }
    if (line_.isOpen() && !line_.close()) prompter_.error("Could not close port", "COMM ERROR 2");
    phase_ = Phase::Closed;
}

}  // namespace ravik
