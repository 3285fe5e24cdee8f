#pragma once
// Print jobs: one request of the Print dialog (a table, the status table or
// the spectra of a kind) sent to a printer with the abort window up, or
// several requests drawn into one PDF file.

#include <QPdfWriter>
#include <QPrinter>
#include <functional>
#include <string>
#include <vector>

#include "ui/output/page_printers.h"

class QWidget;

namespace ravik {

class Prompter;

// Whether a request has readings to print: the mode's readings, or for the
// status table Paint, Bulk, Thin or Alloy readings.
bool RequestHasReadings(const ReadingStore& store, const PrintRequest& request);

// "RAVIK XRF Table Print" or "RAVIK Spectra Print".
const char* DocumentName(const PrintRequest& request);

// Runs a job on the printer: the abort window shows the job, the owner is
// disabled while pages are made, and failures are told ("Unable to start
// print job", "Problem with print job").
void RunPrinterJob(QWidget* owner, QPrinter& printer, const PrintSource& source, const PrintRequest& request,
                   Prompter& prompter);

// Writes one PDF at path through a StagedFile: draw gets a PDF writer whose
// bytes go into the staged temporary and says whether every page was drawn;
// only then is the file put in place, whole, and a failed write (a full disk)
// leaves a previous file as it was. cancelled, asked after drawing, discards
// the file without an error. False when it was not written, with error set
// unless cancelled.
bool WriteStagedPdf(const std::string& path, const std::function<bool(QPdfWriter&)>& draw,
                    const std::function<bool()>& cancelled, std::string& error);

// Draws the requests, in order, into one PDF at path with the settings'
// page size and orientation, streamed into a StagedFile: the file appears
// whole or not at all, and a failed write (a full disk) leaves a previous
// file as it was. False when it was not written, with error set unless the
// user cancelled. Whether path may be replaced is the caller's question.
bool PrintRequestsToPdf(const std::string& path, const PrintSource& source, const std::vector<PrintRequest>& requests,
                        std::string& error, const PageHooks& hooks = {});

}  // namespace ravik
