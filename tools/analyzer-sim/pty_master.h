#pragma once
// The analyzer's end of a pseudo-terminal: the program opens the slave
// device as its serial port. Packet mode tells the analyzer when the
// program empties its queues (which it does whenever it opens the port),
// and the slave's settings tell it the rate the program has set.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ravik::sim {

class PtyMaster {
public:
    PtyMaster();
    ~PtyMaster();
    PtyMaster(const PtyMaster&) = delete;
    PtyMaster& operator=(const PtyMaster&) = delete;

    bool ok() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    const std::string& slavePath() const { return slavePath_; }
    // The rate the program has set on its side of the line.
    uint32_t lineRate() const;

    struct Packet {
        bool flushed = false;        // the program emptied its queues
        std::vector<uint8_t> data;   // bytes the program sent
    };
    // What the program sent since the last call, or nothing when the line
    // is quiet; hungUp() says whether the program has closed its side.
    std::optional<Packet> read();
    bool hungUp() const { return hungUp_; }
    // Writes what the line takes now; returns how many bytes.
    size_t write(const uint8_t* bytes, size_t count);

private:
    int fd_ = -1;
    std::string slavePath_;
    bool hungUp_ = false;
};

}  // namespace ravik::sim
