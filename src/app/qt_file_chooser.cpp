#include "app/qt_file_chooser.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>

#include "desktop/qt_text.h"

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
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !dialogDescription->confirmOverwrite);
    dialog.setDefaultSuffix(ToQString(dialogDescription->defaultExtension));
    const QStringList filters = NameFilters(dialogDescription->filter);
    dialog.setNameFilters(filters);
    if (dialogDescription->selectedFilter >= 0 && dialogDescription->selectedFilter < filters.size()) {
        dialog.selectNameFilter(filters[dialogDescription->selectedFilter]);
    }
    const QFileInfo start(PathToQString(path));
    if (!path.empty() && start.dir().exists()) dialog.setDirectory(start.dir());
    if (!dialogDescription->startName.empty()) dialog.selectFile(PathToQString(dialogDescription->startName));

    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    path = PathFromQString(dialog.selectedFiles().constFirst());
    return true;
}

}  // namespace ravik
