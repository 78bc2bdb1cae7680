#pragma once

#include <QTableWidget>

class QLineEdit;

// The list grids of the DTMF, FleetSync and test-frequency editors. Row 0 holds the column
// headers and column 0 the row numbers, both fixed; row 0 is drawn by the header view and the
// grid's own row 0 is hidden, so that row and column numbers are those the record uses.
// The other cells are edited with one line editor laid over the cell being edited.
//
// Entering a cell (moving the current cell there, or clicking the current cell while the
// editor is closed) commits the editor and opens it on that cell. cellEdited() is emitted only
// when the editor's text differs from what it held when it was opened, so a cell
// that is merely passed through stores nothing and an entry loaded from a file keeps its
// bytes. Leaving the editor commits it and closes it; Up and Down move a row, Escape puts
// back the text the editor was opened with.
class EditorGrid : public QTableWidget {
    Q_OBJECT
  public:
    EditorGrid(int rows, int columns, QWidget* parent);

    QLineEdit* editor() const { return m_editor; }

    QString cellText(int row, int column) const;
    void setCellText(int row, int column, const QString& text);
    void setHeaderText(int column, const QString& text);
    // Makes the grid exactly as high as its rows (no vertical scrolling), plus extra pixels.
    void fitHeightToRows(int extra = 0);

    // The cell the editor was opened on last; row 0 when none has been entered.
    int editRow() const { return m_editRow; }
    int editColumn() const { return m_editColumn; }
    bool editorOpen() const;

    // Emits cellEdited() with the editor's text when it changed since opened.
    void commitEditor();
    // Makes (row, column) the current cell, which commits and reopens the editor there.
    void moveTo(int row, int column);

    // Pixels the editor is narrower than its cell.
    int editorWidthReduction = 0;
    // cellEdited() is also emitted once for a cell left as it was opened (the receiver then
    // sees the cell's text unchanged).
    bool commitsUnchanged = false;
    // Enter in the editor commits it and moves the focus on as Tab would; an owner that moves
    // through the cells its own way turns this off and acts on enterPressed().
    bool enterMovesOn = true;

  signals:
    // The owner stores an edit: the cell (row, column) was edited to text. What the cell shows
    // afterwards is what the editor shows (a clamped number, a refused value put back).
    void cellEdited(int row, int column, const QString& text);
    // Enter in the editor.
    void enterPressed();
    // The editor was opened on a cell (to adapt its validator, for instance).
    void editorOpened(int row, int column);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void enterCell();
    void openEditor();
    void placeEditor();

    QLineEdit* m_editor = nullptr;
    int m_editRow = 0;
    int m_editColumn = 0;
    QString m_openedText;
    bool m_committedSinceOpened = false;
    bool m_committing = false;
};
