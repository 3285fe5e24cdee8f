#include "core/readings/readings_loader.h"

#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "core/platform/format_text.h"
#include "core/platform/file_io.h"
#include "core/platform/prompter.h"
#include "core/readings/field_formatter.h"

namespace ravik {

namespace {

// No readings file can be longer than the header and 5100 records of the
// largest length; the trailer behind the records is never read.
constexpr size_t kLargestUsefulFile = kFileHeaderSize + size_t{kMaxReadings} * 65535;

// The lists in the order titles are learned after a load.
constexpr Mode kLearningOrder[kModeCount] = {Mode::Paint, Mode::Bulk, Mode::Sign, Mode::Alloy,
                                             Mode::Thin};

// The count at the start of the header, clamped far beyond any valid count.
int64_t HeaderCount(const char* headerText) {
    const long value = std::strtol(headerText, nullptr, 10);
    constexpr long kFar = 1000000;
    return value > kFar ? kFar : value < -kFar ? -kFar : value;
}

// Whether the count field (bytes 0..4) is decimal text: leading blanks, an
// optional sign and at least one digit, the digits ended by the end of the
// field or by a blank or line end. Text of any other kind (a user name, a
// comment, a title) has no count there.
bool CountFieldIsDecimal(const char* headerText) {
    constexpr size_t kCountField = 5;
    size_t i = 0;
    while (i < kCountField && headerText[i] == ' ') ++i;
    if (i < kCountField && (headerText[i] == '-' || headerText[i] == '+')) ++i;
    const size_t digits = i;
    while (i < kCountField && headerText[i] >= '0' && headerText[i] <= '9') ++i;
    if (i == digits) return false;
    return i == kCountField || std::strchr(" \t\r\n", headerText[i]) != nullptr;  // NUL included
}

// The header's own tests: text lines without control characters up to the
// first NUL, at least four of them, and a count field. The analyzer and the
// saver always write such a header.
bool HeaderIsReadingsHeader(const char* headerText, const std::vector<std::string>& lines) {
    for (const char* p = headerText; *p != '\0'; ++p) {
        const auto byte = static_cast<unsigned char>(*p);
        if (byte < 0x20 && byte != '\t' && byte != '\r' && byte != '\n') return false;
    }
    return lines.size() >= 4 && CountFieldIsDecimal(headerText);
}

float VersionFromLine(const std::string& line) {
    const size_t take = std::min<size_t>(line.size(), 3);
    return static_cast<float>(ReadNumber(std::string_view(line).substr(line.size() - take)));
}

void LearnAllTitles(ReadingStore& store, Prompter& prompter) {
    for (Mode mode : kLearningOrder) {
        for (int32_t n : store.list(mode)) LearnReadingTitles(store, store.record(n), prompter);
    }
}

// Where a load takes its bytes from: bytes already in memory (a received
// dump), or a file read a window at a time. A large file is so never held in
// memory besides its records, which halves the memory a load first touches.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual size_t size() const = 0;
    // The length bytes at position; empty when they are not all there. The
    // bytes stay valid until the next take.
    virtual Bytes take(size_t position, size_t length) = 0;
};

class MemorySource final : public ByteSource {
public:
    explicit MemorySource(Bytes bytes) : bytes_(bytes) {}
    size_t size() const override { return bytes_.size(); }
    Bytes take(size_t position, size_t length) override {
        if (position > bytes_.size() || length > bytes_.size() - position) return {};
        return bytes_.subspan(position, length);
    }

private:
    Bytes bytes_;
};

class FileSource final : public ByteSource {
public:
    // fd: an open regular file of size bytes, closed by the source.
    FileSource(int fd, size_t size) : fd_(fd), size_(std::min(size, kLargestUsefulFile)) {}
    ~FileSource() override { ::close(fd_); }
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    size_t size() const override { return size_; }
    Bytes take(size_t position, size_t length) override {
        if (position > size_ || length > size_ - position) return {};
        if (position < start_ || position + length > start_ + filled_) fill(position, length);
        if (position + length > start_ + filled_) return {};  // the file became shorter
        return Bytes(window_.data() + (position - start_), length);
    }

private:
    static constexpr size_t kWindow = size_t{1} << 18;

    void fill(size_t position, size_t length) {
        window_.resize(std::max({window_.size(), std::min(kWindow, size_), length}));
        start_ = position;
        filled_ = 0;
        const size_t want = std::min(window_.size(), size_ - position);
        while (filled_ < want) {
            const ssize_t got = ::pread(fd_, window_.data() + filled_, want - filled_,
                                        static_cast<off_t>(position + filled_));
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) return;
            filled_ += static_cast<size_t>(got);
        }
    }

    int fd_;
    size_t size_;
    std::vector<uint8_t> window_;
    size_t start_ = 0;
    size_t filled_ = 0;
};

// Whether the first record's length fits: at least its 20-byte header and
// no further than the end of the file. A file that promises readings but
// cannot frame even the first one holds no readings file's records; a file
// cut short further on is a damaged readings file and loads in part.
bool FirstRecordFits(ByteSource& bytes) {
    if (bytes.size() < kFileHeaderSize + kRecordHeaderSize) return false;
    const Bytes recordHeader = bytes.take(kFileHeaderSize, kRecordHeaderSize);
    if (recordHeader.empty()) return false;
    const uint16_t length = ReadU16(recordHeader.data());
    return length >= kRecordHeaderSize && length <= bytes.size() - kFileHeaderSize;
}

using HeaderBytes = std::array<char, kFileHeaderSize + 1>;

// The first 256 bytes, NUL-terminated; zeros where the file is shorter.
HeaderBytes ReadHeader(ByteSource& bytes) {
    HeaderBytes header{};
    const Bytes head = bytes.take(0, std::min(bytes.size(), kFileHeaderSize));
    if (!head.empty()) std::memcpy(header.data(), head.data(), head.size());
    return header;
}

// Tells the user when the bytes are no readings file; the store is not touched.
bool RefusedAsNoReadingsFile(ByteSource& bytes, const HeaderBytes& header, const std::string& path,
                             Prompter& prompter) {
    const int64_t count = HeaderCount(header.data());
    if (HeaderIsReadingsHeader(header.data(), HeaderLines(header.data())) && (count == 0 || FirstRecordFits(bytes))) {
        return false;
    }
    prompter.error(FormatText("Not a Readings File\n%s", path.c_str()), "READ ERROR");
    return true;
}

// The saver ends a file with its five title lines, each ended by CR LF, and
// then every record's flags as one digit 0..3. Gives those digits when the
// file ends so behind its count records (recordsEnd), else nothing.
std::vector<uint8_t> SavedFlags(ByteSource& bytes, size_t recordsEnd, int64_t count) {
    constexpr size_t kLongestTitleLines = 8192;  // five lines of at most 64 titles of 19 characters
    const size_t digits = static_cast<size_t>(count);
    if (digits == 0 || recordsEnd > bytes.size() || bytes.size() - recordsEnd < digits + 2 ||
        bytes.size() - recordsEnd - digits > kLongestTitleLines) {
        return {};
    }
    const Bytes trailer = bytes.take(recordsEnd, bytes.size() - recordsEnd);
    if (trailer.empty()) return {};
    const Bytes titleLines = trailer.first(trailer.size() - digits);
    const Bytes flags = trailer.last(digits);
    const auto lineEnds = std::ranges::count(titleLines, uint8_t{'\n'});
    const bool endsWithCrLf = titleLines[titleLines.size() - 2] == '\r' && titleLines.back() == '\n';
    const bool allDigits = std::ranges::all_of(flags, [](uint8_t c) { return c >= '0' && c <= '3'; });
    if (lineEnds != 5 || !endsWithCrLf || !allDigits) return {};
    return {flags.begin(), flags.end()};
}

LoadOutcome LoadFromSource(ReadingStore& store, ByteSource& bytes, const std::string& path, int command,
                           Prompter& prompter);

// Opens path as a source for use; a file that cannot be read is told here.
template <typename Use>
LoadOutcome WithFileSource(const std::string& path, Prompter& prompter, Use use) {
    // Opened without blocking, so a FIFO's open never waits for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat info {};
    if (fd >= 0 && ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        FileSource source(fd, static_cast<size_t>(info.st_size));
        return use(source);
    }
    if (fd >= 0) ::close(fd);
    // Anything else gets the reader's own message (not a regular file, or
    // cannot be opened).
    std::vector<uint8_t> bytes;
    if (const FileStatus status = ReadFileBytes(path, bytes, kLargestUsefulFile); status != FileStatus::Ok) {
        prompter.error(ReadProblemText(status, path, FormatText("Cannot Open File\n%s", path.c_str())), "READ ERROR");
        return LoadOutcome::Unreadable;
    }
    MemorySource source(bytes);
    return use(source);
}

}  // namespace

std::vector<std::string> HeaderLines(const char* headerText) {
    std::vector<std::string> lines;
    std::string current;
    for (const char* p = headerText; *p != '\0'; ++p) {
        if (*p == '\r' || *p == '\n') {
            if (!current.empty()) lines.push_back(current);
            current.clear();
        } else {
            current += *p;
        }
    }
    if (!current.empty()) lines.push_back(current);
    return lines;
}

LoadOutcome LoadReadingsBytes(ReadingStore& store, std::span<const uint8_t> bytes, const std::string& path,
                       int command, Prompter& prompter) {
    MemorySource source(bytes);
    return LoadFromSource(store, source, path, command, prompter);
}

namespace {

LoadOutcome LoadFromSource(ReadingStore& store, ByteSource& bytes, const std::string& path, int command,
                           Prompter& prompter) {
    const HeaderBytes header = ReadHeader(bytes);
    if (RefusedAsNoReadingsFile(bytes, header, path, prompter)) return LoadOutcome::NotReadingsFile;
    int64_t count = HeaderCount(header.data());
    const bool negative = count < 0;
    if (negative) count = -count;
    const std::vector<std::string> lines = HeaderLines(header.data());
    const bool append = command == kAppendCommand;
    const int existing = append ? store.listedCount() : 0;
    const int64_t total = existing + count;
    if (total > kMaxReadings) {
        // Refused before anything changes: the store keeps its readings,
        // header, title, version and locked state.
        prompter.error(FormatText("RAVIK Will Support Only %d Readings Per File", kMaxReadings),
                       "FILE NOT APPENDED");
        return LoadOutcome::TooManyReadings;
    }

    if (!append) ClearStore(store);
    if (negative) {
        store.locked = true;
    } else if (existing == 0) {
        store.locked = false;
    }
    store.fileTitle = lines[2];
    store.fileVersion = VersionFromLine(lines[3]);
    store.modeWordLayout = ModeWordLayoutFor(store.fileVersion);
    // Rewritten on every load, so an old file reads the same whatever was
    // loaded before it.
    store.modeCodes = ModeCodeTableFor(store.fileVersion);
    store.fileHeader = header;
    store.site = SiteFromHeader(store);

    int loaded = 0;
    int damaged = 0;
    bool endedEarly = false;
    size_t position = kFileHeaderSize;
    try {
        store.slots.resize(static_cast<size_t>(existing) + 1);
        store.slots.reserve(static_cast<size_t>(total) + 1);
        store.records.reserve(bytes.size() > kFileHeaderSize ? bytes.size() - kFileHeaderSize : 0);
        for (int64_t k = 0; k < count; ++k) {
            if (position > bytes.size() || bytes.size() - position < kRecordHeaderSize) {
                endedEarly = true;
                break;
            }
            // Empty takes: the file became shorter while it was read.
            const Bytes recordHeader = bytes.take(position, kRecordHeaderSize);
            const uint16_t length = recordHeader.empty() ? 0 : ReadU16(recordHeader.data());
            if (length < kRecordHeaderSize || length > bytes.size() - position) {
                endedEarly = true;
                break;
            }
            const Bytes record = bytes.take(position, length);
            if (record.empty()) {
                endedEarly = true;
                break;
            }
            position += length;
            if (!RecordView(record).isWhole()) {
                ++damaged;
                continue;
            }
            const int32_t n = existing + loaded + 1;
            store.addReading(record);
            const int code = store.modeWordLayout.code(RecordView(record).header().modeWord);
            store.list(ListModeOfCode(store.modeCodes, store.fileVersion, code)).push_back(n);
            ++loaded;
        }
    } catch (const std::bad_alloc&) {
        store.slots.resize(static_cast<size_t>(existing + loaded) + 1);
        store.readingCount = existing + loaded;
        prompter.error(FormatText("Truncate at Reading #%d", existing + loaded), "OUT OF MEMORY");
        return LoadOutcome::OutOfMemory;
    }
    store.readingCount = existing + loaded;
    if (append) {
        char countText[16];
        std::snprintf(countText, sizeof countText, "%4d ", store.readingCount);
        std::memcpy(store.fileHeader.data(), countText, 5);
    }

    LearnAllTitles(store, prompter);
    // Marks start afresh. Readings already open stay hidden; a loaded
    // reading is hidden as its file says when every record was read (a
    // skipped record would shift the flags onto the wrong readings).
    const std::vector<uint8_t> saved =
        endedEarly || damaged > 0 ? std::vector<uint8_t>{} : SavedFlags(bytes, position, count);
    for (int32_t n = 1; n <= store.readingCount; ++n) {
        const bool loadedNow = n > existing;
        const uint32_t before = loadedNow ? (saved.empty() ? 0u : uint32_t(saved[size_t(n - existing - 1)] - '0'))
                                          : store.flags(n);
        store.flags(n) = before & Hidden;
    }

    if (endedEarly || damaged > 0) {
        prompter.error(FormatText("File Damaged\n%s\n%d of %lld Readings Could Be Read", path.c_str(),
                              loaded, static_cast<long long>(count)),
                       "READ ERROR");
        return LoadOutcome::Damaged;
    }
    return LoadOutcome::Whole;
}

}  // namespace

namespace {
bool EndsWithIgnoringCase(const std::string& text, const char* suffix) {
    const size_t length = std::strlen(suffix);
    return text.size() >= length && strcasecmp(text.c_str() + text.size() - length, suffix) == 0;
}
}  // namespace

bool AppendExtensionsMatch(const std::string& chosenPath, const std::string& currentPath) {
    const auto readingsFile = [](const std::string& path) {
        return EndsWithIgnoringCase(path, ".qvr") || EndsWithIgnoringCase(path, ".lck");
    };
    if (readingsFile(chosenPath)) return readingsFile(currentPath);
    return EndsWithIgnoringCase(currentPath, ".qv");
}

std::optional<float> ReadFileVersion(const std::string& path) {
    std::vector<uint8_t> bytes;
    if (ReadFileBytes(path, bytes, kFileHeaderSize) != FileStatus::Ok) return std::nullopt;
    std::array<char, kFileHeaderSize + 1> header{};
    std::memcpy(header.data(), bytes.data(), bytes.size());
    const std::vector<std::string> lines = HeaderLines(header.data());
    if (!HeaderIsReadingsHeader(header.data(), lines)) return std::nullopt;
    return VersionFromLine(lines[3]);
}

LoadOutcome LoadReadingsFile(ReadingStore& store, const std::string& path, int command, Prompter& prompter) {
    return WithFileSource(path, prompter, [&](ByteSource& source) {
        return LoadFromSource(store, source, path, command, prompter);
    });
}

LoadOutcome CheckReadingsFile(const std::string& path, Prompter& prompter) {
    return WithFileSource(path, prompter, [&](ByteSource& source) {
        return RefusedAsNoReadingsFile(source, ReadHeader(source), path, prompter) ? LoadOutcome::NotReadingsFile
                                                                                  : LoadOutcome::Whole;
    });
}

}  // namespace ravik
