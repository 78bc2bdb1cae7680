#include "mainwindow.h"

#include "aboutwindow.h"
#include "core/channels/channelrules.h"
#include "languagewindow.h"
#include "modelwindow.h"
#include "portwindow.h"
#include "printlistwindow.h"
#include "splitterbutton.h"
#include "ui/common/handlertrap.h"
#include "ui/common/qttranslations.h"
#include "ui/common/texttables.h"
#include "ui/common/uicommon.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {
// The nodes below the tree's root, in the order of MainWindow::m_treeNodes: the key each keeps
// as its name, the menu item whose caption it shows and the window it opens (none: the
// embedded message, which reads the radio's factory information).
struct TreeNodeKind {
    const char* key;
    const char* menuItem;
    std::optional<ChildWindow> window;
};
const std::array<TreeNodeKind, 4> TreeNodes = {{
    {"N1", "mnuChannelInfo", ChildWindow::ChannelGrid},
    {"N2", "mnuOptFeature", ChildWindow::OptionFeatures},
    {"N8", "mnuEmbeddedMsg", ChildWindow::MessageLines},
    {"N9", "mnuEMG", std::nullopt},
}};
} // namespace

// Main window -------------------------------------------------------------------------------

MainWindow::MainWindow(const AppContext& context, QWidget* parent)
    : QMainWindow(parent), m_ctx(context), m_settings(context.settingsFile),
      m_doc(*context.product), m_history(m_doc), m_session(m_doc, m_link),
      m_commands(m_doc, m_session, this), m_testMode(m_doc, m_session),
      m_testWindows(m_testMode, m_doc, this), m_displayedLanguage(context.systemLanguage),
      m_mdi(new QMdiArea), m_windows(m_mdi, m_doc, this),
      m_files(m_doc, m_windows, this, context.programFolder) {
    setObjectName(QStringLiteral("frmMain"));

    m_mdi->setObjectName(QStringLiteral("MDIClient"));
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->viewport()->installEventFilter(this);

    buildMenus();
    buildToolbar();
    buildTreePane();
    buildStatusBar();
    buildWindowKeys();

    auto* central = new QWidget;
    auto* row = new QHBoxLayout(central);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(m_treePane);
    row->addWidget(m_splitter);
    row->addWidget(m_mdi, 1);
    setCentralWidget(central);

    connect(&m_commands, &RadioCommands::aboutToWrite, &m_windows,
            &ChildWindowArea::validateOpenEditors);
    connect(&m_commands, &RadioCommands::aboutToApplyRead, &m_windows, &ChildWindowArea::closeAll);
    connect(&m_commands, &RadioCommands::readApplied, this, &MainWindow::afterRead);
    connect(&m_files, &FileCommands::fileShown, this, &MainWindow::showFileTexts);
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
    connect(hide, &QAction::triggered, this, [this] { m_items.treeView->setChecked(false); });

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
    m_items.verifyAfterWrite->setChecked(w.verifyAfterWrite);
    m_items.showChangesBeforeWriting->setChecked(w.showChangesBeforeWriting);
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
    if (sub) m_windows.fitIntoArea(sub);
}

void MainWindow::highlightTreeNode() {
    QMdiSubWindow* active = m_mdi->activeSubWindow();
    // While the main window is inactive no child is active: the highlight stays.
    if (!active && !isActiveWindow()) return;
    const QWidget* front = active ? active->widget() : nullptr;
    QTreeWidgetItem* node = nullptr;
    for (size_t i = 0; i < TreeNodes.size(); ++i) {
        const std::optional<ChildWindow> window = TreeNodes[i].window;
        if (front && window && m_windows.find(*window) == front) node = m_treeNodes[i];
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
    w.verifyAfterWrite = m_items.verifyAfterWrite->isChecked();
    w.showChangesBeforeWriting = m_items.showChangesBeforeWriting->isChecked();
    savePlacement(*m_ctx.product, w);
}

// Texts ------------------------------------------------------------------------------------

QString MainWindow::titleText() const {
    const Product& p = *m_ctx.product;
    const QString name = QFileInfo(m_doc.fileName()).fileName();
    const QString band =
        p.titleShowsModel ? m_doc.model() + QLatin1Char(':') + m_doc.band() : m_doc.band();
    return p.productName + QLatin1Char('[') + band + QLatin1String("][") +
           printText(PrintText::FileNameLabel) + QLatin1Char(':') + name + QLatin1Char(']');
}

void MainWindow::setTitle() {
    setWindowTitle(titleText());
}

void MainWindow::setStatusTexts() {
    m_panel[1]->setText(m_doc.model() + QLatin1Char('[') + m_doc.band() + QLatin1Char(']'));
    m_panel[2]->setText(generalText(GeneralText::PortLabel) + QString::number(m_ctx.comPort));
}

void MainWindow::retranslate() {
    applyQtTranslations(currentLanguage());
    setTitle();
    setStatusTexts();
    setMenuCaptions();
    setAccessibleNames();
    updateUndoItems();
    m_windows.tileBackground(*m_ctx.product, m_ctx.programFolder);
    buildTree();
}

void MainWindow::buildTree() {
    m_tree->clear();
    auto* root = new QTreeWidgetItem(m_tree, QStringList(m_treeTitle->text()));
    root->setData(0, Qt::UserRole, QStringLiteral("N0"));
    for (size_t i = 0; i < TreeNodes.size(); ++i) {
        const QString caption = menuCaption(QLatin1String(TreeNodes[i].menuItem));
        m_treeNodes[i] = new QTreeWidgetItem(root, QStringList(caption));
        // The node shows the caption as the menu has it; a screen reader reads it without the
        // access key marker.
        m_treeNodes[i]->setData(0, Qt::AccessibleTextRole, withoutAccessKey(caption));
        m_treeNodes[i]->setData(0, Qt::UserRole, QLatin1String(TreeNodes[i].key));
    }
    root->setExpanded(true);
    highlightTreeNode();
}

void MainWindow::onTreeNode(QTreeWidgetItem* item) {
    const auto node = std::find(m_treeNodes.cbegin(), m_treeNodes.cend(), item);
    if (!item || node == m_treeNodes.cend()) return;
    const std::optional<ChildWindow> window = TreeNodes[size_t(node - m_treeNodes.cbegin())].window;
    runTrapped(handlerName(m_tree, "NodeClick"), [&] {
        if (window)
            m_windows.show(*window);
        else
            m_items.embeddedInformation->trigger();
    });
}

void MainWindow::afterRead() {
    showFileTexts();
    m_windows.show(ChildWindow::ChannelGrid);
    m_windows.cascade();
}

void MainWindow::showFileTexts() {
    setTitle();
    setStatusTexts();
    setMenuCaptions();
}

// Tree pane and splitter -------------------------------------------------------------------

void MainWindow::setTreePaneVisible(bool visible) {
    const QWidget* f = QApplication::focusWidget();
    const bool hadFocus = f && m_treePane->isAncestorOf(f);
    m_treePane->setVisible(visible);
    m_splitter->setVisible(visible);
    // Turned on, the tree is where the user goes next; hidden, the window in front is.
    if (visible)
        m_tree->setFocus(Qt::OtherFocusReason);
    else if (hadFocus)
        focusChildWindow(m_mdi->activeSubWindow());
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
    ModelWindow w(m_doc, this);
    connect(&w, &ModelWindow::modelChanged, this, [this] { m_files.newDocument(false); });
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

// Events -----------------------------------------------------------------------------------

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        runTrapped("MDIForm_Activate", [this] { checkLanguageChange(); });
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::MouseButtonPress)
        m_fitGridToArea = false;
    // Left unaccepted, the key reaches the Undo and Redo items.
    if (undoKeyForHistory(watched, event)) return true;
    // The background follows the size of the child window area. The session's timers are
    // left alone: a running exchange keeps its time-out.
    if (watched == m_mdi->viewport() && event->type() == QEvent::Resize) {
        runTrapped("MDIForm_Resize",
                   [this] { m_windows.tileBackground(*m_ctx.product, m_ctx.programFolder); });
        if (m_fitGridToArea && isVisible()) fitGridToArea();
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    bool leave = true;
    runTrapped("MDIForm_QueryUnload", [&] { leave = m_files.saveBeforeLeaving(); });
    if (!leave) {
        event->ignore();
        return;
    }
    if (m_session.busy()) m_session.cancel();
    runTrapped("MDIForm_Unload", [this] { storePlacement(); });
    m_windows.closeAll();
    event->accept();
}
