// The configuration family and the column dialogs, driven through their
// handlers: what OK writes, what Cancel keeps, the port probe, the steps.

#include <QPlainTextEdit>

#include "ui/settings/column_dialog.h"
#include "ui/settings/configuration_dialog.h"
#include "core/settings/settings_file.h"
#include "support/pseudo_terminal.h"
#include "ui_support.h"

namespace ravik::test {

namespace {

std::string SettingsFile() { return ReadAll(DataFilePath(DataDirectory(), kSettingsFileName)); }

std::unique_ptr<ConfigurationDialog> OpenDialog(FrameUnderTest& t, ConfigKind kind) {
    return std::make_unique<ConfigurationDialog>(kind, t.program.settings, t.program.store.titles, DataDirectory(),
                                                 t.prompter, t.frame->configurationHooks());
}

}  // namespace

class ConfigurationDialogTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // OK writes the settings file with exactly the values changed; a range that
    // is no number is refused and a failed write reported, the file left as it was.
    void okWritesExactlyTheChangedValues() {
        FrameUnderTest t;
        Settings expected = t.program.settings;
        auto protocol = OpenDialog(t, ConfigKind::Protocol);
        protocol->choosePcs(kPcsUser);
        Control<QLineEdit>(*protocol, 1036)->setText(QStringLiteral("0.70"));
        protocol->stepMinimumTime(false, +1);
        protocol->stepMinimumTime(true, -1);
        QVERIFY(protocol->ok());
        expected.pcs = kPcsUser;
        expected.neg = 0.7f;
        expected.minLtime = 21;
        expected.minKtime = 119;
        QCOMPARE(SettingsFile(), SettingsFileText(expected));

        auto output = OpenDialog(t, ConfigKind::Output);
        output->stepLayout(false, +1);
        output->chooseScale(kScaleLog);
        Control<QPlainTextEdit>(*output, 1035)->setPlainText(QStringLiteral("Orvex Survey\nRoom 4"));
        QVERIFY(output->ok());
        expected.xSpect = 3;
        expected.spectrumYscale = kScaleLog;
        expected.reportHeader = "Orvex Survey\nRoom 4\n";
        QCOMPARE(SettingsFile(), SettingsFileText(expected));

        const std::string before = SettingsFile();
        t.prompter.clear();
        auto refused = OpenDialog(t, ConfigKind::Protocol);
        refused->choosePcs(kPcsUser);
        Control<QLineEdit>(*refused, 1038)->setText(QStringLiteral("one"));
        QVERIFY(!refused->ok());
        QCOMPARE(t.prompter.captions(), (std::vector<std::string>{"ERROR"}));
        QCOMPARE(refused->result(), 0);
        QCOMPARE(SettingsFile(), before);
        QCOMPARE(t.program.settings.pos, 1.0f);

        t.prompter.clear();
        auto layout = OpenDialog(t, ConfigKind::Output);
        layout->stepLayout(true, +1);
        WithFileSizeLimit(16, [&layout] { QVERIFY(layout->ok()); });
        QCOMPARE(t.prompter.shown(), (std::vector<std::string>{"SAVE ERROR: Opening Ini file"}));
        QCOMPARE(SettingsFile(), before);
        QCOMPARE(t.program.settings.ySpect, 3);
    }

    // Colours and the pcs choice apply at once; Cancel writes nothing, puts the
    // colours back as they were when the dialog opened and undoes all but the
    // pcs choice; Default sets the default colours.
    void cancelKeepsOnlyThePcsChoice() {
        FrameUnderTest t;
        const std::string before = SettingsFile();
        const Settings original = t.program.settings;
        auto display = OpenDialog(t, ConfigKind::Display);
        display->chooseColor(ColorRole::Marked);
        display->stepColor(0, +1);  // Marked red 0 -> 5
        QCOMPARE(t.program.settings.color(ColorRole::Marked), (Rgb{5, 255, 0}));
        display->setDefaultColors();
        display->chooseFontSize(0);
        display->reject();
        auto protocol = OpenDialog(t, ConfigKind::Protocol);
        protocol->choosePcs(kPcsUser);
        protocol->stepMinimumTime(false, +1);
        protocol->reject();
        QCOMPARE(SettingsFile(), before);
        QCOMPARE(t.program.settings.colors, original.colors);
        QCOMPARE(t.program.settings.pcs, kPcsUser);
        QCOMPARE(t.program.settings.displayFontSize, original.displayFontSize);
        QCOMPARE(t.program.settings.minLtime, original.minLtime);

        auto defaults = OpenDialog(t, ConfigKind::Display);
        defaults->setDefaultColors();
        QCOMPARE(t.program.settings.color(ColorRole::Positive), (Rgb{255, 0, 0}));
        QCOMPARE(t.program.settings.color(ColorRole::Marked), (Rgb{0, 255, 0}));
    }

    // Only a port whose device opens can be chosen; the port shows its device.
    void onlyAnOpenablePortCanBeChosen() {
        PseudoTerminal com2;
        TempDir dir;
        const ComPort ports[] = {{1, dir.file("none")}, {2, com2.slave}, {3, dir.file("none")}, {4, dir.file("none")}};
        FrameUnderTest t;
        t.program.settings.currentPort = 0;
        auto d = OpenDialog(t, ConfigKind::Communication);
        const int radios[] = {203, 204, 205, 206};
        for (int i = 0; i < 4; ++i) {
            auto* radio = Control<QAbstractButton>(*d, radios[i]);
            QCOMPARE(radio->isEnabled(), i == 1);
            QCOMPARE(radio->isChecked(), i == 1);
        }
        QCOMPARE(Control<QLabel>(*d, 2214)->text(), QString::fromStdString(com2.slave));
        d->choosePort(2);  // cannot be opened: nothing changes
        QVERIFY(d->ok());
        QCOMPARE(t.program.settings.currentPort, 1);
    }

    // The step buttons show the values they step to (their limits and wrap
    // are the configuration rules'), and the pcs choice greys the ranges and
    // minimum times.
    void stepTextsFollowTheSteps() {
        FrameUnderTest t;
        auto d = OpenDialog(t, ConfigKind::Setup);
        d->stepLayout(false, +1);
        QCOMPARE(Control<QLabel>(*d, 431)->text(), QStringLiteral("  3"));
        d->stepColor(0, -1);
        QCOMPARE(Control<QLabel>(*d, 1164)->text(), QStringLiteral("250"));
        d->choosePcs(kPcsDevice);
        QVERIFY(!Control(*d, 1036)->isEnabled() && !Control(*d, 424)->isEnabled());
        d->choosePcs(kPcsUser);
        QVERIFY(Control(*d, 1036)->isEnabled() && Control(*d, 1129)->isEnabled());
        // The frame gives "&Setup" Printer Setup.
        QVERIFY(Control(*d, 1034)->isEnabled());
    }

    // The column dialog's OK stores the boxes, writes the file and the table
    // drops the column.
    void columnDialogStoresTheBoxesAndTheTableFollows() {
        FrameUnderTest t;
        t.openReadings("bulk.qvr", {0, 4, 0, 0, 0});
        const std::vector<int> before = t.view(Mode::Bulk)->columnLayout().columns;
        QVERIFY(std::count(before.begin(), before.end(), 17) == 1);
        WhenModalOpens<ColumnDialog>([](ColumnDialog& dialog) {
            QCOMPARE(dialog.windowTitle(), QStringLiteral("Bulk Sample Columns"));
            dialog.box(17)->setChecked(false);
            dialog.ok();
        });
        t.frame->handleCommand(command::kColumnsBulk);
        QCOMPARE(static_cast<uint32_t>(t.program.settings.enabledColumns[1]), ~(1u << 17));
        QCOMPARE(SettingsFile(), SettingsFileText(t.program.settings));
        const std::vector<int> after = t.view(Mode::Bulk)->columnLayout().columns;
        QCOMPARE(after.size(), before.size() - 1);
        QVERIFY(std::count(after.begin(), after.end(), 17) == 0);
    }
};

}  // namespace ravik::test

QTEST_MAIN(ravik::test::ConfigurationDialogTest)
#include "configuration_dialog_test.moc"
