#include "core/readings/reading_store.h"

#include <cstring>
#include <limits>

namespace ravik {

ReadingStore::ReadingStore()
    : slots(1),
      records(kMaxReadings, std::numeric_limits<uint16_t>::max()),
      titles(StartupColumnTitles()),
      modeCodes(ModeCodeTableFor(5.5f)),
      modeWordLayout(ModeWordLayoutFor(0.0f)) {}

int ReadingStore::listedCount() const {
    int total = 0;
    for (const ModeList& modeList : modeLists) total += static_cast<int>(modeList.size());
    return total;
}

int ReadingStore::modeCode(int32_t readingNumber) const {
    RecordView view(record(readingNumber));
    return view.hasHeader() ? modeWordLayout.code(view.header().modeWord) : -1;
}

ReadingSlot& ReadingStore::addReading(Bytes record) {
    ReadingSlot slot;
    slot.offset = records.append(record);
    slot.length = static_cast<uint16_t>(record.size());
    return slots.emplace_back(slot);
}

void ClearStore(ReadingStore& store) {
    store.slots.assign(1, ReadingSlot{});
    store.records.clear();
    for (ModeList& modeList : store.modeLists) modeList.clear();
    store.readingCount = 0;
}

int CountMarked(const ReadingStore& store) {
    int marked = 0;
    for (const ModeList& modeList : store.modeLists) {
        for (int32_t n : modeList) {
            if (store.flags(n) & Marked) ++marked;
        }
    }
    return marked;
}

namespace {
template <typename Change>
int ChangeMarked(ReadingStore& store, Change change) {
    int changed = 0;
    for (int32_t n = 1; n <= store.readingCount; ++n) {
        uint32_t& flags = store.flags(n);
        if (flags & Marked) {
            flags = change(flags);
            ++changed;
        }
    }
    return changed;
}
}  // namespace

int HideMarkedReadings(ReadingStore& store) {
    return ChangeMarked(store, [](uint32_t flags) { return (flags | Hidden) & ~uint32_t{Marked}; });
}

int UnhideMarkedReadings(ReadingStore& store) {
    return ChangeMarked(store, [](uint32_t) { return uint32_t{0}; });
}

std::string SiteFromHeader(const ReadingStore& store) {
    const char* site = store.fileHeader.data() + kSiteOffset;
    return std::string(site, strnlen(site, kSiteMaxLength));
}

void WriteSiteIntoHeader(ReadingStore& store, const std::string& site) {
    const size_t length = std::min(site.size(), kSiteMaxLength);
    std::memcpy(store.fileHeader.data() + kSiteOffset, site.data(), length);
    store.fileHeader[kSiteOffset + length] = '\0';
}

}  // namespace ravik
