#pragma once

#include "core/config/document.h"

#include <QTableWidget>
#include <QWidget>
#include <array>

class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

// The channel table as the grid shows it: 61 rows × 11 columns, row 0 the column headers and
// column 0 the channel numbers. Row 0 is drawn by the header view so that it stays in place
// while the rows scroll; the grid's own row 0 is hidden and holds the same texts.
class ChannelGrid : public QTableWidget {
    Q_OBJECT
  public:
    using QTableWidget::QTableWidget;

    // True while the view scrolls by itself to bring a new current cell into sight, so that
    // such a scroll can be told apart from one the user made.
    bool followingCurrent() const { return m_followingCurrent; }

    QString cellText(int row, int column) const;
    void setCellText(int row, int column, const QString& text);

  protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

  private:
    bool m_followingCurrent = false;
};

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

    void InitComboList();
    void ReShowChInfoByLanguage();
    void reShowGrid(int channelNo);
    void SetGridData();
    void SetEditNoVisable();
    void GridNextLine();
    void GridNextCol();
    void EnterGridEdit();
    void SetGridFocus(int column);
    bool FlexConcludeRx();

    // The cell whose editor was opened last; row 0 when none is.
    int editRow() const { return m_editRow; }
    int editColumn() const { return m_editCol; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void InitShowGrid();
    void ChangShowByLanguage();
    void ShowChIfoData(const ChannelEntry& entry);
    bool SaveShowGridData();
    void enterCell();
    void openEditor(bool takeFocus);
    bool commitAndReopen();
    void groupChosen(int group);
    void emergencyChosen(int group);
    void showEmergencyChoices();
    void gridScrolled();
    void followScroll();
    void focusTimerFired();
    void updateTitle();
    void moveTo(int row, int column);
    void hideEditor(QWidget* editor);
    bool textKeyPress(const QKeyEvent* key);
    bool editorHasFocus() const;
    void closeWindow();
    int topRow() const;

    Document& m_doc;
    QLabel* m_label1 = nullptr;
    QComboBox* m_combo6 = nullptr;
    std::array<QLabel*, GroupCount> m_label2{};
    std::array<QComboBox*, GroupCount> m_combo1{};
    ChannelGrid* m_grid = nullptr;
    QLineEdit* m_text1 = nullptr;
    std::array<QComboBox*, 8> m_combo8{};
    QPushButton* m_close = nullptr;
    QTimer* m_timerFocus = nullptr;
    QTimer* m_scrollTimer = nullptr;

    int m_editRow = 0; // the cell SaveShowGridData commits
    int m_editCol = 0;
    int m_topRow = 1;       // top row when the editor was opened
    int m_channel = 1;      // channel number in the title
    int m_focusColumn = 0;  // column whose editor TimerFocus gives the focus
    QString m_openedText;   // what Text1 held when it was opened
    int m_openedIndex = -1; // what the Combo8 list showed when it was opened
    bool m_skip = false;
    bool m_returnedToRx = false;
    bool m_firstActivation = true;
    bool m_internal = false; // focus moves made by the window itself
    bool m_scrollPending = false;
};
