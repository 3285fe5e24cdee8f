#include "app/screenshot_tour.h"

#include <QDir>
#include <QMdiArea>
#include <QPixmap>
#include <QScrollBar>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "app/about_box.h"
#include "desktop/command_ids.h"
#include "app/frame_window.h"
#include "app/help_window.h"
#include "app/quick_button_bar.h"
#include "output/print_dialog.h"
#include "output/print_jobs.h"
#include "views/spectrum_window.h"
#include "views/table_marking.h"
#include "views/table_window.h"

#include <QPointer>
#include <QProcess>

#include "desktop/qt_text.h"
#include "platform/file_chooser.h"
#include "platform/prompter.h"

namespace ravik {

namespace {

class NoFileChooser final : public FileChooser {
public:
    bool askFileName(std::string&, int) override { return false; }
};

// Steps run one after another, each after the window system has settled.
class Tour : public QObject {
public:
    Tour(FrameWindow& frame, Program& program, const QString& directory)
        : QObject(&frame), frame_(frame), program_(program), directory_(directory) {}

    void add(std::function<void()> step) { steps_.push_back(std::move(step)); }
    void start() { QTimer::singleShot(kSettle, this, [this] { next(); }); }

    QString path(const QString& name) const { return directory_.filePath(name); }
    void save(QWidget* widget, const QString& name) {
        const QString path = directory_.filePath(name);
        if (!widget->grab().save(path)) std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    }
    void markRows(Mode mode, int first, int last) {
        for (int row = first; row <= last; ++row) {
            if (const int32_t n = ReadingAtRow(program_.store, mode, row)) program_.store.flags(n) |= Marked;
        }
    }

private:
    static constexpr int kSettle = 600;  // milliseconds

    void next() {
        if (index_ == steps_.size()) {
            // Nothing of the tour is kept: no save question, no saved file.
            program_.shell.unsavedChanges = false;
            frame_.close();
            return;
        }
        steps_[index_++]();
        QTimer::singleShot(kSettle, this, [this] { next(); });
    }

    FrameWindow& frame_;
    Program& program_;
    QDir directory_;
    std::vector<std::function<void()>> steps_;
    size_t index_ = 0;
};

}  // namespace

void StartScreenshotTour(FrameWindow& frame, Program& program, const QString& directory) {
    QDir().mkpath(directory);
    auto* tour = new Tour(frame, program, directory);
    tour->add([tour, &frame] { tour->save(&frame, QStringLiteral("01-frame-tables.png")); });
    tour->add([tour, &frame, &program] {
        tour->markRows(Mode::Paint, 6, 7);
        frame.handleCommand(command::kHideReading);
        tour->markRows(Mode::Paint, 2, 4);
        frame.repaintTableWindows();
    });
    tour->add([tour, &frame] {
        if (TableWindow* paint = frame.tableWindow(Mode::Paint)) {
            tour->save(paint, QStringLiteral("02-marked-and-hidden-rows.png"));
        }
        tour->save(&frame, QStringLiteral("03-frame-marked.png"));
    });
    tour->add([&frame] {
        // The Alloy table at its element columns, where grades are checked.
        if (TableWindow* alloy = frame.tableWindow(Mode::Alloy)) alloy->showMaximized();
    });
    tour->add([&frame] {
        TableWindow* alloy = frame.tableWindow(Mode::Alloy);
        if (alloy == nullptr) return;
        TableView* view = alloy->view();
        const ColumnLayout layout = view->columnLayout();
        for (size_t i = 0; i < layout.columns.size(); ++i) {
            if (layout.columns[i] == FixedColumns(Mode::Alloy)) {  // from the element columns on
                view->horizontalScrollBar()->setValue(static_cast<int>(layout.positions[i] - layout.widths[i] / 2.0));
                break;
            }
        }
    });
    tour->add([tour, &frame] { tour->save(&frame, QStringLiteral("04-alloy-grades.png")); });
    tour->add([&frame, &program] {
        if (TableWindow* alloy = frame.tableWindow(Mode::Alloy)) alloy->showNormal();
        program.settings.displayFontSize = 0;  // "Fit"
        if (TableWindow* paint = frame.tableWindow(Mode::Paint)) paint->showMaximized();
    });
    tour->add([tour, &frame] { tour->save(&frame, QStringLiteral("05-fit-paint-maximized.png")); });
    tour->add([tour, &frame] {
        // The quick buttons four times enlarged, to look at the pictures.
        QuickButtonBar* bar = frame.quickButtonBar();
        const QPixmap buttons = bar->grab(QRect(0, 0, 180, bar->height()));
        const QString path = tour->path(QStringLiteral("06-quick-buttons-enlarged.png"));
        if (!buttons.scaled(buttons.size() * 4).save(path)) std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    });
    tour->add([&frame] { frame.handleCommand(command::kHelp); });
    tour->add([tour, &frame] {
        if (HelpWindow* help = frame.helpWindow()) {
            tour->save(help, QStringLiteral("07-help.png"));
            help->close();
        }
    });
    tour->add([tour, &frame] {
        auto* about = new AboutBox(&frame);
        about->setAttribute(Qt::WA_DeleteOnClose);
        about->show();
        QTimer::singleShot(300, about, [tour, about] {
            tour->save(about, QStringLiteral("08-about.png"));
            about->close();
        });
    });
    // Spectrum windows in the three scales with line labels, the Print
    // dialog, and printed pages as pictures.
    auto spectrum = std::make_shared<QPointer<SpectrumWindow>>();
    tour->add([&frame, &program, spectrum] {
        frame.closeChildWindows(true);
        if (TableWindow* paint = frame.tableWindow(Mode::Paint)) paint->showNormal();
        program.settings.spectrumYscale = kScaleLinear;
        *spectrum = frame.openSpectrumWindow(program.store.list(Mode::Paint).at(1), kPaintLowKind);
        (*spectrum)->resize(760, 480);
    });
    const std::pair<int, const char*> scales[] = {{kScaleLinear, "09-spectrum-linear.png"},
                                                 {kScaleLog, "10-spectrum-log.png"},
                                                 {kScaleSqrt, "11-spectrum-sqrt.png"}};
    for (const auto& [scale, name] : scales) {
        tour->add([&program, spectrum, scale] {
            program.settings.spectrumYscale = scale;
            if (*spectrum) (*spectrum)->view()->labelElement(NearestElement(10.5));
        });
        tour->add([tour, spectrum, name] {
            if (*spectrum) tour->save(*spectrum, QString::fromLatin1(name));
        });
    }
    tour->add([&frame, &program] {
        frame.openSpectrumWindow(program.store.list(Mode::Paint).at(1), kPaintHighKind)->resize(760, 480);
    });
    tour->add([tour, &frame] { tour->save(&frame, QStringLiteral("12-frame-spectra.png")); });
    tour->add([tour, &frame, &program] {
        OutputChoices& choices = program.shell.outputChoices;
        choices.table = choices.lowSpectrum = true;
        choices.mode = Mode::Paint;
        // Only shown: its OK is never pressed, so it asks nothing.
        static StderrPrompter prompter;
        static NoFileChooser chooser;
        auto* dialog = new PrintDialog(
            {program.store, program.settings, program.shell.currentFileName, choices, prompter, chooser}, &frame);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->show();
        QTimer::singleShot(300, dialog, [tour, dialog] {
            tour->save(dialog, QStringLiteral("13-print-dialog.png"));
            dialog->close();
        });
    });
    tour->add([tour, &program] {
        const PrintSource source{program.store, program.settings, SelectAll | SelectPositive | SelectNegative |
                                                                      SelectIncomplete | SelectSubResults,
                                 program.shell.currentFileName};
        const std::string pdf = PathFromQString(tour->path(QStringLiteral("14-printed.pdf")));
        std::string error;
        const std::vector<PrintRequest> requests = {{PrintRequest::Kind::Table, Index(Mode::Paint)},
                                                    {PrintRequest::Kind::Table, Index(Mode::Alloy)},
                                                    {PrintRequest::Kind::Table, kStatusTableSelector},
                                                    {PrintRequest::Kind::Spectra, kPaintLowKind}};
        if (!PrintRequestsToPdf(pdf, source, requests, error)) std::fprintf(stderr, "%s\n", error.c_str());
        QProcess::execute(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("60"),
                                                       PathToQString(pdf), tour->path(QStringLiteral("14-page"))});
    });
    tour->start();
}

}  // namespace ravik
