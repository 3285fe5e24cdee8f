#include <gtest/gtest.h>

#include <filesystem>

#include "library/library_source.h"
#include "process.h"
#include "support/temp_dir.h"

namespace ravik {
namespace {

using test::RunProcess;

AlloyRecord Alloy(const std::string& name, int slot, LimitPair pair) {
    AlloyRecord alloy;
    alloy.name = name;
    alloy.limits[static_cast<size_t>(slot)] = pair;
    return alloy;
}

TEST(LibraryCommand, ListsTheGroupsNamesConflictsAndWritesTheSourceText) {
    test::TempDir dir;
    AlloyLibrary library;
    // A brass under BEGIN_CU and an iron alloy misfiled under BEGIN_CU too.
    library.alloys = {Alloy("C36000", 7, {6000, 6300}), Alloy("A36", 4, {9800, 9900})};
    library.searchIndex = {0, 0, 0, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2};
    test::WriteAll(dir.file("in.lib"), LibrarySourceText(library));

    const test::ProcessResult shown = RunProcess(RAVIK_EXE, {"library", dir.file("in.lib"), "-o", dir.file("out.lib")});
    ASSERT_EQ(shown.exitCode, 0) << shown.err;
    for (const char* part : {"BEGIN_FE (0)\nBEGIN_NI_CO (0)\nBEGIN_CU (2)\n     C36000\n     A36\nBEGIN_CO (0)\n",
                             "Alloys: 2\n", "Group conflicts:\n     A36: group is BEGIN_CU, should be BEGIN_FE\n"}) {
        EXPECT_NE(shown.out.find(part), std::string::npos) << shown.out;
    }
    EXPECT_EQ(test::ReadAll(dir.file("out.lib")), LibrarySourceText(library));
}

TEST(LibraryCommand, TellsWhatItCorrectedAndRefusesBadArguments) {
    test::TempDir dir;
    test::WriteAll(dir.file("bare.lib"), "assayLibrary\n{\"X\" , 1, 2, 0},\n\n");
    const test::ProcessResult corrected = RunProcess(RAVIK_EXE, {"library", dir.file("bare.lib")});
    EXPECT_EQ(corrected.exitCode, 1);
    EXPECT_NE(corrected.out.find("BEGIN_FE (1)\n     X\n"), std::string::npos) << corrected.out;
    EXPECT_NE(corrected.err.find("No searchIndex was read"), std::string::npos) << corrected.err;

    EXPECT_EQ(RunProcess(RAVIK_EXE, {"library"}).exitCode, 2);
    EXPECT_EQ(RunProcess(RAVIK_EXE, {"library", "a.lib", "b.lib"}).exitCode, 2);
    const test::ProcessResult missing = RunProcess(RAVIK_EXE, {"library", dir.file("none.lib")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("READ ERROR"), std::string::npos);
}

// -o writes a library that read whole to a new file; an existing file or a
// library that did not read whole only with --force, its own input never.
TEST(LibraryCommand, WritesOnlyWholeLibrariesToNewFilesOrWithForce) {
    test::TempDir dir;
    AlloyLibrary library;
    library.alloys = {Alloy("A36", 4, {9800, 9900})};
    library.searchIndex = {0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    const std::string text = LibrarySourceText(library);
    test::WriteAll(dir.file("in.lib"), text);
    test::WriteAll(dir.file("old.lib"), "old");
    test::WriteAll(dir.file("bare.lib"), "assayLibrary\n{\"X\" , 1, 2, 0},\n\n");
    const auto run = [&](std::vector<std::string> args) { return RunProcess(RAVIK_EXE, args); };

    test::ProcessResult written = run({"library", dir.file("in.lib"), "-o", dir.file("in.lib"), "--force"});
    EXPECT_EQ(written.exitCode, 1);
    EXPECT_NE(written.err.find("Cannot Write Over the Input File"), std::string::npos) << written.err;
    EXPECT_EQ(run({"library", dir.file("in.lib"), "-o", dir.file("old.lib")}).exitCode, 1);
    EXPECT_EQ(test::ReadAll(dir.file("old.lib")), "old");
    EXPECT_EQ(run({"library", dir.file("in.lib"), "-o", dir.file("old.lib"), "--force"}).exitCode, 0);
    EXPECT_EQ(test::ReadAll(dir.file("old.lib")), text);

    EXPECT_EQ(run({"library", dir.file("bare.lib"), "-o", dir.file("bare-out.lib")}).exitCode, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("bare-out.lib")));
    EXPECT_EQ(run({"library", dir.file("bare.lib"), "-o", dir.file("bare-out.lib"), "--force"}).exitCode, 1);
    EXPECT_TRUE(std::filesystem::exists(dir.file("bare-out.lib")));

    // Into a folder that does not exist: no previous file to speak of.
    written = run({"library", dir.file("in.lib"), "-o", dir.file("none/x.lib")});
    EXPECT_EQ(written.exitCode, 1);
    EXPECT_NE(written.err.find("Cannot Save Library File / " + dir.file("none/x.lib") + "\n"), std::string::npos)
        << written.err;
}

}  // namespace
}  // namespace ravik
