#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "core/shell/command_line.h"
#include "core/shell/reading_tally.h"
#include "core/shell/recent_files.h"
#include "core/shell/shell_rules.h"
#include "core/platform/data_dir.h"
#include "core/platform/file_io.h"
#include "support/scripted_prompter.h"
#include "support/temp_dir.h"

namespace ravik {
namespace {

TEST(Captions, StartupFileAndTableTitles) {
    EXPECT_EQ(StartupCaption(), "RAVIK 5.7d for Orvex QV-[File: <none>]");
    Program program;
    EXPECT_EQ(FileCaption(program), "RAVIK 5.7d for Orvex QV - [File: ] ");
    program.shell.currentFileName = "/home/ann/Mill Road.qvr";
    program.store.fileTitle = "Caf\xE9 survey";  // Windows-1252 text shown as such
    EXPECT_EQ(FileCaption(program), "RAVIK 5.7d for Orvex QV - [File: /home/ann/Mill Road.qvr] Caf\u00e9 survey");
    EXPECT_EQ(TableWindowTitle(Mode::Alloy, "Yard \xB1"), "Alloy - [Site: Yard \u00b1]");
    EXPECT_EQ(TableWindowTitle(Mode::Sign, ""), "Sign - [Site: ]");
}

TEST(CommandLine, OptionsOnceDeclaredAndWithValues) {
    constexpr DeclaredOption kSpecs[] = {{"--force", false}, {"-o", true}, {"--mode", true}};
    const auto parse = [&](std::vector<std::string> words) { return ParseOptions(words, kSpecs); };
    const auto parsed = parse({"a.qvr", "--mode=paint", "-o", "out", "b.qvr", "--force"});
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->operands(), (std::vector<std::string>{"a.qvr", "b.qvr"}));
    EXPECT_EQ(parsed->value("--mode"), "paint");
    EXPECT_EQ(parsed->value("-o"), "out");
    EXPECT_TRUE(parsed->has("--force"));
    EXPECT_EQ(parse({"a"})->value("-o", "none"), "none");
    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"--bogus"}, {"-"}, {"--"}, {"-o"}, {"-o", ""}, {"--mode="}, {"--force=1"},
             {"--force", "--force"}, {"-o", "a", "-o", "b"}}) {
        EXPECT_FALSE(parse(bad)) << bad.front();
    }
}

Program ProgramWithReadings() {
    Program program;
    program.store.slots.resize(4);
    program.store.readingCount = 3;
    program.store.list(Mode::Alloy) = {1, 2, 3};
    return program;
}

TEST(ShellRules, ReleaseRestoresTheReleasedTitles) {
    Program program = ProgramWithReadings();
    program.store.titles[Mode::Alloy][9] = Title("Heat");
    program.shell.unsavedChanges = true;
    ReleaseReadings(program);
    EXPECT_FALSE(program.store.hasReadings());
    EXPECT_EQ(program.store.readingCount, 0);
    EXPECT_FALSE(program.shell.unsavedChanges);
    EXPECT_EQ(program.store.titles[Mode::Alloy][9].view(), "F4");  // the released set, not the start-up one
}

TEST(ShellRules, HideThenUnhideActOnMarkedReadingsOnly) {
    Program program = ProgramWithReadings();
    program.store.flags(1) = Marked;
    program.store.flags(2) = Marked;
    program.shell.selection.selectedRow = 2;
    HideMarked(program);
    EXPECT_EQ(program.store.flags(1), uint32_t{Hidden});
    EXPECT_EQ(program.store.flags(2), uint32_t{Hidden});
    EXPECT_EQ(program.shell.selection.selectedRow, -1);
    EXPECT_TRUE(program.shell.unsavedChanges);
    program.store.flags(2) |= Marked;
    UnhideMarked(program);
    EXPECT_EQ(program.store.flags(1), uint32_t{Hidden});
    EXPECT_EQ(program.store.flags(2), 0u);
}

TEST(ShellRules, SiteGoesIntoTheHeaderOnlyAfterADownload) {
    Program program = ProgramWithReadings();
    const std::string longSite(70, 'x');
    ApplySite(program, "Pier 7");
    EXPECT_EQ(program.store.site, "Pier 7");
    EXPECT_EQ(SiteFromHeader(program.store), "");  // `download` is still 119
    EXPECT_TRUE(program.shell.unsavedChanges);

    program.settings.download = kDownloadDone;
    ApplySite(program, longSite);
    EXPECT_EQ(program.store.site, std::string(63, 'x'));
    EXPECT_EQ(SiteFromHeader(program.store), std::string(63, 'x'));
    ApplySite(program, "Dock");
    EXPECT_EQ(SiteFromHeader(program.store), "Dock");  // ends at its zero byte
}

TEST(ReadingTally, NamesTheModesWithReadingsAndCountsMarkedAndHidden) {
    ReadingStore store;
    EXPECT_EQ(ReadingTallyText(store), "No readings");
    store.slots.resize(5);
    store.readingCount = 4;
    store.list(Mode::Paint) = {1, 2};
    store.list(Mode::Sign) = {3, 4};
    store.flags(1) = Marked;
    store.flags(3) = Marked | Hidden;  // counted as marked and as hidden
    store.flags(4) = Hidden;
    EXPECT_EQ(ReadingTallyText(store), "Paint 2   Sign 2   Marked 2   Hidden 2");
}

// A missing list is empty without a word; one refused (too large, a FIFO)
// is told and read as empty.
TEST(RecentFiles, ReadingSkipsBlankLinesKeepsFourAndTellsARefusedList) {
    test::TempDir dir;
    test::ScriptedPrompter prompter;
    EXPECT_TRUE(ReadRecentFiles(dir.path(), prompter).empty());
    const std::string list = DataFilePath(dir.path(), kRecentFilesName);
    test::WriteAll(list, "/a.qvr\n\n/b c.qvr\n/c.lck\n/d.qvr\n/e.qvr");
    EXPECT_EQ(ReadRecentFiles(dir.path(), prompter), (RecentFiles{"/a.qvr", "/b c.qvr", "/c.lck", "/d.qvr"}));
    const std::string nested = dir.file("new/home");
    ASSERT_TRUE(WriteRecentFiles(nested, {"/x.qvr"}));
    EXPECT_EQ(ReadRecentFiles(nested, prompter), RecentFiles{"/x.qvr"});
    EXPECT_TRUE(prompter.boxes().empty());

    std::filesystem::resize_file(list, kSmallFileLimit + 1);
    EXPECT_TRUE(ReadRecentFiles(dir.path(), prompter).empty());
    std::filesystem::remove(list);
    ASSERT_EQ(::mkfifo(list.c_str(), 0644), 0);
    EXPECT_TRUE(ReadRecentFiles(dir.path(), prompter).empty());
    EXPECT_EQ(prompter.shown(), (std::vector<std::string>{"READ ERROR: File Too Large\n" + list,
                                                          "READ ERROR: Not a Regular File\n" + list}));
}

}  // namespace
}  // namespace ravik
