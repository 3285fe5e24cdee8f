#include "core/readings/readings_saver.h"

#include <strings.h>

#include <cstdio>
#include <cstring>

#include "core/platform/format_text.h"
#include "core/platform/file_io.h"
#include "core/platform/prompter.h"

namespace ravik {

namespace {

struct SplitPath {
    std::string directory;  // with its trailing '/'
    std::string base;
    std::string extension;  // with its dot
};

SplitPath Split(const std::string& path) {
    SplitPath parts;
    const size_t slash = path.rfind('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    parts.directory = path.substr(0, nameStart);
    const std::string name = path.substr(nameStart);
    const size_t dot = ExtensionStart(name);
    parts.base = name.substr(0, dot);
    parts.extension = name.substr(dot);
    return parts;
}

bool SameIgnoringCase(const std::string& a, const char* b) { return strcasecmp(a.c_str(), b) == 0; }

bool Selected(uint32_t flags, SaveSelection selection) {
    switch (selection) {
        case SaveSelection::All: return true;
        case SaveSelection::Marked: return (flags & Marked) != 0;
        case SaveSelection::UnMarked: return (flags & Marked) == 0;
    }
    return true;
}

// The title tables of the trailer, in the order they are written.
constexpr Mode kTrailerOrder[kModeCount] = {Mode::Paint, Mode::Bulk, Mode::Alloy, Mode::Sign,
                                            Mode::Thin};

}  // namespace

std::string SaveTargetName(const std::string& path, bool locked) {
    const SplitPath parts = Split(path);
    const char* extension = locked ? ".LCK" : ".QVR";
    if (SameIgnoringCase(parts.extension, extension)) return path;
    return parts.directory + parts.base + extension;
}

std::string BuildReadingsFile(ReadingStore& store, SaveSelection selection) {
    const int marked = CountMarked(store);
    const int total = store.listedCount();
    const int count = selection == SaveSelection::All      ? total
                      : selection == SaveSelection::Marked ? marked
                                                           : total - marked;
    char countText[16];
    if (store.locked) {
        std::snprintf(countText, sizeof countText, "%-5d", -count);
    } else {
        std::snprintf(countText, sizeof countText, " %-4d", count);
    }
    std::memcpy(store.fileHeader.data(), countText, 5);

    std::string file(store.fileHeader.data(), kFileHeaderSize);
    std::string flags;
    for (Mode mode : kAllModes) {
        for (int32_t n : store.list(mode)) {
            if (!Selected(store.flags(n), selection)) continue;
            const Bytes record = store.record(n);
            file.append(reinterpret_cast<const char*>(record.data()), record.size());
            flags += std::to_string(store.flags(n));
        }
    }
    for (Mode mode : kTrailerOrder) {
        for (int slot = 0; slot < TitleCount(mode); ++slot) {
            file += store.titles[mode][static_cast<size_t>(slot)].view();
            file += ',';
        }
        file += "\r\n";
    }
    file += flags;
    return file;
}

bool SaveReadingsFile(ReadingStore& store, const std::string& path, const std::string& previousPath,
                      std::string& currentFileName, Prompter& prompter) {
    const std::string target = SaveTargetName(path, store.locked);
    if (target != path && FileExists(target)) {
        const Answer answer =
            prompter.askWithDefault(FormatText("%s\nThis file already exists.\n\nReplace existing file?", target.c_str()),
                                    "Save As", Buttons::YesNo, Icon::Information, Answer::No);
        if (answer != Answer::Yes) {
            currentFileName = previousPath;
            return false;
        }
    }
    SaveSelection selection = SaveSelection::All;
    if (CountMarked(store) > 1) {
        const int choice = prompter.choose(ChoiceDialog{
            "SAVEMARKED",
            "Save Readings",
            "",
            {{kSaveMarkedId, "&Marked"}, {kSaveAllId, "&All"}, {kSaveUnMarkedId, "&Un-Marked"},
             {kCancelId, "&Cancel"}}});
        if (choice == kSaveMarkedId) {
            selection = SaveSelection::Marked;
        } else if (choice == kSaveUnMarkedId) {
            selection = SaveSelection::UnMarked;
        } else if (choice != kSaveAllId) {
            currentFileName = previousPath;
            return false;
        }
    }
    currentFileName = target;
    const FileStatus status = WriteFileAtomically(target, BuildReadingsFile(store, selection));
    if (status == FileStatus::WriteFailed) {
        // The file is written under a temporary name and put in place only
        // when whole, so a file of the target's name is still the one from
        // before the save.
        const char* previous = FileExists(target) ? "The Previous File Is Unchanged\n" : "";
        prompter.error(FormatText("Serious Error - File Not Saved\n%s Could Not Be Written\n%sMUST RESAVE!",
                                  target.c_str(), previous),
                       "DISK FULL");
        return false;
    }
    // Anything else (a folder or device as target, a folder that cannot be written): nothing was written.
    if (status != FileStatus::Ok) {
        prompter.error(FormatText("Cannot Create File\n%s\nFile Not Saved", target.c_str()), "SAVE ERROR");
        return false;
    }
    return true;
}

}  // namespace ravik
