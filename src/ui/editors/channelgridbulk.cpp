#include "channelgridwindow.h"

#include "core/channels/channelrules.h"
#include "core/config/optionwords.h"
#include "fillfrequenciesdialog.h"
#include "ui/common/editorsupport.h"

#include <QAction>
#include <QBoxLayout>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <algorithm>

// Edits of many rows of the channel grid at once: a value chosen in a cell of several selected
// rows goes to all of them, frequencies filled in steps, the group sorted by frequency, rows
// moved up and down, a channel number freed, and the find bar that looks for a frequency in
// every group. The document checks each edit whole and refuses it with its reasons.

namespace {
struct GridCommand {
    const char* name;
    QKeySequence keys;
    void (ChannelGridWindow::*run)();
};
} // namespace

void ChannelGridWindow::buildBulkEditing() {
    // The keys work while the focus is anywhere in this window.
    const GridCommand commands[] = {
        {"actMoveUp", QKeySequence(Qt::CTRL | Qt::Key_Up), &ChannelGridWindow::moveRowsUp},
        {"actMoveDown", QKeySequence(Qt::CTRL | Qt::Key_Down), &ChannelGridWindow::moveRowsDown},
        {"actInsertChannel", QKeySequence(Qt::Key_Insert), &ChannelGridWindow::insertChannel},
        {"actFind", QKeySequence(Qt::CTRL | Qt::Key_F), &ChannelGridWindow::showFindBar},
    };
    for (const GridCommand& c : commands) {
        auto* action = new QAction(this);
        action->setObjectName(QLatin1String(c.name));
        action->setShortcut(c.keys);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(action, &QAction::triggered, this, c.run);
        addAction(action);
    }
    for (QComboBox* list : m_listEditors)
        connect(list, &QComboBox::activated, this, [this] { m_listChosen = true; });

    m_findBar = new QWidget(this);
    m_findBar->setObjectName(QStringLiteral("fraFind"));
    m_findLabel = new QLabel(m_findBar);
    m_findLabel->setObjectName(QStringLiteral("lblFind"));
    m_findText = new QLineEdit(m_findBar);
    m_findText->setObjectName(QStringLiteral("txtFind"));
    m_findLabel->setBuddy(m_findText);
    m_findStatus = new QLabel(m_findBar);
    m_findStatus->setObjectName(QStringLiteral("lblFindStatus"));
    auto* row = new QHBoxLayout(m_findBar);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(m_findLabel);
    row->addWidget(m_findText);
    row->addWidget(m_findStatus, 1);
    m_findBar->hide();
    setBulkCaptions();
    // Below the grid, above the Close button.
    if (auto* column = qobject_cast<QBoxLayout*>(layout()))
        column->insertWidget(column->count() - 1, m_findBar);
    m_findText->installEventFilter(this);
    connect(m_findText, &QLineEdit::returnPressed, this, &ChannelGridWindow::findNext);
    connect(m_findText, &QLineEdit::textEdited, m_findStatus, &QLabel::clear);
    auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), m_findBar);
    close->setContext(Qt::WidgetWithChildrenShortcut);
    connect(close, &QShortcut::activated, this, [this] {
        m_findBar->hide();
        m_grid->setFocus(Qt::ShortcutFocusReason);
    });
}

void ChannelGridWindow::setBulkCaptions() {
    if (!m_findLabel) return; // still being built
    m_findLabel->setText(tr2("Find frequency:", "查找频率："));
    m_findStatus->clear();
}

// A cell pressed in one of several selected rows keeps the selection for a value meant for
// all of them; any other cell ends it.
void ChannelGridWindow::cellPressed(int row) {
    if (editsSelectedRows(row))
        selectRows(m_selectedRows);
    else
        clearRowSelection();
}

bool ChannelGridWindow::editsSelectedRows(int row) const {
    return m_selectedRows.size() > 1 && m_selectedRows.contains(row);
}

bool ChannelGridWindow::commitToSelectedRows(int column, const QString& value) {
    const QStringList problems = m_doc.setChannelsCell(m_selectedRows, column, value);
    if (problems.isEmpty()) return true;
    showChannelRow(m_editRow); // drop what the editor showed
    refuseBulkEdit(problems);
    return false;
}

void ChannelGridWindow::refuseBulkEdit(const QStringList& problems) {
    showRefusedChannels(tr2("No channel was changed; the configuration is unchanged.",
                            "未修改任何信道；配置未改变。"),
                        problems);
}

// The selected rows, else the current row; with neither (a group just chosen) the user is
// told to choose channels instead of the command doing nothing without a word.
QList<int> ChannelGridWindow::rowsToEdit() {
    if (!m_selectedRows.isEmpty()) return m_selectedRows;
    const int row = m_grid->currentRow();
    if (row >= 1) return {row};
    refuseBulkEdit({tr2("Choose the channels first: click a cell of a channel or its number.",
                        "请先选择信道：单击信道的单元格或信道号。")});
    return {};
}

void ChannelGridWindow::fillFrequencies() {
    runTrapped("frmCommChInfo_FillFrequencies", [&] {
        commitEditor();
        const QList<int> rows = rowsToEdit();
        if (rows.isEmpty()) return;
        QString first = m_grid->cellText(rows.first(), ColRx);
        if (first.isEmpty()) first = formatMhz(m_doc.lowerLimit());
        const bool linked = m_doc.product().linkedRxTx &&
                            m_doc.config().optionWords[OptionWord::SingleChangeFrequency] == 0;
        auto* dialog = new FillFrequenciesDialog(first, !linked, this);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        connect(dialog, &QDialog::accepted, this, [this, dialog, rows] {
            runTrapped("frmCommChInfo_FillFrequencies", [&] {
                const QStringList problems = m_doc.fillFrequencies(
                    rows, dialog->firstRxMhz(), dialog->stepKhz(), dialog->txOffsetKhz());
                if (!problems.isEmpty()) refuseBulkEdit(problems);
                if (rows.size() > 1) selectRows(rows);
            });
        });
        dialog->open();
    });
}

void ChannelGridWindow::sortByFrequency() {
    runTrapped("frmCommChInfo_SortByFrequency", [&] {
        commitEditor();
        m_doc.sortGroupByFrequency();
    });
}

void ChannelGridWindow::moveRowsUp() {
    moveRows(-1);
}
void ChannelGridWindow::moveRowsDown() {
    moveRows(1);
}

void ChannelGridWindow::moveRows(int delta) {
    runTrapped("frmCommChInfo_MoveRows", [&] {
        commitEditor();
        const QList<int> rows = rowsToEdit();
        const bool selected = !m_selectedRows.isEmpty();
        const int column = std::max(1, m_grid->currentColumn());
        const QStringList problems = m_doc.moveChannels(rows, delta);
        if (!problems.isEmpty()) {
            refuseBulkEdit(problems);
            return;
        }
        if (rows.isEmpty()) return;
        // The selection, or the current cell, goes with the rows.
        if (!selected) {
            moveTo(rows.first() + delta, column);
            return;
        }
        QList<int> moved;
        for (int r : rows)
            moved << r + delta;
        hideEditors();
        selectRows(moved);
    });
}

void ChannelGridWindow::insertChannel() {
    runTrapped("frmCommChInfo_InsertChannel", [&] {
        commitEditor();
        const QList<int> rows = rowsToEdit();
        if (rows.isEmpty()) return;
        const bool selected = !m_selectedRows.isEmpty();
        const QStringList problems = m_doc.insertChannelBefore(rows.first());
        if (!problems.isEmpty()) {
            refuseBulkEdit(problems);
            return;
        }
        // The freed row stays selected, ready for a frequency.
        if (!selected) return;
        hideEditors();
        selectRows({rows.first()});
    });
}

void ChannelGridWindow::showFindBar() {
    m_findBar->show();
    m_findText->setFocus(Qt::ShortcutFocusReason);
    m_findText->selectAll();
}

void ChannelGridWindow::findNext() {
    runTrapped("frmCommChInfo_FindNext", [&] {
        const QString query = m_findText->text().trimmed();
        if (query.isEmpty()) return;
        QList<std::pair<int, int>> matches; // group, channel number; in the order shown
        for (int g = 0; g < GroupCount; ++g) {
            QList<int> numbers;
            const int count =
                std::clamp<int>(m_doc.config().groupChannelCount[size_t(g)], 0, ChannelsPerGroup);
            for (int place = 1; place <= count; ++place) {
                const ChannelEntry& e = m_doc.config().entry(g, place);
                if (listedFrequency(m_doc, e.rxFreq.raw()).contains(query) ||
                    listedFrequency(m_doc, e.txFreq.raw()).contains(query))
                    numbers << e.channelNo;
            }
            std::sort(numbers.begin(), numbers.end());
            for (int n : numbers)
                if (n >= 1 && n <= ChannelsPerGroup) matches.append({g, n});
        }
        if (matches.isEmpty()) {
            m_findStatus->setText(
                tr2("No channel has a frequency with %1.", "没有信道的频率包含 %1。").arg(query));
            return;
        }
        // The next match after the row shown, round to the first.
        const std::pair<int, int> here{m_doc.config().currentGroupIndex(), m_grid->currentRow()};
        auto next = std::find_if(matches.begin(), matches.end(), [&](auto m) { return m > here; });
        if (next == matches.end()) next = matches.begin();
        const auto [group, row] = *next;
        if (group != here.first) {
            m_groupList->setCurrentIndex(group);
            groupChosen(group);
        }
        commitEditor();
        hideEditors();
        {
            // Only shown: the typing stays in the find bar.
            const QSignalBlocker quiet(m_grid);
            m_grid->setCurrentCell(row, ColRx);
        }
        m_grid->scrollToItem(m_grid->item(row, ColRx));
        m_titleChannel = row;
        updateTitle();
        m_rowAnchor = row;
        selectRows({row});
        m_findStatus->setText(tr2("%1 of %2: channel %3", "第 %1 个，共 %2 个：信道 %3")
                                  .arg(int(next - matches.begin()) + 1)
                                  .arg(matches.size())
                                  .arg(groupLetter(group) + QString::number(row)));
    });
}
