#include "core/link/flow_queue.h"

#include <algorithm>

#include "core/link/line_discipline.h"

namespace ravik {

FlowQueue::FlowQueue(size_t capacity) : buffer_(capacity) {}

void FlowQueue::setLimits(size_t xonLimit, size_t xoffLimit) {
    xonLimit_ = xonLimit;
    xoffLimit_ = xoffLimit;
}

size_t FlowQueue::push(std::span<const uint8_t> bytes) {
    const size_t count = std::min(bytes.size(), room());
    for (size_t i = 0; i < count; ++i) {
        buffer_[(head_ + used_) % buffer_.size()] = bytes[i];
        ++used_;
    }
    return count;
}

size_t FlowQueue::take(std::span<uint8_t> into) {
    const size_t count = std::min(into.size(), used_);
    for (size_t i = 0; i < count; ++i) {
        into[i] = buffer_[head_];
        head_ = (head_ + 1) % buffer_.size();
    }
    used_ -= count;
    return count;
}

void FlowQueue::clear() {
    head_ = 0;
    used_ = 0;
}

void FlowQueue::reset() {
    clear();
    xoffSent_ = false;
}

std::optional<uint8_t> FlowQueue::flowControlByte() {
    if (!xoffSent_ && room() < xoffLimit_) {
        xoffSent_ = true;
        return kXoff;
    }
    if (xoffSent_ && used_ < xonLimit_) {
        xoffSent_ = false;
        return kXon;
    }
    return std::nullopt;
}

}  // namespace ravik
