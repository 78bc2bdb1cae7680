#include "channelgrid.h"

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
    QTableWidget::currentChanged(current, previous);
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
