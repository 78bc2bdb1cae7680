#pragma once

#include <QAccessible>
#include <QTableWidget>

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

  signals:
    // A channel number (column 0) was pressed: the window selects that channel's row.
    void channelNumberPressed(int row, Qt::KeyboardModifiers modifiers);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override;

  private:
    bool channelNumberEvent(QMouseEvent* event);
    void tellScreenReader(QAccessible::Event kind, const QModelIndex& index);
    bool m_followingCurrent = false;
};
