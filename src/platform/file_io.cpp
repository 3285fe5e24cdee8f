#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>

namespace ravik {

namespace {

template <typename Buffer>
FileStatus ReadInto(const std::string& path, Buffer& out, size_t maxBytes) {
    out.clear();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return FileStatus::CannotOpen;
    struct stat info {};
    if (::fstat(fd, &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            ::close(fd);
            return FileStatus::CannotRead;
        }
        if (S_ISREG(info.st_mode)) out.reserve(std::min(maxBytes, static_cast<size_t>(info.st_size)));
    }
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

}  // namespace

FileStatus ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes, size_t maxBytes) {
    return ReadInto(path, bytes, maxBytes);
}

FileStatus ReadFileText(const std::string& path, std::string& text, size_t maxBytes) {
    return ReadInto(path, text, maxBytes);
}

FileStatus WriteFileAtomically(const std::string& path, std::string_view bytes) {
    const std::string target = ResolveLinks(path);
    std::string temp = target + ".XXXXXX";
    int fd = ::mkstemp(temp.data());
    if (fd < 0) return FileStatus::CannotCreate;
    ::fchmod(fd, NewFileMode(target));
    bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok && ::rename(temp.c_str(), target.c_str()) == 0) return FileStatus::Ok;
    ::unlink(temp.c_str());
    return FileStatus::WriteFailed;
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
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
