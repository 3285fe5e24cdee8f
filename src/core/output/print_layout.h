#pragma once
// The arithmetic and the texts of printed pages: the font search of table
// pages, the header lines, the date range, the cells, the run averages of
// alloy pages, the status columns and the grid of spectrum pages. The page
// printers draw what this decides; tests read it without a printer.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/output/output_choices.h"
#include "core/output/reading_selection.h"
#include "core/readings/field_formatter.h"
#include "core/readings/reading_store.h"
#include "core/settings/settings.h"

namespace ravik {

// What every printed page reads.
struct PrintSource {
    const ReadingStore& store;
    const Settings& settings;
    ReadingSelection selection;
    std::string fileName;  // the open readings file, for the abort window
};

// The selector of the status table in print requests (modes are 0 to 4).
inline constexpr int kStatusTableSelector = 10;

// One print request of the Print dialog.
struct PrintRequest {
    enum class Kind { Table, Spectra } kind = Kind::Table;
    int param = 0;  // the table selector (a mode, or 10 for status) or the spectrum kind
    bool operator==(const PrintRequest&) const = default;
};

// The requests the choices make, in the order they are sent: the status
// table (Status ticked, download 118), the mode's table, its low spectra,
// its high spectra (not for Sign). Without a mode only the status table.
std::vector<PrintRequest> RequestsFor(const OutputChoices& choices, const Settings& settings);

// The font height (pixels) of a table job, chosen on its first page: from
// 14 points down by points while 1.05 times the last column's centre is
// wider than the page, then from one point above that down by pixels.
// lastCentre(height) is that centre with the font of the pixel height.
// Never below 1 pixel, so a table that never fits prints in the smallest font.
int ChooseTableFontHeight(int pixelsPerInch, int pageWidth, const std::function<double(int)>& lastCentre);

// The status font: from 14 points down by points until the columns fit;
// never below 1 point. columnsWidth(height) is their width at that height.
int ChooseStatusFontHeight(int pixelsPerInch, int pageWidth, const std::function<double(int)>& columnsWidth);

// The status columns' widths in characters, in the order of kStatusTitles.
inline constexpr int kStatusColumnChars[kStatusCellCount] = {6, 14, 12, 8, 9, 7, 8, 6, 6,
                                                             7, 5,  5,  7, 7, 7, 7, 16};

// The readings a table job prints, in order: not Hidden, passing the selection.
// The status table (selector 10) takes every reading in storage order, each
// with the class 2 of the modes other than Paint.
std::vector<int32_t> PrintedReadings(const PrintSource& source, int selector);

// The date part (up to the first blank) of the earliest and latest
// Date/Time texts of the printed readings of a mode, compared by calendar date.
struct PrintDates {
    std::string earliest;
    std::string latest;
};
PrintDates PrintDateRange(const PrintSource& source, const std::vector<int32_t>& readings);

// "%s Site: %s  Date: %s to %s" (first page, with the file title) or
// "Site: %s  Date: %s to %s"; with one date "... Date: %s".
std::string SiteLine(const PrintSource& source, const PrintDates& dates, bool firstPage);

// "Ranges (NEG<INC<POS): ..." of the classification settings.
std::string RangesLine(const Settings& settings);

// "Paint Page %d" ... "Sign. Page %d", and "Status Page %d" for the status table.
std::string PageLabel(int selector, int page);

// The abort window's text of a table job, "Paint Table\nof\n%s" ... and of
// a spectrum job, "Paint L Spectra\nof\n%s" ...
std::string TableJobText(int selector, const std::string& fileName);
std::string SpectraJobText(int kind, const std::string& fileName);
// The abort window's text of a request.
std::string JobText(const PrintRequest& request, const std::string& fileName);

// An element cell of a printed row: "NA", "%s to %s" (Alloy ranges),
// "%s = %s" (below detection) or "%s ± %s".
std::string PrintedElementCell(Mode mode, std::string_view value, std::string_view precision);

// The run averages of alloy pages: consecutive readings of the same grade
// of the alloy grade table form a run; a run of more than one reading
// gets an average line before the next grade's first reading, and the run
// still open after the last reading gets one too.
struct AverageCell {
    int column = 0;  // title index of the element column
    std::string text;  // "%6.2f"
    bool outOfRange = false;  // outside the grade's range: bold red
};
struct AverageLine {
    std::string grade;  // the grade's name, printed in the "1st" column
    std::vector<AverageCell> cells;
};

class AlloyRunAverager {
public:
    AlloyRunAverager(const ReadingStore& store, const Settings& settings, std::vector<int> shownColumns);
    // The average line due before this reading, if any; then counts it.
    std::optional<AverageLine> add(const ReadingFields& fields);
    // The average line of the run still open after the last reading.
    std::optional<AverageLine> finish();

private:
    // The run's average line when it holds at least minimumCount readings.
    std::optional<AverageLine> closeRun(int minimumCount) const;

    const ReadingStore& store_;
    const Settings& settings_;
    std::vector<int> columns_;
    int grade_ = -1;  // index in the alloy grade table; -1: none
    std::vector<double> sums_;
    int count_ = 0;
};

// A text's horizontal extent on a header line.
struct TextSpan {
    double left = 0;
    double right = 0;
};

// The header line on which a right-aligned text (a date or page label) of
// span label goes: the first of lines, from the top, whose text it clears
// by gap, or lines.size() (the line after them) when it clears none. It
// moves down past the texts it would run into, never up over them.
size_t LineClearOf(const std::vector<TextSpan>& lines, TextSpan label, double gap);

// Spectrum pages: the header line, how many pages, and the grid cells.
std::string SpectraHeaderLine(const Settings& settings, const ReadingStore& store, int kind);
int SpectrumPageCount(int readings, const Settings& settings);
struct CellRect {
    int left, top, right, bottom;
};
// The cell of grid column c, row r on a page width x height whose header
// lines are lineHeight high; each header line past the first (a date line
// moved below the site line) moves the grid down by a line.
CellRect SpectrumCell(const Settings& settings, int c, int r, int pageWidth, int pageHeight, int lineHeight,
                      int headerLines = 1);

// "Date: %s    %s Page %d" of a spectrum page: the date part of the reading's Date/Time.
std::string SpectraPageLine(std::string_view dateTime, Mode mode, int page);

}  // namespace ravik
