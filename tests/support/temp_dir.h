#pragma once
// A fresh directory for one test, removed with everything in it afterwards.

#include <cstddef>
#include <functional>
#include <set>
#include <string>

namespace ravik::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    // The names of the entries in the directory (not in its subdirectories).
    std::set<std::string> names() const;

private:
    std::string path_;
};

// Whole-file helpers for tests.
std::string ReadAll(const std::string& path);
void WriteAll(const std::string& path, const std::string& bytes);

// Runs body with the process's file size limit set to `bytes`: a write past it
// fails part way, as on a full disk.
void WithFileSizeLimit(size_t bytes, const std::function<void()>& body);

}  // namespace ravik::test
