#pragma once
// The spectra of compared readings as exchange files: the EMSA/MAS spectral
// data text (one file per reading) and one CSV table with an energy column
// and a column per reading. Both are streamed through the staged writer in
// bounded pieces, so a failed write leaves every previous file untouched.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/file_io.h"
#include "core/views/spectrum_compare.h"

namespace ravik {

// One spectrum as an EMSA/MAS file holds it.
struct EmsaSpectrum {
    std::string title;      // at most 64 characters are written
    std::string date;       // "DD-MMM-YYYY" ("07-DEC-2026"); empty: "01-JAN-1994"
    std::string time;       // "HH:MM"; empty: "00:00"
    std::string owner;
    double keVPerChannel = kKeVPerPlottedChannel;
    double offsetKeV = 0;
    double liveSeconds = 0;  // the measuring time
    std::vector<double> counts;
    // Further "#KEY : value" lines after the required keywords (the reading's
    // identifying fields as comments), each cut to one line of 80 characters.
    std::vector<std::string> comments;
};

// The reading's spectrum of a band as an EMSA spectrum: counts as plotted
// (bad counts as 0, unnormalised), the title "file No n QVNo q Low", the
// reading's date and time, the owner "RAVIK". False when the reading has no
// such spectrum.
bool EmsaSpectrumOf(const ComparedReading& reading, SpectrumBand band, EmsaSpectrum& out);

// The date and time of an instrument time stamp as EMSA writes them.
std::string EmsaDate(int64_t instrumentSeconds);
std::string EmsaTime(int64_t instrumentSeconds);

// Writes the EMSA/MAS text of a spectrum: the required keywords in order
// (#FORMAT, #VERSION, #TITLE, #DATE, #TIME, #OWNER, #NPOINTS, #NCOLUMNS,
// #XUNITS, #YUNITS, #DATATYPE, #XPERCHAN, #OFFSET), then #SIGNALTYPE : XRF,
// #LIVETIME, the comments, #SPECTRUM, one "energy, count" line per channel
// (energy with 4 decimals, counts exact) and #ENDOFDATA; every line ended by
// CR LF. The text goes to sink in
// pieces of about 64 KiB; sink returns false to stop (then so does this).
using TextSink = std::function<bool(std::string_view)>;
bool WriteEmsaText(const EmsaSpectrum& spectrum, const TextSink& sink);
// The same into a string (small spectra, tests).
std::string EmsaText(const EmsaSpectrum& spectrum);

// Writes the whole EMSA text into a staged file (not committed).
FileStatus WriteEmsaFile(const EmsaSpectrum& spectrum, StagedFile& file);

// The CSV table of an overlay: a head line "keV" and a quoted legend per
// curve, then a line per energy step from the lowest to the highest energy
// of any curve, with the curve's value or an empty cell where it has none.
// Values that are whole thousandths (counts as recorded) are written
// exactly, others with 6 significant digits; text is quoted with doubled
// quotes where needed. Lines end with CR LF.
// Only the energies from fromKeV to toKeV are written.
FileStatus WriteSpectrumCsv(const SpectrumOverlay& overlay, const std::vector<std::string>& legends,
                            StagedFile& file, double fromKeV = -1e300, double toKeV = 1e300);
std::string SpectrumCsvText(const SpectrumOverlay& overlay, const std::vector<std::string>& legends,
                            double fromKeV = -1e300, double toKeV = 1e300);

// The file name of a reading's EMSA file in a folder: "<input base>-<No>.msa".
std::string EmsaFileName(std::string_view inputPath, int tableNo);

// The EMSA files of the compared readings that have the band's spectrum, in
// the comparison's order: "<file base>-<No>.msa" in folder, by each
// reading's file name and table No; a name that repeats (the same reading
// twice, or two files of one name) gets "_2", "_3", ... before ".msa".
std::vector<std::string> EmsaFolderTargets(const SpectrumComparison& comparison, SpectrumBand band,
                                           const std::string& folder);
// Writes them and commits them together: all of them or none. On a failure
// failedPath names the file.
FileStatus WriteEmsaFolder(const SpectrumComparison& comparison, SpectrumBand band, const std::string& folder,
                           std::string& failedPath);

}  // namespace ravik
