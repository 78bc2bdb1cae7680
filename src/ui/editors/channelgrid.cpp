#include "channelgrid.h"

#include "channelgridaccessible.h"

#include <QMouseEvent>
#include <QScopedValueRollback>

QString ChannelGrid::cellText(int row, int column) const {
    const QTableWidgetItem* it = item(row, column);
    return it ? it->text() : QString();
}

void ChannelGrid::setCellText(int row, int column, const QString& text) {
    QTableWidgetItem* it = item(row, column);
    if (!it) {
        it = new QTableWidgetItem;
        it->setTextAlignment(Qt::AlignCenter);
        if (column == 0) {
            // The channel number column is fixed: it cannot be entered.
            it->setFlags(Qt::NoItemFlags);
            it->setBackground(palette().button());
            it->setForeground(palette().buttonText());
        } else {
            it->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        }
        setItem(row, column, it);
    }
    it->setText(text);
    if (row == 0) {
        QTableWidgetItem* h = horizontalHeaderItem(column);
        if (!h) {
            h = new QTableWidgetItem;
            setHorizontalHeaderItem(column, h);
        }
        h->setText(text);
    }
}

void ChannelGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    const QScopedValueRollback<bool> following(m_followingCurrent, true);
    // The table view would tell a screen reader of the cell by its own numbering, which counts
    // the hidden header row: the grid tells it by the numbering of its accessible table.
    QAbstractItemView::currentChanged(current, previous);
    if (hasFocus()) tellScreenReader(QAccessible::Focus, current);
}

void ChannelGrid::selectionChanged(const QItemSelection& selected,
                                   const QItemSelection& deselected) {
    QAbstractItemView::selectionChanged(selected, deselected);
    tellScreenReader(QAccessible::SelectionAdd, selected.indexes().value(0));
    tellScreenReader(QAccessible::SelectionRemove, deselected.indexes().value(0));
}

void ChannelGrid::tellScreenReader(QAccessible::Event kind, const QModelIndex& index) {
    if (!QAccessible::isActive() || !index.isValid() || index.row() < 1) return;
    QAccessibleEvent event(this, kind);
    event.setChild(channelGridAccessibleChild(index.row(), index.column()));
    QAccessible::updateAccessibility(&event);
}

// A press (or a quick second press) on a channel number selects rows instead of a cell.
bool ChannelGrid::channelNumberEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    const int row = rowAt(at.y());
    if (event->button() != Qt::LeftButton || columnAt(at.x()) != 0 || row < 1) return false;
    setFocus(Qt::MouseFocusReason);
    emit channelNumberPressed(row, event->modifiers());
    return true;
}

void ChannelGrid::mousePressEvent(QMouseEvent* event) {
    if (!channelNumberEvent(event)) QTableWidget::mousePressEvent(event);
}

void ChannelGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    if (!channelNumberEvent(event)) QTableWidget::mouseDoubleClickEvent(event);
}
