#include "channelgridwindow.h"

#include "core/channels/channelrules.h"
#include "exchange/channelcsv.h"
#include "ui/common/editorsupport.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <algorithm>

// Whole rows of the channel grid: selected by their channel numbers (Shift and Ctrl extend),
// copied to the clipboard as a spreadsheet takes them, pasted from the clipboard into the
// group shown, and deleted.

void ChannelGridWindow::channelNumberPressed(int row, Qt::KeyboardModifiers modifiers) {
    runTrapped("frmCommChInfo_SelectRows", [&] {
        // A value still in the editor belongs to its cell, not to the rows chosen now.
        commitEditor();
        hideEditors();
        QList<int> rows;
        if ((modifiers & Qt::ShiftModifier) && m_rowAnchor > 0) {
            for (int r = std::min(m_rowAnchor, row); r <= std::max(m_rowAnchor, row); ++r)
                rows << r;
        } else if (modifiers & Qt::ControlModifier) {
            rows = m_selectedRows;
            if (rows.contains(row))
                rows.removeAll(row);
            else
                rows << row;
            m_rowAnchor = row;
        } else {
            rows << row;
            m_rowAnchor = row;
        }
        selectRows(rows);
    });
}

void ChannelGridWindow::selectRows(const QList<int>& wanted) {
    const QList<int> rows = wanted; // may be m_selectedRows itself
    m_selectedRows.clear();
    for (int r : rows)
        if (r >= 1 && r <= ChannelsPerGroup && !m_selectedRows.contains(r)) m_selectedRows << r;
    std::sort(m_selectedRows.begin(), m_selectedRows.end());
    if (!m_selectedRows.isEmpty() && m_rowAnchor == 0) m_rowAnchor = m_selectedRows.first();
    m_grid->clearSelection();
    for (int r : m_selectedRows)
        m_grid->setRangeSelected(QTableWidgetSelectionRange(r, ColRx, r, ColScan), true);
}

void ChannelGridWindow::clearRowSelection() {
    if (m_selectedRows.isEmpty()) return;
    m_selectedRows.clear();
    m_rowAnchor = 0;
    m_grid->clearSelection();
}

// Keys on selected rows: Ctrl+C, Ctrl+V, Delete. True when consumed.
bool ChannelGridWindow::rowKey(const QKeyEvent* key) {
    if (m_selectedRows.isEmpty()) return false;
    if (key->matches(QKeySequence::Copy)) {
        copyRows();
        return true;
    }
    if (key->matches(QKeySequence::Paste)) {
        pasteRows();
        return true;
    }
    if (key->key() == Qt::Key_Delete || key->key() == Qt::Key_Backspace) {
        deleteRows();
        return true;
    }
    return false;
}

void ChannelGridWindow::copyRows() {
    runTrapped("frmCommChInfo_CopyRows", [&] {
        if (m_selectedRows.isEmpty()) return;
        QGuiApplication::clipboard()->setText(QString::fromUtf8(
            channelRowsText(m_doc, m_doc.config().currentGroupIndex(), m_selectedRows)));
    });
}

void ChannelGridWindow::pasteRows() {
    runTrapped("frmCommChInfo_PasteRows", [&] {
        if (m_selectedRows.isEmpty()) return;
        QString clipboard = QGuiApplication::clipboard()->text();
        // More than a channel list can be is refused as too large, without converting it all.
        if (clipboard.size() > MaxChannelListBytes) clipboard.truncate(MaxChannelListBytes + 1);
        const QByteArray text = clipboard.toUtf8();
        const ChannelImportResult r = pasteChannelRows(
            m_doc, text, m_doc.config().currentGroupIndex(), m_selectedRows.first());
        if (!r.ok) {
            showRefusedChannels(tr2("No channels were pasted; the configuration is unchanged.",
                                    "未粘贴任何信道；配置未改变。"),
                                r.problems);
            return;
        }
        selectRows(r.channels);
    });
}

void ChannelGridWindow::deleteRows() {
    runTrapped("frmCommChInfo_DeleteRows", [&] {
        if (m_selectedRows.isEmpty()) return;
        m_doc.deleteChannels(m_doc.config().currentGroupIndex(), m_selectedRows);
        selectRows(m_selectedRows);
    });
}
