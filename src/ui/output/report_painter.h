#pragma once
// Draws the client report with QPainter onto a printer or a PDF writer:
// every page with the firm's name, the report's title and date and "Page N
// of M"; the first page with the logo; tables in readable type (never below
// 8 point), as the report's plan lays them out.

#include <QPageLayout>
#include <functional>
#include <string>
#include <vector>

#include "core/output/report_layout.h"
#include "core/output/report_template.h"

class QPagedPaintDevice;

namespace ravik {

struct ReportSource {
    ReportContent content;
    ReportTemplate layoutTemplate;
    std::string date;  // the report's date, as printed on every page
    bool summaryOnly = false;
};

// The smallest type the report uses, in points.
inline constexpr double kReportSmallestPoints = 8.0;

// The page size, orientation and margins of the template.
QPageLayout ReportPageLayout(const ReportTemplate& layoutTemplate);

// Checks the template's logo: empty when there is none or it cannot be
// read as a PNG, JPEG or SVG picture (with a line in warnings).
bool ReportLogoUsable(const ReportTemplate& layoutTemplate, std::vector<std::string>* warnings);

// Called after each page with its number and the page count; false stops
// the drawing (the user cancelled).
using ReportProgress = std::function<bool(int page, int pages)>;

// Draws every page of the report on device (already set to the report's
// page layout). False when the painter could not start or progress stopped it.
bool PaintReport(QPagedPaintDevice& device, const ReportSource& source, std::vector<std::string>& warnings,
                 const ReportProgress& progress = {});

// Writes the report as a PDF through the staged writer: the file appears
// whole or not at all. False with error set when it was not written (error
// stays empty when the user cancelled).
bool WriteReportPdf(const std::string& path, const ReportSource& source, std::vector<std::string>& warnings,
                    std::string& error, const ReportProgress& progress = {});

// Today's date as the report prints it ("2026-12-07").
std::string ReportDateToday();

}  // namespace ravik
