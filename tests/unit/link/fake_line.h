#pragma once
// A scripted serial line and an injectable clock for driving the transfer
// machines without a device and without sleeping. Also used by the fuzz
// targets, so it needs nothing but the core.

#include <algorithm>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/link/dialog_events.h"
#include "core/link/serial_line.h"
#include "core/platform/clock.h"

namespace ravik::test {

class FakeClock final : public Clock {
public:
    int64_t seconds() override { return 1000000 + millis_ / 1000; }
    int64_t milliseconds() override { return millis_; }
    void advanceMillis(int64_t millis) { millis_ += millis; }

private:
    int64_t millis_ = 0;
};

class FakeLine final : public SerialLine {
public:
    // With a clock, a read that finds nothing queued lets the read time-out
    // pass on that clock.
    explicit FakeLine(FakeClock* clock = nullptr) : clock_(clock) {}

    // ---- script ----
    void feed(std::span<const uint8_t> bytes) { incoming_.insert(incoming_.end(), bytes.begin(), bytes.end()); }
    void feed(std::string_view bytes) { incoming_.insert(incoming_.end(), bytes.begin(), bytes.end()); }

    std::vector<uint8_t> written;
    std::vector<SerialPortConfig> opens;  // every open, in order
    std::vector<unsigned> purges;
    int closes = 0;
    bool openResult = true;
    bool closeResult = true;
    int readError = 0;             // non-zero: reads fail with this code
    LineStatus holds;              // the hold flags reported
    // Called after every write with the bytes written (an analyzer's answer).
    std::function<void(FakeLine&, std::span<const uint8_t>)> onWrite;

    // ---- SerialLine ----
    bool open(const SerialPortConfig& config, Prompter&) override {
        opens.push_back(config);
        open_ = openResult;
        return openResult;
    }
    bool isOpen() const override { return open_; }
    LineStatus clearCommError() override {
        LineStatus status = holds;
        status.inQueue = static_cast<uint32_t>(queued());
        return status;
    }
    ReadResult read(std::span<uint8_t> into) override {
        if (readError != 0) return {0, false, readError};
        const size_t count = std::min(into.size(), queued());
        std::copy_n(incoming_.begin() + static_cast<long>(readFrom_), count, into.begin());
        readFrom_ += count;
        if (readFrom_ == incoming_.size()) dropReceived();
        if (count < into.size() && clock_ != nullptr) clock_->advanceMillis(kReadTimeoutMillis);
        return {count, true, 0};
    }
    size_t write(std::span<const uint8_t> bytes) override {
        written.insert(written.end(), bytes.begin(), bytes.end());
        if (onWrite) onWrite(*this, bytes);
        return bytes.size();
    }
    void purge(unsigned flags) override {
        purges.push_back(flags);
        if ((flags & PurgeReceive) != 0) dropReceived();
    }
    bool close() override {
        ++closes;
        open_ = false;
        return closeResult;
    }

private:
    size_t queued() const { return incoming_.size() - readFrom_; }
    void dropReceived() {
        incoming_.clear();
        readFrom_ = 0;
    }

    FakeClock* clock_;
    std::vector<uint8_t> incoming_;  // from readFrom_ on: not yet read
    size_t readFrom_ = 0;  // reading moves along the bytes; a drained queue starts again at 0
    bool open_ = false;
};

// The events of one kind, and the texts shown in one control.
template <typename Event>
std::vector<Event> Only(const std::vector<DialogEvent>& events) {
    std::vector<Event> found;
    for (const DialogEvent& event : events) {
        if (const Event* e = std::get_if<Event>(&event)) found.push_back(*e);
    }
    return found;
}
inline std::vector<std::string> TextsOf(const std::vector<DialogEvent>& events, int control) {
    std::vector<std::string> texts;
    for (const TextEvent& e : Only<TextEvent>(events)) {
        if (e.control == control) texts.push_back(e.text);
    }
    return texts;
}

}  // namespace ravik::test
