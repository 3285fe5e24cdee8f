#pragma once
// The program's top-level window: the menu "ORVEXMENU" with its
// accelerators, the quick-button bar, the MDI client with the table windows,
// and the command handler every menu item, accelerator and quick button ends in.

#include <QMainWindow>
#include <QPrinter>
#include <functional>
#include <memory>
#include <QPointer>
#include <array>
#include <cstdint>
#include <map>
#include <string>

#include "app/frame_menu.h"
#include "desktop/program.h"
#include "output/print_layout.h"
#include "readings/readings_loader.h"
#include "views/table_layout.h"

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;

namespace ravik {

class FileChooser;
class HelpWindow;
class Prompter;
class QuickButtonBar;
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

    // Opens the spectrum window of a reading's spectrum of a kind, or brings
    // the one open forward.
    SpectrumWindow* openSpectrumWindow(int32_t reading, int kind);
    // The printer of print jobs; tests give a PDF printer.
    std::function<std::unique_ptr<QPrinter>()> printerFactory;
    // A right double-click in a spectrum window: the reading's editor.
    std::function<void(int32_t reading)> spectrumEditAction;

    QMdiArea* mdiArea() const { return mdiArea_; }
    QuickButtonBar* quickButtonBar() const { return quickButtons_; }
    TableWindow* tableWindow(Mode mode) const { return tables_[static_cast<size_t>(Index(mode))]; }
    QAction* commandAction(int command) const;
    HelpWindow* helpWindow() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
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
    bool askToSaveWork();
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
    void arrangeIcons();
    void showHelp();
    void shutDown();
    // Print (141), the printer's jobs (138, 137) and Printer Setup (132).
    void print();
    void runPrintRequest(const PrintRequest& request);
    void printerSetup();

    TableWindow* createTableWindow(Mode mode);
    void retitleTableWindows();

    Program& program_;
    Prompter& prompter_;
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
    bool settingsRead_ = true;
    bool shutDown_ = false;
    // The tables of a newly opened file are stacked; they stay stacked as
    // the frame changes size until the user arranges them otherwise.
    bool autoTiled_ = false;
    bool tiling_ = false;
};

}  // namespace ravik
