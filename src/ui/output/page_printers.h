#pragma once
// The page printers: data-table, status-table and spectrum pages drawn on
// any paged device (a printer, a PDF file). A job starts its pages on a
// PageSink, which lets the program breathe between pages and tells when the
// user cancelled.

#include <QPainter>
#include <functional>

#include "core/output/print_layout.h"

class QPagedPaintDevice;

namespace ravik {

// What runs between the pages of a job: betweenPages before every page
// after the first (the desktop lets pending events through there); aborted
// says whether the user cancelled.
struct PageHooks {
    std::function<void()> betweenPages;
    std::function<bool()> aborted;
};

class PageSink {
public:
    explicit PageSink(QPagedPaintDevice& device, PageHooks hooks = {});

    // Starts the next page; false when the device failed or the user cancelled.
    bool startPage();
    // False when the painter could not start on the device.
    bool isActive() const { return painter_.isActive(); }
    // Ends the document; false when the device failed.
    bool finish();

    QPainter& painter() { return painter_; }
    int width() const;
    int height() const;
    int pixelsPerInch() const;

private:
    QPagedPaintDevice& device_;
    QPainter painter_;
    PageHooks hooks_;
    bool pageOpen_ = false;
};

enum class JobOutcome { Printed, Failed };

// A data table (selector: a mode 0..4) or the status table (10).
JobOutcome PrintTableJob(PageSink& sink, const PrintSource& source, int selector);
// The spectra of a kind, xSpect x ySpect to a page.
JobOutcome PrintSpectraJob(PageSink& sink, const PrintSource& source, int kind);

}  // namespace ravik
