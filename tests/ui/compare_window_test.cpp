// The compare window's wiring: readings join from a table's Compare Marked
// and a spectrum window's Compare and stay through New and Close All; the
// keys, wheel and drags move the view; a click lists candidates; the
// pictures come out in their formats. The arithmetic is the core's and is
// tested there.

#include <QContextMenuEvent>
#include <QMenu>
#include <QWheelEvent>

#include "core/views/spectrum_compare.h"
#include "ui/frame/spectrum_command.h"
#include "ui/views/compare_window.h"
#include "ui/views/spectrum_window.h"
#include "ui_support.h"

using namespace ravik;
using namespace ravik::test;

class CompareWindowTest : public QObject {
    Q_OBJECT

    static double Width(const ViewWindow& w) { return w.toKeV - w.fromKeV; }

private Q_SLOTS:
    void compareMarkedAndSpectrumCompareAddReadingsThatOutliveTheFile() {
        PaintTable t(8);
        QVERIFY(t.activate());
        for (int row : {2, 4}) t.program.store.flags(t.program.store.list(Mode::Paint).at(row - 1)) |= Marked;
        QTest::keyClick(t.view, Qt::Key_M, Qt::ControlModifier);
        CompareWindow* compare = t.frame->compareWindow();
        QVERIFY(compare != nullptr);
        const int marked = 2;
        QCOMPARE(static_cast<int>(compare->comparison().size()), marked);
        QCOMPARE(compare->comparison().entries().front().reading.tableNo, 2);

        SpectrumWindow* spectrum = t.frame->openSpectrumWindow(t.program.store.list(Mode::Paint).at(6), kPaintLowKind);
        spectrum->findChild<QAction*>(QStringLiteral("compare"))->trigger();
        QCOMPARE(static_cast<int>(compare->comparison().size()), marked + 1);
        QCOMPARE(compare->comparison().entries().back().reading.tableNo, 7);

        // The right button's menu comes after the double-click time.
        QTimer::singleShot(3 * QApplication::doubleClickInterval(), [] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu && menu->actions().at(0)->text() == QStringLiteral("Compare &Marked"));
            menu->actions().at(0)->trigger();
            menu->close();
        });
        const QPoint at = t.rowPoint(1);
        QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, at, t.view->viewport()->mapToGlobal(at));
        QApplication::sendEvent(t.view->viewport(), &menuEvent);
        QTRY_COMPARE(static_cast<int>(compare->comparison().size()), 2 * marked + 1);

        t.frame->handleCommand(command::kCloseAll);
        t.prompter.queueAnswer(Answer::No);
        t.frame->handleCommand(command::kNew);
        QVERIFY(!t.program.store.hasReadings());
        QCOMPARE(t.frame->compareWindow(), compare);
        QCOMPARE(static_cast<int>(compare->comparison().size()), 2 * marked + 1);
        QCOMPARE(compare->viewport().overlay().curves.size(), compare->comparison().size());
        QCOMPARE(t.frame->showCompareWindow(), compare);  // Window, Compare Spectra... brings it forward
    }

    void keysWheelAndDragsMoveTheView() {
        PaintTable t(4);
        for (int32_t reading : t.program.store.list(Mode::Paint)) t.program.store.flags(reading) |= Marked;
        t.frame->compareMarked(Mode::Paint);
        CompareWindow* compare = t.frame->compareWindow();
        compare->resize(1000, 700);
        QVERIFY(QTest::qWaitForWindowExposed(compare));
        CompareView* view = compare->view();
        CompareViewport& viewport = compare->viewport();
        const ViewWindow whole = viewport.window();

        QTest::keyClick(view, Qt::Key_Plus);
        QVERIFY(std::abs(Width(viewport.window()) - Width(whole) / 1.5) < 1e-6);
        const double from = viewport.window().fromKeV;
        QTest::keyClick(view, Qt::Key_Right);
        QVERIFY(viewport.window().fromKeV > from);
        QTest::keyClick(view, Qt::Key_Minus);
        QTest::keyClick(view, Qt::Key_Home);
        QCOMPARE(viewport.window().fromKeV, whole.fromKeV);
        QCOMPARE(viewport.window().toKeV, whole.toKeV);

        view->repaint();
        const ComparePlot plot = view->plot();
        const QPointF middle((plot.left + plot.right) / 2, (plot.top + plot.bottom) / 2);
        QWheelEvent wheel(middle, view->mapToGlobal(middle), {}, QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(view, &wheel);
        QVERIFY(Width(viewport.window()) < Width(whole));
        QVERIFY(std::abs(plot.keVAt(middle.x()) - (viewport.window().fromKeV + viewport.window().toKeV) / 2) < 0.05);
        QTest::keyClick(view, Qt::Key_Home);

        const auto drag = [&](Qt::KeyboardModifiers modifiers, QPoint a, QPoint b) {
            view->repaint();
            QTest::mousePress(view, Qt::LeftButton, modifiers, a);
            QTest::mouseMove(view, b);
            QTest::mouseRelease(view, Qt::LeftButton, modifiers, b);
        };
        const int y = static_cast<int>(middle.y());
        const QPoint a(static_cast<int>(plot.xOf(5.0)), y);
        const QPoint b(static_cast<int>(plot.xOf(12.0)), y);
        drag(Qt::NoModifier, a, b);
        QVERIFY(std::abs(viewport.window().fromKeV - plot.keVAt(a.x())) < 1e-6);
        QVERIFY(std::abs(viewport.window().toKeV - plot.keVAt(b.x())) < 1e-6);
        QVERIFY(viewport.countsFollow());
        drag(Qt::ShiftModifier, QPoint(a.x(), static_cast<int>(plot.top) + 40), QPoint(a.x(), y));
        QVERIFY(!viewport.countsFollow());
        drag(Qt::ControlModifier, a + QPoint(10, 0), b - QPoint(10, 0));
        QVERIFY(compare->region().has_value());
        QCOMPARE(compare->regionSums().size(), compare->viewport().overlay().curves.size());
        QVERIFY(!compare->regionText().empty());

        // A click identifies; choosing a candidate marks its lines until cleared.
        view->repaint();
        QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, QPoint(static_cast<int>(view->plot().xOf(10.55)), y));
        QVERIFY(!compare->candidates().empty());
        compare->markElement(compare->candidates().front().z);
        QVERIFY(!compare->markers().empty());
        compare->clearMarkers();
        QVERIFY(compare->markers().empty());
    }

    void picturesComeOutInTheirFormats() {
        PaintTable t(3);
        t.frame->handleCommand(command::kCompareSpectra);  // empty, it paints its hint
        t.frame->compareWindow()->view()->repaint();
        t.program.store.flags(t.program.store.list(Mode::Paint).at(0)) |= Marked;
        t.frame->compareMarked(Mode::Paint);
        CompareWindow* compare = t.frame->compareWindow();
        const std::pair<const char*, QByteArray> formats[] = {
            {"plot.png", QByteArray("\x89PNG")}, {"plot.svg", QByteArray("<?xml")}, {"plot.pdf", QByteArray("%PDF")}};
        for (const auto& [name, magic] : formats) {
            std::string error;
            QVERIFY2(compare->exportImage(t.dir.file(name), 800, 500, error), error.c_str());
            std::string bytes;
            QCOMPARE(ReadFileText(t.dir.file(name), bytes, 64), FileStatus::Ok);
            QVERIFY2(QByteArray::fromStdString(bytes).startsWith(magic), name);
        }
        // The spectra: an EMSA file per reading, all or none; a CSV table.
        t.program.store.flags(t.program.store.list(Mode::Paint).at(1)) |= Marked;
        t.frame->compareMarked(Mode::Paint);  // reading 1 again, and reading 2
        const std::vector<std::string> paths = compare->emsaPaths(t.dir.path());
        QCOMPARE(paths.size(), size_t{3});
        QVERIFY(paths[0] != paths[1]);  // the same reading twice gets two names
        QVERIFY(WriteFileAtomically(paths[2], "keep") == FileStatus::Ok);
        std::string error;
        QVERIFY(!compare->exportEmsa(t.dir.path(), false, error));
        QVERIFY(!FileExists(paths[0]) && !FileExists(paths[1]));
        QVERIFY(compare->exportEmsa(t.dir.path(), true, error));
        std::string head;
        QCOMPARE(ReadFileText(paths[2], head, 20), FileStatus::Ok);
        QVERIFY(head.starts_with("#FORMAT"));
        QVERIFY(compare->exportCsv(t.dir.file("spectra.csv"), error));

        // The subcommand: a picture, then no second one over it without --force.
        const std::string input = t.program.shell.currentFileName;
        const std::string out = t.dir.file("cli.png");
        const Arguments args = {input, "--mode", "paint", "--readings", "1,2", "--lines", "Pb", "-o", out};
        QCOMPARE(RunSpectrum(args), 0);
        QVERIFY(FileExists(out));
        QCOMPARE(RunSpectrum(args), 1);
    }
};

QTEST_MAIN(CompareWindowTest)
#include "compare_window_test.moc"
