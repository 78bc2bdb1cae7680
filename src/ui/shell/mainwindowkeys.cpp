// The main window without a mouse: keys that move between the tree pane and the child windows,
// close and switch child windows and open the menu bar, and the names a screen reader reads
// for the window's panes, bars and buttons.

#include "mainwindow.h"
#include "splitterbutton.h"
#include "ui/common/texttables.h"
#include "ui/common/uicommon.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeWidget>

void MainWindow::buildWindowKeys() {
    const struct {
        const char* name;
        QList<QKeySequence> keys;
        void (MainWindow::*run)();
    } keys[] = {
        {"actSwitchPane",
         {QKeySequence(Qt::Key_F6), QKeySequence(Qt::SHIFT | Qt::Key_F6)},
         &MainWindow::switchPane},
        {"actCloseWindow",
         {QKeySequence(Qt::CTRL | Qt::Key_F4), QKeySequence(Qt::CTRL | Qt::Key_W)},
         &MainWindow::closeActiveChildWindow},
        {"actMenuBar", {QKeySequence(Qt::Key_F10)}, &MainWindow::openMenuBar},
    };
    for (const auto& k : keys) {
        auto* a = new QAction(this);
        a->setObjectName(QLatin1String(k.name));
        a->setShortcuts(k.keys);
        a->setShortcutContext(Qt::WindowShortcut);
        connect(a, &QAction::triggered, this, k.run);
        addAction(a);
    }
    for (const bool next : {true, false}) {
        auto* a = new QAction(this);
        a->setObjectName(next ? QStringLiteral("actNextWindow")
                              : QStringLiteral("actPreviousWindow"));
        a->setShortcut(next ? QKeySequence(Qt::CTRL | Qt::Key_F6)
                            : QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F6));
        a->setShortcutContext(Qt::WindowShortcut);
        connect(a, &QAction::triggered, this, [this, next] { activateChildWindow(next); });
        addAction(a);
    }
}

// F6 and Shift+F6: from the tree pane to the child window in front and back. With the pane
// hidden, or no child window open, the focus goes where there is something to reach.
void MainWindow::switchPane() {
    const QWidget* f = QApplication::focusWidget();
    const bool inTree = f && (f == m_treePane || m_treePane->isAncestorOf(f));
    QMdiSubWindow* front = m_mdi->activeSubWindow();
    if (!front && !m_mdi->subWindowList().isEmpty()) front = m_mdi->subWindowList().constLast();
    if ((inTree || !m_treePane->isVisible()) && focusChildWindow(front)) return;
    if (m_treePane->isVisible()) m_tree->setFocus(Qt::ShortcutFocusReason);
}

// The focus goes back to where it was in the child window, or to its first control.
bool MainWindow::focusChildWindow(QMdiSubWindow* window) {
    if (!window || window->isHidden() || !window->widget()) return false;
    m_mdi->setActiveSubWindow(window);
    QWidget* content = window->widget();
    QWidget* target = content->focusWidget();
    const auto usable = [content](const QWidget* w) {
        return w && content->isAncestorOf(w) && w->isVisible() && w->isEnabled() &&
               (w->focusPolicy() & Qt::TabFocus);
    };
    if (!usable(target)) {
        target = content->nextInFocusChain();
        while (target != content && !usable(target))
            target = target->nextInFocusChain();
    }
    if (target == content || !target) return false;
    target->setFocus(Qt::ShortcutFocusReason);
    return true;
}

// Ctrl+F4 and Ctrl+W: the child window in front closes (its editor stored as when its Close
// button is pressed); the focus goes to the window now in front, else to the tree pane.
void MainWindow::closeActiveChildWindow() {
    QMdiSubWindow* front = m_mdi->activeSubWindow();
    if (!front) return;
    front->close();
    QMdiSubWindow* next = m_mdi->activeSubWindow();
    if (next == front || !next) {
        next = nullptr;
        const auto open = m_mdi->subWindowList(QMdiArea::ActivationHistoryOrder);
        for (auto it = open.crbegin(); it != open.crend() && !next; ++it)
            if (*it != front && !(*it)->isHidden()) next = *it;
    }
    if (!focusChildWindow(next) && m_treePane->isVisible())
        m_tree->setFocus(Qt::ShortcutFocusReason);
}

// Ctrl+F6 and Ctrl+Shift+F6: the next (previous) child window comes to the front, with the
// focus in it.
void MainWindow::activateChildWindow(bool next) {
    if (next)
        m_mdi->activateNextSubWindow();
    else
        m_mdi->activatePreviousSubWindow();
    focusChildWindow(m_mdi->activeSubWindow());
}

// F10: the first menu of the menu bar opens; the arrow keys go on from there, Esc leaves.
void MainWindow::openMenuBar() {
    const auto menus = menuBar()->actions();
    for (QAction* a : menus)
        if (a->isVisible() && a->isEnabled()) {
            menuBar()->setActiveAction(a);
            return;
        }
}

void MainWindow::setAccessibleNames() {
    const QString treeView = withoutAccessKey(menuCaption(QStringLiteral("mnuTreeView")));
    m_treePane->setAccessibleName(treeView);
    m_tree->setAccessibleName(treeView);
    m_treeBar->setAccessibleName(treeView);
    QAction* hide = m_treeBar->actions().value(0);
    if (hide) {
        hide->setText(tr2("Close Tree View", "关闭树视图"));
        hide->setToolTip(hide->text());
    }
    m_splitter->setAccessibleName(tr2("Tree View width", "树视图宽度"));
    m_toolBar->setAccessibleName(withoutAccessKey(menuCaption(QStringLiteral("mnuViewToolbar"))));
    statusBar()->setAccessibleName(
        withoutAccessKey(menuCaption(QStringLiteral("mnuViewStatusBar"))));
    menuBar()->setAccessibleName(tr2("Menu bar", "菜单栏"));
    m_mdi->setAccessibleName(tr2("Windows", "窗口"));
    // A toolbar button is named by its caption; its key stays its object name.
    for (const auto& [button, item] : std::as_const(m_toolTips))
        button->setText(withoutAccessKey(item->text()));
    // Menus are read by the caption of their item, without the access key marker.
    for (QAction* a : std::as_const(m_captioned))
        if (a->menu()) a->menu()->setWindowTitle(withoutAccessKey(a->text()));
}
