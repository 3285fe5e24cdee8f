// The frame: captions, the save question, file commands, command states,
// table windows per mode, the client below the bar and the accelerators.

#include <QAction>
#include <QGroupBox>
#include <QMenuBar>
#include <set>

#include "ui/frame/help_window.h"
#include "ui/link/dump_dialog.h"
#include "ui/output/print_dialog.h"
#include "core/link/instrument_port.h"
#include "ui/frame/quick_button_bar.h"
#include "core/readings/readings_loader.h"
#include "core/settings/settings_file.h"
#include "ui/views/spectrum_window.h"
#include "ui_support.h"

namespace ravik::test {

namespace {

const QString kTitle = QStringLiteral("RAVIK 5.7d for Orvex QV");

QString Caption(const std::string& path) {
    return kTitle + QStringLiteral(" - [File: ") + QString::fromStdString(path) +
           QStringLiteral("] Lead survey, east wing");
}

// The titles of the frame's table windows, sorted, each for the site given.
QStringList TableTitles(const FrameWindow& frame) {
    QStringList titles;
    for (QMdiSubWindow* window : frame.mdiArea()->subWindowList()) titles << window->windowTitle();
    titles.sort();
    return titles;
}
QStringList Titles(const QString& site, const QStringList& modes) {
    QStringList titles;
    for (const QString& mode : modes) titles << mode + QStringLiteral(" - [Site: ") + site + QStringLiteral("]");
    return titles;
}

// The Alt letter of a label ("Save &As" -> 'a'), or 0.
QChar Mnemonic(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != QLatin1Char('&')) continue;
        if (text[i + 1] != QLatin1Char('&')) return text[i + 1].toLower();
        ++i;
    }
    return QChar();
}

// The Alt letters used more than once among labels.
QString Repeated(const QStringList& labels) {
    std::set<QChar> seen;
    QString repeated;
    for (const QString& label : labels) {
        const QChar letter = Mnemonic(label);
        if (!letter.isNull() && !seen.insert(letter).second) repeated += letter;
    }
    return repeated;
}

// The repeated Alt letters of a dialog's shown buttons, group boxes and labels.
QString RepeatedInDialog(const QWidget& dialog) {
    QStringList labels;
    for (QWidget* widget : dialog.findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(&dialog)) continue;
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) labels << button->text();
        if (auto* box = qobject_cast<QGroupBox*>(widget)) labels << box->title();
        if (auto* label = qobject_cast<QLabel*>(widget); label && label->buddy()) labels << label->text();
    }
    return Repeated(labels);
}

// The repeated Alt letters of a menu bar or menu and of its submenus, each set
// prefixed with the menu's title.
QStringList RepeatedInMenu(const QString& title, const QList<QAction*>& actions) {
    QStringList labels, repeated;
    for (QAction* action : actions) {
        labels << action->text().section(QLatin1Char('\t'), 0, 0);
        if (action->menu() != nullptr) repeated << RepeatedInMenu(action->text(), action->menu()->actions());
    }
    if (const QString here = Repeated(labels); !here.isEmpty()) repeated << title + QStringLiteral(": ") + here;
    return repeated;
}

}  // namespace

class FrameWindowTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The caption names the file after Open, Save As and Save As Locked (which
    // reload the copy, locked for the latter unless its dialog is cancelled),
    // none after New; the commands ask with their dialogs' purposes.
    void captionAfterStartOpenSaveAsAndNew() {
        FrameUnderTest t;
        QCOMPARE(t.frame->windowTitle(), kTitle + QStringLiteral("-[File: <none>]"));
        auto run = [&t](int command, const std::string& path, int purpose) {
            path.empty() ? t.chooser.queueCancel() : t.chooser.queuePath(path);
            t.frame->handleCommand(command);
            QCOMPARE(t.chooser.requests().back().purpose, purpose);
        };
        LoadReadingsFile(t.program.store, WriteReadingsFile(t.dir, "dump.qvr", {1, 0, 0, 0, 0}), kOpenCommand, t.prompter);
        run(command::kSaveAs, "", 111);
        QCOMPARE(t.chooser.requests().back().startPath, std::string("Maple Street School"));

        const std::string path = WriteReadingsFile(t.dir, "survey.qvr", {3, 2, 0, 0, 0});
        run(command::kOpen, path, 112);
        QCOMPARE(t.frame->windowTitle(), Caption(path));

        const std::string copy = t.dir.file("copy.qvr");
        t.program.shell.unsavedChanges = true;
        run(command::kSaveAs, copy, 111);
        QCOMPARE(t.frame->windowTitle(), Caption(copy));
        QVERIFY(FileExists(copy) && !t.program.shell.unsavedChanges && t.frame->recentFiles().front() == copy);

        run(command::kSaveAsLocked, "", 173);
        QVERIFY(!t.program.store.locked);
        const std::string locked = t.dir.file("survey.lck");
        run(command::kSaveAsLocked, locked, 173);
        QVERIFY(t.program.store.locked && t.program.store.readingCount == 5);  // reloaded from the locked file
        QCOMPARE(t.frame->windowTitle(), Caption(locked));

        t.frame->handleCommand(command::kNew);
        QCOMPARE(t.frame->windowTitle(), kTitle + QStringLiteral(" - [File: ] "));
        QVERIFY(t.frame->mdiArea()->subWindowList().isEmpty() && !t.program.store.hasReadings());
        QVERIFY(t.prompter.boxes().empty());
    }

    // Close, New and Open ask whether to save unsaved work: Cancel goes back, No
    // goes on unsaved, Yes saves first and goes on only if the save happened
    // (one question serves all three: its failures are tried on Close); with
    // nothing unsaved it is not asked (see the New after Save As Locked above).
    void saveQuestionOnCloseNewAndOpen() {
        TempDir dir;
        const std::string other = WriteReadingsFile(dir, "other.qvr", {0, 0, 0, 4, 0});
        const std::string gone = dir.file("gone/survey.qvr");  // its directory is missing: the save fails
        constexpr int kClose = 0;
        struct Case {
            const char* name;
            int command;  // kClose: closing the frame
            Answer answer;
            std::optional<std::string> fileName;  // replaces the open file's name
            bool pickOther;  // the file dialog picks the other file, else it is cancelled
            bool goesOn;
            bool saved;
            int dialog;  // the file dialog's purpose; 0: none shown
        };
        const Case cases[] = {
            {"Close, Cancel", kClose, Answer::Cancel, {}, false, false, false, 0},
            {"Close, No", kClose, Answer::No, {}, false, true, false, 0},
            {"Close, Yes", kClose, Answer::Yes, {}, false, true, true, 0},
            {"Close, Yes, no name, dialog cancelled", kClose, Answer::Yes, "", false, false, false, 111},
            {"Close, Yes, save fails", kClose, Answer::Yes, gone, false, false, false, 0},
            {"New, Cancel", command::kNew, Answer::Cancel, {}, false, false, false, 0},
            {"New, No", command::kNew, Answer::No, {}, false, true, false, 0},
            {"Open, Cancel", command::kOpen, Answer::Cancel, {}, true, false, false, 0},
            {"Open, No", command::kOpen, Answer::No, {}, true, true, false, 112},
            {"Open, Yes, dialog cancelled", command::kOpen, Answer::Yes, {}, false, false, true, 112},
        };
        for (const Case& c : cases) {
            const std::string path = WriteReadingsFile(dir, "survey.qvr", {2, 1, 0, 0, 0});
            const std::string before = ReadAll(path);
            FrameUnderTest t;
            t.open(path);
            t.program.shell.unsavedChanges = true;
            t.prompter.queueAnswer(c.answer);
            t.program.store.flags(1) = Hidden;  // the flag goes into the file's trailer
            if (c.fileName) t.program.shell.currentFileName = *c.fileName;
            c.pickOther ? t.chooser.queuePath(other) : t.chooser.queueCancel();
            bool wentOn = false;
            if (c.command == kClose) {
                wentOn = t.frame->close();
            } else {
                t.frame->handleCommand(c.command);
                wentOn = c.command == command::kNew ? t.frame->mdiArea()->subWindowList().isEmpty()
                                                    : t.program.shell.currentFileName == other;
            }
            QVERIFY2(wentOn == c.goesOn, c.name);
            QCOMPARE(t.prompter.shown().at(0), std::string("Save: Do you wish to save work?"));
            QCOMPARE(t.prompter.boxes().at(0).buttons, Buttons::YesNoCancel);
            QCOMPARE(t.prompter.boxes().at(0).defaultAnswer, Answer::Yes);
            QVERIFY2((ReadAll(path) != before) == c.saved, c.name);
            QVERIFY2(t.chooser.requests().size() == size_t(c.dialog != 0), c.name);
            if (c.dialog != 0) QCOMPARE(t.chooser.requests().back().purpose, c.dialog);
            if (!c.goesOn) QCOMPARE(t.frame->mdiArea()->subWindowList().size(), 2);
            if (c.command != kClose || !c.goesOn) {
                QVERIFY2(t.program.shell.unsavedChanges == (!c.goesOn && !c.saved), c.name);
            }
            if (c.command == command::kOpen && c.goesOn) QCOMPARE(TableTitles(*t.frame), Titles("Maple Street School", {"Alloy"}));
        }
    }

    // A file that is no readings file, opened (a comma export), is only told:
    // the open file, its tables and the recent files stay.
    void aFileThatIsNoReadingsFileLeavesTheOpenOne() {
        FrameUnderTest t;
        const std::string path = t.openReadings("survey.qvr", {2, 1, 0, 0, 0});
        const std::string csv = t.dir.file("survey.csv");
        WriteAll(csv, "BULK\r\nHeader:\r\nNo,QVNo,Site\r\n1,21,Yard\r\n");
        t.chooser.queuePath(csv);
        t.frame->handleCommand(command::kOpen);
        QCOMPARE(t.prompter.shown(), std::vector<std::string>{"READ ERROR: Not a Readings File\n" + csv});
        QVERIFY(t.frame->windowTitle() == Caption(path) && TableTitles(*t.frame).size() == 2 &&
                t.frame->recentFiles().front() == path);
    }

    // Append refuses a file whose extension does not match the open one's and
    // otherwise adds its readings: a new mode gets a window, the others keep
    // their place; the command states follow the store's readings, changes
    // and lock.
    void appendAndTheCommandStates() {
        FrameUnderTest t;
        auto enabled = [&t](int id) { return t.frame->commandAction(id)->isEnabled(); };
        auto button = [&t](int id) { return t.frame->quickButtonBar()->button(id)->isEnabled(); };
        QVERIFY(!enabled(command::kSaveAs) && !button(control::kPrintButton) && enabled(command::kOpen));
        const std::string more = WriteReadingsFile(t.dir, "more.QVR", {1, 0, 0, 0, 3});
        t.chooser.queuePath(more);
        t.frame->handleCommand(command::kAppend);
        QCOMPARE(t.prompter.shown(), std::vector<std::string>{"Warning: Cannot Append Different File Versions"});
        QVERIFY(!t.program.store.hasReadings() && !t.program.shell.unsavedChanges);

        t.openReadings("site.lck", {2, 0, 0, 0, 0}, true);
        QVERIFY(enabled(command::kSaveAs) && button(control::kPrintButton));
        QVERIFY(!enabled(command::kSave) && !button(control::kSaveButton) && !enabled(command::kEditReading));
        TableWindow* paint = t.frame->tableWindow(Mode::Paint);
        paint->setGeometry(10, 20, 400, 200);
        t.chooser.queuePath(more);
        t.frame->handleCommand(command::kAppend);
        QCOMPARE(t.program.store.count(Mode::Paint), 3);
        QVERIFY(t.program.shell.unsavedChanges && enabled(command::kSave) && button(control::kSaveButton));
        QVERIFY(t.frame->tableWindow(Mode::Paint) == paint && paint->geometry() == QRect(10, 20, 400, 200));
        QVERIFY(t.frame->tableWindow(Mode::Sign) != nullptr);
    }

    // One table window per mode with readings, titled with the site; the Window
    // menu's list activates them by place; a refresh adds windows for new modes.
    // Close All keeps the tables and the readings unsaved; closing a table
    // window warns that the file closes, and Cancel keeps both.
    void oneTableWindowPerModeWithReadings() {
        FrameUnderTest t;
        t.openReadings("mixed.qvr", {2, 3, 0, 1, 0}, false, "Pier 7");
        QCOMPARE(TableTitles(*t.frame), Titles("Pier 7", {"Alloy", "Bulk", "Paint"}));
        const QList<QMdiSubWindow*> windows = t.frame->mdiArea()->subWindowList();
        for (int i = 0; i < windows.size(); ++i) {
            t.frame->handleCommand(command::kFirstChildWindow + i);
            QCOMPARE(t.frame->mdiArea()->activeSubWindow(), windows[i]);
        }
        t.openReadings("alloy.qvr", {0, 0, 0, 5, 0}, false, "Dock");
        QCOMPARE(TableTitles(*t.frame), Titles("Dock", {"Alloy"}));

        // Readings arriving from elsewhere (a receive) bring a new mode's window
        // up, active, and the scroll range of those shown follows.
        t.frame->tableWindow(Mode::Alloy)->resize(400, 120);
        LoadReadingsFile(t.program.store, WriteReadingsFile(t.dir, "more.qvr", {0, 0, 3, 1, 0}, false, "Dock"),
                         kAppendCommand, t.prompter);
        t.frame->refreshModeWindows();
        QCOMPARE(TableTitles(*t.frame), Titles("Dock", {"Alloy", "Thin"}));
        QCOMPARE(t.frame->mdiArea()->activeSubWindow(), t.frame->tableWindow(Mode::Thin));
        const TableView* alloy = t.view(Mode::Alloy);
        QCOMPARE(alloy->verticalScrollBar()->maximum(), std::max(0, 6 - alloy->viewport()->height() / alloy->rowHeight() + 1));

        t.program.shell.unsavedChanges = true;
        t.frame->handleCommand(command::kCloseAll);
        QCOMPARE(t.frame->mdiArea()->subWindowList().size(), 2);
        QVERIFY(t.program.store.readingCount == 9 && t.program.shell.unsavedChanges);
        TableWindow* thin = t.frame->tableWindow(Mode::Thin);
        t.prompter.queueAnswer(Answer::Cancel);
        thin->close();
        QCoreApplication::processEvents();
        QCOMPARE(t.prompter.shown().back(), std::string("Message: Closing this Window will Close File"));
        QCOMPARE(t.frame->mdiArea()->subWindowList().size(), 2);
        t.prompter.queueAnswer(Answer::Ok);
        thin->close();
        QTRY_VERIFY(t.frame->mdiArea()->subWindowList().isEmpty());
        QVERIFY(!t.program.store.hasReadings());
    }

    // The accelerators: a greyed command's key does nothing, Ctrl+O asks for a
    // file, Ctrl+S saves while a table has the focus. Quick Help opens the help.
    // The client area fills the frame below the button bar at any size.
    void commandKeysHelpAndTheClientArea() {
        FrameUnderTest t;
        for (const QSize size : {QSize(500, 300), QSize(900, 600)}) {
            t.frame->resize(size);
            QCoreApplication::processEvents();
            const QRect bar = t.frame->quickButtonBar()->geometry();
            QCOMPARE(t.frame->mdiArea()->geometry(),
                     QRect(QPoint(0, bar.bottom() + 1), t.frame->centralWidget()->rect().bottomRight()));
        }
        QVERIFY(t.activate());
        t.frame->handleCommand(command::kQuickHelp);
        QVERIFY(t.frame->helpWindow() != nullptr && t.frame->helpWindow()->isVisible());
        QVERIFY(t.activate());
        QTest::keyClick(t.frame.get(), Qt::Key_A, Qt::ControlModifier);  // Save As: greyed without readings
        QVERIFY(t.chooser.requests().empty());
        t.chooser.queueCancel();
        QTest::keyClick(t.frame.get(), Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(t.chooser.requests().size(), size_t{1});

        const std::string path = t.openReadings("survey.qvr", {4, 0, 0, 0, 0});
        const std::string before = ReadAll(path);
        QVERIFY(t.activate());
        t.view(Mode::Paint)->setFocus();
        t.program.store.flags(2) = Hidden;
        t.program.shell.unsavedChanges = true;
        t.frame->updateCommandStates();
        QTest::keyClick(t.view(Mode::Paint), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(!t.program.shell.unsavedChanges && ReadAll(path) != before);
    }

    // Each menu and each dialog gives every Alt letter to one control only;
    // each configuration command opens its dialog under its title.
    void mnemonicsAreUniqueInEachMenuAndDialog() {
        FrameUnderTest t;
        t.openReadings("survey.qvr", {4, 0, 0, 0, 0});
        QCOMPARE(RepeatedInMenu(QStringLiteral("bar"), t.frame->menuBar()->actions()), QStringList());
        QVERIFY(!Mnemonic(t.frame->commandAction(command::kAlloyLibrary)->text()).isNull());

        std::map<QString, QString> repeated;  // dialog title -> its repeated letters
        std::map<int, QString> titles;         // command -> the title of the dialog it opened
        const auto check = [&repeated](QDialog& dialog) { repeated[dialog.windowTitle()] = RepeatedInDialog(dialog); };
        for (int id : {command::kSite, command::kEditReading, command::kDisplay, command::kCommunication,
                       command::kOutput, command::kProtocol, command::kColumnsPaint, command::kAlloyLibrary}) {
            t.chooser.queueCancel();
            WhenModalOpens<QDialog>([&, id](QDialog& dialog) {
                check(dialog);
                titles[id] = dialog.windowTitle();
                dialog.done(QDialog::Rejected);
            });
            t.frame->handleCommand(id);
            QCoreApplication::processEvents();
        }
        // The print dialog and the configuration its Configure opens.
        WhenModalOpens<PrintDialog>([&](PrintDialog& print) {
            check(print);
            WhenModalOpens<QDialog>([&](QDialog& setup) {
                check(setup);
                setup.done(QDialog::Rejected);
            });
            print.control(print_control::kConfigure)->click();
            print.done(QDialog::Rejected);
        });
        t.frame->handleCommand(command::kPrint);
        QCoreApplication::processEvents();
        InstrumentPort port;
        DumpDialog dump(port, t.prompter, t.program.settings, t.home.file("ravik.tmp"));
        check(dump);

        QCOMPARE(repeated.size(), size_t{9});
        QCOMPARE((QStringList{titles[command::kDisplay], titles[command::kCommunication], titles[command::kOutput],
                              titles[command::kProtocol]}),
                 (QStringList{"Display Configure", "Communication Configure", "Output Configure", "Protocol Configuration"}));
        for (const auto& [title, letters] : repeated) QVERIFY2(letters.isEmpty(), qPrintable(title + ": " + letters));
    }

    // The Site dialog, from the menu or a right double-click on a table's title
    // bar, retitles the tables; Reset brings the text back, Cancel changes nothing.
    void siteDialogRetitlesTheTables() {
        FrameUnderTest t;
        t.openReadings("mixed.qvr", {2, 0, 0, 2, 0}, false, "Pier 7");
        WhenModalOpens<QDialog>([](QDialog& dialog) {
            auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("id1044"));
            QCOMPARE(edit->selectedText(), QStringLiteral("Pier 7"));
            edit->setText(QStringLiteral("Dock \u00b1 2"));
            dialog.accept();
        });
        t.frame->handleCommand(command::kSite);
        QCOMPARE(TableTitles(*t.frame), Titles(QStringLiteral("Dock \u00b1 2"), {"Alloy", "Paint"}));
        QVERIFY(t.program.shell.unsavedChanges);

        t.program.shell.unsavedChanges = false;
        WhenModalOpens<QDialog>([](QDialog& dialog) {
            auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("id1044"));
            edit->setText(QStringLiteral("Elsewhere"));
            dialog.findChild<QAbstractButton*>(QStringLiteral("id1023"))->click();
            QCOMPARE(edit->text(), QStringLiteral("Dock \u00b1 2"));
            edit->setText(QStringLiteral("Elsewhere"));
            dialog.reject();
        });
        QTest::mouseDClick(t.frame->tableWindow(Mode::Alloy), Qt::RightButton, Qt::NoModifier, QPoint(60, 6));
        QVERIFY(t.program.store.site == "Dock \xB1 2" && !t.program.shell.unsavedChanges);
    }

    // The settings file is read when the frame starts and written when it ends;
    // one that cannot be read ends the start with a message and is left as it was.
    void settingsAreReadAtStartAndWrittenAtTheEnd() {
        FrameUnderTest t;
        t.frame.reset();  // the first frame writes its settings as it ends
        const std::string ini = t.home.file("ravik56.ini");
        Settings stored;
        stored.displayFontSize = 2;
        WriteAll(ini, SettingsFileText(stored));
        t.frame = std::make_unique<FrameWindow>(t.program, t.prompter, t.chooser);
        QVERIFY(t.frame->settingsRead() && t.program.settings.displayFontSize == 2);
        t.program.settings.colors[static_cast<size_t>(ColorRole::Marked)] = Rgb{1, 2, 3};
        t.frame.reset();
        Settings written;
        QVERIFY(ParseSettingsFileText(ReadAll(ini), written));
        QCOMPARE(written.color(ColorRole::Marked), (Rgb{1, 2, 3}));
        QVERIFY(t.prompter.boxes().empty());

        const std::string broken = "xSpect:2, ySpect:2\nsomething the user wrote\n";
        WriteAll(ini, broken);
        t.frame = std::make_unique<FrameWindow>(t.program, t.prompter, t.chooser);
        QVERIFY(!t.frame->settingsRead());
        t.frame.reset();
        QCOMPARE(t.prompter.captions(), std::vector<std::string>{"Ravik.ini Error"});
        QCOMPARE(ReadAll(ini), broken);  // not replaced by defaults on the way out
    }

    // OK in the Output dialog draws the spectrum windows again on the new
    // scale: the labels on the old curve go.
    void outputOkRedrawsTheSpectrumWindows() {
        FrameUnderTest t;
        t.openReadings("survey.qvr", {2, 0, 0, 0, 0});
        SpectrumView* spectrum = t.frame->openSpectrumWindow(t.program.store.list(Mode::Paint)[0], kPaintLowKind)->view();
        spectrum->labelElement(0);
        QVERIFY(!spectrum->labels().empty());
        t.program.settings.spectrumYscale = kScaleLinear;
        t.frame->configurationHooks().settingsApplied();  // as the dialog's OK does
        QVERIFY(spectrum->labels().empty());
    }
};

}  // namespace ravik::test

QTEST_MAIN(ravik::test::FrameWindowTest)
#include "frame_window_test.moc"
