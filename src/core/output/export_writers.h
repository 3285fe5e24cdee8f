#pragma once
// The export writers: plain text, delimited by TAB (forms 0 and 2) or comma
// (forms 1 and 3) as the `Export` setting says when a writer runs. Each
// appends its block to out: a string, or a staged file the export flows
// stream the text into.

#include <functional>
#include <string>
#include <string_view>

#include "core/output/export_sink.h"
#include "core/output/reading_selection.h"
#include "core/readings/mode.h"
#include "core/readings/reading_store.h"
#include "core/settings/settings.h"

namespace ravik {

// The calendar date of a date text "m/d/yyyy", for ordering.
struct CalendarDate {
    long long year = 0;
    long long month = 0;
    long long day = 0;
    auto operator<=>(const CalendarDate&) const = default;
};
CalendarDate DateOf(std::string_view date);
// The date part of a Date/Time text: up to its first blank.
std::string_view DatePart(std::string_view dateTime);

// What every writer reads.
struct ExportSource {
    const ReadingStore& store;
    const Settings& settings;
    ReadingSelection selection;
};

// The header mode that asks for the PAINT, BULK and THIN sections together.
inline constexpr int kAllHeaderModes = 121;

char ExportDelimiter(const Settings& settings);

// The file title line, then one section (mode name, report header lines,
// site, for PAINT the date range and classification ranges, the column
// title row) for the mode given by its index, or for Paint, Bulk and Thin
// with kAllHeaderModes.
void ExportTableHeader(ExportSink& out, const ExportSource& source, int headerModes);

// One row per reading of the mode's list that passes the selection: its
// shown fixed cells, then value and precision of its shown element columns.
void ExportTableRows(ExportSink& out, const ExportSource& source, Mode mode);

// The spectra of the mode's readings that pass the selection, one column per
// reading, one row per channel, read from the records a block of rows at a
// time. beforeRow, when given, runs before each row (the desktop keeps its
// window responsive there). The rows stop early when out failed.
void ExportSpectra(ExportSink& out, const ExportSource& source, Mode mode,
                   const std::function<void()>& beforeRow = {});

// The instrument status of every reading of the store, in storage order,
// that passes the selection as a Paint reading would. Always TAB-delimited.
void ExportStatus(ExportSink& out, const ExportSource& source);

// Writes value at out as printf's "%4.3f" writes it, without printf's cost,
// and returns the end of the text (at most kFixed3MaxLength characters).
inline constexpr size_t kFixed3MaxLength = 48;
char* PutFixed3(char* out, float value);

}  // namespace ravik
