#pragma once
// Realistic readings files, made deterministically from a few options: the
// header as the analyzer writes it and a working day's readings of every
// mode, with plausible results, status values, text fields and spectra.
// The same options always give the same bytes.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "make-sample/record_builder.h"
#include "core/readings/mode.h"

namespace ravik::sample {

// A small generator of our own (splitmix64), so that the files do not depend
// on the standard library's distributions.
class Rng {
public:
    explicit Rng(uint64_t seed) : state_(seed) {}
    uint64_t next();
    // A whole number in lo..hi, both included.
    int between(int lo, int hi);
    // A number in [lo, hi).
    double uniform(double lo, double hi);
    // True with the given chance in percent.
    bool chance(int percent) { return between(0, 99) < percent; }
    template <typename T, size_t N>
    const T& pick(const T (&items)[N]) {
        return items[static_cast<size_t>(between(0, static_cast<int>(N) - 1))];
    }

private:
    uint64_t state_;
};

struct SampleOptions {
    std::string version = "6.0";  // "5.0", "5.5" or "6.0": the end of header line 4
    std::array<int, 5> counts{};   // readings per mode: Paint, Bulk, Thin, Alloy, Sign
    uint32_t seed = 1;
    bool locked = false;  // the header's count is written negative
    std::string site = "Maple Street School";
    std::string title = "Lead survey, east wing";
    bool interleave = true;  // modes mixed in file order (false: grouped by mode)
    bool compactSpectra = false;  // the shortest spectra (256 L and 256 K channels): small files
};

// The analyzer's largest record.
inline constexpr size_t kLargestRecord = 4116;

bool IsSampleVersion(const std::string& version);
float VersionNumber(const std::string& version);

// The mode word of a record: the code and the source bits laid out as the
// version lays them out (below 5.5: bits 12..15; from 5.5: bits 13..15).
uint16_t ModeWordFor(const std::string& version, int code, int sourceBits);

// Every mode code a reading of this mode carries in a file of this version,
// in the order the generator uses them. For 5.1 and below the code is the
// mode itself, and Paint readings also carry 8 and 9.
std::vector<int> ModeCodesFor(const std::string& version, Mode mode);

// Where one reading stands in its file.
struct ReadingPlace {
    int index = 0;  // its place among the readings of its mode, from 0
    uint16_t instrumentNumber = 1;
    uint32_t timeStamp = 0;  // instrument seconds, the start of the measurement
};

// One reading, as fields (so that a test can change one before building)
// and as the record bytes.
RecordSpec MakeReadingSpec(const SampleOptions& options, Mode mode, const ReadingPlace& place,
                           Rng& rng);
std::vector<uint8_t> MakeReading(const SampleOptions& options, Mode mode,
                                 const ReadingPlace& place, Rng& rng);

// The 256-byte file header for the options' total count.
std::string MakeFileHeader(const SampleOptions& options);

// Header and records, without a trailer, as a data dump delivers them.
std::vector<uint8_t> MakeReadingsFile(const SampleOptions& options);

// The demo file: every mode, about sixty readings.
SampleOptions DemoOptions();

// A small file set for the fuzz corpus: every version, every mode, a locked
// file and an empty one.
struct SeedFile {
    std::string name;
    SampleOptions options;
};
std::vector<SeedFile> SeedFiles();

}  // namespace ravik::sample
