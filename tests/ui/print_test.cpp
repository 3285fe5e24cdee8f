// Output from the desktop: the Print dialog's rules, its export and PDF
// paths, the printer's jobs into a PDF printer, "ravik print", and the
// spectrum windows the tables open.

#include <sys/stat.h>
#include <unistd.h>

#include <QProcess>
#include <QRegularExpression>
#include <filesystem>

#include "ui/frame/print_command.h"
#include "ui/output/print_dialog.h"
#include "ui/output/print_jobs.h"
#include "core/platform/file_chooser.h"
#include "ui_support.h"
#include "ui/views/spectrum_window.h"

namespace ravik::test {

namespace {

using namespace print_control;

// A frame on a file of Paint, Bulk and Thin readings.
struct OpenFrame : FrameUnderTest {
    OpenFrame() { openReadings("survey.qvr", {6, 5, 4, 0, 0}); }
    PrintDialogContext context() {
        return {program.store, program.settings, program.shell.currentFileName, program.shell.outputChoices,
                prompter, chooser};
    }
};

bool Enabled(const PrintDialog& dialog, int id) { return dialog.control(id)->isEnabled(); }

// pdftotext's text of a PDF file: laid out as on the page, or "-bbox" for each word's box.
QString PdfText(const std::string& path, const QString& form = QStringLiteral("-layout")) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {form, QString::fromStdString(path), QStringLiteral("-")});
    process.waitForFinished();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// A printer factory whose printers draw into the PDF file at path, with the
// given margins (none given: the printer's own).
std::function<std::unique_ptr<QPrinter>()> PdfPrinterInto(const std::string& path, double marginPoints = 0) {
    return [path, marginPoints] {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(QString::fromStdString(path));
        if (marginPoints > 0) {
            const QMarginsF margins(marginPoints, marginPoints, marginPoints, marginPoints);
            printer->setPageMargins(margins, QPageLayout::Point);
        }
        return printer;
    };
}

bool IsPdf(const std::string& path) { return ReadAll(path).rfind("%PDF-", 0) == 0; }

// "ravik print" in this process, on the Bulk table of input into dir's pdf.
int RunPrintInto(const TempDir& dir, const std::string& input, const std::string& pdf, Arguments extra = {}) {
    Arguments args = {input, "--mode", "bulk", "--table", "--settings-dir", dir.file("none"), "--pdf", dir.file(pdf)};
    args.insert(args.end(), extra.begin(), extra.end());
    return RunPrint(args);
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
    // The modes with readings, the kinds each mode has and the spectra a device
    // can take are the ones enabled.
    void dialogEnablesByModeAndDevice() {
        OpenFrame f;
        PrintDialog dialog(f.context());
        QVERIFY(Enabled(dialog, kFirstMode) && Enabled(dialog, kFirstMode + 2));
        QVERIFY(!Enabled(dialog, kFirstMode + 3) && !Enabled(dialog, kFirstMode + 4));  // no Alloy, no Sign
        QVERIFY(!Enabled(dialog, kHighSpectrum) && !Enabled(dialog, kPositive) && !Enabled(dialog, kSubResults));
        QVERIFY(Enabled(dialog, kStatus));
        QVERIFY(!Enabled(dialog, kConfigure));

        dialog.clickMode(Mode::Paint);
        QVERIFY(Enabled(dialog, kHighSpectrum) && Enabled(dialog, kNegative) && !Enabled(dialog, kFinalResults));
        f.program.shell.outputChoices.subResults = false;
        dialog.clickMode(Mode::Thin);
        QVERIFY(Enabled(dialog, kFinalResults) && dialog.control(kFinalResults)->isChecked());
        QVERIFY(!Enabled(dialog, kNegative));

        dialog.clickSpreadsheet();
        QVERIFY(!Enabled(dialog, kLowSpectrum) && !Enabled(dialog, kStatus));
        dialog.clickExportFile();
        QVERIFY(Enabled(dialog, kLowSpectrum) && Enabled(dialog, kStatus));
        f.program.settings.download = kDownloadNone;
        dialog.clickExportFile();
        QVERIFY(!Enabled(dialog, kLowSpectrum) && !Enabled(dialog, kHighSpectrum));
        dialog.clickPrinter();
        QVERIFY(Enabled(dialog, kLowSpectrum) && Enabled(dialog, kHighSpectrum));

        bool configured = false;
        dialog.setConfigureAction([&configured] { configured = true; });
        dialog.control(kConfigure)->click();
        QVERIFY(configured);
    }

    // OK needs a mode and a kind; OK sends the requests and, like Cancel,
    // remembers the choices, classes greyed for the last mode included.
    void okAndCancelRememberTheChoices() {
        OpenFrame f;
        {
            PrintDialog dialog(f.context());
            dialog.control(kLowSpectrum)->setChecked(false);
            QVERIFY(!dialog.pressOk());
            QCOMPARE(f.prompter.shown(), std::vector<std::string>{
                         "NOTICE: Must Select Paint, Bulk, Alloy or Thin\nand Table, L-Spect, K-Spect or Status"});
            dialog.control(kTable)->setChecked(true);
            dialog.pressCancel();
            QVERIFY(f.program.shell.outputChoices.table);
        }
        std::vector<PrintRequest> sent;
        {
            PrintDialog dialog(f.context());
            dialog.sendRequest = [&sent](const PrintRequest& request) { sent.push_back(request); };
            dialog.clickMode(Mode::Paint);
            dialog.control(kNegative)->setChecked(false);
            dialog.clickMode(Mode::Bulk);
            dialog.control(kHighSpectrum)->setChecked(true);
            QVERIFY(dialog.pressOk());
        }
        QVERIFY(!f.program.shell.outputChoices.negative);
        QCOMPARE(f.program.shell.outputChoices.mode, std::optional<Mode>(Mode::Bulk));
        const std::vector<PrintRequest> expected = {{PrintRequest::Kind::Table, 1}, {PrintRequest::Kind::Spectra, 107}};
        QVERIFY(sent == expected);
        PrintDialog again(f.context());
        QVERIFY(again.control(kFirstMode + 1)->isChecked() && again.control(kTable)->isChecked());
        QVERIFY(Enabled(again, kHighSpectrum));
    }

    // Export File, PDF File and Spreadsheet write the chosen kinds into the
    // file named in their dialog, a PDF never over the open readings file, its abort window
    // saying where the pages go; a PDF job
    // cancelled after its first page leaves no file.
    void exportAndPdfFilesHoldTheOutput() {
        for (const bool pdf : {false, true}) {
            OpenFrame f;
            const std::string chosen = f.dir.file(pdf ? "paint.pdf" : "bulk-report.tab");
            f.chooser.queuePath(chosen);
            PrintDialog dialog(f.context());
            dialog.clickMode(pdf ? Mode::Paint : Mode::Bulk);
            pdf ? dialog.clickPdfFile() : dialog.clickExportFile();
            dialog.control(kTable)->setChecked(true);
            if (pdf) dialog.control(kLowSpectrum)->setChecked(true);
            QStringList abortLines;  // the abort window's lines while the pages are made
            QTimer::singleShot(0, [&abortLines] {
                for (QWidget* window : QApplication::topLevelWidgets()) {
                    if (window->objectName() == "AbortDlg") {
                        for (const QLabel* line : window->findChildren<QLabel*>()) abortLines << line->text();
                    }
                }
            });
            QVERIFY(dialog.pressOk());
            if (pdf) QCOMPARE(abortLines.last(), "to PDF file.");
            QCOMPARE(f.chooser.requests().at(0).purpose, pdf ? kPurposePrintPdf : kPurposeSingleExport);
            const QString text = pdf ? PdfText(chosen) : QString::fromLatin1(ReadAll(chosen));
            const QStringList expected =
                pdf ? QStringList{"Paint Page 1", "Low Energy Spectrum"} : QStringList{"BULK\r\nHeader:\r\n"};
            for (const QString& part : expected) QVERIFY2(text.contains(part), qPrintable(text.left(200)));
        }

        {  // the Spreadsheet device: the table, ".xlsx" behind a name of no sheet extension
            OpenFrame f;
            f.chooser.queuePath(f.dir.file("bulk.sheet"));
            PrintDialog dialog(f.context());
            dialog.clickMode(Mode::Bulk);
            dialog.clickSpreadsheet();
            dialog.control(kTable)->setChecked(true);
            QVERIFY(dialog.pressOk());
            QCOMPARE(f.chooser.requests().at(0).purpose, kPurposeSpreadsheet);
            QCOMPARE(ReadAll(f.dir.file("bulk.sheet.xlsx")).substr(0, 2), "PK");
        }

        OpenFrame f;
        const std::string readings = ReadAll(f.program.shell.currentFileName);
        f.chooser.queuePath(f.program.shell.currentFileName);
        PrintDialog overInput(f.context());
        overInput.clickMode(Mode::Paint);
        overInput.clickPdfFile();
        overInput.control(kTable)->setChecked(true);
        overInput.pressOk();
        QCOMPARE(f.prompter.boxes().back().text, "Cannot Write Over the Input File\n" + f.program.shell.currentFileName);
        QCOMPARE(ReadAll(f.program.shell.currentFileName), readings);

        const std::string cancelled = f.dir.file("cancelled.pdf");
        const PrintSource source{f.program.store, f.program.settings, SelectionFrom(OutputChoices{}), ""};
        int pages = 0;
        const PageHooks cancelOnSecondPage{[&pages] { ++pages; }, [&pages] { return pages > 0; }};
        std::string error;
        QVERIFY(!PrintRequestsToPdf(cancelled, source, {{PrintRequest::Kind::Spectra, 1032}}, error, cancelOnSecondPage));
        QVERIFY(error.empty());
        QVERIFY(!FileExists(cancelled));
    }

    // "ravik print" writes its PDF by the rules of every output: never over
    // its input (nor a hard link to it), onto a FIFO or a device, and over an
    // existing file only with --force; a symbolic link is written through, a
    // name is kept byte for byte, a file of the user's named like a temporary
    // is left alone, and a write that fails part way (a full disk) keeps the
    // previous PDF and leaves nothing beside it.
    void printCommandKeepsTheOutputRules() {
        TempDir dir;
        const std::string input = WriteReadingsFile(dir, "survey.qvr", {0, 5, 0, 0, 0});
        const std::string readings = ReadAll(input);
        QCOMPARE(::link(input.c_str(), dir.file("linked.qvr").c_str()), 0);
        QCOMPARE(::mkfifo(dir.file("fifo.pdf").c_str(), 0600), 0);
        QCOMPARE(::symlink("/dev/null", dir.file("null.pdf").c_str()), 0);
        QCOMPARE(::symlink("target.pdf", dir.file("link.pdf").c_str()), 0);
        WriteAll(dir.file("target.pdf"), "target");
        WriteAll(dir.file("old.pdf"), "old");
        WriteAll(dir.file("new.pdf.part"), "notes");
        struct Case {
            const char* pdf;
            Arguments extra;
            int status;
            const char* holdsPdf;  // the file that then holds the PDF
        };
        const Case cases[] = {
            {"linked.qvr", {"--force"}, 1, nullptr},
            {"fifo.pdf", {"--force"}, 1, nullptr},
            {"null.pdf", {"--force"}, 1, nullptr},
            {"old.pdf", {}, 1, nullptr},
            {"new.pdf", {}, 0, "new.pdf"},
            {"old.pdf", {"--force"}, 0, "old.pdf"},
            {"link.pdf", {"--force"}, 0, "target.pdf"},
            {"caf\xE9.pdf", {}, 0, "caf\xE9.pdf"},  // a name that is no UTF-8
        };
        for (const Case& c : cases) {
            QVERIFY2(RunPrintInto(dir, input, c.pdf, c.extra) == c.status, c.pdf);
            if (c.holdsPdf) QVERIFY2(IsPdf(dir.file(c.holdsPdf)), c.pdf);
        }
        const std::string previous = ReadAll(dir.file("old.pdf"));
        int status = 0;
        WithFileSizeLimit(4096, [&] { status = RunPrintInto(dir, input, "old.pdf", {"--force", "--low"}); });
        QCOMPARE(status, 1);
        QCOMPARE(ReadAll(dir.file("old.pdf")), previous);

        QCOMPARE(ReadAll(input), readings);
        QCOMPARE(ReadAll(dir.file("new.pdf.part")), std::string("notes"));
        QVERIFY(std::filesystem::is_fifo(dir.file("fifo.pdf")));
        QVERIFY(std::filesystem::is_symlink(dir.file("null.pdf")) && std::filesystem::is_symlink(dir.file("link.pdf")));
        const std::set<std::string> expected = {"survey.qvr", "linked.qvr", "fifo.pdf", "null.pdf",     "link.pdf",
                                                "target.pdf", "old.pdf",    "new.pdf",  "new.pdf.part", "caf\xE9.pdf"};
        QVERIFY(dir.names() == expected);
    }

    // The printer commands draw their pages into the printer the frame makes;
    // no printer is a message.
    void printerJobsDrawIntoThePrinter() {
        OpenFrame f;
        const std::string pdf = f.dir.file("printer.pdf");
        f.frame->printerFactory = PdfPrinterInto(pdf);
        // Five Bulk readings, four to a page: two pages, the second "Page 2".
        f.frame->handleCommand(command::kPrintSpectra, 106);
        QString text = PdfText(pdf);
        QVERIFY2(text.contains(QStringLiteral("Bulk Page 2")) && !text.contains(QStringLiteral("Bulk Page 3")),
                 qPrintable(text));
        // Each plot's "No" is its reading's row in the Bulk table, not its
        // place in the file (the Bulk readings are not the file's first five).
        const QRegularExpression rowNumber(QStringLiteral("\\bNo: (\\d+)"));
        std::set<QString> numbers;
        for (const QRegularExpressionMatch& match : rowNumber.globalMatch(text)) numbers.insert(match.captured(1));
        QVERIFY2((numbers == std::set<QString>{"1", "2", "3", "4", "5"}), qPrintable(text));
        QVERIFY(f.frame->isEnabled());
        f.frame->handleCommand(command::kPrintTable, 2);
        text = PdfText(pdf);
        QVERIFY(text.contains(QStringLiteral("Thin Page 1")));
        QVERIFY(f.prompter.boxes().empty());

        f.frame->printerFactory = [] { return std::unique_ptr<QPrinter>(); };
        f.frame->handleCommand(command::kPrintTable, 0);
        QCOMPARE(f.prompter.boxes().back().text.rfind("Cannot print ", 0), size_t{0});
    }

    // Full status pages end with the last row that fits the printable height:
    // no word of any page reaches into the bottom margin.
    void statusPagesStayInsideThePrintableHeight() {
        FrameUnderTest f;
        f.openReadings("many.qvr", {150, 0, 0, 0, 0});
        const std::string pdf = f.dir.file("status.pdf");
        constexpr double kMarginPoints = 72;
        f.frame->printerFactory = PdfPrinterInto(pdf, kMarginPoints);
        f.frame->handleCommand(command::kPrintTable, kStatusTableSelector);
        const QString boxes = PdfText(pdf, QStringLiteral("-bbox"));
        const double pageHeight = QRegularExpression(QStringLiteral("<page width=\"[\\d.]+\" height=\"([\\d.]+)\""))
                                      .match(boxes).captured(1).toDouble();
        double lowest = 0;
        int pages = 0;
        for (const QRegularExpressionMatch& word : QRegularExpression(QStringLiteral("yMax=\"([\\d.]+)\"")).globalMatch(boxes)) {
            lowest = std::max(lowest, word.captured(1).toDouble());
        }
        for (auto it = QRegularExpression(QStringLiteral("<page ")).globalMatch(boxes); it.hasNext(); it.next()) ++pages;
        QVERIFY2(pages >= 2, qPrintable(boxes.left(400)));
        QVERIFY2(lowest <= pageHeight - kMarginPoints, qPrintable(QString::number(lowest)));
    }

    // With the User protocol the Paint spectrum header is long: the date
    // line goes below it, not over it, and above the plots (their captions).
    void spectrumHeaderLinesDoNotOverlap() {
        FrameUnderTest f;
        f.openReadings("paint.qvr", {2, 0, 0, 0, 0});
        f.program.settings.pcs = kPcsUser;
        const std::string pdf = f.dir.file("spectra.pdf");
        f.frame->printerFactory = PdfPrinterInto(pdf);
        f.frame->handleCommand(command::kPrintSpectra, kPaintLowKind);
        const QString boxes = PdfText(pdf, QStringLiteral("-bbox"));
        const auto box = [&](const QString& word) {  // xMin, yMin, xMax, yMax of its first occurrence
            const QRegularExpressionMatch m = QRegularExpression(QStringLiteral(
                "xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">%1<").arg(word)).match(boxes);
            return std::array<double, 4>{m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                                         m.captured(4).toDouble()};
        };
        const auto site = box(QStringLiteral("Site:")), ssec = box(QStringLiteral("Ssec")), date = box(QStringLiteral("Date:"));
        // Word boxes are taller than the line spacing: the next line's box starts past the middle of this one's.
        QVERIFY2(date[1] > (site[1] + site[3]) / 2 || date[0] > box(QStringLiteral("120"))[2], qPrintable(boxes.left(900)));
        QVERIFY(ssec[1] == site[1] && date[3] <= box(QStringLiteral("Energy"))[1]);
    }

    // A row's double-click opens its L spectrum once; that window opens the K
    // one, and Shift-click labels lines.
    void rowDoubleClickOpensOneSpectrumWindow() {
        OpenFrame f;
        TableView* view = f.view(Mode::Paint);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, RowPoint(*view, 1));
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, RowPoint(*view, 1));
        const int32_t reading = f.program.store.list(Mode::Paint).front();
        QList<SpectrumWindow*> windows = SpectrumWindows(*f.frame);
        QCOMPARE(windows.size(), 1);
        QCOMPARE(windows[0]->windowTitle(), QStringLiteral("Low Energy Meas #%1").arg(reading));

        SpectrumView* low = windows[0]->view();
        QTest::mouseDClick(low, Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
        windows = SpectrumWindows(*f.frame);
        QCOMPARE(windows.size(), 2);
        QCOMPARE(windows[1]->windowTitle(), QStringLiteral("High Energy Meas #%1").arg(reading));
        QTest::mouseDClick(windows[1]->view(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
        QCOMPARE(SpectrumWindows(*f.frame).size(), 2);

        // Shift-click labels the lines of the nearest element.
        low->parentWidget()->resize(700, 420);
        const std::optional<SpectrumViewPlot> plot = low->plot();
        QVERIFY(plot);
        QTest::mouseClick(low, Qt::LeftButton, Qt::ShiftModifier,
                          QPoint(static_cast<int>(plot->box.left + 105 * plot->xScale + 0.5), 60));
        QCOMPARE(low->labels().front().text, std::string("<-Pb=10.50"));
    }
};

}  // namespace ravik::test

QTEST_MAIN(ravik::test::PrintTest)
#include "print_test.moc"
