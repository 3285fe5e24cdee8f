#include "core/platform/commit_manifest.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <random>

#include "core/platform/file_io.h"

namespace ravik {

namespace {

constexpr std::string_view kOwnMark = ".ravik-";
constexpr size_t kOwnSuffixLength = 12;
constexpr std::string_view kManifestHead = "ravik commit 1\n";
// A manifest names a few files; anything larger is not one of ours.
constexpr size_t kManifestLimit = 1 << 20;

bool AllDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool AllLettersOrDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    });
}

std::string RandomSuffix() {
    static std::mt19937 generator{std::random_device{}()};
    constexpr std::string_view kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::uniform_int_distribution<size_t> pick(0, kLetters.size() - 1);
    std::string suffix(kOwnSuffixLength, ' ');
    for (char& c : suffix) c = kLetters[pick(generator)];
    return suffix;
}

// Reads one decimal number followed by the separator, moving text past both.
template <typename Number>
bool TakeNumber(std::string_view& text, Number& number, char separator) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end == text.data() + text.size() || *end != separator) return false;
    text.remove_prefix(static_cast<size_t>(end - text.data()) + 1);
    return true;
}

bool TakeBytes(std::string_view& text, size_t length, std::string& bytes) {
    if (length > text.size()) return false;
    bytes.assign(text.substr(0, length));
    text.remove_prefix(length);
    return true;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool ProcessGone(pid_t pid) { return ::kill(pid, 0) != 0 && errno == ESRCH; }

// A file the writer of another process left here: regular, this user's,
// named as kind, and its process is gone.
bool LeftByGoneProcess(int folder, const char* name, std::string_view kind) {
    const pid_t owner = OwnFileOwner(name, kind);
    if (owner <= 0 || owner == ::getpid() || !ProcessGone(owner)) return false;
    struct stat info {};
    return ::fstatat(folder, name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode) &&
           info.st_uid == ::getuid();
}

bool IsOwnRegularFile(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::getuid();
}

// Finishes one entry of a dead commit: its temporary takes the target's
// place only while the target is as the commit found it; otherwise the
// target is someone's newer file and the temporary is dropped.
void RecoverEntry(const ManifestEntry& entry) {
    if (entry.target.empty() || entry.target[0] != '/') return;
    const std::string temporary = FolderOf(entry.target) + "/" + entry.temporary;
    if (OwnFileOwner(entry.temporary, kTemporaryKind) <= 0 || !IsOwnRegularFile(temporary)) return;
    if (StateOf(entry.target) != entry.state || ::rename(temporary.c_str(), entry.target.c_str()) != 0) {
        ::unlink(temporary.c_str());
    }
}

void RecoverManifest(int folder, const std::string& folderPath, const char* name) {
    const std::string path = folderPath + "/" + name;
    std::string text;
    if (ReadSmallTextFile(path, text, kManifestLimit) == FileStatus::Ok) {
        if (const auto entries = ParseManifest(text)) {
            for (const ManifestEntry& entry : *entries) RecoverEntry(entry);
        }
    }
    ::unlinkat(folder, name, 0);
}

// Calls each(name) for every entry of the folder.
template <typename Each>
void ForEachName(DIR* dir, Each each) {
    ::rewinddir(dir);
    while (const dirent* entry = ::readdir(dir)) each(entry->d_name);
}

}  // namespace

TargetState StateOf(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) return {};
    return {true,
            static_cast<uint64_t>(info.st_dev),
            static_cast<uint64_t>(info.st_ino),
            static_cast<int64_t>(info.st_size),
            static_cast<int64_t>(info.st_mtim.tv_sec),
            static_cast<int64_t>(info.st_mtim.tv_nsec)};
}

// Each entry is a line of numbers, the temporary's and the target's lengths
// first, then the two names as raw bytes and a line feed: names may hold
// any byte, a line feed too.
std::string FormatManifest(const std::vector<ManifestEntry>& entries) {
    std::string text(kManifestHead);
    for (const ManifestEntry& entry : entries) {
        const TargetState& s = entry.state;
        text += std::to_string(entry.temporary.size()) + ' ' + std::to_string(entry.target.size()) + ' ' +
                (s.exists ? "1" : "0") + ' ' + std::to_string(s.device) + ' ' + std::to_string(s.inode) + ' ' +
                std::to_string(s.size) + ' ' + std::to_string(s.modifiedSeconds) + ' ' +
                std::to_string(s.modifiedNanoseconds) + '\n' + entry.temporary + entry.target + '\n';
    }
    return text;
}

std::optional<std::vector<ManifestEntry>> ParseManifest(std::string_view text) {
    if (text.substr(0, kManifestHead.size()) != kManifestHead) return std::nullopt;
    text.remove_prefix(kManifestHead.size());
    std::vector<ManifestEntry> entries;
    while (!text.empty()) {
        ManifestEntry entry;
        TargetState& s = entry.state;
        size_t temporaryLength = 0;
        size_t targetLength = 0;
        int exists = 0;
        if (!TakeNumber(text, temporaryLength, ' ') || !TakeNumber(text, targetLength, ' ') ||
            !TakeNumber(text, exists, ' ') || exists < 0 || exists > 1 || !TakeNumber(text, s.device, ' ') ||
            !TakeNumber(text, s.inode, ' ') || !TakeNumber(text, s.size, ' ') ||
            !TakeNumber(text, s.modifiedSeconds, ' ') || !TakeNumber(text, s.modifiedNanoseconds, '\n') ||
            !TakeBytes(text, temporaryLength, entry.temporary) || !TakeBytes(text, targetLength, entry.target) ||
            text.empty() || text.front() != '\n') {
            return std::nullopt;
        }
        text.remove_prefix(1);
        s.exists = exists == 1;
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::string OwnFileName(std::string_view kind, pid_t pid) {
    return std::string(kOwnMark) + std::string(kind) + '-' + std::to_string(pid) + '-' + RandomSuffix();
}

pid_t OwnFileOwner(std::string_view name, std::string_view kind) {
    const std::string prefix = std::string(kOwnMark) + std::string(kind) + '-';
    if (name.substr(0, prefix.size()) != prefix || name.size() < prefix.size() + kOwnSuffixLength + 2) return 0;
    const std::string_view suffix = name.substr(name.size() - kOwnSuffixLength);
    const std::string_view digits = name.substr(prefix.size(), name.size() - prefix.size() - kOwnSuffixLength - 1);
    if (name[name.size() - kOwnSuffixLength - 1] != '-' || !AllLettersOrDigits(suffix) || !AllDigits(digits) ||
        digits.size() > 9) {
        return 0;
    }
    pid_t pid = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), pid);
    return pid;
}

void RecoverFolder(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return;
    const int fd = ::dirfd(dir);
    // Manifests first: their temporaries may still have to take their places.
    ForEachName(dir, [&](const char* name) {
        if (LeftByGoneProcess(fd, name, kManifestKind)) RecoverManifest(fd, folder, name);
    });
    ForEachName(dir, [&](const char* name) {
        if (LeftByGoneProcess(fd, name, kTemporaryKind)) ::unlinkat(fd, name, 0);
    });
    ::closedir(dir);
}

}  // namespace ravik
