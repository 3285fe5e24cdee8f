#include <gtest/gtest.h>

#include <filesystem>

#include "core/platform/file_io.h"
#include "process.h"
#include "core/readings/readings_loader.h"
#include "core/settings/settings_file.h"
#include "support/export_blocks.h"
#include "support/scripted_prompter.h"
#include "support/temp_dir.h"

namespace ravik {
namespace {

using std::filesystem::exists;
using test::ReadAll;
using test::RunProcess;

constexpr ReadingSelection kAllClasses =
    SelectAll | SelectPositive | SelectNegative | SelectIncomplete | SelectSubResults;

// A sample file of every mode, and a settings directory whose settings
// differ from the defaults where an export looks.
struct ExportCase {
    test::TempDir dir;
    std::string input = dir.file("survey.qvr");
    std::string settingsDir = dir.file("settings");
    Settings settings;
    ReadingStore store;
    Settings expectedSettings;

    ExportCase() {
        EXPECT_TRUE(test::MakeSampleFile(input, {"--paint", "6", "--bulk", "5", "--thin", "4", "--alloy", "3",
                                                 "--sign", "2", "--seed", "17"}));
        settings.reportHeader = "Orvex Survey Co.\r\nInspector: A. Nader, Lic. 4471\r\n";
        settings.pcs = kPcsUser;
        settings.neg = 0.7f;
        settings.enabledColumns[1] = 0x7FFF;
        settings.enabledColumns[2] = 0x0F;
        test::ScriptedPrompter prompter;
        EXPECT_TRUE(WriteSettings(settingsDir, settings, prompter));
        EXPECT_EQ(LoadReadingsFile(store, input, kOpenCommand, prompter), LoadOutcome::Whole);
    }
    test::ProcessResult run(std::vector<std::string> options, const std::string& from = "") const {
        options.insert(options.begin(), {"export", input, "--settings-dir", from.empty() ? settingsDir : from});
        return RunProcess(RAVIK_EXE, options);
    }
    // What the writers give for the same file, form and selection.
    ExportSource source(int form, ReadingSelection selection) {
        expectedSettings = settings;
        expectedSettings.exportForm = form;
        expectedSettings.download = kDownloadDone;
        return {store, expectedSettings, selection};
    }
};

// The options reach the export: mode, blocks, classes, final results and form,
// the form from the settings without --form; the files written are listed.
TEST(ExportCommand, OptionsChooseWhatIsWrittenAndTheFilesAreListed) {
    ExportCase c;
    test::ProcessResult result = c.run({"--mode", "bulk", "--table", "--spectra", "--status", "--form", "1", "-o",
                                        c.dir.file("report.txt")});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, c.dir.file("report.csv") + "\n");
    const ExportSource single = c.source(1, kAllClasses);
    EXPECT_EQ(ReadAll(c.dir.file("report.csv")), test::TableBlocks(single, Mode::Bulk) +
                                                     test::SpectraBlock(single, Mode::Bulk) + test::StatusBlock(single));
    EXPECT_FALSE(exists(c.dir.file("report.txt")));

    const std::string base = c.dir.file("multi");
    result = c.run({"--mode", "paint", "--table", "--spectra", "--status", "--classes", "pos,inc", "--form", "3", "-o",
                    base + ".pnt"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, base + ".hdr\n" + base + ".pnt\n" + base + ".spc\n" + base + ".sta\n");
    EXPECT_EQ(ReadAll(base + ".pnt"),
              test::RowsBlock(c.source(3, SelectAll | SelectPositive | SelectIncomplete | SelectSubResults), Mode::Paint));

    result = c.run({"--mode", "thin", "--table", "--final-results", "--classes", "neg", "--form", "0", "-o",
                    c.dir.file("thin")});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(ReadAll(c.dir.file("thin.tab")), test::TableBlocks(c.source(0, SelectAll | SelectNegative), Mode::Thin));

    // A name that starts with a dot is all base name.
    const std::string hidden = c.dir.file(".hidden-e");
    result = c.run({"--mode", "paint", "--table", "--spectra", "--form", "2", "-o", hidden});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, hidden + ".hdr\n" + hidden + ".pnt\n" + hidden + ".spc\n");

    c.settings.exportForm = 1;
    test::ScriptedPrompter prompter;
    ASSERT_TRUE(WriteSettings(c.settingsDir, c.settings, prompter));
    result = c.run({"--mode", "alloy", "--table", "-o", c.dir.file("alloy")});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(ReadAll(c.dir.file("alloy.csv")), test::TableBlocks(c.source(1, kAllClasses), Mode::Alloy));
}

// Refused exports write nothing; existing files are replaced only with --force.
TEST(ExportCommand, RefusesWhatTheDialogWouldRefuse) {
    ExportCase c;
    const std::string base = c.dir.file("multi");
    test::WriteAll(base + ".spc", "old spectra");
    std::vector<std::string> options = {"--mode", "bulk", "--table", "--spectra", "--form", "2", "-o", base + ".pnt"};
    test::ProcessResult result = c.run(options);
    EXPECT_NE(result.exitCode, 0);  // the replace question is answered No
    EXPECT_EQ(ReadAll(base + ".spc"), "old spectra");
    EXPECT_FALSE(exists(base + ".hdr"));
    options.push_back("--force");
    result = c.run(options);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(ReadAll(base + ".spc"), test::SpectraBlock(c.source(2, kAllClasses), Mode::Bulk));

    const std::string out = c.dir.file("x");
    EXPECT_TRUE(test::EndedSaying(c.run({"--mode", "bulk", "-o", out}), 2,
                                  "NOTICE: Must Select Paint, Bulk, Alloy or Thin / and Table, L-Spect, K-Spect or Status"));
    for (const std::vector<std::string>& wrong : std::vector<std::vector<std::string>>{
             {"--table", "-o", out},                                     // no mode
             {"--mode", "lead", "--table", "-o", out},                   // unknown mode
             {"--mode", "bulk", "--table", "--form", "4", "-o", out},    // unknown form
             {"--mode", "bulk", "--table", "--classes", "pos,all", "-o", out},
             {"--mode", "bulk", "--status", "--sheet", out + ".csv"},    // a kind no sheet holds
             {"--mode", "bulk", "--sheet", out + ".txt"},                // no sheet extension
             {"--mode", "bulk", "--table"}}) {                           // no -o
        EXPECT_EQ(c.run(wrong).exitCode, 2) << wrong[0];
    }
    // A spreadsheet file under the same rules: never over a file without --force
    // or over the input (through a link), nothing left by a failed write.
    test::WriteAll(out + ".xlsx", "old");
    std::filesystem::create_symlink(c.input, c.dir.file("link.csv"));
    for (const std::string& refused : {out + ".xlsx", c.dir.file("link.csv"), c.dir.file("none/x.csv")}) {
        EXPECT_EQ(c.run({"--mode", "bulk", "--sheet", refused, refused == out + ".xlsx" ? "--table" : "--force"}).exitCode, 1);
    }
    EXPECT_EQ(ReadAll(out + ".xlsx"), "old");
    EXPECT_EQ(c.run({"--mode", "bulk", "--force", "--sheet", out + ".xlsx"}).exitCode, 0);
    EXPECT_EQ(ReadAll(out + ".xlsx").substr(0, 2), "PK");
    result = RunProcess(RAVIK_EXE, {"export", c.dir.file("missing.qvr"), "--mode", "bulk", "--table", "--settings-dir",
                                    c.settingsDir, "-o", out});
    EXPECT_TRUE(test::EndedSaying(result, 1, "READ ERROR"));
    EXPECT_FALSE(exists(out + ".tab"));
}

TEST(ExportCommand, SettingsDirectoryWithoutOrWithADamagedSettingsFile) {
    ExportCase c;
    // Without a settings file the defaults hold, and no file is made.
    const std::string empty = c.dir.file("empty");
    test::ProcessResult result = c.run({"--mode", "bulk", "--table", "-o", c.dir.file("plain")}, empty);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    c.settings = Settings{};
    EXPECT_EQ(ReadAll(c.dir.file("plain.tab")), test::TableBlocks(c.source(0, kAllClasses), Mode::Bulk));
    EXPECT_FALSE(exists(empty));

    // A damaged settings file stops the export with its message.
    test::WriteAll(c.settingsDir + "/ravik56.ini", "xSpect:2\n");
    EXPECT_TRUE(test::EndedSaying(c.run({"--mode", "bulk", "--table", "-o", c.dir.file("bad")}), 1,
                                  "Ravik.ini Error: Error in Ravik.ini File / Contact Technical Support"));
    EXPECT_FALSE(exists(c.dir.file("bad.tab")));
}

#ifdef RAVIK_HAS_DESKTOP
// Refused prints write nothing; the jobs asked go into one PDF in their
// order, the file title on the table page.
TEST(PrintCommand, RefusalsWriteNothingAndOnePdfHoldsTheJobsInTheirOrder) {
    test::TempDir dir;
    const std::string input = dir.file("survey.qvr"), pdf = dir.file("report.pdf");
    ASSERT_TRUE(test::MakeSampleFile(input, {"--paint", "6", "--bulk", "9", "--alloy", "3", "--seed", "5"}));
    const auto run = [&](std::vector<std::string> options) {
        options.insert(options.begin(), {"print", input, "--settings-dir", dir.file("settings")});
        return RunProcess(RAVIK_EXE, options);
    };
    struct Case {
        const char* name;
        std::vector<std::string> options;
        int exitCode;
    };
    const std::string unwritable = dir.file("missing/report.pdf");
    for (const Case& k : {Case{"no readings of the mode", {"--mode", "thin", "--table", "--pdf", pdf}, 1},
                          Case{"nothing asked", {"--mode", "bulk", "--pdf", pdf}, 2},
                          Case{"no output", {"--mode", "bulk", "--table"}, 2},
                          Case{"unwritable output", {"--mode", "bulk", "--table", "--pdf", unwritable}, 1}}) {
        SCOPED_TRACE(k.name);
        const test::ProcessResult result = run(k.options);
        EXPECT_EQ(result.exitCode, k.exitCode);
        EXPECT_FALSE(result.err.empty());
        EXPECT_FALSE(exists(pdf));
        EXPECT_FALSE(exists(unwritable + ".part"));
    }
    const test::ProcessResult unreadable =
        RunProcess(RAVIK_EXE, {"print", dir.file("none.qvr"), "--mode", "paint", "--table", "--pdf", pdf});
    EXPECT_EQ(unreadable.exitCode, 1);
    EXPECT_FALSE(exists(pdf));

    const test::ProcessResult result = run({"--mode", "paint", "--high", "--low", "--table", "--status", "--pdf", pdf});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::string text = RunProcess("/usr/bin/pdftotext", {"-layout", pdf, "-"}).out;
    const size_t status = text.find("Status Page 1");
    const size_t table = text.find("Paint Page 1");
    const size_t low = text.find("Low Energy Spectrum");
    const size_t high = text.find("High Energy Spectrum");
    ASSERT_NE(high, std::string::npos) << text;
    EXPECT_LT(table, low);
    EXPECT_LT(low, high);
    EXPECT_LT(high, status);
    EXPECT_NE(text.find("Lead survey"), std::string::npos);
}
#endif

}  // namespace
}  // namespace ravik
