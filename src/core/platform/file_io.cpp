#include "core/platform/file_io.h"

#include "core/platform/commit_manifest.h"

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
#include <map>
#include <mutex>

namespace ravik {

namespace {

// Recovers a folder only when it changed since this process last recovered
// it: a set of many files staged into one folder (a folder of EMSA files)
// would otherwise scan the folder once for every file it makes. Staging with
// unnamed temporaries leaves the folder unchanged; a leftover of another
// process, or a rename, changes it.
void RecoverChangedFolder(const std::string& folder) {
    static std::mutex guard;
    static std::map<std::string, std::pair<ino_t, timespec>> recoveredState;
    struct stat before {};
    if (::stat(folder.c_str(), &before) != 0) return;
    const std::lock_guard<std::mutex> lock(guard);
    const auto known = recoveredState.find(folder);
    if (known != recoveredState.end() && known->second.first == before.st_ino &&
        known->second.second.tv_sec == before.st_mtim.tv_sec && known->second.second.tv_nsec == before.st_mtim.tv_nsec) {
        return;
    }
    RecoverFolder(folder);
    struct stat after {};
    if (::stat(folder.c_str(), &after) == 0) recoveredState[folder] = {after.st_ino, after.st_mtim};
}

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

std::string BaseName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string AbsolutePath(const std::string& path) {
    char resolved[PATH_MAX];
    if (::realpath(FolderOf(path).c_str(), resolved) == nullptr) return path;
    const std::string folder = resolved;
    return (folder == "/" ? "" : folder) + "/" + BaseName(path);
}

std::string NewTemporaryName(const std::string& target) {
    return FolderOf(target) + "/" + OwnFileName(kTemporaryKind, ::getpid());
}

StagedFileHooks gHooks;

void Synced() {
    if (gHooks.synced != nullptr) gHooks.synced();
}

// Writes the manifest of a commit of several files beside the first of them.
// Empty when it could not be written.
std::string WriteManifest(const std::vector<ManifestEntry>& entries, FileStatus& status) {
    const std::string path = FolderOf(entries.front().target) + "/" + OwnFileName(kManifestKind, ::getpid());
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        status = FileStatus::CannotCreate;
        return {};
    }
    const bool written = WriteAll(fd, FormatManifest(entries)) && ::fsync(fd) == 0;
    ::close(fd);
    if (!written) {
        ::unlink(path.c_str());
        status = FileStatus::WriteFailed;
        return {};
    }
    Synced();
    return path;
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
    RecoverChangedFolder(folder);
    fd_ = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    for (int attempt = 0; fd_ < 0 && attempt < 100 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL ||
                                                       (errno == EEXIST && !tempName_.empty()));
         ++attempt) {
        tempName_ = NewTemporaryName(target_);
        fd_ = ::open(tempName_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    }
    if (fd_ < 0) tempName_.clear();
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
    Synced();
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
        const std::string name = NewTemporaryName(target_);
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
    const auto discardAll = [&](FileStatus status) {
        for (StagedFile& each : files) each.discard();
        return status;
    };
    std::vector<ManifestEntry> entries;
    for (StagedFile& file : files) {
        if (const FileStatus named = file.name(); named != FileStatus::Ok) return discardAll(named);
        entries.push_back({BaseName(file.tempName_), AbsolutePath(file.target_), StateOf(file.target_)});
    }
    // One rename cannot be cut in half; several can, so they are recorded first.
    std::string manifest;
    if (files.size() > 1) {
        FileStatus status = FileStatus::Ok;
        manifest = WriteManifest(entries, status);
        if (manifest.empty()) return discardAll(status);
    }
    for (size_t i = 0; i < files.size(); ++i) {
        if (gHooks.renaming != nullptr) gHooks.renaming(i);
        if (const FileStatus replaced = files[i].replace(); replaced != FileStatus::Ok) {
            if (!manifest.empty()) ::unlink(manifest.c_str());
            return discardAll(replaced);
        }
    }
    if (!manifest.empty()) ::unlink(manifest.c_str());
    return FileStatus::Ok;
}

void SetStagedFileHooks(const StagedFileHooks& hooks) { gHooks = hooks; }

FileStatus WriteFileAtomically(const std::string& path, std::string_view bytes) {
    std::vector<StagedFile> files;
    files.emplace_back(path);
    if (const FileStatus written = files.front().write(bytes); written != FileStatus::Ok) return written;
    return CommitStagedFiles(files);
}

size_t ExtensionStart(std::string_view path) {
    const size_t slash = path.rfind('/');
    const size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    const size_t dot = path.rfind('.');
    return dot == std::string_view::npos || dot <= nameStart ? path.size() : dot;
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
