#include "core/platform/file_io.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

namespace ravik {

namespace {

constexpr std::string_view kTempMark = ".ravik-";
constexpr size_t kTempSuffixLength = 6;

// Opens without blocking (a FIFO without a writer would wait forever) and
// accepts only a regular file.
FileStatus OpenRegularFile(const std::string& path, int& fd, struct stat& info) {
    fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return FileStatus::CannotOpen;
    if (::fstat(fd, &info) != 0) {
        ::close(fd);
        return FileStatus::CannotRead;
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        return FileStatus::NotRegularFile;
    }
    return FileStatus::Ok;
}

template <typename Buffer>
FileStatus ReadInto(const std::string& path, Buffer& out, size_t maxBytes) {
    out.clear();
    int fd = -1;
    struct stat info {};
    if (const FileStatus opened = OpenRegularFile(path, fd, info); opened != FileStatus::Ok) return opened;
    out.reserve(std::min(maxBytes, static_cast<size_t>(info.st_size)));
    char chunk[1 << 16];
    while (out.size() < maxBytes) {
        size_t want = std::min(sizeof chunk, maxBytes - out.size());
        ssize_t got = ::read(fd, chunk, want);
        if (got < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            return FileStatus::CannotRead;
        }
        if (got == 0) break;
        out.insert(out.end(), chunk, chunk + got);
    }
    ::close(fd);
    return FileStatus::Ok;
}

std::string ResolveLinks(const std::string& path) {
    char resolved[PATH_MAX];
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode) &&
        ::realpath(path.c_str(), resolved) != nullptr) {
        return resolved;
    }
    return path;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool InSystemFolder(const std::string& path) {
    char resolved[PATH_MAX];
    if (::realpath(FolderOf(path).c_str(), resolved) == nullptr) return false;
    const std::string_view folder = resolved;
    for (const std::string_view system : {"/dev", "/proc", "/sys"}) {
        if (folder.substr(0, system.size()) == system &&
            (folder.size() == system.size() || folder[system.size()] == '/')) {
            return true;
        }
    }
    return false;
}

mode_t NewFileMode(const std::string& target) {
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0) return info.st_mode & 07777;
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool WriteAll(int fd, std::string_view bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (wrote == 0) return false;
        done += static_cast<size_t>(wrote);
    }
    return true;
}

// The process id in a temporary's name "<target>.ravik-<pid>-XXXXXX", or 0
// when the name is not one of ours.
pid_t TempOwner(std::string_view name) {
    if (name.size() < kTempSuffixLength + 2 || name[name.size() - kTempSuffixLength - 1] != '-') return 0;
    const std::string_view head = name.substr(0, name.size() - kTempSuffixLength - 1);
    const size_t mark = head.rfind(kTempMark);
    if (mark == std::string_view::npos) return 0;
    const std::string_view digits = head.substr(mark + kTempMark.size());
    if (digits.empty() || digits.size() > 9 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return 0;
    }
    return static_cast<pid_t>(std::strtol(std::string(digits).c_str(), nullptr, 10));
}

bool ProcessGone(pid_t pid) { return ::kill(pid, 0) != 0 && errno == ESRCH; }

// Removes the named temporaries our processes left in the folder when they
// were killed: regular files of this user whose process no longer runs.
void RemoveStaleTemporaries(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return;
    while (const dirent* entry = ::readdir(dir)) {
        const pid_t owner = TempOwner(entry->d_name);
        if (owner <= 0 || owner == ::getpid() || !ProcessGone(owner)) continue;
        struct stat info {};
        if (::fstatat(::dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode) &&
            info.st_uid == ::getuid()) {
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
        }
    }
    ::closedir(dir);
}

std::string TempPrefix(const std::string& target) {
    return target + std::string(kTempMark) + std::to_string(::getpid()) + "-";
}

std::string RandomSuffix() {
    static std::mt19937 generator{std::random_device{}()};
    constexpr std::string_view kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::uniform_int_distribution<size_t> pick(0, kLetters.size() - 1);
    std::string suffix(kTempSuffixLength, ' ');
    for (char& c : suffix) c = kLetters[pick(generator)];
    return suffix;
}

// Links an unnamed temporary file into the folder under a fresh name.
bool LinkUnnamed(int fd, const std::string& name) {
    const std::string procPath = "/proc/self/fd/" + std::to_string(fd);
    if (::linkat(AT_FDCWD, procPath.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
    return errno == ENOENT && ::linkat(fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0;
}

}  // namespace

FileStatus ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes, size_t maxBytes) {
    return ReadInto(path, bytes, maxBytes);
}

FileStatus ReadFileText(const std::string& path, std::string& text, size_t maxBytes) {
    return ReadInto(path, text, maxBytes);
}

FileStatus ReadSmallTextFile(const std::string& path, std::string& text, size_t limit) {
    const FileStatus status = ReadInto(path, text, limit + 1);
    if (status != FileStatus::Ok || text.size() <= limit) return status;
    text.clear();
    return FileStatus::TooLarge;
}

std::string ReadProblemText(FileStatus status, const std::string& path, const std::string& usualText) {
    switch (status) {
        case FileStatus::NotRegularFile: return "Not a Regular File\n" + path;
        case FileStatus::TooLarge: return "File Too Large\n" + path;
        default: return usualText;
    }
}

StagedFile::StagedFile(const std::string& path) : target_(ResolveLinks(path)) {}

StagedFile::StagedFile(StagedFile&& other) noexcept
    : target_(std::move(other.target_)), fd_(other.fd_), tempName_(std::move(other.tempName_)),
      failure_(other.failure_), finished_(other.finished_), committed_(other.committed_) {
    other.fd_ = -1;
    other.tempName_.clear();
}

StagedFile::~StagedFile() { discard(); }

void StagedFile::discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!tempName_.empty()) ::unlink(tempName_.c_str());
    tempName_.clear();
    finished_ = false;
}

FileStatus StagedFile::fail(FileStatus status) {
    discard();
    failure_ = status;
    return status;
}

FileStatus StagedFile::create() {
    if (IsSpecialFile(target_)) return fail(FileStatus::NotRegularFile);
    if (InSystemFolder(target_)) return fail(FileStatus::CannotCreate);
    const std::string folder = FolderOf(target_);
    RemoveStaleTemporaries(folder);
    fd_ = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd_ < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        tempName_ = TempPrefix(target_) + "XXXXXX";
        fd_ = ::mkstemp(tempName_.data());
        if (fd_ < 0) tempName_.clear();
    }
    if (fd_ < 0) return fail(FileStatus::CannotCreate);
    // Set exactly: the mode given to open is narrowed by the umask.
    ::fchmod(fd_, NewFileMode(target_));
    return FileStatus::Ok;
}

FileStatus StagedFile::append(std::string_view bytes) {
    if (failure_ != FileStatus::Ok) return failure_;
    if (fd_ < 0) {
        if (const FileStatus created = create(); created != FileStatus::Ok) return created;
    }
    finished_ = false;
    return WriteAll(fd_, bytes) ? FileStatus::Ok : fail(FileStatus::WriteFailed);
}

FileStatus StagedFile::finish() {
    if (const FileStatus appended = append({}); appended != FileStatus::Ok) return appended;
    if (::fsync(fd_) != 0) return fail(FileStatus::WriteFailed);
    finished_ = true;
    return FileStatus::Ok;
}

FileStatus StagedFile::write(std::string_view bytes) {
    discard();
    failure_ = FileStatus::Ok;
    if (const FileStatus appended = append(bytes); appended != FileStatus::Ok) return appended;
    return finish();
}

FileStatus StagedFile::name() {
    if (!finished_) return failure_ != FileStatus::Ok ? failure_ : FileStatus::CannotCreate;
    if (!tempName_.empty()) return FileStatus::Ok;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = TempPrefix(target_) + RandomSuffix();
        if (LinkUnnamed(fd_, name)) {
            tempName_ = name;
            return FileStatus::Ok;
        }
        if (errno != EEXIST) break;
    }
    return errno == ENOSPC ? FileStatus::WriteFailed : FileStatus::CannotCreate;
}

FileStatus StagedFile::replace() {
    if (::rename(tempName_.c_str(), target_.c_str()) != 0) return FileStatus::CannotCreate;
    tempName_.clear();
    ::close(fd_);
    fd_ = -1;
    committed_ = true;
    return FileStatus::Ok;
}

FileStatus CommitStagedFiles(std::vector<StagedFile>& files) {
    for (StagedFile& file : files) {
        if (const FileStatus named = file.name(); named != FileStatus::Ok) {
            for (StagedFile& each : files) each.discard();
            return named;
        }
    }
    for (StagedFile& file : files) {
        if (const FileStatus replaced = file.replace(); replaced != FileStatus::Ok) {
            for (StagedFile& each : files) each.discard();
            return replaced;
        }
    }
    return FileStatus::Ok;
}

FileStatus WriteFileAtomically(const std::string& path, std::string_view bytes) {
    std::vector<StagedFile> files;
    files.emplace_back(path);
    if (const FileStatus written = files.front().write(bytes); written != FileStatus::Ok) return written;
    return CommitStagedFiles(files);
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

bool IsSpecialFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode);
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

bool TextLineReader::ReadTextLine(std::string& line, size_t maxLength) {
    line.clear();
    truncated_ = false;
    if (pos_ >= text_.size()) return false;
    size_t end = text_.find('\n', pos_);
    end = (end == std::string_view::npos) ? text_.size() : end + 1;
    size_t length = end - pos_;
    if (length > maxLength) {
        length = maxLength;
        truncated_ = true;
    }
    line.assign(text_.substr(pos_, length));
    pos_ = end;
    return true;
}

}  // namespace ravik
