#include "channelgridwindow.h"

#include "core/channels/channelrules.h"
#include "ui/common/editorsupport.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QTimer>
#include <algorithm>
#include <utility>

// The cell editors of the channel grid window. Entering a cell commits the editor of the cell
// left and lays the matching editor over the new one: the frequency editor over RX and TX, a
// list over a flag or the scan cell. Enter moves on along the row and then down, a row
// without a receive frequency sends the user back to its RX cell, and a scroll of the rows
// carries the edit cell along so that it keeps its place on screen.

namespace {
constexpr int GridRows = ChannelsPerGroup + 1; // header row + channels 1..60

// Ctrl+Up or Ctrl+Down.
bool isRowKey(const QKeyEvent* k) {
    return (k->key() == Qt::Key_Up || k->key() == Qt::Key_Down) &&
           (k->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier;
}
} // namespace

void ChannelGridWindow::enterCell() {
    runTrapped("frmCommChInfo_MSFlexGrid1_EnterCell", [&] {
        const int row = m_grid->currentRow();
        const int col = m_grid->currentColumn();
        if (row < 1 || col < 1) return;
        if (m_skipNextEnter) {
            m_skipNextEnter = false;
            return;
        }
        m_titleChannel = row;
        updateTitle();
        if (col == ColRx && m_returnedToRx) {
            // The refused entry already committed the previous editor.
            m_returnedToRx = false;
        } else {
            if (m_editRow > 0 && m_editColumn > 0) commitEditor();
            // A value typed into one of several selected rows is meant for all of them (and went
            // to them above); a cell outside them ends the selection. The view made the new
            // cell its only selection: the rows are shown selected again.
            if (editsSelectedRows(row))
                selectRows(m_selectedRows);
            else
                clearRowSelection();
            if (col >= ColTx && returnToEmptyRx()) return;
        }
        editCurrentCell();
    });
}

// Sends the edit back to the RX cell of a row that has no receive frequency yet; true when
// it did, so that the cell entered is not edited.
bool ChannelGridWindow::returnToEmptyRx() {
    bool refused = false;
    runTrapped("frmCommChInfo_FlexConcludeRx", [&] {
        const int row = m_grid->currentRow();
        if (!m_grid->cellText(row, ColRx).isEmpty()) return;
        // A row without a receive frequency is no channel yet: its RX cell comes first.
        m_editColumn = ColRx;
        m_editRow = row;
        m_returnedToRx = true;
        refused = true;
        moveTo(row, ColRx);
    });
    return refused;
}

void ChannelGridWindow::editCurrentCell() {
    openEditor(true);
}

void ChannelGridWindow::openEditor(bool takeFocus) {
    runTrapped("frmCommChInfo_EnterGridEdit", [&] {
        const int row = m_grid->currentRow();
        const int col = m_grid->currentColumn();
        if (row < 1 || col < 1) return;
        m_editTopRow = topRow();
        m_editRow = row;
        m_editColumn = col;
        const QRect cell = m_grid->visualRect(m_grid->model()->index(row, col));
        const QString text = m_grid->cellText(row, col);
        if (col <= ColTx) {
            for (QComboBox* c : m_listEditors)
                hideEditor(c);
            m_frequencyEditor->setGeometry(cell);
            m_frequencyEditor->setText(text);
            describeEditor(m_frequencyEditor, row, col);
            m_openedText = text;
            m_frequencyEditor->show();
            m_frequencyEditor->raise();
            if (!text.isEmpty()) m_frequencyEditor->selectAll();
        } else {
            QComboBox* editor = m_listEditors[size_t(col - ColFirstFlag)];
            hideEditor(m_frequencyEditor);
            for (QComboBox* c : m_listEditors)
                if (c != editor) hideEditor(c);
            // The list is at least as wide as its longest entry needs, so that "Disable" is
            // not cut off in a narrow column; it stays inside the grid's view.
            const int width = std::max(cell.width(), editor->sizeHint().width());
            const int left = std::max(0, std::min(cell.x(), m_grid->viewport()->width() - width));
            editor->setGeometry(left, cell.y(), width, cell.height());
            editor->setCurrentIndex(std::max(0, editor->findText(text)));
            describeEditor(editor, row, col);
            m_openedIndex = editor->currentIndex();
            m_listChosen = false;
            editor->show();
            editor->raise();
        }
        if (takeFocus) focusEditorLater(col);
    });
}

// The editor of the column gets the focus once the focus timer runs out.
void ChannelGridWindow::focusEditorLater(int column) {
    m_focusColumn = column;
    m_focusTimer->start();
}

void ChannelGridWindow::focusTimerFired() {
    runTrapped("FrmCommChInfo_TimerFocus_Timer_Error", [&] {
        m_focusTimer->stop();
        // A timer that fires after the user moved on to another control of the main window
        // (another child window, the tree) must not pull the focus back. A message box on
        // top is no such move: the editor gets the focus when this window is active again.
        const QWidget* f = QApplication::focusWidget();
        const bool mayFocus = !f || f->window() != window() || f == this || isAncestorOf(f);
        const QScopedValueRollback<bool> internal(m_movingFocus, true);
        if (m_focusColumn >= ColRx && m_focusColumn <= ColTx) {
            if (mayFocus && m_frequencyEditor->isVisible() && m_frequencyEditor->isEnabled()) {
                m_frequencyEditor->setFocus(Qt::OtherFocusReason);
                if (!m_frequencyEditor->text().isEmpty()) m_frequencyEditor->selectAll();
            }
            for (QComboBox* c : m_listEditors)
                hideEditor(c);
        } else if (m_focusColumn >= ColFirstFlag && m_focusColumn <= ColScan) {
            QComboBox* editor = m_listEditors[size_t(m_focusColumn - ColFirstFlag)];
            if (mayFocus && editor->isVisible() && editor->isEnabled())
                editor->setFocus(Qt::OtherFocusReason);
            hideEditor(m_frequencyEditor);
            for (QComboBox* c : m_listEditors)
                if (c != editor) hideEditor(c);
        }
    });
}

// Stores what the open editor holds into the channel table when it changed since it was
// opened; false when a frequency out of the radio's range (or not a number) was typed.
bool ChannelGridWindow::commitEditor() {
    bool accepted = true;
    runTrapped("frmCommChInfo_SaveShowGridData", [&] {
        if (m_editRow <= 0) return;
        const int row = m_editRow;
        const int col = m_editColumn;
        if (col == ColRx || col == ColTx) {
            if (m_frequencyEditor->isHidden()) return;
            const QString typed = m_frequencyEditor->text();
            hideEditor(m_frequencyEditor);
            // A cell the user only passed through is not stored again: storing it would
            // re-run the range check on a value the user never touched. For several rows a
            // value typed as the cell showed it counts: the others may differ.
            const bool bulk = editsSelectedRows(row);
            if (typed == m_openedText && !(bulk && m_frequencyEditor->isModified())) return;
            m_openedText = typed;
            if (bulk) {
                accepted = commitToSelectedRows(col, typed);
                return;
            }
            double mhz = 0;
            const bool numeric = isNumericText(typed, &mhz);
            accepted = typed.isEmpty() ||
                       (numeric && m_doc.lowerLimit() <= mhz && mhz <= m_doc.upperLimit());
            m_grid->setCellText(row, col, numeric ? formatMhz(mhz) : typed);
            m_doc.setChannelCell(row, col, typed);
        } else if (col >= ColFirstFlag && col <= ColScan) {
            QComboBox* editor = m_listEditors[size_t(col - ColFirstFlag)];
            if (editor->isHidden()) return;
            const int index = editor->currentIndex();
            const bool bulk = editsSelectedRows(row);
            // For several rows an entry chosen again counts: the others may differ.
            const bool chosen = std::exchange(m_listChosen, false) && bulk;
            if (index < 0 || (index == m_openedIndex && !chosen)) return;
            m_openedIndex = index;
            if (bulk) {
                commitToSelectedRows(col, QString::number(index));
                return;
            }
            m_grid->setCellText(row, col, editor->currentText());
            m_doc.setChannelCell(row, col, QString::number(index));
        }
    });
    return accepted;
}

bool ChannelGridWindow::commitAndReopen() {
    const bool hadFocus = editorHasFocus();
    const bool accepted = commitEditor();
    // The editor stays over its cell, showing what was stored.
    if (m_editRow > 0 && m_grid->currentRow() == m_editRow &&
        m_grid->currentColumn() == m_editColumn) {
        openEditor(false);
        if (hadFocus) {
            m_focusColumn = m_editColumn;
            focusTimerFired();
        }
    }
    return accepted;
}

bool ChannelGridWindow::validateEdits() {
    bool accepted = true;
    runTrapped("frmCommChInfo_SaveShowGridData", [&] { accepted = commitAndReopen(); });
    return accepted;
}

void ChannelGridWindow::moveToNextRow() {
    runTrapped("frmCommChInfo_GridNextLine", [&] {
        const int row = m_grid->currentRow();
        moveTo(row >= ChannelsPerGroup ? 1 : row + 1, std::max(1, m_grid->currentColumn()));
    });
}

void ChannelGridWindow::moveToNextColumn() {
    runTrapped("rmCommChInfo_GridNextCol", [&] {
        const int row = m_grid->currentRow();
        const int col = m_grid->currentColumn();
        if (col < ColScan) {
            moveTo(row, col + 1);
            return;
        }
        // Past the last column: the move back to column 1 of this row enters nothing.
        m_skipNextEnter = true;
        moveTo(row, ColRx);
        m_skipNextEnter = false;
        moveToNextRow();
    });
}

// Enter and Tab in an editor: on along the row; from an empty RX cell down to the next row.
void ChannelGridWindow::moveOnFromEditor() {
    if (m_editColumn == ColRx && m_frequencyEditor->text().isEmpty())
        moveToNextRow();
    else
        moveToNextColumn();
}

// Shift+Tab: back along the row; from the RX cell to the last cell of the row above (of the
// last row from the first).
void ChannelGridWindow::moveToPreviousColumn() {
    runTrapped("frmCommChInfo_GridPreviousCol", [&] {
        const int row = m_grid->currentRow();
        const int col = m_grid->currentColumn();
        if (col > ColRx)
            moveTo(row, col - 1);
        else
            moveTo(row <= 1 ? ChannelsPerGroup : row - 1, ColScan);
    });
}

void ChannelGridWindow::moveTo(int row, int column) {
    m_grid->setCurrentCell(row, column);
}

// Up and Down in the frequency editor, Ctrl+Up and Ctrl+Down in every editor: the same column
// of the channel below (round to the first after the last) or above.
void ChannelGridWindow::moveToAdjacentRow(bool down) {
    const int row = m_grid->currentRow();
    if (down)
        moveToNextRow();
    else if (row > 1)
        moveTo(row - 1, m_grid->currentColumn());
}

// An editor says what it edits: "RX Frequency, channel 5, group A". The lists, which a screen
// reader names by their value, are labelled with it as well.
void ChannelGridWindow::describeEditor(QWidget* editor, int row, int column) {
    const QString name = tr2("%1, channel %2, group %3", "%1，信道 %2，组 %3")
                             .arg(m_grid->cellText(0, column), QString::number(row),
                                  groupLetter(m_doc.config().currentGroupIndex()));
    editor->setAccessibleName(name);
    m_editorCaption->setText(name);
    m_editorCaption->setBuddy(editor);
    if (column <= ColTx)
        editor->setAccessibleDescription(
            tr2("Frequency in MHz, %1 to %2; empty for no channel",
                "频率（MHz），%1 至 %2；空白表示无信道")
                .arg(formatMhz(m_doc.lowerLimit()), formatMhz(m_doc.upperLimit())));
    else
        editor->setAccessibleDescription(
            tr2("Up and Down change the value, Ctrl+Up and Ctrl+Down go to the channel above or "
                "below",
                "上下键改变数值，Ctrl+上下键转到上一个或下一个信道"));
}

int ChannelGridWindow::topRow() const {
    return std::max(1, m_grid->rowAt(0));
}

// Keys in the frequency editor: Enter and the arrows move the edit, Escape undoes it, the
// clipboard keys and anything but digits and the point are dropped. True when consumed.
bool ChannelGridWindow::frequencyEditorKey(const QKeyEvent* k) {
    bool consumed = false;
    runTrapped("FrmCommChInfo_Text1_KeyPress_Error", [&] {
        const int key = k->key();
        const Qt::KeyboardModifiers mods = k->modifiers();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            consumed = true;
            moveOnFromEditor();
            return;
        }
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            consumed = true;
            moveToAdjacentRow(key == Qt::Key_Down);
            return;
        }
        // Left at the start of the text and Right at its end go on to the neighbouring cell.
        const QLineEdit* e = m_frequencyEditor;
        const bool plainArrow = !(
            mods & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
        if (plainArrow && key == Qt::Key_Left && e->cursorPosition() == 0 &&
            !e->hasSelectedText() && m_editColumn == ColTx) {
            consumed = true;
            moveTo(m_grid->currentRow(), ColRx);
            return;
        }
        if (plainArrow && key == Qt::Key_Right && e->cursorPosition() == e->text().size()) {
            consumed = true;
            moveTo(m_grid->currentRow(), m_editColumn + 1);
            return;
        }
        if (key == Qt::Key_Escape) {
            // Back to what the cell held when the editor opened.
            consumed = true;
            m_frequencyEditor->setText(m_openedText);
            m_frequencyEditor->selectAll();
            return;
        }
        if (k->matches(QKeySequence::Cut) || k->matches(QKeySequence::Copy) ||
            k->matches(QKeySequence::Paste) ||
            ((mods & Qt::ControlModifier) &&
             (key == Qt::Key_X || key == Qt::Key_V || key == Qt::Key_C))) {
            consumed = true;
            return;
        }
        // Control and Alt combinations type nothing: they are the editor's and menus' keys.
        if (mods & (Qt::ControlModifier | Qt::AltModifier)) return;
        const QString text = k->text();
        if (text.isEmpty()) return;
        const QChar ch = text.at(0);
        // Only digits and the point reach the frequency editor; nothing above 127.
        if (ch.unicode() > 127 || (ch.isPrint() && !(ch >= u'0' && ch <= u'9') && ch != u'.'))
            consumed = true;
    });
    return consumed;
}

// A key pressed in the grid or one of its editors; true when it was handled here.
bool ChannelGridWindow::gridKeyPress(QObject* watched, const QKeyEvent* k, bool isText,
                                     bool isCombo) {
    // Shift+Space in a cell selects its row, as in a spreadsheet.
    if ((isText || isCombo) && k->key() == Qt::Key_Space && k->modifiers() == Qt::ShiftModifier &&
        m_editRow > 0) {
        const int row = m_editRow;
        commitEditor();
        hideEditors();
        m_grid->setFocus(Qt::ShortcutFocusReason);
        m_rowAnchor = row;
        selectRows({row});
        return true;
    }
    // Tab and Shift+Tab move between the cells, as Enter does, instead of leaving the grid.
    const bool plain = !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if ((isText || isCombo) && plain && k->key() == Qt::Key_Tab) {
        moveOnFromEditor();
        return true;
    }
    if ((isText || isCombo) && plain && k->key() == Qt::Key_Backtab) {
        moveToPreviousColumn();
        return true;
    }
    if ((isText || isCombo) && isRowKey(k)) {
        moveToAdjacentRow(k->key() == Qt::Key_Down);
        return true;
    }
    if (isText) return frequencyEditorKey(k);
    const bool enter = k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
    if (isCombo && enter) {
        runTrapped("Combo8_KeyPress", [&] { moveOnFromEditor(); });
        return true;
    }
    if (watched == m_grid && enter) {
        editCurrentCell();
        return true;
    }
    return watched == m_grid && rowKey(k);
}

bool ChannelGridWindow::eventFilter(QObject* watched, QEvent* event) {
    const bool isText = watched == m_frequencyEditor;
    const bool isCombo = !isText && std::find(m_listEditors.begin(), m_listEditors.end(),
                                              watched) != m_listEditors.end();
    switch (event->type()) {
    case QEvent::KeyPress:
        return gridKeyPress(watched, static_cast<QKeyEvent*>(event), isText, isCombo);
    case QEvent::ShortcutOverride:
        // Keys on selected rows stay with the grid.
        if (watched == m_grid && !m_selectedRows.isEmpty()) {
            const auto* k = static_cast<QKeyEvent*>(event);
            if (k->matches(QKeySequence::Copy) || k->matches(QKeySequence::Paste) ||
                k->key() == Qt::Key_Delete) {
                event->accept();
                return true;
            }
        }
        // In an editor Ctrl+Up and Ctrl+Down move the edit, not the channel (Move Up/Down);
        // in the find text they, and Insert, do nothing to the channels.
        if ((isText || isCombo || watched == m_findText) &&
            isRowKey(static_cast<const QKeyEvent*>(event))) {
            event->accept();
            return true;
        }
        if (watched == m_findText && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Insert) {
            event->accept();
            return true;
        }
        // Keep Ctrl+V and friends inside the frequency editor, where the filter drops them.
        if (isText) {
            const auto* k = static_cast<QKeyEvent*>(event);
            if (k->matches(QKeySequence::Paste) || k->matches(QKeySequence::Cut) ||
                k->matches(QKeySequence::Copy)) {
                event->accept();
                return true;
            }
        }
        break;
    case QEvent::Wheel:
        // A list editor the mouse merely passes over while scrolling keeps its value.
        if (isCombo && !static_cast<QWidget*>(watched)->hasFocus()) return true;
        break;
    case QEvent::FocusOut: {
        if (!(isText || isCombo) || m_movingFocus) break;
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason) break;
        const QWidget* now = QApplication::focusWidget();
        if (now == m_frequencyEditor ||
            std::find(m_listEditors.begin(), m_listEditors.end(), now) != m_listEditors.end())
            break;
        // Leaving the editor for another control validates it.
        if (static_cast<QWidget*>(watched)->isVisible())
            runTrapped(isText ? "frmCommChInfo_SaveShowGridData" : "Combo8_Validate",
                       [&] { commitAndReopen(); });
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void ChannelGridWindow::gridScrolled() {
    // The view bringing a newly entered cell into sight is not a scroll of the user's.
    if (m_grid->followingCurrent()) return;
    runTrapped("MSFlexGrid1_Scroll Error", [&] {
        if (m_scrollTimer->isActive()) {
            m_scrollPending = true; // followed once more when the timer runs out
            return;
        }
        m_scrollTimer->start();
        followScroll();
    });
}

void ChannelGridWindow::followScroll() {
    if (m_editRow < 1) return;
    if (m_frequencyEditor->isHidden() && std::all_of(m_listEditors.begin(), m_listEditors.end(),
                                                     [](QComboBox* c) { return c->isHidden(); }))
        return;
    // The edit cell keeps its place on screen: it moves to the row now shown there.
    const int row = m_grid->currentRow();
    const int col = m_grid->currentColumn();
    const int newRow = row - m_editTopRow + topRow();
    if (newRow > 0 && newRow < GridRows && newRow != row) moveTo(newRow, col);
    if (m_grid->currentRow() != m_editRow) enterCell();
}

void ChannelGridWindow::hideEditors() {
    hideEditor(m_frequencyEditor);
    for (QComboBox* c : m_listEditors)
        hideEditor(c);
}

void ChannelGridWindow::hideEditor(QWidget* editor) {
    if (editor->isHidden()) return;
    if (editor->hasFocus()) {
        // Park the focus on the grid so that hiding the editor does not move it elsewhere.
        const QScopedValueRollback<bool> internal(m_movingFocus, true);
        m_grid->setFocus(Qt::OtherFocusReason);
    }
    editor->hide();
}

bool ChannelGridWindow::editorHasFocus() const {
    if (m_frequencyEditor->hasFocus()) return true;
    return std::any_of(m_listEditors.begin(), m_listEditors.end(),
                       [](const QComboBox* c) { return c->hasFocus(); });
}
