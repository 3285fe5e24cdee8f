#include "screenshots/screenshot_tour.h"
#include "screenshots/compare_tour.h"

#include <QDir>
#include <QMdiArea>
#include <QPixmap>
#include <QPointer>
#include <QAbstractButton>
#include <QScrollBar>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <array>
#include <memory>
#include <vector>

#include "ui/frame/about_box.h"
#include "ui/library/library_dialog.h"
#include "ui/common/dialog_shell.h"
#include "ui/link/dump_dialog.h"
#include "core/link/instrument_port.h"
#include "ui/link/remote_dialog.h"
#include "core/platform/clock.h"
#include "core/shell/command_ids.h"
#include "ui/frame/frame_window.h"
#include "ui/frame/help_window.h"
#include "ui/frame/quick_button_bar.h"
#include "ui/maintenance/column_title_dialog.h"
#include "ui/maintenance/reading_edit_dialog.h"
#include "ui/maintenance/sort_dialog.h"
#include "core/platform/data_dir.h"
#include "core/platform/prompter.h"
#include "ui/settings/column_dialog.h"
#include "ui/settings/configuration_dialog.h"
#include "ui/output/print_dialog.h"
#include "ui/output/print_jobs.h"
#include "ui/views/spectrum_window.h"
#include "core/views/table_marking.h"
#include "ui/views/table_window.h"

#include <QPointer>
#include <QProcess>

#include "ui/common/qt_text.h"
#include "core/platform/file_chooser.h"
#include "core/platform/prompter.h"

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


// Library grades of the demo library: name, group and (slot, low, high) limits in hundredths.
struct DemoAlloy {
    const char* name;
    int group;
    std::vector<std::array<int, 3>> limits;
};

AlloyLibrary DemoLibrary() {
    const DemoAlloy alloys[] = {
        {"304", 0, {{2, 1800, 2000}, {4, 6600, 7400}, {6, 800, 1050}}},
        {"316", 0, {{2, 1600, 1800}, {4, 6200, 7200}, {6, 1000, 1400}, {14, 200, 300}}},
        {"410", 0, {{2, 1150, 1350}, {4, 8400, 8800}, {6, 0, 75}}},
        {"625", 1, {{2, 2000, 2300}, {4, 0, 500}, {6, 5800, 6400}, {5, 0, 100}, {13, 315, 415}, {14, 800, 1000}}},
        {"C260", 2, {{7, 6850, 7150}, {8, 2850, 3150}}},
        {"C360", 2, {{7, 6000, 6300}, {8, 3300, 3700}, {10, 250, 300}}},
        {"Ti-6Al-4V", 5, {{0, 8800, 9100}, {1, 350, 450}, {15, 550, 675}}},
    };
    AlloyLibrary library;
    int group = 0;
    for (const DemoAlloy& alloy : alloys) {
        while (group <= alloy.group) library.searchIndex[static_cast<size_t>(group++)] = static_cast<int>(library.alloys.size());
        AlloyRecord record;
        record.name = alloy.name;
        for (const auto& [slot, low, high] : alloy.limits) record.limits[static_cast<size_t>(slot)] = {low, high};
        library.alloys.push_back(record);
    }
    while (group < kSearchIndexCount) library.searchIndex[static_cast<size_t>(group++)] = static_cast<int>(library.alloys.size());
    return library;
}

// The instruments' dialogs stay open side by side while the tour waits for
// the analyzers; each is photographed once it shows what it is for.
void AddInstrumentSteps(Tour& tour, FrameWindow& frame, Program& program) {
    struct Instruments {
        InstrumentPort dumpPort, remotePort, libraryPort;
        SystemClock clock;
    };
    auto instruments = std::make_shared<Instruments>();
    auto dump = std::make_shared<QPointer<DumpDialog>>();
    auto remote = std::make_shared<QPointer<RemoteDialog>>();
    auto library = std::make_shared<QPointer<LibraryDialog>>();
    tour.add([=, &frame, &program] {
        *dump = new DumpDialog(instruments->dumpPort, frame.prompter(), program.settings, DumpTempPath(), &frame);
        if ((*dump)->start({"Com2:", 0, {}})) (*dump)->show();
        *remote = new RemoteDialog(instruments->remotePort, frame.prompter(), instruments->clock, {"Com3:", 0, {}}, &frame);
        (*remote)->show();
        (*remote)->start();
    });
    // The remote search tries 9.6K (3 s) before it finds the analyzer at 19.2K.
    for (int wait = 0; wait < 12; ++wait) tour.add([] {});
    tour.add([=, &tour] {
        if (*dump) tour.save(*dump, QStringLiteral("09-receive-mid-dump.png"));
        if (*dump) {
            (*dump)->receiver().end();
            (*dump)->done(0);
        }
        qobject_cast<QAbstractButton*>(FindControl(**remote, remote_control::kScreenCheck))->setChecked(true);
        qobject_cast<QAbstractButton*>(FindControl(**remote, remote_control::kSpectraCheck))->setChecked(true);
        (*remote)->startMeasurement();
    });
    for (int wait = 0; wait < 5; ++wait) tour.add([] {});
    tour.add([=, &tour, &frame] {
        tour.save(*remote, QStringLiteral("10-remote-screen-and-spectrum.png"));
        (*remote)->exitDialog();
        *library = new LibraryDialog(instruments->libraryPort, frame.prompter(), frame.fileChooser(), instruments->clock,
                                     {"Com4:", 0, {}}, &frame);
        (*library)->showLibrary(DemoLibrary());
        (*library)->selectRow(2);  // "316"
        (*library)->show();
    });
    tour.add([=, &tour] {
        tour.save(*library, QStringLiteral("11-alloy-library.png"));
        (*library)->done(0);
    });
}

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
    // The dialogs of configuration, columns, sorting and editing, each shown
    // on its own and pictured.
    static StderrPrompter quiet;
    auto shoot = [tour](QDialog* dialog, const QString& name) {
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->show();
        QTimer::singleShot(300, dialog, [tour, dialog, name] {
            tour->save(dialog, name);
            dialog->done(0);
        });
    };
    const std::pair<ConfigKind, const char*> configurations[] = {
        {ConfigKind::Setup, "10-configuration.png"},   {ConfigKind::Display, "11-display.png"},
        {ConfigKind::Communication, "12-communication.png"}, {ConfigKind::Output, "13-output.png"},
        {ConfigKind::Protocol, "14-protocol.png"}};
    for (const auto& [kind, name] : configurations) {
        tour->add([shoot, &frame, &program, kind, name] {
            shoot(new ConfigurationDialog(kind, program.settings, program.store.titles, DataDirectory(), quiet,
                                          frame.configurationHooks(), &frame),
                  QString::fromLatin1(name));
        });
    }
    for (Mode mode : {Mode::Paint, Mode::Alloy}) {
        tour->add([shoot, &frame, &program, mode] {
            shoot(new ColumnDialog(mode, program.settings, program.store.titles, DataDirectory(), quiet, {}, &frame),
                  QStringLiteral("15-columns-%1.png").arg(QString::fromLatin1(WindowText(mode))));
        });
    }
    tour->add([shoot, &frame, &program] {
        static SortChoices choices;
        shoot(new SortDialog(program.store, program.settings, Mode::Paint, 6, choices, quiet, &frame),
              QStringLiteral("16-sorting.png"));
    });
    tour->add([shoot, &frame, &program] {
        shoot(new ColumnTitleDialog(program.store, Mode::Paint, 6, &frame), QStringLiteral("17-edit-column.png"));
    });
    for (Mode mode : {Mode::Paint, Mode::Alloy, Mode::Sign}) {
        tour->add([shoot, &frame, &program, mode] {
            std::optional<AnnotationEdit> edit =
                OpenAnnotationEdit(program.store, program.settings, mode, 0, DataDirectory(), quiet);
            if (!edit) return;
            shoot(new ReadingEditDialog(program, std::move(*edit), DataDirectory(), quiet, &frame),
                  QStringLiteral("18-editor-%1.png").arg(QString::fromLatin1(WindowText(mode))));
        });
    }
    // The instrument dialogs, against simulated analyzers on COM2 (a paced
    // dump at 9.6K) and COM3 (remote control); the library editor on a
    // small library of its own. Without $RAVIK_COM2/3 these steps are skipped.
    if (qEnvironmentVariableIsSet("RAVIK_COM2") && qEnvironmentVariableIsSet("RAVIK_COM3")) {
        AddInstrumentSteps(*tour, frame, program);
    }
    // The desktop: cascaded tables with the status bar, then the empty frame's
    // hint, after which the file opens again for the steps that follow.
    tour->add([&frame] { frame.handleCommand(command::kCascade); });
    tour->add([tour, &frame] { tour->save(&frame, QStringLiteral("20-cascade-status-bar.png")); });
    auto reopen = std::make_shared<std::string>();
    tour->add([&frame, &program, reopen] {
        *reopen = program.shell.currentFileName;
        program.shell.unsavedChanges = false;
        frame.handleCommand(command::kNew);
    });
    tour->add([tour, &frame, reopen] {
        tour->save(&frame, QStringLiteral("21-empty-frame.png"));
        if (!reopen->empty()) frame.openFile(*reopen);
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
    AddCompareSteps([tour](TourStep step) { tour->add(std::move(step)); },
                    [tour](QWidget* widget, const QString& name) { tour->save(widget, name); }, frame, program);
    tour->start();
}

}  // namespace ravik
