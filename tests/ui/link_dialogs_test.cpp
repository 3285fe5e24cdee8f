// The Receive and Remote Control dialogs against the simulated analyzer on a
// pseudo-terminal, and the painting of the analyzer's screen.

#include <QComboBox>
#include <QElapsedTimer>
#include <QImage>
#include <QListWidget>
#include <QPainter>

#include "ui/frame/quick_button_bar.h"
#include "ui/link/dump_dialog.h"
#include "core/link/instrument_port.h"
#include "ui/link/remote_dialog.h"
#include "ui/link/remote_painter.h"
#include "support/analyzer_simulator.h"
#include "ui_support.h"

namespace ravik::test {

namespace {

constexpr int kWaitMillis = 20000;

// A frame whose COM1 is the simulated analyzer holding some readings,
// both at rate index 4.
struct ReceivingFrame {
    explicit ReceivingFrame(const char* readings)
        : analyzer(ANALYZER_SIM_EXE, {"--readings", readings, "--baud", "4"}), com1(1, analyzer.path()) {
        t.program.settings.baud = 4;
    }
    // Runs Receive and acts on its dialog once Accept comes on; a dialog that
    // never gets there is discarded after the wait, and false returned.
    bool receive(const std::function<void(DumpDialog&)>& action) {
        bool failed = false;
        QElapsedTimer clock;
        clock.start();
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<DumpDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr) return;
            if (dialog->receiver().acceptEnabled()) {
                timer.stop();
                action(*dialog);
            } else if (clock.elapsed() > kWaitMillis) {
                timer.stop();
                failed = true;
                dialog->receiver().end();
                dialog->done(0);
            }
        });
        timer.start(20);
        t.frame->handleCommand(command::kReceive);
        return !failed;
    }

    AnalyzerSimulator analyzer;
    ComPort com1;
    FrameUnderTest t;
};

}  // namespace

class LinkDialogsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // An accepted dump becomes the unsaved, unnamed readings with their tables;
    // once every reading is in, Accept has the focus and Enter accepts.
    void receiveAcceptsADumpIntoTheTables() {
        ReceivingFrame r("50");
        QVERIFY(!r.analyzer.path().empty());
        FrameUnderTest& t = r.t;
        bool connectShown = false;
        QVERIFY(r.receive([&](DumpDialog& d) {
            connectShown = t.frame->quickButtonBar()->button(control::kConnectButton)->shownPicture() ==
                           QStringLiteral("CONNECTED_UP");
            QWidget* accept = FindControl(d, dump_control::kAccept);
            QVERIFY(accept->isEnabled());
            QCOMPARE(d.focusWidget(), accept);
            QTest::keyClick(accept, Qt::Key_Return);
        }));
        QVERIFY(connectShown);
        QCOMPARE(t.program.store.readingCount, 50);
        QVERIFY(t.frame->tableWindow(Mode::Paint) != nullptr);
        QVERIFY(t.program.shell.unsavedChanges);
        QVERIFY(t.program.shell.currentFileName.empty());
        QVERIFY(!t.program.shell.portOpen);
        QVERIFY(t.frame->commandAction(command::kReceive)->isEnabled());
    }

    // Discarding asks first (No keeps the dialog receiving); the open file stays.
    void discardLeavesTheOpenFile() {
        ReceivingFrame r("5");
        FrameUnderTest& t = r.t;
        const std::string open = t.openReadings("site.qvr", {3, 0, 0, 0, 0}, false, "Pier 7");
        bool stayedOnNo = false;
        QVERIFY(r.receive([&](DumpDialog& d) {
            t.prompter.queueAnswer(Answer::No);
            d.discardDump();
            stayedOnNo = d.isVisible() && d.timer().isActive();
            t.prompter.queueAnswer(Answer::Yes);
            d.discardDump();
        }));
        QVERIFY(stayedOnNo);
        QCOMPARE(t.program.store.readingCount, 3);
        QCOMPARE(t.program.shell.currentFileName, open);
        QVERIFY(!t.program.shell.unsavedChanges);
    }

    // A port that cannot be opened is named in an error, and with nothing
    // received neither Accept nor Enter (on the focused Discard) does anything.
    void missingPortAndNothingToAccept() {
        ScratchHome home;
        ScriptedPrompter prompter;
        Settings settings;
        InstrumentPort port;
        DumpDialog dialog(port, prompter, settings, home.file("ravik.tmp"));
        QVERIFY(!dialog.start({home.file("no-such-device"), 0, {}}));
        QCOMPARE(prompter.captions(), std::vector<std::string>{"ERROR SETTING PORT"});
        dialog.acceptDump();
        QCOMPARE(dialog.result(), 0);
        dialog.show();
        QWidget* discard = FindControl(dialog, dump_control::kDiscard);  // the only control that takes the focus
        discard->setFocus();
        QTest::keyClick(discard, Qt::Key_Return);
        QVERIFY(dialog.isVisible());
        QCOMPARE(prompter.boxes().size(), size_t{1});
    }

    // Remote Control finds the analyzer at its rate, shows its screen, spectrum
    // and status, runs AutoStart, shows pass/fail and closes the port on Exit.
    void remoteAgainstTheSimulator() {
        AnalyzerSimulator analyzer(ANALYZER_SIM_EXE, {"--baud", "2"});
        ScriptedPrompter prompter;
        FastClock clock;
        InstrumentPort port;
        RemoteDialog dialog(port, prompter, clock, {analyzer.path(), 0, {}});
        dialog.show();
        dialog.start();
        RemoteSession& session = dialog.session();
        QVERIFY(QTest::qWaitFor([&] { return session.phase() == RemoteSession::Phase::Connected; }, kWaitMillis));
        QCOMPARE(Control<QComboBox>(dialog, remote_control::kBaudList)->currentIndex(), 2);

        // The screen picture, the spectrum and the status.
        Control<QCheckBox>(dialog, remote_control::kScreenCheck)->setChecked(true);
        Control<QCheckBox>(dialog, remote_control::kSpectraCheck)->setChecked(true);
        auto box = [&dialog](int id) { return Control<DisplayBox>(dialog, id); };
        QVERIFY(QTest::qWaitFor([&] {
            return box(remote_control::kLandscape)->picture() && box(remote_control::kSpectrum)->plot() &&
                   box(remote_control::kPortrait)->text().contains(QStringLiteral("VBattery:"));
        }, kWaitMillis));
        // The status time is the analyzer's at its reply, and the caption says so.
        QCOMPARE(Control<QLabel>(dialog, remote_control::kStatusCaption)->text(),
                 QString::fromLatin1(remote_control::kStatusCaptionText));
        QVERIFY(!FindControl(dialog, remote_control::kBaudList)->isEnabled());

        // AutoStart takes its edits: two measurements of a second, the edits greyed meanwhile.
        auto* measTime = Control<QLineEdit>(dialog, remote_control::kMeasTime);
        measTime->setText(QStringLiteral("1"));
        Control<QLineEdit>(dialog, remote_control::kNumRepeat)->setText(QStringLiteral("2"));
        dialog.autoStart();
        QVERIFY(session.autoStartRunning() && !measTime->isEnabled());
        QVERIFY(QTest::qWaitFor([&] { return !session.autoStartRunning(); }, kWaitMillis));

        // Pass/fail: nothing until an alloy is chosen, the identified grade
        // named beside it; a selected alloy gets its verdict.
        Control<QCheckBox>(dialog, remote_control::kPassFailCheck)->setChecked(true);
        auto* alloys = Control<QListWidget>(dialog, remote_control::kAlloyList);
        QVERIFY(QTest::qWaitFor([&] { return alloys->count() > 0; }, kWaitMillis));
        QVERIFY(box(remote_control::kPassFail)->verdict().isEmpty());
        QVERIFY(alloys->findItems(Control<QLabel>(dialog, remote_control::kGradeName)->text(), Qt::MatchExactly).size() == 1);
        alloys->setCurrentRow(0);
        box(remote_control::kPassFail)->showVerdict(QString());
        QVERIFY(QTest::qWaitFor([&] { return !box(remote_control::kPassFail)->verdict().isEmpty(); }, kWaitMillis));

        dialog.exitDialog();
        QCOMPARE(dialog.result(), 0);
        QVERIFY(!port.isOpen());
        QVERIFY(!dialog.timer().isActive());
    }

    // The analyzer's screen is painted in whole squares of the scale, with a margin.
    void screenPixelsStaySharpSquares() {
        // One dark pixel at column 9, row 0 (bit 1 of the second byte, least significant bit leftmost).
        std::vector<uint8_t> bitmap(kScreenBitmapBytes, 0);
        bitmap[1] = 0x02;
        QImage image(3 * kScreenWidth + 2, 3 * kScreenHeight + 2, QImage::Format_RGB32);
        QPainter painter(&image);
        PaintMonoPicture(painter, ScreenPicture(bitmap), image.size());
        painter.end();
        // Scale 3, one pixel of margin on each side: the dark pixel covers x 28..30, y 1..3.
        const QRgb light = image.pixel(1, 1);
        for (int y = 1; y <= 3; ++y) {
            for (int x = 27; x <= 31; ++x) QCOMPARE(image.pixel(x, y) != light, x >= 28 && x <= 30);
        }
        QCOMPARE(image.pixel(29, 4), light);
    }
};

}  // namespace ravik::test

QTEST_MAIN(ravik::test::LinkDialogsTest)
#include "link_dialogs_test.moc"
