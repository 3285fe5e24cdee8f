#pragma once
// Choosing a file name: the program's open and save dialogs, each chosen by
// a purpose code (the command that asks), and the replace question. The
// dialogs themselves belong to the desktop side, which reads what each
// purpose shows from DescribeFileDialog; the core only calls FileChooser.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/settings/settings.h"

namespace ravik {

class Prompter;

inline constexpr int kPurposeSaveReadings = 111;  // Save As, receive
inline constexpr int kPurposeOpenReadings = 112;  // Open, Append
inline constexpr int kPurposeMultiExport = 121;
inline constexpr int kPurposeSingleExport = 122;
inline constexpr int kPurposeSaveLibrary = 128;
inline constexpr int kPurposeShapeFile = 130;
inline constexpr int kPurposeSaveLocked = 173;  // Save As Locked, receive
inline constexpr int kPurposeOpenLibrary = 1222;
inline constexpr int kPurposePrintPdf = 1115;  // the Print dialog's PDF file
inline constexpr int kPurposeSpreadsheet = 1116;  // the Print dialog's spreadsheet file

// The filter strings of the string table: (description, pattern) pairs, each
// text ended by the separator, which is the string's last character.
inline constexpr const char* kLockedFilter = "Locked File(*.lck)|*.lck|";
inline constexpr const char* kReadingsFilter = "New XRF File(*.qvr)|*.qvr|All Files (*.*)|*.*|";
inline constexpr const char* kReadingsOrLockedFilter =
    "New XRF File(*.qvr)|*.qvr|Locked File(*.lck)|*.lck|All Files (*.*)|*.*|";
inline constexpr const char* kMultiExportFilter = "Export File(*.pnt)|*.pnt|All Files (*.*)|*.*|";
inline constexpr const char* kTabExportFilter = "Export File(*.tab)|*.tab|All Files (*.*)|*.*|";
inline constexpr const char* kCommaExportFilter = "Export File(*.csv)|*.csv|All Files (*.*)|*.*|";
inline constexpr const char* kLibraryFilter = "Alloy Library File(*.lib)|*.lib|All Files (*.*)|*.*|";
inline constexpr const char* kPdfFilter = "PDF File(*.pdf)|*.pdf|All Files (*.*)|*.*|";
inline constexpr const char* kSpreadsheetFilter =
    "Spreadsheet Workbook(*.xlsx)|*.xlsx|CSV File(*.csv)|*.csv|All Files (*.*)|*.*|";
inline constexpr const char* kShapeFilter = "Shape File(*.shape)|*.shape|All Files (*.*)|*.*|";

struct FileFilter {
    std::string description;  // "New XRF File(*.qvr)"
    std::string pattern;      // "*.qvr"
};

// Splits a filter string at every occurrence of its last character.
std::vector<FileFilter> SplitFilterString(std::string_view filter);

enum class FileDialogKind { Open, Save };

// What a dialog depends on besides its purpose.
struct FileDialogState {
    bool locked = false;  // the open readings file is locked
    int exportForm = 0;   // the `Export` setting
    int download = kDownloadNone;  // the `download` setting
};

struct FileDialogSpec {
    FileDialogKind kind = FileDialogKind::Open;
    std::string filter;      // a filter string (see SplitFilterString)
    int selectedFilter = 0;  // index of the preselected (description, pattern) pair
    std::string title;       // empty: the platform's own title
    std::string defaultExtension;  // added by the dialog to a name typed without one
    std::string startName;   // the file name (no directory) the dialog starts with
    bool pathMustExist = true;
    bool fileMustExist = false;
    bool confirmOverwrite = false;  // the dialog asks before a chosen file is replaced
};

// The dialog a purpose shows when the path buffer holds startPath; nothing
// for an unknown purpose. Every dialog hides the read-only box and offers Help.
std::optional<FileDialogSpec> DescribeFileDialog(int purpose, const std::string& startPath,
                                                 const FileDialogState& state);

// The name a readings file never saved starts its Save As from: the site
// as a UTF-8 file name, a slash or control character as '_', without blanks
// and dots at either end; empty when nothing is left.
std::string SiteStartName(const std::string& site);

class FileChooser {
public:
    virtual ~FileChooser() = default;
    // Shows the purpose's dialog starting from path. On OK the chosen full
    // path replaces path and the result is true; false when the user cancels
    // or the dialog cannot be shown (path is then unchanged).
    virtual bool askFileName(std::string& path, int purpose) = 0;
};

// The replace question for path: "Save As", Yes/No. True when path does not
// exist or the answer is Yes.
bool ConfirmOverwrite(Prompter& prompter, const std::string& path);

}  // namespace ravik
