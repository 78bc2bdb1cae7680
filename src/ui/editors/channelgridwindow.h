#pragma once

#include "core/config/document.h"

#include "channelgrid.h"

#include <QWidget>
#include <array>

class QComboBox;
class QHBoxLayout;
class QKeyEvent;
class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;
class QTimer;

// Channel information: one channel group of the configuration, one row per channel number,
// edited cell by cell with an editor placed over the cell. The window keeps no channel data:
// every change goes through updateChannelCell and the row is drawn again from the table.
class ChannelGridWindow : public QWidget {
    Q_OBJECT
  public:
    explicit ChannelGridWindow(Document& doc, QWidget* parent = nullptr);
    ~ChannelGridWindow() override;

    // The designed size, which the window keeps when the main window arranges its children.
    QSize sizeHint() const override;

    // Commits a value still being edited (before a write); false when it was refused.
    bool validateEdits();

    // Draws every caption again in the current language, then the channels of the group.
    void retranslate();
    // Draws the channels of the configuration's current group, and its emergency channel.
    void showCurrentGroup();
    // Draws one channel row again from the table (empty when the group has no such channel).
    void showChannelRow(int channelNo);

    // Channel numbers of the selected rows, ascending; empty when none is selected.
    QList<int> selectedRows() const { return m_selectedRows; }
    // Selects whole rows (the channel numbers of the current group).
    void selectRows(const QList<int>& rows);
    // The clipboard on selected rows: copy them as text, paste rows from the selected row on,
    // delete their channels. Each change is one step of the user's editing.
    void copyRows();
    void pasteRows();
    void deleteRows();

    // Edits of many rows at once (channelgridbulk.cpp), each one step of the user's editing,
    // refused whole with a message when any channel would leave the band or run past 60.
    // Fill frequencies opens its dialog for the selected rows (or the current one).
    void fillFrequencies();
    void sortByFrequency();
    // The selected rows (or the current one) one up or down; the selection follows them.
    void moveRowsUp();
    void moveRowsDown();
    // Frees the channel number of the first selected row (or the current one).
    void insertChannel();
    // The find bar: a frequency or part of one; Enter shows the next channel holding it.
    void showFindBar();
    void findNext();

    // The cell whose editor was opened last; row 0 when none is.
    int editRow() const { return m_editRow; }
    int editColumn() const { return m_editColumn; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    // Building the window.
    void buildBulkEditing();
    void setBulkCaptions();
    QHBoxLayout* buildGroupRow();
    QLayout* buildEmergencyStrip();
    void buildCellEditors();
    void buildTimers();
    void connectSignals();
    void setUpGrid();

    // Captions and what the grid shows (channelgridwindow.cpp).
    void setCaptions();
    void showChannel(const ChannelEntry& entry);
    void fillEmergencyLists();
    void showEmergencyChoices();
    void refreshEmergencyLists();
    void groupChosen(int group);
    void emergencyChosen(int group);
    void updateTitle();
    void closeWindow();
    void showConfiguration();

    // Row selection (channelgridrows.cpp).
    void channelNumberPressed(int row, Qt::KeyboardModifiers modifiers);
    void clearRowSelection();
    bool rowKey(const QKeyEvent* key);

    // Edits of many rows (channelgridbulk.cpp).
    void cellPressed(int row);
    bool editsSelectedRows(int row) const;
    bool commitToSelectedRows(int column, const QString& value);
    QList<int> rowsToEdit();
    void moveRows(int delta);
    void refuseBulkEdit(const QStringList& problems);

    // The cell editors (channelgridediting.cpp).
    bool gridKeyPress(QObject* watched, const QKeyEvent* key, bool isText, bool isCombo);
    void enterCell();
    void editCurrentCell();
    void openEditor(bool takeFocus);
    void focusEditorLater(int column);
    void focusTimerFired();
    bool returnToEmptyRx();
    bool commitEditor();
    bool commitAndReopen();
    void moveToNextRow();
    void moveToNextColumn();
    void moveOnFromEditor();
    void moveToPreviousColumn();
    void moveTo(int row, int column);
    void moveToAdjacentRow(bool down);
    void describeEditor(QWidget* editor, int row, int column);
    bool frequencyEditorKey(const QKeyEvent* key);
    void gridScrolled();
    void followScroll();
    void hideEditors();
    void hideEditor(QWidget* editor);
    bool editorHasFocus() const;
    int topRow() const;

    Document& m_doc;
    QLabel* m_groupLabel = nullptr;
    QComboBox* m_groupList = nullptr;
    // The emergency channel of each group; only the current group's pair is visible.
    std::array<QLabel*, GroupCount> m_emergencyLabels{};
    std::array<QComboBox*, GroupCount> m_emergencyLists{};
    ChannelGrid* m_grid = nullptr;
    QLineEdit* m_frequencyEditor = nullptr;    // over the RX and TX cells
    std::array<QComboBox*, 8> m_listEditors{}; // over the seven flag cells and the scan cell
    QLabel* m_editorCaption = nullptr; // never shown: what a screen reader reads for the editor
    QPushButton* m_close = nullptr;
    QTimer* m_focusTimer = nullptr;
    QTimer* m_scrollTimer = nullptr;
    QWidget* m_findBar = nullptr;
    QLineEdit* m_findText = nullptr;
    QLabel* m_findLabel = nullptr;
    QLabel* m_findStatus = nullptr;

    QList<int> m_selectedRows; // ascending
    int m_rowAnchor = 0;       // where a Shift+click range starts
    int m_editRow = 0;         // the cell commitEditor stores
    int m_editColumn = 0;
    int m_editTopRow = 1;   // top row when the editor was opened
    int m_titleChannel = 1; // channel number in the title
    int m_focusColumn = 0;  // column whose editor the focus timer gives the focus
    QString m_openedText;   // what the frequency editor held when it was opened
    int m_openedIndex = -1; // what the list editor showed when it was opened
    bool m_skipNextEnter = false;
    bool m_returnedToRx = false;
    bool m_firstShow = true;
    bool m_movingFocus = false; // focus moves made by the window itself
    bool m_scrollPending = false;
    bool m_listChosen = false; // a list editor's entry was chosen since it was opened
};
