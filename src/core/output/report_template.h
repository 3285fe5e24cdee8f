#pragma once
// The client report's template: the firm, the client and property, the
// inspectors and the page set-up, kept as "report.ini" in the data
// directory. Values are UTF-8 text, one "key=value" line each (a line break
// inside a value is written as "\n", a backslash as "\\"); every inspector
// is an "inspector=" line followed by its "certification=" line.

#include <string>
#include <vector>

#include "core/platform/file_io.h"

namespace ravik {

inline constexpr const char* kReportTemplateName = "report.ini";
// A value longer than this many bytes is left out with a warning.
inline constexpr size_t kReportValueLimit = 1000;
// A template file larger than this is refused.
inline constexpr size_t kReportTemplateLimit = 256 * 1024;

struct ReportInspector {
    std::string name;
    std::string certification;
};

struct ReportTemplate {
    std::string firmName;
    std::string firmAddress;
    std::string telephone;
    std::string licence;
    std::string logoPath;  // PNG, JPEG or SVG
    std::string clientName;
    std::string clientAddress;
    std::string propertyAddress;
    std::string units;
    std::string constructionDate;
    std::vector<ReportInspector> inspectors;
    std::string method;
    std::string footer;
    std::string paperSize = "Letter";       // "Letter", "A4" or "Legal"
    std::string orientation = "landscape";  // "portrait" or "landscape": wide tables split less
};

// Reads a template file. Bad values (longer than kReportValueLimit, not
// UTF-8, an unknown paper size or orientation) are left out, each with a
// line in warnings; a file that cannot be read gives the empty template and
// a warning. Returns false only when the file could not be read.
bool ReadReportTemplate(const std::string& path, ReportTemplate& out, std::vector<std::string>& warnings);
// The same, from text already read.
ReportTemplate ParseReportTemplate(std::string_view text, std::vector<std::string>& warnings);
std::string ReportTemplateText(const ReportTemplate& value);
// Writes the whole file through the staged writer.
FileStatus WriteReportTemplate(const std::string& path, const ReportTemplate& value);
// The template of the data directory, created with empty fields when missing.
bool LoadDataDirectoryTemplate(const std::string& directory, ReportTemplate& out, std::vector<std::string>& warnings);

// True when text is well-formed UTF-8 (no overlong forms, no surrogates).
bool IsValidUtf8(std::string_view text);

}  // namespace ravik
