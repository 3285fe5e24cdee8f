// The alloy library editor over a library file, and Send against the
// simulated analyzer.

#include <QListWidget>
#include <QPushButton>

#include "core/library/alloy_groups.h"
#include "ui/library/library_dialog.h"
#include "core/library/library_source.h"
#include "core/link/instrument_port.h"
#include "support/analyzer_simulator.h"
#include "ui_support.h"
#include "unit/library/library_builder.h"

namespace ravik::test {

namespace {

using namespace library_dialog_control;
constexpr int kWaitMillis = 30000;
constexpr int kFe = 4, kCo = 5, kNi = 6;  // limit slots

AlloyLibrary SmallLibrary() {
    return Library({{0, {Alloy("316", {{kFe, {6000, 7000}}, {kNi, {1000, 1400}}})}},
                    {2, {Alloy("Zn"), Alloy("C260", {{7, {6800, 7200}}})}},
                    {4, {Alloy("NiCo", {{kNi, {3000, 5000}}, {kCo, {600, 900}}})}}});
}

std::string ReadText(const std::string& path) { return FileExists(path) ? ReadAll(path) : std::string(); }

// What the simulator reports of a whole download of the library.
std::string CompleteReport(const AlloyLibrary& library) {
    std::string report = "count\t" + std::to_string(library.alloys.size()) + "\n";
    for (const AlloyRecord& alloy : library.alloys) {
        report += "alloy\t" + alloy.name;
        for (const LimitPair& pair : alloy.limits) report += "\t" + std::to_string(pair.low) + "\t" + std::to_string(pair.high);
        report += "\n";
    }
    report += "searchIndex";
    for (int value : library.searchIndex) report += "\t" + std::to_string(value);
    return report + "\ncomplete\n";
}

// An editor opened on the library, written to a file first.
struct EditorUnderTest {
    explicit EditorUnderTest(const AlloyLibrary& library, const std::string& device = "/dev/null")
        : path(home.file("test.lib")), dialog(port, prompter, chooser, clock, {device, 0, {}}) {
        WriteAll(path, LibrarySourceText(library));
        chooser.queuePath(path);
        QVERIFY(dialog.openLibrary());
        dialog.show();
    }
    // Selects the alloy's line in the grouped list.
    void select(const std::string& name) {
        auto* list = Control<QListWidget>(dialog, kGroupedList);
        const QList<QListWidgetItem*> found = list->findItems(QString::fromStdString("     " + name), Qt::MatchExactly);
        QVERIFY(!found.isEmpty());
        list->setCurrentItem(found.front());
    }
    QLineEdit* limitEdit(int pair, int side) { return Control<QLineEdit>(dialog, kFirstLimitEdit + 2 * pair + side); }

    ScratchHome home;
    std::string path;
    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    FastClock clock;
    InstrumentPort port;
    LibraryDialog dialog;
};

}  // namespace

class LibraryDialogTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The lists show the library, the edits follow the selection and the mode,
    // and an unchanged library is saved byte for byte and closes without a question.
    void showsTheLibraryAndSavesItUnchanged() {
        EditorUnderTest t(SmallLibrary());
        auto* grouped = Control<QListWidget>(t.dialog, kGroupedList);
        QCOMPARE(grouped->count(), kAlloyGroupCount + 4);
        QCOMPARE(grouped->item(1)->text(), QStringLiteral("     316"));
        QCOMPARE(Control<QLabel>(t.dialog, kCount)->text(), QStringLiteral("4"));
        t.select("316");
        QCOMPARE(t.limitEdit(kFe, 0)->text(), QStringLiteral("60.00"));
        QCOMPARE(t.limitEdit(kFe, 1)->text(), QStringLiteral("70.00"));
        QVERIFY(!t.limitEdit(kFe, 0)->isEnabled());  // browsing
        t.dialog.editAlloy();
        QVERIFY(t.limitEdit(kFe, 0)->isEnabled());
        QVERIFY(!t.limitEdit(11, 0)->isEnabled());  // Hf: no slot outside "BEGIN_TA_HF"
        QVERIFY(!FindControl(t.dialog, kSave)->isEnabled());
        t.dialog.cancelEdit();

        // The sorted view holds the alloys alone and follows the selection.
        t.dialog.toggleSort();
        auto* sorted = Control<QListWidget>(t.dialog, kSortedList);
        QCOMPARE(sorted->count(), 4);
        QCOMPARE(sorted->currentItem()->text(), QStringLiteral("     316"));
        QCOMPARE(Control<QPushButton>(t.dialog, kSort)->text(), QStringLiteral("Group"));
        QVERIFY(!FindControl(t.dialog, kInsert)->isEnabled());
        t.dialog.toggleSort();

        const std::string saved = t.home.file("saved.lib");
        t.chooser.queuePath(saved);
        t.dialog.saveLibrary();
        QCOMPARE(t.chooser.requests().back().purpose, kPurposeSaveLibrary);
        QCOMPARE(ReadText(saved), ReadText(t.path));
        t.dialog.closeEditor();  // unchanged: closes without a question
        QVERIFY(t.prompter.boxes().empty());
        QVERIFY(!t.dialog.isVisible());
    }

    // Apply: a refusal of the texts as typed is shown and editing goes on, stored
    // limits end it, a group conflict regroups on Yes; Close with changes asks.
    void applyRefusesBadLimitsAndRegroups() {
        EditorUnderTest t(SmallLibrary());
        t.select("316");
        t.dialog.editAlloy();
        t.limitEdit(kNi, 0)->setText(QStringLiteral("12 "));
        t.dialog.applyEdit();
        QCOMPARE(t.prompter.shown(), std::vector<std::string>{"Error: Please Enter a Valid Nubmber"});
        QVERIFY(t.dialog.editing());
        t.limitEdit(kNi, 0)->setText(QStringLiteral("0"));
        t.limitEdit(kNi, 1)->setText(QStringLiteral("100"));
        t.dialog.applyEdit();
        QVERIFY(!t.dialog.editing());
        QCOMPARE(t.dialog.edited().library.alloys[0].limits[kNi], (LimitPair{0, 10000}));
        QVERIFY(t.dialog.edited().changed);
        t.prompter.queueAnswer(Answer::No);
        t.dialog.closeEditor();
        QCOMPARE(t.prompter.shown().back(), std::string("Warning: Canceling will loose changes\nAre you sure?"));
        QVERIFY(t.dialog.isVisible());

        // An alloy whose limits belong in another group is moved there on Yes.
        t.prompter.clear();
        t.select("NiCo");
        t.dialog.editAlloy();
        t.prompter.queueAnswer(Answer::Yes);
        t.dialog.applyEdit();
        QCOMPARE(t.prompter.shown().size(), size_t{1});
        QCOMPARE(t.dialog.selectedLine()->group, 1);
        QCOMPARE(t.dialog.edited().library.alloys[1].name, std::string("NiCo"));
    }

    // Copy and Insert add below the selection and the count follows; Delete
    // never removes a group's header and is greyed on one.
    void insertCopyDeleteKeepHeaders() {
        EditorUnderTest t(SmallLibrary());
        t.select("316");
        t.dialog.copyAlloy();
        const AlloyLibrary& library = t.dialog.edited().library;
        QCOMPARE(library.alloys[1].name, std::string(kNewAlloyName));
        QCOMPARE(library.alloys[1].limits, library.alloys[0].limits);
        t.dialog.insertAlloy();
        QCOMPARE(Control<QLabel>(t.dialog, kCount)->text(), QStringLiteral("6"));
        t.dialog.deleteAlloy();  // the inserted one; the next line is selected
        t.dialog.deleteAlloy();  // that was the header of group 1: nothing happens
        QCOMPARE(library.alloys.size(), size_t{5});
        QVERIFY(t.dialog.selectedLine()->isHeader());
        QVERIFY(!FindControl(t.dialog, kDelete)->isEnabled());
    }

    // Send downloads every alloy and the search index, then enables the edits again.
    void sendsTheLibraryWhole() {
        TempDir dir;
        const std::string report = dir.file("report.txt");
        AnalyzerSimulator analyzer(ANALYZER_SIM_EXE, {"--library-screen", "--baud", "1", "--library-report", report});
        EditorUnderTest t(SmallLibrary(), analyzer.path());
        t.dialog.sendLibrary();
        QVERIFY(!FindControl(t.dialog, kSend)->isEnabled());
        QVERIFY(FindControl(t.dialog, kClose)->isEnabled());
        QVERIFY(QTest::qWaitFor([&] { return t.dialog.download().phase() == LibraryDownload::Phase::Done; }, kWaitMillis));
        QVERIFY(QTest::qWaitFor([&] { return ReadText(report) == CompleteReport(SmallLibrary()); }, 3000));
        QVERIFY(FindControl(t.dialog, kSend)->isEnabled());
        QVERIFY(!FindControl(t.dialog, kApply)->isEnabled());
        QVERIFY(!FindControl(t.dialog, library_control::kProgress)->isVisible());
        QVERIFY(!t.port.isOpen());
    }

    // Close during a download asks, stops it and closes the port.
    void closeStopsADownload() {
        TempDir dir;
        const std::string report = dir.file("report.txt");
        AnalyzerSimulator analyzer(ANALYZER_SIM_EXE, {"--library-screen", "--library-report", report});
        const AlloyLibrary many = Library({{0, std::vector<AlloyRecord>(100, Alloy("Many", {{kFe, {100, 200}}}))}});
        EditorUnderTest t(many, analyzer.path());
        t.dialog.sendLibrary();
        auto* progress = Control<QLabel>(t.dialog, library_control::kProgress);
        QVERIFY(QTest::qWaitFor([&] { return progress->isVisible() && progress->text().endsWith(QStringLiteral("% Complete")); },
                                kWaitMillis));
        t.prompter.queueAnswer(Answer::Yes);
        t.dialog.closeEditor();
        QCOMPARE(t.prompter.shown().back(),
                 std::string("Warning: Download in Progress\nLibrary on Instrument\nWill be Factory Default\nAre you sure?"));
        QCOMPARE(t.dialog.download().phase(), LibraryDownload::Phase::Aborted);
        QVERIFY(!t.dialog.isVisible());
        QVERIFY(!t.port.isOpen());
        QVERIFY(QTest::qWaitFor([&] { return ReadText(report).ends_with("aborted\n"); }, 5000));
    }
};

}  // namespace ravik::test

QTEST_MAIN(ravik::test::LibraryDialogTest)
#include "library_dialog_test.moc"
