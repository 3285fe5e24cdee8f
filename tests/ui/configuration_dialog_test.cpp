// The configuration family and the column dialogs, driven through their
// handlers: what OK writes, what Cancel keeps, the port probe, the steps.

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "desktop/command_ids.h"
#include "platform/data_dir.h"
#include "settings/column_dialog.h"
#include "settings/configuration_dialog.h"
#include "settings/settings_file.h"
#include "support/pseudo_terminal.h"
#include "ui_support.h"
#include "views/table_window.h"

namespace ravik::test {

namespace {

template <typename W = QWidget>
W* Control(const QWidget& dialog, int id) {
    return dialog.findChild<W*>(QStringLiteral("id%1").arg(id));
}

std::string SettingsFile() { return ReadAll(DataFilePath(DataDirectory(), kSettingsFileName)); }

struct Dialog {
    Dialog(FrameUnderTest& t, ConfigKind kind)
        : dialog(kind, t.program.settings, t.program.store.titles, DataDirectory(), t.prompter,
                 t.frame->configurationHooks()) {}
    ConfigurationDialog dialog;
};

}  // namespace

class ConfigurationDialogTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void okWritesExactlyTheChangedValues();
    void cancelKeepsOnlyTheImmediateChanges();
    void aRangeThatIsNoNumberIsRefused();
    void aFailedWriteKeepsTheFileAndTheValues();
    void onlyAnOpenablePortCanBeChosen();
    void stepTextsShowLimitsAndWrap();
    void columnDialogStoresBothWordsAndTheTableFollows();
    void menuCommandsOpenTheirDialogs();
};

void ConfigurationDialogTest::okWritesExactlyTheChangedValues() {
    FrameUnderTest t;
    Settings expected = t.program.settings;
    Dialog d(t, ConfigKind::Protocol);
    d.dialog.choosePcs(kPcsUser);
    Control<QLineEdit>(d.dialog, 1036)->setText(QStringLiteral("0.70"));
    d.dialog.stepMinimumTime(false, +1);
    d.dialog.stepMinimumTime(true, -1);
    QVERIFY(d.dialog.ok());
    expected.pcs = kPcsUser;
    expected.neg = 0.7f;
    expected.minLtime = 21;
    expected.minKtime = 119;
    QCOMPARE(SettingsFile(), SettingsFileText(expected));

    Dialog output(t, ConfigKind::Output);
    output.dialog.stepLayout(false, +1);
    output.dialog.chooseScale(kScaleLog);
    Control<QPlainTextEdit>(output.dialog, 1035)->setPlainText(QStringLiteral("Orvex Survey\nRoom 4"));
    QVERIFY(output.dialog.ok());
    expected.xSpect = 3;
    expected.spectrumYscale = kScaleLog;
    expected.reportHeader = "Orvex Survey\nRoom 4\n";
    QCOMPARE(SettingsFile(), SettingsFileText(expected));
}

void ConfigurationDialogTest::cancelKeepsOnlyTheImmediateChanges() {
    FrameUnderTest t;
    const std::string before = SettingsFile();
    const Settings original = t.program.settings;
    {
        Dialog d(t, ConfigKind::Display);
        d.dialog.chooseColor(ColorRole::Marked);
        d.dialog.stepColor(0, +1);  // Marked red 0 -> 5
        d.dialog.chooseFontSize(0);
        d.dialog.reject();
    }
    {
        Dialog d(t, ConfigKind::Protocol);
        d.dialog.choosePcs(kPcsUser);
        d.dialog.stepMinimumTime(false, +1);
        d.dialog.reject();
    }
    QCOMPARE(SettingsFile(), before);
    QCOMPARE(t.program.settings.color(ColorRole::Marked), (Rgb{5, 255, 0}));
    QCOMPARE(t.program.settings.pcs, kPcsUser);
    QCOMPARE(t.program.settings.displayFontSize, original.displayFontSize);
    QCOMPARE(t.program.settings.minLtime, original.minLtime);

    Dialog defaults(t, ConfigKind::Display);
    defaults.dialog.setDefaultColors();
    QCOMPARE(t.program.settings.color(ColorRole::Positive), (Rgb{255, 0, 0}));
    QCOMPARE(t.program.settings.color(ColorRole::Marked), (Rgb{0, 255, 0}));
}

void ConfigurationDialogTest::aRangeThatIsNoNumberIsRefused() {
    FrameUnderTest t;
    const std::string before = SettingsFile();
    Dialog d(t, ConfigKind::Protocol);
    d.dialog.choosePcs(kPcsUser);
    Control<QLineEdit>(d.dialog, 1038)->setText(QStringLiteral("one"));
    QVERIFY(!d.dialog.ok());
    QCOMPARE(t.prompter.captions(), (std::vector<std::string>{"ERROR"}));
    QCOMPARE(d.dialog.result(), 0);
    QCOMPARE(SettingsFile(), before);
    QCOMPARE(t.program.settings.pos, 1.0f);
}

void ConfigurationDialogTest::aFailedWriteKeepsTheFileAndTheValues() {
    FrameUnderTest t;
    const std::string before = SettingsFile();
    Dialog d(t, ConfigKind::Output);
    d.dialog.stepLayout(true, +1);
    WithFileSizeLimit(16, [&d] { QVERIFY(d.dialog.ok()); });
    QCOMPARE(t.prompter.shown(), (std::vector<std::string>{"SAVE ERROR: Opening Ini file"}));
    QCOMPARE(SettingsFile(), before);
    QCOMPARE(t.program.settings.ySpect, 3);
}

void ConfigurationDialogTest::onlyAnOpenablePortCanBeChosen() {
    PseudoTerminal com2;
    TempDir dir;
    for (int n : {1, 3, 4}) qputenv(qPrintable(QStringLiteral("RAVIK_COM%1").arg(n)), QByteArray::fromStdString(dir.file("none")));
    qputenv("RAVIK_COM2", QByteArray::fromStdString(com2.slave));
    FrameUnderTest t;
    t.program.settings.currentPort = 0;
    Dialog d(t, ConfigKind::Communication);
    for (int n : {1, 2, 3, 4}) qunsetenv(qPrintable(QStringLiteral("RAVIK_COM%1").arg(n)));
    const int radios[] = {203, 204, 205, 206};
    for (int i = 0; i < 4; ++i) {
        auto* radio = Control<QAbstractButton>(d.dialog, radios[i]);
        QCOMPARE(radio->isEnabled(), i == 1);
        QCOMPARE(radio->isChecked(), i == 1);
    }
    QCOMPARE(Control<QLabel>(d.dialog, 2214)->text(), QString::fromStdString(com2.slave));
    d.dialog.choosePort(2);  // cannot be opened: nothing changes
    QVERIFY(d.dialog.ok());
    QCOMPARE(t.program.settings.currentPort, 1);
}

void ConfigurationDialogTest::stepTextsShowLimitsAndWrap() {
    FrameUnderTest t;
    t.program.settings.xSpect = 9;
    t.program.settings.colors[0] = Rgb{250, 255, 255};
    Dialog d(t, ConfigKind::Setup);
    d.dialog.stepLayout(false, +1);
    d.dialog.stepLayout(false, +1);
    QCOMPARE(Control<QLabel>(d.dialog, 431)->text(), QStringLiteral(" 10"));
    d.dialog.stepColor(0, +1);
    d.dialog.stepColor(0, +1);
    QCOMPARE(Control<QLabel>(d.dialog, 1164)->text(), QStringLiteral("  0"));
    // pcs Device greys the ranges and minimum times; User enables them.
    d.dialog.choosePcs(kPcsDevice);
    QVERIFY(!Control(d.dialog, 1036)->isEnabled() && !Control(d.dialog, 424)->isEnabled());
    d.dialog.choosePcs(kPcsUser);
    QVERIFY(Control(d.dialog, 1036)->isEnabled() && Control(d.dialog, 1129)->isEnabled());
    // The frame gives "&Setup" Printer Setup.
    QVERIFY(Control(d.dialog, 1034)->isEnabled());
}

void ConfigurationDialogTest::columnDialogStoresBothWordsAndTheTableFollows() {
    TempDir dir;
    FrameUnderTest t;
    t.open(WriteReadingsFile(dir, "bulk.qvr", {0, 4, 0, 0, 0}));
    TableView* view = t.frame->tableWindow(Mode::Bulk)->view();
    const std::vector<int> before = view->columnLayout().columns;
    QVERIFY(std::count(before.begin(), before.end(), 17) == 1);
    WhenModalOpens<ColumnDialog>([](ColumnDialog& dialog) {
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Bulk Sample Columns"));
        dialog.box(17)->setChecked(false);
        dialog.box(20)->setChecked(false);
        dialog.ok();
    });
    t.frame->handleCommand(command::kColumnsBulk);
    const Settings& s = t.program.settings;
    QCOMPARE(static_cast<uint32_t>(s.enabledColumns[1]), ~((1u << 17) | (1u << 20)));
    QCOMPARE(static_cast<uint32_t>(s.enabledColumns[2]), ~((1u << 1) | (1u << 4)));
    QCOMPARE(SettingsFile(), SettingsFileText(s));
    const std::vector<int> after = view->columnLayout().columns;
    QVERIFY(std::count(after.begin(), after.end(), 17) == 0);
    QCOMPARE(after.size(), before.size() - (std::count(before.begin(), before.end(), 20) ? 2 : 1));
}

void ConfigurationDialogTest::menuCommandsOpenTheirDialogs() {
    FrameUnderTest t;
    const std::pair<int, const char*> commands[] = {{command::kDisplay, "Display Configure"},
                                                    {command::kCommunication, "Communication Configure"},
                                                    {command::kOutput, "Output Configure"},
                                                    {command::kProtocol, "Protocol Configuration"}};
    for (const auto& [id, title] : commands) {
        QString seen;
        WhenModalOpens<ConfigurationDialog>([&seen](ConfigurationDialog& dialog) {
            seen = dialog.windowTitle();
            dialog.reject();
        });
        QVERIFY(t.frame->commandAction(id)->isEnabled());
        t.frame->handleCommand(id);
        QCOMPARE(seen, QString::fromLatin1(title));
    }
}

}  // namespace ravik::test

QTEST_MAIN(ravik::test::ConfigurationDialogTest)
#include "configuration_dialog_test.moc"
