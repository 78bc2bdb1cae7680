#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <array>

class Document;
class QAction;
class QMdiArea;
class QMenu;
class QMdiSubWindow;
class QWidget;
struct Product;

// The editor windows the main window opens in its window area.
enum class ChildWindow {
    ChannelGrid,
    OptionFeatures,
    MessageLines,
    // The editors of values the radio sessions do not carry (shown in service mode).
    KeyAssignment,
    ScanInformation,
    Dtmf,
    FleetSync,
    TestFrequencies,
};
constexpr size_t ChildWindowKinds = size_t(ChildWindow::TestFrequencies) + 1;

// The main window's window area: which editor windows are open, bringing one to the front or
// opening it, closing them all, the Window menu's list, and the tiled background picture.
class ChildWindowArea : public QObject {
    Q_OBJECT
  public:
    ChildWindowArea(QMdiArea* area, Document& doc, QObject* parent = nullptr);

    QMdiArea* area() const { return m_area; }

    // The open (not closed) window of this kind, or nullptr.
    QWidget* find(ChildWindow kind) const;
    // Brings the window to the front, or opens it and cascades the windows.
    QWidget* show(ChildWindow kind);
    void closeAll();
    // At the end of the program: every window is destroyed without being asked to close.
    void destroyAll();
    // After the configuration was replaced: every window closes and the channel grid opens.
    void reopenChannelGrid();
    // Cascades the windows, each kept inside the area where its content allows.
    void cascade();
    // Shortens a window larger than the area to it (not below what its content needs) and
    // moves it back inside where it can; what still does not fit is reached by scrolling.
    void fitIntoArea(QMdiSubWindow* window) const;
    // Stores a value still being typed in any open editor, as leaving the editor would.
    void validateOpenEditors();

    // The list of open windows below the fixed items of the Window menu.
    void fillWindowMenu(QMenu* menu);
    // Tiles the background picture of the current language (meridox) over the area.
    void tileBackground(const Product& product, const QString& programFolder);

    // The window object name of each kind, as the tree pane and tests know them.
    static QString objectNameOf(ChildWindow kind);

  private:
    QMdiArea* m_area;
    Document& m_doc;
    // The window last opened of each kind, while it exists.
    std::array<QPointer<QMdiSubWindow>, ChildWindowKinds> m_opened;
    QList<QAction*> m_windowListActions;
};
