// Output from the desktop: the Print dialog's rules, its export and PDF
// paths, the printer's jobs into a PDF printer, and the spectrum windows
// the tables open.

#include <QAbstractButton>
#include <QFile>
#include <QMdiArea>
#include <QProcess>
#include <QTest>

#include "desktop/command_ids.h"
#include "output/print_dialog.h"
#include "output/print_jobs.h"
#include "platform/file_chooser.h"
#include "ui_support.h"
#include "views/spectrum_window.h"
#include "views/table_window.h"

namespace ravik::test {

namespace {

using namespace print_control;

// A frame on a file of Paint, Bulk and Thin readings.
struct OpenFrame {
    OpenFrame() { t.open(WriteReadingsFile(dir, "survey.qvr", {6, 5, 4, 0, 0})); }
    PrintDialogContext context() {
        return {t.program.store, t.program.settings, t.program.shell.currentFileName, t.program.shell.outputChoices,
                t.prompter, t.chooser};
    }
    TempDir dir;
    FrameUnderTest t;
};

bool Enabled(const PrintDialog& dialog, int id) { return dialog.control(id)->isEnabled(); }

QString PdfText(const std::string& path) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QString::fromStdString(path), QStringLiteral("-")});
    process.waitForFinished();
    return QString::fromUtf8(process.readAllStandardOutput());
}

QList<SpectrumWindow*> SpectrumWindows(const FrameWindow& frame) {
    QList<SpectrumWindow*> windows;
    for (QMdiSubWindow* window : frame.mdiArea()->subWindowList()) {
        if (auto* spectrum = qobject_cast<SpectrumWindow*>(window)) windows.append(spectrum);
    }
    return windows;
}

}  // namespace

class PrintTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void dialogEnablesByModeAndDevice();
    void okWithoutAKindShowsTheNotice();
    void classesAreReadWhileGreyed();
    void exportFileWritesTheExport();
    void pdfFileHoldsThePrintedPages();
    void printerJobsDrawIntoThePrinter();
    void rowDoubleClickOpensOneSpectrumWindow();
};

void PrintTest::dialogEnablesByModeAndDevice() {
    OpenFrame f;
    PrintDialog dialog(f.context());
    QVERIFY(Enabled(dialog, kFirstMode) && Enabled(dialog, kFirstMode + 2));
    QVERIFY(!Enabled(dialog, kFirstMode + 3) && !Enabled(dialog, kFirstMode + 4));  // no Alloy, no Sign
    QVERIFY(!Enabled(dialog, kHighSpectrum) && !Enabled(dialog, kPositive) && !Enabled(dialog, kSubResults));
    QVERIFY(Enabled(dialog, kStatus));
    QVERIFY(!Enabled(dialog, kConfigure));

    dialog.clickMode(Mode::Paint);
    QVERIFY(Enabled(dialog, kHighSpectrum) && Enabled(dialog, kNegative) && !Enabled(dialog, kFinalResults));
    f.t.program.shell.outputChoices.subResults = false;
    dialog.clickMode(Mode::Thin);
    QVERIFY(Enabled(dialog, kFinalResults) && dialog.control(kFinalResults)->isChecked());
    QVERIFY(!Enabled(dialog, kNegative));

    f.t.program.settings.download = kDownloadNone;
    dialog.clickExportFile();
    QVERIFY(!Enabled(dialog, kLowSpectrum) && !Enabled(dialog, kHighSpectrum));
    dialog.clickPrinter();
    QVERIFY(Enabled(dialog, kLowSpectrum) && Enabled(dialog, kHighSpectrum));

    bool configured = false;
    dialog.setConfigureAction([&configured] { configured = true; });
    dialog.control(kConfigure)->click();
    QVERIFY(configured);
}

void PrintTest::okWithoutAKindShowsTheNotice() {
    OpenFrame f;
    PrintDialog dialog(f.context());
    dialog.control(kLowSpectrum)->setChecked(false);
    QVERIFY(!dialog.pressOk());
    QCOMPARE(f.t.prompter.shown(), std::vector<std::string>{
                                       "NOTICE: Must Select Paint, Bulk, Alloy or Thin\nand Table, L-Spect, K-Spect or Status"});
    // Cancel remembers the kinds ticked.
    dialog.control(kTable)->setChecked(true);
    dialog.pressCancel();
    QVERIFY(f.t.program.shell.outputChoices.table);
}

void PrintTest::classesAreReadWhileGreyed() {
    OpenFrame f;
    std::vector<PrintRequest> sent;
    {
        PrintDialog dialog(f.context());
        dialog.sendRequest = [&sent](const PrintRequest& request) { sent.push_back(request); };
        dialog.clickMode(Mode::Paint);
        dialog.control(kNegative)->setChecked(false);
        dialog.clickMode(Mode::Bulk);
        dialog.control(kTable)->setChecked(true);
        dialog.control(kHighSpectrum)->setChecked(true);
        QVERIFY(dialog.pressOk());
    }
    QVERIFY(!f.t.program.shell.outputChoices.negative);
    QCOMPARE(f.t.program.shell.outputChoices.mode, std::optional<Mode>(Mode::Bulk));
    const std::vector<PrintRequest> expected = {{PrintRequest::Kind::Table, 1}, {PrintRequest::Kind::Spectra, 107}};
    QVERIFY(sent == expected);
    // The dialog opens again with what it remembered.
    PrintDialog again(f.context());
    QVERIFY(again.control(kFirstMode + 1)->isChecked() && again.control(kTable)->isChecked());
    QVERIFY(Enabled(again, kHighSpectrum));
}

void PrintTest::exportFileWritesTheExport() {
    OpenFrame f;
    const std::string chosen = f.dir.file("bulk-report.tab");
    f.t.chooser.queuePath(chosen);
    PrintDialog dialog(f.context());
    dialog.clickMode(Mode::Bulk);
    dialog.clickExportFile();
    dialog.control(kTable)->setChecked(true);
    QVERIFY(dialog.pressOk());
    QCOMPARE(f.t.chooser.requests().at(0).purpose, kPurposeSingleExport);
    QFile file(QString::fromStdString(chosen));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("BULK\r\nHeader:\r\n"));
}

void PrintTest::pdfFileHoldsThePrintedPages() {
    OpenFrame f;
    const std::string chosen = f.dir.file("paint.pdf");
    f.t.chooser.queuePath(chosen);
    PrintDialog dialog(f.context());
    dialog.clickMode(Mode::Paint);
    dialog.clickPdfFile();
    dialog.control(kTable)->setChecked(true);
    dialog.control(kLowSpectrum)->setChecked(true);
    QVERIFY(dialog.pressOk());
    QCOMPARE(f.t.chooser.requests().at(0).purpose, kPurposePrintPdf);
    const QString text = PdfText(chosen);
    QVERIFY2(text.contains(QStringLiteral("Paint Page 1")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Low Energy Spectrum")));
    QVERIFY(!QFile::exists(QString::fromStdString(chosen + ".part")));

    // A job cancelled after its first page leaves no file.
    const std::string cancelled = f.dir.file("cancelled.pdf");
    const PrintSource source{f.t.program.store, f.t.program.settings, SelectionFrom(OutputChoices{}), ""};
    int pages = 0;
    const PageHooks cancelOnSecondPage{[&pages] { ++pages; }, [&pages] { return pages > 0; }};
    std::string error;
    QVERIFY(!PrintRequestsToPdf(cancelled, source, {{PrintRequest::Kind::Spectra, 1032}}, error, cancelOnSecondPage));
    QVERIFY(error.empty());
    QVERIFY(!QFile::exists(QString::fromStdString(cancelled)));
    QVERIFY(!QFile::exists(QString::fromStdString(cancelled + ".part")));
}

void PrintTest::printerJobsDrawIntoThePrinter() {
    OpenFrame f;
    const std::string pdf = f.dir.file("printer.pdf");
    f.t.frame->printerFactory = [&pdf] {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(QString::fromStdString(pdf));
        return printer;
    };
    // Five Bulk readings, four to a page: two pages, the second "Page 2".
    f.t.frame->handleCommand(command::kPrintSpectra, 106);
    QString text = PdfText(pdf);
    QVERIFY2(text.contains(QStringLiteral("Bulk Page 2")) && !text.contains(QStringLiteral("Bulk Page 3")),
             qPrintable(text));
    QVERIFY(f.t.frame->isEnabled());
    f.t.frame->handleCommand(command::kPrintTable, 2);
    text = PdfText(pdf);
    QVERIFY(text.contains(QStringLiteral("Thin Page 1")));
    QVERIFY(f.t.prompter.boxes().empty());

    f.t.frame->printerFactory = [] { return std::unique_ptr<QPrinter>(); };
    f.t.frame->handleCommand(command::kPrintTable, 0);
    QCOMPARE(f.t.prompter.boxes().back().text.rfind("Cannot print ", 0), size_t{0});
}

void PrintTest::rowDoubleClickOpensOneSpectrumWindow() {
    OpenFrame f;
    TableView* view = f.t.frame->tableWindow(Mode::Paint)->view();
    const QPoint row1(40, view->rowHeight() + view->rowHeight() / 2);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, row1);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, row1);
    const int32_t reading = f.t.program.store.list(Mode::Paint).front();
    QList<SpectrumWindow*> windows = SpectrumWindows(*f.t.frame);
    QCOMPARE(windows.size(), 1);
    QCOMPARE(windows[0]->windowTitle(), QStringLiteral("Low Energy Meas #%1").arg(reading));

    // The L window's double-click opens the K window; the K window's opens nothing.
    SpectrumView* low = windows[0]->view();
    QTest::mouseDClick(low, Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
    windows = SpectrumWindows(*f.t.frame);
    QCOMPARE(windows.size(), 2);
    QCOMPARE(windows[1]->windowTitle(), QStringLiteral("High Energy Meas #%1").arg(reading));
    QTest::mouseDClick(windows[1]->view(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
    QCOMPARE(SpectrumWindows(*f.t.frame).size(), 2);

    // Right double-click: the editor's hook, when the frame has one.
    int32_t edited = 0;
    f.t.frame->spectrumEditAction = [&edited](int32_t shown) { edited = shown; };
    QTest::mouseDClick(low, Qt::RightButton, Qt::NoModifier, QPoint(50, 50));
    QCOMPARE(edited, reading);

    // Shift-click labels the lines of the nearest element.
    low->parentWidget()->resize(700, 420);
    const std::optional<SpectrumViewPlot> plot = low->plot();
    QVERIFY(plot);
    QTest::mouseClick(low, Qt::LeftButton, Qt::ShiftModifier,
                      QPoint(static_cast<int>(plot->box.left + 105 * plot->xScale + 0.5), 60));
    QCOMPARE(low->labels().front().text, std::string("<-Pb=10.50"));
}

}  // namespace ravik::test

QTEST_MAIN(ravik::test::PrintTest)
#include "print_test.moc"
