#include "core/readings/record.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace ravik {

float ReadF32(const uint8_t* p) {
    float value = std::bit_cast<float>(ReadU32(p));
    if (!std::isfinite(value) || value < 0.00001f) return 0.0f;
    return value;
}

double PackedValue(uint16_t word) {
    const uint32_t mantissa = (word >> 4) & 0x7FFu;
    const uint32_t exponent = word & 0xFu;
    const double magnitude = static_cast<double>(mantissa << exponent);
    return (word & 0x8000u) ? -magnitude : magnitude;
}

RecordHeader DecodeRecordHeader(const uint8_t* b) {
    RecordHeader h;
    h.recordLength = ReadU16(b + 0);
    h.measurementOffset = ReadU16(b + 2);
    h.resultsOffset = ReadU16(b + 4);
    h.spectrumOffset = ReadU16(b + 6);
    h.textOffset = ReadU16(b + 8);
    h.instrumentNumber = ReadU16(b + 12);
    h.modeWord = ReadU16(b + 14);
    h.cycleIndex = ReadU16(b + 16);
    h.cycleCount = ReadU16(b + 18);
    return h;
}

RecordView::RecordView(Bytes bytes) : bytes_(bytes) {
    if (bytes_.size() >= kRecordHeaderSize) header_ = DecodeRecordHeader(bytes_.data());
}

std::optional<Bytes> RecordView::measurementBlock() const {
    if (!header_ || !fits(header_->measurementOffset, kMeasurementBlockSize)) return std::nullopt;
    return bytes_.subspan(header_->measurementOffset, kMeasurementBlockSize);
}

uint32_t RecordView::timeStamp() const {
    auto block = measurementBlock();
    return block ? ReadU32(block->data()) : 0;
}

uint32_t RecordView::measuringMillis() const {
    auto block = measurementBlock();
    return block ? ReadU32(block->data() + 4) : 0;
}

double RecordView::measurementValue(size_t offset) const {
    auto block = measurementBlock();
    if (!block || offset + 2 > block->size()) return 0.0;
    return PackedMilli(ReadU16(block->data() + offset));
}

uint16_t RecordView::elementCount() const {
    if (!header_ || !fits(header_->resultsOffset, 2)) return 0;
    return ReadU16(bytes_.data() + header_->resultsOffset);
}

size_t RecordView::elementsAvailable() const {
    if (!header_) return 0;
    const size_t first = size_t{header_->resultsOffset} + kResultsEntriesOffset;
    if (first > bytes_.size()) return 0;
    const size_t room = (bytes_.size() - first) / kElementEntrySize;
    return std::min<size_t>(elementCount(), room);
}

ElementEntry RecordView::element(size_t index) const {
    const uint8_t* p =
        bytes_.data() + header_->resultsOffset + kResultsEntriesOffset + index * kElementEntrySize;
    ElementEntry entry{};
    std::memcpy(entry.name, p, 3);
    entry.flags = p[3];
    entry.valueWord = ReadU16(p + 4);
    entry.precisionWord = ReadU16(p + 6);
    return entry;
}

uint16_t RecordView::resultsWord(size_t offset) const {
    if (!header_ || !fits(size_t{header_->resultsOffset} + offset, 2)) return 0;
    return ReadU16(bytes_.data() + header_->resultsOffset + offset);
}

bool RecordView::hasTextBlock() const {
    return header_ && fits(header_->textOffset, kTextBlockSize);
}

std::string_view RecordView::textField(int field) const {
    if (!hasTextBlock() || field < 0 || field >= kTextFieldCount) return {};
    const TextFieldPlace place = kTextFields[field];
    const char* start =
        reinterpret_cast<const char*>(bytes_.data()) + header_->textOffset + place.offset;
    const void* nul = std::memchr(start, 0, place.width);
    size_t length = nul ? static_cast<size_t>(static_cast<const char*>(nul) - start) : place.width;
    return {start, length};
}

std::optional<SpectrumLayout> RecordView::spectrumLayout() const {
    if (!header_ || !fits(header_->spectrumOffset, kSpectrumChannelsOffset)) return std::nullopt;
    const uint8_t* b = bytes_.data() + header_->spectrumOffset;
    SpectrumLayout layout;
    layout.lowChannels = ReadU16(b + 4);
    layout.highChannels = ReadU16(b + 6);
    layout.region3Channels = ReadU16(b + 8);
    layout.region4Channels = ReadU16(b + 10);
    layout.lowFirst = ReadF32(b + 12);
    layout.lowStep = ReadF32(b + 28);
    layout.highStep = ReadF32(b + 32);
    return layout;
}

size_t RecordView::channelsAvailable() const {
    auto layout = spectrumLayout();
    if (!layout) return 0;
    const size_t first = size_t{header_->spectrumOffset} + kSpectrumChannelsOffset;
    if (first > bytes_.size()) return 0;
    return std::min<size_t>(layout->totalChannels(), (bytes_.size() - first) / 2);
}

uint16_t RecordView::channelWord(size_t channel) const {
    return ReadU16(bytes_.data() + header_->spectrumOffset + kSpectrumChannelsOffset + 2 * channel);
}

float RecordView::spectrumFloat(size_t offset) const {
    if (!header_ || !fits(size_t{header_->spectrumOffset} + offset, 4)) return 0.0f;
    return ReadF32(bytes_.data() + header_->spectrumOffset + offset);
}

bool RecordView::isWhole() const {
    if (!header_ || header_->recordLength < kRecordHeaderSize ||
        header_->recordLength > bytes_.size()) {
        return false;
    }
    if (!measurementBlock() || !hasTextBlock()) return false;
    if (!fits(size_t{header_->resultsOffset}, kResultsEntriesOffset)) return false;
    if (elementsAvailable() < elementCount()) return false;
    auto layout = spectrumLayout();
    return layout && channelsAvailable() == layout->totalChannels();
}

}  // namespace ravik
