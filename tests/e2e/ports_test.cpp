#include <gtest/gtest.h>

#include "process.h"
#include "support/pseudo_terminal.h"
#include "support/temp_dir.h"

namespace ravik {
namespace {

using test::RunProcess;

TEST(PortsCommand, ListsWhatEachComPortStandsForAndWhetherItOpens) {
    test::PseudoTerminal com3;
    test::TempDir home;
    // COM2's chosen device in ports.ini; COM3 named by the variable.
    test::WriteAll(home.file("ports.ini"), "COM2=" + home.file("gone") + "\n");
    const test::ProcessResult ports =
        RunProcess(RAVIK_EXE, {"ports"}, {"RAVIK_HOME=" + home.path(), "RAVIK_COM3=" + com3.slave});
    ASSERT_EQ(ports.exitCode, 0) << ports.err;
    EXPECT_NE(ports.out.find("COM2  " + home.file("gone")), std::string::npos) << ports.out;
    const size_t com3Line = ports.out.find("COM3  " + com3.slave);
    ASSERT_NE(com3Line, std::string::npos) << ports.out;
    EXPECT_EQ(ports.out.substr(ports.out.find('\n', com3Line) - 5, 5), "opens");
    EXPECT_NE(ports.out.find("detected devices:"), std::string::npos);
    EXPECT_EQ(RunProcess(RAVIK_EXE, {"ports", "extra"}).exitCode, 2);
}

}  // namespace
}  // namespace ravik
