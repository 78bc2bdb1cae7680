#include "channelgridaccessible.h"

#include "channelgrid.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QHeaderView>
#include <QPointer>

namespace {
constexpr int Channels = 60;
constexpr int Values = 10; // RX, TX, the seven flags, scan

// One cell of the grid as the table shows it: a column header (row 0), a row header (the
// channel number, column 0) or a value.
class GridCell : public QAccessibleInterface, public QAccessibleTableCellInterface {
  public:
    GridCell(ChannelGrid* grid, int row, int column) : m_grid(grid), m_row(row), m_column(column) {}

    bool isValid() const override { return m_grid; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_grid ? m_grid->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return m_grid ? QAccessible::queryAccessibleInterface(m_grid.data()) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}

    QString text(QAccessible::Text t) const override {
        if (!m_grid || (t != QAccessible::Name && t != QAccessible::Value)) return {};
        if (t == QAccessible::Value && m_row == 0) return {};
        // The header row holds the column headers; column 0 the channel numbers.
        return m_grid->cellText(m_row, m_column);
    }
    QAccessible::Role role() const override {
        if (m_row == 0) return QAccessible::ColumnHeader;
        return m_column == 0 ? QAccessible::RowHeader : QAccessible::Cell;
    }
    QRect rect() const override {
        if (!m_grid) return {};
        if (m_row == 0) {
            const QHeaderView* h = m_grid->horizontalHeader();
            const QRect r(h->sectionViewportPosition(m_column), 0, h->sectionSize(m_column),
                          h->height());
            return QRect(h->viewport()->mapToGlobal(r.topLeft()), r.size());
        }
        const QRect r = m_grid->visualRect(m_grid->model()->index(m_row, m_column));
        return QRect(m_grid->viewport()->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!m_grid) {
            s.invalid = true;
            return s;
        }
        if (m_row > 0) {
            const QRect r = m_grid->visualRect(m_grid->model()->index(m_row, m_column));
            s.offscreen = !m_grid->viewport()->rect().intersects(r);
        }
        if (role() == QAccessible::Cell) {
            const QTableWidgetItem* item = m_grid->item(m_row, m_column);
            s.selectable = true;
            s.focusable = true;
            s.editable = true;
            s.selected = item && item->isSelected();
            s.focused = m_grid->hasFocus() && m_grid->currentRow() == m_row &&
                        m_grid->currentColumn() == m_column;
        }
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TableCellInterface && role() == QAccessible::Cell)
            return static_cast<QAccessibleTableCellInterface*>(this);
        return nullptr;
    }

    bool isSelected() const override { return state().selected; }
    QList<QAccessibleInterface*> columnHeaderCells() const override {
        QAccessibleInterface* table = parent();
        return table ? QList<QAccessibleInterface*>{table->child(m_column - 1)}
                     : QList<QAccessibleInterface*>{};
    }
    QList<QAccessibleInterface*> rowHeaderCells() const override {
        QAccessibleInterface* table = parent();
        return table ? QList<QAccessibleInterface*>{table->child(
                           channelGridAccessibleChild(m_row, 0))}
                     : QList<QAccessibleInterface*>{};
    }
    int columnIndex() const override { return m_column - 1; }
    int rowIndex() const override { return m_row - 1; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

  private:
    QPointer<ChannelGrid> m_grid;
    int m_row;
    int m_column;
};

class GridTable : public QAccessibleWidget, public QAccessibleTableInterface {
  public:
    explicit GridTable(ChannelGrid* grid) : QAccessibleWidget(grid, QAccessible::Table) {}
    ~GridTable() override {
        for (QAccessible::Id id : std::as_const(m_cells))
            QAccessible::deleteAccessibleInterface(id);
    }

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    int childCount() const override { return Values + Channels * (Values + 1); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount()) return nullptr;
        if (index < Values) return cell(0, index + 1);
        const int i = index - Values;
        return cell(i / (Values + 1) + 1, i % (Values + 1));
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (auto it = m_cells.cbegin(); it != m_cells.cend(); ++it)
            if (QAccessible::accessibleInterface(it.value()) == child)
                return channelGridAccessibleChild(it.key() / 100, it.key() % 100);
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QPoint p = grid()->viewport()->mapFromGlobal(QPoint(x, y));
        const QModelIndex i = grid()->indexAt(p);
        if (i.isValid() && i.row() > 0) return cell(i.row(), i.column());
        return QAccessibleWidget::childAt(x, y);
    }

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override {
        if (row < 0 || row >= Channels || column < 0 || column >= Values) return nullptr;
        return cell(row + 1, column + 1);
    }
    int columnCount() const override { return Values; }
    int rowCount() const override { return Channels; }
    QString columnDescription(int column) const override { return grid()->cellText(0, column + 1); }
    QString rowDescription(int row) const override { return grid()->cellText(row + 1, 0); }

    QList<QAccessibleInterface*> selectedCells() const override {
        QList<QAccessibleInterface*> cells;
        const auto items = grid()->selectedItems();
        for (const QTableWidgetItem* item : items)
            if (item->row() > 0 && item->column() > 0) cells << cell(item->row(), item->column());
        return cells;
    }
    int selectedCellCount() const override { return int(selectedCells().size()); }
    QList<int> selectedRows() const override {
        QList<int> rows;
        for (int r = 1; r <= Channels; ++r)
            if (isRowSelected(r - 1)) rows << r - 1;
        return rows;
    }
    int selectedRowCount() const override { return int(selectedRows().size()); }
    bool isRowSelected(int row) const override {
        for (int c = 1; c <= Values; ++c) {
            const QTableWidgetItem* item = grid()->item(row + 1, c);
            if (!item || !item->isSelected()) return false;
        }
        return true;
    }
    QList<int> selectedColumns() const override { return {}; }
    int selectedColumnCount() const override { return 0; }
    bool isColumnSelected(int) const override { return false; }
    // Rows are chosen by their channel numbers, as the window defines it.
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

  private:
    ChannelGrid* grid() const { return static_cast<ChannelGrid*>(widget()); }
    QAccessibleInterface* cell(int row, int column) const {
        const int key = row * 100 + column;
        const auto found = m_cells.constFind(key);
        if (found != m_cells.cend()) return QAccessible::accessibleInterface(found.value());
        auto* c = new GridCell(grid(), row, column);
        m_cells.insert(key, QAccessible::registerAccessibleInterface(c));
        return c;
    }
    mutable QHash<int, QAccessible::Id> m_cells;
};

QAccessibleInterface* channelGridInterface(const QString& className, QObject* object) {
    if (className == QLatin1String("ChannelGrid") && object && object->isWidgetType())
        return new GridTable(static_cast<ChannelGrid*>(object));
    return nullptr;
}
} // namespace

void installChannelGridAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(channelGridInterface);
        return true;
    }();
    Q_UNUSED(installed);
}

int channelGridAccessibleChild(int row, int column) {
    if (row == 0) return column - 1;
    return Values + (row - 1) * (Values + 1) + column;
}
