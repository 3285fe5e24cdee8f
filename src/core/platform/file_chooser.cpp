#include "core/platform/file_chooser.h"

#include <strings.h>

#include <algorithm>

#include "core/platform/file_io.h"
#include "core/platform/prompter.h"
#include "core/platform/text1252.h"
#include "core/settings/settings.h"

namespace ravik {

namespace {

std::string FileNamePart(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool EndsWithIgnoringCase(const std::string& text, const char* ending) {
    const size_t length = std::char_traits<char>::length(ending);
    return text.size() >= length && strcasecmp(text.c_str() + text.size() - length, ending) == 0;
}

// The library dialogs start from the name with ".LIB" behind it.
std::string LibraryStartName(const std::string& path) {
    const std::string name = FileNamePart(path);
    return EndsWithIgnoringCase(name, ".lib") ? name : name + ".LIB";
}

// The open file's name with extension in place of its own: Save As Locked
// offers the locked extension, the export dialogs the export's.
std::string StartNameAs(const std::string& path, const char* extension) {
    const std::string name = FileNamePart(path);
    if (name.empty()) return name;
    return name.substr(0, ExtensionStart(name)) + extension;
}

bool TabExportForm(int exportForm) { return exportForm == 0 || exportForm == 2; }

FileDialogSpec Save(const char* filter, bool confirmOverwrite) {
    FileDialogSpec dialog;
    dialog.kind = FileDialogKind::Save;
    dialog.filter = filter;
    dialog.defaultExtension = "Lib";
    dialog.confirmOverwrite = confirmOverwrite;
    return dialog;
}

FileDialogSpec Open(const char* filter) {
    FileDialogSpec dialog;
    dialog.kind = FileDialogKind::Open;
    dialog.filter = filter;
    return dialog;
}

}  // namespace

std::vector<FileFilter> SplitFilterString(std::string_view filter) {
    std::vector<FileFilter> filters;
    if (filter.empty()) return filters;
    const char separator = filter.back();
    std::vector<std::string_view> texts;
    size_t start = 0;
    for (size_t at = filter.find(separator); at != std::string_view::npos; at = filter.find(separator, start)) {
        texts.push_back(filter.substr(start, at - start));
        start = at + 1;
    }
    for (size_t i = 0; i + 1 < texts.size(); i += 2) {
        filters.push_back({std::string(texts[i]), std::string(texts[i + 1])});
    }
    return filters;
}

std::optional<FileDialogSpec> DescribeFileDialog(int purpose, const std::string& startPath,
                                                 const FileDialogState& state) {
    FileDialogSpec dialog;
    switch (purpose) {
        case kPurposeSaveReadings:
            dialog = Save(state.locked ? kLockedFilter : kReadingsFilter, true);
            dialog.title = "Save QV File As";
            break;
        case kPurposeOpenReadings:
            dialog = Open(kReadingsOrLockedFilter);
            dialog.title = "Open QV File";
            dialog.fileMustExist = true;
            break;
        case kPurposeMultiExport:
            dialog = Save(kMultiExportFilter, false);
            break;
        case kPurposeSingleExport:
            // The export itself asks about the files it will write, which
            // need not be the name typed.
            dialog = Save(TabExportForm(state.exportForm) ? kTabExportFilter : kCommaExportFilter, false);
            break;
        case kPurposeSaveLibrary:
            dialog = Save(kLibraryFilter, true);
            break;
        case kPurposeShapeFile:
            dialog = Open(kShapeFilter);
            break;
        case kPurposeSaveLocked:
            dialog = Save(kLockedFilter, true);
            break;
        case kPurposeOpenLibrary:
            dialog = Open(kLibraryFilter);
            break;
        case kPurposePrintPdf:
            dialog = Save(kPdfFilter, true);
            dialog.title = "Print to PDF File";
            dialog.defaultExtension = "pdf";
            break;
        case kPurposeSpreadsheet:
            dialog = Save(kSpreadsheetFilter, true);
            dialog.title = "Spreadsheet File";
            dialog.defaultExtension = "xlsx";
            break;
        default:
            return std::nullopt;
    }
    if (purpose == kPurposeSaveLibrary || purpose == kPurposeOpenLibrary) {
        dialog.startName = LibraryStartName(startPath);
    } else if (purpose == kPurposeSaveLocked) {
        dialog.startName = StartNameAs(startPath, ".lck");
    } else if (purpose == kPurposeSingleExport) {
        dialog.startName = StartNameAs(startPath, TabExportForm(state.exportForm) ? ".tab" : ".csv");
    } else if (purpose == kPurposeMultiExport) {
        dialog.startName = StartNameAs(startPath, ".pnt");
    } else if (purpose == kPurposeSpreadsheet) {
        dialog.startName = StartNameAs(startPath, ".xlsx");
    } else if (purpose != kPurposeOpenReadings) {
        dialog.startName = FileNamePart(startPath);
    }
    // The second filter when nothing was received or opened yet; a filter
    // string of one pair has only the first. Open always offers the
    // readings files first, the files it is there for.
    const int pairs = static_cast<int>(SplitFilterString(dialog.filter).size());
    const bool second = state.download == kDownloadNone && purpose != kPurposeOpenReadings;
    dialog.selectedFilter = std::min(second ? 1 : 0, pairs - 1);
    return dialog;
}

std::string SiteStartName(const std::string& site) {
    std::string name = Cp1252ToUtf8(site);
    for (char& c : name) {
        if (c == '/' || static_cast<unsigned char>(c) < 0x20) c = '_';
    }
    // Dots at the ends would make a hidden file, a directory or an empty extension.
    const size_t first = name.find_first_not_of(" .");
    if (first == std::string::npos) return {};
    return name.substr(first, name.find_last_not_of(" .") - first + 1);
}

bool ConfirmOverwrite(Prompter& prompter, const std::string& path) {
    if (!FileExists(path)) return true;
    return prompter.askWithDefault(path + "\nThis file already exists.\n\nReplace existing file?", "Save As",
                                   Buttons::YesNo, Icon::Information, Answer::No) == Answer::Yes;
}

}  // namespace ravik
