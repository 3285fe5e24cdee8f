#include "dump_stream.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "core/readings/reading_store.h"
#include "core/readings/record.h"

namespace ravik::sim {

std::vector<uint8_t> DumpStreamOf(const std::vector<uint8_t>& file) {
    const size_t headerEnd = std::min(file.size(), kFileHeaderSize);
    const auto textEnd = std::find(file.begin(), file.begin() + static_cast<long>(headerEnd), uint8_t{0});
    std::vector<uint8_t> stream;
    int lines = 0;
    for (auto byte = file.begin(); byte != textEnd && lines < 5; ++byte) {
        stream.push_back(*byte);
        if (*byte == '\n') ++lines;
    }
    for (; lines < 5; ++lines) stream.insert(stream.end(), {'\r', '\n'});

    const std::string countText(file.begin(), textEnd);
    const long count = std::labs(std::strtol(countText.c_str(), nullptr, 10));
    size_t at = kFileHeaderSize;
    for (long n = 0; n < count && at + kRecordHeaderSize <= file.size(); ++n) {
        const size_t length = ReadU16(file.data() + at);
        if (length < kRecordHeaderSize || at + length > file.size()) break;
        stream.insert(stream.end(), file.begin() + static_cast<long>(at), file.begin() + static_cast<long>(at + length));
        at += length;
    }
    return stream;
}

}  // namespace ravik::sim
