// The frame's client report commands: File, Report... (All or Marked
// readings, then the preview window with Print and Save PDF) and File,
// Report Setup... (the template in report.ini).

#include <QAction>
#include <QMenu>

#include "core/output/report_layout.h"
#include "core/shell/command_ids.h"
#include "core/platform/data_dir.h"
#include "core/platform/prompter.h"
#include "ui/frame/frame_window.h"
#include "ui/output/report_setup_dialog.h"
#include "ui/output/report_window.h"

namespace ravik {

namespace {
constexpr int kAllId = 1;
constexpr int kMarkedId = 3;
constexpr int kSetupId = 4;
}  // namespace

void FrameWindow::addReportCommands() {
    QAction* before = commandAction(command::kPrinterSetup);
    auto* fileMenu = before != nullptr ? qobject_cast<QMenu*>(before->parent()) : nullptr;
    if (fileMenu == nullptr) return;
    reportAction_ = new QAction(QStringLiteral("&Report...\tCtrl+R"), fileMenu);
    reportAction_->setObjectName(QStringLiteral("report"));
    reportAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    reportAction_->setShortcutContext(Qt::ApplicationShortcut);
    connect(reportAction_, &QAction::triggered, this, [this] { report(); });
    auto* setup = new QAction(QStringLiteral("Report Set&up..."), fileMenu);
    setup->setObjectName(QStringLiteral("reportSetup"));
    connect(setup, &QAction::triggered, this, [this] { reportSetup(); });
    fileMenu->insertAction(before, reportAction_);
    fileMenu->insertAction(before, setup);
}

bool FrameWindow::reportSetup() {
    const std::string directory = DataDirectory();
    ReportTemplate value;
    std::vector<std::string> warnings;
    LoadDataDirectoryTemplate(directory, value, warnings);
    ReportSetupDialog dialog(DataFilePath(directory, kReportTemplateName), value, warnings, prompter_, this);
    return dialog.exec() == QDialog::Accepted;
}

ReportPreviewWindow* FrameWindow::openReportPreview(bool markedOnly) {
    ReportRequest request;
    request.markedOnly = markedOnly;
    std::string error;
    std::optional<ReportContent> content = BuildReportContent(program_.store, program_.settings, request, error);
    if (!content) {
        prompter_.notice("Nothing to report: " + error, "Report");
        return nullptr;
    }
    ReportSource source;
    std::vector<std::string> warnings;
    LoadDataDirectoryTemplate(DataDirectory(), source.layoutTemplate, warnings);
    source.content = std::move(*content);
    source.date = ReportDateToday();
    auto* window = new ReportPreviewWindow(std::move(source), std::move(warnings), program_.shell.currentFileName,
                                           prompter_, this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    return window;
}

void FrameWindow::report() {
    if (!program_.store.hasReadings()) return;
    while (true) {
        const bool anyMarked = CountMarked(program_.store) > 0;
        ChoiceDialog choice{"REPORT", "Report", "Which readings go into the report?", {}, kAllId};
        choice.buttons.push_back({kAllId, "&All"});
        if (anyMarked) choice.buttons.push_back({kMarkedId, "&Marked"});
        choice.buttons.push_back({kSetupId, "Report &Setup..."});
        choice.buttons.push_back({kCancelId, "&Cancel"});
        const int answer = prompter_.choose(choice);
        if (answer == kSetupId) {
            reportSetup();
            continue;
        }
        if (answer != kAllId && answer != kMarkedId) return;
        if (ReportPreviewWindow* window = openReportPreview(answer == kMarkedId)) window->open();
        return;
    }
}

}  // namespace ravik
