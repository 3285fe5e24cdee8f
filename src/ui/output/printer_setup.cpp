#include "ui/output/printer_setup.h"

#include <QPageSize>
#include <QPrintDialog>
#include <QPrinterInfo>

#include "ui/common/qt_text.h"
#include "core/output/printer_line.h"
#include "core/platform/prompter.h"

namespace ravik {

namespace {

constexpr const char* kDriverName = "qt";
constexpr int kLandscape = 2;

QPageSize PageSizeNamed(const std::string& key) {
    for (int id = 0; id <= QPageSize::LastPageSize; ++id) {
        const auto size = static_cast<QPageSize::PageSizeId>(id);
        if (QPageSize::key(size) == QString::fromStdString(key)) return QPageSize(size);
    }
    return QPageSize(QPageSize::A4);
}

// The stored printer when it exists on this system.
std::optional<PrinterNames> StoredPrinter(const Settings& settings) {
    std::optional<PrinterNames> names = ParsePrinterLine(settings.printerLine);
    if (!names || QPrinterInfo::printerInfo(ToQString(names->device)).isNull()) return std::nullopt;
    return names;
}

}  // namespace

QPageLayout PageLayoutOf(const Settings& settings) {
    const std::optional<PrinterNames> names = ParsePrinterLine(settings.printerLine);
    const QPageSize size = names ? PageSizeNamed(names->output) : QPageSize(QPageSize::A4);
    const auto orientation = settings.orient == kLandscape ? QPageLayout::Landscape : QPageLayout::Portrait;
    return QPageLayout(size, orientation, QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
}

std::unique_ptr<QPrinter> MakePrinterContext(Settings& settings, Prompter& prompter) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (const std::optional<PrinterNames> stored = StoredPrinter(settings)) {
        printer->setPrinterName(ToQString(stored->device));
    } else {
        settings.printerLine = "default";
        const QPrinterInfo fallback = QPrinterInfo::defaultPrinter();
        if (fallback.isNull()) {
            prompter.error("Error with Printer Configuration\nContact Technical Support", "Initialization Error");
            return nullptr;
        }
        printer->setPrinterName(fallback.printerName());
    }
    if (!printer->isValid()) {
        prompter.error("Error with Printer DC\nContact Technical Support", "Initialization Error");
        return nullptr;
    }
    printer->setPageLayout(PageLayoutOf(settings));
    return printer;
}

bool RunPrinterSetup(QWidget* parent, Settings& settings) {
    QPrinter printer(QPrinter::HighResolution);
    if (const std::optional<PrinterNames> stored = StoredPrinter(settings)) printer.setPrinterName(ToQString(stored->device));
    printer.setPageLayout(PageLayoutOf(settings));
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Printer Setup"));
    dialog.setOptions(QAbstractPrintDialog::PrintDialogOptions());
    if (dialog.exec() != QDialog::Accepted) return false;
    const QPageLayout layout = printer.pageLayout();
    settings.orient = layout.orientation() == QPageLayout::Landscape ? kLandscape : 1;
    settings.printerLine = printer.printerName().isEmpty()
                               ? std::string("default")
                               : FormatPrinterLine({kDriverName, FromQString(printer.printerName()),
                                                    layout.pageSize().key().toStdString()});
    return true;
}

std::string PrinterDisplayName(const Settings& settings) {
    if (const std::optional<PrinterNames> names = ParsePrinterLine(settings.printerLine)) return names->device;
    return FromQString(QPrinterInfo::defaultPrinterName());
}

}  // namespace ravik
