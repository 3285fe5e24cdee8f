#include <gtest/gtest.h>

#include <filesystem>

#include "core/output/export_flow.h"
#include "output_store.h"
#include "core/platform/file_io.h"
#include "support/export_blocks.h"
#include "support/scripted_file_chooser.h"
#include "support/temp_dir.h"

namespace ravik {
namespace {

using test::ReadAll;
using test::ScriptedFileChooser;
using test::ScriptedPrompter;
using test::TempDir;
using test::WriteAll;
using Strings = std::vector<std::string>;

sample::RecordSpec BulkWithSpectrum(uint16_t number) {
    sample::RecordSpec recordSpec = test::Reading(test::kBulkCode, number);
    recordSpec.elements = {test::Element("Fe", 10.0, 0.5)};
    recordSpec.spectrum.lowChannels = 2;
    recordSpec.spectrum.channelWords = {sample::PackMilli(1.0), sample::PackMilli(2.0)};
    return recordSpec;
}

ReadingStore StoreOf(int code) { return test::StoreWith({test::Reading(code, 7)}); }

// An export of the Bulk table of two Bulk readings with spectra and a Paint one.
struct Flow {
    ReadingStore store = test::StoreWith({BulkWithSpectrum(41), test::PaintReading(11, 1), BulkWithSpectrum(42)});
    Settings settings;
    OutputChoices choices;
    ScriptedFileChooser chooser;
    ScriptedPrompter prompter;
    std::string path = "start.qvr";

    Flow() {
        settings.download = kDownloadDone;
        choices.device = OutputDevice::ExportFile;
        choices.mode = Mode::Bulk;
        choices.table = true;
    }
    ExportResult run(const std::function<void()>& beforeRow = {}) {
        return RunFileExport({store, settings, choices}, path, chooser, prompter, beforeRow);
    }
    ExportSource source() const { return {store, settings, SelectionFrom(choices)}; }
};

TEST(SingleFileExport, AsksAboutTheFileItWrites) {
    struct Case {
        int form;
        const char* chosen;
        const char* existing;  // a file present before the export, or ""
        Answer answer;
        const char* target;
        bool asked;
        bool written;
    };
    const Case cases[] = {
        {1, "r.CSV", "r.CSV", Answer::No, "r.CSV", true, false},
        {1, "r.txt", "r.csv", Answer::No, "r.csv", true, false},
        {1, "r.txt", "r.csv", Answer::Yes, "r.csv", true, true},
        {0, "r.tab", "", Answer::No, "r.tab", false, true},
        {0, "noext", "", Answer::No, "noext.tab", false, true},
        {0, "dir.d/name", "", Answer::No, "dir.d/name.tab", false, true},
    };
    for (const Case& c : cases) {
        TempDir dir;
        std::filesystem::create_directory(dir.file("dir.d"));
        if (*c.existing != '\0') WriteAll(dir.file(c.existing), "old");
        Flow flow;
        flow.settings.exportForm = c.form;
        flow.chooser.queuePath(dir.file(c.chosen));
        flow.prompter.queueAnswer(c.answer);
        const ExportResult result = flow.run();
        EXPECT_EQ(flow.prompter.shown(),
                  c.asked ? Strings{"Save As: " + dir.file(c.target) + "\nThis file already exists.\n\nReplace existing file?"}
                          : Strings{});
        if (c.asked) EXPECT_EQ(flow.prompter.boxes()[0].defaultAnswer, Answer::No);  // Enter keeps the file
        EXPECT_EQ(result.outcome, c.written ? ExportOutcome::Written : ExportOutcome::Cancelled) << c.chosen;
        EXPECT_EQ(ReadAll(dir.file(c.target)), c.written ? test::TableBlocks(flow.source(), Mode::Bulk) : "old")
            << c.chosen;
        if (std::string(c.chosen) != c.target) EXPECT_FALSE(FileExists(dir.file(c.chosen))) << c.chosen;
        EXPECT_EQ(flow.chooser.requests().at(0).startPath, "start.qvr");
        EXPECT_EQ(flow.path, dir.file(c.chosen));  // the next export starts from the chosen name
    }
}

TEST(SingleFileExport, WhatGoesIntoTheFile) {
    struct Case {
        int storeCode;  // -1: the mixed store
        Mode mode;
        bool spectra, status;
        int download;
        std::string blocks;  // T table, S spectra, U status
    };
    const Case cases[] = {
        {-1, Mode::Bulk, true, true, kDownloadDone, "TSU"},
        {test::kAlloyCode, Mode::Alloy, false, true, kDownloadDone, "TU"},
        {test::kSignCode, Mode::Sign, false, true, kDownloadDone, "T"},  // never a status block
        {-1, Mode::Bulk, true, true, kDownloadNone, "T"},  // nothing opened or received: no spectra or status
        {-1, Mode::Thin, true, false, kDownloadDone, ""},  // a mode without readings: no table, no spectra
    };
    TempDir dir;
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        Flow flow;
        if (c.storeCode >= 0) flow.store = StoreOf(c.storeCode);
        flow.choices.mode = c.mode;
        flow.choices.highSpectrum = c.spectra;  // the K box gives the same one spectra block
        flow.choices.status = c.status;
        flow.settings.download = c.download;
        const std::string target = dir.file(std::to_string(i) + ".tab");
        flow.chooser.queuePath(target);
        ASSERT_EQ(flow.run().outcome, ExportOutcome::Written);
        std::string expected;
        for (char block : c.blocks) {
            expected += block == 'T'   ? test::TableBlocks(flow.source(), c.mode)
                        : block == 'S' ? test::SpectraBlock(flow.source(), c.mode)
                                       : test::StatusBlock(flow.source());
        }
        EXPECT_EQ(ReadAll(target), expected) << i;
    }
}

TEST(SingleFileExport, CancelOrAFileThatCannotBeCreatedWritesNothing) {
    Flow cancelled;
    cancelled.chooser.queueCancel();
    const ExportResult result = cancelled.run();
    EXPECT_EQ(result.outcome, ExportOutcome::Cancelled);
    EXPECT_TRUE(result.written.empty());
    EXPECT_TRUE(cancelled.prompter.boxes().empty());
    EXPECT_EQ(cancelled.path, "start.qvr");

    TempDir dir;
    Flow flow;
    flow.chooser.queuePath(dir.file("missing/report.tab"));
    EXPECT_EQ(flow.run().outcome, ExportOutcome::Failed);
    EXPECT_EQ(flow.prompter.shown(),
              Strings{"SAVE ERROR: Cannot Create File\n" + dir.file("missing/report.tab") + "\nExport Not Written"});
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

struct MultiFlow : Flow {
    TempDir dir;
    MultiFlow() {
        settings.exportForm = 2;
        choices.lowSpectrum = true;
        choices.status = true;
        chooser.queuePath(dir.file("base.pnt"));
    }
    std::vector<std::string> files() const {
        return {dir.file("base.hdr"), dir.file("base.blk"), dir.file("base.spc"), dir.file("base.sta")};
    }
};

// One question names every file of the set that exists (the chosen name
// itself is not written); No, its default, leaves them all as they were.
TEST(MultiFileExport, OneQuestionAboutTheExistingFilesBeforeAnyWrite) {
    for (const Answer answer : {Answer::No, Answer::Yes}) {
        MultiFlow flow;
        for (size_t i : {0, 3}) WriteAll(flow.files()[i], "old");
        WriteAll(flow.dir.file("base.pnt"), "old");
        flow.prompter.queueAnswer(answer);
        EXPECT_EQ(flow.run().written.size(), answer == Answer::Yes ? 4U : 0U);
        EXPECT_EQ(flow.prompter.shown(), Strings{"Save As: " + flow.files()[0] + "\n" + flow.files()[3] +
                                                 "\nThese files already exist.\n\nReplace existing files?"});
        EXPECT_EQ(flow.prompter.boxes().back().defaultAnswer, Answer::No);  // Enter keeps the old set
        EXPECT_EQ(ReadAll(flow.files()[0]) == "old", answer == Answer::No);
        EXPECT_EQ(FileExists(flow.files()[1]), answer == Answer::Yes);
    }
}

TEST(MultiFileExport, WhichFilesAreWritten) {
    struct Case {
        int storeCode;
        Mode mode;
        bool table;
        int download;
        std::vector<std::string> extensions;
    };
    const Case cases[] = {
        {test::kSignCode, Mode::Sign, true, kDownloadDone, {".hdr", ".thn"}},  // no spectra or status file
        {test::kAlloyCode, Mode::Alloy, true, kDownloadDone, {".hdr", ".aly", ".spc", ".sta"}},
        {-1, Mode::Bulk, true, kDownloadDone, {".hdr", ".blk", ".spc", ".sta"}},
        {test::kThinCode, Mode::Thin, false, kDownloadDone, {".hdr", ".spc", ".sta"}},
        {test::kPaintCode, Mode::Paint, true, kDownloadNone, {".hdr", ".pnt"}},
        {test::kPaintCode, Mode::Bulk, true, kDownloadDone, {".hdr", ".spc", ".sta"}},  // Bulk has no readings
    };
    for (const Case& c : cases) {
        MultiFlow flow;
        if (c.storeCode >= 0) flow.store = StoreOf(c.storeCode);
        flow.choices.mode = c.mode;
        flow.choices.table = c.table;
        flow.settings.download = c.download;
        std::vector<std::string> expected;
        for (const std::string& extension : c.extensions) expected.push_back(flow.dir.file("base" + extension));
        EXPECT_EQ(ExportTargets({flow.store, flow.settings, flow.choices}, flow.dir.file("base.pnt")), expected);
        EXPECT_EQ(flow.run().written, expected);
        EXPECT_TRUE(flow.prompter.boxes().empty());  // only a file that exists is asked about
        EXPECT_EQ(flow.chooser.requests()[0].purpose, 121);
        // The spectra file of a mode without readings is written empty.
        const bool readings = flow.store.count(c.mode) > 0;
        for (const std::string& file : expected) {
            const std::string extension = file.substr(file.size() - 4);
            EXPECT_EQ(ReadAll(file), extension == ".hdr"   ? test::HeaderBlock(flow.source(), kAllHeaderModes)
                                     : extension == ".spc" ? (readings ? test::SpectraBlock(flow.source(), c.mode) : "")
                                     : extension == ".sta" ? test::StatusBlock(flow.source())
                                                           : test::RowsBlock(flow.source(), c.mode))
                << file;
        }
    }
}

// A file that cannot be written (here a folder in its place) fails the
// export before any file is replaced: the previous set stays byte for byte
// and no file is added.
TEST(MultiFileExport, AFailedFileLeavesThePreviousSetAsItWas) {
    MultiFlow flow;
    for (size_t i = 0; i < 2; ++i) WriteAll(flow.files()[i], "old " + std::to_string(i));
    std::filesystem::create_directory(flow.files()[2]);
    flow.prompter.queueAnswer(Answer::Yes);
    const ExportResult result = flow.run();
    EXPECT_EQ(result.outcome, ExportOutcome::Failed);
    EXPECT_TRUE(result.written.empty());
    EXPECT_EQ(flow.prompter.shown().back(),
              "SAVE ERROR: Cannot Create File\n" + flow.files()[2] + "\nExport Not Written");
    for (size_t i = 0; i < 2; ++i) EXPECT_EQ(ReadAll(flow.files()[i]), "old " + std::to_string(i));
    EXPECT_EQ(flow.dir.names(), (std::set<std::string>{"base.hdr", "base.blk", "base.spc"}));
}

}  // namespace
}  // namespace ravik
