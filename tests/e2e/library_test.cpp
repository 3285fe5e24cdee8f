#include <gtest/gtest.h>

#include <filesystem>

#include "library/library_source.h"
#include "process.h"
#include "support/temp_dir.h"
#include "unit/library/library_builder.h"

namespace ravik {
namespace {

using test::Alloy;
using test::RunProcess;

// Input that reads only after a correction: no searchIndex at all.
const std::string kBareLibrary = "assayLibrary\n{\"X\" , 1, 2, 0},\n\n";

TEST(LibraryCommand, ListsTheGroupsNamesConflictsAndWritesTheSourceText) {
    test::TempDir dir;
    // A brass under BEGIN_CU and an iron alloy misfiled under BEGIN_CU too.
    const AlloyLibrary library =
        test::Library({{2, {Alloy("C36000", {{7, {6000, 6300}}}), Alloy("A36", {{4, {9800, 9900}}})}}});
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
    test::WriteAll(dir.file("bare.lib"), kBareLibrary);
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
    const std::string text = LibrarySourceText(test::Library({{0, {Alloy("A36", {{4, {9800, 9900}}})}}}));
    test::WriteAll(dir.file("in.lib"), text);
    test::WriteAll(dir.file("old.lib"), "old");
    test::WriteAll(dir.file("bare.lib"), kBareLibrary);
    const auto run = [&](const std::string& in, const std::string& out, bool force = false) {
        std::vector<std::string> args{"library", dir.file(in), "-o", dir.file(out)};
        if (force) args.push_back("--force");
        return RunProcess(RAVIK_EXE, args);
    };

    test::ProcessResult written = run("in.lib", "in.lib", true);
    EXPECT_EQ(written.exitCode, 1);
    EXPECT_NE(written.err.find("Cannot Write Over the Input File"), std::string::npos) << written.err;
    EXPECT_EQ(run("in.lib", "old.lib").exitCode, 1);
    EXPECT_EQ(test::ReadAll(dir.file("old.lib")), "old");
    EXPECT_EQ(run("in.lib", "old.lib", true).exitCode, 0);
    EXPECT_EQ(test::ReadAll(dir.file("old.lib")), text);

    EXPECT_EQ(run("bare.lib", "bare-out.lib").exitCode, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("bare-out.lib")));
    EXPECT_EQ(run("bare.lib", "bare-out.lib", true).exitCode, 1);
    EXPECT_TRUE(std::filesystem::exists(dir.file("bare-out.lib")));

    // Into a folder that does not exist: no previous file to speak of.
    written = run("in.lib", "none/x.lib");
    EXPECT_EQ(written.exitCode, 1);
    EXPECT_NE(written.err.find("Cannot Save Library File / " + dir.file("none/x.lib") + "\n"), std::string::npos)
        << written.err;
}

}  // namespace
}  // namespace ravik
