#include "core/output/report_template.h"

#include <array>
#include <utility>

#include "core/platform/data_dir.h"

namespace ravik {

namespace {

using Field = std::string ReportTemplate::*;

constexpr std::array<std::pair<const char*, Field>, 14> kFields = {{
    {"firm", &ReportTemplate::firmName},
    {"firm_address", &ReportTemplate::firmAddress},
    {"telephone", &ReportTemplate::telephone},
    {"licence", &ReportTemplate::licence},
    {"logo", &ReportTemplate::logoPath},
    {"client", &ReportTemplate::clientName},
    {"client_address", &ReportTemplate::clientAddress},
    {"property_address", &ReportTemplate::propertyAddress},
    {"units", &ReportTemplate::units},
    {"construction_date", &ReportTemplate::constructionDate},
    {"method", &ReportTemplate::method},
    {"footer", &ReportTemplate::footer},
    {"paper", &ReportTemplate::paperSize},
    {"orientation", &ReportTemplate::orientation},
}};

std::string Escape(std::string_view value) {
    std::string out;
    for (char c : value) {
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c != '\r') {
            out += c;
        }
    }
    return out;
}

std::string Unescape(std::string_view value) {
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size() && (value[i + 1] == 'n' || value[i + 1] == '\\')) {
            out += value[i + 1] == 'n' ? '\n' : '\\';
            ++i;
        } else {
            out += value[i];
        }
    }
    return out;
}

bool AllowedChoice(std::string_view key, std::string_view value) {
    if (key == "paper") return value == "Letter" || value == "A4" || value == "Legal";
    if (key == "orientation") return value == "portrait" || value == "landscape";
    return true;
}

}  // namespace

bool IsValidUtf8(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        const auto byte = static_cast<unsigned char>(text[i]);
        size_t extra = 0;
        uint32_t code = 0;
        if (byte < 0x80) {
            ++i;
            continue;
        } else if ((byte & 0xE0) == 0xC0) {
            extra = 1;
            code = byte & 0x1F;
        } else if ((byte & 0xF0) == 0xE0) {
            extra = 2;
            code = byte & 0x0F;
        } else if ((byte & 0xF8) == 0xF0) {
            extra = 3;
            code = byte & 0x07;
        } else {
            return false;
        }
        if (i + extra >= text.size()) return false;  // cut short
        for (size_t k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        constexpr uint32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
        if (code < kLeast[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        i += extra + 1;
    }
    return true;
}

ReportTemplate ParseReportTemplate(std::string_view text, std::vector<std::string>& warnings) {
    ReportTemplate out;
    TextLineReader reader(text);
    std::string line;
    int lineNumber = 0;
    while (reader.ReadTextLine(line)) {
        ++lineNumber;
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        const size_t equals = line.find('=');
        if (equals == std::string::npos) {
            warnings.push_back("report.ini line " + std::to_string(lineNumber) + ": no \"=\", left out");
            continue;
        }
        const std::string key = line.substr(0, equals);
        const std::string raw = line.substr(equals + 1);
        const std::string where = "report.ini line " + std::to_string(lineNumber) + " (" + key + "): ";
        if (!IsValidUtf8(raw)) {
            warnings.push_back(where + "not UTF-8 text, left out");
            continue;
        }
        std::string value = Unescape(raw);
        if (value.size() > kReportValueLimit) {
            warnings.push_back(where + "longer than 1000 characters, left out");
            continue;
        }
        if (!AllowedChoice(key, value)) {
            warnings.push_back(where + "\"" + value + "\" is not one of the choices, left out");
            continue;
        }
        bool known = false;
        for (const auto& [name, field] : kFields) {
            if (key == name) {
                out.*field = std::move(value);
                known = true;
                break;
            }
        }
        if (known) continue;
        if (key == "inspector") {
            out.inspectors.push_back({std::move(value), {}});
        } else if (key == "certification" && !out.inspectors.empty()) {
            out.inspectors.back().certification = std::move(value);
        } else {
            warnings.push_back(where + "unknown key, left out");
        }
    }
    return out;
}

std::string ReportTemplateText(const ReportTemplate& value) {
    std::string text = "# RAVIK report template: key=value, UTF-8; \\n is a line break\n";
    for (const auto& [name, field] : kFields) {
        if (std::string_view(name) == "method") {
            for (const ReportInspector& inspector : value.inspectors) {
                text += "inspector=" + Escape(inspector.name) + "\n";
                text += "certification=" + Escape(inspector.certification) + "\n";
            }
        }
        text += std::string(name) + "=" + Escape(value.*field) + "\n";
    }
    return text;
}

bool ReadReportTemplate(const std::string& path, ReportTemplate& out, std::vector<std::string>& warnings) {
    std::string text;
    const FileStatus status = ReadSmallTextFile(path, text, kReportTemplateLimit);
    if (status != FileStatus::Ok) {
        out = ReportTemplate{};
        warnings.push_back(ReadProblemText(status, path, "Cannot read the report template " + path));
        return false;
    }
    out = ParseReportTemplate(text, warnings);
    return true;
}

FileStatus WriteReportTemplate(const std::string& path, const ReportTemplate& value) {
    return WriteFileAtomically(path, ReportTemplateText(value));
}

bool LoadDataDirectoryTemplate(const std::string& directory, ReportTemplate& out, std::vector<std::string>& warnings) {
    const std::string path = DataFilePath(directory, kReportTemplateName);
    if (!FileExists(path)) {
        out = ReportTemplate{};
        if (!EnsureDataDirectory(directory) || WriteReportTemplate(path, out) != FileStatus::Ok) {
            warnings.push_back("Cannot create the report template " + path);
        }
        return true;
    }
    return ReadReportTemplate(path, out, warnings);
}

}  // namespace ravik
