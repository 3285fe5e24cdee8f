#include <gtest/gtest.h>

#include <filesystem>

#include "output/export_flow.h"
#include "output/export_writers.h"
#include "output_store.h"
#include "platform/file_io.h"
#include "support/scripted_file_chooser.h"
#include "support/temp_dir.h"

namespace ravik {
namespace {

using test::ReadAll;
using test::ScriptedFileChooser;
using test::ScriptedPrompter;
using test::TempDir;
using test::WriteAll;

sample::RecordSpec BulkWithSpectrum(uint16_t number) {
    sample::RecordSpec recordSpec = test::Reading(test::kBulkCode, number);
    recordSpec.elements = {test::Element("Fe", 10.0, 0.5)};
    recordSpec.spectrum.lowChannels = 2;
    recordSpec.spectrum.channelWords = {sample::PackMilli(1.0), sample::PackMilli(2.0)};
    return recordSpec;
}

ReadingStore MixedStore() {
    test::TestFile file;
    file.add(BulkWithSpectrum(41));
    file.add(test::PaintReading(11, 1));
    file.add(BulkWithSpectrum(42));
    return test::LoadStore(file);
}

ReadingStore StoreOf(int code) {
    test::TestFile file;
    file.add(test::Reading(code, 7));
    return test::LoadStore(file);
}

struct Flow {
    ReadingStore store = MixedStore();
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

TEST(SingleFileExport, WritesTableSpectraAndStatusUnderTheTabName) {
    TempDir dir;
    Flow flow;
    flow.choices.lowSpectrum = true;
    flow.choices.status = true;
    flow.chooser.queuePath(dir.file("report.txt"));
    int rows = 0;
    const ExportResult result = flow.run([&] { ++rows; });
    EXPECT_EQ(result.outcome, ExportOutcome::Written);
    EXPECT_EQ(result.written, std::vector<std::string>{dir.file("report.tab")});
    ASSERT_EQ(flow.chooser.requests().size(), 1u);
    EXPECT_EQ(flow.chooser.requests()[0].purpose, 122);
    EXPECT_EQ(flow.chooser.requests()[0].startPath, "start.qvr");
    EXPECT_EQ(flow.path, dir.file("report.txt"));
    EXPECT_TRUE(flow.prompter.boxes().empty());
    EXPECT_EQ(ReadAll(dir.file("report.tab")),
              flow.header(Index(Mode::Bulk)) + flow.rows(Mode::Bulk) + flow.spectra(Mode::Bulk) + flow.status());
    EXPECT_EQ(rows, 3);  // channels 0, 1 and the empty row
    EXPECT_FALSE(FileExists(dir.file("report.txt")));
}

TEST(SingleFileExport, AsksOnlyWhenTheExtensionWasChanged) {
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
        {1, "r.CSV", "r.CSV", Answer::No, "r.CSV", false, true},  // the dialog asked already
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
        EXPECT_EQ(flow.prompter.boxes().size(), c.asked ? 1u : 0u) << c.chosen;
        if (c.asked) {
            EXPECT_EQ(flow.prompter.boxes()[0].text,
                      dir.file(c.target) + "\nThis file already exists.\n\nReplace existing file?");
        }
        EXPECT_EQ(result.outcome, c.written ? ExportOutcome::Written : ExportOutcome::Cancelled) << c.chosen;
        const std::string expected = flow.header(Index(Mode::Bulk)) + flow.rows(Mode::Bulk);
        EXPECT_EQ(ReadAll(dir.file(c.target)), c.written ? expected : "old") << c.chosen;
        if (std::string(c.chosen) != c.target) EXPECT_FALSE(FileExists(dir.file(c.chosen))) << c.chosen;
    }
}

TEST(SingleFileExport, CancelledDialogWritesNothing) {
    TempDir dir;
    Flow flow;
    flow.chooser.queueCancel();
    const ExportResult result = flow.run();
    EXPECT_EQ(result.outcome, ExportOutcome::Cancelled);
    EXPECT_TRUE(result.written.empty());
    EXPECT_TRUE(flow.prompter.boxes().empty());
    EXPECT_EQ(flow.path, "start.qvr");
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(SingleFileExport, WhatGoesIntoTheFile) {
    TempDir dir;
    {  // Only Alloy readings, Data Table and Status: the ALLOY header and rows, then the status block.
        Flow flow;
        flow.store = StoreOf(test::kAlloyCode);
        flow.choices.mode = Mode::Alloy;
        flow.choices.status = true;
        flow.chooser.queuePath(dir.file("alloy.tab"));
        ASSERT_EQ(flow.run().outcome, ExportOutcome::Written);
        EXPECT_EQ(ReadAll(dir.file("alloy.tab")),
                  flow.header(Index(Mode::Alloy)) + flow.rows(Mode::Alloy) + flow.status());
    }
    {  // Only Sign readings: never a status block.
        Flow flow;
        flow.store = StoreOf(test::kSignCode);
        flow.choices.mode = Mode::Sign;
        flow.choices.status = true;
        flow.chooser.queuePath(dir.file("sign.tab"));
        ASSERT_EQ(flow.run().outcome, ExportOutcome::Written);
        EXPECT_EQ(ReadAll(dir.file("sign.tab")), flow.header(Index(Mode::Sign)) + flow.rows(Mode::Sign));
    }
    {  // Nothing opened or received: no spectra and no status.
        Flow flow;
        flow.settings.download = kDownloadNone;
        flow.choices.lowSpectrum = flow.choices.status = true;
        flow.chooser.queuePath(dir.file("fresh.tab"));
        ASSERT_EQ(flow.run().outcome, ExportOutcome::Written);
        EXPECT_EQ(ReadAll(dir.file("fresh.tab")), flow.header(Index(Mode::Bulk)) + flow.rows(Mode::Bulk));
    }
    {  // The high spectrum box gives the same one spectra block; a mode without readings gives no table.
        Flow flow;
        flow.choices.mode = Mode::Thin;
        flow.choices.highSpectrum = true;
        flow.chooser.queuePath(dir.file("thin.tab"));
        ASSERT_EQ(flow.run().outcome, ExportOutcome::Written);
        EXPECT_EQ(ReadAll(dir.file("thin.tab")), "");
    }
}

TEST(SingleFileExport, FileThatCannotBeCreatedIsToldAndLeavesNothing) {
    TempDir dir;
    Flow flow;
    flow.chooser.queuePath(dir.file("missing/report.tab"));
    const ExportResult result = flow.run();
    EXPECT_EQ(result.outcome, ExportOutcome::Failed);
    ASSERT_EQ(flow.prompter.boxes().size(), 1u);
    EXPECT_EQ(flow.prompter.boxes()[0].text,
              "Cannot Create File\n" + dir.file("missing/report.tab") + "\nExport Not Written");
    EXPECT_EQ(flow.prompter.boxes()[0].caption, "SAVE ERROR");
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

TEST(MultiFileExport, AllQuestionsFirstAndNoWritesAfterANo) {
    for (size_t no = 0; no < 4; ++no) {
        MultiFlow flow;
        for (const std::string& file : flow.files()) WriteAll(file, "old");
        for (size_t i = 0; i < no; ++i) flow.prompter.queueAnswer(Answer::Yes);
        flow.prompter.queueAnswer(Answer::No);
        const ExportResult result = flow.run();
        EXPECT_EQ(result.outcome, ExportOutcome::Cancelled);
        EXPECT_TRUE(result.written.empty());
        ASSERT_EQ(flow.prompter.boxes().size(), no + 1);
        for (size_t i = 0; i <= no; ++i) {
            EXPECT_EQ(flow.prompter.boxes()[i].text,
                      flow.files()[i] + "\nThis file already exists.\n\nReplace existing file?");
        }
        for (const std::string& file : flow.files()) EXPECT_EQ(ReadAll(file), "old") << file;
    }
}

TEST(MultiFileExport, WritesEachFileWithItsBlock) {
    MultiFlow flow;
    WriteAll(flow.files()[2], "old");
    const ExportResult result = flow.run();
    ASSERT_EQ(result.outcome, ExportOutcome::Written);
    EXPECT_EQ(result.written, flow.files());
    EXPECT_EQ(flow.chooser.requests()[0].purpose, 121);
    EXPECT_EQ(flow.prompter.boxes().size(), 1u);  // only base.spc existed
    EXPECT_EQ(ReadAll(flow.files()[0]), flow.header(kAllHeaderModes));
    EXPECT_EQ(ReadAll(flow.files()[1]), flow.rows(Mode::Bulk));
    EXPECT_EQ(ReadAll(flow.files()[2]), flow.spectra(Mode::Bulk));
    EXPECT_EQ(ReadAll(flow.files()[3]), flow.status());
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
        {test::kThinCode, Mode::Thin, false, kDownloadDone, {".hdr", ".spc", ".sta"}},
        {test::kPaintCode, Mode::Paint, true, kDownloadNone, {".hdr", ".pnt"}},
        {test::kPaintCode, Mode::Bulk, true, kDownloadDone, {".hdr", ".spc", ".sta"}},  // Bulk has no readings
    };
    for (const Case& c : cases) {
        MultiFlow flow;
        flow.store = StoreOf(c.storeCode);
        flow.choices.mode = c.mode;
        flow.choices.table = c.table;
        flow.settings.download = c.download;
        std::vector<std::string> expected;
        for (const std::string& extension : c.extensions) expected.push_back(flow.dir.file("base" + extension));
        EXPECT_EQ(ExportTargets({flow.store, flow.settings, flow.choices}, flow.dir.file("base.pnt")), expected);
        const ExportResult result = flow.run();
        EXPECT_EQ(result.written, expected);
        EXPECT_EQ(ReadAll(flow.dir.file("base.hdr")), flow.header(kAllHeaderModes));
    }
}

TEST(MultiFileExport, FailedFileStopsTheExportAndKeepsTheOnesBefore) {
    MultiFlow flow;
    std::filesystem::create_directory(flow.files()[2]);  // base.spc cannot be replaced
    const ExportResult result = flow.run();
    EXPECT_EQ(result.outcome, ExportOutcome::Failed);
    EXPECT_EQ(result.written, (std::vector<std::string>{flow.files()[0], flow.files()[1]}));
    ASSERT_EQ(flow.prompter.boxes().size(), 2u);  // the replace question, then the error
    EXPECT_EQ(flow.prompter.boxes()[1].text, "Error Writing File\n" + flow.files()[2] + "\nExport Not Written");
    EXPECT_EQ(flow.prompter.boxes()[1].caption, "SAVE ERROR");
    EXPECT_FALSE(FileExists(flow.files()[3]));
}

}  // namespace
}  // namespace ravik
