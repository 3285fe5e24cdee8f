// The Receive and Remote Control dialogs against the simulated analyzer on a
// pseudo-terminal: a dump accepted into the tables, a discarded one leaving
// the open file, a cut-short one, a port that cannot be opened; the remote
// search at another rate, its displays, AutoStart, pass/fail and Exit.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "app/quick_button_bar.h"
#include "desktop/command_ids.h"
#include "link/dialog_shell.h"
#include "link/dump_dialog.h"
#include "link/instrument_port.h"
#include "link/remote_dialog.h"
#include "link/remote_painter.h"
#include "support/analyzer_simulator.h"
#include "ui_support.h"
#include "views/table_window.h"

namespace ravik::test {

namespace {

constexpr int kWaitMillis = 20000;

// Points COM1 at a device while it lives.
class Com1 {
public:
    explicit Com1(const std::string& path) { qputenv("RAVIK_COM1", QByteArray::fromStdString(path)); }
    ~Com1() { qunsetenv("RAVIK_COM1"); }
};

// Acts on the frame's dump dialog once it runs and ready() holds; a dialog
// that never gets there is discarded after the wait, and failed() tells.
class DumpDialogDriver : public QObject {
public:
    DumpDialogDriver(std::function<bool(DumpDialog&)> ready, std::function<void(DumpDialog&)> action)
        : ready_(std::move(ready)), action_(std::move(action)) {
        clock_.start();
        connect(&timer_, &QTimer::timeout, this, [this] { poll(); });
        timer_.start(20);
    }
    bool failed() const { return failed_; }

private:
    void poll() {
        auto* dialog = qobject_cast<DumpDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        if (ready_(*dialog)) {
            timer_.stop();
            action_(*dialog);
        } else if (clock_.elapsed() > kWaitMillis) {
            timer_.stop();
            failed_ = true;
            dialog->receiver().end();
            dialog->done(0);
        }
    }

    std::function<bool(DumpDialog&)> ready_;
    std::function<void(DumpDialog&)> action_;
    QTimer timer_;
    QElapsedTimer clock_;
    bool failed_ = false;
};

DisplayBox* Box(const QWidget& dialog, int id) { return qobject_cast<DisplayBox*>(FindControl(dialog, id)); }

int TotalReadings(const ReadingStore& store) {
    int total = 0;
    for (Mode mode : kAllModes) total += store.count(mode);
    return total;
}

}  // namespace

class LinkDialogsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void receiveAcceptsADumpIntoTheTables();
    void discardLeavesTheOpenFile();
    void cutShortDumpAndMissingPort();
    void remoteAgainstTheSimulator();
    void screenPixelsStaySharpSquares();
};

void LinkDialogsTest::receiveAcceptsADumpIntoTheTables() {
    AnalyzerSimulator analyzer(ANALYZER_SIM_EXE, {"--readings", "50", "--baud", "4"});
    QVERIFY(!analyzer.path().empty());
    Com1 com1(analyzer.path());
    FrameUnderTest t;
    t.program.settings.baud = 4;
    bool connectShown = false;
    DumpDialogDriver driver([](DumpDialog& d) { return d.receiver().acceptEnabled(); },
                            [&](DumpDialog& d) {
                                connectShown = t.frame->quickButtonBar()->button(control::kConnectButton)
                                                   ->shownPicture() == QStringLiteral("CONNECTED_UP");
                                QVERIFY(FindControl(d, dump_control::kAccept)->isEnabled());
                                d.acceptDump();
                            });
    t.frame->handleCommand(command::kReceive);
    QVERIFY(!driver.failed());
    QVERIFY(connectShown);
    QCOMPARE(t.program.store.readingCount, 50);
    QCOMPARE(TotalReadings(t.program.store), 50);
    for (Mode mode : kAllModes) QCOMPARE(t.frame->tableWindow(mode) != nullptr, t.program.store.count(mode) > 0);
    QVERIFY(t.frame->tableWindow(Mode::Paint) != nullptr);
    QVERIFY(t.program.shell.unsavedChanges);
    QVERIFY(t.program.shell.currentFileName.empty());
    QVERIFY(!t.program.shell.portOpen);
    QVERIFY(t.frame->commandAction(command::kReceive)->isEnabled());
}

void LinkDialogsTest::discardLeavesTheOpenFile() {
    TempDir dir;
    AnalyzerSimulator analyzer(ANALYZER_SIM_EXE, {"--readings", "5", "--baud", "4"});
    Com1 com1(analyzer.path());
    FrameUnderTest t;
    t.program.settings.baud = 4;
    const std::string open = WriteReadingsFile(dir, "site.qvr", {3, 0, 0, 0, 0}, false, "Pier 7");
    t.open(open);
    bool stayedOnNo = false;
    DumpDialogDriver driver([](DumpDialog& d) { return d.receiver().acceptEnabled(); },
                            [&](DumpDialog& d) {
                                t.prompter.queueAnswer(Answer::No);
                                d.discardDump();
                                stayedOnNo = d.isVisible() && d.timer().isActive();
                                t.prompter.queueAnswer(Answer::Yes);
                                d.discardDump();
                            });
    t.frame->handleCommand(command::kReceive);
    QVERIFY(!driver.failed());
    QVERIFY(stayedOnNo);
    QCOMPARE(t.prompter.shown().back(), std::string("Warning: Canceling will delete data\nAre you sure?"));
    QCOMPARE(t.program.store.readingCount, 3);
    QCOMPARE(t.program.shell.currentFileName, open);
    QCOMPARE(t.program.store.site, std::string("Pier 7"));
    QVERIFY(!t.program.shell.unsavedChanges);
    QVERIFY(t.frame->tableWindow(Mode::Paint) != nullptr);
}

void LinkDialogsTest::cutShortDumpAndMissingPort() {
    ScratchHome home;
    ScriptedPrompter prompter;
    Settings settings;
    {
        AnalyzerSimulator analyzer(ANALYZER_SIM_EXE, {"--readings", "50", "--baud", "4", "--cut-after", "6000"});
        InstrumentPort port;
        DumpDialog dialog(port, prompter, settings, home.file("ravik.tmp"));
        QVERIFY(dialog.start({analyzer.path(), 4, {}}));
        dialog.show();
        QVERIFY(QTest::qWaitFor([&] { return dialog.receiver().state().received > 0; }, kWaitMillis));
        QTest::qWait(1500);  // the rest never comes
        QVERIFY(!dialog.receiver().acceptEnabled());
        QVERIFY(!FindControl(dialog, dump_control::kAccept)->isEnabled());
        dialog.acceptDump();
        QVERIFY(dialog.isVisible());
        prompter.queueAnswer(Answer::Yes);
        dialog.discardDump();
        QCOMPARE(dialog.result(), 0);
        QVERIFY(!port.isOpen());
    }
    InstrumentPort port;
    DumpDialog dialog(port, prompter, settings, home.file("ravik.tmp"));
    prompter.clear();
    QVERIFY(!dialog.start({home.file("no-such-device"), 0, {}}));
    QCOMPARE(prompter.captions(), std::vector<std::string>{"ERROR SETTING PORT"});
}

void LinkDialogsTest::remoteAgainstTheSimulator() {
    AnalyzerSimulator analyzer(ANALYZER_SIM_EXE, {"--baud", "2"});
    ScriptedPrompter prompter;
    FastClock clock;
    InstrumentPort port;
    RemoteDialog dialog(port, prompter, clock, {analyzer.path(), 0, {}});
    dialog.show();
    dialog.start();
    RemoteSession& session = dialog.session();
    QVERIFY(QTest::qWaitFor([&] { return session.phase() == RemoteSession::Phase::Connected; }, kWaitMillis));
    QCOMPARE(qobject_cast<QComboBox*>(FindControl(dialog, remote_control::kBaudList))->currentIndex(), 2);

    // The screen picture, the spectrum and the status.
    qobject_cast<QCheckBox*>(FindControl(dialog, remote_control::kScreenCheck))->setChecked(true);
    qobject_cast<QCheckBox*>(FindControl(dialog, remote_control::kSpectraCheck))->setChecked(true);
    QVERIFY(QTest::qWaitFor([&] {
        return Box(dialog, remote_control::kLandscape)->picture() && Box(dialog, remote_control::kSpectrum)->plot() &&
               Box(dialog, remote_control::kPortrait)->text().contains(QStringLiteral("VBattery:"));
    }, kWaitMillis));
    QCOMPARE(Box(dialog, remote_control::kLandscape)->picture()->width, kScreenWidth);
    QVERIFY(!FindControl(dialog, remote_control::kBaudList)->isEnabled());

    // AutoStart: refused without a time, then two measurements of a second.
    auto* measTime = qobject_cast<QLineEdit*>(FindControl(dialog, remote_control::kMeasTime));
    auto* numRepeat = qobject_cast<QLineEdit*>(FindControl(dialog, remote_control::kNumRepeat));
    dialog.autoStart();
    QCOMPARE(prompter.shown().back(), std::string("Auto Start: Must set Meas Time"));
    measTime->setText(QStringLiteral("1"));
    numRepeat->setText(QStringLiteral("2"));
    dialog.autoStart();
    QVERIFY(session.autoStartRunning());
    QVERIFY(!measTime->isEnabled());
    QVERIFY(QTest::qWaitFor([&] { return !session.autoStartRunning(); }, kWaitMillis));
    QCOMPARE(numRepeat->text(), QStringLiteral("2"));
    QVERIFY(measTime->isEnabled());

    // Pass/fail: exactly the identified alloy passes.
    qobject_cast<QCheckBox*>(FindControl(dialog, remote_control::kPassFailCheck))->setChecked(true);
    auto* alloys = qobject_cast<QListWidget*>(FindControl(dialog, remote_control::kAlloyList));
    QVERIFY(QTest::qWaitFor([&] { return alloys->count() >= 3; }, kWaitMillis));
    QVERIFY(alloys->isEnabled());
    DisplayBox* verdict = Box(dialog, remote_control::kPassFail);
    QStringList verdicts;
    for (int row = 0; row < 3; ++row) {
        alloys->setCurrentRow(row);
        verdict->showVerdict(QString());
        QVERIFY(QTest::qWaitFor([&] { return !verdict->verdict().isEmpty(); }, kWaitMillis));
        verdicts << verdict->verdict();
    }
    QCOMPARE(verdicts.count(QStringLiteral("Pass")), 1);
    QCOMPARE(verdicts.count(QStringLiteral("Fail")), 2);

    dialog.exitDialog();
    QCOMPARE(dialog.result(), 0);
    QVERIFY(!port.isOpen());
    QVERIFY(!dialog.timer().isActive());
}

void LinkDialogsTest::screenPixelsStaySharpSquares() {
    // One dark pixel at column 9, row 0 (bit 1 of the second byte, least significant bit leftmost).
    std::vector<uint8_t> bitmap(kScreenBitmapBytes, 0);
    bitmap[1] = 0x02;
    const MonoPicture picture = ScreenPicture(bitmap);
    QImage image(3 * kScreenWidth + 2, 3 * kScreenHeight + 2, QImage::Format_RGB32);
    QPainter painter(&image);
    PaintMonoPicture(painter, picture, image.size());
    painter.end();
    // Scale 3, one pixel of margin on each side: the dark pixel covers x 28..30, y 1..3.
    const QRgb light = image.pixel(1, 1);
    for (int y = 1; y <= 3; ++y) {
        for (int x = 27; x <= 31; ++x) QCOMPARE(image.pixel(x, y) != light, x >= 28 && x <= 30);
    }
    QCOMPARE(image.pixel(29, 4), light);
}

}  // namespace ravik::test

QTEST_MAIN(ravik::test::LinkDialogsTest)
#include "link_dialogs_test.moc"
