#pragma once
// The port's own receive queue with receive-side flow control: bytes drained
// from the device wait here until the program reads them. When more than
// capacity - xoffLimit bytes are in use the analyzer must be told XOFF; once
// fewer than xonLimit are, XON.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace ravik {

class FlowQueue {
public:
    explicit FlowQueue(size_t capacity);

    size_t size() const { return used_; }
    size_t room() const { return buffer_.size() - used_; }
    bool xoffSent() const { return xoffSent_; }

    void setLimits(size_t xonLimit, size_t xoffLimit);
    // Appends as many of the bytes as there is room for; returns how many.
    size_t push(std::span<const uint8_t> bytes);
    // Moves up to into.size() bytes out; returns how many.
    size_t take(std::span<uint8_t> into);
    // Drops the queued bytes; an XOFF sent stays sent, so XON follows.
    void clear();
    // Drops the queued bytes and forgets the flow-control state (port closed).
    void reset();

    // The flow-control byte the port has to send now (XOFF or XON), if any;
    // the queue then counts it as sent.
    std::optional<uint8_t> flowControlByte();

private:
    std::vector<uint8_t> buffer_;
    size_t head_ = 0;  // index of the oldest byte
    size_t used_ = 0;
    size_t xonLimit_ = 0;
    size_t xoffLimit_ = 0;
    bool xoffSent_ = false;
};

}  // namespace ravik
