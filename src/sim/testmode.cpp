#include "testmode.h"

#include "core/comm/testmode.h"
#include "core/config/document.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {
constexpr char Ack = 0x06;
constexpr int TransmitterCode = 0x08;

// A stored frequency in the radio's 8-digit form as 4 BCD bytes.
QByteArray bcd(const QString& digits) {
    return QByteArray::fromHex(digits.toLatin1());
}
} // namespace

TestModeRadio::TestModeRadio(const Product& product, int differ) {
    Document doc(product);
    doc.initialiseDefaults();
    const RadioConfig& c = doc.config();
    m_testFreqs.fill(QByteArray(8, char(0xFF)));
    const int count = std::clamp<int>(c.testFreqCount, 0, 16);
    for (int i = 0; i < count; ++i) {
        const TestFreqEntry& t = c.testFreqs[size_t(i)];
        if (t.number < 1 || t.number > 16) continue;
        m_testFreqs[size_t(t.number - 1)] =
            bcd(testFreqRadioText(t.rxFreq)) + bcd(testFreqRadioText(t.txFreq));
    }
    if (differ >= 1 && differ <= 16) {
        QByteArray& f = m_testFreqs[size_t(differ - 1)];
        if (f.startsWith(QByteArray(4, char(0xFF))))
            f = bcd(QStringLiteral("2700000027000000")); // an entry the program has none of
        else
            f[3] = char(uint8_t(f[3]) == 0x10 ? 0x20 : 0x10); // 100 Hz away
    }
    // Factory values spread over the byte range, so every parameter reads differently.
    for (int code = 0; code < int(m_live.size()); ++code)
        m_live[size_t(code)] = m_stored[size_t(code)] = uint8_t(40 + (code * 37) % 180);
}

int TestModeRadio::entryWordLength(const QByteArray& in) {
    const QByteArray word = testModeEntryWord();
    const qsizetype n = std::min(in.size(), word.size());
    return std::memcmp(in.constData(), word.constData(), size_t(n)) == 0 ? int(word.size()) : -1;
}

int TestModeRadio::frameLength(const QByteArray& in) const {
    switch (uint8_t(in.at(0))) {
    case 0x02:
    case 0x05:
    case 0x06:
    case 0x07:
    case 'E':
    case 'F':
    case 'G':
        return 1;
    case 0x10:
    case 0x11:
        return 2;
    case 'Q':
        return entryWordLength(in);
    default:
        if (in.size() < 2) return 0;
        switch (in.at(1)) {
        case 0x0D:
        case 0x0E:
        case 0x0A:
            return 2;
        case 0x20:
            return 3;
        default:
            return -1;
        }
    }
}

QByteArray TestModeRadio::parameterBlock() const {
    QByteArray block(ParameterBlockSize, char(0xFF));
    for (int code = 1; code < int(m_live.size()); ++code) {
        const int at = parameterBlockOffset(code);
        if (at >= 0) block[at] = char(m_live[size_t(code)]);
    }
    return block;
}

// The values of the item the selected parameter belongs to, for its levels that a read
// carries.
QByteArray TestModeRadio::valuesOfSelected() const {
    int item = 0;
    for (int i = 1; i <= TestItemCount && item == 0; ++i)
        for (int level = 0; level < TestLevelCount; ++level)
            if (m_selected != 0 && testParameterCode(i, level) == m_selected) item = i;
    if (item == 0) return QByteArray(1, char(m_live[size_t(m_selected & 0x7F)]));
    QByteArray values;
    for (const int level : testLevelsOfValues(testValueCount(item, m_wide)))
        values += char(m_live[size_t(testParameterCode(item, level))]);
    return values;
}

QByteArray TestModeRadio::handle(const QByteArray& frame, const QByteArray& identification) {
    const QByteArray ack(1, Ack);
    if (frame == testModeEntryWord()) {
        m_active = true;
        m_blockJustSent = m_valueJustSent = false;
        return ack;
    }
    if (!m_active) return {};
    const bool afterBlock = std::exchange(m_blockJustSent, false);
    const bool afterValue = std::exchange(m_valueJustSent, false);
    const uint8_t first = uint8_t(frame.at(0));
    if (frame.size() == 1) {
        switch (first) {
        case 0x02:
            return identification;
        case 0x05:
            m_blockJustSent = true;
            return parameterBlock();
        case 0x06:
            m_blockJustSent = afterBlock; // the acknowledge of the block itself
            return afterValue ? QByteArray() : ack;
        case 0x07:
            m_valueJustSent = true;
            return valuesOfSelected();
        case 'E':
            m_active = false;
            m_transmitting = false;
            return ack;
        case 'F':
            m_wide = true;
            return ack;
        case 'G':
            m_wide = false;
            return ack;
        default:
            return {};
        }
    }
    const int x = uint8_t(frame.at(1));
    if (first == 0x10) {
        m_channel = x;
        return x >= 1 && x <= 16 ? m_testFreqs[size_t(x - 1)] : QByteArray(8, char(0xFF));
    }
    if (first == 0x11) {
        m_signalling = x;
        return ack;
    }
    const size_t code = first & 0x7F;
    switch (frame.at(1)) {
    case 0x0D:
        if (first == TransmitterCode) {
            m_transmitting = false;
            return ack;
        }
        m_selected = first;
        return afterBlock ? ack : QByteArray();
    case 0x0E:
        if (first == TransmitterCode) {
            m_transmitting = true;
            return ack;
        }
        m_stored[code] = m_live[code];
        return {};
    case 0x0A: {
        m_valueJustSent = true;
        // A live reading wanders a little from one read to the next.
        const int value = std::clamp(int(m_live[code]) + (m_reads++ % 3) - 1, 0, 255);
        return QByteArray(1, char(value));
    }
    case 0x20:
        if (frame.size() == 3) m_live[code] = uint8_t(frame.at(2));
        return {};
    default:
        return {};
    }
}
