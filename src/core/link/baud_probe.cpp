#include "core/link/baud_probe.h"

#include <algorithm>
#include <vector>

#include "core/platform/clock.h"
#include "core/platform/prompter.h"

namespace ravik {

const char* const kNotRespondingText = "Instrument not responding\r\nCheck instrument and connection\r\nand try again";

BaudProbe::BaudProbe(SerialLine& line, Prompter& prompter, Clock& clock, SerialPortConfig config)
    : line_(line), prompter_(prompter), clock_(clock), config_(std::move(config)) {}

BaudProbe::Status BaudProbe::tick() {
    if (status_ != Status::Searching) return status_;
    if (!asked_) {
        ask();
    } else if (clock_.seconds() - askedAt_ >= kProbeWaitSeconds) {
        readAnswer();
    }
    return status_;
}

void BaudProbe::ask() {
    config_.baudIndex = index_;
    if (!line_.open(config_, prompter_)) {
        line_.close();
        status_ = Status::OpenFailed;
        return;
    }
    line_.purge(PurgeReceive | PurgeTransmit);
    const uint8_t probe = kWhatScreen;
    line_.write(std::span<const uint8_t>(&probe, 1));
    asked_ = true;
    askedAt_ = clock_.seconds();
}

void BaudProbe::readAnswer() {
    const LineStatus status = line_.clearCommError();
    std::vector<uint8_t> answer(std::min<size_t>(status.inQueue, kProbeBufferSize));
    const ReadResult got = line_.read(answer);
    answer.resize(got.ok ? got.count : 0);
    line_.close();
    asked_ = false;

    const auto echo = std::find(answer.begin(), answer.end(), kWhatScreen);
    if (echo != answer.end()) {
        if (echo + 1 != answer.end()) screenByte_ = *(echo + 1);
        status_ = Status::Found;
        return;
    }
    if (++index_ == kBaudCount) {
        prompter_.error(kNotRespondingText, "ERROR");
        status_ = Status::NotFound;
    }
}

void BaudProbe::cancel() {
    if (status_ == Status::Searching && asked_) line_.close();
    asked_ = false;
}

}  // namespace ravik
