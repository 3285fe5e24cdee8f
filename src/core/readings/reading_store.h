#pragma once
// The in-memory image of the one readings file the program has open: the
// header block, the readings as the raw records the instrument produced, one
// ordered list per mode, and the learned column titles.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/readings/column_titles.h"
#include "core/readings/mode.h"
#include "core/readings/mode_codes.h"
#include "core/readings/record.h"
#include "core/readings/record_arena.h"

namespace ravik {

inline constexpr int kMaxReadings = 5100;
inline constexpr size_t kFileHeaderSize = 256;
inline constexpr size_t kSiteOffset = 191;
inline constexpr size_t kSiteMaxLength = 63;

enum ReadingFlag : uint32_t { Marked = 1, Hidden = 2 };

// A reading: where its record (the 20-byte header and the rest, as read)
// lies in the store's arena, and its flags.
struct ReadingSlot {
    size_t offset = 0;
    uint16_t length = 0;
    uint32_t flags = 0;
};

// Reading numbers (slot indices) of one mode, in file order or as sorted.
using ModeList = std::vector<int32_t>;

struct ReadingStore {
    ReadingStore();

    // The 256-byte header exactly as read, plus a terminating zero byte so
    // its text always ends.
    std::array<char, kFileHeaderSize + 1> fileHeader{};
    int32_t readingCount = 0;
    // Slot 0 stands for the header block; slots 1..readingCount hold readings.
    std::vector<ReadingSlot> slots;
    RecordArena records;
    std::array<ModeList, kModeCount> modeLists;
    ColumnTitles titles;
    float fileVersion = 0.0f;
    ModeCodeTable modeCodes;
    ModeWordLayout modeWordLayout;
    std::string fileTitle;
    std::string site;
    bool locked = false;
    // "Too Many Elements..." is told once per program run.
    bool tooManyElementsReported = false;

    ModeList& list(Mode mode) { return modeLists[static_cast<size_t>(mode)]; }
    const ModeList& list(Mode mode) const { return modeLists[static_cast<size_t>(mode)]; }
    int count(Mode mode) const { return static_cast<int>(list(mode).size()); }
    // Sum of the five list counts.
    int listedCount() const;
    bool hasReadings() const { return listedCount() > 0; }

    Bytes record(int32_t readingNumber) const {
        const ReadingSlot& slot = slots[static_cast<size_t>(readingNumber)];
        return records.at(slot.offset, slot.length);
    }
    // The record's bytes for an edit in place (annotations).
    std::span<uint8_t> recordBytes(int32_t readingNumber) {
        const ReadingSlot& slot = slots[static_cast<size_t>(readingNumber)];
        return records.at(slot.offset, slot.length);
    }
    // Adds a reading with a copy of record; throws std::bad_alloc.
    ReadingSlot& addReading(Bytes record);
    uint32_t& flags(int32_t readingNumber) { return slots[static_cast<size_t>(readingNumber)].flags; }
    uint32_t flags(int32_t readingNumber) const { return slots[static_cast<size_t>(readingNumber)].flags; }

    // The mode code and source bits of a reading, by the store's layout.
    int modeCode(int32_t readingNumber) const;
};

// Releases every record, clears all flags, the five lists and their counts,
// and sets readingCount to 0. Titles, version and header stay.
void ClearStore(ReadingStore& store);

// Number of Marked readings over the five lists.
int CountMarked(const ReadingStore& store);

// Hide Reading: every Marked reading becomes Hidden and loses Marked.
// Unhide Reading: every Marked reading gets flags 0. Both return how many
// readings changed.
int HideMarkedReadings(ReadingStore& store);
int UnhideMarkedReadings(ReadingStore& store);

// The site text at header byte 191 (at most 63 characters, up to its NUL).
std::string SiteFromHeader(const ReadingStore& store);
// Writes the site text (cut to 63 characters) and a zero byte at header byte 191.
void WriteSiteIntoHeader(ReadingStore& store, const std::string& site);

}  // namespace ravik
