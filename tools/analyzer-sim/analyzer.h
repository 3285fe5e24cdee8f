#pragma once
// The simulated analyzer's side of remote control and library download: it
// answers the request bytes with replies framed as the program expects
// (code, payload, 0x1A; integers least significant byte first), keeps a
// screen and a spectrum that change while it measures, and takes a library
// download field by field, acknowledging each one.

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "sim_options.h"

namespace ravik::sim {

class Analyzer {
public:
    explicit Analyzer(const SimOptions& options);

    // One byte from the program (its XON/XOFF already taken out); now is a
    // monotonic time in milliseconds.
    void receive(uint8_t byte, int64_t now);
    // Time passes without input (a download left with a lone "Q" ends).
    void idle(int64_t now);

    // Bytes waiting to be sent.
    std::deque<uint8_t>& output() { return output_; }
    int baudIndex() const { return baudIndex_; }

private:
    void request(uint8_t code, const std::vector<uint8_t>& parameters, int64_t now);
    void reply(uint8_t code, const std::vector<uint8_t>& payload);
    bool answering() const;

    // Remote displays.
    std::array<uint8_t, 1600> screen(int64_t now) const;
    uint32_t screenSignature(int64_t now) const;
    uint32_t spectrumSignature(int64_t now) const;
    double elapsedSeconds(int64_t now) const;
    std::vector<uint8_t> spectrum(int first, int last, int64_t now) const;
    std::string regions(int64_t now) const;
    std::string measurementData() const;
    std::vector<uint8_t> status() const;

    // Library download.
    void libraryByte(uint8_t byte, int64_t now);
    void libraryField(const std::string& field);
    void acknowledge();
    void writeLibraryReport(const std::string& ending) const;

    SimOptions options_;
    int baudIndex_;
    std::deque<uint8_t> output_;
    long replies_ = 0;

    // Request being assembled: its code and the parameter bytes still due.
    uint8_t code_ = 0;
    size_t parametersDue_ = 0;
    std::vector<uint8_t> parameters_;

    int menuItem_ = 0;
    bool measuring_ = false;
    int64_t measureStart_ = 0;
    double lastElapsed_ = 0.0;
    int measurements_ = 0;

    enum class Download { Idle, Count, Fields };
    Download download_ = Download::Idle;
    std::string field_;
    int64_t lastLibraryByte_ = 0;
    long fieldsDue_ = 0;
    std::vector<std::string> fields_;  // the count, then every field
};

}  // namespace ravik::sim
