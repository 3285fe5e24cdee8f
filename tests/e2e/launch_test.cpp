// How ravik finds ravik-desktop: from its own resolved path, through the
// dynamic loader, set-group-id, and never from the current folder by chance.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "process.h"
#include "support/temp_dir.h"

namespace ravik {
namespace {

using test::RunProcess;
namespace fs = std::filesystem;

// A copy of ravik in a folder of its own, beside a stand-in ravik-desktop
// that writes its arguments into "started" there; or, for a working folder,
// only the stand-in.
struct LaunchFolder {
    test::TempDir dir;
    std::string ravik = dir.file("ravik");

    explicit LaunchFolder(bool withRavik, bool withDesktop = true) {
        fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                        fs::perms::others_read | fs::perms::others_exec);
        if (withRavik) fs::copy_file(RAVIK_EXE, ravik);
        if (withDesktop) {
            test::WriteAll(dir.file("ravik-desktop"), "#!/bin/sh\necho \"$@\" > \"$(dirname \"$0\")/started\"\n");
            fs::permissions(dir.file("ravik-desktop"), fs::perms::owner_all | fs::perms::group_exec |
                                                          fs::perms::others_exec | fs::perms::others_read,
                            fs::perm_options::add);
        }
    }
    bool desktopStarted() const { return fs::exists(dir.file("started")); }
};

#ifdef RAVIK_HAS_DESKTOP
std::string Quoted(const std::string& text) { return "'" + text + "'"; }

bool CanHideProc() {
    return ::geteuid() == 0 &&
           RunProcess("/usr/bin/unshare", {"--mount", "--propagation", "private", "/bin/true"}).exitCode == 0;
}

// Runs command in a shell in folder, with /proc hidden under an empty tmpfs.
test::ProcessResult RunWithoutProc(const std::string& folder, const std::string& command,
                                   const std::vector<std::string>& environment = {}) {
    return RunProcess("/usr/bin/unshare", {"--mount", "--propagation", "private", "/bin/sh", "-c",
                                           "/bin/mount -t tmpfs none /proc && cd " + Quoted(folder) + " && " + command},
                      environment);
}

TEST(Launcher, FindsTheDesktopProgramBesideItselfThroughTheDynamicLoader) {
    const LaunchFolder installed(true);
    const std::string loader = "/lib64/ld-linux-x86-64.so.2";
    if (!fs::exists(loader)) GTEST_SKIP() << "no " << loader;
    const test::ProcessResult result = RunProcess(loader, {installed.ravik, "some.qvr"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(test::ReadAll(installed.dir.file("started")), "some.qvr\n");
}

// Without /proc, a ravik named by its path or found on PATH still starts the
// desktop program beside it; one with none beside it says so and never runs
// the ravik-desktop of the current folder.
TEST(Launcher, WithoutProcUsesItsPathAndNeverTheCurrentFolder) {
    if (!CanHideProc()) GTEST_SKIP() << "hiding /proc needs root and mount namespaces";
    const LaunchFolder installed(true);
    const LaunchFolder lone(true, false);
    const LaunchFolder current(false);
    struct Case {
        const char* name;
        std::string command;
        std::vector<std::string> environment;
        bool installedStarts;
    };
    for (const Case& k : {Case{"by its path", "exec " + Quoted(installed.ravik), {}, true},
                          Case{"found on PATH", "exec ravik", {"PATH=" + installed.dir.path() + ":/usr/bin:/bin"}, true},
                          Case{"none beside it", "exec " + Quoted(lone.ravik), {}, false},
                          Case{"bare name, PATH of the current folder", "exec ravik",
                               {"PATH=.:" + lone.dir.path()}, false}}) {
        SCOPED_TRACE(k.name);
        const test::ProcessResult result = RunWithoutProc(current.dir.path(), k.command, k.environment);
        EXPECT_EQ(installed.desktopStarted(), k.installedStarts) << result.err;
        EXPECT_FALSE(current.desktopStarted());
        if (!k.installedStarts) {
            EXPECT_TRUE(test::EndedSaying(result, 1, "ravik-desktop"));
        }
        fs::remove(installed.dir.file("started"));
    }
}

#else
// Built without Qt: the desktop program and the subcommands drawn with Qt
// are not there, and ravik says so.
TEST(Launcher, HeadlessBuildSaysWhatItHasNot) {
    const test::ProcessResult bare = RunProcess(RAVIK_EXE, {});
    EXPECT_TRUE(test::EndedSaying(bare, 1, "no desktop program in this build"));
    const test::ProcessResult print = RunProcess(RAVIK_EXE, {"print", "in.qvr", "--pdf", "out.pdf"});
    EXPECT_EQ(print.exitCode, 2);
    EXPECT_EQ(print.err, "ravik print: needs the desktop build (this ravik was built without Qt)\n");
}
#endif

// A ravik set-group-id to a group its user is not in runs in the loader's
// secure mode: it runs the subcommand once, with no exec of itself.
TEST(Launcher, SetGroupIdRavikExecsOnce) {
    if (::geteuid() != 0) GTEST_SKIP() << "making a set-group-id copy for another user needs root";
    const LaunchFolder installed(true, false);
    ASSERT_EQ(::chown(installed.ravik.c_str(), static_cast<uid_t>(-1), 1), 0);  // group daemon
    ASSERT_EQ(::chmod(installed.ravik.c_str(), 02755), 0);
    ASSERT_TRUE(test::MakeSampleFile(installed.dir.file("in.qvr"), {"--paint", "3"}));
    fs::permissions(installed.dir.file("in.qvr"), fs::perms::others_read, fs::perm_options::add);
    const std::string trace = installed.dir.file("execs");
    const test::ProcessResult result =
        RunProcess("/usr/bin/strace", {"-f", "-e", "trace=execve", "-o", trace, "/usr/bin/setpriv", "--reuid=nobody",
                                       "--regid=nogroup", "--clear-groups", installed.ravik, "info",
                                       installed.dir.file("in.qvr")});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("Paint"), std::string::npos) << result.out;
    const std::string execs = test::ReadAll(trace);
    size_t ravikExecs = 0;
    for (size_t at = execs.find("execve(\"" + installed.ravik); at != std::string::npos;
         at = execs.find("execve(\"" + installed.ravik, at + 1)) {
        ++ravikExecs;
    }
    EXPECT_EQ(ravikExecs, 1u) << execs;
    EXPECT_EQ(execs.find("/proc/self/exe"), std::string::npos) << execs;
}

}  // namespace
}  // namespace ravik
