#include <gtest/gtest.h>

#include <filesystem>

#include "output/export_writers.h"
#include "platform/file_io.h"
#include "platform/prompter.h"
#include "process.h"
#include "readings/readings_loader.h"
#include "settings/settings_file.h"
#include "support/scripted_prompter.h"
#include "support/temp_dir.h"

namespace ravik {
namespace {

using test::ReadAll;
using test::RunProcess;
using test::TempDir;

// A sample file of every mode, and a settings directory whose settings
// differ from the defaults where an export looks.
struct ExportCase {
    TempDir dir;
    std::string input = dir.file("survey.qvr");
    std::string settingsDir = dir.file("settings");
    Settings settings;

    ExportCase() {
        const test::ProcessResult made =
            RunProcess(MAKE_SAMPLE_EXE, {"file", input, "--paint", "6", "--bulk", "5", "--thin", "4", "--alloy",
                                         "3", "--sign", "2", "--seed", "17"});
        EXPECT_EQ(made.exitCode, 0) << made.err;
        settings.reportHeader = "Orvex Survey Co.\r\nInspector: A. Nader, Lic. 4471\r\n";
        settings.pcs = kPcsUser;
        settings.neg = 0.7f;
        settings.enabledColumns[1] = 0x7FFF;
        settings.enabledColumns[2] = 0x0F;
        test::ScriptedPrompter prompter;
        EXPECT_TRUE(WriteSettings(settingsDir, settings, prompter));
    }

    test::ProcessResult run(std::vector<std::string> options) const {
        std::vector<std::string> args = {"export", input, "--settings-dir", settingsDir};
        args.insert(args.end(), options.begin(), options.end());
        return RunProcess(RAVIK_EXE, args);
    }

    // What the export writers give for the same file and choices.
    struct Expected {
        ReadingStore store;
        Settings settings;
        ReadingSelection selection;
        ExportSource source() const { return {store, settings, selection}; }
        std::string header(int modes) const {
            std::string out;
            ExportTableHeader(out, source(), modes);
            return out;
        }
        std::string rows(Mode mode) const {
            std::string out;
            ExportTableRows(out, source(), mode);
            return out;
        }
        std::string spectra(Mode mode) const {
            std::string out;
            ExportSpectra(out, source(), mode);
            return out;
        }
        std::string status() const {
            std::string out;
            ExportStatus(out, source());
            return out;
        }
    };
    Expected expected(int form, ReadingSelection selection) const {
        Expected result{ReadingStore{}, settings, selection};
        test::ScriptedPrompter prompter;
        EXPECT_EQ(LoadReadingsFile(result.store, input, kOpenCommand, prompter), LoadOutcome::Whole);
        result.settings.exportForm = form;
        result.settings.download = kDownloadDone;
        return result;
    }
};

constexpr ReadingSelection kAllClasses =
    SelectAll | SelectPositive | SelectNegative | SelectIncomplete | SelectSubResults;

TEST(ExportCommand, SingleFileForms) {
    ExportCase c;
    for (int form : {0, 1}) {
        const test::ProcessResult result = c.run({"--mode", "bulk", "--table", "--spectra", "--status", "--form",
                                                  std::to_string(form), "-o", c.dir.file("report.txt")});
        ASSERT_EQ(result.exitCode, 0) << result.err;
        const std::string written = c.dir.file(form == 0 ? "report.tab" : "report.csv");
        EXPECT_EQ(result.out, written + "\n");
        const auto e = c.expected(form, kAllClasses);
        EXPECT_EQ(ReadAll(written),
                  e.header(Index(Mode::Bulk)) + e.rows(Mode::Bulk) + e.spectra(Mode::Bulk) + e.status())
            << form;
    }
    EXPECT_FALSE(std::filesystem::exists(c.dir.file("report.txt")));
}

TEST(ExportCommand, MultiFileForms) {
    ExportCase c;
    for (int form : {2, 3}) {
        const std::string base = c.dir.file("form" + std::to_string(form));
        const test::ProcessResult result = c.run({"--mode", "paint", "--table", "--spectra", "--status",
                                                  "--classes", "pos,inc", "--form", std::to_string(form), "-o",
                                                  base + ".pnt"});
        ASSERT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.out, base + ".hdr\n" + base + ".pnt\n" + base + ".spc\n" + base + ".sta\n");
        const auto e = c.expected(form, SelectAll | SelectPositive | SelectIncomplete | SelectSubResults);
        EXPECT_EQ(ReadAll(base + ".hdr"), e.header(kAllHeaderModes)) << form;
        EXPECT_EQ(ReadAll(base + ".pnt"), e.rows(Mode::Paint)) << form;
        EXPECT_EQ(ReadAll(base + ".spc"), e.spectra(Mode::Paint)) << form;
        EXPECT_EQ(ReadAll(base + ".sta"), e.status()) << form;
    }
}

TEST(ExportCommand, ThinFinalResultsAndSignRows) {
    ExportCase c;
    test::ProcessResult result =
        c.run({"--mode", "thin", "--table", "--final-results", "--classes", "neg", "--form", "0", "-o",
               c.dir.file("thin")});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    auto e = c.expected(0, SelectAll | SelectNegative);
    EXPECT_EQ(ReadAll(c.dir.file("thin.tab")), e.header(Index(Mode::Thin)) + e.rows(Mode::Thin));

    result = c.run({"--mode", "sign", "--table", "--form", "2", "-o", c.dir.file("sign.pnt")});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    e = c.expected(2, kAllClasses);
    EXPECT_EQ(ReadAll(c.dir.file("sign.thn")), e.rows(Mode::Sign));
    EXPECT_FALSE(std::filesystem::exists(c.dir.file("sign.pnt")));
}

TEST(ExportCommand, FormComesFromTheSettingsUnlessGiven) {
    ExportCase c;
    c.settings.exportForm = 1;
    test::ScriptedPrompter prompter;
    ASSERT_TRUE(WriteSettings(c.settingsDir, c.settings, prompter));
    const test::ProcessResult result = c.run({"--mode", "alloy", "--table", "-o", c.dir.file("alloy")});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto e = c.expected(1, kAllClasses);
    EXPECT_EQ(ReadAll(c.dir.file("alloy.csv")), e.header(Index(Mode::Alloy)) + e.rows(Mode::Alloy));
}

TEST(ExportCommand, ExistingFilesAreReplacedOnlyWithForce) {
    ExportCase c;
    const std::string base = c.dir.file("multi");
    test::WriteAll(base + ".spc", "old spectra");
    const std::vector<std::string> options = {"--mode", "bulk", "--table", "--spectra", "--form", "2", "-o",
                                              base + ".pnt"};
    test::ProcessResult result = c.run(options);
    EXPECT_NE(result.exitCode, 0);
    EXPECT_NE(result.err.find("Save As: " + base + ".spc / This file already exists. /  / Replace existing file?"),
              std::string::npos)
        << result.err;
    EXPECT_EQ(ReadAll(base + ".spc"), "old spectra");
    EXPECT_FALSE(std::filesystem::exists(base + ".hdr"));
    EXPECT_FALSE(std::filesystem::exists(base + ".blk"));

    std::vector<std::string> forced = options;
    forced.push_back("--force");
    result = c.run(forced);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(ReadAll(base + ".spc"), c.expected(2, kAllClasses).spectra(Mode::Bulk));

    // A single file named with its own extension is refused the same way.
    test::WriteAll(c.dir.file("one.tab"), "old table");
    result = c.run({"--mode", "bulk", "--table", "--form", "0", "-o", c.dir.file("one.tab")});
    EXPECT_NE(result.exitCode, 0);
    EXPECT_NE(result.err.find("Replace existing file?"), std::string::npos);
    EXPECT_EQ(ReadAll(c.dir.file("one.tab")), "old table");
}

TEST(ExportCommand, RefusesWhatTheDialogWouldRefuse) {
    ExportCase c;
    test::ProcessResult result = c.run({"--mode", "bulk", "-o", c.dir.file("x")});
    EXPECT_NE(result.exitCode, 0);
    EXPECT_NE(result.err.find("NOTICE: Must Select Paint, Bulk, Alloy or Thin / and Table, L-Spect, K-Spect or Status"),
              std::string::npos)
        << result.err;

    EXPECT_EQ(c.run({"--table", "-o", c.dir.file("x")}).exitCode, 2);                      // no mode
    EXPECT_EQ(c.run({"--mode", "lead", "--table", "-o", c.dir.file("x")}).exitCode, 2);    // unknown mode
    EXPECT_EQ(c.run({"--mode", "bulk", "--table", "--form", "4", "-o", "x"}).exitCode, 2);  // unknown form
    EXPECT_EQ(c.run({"--mode", "bulk", "--table", "--classes", "pos,all", "-o", "x"}).exitCode, 2);
    EXPECT_EQ(c.run({"--mode", "bulk", "--table"}).exitCode, 2);  // no -o

    const std::string bulkOnly = c.dir.file("bulk.qvr");
    ASSERT_EQ(RunProcess(MAKE_SAMPLE_EXE, {"file", bulkOnly, "--bulk", "2"}).exitCode, 0);
    result = RunProcess(RAVIK_EXE, {"export", bulkOnly, "--mode", "alloy", "--table", "--settings-dir",
                                    c.settingsDir, "-o", c.dir.file("none")});
    EXPECT_NE(result.exitCode, 0);
    EXPECT_FALSE(std::filesystem::exists(c.dir.file("none.tab")));

    result = RunProcess(RAVIK_EXE, {"export", c.dir.file("missing.qvr"), "--mode", "bulk", "--table",
                                    "--settings-dir", c.settingsDir, "-o", c.dir.file("none")});
    EXPECT_NE(result.exitCode, 0);
    EXPECT_NE(result.err.find("READ ERROR"), std::string::npos);
}

TEST(ExportCommand, SettingsDirectoryWithoutOrWithADamagedSettingsFile) {
    ExportCase c;
    const std::string empty = c.dir.file("empty");
    // Without a settings file the defaults hold, and no file is made.
    test::ProcessResult result = RunProcess(RAVIK_EXE, {"export", c.input, "--mode", "bulk", "--table",
                                                        "--settings-dir", empty, "-o", c.dir.file("plain")});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    auto e = c.expected(0, kAllClasses);
    e.settings = Settings{};
    e.settings.download = kDownloadDone;
    EXPECT_EQ(ReadAll(c.dir.file("plain.tab")), e.header(Index(Mode::Bulk)) + e.rows(Mode::Bulk));
    EXPECT_FALSE(std::filesystem::exists(empty));

    // A damaged settings file stops the export with its message.
    test::WriteAll(c.settingsDir + "/ravik56.ini", "xSpect:2\n");
    result = c.run({"--mode", "bulk", "--table", "-o", c.dir.file("bad")});
    EXPECT_NE(result.exitCode, 0);
    EXPECT_NE(result.err.find("Ravik.ini Error: Error in Ravik.ini File / Contact Technical Support"),
              std::string::npos)
        << result.err;
    EXPECT_FALSE(std::filesystem::exists(c.dir.file("bad.tab")));
}

}  // namespace
}  // namespace ravik
