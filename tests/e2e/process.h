#pragma once
// Running a built executable from an end-to-end test and collecting what it
// printed.

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ravik::test {

struct ProcessResult {
    int exitCode = -1;
    std::string out;  // stdout
    std::string err;  // stderr
};

// Runs program with args (no shell), waits for it, returns its exit code and
// output. extraEnvironment entries are "NAME=value" and replace inherited
// variables of the same name.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& extraEnvironment = {});

// Whether the run ended with this exit status and said `said` on stderr;
// a failure shows both.
testing::AssertionResult EndedSaying(const ProcessResult& run, int status, const std::string& said);

// Writes a readings file with ravik-make-sample ("file PATH OPTIONS..."); true when it did.
inline bool MakeSampleFile(const std::string& path, std::vector<std::string> options) {
    options.insert(options.begin(), {"file", path});
    return RunProcess(MAKE_SAMPLE_EXE, options).exitCode == 0;
}

}  // namespace ravik::test
