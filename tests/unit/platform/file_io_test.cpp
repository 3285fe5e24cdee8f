#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <set>

#include "platform/file_io.h"
#include "support/temp_dir.h"

namespace ravik {
namespace {

std::set<std::string> Names(const test::TempDir& dir) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

// A process id that no longer runs: a child that has exited and been reaped.
pid_t GonePid() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    int status = 0;
    ::waitpid(child, &status, 0);
    return child;
}

// Only regular files are read; a FIFO without a writer and a folder return at
// once instead of blocking, and a file over the limit is refused.
TEST(FileIo, ReadsOnlyRegularFilesWithinTheLimit) {
    test::TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0644), 0);
    test::WriteAll(dir.file("big"), std::string(101, 'x'));
    std::string text;
    std::vector<uint8_t> bytes;
    EXPECT_EQ(ReadFileBytes(dir.file("fifo"), bytes, 100), FileStatus::NotRegularFile);
    EXPECT_EQ(ReadSmallTextFile(dir.file("fifo"), text), FileStatus::NotRegularFile);
    EXPECT_EQ(ReadSmallTextFile(dir.path(), text), FileStatus::NotRegularFile);
    EXPECT_EQ(ReadSmallTextFile(dir.file("big"), text, 100), FileStatus::TooLarge);
    EXPECT_EQ(ReadSmallTextFile(dir.file("big"), text, 101), FileStatus::Ok);
    EXPECT_EQ(ReadProblemText(FileStatus::NotRegularFile, "p", "x"), "Not a Regular File\np");
    EXPECT_EQ(ReadProblemText(FileStatus::TooLarge, "p", "x"), "File Too Large\np");
    EXPECT_EQ(ReadProblemText(FileStatus::CannotOpen, "p", "x"), "x");
}

// A replaced file keeps its mode, a new one gets the usual mode whatever
// the temporary file was created with.
TEST(FileIo, ReplacedFilesKeepTheirModeNewFilesGetTheUsualOne) {
    test::TempDir dir;
    test::WriteAll(dir.file("shared"), "old");
    ::chmod(dir.file("shared").c_str(), 0664);
    ASSERT_EQ(WriteFileAtomically(dir.file("shared"), "new"), FileStatus::Ok);
    EXPECT_EQ(ModeOf(dir.file("shared")), 0664u);
    const mode_t mask = ::umask(022);
    ASSERT_EQ(WriteFileAtomically(dir.file("fresh"), "new"), FileStatus::Ok);
    ::umask(mask);
    EXPECT_EQ(ModeOf(dir.file("fresh")), 0644u);
    EXPECT_EQ(test::ReadAll(dir.file("shared")), "new");
}

// Folders and devices are never replaced; nothing is written into system folders.
TEST(FileIo, RefusesFoldersDevicesAndSystemFolders) {
    test::TempDir dir;
    std::filesystem::create_directory(dir.file("folder"));
    EXPECT_EQ(WriteFileAtomically(dir.file("folder"), "x"), FileStatus::NotRegularFile);
    EXPECT_EQ(WriteFileAtomically("/dev/null", "x"), FileStatus::NotRegularFile);
    EXPECT_EQ(WriteFileAtomically("/dev/ravik-test.qvr", "x"), FileStatus::CannotCreate);
    EXPECT_FALSE(FileExists("/dev/ravik-test.qvr"));
    EXPECT_EQ(Names(dir), std::set<std::string>{"folder"});
}

// A set of files is put in place only when every one was written: a write
// failing part way (the file size limit standing in for a full disk) leaves
// the previous files as they were and no new file or temporary.
TEST(FileIo, StagedFilesReplaceAllOrNothing) {
    test::TempDir dir;
    test::WriteAll(dir.file("a"), "old a");
    test::WriteAll(dir.file("b"), "old b");
    test::WithFileSizeLimit(1000, [&] {
        std::vector<StagedFile> files;
        files.emplace_back(dir.file("a"));
        EXPECT_EQ(files.back().write("new a"), FileStatus::Ok);
        files.emplace_back(dir.file("b"));
        EXPECT_EQ(files.back().write(std::string(2000, 'b')), FileStatus::WriteFailed);
    });
    EXPECT_EQ(test::ReadAll(dir.file("a")), "old a");
    EXPECT_EQ(test::ReadAll(dir.file("b")), "old b");
    EXPECT_EQ(Names(dir), (std::set<std::string>{"a", "b"}));

    std::vector<StagedFile> files;
    for (const char* name : {"a", "b", "c"}) {
        files.emplace_back(dir.file(name));
        ASSERT_EQ(files.back().write(std::string("new ") + name), FileStatus::Ok);
    }
    ASSERT_EQ(CommitStagedFiles(files), FileStatus::Ok);
    EXPECT_EQ(test::ReadAll(dir.file("b")), "new b");
    EXPECT_EQ(Names(dir), (std::set<std::string>{"a", "b", "c"}));
}

// A process killed while its new file is written leaves no temporary file;
// named temporaries of processes that are gone are removed at the next save
// into the folder, those of running processes are left alone.
TEST(FileIo, KilledWritesLeaveNoTemporaries) {
    test::TempDir dir;
    test::WriteAll(dir.file("t.qvr"), "old");
    const pid_t child = ::fork();
    if (child == 0) {
        StagedFile file(dir.file("t.qvr"));
        file.write(std::string(1 << 20, 'x'));
        ::raise(SIGKILL);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(Names(dir), std::set<std::string>{"t.qvr"});

    const std::string stale = "t.qvr.ravik-" + std::to_string(GonePid()) + "-Ab12Cd";
    const std::string live = "t.qvr.ravik-" + std::to_string(::getppid()) + "-Ab12Cd";
    const std::string other = "t.qvr.ravik-notapid-Ab12Cd";
    for (const std::string& name : {stale, live, other}) test::WriteAll(dir.file(name), "left");
    ASSERT_EQ(WriteFileAtomically(dir.file("t.qvr"), "new"), FileStatus::Ok);
    EXPECT_EQ(Names(dir), (std::set<std::string>{"t.qvr", live, other}));
}

}  // namespace
}  // namespace ravik
