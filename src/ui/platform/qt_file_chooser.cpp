#include "ui/platform/qt_file_chooser.h"

#include <QApplication>
#include <QFileDialog>
#include <QRegularExpression>
#include <QFileInfo>
#include <QHeaderView>
#include <QTreeView>

#include "ui/common/qt_text.h"
#include "core/readings/readings_saver.h"

namespace ravik {

namespace {

// "*.*" means every file; on this system that is "*".
QString Pattern(const std::string& pattern) {
    return pattern == "*.*" ? QStringLiteral("*") : ToQString(pattern);
}

QStringList NameFilters(const std::string& filter) {
    QStringList filters;
    for (const FileFilter& f : SplitFilterString(filter)) {
        filters << ToQString(f.description) + QStringLiteral(" (") + Pattern(f.pattern) + QStringLiteral(")");
    }
    return filters;
}

// Large enough to show the name, size, type and date columns whole.
void ShowDetails(QFileDialog& dialog) {
    dialog.setViewMode(QFileDialog::Detail);
    dialog.resize(960, 600);
    if (auto* list = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        QHeaderView* header = list->header();
        header->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int column = 1; column < header->count(); ++column) {
            header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
        }
    }
}

// A readings file is written under its mode's extension (".qvr", or ".lck"
// for a locked store), which may not be the name typed.
bool SavesReadings(int purpose) { return purpose == kPurposeSaveReadings || purpose == kPurposeSaveLocked; }

}  // namespace

bool QtFileChooser::askFileName(std::string& path, int purpose) {
    const FileDialogState state{program_.store.locked, program_.settings.exportForm, program_.settings.download};
    const std::optional<FileDialogSpec> dialogDescription = DescribeFileDialog(purpose, path, state);
    if (!dialogDescription) return false;

    QFileDialog dialog(QApplication::activeWindow());
    // The program's own dialog: its filters match extensions in any letter
    // case, as the system compares them.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    if (!dialogDescription->title.empty()) dialog.setWindowTitle(ToQString(dialogDescription->title));
    const bool save = dialogDescription->kind == FileDialogKind::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(!save && dialogDescription->fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    // The replace question of a readings file names the file that will be
    // written; the chooser asks it below, once.
    const bool readings = SavesReadings(purpose);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, readings || !dialogDescription->confirmOverwrite);
    ShowDetails(dialog);
    dialog.setDefaultSuffix(ToQString(dialogDescription->defaultExtension));
    const QStringList filters = NameFilters(dialogDescription->filter);
    dialog.setNameFilters(filters);
    if (dialogDescription->selectedFilter >= 0 && dialogDescription->selectedFilter < filters.size()) {
        dialog.selectNameFilter(filters[dialogDescription->selectedFilter]);
    }
    if (purpose == kPurposeSpreadsheet) {
        // The format follows the filter chosen: a name typed without an
        // extension takes the filter's.
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
            const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("\\*\\.(\\w+)\\)")).match(filter);
            if (match.hasMatch()) dialog.setDefaultSuffix(match.captured(1));
        });
    }
    const QFileInfo start(PathToQString(path));
    if (!path.empty() && start.dir().exists()) dialog.setDirectory(start.dir());
    if (!dialogDescription->startName.empty()) dialog.selectFile(PathToQString(dialogDescription->startName));

    while (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        std::string chosen = PathFromQString(dialog.selectedFiles().constFirst());
        if (readings) chosen = SaveTargetName(chosen, program_.store.locked || purpose == kPurposeSaveLocked);
        // A No to the replace question lets the user choose another name.
        if (readings && dialogDescription->confirmOverwrite && !ConfirmOverwrite(prompter_, chosen)) continue;
        path = chosen;
        return true;
    }
    return false;
}

}  // namespace ravik
