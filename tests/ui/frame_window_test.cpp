// The frame: captions, the save question, file commands, command states,
// table windows per mode, the client below the bar and the accelerators.

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTimer>
#include <functional>
#include <memory>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QTest>
#include <filesystem>

#include "desktop/command_ids.h"
#include "app/quick_button_bar.h"
#include "platform/file_io.h"
#include "readings/readings_loader.h"
#include "settings/settings_file.h"
#include "ui_support.h"
#include "views/table_window.h"

namespace ravik::test {

namespace {

const QString kTitle = QStringLiteral("RAVIK 5.7d for Orvex QV");
const QString kSurvey = QStringLiteral("Lead survey, east wing");

QString Caption(const std::string& path) {
    return kTitle + QStringLiteral(" - [File: ") + QString::fromStdString(path) + QStringLiteral("] ") + kSurvey;
}

QStringList TableTitles(const FrameWindow& frame) {
    QStringList titles;
    for (QMdiSubWindow* window : frame.mdiArea()->subWindowList()) titles << window->windowTitle();
    titles.sort();
    return titles;
}

int SaveQuestions(const ScriptedPrompter& prompter) {
    int count = 0;
    for (const ShownBox& box : prompter.boxes()) {
        if (box.text == "Do you wish to save work?" && box.caption == "Save" && box.buttons == Buttons::YesNoCancel)
            ++count;
    }
    return count;
}

// Runs once the next modal dialog is up.
void WhenDialogOpens(std::function<void(QDialog*)> action) {
    QTimer::singleShot(0, [action] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        action(dialog);
    });
}

}  // namespace

class FrameWindowTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void captionAfterStartOpenSaveAsAndNew();
    void saveQuestionOnClose();
    void saveQuestionOnNewAndOpen();
    void failedSaveKeepsTheWork();
    void saveAsLockedRestoresTheLockOnCancel();
    void appendFollowsTheExtensionRules();
    void appendedModeGetsAWindowAndOthersStay();
    void commandStatesFollowReadingsChangesAndLock();
    void oneTableWindowPerModeWithReadings();
    void closeAllKeepsTablesAndRenamedTitles();
    void closingATableWindowAsksAndClosesTheFile();
    void clientStaysBelowTheButtonBar();
    void ctrlSSavesWithATableFocused();
    void greyedCommandKeysDoNothing();
    void siteDialogRetitlesTheTables();
    void settingsAreReadAtStartAndWrittenAtTheEnd();
    void unreadableSettingsEndTheStartUntouched();
    void refreshBringsNewModesUp();
};

void FrameWindowTest::captionAfterStartOpenSaveAsAndNew() {
    TempDir dir;
    FrameUnderTest t;
    QCOMPARE(t.frame->windowTitle(), kTitle + QStringLiteral("-[File: <none>]"));

    const std::string path = WriteReadingsFile(dir, "survey.qvr", {3, 2, 0, 0, 0});
    t.chooser.queuePath(path);
    t.frame->handleCommand(command::kOpen);
    QCOMPARE(t.frame->windowTitle(), Caption(path));
    QCOMPARE(t.chooser.requests().back().purpose, 112);

    const std::string copy = dir.file("copy.qvr");
    t.chooser.queuePath(copy);
    t.frame->handleCommand(command::kSaveAs);
    QCOMPARE(t.chooser.requests().back().purpose, 111);
    QCOMPARE(t.frame->windowTitle(), Caption(copy));
    QVERIFY(FileExists(copy));
    QCOMPARE(t.program.store.readingCount, 5);  // reloaded from the copy
    QVERIFY(!t.program.shell.unsavedChanges);

    t.frame->handleCommand(command::kNew);
    QCOMPARE(t.frame->windowTitle(), kTitle + QStringLiteral(" - [File: ] "));
    QVERIFY(t.frame->mdiArea()->subWindowList().isEmpty());
    QVERIFY(!t.program.store.hasReadings());
    QVERIFY(t.prompter.boxes().empty());
}

void FrameWindowTest::saveQuestionOnClose() {
    TempDir dir;
    const std::string path = WriteReadingsFile(dir, "survey.qvr", {2, 0, 0, 0, 0});
    const std::string original = ReadAll(path);

    {  // Cancel: the program goes on, nothing changes.
        FrameUnderTest t;
        t.open(path);
        t.program.shell.unsavedChanges = true;
        t.prompter.queueAnswer(Answer::Cancel);
        QVERIFY(!t.frame->close());
        QVERIFY(t.program.shell.unsavedChanges);
        QCOMPARE(t.program.store.readingCount, 2);
    }
    {  // No: ends without saving.
        FrameUnderTest t;
        t.open(path);
        t.program.store.flags(1) = Hidden;
        t.program.shell.unsavedChanges = true;
        t.prompter.queueAnswer(Answer::No);
        QVERIFY(t.frame->close());
        QCOMPARE(ReadAll(path), original);
    }
    {  // Yes with a file name: saves to it and ends.
        FrameUnderTest t;
        t.open(path);
        t.program.store.flags(1) = Hidden;
        t.program.shell.unsavedChanges = true;
        t.prompter.queueAnswer(Answer::Yes);
        QVERIFY(t.frame->close());
        QVERIFY(ReadAll(path) != original);  // the hidden flag went into the trailer
        QVERIFY(t.chooser.requests().empty());
    }
    {  // Yes without a file name: the save dialog; cancelling it keeps the program open.
        FrameUnderTest t;
        t.open(path);
        t.program.shell.currentFileName.clear();
        t.program.shell.unsavedChanges = true;
        t.prompter.queueAnswer(Answer::Yes);
        t.chooser.queueCancel();
        QVERIFY(!t.frame->close());
        QCOMPARE(t.chooser.requests().back().purpose, 111);
        QVERIFY(t.program.shell.unsavedChanges);
    }
    {  // Nothing unsaved: no question at all.
        FrameUnderTest t;
        t.open(path);
        QVERIFY(t.frame->close());
        QCOMPARE(SaveQuestions(t.prompter), 0);
    }
}

void FrameWindowTest::saveQuestionOnNewAndOpen() {
    TempDir dir;
    const std::string path = WriteReadingsFile(dir, "survey.qvr", {2, 1, 0, 0, 0});
    const std::string other = WriteReadingsFile(dir, "other.qvr", {0, 0, 0, 4, 0});
    // Each case: the file open with unsaved changes, the question answered.
    auto opened = [&](Answer answer) {
        auto t = std::make_unique<FrameUnderTest>();
        t->open(path);
        t->program.shell.unsavedChanges = true;
        t->prompter.queueAnswer(answer);
        return t;
    };
    {  // New, Cancel: the file and its windows stay.
        auto t = opened(Answer::Cancel);
        t->frame->handleCommand(command::kNew);
        QCOMPARE(t->frame->mdiArea()->subWindowList().size(), 2);
        QCOMPARE(t->program.shell.currentFileName, path);
        QVERIFY(t->program.shell.unsavedChanges);
    }
    for (const Answer answer : {Answer::No, Answer::Yes}) {  // New: closed, saved first only on Yes.
        auto t = opened(answer);
        const std::string before = ReadAll(path);
        t->program.store.flags(2) = Hidden;
        t->frame->handleCommand(command::kNew);
        QVERIFY(t->frame->mdiArea()->subWindowList().isEmpty());
        QCOMPARE(ReadAll(path) != before, answer == Answer::Yes);
        if (answer == Answer::No) QVERIFY(!t->program.shell.unsavedChanges);
    }
    {  // Open, Cancel: no dialog, nothing changes.
        auto t = opened(Answer::Cancel);
        t->frame->handleCommand(command::kOpen);
        QVERIFY(t->chooser.requests().empty());
        QCOMPARE(t->program.store.readingCount, 3);
    }
    {  // Open, No: the dialog, then the other file.
        auto t = opened(Answer::No);
        t->chooser.queuePath(other);
        t->frame->handleCommand(command::kOpen);
        QCOMPARE(t->program.store.count(Mode::Alloy), 4);
        QCOMPARE(t->program.shell.currentFileName, other);
        QVERIFY(!t->program.shell.unsavedChanges);
        QCOMPARE(TableTitles(*t->frame), QStringList{QStringLiteral("Alloy - [Site: Maple Street School]")});
    }
    {  // Open, Yes: saved first, then the dialog.
        auto t = opened(Answer::Yes);
        const std::string before = ReadAll(path);
        t->program.store.flags(1) = Hidden;
        t->chooser.queueCancel();
        t->frame->handleCommand(command::kOpen);
        QVERIFY(ReadAll(path) != before);
        QCOMPARE(t->chooser.requests().size(), size_t{1});
        QCOMPARE(t->program.store.readingCount, 3);  // the dialog was cancelled
    }
}

void FrameWindowTest::failedSaveKeepsTheWork() {
    TempDir dir;
    const std::string path = WriteReadingsFile(dir, "survey.qvr", {2, 0, 0, 0, 0});
    FrameUnderTest t;
    t.open(path);
    // The file's directory is gone: the save cannot happen.
    t.program.shell.currentFileName = dir.file("gone/survey.qvr");
    t.program.shell.unsavedChanges = true;
    t.prompter.queueAnswer(Answer::Yes);
    QVERIFY(!t.frame->close());
    QVERIFY(t.program.shell.unsavedChanges);
    // New does not drop the work either when its save fails.
    t.prompter.queueAnswer(Answer::Yes);
    t.frame->handleCommand(command::kNew);
    QCOMPARE(t.program.store.readingCount, 2);
    QCOMPARE(t.frame->mdiArea()->subWindowList().size(), 1);
}

void FrameWindowTest::saveAsLockedRestoresTheLockOnCancel() {
    TempDir dir;
    FrameUnderTest t;
    t.open(WriteReadingsFile(dir, "survey.qvr", {2, 1, 0, 0, 0}));
    t.chooser.queueCancel();
    t.frame->handleCommand(command::kSaveAsLocked);
    QCOMPARE(t.chooser.requests().back().purpose, 173);
    QVERIFY(!t.program.store.locked);

    const std::string locked = dir.file("survey.lck");
    t.chooser.queuePath(locked);
    t.frame->handleCommand(command::kSaveAsLocked);
    QVERIFY(FileExists(locked));
    QCOMPARE(ReadAll(locked).substr(0, 2), std::string("-3"));  // a locked file's count is negative
    QVERIFY(t.program.store.locked);  // reloaded from the locked file
    QCOMPARE(t.program.store.readingCount, 3);
    QCOMPARE(t.frame->windowTitle(), Caption(locked));
    QVERIFY(!t.frame->commandAction(command::kSave)->isEnabled());
}

void FrameWindowTest::appendFollowsTheExtensionRules() {
    TempDir dir;
    const std::string more = WriteReadingsFile(dir, "more.QVR", {1, 0, 0, 0, 0});
    {  // No open file: a ".qvr" file is refused.
        FrameUnderTest t;
        t.chooser.queuePath(more);
        t.frame->handleCommand(command::kAppend);
        QCOMPARE(t.prompter.boxes().size(), size_t{1});
        QCOMPARE(t.prompter.boxes()[0].text, std::string("Cannot Append Different File Versions"));
        QCOMPARE(t.prompter.boxes()[0].caption, std::string("Warning"));
        QCOMPARE(t.prompter.boxes()[0].icon, Icon::Information);
        QVERIFY(!t.program.store.hasReadings());
        QVERIFY(!t.program.shell.unsavedChanges);
    }
    {  // ".QVR" onto an open ".lck": accepted, whatever the case.
        const std::string locked = WriteReadingsFile(dir, "site.lck", {2, 0, 0, 0, 0}, true);
        FrameUnderTest t;
        t.open(locked);
        QVERIFY(t.program.store.locked);
        t.chooser.queuePath(more);
        t.frame->handleCommand(command::kAppend);
        QVERIFY(t.prompter.boxes().empty());
        QCOMPARE(t.program.store.readingCount, 3);
        QVERIFY(t.program.shell.unsavedChanges);
        QVERIFY(t.program.store.locked);
        QCOMPARE(t.program.shell.currentFileName, locked);
    }
}

void FrameWindowTest::appendedModeGetsAWindowAndOthersStay() {
    TempDir dir;
    const std::string path = WriteReadingsFile(dir, "survey.qvr", {3, 0, 0, 0, 0});
    const std::string more = WriteReadingsFile(dir, "more.qvr", {2, 0, 0, 0, 3});
    FrameUnderTest t;
    t.open(path);
    TableWindow* paint = t.frame->tableWindow(Mode::Paint);
    QVERIFY(paint != nullptr);
    paint->setGeometry(10, 20, 400, 200);
    t.chooser.queuePath(more);
    t.frame->handleCommand(command::kAppend);
    QCOMPARE(t.frame->tableWindow(Mode::Paint), paint);
    QCOMPARE(paint->geometry(), QRect(10, 20, 400, 200));
    QVERIFY(t.frame->tableWindow(Mode::Sign) != nullptr);
    QCOMPARE(t.program.store.count(Mode::Paint), 5);
    QCOMPARE(paint->view()->verticalScrollBar()->value(), 0);
}

void FrameWindowTest::commandStatesFollowReadingsChangesAndLock() {
    TempDir dir;
    FrameUnderTest t;
    auto enabled = [&](int id) { return t.frame->commandAction(id)->isEnabled(); };
    auto button = [&](int id) { return t.frame->quickButtonBar()->button(id)->isEnabled(); };
    const int needReadings[] = {111, 173, 141, 155, 156, 1044, 148, 149, 119, 120, 121};
    for (int id : needReadings) QVERIFY2(!enabled(id), qPrintable(QString::number(id)));
    QVERIFY(!enabled(command::kSave));
    QVERIFY(!button(control::kSaveButton));
    QVERIFY(!button(control::kPrintButton));
    QVERIFY(enabled(command::kOpen) && enabled(command::kNew) && enabled(command::kAppend));
    QVERIFY(button(control::kOpenButton) && button(control::kHelpButton));

    t.open(WriteReadingsFile(dir, "locked.lck", {2, 0, 0, 0, 0}, true));
    for (int id : needReadings) QVERIFY2(enabled(id), qPrintable(QString::number(id)));
    QVERIFY(!enabled(command::kSave));
    QVERIFY(!enabled(command::kEditReading));  // locked

    t.program.store.flags(1) = Marked;
    t.frame->handleCommand(command::kHideReading);
    QVERIFY(enabled(command::kSave));
    QVERIFY(button(control::kSaveButton));
    // Every dialog's command is on; the instrument commands while the port is closed.
    for (int id : {141, 132, 176, 177, 178, 179, 185, 180, 143, 65535}) QVERIFY(enabled(id));
    for (int id : {control::kPrintButton, control::kRemoteButton, control::kConnectButton}) QVERIFY(button(id));
}

void FrameWindowTest::oneTableWindowPerModeWithReadings() {
    TempDir dir;
    FrameUnderTest t;
    t.open(WriteReadingsFile(dir, "mixed.qvr", {2, 3, 0, 1, 0}, false, "Pier 7"));
    QCOMPARE(TableTitles(*t.frame), (QStringList{QStringLiteral("Alloy - [Site: Pier 7]"),
                                                 QStringLiteral("Bulk - [Site: Pier 7]"),
                                                 QStringLiteral("Paint - [Site: Pier 7]")}));
    QVERIFY(t.frame->tableWindow(Mode::Thin) == nullptr);
    // The Window menu's list activates a window by its place in the list.
    const QList<QMdiSubWindow*> windows = t.frame->mdiArea()->subWindowList();
    for (int i = 0; i < windows.size(); ++i) {
        t.frame->handleCommand(command::kFirstChildWindow + i);
        QCOMPARE(t.frame->mdiArea()->activeSubWindow(), windows[i]);
    }
    t.open(WriteReadingsFile(dir, "alloy.qvr", {0, 0, 0, 5, 0}, false, "Dock"));
    QCOMPARE(TableTitles(*t.frame), QStringList{QStringLiteral("Alloy - [Site: Dock]")});
}

void FrameWindowTest::closeAllKeepsTablesAndRenamedTitles() {
    TempDir dir;
    FrameUnderTest t;
    t.open(WriteReadingsFile(dir, "alloy.qvr", {0, 0, 0, 3, 0}));
    t.program.store.titles[Mode::Alloy][7] = Title("Heat No");
    t.program.shell.unsavedChanges = true;
    t.frame->handleCommand(command::kCloseAll);
    QCOMPARE(t.frame->mdiArea()->subWindowList().size(), 1);
    QVERIFY(t.frame->tableWindow(Mode::Alloy) != nullptr);
    QCOMPARE(t.program.store.titles[Mode::Alloy][7].view(), std::string_view("Heat No"));
    QCOMPARE(t.program.store.readingCount, 3);
    QVERIFY(t.program.shell.unsavedChanges);

    t.prompter.queueAnswer(Answer::No);
    t.frame->handleCommand(command::kNew);  // releasing the file restores the titles
    QCOMPARE(t.program.store.titles[Mode::Alloy][7].view(), std::string_view("F1"));
}

void FrameWindowTest::closingATableWindowAsksAndClosesTheFile() {
    TempDir dir;
    FrameUnderTest t;
    t.open(WriteReadingsFile(dir, "mixed.qvr", {2, 2, 0, 0, 0}));
    TableWindow* paint = t.frame->tableWindow(Mode::Paint);
    t.prompter.queueAnswer(Answer::Cancel);
    paint->close();
    QCoreApplication::processEvents();
    QCOMPARE(t.prompter.boxes().back().text, std::string("Closing this Window will Close File"));
    QCOMPARE(t.prompter.boxes().back().caption, std::string("Message"));
    QCOMPARE(t.frame->mdiArea()->subWindowList().size(), 2);

    t.prompter.queueAnswer(Answer::Ok);
    paint->close();
    QTRY_VERIFY(t.frame->mdiArea()->subWindowList().isEmpty());
    QVERIFY(!t.program.store.hasReadings());
}

void FrameWindowTest::clientStaysBelowTheButtonBar() {
    FrameUnderTest t;
    for (const QSize size : {QSize(900, 600), QSize(500, 300), QSize(1300, 900), QSize(640, 480)}) {
        t.frame->resize(size);
        QCoreApplication::processEvents();
        const QRect bar = t.frame->quickButtonBar()->geometry();
        const QRect client = t.frame->mdiArea()->geometry();
        QCOMPARE(bar.top(), 0);
        QCOMPARE(client.top(), bar.bottom() + 1);
        QCOMPARE(client.bottom(), t.frame->centralWidget()->rect().bottom());
        QCOMPARE(client.width(), t.frame->centralWidget()->width());
    }
}

void FrameWindowTest::ctrlSSavesWithATableFocused() {
    TempDir dir;
    const std::string path = WriteReadingsFile(dir, "survey.qvr", {4, 0, 0, 0, 0});
    FrameUnderTest t;
    t.open(path);
    const std::string before = ReadAll(path);
    t.frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(t.frame.get()));
    TableView* view = t.frame->tableWindow(Mode::Paint)->view();
    view->setFocus();
    t.program.store.flags(2) = Hidden;
    t.program.shell.unsavedChanges = true;
    t.frame->updateCommandStates();
    QTest::keyClick(view, Qt::Key_S, Qt::ControlModifier);
    QVERIFY(!t.program.shell.unsavedChanges);
    QVERIFY(ReadAll(path) != before);
}

void FrameWindowTest::greyedCommandKeysDoNothing() {
    TempDir dir;
    FrameUnderTest t;
    t.frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(t.frame.get()));
    // Ctrl+A (Save As) is greyed without readings: no dialog appears.
    QTest::keyClick(t.frame.get(), Qt::Key_A, Qt::ControlModifier);
    QVERIFY(t.chooser.requests().empty());
    t.chooser.queueCancel();
    QTest::keyClick(t.frame.get(), Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(t.chooser.requests().size(), size_t{1});
}

void FrameWindowTest::siteDialogRetitlesTheTables() {
    TempDir dir;
    FrameUnderTest t;
    t.open(WriteReadingsFile(dir, "mixed.qvr", {2, 0, 0, 2, 0}, false, "Pier 7"));
    WhenDialogOpens([](QDialog* dialog) {
        QCOMPARE(dialog->objectName(), QStringLiteral("SiteDialogBox"));
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("id1044"));
        QCOMPARE(edit->text(), QStringLiteral("Pier 7"));
        QCOMPARE(edit->selectedText(), QStringLiteral("Pier 7"));
        edit->setText(QStringLiteral("Dock \u00b1 2"));
        dialog->accept();
    });
    t.frame->handleCommand(command::kSite);
    QCOMPARE(TableTitles(*t.frame), (QStringList{QStringLiteral("Alloy - [Site: Dock \u00b1 2]"),
                                                 QStringLiteral("Paint - [Site: Dock \u00b1 2]")}));
    QCOMPARE(t.program.store.site, std::string("Dock \xB1 2"));
    QCOMPARE(SiteFromHeader(t.program.store), std::string("Dock \xB1 2"));  // opened: `download` is 118
    QVERIFY(t.program.shell.unsavedChanges);

    // A right double-click on a table's title bar opens the same dialog;
    // Reset brings the text back and Cancel changes nothing.
    t.program.shell.unsavedChanges = false;
    WhenDialogOpens([](QDialog* dialog) {
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("id1044"));
        edit->setText(QStringLiteral("Elsewhere"));
        dialog->findChild<QAbstractButton*>(QStringLiteral("id1023"))->click();
        QCOMPARE(edit->text(), QStringLiteral("Dock \u00b1 2"));
        edit->setText(QStringLiteral("Elsewhere"));
        dialog->reject();
    });
    QTest::mouseDClick(t.frame->tableWindow(Mode::Alloy), Qt::RightButton, Qt::NoModifier, QPoint(60, 6));
    QCOMPARE(t.program.store.site, std::string("Dock \xB1 2"));
    QVERIFY(!t.program.shell.unsavedChanges);
}

void FrameWindowTest::refreshBringsNewModesUp() {
    TempDir dir;
    FrameUnderTest t;
    t.open(WriteReadingsFile(dir, "paint.qvr", {2, 0, 0, 0, 0}));
    // Readings arrive from elsewhere (a receive), with a mode not shown yet.
    LoadReadingsFile(t.program.store, WriteReadingsFile(dir, "more.qvr", {1, 0, 3, 0, 0}), kAppendCommand,
                     t.prompter);
    t.frame->refreshModeWindows();
    QCOMPARE(TableTitles(*t.frame), (QStringList{QStringLiteral("Paint - [Site: Maple Street School]"),
                                                 QStringLiteral("Thin - [Site: Maple Street School]")}));
    QCOMPARE(t.frame->mdiArea()->activeSubWindow(), t.frame->tableWindow(Mode::Thin));
    const TableView* paint = t.frame->tableWindow(Mode::Paint)->view();
    QCOMPARE(paint->verticalScrollBar()->maximum(), std::max(0, 3 - paint->viewport()->height() / paint->rowHeight() + 1));
}

void FrameWindowTest::settingsAreReadAtStartAndWrittenAtTheEnd() {
    ScratchHome home;
    Settings stored;
    stored.displayFontSize = 2;
    stored.colors[static_cast<size_t>(ColorRole::Background)] = Rgb{10, 20, 30};
    WriteAll(home.file("ravik56.ini"), SettingsFileText(stored));
    Program program;
    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    {
        FrameWindow frame(program, prompter, chooser);
        QVERIFY(frame.settingsRead());
        QCOMPARE(program.settings.displayFontSize, 2);
        QCOMPARE(program.settings.color(ColorRole::Background), (Rgb{10, 20, 30}));
        program.settings.colors[static_cast<size_t>(ColorRole::Marked)] = Rgb{1, 2, 3};
    }
    Settings written;
    QVERIFY(ParseSettingsFileText(ReadAll(home.file("ravik56.ini")), written));
    QCOMPARE(written.color(ColorRole::Marked), (Rgb{1, 2, 3}));
    QCOMPARE(written.displayFontSize, 2);
    QVERIFY(prompter.boxes().empty());
}

void FrameWindowTest::unreadableSettingsEndTheStartUntouched() {
    ScratchHome home;
    const std::string broken = "xSpect:2, ySpect:2\nsomething the user wrote\n";
    WriteAll(home.file("ravik56.ini"), broken);
    Program program;
    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    {
        FrameWindow frame(program, prompter, chooser);
        QVERIFY(!frame.settingsRead());
    }
    QCOMPARE(prompter.boxes().size(), size_t{1});
    QCOMPARE(prompter.boxes()[0].text, std::string("Error in Ravik.ini File\nContact Technical Support"));
    QCOMPARE(prompter.boxes()[0].caption, std::string("Ravik.ini Error"));
    QCOMPARE(ReadAll(home.file("ravik56.ini")), broken);  // not replaced by defaults on the way out
}

}  // namespace ravik::test

QTEST_MAIN(ravik::test::FrameWindowTest)
#include "frame_window_test.moc"
