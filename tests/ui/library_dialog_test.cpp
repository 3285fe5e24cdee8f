// The alloy library editor over a library file, and Send against the
// simulated analyzer.

#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>

#include "ui/library/library_dialog.h"
#include "ui/platform/qt_prompter.h"
#include "core/library/library_source.h"
#include "core/link/instrument_port.h"
#include "core/platform/file_chooser.h"
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

// An editor opened on the library, written to a file first.
struct EditorUnderTest {
    explicit EditorUnderTest(const AlloyLibrary& library, const std::string& device = "/dev/null")
        : path(home.file("test.lib")), dialog(port, prompter, chooser, clock, {device, 0, {}}) {
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
    ScriptedFileChooser chooser;
    FastClock clock;
    InstrumentPort port;
    LibraryDialog dialog;
};

// Runs Send against a simulated analyzer with these options.
struct SendUnderTest {
    SendUnderTest(const AlloyLibrary& library, std::vector<std::string> options)
        : analyzer(ANALYZER_SIM_EXE, (options.insert(options.end(), {"--library-screen", "--library-report", report}), options)),
          editor(library, analyzer.path()) {
        editor.dialog.sendLibrary();
    }
    TempDir dir;
    std::string report = dir.file("report.txt");
    AnalyzerSimulator analyzer;
    EditorUnderTest editor;
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
        QCOMPARE(t.prompter.boxes().back().defaultAnswer, Answer::No);
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

    // The desktop's boxes give the asked default the Enter key: a question
    // whose Yes destroys work answers No to Enter alone. (Each question's
    // default is checked where the question itself is tested.)
    void enterTakesTheAskedDefault() {
        QString enterAnswers;
        WhenModalOpens<QMessageBox>([&](QMessageBox& box) {
            enterAnswers = box.defaultButton() == box.button(QMessageBox::No) ? "No" : "other";
            box.reject();
        });
        QtPrompter boxes;
        boxes.askWithDefault("Replace?", "Save As", Buttons::YesNo, Icon::Information, Answer::No);
        QCOMPARE(enterAnswers, QStringLiteral("No"));
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
        QCOMPARE(t.prompter.boxes().back().defaultAnswer, Answer::No);
        QCOMPARE(t.dialog.download().phase(), LibraryDownload::Phase::Aborted);
        QVERIFY(!t.dialog.isVisible() && !t.port.isOpen());
        QVERIFY(QTest::qWaitFor([&] { return ReadText(s.report).ends_with("aborted\n"); }, 5000));
    }
};

}  // namespace ravik::test

QTEST_MAIN(ravik::test::LibraryDialogTest)
#include "library_dialog_test.moc"
