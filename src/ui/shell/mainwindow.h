#pragma once

#include "core/comm/seriallink.h"
#include "core/comm/session.h"
#include "core/comm/testmode.h"
#include "ui/radio/testmodewindow.h"
#include "ui/radio/radiocommands.h"
#include "core/config/document.h"
#include "core/config/settingsfile.h"

#include <QHash>
#include <QMainWindow>
#include <QPushButton>

class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;

// What the shell knows about the run: the product, its files and the settings read at
// start-up.
struct AppContext {
    const Product* product = nullptr;
    QString settingsFile;  // language/mysetup.ini
    QString programFolder; // pictures, template and factory files
    int systemLanguage = LanguageEnglish;
    int comPort = 1;
};

// The thin button at the right edge of the tree pane: dragging it sizes the pane.
class SplitterButton : public QPushButton {
    Q_OBJECT
  public:
    using QPushButton::QPushButton;

  signals:
    void dragged(int dxPixels);

  protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

  private:
    bool m_dragging = false;
    int m_lastX = 0;
};

// The main window: an MDI frame with the menus, the toolbar, the tree pane, the status bar and
// the tiled background. It owns the one configuration and the radio link, dispatches the
// menu commands and runs the file commands.
class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    explicit MainWindow(const AppContext& context, QWidget* parent = nullptr);
    ~MainWindow() override;

    Document& document() { return m_doc; }
    RadioSession& session() { return m_session; }
    RadioCommands& radioCommands() { return m_commands; }
    QMdiArea* mdiArea() const { return m_mdi; }
    int comPort() const { return m_ctx.comPort; }
    int displayedLanguage() const { return m_displayedLanguage; }

    // Texts of the window in the current language: title, status bar, menu captions, tool
    // tips, dialog filter, background; then the tree.
    void Change_Language();
    // Loads the template file over the configuration and shows the channel grid.
    void LoadNewDoc();
    // Tiles the background picture of the current language over the child window area.
    void LoadBKPic();
    void setTitle();
    QString titleText() const;
    QString dataFileFilter() const;
    // Channel lists as CSV files (File menu).
    void exportChannels();
    void importChannels();

    // Brings the child window with this name to the front, or opens it and cascades.
    QWidget* showChildWindow(const QString& name);
    void closeAllChildWindows();
    QWidget* findChildWindow(const QString& name) const;

    // Menu commands.
    void fileNew();
    void fileOpen();
    bool fileSave();
    bool fileSaveAs();
    void initialSetting();
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
    void buildMenus();
    void buildToolbar();
    void buildTreePane();
    void buildStatusBar();
    void applyPlacement();
    void storePlacement();
    void setMenuCaptions();
    void setStatusTexts();
    void buildTree();
    void onTreeNode(QTreeWidgetItem* item);
    void onSplitterDragged(int dx);
    void setTreePaneVisible(bool visible);
    void fillWindowMenu();
    void loadProgramFile(const QString& name);
    bool saveWithRollback();
    bool saveBeforeLeaving();
    void preparePort();
    void validateOpenEditors();
    void afterRead();

    QAction* addItem(QMenu* menu, const char* name);
    QMenu* addMenu(QMenu* parent, const char* name);

    AppContext m_ctx;
    SetupSettings m_settings;
    Document m_doc;
    PortLink m_link;
    RadioSession m_session;
    RadioCommands m_commands;
    TestModeEngine m_testMode;
    TestModeWindows m_testWindows;
    int m_displayedLanguage;

    QMdiArea* m_mdi = nullptr;
    QWidget* m_treePane = nullptr;
    QTreeWidget* TreeView1 = nullptr;
    QToolBar* Toolbar1 = nullptr;
    QLabel* Label1 = nullptr;
    SplitterButton* CommandMove = nullptr;
    QToolBar* tbToolBar = nullptr;
    QLabel* m_panel[3] = {nullptr, nullptr, nullptr};
    QHash<QString, QAction*> m_actions; // menu items and menus by name
    QHash<QString, QAction*> m_buttons; // toolbar buttons by key
    QMenu* m_windowMenu = nullptr;
    QList<QAction*> m_windowListActions;
    QString m_filter;
};
