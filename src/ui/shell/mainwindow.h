#pragma once

#include "childwindowarea.h"
#include "core/comm/seriallink.h"
#include "core/comm/session.h"
#include "core/comm/testmode.h"
#include "core/config/document.h"
#include "core/config/settingsfile.h"
#include "filecommands.h"
#include "ui/common/edithistory.h"
#include "ui/radio/radiocommands.h"
#include "ui/radio/testmodewindow.h"

#include <QList>
#include <QMainWindow>
#include <array>
#include <optional>

class QAction;
class QIcon;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;
class RecentFilesMenu;
class SplitterButton;

// Where the main window opens on the first start: the placed window grown to the size it needs
// (frame included) and moved inside the available area when needed; nothing when the area
// cannot hold it (the window is then maximised).
std::optional<QRect> firstStartGeometry(const QRect& placed, const QSize& needed,
                                        const QRect& available);

// What the shell knows about the run: the product, its files and the settings read at
// start-up.
struct AppContext {
    const Product* product = nullptr;
    QString settingsFile;  // language/mysetup.ini
    QString programFolder; // pictures, template and factory files
    int systemLanguage = LanguageEnglish;
    int comPort = 1;
    // Started with --service: the model window, the hidden editors, test mode and the radio
    // information tools are offered in the menus.
    bool serviceMode = false;
};

// The main window: the menus, the toolbar, the tree pane, the status bar and the window area.
// It owns the one configuration, the radio link and the controllers that act on them: the
// file commands, the radio commands and test mode; it dispatches the menu commands to them and
// keeps its own texts, language and placement.
class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    explicit MainWindow(const AppContext& context, QWidget* parent = nullptr);
    ~MainWindow() override;

    Document& document() { return m_doc; }
    RadioSession& session() { return m_session; }
    RadioCommands& radioCommands() { return m_commands; }
    FileCommands& files() { return m_files; }
    ChildWindowArea& windows() { return m_windows; }
    EditHistory& history() { return m_history; }
    QMdiArea* mdiArea() const { return m_mdi; }
    int comPort() const { return m_ctx.comPort; }
    int displayedLanguage() const { return m_displayedLanguage; }

    // Texts of the window in the current language: title, status bar, menu captions, tool
    // tips, background; then the tree.
    void retranslate();
    void setTitle();
    QString titleText() const;

    // Dialogs of the Setup, Model, File and Help menus.
    void showPortWindow();
    void showLanguageWindow();
    void showModelWindow();
    void showPrintList();
    void showAbout();
    // Redraws everything when the language index differs from the displayed language.
    void checkLanguageChange();

  protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The menus, the toolbar and their captions (mainwindowmenus.cpp).
    void buildMenus();
    void buildFileMenu();
    void buildEditMenus();  // Model and Edit
    void buildRadioMenus(); // Program and Tools
    void buildSetupMenus(); // Setup and View
    void buildWindowMenu();
    void buildHelpMenu();
    // A menu item's command, trapped under the item's name ("mnuFileNew_Click").
    template <class Handler> void on(QAction* item, Handler handler);
    void buildToolbar();
    QAction* addToolButton(const QString& name, const QIcon& icon, QAction* menuItem);
    void buildTreePane();
    void buildStatusBar();
    // True when a usable size was stored.
    bool applyPlacement();
    void fitFirstWindow();
    // Shrinks the channel grid window into the child window area.
    void fitGridToArea();
    void highlightTreeNode();
    void storePlacement();
    void setMenuCaptions();
    void setStatusTexts();
    void buildTree();
    void onTreeNode(QTreeWidgetItem* item);
    void onSplitterDragged(int dx);
    void setTreePaneVisible(bool visible);
    // Keys that reach every place of the window without a mouse (mainwindowkeys.cpp).
    void buildWindowKeys();
    void switchPane();
    bool focusChildWindow(QMdiSubWindow* window);
    void closeActiveChildWindow();
    void activateChildWindow(bool next);
    void openMenuBar();
    // Names a screen reader gives the panes, bars and buttons, in the current language.
    void setAccessibleNames();
    void preparePort();
    void readFromRadio();
    void writeToRadio();
    void afterRead();
    void buildUndoItems(QMenu* edit);
    void buildChannelGridItems(QMenu* edit);
    void updateUndoItems();
    bool undoKeyForHistory(QObject* watched, QEvent* event) const;
    // Title, status bar and captions, after the file or the configuration changed.
    void showFileTexts();

    QAction* addItem(QMenu* menu, const char* name);
    // A menu caption without its access key marker, as a tool tip shows it.
    static QString withoutAccessKey(QString caption);
    QMenu* addMenu(QMenu* parent, const char* name);

    AppContext m_ctx;
    SetupSettings m_settings;
    Document m_doc;
    EditHistory m_history;
    PortLink m_link;
    RadioSession m_session;
    RadioCommands m_commands;
    TestModeEngine m_testMode;
    TestModeWindows m_testWindows;
    int m_displayedLanguage;
    QMdiArea* m_mdi;
    ChildWindowArea m_windows;
    FileCommands m_files;
    RecentFilesMenu* m_recentFiles = nullptr; // File > Recent Files

    QWidget* m_treePane = nullptr;
    QTreeWidget* m_tree = nullptr;
    QToolBar* m_treeBar = nullptr; // the pane's close button
    QLabel* m_treeTitle = nullptr;
    SplitterButton* m_splitter = nullptr;
    // While the window opens (placed, maximised by the window system), the channel grid
    // window is kept inside the child window area; the user's first key or click ends it.
    bool m_fitGridToArea = true;
    QToolBar* m_toolBar = nullptr;
    QAction* m_undo = nullptr;
    QAction* m_redo = nullptr;
    QLabel* m_panel[3] = {nullptr, nullptr, nullptr};
    // Menus and menu items whose captions the text table gives by their names.
    QList<QAction*> m_captioned;
    // The menu items other parts of the window act on.
    struct MenuItems {
        QAction* fileNew = nullptr;
        QAction* fileOpen = nullptr;
        QAction* fileSave = nullptr;
        QAction* filePrint = nullptr;
        QAction* readFromRadio = nullptr;
        QAction* writeToRadio = nullptr;
        QAction* verifyAfterWrite = nullptr;
        QAction* showChangesBeforeWriting = nullptr;
        QAction* embeddedInformation = nullptr; // mnuEMG: the radio's factory information
        QAction* port = nullptr;
        QAction* treeView = nullptr;
        QAction* about = nullptr;
    } m_items;
    // Toolbar buttons and the menu items whose captions are their tool tips.
    QList<std::pair<QAction*, QAction*>> m_toolTips;
    // The tree's nodes below its root, in order: channel information, option features, local
    // information (the message lines), embedded message (the factory information read).
    std::array<QTreeWidgetItem*, 4> m_treeNodes{};
    QMenu* m_windowMenu = nullptr;
};
