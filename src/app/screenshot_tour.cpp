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
    tour->start();
}

}  // namespace ravik
