#pragma once
// The record that makes a commit of several new files recoverable. Before
// the first of its renames, a commit writes a manifest into the folder
// naming each temporary and the state its target had; it removes the
// manifest after the last rename. A process killed between the two leaves
// the manifest behind, and the next save into that folder finishes the
// commit where that is still safe and otherwise throws the new files away.

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ravik {

// A target as the commit found it: absent, or this very file.
struct TargetState {
    bool exists = false;
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t size = 0;
    int64_t modifiedSeconds = 0;
    int64_t modifiedNanoseconds = 0;

    friend bool operator==(const TargetState&, const TargetState&) = default;
};

TargetState StateOf(const std::string& path);

struct ManifestEntry {
    std::string temporary;  // a temporary's name in the target's folder
    std::string target;     // the target's absolute path
    TargetState state;
};

std::string FormatManifest(const std::vector<ManifestEntry>& entries);
// Nothing when text is not a whole, well-formed manifest.
std::optional<std::vector<ManifestEntry>> ParseManifest(std::string_view text);

// Names of the writer's own files: ".ravik-temp-<pid>-<12 letters or digits>"
// for a new file's temporary, ".ravik-commit-<pid>-<...>" for a manifest. No
// user writes such names; the process id says whose they are.
std::string OwnFileName(std::string_view kind, pid_t pid);
// The process id in an own file name of that kind, or 0 for any other name.
pid_t OwnFileOwner(std::string_view name, std::string_view kind);
inline constexpr std::string_view kTemporaryKind = "temp";
inline constexpr std::string_view kManifestKind = "commit";

// Finishes or discards the commits of processes that are gone, then removes
// their other temporaries: only regular files of this user with an own
// file name.
void RecoverFolder(const std::string& folder);

}  // namespace ravik
