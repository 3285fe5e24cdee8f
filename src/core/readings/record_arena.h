#pragma once
// The record bytes of every reading of a store, one after another in one
// buffer. The buffer's address range is set aside once for the most a store
// can hold and never moves; room is made usable as loads ask for it, a whole
// file's worth at once, and its pages are made present in one call (in huge
// pages where the system offers them). A store of 5100 readings so costs one
// mapping instead of 5100 heap blocks and their page faults.

#include <cstddef>
#include <cstdint>
#include <span>

namespace ravik {

class RecordArena {
public:
    // Room for up to mostRecords records of up to longestRecord bytes each.
    RecordArena(size_t mostRecords, size_t longestRecord);
    ~RecordArena();
    RecordArena(const RecordArena&) = delete;
    RecordArena& operator=(const RecordArena&) = delete;
    RecordArena(RecordArena&& other) noexcept;
    RecordArena& operator=(RecordArena&& other) noexcept;

    // Makes room for bytes more at once, as far as the arena reaches: a hint
    // before many appends. Throws std::bad_alloc when memory runs out.
    void reserve(size_t bytes);
    // Copies record in behind the others and returns where it starts;
    // throws std::bad_alloc when memory runs out or the arena is full.
    size_t append(std::span<const uint8_t> record);
    // Forgets every record and gives the memory back.
    void clear();

    std::span<const uint8_t> at(size_t offset, size_t length) const { return {bytes_ + offset, length}; }
    std::span<uint8_t> at(size_t offset, size_t length) { return {bytes_ + offset, length}; }

private:
    void grow(size_t wanted);
    void swap(RecordArena& other) noexcept;

    size_t reach_;  // bytes of the address range set aside
    uint8_t* bytes_ = nullptr;
    size_t size_ = 0;
    size_t usable_ = 0;  // bytes made readable and writable
};

}  // namespace ravik
