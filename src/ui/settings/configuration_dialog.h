#pragma once
// The configuration dialogs: "Configuration" (all settings but the LOD
// switch), "Display Configure", "Communication Configure", "Output
// Configure" and "Protocol Configuration", one class showing the groups of
// its kind. The colours and the paint classification source change the
// settings at once; everything else is taken by OK, which also writes
// "ravik56.ini". Cancel puts back the colours the dialog opened with.

#include <QDialog>
#include <QRect>
#include <QSize>
#include <array>
#include <functional>
#include <string>

#include "core/link/serial_devices.h"
#include "core/readings/column_titles.h"
#include "core/settings/configuration.h"

class QAbstractButton;
class QComboBox;
class QLabel;
class QLineEdit;
class QPainter;
class QPlainTextEdit;
class QPushButton;

namespace ravik {

class Prompter;

// What the dialog needs from the rest of the program.
struct ConfigurationHooks {
    // Printer Setup; true when a printer was chosen. Unset: "&Setup" is greyed.
    std::function<bool()> printerSetup;
    // The chosen printer's device name. Unset: the name in the settings'
    // printer line ("default" when none is stored).
    std::function<std::string()> printerName;
    // The printer's page in dots (horizontal, vertical resolution), for the
    // layout preview's proportions. Unset: a letter page in the settings'
    // orientation.
    std::function<QSize()> printerPage;
    // The settings were taken and written: lay the tables out again and
    // paint the new background.
    std::function<void()> settingsApplied;
    // A column dialog was confirmed: the tables show the new column set.
    std::function<void()> columnsChanged;
};

class ConfigurationDialog : public QDialog {
    Q_OBJECT
public:
    // titles: the column titles the column dialogs label their boxes with.
    ConfigurationDialog(ConfigKind kind, Settings& settings, const ColumnTitles& titles,
                        std::string directory, Prompter& prompter, ConfigurationHooks hooks = {},
                        QWidget* parent = nullptr);

    // The handlers of the controls.
    void choosePort(int port);
    // Gives a port the device path chosen for it ("" resolves from the system).
    void assignDevice(int port, const std::string& path);
    void chooseBaud(int index);
    void chooseFontSize(int index);
    void chooseColor(ColorRole role);
    // component 0 red, 1 green, 2 blue; direction +1 up, -1 down.
    void stepColor(int component, int direction);
    void setDefaultColors();
    void chooseLod(bool on);
    void choosePcs(int pcs);
    void stepLayout(bool vertical, int direction);
    void stepMinimumTime(bool kTime, int direction);
    void chooseScale(int scaleId);
    void chooseExport(int index);
    void runPrinterSetup();
    // "&Paint Columns" ... "Si&gn. Columns".
    void openColumns(Mode mode);
    // OK: refuses a range edit that holds no number (and stays open);
    // otherwise takes the values, writes the settings file and closes.
    bool ok();
    // Cancel, Escape and closing the window: the colours go back to those the
    // dialog opened with; nothing is written.
    void reject() override;

    // The page the preview draws: the printer's proportions.
    QSize previewPage() const;

private:
    void buildPortGroup(QWidget* box);
    void buildDisplayGroup(QWidget* box);
    void buildProtocolGroup(QWidget* box);
    void buildOutputGroup(QWidget* box);
    void buildColumnButtons(QWidget* box);
    void showPorts();
    void showColor();
    void showProtocolState();
    void showLayout();
    void showMinimumTimes();
    void showPrinterName();
    void paintColorSample(QPainter& painter, const QRect& area) const;
    void paintLayoutPreview(QPainter& painter, const QRect& area) const;

    ConfigKind kind_;
    Settings& settings_;
    const ColumnTitles& titles_;
    std::string directory_;
    Prompter& prompter_;
    ConfigurationHooks hooks_;
    ConfigValues values_;
    ComPortStates ports_;
    std::vector<SerialDevice> devices_;
    ColorRole chosenColor_ = ColorRole::Normal;
    decltype(Settings::colors) openedColors_;

    std::array<QAbstractButton*, 4> portRadios_{};
    std::array<QComboBox*, 4> portDevices_{};
    std::array<QLabel*, 4> portTexts_{};
    std::array<QLabel*, 3> colorTexts_{};
    QWidget* colorSample_ = nullptr;
    QWidget* preview_ = nullptr;
    QLabel* layoutTexts_[2] = {};
    QLabel* minimumTexts_[2] = {};
    QLineEdit* negEdit_ = nullptr;
    QLineEdit* posEdit_ = nullptr;
    QPlainTextEdit* header_ = nullptr;
    QLabel* printerName_ = nullptr;
    std::vector<QWidget*> rangeControls_;
};

}  // namespace ravik
