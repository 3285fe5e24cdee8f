#include "ui/frame/frame_window.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QShortcut>

#include "ui/frame/about_box.h"
#include "core/shell/command_ids.h"
#include "core/shell/command_states.h"
#include "ui/frame/help_window.h"
#include "ui/common/qt_text.h"
#include "ui/frame/quick_button_bar.h"
#include "core/shell/shell_rules.h"
#include "ui/frame/site_dialog.h"
#include "core/platform/data_dir.h"
#include "core/platform/file_chooser.h"
#include "core/platform/prompter.h"
#include "core/settings/settings_file.h"
#include "core/views/table_copy.h"
#include "ui/views/table_window.h"

namespace ravik {

namespace {

using namespace command;

// The order in which a load creates and retitles the table windows, and the
// order in which a refresh brings them up.
constexpr Mode kLoadOrder[] = {Mode::Paint, Mode::Thin, Mode::Bulk, Mode::Alloy, Mode::Sign};
constexpr Mode kRefreshOrder[] = {Mode::Paint, Mode::Bulk, Mode::Alloy, Mode::Thin, Mode::Sign};

// The Window menu's own items, before the list of open windows.
const qsizetype kWindowMenuCommands = static_cast<qsizetype>(FrameMenu()[kWindowMenuPosition].children.size());

Qt::Key KeyOf(AcceleratorKey key) {
    switch (key) {
        case AcceleratorKey::A: return Qt::Key_A;
        case AcceleratorKey::C: return Qt::Key_C;
        case AcceleratorKey::E: return Qt::Key_E;
        case AcceleratorKey::H: return Qt::Key_H;
        case AcceleratorKey::N: return Qt::Key_N;
        case AcceleratorKey::O: return Qt::Key_O;
        case AcceleratorKey::P: return Qt::Key_P;
        case AcceleratorKey::S: return Qt::Key_S;
        case AcceleratorKey::U: return Qt::Key_U;
        case AcceleratorKey::V: return Qt::Key_V;
        case AcceleratorKey::X: return Qt::Key_X;
        case AcceleratorKey::Z: return Qt::Key_Z;
        case AcceleratorKey::Delete: return Qt::Key_Delete;
        case AcceleratorKey::Insert: return Qt::Key_Insert;
        case AcceleratorKey::PageDown: return Qt::Key_PageDown;
        case AcceleratorKey::Up: return Qt::Key_Up;
    }
    return Qt::Key_unknown;
}

}  // namespace

FrameWindow::FrameWindow(Program& program, Prompter& prompter, FileChooser& fileChooser, QWidget* parent)
    : QMainWindow(parent), program_(program), prompter_(prompter), fileChooser_(fileChooser) {
    setObjectName(QStringLiteral("bland frame"));
    setWindowIcon(QIcon(QStringLiteral(":/pictures/ORVEXBLAND.png")));
    client_ = new QWidget(this);
    setCentralWidget(client_);
    client_->installEventFilter(this);
    mdiArea_ = new QMdiArea(client_);
    mdiArea_->setObjectName(QStringLiteral("mdiclient"));
    mdiViewport_ = mdiArea_->viewport();
    mdiViewport_->installEventFilter(this);
    postCommand(kFrameLayout);
    // Without its settings the program does not start (main ends it).
    settingsRead_ = ReadSettings(DataDirectory(), program_.settings, prompter_);

    program_.shell.unsavedChanges = false;
    program_.store.locked = false;

    quickButtons_ = new QuickButtonBar(client_);
    connect(quickButtons_, &QuickButtonBar::commandPosted, this, &FrameWindow::postCommand);
    buildMenu();
    buildAccelerators();
    applyBackground();
    connectOutputDialogs();
    setAcceptDrops(true);
    desktop_ = std::make_unique<FrameDesktop>(*this, mdiViewport_, program_.store, prompter_);
    desktop_->listRecentFilesAbove(commandAction(kExit), [this](const std::string& path) { openRecentFile(path); });
    addReportCommands();
    setWindowTitle(FromUtf8(StartupCaption()));
    resize(1100, 760);
    updateCommandStates();
}

FrameWindow::~FrameWindow() { shutDown(); }

void FrameWindow::postCommand(int command) {
    QMetaObject::invokeMethod(this, [this, command] { handleCommand(command); }, Qt::QueuedConnection);
}

bool FrameWindow::eventFilter(QObject* watched, QEvent* event) {
    const bool resized = event->type() == QEvent::Resize;
    if (watched == client_ && resized) postCommand(kFrameLayout);
    if (watched == mdiViewport_ && resized && autoTiled_) {
        tile(true);
        autoTiled_ = true;
    }
    // A table moved or sized by the user ends the automatic stacking.
    if (qobject_cast<TableWindow*>(watched) && (resized || event->type() == QEvent::Move) && !tiling_) {
        autoTiled_ = false;
    }
    return QMainWindow::eventFilter(watched, event);
}

void FrameWindow::buildMenu() {
    const std::vector<MenuNode>& menu = FrameMenu();
    for (size_t position = 0; position < menu.size(); ++position) {
        const MenuNode& node = menu[position];
        if (!node.isPopup()) {
            registerCommand(menuBar()->addAction(QString::fromLatin1(node.label)), node.id);
            continue;
        }
        QMenu* popup = menuBar()->addMenu(QString::fromLatin1(node.label));
        addMenuItems(popup, node.children);
        if (static_cast<int>(position) == kWindowMenuPosition) {
            windowMenu_ = popup;
            connect(popup, &QMenu::aboutToShow, this, &FrameWindow::fillWindowMenu);
        }
    }
}

void FrameWindow::addMenuItems(QMenu* menu, const std::vector<MenuNode>& items) {
    for (const MenuNode& item : items) {
        if (item.isSeparator()) {
            menu->addSeparator();
        } else if (item.isPopup()) {
            addMenuItems(menu->addMenu(QString::fromLatin1(item.label)), item.children);
        } else {
            registerCommand(menu->addAction(QString::fromLatin1(item.label)), item.id);
        }
    }
}

void FrameWindow::registerCommand(QAction* action, int command) {
    action->setObjectName(QStringLiteral("id%1").arg(command));
    connect(action, &QAction::triggered, this, [this, command] { handleCommand(command); });
    actions_[command] = action;
}

void FrameWindow::buildAccelerators() {
    for (const Accelerator& accelerator : AcceleratorTable()) {
        Qt::KeyboardModifiers modifiers;
        if (accelerator.control) modifiers |= Qt::ControlModifier;
        if (accelerator.shift) modifiers |= Qt::ShiftModifier;
        auto* shortcut = new QShortcut(QKeySequence(modifiers | KeyOf(accelerator.key)), this);
        // Command keys work from every window of the program; keys without
        // an action are only taken from the frame's own windows, so that the
        // help window and the menus keep their arrows, Delete and copying.
        shortcut->setContext(IsNoActionCommand(accelerator.command) ? Qt::WindowShortcut : Qt::ApplicationShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, id = accelerator.command] {
            // Like a menu item, a greyed command's key does nothing.
            const QAction* action = commandAction(id);
            if (action == nullptr || action->isEnabled()) handleCommand(id);
        });
    }
    // F1 opens the help, as on every desktop.
    connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this,
            [this] { handleCommand(kHelp); });
}

QAction* FrameWindow::commandAction(int command) const {
    const auto found = actions_.find(command);
    return found == actions_.end() ? nullptr : found->second;
}

std::span<const FrameWindow::CommandHandler> FrameWindow::commandHandlers() {
    using F = FrameWindow;
    // Help and Quick Help both open the help at its index.
    constexpr auto showHelp = [](F& f, intptr_t) { f.showHelp(); };
    static constexpr CommandHandler kHandlers[] = {
        {kNew, [](F& f, intptr_t) { f.newFile(); }},
        {kOpen, [](F& f, intptr_t) { f.openWithDialog(); }},
        {kAppend, [](F& f, intptr_t) { f.appendFile(); }},
        {kSave, [](F& f, intptr_t) { f.save(); }},
        {kSaveAs, [](F& f, intptr_t) { f.saveAs(kPurposeSaveReadings); }},
        {kSaveAsLocked, [](F& f, intptr_t) { f.saveAs(kPurposeSaveLocked); }},
        {kExit, [](F& f, intptr_t) { f.close(); }},
        {kSite, [](F& f, intptr_t) { f.editSite(); }},
        {kEditReading, [](F& f, intptr_t) { f.editSelectedReading(); }},
        {kDisplay, [](F& f, intptr_t) { f.configure(ConfigKind::Display); }},
        {kCommunication, [](F& f, intptr_t) { f.configure(ConfigKind::Communication); }},
        {kOutput, [](F& f, intptr_t) { f.configure(ConfigKind::Output); }},
        {kProtocol, [](F& f, intptr_t) { f.configure(ConfigKind::Protocol); }},
        {kColumnsPaint, [](F& f, intptr_t) { f.editColumns(Mode::Paint); }},
        {kColumnsBulk, [](F& f, intptr_t) { f.editColumns(Mode::Bulk); }},
        {kColumnsThin, [](F& f, intptr_t) { f.editColumns(Mode::Thin); }},
        {kColumnsAlloy, [](F& f, intptr_t) { f.editColumns(Mode::Alloy); }},
        {kColumnsSign, [](F& f, intptr_t) { f.editColumns(Mode::Sign); }},
        {kHideReading, [](F& f, intptr_t) { f.hideOrUnhide(true); }},
        {kUnhideReading, [](F& f, intptr_t) { f.hideOrUnhide(false); }},
        {kHorizontalTile, [](F& f, intptr_t) { f.tile(true); }},
        {kVerticalTile, [](F& f, intptr_t) { f.tile(false); }},
        {kCascade, [](F& f, intptr_t) { f.cascade(); }},
        {kArrangeIcons, [](F& f, intptr_t) { f.arrangeIcons(); }},
        {kCloseAll, [](F& f, intptr_t) { f.closeChildWindows(true); }},
        {kCompareSpectra, [](F& f, intptr_t) { f.showCompareWindow(); }},
        {kHelp, showHelp},
        {kQuickHelp, showHelp},
        {kAbout, [](F& f, intptr_t) { AboutBox(&f).exec(); }},
        {kCopy, [](F& f, intptr_t) { f.copyMarkedReadings(); }},
        {kPrint, [](F& f, intptr_t) { f.print(); }},
        {kPrintTable,
         [](F& f, intptr_t mode) { f.runPrintRequest({PrintRequest::Kind::Table, static_cast<int>(mode)}); }},
        {kPrintSpectra,
         [](F& f, intptr_t mode) { f.runPrintRequest({PrintRequest::Kind::Spectra, static_cast<int>(mode)}); }},
        {kPrinterSetup, [](F& f, intptr_t) { f.printerSetup(); }},
        {kFrameLayout, [](F& f, intptr_t) { f.layOutClient(); }},
        {kReceive, [](F& f, intptr_t) { f.receiveDump(); }},
        {kConnectionEnded, [](F& f, intptr_t) { f.connectionEnded(); }},
        {kRemote, [](F& f, intptr_t) { f.remoteControl(); }},
        {kAlloyLibrary, [](F& f, intptr_t) { f.alloyLibrary(); }},
        {kFindReadings, [](F& f, intptr_t) { f.findReadings(); }},
    };
    return kHandlers;
}

void FrameWindow::handleCommand(int command, intptr_t param) {
    const std::span<const CommandHandler> handlers = commandHandlers();
    const auto handler = std::find_if(handlers.begin(), handlers.end(),
                                      [command](const CommandHandler& entry) { return entry.command == command; });
    if (handler != handlers.end()) {
        handler->run(*this, param);
    } else if (command >= kFirstChildWindow) {
        activateChildWindow(command - kFirstChildWindow);
    }
}

void FrameWindow::activateChildWindow(qsizetype index) {
    const QList<QMdiSubWindow*> windows = mdiArea_->subWindowList();
    if (index >= windows.size()) return;
    QMdiSubWindow* window = windows[index];
    if (window->isMinimized()) window->showNormal();
    mdiArea_->setActiveSubWindow(window);
}

void FrameWindow::layOutClient() {
    if (quickButtons_ == nullptr) return;
    quickButtons_->show();
    QRect area = client_->rect();
    quickButtons_->setGeometry(0, 0, area.width(), quickButtons_->height());
    if (quickButtons_->isVisible()) area.setTop(area.top() + quickButtons_->height());
    mdiArea_->setGeometry(area);
    updateCommandStates();
}

void FrameWindow::updateCommandStates() {
    const CommandStates states = ComputeCommandStates({program_.store.hasReadings(), program_.shell.unsavedChanges,
                                                       program_.store.locked, program_.shell.portOpen});
    for (const auto& [id, enabled] : states.commands) {
        if (QAction* action = commandAction(id)) action->setEnabled(enabled);
    }
    if (reportAction_ != nullptr) reportAction_->setEnabled(program_.store.hasReadings());
    if (desktop_ != nullptr) desktop_->updateStatus();
    if (quickButtons_ == nullptr) return;
    for (const auto& [id, enabled] : states.buttons) quickButtons_->setButtonEnabled(id, enabled);
    quickButtons_->setPortOpen(program_.shell.portOpen);
}

void FrameWindow::setFileCaption() { setWindowTitle(FromUtf8(FileCaption(program_))); }

void FrameWindow::editSite() {
    if (!hasTableWindows()) return;
    SiteDialog dialog(program_.store.site, this);
    if (dialog.exec() == QDialog::Accepted) ApplySite(program_, dialog.site());
    retitleTableWindows();
    updateCommandStates();
}

void FrameWindow::hideOrUnhide(bool hide) {
    if (hide) {
        HideMarked(program_);
    } else {
        UnhideMarked(program_);
    }
    repaintTableWindows();
    updateCommandStates();
}

void FrameWindow::copyMarkedReadings() {
    auto* table = qobject_cast<TableWindow*>(mdiArea_->activeSubWindow());
    const int selectedMode = program_.shell.selection.selectedMode;
    if (table == nullptr && selectedMode >= 0 && selectedMode < static_cast<int>(kModeCount)) {
        table = tableWindow(static_cast<Mode>(selectedMode));
    }
    if (table == nullptr) return;
    const std::string text = MarkedReadingsText(program_.store, program_.settings, table->mode());
    if (!text.empty()) QGuiApplication::clipboard()->setText(ToQString(text));
}

HelpWindow* FrameWindow::helpWindow() const { return helpWindow_; }

void FrameWindow::showHelp() {
    if (helpWindow_ == nullptr) helpWindow_ = new HelpWindow(this);
    helpWindow_->showIndex();
}

void FrameWindow::fillWindowMenu() {
    const QList<QAction*> items = windowMenu_->actions();
    for (qsizetype i = kWindowMenuCommands; i < items.size(); ++i) {
        windowMenu_->removeAction(items[i]);
        delete items[i];
    }
    const QList<QMdiSubWindow*> windows = mdiArea_->subWindowList();
    if (windows.isEmpty()) return;
    windowMenu_->addSeparator();
    for (qsizetype i = 0; i < windows.size(); ++i) {
        QAction* action = windowMenu_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(windows[i]->windowTitle()));
        action->setCheckable(true);
        action->setChecked(windows[i] == mdiArea_->activeSubWindow());
        connect(action, &QAction::triggered, this,
                [this, id = kFirstChildWindow + static_cast<int>(i)] { handleCommand(id); });
    }
}

TableWindow* FrameWindow::createTableWindow(Mode mode) {
    auto* window = new TableWindow(program_, views_, mode, prompter_);
    window->setWindowTitle(QString::fromLatin1(WindowText(mode)));
    mdiArea_->addSubWindow(window);
    const size_t slot = static_cast<size_t>(Index(mode));
    tables_[slot] = window;
    connect(window, &TableWindow::commandRequested, this, [this](int command) { handleCommand(command); });
    connect(window, &TableWindow::allMarksChanged, this, &FrameWindow::repaintTableWindows);
    connect(window->view(), &TableView::sortRequested, this, &FrameWindow::sortColumn);
    connect(window->view(), &TableView::columnTitleEditRequested, this, &FrameWindow::editColumnTitle);
    connect(window->view(), &TableView::readingEditRequested, this, &FrameWindow::editReading);
    connect(window, &TableWindow::spectrumRequested, this, &FrameWindow::openSpectrumWindow);
    connect(window, &TableWindow::compareMarkedRequested, this, &FrameWindow::compareMarked);
    window->installEventFilter(this);
    desktop_->watchMarking(window->view());
    connect(window, &QObject::destroyed, this, [this, slot, window] {
        if (tables_[slot] == window) tables_[slot] = nullptr;
    });
    window->show();
    return window;
}

void FrameWindow::retitleTableWindows() {
    for (Mode mode : kLoadOrder) {
        if (TableWindow* window = tableWindow(mode)) {
            window->setWindowTitle(FromUtf8(TableWindowTitle(mode, program_.store.site)));
        }
    }
}

bool FrameWindow::hasTableWindows() const {
    return std::any_of(tables_.begin(), tables_.end(), [](const TableWindow* w) { return w != nullptr; });
}

void FrameWindow::repaintTableWindows() {
    for (TableWindow* window : tables_) {
        if (window != nullptr) window->view()->viewport()->update();
    }
}

LoadOutcome FrameWindow::loadAndShowFile(const std::string& path, int purpose) {
    if (purpose == kOpenCommand) closeChildWindows(false);
    const bool hadTables = hasTableWindows();
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    program_.settings.download = kDownloadDone;
    const LoadOutcome outcome = LoadReadingsFile(program_.store, path, purpose, prompter_);
    showStoreReadings(hadTables);
    QGuiApplication::restoreOverrideCursor();
    return outcome;
}

void FrameWindow::showStoreReadings(bool hadTables) {
    std::vector<TableWindow*> created;
    for (Mode mode : kLoadOrder) {
        if (program_.store.count(mode) > 0 && tableWindow(mode) == nullptr) created.push_back(createTableWindow(mode));
    }
    for (Mode mode : kLoadOrder) {
        if (TableWindow* window = tableWindow(mode)) {
            window->view()->readingsChanged();
            window->view()->verticalScrollBar()->setValue(0);
        }
    }
    retitleTableWindows();
    // Appended modes take their place without moving the windows already there.
    if (!created.empty() && !hadTables) arrangeNewFileWindows();
    if (!created.empty() && hadTables) placeAppendedWindows(created);
}

void FrameWindow::refreshModeWindows() {
    for (Mode mode : kRefreshOrder) {
        if (program_.store.count(mode) == 0) continue;
        TableWindow* window = tableWindow(mode);
        if (window == nullptr) window = createTableWindow(mode);
        window->setWindowTitle(FromUtf8(TableWindowTitle(mode, program_.store.site)));
        window->view()->readingsChanged();
        window->view()->viewport()->repaint();
        window->showNormal();
        mdiArea_->setActiveSubWindow(window);
    }
}

void FrameWindow::closeChildWindows(bool keepModeTables) {
    for (QMdiSubWindow* window : mdiArea_->subWindowList()) {
        auto* table = qobject_cast<TableWindow*>(window);
        if (table != nullptr && keepModeTables) continue;
        if (table != nullptr) {
            table->closeWithoutQuestion();
        } else {
            window->close();
        }
    }
    if (keepModeTables) return;
    ReleaseReadings(program_);
    tables_.fill(nullptr);
}

void FrameWindow::closeEvent(QCloseEvent* event) {
    if (!askToSaveWork()) {
        event->ignore();
        return;
    }
    program_.shell.unsavedChanges = false;
    shutDown();
    event->accept();
}

void FrameWindow::shutDown() {
    if (shutDown_) return;
    shutDown_ = true;
    // A settings file that could not be read is left as it is.
    if (settingsRead_) {
        WriteSettings(DataDirectory(), program_.settings, prompter_);
        desktop_->saveLayout(tables_, autoTiled_);
    }
    delete quickButtons_;
    quickButtons_ = nullptr;
    closeChildWindows(false);
    if (helpWindow_ != nullptr) helpWindow_->close();
    closeCompareWindow();
}

}  // namespace ravik
