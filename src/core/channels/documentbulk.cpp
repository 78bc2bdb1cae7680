// The document's edits of many channels of the current group at once: one cell for several
// channels, frequencies filled in steps, the group sorted by frequency, channels moved up or
// down and a channel number freed. Each checks everything before it changes anything and ends
// one step of the user's editing.

#include "channelrules.h"
#include "core/config/messages.h"
#include "core/config/optionwords.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace {

// Nearest integer of v, held to ±10^15 so that any number typed (1e300 is a number too)
// converts safely; that is far beyond every band.
int64_t rounded(double v) {
    constexpr double Far = 1e15;
    return std::llround(std::isfinite(v) ? std::clamp(v, -Far, Far) : Far);
}

int64_t toHz(double mhz) {
    return rounded(mhz * 1000000.0);
}

QString mhzText(int64_t hz) {
    return formatMhz(double(hz) / 1000000.0);
}

// "Channel A7: RX 31.200000 MHz is outside the band 25.605000 - 30.115000 MHz", or empty
// when the frequency is inside the band.
QString outsideBand(const Document& doc, const QString& where, int64_t hz) {
    if (toHz(doc.lowerLimit()) <= hz && hz <= toHz(doc.upperLimit())) return {};
    const QString text =
        tr2("%1 MHz is outside the band %2 - %3 MHz.", "%1 MHz 超出频段 %2 - %3 MHz。")
            .arg(mhzText(hz), formatMhz(doc.lowerLimit()), formatMhz(doc.upperLimit()));
    return where.isEmpty() ? text : where + QStringLiteral(": ") + text;
}

QString columnName(int column) {
    if (column == ColRx) return tr2("RX", "接收频率");
    if (column == ColTx) return tr2("TX", "发射频率");
    if (column == ColScan) return tr2("Scan", "扫描");
    return channelFlagName(column - 2);
}

QString channelName(int group, int channelNo) {
    return groupLetter(group) + QString::number(channelNo);
}

// Distinct channel numbers 1..60 of the list, ascending.
QList<int> validNumbers(QList<int> numbers) {
    numbers.removeIf([](int n) { return n < 1 || n > ChannelsPerGroup; });
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    return numbers;
}

bool linkedFrequencies(const Document& doc) {
    return doc.product().linkedRxTx &&
           doc.config().optionWords[OptionWord::SingleChangeFrequency] == 0;
}

using Renumbering = std::array<int, ChannelsPerGroup + 1>;

Renumbering identity() {
    Renumbering to{};
    std::iota(to.begin(), to.end(), 0);
    return to;
}

} // namespace

QStringList Document::setChannelsCell(const QList<int>& channelNos, int column,
                                      const QString& value) {
    const QList<int> numbers = validNumbers(channelNos);
    const int g = m_config.currentGroupIndex();
    const bool frequency = column == ColRx || column == ColTx;
    QString shown = value.trimmed();
    if (frequency && !shown.isEmpty()) {
        double mhz = 0;
        if (!isNumericText(shown, &mhz))
            return {tr2("\"%1\" is not a frequency in MHz.", "“%1”不是以 MHz 为单位的频率。")
                        .arg(shown)};
        const QString problem = outsideBand(*this, {}, toHz(mhz));
        if (!problem.isEmpty()) return {problem};
        shown = formatMhz(snapToFrequencyStep(*this, mhz));
    }
    if (numbers.isEmpty() || column < ColRx || column > ColScan) return {};

    bool channelsChanged = false;
    if (column == ColRx && shown.isEmpty()) {
        // An empty RX deletes the channels; the group keeps its last one.
        for (int n : numbers) {
            const int place = findChannelPlace(*this, g, n);
            if (place == 0 || m_config.groupChannelCount[size_t(g)] <= 1) continue;
            deleteChannelEntry(place, g);
            channelsChanged = true;
        }
    } else {
        for (int n : numbers) {
            const int place = findChannelPlace(*this, g, n);
            if (place > 0) {
                const QString v =
                    column == ColTx && shown.isEmpty()
                        ? shownFrequency(*this, m_config.entry(g, place).rxFreq.text())
                        : shown;
                setChannelItem(place, column, v);
            } else if (column == ColRx) {
                appendChannel(g, n, shown);
                channelsChanged = true;
            }
        }
    }
    if (channelsChanged) refreshEmergencyChannels();
    for (int n : numbers)
        emit notifier().channelRowChanged(n);
    finishEdit(tr2("Change %1 of %2 Channels", "修改 %2 个信道的%1")
                   .arg(columnName(column), QString::number(numbers.size())));
    return {};
}

QStringList Document::fillFrequencies(const QList<int>& channelNos, double firstRxMhz,
                                      double stepKhz, double txOffsetKhz) {
    const QList<int> numbers = validNumbers(channelNos);
    const int g = m_config.currentGroupIndex();
    const int64_t offsetHz = rounded(txOffsetKhz * 1000.0);
    if (offsetHz != 0 && linkedFrequencies(*this))
        return {tr2("TX cannot be offset from RX: while the option \"Single Change Frequency\" "
                    "is off the two stay equal.",
                    "发射频率不能与接收频率偏移：未选“允许独立改变频率”时两者必须相同。")};
    QStringList problems;
    QList<std::pair<QString, QString>> planned; // RX and TX of each channel, shown form
    for (qsizetype i = 0; i < numbers.size(); ++i) {
        const int64_t wanted = toHz(firstRxMhz) + rounded(stepKhz * 1000.0 * double(i));
        // Onto the radio's step, TX too (it keeps only 10 Hz steps); a frequency outside the
        // band is reported as asked for.
        const auto onStep = [this](int64_t hz) {
            return outsideBand(*this, {}, hz).isEmpty()
                       ? toHz(snapToFrequencyStep(*this, double(hz) / 1000000.0))
                       : hz;
        };
        const int64_t rx = onStep(wanted);
        const int64_t tx = onStep(rx + offsetHz);
        const QString channel = tr2("Channel %1", "信道 %1").arg(channelName(g, numbers[i]));
        for (const auto& [what, hz] :
             {std::pair{tr2("RX", "接收频率"), rx}, std::pair{tr2("TX", "发射频率"), tx}}) {
            const QString problem = outsideBand(*this, channel + QLatin1Char(' ') + what, hz);
            if (!problem.isEmpty()) problems << problem;
        }
        planned.append({mhzText(rx), mhzText(tx)});
    }
    if (!problems.isEmpty() || numbers.isEmpty()) return problems;

    bool added = false;
    for (qsizetype i = 0; i < numbers.size(); ++i) {
        int place = findChannelPlace(*this, g, numbers[i]);
        if (place == 0) {
            appendChannel(g, numbers[i], planned[i].first);
            place = m_config.groupChannelCount[size_t(g)];
            added = true;
        }
        ChannelEntry& e = m_config.entry(g, place);
        e.rxFreq.assign(storedFrequency(*this, planned[i].first));
        e.txFreq.assign(storedFrequency(*this, planned[i].second));
    }
    if (added) refreshEmergencyChannels();
    for (int n : numbers)
        emit notifier().channelRowChanged(n);
    finishEdit(tr2("Fill Frequencies", "填充频率"));
    return {};
}

void Document::sortGroupByFrequency() {
    const int g = m_config.currentGroupIndex();
    const int count = std::clamp<int>(m_config.groupChannelCount[size_t(g)], 0, ChannelsPerGroup);
    struct Channel {
        int number;
        qint64 rxHz; // a damaged frequency sorts last
    };
    QList<Channel> channels;
    for (int place = 1; place <= count; ++place) {
        const ChannelEntry& e = m_config.entry(g, place);
        if (e.channelNo < 1 || e.channelNo > ChannelsPerGroup) continue; // damaged: left alone
        double hz = 0;
        const bool numeric = isNumericText(e.rxFreq.text().trimmed(), &hz);
        channels.append({e.channelNo, numeric ? qint64(hz) : std::numeric_limits<qint64>::max()});
    }
    QList<int> numbers;
    for (const Channel& c : channels)
        numbers << c.number;
    std::sort(numbers.begin(), numbers.end());
    std::stable_sort(channels.begin(), channels.end(), [](const Channel& a, const Channel& b) {
        return a.rxHz != b.rxHz ? a.rxHz < b.rxHz : a.number < b.number;
    });
    Renumbering to = identity();
    for (qsizetype i = 0; i < channels.size(); ++i)
        to[size_t(channels[i].number)] = numbers[i];
    renumberChannels(to, tr2("Sort by Frequency", "按频率排序"));
}

QStringList Document::moveChannels(const QList<int>& channelNos, int delta) {
    const QList<int> numbers = validNumbers(channelNos);
    if (numbers.isEmpty() || (delta != -1 && delta != 1)) return {};
    if (delta < 0 && numbers.first() == 1)
        return {tr2("Channel 1 cannot move up: it is the first channel number.",
                    "信道 1 不能上移：它是第一个信道号。")};
    if (delta > 0 && numbers.last() == ChannelsPerGroup)
        return {tr2("Channel 60 cannot move down: a group has no channel number past 60.",
                    "信道 60 不能下移：一组的信道号不超过 60。")};
    // Which old number each row holds after the move: each moved row trades places with the
    // row it passes, taken nearest first so that a block of rows moves as one.
    Renumbering at = identity();
    QList<int> order = numbers;
    if (delta > 0) std::reverse(order.begin(), order.end());
    for (int r : order)
        std::swap(at[size_t(r)], at[size_t(r + delta)]);
    Renumbering to{};
    for (int row = 1; row <= ChannelsPerGroup; ++row)
        to[size_t(at[size_t(row)])] = row;
    renumberChannels(to, delta < 0 ? tr2("Move Channels Up", "上移信道")
                                   : tr2("Move Channels Down", "下移信道"));
    return {};
}

QStringList Document::insertChannelBefore(int channelNo) {
    if (channelNo < 1 || channelNo > ChannelsPerGroup) return {};
    const int g = m_config.currentGroupIndex();
    int freeNo = channelNo;
    while (freeNo <= ChannelsPerGroup && findChannelPlace(*this, g, freeNo) > 0)
        ++freeNo;
    if (freeNo > ChannelsPerGroup)
        return {tr2("No channel number is free from %1 to 60: channel 60 would run past 60.",
                    "从 %1 到 60 没有空闲的信道号：信道 60 将超过 60。")
                    .arg(channelNo)};
    Renumbering to = identity();
    for (int n = channelNo; n < freeNo; ++n)
        to[size_t(n)] = n + 1;
    renumberChannels(to, tr2("Insert Channel", "插入信道"));
    return {};
}

void Document::renumberChannels(const Renumbering& to, const QString& caption) {
    const int g = m_config.currentGroupIndex();
    const int count = std::clamp<int>(m_config.groupChannelCount[size_t(g)], 0, ChannelsPerGroup);
    for (int place = 1; place <= count; ++place) {
        int16_t& n = m_config.entry(g, place).channelNo;
        if (n >= 1 && n <= ChannelsPerGroup) n = int16_t(to[size_t(n)]);
    }
    // The emergency channel stays on its channel under its new number.
    auto& word = m_config.optionWords[size_t(OptionWord::FirstEmergencyChannel + g)];
    if (word + 1 >= 1 && word + 1 <= ChannelsPerGroup) word = int16_t(to[size_t(word + 1)] - 1);
    emit notifier().configurationReplaced();
    finishEdit(caption);
}
