#pragma once
// ravik-analyzer-sim running in the background for one test: started with
// the given options, its device path read from its first line of output,
// stopped (SIGTERM to its own pid) when the test ends.

#include <sys/types.h>

#include <string>
#include <vector>

namespace ravik::test {

class AnalyzerSimulator {
public:
    AnalyzerSimulator(const std::string& program, const std::vector<std::string>& options);
    ~AnalyzerSimulator();
    AnalyzerSimulator(const AnalyzerSimulator&) = delete;
    AnalyzerSimulator& operator=(const AnalyzerSimulator&) = delete;

    // The pseudo-terminal's device path; empty when the simulator did not start.
    const std::string& path() const { return path_; }

private:
    pid_t pid_ = -1;
    std::string path_;
};

}  // namespace ravik::test
