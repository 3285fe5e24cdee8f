#pragma once
// Where the export writers put their text: a string that collects all of it,
// or a staged file that the text streams into through a buffer of bounded
// size, so an export of any size needs little memory.

#include <cstddef>
#include <string>
#include <string_view>

#include "core/platform/file_io.h"

namespace ravik {

class ExportSink {
public:
    // The most text that waits in memory on its way to a file.
    static constexpr size_t kBufferSize = size_t{1} << 20;

    // Collects everything into text, behind what it holds.
    explicit ExportSink(std::string& text) : out_(text) {}
    // Streams into file, which finish() then finishes.
    explicit ExportSink(StagedFile& file);
    ExportSink(const ExportSink&) = delete;
    ExportSink& operator=(const ExportSink&) = delete;

    void append(std::string_view bytes) {
        if (out_.size() + bytes.size() > kBufferSize && file_ != nullptr) {
            spill(bytes);
        } else {
            out_.append(bytes);
        }
    }
    ExportSink& operator+=(std::string_view bytes) {
        append(bytes);
        return *this;
    }
    ExportSink& operator+=(char c) {
        append(std::string_view(&c, 1));
        return *this;
    }

    // Room for this many more bytes where everything is collected: a string
    // grown step by step copies itself each time it grows.
    void expect(size_t bytes);
    // True once a write to the file failed: the rest of the text is lost.
    bool failed() const { return status_ != FileStatus::Ok; }
    // Writes what waits in the buffer and finishes the file (a collecting
    // sink has nothing to do); the first failure of any write is returned.
    FileStatus finish();

private:
    void flush();
    void spill(std::string_view bytes);

    std::string buffer_;
    std::string& out_;
    StagedFile* file_ = nullptr;
    FileStatus status_ = FileStatus::Ok;
};

}  // namespace ravik
