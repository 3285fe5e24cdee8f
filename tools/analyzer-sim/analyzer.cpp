#include "analyzer.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <ctime>
#include <fstream>

namespace ravik::sim {

namespace {

constexpr uint8_t kTerminator = 0x1A;
constexpr uint8_t kAcknowledge = 0x06;
constexpr int64_t kAbortQuietMillis = 500;
constexpr int kFieldsPerAlloy = 1 + 2 * 19;
constexpr int kSearchIndexValues = 13;
constexpr int64_t kInstrumentEpoch = 757378800;

void PutLe32(std::vector<uint8_t>& bytes, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// An 8-byte field: the value in its low half, its sign spread into the high half.
void PutFolded(std::vector<uint8_t>& bytes, int32_t value) {
    PutLe32(bytes, static_cast<uint32_t>(value));
    PutLe32(bytes, value < 0 ? 0xFFFFFFFFu : 0u);
}

uint32_t Fnv(const uint8_t* bytes, size_t count) {
    uint32_t hash = 2166136261u;
    for (size_t i = 0; i < count; ++i) hash = (hash ^ bytes[i]) * 16777619u;
    return hash;
}

// Parameter bytes that follow a request code.
size_t ParametersOf(uint8_t code) {
    switch (code) {
        case 145: case 159: case 167: return 1;
        case 148: case 149: return 4;
        default: return 0;
    }
}

// A screen reply's payload: the orientation byte (0 portrait), then the bytes.
template <typename Bytes>
std::vector<uint8_t> Oriented(bool portrait, const Bytes& bytes) {
    std::vector<uint8_t> payload(1 + bytes.size(), portrait ? 0 : 1);
    std::copy(bytes.begin(), bytes.end(), payload.begin() + 1);
    return payload;
}

constexpr const char* kAlloyNames[] = {"316SS", "304SS", "321SS", "Ti-6Al-4V", "C17200", "Inconel 625"};

}  // namespace

Analyzer::Analyzer(const SimOptions& options) : options_(options), baudIndex_(options.baudIndex) {}

bool Analyzer::answering() const { return options_.silentAfter < 0 || replies_ < options_.silentAfter; }

void Analyzer::receive(uint8_t byte, int64_t now) {
    if (download_ == Download::Count || download_ == Download::Fields) {
        libraryByte(byte, now);
        return;
    }
    if (parametersDue_ > 0) {
        parameters_.push_back(byte);
        if (--parametersDue_ == 0) request(code_, parameters_, now);
        return;
    }
    if (options_.libraryScreen && (std::isdigit(byte) != 0 || byte == '-')) {
        download_ = Download::Count;
        libraryByte(byte, now);
        return;
    }
    if (byte < 127) return;  // noise: nothing the analyzer understands
    code_ = byte;
    parameters_.clear();
    parametersDue_ = ParametersOf(byte);
    if (parametersDue_ == 0) request(code_, parameters_, now);
}

void Analyzer::idle(int64_t now) {
    if (download_ == Download::Fields && field_ == "Q" && now - lastLibraryByte_ >= kAbortQuietMillis) {
        writeLibraryReport("aborted");
        download_ = Download::Idle;
        field_.clear();
    }
}

void Analyzer::reply(uint8_t code, const std::vector<uint8_t>& payload) {
    if (!answering()) return;
    ++replies_;
    output_.push_back(code);
    output_.insert(output_.end(), payload.begin(), payload.end());
    output_.push_back(kTerminator);
}

void Analyzer::request(uint8_t code, const std::vector<uint8_t>& parameters, int64_t now) {
    switch (code) {
        case 128: menuItem_ = (menuItem_ + 1) % 4; break;   // down
        case 129: menuItem_ = (menuItem_ + 3) % 4; break;   // up
        case 130: menuItem_ = 0; break;
        case 139:
            measuring_ = true;
            measureStart_ = now;
            ++measurements_;
            break;
        case 140:
            if (measuring_) lastElapsed_ = elapsedSeconds(now);
            measuring_ = false;
            break;
        case 141: reply(141, {static_cast<uint8_t>(options_.libraryScreen ? '9' : '1')}); break;
        case 142: {
            std::vector<uint8_t> payload;
            PutFolded(payload, static_cast<int32_t>(screenSignature(now) & 0x7FFFFFFF));
            reply(142, payload);
            break;
        }
        case 143:
            reply(143, Oriented(options_.portrait, "MAIN MENU item " + std::to_string(menuItem_ + 1)));
            break;
        case 144:
            reply(144, Oriented(options_.portrait, screen(now)));
            break;
        case 145: {
            const std::string text = measurementData();
            reply(145, std::vector<uint8_t>(text.begin(), text.end()));
            break;
        }
        case 146:
        case 147: {
            std::vector<uint8_t> payload;
            PutFolded(payload, static_cast<int32_t>(spectrumSignature(now) & 0x7FFFFFFF) ^ (code == 147 ? 1 : 0));
            reply(code, payload);
            break;
        }
        case 148:
        case 149: {
            const int first = (parameters[0] << 8) | parameters[1];
            const int last = (parameters[2] << 8) | parameters[3];
            std::vector<uint8_t> payload(parameters.begin(), parameters.end());
            if (code == 149) {
                PutFolded(payload, 12345);     // EZERO, millionths
                PutFolded(payload, 2512345);   // ESCALE, millionths
                PutFolded(payload, static_cast<int32_t>(elapsedSeconds(now) * 1000.0));
            }
            const std::vector<uint8_t> counts = spectrum(first, last, now);
            payload.insert(payload.end(), counts.begin(), counts.end());
            reply(code, payload);
            break;
        }
        case 150: {
            const std::string text = regions(now);
            reply(150, std::vector<uint8_t>(text.begin(), text.end()));
            break;
        }
        case 151: { std::vector<uint8_t> p; PutFolded(p, 2512345); reply(151, p); break; }
        case 152: { std::vector<uint8_t> p; PutFolded(p, 12345); reply(152, p); break; }
        case 153: { std::vector<uint8_t> p; PutLe32(p, 2150); reply(153, p); break; }
        case 154: reply(154, status()); break;
        case 156: reply(156, {0, 2, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}); break;
        case 159:
            if (parameters[0] <= 4) baudIndex_ = parameters[0];
            break;
        default: break;  // keys and switches without an answer
    }
}

double Analyzer::elapsedSeconds(int64_t now) const {
    return measuring_ ? static_cast<double>(now - measureStart_) / 1000.0 : lastElapsed_;
}

// The display: a frame, four menu bars with the chosen one filled, and while
// measuring a progress bar that grows each second. Row 40 is a stripe of
// 0x1A bytes, so that every dump carries terminator bytes inside it.
std::array<uint8_t, 1600> Analyzer::screen(int64_t now) const {
    std::array<uint8_t, 1600> bitmap{};
    const auto dark = [&](int x, int y) { bitmap[static_cast<size_t>(y * 20 + x / 8)] |= static_cast<uint8_t>(1u << (x % 8)); };
    for (int x = 0; x < 160; ++x) { dark(x, 0); dark(x, 79); }
    for (int y = 0; y < 80; ++y) { dark(0, y); dark(159, y); }
    for (int item = 0; item < 4; ++item) {
        const int top = 6 + item * 8;
        for (int x = 8; x < 100; ++x) {
            dark(x, top);
            dark(x, top + 5);
            if (item == menuItem_) {
                for (int y = top; y <= top + 5; ++y) dark(x, y);
            }
        }
    }
    for (int i = 0; i < 20; ++i) bitmap[40 * 20 + static_cast<size_t>(i)] = 0x1A;
    const int progress = std::min(150, static_cast<int>(elapsedSeconds(now)) * 10);
    for (int x = 5; x < 5 + progress; ++x) {
        for (int y = 60; y < 70; ++y) dark(x, y);
    }
    return bitmap;
}

uint32_t Analyzer::screenSignature(int64_t now) const {
    const std::array<uint8_t, 1600> bitmap = screen(now);
    return Fnv(bitmap.data(), bitmap.size());
}

uint32_t Analyzer::spectrumSignature(int64_t now) const {
    const int32_t tenths = static_cast<int32_t>(elapsedSeconds(now) * 10.0);
    const int32_t parts[] = {measurements_, tenths};
    return Fnv(reinterpret_cast<const uint8_t*>(parts), sizeof parts);
}

// Counts for channels first..last-1: a background and three peaks that grow
// with the measuring time.
std::vector<uint8_t> Analyzer::spectrum(int first, int last, int64_t now) const {
    std::vector<uint8_t> counts;
    const double seconds = std::max(0.1, elapsedSeconds(now));
    for (int channel = first; channel < last; ++channel) {
        const double x = channel;
        const double peaks = 900.0 * std::exp(-std::pow((x - 150.0) / 6.0, 2)) +
                             500.0 * std::exp(-std::pow((x - 320.0) / 9.0, 2)) +
                             250.0 * std::exp(-std::pow((x - 640.0) / 12.0, 2));
        const double background = 40.0 * std::exp(-x / 400.0);
        PutLe32(counts, static_cast<uint32_t>((peaks + background) * seconds));
    }
    return counts;
}

std::string Analyzer::regions(int64_t now) const {
    const double elapsed = elapsedSeconds(now);
    char text[128];
    std::snprintf(text, sizeof text, "Pb L=%d,Pb K=%d,Time=%.1f,Live=%.1f,", static_cast<int>(elapsed * 37.0),
                  static_cast<int>(elapsed * 12.0), elapsed, elapsed * 0.93);
    return text;
}

// The identified alloy and the next two, each followed by one marker character.
std::string Analyzer::measurementData() const {
    const size_t count = std::size(kAlloyNames);
    const size_t first = static_cast<size_t>(measurements_) % count;
    std::string text = "ALLOY ID,";
    const char* labels[] = {"1st:", "2nd:", "3rd:"};
    for (size_t i = 0; i < 3; ++i) {
        text += std::string(labels[i]) + kAlloyNames[(first + i) % count] + (i == 0 ? "*" : " ") + "\r\n";
    }
    return text;
}

std::vector<uint8_t> Analyzer::status() const {
    std::vector<uint8_t> payload;
    PutFolded(payload, static_cast<int32_t>(std::time(nullptr) - kInstrumentEpoch));
    const int32_t values[17] = {512, 3, 498, 4, 2215, -2490, 100, 315, 88, 742, 31, 17500, 17500, 270, 500, 612, 0};
    for (int32_t value : values) PutLe32(payload, static_cast<uint32_t>(value));
    return payload;
}

// ---- Library download --------------------------------------------------------

void Analyzer::libraryByte(uint8_t byte, int64_t now) {
    lastLibraryByte_ = now;
    if (byte != '\r') {
        field_ += static_cast<char>(byte);
        return;
    }
    libraryField(field_);
    field_.clear();
}

void Analyzer::libraryField(const std::string& field) {
    if (download_ == Download::Count) {
        fields_.assign(1, field);
        const long alloys = std::atol(field.c_str());
        if (alloys < 0 || alloys > 425) {
            writeLibraryReport("refused");
            download_ = Download::Idle;
            return;
        }
        fieldsDue_ = alloys * kFieldsPerAlloy + kSearchIndexValues;
        download_ = Download::Fields;
    } else {
        fields_.push_back(field);
        if (--fieldsDue_ == 0) {
            writeLibraryReport("complete");
            download_ = Download::Idle;
            return;
        }
    }
    acknowledge();
}

void Analyzer::acknowledge() {
    if (!answering()) return;
    ++replies_;
    output_.push_back(kAcknowledge);
}

// The report: "count N", one tab-separated line per alloy (name, then low
// and high of each of the 19 pairs), "searchIndex" with its 13 values, and
// how the download ended.
void Analyzer::writeLibraryReport(const std::string& ending) const {
    if (options_.libraryReport.empty()) return;
    std::ofstream report(options_.libraryReport, std::ios::trunc);
    report << "count\t" << (fields_.empty() ? "" : fields_[0]) << "\n";
    const long alloys = fields_.empty() ? 0 : std::atol(fields_[0].c_str());
    size_t at = 1;
    for (long a = 0; a < alloys && at + kFieldsPerAlloy <= fields_.size(); ++a) {
        report << "alloy";
        for (int f = 0; f < kFieldsPerAlloy; ++f) report << "\t" << fields_[at++];
        report << "\n";
    }
    if (ending == "complete") {
        report << "searchIndex";
        for (; at < fields_.size(); ++at) report << "\t" << fields_[at];
        report << "\n";
    }
    report << ending << "\n";
}

}  // namespace ravik::sim
