#include "mainwindow.h"

#include "aboutwindow.h"
#include "backupfolder.h"
#include "core/channels/channelrules.h"
#include "core/comm/ports.h"
#include "languagewindow.h"
#include "modelwindow.h"
#include "portwindow.h"
#include "printlistwindow.h"
#include "recentfilesmenu.h"
#include "splitterbutton.h"
#include "toolbaricons.h"
#include "ui/common/qttranslations.h"
#include "ui/common/texttables.h"
#include "ui/common/uicommon.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {
// Runs a command handler; an exception it raises is reported with the procedure's name and
// the program carries on.
template <class F> void trapped(const char* procedure, F&& handler) {
    try {
        handler();
    } catch (...) {
        reportProcedureError(QLatin1String(procedure));
    }
}

// A menu caption without its access key marker, as a tool tip shows it.
QString withoutAccessKey(QString caption) {
    static const QRegularExpression paren(QStringLiteral("\\(&.\\)"));
    caption.remove(paren);
    return caption.remove(QLatin1Char('&'));
}

} // namespace

// Main window -------------------------------------------------------------------------------

MainWindow::MainWindow(const AppContext& context, QWidget* parent)
    : QMainWindow(parent), m_ctx(context), m_settings(context.settingsFile),
      m_doc(*context.product), m_history(m_doc), m_session(m_doc, m_link),
      m_commands(m_doc, m_session, this), m_testMode(m_doc, m_session),
      m_testWindows(m_testMode, m_doc, this), m_displayedLanguage(context.systemLanguage),
      m_mdi(new QMdiArea), m_windows(m_mdi, m_doc, this),
      m_files(m_doc, m_windows, this, context.programFolder, [this] { showFileTexts(); }) {
    setObjectName(QStringLiteral("frmMain"));

    m_mdi->setObjectName(QStringLiteral("MDIClient"));
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->viewport()->installEventFilter(this);

    buildMenus();
    buildToolbar();
    buildTreePane();
    buildStatusBar();

    auto* central = new QWidget;
    auto* row = new QHBoxLayout(central);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(m_treePane);
    row->addWidget(m_splitter);
    row->addWidget(m_mdi, 1);
    setCentralWidget(central);

    m_commands.validateOpenEditors = [this] { m_windows.validateOpenEditors(); };
    m_commands.closeEditors = [this] { m_windows.closeAll(); };
    m_commands.afterRead = [this] { afterRead(); };
    connect(&m_files, &FileCommands::documentReplaced, &m_history, &EditHistory::reset);
    connect(&m_files, &FileCommands::documentSaved, &m_history, &EditHistory::documentSaved);
    connect(&m_doc.notifier(), &DocumentNotifier::configurationReplaced, this,
            [this] { showFileTexts(); });
    // Nothing is undone under a running session: a read or write works on the record.
    connect(&m_session, &RadioSession::progressOpened, this, [this] { updateUndoItems(); });
    connect(&m_session, &RadioSession::finished, this, [this] { updateUndoItems(); });
    qApp->installEventFilter(this);

    // The defaults with the template file over them, then the main window load: placement,
    // hidden items (built hidden), texts and tree, a new configuration.
    m_doc.initialiseDefaults(QDir(m_ctx.programFolder).filePath(QStringLiteral("KORVEN_New.dat")));
    const bool placed = applyPlacement();
    retranslate();
    m_files.newDocument();
    if (!placed) fitFirstWindow();
    // The tree's highlight follows the window in front.
    connect(m_mdi, &QMdiArea::subWindowActivated, this, [this] { highlightTreeNode(); });
    highlightTreeNode();
}

MainWindow::~MainWindow() {
    // Editors work on the configuration: they go before it does.
    m_windows.destroyAll();
    if (m_session.busy()) m_session.cancel();
    // The history outlives the session: its clearing at the end must not ask the session.
    disconnect(&m_history.stack(), nullptr, this, nullptr);
    qApp->removeEventFilter(this);
}

QMenu* MainWindow::addMenu(QMenu* parent, const char* name) {
    QMenu* menu = parent ? parent->addMenu(QString()) : menuBar()->addMenu(QString());
    menu->setObjectName(QLatin1String(name));
    menu->menuAction()->setObjectName(QLatin1String(name));
    m_actions.insert(QLatin1String(name), menu->menuAction());
    return menu;
}

QAction* MainWindow::addItem(QMenu* menu, const char* name) {
    QAction* a = menu->addAction(QString());
    a->setObjectName(QLatin1String(name));
    m_actions.insert(QLatin1String(name), a);
    return a;
}

void MainWindow::on(QAction* item, const char* procedure, std::function<void()> handler) {
    connect(item, &QAction::triggered, this,
            [procedure, handler = std::move(handler)] { trapped(procedure, handler); });
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
    QAction* fileNew = addItem(file, "mnuFileNew");
    fileNew->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    on(fileNew, "mnuFileNew_Click", [this] { m_files.fileNew(); });
    QAction* fileOpen = addItem(file, "mnuFileOpen");
    fileOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    on(fileOpen, "mnuFileOpen_Click", [this] { m_files.fileOpen(); });
    on(addItem(file, "mnuFileSave"), "mnuFileSave_Click", [this] { m_files.fileSave(); });
    on(addItem(file, "mnuFileSaveAs"), "mnuFileSaveAs_Click", [this] { m_files.fileSaveAs(); });
    on(addItem(file, "mnuFileExportCsv"), "mnuFileExportCsv_Click",
       [this] { m_files.exportChannels(); });
    on(addItem(file, "mnuFileImportCsv"), "mnuFileImportCsv_Click",
       [this] { m_files.importChannels(); });
    file->addSeparator();
    QAction* print = addItem(file, "mnuFilePrint");
    on(print, "mnuFilePrint_Click", [this] { showPrintList(); });
    file->addSeparator();
    QMenu* recent = addMenu(file, "mnuFileRecent");
    m_recentFiles = new RecentFilesMenu(*m_ctx.product, m_files, recent,
                                        addItem(recent, "mnuFileRecentClear"), this);
    m_files.fileUsed = [this](const QString& path) { m_recentFiles->add(path); };
    file->addSeparator();
    on(addItem(file, "mnuFileExit"), "mnuFileExit_Click", [this] { close(); });
}

void MainWindow::buildEditMenus() {
    QMenu* model = addMenu(nullptr, "mnuModel");
    on(addItem(model, "mnuModelInfo"), "mnuModelInfo_Click", [this] { showModelWindow(); });
    model->menuAction()->setVisible(m_ctx.serviceMode);

    QMenu* edit = addMenu(nullptr, "mnuEdit");
    buildUndoItems(edit);
    on(addItem(edit, "mnuChannelInfo"), "mnuChannelInfo_Click",
       [this] { m_windows.show(ChildWindow::ChannelGrid); });
    on(addItem(edit, "mnuOptFeature"), "mnuOptFeature_Click",
       [this] { m_windows.show(ChildWindow::OptionFeatures); });
    // Editors of values the radio sessions do not carry: for service technicians only.
    const struct {
        const char* item;
        const char* procedure;
        ChildWindow window;
    } serviceEditors[] = {
        {"mnuKeyAssignm", "mnuKeyAssignm_Click", ChildWindow::KeyAssignment},
        {"mnuScanInfo", "mnuScanInfo_Click", ChildWindow::ScanInformation},
        {"mnuDTMF", "mnuDTMF_Click", ChildWindow::Dtmf},
        {"mnuFleetSync", "mnuFleetSync_Click", ChildWindow::FleetSync},
        {"mnuTestFre", "mnuTestFre_Click", ChildWindow::TestFrequencies},
    };
    for (const auto& e : serviceEditors) {
        QAction* item = addItem(edit, e.item);
        item->setVisible(m_ctx.serviceMode);
        on(item, e.procedure, [this, window = e.window] { m_windows.show(window); });
    }
    on(addItem(edit, "mnuEmbeddedMsg"), "mnuEmbeddedMsg_Click",
       [this] { m_windows.show(ChildWindow::MessageLines); });
    on(addItem(edit, "mnuEMG"), "mnuEMG_Click", [this] {
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
    on(m_undo, "mnuEditUndo_Click", [this] {
        if (!m_session.busy()) m_history.undo();
    });
    on(m_redo, "mnuEditRedo_Click", [this] {
        if (!m_session.busy()) m_history.redo();
    });
    const QUndoStack& stack = m_history.stack();
    connect(&stack, &QUndoStack::indexChanged, this, [this] { updateUndoItems(); });
    connect(&stack, &QUndoStack::cleanChanged, this, [this] { updateUndoItems(); });
    updateUndoItems();
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
    on(addItem(program, "mnuReadFromRadio"), "mnuReadFromRadio_Click", [this] {
        preparePort();
        m_commands.readFromRadio();
    });
    on(addItem(program, "mnuWriteToRadio"), "mnuWriteToRadio_Click", [this] {
        preparePort();
        m_commands.writeToRadio();
    });
    // Every write is read back and compared while this is checked (kept with the placement).
    QAction* verify = addItem(program, "mnuVerifyAfterWrite");
    verify->setCheckable(true);
    connect(verify, &QAction::toggled, this,
            [this](bool on) { m_session.setVerifyAfterWrite(on); });
    on(addItem(program, "mnuWriteSeveral"), "mnuWriteSeveral_Click",
       [this] { m_commands.writeToSeveralRadios(m_ctx.settingsFile); });
    // Test mode and the tools are for service technicians only.
    QAction* test = addItem(program, "mnuTest");
    test->setVisible(m_ctx.serviceMode);
    on(test, "mnuTest_Click", [this] {
        if (m_commands.busy() || m_session.busy()) return;
        preparePort();
        m_testMode.start();
    });

    QMenu* tools = addMenu(nullptr, "mnuTools");
    on(addItem(tools, "mnuRadioInfo"), "mnuRadioInfo_Click", [this] {
        preparePort();
        m_commands.readRadioInfo();
    });
    on(addItem(tools, "mnuSetRadioInfo"), "mnuSetRadioInfo_Click", [this] {
        preparePort();
        m_commands.setRadioInfo();
    });
    tools->menuAction()->setVisible(m_ctx.serviceMode);
}

void MainWindow::buildSetupMenus() {
    QMenu* set = addMenu(nullptr, "mnuSet");
    on(addItem(set, "mnuComm"), "mnuComm_Click", [this] { showPortWindow(); });
    on(addItem(set, "mnuLanguage"), "mnuLanguage_Click", [this] { showLanguageWindow(); });
    on(addItem(set, "MnuInitial"), "MnuInitial_Click", [this] { m_files.initialSetting(); });

    QMenu* view = addMenu(nullptr, "mnuView");
    QAction* tree = addItem(view, "mnuTreeView");
    tree->setCheckable(true);
    tree->setChecked(true);
    connect(tree, &QAction::toggled, this, [this](bool on) { setTreePaneVisible(on); });
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
    on(addItem(m_windowMenu, "mnuWindowCascade"), "mnuWindowCascade_Click",
       [this] { m_mdi->cascadeSubWindows(); });
    QAction* tileV = addItem(m_windowMenu, "mnuWindowTileVertical");
    on(tileV, "mnuWindowTileVertical_Click", [this] { m_mdi->tileSubWindows(); });
    tileV->setVisible(false);
    QAction* tileH = addItem(m_windowMenu, "mnuWindowTileHorizontal");
    on(tileH, "mnuWindowTileHorizontal_Click", [this] { m_mdi->tileSubWindows(); });
    tileH->setVisible(false);
    addItem(m_windowMenu, "mnuWindowArrangeIcons")->setVisible(false);
    on(addItem(m_windowMenu, "mnuCloseAll"), "mnuCloseAll_Click", [this] { m_windows.closeAll(); });
    m_windowMenu->addSeparator();
    connect(m_windowMenu, &QMenu::aboutToShow, this,
            [this] { m_windows.fillWindowMenu(m_windowMenu); });
}

void MainWindow::buildHelpMenu() {
    QMenu* help = addMenu(nullptr, "mnuHelp");
    addItem(help, "mnuHelpTopic")->setVisible(false); // no help exists
    on(addItem(help, "mnuHelpBackupFolder"), "mnuHelpBackupFolder_Click",
       [this] { openBackupFolder(*m_ctx.product); });
    on(addItem(help, "mnuHelpAbout"), "mnuHelpAbout_Click", [this] { showAbout(); });
}

void MainWindow::buildToolbar() {
    m_toolBar = addToolBar(QString());
    m_toolBar->setObjectName(QStringLiteral("tbToolBar"));
    m_toolBar->setMovable(false);
    m_toolBar->setIconSize(QSize(24, 24));
    m_toolBar->toggleViewAction()->setEnabled(false);
    QStyle* st = style();
    const auto button = [this](const QString& key, const QIcon& icon, const char* procedure,
                               auto&& handler) {
        QAction* a = m_toolBar->addAction(icon, key);
        a->setObjectName(key);
        m_buttons.insert(key, a);
        connect(a, &QAction::triggered, this,
                [procedure, handler] { trapped(procedure, handler); });
    };
    button(QString::fromUtf8("新建"), st->standardIcon(QStyle::SP_FileIcon), "tbToolBar_New",
           [this] { m_files.newDocument(); });
    button(QString::fromUtf8("打开"), st->standardIcon(QStyle::SP_DialogOpenButton),
           "tbToolBar_Open", [this] { m_files.fileOpen(); });
    button(QString::fromUtf8("保存"), st->standardIcon(QStyle::SP_DialogSaveButton),
           "tbToolBar_Save", [this] { m_files.fileSave(); });
    m_toolBar->addSeparator();
    button(QString::fromUtf8("打印"), drawnIcon(QString::fromUtf8("打印")), "tbToolBar_Print",
           [this] { showPrintList(); });
    m_toolBar->addSeparator();
    button(QStringLiteral("ReadRadio"), drawnIcon(QStringLiteral("ReadRadio")),
           "tbToolBar_ReadRadio", [this] {
               preparePort();
               m_commands.readFromRadio();
           });
    button(QStringLiteral("CommSet"), drawnIcon(QStringLiteral("CommSet")), "tbToolBar_CommSet",
           [this] { showPortWindow(); });
    button(QStringLiteral("WriteRadio"), drawnIcon(QStringLiteral("WriteRadio")),
           "tbToolBar_WriteRadio", [this] {
               preparePort();
               m_commands.writeToRadio();
           });
    m_toolBar->addSeparator();
    button(QStringLiteral("About"), st->standardIcon(QStyle::SP_MessageBoxInformation),
           "tbToolBar_About", [this] { showAbout(); });
}

void MainWindow::buildTreePane() {
    m_treePane = new QWidget;
    m_treePane->setObjectName(QStringLiteral("picTreeView"));
    m_treePane->setFixedWidth(twipsToPixelsX(2800));

    m_treeTitle = new QLabel(m_ctx.product->productName);
    m_treeTitle->setObjectName(QStringLiteral("Label1"));
    m_treeTitle->setIndent(4);
    m_treeBar = new QToolBar;
    m_treeBar->setObjectName(QStringLiteral("Toolbar1"));
    m_treeBar->setIconSize(QSize(12, 12));
    QAction* hide = m_treeBar->addAction(style()->standardIcon(QStyle::SP_TitleBarCloseButton),
                                         QString::fromUtf8("删除"));
    hide->setObjectName(QString::fromUtf8("删除"));
    connect(hide, &QAction::triggered, this,
            [this] { m_actions.value(QStringLiteral("mnuTreeView"))->setChecked(false); });

    auto* head = new QHBoxLayout;
    head->setContentsMargins(0, 0, 0, 0);
    head->addWidget(m_treeTitle, 1);
    head->addWidget(m_treeBar);

    m_tree = new QTreeWidget;
    m_tree->setObjectName(QStringLiteral("TreeView1"));
    m_tree->setHeaderHidden(true);
    m_tree->setColumnCount(1);
    connect(m_tree, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { onTreeNode(item); });
    connect(m_tree, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { onTreeNode(item); });

    auto* column = new QVBoxLayout(m_treePane);
    column->setContentsMargins(2, 2, 0, 2);
    column->setSpacing(2);
    column->addLayout(head);
    column->addWidget(m_tree, 1);

    m_splitter = new SplitterButton;
    m_splitter->setObjectName(QStringLiteral("CommandMove"));
    m_splitter->setFocusPolicy(Qt::NoFocus);
    m_splitter->setCursor(Qt::SizeHorCursor);
    m_splitter->setFixedWidth(5);
    m_splitter->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    m_splitter->setFlat(true);
    connect(m_splitter, &SplitterButton::dragged, this, &MainWindow::onSplitterDragged);
}

void MainWindow::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("sbStatusBar"));
    for (int i = 0; i < 3; ++i) {
        m_panel[i] = new QLabel;
        m_panel[i]->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        m_panel[i]->setMinimumWidth(i == 0 ? 0 : twipsToPixelsX(1500));
        bar->addPermanentWidget(m_panel[i], i == 0 ? 1 : 0);
    }
}

bool MainWindow::applyPlacement() {
    const WindowPlacement w = loadPlacement(*m_ctx.product);
    const WindowPlacement fallback;
    // A stored size too small to use gives the default size.
    const int width = w.width >= 1500 ? w.width : fallback.width;
    const int height = w.height >= 1500 ? w.height : fallback.height;
    resize(twipsToPixelsX(width), twipsToPixelsY(height));
    move(twipsToPixelsX(w.left), twipsToPixelsY(w.top));
    m_actions.value(QStringLiteral("mnuVerifyAfterWrite"))->setChecked(w.verifyAfterWrite);
    return w.sizeStored && w.width >= 1500 && w.height >= 1500;
}

std::optional<QRect> firstStartGeometry(const QRect& placed, const QSize& needed,
                                        const QRect& available) {
    const QSize size = placed.size().expandedTo(needed);
    if (size.width() > available.width() || size.height() > available.height()) return std::nullopt;
    QRect r(placed.topLeft(), size);
    r.moveLeft(std::clamp(r.left(), available.left(), available.right() - size.width() + 1));
    r.moveTop(std::clamp(r.top(), available.top(), available.bottom() - size.height() + 1));
    return r;
}

// Without a stored placement the window opens large enough for the tree, the toolbar and the
// channel grid window whole, so that the first thing a user sees is the work and not a window
// cut off at its edge; on a screen too small for that, maximised.
void MainWindow::fitFirstWindow() {
    QWidget* grid = m_windows.find(ChildWindow::ChannelGrid);
    auto* sub = grid ? qobject_cast<QMdiSubWindow*>(grid->parentWidget()) : nullptr;
    const QScreen* screen = this->screen();
    if (!sub || !screen) return;
    // The window system's frame is not known before the window is shown: room for a title bar
    // and thin borders.
    const int titleBar = style()->pixelMetric(QStyle::PM_TitleBarHeight) + 8;
    const QSize frame(8, titleBar + 4);
    const int mdiFrame = 2 * m_mdi->frameWidth();
    const QSize child = sub->sizeHint().expandedTo(sub->size());
    const QSize inner(m_treePane->width() + m_splitter->width() + mdiFrame + child.width(),
                      menuBar()->sizeHint().height() + m_toolBar->sizeHint().height() +
                          statusBar()->sizeHint().height() + mdiFrame + child.height());
    const std::optional<QRect> r = firstStartGeometry(QRect(pos(), size() + frame), inner + frame,
                                                      screen->availableGeometry());
    if (!r) {
        // Filling the area also where no window manager maximises.
        const QRect area = screen->availableGeometry();
        resize(area.size() - frame);
        move(area.topLeft());
        setWindowState(windowState() | Qt::WindowMaximized);
        return;
    }
    resize(r->size() - frame);
    move(r->topLeft());
}

// The grid window scrolls its rows itself: shorter, it shows whole with its Close button
// instead of running past the area (on a small screen, maximised or placed as last time).
void MainWindow::fitGridToArea() {
    QWidget* grid = m_windows.find(ChildWindow::ChannelGrid);
    auto* sub = grid ? qobject_cast<QMdiSubWindow*>(grid->parentWidget()) : nullptr;
    if (!sub || !sub->isVisible() || sub->isMaximized()) return;
    const QSize area = m_mdi->viewport()->size();
    QRect r = sub->geometry();
    r.setSize(r.size().boundedTo(area).expandedTo(sub->minimumSizeHint()));
    // Moved back inside where it can; what still does not fit stays reachable by scrolling.
    r.moveLeft(std::max(0, std::min(r.left(), area.width() - r.width())));
    r.moveTop(std::max(0, std::min(r.top(), area.height() - r.height())));
    if (r != sub->geometry()) sub->setGeometry(r);
}

void MainWindow::highlightTreeNode() {
    QMdiSubWindow* active = m_mdi->activeSubWindow();
    // While the main window is inactive no child is active: the highlight stays.
    if (!active && !isActiveWindow()) return;
    const QString name = active && active->widget() ? active->widget()->objectName() : QString();
    const struct {
        ChildWindow kind;
        const char* key;
    } nodes[] = {{ChildWindow::ChannelGrid, "N1"},
                 {ChildWindow::OptionFeatures, "N2"},
                 {ChildWindow::MessageLines, "N8"}};
    QTreeWidgetItem* root = m_tree->topLevelItem(0);
    QTreeWidgetItem* node = nullptr;
    for (const auto& n : nodes) {
        if (name != ChildWindowArea::objectNameOf(n.kind) || !root) continue;
        for (int i = 0; i < root->childCount(); ++i)
            if (root->child(i)->data(0, Qt::UserRole).toString() == QLatin1String(n.key))
                node = root->child(i);
    }
    if (node)
        m_tree->setCurrentItem(node);
    else
        m_tree->clearSelection();
}

void MainWindow::storePlacement() {
    WindowPlacement w = loadPlacement(*m_ctx.product);
    // A minimized window keeps the placement stored; a maximized one the placement it
    // returns to.
    if (!isMinimized()) {
        const QRect g = isMaximized() ? normalGeometry() : QRect(pos(), size());
        w.left = pixelsToTwipsX(g.x());
        w.top = pixelsToTwipsY(g.y());
        w.width = pixelsToTwipsX(g.width());
        w.height = pixelsToTwipsY(g.height());
    }
    w.verifyAfterWrite = m_actions.value(QStringLiteral("mnuVerifyAfterWrite"))->isChecked();
    savePlacement(*m_ctx.product, w);
}

// Texts ------------------------------------------------------------------------------------

QString MainWindow::titleText() const {
    const Product& p = *m_ctx.product;
    const QString name = QFileInfo(m_doc.fileName).fileName();
    const QString band = p.titleShowsModel
                             ? m_doc.currentModel + QLatin1Char(':') + m_doc.currentBand
                             : m_doc.currentBand;
    return p.productName + QLatin1Char('[') + band + QLatin1String("][") +
           printText(PrintText::FileNameLabel) + QLatin1Char(':') + name + QLatin1Char(']');
}

void MainWindow::setTitle() {
    setWindowTitle(titleText());
}

void MainWindow::setStatusTexts() {
    m_panel[1]->setText(m_doc.currentModel + QLatin1Char('[') + m_doc.currentBand +
                        QLatin1Char(']'));
    m_panel[2]->setText(generalText(GeneralText::PortLabel) + QString::number(m_ctx.comPort));
}

void MainWindow::setMenuCaptions() {
    for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it) {
        QString caption = menuCaption(it.key());
        if (it.key() == QLatin1String("mnuHelpAbout"))
            caption = caption.arg(m_ctx.product->productName);
        it.value()->setText(caption);
    }
    // Buttons take the caption of their menu item as tool tip.
    const struct {
        const char* key;
        const char* item;
    } tips[] = {{"新建", "mnuFileNew"},
                {"打开", "mnuFileOpen"},
                {"保存", "mnuFileSave"},
                {"打印", "mnuFilePrint"},
                {"ReadRadio", "mnuReadFromRadio"},
                {"CommSet", "mnuComm"},
                {"WriteRadio", "mnuWriteToRadio"},
                {"About", "mnuHelpAbout"}};
    for (const auto& t : tips) {
        if (QAction* b = m_buttons.value(QString::fromUtf8(t.key)))
            b->setToolTip(withoutAccessKey(m_actions.value(QLatin1String(t.item))->text()));
    }
}

void MainWindow::retranslate() {
    applyQtTranslations(currentLanguage());
    setTitle();
    setStatusTexts();
    setMenuCaptions();
    updateUndoItems();
    m_windows.tileBackground(*m_ctx.product, m_ctx.programFolder);
    buildTree();
}

void MainWindow::buildTree() {
    m_tree->clear();
    auto* root = new QTreeWidgetItem(m_tree, QStringList(m_treeTitle->text()));
    root->setData(0, Qt::UserRole, QStringLiteral("N0"));
    const struct {
        const char* key;
        const char* item;
    } nodes[] = {{"N1", "mnuChannelInfo"},
                 {"N2", "mnuOptFeature"},
                 {"N8", "mnuEmbeddedMsg"},
                 {"N9", "mnuEMG"}};
    for (const auto& n : nodes) {
        auto* item = new QTreeWidgetItem(root, QStringList(menuCaption(QLatin1String(n.item))));
        item->setData(0, Qt::UserRole, QLatin1String(n.key));
    }
    root->setExpanded(true);
    highlightTreeNode();
}

void MainWindow::onTreeNode(QTreeWidgetItem* item) {
    if (!item) return;
    const QString key = item->data(0, Qt::UserRole).toString();
    trapped("TreeView1_NodeClick", [&] {
        if (key == QLatin1String("N1"))
            m_windows.show(ChildWindow::ChannelGrid);
        else if (key == QLatin1String("N2"))
            m_windows.show(ChildWindow::OptionFeatures);
        else if (key == QLatin1String("N8"))
            m_windows.show(ChildWindow::MessageLines);
        else if (key == QLatin1String("N9"))
            m_actions.value(QStringLiteral("mnuEMG"))->trigger();
    });
}

void MainWindow::afterRead() {
    showFileTexts();
    m_windows.show(ChildWindow::ChannelGrid);
    m_mdi->cascadeSubWindows();
}

void MainWindow::showFileTexts() {
    setTitle();
    setStatusTexts();
    setMenuCaptions();
}

// Tree pane and splitter -------------------------------------------------------------------

void MainWindow::setTreePaneVisible(bool visible) {
    m_treePane->setVisible(visible);
    m_splitter->setVisible(visible);
}

void MainWindow::onSplitterDragged(int dx) {
    const int width = m_treePane->width() + dx;
    const int inner = centralWidget() ? centralWidget()->width() : this->width();
    if (width < twipsToPixelsX(300) || width > inner) return;
    m_treePane->setFixedWidth(width);
}

void MainWindow::showPortWindow() {
    PortWindow w(m_ctx.comPort, m_settings, this);
    if (w.exec() == QDialog::Accepted && w.selectedPort() >= 1) {
        m_ctx.comPort = w.selectedPort();
        setStatusTexts();
    }
}

void MainWindow::showLanguageWindow() {
    LanguageWindow w(m_ctx.systemLanguage, m_ctx.product->persistsLanguage ? &m_settings : nullptr,
                     this);
    if (w.exec() == QDialog::Accepted && w.previousLanguage() != currentLanguage())
        m_displayedLanguage = w.previousLanguage();
    checkLanguageChange();
}

void MainWindow::showModelWindow() {
    ModelWindow w(
        m_doc, [this] { m_files.newDocument(false); }, this);
    w.exec();
}

void MainWindow::showPrintList() {
    PrintListWindow w(m_doc, this);
    w.exec();
}

void MainWindow::showAbout() {
    if (currentLanguage() == LanguageEnglish) {
        EnglishAboutWindow w(m_ctx.product->productName, this);
        w.exec();
    } else {
        ChineseAboutWindow w(m_ctx.product->productName, this);
        w.exec();
    }
}

void MainWindow::checkLanguageChange() {
    if (currentLanguage() == m_displayedLanguage) return;
    m_displayedLanguage = currentLanguage();
    retranslate();
    m_windows.reopenChannelGrid();
}

void MainWindow::preparePort() {
    if (m_commands.busy()) return;
    QString device = deviceForChoice(m_ctx.comPort, m_ctx.settingsFile);
    // No device for the choice: the port's own name makes the "not connected" message.
    if (device.isEmpty()) device = QStringLiteral("COM%1").arg(m_ctx.comPort);
    m_session.setPortName(device);
}

// Events -----------------------------------------------------------------------------------

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        trapped("MDIForm_Activate", [this] { checkLanguageChange(); });
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::MouseButtonPress)
        m_fitGridToArea = false;
    // Left unaccepted, the key reaches the Undo and Redo items.
    if (undoKeyForHistory(watched, event)) return true;
    // The background follows the size of the child window area. The session's timers are
    // left alone: a running exchange keeps its time-out.
    if (watched == m_mdi->viewport() && event->type() == QEvent::Resize) {
        trapped("MDIForm_Resize",
                [this] { m_windows.tileBackground(*m_ctx.product, m_ctx.programFolder); });
        if (m_fitGridToArea && isVisible()) fitGridToArea();
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    bool leave = true;
    trapped("MDIForm_QueryUnload", [&] { leave = m_files.saveBeforeLeaving(); });
    if (!leave) {
        event->ignore();
        return;
    }
    if (m_session.busy()) m_session.cancel();
    trapped("MDIForm_Unload", [this] { storePlacement(); });
    m_windows.closeAll();
    event->accept();
}
