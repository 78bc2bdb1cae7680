// The document's changes of the channel table: cells, added, deleted, pasted and imported
// channels, and the emergency channels that follow them. Each ends its own step of the user's
// editing.

#include "channelrules.h"
#include "core/config/messages.h"
#include "core/config/optionwords.h"

void Document::setChannelCell(int channelNo, int column, const QString& value) {
    QString v = value;
    if (!v.isEmpty() && (column == ColRx || column == ColTx))
        v = formatTypedFrequency(*this, v, column == ColTx && m_product->clampOutOfRange);

    const int g = m_config.currentGroupIndex();
    const int place = findChannelPlace(*this, g, channelNo);
    if (place > 0) {
        if (v.isEmpty() && column == ColRx) {
            // The last channel of a group cannot be deleted.
            if (m_config.groupChannelCount[size_t(g)] > 1) {
                deleteChannelEntry(place, g);
                refreshEmergencyChannels();
            }
        } else {
            if (v.isEmpty() && column == ColTx)
                v = shownFrequency(*this, m_config.entry(g, place).rxFreq.text());
            setChannelItem(place, column, v);
        }
    } else if (!v.isEmpty() && column == ColRx) {
        appendChannel(g, channelNo, v);
        refreshEmergencyChannels();
    }
    emit notifier().channelRowChanged(channelNo);
    finishEdit(cellChangeCaption(g, channelNo, column));
}

void Document::addChannel(int group, int channelNo, const QString& shownFreq) {
    if (findChannelPlace(*this, group, channelNo) > 0) return; // numbers are unique in a group
    appendChannel(group, channelNo, shownFreq);
    emit notifier().channelRowChanged(channelNo);
    finishEdit(cellChangeCaption(group, channelNo, ColRx));
}
void Document::setChannelItem(int place, int column, const QString& value) {
    const int g = m_config.currentGroupIndex();
    if (place < 1 || place > ChannelsPerGroup) return;
    ChannelEntry& e = m_config.entry(g, place);
    const bool linked =
        m_product->linkedRxTx && m_config.optionWords[OptionWord::SingleChangeFrequency] == 0;
    switch (column) {
    case ColRx:
    case ColTx: {
        const QString stored = storedFrequency(*this, value);
        if (column == ColRx || linked) e.rxFreq.assign(stored);
        if (column == ColTx || linked) e.txFreq.assign(stored);
        break;
    }
    case ColScan:
        e.scanFlag = int16_t(value.toInt());
        break;
    default:
        if (column >= ColFirstFlag && column <= ColLastFlag)
            e.channelFlags[size_t(column - 2)] = int16_t(value.toInt());
        break;
    }
}

void Document::deleteChannelEntry(int place, int group) {
    auto& count = m_config.groupChannelCount.at(size_t(group));
    if (count < 1 || place < 1) return;
    // A damaged file may claim more than 60 places; only the 60 that exist move up.
    count = int16_t(std::min<int>(count, ChannelsPerGroup) - 1);
    for (int j = place; j <= count; ++j)
        m_config.entry(group, j) = m_config.entry(group, j + 1);
}

QList<int> Document::deleteChannels(int group, const QList<int>& channelNos) {
    QList<int> deleted;
    for (int n : channelNos) {
        const int place = findChannelPlace(*this, group, n);
        if (place == 0 || m_config.groupChannelCount.at(size_t(group)) <= 1) continue;
        deleteChannelEntry(place, group);
        deleted << n;
    }
    if (deleted.isEmpty()) return deleted;
    refreshEmergencyChannels();
    for (int n : deleted)
        emit notifier().channelRowChanged(n);
    finishEdit(tr2("Delete Channels", "删除信道"));
    return deleted;
}

void Document::pasteChannels(int group, const QList<ChannelEntry>& entries) {
    for (const ChannelEntry& e : entries) {
        int place = findChannelPlace(*this, group, e.channelNo);
        if (place == 0) {
            auto& count = m_config.groupChannelCount[size_t(group)];
            count = int16_t(std::clamp<int>(count, 0, ChannelsPerGroup - 1) + 1);
            place = count;
        }
        m_config.entry(group, place) = e;
    }
    refreshEmergencyChannels();
    for (const ChannelEntry& e : entries)
        emit notifier().channelRowChanged(e.channelNo);
    finishEdit(tr2("Paste Channels", "粘贴信道"));
}

void Document::importChannels(const std::array<QList<ChannelEntry>, GroupCount>& groups) {
    for (int g = 0; g < GroupCount; ++g) {
        const QList<ChannelEntry>& list = groups[size_t(g)];
        if (list.isEmpty()) continue;
        for (qsizetype k = 0; k < list.size() && k < ChannelsPerGroup; ++k)
            m_config.entry(g, int(k) + 1) = list.at(k);
        m_config.groupChannelCount[size_t(g)] =
            int16_t(std::min<qsizetype>(list.size(), ChannelsPerGroup));
    }
    refreshEmergencyChannels();
    finishEdit(tr2("Import Channels", "导入信道"));
}

void Document::setEmergencyChannel(int group, int channelNo, const QString& caption) {
    change(caption, [&](RadioConfig& c) {
        c.optionWords[size_t(OptionWord::FirstEmergencyChannel + group)] = int16_t(channelNo - 1);
    });
}
void Document::refreshEmergencyChannels() {
    for (int k = 0; k < GroupCount; ++k) {
        auto& word = m_config.optionWords[size_t(OptionWord::FirstEmergencyChannel) + size_t(k)];
        word = int16_t(emergencyChannelFor(*this, k, word + 1) - 1);
    }
    // The lists are rebuilt after the words so that they show the corrected choices.
    emit notifier().emergencyListsChanged();
}
