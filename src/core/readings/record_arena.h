#pragma once
// The record bytes of every reading of a store, one after another in one
// buffer. A load reserves room for the whole file at once, so a store of
// 5100 readings costs one mapping instead of 5100 heap blocks, and its pages
// are made present in one call (in huge pages where the system offers them)
// rather than one page fault at a time.

#include <cstddef>
#include <cstdint>
#include <span>

namespace ravik {

class RecordArena {
public:
    RecordArena() = default;
    ~RecordArena();
    RecordArena(const RecordArena&) = delete;
    RecordArena& operator=(const RecordArena&) = delete;
    RecordArena(RecordArena&& other) noexcept;
    RecordArena& operator=(RecordArena&& other) noexcept;

    // Room for bytes more without moving; throws std::bad_alloc.
    void reserve(size_t bytes);
    // Copies record in behind the others and returns where it starts;
    // throws std::bad_alloc.
    size_t append(std::span<const uint8_t> record);
    // Forgets every record and gives the memory back.
    void clear();

    std::span<const uint8_t> at(size_t offset, size_t length) const { return {bytes_ + offset, length}; }
    std::span<uint8_t> at(size_t offset, size_t length) { return {bytes_ + offset, length}; }
    size_t size() const { return size_; }

private:
    void grow(size_t capacity);
    void swap(RecordArena& other) noexcept;

    uint8_t* bytes_ = nullptr;
    size_t size_ = 0;
    size_t capacity_ = 0;
};

}  // namespace ravik
