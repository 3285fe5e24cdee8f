#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "core/platform/file_chooser.h"
#include "core/platform/file_io.h"
#include "support/temp_dir.h"

namespace ravik {
namespace {

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

// A process id that no longer runs: a child that has exited and been reaped.
pid_t GonePid() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

// Writes "<prefix><name>" into each named file of folder as one commit.
FileStatus WriteStagedSet(const std::string& folder, std::initializer_list<const char*> names,
                          const std::string& prefix) {
    std::vector<StagedFile> files;
    for (const char* name : names) {
        files.emplace_back(folder + "/" + name);
        if (const FileStatus status = files.back().write(prefix + name); status != FileStatus::Ok) return status;
    }
    return CommitStagedFiles(files);
}

// Only regular files are read or replaced: a FIFO without a writer and a
// folder return at once instead of blocking, a file over the limit is
// refused, and nothing is written into system folders.
TEST(FileIo, ReadsAndReplacesOnlyRegularFiles) {
    test::TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0644), 0);
    test::WriteAll(dir.file("big"), std::string(101, 'x'));
    std::filesystem::create_directory(dir.file("folder"));
    std::string text;
    std::vector<uint8_t> bytes;
    EXPECT_EQ(ReadFileBytes(dir.file("fifo"), bytes, 100), FileStatus::NotRegularFile);
    EXPECT_EQ(ReadSmallTextFile(dir.file("fifo"), text), FileStatus::NotRegularFile);
    EXPECT_EQ(ReadSmallTextFile(dir.file("folder"), text), FileStatus::NotRegularFile);
    EXPECT_EQ(ReadSmallTextFile(dir.file("big"), text, 100), FileStatus::TooLarge);
    EXPECT_EQ(ReadSmallTextFile(dir.file("big"), text, 101), FileStatus::Ok);
    EXPECT_EQ(ReadProblemText(FileStatus::NotRegularFile, "p", "x"), "Not a Regular File\np");
    EXPECT_EQ(ReadProblemText(FileStatus::TooLarge, "p", "x"), "File Too Large\np");
    EXPECT_EQ(ReadProblemText(FileStatus::CannotOpen, "p", "x"), "x");

    EXPECT_EQ(WriteFileAtomically(dir.file("folder"), "x"), FileStatus::NotRegularFile);
    EXPECT_EQ(WriteFileAtomically("/dev/null", "x"), FileStatus::NotRegularFile);
    EXPECT_EQ(WriteFileAtomically("/dev/ravik-test.qvr", "x"), FileStatus::CannotCreate);
    EXPECT_FALSE(FileExists("/dev/ravik-test.qvr"));
    EXPECT_EQ(dir.names(), (std::set<std::string>{"big", "fifo", "folder"}));
}

// A replaced file keeps its mode, a new one gets the mode the umask leaves
// whatever the temporary file was created with; a save through a symbolic
// link writes the link's target; any name the file system takes is taken.
TEST(FileIo, ReplacedFilesKeepTheirModeAndLinks) {
    test::TempDir dir;
    test::WriteAll(dir.file("shared"), "old");
    ::chmod(dir.file("shared").c_str(), 0640);
    ASSERT_EQ(WriteFileAtomically(dir.file("shared"), "new"), FileStatus::Ok);
    EXPECT_EQ(ModeOf(dir.file("shared")), 0640u);
    const mode_t mask = ::umask(002);
    ASSERT_EQ(WriteFileAtomically(dir.file("fresh"), "new"), FileStatus::Ok);
    ::umask(mask);
    EXPECT_EQ(ModeOf(dir.file("fresh")), 0664u);
    ASSERT_EQ(::symlink("shared", dir.file("link").c_str()), 0);
    ASSERT_EQ(WriteFileAtomically(dir.file("link"), "through"), FileStatus::Ok);
    EXPECT_EQ(test::ReadAll(dir.file("shared")), "through");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link")));
    const std::string longest(255, 'n');
    EXPECT_EQ(WriteFileAtomically(dir.file(longest), "x"), FileStatus::Ok);
    EXPECT_EQ(dir.names(), (std::set<std::string>{"fresh", "link", "shared", longest}));
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
        EXPECT_EQ(files.back().append("new b"), FileStatus::Ok);
        EXPECT_EQ(files.back().append(std::string(2000, 'b')), FileStatus::WriteFailed);
        EXPECT_EQ(files.back().finish(), FileStatus::WriteFailed);
        EXPECT_EQ(CommitStagedFiles(files), FileStatus::WriteFailed);
    });
    EXPECT_EQ(test::ReadAll(dir.file("a")), "old a");
    EXPECT_EQ(test::ReadAll(dir.file("b")), "old b");
    EXPECT_EQ(dir.names(), (std::set<std::string>{"a", "b"}));

    // Every new file and the manifest are on the disk before the first rename.
    static int syncs = 0;
    static int syncsBeforeRename = -1;
    SetStagedFileHooks({[] { ++syncs; }, [](size_t i) { syncsBeforeRename = i == 0 ? syncs : syncsBeforeRename; }});
    ASSERT_EQ(WriteStagedSet(dir.path(), {"a", "b", "c"}, "new "), FileStatus::Ok);
    SetStagedFileHooks({});
    EXPECT_EQ(syncsBeforeRename, 4);
    EXPECT_EQ(test::ReadAll(dir.file("b")), "new b");
    EXPECT_EQ(dir.names(), (std::set<std::string>{"a", "b", "c"}));
}

// A set cut by a kill between its renames is finished by the next save into
// the folder, except for a target that changed since: that one stays as it
// is and its new version is dropped.
TEST(FileIo, KilledCommitsAreFinishedWhereStillSafe) {
    for (const bool changedSince : {false, true}) {
        test::TempDir dir;
        for (const char* name : {"e.hdr", "e.pnt", "e.spc", "e.sta"}) test::WriteAll(dir.file(name), "old");
        const pid_t child = ::fork();
        if (child == 0) {
            SetStagedFileHooks({nullptr, [](size_t i) {
                                    if (i == 2) ::raise(SIGKILL);
                                }});
            WriteStagedSet(dir.path(), {"e.hdr", "e.pnt", "e.spc", "e.sta"}, "new ");
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));
        ASSERT_EQ(test::ReadAll(dir.file("e.pnt")), "new e.pnt");
        ASSERT_EQ(test::ReadAll(dir.file("e.spc")), "old");
        if (changedSince) test::WriteAll(dir.file("e.spc"), "edited");
        ASSERT_EQ(WriteFileAtomically(dir.file("other"), "x"), FileStatus::Ok);
        EXPECT_EQ(test::ReadAll(dir.file("e.spc")), changedSince ? "edited" : "new e.spc");
        EXPECT_EQ(test::ReadAll(dir.file("e.sta")), "new e.sta");
        EXPECT_EQ(dir.names(), (std::set<std::string>{"e.hdr", "e.pnt", "e.spc", "e.sta", "other"}));
    }
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
    EXPECT_EQ(dir.names(), std::set<std::string>{"t.qvr"});

    // Only the writer's own names are removed, never a user's look-alike.
    const std::string gone = std::to_string(GonePid());
    const std::string stale = ".ravik-temp-" + gone + "-Ab12Cd34Ef56";
    const std::set<std::string> kept = {"t.qvr", ".ravik-temp-" + std::to_string(::getppid()) + "-Ab12Cd34Ef56",
                                        ".ravik-temp-" + gone + "-Ab12Cd34Ef5", ".ravik-temp-" + gone + "-Ab12Cd34Ef56x",
                                        "notes.txt.ravik-" + gone + "-backup", "thesis.ravik-" + gone + "-draft1",
                                        "t.qvr.ravik-" + gone + "-Ab12Cd"};
    for (const std::string& name : kept) test::WriteAll(dir.file(name), "left");
    test::WriteAll(dir.file(stale), "left");
    ASSERT_EQ(WriteFileAtomically(dir.file("t.qvr"), "new"), FileStatus::Ok);
    EXPECT_EQ(dir.names(), kept);
}

// A dialog as "Open|Save FILTER [TITLE] flags START #SELECTED".
std::string Described(int purpose, FileDialogState state, const std::string& start = "/data/jobs/site.qvr") {
    const std::optional<FileDialogSpec> d = DescribeFileDialog(purpose, start, state);
    if (!d) return "none";
    EXPECT_TRUE(d->pathMustExist) << purpose;
    EXPECT_EQ(d->defaultExtension, d->kind == FileDialogKind::Save ? "Lib" : "") << purpose;
    return std::string(d->kind == FileDialogKind::Save ? "Save " : "Open ") + d->filter + " [" + d->title + "] " +
           (d->fileMustExist ? "must-exist " : "") + (d->confirmOverwrite ? "confirm " : "") + d->startName + " #" +
           std::to_string(d->selectedFilter);
}

TEST(FileDialogs, EveryPurposeHasItsKindFilterTitleAndFlags) {
    const FileDialogState plain{false, 0, kDownloadDone};
    const FileDialogState fresh{false, 0, kDownloadNone};  // nothing opened yet: the second filter
    const std::string save = "Save ", open = "Open ";
    const std::tuple<int, FileDialogState, std::string> cases[] = {
        {111, plain, save + kReadingsFilter + " [Save QV File As] confirm site.qvr #0"},
        {111, {true, 0, kDownloadDone}, save + kLockedFilter + " [Save QV File As] confirm site.qvr #0"},
        {112, plain, open + kReadingsOrLockedFilter + " [Open QV File] must-exist  #0"},
        {112, fresh, open + kReadingsOrLockedFilter + " [Open QV File] must-exist  #0"},  // readings first
        {121, plain, save + kMultiExportFilter + " [] site.pnt #0"},
        {122, {false, 0, kDownloadDone}, save + kTabExportFilter + " [] site.tab #0"},
        {122, {false, 1, kDownloadNone}, save + kCommaExportFilter + " [] site.csv #1"},
        {122, {false, 2, kDownloadDone}, save + kTabExportFilter + " [] site.tab #0"},
        {122, {false, 3, kDownloadDone}, save + kCommaExportFilter + " [] site.csv #0"},
        {128, plain, save + kLibraryFilter + " [] confirm site.qvr.LIB #0"},
        {130, plain, open + kShapeFilter + " [] site.qvr #0"},
        {173, fresh, save + kLockedFilter + " [] confirm site.lck #0"},  // one filter only
        {1222, plain, open + kLibraryFilter + " [] site.qvr.LIB #0"},
    };
    for (const auto& [purpose, state, expected] : cases) EXPECT_EQ(Described(purpose, state), expected);
    EXPECT_EQ(Described(1222, plain, "/x/alloys.lib"), open + kLibraryFilter + " [] alloys.lib #0");
    EXPECT_EQ(Described(999, plain), "none");
    // Save As Locked offers the open file's name with the locked extension.
    EXPECT_EQ(Described(173, plain, "/x/no.dot/plain"), save + kLockedFilter + " [] confirm plain.lck #0");
    EXPECT_EQ(Described(173, plain, "/x/.survey"), save + kLockedFilter + " [] confirm .survey.lck #0");
    EXPECT_EQ(Described(173, plain, ""), save + kLockedFilter + " [] confirm  #0");
    // A file never saved starts from its site's name, made a file name.
    EXPECT_EQ(SiteStartName(" ../Dock \xB1 2\t. "), "_Dock \u00b1 2_");
}

TEST(FileDialogs, FilterStringsSplitAtTheirLastCharacter) {
    auto split = [](const std::string& filter) {
        std::vector<std::string> parts;
        for (const FileFilter& f : SplitFilterString(filter)) parts.push_back(f.description + " = " + f.pattern);
        return parts;
    };
    EXPECT_EQ(split(kReadingsOrLockedFilter), (std::vector<std::string>{"New XRF File(*.qvr) = *.qvr",
                                                                       "Locked File(*.lck) = *.lck", "All Files (*.*) = *.*"}));
    EXPECT_EQ(split("Text|pipe#*.txt#"), std::vector<std::string>{"Text|pipe = *.txt"});
    EXPECT_TRUE(split("").empty());
}

}  // namespace
}  // namespace ravik
