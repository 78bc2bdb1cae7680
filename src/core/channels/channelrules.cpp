#include "channelrules.h"

#include "core/config/messages.h"
#include "core/config/optionwords.h"

#include <cfenv>
#include <cmath>

namespace {

// Nearest 32-bit integer, ties to even.
int32_t roundEven32(double v) {
    return int32_t(std::nearbyint(v));
}
} // namespace

QString channelFlagName(int flag) {
    static const char* const names[8] = {"",       "BUSY",   "VOIC",   "ECHO",
                                         "HI-CUT", "+10KHz", "NB/ANL", "RB"};
    return flag >= 1 && flag <= 7 ? QLatin1String(names[flag]) : QString();
}

QString groupLetter(int group) {
    return QString(QChar(QLatin1Char(char('A' + group))));
}

int groupFromLetter(const QString& text) {
    const QString t = text.trimmed().toUpper();
    if (t.size() != 1) return -1;
    const int g = t.at(0).unicode() - 'A';
    return g >= 0 && g < GroupCount ? g : -1;
}

QStringList channelColumnHeaders(bool older, int language) {
    const auto t = [language](const char* en, const char* zh) { return tr2In(language, en, zh); };
    QStringList headers{t("CH No.", "信道"),
                        older ? t("Frequency", "频率") : t("RX Frequency", "接收频率"),
                        t("TX FreQuency", "发射频率")};
    for (int flag = 1; flag <= 7; ++flag)
        headers << channelFlagName(flag);
    return headers << (older ? t("Scan Add", "扫描添加") : t("Scan", "扫描"));
}

QString formatMhz(double mhz) {
    return QString::number(mhz, 'f', 6);
}

bool isNoFrequency(const QString& stored) {
    const QString t = trimSpaces(stored);
    return t.isEmpty() || t == QChar(0) || t == QLatin1String("FFFFFFFF");
}

QString shownFrequency(const Document& doc, const QString& stored) {
    if (isNoFrequency(stored)) return {};
    const QString s = trimSpaces(stored);
    if (isNumericText(s)) {
        double v = 0;
        isNumericText(s.left(2) + QLatin1Char('.') + s.mid(2), &v);
        return formatMhz(v);
    }
    showMessage(QStringLiteral("Not IsNumeric"));
    return shortestNumber(doc.lowerLimit);
}

QString listedFrequency(const Document& doc, const QByteArray& stored) {
    const QString s = shownFieldText(stored);
    if (isNoFrequency(s)) return {};
    return isNumericText(s) ? shownFrequency(doc, s) : s;
}

QString storedFrequency(const Document& doc, const QString& t) {
    return storedFrequencyText(t, doc.lowerLimit);
}

double snapToFrequencyStep(const Document& doc, double mhz) {
    const int32_t low = roundEven32(doc.lowerLimit * 1000000.0);
    int32_t hz = roundEven32(mhz * 1000000.0);
    const int32_t r = (hz - low) % 10;
    if (r != 0) hz -= r;
    return hz / 1000000.0;
}

double checkFrequencyRange(const Document& doc, double mhz, bool clampToLimit) {
    if (doc.lowerLimit <= mhz && mhz <= doc.upperLimit) return snapToFrequencyStep(doc, mhz);
    showMessage(messageText(Msg::OutOfRange), MsgIcon::Warning);
    if (!clampToLimit) return 0;
    return mhz < doc.lowerLimit ? doc.lowerLimit : doc.upperLimit;
}

double frequencyNotNumeric(const Document& doc, bool useLowerLimit) {
    showMessage(messageText(Msg::OutOfRange), MsgIcon::Warning);
    return useLowerLimit ? doc.lowerLimit : 0;
}

QString formatTypedFrequency(const Document& doc, const QString& typed, bool clampToLimit) {
    double v = 0;
    const double x = isNumericText(typed, &v) ? checkFrequencyRange(doc, v, clampToLimit)
                                              : frequencyNotNumeric(doc, clampToLimit);
    const QString text = formatMhz(x);
    return x == 0 ? QString() : text;
}

int findChannelPlace(const Document& doc, int group, int channelNo) {
    const int count = doc.config().groupChannelCount.at(size_t(group));
    for (int k = 1; k <= count && k <= ChannelsPerGroup; ++k)
        if (doc.config().entry(group, k).channelNo == channelNo) return k;
    return 0;
}

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

QString cellChangeCaption(int group, int channelNo, int column) {
    QString what;
    if (column == ColRx || column == ColTx)
        what = column == ColRx ? tr2("RX", "接收频率") : tr2("TX", "发射频率");
    else if (column == ColScan)
        what = tr2("Scan", "扫描");
    else
        what = channelFlagName(column - 2);
    const QString channel = groupLetter(group) + QString::number(channelNo);
    return tr2("Change %1 of %2", "修改 %2 %1").arg(what, channel);
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

int emergencyChannelFor(const Document& doc, int group, int channelNo) {
    const int count =
        std::min<int>(doc.config().groupChannelCount.at(size_t(group)), ChannelsPerGroup);
    const int fallback = count >= 1 ? doc.config().entry(group, 1).channelNo : 0;
    return findChannelPlace(doc, group, channelNo) > 0 ? channelNo : fallback;
}

void Document::refreshEmergencyChannels() {
    for (int k = 0; k < GroupCount; ++k) {
        auto& word = m_config.optionWords[size_t(OptionWord::FirstEmergencyChannel) + size_t(k)];
        word = int16_t(emergencyChannelFor(*this, k, word + 1) - 1);
    }
    // The lists are rebuilt after the words so that they show the corrected choices.
    emit notifier().emergencyListsChanged();
}
