#include "screenshots/compare_tour.h"

#include <QPointer>
#include <memory>

#include "core/shell/program.h"
#include "core/views/element_lines.h"
#include "ui/frame/frame_window.h"
#include "ui/views/compare_window.h"

namespace ravik {

void AddCompareSteps(const std::function<void(TourStep)>& add,
                     const std::function<void(QWidget*, const QString&)>& save, FrameWindow& frame, Program& program) {
    auto window = std::make_shared<QPointer<CompareWindow>>();
    add([&frame, &program, window] {
        const ModeList& paint = program.store.list(Mode::Paint);
        for (size_t row = 0; row < paint.size() && row < 8; ++row) program.store.flags(paint[row]) |= Marked;
        frame.compareMarked(Mode::Paint);
        *window = frame.compareWindow();
        if (*window) (*window)->resize(1400, 860);
    });
    add([save, window] {
        if (*window) save(*window, QStringLiteral("compare-overlay.png"));
    });
    add([window] {
        if (!*window) return;
        CompareWindow& compare = **window;
        compare.viewport().showEnergy(7.4, 13.4);
        compare.setRegion(10.25, 10.85);
        compare.identifyAt(10.55);
        compare.markElement(*ElementNamed("Pb"));
        compare.markElement(*ElementNamed("Zn"));
    });
    add([save, window] {
        if (*window) save(*window, QStringLiteral("compare-markers.png"));
    });
    add([window] {
        if (!*window) return;
        CompareWindow& compare = **window;
        compare.clearMarkers();
        compare.clearRegion();
        compare.setNormalisation(Normalisation::ToArea);
        compare.setReference(compare.comparison().entries().front().id);
        compare.viewport().reset();
    });
    add([save, window] {
        if (!*window) return;
        save(*window, QStringLiteral("compare-difference.png"));
        (*window)->close();
    });
}

}  // namespace ravik
