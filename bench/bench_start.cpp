// Starting the ravik executable on a 5100-reading file, process start
// included: "ravik info FILE" against a plain read of the same file by cat,
// and the desktop program from its start to its first drawn frame (needs a
// display: run under xvfb-run; ravik-screenshots --first-frame, the desktop
// program with the start-up probe, reports that moment itself and then ends).

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "make-sample/sample_file.h"
#include "bench_support.h"

extern char** environ;

namespace ravik {
namespace {

long long MonotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

void TimeProcess(benchmark::State& state, const std::vector<std::string>& args) {
    const int devNull = ::open("/dev/null", O_WRONLY);
    for (auto _ : state) {
        if (!RunProcess(args, devNull)) state.SkipWithError("the process failed");
    }
    ::close(devNull);
}

void BM_PlainReadByCat(benchmark::State& state) { TimeProcess(state, {"/bin/cat", FullReadingsFile()}); }
BENCHMARK(BM_PlainReadByCat)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();

void BM_RavikInfo(benchmark::State& state) { TimeProcess(state, {RAVIK_EXE, "info", FullReadingsFile()}); }
BENCHMARK(BM_RavikInfo)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();

void BM_DesktopFirstFrame(benchmark::State& state) {
    if (std::getenv("DISPLAY") == nullptr) {
        state.SkipWithError("needs a display: run under xvfb-run");
        return;
    }
    const std::string home = (std::filesystem::temp_directory_path() / "ravik-bench-start-home").string();
    std::filesystem::create_directories(home);
    const std::string report = home + "/first-frame";
    for (auto _ : state) {
        const int out = ::open(report.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const long long start = MonotonicNanoseconds();
        const bool ran = RunProcess({SCREENSHOTS_EXE, "--first-frame", FullReadingsFile()}, out,
                             {"RAVIK_HOME=" + home, "QT_QPA_PLATFORM=xcb"}).has_value();
        ::close(out);
        long long frame = 0;
        std::ifstream(report).ignore(12) >> frame;  // "first frame N"
        if (!ran || frame <= start) {
            state.SkipWithError("the desktop program did not report its first frame");
            break;
        }
        state.SetIterationTime(static_cast<double>(frame - start) / 1e9);
    }
}
BENCHMARK(BM_DesktopFirstFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();

}  // namespace
}  // namespace ravik
