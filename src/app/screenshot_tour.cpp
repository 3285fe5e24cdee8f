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
#include "maintenance/column_title_dialog.h"
#include "maintenance/reading_edit_dialog.h"
#include "maintenance/sort_dialog.h"
#include "platform/data_dir.h"
#include "platform/prompter.h"
#include "settings/column_dialog.h"
#include "settings/configuration_dialog.h"
#include "views/table_marking.h"
#include "views/table_window.h"

namespace ravik {

namespace {

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
    tour->start();
}

}  // namespace ravik
