#pragma once
// Building readings files inside the tests, field by field.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "make-sample/record_builder.h"
#include "readings/mode_codes.h"

namespace ravik::test {

// The mode word of a code and source bits in a file of this version.
inline uint16_t ModeWord(float version, int code, int sourceBits) {
    const ModeWordLayout layout = ModeWordLayoutFor(version);
    return static_cast<uint16_t>(code | (sourceBits << layout.sourceShift));
}

// A reading of the given code with two text fields and no elements.
inline sample::RecordSpec PlainReading(float version, int code, uint16_t instrumentNumber) {
    sample::RecordSpec recordSpec;
    recordSpec.instrumentNumber = instrumentNumber;
    recordSpec.modeWord = ModeWord(version, code, 2);
    recordSpec.measuringMillis = 30000;
    recordSpec.textFields[0] = "Site:Yard";
    return recordSpec;
}

struct TestFile {
    std::string versionText = "6.0";
    std::string site = "Mill Road";
    std::string title = "Test survey";
    std::optional<int> headerCount;  // default: the number of records
    std::vector<std::vector<uint8_t>> records;

    void add(const sample::RecordSpec& recordSpec) { records.push_back(sample::BuildRecord(recordSpec)); }
    std::vector<uint8_t> bytes() const {
        const int count = headerCount.value_or(static_cast<int>(records.size()));
        return sample::JoinFile(
            sample::BuildFileHeader(sample::StandardHeaderLines(count, title, versionText), site),
            records);
    }
    std::string text() const {
        const std::vector<uint8_t> b = bytes();
        return std::string(b.begin(), b.end());
    }
};

}  // namespace ravik::test
