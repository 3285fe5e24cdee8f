#include <gtest/gtest.h>

#include <algorithm>

#include "process.h"

namespace ravik {
namespace {

using test::RunProcess;

TEST(Start, MistypedSubcommandIsToldWithTheListAndStatus2) {
    const test::ProcessResult typo = RunProcess(RAVIK_EXE, {"exprot", "in.qvr"});
    EXPECT_EQ(typo.exitCode, 2);
    EXPECT_NE(typo.err.find("ravik: unknown command \"exprot\"\n"), std::string::npos) << typo.err;
    for (const char* usage : {"ravik info FILE", "ravik export INPUT.qvr", "ravik probe --port DEVICE"}) {
        EXPECT_NE(typo.err.find(usage), std::string::npos) << usage;
    }
}

TEST(Start, DesktopProgramWithoutDisplaySaysSoInOneLine) {
    const test::ProcessResult started =
        RunProcess(RAVIK_EXE, {}, {"QT_QPA_PLATFORM=xcb", "DISPLAY=", "WAYLAND_DISPLAY="});
    EXPECT_EQ(started.exitCode, 1);
    EXPECT_EQ(std::count(started.err.begin(), started.err.end(), '\n'), 1) << started.err;
    EXPECT_NE(started.err.find("no display"), std::string::npos) << started.err;
}

}  // namespace
}  // namespace ravik
