#include "core/readings/record_arena.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

// Under AddressSanitizer every record is followed by a poisoned gap, so a
// decoder that reads past its record's end is caught as it would be with a
// heap block of its own.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define RAVIK_ARENA_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define RAVIK_ARENA_ASAN 1
#endif
#ifdef RAVIK_ARENA_ASAN
#include <sanitizer/asan_interface.h>
#endif

namespace ravik {

namespace {

#ifdef RAVIK_ARENA_ASAN
constexpr size_t kGap = 64;
void Poison(uint8_t* begin, size_t length) { ASAN_POISON_MEMORY_REGION(begin, length); }
void Unpoison(uint8_t* begin, size_t length) { ASAN_UNPOISON_MEMORY_REGION(begin, length); }
#else
constexpr size_t kGap = 0;
void Poison(uint8_t*, size_t) {}
void Unpoison(uint8_t*, size_t) {}
#endif

constexpr size_t kHugePage = size_t{2} << 20;
constexpr size_t kPage = 4096;

size_t RoundUp(size_t value, size_t unit) { return (value + unit - 1) / unit * unit; }

}  // namespace

RecordArena::RecordArena(size_t mostRecords, size_t longestRecord)
    : reach_(RoundUp(mostRecords * (longestRecord + kGap), kHugePage)) {}

RecordArena::~RecordArena() { clear(); }

RecordArena::RecordArena(RecordArena&& other) noexcept : reach_(other.reach_) { swap(other); }

RecordArena& RecordArena::operator=(RecordArena&& other) noexcept {
    if (this != &other) {
        clear();
        swap(other);
    }
    return *this;
}

void RecordArena::swap(RecordArena& other) noexcept {
    std::swap(reach_, other.reach_);
    std::swap(bytes_, other.bytes_);
    std::swap(size_, other.size_);
    std::swap(usable_, other.usable_);
}

void RecordArena::reserve(size_t bytes) {
    const size_t wanted = size_ + std::min(bytes, reach_ - size_);
    if (wanted > usable_) grow(wanted);
}

// The address range is set aside without memory behind it (no access); what
// is needed is made usable in steps, so the arena never moves.
void RecordArena::grow(size_t wanted) {
    if (wanted > reach_) throw std::bad_alloc();
    if (bytes_ == nullptr) {
        void* range = ::mmap(nullptr, reach_, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
        if (range == MAP_FAILED) throw std::bad_alloc();
        bytes_ = static_cast<uint8_t*>(range);
    }
    const size_t usable = std::min(reach_, RoundUp(wanted, wanted >= kHugePage ? kHugePage : kPage));
    uint8_t* added = bytes_ + usable_;
    const size_t length = usable - usable_;
    if (::mprotect(added, length, PROT_READ | PROT_WRITE) != 0) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
    if (length >= kHugePage) ::madvise(added, length, MADV_HUGEPAGE);
#endif
#ifdef MADV_POPULATE_WRITE
    // Present in one call rather than a page fault per page; a kernel
    // without it faults them in as they are written.
    ::madvise(added, length, MADV_POPULATE_WRITE);
#endif
    Poison(added, length);
    usable_ = usable;
}

size_t RecordArena::append(std::span<const uint8_t> record) {
    const size_t wanted = size_ + record.size() + kGap;
    if (wanted > usable_) grow(wanted);
    const size_t offset = size_;
    Unpoison(bytes_ + offset, record.size());
    if (!record.empty()) std::memcpy(bytes_ + offset, record.data(), record.size());
    size_ = wanted;
    return offset;
}

void RecordArena::clear() {
    if (bytes_ != nullptr) {
        Unpoison(bytes_, usable_);
        ::munmap(bytes_, reach_);
    }
    bytes_ = nullptr;
    size_ = 0;
    usable_ = 0;
}

}  // namespace ravik
