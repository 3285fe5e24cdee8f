// The alloy library editor over a library file, and Send against the
// simulated analyzer.

#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>

#include "ui/library/library_dialog.h"
#include "ui/link/dump_dialog.h"
#include "ui/platform/qt_prompter.h"
#include "core/library/library_source.h"
#include "core/link/instrument_port.h"
#include "core/platform/file_chooser.h"
#include "core/readings/readings_saver.h"
#include "support/analyzer_simulator.h"
#include "ui_support.h"
#include "unit/library/library_builder.h"

namespace ravik::test {

namespace {

using namespace library_dialog_control;
constexpr int kWaitMillis = 30000;
constexpr int kFe = 4, kCo = 5, kNi = 6, kPb = 10;  // limit slots

AlloyLibrary SmallLibrary() {
    return Library({{0, {Alloy("316", {{kFe, {6000, 7000}}, {kNi, {1000, 1400}}})}},
                    {2, {Alloy("Zn"), Alloy("C260", {{7, {6800, 7200}}})}},
                    {4, {Alloy("NiCo", {{kNi, {3000, 5000}}, {kCo, {600, 900}}})}}});
}

std::string ReadText(const std::string& path) { return FileExists(path) ? ReadAll(path) : std::string(); }

// An editor opened on the library, written to a file first; with realBoxes
// its questions are the desktop's message boxes.
struct EditorUnderTest {
    explicit EditorUnderTest(const AlloyLibrary& library, const std::string& device = "/dev/null",
                             bool realBoxes = false)
        : path(home.file("test.lib")),
          dialog(port, realBoxes ? static_cast<Prompter&>(boxes) : prompter, chooser, clock, {device, 0, {}}) {
        WriteAll(path, LibrarySourceText(library));
        chooser.queuePath(path);
        QVERIFY(dialog.openLibrary());
        dialog.show();
    }
    // Selects the alloy's line in the grouped list and starts editing it.
    void edit(const std::string& name) {
        auto* list = Control<QListWidget>(dialog, kGroupedList);
        list->setCurrentItem(list->findItems(QString::fromStdString("     " + name), Qt::MatchExactly).value(0));
        dialog.editAlloy();
    }
    QLineEdit* limitEdit(int pair, int side) { return Control<QLineEdit>(dialog, kFirstLimitEdit + 2 * pair + side); }
    bool enabled(int id) const { return FindControl(dialog, id)->isEnabled(); }

    ScratchHome home;
    std::string path;
    ScriptedPrompter prompter;
    QtPrompter boxes;
    ScriptedFileChooser chooser;
    FastClock clock;
    InstrumentPort port;
    LibraryDialog dialog;
};

// Runs Send against a simulated analyzer with these options.
struct SendUnderTest {
    SendUnderTest(const AlloyLibrary& library, std::vector<std::string> options, bool realBoxes = false)
        : analyzer(ANALYZER_SIM_EXE, (options.insert(options.end(), {"--library-screen", "--library-report", report}), options)),
          editor(library, analyzer.path(), realBoxes) {
        editor.dialog.sendLibrary();
    }
    TempDir dir;
    std::string report = dir.file("report.txt");
    AnalyzerSimulator analyzer;
    EditorUnderTest editor;
};

// Presses Enter, on the focused button, in every message box that opens
// while it lives, and notes the label of each box's default button.
class EnterPresser {
public:
    EnterPresser() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr || !box->isVisible()) return;
            QString label;
            for (QPushButton* button : box->findChildren<QPushButton*>()) {
                if (button->isDefault()) label = box->standardButton(button) == QMessageBox::Yes ? QStringLiteral("Yes")
                                               : box->standardButton(button) == QMessageBox::No  ? QStringLiteral("No")
                                                                                                 : button->text();
            }
            defaults << label;
            QTest::keyClick(box->focusWidget() != nullptr ? box->focusWidget() : box, Qt::Key_Return);
        });
        timer_.start(10);
    }
    QStringList defaults;

private:
    QTimer timer_;
};

}  // namespace

class LibraryDialogTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The lists show the library, the edits follow the selection and the mode,
    // and an unchanged library is saved and closes without a question.
    void showsTheLibraryAndSavesItUnchanged() {
        EditorUnderTest t(SmallLibrary());
        QCOMPARE(Control<QLabel>(t.dialog, kCount)->text(), QStringLiteral("4"));
        t.edit("316");
        QVERIFY(t.limitEdit(kFe, 0)->text() == QStringLiteral("60.00") && t.limitEdit(kFe, 1)->text() == QStringLiteral("70.00"));
        QVERIFY(t.limitEdit(kFe, 0)->isEnabled() && !t.enabled(kSave));
        t.dialog.cancelEdit();
        QVERIFY(!t.limitEdit(kFe, 0)->isEnabled());  // browsing

        // The sorted view holds the alloys alone and follows the selection.
        t.dialog.toggleSort();
        auto* sorted = Control<QListWidget>(t.dialog, kSortedList);
        QVERIFY(sorted->count() == 4 && sorted->currentItem()->text() == QStringLiteral("     316"));
        QVERIFY(!t.enabled(kInsert));
        t.dialog.toggleSort();

        const std::string saved = t.home.file("saved.lib");
        t.chooser.queuePath(saved);
        t.dialog.saveLibrary();
        QCOMPARE(t.chooser.requests().back().purpose, kPurposeSaveLibrary);
        QCOMPARE(ReadText(saved), ReadText(t.path));
        t.dialog.closeEditor();
        QVERIFY(t.prompter.boxes().empty() && !t.dialog.isVisible());
    }

    // Apply: a refusal names the element, keeps every text as typed and editing
    // goes on; stored limits end it; Close with changes asks.
    // Copy and Insert add a line and the count follows; Delete is greyed on a header.
    void editingAndTheLines() {
        EditorUnderTest t(SmallLibrary());
        t.edit("316");
        t.limitEdit(kNi, 1)->setText(QStringLiteral("100"));
        t.limitEdit(kPb, 0)->setText(QStringLiteral("5"));
        t.dialog.applyEdit();
        QCOMPARE(t.prompter.shown(), std::vector<std::string>{"Error: Pb: Lo Must be less than Hi"});
        QVERIFY(t.dialog.editing());
        QVERIFY(t.limitEdit(kPb, 0)->text() == QStringLiteral("5") && t.limitEdit(kNi, 1)->text() == QStringLiteral("100"));
        t.limitEdit(kPb, 1)->setText(QStringLiteral("6"));
        t.dialog.applyEdit();
        QVERIFY(!t.dialog.editing());
        QCOMPARE(t.dialog.edited().library.alloys[0].limits[kNi], (LimitPair{1000, 10000}));
        QCOMPARE(t.dialog.edited().library.alloys[0].limits[kPb], (LimitPair{500, 600}));
        t.prompter.queueAnswer(Answer::No);
        t.dialog.closeEditor();
        QCOMPARE(t.prompter.shown().back(), std::string("Warning: Canceling will loose changes\nAre you sure?"));
        QVERIFY(t.dialog.isVisible());

        t.edit("316");
        t.dialog.cancelEdit();
        t.dialog.copyAlloy();
        QCOMPARE(t.dialog.edited().library.alloys[1].limits, t.dialog.edited().library.alloys[0].limits);
        t.dialog.insertAlloy();
        QCOMPARE(Control<QLabel>(t.dialog, kCount)->text(), QStringLiteral("6"));
        t.dialog.deleteAlloy();  // the inserted one; the next line is selected
        t.dialog.deleteAlloy();  // that is the header of group 1: nothing happens
        QVERIFY(t.dialog.edited().library.alloys.size() == 5 && !t.enabled(kDelete));
    }

    // Send downloads the library whole, says so with the count, then enables the edits again.
    void sendsTheLibraryWhole() {
        SendUnderTest s(SmallLibrary(), {"--baud", "1"});
        EditorUnderTest& t = s.editor;
        QVERIFY(!t.enabled(kSend) && t.enabled(kClose));
        QVERIFY(QTest::qWaitFor([&] { return t.dialog.download().phase() == LibraryDownload::Phase::Done; }, kWaitMillis));
        QCOMPARE(t.prompter.shown(),
                 std::vector<std::string>{"Library Download: Download complete\r\n4 alloys sent to the analyzer"});
        QVERIFY(QTest::qWaitFor([&] { return ReadText(s.report).ends_with("complete\n"); }, 3000));
        QVERIFY(t.enabled(kSend) && !t.enabled(kApply) && !t.port.isOpen());
        QVERIFY(!FindControl(t.dialog, library_control::kProgress)->isVisible());
    }

    // Every question whose Yes destroys work has No as its default button, the
    // save question Yes: Enter alone never throws work away.
    void enterKeepsTheWorkInEveryDestroyingQuestion() {
        ScratchHome home;
        const std::string existing = home.file("survey.QVR");
        WriteAll(existing, "kept");
        struct Question {
            const char* name;
            std::function<void(Prompter&)> ask;
            QString defaultButton;
        };
        const Question questions[] = {
            {"dump Discard", [&](Prompter& p) {
                 InstrumentPort port;
                 Settings settings;
                 DumpDialog dialog(port, p, settings, home.file("ravik.tmp"));
                 dialog.show();
                 dialog.discardDump();
                 QVERIFY(dialog.isVisible());
             }, "No"},
            {"library Close with changes", [](Prompter&) {
                 EditorUnderTest t(SmallLibrary(), "/dev/null", true);
                 t.dialog.insertAlloy();
                 t.dialog.closeEditor();
                 QVERIFY(t.dialog.isVisible());
             }, "No"},
            {"library Close during a download", [](Prompter&) {
                 SendUnderTest s(Library({{0, std::vector<AlloyRecord>(100, Alloy("Many"))}}), {}, true);
                 QVERIFY(QTest::qWaitFor([&] { return s.editor.dialog.download().phase() == LibraryDownload::Phase::Sending; },
                                         kWaitMillis));
                 s.editor.dialog.closeEditor();
                 QCOMPARE(s.editor.dialog.download().phase(), LibraryDownload::Phase::Sending);
             }, "No"},
            {"replace a chosen file", [&](Prompter& p) { QVERIFY(!ConfirmOverwrite(p, existing)); }, "No"},
            {"replace the saved file", [&](Prompter& p) {
                 ReadingStore store;
                 std::string current;
                 QVERIFY(!SaveReadingsFile(store, home.file("survey.txt"), "", current, p));
                 QCOMPARE(ReadAll(existing), std::string("kept"));
             }, "No"},
            {"save question", [](Prompter& p) {
                 Program program;
                 ScriptedFileChooser chooser;
                 chooser.queueCancel();  // Yes asks for a name
                 FrameWindow frame(program, p, chooser);
                 program.shell.unsavedChanges = true;
                 frame.handleCommand(command::kNew);
                 QVERIFY(program.shell.unsavedChanges);
                 QCOMPARE(chooser.requests().size(), size_t{1});
             }, "Yes"},
        };
        for (const Question& question : questions) {
            EnterPresser enter;
            QtPrompter boxes;
            question.ask(boxes);
            QVERIFY2(enter.defaults == QStringList{question.defaultButton}, question.name);
        }
    }

    // Close during a download asks, stops it and closes the port.
    void closeStopsADownload() {
        SendUnderTest s(Library({{0, std::vector<AlloyRecord>(100, Alloy("Many", {{kFe, {100, 200}}}))}}), {});
        EditorUnderTest& t = s.editor;
        auto* progress = Control<QLabel>(t.dialog, library_control::kProgress);
        QVERIFY(QTest::qWaitFor([&] { return progress->isVisible() && progress->text().endsWith(QStringLiteral("% Complete")); },
                                kWaitMillis));
        t.prompter.queueAnswer(Answer::Yes);
        t.dialog.closeEditor();
        QCOMPARE(t.dialog.download().phase(), LibraryDownload::Phase::Aborted);
        QVERIFY(!t.dialog.isVisible() && !t.port.isOpen());
        QVERIFY(QTest::qWaitFor([&] { return ReadText(s.report).ends_with("aborted\n"); }, 5000));
    }
};

}  // namespace ravik::test

QTEST_MAIN(ravik::test::LibraryDialogTest)
#include "library_dialog_test.moc"
