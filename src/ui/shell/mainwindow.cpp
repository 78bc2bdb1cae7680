#include "mainwindow.h"

#include "backupfolder.h"
#include "core/comm/ports.h"
#include "core/config/datafile.h"
#include "exchange/channelcsv.h"
#include "core/channels/channelrules.h"
#include "ui/editors/channelgridwindow.h"
#include "ui/editors/messagelineswindow.h"
#include "ui/editors/optionfeatureswindow.h"
#include "ui/common/filedialogs.h"
#include "aboutwindow.h"
#include "modelwindow.h"
#include "printlistwindow.h"
#include "portwindow.h"
#include "languagewindow.h"
#include "ui/common/texttables.h"
#include "ui/common/uicommon.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
#include <QSaveFile>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

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

// Toolbar pictures drawn for this program: a small radio with an arrow, a printer, a plug.
QIcon drawnIcon(const QString& key) {
    QPixmap pm(24, 24);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor body(60, 80, 110);
    const QColor accent(30, 140, 60);
    if (key == QString::fromUtf8("打印")) {
        p.setPen(QPen(body, 1.5));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 3, 10, 7));
        p.setBrush(QColor(170, 180, 195));
        p.drawRoundedRect(QRectF(3, 9, 18, 9), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 15, 10, 6));
    } else if (key == QLatin1String("CommSet")) {
        p.setPen(QPen(body, 1.5));
        p.setBrush(QColor(170, 180, 195));
        QPainterPath shell;
        shell.moveTo(3, 7);
        shell.lineTo(21, 7);
        shell.lineTo(18, 17);
        shell.lineTo(6, 17);
        shell.closeSubpath();
        p.drawPath(shell);
        p.setBrush(body);
        for (int i = 0; i < 5; ++i)
            p.drawEllipse(QPointF(6.5 + i * 2.75, 10.5), 0.9, 0.9);
        for (int i = 0; i < 4; ++i)
            p.drawEllipse(QPointF(7.9 + i * 2.75, 13.8), 0.9, 0.9);
    } else {
        // ReadRadio / WriteRadio: the radio with an arrow out of it (read) or into it (write).
        p.setPen(QPen(body, 1.5));
        p.setBrush(QColor(170, 180, 195));
        p.drawRoundedRect(QRectF(2, 9, 13, 12), 2, 2);
        p.drawLine(QPointF(5, 9), QPointF(3, 2));
        p.setBrush(body);
        p.drawRect(QRectF(4.5, 12, 8, 3));
        p.setPen(QPen(accent, 2.2, Qt::SolidLine, Qt::RoundCap));
        const bool read = key == QLatin1String("ReadRadio");
        const QPointF from = read ? QPointF(14, 6) : QPointF(22, 6);
        const QPointF to = read ? QPointF(22, 6) : QPointF(15.5, 6);
        p.drawLine(from, to);
        const double dir = read ? -1 : 1;
        p.drawLine(to, to + QPointF(3 * dir, -3));
        p.drawLine(to, to + QPointF(3 * dir, 3));
    }
    return QIcon(pm);
}
} // namespace

// Splitter button ---------------------------------------------------------------------------

void SplitterButton::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) {
        m_dragging = true;
        m_lastX = qRound(e->globalPosition().x());
    }
    e->accept();
}

void SplitterButton::mouseMoveEvent(QMouseEvent* e) {
    if (!m_dragging) return;
    const int x = qRound(e->globalPosition().x());
    const int dx = x - m_lastX;
    if (dx != 0) {
        m_lastX = x;
        emit dragged(dx);
    }
}

void SplitterButton::mouseReleaseEvent(QMouseEvent* e) {
    m_dragging = false;
    e->accept();
}

// Main window -------------------------------------------------------------------------------

MainWindow::MainWindow(const AppContext& context, QWidget* parent)
    : QMainWindow(parent), m_ctx(context), m_settings(context.settingsFile),
      m_doc(*context.product), m_session(m_doc, m_link), m_commands(m_doc, m_session, this),
      m_testMode(m_doc, m_session), m_testWindows(m_testMode, m_doc, this),
      m_displayedLanguage(context.systemLanguage) {
    setObjectName(QStringLiteral("frmMain"));

    m_mdi = new QMdiArea;
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
    row->addWidget(CommandMove);
    row->addWidget(m_mdi, 1);
    setCentralWidget(central);

    m_commands.validateOpenEditors = [this] { validateOpenEditors(); };
    m_commands.closeEditors = [this] { closeAllChildWindows(); };
    m_commands.afterRead = [this] { afterRead(); };

    // The defaults with the template file over them, then the main window load: placement,
    // hidden items (built hidden), texts and tree, a new configuration.
    m_doc.initialiseDefaults(QDir(m_ctx.programFolder).filePath(QStringLiteral("KORVEN_New.dat")));
    applyPlacement();
    Change_Language();
    LoadNewDoc();
}

MainWindow::~MainWindow() {
    // Editors work on the configuration: they go before it does.
    const auto windows = m_mdi->subWindowList();
    for (QMdiSubWindow* s : windows)
        delete s;
    if (m_session.busy()) m_session.cancel();
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

void MainWindow::buildMenus() {
    const auto on = [this](QAction* a, const char* procedure, auto&& handler) {
        connect(a, &QAction::triggered, this,
                [procedure, handler] { trapped(procedure, handler); });
    };

    QMenu* file = addMenu(nullptr, "mnuFile");
    QAction* fileNew = addItem(file, "mnuFileNew");
    fileNew->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    on(fileNew, "mnuFileNew_Click", [this] { this->fileNew(); });
    QAction* fileOpen = addItem(file, "mnuFileOpen");
    fileOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    on(fileOpen, "mnuFileOpen_Click", [this] { this->fileOpen(); });
    on(addItem(file, "mnuFileSave"), "mnuFileSave_Click", [this] { fileSave(); });
    on(addItem(file, "mnuFileSaveAs"), "mnuFileSaveAs_Click", [this] { fileSaveAs(); });
    on(addItem(file, "mnuFileExportCsv"), "mnuFileExportCsv_Click", [this] { exportChannels(); });
    on(addItem(file, "mnuFileImportCsv"), "mnuFileImportCsv_Click", [this] { importChannels(); });
    file->addSeparator();
    QAction* print = addItem(file, "mnuFilePrint");
    on(print, "mnuFilePrint_Click", [this] { showPrintList(); });
    file->addSeparator();
    on(addItem(file, "mnuFileExit"), "mnuFileExit_Click", [this] { close(); });

    QMenu* model = addMenu(nullptr, "mnuModel");
    on(addItem(model, "mnuModelInfo"), "mnuModelInfo_Click", [this] { showModelWindow(); });
    model->menuAction()->setVisible(false); // not available

    QMenu* edit = addMenu(nullptr, "mnuEdit");
    on(addItem(edit, "mnuChannelInfo"), "mnuChannelInfo_Click",
       [this] { showChildWindow(QStringLiteral("frmCommChInfo")); });
    on(addItem(edit, "mnuOptFeature"), "mnuOptFeature_Click",
       [this] { showChildWindow(QStringLiteral("FrmOptFeatures")); });
    // Editors of values the radio sessions do not carry: never offered.
    for (const char* hidden :
         {"mnuKeyAssignm", "mnuScanInfo", "mnuDTMF", "mnuFleetSync", "mnuTestFre"})
        addItem(edit, hidden)->setVisible(false);
    on(addItem(edit, "mnuEmbeddedMsg"), "mnuEmbeddedMsg_Click",
       [this] { showChildWindow(QStringLiteral("FrmEmbMsg")); });
    on(addItem(edit, "mnuEMG"), "mnuEMG_Click", [this] {
        preparePort();
        m_commands.readEmbeddedInfo();
    });

    QMenu* program = addMenu(nullptr, "mnuProgram");
    on(addItem(program, "mnuReadFromRadio"), "mnuReadFromRadio_Click", [this] {
        preparePort();
        m_commands.readFromRadio();
    });
    on(addItem(program, "mnuWriteToRadio"), "mnuWriteToRadio_Click", [this] {
        preparePort();
        m_commands.writeToRadio();
    });
    // Test mode stays hidden from users; it works when the item is shown.
    QAction* test = addItem(program, "mnuTest");
    test->setVisible(false);
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
    tools->menuAction()->setVisible(false);

    QMenu* set = addMenu(nullptr, "mnuSet");
    on(addItem(set, "mnuComm"), "mnuComm_Click", [this] { showPortWindow(); });
    on(addItem(set, "mnuLanguage"), "mnuLanguage_Click", [this] { showLanguageWindow(); });
    on(addItem(set, "MnuInitial"), "MnuInitial_Click", [this] { initialSetting(); });

    QMenu* view = addMenu(nullptr, "mnuView");
    QAction* tree = addItem(view, "mnuTreeView");
    tree->setCheckable(true);
    tree->setChecked(true);
    connect(tree, &QAction::toggled, this, [this](bool on) { setTreePaneVisible(on); });
    QAction* toolbar = addItem(view, "mnuViewToolbar");
    toolbar->setCheckable(true);
    toolbar->setChecked(true);
    connect(toolbar, &QAction::toggled, this, [this](bool on) { tbToolBar->setVisible(on); });
    QAction* status = addItem(view, "mnuViewStatusBar");
    status->setCheckable(true);
    status->setChecked(true);
    connect(status, &QAction::toggled, this, [this](bool on) { statusBar()->setVisible(on); });

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
    on(addItem(m_windowMenu, "mnuCloseAll"), "mnuCloseAll_Click",
       [this] { closeAllChildWindows(); });
    m_windowMenu->addSeparator();
    connect(m_windowMenu, &QMenu::aboutToShow, this, &MainWindow::fillWindowMenu);

    QMenu* help = addMenu(nullptr, "mnuHelp");
    addItem(help, "mnuHelpTopic")->setVisible(false); // no help exists
    on(addItem(help, "mnuHelpBackupFolder"), "mnuHelpBackupFolder_Click",
       [this] { openBackupFolder(*m_ctx.product); });
    on(addItem(help, "mnuHelpAbout"), "mnuHelpAbout_Click", [this] { showAbout(); });
}

void MainWindow::buildToolbar() {
    tbToolBar = addToolBar(QString());
    tbToolBar->setObjectName(QStringLiteral("tbToolBar"));
    tbToolBar->setMovable(false);
    tbToolBar->setIconSize(QSize(24, 24));
    tbToolBar->toggleViewAction()->setEnabled(false);
    QStyle* st = style();
    const auto button = [this](const QString& key, const QIcon& icon, const char* procedure,
                               auto&& handler) {
        QAction* a = tbToolBar->addAction(icon, key);
        a->setObjectName(key);
        m_buttons.insert(key, a);
        connect(a, &QAction::triggered, this,
                [procedure, handler] { trapped(procedure, handler); });
    };
    button(QString::fromUtf8("新建"), st->standardIcon(QStyle::SP_FileIcon), "tbToolBar_New",
           [this] { LoadNewDoc(); });
    button(QString::fromUtf8("打开"), st->standardIcon(QStyle::SP_DialogOpenButton),
           "tbToolBar_Open", [this] { fileOpen(); });
    button(QString::fromUtf8("保存"), st->standardIcon(QStyle::SP_DialogSaveButton),
           "tbToolBar_Save", [this] { fileSave(); });
    tbToolBar->addSeparator();
    button(QString::fromUtf8("打印"), drawnIcon(QString::fromUtf8("打印")), "tbToolBar_Print",
           [this] { showPrintList(); });
    tbToolBar->addSeparator();
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
    tbToolBar->addSeparator();
    button(QStringLiteral("About"), st->standardIcon(QStyle::SP_MessageBoxInformation),
           "tbToolBar_About", [this] { showAbout(); });
}

void MainWindow::buildTreePane() {
    m_treePane = new QWidget;
    m_treePane->setObjectName(QStringLiteral("picTreeView"));
    m_treePane->setFixedWidth(twipsToPixelsX(2800));

    Label1 = new QLabel(m_ctx.product->productName);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setIndent(4);
    Toolbar1 = new QToolBar;
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setIconSize(QSize(12, 12));
    QAction* hide = Toolbar1->addAction(style()->standardIcon(QStyle::SP_TitleBarCloseButton),
                                        QString::fromUtf8("删除"));
    hide->setObjectName(QString::fromUtf8("删除"));
    connect(hide, &QAction::triggered, this,
            [this] { m_actions.value(QStringLiteral("mnuTreeView"))->setChecked(false); });

    auto* head = new QHBoxLayout;
    head->setContentsMargins(0, 0, 0, 0);
    head->addWidget(Label1, 1);
    head->addWidget(Toolbar1);

    TreeView1 = new QTreeWidget;
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setHeaderHidden(true);
    TreeView1->setColumnCount(1);
    connect(TreeView1, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { onTreeNode(item); });
    connect(TreeView1, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { onTreeNode(item); });

    auto* column = new QVBoxLayout(m_treePane);
    column->setContentsMargins(2, 2, 0, 2);
    column->setSpacing(2);
    column->addLayout(head);
    column->addWidget(TreeView1, 1);

    CommandMove = new SplitterButton;
    CommandMove->setObjectName(QStringLiteral("CommandMove"));
    CommandMove->setFocusPolicy(Qt::NoFocus);
    CommandMove->setCursor(Qt::SizeHorCursor);
    CommandMove->setFixedWidth(5);
    CommandMove->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    CommandMove->setFlat(true);
    connect(CommandMove, &SplitterButton::dragged, this, &MainWindow::onSplitterDragged);
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

void MainWindow::applyPlacement() {
    const WindowPlacement w = loadPlacement(*m_ctx.product);
    const WindowPlacement fallback;
    // A stored size too small to use gives the default size.
    const int width = w.width >= 1500 ? w.width : fallback.width;
    const int height = w.height >= 1500 ? w.height : fallback.height;
    resize(twipsToPixelsX(width), twipsToPixelsY(height));
    move(twipsToPixelsX(w.left), twipsToPixelsY(w.top));
}

void MainWindow::storePlacement() {
    if (isMinimized()) return;
    // A maximized window keeps the placement it returns to.
    const QRect g = isMaximized() ? normalGeometry() : QRect(pos(), size());
    savePlacement(*m_ctx.product, {pixelsToTwipsX(g.x()), pixelsToTwipsY(g.y()),
                                   pixelsToTwipsX(g.width()), pixelsToTwipsY(g.height())});
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

QString MainWindow::dataFileFilter() const {
    return m_filter;
}

void MainWindow::setStatusTexts() {
    m_panel[1]->setText(m_doc.currentModel + QLatin1Char('[') + m_doc.currentBand +
                        QLatin1Char(']'));
    m_panel[2]->setText(generalText(GeneralText::PortLabel) + QString::number(m_ctx.comPort));
}

void MainWindow::setMenuCaptions() {
    for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it) {
        QString caption = menuCaption(it.key());
        if (it.key() == QLatin1String("mnuHelpAbout")) caption = caption.arg(m_ctx.product->productName);
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
    m_filter = messageText(Msg::DataFile) + QLatin1String(" (*.dat)");
}

void MainWindow::Change_Language() {
    setTitle();
    setStatusTexts();
    setMenuCaptions();
    LoadBKPic();
    buildTree();
}

void MainWindow::buildTree() {
    TreeView1->clear();
    auto* root = new QTreeWidgetItem(TreeView1, QStringList(Label1->text()));
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
}

void MainWindow::onTreeNode(QTreeWidgetItem* item) {
    if (!item) return;
    const QString key = item->data(0, Qt::UserRole).toString();
    trapped("TreeView1_NodeClick", [&] {
        if (key == QLatin1String("N1"))
            showChildWindow(QStringLiteral("frmCommChInfo"));
        else if (key == QLatin1String("N2"))
            showChildWindow(QStringLiteral("FrmOptFeatures"));
        else if (key == QLatin1String("N8"))
            showChildWindow(QStringLiteral("FrmEmbMsg"));
        else if (key == QLatin1String("N9"))
            m_actions.value(QStringLiteral("mnuEMG"))->trigger();
    });
}

void MainWindow::LoadBKPic() {
    if (!m_ctx.product->hasBackgroundPicture) return;
    const QString path =
        QDir(m_ctx.programFolder).filePath(QStringLiteral("PIC/BK_%1.jpg").arg(currentLanguage()));
    const QPixmap picture(path);
    const QSize area = m_mdi->viewport()->size();
    if (picture.width() < 3 || picture.height() < 3 || area.isEmpty()) {
        m_mdi->setBackground(palette().brush(QPalette::Dark));
        return;
    }
    // The picture without its one-pixel border, repeated across the first row, and that row
    // repeated down the area.
    const int w = picture.width() - 2;
    const int h = picture.height() - 2;
    QPixmap canvas(area);
    canvas.fill(Qt::white);
    {
        QPainter p(&canvas);
        for (int x = 0; x < area.width(); x += w)
            p.drawPixmap(x, 0, picture, 1, 0, w, h + 2);
        const QPixmap band = canvas.copy(1, 1, area.width(), h);
        for (int y = h; y < area.height(); y += h)
            p.drawPixmap(0, y, band);
    }
    m_mdi->setBackground(QBrush(canvas));
}

// Child windows ----------------------------------------------------------------------------

QWidget* MainWindow::findChildWindow(const QString& name) const {
    const auto windows = m_mdi->subWindowList();
    for (QMdiSubWindow* s : windows) {
        if (s->isHidden()) continue; // closed, on its way out
        if (s->widget() && s->widget()->objectName() == name) return s->widget();
    }
    return nullptr;
}

QWidget* MainWindow::showChildWindow(const QString& name) {
    if (QWidget* open = findChildWindow(name)) {
        auto* s = qobject_cast<QMdiSubWindow*>(open->parentWidget());
        if (s) {
            if (s->isMinimized()) s->showNormal();
            m_mdi->setActiveSubWindow(s);
            s->raise();
        }
        return open;
    }
    // Windows the user closed go now: a hidden window would still follow the configuration.
    const auto windows = m_mdi->subWindowList();
    for (QMdiSubWindow* s : windows)
        if (s->isHidden()) delete s;
    QWidget* w = nullptr;
    if (name == QLatin1String("frmCommChInfo"))
        w = new ChannelGridWindow(m_doc);
    else if (name == QLatin1String("FrmOptFeatures"))
        w = new OptionFeaturesWindow(m_doc);
    else if (name == QLatin1String("FrmEmbMsg"))
        w = new MessageLinesWindow(m_doc);
    if (!w) return nullptr;
    QMdiSubWindow* s = m_mdi->addSubWindow(w);
    s->setAttribute(Qt::WA_DeleteOnClose);
    s->setWindowIcon(QIcon(QPixmap(1, 1)));
    s->show();
    m_mdi->cascadeSubWindows();
    return w;
}

void MainWindow::closeAllChildWindows() {
    // Closed and destroyed at once: no window waiting to be deleted follows the configuration.
    const auto windows = m_mdi->subWindowList();
    for (QMdiSubWindow* s : windows) {
        s->close();
        delete s;
    }
}

void MainWindow::fillWindowMenu() {
    qDeleteAll(m_windowListActions);
    m_windowListActions.clear();
    const auto windows = m_mdi->subWindowList();
    int n = 0;
    for (QMdiSubWindow* s : windows) {
        if (s->isHidden()) continue;
        ++n;
        QAction* a = m_windowMenu->addAction(QStringLiteral("&%1 %2").arg(n).arg(s->windowTitle()));
        a->setCheckable(true);
        a->setChecked(s == m_mdi->activeSubWindow());
        connect(a, &QAction::triggered, this, [this, s] { m_mdi->setActiveSubWindow(s); });
        m_windowListActions << a;
    }
}

void MainWindow::validateOpenEditors() {
    const auto windows = m_mdi->subWindowList();
    for (QMdiSubWindow* s : windows) {
        QWidget* w = s->widget();
        if (auto* grid = qobject_cast<ChannelGridWindow*>(w))
            grid->validateEdits();
        else if (auto* options = qobject_cast<OptionFeaturesWindow*>(w))
            options->validateEdits();
        else if (auto* message = qobject_cast<MessageLinesWindow*>(w))
            message->validateEdits();
    }
}

void MainWindow::afterRead() {
    setTitle();
    setStatusTexts();
    setMenuCaptions();
    showChildWindow(QStringLiteral("frmCommChInfo"));
    m_mdi->cascadeSubWindows();
}

// Tree pane and splitter -------------------------------------------------------------------

void MainWindow::setTreePaneVisible(bool visible) {
    m_treePane->setVisible(visible);
    CommandMove->setVisible(visible);
}

void MainWindow::onSplitterDragged(int dx) {
    const int width = m_treePane->width() + dx;
    const int inner = centralWidget() ? centralWidget()->width() : this->width();
    if (width < twipsToPixelsX(300) || width > inner) return;
    m_treePane->setFixedWidth(width);
}

// Commands ---------------------------------------------------------------------------------

void MainWindow::loadProgramFile(const QString& name) {
    // A missing or unreadable file leaves the configuration as it is.
    if (!loadDataFile(m_doc, QDir(m_ctx.programFolder).filePath(name))) m_doc.takeSnapshot();
}

void MainWindow::LoadNewDoc() {
    closeAllChildWindows();
    loadProgramFile(QStringLiteral("KORVEN_New.dat"));
    setTitle();
    setStatusTexts();
    setMenuCaptions();
    showChildWindow(QStringLiteral("frmCommChInfo"));
    setTitle();
    m_mdi->cascadeSubWindows();
}

void MainWindow::fileNew() {
    if (showMessage(Msg::NewConfirm, MsgIcon::Warning, MsgButtons::OkCancel) == MsgAnswer::Ok)
        LoadNewDoc();
}

void MainWindow::initialSetting() {
    closeAllChildWindows();
    loadProgramFile(QStringLiteral("KORVEN.dat"));
    setTitle();
    setStatusTexts();
    showChildWindow(QStringLiteral("frmCommChInfo"));
    m_mdi->cascadeSubWindows();
}

// Saves under the current name. A failed save leaves the configuration counted as modified,
// so the save question comes again before anything replaces it.
bool MainWindow::saveWithRollback() {
    const RadioConfig previous = m_doc.snapshot;
    if (saveDataFile(m_doc)) {
        setTitle();
        return true;
    }
    m_doc.snapshot = previous;
    return false;
}

// The save question before the configuration is replaced or the program ends. True when the
// caller may go on.
bool MainWindow::saveBeforeLeaving() {
    // A value still being typed in an editor counts as a change.
    validateOpenEditors();
    if (!m_doc.isModified()) return true;
    switch (showMessage(Msg::SaveChanges, MsgIcon::Warning, MsgButtons::YesNoCancel)) {
    case MsgAnswer::Yes:
        return m_doc.untitled ? fileSaveAs() : saveWithRollback();
    case MsgAnswer::No:
        return true;
    default:
        return false;
    }
}

void MainWindow::fileOpen() {
    if (!saveBeforeLeaving()) return;
    const QString start =
        m_doc.untitled ? QDir::currentPath() : QFileInfo(m_doc.fileName).absolutePath();
    const QString path = fileDialogs().openFileName(this, start, dataFileFilter());
    if (path.isEmpty()) return;
    if (openDataFile(m_doc, path) != OpenResult::Opened) return;
    closeAllChildWindows();
    showChildWindow(QStringLiteral("frmCommChInfo"));
    setTitle();
    setStatusTexts();
    setMenuCaptions();
    m_mdi->cascadeSubWindows();
}

bool MainWindow::fileSave() {
    // A value still being typed is part of what the user saves: the toolbar button and the
    // menu take no focus from the editor, so nothing else would commit it.
    validateOpenEditors();
    if (m_doc.untitled) return fileSaveAs();
    const QString question = QLatin1Char('"') + QFileInfo(m_doc.fileName).fileName() +
                             QLatin1Char('"') + messageText(Msg::Overwrite);
    MessageRequest r{question,      {}, programTitle(), MsgIcon::Question, MsgButtons::OkCancel,
                     Msg::Overwrite};
    if (messageService().ask(r) != MsgAnswer::Ok) return false;
    return saveWithRollback();
}

bool MainWindow::fileSaveAs() {
    validateOpenEditors();
    const QString path = fileDialogs().saveFileName(this, m_doc.fileName, dataFileFilter());
    if (path.isEmpty()) return false;
    const QString previous = m_doc.fileName;
    m_doc.fileName = path;
    if (saveWithRollback()) return true;
    m_doc.fileName = previous;
    return false;
}

// Channel lists -----------------------------------------------------------------------------

namespace {
QString channelListFilter() { return tr2("Channel List (*.csv)", "信道列表 (*.csv)"); }
} // namespace

void MainWindow::exportChannels() {
    validateOpenEditors();
    const QFileInfo current(m_doc.fileName);
    const QString start = (m_doc.untitled ? QDir::current() : current.absoluteDir())
                              .filePath(current.completeBaseName() + QStringLiteral(".csv"));
    const QString path = fileDialogs().saveFileName(this, start, channelListFilter());
    if (path.isEmpty()) return;
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(exportChannelsCsv(m_doc)) < 0 || !f.commit()) {
        showMessage(Msg::FileError, MsgIcon::Critical, MsgButtons::Ok,
                    QDir::toNativeSeparators(path) + QStringLiteral(": ") + f.errorString());
        return;
    }
}

void MainWindow::importChannels() {
    validateOpenEditors();
    const QString start =
        m_doc.untitled ? QDir::currentPath() : QFileInfo(m_doc.fileName).absolutePath();
    const QString path = fileDialogs().openFileName(this, start, channelListFilter());
    if (path.isEmpty()) return;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        showMessage(Msg::FileError, MsgIcon::Critical, MsgButtons::Ok,
                    QDir::toNativeSeparators(path) + QStringLiteral(": ") + f.errorString());
        return;
    }
    const QByteArray data = f.readAll();
    int group = -1;
    // Another tool's list has no groups: the user says which group it fills.
    if (channelCsvKind(parseCsv(data)) == ChannelCsvKind::OtherTool) {
        QStringList groups;
        for (int g = 0; g < GroupCount; ++g) groups << groupLetter(g);
        group = fileDialogs().chooseItem(
            this, programTitle(),
            tr2("The channels of this list replace those of group:", "此列表的信道将替换以下组的信道："),
            groups, std::clamp<int>(m_doc.config.currentGroup, 0, GroupCount - 1));
        if (group < 0) return;
    }
    const ChannelImportResult r = importChannelsCsv(m_doc, data, group);
    if (!r.ok) {
        // Every bad line is named; a very long list is cut so that the box fits the screen.
        constexpr qsizetype Shown = 25;
        QStringList lines = r.problems.mid(0, Shown);
        if (r.problems.size() > Shown)
            lines << tr2("... and %1 more.", "……另有 %1 处。").arg(r.problems.size() - Shown);
        showMessage(tr2("No channels were imported; the configuration is unchanged.",
                        "未导入任何信道；配置未改变。"),
                    MsgIcon::Warning, MsgButtons::Ok, lines.join(QLatin1Char('\n')));
        return;
    }
    closeAllChildWindows();
    showChildWindow(QStringLiteral("frmCommChInfo"));
    m_mdi->cascadeSubWindows();
    setTitle();
    QStringList groups;
    for (int g : r.groups) groups << groupLetter(g);
    showMessage(tr2("%1 channels imported into group %2.", "已导入 %1 个信道到组 %2。")
                    .arg(r.channelCount)
                    .arg(groups.join(QLatin1String(", "))),
                MsgIcon::Information);
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
        m_doc, [this] { LoadNewDoc(); }, this);
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
    Change_Language();
    closeAllChildWindows();
    showChildWindow(QStringLiteral("frmCommChInfo"));
    m_mdi->cascadeSubWindows();
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
    // The background follows the size of the child window area. The session's timers are
    // left alone: a running exchange keeps its time-out.
    if (watched == m_mdi->viewport() && event->type() == QEvent::Resize)
        trapped("MDIForm_Resize", [this] { LoadBKPic(); });
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    bool leave = true;
    trapped("MDIForm_QueryUnload", [&] { leave = saveBeforeLeaving(); });
    if (!leave) {
        event->ignore();
        return;
    }
    if (m_session.busy()) m_session.cancel();
    trapped("MDIForm_Unload", [this] { storePlacement(); });
    closeAllChildWindows();
    event->accept();
}
