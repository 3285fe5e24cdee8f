#pragma once
// Whole-file reads, safe replacing writes and line-by-line text reading.

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace ravik {

enum class FileStatus {
    Ok,
    CannotOpen,
    CannotRead,
    NotRegularFile,  // a folder, FIFO, device or socket: never read or replaced
    TooLarge,        // larger than the reader's limit
    CannotCreate,    // the new file cannot be made or put in place; nothing changed
    WriteFailed,     // writing the new file failed (a full disk); nothing changed
};

// Settings, ports, pick-list and grade-table files are far smaller than this.
inline constexpr size_t kSmallFileLimit = 16 * 1024 * 1024;

// Reads at most maxBytes of the file into bytes (the rest is not read). Only
// a regular file is read; that is checked before any read, without blocking,
// so a FIFO or device never hangs the program.
FileStatus ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes, size_t maxBytes);
FileStatus ReadFileText(const std::string& path, std::string& text, size_t maxBytes);
// Reads the whole file; one larger than limit is refused (TooLarge).
FileStatus ReadSmallTextFile(const std::string& path, std::string& text, size_t limit = kSmallFileLimit);

// The message for a file that could not be read: for one refused as not
// regular or too large, a message naming the path; otherwise usualText.
std::string ReadProblemText(FileStatus status, const std::string& path, const std::string& usualText);

// A new version of a file, written in full before it takes the file's place.
// The bytes go to an unnamed temporary file in the target's folder (where the
// file system allows it; otherwise to a temporary named
// ".ravik-temp-<pid>-<letters>"), so a killed process leaves nothing behind.
// What killed processes of this program did leave in the folder (their
// named temporaries, the manifests of cut commits) is dealt with first. A target that is a symbolic link is written through the
// link. The new file gets the previous file's permissions, or the usual ones
// for a new file. Targets that exist as something other than a regular file,
// and targets in the system folders /dev, /proc and /sys, are refused.
class StagedFile {
public:
    explicit StagedFile(const std::string& path);
    ~StagedFile();  // discards a file that was not committed
    StagedFile(StagedFile&& other) noexcept;
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;
    StagedFile& operator=(StagedFile&&) = delete;

    // Writes bytes behind those written before; the first call makes the
    // temporary file. After a failure the temporary is gone, and this and
    // every later append and finish return that failure.
    FileStatus append(std::string_view bytes);
    // Flushes every written byte to the disk (making an empty temporary when
    // nothing was appended); only a finished file can be committed.
    FileStatus finish();
    // A fresh temporary holding exactly these bytes, finished.
    FileStatus write(std::string_view bytes);
    const std::string& target() const { return target_; }

private:
    friend FileStatus CommitStagedFiles(std::vector<StagedFile>& files);
    FileStatus create();   // makes the temporary file
    FileStatus fail(FileStatus status);  // discards the temporary and remembers why
    FileStatus name();     // gives the finished temporary a name beside the target
    FileStatus replace();  // renames it over the target
    void discard();

    std::string target_;
    int fd_ = -1;
    std::string tempName_;  // set while a named temporary exists
    FileStatus failure_ = FileStatus::Ok;
    bool finished_ = false;
    bool committed_ = false;
};

// Puts every written file in place: first each gets its temporary name (a
// failure there removes them all, and no target changed), then each is
// renamed over its target, which cannot fail for lack of space. Several
// files are recorded in a manifest before the renames, so a commit cut by a
// kill is finished (or undone) by the next save into the folder.
FileStatus CommitStagedFiles(std::vector<StagedFile>& files);

// Seams for tests: each, when set, is called as the writer reaches its step.
struct StagedFileHooks {
    void (*synced)() = nullptr;                // after each sync of a new file or manifest
    void (*renaming)(size_t index) = nullptr;  // before a commit renames its index-th file
};
void SetStagedFileHooks(const StagedFileHooks& hooks);

// Replaces (or creates) path with exactly these bytes, as one StagedFile; on
// any failure the previous file is untouched and no temporary is left.
FileStatus WriteFileAtomically(const std::string& path, std::string_view bytes);

// Where the extension of the path's file name starts (at its last dot), or
// the path's size when it has none: a dot that starts the name (".survey",
// as a hidden file's) belongs to the name.
size_t ExtensionStart(std::string_view path);

bool FileExists(const std::string& path);
// True when path exists as something other than a regular file: a folder,
// FIFO, device or socket.
bool IsSpecialFile(const std::string& path);
// True when both paths name the same existing file (through links too).
bool SameFile(const std::string& a, const std::string& b);

// Reads text one line at a time, each line up to and including its line feed
// (or to the end of the input). A line longer than maxLength bytes is cut to
// maxLength; the rest of it up to its line feed is skipped and
// lastLineTruncated() says so, so a long line never shifts the lines after it.
class TextLineReader {
public:
    explicit TextLineReader(std::string_view text) : text_(text) {}
    // Returns false when the input is exhausted (line is then empty).
    bool ReadTextLine(std::string& line, size_t maxLength = std::numeric_limits<size_t>::max());
    bool lastLineTruncated() const { return truncated_; }
    bool atEnd() const { return pos_ >= text_.size(); }

private:
    std::string_view text_;
    size_t pos_ = 0;
    bool truncated_ = false;
};

}  // namespace ravik
