#include "core/output/export_flow.h"

#include <strings.h>

#include "core/output/export_sink.h"
#include "core/output/export_writers.h"
#include "core/platform/file_chooser.h"
#include "core/platform/file_io.h"
#include "core/platform/prompter.h"

namespace ravik {

namespace {

bool IsSingleFileForm(int form) { return form != 2 && form != 3; }

const char* SingleFileExtension(int form) { return form == 1 ? ".csv" : ".tab"; }

// The rows file of each mode; Sign rows share the Thin extension.
const char* RowsExtension(Mode mode) {
    constexpr const char* kExtensions[kModeCount] = {".pnt", ".blk", ".thn", ".aly", ".thn"};
    return kExtensions[Index(mode)];
}

struct NameParts {
    std::string stem;       // the path without its extension
    std::string extension;  // with its dot; empty when the name has none
};

NameParts SplitExtension(const std::string& path) {
    const size_t dot = ExtensionStart(path);
    return {path.substr(0, dot), path.substr(dot)};
}

bool HasPaintBulkThinOrAlloy(const ReadingStore& store) {
    return store.count(Mode::Paint) + store.count(Mode::Bulk) + store.count(Mode::Thin) +
               store.count(Mode::Alloy) > 0;
}

bool ModeHasReadings(const ExportRequest& request) {
    return request.choices.mode && request.store.count(*request.choices.mode) > 0;
}

bool WantsSpectra(const ExportRequest& request) {
    return (request.choices.lowSpectrum || request.choices.highSpectrum) && request.choices.mode &&
           request.settings.download == kDownloadDone;
}

bool WantsStatus(const ExportRequest& request) {
    return request.choices.status && request.choices.mode && request.settings.download == kDownloadDone;
}

// The single file: the chosen name with ".tab" or ".csv" in place of its
// extension; a name that already has that extension (in any case) is kept
// as spelled.
std::string SingleFileTarget(const std::string& chosen, int form) {
    const NameParts parts = SplitExtension(chosen);
    const char* extension = SingleFileExtension(form);
    return strcasecmp(parts.extension.c_str(), extension) == 0 ? chosen : parts.stem + extension;
}

void WriteSingleFile(ExportSink& out, const ExportRequest& request, const ExportSource& source,
                     const std::function<void()>& beforeSpectraRow) {
    if (request.choices.table && ModeHasReadings(request)) {
        ExportTableHeader(out, source, Index(*request.choices.mode));
        ExportTableRows(out, source, *request.choices.mode);
    }
    if (WantsSpectra(request) && ModeHasReadings(request)) {
        ExportSpectra(out, source, *request.choices.mode, beforeSpectraRow);
    }
    if (!HasPaintBulkThinOrAlloy(request.store)) return;
    if (WantsStatus(request)) ExportStatus(out, source);
}

enum class Block { Header, Rows, Spectra, Status };

struct PlannedFile {
    std::string path;
    Block block;
};

std::vector<PlannedFile> MultiFilePlan(const ExportRequest& request, const std::string& base) {
    std::vector<PlannedFile> files = {{base + ".hdr", Block::Header}};
    if (request.choices.table && ModeHasReadings(request)) {
        files.push_back({base + RowsExtension(*request.choices.mode), Block::Rows});
    }
    const bool measured = HasPaintBulkThinOrAlloy(request.store);
    if (WantsSpectra(request) && measured) files.push_back({base + ".spc", Block::Spectra});
    if (WantsStatus(request) && measured) files.push_back({base + ".sta", Block::Status});
    return files;
}

void WriteBlock(ExportSink& out, const ExportRequest& request, const ExportSource& source, Block block,
                const std::function<void()>& beforeSpectraRow) {
    switch (block) {
        case Block::Header:
            ExportTableHeader(out, source, kAllHeaderModes);
            break;
        case Block::Rows:
            ExportTableRows(out, source, *request.choices.mode);
            break;
        case Block::Spectra:
            if (ModeHasReadings(request)) ExportSpectra(out, source, *request.choices.mode, beforeSpectraRow);
            break;
        case Block::Status:
            ExportStatus(out, source);
            break;
    }
}

void TellWriteFailure(FileStatus status, const std::string& path, Prompter& prompter) {
    const char* what = status == FileStatus::WriteFailed ? "Error Writing File\n" : "Cannot Create File\n";
    prompter.error(what + path + "\nExport Not Written", "SAVE ERROR");
}

// Streams every file of the export into its temporary first and puts them
// in place only when all were written: a failure leaves the previous files
// as they were and no new file.
bool WriteExportFiles(const std::vector<std::string>& paths,
                      const std::function<void(size_t, ExportSink&)>& writeFile, Prompter& prompter) {
    std::vector<StagedFile> files;
    files.reserve(paths.size());
    for (size_t i = 0; i < paths.size(); ++i) {
        StagedFile& file = files.emplace_back(paths[i]);
        ExportSink out(file);
        writeFile(i, out);
        if (const FileStatus status = out.finish(); status != FileStatus::Ok) {
            TellWriteFailure(status, paths[i], prompter);
            return false;
        }
    }
    if (const FileStatus status = CommitStagedFiles(files); status != FileStatus::Ok) {
        TellWriteFailure(status, paths.front(), prompter);
        return false;
    }
    return true;
}

// One question about the files of the export that exist already, all of
// them named; true when there are none or the answer is Yes.
bool ConfirmReplacing(Prompter& prompter, const std::vector<std::string>& targets) {
    std::vector<std::string> existing;
    for (const std::string& path : targets) {
        if (FileExists(path)) existing.push_back(path);
    }
    if (existing.empty()) return true;
    if (existing.size() == 1) return ConfirmOverwrite(prompter, existing.front());
    std::string text;
    for (const std::string& path : existing) text += path + "\n";
    text += "These files already exist.\n\nReplace existing files?";
    return prompter.askWithDefault(text, "Save As", Buttons::YesNo, Icon::Information, Answer::No) == Answer::Yes;
}

ExportResult RunSingleFileExport(const ExportRequest& request, const std::string& chosen, Prompter& prompter,
                                 const std::function<void()>& beforeSpectraRow) {
    const std::string target = SingleFileTarget(chosen, request.settings.exportForm);
    const ExportSource source{request.store, request.settings, SelectionFrom(request.choices)};
    const auto write = [&](size_t, ExportSink& out) { WriteSingleFile(out, request, source, beforeSpectraRow); };
    if (!WriteExportFiles({target}, write, prompter)) {
        return {ExportOutcome::Failed, {}};
    }
    return {ExportOutcome::Written, {target}};
}

ExportResult RunMultiFileExport(const ExportRequest& request, const std::string& chosen, Prompter& prompter,
                                const std::function<void()>& beforeSpectraRow) {
    const std::vector<PlannedFile> files = MultiFilePlan(request, SplitExtension(chosen).stem);
    const ExportSource source{request.store, request.settings, SelectionFrom(request.choices)};
    ExportResult result{ExportOutcome::Written, {}};
    for (const PlannedFile& file : files) result.written.push_back(file.path);
    const auto write = [&](size_t i, ExportSink& out) {
        WriteBlock(out, request, source, files[i].block, beforeSpectraRow);
    };
    if (!WriteExportFiles(result.written, write, prompter)) return {ExportOutcome::Failed, {}};
    return result;
}

}  // namespace

std::vector<std::string> ExportTargets(const ExportRequest& request, const std::string& chosenPath) {
    const int form = request.settings.exportForm;
    if (IsSingleFileForm(form)) return {SingleFileTarget(chosenPath, form)};
    std::vector<std::string> paths;
    for (const PlannedFile& file : MultiFilePlan(request, SplitExtension(chosenPath).stem)) {
        paths.push_back(file.path);
    }
    return paths;
}

ExportResult RunFileExport(const ExportRequest& request, std::string& path, FileChooser& chooser,
                       Prompter& prompter, const std::function<void()>& beforeSpectraRow) {
    const bool single = IsSingleFileForm(request.settings.exportForm);
    if (!chooser.askFileName(path, single ? kPurposeSingleExport : kPurposeMultiExport)) return {};
    if (!ConfirmReplacing(prompter, ExportTargets(request, path))) return {};
    if (single) return RunSingleFileExport(request, path, prompter, beforeSpectraRow);
    return RunMultiFileExport(request, path, prompter, beforeSpectraRow);
}

}  // namespace ravik
