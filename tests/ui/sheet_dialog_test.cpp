// The Print dialog's Spreadsheet device: its wiring to the spreadsheet file.

#include "core/platform/file_chooser.h"
#include "ui/output/print_dialog.h"
#include "ui_support.h"

namespace ravik::test {

using namespace print_control;

class SheetDialogTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // It greys the kinds a sheet cannot hold, writes the table under the
    // name chosen (".xlsx" behind a name of no sheet extension) and is
    // remembered; another device gives them back.
    void spreadsheetDeviceWritesTheTable() {
        FrameUnderTest f;
        f.openReadings("survey.qvr", {6, 5, 0, 0, 0});
        const PrintDialogContext context{f.program.store, f.program.settings, f.program.shell.currentFileName,
                                         f.program.shell.outputChoices, f.prompter, f.chooser};
        PrintDialog dialog(context);
        dialog.clickMode(Mode::Bulk);
        dialog.clickSpreadsheet();
        QVERIFY(!dialog.control(kLowSpectrum)->isEnabled() && !dialog.control(kStatus)->isEnabled());
        dialog.control(kTable)->setChecked(true);
        f.chooser.queuePath(f.dir.file("bulk.sheet"));
        QVERIFY(dialog.pressOk());
        QCOMPARE(f.chooser.requests().back().purpose, kPurposeSpreadsheet);
        QCOMPARE(ReadAll(f.dir.file("bulk.sheet.xlsx")).substr(0, 2), "PK");
        PrintDialog again(context);
        QVERIFY(again.control(kSpreadsheet)->isChecked() && !again.control(kStatus)->isEnabled());
        again.clickPrinter();
        QVERIFY(again.control(kStatus)->isEnabled() && again.control(kLowSpectrum)->isEnabled());
    }
};

}  // namespace ravik::test

QTEST_MAIN(ravik::test::SheetDialogTest)
#include "sheet_dialog_test.moc"
