// The client report from the desktop: File, Report... asks All or Marked,
// the preview window builds its pages and saves them as a PDF, and Report
// Setup writes the template.

#include <QAction>
#include <QLineEdit>
#include <QPrintPreviewWidget>
#include <QtTest>

#include "core/output/report_template.h"
#include "core/platform/data_dir.h"
#include "ui/frame/frame_window.h"
#include "ui/output/report_setup_dialog.h"
#include "ui/output/report_window.h"
#include "ui_support.h"

namespace ravik::test {

class ReportTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void reportCommandAsksForReadingsAndPreviewSavesPdf() {
        FrameUnderTest f;
        const std::string input = f.openReadings("survey.qvr", {6, 5, 0, 2, 0});
        QAction* report = f.frame->findChild<QAction*>(QStringLiteral("report"));
        QVERIFY(report != nullptr && report->isEnabled());
        f.prompter.queueChoice(kCancelId);
        report->trigger();
        QCOMPARE(f.prompter.dialogs().size(), size_t{1});
        // Nothing is marked: All, Report Setup and Cancel.
        QCOMPARE(f.prompter.dialogs()[0].buttons.size(), size_t{3});

        std::unique_ptr<ReportPreviewWindow> window(f.frame->openReportPreview(false));
        QVERIFY(window != nullptr);
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        window->preview()->updatePreview();
        QVERIFY(window->preview()->pageCount() > 2);
        const std::string pdf = f.dir.file("report.pdf");
        QVERIFY(window->savePdf(pdf));
        QCOMPARE(ReadAll(pdf).substr(0, 5), std::string("%PDF-"));
        f.prompter.clear();
        QVERIFY(!window->savePdf(input));
        QCOMPARE(f.prompter.captions(), std::vector<std::string>{"SAVE ERROR"});
        QVERIFY(f.frame->openReportPreview(true) == nullptr);  // nothing marked
    }

    void reportSetupWritesTheTemplate() {
        FrameUnderTest f;
        const std::string path = DataFilePath(DataDirectory(), kReportTemplateName);
        ReportTemplate value;
        value.firmName = "Firm";
        ReportSetupDialog dialog(path, value, {"report.ini line 3 (client): not UTF-8 text, left out"}, f.prompter);
        QVERIFY(dialog.findChild<QWidget*>(QStringLiteral("warnings")) != nullptr);
        dialog.field("client")->setText(QStringLiteral("Étude"));
        QVERIFY(dialog.accept_());
        std::vector<std::string> warnings;
        ReportTemplate read;
        QVERIFY(ReadReportTemplate(path, read, warnings));
        QCOMPARE(read.firmName, std::string("Firm"));
        QCOMPARE(read.clientName, std::string("\xC3\x89tude"));
    }
};

}  // namespace ravik::test

QTEST_MAIN(ravik::test::ReportTest)
#include "report_test.moc"
