#include "app/qt_file_chooser.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>

#include "app/qt_text.h"

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
    const std::optional<FileDialogSpec> spec = DescribeFileDialog(purpose, path, state);
    if (!spec) return false;

    QFileDialog dialog(QApplication::activeWindow());
    // The program's own dialog: its filters match extensions in any letter
    // case, as the system compares them.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    if (!spec->title.empty()) dialog.setWindowTitle(ToQString(spec->title));
    const bool save = spec->kind == FileDialogKind::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(!save && spec->fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !spec->confirmOverwrite);
    dialog.setDefaultSuffix(ToQString(spec->defaultExtension));
    const QStringList filters = NameFilters(spec->filter);
    dialog.setNameFilters(filters);
    if (spec->selectedFilter >= 0 && spec->selectedFilter < filters.size()) {
        dialog.selectNameFilter(filters[spec->selectedFilter]);
    }
    const QFileInfo start(PathToQString(path));
    if (!path.empty() && start.dir().exists()) dialog.setDirectory(start.dir());
    if (!spec->startName.empty()) dialog.selectFile(PathToQString(spec->startName));

    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    path = PathFromQString(dialog.selectedFiles().constFirst());
    return true;
}

}  // namespace ravik
