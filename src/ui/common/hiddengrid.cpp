#include "hiddengrid.h"

#include "hiddensupport.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalBlocker>

EditorGrid::EditorGrid(int rows, int columns, QWidget* parent)
    : QTableWidget(rows, columns, parent) {
    m_editor = new QLineEdit(viewport());
    m_editor->setAlignment(Qt::AlignCenter); // as the cells show their texts
    m_editor->hide();
    m_editor->installEventFilter(this);

    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            auto* it = new QTableWidgetItem;
            it->setTextAlignment(Qt::AlignCenter);
            if (c == 0) {
                // The row number column is fixed: it cannot be entered.
                it->setFlags(Qt::NoItemFlags);
                it->setBackground(palette().button());
                it->setForeground(palette().buttonText());
            } else {
                it->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            }
            setItem(r, c, it);
        }
    for (int c = 0; c < columns; ++c)
        setHorizontalHeaderItem(c, new QTableWidgetItem);
    hideRow(0);

    QHeaderView* h = horizontalHeader();
    h->setSectionResizeMode(QHeaderView::Fixed);
    h->setSectionsClickable(false);
    h->setHighlightSections(false);
    QHeaderView* v = verticalHeader();
    v->hide();
    v->setSectionResizeMode(QHeaderView::Fixed);
    v->setMinimumSectionSize(1);
    v->setDefaultSectionSize(m_editor->sizeHint().height());
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    if (rows > 1 && columns > 1) {
        // The first data cell is current without having been entered: a click on it enters it.
        const QSignalBlocker quiet(this);
        setCurrentCell(1, 1);
    }
    connect(this, &QTableWidget::currentCellChanged, this, [this] { enterCell(); });
    connect(this, &QTableWidget::cellClicked, this, [this](int row, int column) {
        if (row == currentRow() && column == currentColumn() && !editorOpen()) enterCell();
    });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { placeEditor(); });
}

QString EditorGrid::cellText(int row, int column) const {
    const QTableWidgetItem* it = item(row, column);
    return it ? it->text() : QString();
}

void EditorGrid::setCellText(int row, int column, const QString& text) {
    if (QTableWidgetItem* it = item(row, column)) it->setText(text);
    if (row == 0) setHeaderText(column, text);
}

void EditorGrid::setHeaderText(int column, const QString& text) {
    if (QTableWidgetItem* h = horizontalHeaderItem(column)) h->setText(text);
    if (QTableWidgetItem* it = item(0, column)) it->setText(text);
}

void EditorGrid::fitHeightToRows(int extra) {
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    int height = horizontalHeader()->sizeHint().height() + 2 * frameWidth() + extra;
    for (int r = 1; r < rowCount(); ++r)
        height += rowHeight(r);
    setFixedHeight(height);
}

bool EditorGrid::editorOpen() const {
    return !m_editor->isHidden();
}

void EditorGrid::moveTo(int row, int column) {
    if (row < 1 || row >= rowCount() || column < 1 || column >= columnCount()) return;
    if (row == currentRow() && column == currentColumn())
        enterCell();
    else
        setCurrentCell(row, column);
}

void EditorGrid::enterCell() {
    const int row = currentRow();
    const int column = currentColumn();
    if (row >= 1 && column == 0) {
        setCurrentCell(row, 1);
        return;
    }
    commitEditor();
    if (row < 1 || column < 1) return;
    m_editRow = row;
    m_editColumn = column;
    openEditor();
}

void EditorGrid::openEditor() {
    emit editorOpened(m_editRow, m_editColumn);
    const QString text = cellText(m_editRow, m_editColumn);
    m_editor->setText(text);
    m_openedText = text;
    m_committedSinceOpened = false;
    placeEditor();
    m_editor->show();
    m_editor->raise();
    m_editor->setFocus(Qt::OtherFocusReason);
    if (!text.isEmpty()) m_editor->selectAll();
}

void EditorGrid::placeEditor() {
    if (m_editRow < 1) return;
    QRect cell = visualRect(model()->index(m_editRow, m_editColumn));
    cell.setWidth(std::max(1, cell.width() - editorWidthReduction));
    m_editor->setGeometry(cell);
}

void EditorGrid::commitEditor() {
    if (m_committing || m_editRow < 1 || m_editor->isHidden()) return;
    const QString text = m_editor->text();
    if (text == m_openedText && (!commitsUnchanged || m_committedSinceOpened)) return;
    m_committing = true;
    m_committedSinceOpened = true;
    m_openedText = text;
    emit cellEdited(m_editRow, m_editColumn, text);
    // The editor shows what was stored (a clamped number, a refused value put back).
    const QString shown = cellText(m_editRow, m_editColumn);
    if (shown != text) {
        m_editor->setText(shown);
        m_openedText = shown;
    }
    m_committing = false;
}

bool EditorGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_editor) return QTableWidget::eventFilter(watched, event);
    if (event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // Another window or a popup only borrows the focus; the edit goes on afterwards.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            commitEditor();
            if (!m_committing) m_editor->hide();
        }
        return false;
    }
    switch (classifyBoxKey(event)) {
    case BoxKey::Swallow:
        event->accept();
        return true;
    case BoxKey::Enter:
        if (enterMovesOn) {
            commitEditor();
            QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
            QCoreApplication::sendEvent(m_editor, &tab);
        }
        emit enterPressed();
        return true;
    case BoxKey::Other:
        break;
    }
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return false;
    switch (key->key()) {
    case Qt::Key_Up:
        moveTo(m_editRow - 1, m_editColumn);
        return true;
    case Qt::Key_Down:
        moveTo(m_editRow + 1, m_editColumn);
        return true;
    case Qt::Key_Escape:
        m_editor->setText(m_openedText);
        m_editor->selectAll();
        return true;
    default:
        return false;
    }
}

void EditorGrid::keyPressEvent(QKeyEvent* event) {
    const int k = event->key();
    if ((k == Qt::Key_Return || k == Qt::Key_Enter || k == Qt::Key_F2) && !editorOpen() &&
        currentRow() >= 1) {
        enterCell();
        return;
    }
    QTableWidget::keyPressEvent(event);
}
