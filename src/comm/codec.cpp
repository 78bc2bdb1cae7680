#include "codec.h"

#include "config/messages.h"
#include "config/modelband.h"

#include <cmath>
#include <limits>

namespace {

constexpr int SlotBase = 0x0010;
constexpr int BitmapBytesPerGroup = 8;
constexpr int BitmapsSize = 2 * GroupCount * BitmapBytesPerGroup; // present + scan-add
constexpr int HeaderLength = 8;
constexpr int MessageLength = 32;
constexpr int MaxOffsetSteps = 0x7FFF; // 15 bits of 10 Hz steps
constexpr int SingleChangeDataWord = 18;

// Optional features block, offsets from its start. Bit-packed bytes hold several words.
enum class OptKind { Byte, Word16, Bits };
struct OptField {
    int offset;
    OptKind kind;
    int word;      // Byte/Word16: the word; Bits: the first word
    int count = 1; // Bits: number of words
    int firstBit = 0;
};
constexpr OptField OptionTable[] = {
    {0x00, OptKind::Byte, 0},         {0x01, OptKind::Word16, 1},       {0x03, OptKind::Byte, 2},
    {0x04, OptKind::Word16, 3},       {0x06, OptKind::Byte, 4},         {0x07, OptKind::Byte, 7},
    {0x08, OptKind::Byte, 8},         {0x09, OptKind::Byte, 9},         {0x0A, OptKind::Byte, 11},
    {0x0B, OptKind::Byte, 10},        {0x0C, OptKind::Bits, 12, 6, 0},  {0x0D, OptKind::Byte, 18},
    {0x0E, OptKind::Bits, 30, 7, 1},  {0x0F, OptKind::Byte, 20},        {0x10, OptKind::Byte, 5},
    {0x11, OptKind::Byte, 6},         {0x12, OptKind::Byte, 21},        {0x13, OptKind::Byte, 22},
    {0x14, OptKind::Byte, 23},        {0x15, OptKind::Byte, 24},        {0x16, OptKind::Byte, 25},
    {0x17, OptKind::Byte, 26},        {0x18, OptKind::Byte, 27},        {0x19, OptKind::Byte, 28},
    {0x1A, OptKind::Byte, 29},        {0x1B, OptKind::Byte, 37},        {0x1C, OptKind::Byte, 38},
    {0x1D, OptKind::Word16, 39},      {0x20, OptKind::Byte, 40},        {0x21, OptKind::Byte, 41},
};
constexpr int FirstEmergencyWord = 24;

QChar groupLetter(int g) { return QChar(QLatin1Char(char('A' + g))); }

QString channelName(int g, int n) {
    return tr2("Group %1 channel %2", "第 %1 组信道 %2").arg(groupLetter(g)).arg(n);
}

QString optionName(int word) { return tr2("Option setting %1", "可选功能设置 %1").arg(word); }

int slotAddress(const Product& p, int g, int n) {
    return SlotBase + (g * ChannelsPerGroup + n - 1) * p.slotSize;
}

bool bit(const QByteArray& image, int base, int g, int n) {
    const int at = base + g * BitmapBytesPerGroup + (n - 1) / 8;
    return (uint8_t(image.at(at)) >> ((n - 1) % 8)) & 1;
}

void setBit(QByteArray& image, int base, int g, int n) {
    const int at = base + g * BitmapBytesPerGroup + (n - 1) / 8;
    image[at] = char(uint8_t(image.at(at)) | (1u << ((n - 1) % 8)));
}

// A stored frequency as the radio takes it: trimmed, one final character 0 dropped, and
// filled with "0" to eight digits; empty or unset frequencies become "FFFFFFFF".
QString normalisedFrequency(const QString& stored) {
    QString t = stored;
    t.remove(QChar(0));
    if (trimSpaces(t).isEmpty() || trimSpaces(stored) == QLatin1String("FFFFFFFF"))
        return QStringLiteral("FFFFFFFF");
    t = trimSpaces(stored);
    if (t.endsWith(QChar(0))) t.chop(1);
    while (t.size() < 8) t += QLatin1Char('0');
    return t;
}

bool allDigits(const QString& s) {
    if (s.isEmpty()) return false;
    for (QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    return true;
}

// Two decimal digits per byte, most significant first.
QByteArray bcd(const QString& digits) {
    QByteArray out;
    for (qsizetype i = 0; i + 1 < digits.size(); i += 2)
        out += char(((digits.at(i).unicode() - '0') << 4) | (digits.at(i + 1).unicode() - '0'));
    return out;
}

// Ten-hertz steps, halves to even.
int tenHzSteps(qint64 hz) {
    qint64 q = hz / 10;
    const qint64 r = hz % 10;
    if (r > 5 || (r == 5 && (q & 1))) ++q;
    return int(std::min<qint64>(q, std::numeric_limits<int>::max()));
}

} // namespace

void ClearRadioImage(const Product& p, QByteArray& image) {
    image = QByteArray(p.memorySize, char(0xFF));
    image.replace(p.presentBase, BitmapsSize, QByteArray(BitmapsSize, '\0'));
}

std::optional<QByteArray> encodeFrequency(const Document& doc, const QString& stored) {
    const Product& p = doc.product();
    const QString f = normalisedFrequency(stored);
    double value = 0;
    if (p.bcdDigits == 8) {
        if (!isNumericText(f)) return QByteArray(4, char(0xFF));
        const QString digits = f.left(8);
        if (!allDigits(digits) || f.size() > 8) return std::nullopt;
        return bcd(digits);
    }
    if (!isNumericText(f, &value)) return QByteArray("\xFF\xFF\xFF\x00\x00", 5);
    const qint64 hz = qint64(std::llround(value));
    const qint64 lowEdge = std::llround(doc.lowerLimit * 1000000.0 + 10000.0);
    const qint64 highEdge = std::llround(doc.upperLimit * 1000000.0 - 10000.0);
    qint64 base = hz, offset = hz % 100;
    bool subtract = false;
    if (hz < lowEdge) {
        base = lowEdge;
        offset = lowEdge - hz;
        subtract = true;
    } else if (hz > highEdge) {
        base = highEdge;
        offset = hz - highEdge;
    }
    const QString baseText = QString::number(base);
    const int q = tenHzSteps(offset);
    if (base < 0 || baseText.size() != 8 || q > MaxOffsetSteps) return std::nullopt;
    QByteArray out = bcd(baseText.left(6));
    out += char(q & 0xFF);
    out += char(((q >> 8) & 0x7F) | (subtract ? 0x80 : 0));
    return out;
}

DecodedFrequency decodeFrequency(const Product& p, const QByteArray& bytes) {
    DecodedFrequency d;
    const int digitBytes = p.bcdDigits / 2;
    if (bytes.size() < digitBytes) return d;
    QString text = QString::fromLatin1(bytes.left(digitBytes).toHex()).toUpper();
    if (p.bcdDigits == 6) text += QLatin1String("00");
    if (p.bcdDigits == 6 && bytes.size() >= 5) {
        const uint8_t hi = uint8_t(bytes.at(4));
        const int steps = (hi & 0x7F) * 256 + uint8_t(bytes.at(3));
        d.extraHz = steps * 10;
        d.overflow = d.extraHz > 32767;
        if (hi & 0x80) d.extraHz = -d.extraHz;
    }
    if (!allDigits(text)) return d;
    d.numeric = true;
    const qint64 value = text.toLongLong() + (d.overflow ? 0 : d.extraHz);
    d.text = QString::number(value);
    if (value < 0 || d.text.size() > 8) d.overflow = true;
    return d;
}

std::optional<QString> BuildRadioImage(const Document& doc, QByteArray& image) {
    const Product& p = doc.product();
    const RadioConfig& c = doc.config;
    if (image.size() != p.memorySize)
        return tr2("The radio image has the wrong size.", "对讲机数据大小错误。");

    for (int g = 0; g < GroupCount; ++g) {
        const int count = c.groupChannelCount[size_t(g)];
        if (count < 0 || count > ChannelsPerGroup)
            return tr2("Group %1 holds %2 channels; a group holds 0 to 60.",
                       "第 %1 组有 %2 个信道；每组只能有 0 到 60 个。")
                .arg(groupLetter(g))
                .arg(count);
        for (int k = 1; k <= count; ++k) {
            const ChannelEntry& e = c.entry(g, k);
            const int n = e.channelNo;
            if (n < 1 || n > ChannelsPerGroup)
                return tr2("Group %1 has a channel numbered %2; channels are numbered 1 to 60.",
                           "第 %1 组有编号为 %2 的信道；信道编号只能是 1 到 60。")
                    .arg(groupLetter(g))
                    .arg(n);
            const int slot = slotAddress(p, g, n);
            const auto rx = encodeFrequency(doc, e.rxFreq.text());
            const auto tx = encodeFrequency(doc, e.txFreq.text());
            if (!rx || !tx)
                return tr2("%1: the %2 frequency cannot be stored in the radio (too far outside "
                           "the band %3).",
                           "%1：%2频率无法写入对讲机（超出频段 %3 太远）。")
                    .arg(channelName(g, n),
                         !rx ? tr2("receive", "接收") : tr2("transmit", "发射"), doc.currentBand);
            image.replace(slot, rx->size(), *rx);
            image.replace(slot + rx->size(), tx->size(), *tx);
            int flags = 0;
            for (int i = 1; i <= 7; ++i) {
                const int v = e.channelFlags[size_t(i)];
                if (v != 0 && v != 1)
                    return tr2("%1: channel setting %2 holds %3; it must be 0 or 1.",
                               "%1：信道设置 %2 的值为 %3；只能是 0 或 1。")
                        .arg(channelName(g, n))
                        .arg(i)
                        .arg(v);
                flags |= v << i;
            }
            image[slot + rx->size() + tx->size()] = char(flags);
            setBit(image, p.presentBase, g, n);
            if (e.scanFlag == 1) setBit(image, p.scanBase, g, n);
        }
    }

    const ModelInfo& mi = c.modelInfo;
    if (mi.bandCode < 0 || mi.bandCode > 255 || mi.modelCode < 0 || mi.modelCode > 255)
        return tr2("The model or band code of this configuration cannot be sent to a radio.",
                   "此配置的机型或频段代码无法写入对讲机。");
    QByteArray header("PSOLV");
    header += char(mi.bandCode);
    header += char(mi.modelCode);
    header += char(0xFF);
    image.replace(p.headerBase, HeaderLength, header);

    const int groupsWithChannels = GroupCount;
    for (const OptField& f : OptionTable) {
        if (f.word >= p.optionWordCount) continue;
        const int at = p.optionBase + f.offset;
        switch (f.kind) {
        case OptKind::Byte: {
            int v = c.optionWords[size_t(f.word)];
            const bool emergency =
                f.word >= FirstEmergencyWord && f.word < FirstEmergencyWord + groupsWithChannels;
            // An empty group has no emergency channel: its word is -1, sent as erased memory.
            if (emergency && v == -1) v = 0xFF;
            if (v < 0 || v > 255) return tr2("%1 holds %2; the radio takes 0 to 255.",
                                             "%1 的值为 %2；对讲机只接受 0 到 255。")
                                         .arg(optionName(f.word))
                                         .arg(v);
            image[at] = char(v);
            break;
        }
        case OptKind::Word16: {
            const int v = c.optionWords[size_t(f.word)];
            if (v < 0) return tr2("%1 holds %2; the radio takes 0 to 32767.",
                                  "%1 的值为 %2；对讲机只接受 0 到 32767。")
                              .arg(optionName(f.word))
                              .arg(v);
            image[at] = char((v >> 8) & 0xFF);
            image[at + 1] = char(v & 0xFF);
            break;
        }
        case OptKind::Bits: {
            int byte = 0;
            for (int i = 0; i < f.count; ++i) {
                const int w = f.word + i;
                const int v = c.optionWords[size_t(w)];
                if (v != 0 && v != 1)
                    return tr2("%1 holds %2; it must be 0 or 1.", "%1 的值为 %2；只能是 0 或 1。")
                        .arg(optionName(w))
                        .arg(v);
                byte |= v << (f.firstBit + i);
            }
            image[at] = char(byte);
            break;
        }
        }
    }
    Q_UNUSED(SingleChangeDataWord);

    const int lines[2] = {p.message1Base, p.message2Base};
    for (int line = 0; line < 2; ++line) {
        QByteArray text = c.embeddedMessage[size_t(line)].raw();
        while (text.startsWith(' ')) text.remove(0, 1);
        while (text.endsWith(' ')) text.chop(1);
        if (text.endsWith('\0')) text.chop(1);
        QByteArray out(MessageLength, char(0xFF));
        out.replace(0, std::min<int>(MessageLength, int(text.size())), text.left(MessageLength));
        image.replace(lines[line], MessageLength, out);
    }
    return std::nullopt;
}

std::optional<QString> ParseRadioImage(Document& doc, const QByteArray& image) {
    const Product& p = doc.product();
    if (image.size() != p.memorySize)
        return tr2("The radio image has the wrong size.", "对讲机数据大小错误。");
    RadioConfig c = doc.config;
    const int digitBytes = p.bcdDigits / 2;
    const int frequencyBytes = p.bcdDigits == 6 ? 5 : 4;
    Q_UNUSED(digitBytes);

    for (int g = 0; g < GroupCount; ++g) {
        int count = 0;
        for (int n = 1; n <= ChannelsPerGroup; ++n) {
            if (!bit(image, p.presentBase, g, n)) continue;
            const int slot = slotAddress(p, g, n);
            const DecodedFrequency rx = decodeFrequency(p, image.mid(slot, frequencyBytes));
            if (!rx.numeric) continue; // the radio ignores a channel whose digits are not BCD
            if (rx.overflow)
                return tr2("%1: the receive frequency offset is out of range.",
                           "%1：接收频率偏移超出范围。")
                    .arg(channelName(g, n));
            const DecodedFrequency tx =
                decodeFrequency(p, image.mid(slot + frequencyBytes, frequencyBytes));
            if (tx.numeric && tx.overflow)
                return tr2("%1: the transmit frequency offset is out of range.",
                           "%1：发射频率偏移超出范围。")
                    .arg(channelName(g, n));
            ChannelEntry& e = c.entry(g, ++count);
            e.scanFlag = bit(image, p.scanBase, g, n) ? 1 : 0;
            e.inUse = 1;
            e.channelNo = int16_t(n);
            e.rxFreq.assign(rx.text);
            if (p.hasChannelExtras) e.rxExtra = int16_t(rx.extraHz);
            // A transmit frequency that cannot be read takes the receive frequency, so the
            // radio never transmits on what an earlier channel left in this place.
            e.txFreq.assign(tx.numeric ? tx.text : rx.text);
            if (p.hasChannelExtras) e.txExtra = int16_t(tx.numeric ? tx.extraHz : 0);
            const uint8_t flags = uint8_t(image.at(slot + 2 * frequencyBytes));
            for (int i = 1; i <= 7; ++i) e.channelFlags[size_t(i)] = (flags >> i) & 1;
        }
        c.groupChannelCount[size_t(g)] = int16_t(count);
    }

    for (const OptField& f : OptionTable) {
        if (f.word >= p.optionWordCount) continue;
        const int at = p.optionBase + f.offset;
        const uint8_t b = uint8_t(image.at(at));
        switch (f.kind) {
        case OptKind::Byte: c.optionWords[size_t(f.word)] = b; break;
        case OptKind::Word16:
            if (b & 0x80)
                return tr2("%1 read from the radio is out of range.",
                           "从对讲机读取的%1超出范围。")
                    .arg(optionName(f.word));
            c.optionWords[size_t(f.word)] = int16_t((b << 8) | uint8_t(image.at(at + 1)));
            break;
        case OptKind::Bits:
            for (int i = 0; i < f.count; ++i)
                c.optionWords[size_t(f.word + i)] = (b >> (f.firstBit + i)) & 1;
            break;
        }
    }

    const int lines[2] = {p.message1Base, p.message2Base};
    for (int line = 0; line < 2; ++line) {
        QByteArray text = image.mid(lines[line], MessageLength);
        const qsizetype end = text.indexOf(char(0xFF));
        if (end >= 0) text.truncate(end);
        if (text.size() < MessageLength) text += '\0';
        c.embeddedMessage[size_t(line)].assign(text);
    }

    // The model header names model and band; the configuration follows the radio.
    ModelInfo& mi = c.modelInfo;
    mi.bandCode = uint8_t(image.at(p.headerBase + 5));
    mi.modelCode = uint8_t(image.at(p.headerBase + 6));
    const QString model = trimSpaces(modelTextFromIdentity(p, mi.modelCode, mi.bandCode));
    mi.modelName.assign(model);
    doc.config = c;
    doc.currentModel = cleanModelText(mi.modelName.text());
    doc.currentBand = bandText(p, mi.bandCode, doc.currentModel);
    doc.deriveLimits();
    return std::nullopt;
}

LocalInformation ParseLocalInformation(const Product& p, const QByteArray& image) {
    struct Field {
        int offset;
        int length;
        int box;
    };
    static constexpr Field fields[] = {{0x08, 4, 0},   {0x10, 16, 1},  {0x20, 16, 2},
                                       {0x30, 8, 6},   {0x38, 4, 7},   {0x40, 16, 3},
                                       {0x50, 16, 8},  {0x60, 16, 9},  {0x70, 16, 10},
                                       {0x80, 16, 11}, {0x90, 96, 4}};
    LocalInformation info;
    const int base = p.infoBase();
    for (const Field& f : fields) {
        if (base + f.offset + f.length > image.size()) continue;
        QByteArray text = image.mid(base + f.offset, f.length);
        for (qsizetype i = 0; i < text.size(); ++i)
            if (uint8_t(text.at(i)) == 0xFF || text.at(i) == '\0') {
                text.truncate(i);
                break;
            }
        info[size_t(f.box)] = QString::fromLatin1(text);
    }
    return info;
}
