// The frame on the desktop: drop-to-open, the recent files, Ctrl+C on
// marked readings, the remembered frame place and arrangement, the Save As
// Locked name.

#include <QClipboard>
#include <QDropEvent>
#include <QFileDialog>
#include <QMenu>
#include <QMimeData>
#include <QUrl>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "core/platform/file_io.h"
#include "ui/platform/qt_file_chooser.h"
#include "ui_support.h"

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
    // A dropped file opens after the save question; one that is not a readings
    // file is refused by the loader without the question, and the open file stays.
    void dropOpensAfterTheSaveQuestionAndKeepsTheFileForNonReadings() {
        FrameUnderTest t;
        const std::string first = t.openReadings("first.qvr", {3, 0, 0, 0, 0});
        const std::string second = WriteReadingsFile(t.dir, "second.qvr", {0, 2, 0, 0, 0});
        const std::string notes = t.dir.file("notes.qvr");
        WriteAll(notes, "not readings\r\n");
        t.program.shell.unsavedChanges = true;

        t.prompter.queueAnswer(Answer::Cancel);
        Drop(*t.frame, second);
        QCOMPARE(Questions(t.prompter, "Do you wish to save work?"), 1);
        QCOMPARE(t.program.shell.currentFileName, first);

        t.prompter.clear();
        Drop(*t.frame, notes);
        QCOMPARE(t.prompter.shown(), std::vector<std::string>{"READ ERROR: Not a Readings File\n" + notes});
        QCOMPARE(t.program.shell.currentFileName, first);
        QCOMPARE(t.program.store.count(Mode::Paint), 3);
        QVERIFY(t.program.shell.unsavedChanges);

        t.prompter.queueAnswer(Answer::No);
        Drop(*t.frame, second);
        QCOMPARE(t.program.shell.currentFileName, second);
        QVERIFY(t.frame->tableWindow(Mode::Bulk) != nullptr);
        QVERIFY(t.frame->tableWindow(Mode::Paint) == nullptr);
    }

    // A new frame gets back the places and the recent files (the last four, newest
    // first, in the File menu); a recent file that has gone is taken off.
    void recentFilesAndPlacesAreRemembered() {
        FrameUnderTest t;
        const QRect frameRect(30, 40, 700, 480);
        t.frame->setGeometry(frameRect);
        std::vector<std::string> files;
        for (const char* name : {"a.qvr", "b.qvr", "c.qvr", "d.qvr", "e.qvr"}) {
            files.push_back(t.openReadings(name, {1, 1, 0, 0, 0}));
        }
        t.open(files[2]);  // opened again: back to the top
        const RecentFiles expected = {files[2], files[4], files[3], files[1]};
        QVERIFY(t.frame->recentFiles() == expected);
        const QStringList entries = RecentEntries(*t.frame);
        QCOMPARE(entries.size(), 4);
        QVERIFY(entries[0].startsWith(QStringLiteral("&1 ")) && entries[0].endsWith(QStringLiteral("c.qvr")));
        const QRect paintRect(10, 20, 400, 200);
        const QRect bulkRect(60, 90, 500, 250);
        t.frame->tableWindow(Mode::Paint)->setGeometry(paintRect);
        t.frame->tableWindow(Mode::Bulk)->setGeometry(bulkRect);
        t.frame->tableWindow(Mode::Paint)->showMaximized();  // made first: behind the others unless brought up

        t.frame.reset();
        std::filesystem::remove(files[4]);
        t.frame = std::make_unique<FrameWindow>(t.program, t.prompter, t.chooser);
        t.frame->showWhereItWas();
        QCOMPARE(t.frame->geometry(), frameRect);
        QVERIFY(t.frame->recentFiles() == expected);
        t.open(files[2]);
        QCOMPARE(t.frame->tableWindow(Mode::Bulk)->geometry(), bulkRect);
        TableWindow* paint = t.frame->tableWindow(Mode::Paint);  // maximized in front, its place kept
        QVERIFY(paint->isMaximized() && t.frame->mdiArea()->activeSubWindow() == paint);
        paint->showNormal();
        QCOMPARE(paint->geometry(), paintRect);
        t.frame->openRecentFile(files[4]);
        QCOMPARE(Questions(t.prompter, files[4] + "\nThis file no longer exists"), 1);
        QVERIFY(t.frame->recentFiles() == (RecentFiles{files[2], files[3], files[1]}));
        QCOMPARE(RecentEntries(*t.frame).size(), 3);
        QVERIFY(ReadRecentFiles(DataDirectory(), t.prompter) == t.frame->recentFiles());
        t.frame->openRecentFile(files[1]);
        QCOMPARE(t.program.shell.currentFileName, files[1]);
    }

    // A desktop.ini that is a FIFO (a reader would wait for a writer) or far
    // too large is told, and the frame starts maximized as the first time.
    void aRefusedLayoutFileIsToldAndTheDefaultsUsed() {
        FrameUnderTest t;
        t.frame.reset();
        const std::string layout = t.home.file("desktop.ini");
        std::filesystem::remove(layout);
        QCOMPARE(::mkfifo(layout.c_str(), 0644), 0);
        ::alarm(30);  // a start that hangs on the FIFO ends the test here
        for (const char* refused : {"Not a Regular File\n", "File Too Large\n"}) {
            t.prompter.clear();
            t.frame = std::make_unique<FrameWindow>(t.program, t.prompter, t.chooser);
            t.frame->showWhereItWas();
            QVERIFY(t.frame->isMaximized());
            QVERIFY(t.prompter.shown() == std::vector<std::string>{"READ ERROR: " + (refused + layout)});
            t.frame.reset();
            // A layout that would keep the frame at its place, were it read.
            std::filesystem::remove(layout);
            WriteAll(layout, "[Frame]\nmaximized=false\nplace=@Rect(30 40 700 480)\n");
            std::filesystem::resize_file(layout, kSmallFileLimit + 1);
        }
        ::alarm(0);
    }

    // Ctrl+C copies the active table's marked readings, titles first, with the
    // table's row numbers; the status bar counts every table's marks, made
    // by clicks or keys.
    void ctrlCCopiesTheMarkedReadingsWithTitlesFirst() {
        FrameUnderTest t;
        t.openReadings("survey.qvr", {5, 3, 0, 0, 0});
        t.program.store.flags(t.program.store.list(Mode::Paint)[3]) = Hidden;
        t.program.store.flags(t.program.store.list(Mode::Bulk)[0]) = Marked;  // another table's mark
        QVERIFY(t.activate());
        TableWindow* table = t.frame->tableWindow(Mode::Paint);
        QTest::mouseClick(table->view()->viewport(), Qt::LeftButton, Qt::NoModifier, RowPoint(*table->view(), 2));
        QTest::mouseClick(table->view()->viewport(), Qt::LeftButton, Qt::ControlModifier, RowPoint(*table->view(), 4));
        QTRY_COMPARE(t.frame->statusText(), QStringLiteral("Paint 5   Bulk 3   Marked 3   Hidden 1"));
        QTest::keyClick(table->view(), Qt::Key_Space);  // the keys' marks are counted too
        QTRY_COMPARE(t.frame->statusText(), QStringLiteral("Paint 5   Bulk 3   Marked 2   Hidden 1"));
        QTest::keyClick(table->view(), Qt::Key_Space);
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
            QCOMPARE(cells.first(), QString::number(row == 1 ? 2 : 4));
        }
        QVERIFY(lines[1].contains(QStringLiteral("±")));
    }

    // Save As Locked's file dialog offers the ".lck" name and the replace
    // question comes once.
    void saveAsLockedOffersTheLockedNameAndAsksOnce() {
        TempDir dir;
        const std::string locked = dir.file("site.lck");
        WriteAll(locked, "old");
        Program program;
        program.store.locked = true;  // as Save As Locked sets it before asking
        ScriptedPrompter prompter;
        QtFileChooser chooser(program, prompter);
        QString offered;
        WhenModalOpens<QFileDialog>([&offered](QFileDialog& dialog) {
            QVERIFY(dialog.width() >= 900);
            offered = dialog.findChild<QLineEdit*>()->text();
            static_cast<QDialog&>(dialog).accept();  // QFileDialog hides it
        });
        prompter.queueAnswer(Answer::Yes);
        std::string path = dir.file("site.qvr");
        QVERIFY(chooser.askFileName(path, 173));
        QCOMPARE(offered, QStringLiteral("site.lck"));
        QCOMPARE(path, locked);
        QVERIFY(prompter.shown() == (std::vector<std::string>{"Save As: " + locked +
                                                               "\nThis file already exists.\n\nReplace existing file?"}));
    }
};

}  // namespace ravik::test

QTEST_MAIN(ravik::test::FrameDesktopTest)
#include "frame_desktop_test.moc"
