#include "core/link/library_download.h"

#include <cstdio>

#include "core/platform/format_text.h"
#include "core/library/alloy_groups.h"
#include "core/platform/clock.h"
#include "core/platform/prompter.h"

namespace ravik {

LibraryDownload::LibraryDownload(SerialLine& line, Prompter& prompter, Clock& clock, SerialPortConfig config)
    : line_(line), prompter_(prompter), clock_(clock), config_(std::move(config)) {}

bool LibraryDownload::start(const AlloyLibrary& library) {
    if (phase_ == Phase::Probing || phase_ == Phase::Sending) return false;
    if (!library.readWhole) {
        prompter_.error("Library Not Read Whole\r\nNot Sent to the Instrument", "ERROR");
        return false;
    }
    if (library.alloys.size() > static_cast<size_t>(kMaxAlloys)) {
        prompter_.error("User Libray may\r\nnot be more than 425 Alloys", "NOTICE");
        return false;
    }
    if (!IsConsistentLibrary(library)) {
        prompter_.error("Library Damaged\r\nGroup Index Does Not Match the Alloys", "ERROR");
        return false;
    }
    library_ = library;
    lines_ = GroupedList(library_);
    position_ = 0;
    alloysSent_ = 0;
    baudIndex_ = -1;
    events_.push(EnableEvent{kEveryControlButCancel, false});
    probe_.emplace(line_, prompter_, clock_, config_);
    phase_ = Phase::Probing;
    return true;
}

void LibraryDownload::tick() {
    if (phase_ == Phase::Probing) {
        tickProbe();
    } else if (phase_ == Phase::Sending) {
        if (position_ < lines_.size()) {
            sendLine(lines_[position_++]);
        } else {
            sendSearchIndex();
        }
    }
}

void LibraryDownload::tickProbe() {
    switch (probe_->tick()) {
        case BaudProbe::Status::Searching:
            return;
        case BaudProbe::Status::NotFound:
        case BaudProbe::Status::OpenFailed:
            finish(Phase::Failed);
            return;
        case BaudProbe::Status::Found:
            break;
    }
    if (probe_->screenByte() != uint8_t{'9'}) {
        prompter_.error("Orvex Must be On\r\n Custom Lib. Screen", "ERROR");
        finish(Phase::Failed);
        return;
    }
    baudIndex_ = probe_->foundIndex();
    config_.baudIndex = baudIndex_;
    if (!line_.open(config_, prompter_)) {
        finish(Phase::Failed);
        return;
    }
    line_.purge(PurgeReceive | PurgeTransmit);
    const std::string count = FormatText("%d\r", static_cast<int>(library_.alloys.size()));
    line_.write(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(count.data()), count.size()));
    events_.push(ShowEvent{library_control::kProgress, true});
    phase_ = Phase::Sending;
}

void LibraryDownload::sendLine(const LibraryLine& line) {
    if (!line.isHeader()) {
        const AlloyRecord& alloy = library_.alloys[static_cast<size_t>(line.alloy)];
        bool sent = sendField(alloy.name.substr(0, kAlloyNameMaxLength));
        for (const LimitPair& pair : alloy.limits) {
            sent = sent && sendField(std::to_string(pair.low)) && sendField(std::to_string(pair.high));
        }
        if (!sent) {
            stopAnswered();
            return;
        }
        ++alloysSent_;
    }
    events_.push(TextEvent{library_control::kProgress, FormatText("%d%% Complete", percent())});
}

void LibraryDownload::sendSearchIndex() {
    for (int value : library_.searchIndex) {
        if (!sendField(std::to_string(value))) {
            stopAnswered();
            return;
        }
    }
    line_.close();
    finish(Phase::Done);
}

bool LibraryDownload::sendField(const std::string& text) {
    if (!ackWait()) return false;
    const std::string field = text + "\r";
    return line_.write(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(field.data()), field.size())) ==
           field.size();
}

bool LibraryDownload::ackWait() {
    const int64_t started = clock_.milliseconds();
    for (;;) {
        uint8_t byte = 0;
        const ReadResult got = line_.read(std::span<uint8_t>(&byte, 1));
        if (!got.ok) return false;
        if (got.count == 1 && byte != 0x13) return true;
        if (clock_.milliseconds() - started >= kAckWaitMillis) return false;
    }
}

void LibraryDownload::stopAnswered() {
    // The analyzer is told to give up too, in case it still listens.
    const uint8_t abort = kDownloadAbort;
    line_.write(std::span<const uint8_t>(&abort, 1));
    line_.close();
    prompter_.error("Instrument Stopped Answering\r\nLibrary Download Not Complete", "COMM ERROR");
    finish(Phase::Failed);
}

LibraryDownload::CloseDecision LibraryDownload::close() {
    if (phase_ == Phase::Probing) {
        probe_->cancel();
        finish(Phase::Aborted);
        return CloseDecision::NotDownloading;
    }
    if (phase_ != Phase::Sending) return CloseDecision::NotDownloading;
    if (prompter_.askWithDefault("Download in Progress\nLibrary on Instrument\nWill be Factory Default\nAre you sure?",
                                 "Warning", Buttons::YesNo, Icon::Stop, Answer::No) != Answer::Yes) {
        return CloseDecision::Stay;
    }
    const uint8_t abort = kDownloadAbort;
    line_.write(std::span<const uint8_t>(&abort, 1));
    line_.close();
    finish(Phase::Aborted);
    return CloseDecision::Aborted;
}

int LibraryDownload::percent() const {
    if (library_.alloys.empty()) return 100;
    return alloysSent_ * 100 / static_cast<int>(library_.alloys.size());
}

void LibraryDownload::finish(Phase phase) {
    const bool progressShown = phase_ == Phase::Sending;
    phase_ = phase;
    if (progressShown) events_.push(ShowEvent{library_control::kProgress, false});
    events_.push(EnableEvent{kEveryControlButCancel, true});
}

}  // namespace ravik
