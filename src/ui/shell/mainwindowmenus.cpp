// The main window's menus, toolbar and their captions, and the radio commands they start.

#include "backupfolder.h"
#include "core/comm/ports.h"
#include "mainwindow.h"
#include "recentfilesmenu.h"
#include "supportinformation.h"
#include "toolbaricons.h"
#include "ui/common/handlertrap.h"
#include "ui/common/texttables.h"
#include "ui/common/uicommon.h"
#include "ui/editors/channelgridwindow.h"

#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenuBar>
#include <QRegularExpression>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

QString MainWindow::withoutAccessKey(QString caption) {
    static const QRegularExpression paren(QStringLiteral("\\(&.\\)"));
    caption.remove(paren);
    return caption.remove(QLatin1Char('&'));
}

QMenu* MainWindow::addMenu(QMenu* parent, const char* name) {
    QMenu* menu = parent ? parent->addMenu(QString()) : menuBar()->addMenu(QString());
    menu->setObjectName(QLatin1String(name));
    menu->menuAction()->setObjectName(QLatin1String(name));
    m_captioned << menu->menuAction();
    return menu;
}

QAction* MainWindow::addItem(QMenu* menu, const char* name) {
    QAction* a = menu->addAction(QString());
    a->setObjectName(QLatin1String(name));
    m_captioned << a;
    return a;
}

template <class Handler> void MainWindow::on(QAction* item, Handler handler) {
    connectTrapped(item, &QAction::triggered, this, "Click", std::move(handler));
}

void MainWindow::buildMenus() {
    buildFileMenu();
    buildEditMenus();
    buildRadioMenus();
    buildSetupMenus();
    buildWindowMenu();
    buildHelpMenu();
}

void MainWindow::buildFileMenu() {
    QMenu* file = addMenu(nullptr, "mnuFile");
    m_items.fileNew = addItem(file, "mnuFileNew");
    m_items.fileNew->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    on(m_items.fileNew, [this] { m_files.fileNew(); });
    m_items.fileOpen = addItem(file, "mnuFileOpen");
    m_items.fileOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    on(m_items.fileOpen, [this] { m_files.fileOpen(); });
    m_items.fileSave = addItem(file, "mnuFileSave");
    on(m_items.fileSave, [this] { m_files.fileSave(); });
    on(addItem(file, "mnuFileSaveAs"), [this] { m_files.fileSaveAs(); });
    on(addItem(file, "mnuFileExportCsv"), [this] { m_files.exportChannels(); });
    on(addItem(file, "mnuFileImportCsv"), [this] { m_files.importChannels(); });
    on(addItem(file, "mnuFileExportText"), [this] { m_files.exportConfigurationText(); });
    file->addSeparator();
    m_items.filePrint = addItem(file, "mnuFilePrint");
    on(m_items.filePrint, [this] { showPrintList(); });
    file->addSeparator();
    QMenu* recent = addMenu(file, "mnuFileRecent");
    m_recentFiles = new RecentFilesMenu(*m_ctx.product, m_files, recent,
                                        addItem(recent, "mnuFileRecentClear"), this);
    connect(&m_files, &FileCommands::fileUsed, m_recentFiles, &RecentFilesMenu::add);
    file->addSeparator();
    on(addItem(file, "mnuFileExit"), [this] { close(); });
}

void MainWindow::buildEditMenus() {
    QMenu* model = addMenu(nullptr, "mnuModel");
    on(addItem(model, "mnuModelInfo"), [this] { showModelWindow(); });
    model->menuAction()->setVisible(m_ctx.serviceMode);

    QMenu* edit = addMenu(nullptr, "mnuEdit");
    buildUndoItems(edit);
    on(addItem(edit, "mnuChannelInfo"), [this] { m_windows.show(ChildWindow::ChannelGrid); });
    buildChannelGridItems(edit);
    on(addItem(edit, "mnuOptFeature"), [this] { m_windows.show(ChildWindow::OptionFeatures); });
    // Editors of values the radio sessions do not carry: for service technicians only.
    const struct {
        const char* item;
        ChildWindow window;
    } serviceEditors[] = {
        {"mnuKeyAssignm", ChildWindow::KeyAssignment},
        {"mnuScanInfo", ChildWindow::ScanInformation},
        {"mnuDTMF", ChildWindow::Dtmf},
        {"mnuFleetSync", ChildWindow::FleetSync},
        {"mnuTestFre", ChildWindow::TestFrequencies},
    };
    for (const auto& e : serviceEditors) {
        QAction* item = addItem(edit, e.item);
        item->setVisible(m_ctx.serviceMode);
        on(item, [this, window = e.window] { m_windows.show(window); });
    }
    on(addItem(edit, "mnuEmbeddedMsg"), [this] { m_windows.show(ChildWindow::MessageLines); });
    m_items.embeddedInformation = addItem(edit, "mnuEMG");
    on(m_items.embeddedInformation, [this] {
        preparePort();
        m_commands.readEmbeddedInfo();
    });
}

// Undo and Redo head the Edit menu; their captions name the step they take back or do again.
void MainWindow::buildUndoItems(QMenu* edit) {
    m_undo = edit->addAction(QString());
    m_undo->setObjectName(QStringLiteral("mnuEditUndo"));
    m_undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_redo = edit->addAction(QString());
    m_redo->setObjectName(QStringLiteral("mnuEditRedo"));
    m_redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    edit->addSeparator();
    on(m_undo, [this] {
        if (!m_session.busy()) m_history.undo();
    });
    on(m_redo, [this] {
        if (!m_session.busy()) m_history.redo();
    });
    const QUndoStack& stack = m_history.stack();
    connect(&stack, &QUndoStack::indexChanged, this, [this] { updateUndoItems(); });
    connect(&stack, &QUndoStack::cleanChanged, this, [this] { updateUndoItems(); });
    updateUndoItems();
}

// Edits of many channels: each brings the channel grid window up and acts on its rows. Their
// keys belong to the grid window (the captions show them), so they act only there.
void MainWindow::buildChannelGridItems(QMenu* edit) {
    const struct {
        const char* item;
        void (ChannelGridWindow::*command)();
    } items[] = {
        {"mnuFillFrequencies", &ChannelGridWindow::fillFrequencies},
        {"mnuSortByFrequency", &ChannelGridWindow::sortByFrequency},
        {"mnuMoveUp", &ChannelGridWindow::moveRowsUp},
        {"mnuMoveDown", &ChannelGridWindow::moveRowsDown},
        {"mnuInsertChannel", &ChannelGridWindow::insertChannel},
        {"mnuFind", &ChannelGridWindow::showFindBar},
    };
    for (const auto& e : items)
        on(addItem(edit, e.item), [this, command = e.command] {
            if (auto* grid =
                    qobject_cast<ChannelGridWindow*>(m_windows.show(ChildWindow::ChannelGrid)))
                (grid->*command)();
        });
    edit->addSeparator();
}

void MainWindow::updateUndoItems() {
    const QUndoStack& stack = m_history.stack();
    const bool idle = !m_session.busy();
    const QString undo = stack.undoText();
    const QString redo = stack.redoText();
    m_undo->setText(undo.isEmpty() ? tr2("Undo", "撤销") : tr2("Undo %1", "撤销 %1").arg(undo));
    m_redo->setText(redo.isEmpty() ? tr2("Redo", "重做") : tr2("Redo %1", "重做 %1").arg(redo));
    m_undo->setEnabled(idle && stack.canUndo());
    m_redo->setEnabled(idle && stack.canRedo());
}

// A line editor takes Ctrl+Z for its own typing. When it has nothing of its own to undo (or
// redo), the key goes to the configuration's history instead.
bool MainWindow::undoKeyForHistory(QObject* watched, QEvent* event) const {
    if (event->type() != QEvent::ShortcutOverride) return false;
    const auto* box = qobject_cast<QLineEdit*>(watched);
    if (!box || box->window() != this || box->isReadOnly()) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->matches(QKeySequence::Undo)) return !box->isUndoAvailable();
    if (key->matches(QKeySequence::Redo)) return !box->isRedoAvailable();
    return false;
}

void MainWindow::buildRadioMenus() {
    QMenu* program = addMenu(nullptr, "mnuProgram");
    m_items.readFromRadio = addItem(program, "mnuReadFromRadio");
    on(m_items.readFromRadio, [this] { readFromRadio(); });
    m_items.writeToRadio = addItem(program, "mnuWriteToRadio");
    on(m_items.writeToRadio, [this] { writeToRadio(); });
    // Every write is read back and compared while this is checked (kept with the placement).
    m_items.verifyAfterWrite = addItem(program, "mnuVerifyAfterWrite");
    m_items.verifyAfterWrite->setCheckable(true);
    connect(m_items.verifyAfterWrite, &QAction::toggled, this,
            [this](bool on) { m_session.setVerifyAfterWrite(on); });
    on(addItem(program, "mnuCompareWithRadio"), [this] {
        preparePort();
        m_commands.compareWithRadio();
    });
    // Write to Radio shows what it would change first while this is checked (kept with the
    // placement).
    m_items.showChangesBeforeWriting = addItem(program, "mnuShowChangesBeforeWriting");
    m_items.showChangesBeforeWriting->setCheckable(true);
    connect(m_items.showChangesBeforeWriting, &QAction::toggled, this,
            [this](bool on) { m_commands.setShowChangesBeforeWriting(on); });
    on(addItem(program, "mnuWriteSeveral"),
       [this] { m_commands.writeToSeveralRadios(m_ctx.settingsFile); });
    // Test mode and the tools are for service technicians only.
    QAction* test = addItem(program, "mnuTest");
    test->setVisible(m_ctx.serviceMode);
    on(test, [this] {
        if (m_commands.busy() || m_session.busy()) return;
        preparePort();
        m_testMode.start();
    });

    QMenu* tools = addMenu(nullptr, "mnuTools");
    on(addItem(tools, "mnuRadioInfo"), [this] {
        preparePort();
        m_commands.readRadioInfo();
    });
    on(addItem(tools, "mnuSetRadioInfo"), [this] {
        preparePort();
        m_commands.setRadioInfo();
    });
    tools->menuAction()->setVisible(m_ctx.serviceMode);
}

void MainWindow::buildSetupMenus() {
    QMenu* set = addMenu(nullptr, "mnuSet");
    m_items.port = addItem(set, "mnuComm");
    on(m_items.port, [this] { showPortWindow(); });
    on(addItem(set, "mnuLanguage"), [this] { showLanguageWindow(); });
    on(addItem(set, "MnuInitial"), [this] { m_files.initialSetting(); });

    QMenu* view = addMenu(nullptr, "mnuView");
    m_items.treeView = addItem(view, "mnuTreeView");
    m_items.treeView->setCheckable(true);
    m_items.treeView->setChecked(true);
    connect(m_items.treeView, &QAction::toggled, this, [this](bool on) { setTreePaneVisible(on); });
    QAction* toolbar = addItem(view, "mnuViewToolbar");
    toolbar->setCheckable(true);
    toolbar->setChecked(true);
    connect(toolbar, &QAction::toggled, this, [this](bool on) { m_toolBar->setVisible(on); });
    QAction* status = addItem(view, "mnuViewStatusBar");
    status->setCheckable(true);
    status->setChecked(true);
    connect(status, &QAction::toggled, this, [this](bool on) { statusBar()->setVisible(on); });
}

void MainWindow::buildWindowMenu() {
    m_windowMenu = addMenu(nullptr, "mnuWindow");
    on(addItem(m_windowMenu, "mnuWindowCascade"), [this] { m_windows.cascade(); });
    QAction* tileV = addItem(m_windowMenu, "mnuWindowTileVertical");
    on(tileV, [this] { m_mdi->tileSubWindows(); });
    tileV->setVisible(false);
    QAction* tileH = addItem(m_windowMenu, "mnuWindowTileHorizontal");
    on(tileH, [this] { m_mdi->tileSubWindows(); });
    tileH->setVisible(false);
    addItem(m_windowMenu, "mnuWindowArrangeIcons")->setVisible(false);
    on(addItem(m_windowMenu, "mnuCloseAll"), [this] { m_windows.closeAll(); });
    m_windowMenu->addSeparator();
    connect(m_windowMenu, &QMenu::aboutToShow, this,
            [this] { m_windows.fillWindowMenu(m_windowMenu); });
}

void MainWindow::buildHelpMenu() {
    QMenu* help = addMenu(nullptr, "mnuHelp");
    addItem(help, "mnuHelpTopic")->setVisible(false); // no help exists
    on(addItem(help, "mnuHelpSupportInfo"),
       [this] { saveSupportInformation(this, *m_ctx.product, m_settings.path()); });
    on(addItem(help, "mnuHelpBackupFolder"), [this] { openBackupFolder(*m_ctx.product); });
    m_items.about = addItem(help, "mnuHelpAbout");
    on(m_items.about, [this] { showAbout(); });
}

// A toolbar button; the caption of its menu item is its tool tip.
QAction* MainWindow::addToolButton(const QString& name, const QIcon& icon, QAction* menuItem) {
    QAction* a = m_toolBar->addAction(icon, name);
    a->setObjectName(name);
    m_toolTips.append(std::pair(a, menuItem));
    return a;
}

void MainWindow::buildToolbar() {
    m_toolBar = addToolBar(QString());
    m_toolBar->setObjectName(QStringLiteral("tbToolBar"));
    m_toolBar->setMovable(false);
    m_toolBar->setIconSize(QSize(24, 24));
    m_toolBar->toggleViewAction()->setEnabled(false);
    QStyle* st = style();
    // The buttons' procedures are named after the toolbar and the button's key.
    const auto button = [this](const char* name, const QIcon& icon, QAction* item,
                               const char* procedure, auto handler) {
        QAction* a = addToolButton(QString::fromUtf8(name), icon, item);
        connect(a, &QAction::triggered, this,
                [procedure, handler] { runTrapped(procedure, handler); });
    };
    button("新建", st->standardIcon(QStyle::SP_FileIcon), m_items.fileNew, "tbToolBar_New",
           [this] { m_files.newDocument(); });
    button("打开", st->standardIcon(QStyle::SP_DialogOpenButton), m_items.fileOpen,
           "tbToolBar_Open", [this] { m_files.fileOpen(); });
    button("保存", st->standardIcon(QStyle::SP_DialogSaveButton), m_items.fileSave,
           "tbToolBar_Save", [this] { m_files.fileSave(); });
    m_toolBar->addSeparator();
    button("打印", drawnIcon(QString::fromUtf8("打印")), m_items.filePrint, "tbToolBar_Print",
           [this] { showPrintList(); });
    m_toolBar->addSeparator();
    button("ReadRadio", drawnIcon(QStringLiteral("ReadRadio")), m_items.readFromRadio,
           "tbToolBar_ReadRadio", [this] { readFromRadio(); });
    button("CommSet", drawnIcon(QStringLiteral("CommSet")), m_items.port, "tbToolBar_CommSet",
           [this] { showPortWindow(); });
    button("WriteRadio", drawnIcon(QStringLiteral("WriteRadio")), m_items.writeToRadio,
           "tbToolBar_WriteRadio", [this] { writeToRadio(); });
    m_toolBar->addSeparator();
    button("About", st->standardIcon(QStyle::SP_MessageBoxInformation), m_items.about,
           "tbToolBar_About", [this] { showAbout(); });
}

void MainWindow::setMenuCaptions() {
    for (QAction* a : std::as_const(m_captioned)) {
        const QString caption = menuCaption(a->objectName());
        a->setText(a == m_items.about ? caption.arg(m_ctx.product->productName) : caption);
    }
    for (const auto& [button, item] : std::as_const(m_toolTips))
        button->setToolTip(withoutAccessKey(item->text()));
}

// Radio commands ---------------------------------------------------------------------------

void MainWindow::preparePort() {
    if (m_commands.busy()) return;
    QString device = deviceForChoice(m_ctx.comPort, m_ctx.settingsFile);
    // No device for the choice: the port's own name makes the "not connected" message.
    if (device.isEmpty()) device = QStringLiteral("COM%1").arg(m_ctx.comPort);
    m_session.setPortName(device);
}

void MainWindow::readFromRadio() {
    preparePort();
    m_commands.readFromRadio();
}

void MainWindow::writeToRadio() {
    preparePort();
    m_commands.writeToRadio();
}
