#pragma once
// "ravik spectrum": its options, read and checked the same way by ravik
// (which writes the .msa and .csv outputs) and by ravik-desktop (which draws
// the .png, .svg and .pdf outputs), and the comparison it makes of the
// readings asked for.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/file_io.h"
#include "core/readings/mode.h"
#include "core/readings/reading_store.h"
#include "core/settings/settings.h"
#include "core/views/spectrum_compare.h"

namespace ravik {

inline constexpr const char* kSpectrumUsage =
    "ravik spectrum INPUT.qvr --mode {paint|bulk|thin|alloy|sign} --readings LIST [--high] "
    "[--normalize {none|max|area|time}] [--scale {linear|log|sqrt}] [--range FROM-TO] [--lines ELEMENTS] "
    "[--settings-dir DIR] [--force] -o {OUT.png|OUT.svg|OUT.pdf|OUT.msa|OUT.csv|FOLDER}";

enum class SpectrumOutput { Png, Svg, Pdf, Msa, Csv };

// The output kind an -o path asks for: by its extension (any letter case),
// and an existing folder receives .msa files. Nothing for any other path.
std::optional<SpectrumOutput> SpectrumOutputOf(const std::string& path);
// True for the pictures (png, svg, pdf), which are drawn with Qt.
bool DrawsWithQt(SpectrumOutput output);
// True when the words of a spectrum subcommand ask for a picture, so that
// ravik hands the command to ravik-desktop: decided by the -o value alone
// (the first "-o" or "-o=" word), so that every other check is made by the
// one that runs it.
bool SpectrumCallDrawsWithQt(std::span<const std::string> args);

struct SpectrumRequest {
    std::string input;
    std::string output;
    std::string settingsDirectory;  // empty: the data directory
    SpectrumOutput kind = SpectrumOutput::Csv;
    bool outputIsFolder = false;    // .msa files into an existing folder
    Mode mode = Mode::Paint;
    std::vector<int> tableNumbers;  // the readings by their table No, in the order given, each once
    OverlayOptions overlay;         // band and normalisation
    CountScale scale = CountScale::Linear;
    std::optional<double> fromKeV;  // --range
    std::optional<double> toKeV;
    std::vector<int> elements;      // --lines, atomic numbers
    bool force = false;
};

// Reads the words after "spectrum". Nothing, with the message in error, for
// a usage error: an unknown, repeated or empty option, no input or more than
// one, a missing --mode, --readings or -o, a reading list that is not whole
// numbers from 1 ("1,5,9"; "3-6" for a run), an unknown normalisation or
// scale, a range that is not "FROM-TO" with FROM below TO, an unknown
// element in --lines, or an output that is neither a known extension nor an
// existing folder; several readings into one .msa file ask for a folder.
std::optional<SpectrumRequest> ParseSpectrumRequest(std::span<const std::string> args, std::string& error);

// The comparison a spectrum subcommand makes of its readings, ready for the
// files and the picture.
struct SpectrumJob {
    SpectrumComparison comparison;  // the readings asked for, in order
    SpectrumOverlay overlay;        // of the band, normalised
    ViewWindow window;              // the --range (or everything), counts fitted to it
    std::vector<std::string> legends;  // per overlay curve
    std::vector<std::string> remarks;  // readings left out or shown unnormalised, as texts
};

// Takes the requested readings out of a loaded store. Nothing, with the
// message in error, when a table No has no reading in the mode's table, or
// when the range lies outside the energies of the readings' spectra (both
// usage errors, exit 2). A job whose overlay has no curve (no reading has
// the band's spectrum) is returned: the caller tells the remarks and fails.
std::optional<SpectrumJob> PrepareSpectrumJob(const SpectrumRequest& request, const ReadingStore& store,
                                              const Settings& settings, std::string& error);

// The files a .msa or .csv output writes: one .msa file per overlay curve
// ("<input base>-<No>.msa" in a folder, or the -o file for one reading), or
// the one .csv file. Empty for the pictures.
std::vector<std::string> SpectrumFileTargets(const SpectrumRequest& request, const SpectrumJob& job);

// Writes the .msa or .csv output: every target or none (they are committed
// together). The .msa files hold each reading's counts with its measuring
// time; the .csv holds the overlay's values (normalised as asked) within the
// --range. Returns the first failure, with its path in failedPath.
FileStatus WriteSpectrumFiles(const SpectrumRequest& request, const SpectrumJob& job, std::string& failedPath);

}  // namespace ravik
