#include "core/readings/record_arena.h"

#include <sys/mman.h>

#include <cstring>
#include <new>
#include <utility>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define RAVIK_POISON(address, size) ASAN_POISON_MEMORY_REGION(address, size)
#define RAVIK_UNPOISON(address, size) ASAN_UNPOISON_MEMORY_REGION(address, size)
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#include <sanitizer/asan_interface.h>
#define RAVIK_POISON(address, size) ASAN_POISON_MEMORY_REGION(address, size)
#define RAVIK_UNPOISON(address, size) ASAN_UNPOISON_MEMORY_REGION(address, size)
#endif
#endif
#ifndef RAVIK_POISON
#define RAVIK_POISON(address, size) ((void)(address), (void)(size))
#define RAVIK_UNPOISON(address, size) ((void)(address), (void)(size))
#endif

namespace ravik {

namespace {

constexpr size_t kHugePage = size_t{2} << 20;
constexpr size_t kPage = 4096;
// Under AddressSanitizer every record is followed by a poisoned gap, so a
// decoder reading past its record's end is caught as it would be with a
// heap block of its own.
#if defined(__SANITIZE_ADDRESS__)
constexpr size_t kGap = 64;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr size_t kGap = 64;
#else
constexpr size_t kGap = 0;
#endif
#else
constexpr size_t kGap = 0;
#endif

size_t RoundUp(size_t value, size_t unit) { return (value + unit - 1) / unit * unit; }

// Makes the pages of [begin, begin + length) present in one call; an older
// kernel without it leaves them to be faulted in as they are written.
void Populate(uint8_t* begin, size_t length) {
#ifdef MADV_POPULATE_WRITE
    if (length > 0) ::madvise(begin, length, MADV_POPULATE_WRITE);
#else
    (void)begin;
    (void)length;
#endif
}

}  // namespace

RecordArena::~RecordArena() { clear(); }

RecordArena::RecordArena(RecordArena&& other) noexcept { swap(other); }

RecordArena& RecordArena::operator=(RecordArena&& other) noexcept {
    if (this != &other) {
        clear();
        swap(other);
    }
    return *this;
}

void RecordArena::swap(RecordArena& other) noexcept {
    std::swap(bytes_, other.bytes_);
    std::swap(size_, other.size_);
    std::swap(capacity_, other.capacity_);
}

void RecordArena::reserve(size_t bytes) {
    if (capacity_ - size_ >= bytes) return;
    grow(size_ + bytes);
}

void RecordArena::grow(size_t wanted) {
    const size_t capacity = RoundUp(wanted, wanted >= kHugePage ? kHugePage : kPage);
    void* moved = capacity_ == 0
                      ? ::mmap(nullptr, capacity, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0)
                      : ::mremap(bytes_, capacity_, capacity, MREMAP_MAYMOVE);
    if (moved == MAP_FAILED) throw std::bad_alloc();
    bytes_ = static_cast<uint8_t*>(moved);
#ifdef MADV_HUGEPAGE
    if (capacity >= kHugePage) ::madvise(bytes_, capacity, MADV_HUGEPAGE);
#endif
    Populate(bytes_ + capacity_, capacity - capacity_);
    RAVIK_POISON(bytes_ + size_, capacity - size_);
    capacity_ = capacity;
}

size_t RecordArena::append(std::span<const uint8_t> record) {
    reserve(record.size() + kGap);
    const size_t offset = size_;
    RAVIK_UNPOISON(bytes_ + offset, record.size());
    if (!record.empty()) std::memcpy(bytes_ + offset, record.data(), record.size());
    size_ += record.size() + kGap;
    return offset;
}

void RecordArena::clear() {
    if (bytes_ != nullptr) {
        RAVIK_UNPOISON(bytes_, capacity_);
        ::munmap(bytes_, capacity_);
    }
    bytes_ = nullptr;
    size_ = 0;
    capacity_ = 0;
}

}  // namespace ravik
