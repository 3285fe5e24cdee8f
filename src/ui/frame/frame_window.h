#pragma once
// The program's top-level window: the menu "ORVEXMENU" with its
// accelerators, the quick-button bar, the MDI client with the table windows,
// and the command handler every menu item, accelerator and quick button ends in.

#include <QMainWindow>
#include <QPrinter>
#include <functional>
#include <memory>
#include <QList>
#include <QPointer>
#include <array>
#include <cstdint>
#include <map>
#include <span>
#include <string>

#include "core/shell/frame_menu.h"
#include "core/shell/recent_files.h"
#include "core/shell/program.h"
#include "core/maintenance/sorting.h"
#include "core/output/print_layout.h"
#include "core/readings/readings_loader.h"
#include "ui/frame/frame_desktop.h"
#include "ui/settings/configuration_dialog.h"
#include "core/views/table_layout.h"

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;

namespace ravik {

class FileChooser;
class HelpWindow;
class Prompter;
class CompareWindow;
class QuickButtonBar;
class ReportPreviewWindow;
class SpectrumWindow;
class TableWindow;

class FrameWindow : public QMainWindow {
    Q_OBJECT
public:
    // Reads the settings of the data directory; see settingsRead().
    FrameWindow(Program& program, Prompter& prompter, FileChooser& fileChooser, QWidget* parent = nullptr);
    ~FrameWindow() override;

    // False when the settings could not be read: the program ends.
    bool settingsRead() const { return settingsRead_; }

    // The one entry of menu items, accelerators and quick buttons.
    void handleCommand(int command, intptr_t param = 0);
    void updateCommandStates();

    // Opens a readings file as File Open does after its dialog (the file
    // named on the command line).
    void openFile(const std::string& path);

    // The file half of Open (112) and Append (147): loads the file and
    // brings the table windows up to date.
    LoadOutcome loadAndShowFile(const std::string& path, int purpose);
    // Brings the table windows up to date after readings were added.
    void refreshModeWindows();
    // Closes the child windows; all of them and the readings with them, or
    // all but the table windows.
    void closeChildWindows(bool keepModeTables);
    // Paints every table window again (marks, flags or settings changed).
    void repaintTableWindows();

    // Configure: the configuration dialog of a kind ("Configuration" for the
    // Print dialog's "Con&figure") and a mode's column dialog.
    void configure(ConfigKind kind);
    void editColumns(Mode mode);
    // What the configuration dialogs get from the frame; the printer parts
    // are those given to setPrinterHooks.
    ConfigurationHooks configurationHooks();
    void setPrinterHooks(ConfigurationHooks hooks);
    // The reading editor of a mode's reading at row (from 1), as a table's
    // right double-click, Edit Reading and a spectrum window open it.
    void editReading(Mode mode, int row);
    void sortColumn(Mode mode, int column);
    void editColumnTitle(Mode mode, int column);
    // Opens the spectrum window of a reading's spectrum of a kind, or brings
    // the one open forward.
    SpectrumWindow* openSpectrumWindow(int32_t reading, int kind);
    // The spectrum compare window (frame_compare.cpp): a window of its own
    // beside the MDI client, so New, Open and Close All leave it as it is.
    CompareWindow* showCompareWindow();
    CompareWindow* compareWindow() const;
    // A table's "Compare Marked": its marked readings join the comparison.
    void compareMarked(Mode mode);
    // A spectrum window's "Compare": its reading joins the comparison.
    void compareSpectrum(int32_t reading, int kind);
    void closeCompareWindow();
    // The printer of print jobs; tests give a PDF printer.
    std::function<std::unique_ptr<QPrinter>()> printerFactory;
    // A right double-click in a spectrum window: the reading's editor.
    std::function<void(int32_t reading)> spectrumEditAction;

    QMdiArea* mdiArea() const { return mdiArea_; }
    Prompter& prompter() const { return prompter_; }
    FileChooser& fileChooser() const { return fileChooser_; }
    QuickButtonBar* quickButtonBar() const { return quickButtons_; }
    TableWindow* tableWindow(Mode mode) const { return tables_[static_cast<size_t>(Index(mode))]; }
    QAction* commandAction(int command) const;
    // The client report's preview of all or the marked readings (not yet
    // shown), or nothing when none is left to report.
    ReportPreviewWindow* openReportPreview(bool markedOnly);
    HelpWindow* helpWindow() const;

    // What makes the frame at home on a desktop.
    // Opens a file dropped onto the frame or picked from the recent files as
    // File Open does: a file that is not a readings file only gets the
    // loader's message and the open file stays; then the save question.
    void openFromDesktop(const std::string& path);
    // A recent file that has gone is taken off the list with a message.
    void openRecentFile(const std::string& path);
    const RecentFiles& recentFiles() const { return desktop_->recentFiles(); }
    // Ctrl+C: the marked readings of the active table to the clipboard.
    void copyMarkedReadings();
    // Shows the frame where it was at the end of the last run: maximized
    // the first time, or when it was then.
    void showWhereItWas() { desktop_->showWhereItWas(); }
    QString statusText() const { return desktop_->statusText(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // A command and what it does; param is the print dialog's mode for the
    // printer's table and spectrum jobs.
    struct CommandHandler {
        int command;
        void (*run)(FrameWindow& frame, intptr_t param);
    };
    static std::span<const CommandHandler> commandHandlers();
    // The Window menu's list of open windows, from 0.
    void activateChildWindow(qsizetype index);

    void buildMenu();
    void addMenuItems(QMenu* menu, const std::vector<MenuNode>& items);
    // A menu item runs its command; tests and the states find it by id.
    void registerCommand(QAction* action, int command);
    void buildAccelerators();
    void postCommand(int command);
    void layOutClient();
    void setFileCaption();
    void fillWindowMenu();

    // The save question: false when the command must stop (Cancel, or a
    // save that did not happen).
    bool askToSaveWork(const char* caption = "Save");
    // Saves to the current name, or asks for one first.
    bool saveWork();
    // Asks for a name with the purpose's dialog and saves under it.
    bool chooseAndSave(int purpose);

    void newFile();
    void openWithDialog();
    void appendFile();
    void save();
    // Save As (111) and Save As Locked (173).
    void saveAs(int purpose);
    void editSite();
    void hideOrUnhide(bool hide);
    // Horizontal Tile stacks the windows, Vertical Tile sets them side by side.
    void tile(bool stacked);
    // Gives every shown window that is not an icon its place in the client
    // from its index among them and their count; returns them in order.
    using WindowPlacer = std::function<QRect(const QRect& client, int index, int count, const QMdiSubWindow* window)>;
    QList<QMdiSubWindow*> arrangeOpenWindows(const WindowPlacer& placeOf);
    void cascade();
    void arrangeIcons();
    void showHelp();
    void shutDown();
    // Print (141), the printer's jobs (138, 137) and Printer Setup (132).
    void print();
    void runPrintRequest(const PrintRequest& request);
    void printerSetup();
    // Printer Setup for the configuration dialogs, the editor for spectrum windows.
    void connectOutputDialogs();
    // File, Report... and Report Setup... (frame_report.cpp).
    void addReportCommands();
    void report();
    bool reportSetup();

    void editSelectedReading();
    // The tables lay themselves out for changed settings or column sets.
    void relayOutTableWindows();
    void applySettingsToWindows();
    // The client's background in the settings' Background colour.
    void applyBackground();
    // The instrument commands (frame_link.cpp): Receive (143), Connection
    // ended (144), Remote (65535) and Alloy Library (176).
    void receiveDump();
    void connectionEnded();
    void remoteControl();
    void alloyLibrary();
    // The readings archive: its search window, opening a found reading, and
    // the offer to add a file just saved.
    void findReadings();
    void openArchivedReading(const std::string& path, int readingNumber);
    void offerToArchive(const std::string& path);
    QPointer<QWidget> findWindow_;
    // Creates the table windows of the modes the store holds and shows the readings.
    void showStoreReadings(bool hadTables);

    TableWindow* createTableWindow(Mode mode);
    void retitleTableWindows();

    // The tables of a newly opened file take the remembered arrangement, or
    // are stacked; tables added by Append get a cascade place of useful size.
    void arrangeNewFileWindows();
    void placeAppendedWindows(const std::vector<TableWindow*>& windows);
    bool hasTableWindows() const;

    Program& program_;
    Prompter& prompter_;
    QAction* reportAction_ = nullptr;
    FileChooser& fileChooser_;
    TableViewState views_;
    QWidget* client_ = nullptr;
    QMdiArea* mdiArea_ = nullptr;
    QWidget* mdiViewport_ = nullptr;
    QuickButtonBar* quickButtons_ = nullptr;
    QMenu* windowMenu_ = nullptr;
    std::map<int, QAction*> actions_;
    std::array<TableWindow*, kModeCount> tables_{};
    QPointer<HelpWindow> helpWindow_;
    QPointer<CompareWindow> compareWindow_;
    SortChoices sortChoices_;
    ConfigurationHooks printerHooks_;
    bool settingsRead_ = true;
    bool shutDown_ = false;
    // The tables of a newly opened file are stacked; they stay stacked as
    // the frame changes size until the user arranges them otherwise.
    bool autoTiled_ = false;
    bool tiling_ = false;
    std::unique_ptr<FrameDesktop> desktop_;
};

}  // namespace ravik
