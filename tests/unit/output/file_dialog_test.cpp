#include <gtest/gtest.h>

#include "platform/file_chooser.h"
#include "support/scripted_prompter.h"
#include "support/temp_dir.h"

namespace ravik {
namespace {

TEST(FileDialogs, EveryPurposeHasItsKindFilterTitleAndFlags) {
    struct Case {
        int purpose;
        FileDialogState state;
        FileDialogKind kind;
        const char* filter;
        const char* title;
        bool fileMustExist;
        bool confirmOverwrite;
        const char* startName;
    };
    const FileDialogState plain{false, 0, kDownloadDone};
    const Case cases[] = {
        {111, plain, FileDialogKind::Save, kReadingsFilter, "Save QV File As", false, true, "site.qvr"},
        {111, {true, 0, kDownloadDone}, FileDialogKind::Save, kLockedFilter, "Save QV File As", false, true, "site.qvr"},
        {112, plain, FileDialogKind::Open, kReadingsOrLockedFilter, "Open QV File", true, false, ""},
        {121, plain, FileDialogKind::Save, kMultiExportFilter, "", false, false, "site.qvr"},
        {122, {false, 0, kDownloadDone}, FileDialogKind::Save, kTabExportFilter, "", false, true, "site.qvr"},
        {122, {false, 1, kDownloadDone}, FileDialogKind::Save, kCommaExportFilter, "", false, true, "site.qvr"},
        {122, {false, 2, kDownloadDone}, FileDialogKind::Save, kTabExportFilter, "", false, true, "site.qvr"},
        {122, {false, 3, kDownloadDone}, FileDialogKind::Save, kCommaExportFilter, "", false, true, "site.qvr"},
        {128, plain, FileDialogKind::Save, kLibraryFilter, "", false, true, "site.qvr.LIB"},
        {130, plain, FileDialogKind::Open, kShapeFilter, "", false, false, "site.qvr"},
        {173, plain, FileDialogKind::Save, kLockedFilter, "", false, true, "site.qvr"},
        {1222, plain, FileDialogKind::Open, kLibraryFilter, "", false, false, "site.qvr.LIB"},
    };
    for (const Case& c : cases) {
        const std::optional<FileDialogSpec> dialog = DescribeFileDialog(c.purpose, "/data/jobs/site.qvr", c.state);
        ASSERT_TRUE(dialog) << c.purpose;
        EXPECT_EQ(dialog->kind, c.kind) << c.purpose;
        EXPECT_EQ(dialog->filter, c.filter) << c.purpose;
        EXPECT_EQ(dialog->title, c.title) << c.purpose;
        EXPECT_TRUE(dialog->pathMustExist) << c.purpose;
        EXPECT_EQ(dialog->fileMustExist, c.fileMustExist) << c.purpose;
        EXPECT_EQ(dialog->confirmOverwrite, c.confirmOverwrite) << c.purpose;
        EXPECT_EQ(dialog->defaultExtension, c.kind == FileDialogKind::Save ? "Lib" : "") << c.purpose;
        EXPECT_EQ(dialog->startName, c.startName) << c.purpose;
        EXPECT_EQ(dialog->selectedFilter, 0) << c.purpose;
    }
    EXPECT_FALSE(DescribeFileDialog(999, "", plain));
}

TEST(FileDialogs, NothingOpenedYetPreselectsTheSecondFilter) {
    const FileDialogState fresh{false, 0, kDownloadNone};
    EXPECT_EQ(DescribeFileDialog(112, "", fresh)->selectedFilter, 1);
    EXPECT_EQ(DescribeFileDialog(122, "", fresh)->selectedFilter, 1);
    // The locked filter has one entry only.
    EXPECT_EQ(DescribeFileDialog(173, "", fresh)->selectedFilter, 0);
    EXPECT_EQ(DescribeFileDialog(1222, "/x/alloys.lib", fresh)->startName, "alloys.lib");
}

TEST(FileDialogs, FilterStringsSplitAtTheirLastCharacter) {
    const std::vector<FileFilter> filters = SplitFilterString(kReadingsOrLockedFilter);
    ASSERT_EQ(filters.size(), 3u);
    EXPECT_EQ(filters[0].description, "New XRF File(*.qvr)");
    EXPECT_EQ(filters[0].pattern, "*.qvr");
    EXPECT_EQ(filters[1].description, "Locked File(*.lck)");
    EXPECT_EQ(filters[2].pattern, "*.*");
    const std::vector<FileFilter> hashed = SplitFilterString("Text|pipe#*.txt#");
    ASSERT_EQ(hashed.size(), 1u);
    EXPECT_EQ(hashed[0].description, "Text|pipe");
    EXPECT_TRUE(SplitFilterString("").empty());
}

TEST(ConfirmOverwrite, AsksOnlyForAnExistingFile) {
    test::TempDir dir;
    test::ScriptedPrompter prompter;
    EXPECT_TRUE(ConfirmOverwrite(prompter, dir.file("new.tab")));
    EXPECT_TRUE(prompter.boxes().empty());

    test::WriteAll(dir.file("old.tab"), "x");
    prompter.queueAnswer(Answer::No);
    EXPECT_FALSE(ConfirmOverwrite(prompter, dir.file("old.tab")));
    prompter.queueAnswer(Answer::Yes);
    EXPECT_TRUE(ConfirmOverwrite(prompter, dir.file("old.tab")));
    ASSERT_EQ(prompter.boxes().size(), 2u);
    EXPECT_EQ(prompter.boxes()[0].text, dir.file("old.tab") + "\nThis file already exists.\n\nReplace existing file?");
    EXPECT_EQ(prompter.boxes()[0].caption, "Save As");
    EXPECT_EQ(prompter.boxes()[0].buttons, Buttons::YesNo);
    EXPECT_EQ(prompter.boxes()[0].icon, Icon::Information);
}

}  // namespace
}  // namespace ravik
