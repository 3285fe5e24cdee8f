#pragma once
// Whole-file reads, safe replacing writes and line-by-line text reading.

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace ravik {

enum class FileStatus { Ok, CannotOpen, CannotRead, CannotCreate, WriteFailed };

// Reads at most maxBytes of the file into bytes (the rest is not read).
FileStatus ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes,
                         size_t maxBytes = std::numeric_limits<size_t>::max());
FileStatus ReadFileText(const std::string& path, std::string& text,
                        size_t maxBytes = std::numeric_limits<size_t>::max());

// Replaces (or creates) path with exactly these bytes. The bytes go to a
// temporary file beside the target, which is renamed over the target only
// when every byte was written and flushed; on any failure the temporary file
// is removed and the previous file is untouched. A target that is a symbolic
// link is written through the link. The new file gets the previous file's
// permissions, or the usual ones for a new file.
FileStatus WriteFileAtomically(const std::string& path, std::string_view bytes);

bool FileExists(const std::string& path);

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
