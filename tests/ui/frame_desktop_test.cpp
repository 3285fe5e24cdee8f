// The frame on the desktop: drop-to-open, the recent files, Ctrl+C on
// marked readings, the remembered frame place and arrangement, the Save As
// Locked name, and Ctrl+End whichever key is let go first.

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QFileDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QTimer>
#include <QUrl>
#include <filesystem>

#include "app/qt_file_chooser.h"
#include "desktop/qt_text.h"
#include "platform/data_dir.h"
#include "platform/file_io.h"
#include "ui_support.h"
#include "views/table_window.h"

namespace ravik::test {

namespace {

void Drop(FrameWindow& frame, const std::string& path) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(PathToQString(path))});
    QDropEvent drop(QPointF(200, 200), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    // Straight to the frame: the application delivers drops only during a real drag.
    static_cast<QObject&>(frame).event(&drop);
    QCoreApplication::processEvents();
}

int Questions(const ScriptedPrompter& prompter, const std::string& text) {
    int count = 0;
    for (const ShownBox& box : prompter.boxes()) count += box.text.find(text) != std::string::npos;
    return count;
}

// The File menu's texts from the Exit item upwards to the first separator
// above the recent files, bottom up.
QStringList RecentEntries(const FrameWindow& frame) {
    QStringList entries;
    QAction* exit = frame.commandAction(122);
    const QList<QAction*> items = qobject_cast<QMenu*>(exit->parent())->actions();
    for (qsizetype i = items.indexOf(exit) - 2; i >= 0 && !items[i]->isSeparator(); --i) {
        entries.prepend(items[i]->text());
    }
    return entries;
}

}  // namespace

class FrameDesktopTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void dropOpensAfterTheSaveQuestionAndKeepsTheFileForNonReadings();
    void recentFilesKeepTheLastFourAndDropGoneOnes();
    void ctrlCCopiesTheMarkedReadingsWithTitlesFirst();
    void frameAndArrangementAreRemembered();
    void saveAsLockedOffersTheLockedNameAndAsksOnce();
    void ctrlEndWorksWhicheverKeyIsLetGoFirst();
};

void FrameDesktopTest::dropOpensAfterTheSaveQuestionAndKeepsTheFileForNonReadings() {
    TempDir dir;
    const std::string first = WriteReadingsFile(dir, "first.qvr", {3, 0, 0, 0, 0});
    const std::string second = WriteReadingsFile(dir, "second.qvr", {0, 2, 0, 0, 0});
    const std::string notes = dir.file("notes.qvr");
    WriteAll(notes, "not readings\r\n");
    FrameUnderTest t;
    t.open(first);
    t.program.shell.unsavedChanges = true;

    // Cancel in the save question keeps the open file.
    t.prompter.queueAnswer(Answer::Cancel);
    Drop(*t.frame, second);
    QCOMPARE(Questions(t.prompter, "Do you wish to save work?"), 1);
    QCOMPARE(t.program.shell.currentFileName, first);

    // A file that is not a readings file: the loader's message, no question,
    // and the open file with its unsaved work stays.
    t.prompter.clear();
    Drop(*t.frame, notes);
    QCOMPARE(t.prompter.boxes().size(), size_t{1});
    QCOMPARE(Questions(t.prompter, "Do you wish to save work?"), 0);
    QCOMPARE(t.program.shell.currentFileName, first);
    QCOMPARE(t.program.store.count(Mode::Paint), 3);
    QVERIFY(t.program.shell.unsavedChanges);

    t.prompter.queueAnswer(Answer::No);
    Drop(*t.frame, second);
    QCOMPARE(t.program.shell.currentFileName, second);
    QVERIFY(t.frame->tableWindow(Mode::Bulk) != nullptr);
    QVERIFY(t.frame->tableWindow(Mode::Paint) == nullptr);
}

void FrameDesktopTest::recentFilesKeepTheLastFourAndDropGoneOnes() {
    TempDir dir;
    std::vector<std::string> files;
    for (const char* name : {"a.qvr", "b.qvr", "c.qvr", "d.qvr", "e.qvr"}) {
        files.push_back(WriteReadingsFile(dir, name, {1, 0, 0, 0, 0}));
    }
    FrameUnderTest t;
    for (const std::string& file : files) t.open(file);
    t.open(files[2]);  // opened again: back to the top
    const RecentFiles expected = {files[2], files[4], files[3], files[1]};
    QVERIFY(t.frame->recentFiles() == expected);
    const QStringList entries = RecentEntries(*t.frame);
    QCOMPARE(entries.size(), 4);
    QVERIFY(entries[0].startsWith(QStringLiteral("&1 ")) && entries[0].endsWith(QStringLiteral("c.qvr")));

    // The list outlives the frame; a file that has gone is taken off it.
    t.frame.reset();
    std::filesystem::remove(files[4]);
    t.frame = std::make_unique<FrameWindow>(t.program, t.prompter, t.chooser);
    QVERIFY(t.frame->recentFiles() == expected);
    t.frame->openRecentFile(files[4]);
    QCOMPARE(Questions(t.prompter, files[4] + "\nThis file no longer exists"), 1);
    QVERIFY(t.frame->recentFiles() == (RecentFiles{files[2], files[3], files[1]}));
    QCOMPARE(RecentEntries(*t.frame).size(), 3);
    QVERIFY(ReadRecentFiles(DataDirectory()) == t.frame->recentFiles());
    t.frame->openRecentFile(files[1]);
    QCOMPARE(t.program.shell.currentFileName, files[1]);
}

void FrameDesktopTest::ctrlCCopiesTheMarkedReadingsWithTitlesFirst() {
    TempDir dir;
    FrameUnderTest t;
    t.open(WriteReadingsFile(dir, "survey.qvr", {5, 3, 0, 0, 0}));
    t.program.store.flags(t.program.store.list(Mode::Paint)[3]) = Hidden;
    t.program.store.flags(t.program.store.list(Mode::Bulk)[0]) = Marked;  // another table's mark
    t.frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(t.frame.get()));
    TableWindow* table = t.frame->tableWindow(Mode::Paint);
    // Rows 2 and 4 marked with the mouse; the status bar follows.
    QWidget* rows = table->view()->viewport();
    const int height = table->view()->rowHeight();
    QTest::mouseClick(rows, Qt::LeftButton, Qt::NoModifier, QPoint(40, 2 * height + height / 2));
    QTest::mouseClick(rows, Qt::LeftButton, Qt::ControlModifier, QPoint(40, 4 * height + height / 2));
    QTRY_COMPARE(t.frame->statusText(), QStringLiteral("Paint 5   Bulk 3   Marked 3   Hidden 1"));
    t.frame->mdiArea()->setActiveSubWindow(table);
    QApplication::clipboard()->clear();
    QTest::keyClick(table->view(), Qt::Key_C, Qt::ControlModifier);

    const QStringList lines = QApplication::clipboard()->text().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    const QStringList titles = lines[0].split(QLatin1Char('\t'));
    QCOMPARE(titles.first(), QStringLiteral("No"));
    QVERIFY(lines[0].contains(QStringLiteral("± Prec")));
    for (int row : {1, 2}) {
        const QStringList cells = lines[row].split(QLatin1Char('\t'));
        QCOMPARE(cells.size(), titles.size());
        QCOMPARE(cells.first(), QString::number(row == 1 ? 2 : 4));  // the table's row numbers
    }
    QVERIFY(lines[1].contains(QStringLiteral("±")));
}

void FrameDesktopTest::frameAndArrangementAreRemembered() {
    TempDir dir;
    const std::string path = WriteReadingsFile(dir, "survey.qvr", {4, 3, 0, 0, 0});
    FrameUnderTest t;
    const QRect frameRect(30, 40, 700, 480);
    t.frame->setGeometry(frameRect);
    t.open(path);
    const QRect paintRect(10, 20, 400, 200);
    const QRect bulkRect(60, 90, 500, 250);
    t.frame->tableWindow(Mode::Paint)->setGeometry(paintRect);
    t.frame->tableWindow(Mode::Bulk)->setGeometry(bulkRect);
    t.frame.reset();

    t.frame = std::make_unique<FrameWindow>(t.program, t.prompter, t.chooser);
    t.frame->showWhereItWas();
    QCOMPARE(t.frame->geometry(), frameRect);
    t.open(path);
    QCOMPARE(t.frame->tableWindow(Mode::Paint)->geometry(), paintRect);
    QCOMPARE(t.frame->tableWindow(Mode::Bulk)->geometry(), bulkRect);
}

void FrameDesktopTest::saveAsLockedOffersTheLockedNameAndAsksOnce() {
    TempDir dir;
    const std::string open = dir.file("site.qvr");
    const std::string locked = dir.file("site.lck");
    WriteAll(locked, "old");
    Program program;
    program.store.locked = true;  // as Save As Locked sets it before asking
    ScriptedPrompter prompter;
    QtFileChooser chooser(program, prompter);
    QString offered;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        QVERIFY(dialog->width() >= 900);
        offered = dialog->findChild<QLineEdit*>()->text();
        static_cast<QDialog*>(dialog)->accept();  // QFileDialog hides it
    });
    prompter.queueAnswer(Answer::Yes);
    std::string path = open;
    QVERIFY(chooser.askFileName(path, 173));
    QCOMPARE(offered, QStringLiteral("site.lck"));
    QCOMPARE(path, locked);
    QVERIFY(prompter.shown() == (std::vector<std::string>{"Save As: " + locked +
                                                           "\nThis file already exists.\n\nReplace existing file?"}));
}

void FrameDesktopTest::ctrlEndWorksWhicheverKeyIsLetGoFirst() {
    TempDir dir;
    FrameUnderTest t;
    t.open(WriteReadingsFile(dir, "survey.qvr", {300, 0, 0, 0, 0}));
    TableView* view = t.frame->tableWindow(Mode::Paint)->view();
    QScrollBar* rows = view->verticalScrollBar();
    QVERIFY(rows->maximum() > 0);
    QTest::keyPress(view, Qt::Key_End, Qt::ControlModifier);
    QTest::keyRelease(view, Qt::Key_Control, Qt::NoModifier);
    QTest::keyRelease(view, Qt::Key_End, Qt::NoModifier);
    QCOMPARE(rows->value(), rows->maximum());
    QTest::keyPress(view, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyRelease(view, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(rows->value(), 0);
}

}  // namespace ravik::test

QTEST_MAIN(ravik::test::FrameDesktopTest)
#include "frame_desktop_test.moc"
