#include "codec.h"

#include "core/channels/channelrules.h"
#include "core/config/optionwords.h"

#include <algorithm>
#include <cmath>

namespace {

// Channel slots start right after the radio's own 16-byte header in both radios.
constexpr int SlotBase = 0x0010;
constexpr int BitmapBytesPerGroup = 8; // 64 bits per group; channels 61..64 stay 0
constexpr int MessageLength = 32;
constexpr int StoredDigits = 8;     // a stored frequency is 8 decimal digits of Hz
constexpr int EdgeMarginHz = 10000; // base digits stay 10 kHz inside the band limits
// The offset field has 15 bits of 10 Hz steps, but RxExtra/TxExtra keep the offset in Hz as a
// 16-bit number: only 3276 steps (32760 Hz) come back from a read. The build refuses anything
// farther, so that a write never leaves a radio whose memory cannot be read back.
constexpr int MaxOffsetSteps = 3276;
constexpr qint64 MinBaseHz = 10000000; // the base digits are the first six of an 8-digit value
constexpr qint64 MaxBaseHz = 99999999;

// Model header as a built image holds it; the identification reply replaces it in every
// session, so the radio always gets its own header back.
//   +0 0x50  +1..+4 "SOLV"  +5 band code  +6 model class  +7 0xFF
constexpr char HeaderTag[] = "PSOLV";
constexpr int HeaderBandOffset = 5;
constexpr int HeaderClassOffset = 6;
constexpr int HeaderEndOffset = 7;

// Optional features, offsets from the product's option base (meridox 0x1D60, solvir 0x0E80;
// solvir stops after the emergency channels, its words 37..41 do not exist).
//   +00 w0      +06 w4   +0C bits w12..w17 (bit 0..5)   +12 w21   +1B w37
//   +01 w1 BE   +07 w7   +0D w18                        +13 w22   +1C w38
//   +03 w2      +08 w8   +0E bits w30..w36 (bit 1..7)   +14 w23   +1D w39 BE
//   +04 w3 BE   +09 w9   +0F w20   +10 w5   +11 w6      +15..+1A w24..w29   +1F untouched
//               +0A w11  +0B w10                        +20 w40   +21 w41
// Word 19 lives only in the configuration; the radio has no place for it.
enum class OptionKind { Byte, Word16, Bit };
struct OptionField {
    int word;
    int offset;
    OptionKind kind;
    int bit = 0;
};
constexpr OptionField OptionFields[] = {
    {0, 0x00, OptionKind::Byte},    {1, 0x01, OptionKind::Word16},  {2, 0x03, OptionKind::Byte},
    {3, 0x04, OptionKind::Word16},  {4, 0x06, OptionKind::Byte},    {7, 0x07, OptionKind::Byte},
    {8, 0x08, OptionKind::Byte},    {9, 0x09, OptionKind::Byte},    {11, 0x0A, OptionKind::Byte},
    {10, 0x0B, OptionKind::Byte},   {12, 0x0C, OptionKind::Bit, 0}, {13, 0x0C, OptionKind::Bit, 1},
    {14, 0x0C, OptionKind::Bit, 2}, {15, 0x0C, OptionKind::Bit, 3}, {16, 0x0C, OptionKind::Bit, 4},
    {17, 0x0C, OptionKind::Bit, 5}, {18, 0x0D, OptionKind::Byte},   {30, 0x0E, OptionKind::Bit, 1},
    {31, 0x0E, OptionKind::Bit, 2}, {32, 0x0E, OptionKind::Bit, 3}, {33, 0x0E, OptionKind::Bit, 4},
    {34, 0x0E, OptionKind::Bit, 5}, {35, 0x0E, OptionKind::Bit, 6}, {36, 0x0E, OptionKind::Bit, 7},
    {20, 0x0F, OptionKind::Byte},   {5, 0x10, OptionKind::Byte},    {6, 0x11, OptionKind::Byte},
    {21, 0x12, OptionKind::Byte},   {22, 0x13, OptionKind::Byte},   {23, 0x14, OptionKind::Byte},
    {24, 0x15, OptionKind::Byte},   {25, 0x16, OptionKind::Byte},   {26, 0x17, OptionKind::Byte},
    {27, 0x18, OptionKind::Byte},   {28, 0x19, OptionKind::Byte},   {29, 0x1A, OptionKind::Byte},
    {37, 0x1B, OptionKind::Byte},   {38, 0x1C, OptionKind::Byte},   {39, 0x1D, OptionKind::Word16},
    {40, 0x20, OptionKind::Byte},   {41, 0x21, OptionKind::Byte},
};

// Local information area, offsets from its start; index is the FactoryInformationWindow text box
// Text1(i). Text1(5), the firmware version, does not come from this area.
struct InfoField {
    int index;
    int offset;
    int length;
};
constexpr InfoField InfoFields[] = {
    {0, 0x08, 4},  {1, 0x10, 16}, {2, 0x20, 16},  {6, 0x30, 8},   {7, 0x38, 4},  {3, 0x40, 16},
    {8, 0x50, 16}, {9, 0x60, 16}, {10, 0x70, 16}, {11, 0x80, 16}, {4, 0x90, 96},
};

// Every access to the image goes through these two: nothing outside the buffer is touched.
uint8_t byteAt(const QByteArray& image, qsizetype address) {
    return address >= 0 && address < image.size() ? uint8_t(image.at(address)) : 0xFF;
}
void putByte(QByteArray& image, qsizetype address, int value) {
    if (address >= 0 && address < image.size()) image[address] = char(value & 0xFF);
}
QByteArray bytesAt(const QByteArray& image, qsizetype address, int length) {
    QByteArray out(length, char(0xFF));
    for (int i = 0; i < length; ++i)
        out[i] = char(byteAt(image, address + i));
    return out;
}

bool isBcd(uint8_t b) {
    return (b >> 4) <= 9 && (b & 0x0F) <= 9;
}

// Bytes of one frequency in a slot: the BCD digits, then (meridox) offset low and sign/high.
int frequencySize(const Product& p) {
    return p.bcdDigits / 2 + (p.hasChannelExtras ? 2 : 0);
}

int slotAddress(const Product& p, int group, int channelNo) {
    return SlotBase + (group * ChannelsPerGroup + channelNo - 1) * p.slotSize;
}

struct BitPlace {
    int address;
    int mask;
};
BitPlace channelBit(int base, int group, int channelNo) {
    return {base + group * BitmapBytesPerGroup + (channelNo - 1) / 8, 1 << ((channelNo - 1) % 8)};
}

QString channelName(int group, int channelNo) {
    return QStringLiteral("Group %1 channel %2").arg(groupLetter(group)).arg(channelNo);
}
QString optionName(int word) {
    return QStringLiteral("Option word %1").arg(word);
}

std::optional<QString> wrongSize(const Product& p, const QByteArray& image) {
    if (image.size() == p.memorySize) return std::nullopt;
    return QStringLiteral("The radio memory image holds %1 bytes; this radio has %2.")
        .arg(image.size())
        .arg(p.memorySize);
}

// Nearest integer of v / 10, halves to even.
qint64 tenthsHalfEven(qint64 v) {
    const qint64 q = v / 10;
    const qint64 r = v % 10;
    if (r > 5 || (r == 5 && (q % 2) != 0)) return q + 1;
    return q;
}

// A band limit in MHz moved by marginHz, as whole Hz.
qint64 edgeHz(double mhz, int marginHz) {
    const double hz = std::clamp(mhz * 1000000.0 + marginHz, -1e15, 1e15);
    return qint64(std::nearbyint(hz));
}

// NoFrequency is no problem for a transmit frequency (the radio then transmits on the receive
// frequency) but is one for a receive frequency: a channel without it would be sent as present.
enum class EncodeProblem { None, NoFrequency, TooFar, NotRepresentable };
struct EncodedFrequency {
    QByteArray bytes;
    EncodeProblem problem = EncodeProblem::None;
    qint64 hz = 0;
};

EncodedFrequency encodeChecked(const Document& doc, const QString& stored) {
    const Product& p = doc.product();
    EncodedFrequency r;
    const int digitBytes = p.bcdDigits / 2;
    QByteArray none(digitBytes, char(0xFF));
    if (p.hasChannelExtras) none.append(2, '\0');

    // No frequency, or (below) a text that is no number at all: the radio keeps it unset.
    if (isNoFrequency(stored)) {
        r.bytes = none;
        r.problem = EncodeProblem::NoFrequency;
        return r;
    }
    // Trim, drop the terminating character 0 of a short text, fill up to 8 digits.
    QString t = trimSpaces(stored);
    if (t.endsWith(QChar(0))) t.chop(1);
    while (t.size() < StoredDigits)
        t.append(QLatin1Char('0'));
    if (!isNumericText(t)) {
        r.bytes = none;
        r.problem = EncodeProblem::NoFrequency;
        return r;
    }
    // Numeric, but not plain digits ("28.01500", "-2801500"), or longer than the stored form:
    // there is no byte form for it.
    const bool digits = std::all_of(t.cbegin(), t.cend(), [](QChar c) {
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    });
    if (!digits || t.size() > StoredDigits) {
        r.problem = EncodeProblem::NotRepresentable;
        return r;
    }
    const qint64 f = t.toLongLong();
    r.hz = f;

    if (p.bcdDigits >= StoredDigits) { // solvir: all eight digits, no offset
        for (int i = 0; i < digitBytes; ++i)
            r.bytes.append(char(t.mid(qsizetype(2) * i, 2).toInt(nullptr, 16)));
        return r;
    }

    // The base digits stay 10 kHz inside the band; the rest of the distance to the wanted
    // frequency travels as a signed offset of 10 Hz steps.
    const qint64 lowEdge = edgeHz(doc.lowerLimit(), EdgeMarginHz);
    const qint64 highEdge = edgeHz(doc.upperLimit(), -EdgeMarginHz);
    qint64 base = f, offset = f % 100;
    bool subtract = false;
    if (f < lowEdge) {
        base = lowEdge;
        offset = lowEdge - f;
        subtract = true;
    } else if (f > highEdge) {
        base = highEdge;
        offset = f - highEdge;
    }
    const qint64 q = tenthsHalfEven(offset);
    if (q > MaxOffsetSteps) {
        r.problem = EncodeProblem::TooFar;
        return r;
    }
    if (base < MinBaseHz || base > MaxBaseHz) {
        r.problem = EncodeProblem::NotRepresentable;
        return r;
    }
    const QString baseText = QString::number(base);
    for (int i = 0; i < digitBytes; ++i)
        r.bytes.append(char(baseText.mid(qsizetype(2) * i, 2).toInt(nullptr, 16)));
    r.bytes.append(char(q & 0xFF));
    r.bytes.append(char((q >> 8) | (subtract ? 0x80 : 0)));
    return r;
}

QString encodeProblemText(const Document& doc, const QString& what, const QString& stored,
                          const EncodedFrequency& e) {
    if (e.problem == EncodeProblem::NoFrequency)
        return QStringLiteral("%1 \"%2\" is not a frequency; enter one or delete the channel.")
            .arg(what, trimSpaces(stored).remove(QChar(0)));
    if (e.problem == EncodeProblem::TooFar)
        return QStringLiteral("%1 %2 MHz is too far outside the band %3.")
            .arg(what, QString::number(double(e.hz) / 1000000.0, 'f', 6), doc.band());
    return QStringLiteral("%1 \"%2\" cannot be written to the radio.")
        .arg(what, trimSpaces(stored).remove(QChar(0)));
}

// A decoded frequency the stored form can hold: eight decimal digits.
bool fitsStoredForm(const QString& text) {
    return text.size() == StoredDigits && std::all_of(text.cbegin(), text.cend(), [](QChar c) {
               return c >= QLatin1Char('0') && c <= QLatin1Char('9');
           });
}

QByteArray trimmedMessage(const QByteArray& raw) {
    qsizetype b = 0, e = raw.size();
    while (b < e && raw.at(b) == ' ')
        ++b;
    while (e > b && raw.at(e - 1) == ' ')
        --e;
    QByteArray t = raw.mid(b, e - b);
    if (t.endsWith('\0')) t.chop(1);
    return t;
}

std::optional<QString> buildChannels(const Document& doc, QByteArray& image) {
    const Product& p = doc.product();
    const RadioConfig& c = doc.config();
    const int fs = frequencySize(p);
    for (int g = 0; g < GroupCount; ++g) {
        const int count = c.groupChannelCount[size_t(g)];
        if (count < 0 || count > ChannelsPerGroup)
            return QStringLiteral("Group %1: %2 channels in use; a group holds 0 to %3.")
                .arg(groupLetter(g))
                .arg(count)
                .arg(ChannelsPerGroup);
        std::array<bool, ChannelsPerGroup + 1> seen{};
        for (int k = 1; k <= count; ++k) {
            const ChannelEntry& e = c.entry(g, k);
            const int n = e.channelNo;
            if (n < 1 || n > ChannelsPerGroup)
                return QStringLiteral("Group %1 place %2: channel number %3 is outside 1 to %4.")
                    .arg(groupLetter(g))
                    .arg(k)
                    .arg(n)
                    .arg(ChannelsPerGroup);
            // The radio has one slot per channel number: a second entry would overwrite it.
            if (seen[size_t(n)])
                return QStringLiteral("%1 is in use twice.").arg(channelName(g, n));
            seen[size_t(n)] = true;

            const int slot = slotAddress(p, g, n);
            const EncodedFrequency rx = encodeChecked(doc, e.rxFreq.text());
            if (rx.problem != EncodeProblem::None)
                return channelName(g, n) + QStringLiteral(": ") +
                       encodeProblemText(doc, QStringLiteral("receive frequency"), e.rxFreq.text(),
                                         rx);
            const EncodedFrequency tx = encodeChecked(doc, e.txFreq.text());
            if (tx.problem != EncodeProblem::None && tx.problem != EncodeProblem::NoFrequency)
                return channelName(g, n) + QStringLiteral(": ") +
                       encodeProblemText(doc, QStringLiteral("transmit frequency"), e.txFreq.text(),
                                         tx);
            int flags = 0;
            for (int i = 1; i <= 7; ++i) {
                const int v = e.channelFlags[size_t(i)];
                if (v != 0 && v != 1)
                    return QStringLiteral("%1: %2 is %3; a channel function is 0 or 1.")
                        .arg(channelName(g, n), channelFlagName(i))
                        .arg(v);
                flags |= v << i;
            }
            for (int i = 0; i < fs; ++i) {
                putByte(image, slot + i, uint8_t(rx.bytes.at(i)));
                putByte(image, slot + fs + i, uint8_t(tx.bytes.at(i)));
            }
            putByte(image, slot + 2 * fs, flags);

            const BitPlace present = channelBit(p.presentBase, g, n);
            putByte(image, present.address, byteAt(image, present.address) | present.mask);
            if (e.scanFlag == 1) {
                const BitPlace scan = channelBit(p.scanBase, g, n);
                putByte(image, scan.address, byteAt(image, scan.address) | scan.mask);
            }
        }
    }
    return std::nullopt;
}

std::optional<QString> buildOptions(const Document& doc, QByteArray& image) {
    const Product& p = doc.product();
    // The bit-packed bytes start from 0: their unused bits are 0, not the 0xFF of a cleared
    // image.
    for (const OptionField& f : OptionFields)
        if (f.kind == OptionKind::Bit && f.word < p.optionWordCount)
            putByte(image, p.optionBase + f.offset, 0);
    for (const OptionField& f : OptionFields) {
        if (f.word >= p.optionWordCount) continue;
        int v = doc.config().optionWords[size_t(f.word)];
        const int a = p.optionBase + f.offset;
        // A group without channels has no emergency channel (its word is -1): the radio gets
        // erased memory there.
        const int group = f.word - OptionWord::FirstEmergencyChannel;
        if (group >= 0 && group < GroupCount && v == -1 &&
            doc.config().groupChannelCount[size_t(group)] == 0)
            v = 0xFF;
        switch (f.kind) {
        case OptionKind::Byte:
            if (v < 0 || v > 255)
                return QStringLiteral("%1 is %2; the radio holds 0 to 255 there.")
                    .arg(optionName(f.word))
                    .arg(v);
            putByte(image, a, v);
            break;
        case OptionKind::Word16:
            if (v < 0 || v > 32767)
                return QStringLiteral("%1 is %2; the radio holds 0 to 32767 there.")
                    .arg(optionName(f.word))
                    .arg(v);
            putByte(image, a, v >> 8);
            putByte(image, a + 1, v & 0xFF);
            break;
        case OptionKind::Bit: {
            if (v != 0 && v != 1)
                return QStringLiteral("%1 is %2; the radio holds only off (0) or on (1).")
                    .arg(optionName(f.word))
                    .arg(v);
            putByte(image, a, byteAt(image, a) | (v << f.bit));
            break;
        }
        }
    }
    return std::nullopt;
}

} // namespace

void clearRadioImage(const Product& p, QByteArray& image) {
    image = QByteArray(p.memorySize, char(0xFF));
    // Both channel bitmaps start empty: no channel present, none in the scan list.
    for (const int base : {p.presentBase, p.scanBase})
        for (int i = 0; i < GroupCount * BitmapBytesPerGroup; ++i)
            putByte(image, base + i, 0x00);
}

std::optional<QByteArray> encodeFrequency(const Document& doc, const QString& stored) {
    EncodedFrequency e = encodeChecked(doc, stored);
    if (e.problem != EncodeProblem::None && e.problem != EncodeProblem::NoFrequency)
        return std::nullopt;
    return e.bytes;
}

DecodedFrequency decodeFrequency(const Product& p, const QByteArray& bytes) {
    DecodedFrequency d;
    const int digitBytes = p.bcdDigits / 2;
    const QByteArray field = bytesAt(bytes, 0, frequencySize(p)); // short input reads as unset
    bool bcd = true;
    QString text;
    for (int i = 0; i < digitBytes; ++i) {
        const uint8_t b = uint8_t(field.at(i));
        bcd = bcd && isBcd(b);
        text += QStringLiteral("%1").arg(int(b), 2, 16, QLatin1Char('0')).toUpper();
    }
    qint64 extra = 0;
    if (p.hasChannelExtras) {
        text += QLatin1String("00");
        const uint8_t low = uint8_t(field.at(digitBytes));
        const uint8_t high = uint8_t(field.at(digitBytes + 1));
        const int steps = (high & 0x7F) * 256 + low;
        d.overflow = steps > MaxOffsetSteps;
        // The extra keeps the offset's size; the sign only says which way it moves the digits.
        d.extraHz = steps * 10;
        extra = (high & 0x80) ? -qint64(d.extraHz) : qint64(d.extraHz);
    }
    d.numeric = bcd;
    if (!bcd) {
        d.text = text;
        return d;
    }
    const qint64 value = text.toLongLong() + extra;
    // Eight digits as the record stores them; a value outside them keeps its plain decimal
    // text so that the caller can see it does not fit.
    d.text = value >= 0 ? QStringLiteral("%1").arg(value, StoredDigits, 10, QLatin1Char('0'))
                        : QString::number(value);
    return d;
}

std::optional<QString> buildRadioImage(const Document& doc, QByteArray& image) {
    const Product& p = doc.product();
    if (auto e = wrongSize(p, image)) return e;
    // Built on a copy: a refused configuration leaves the caller's image as it was.
    QByteArray out = image;
    if (auto e = buildChannels(doc, out)) return e;

    const ModelInfo& mi = doc.config().modelInfo;
    if (mi.bandCode < 0 || mi.bandCode > 255)
        return QStringLiteral("Band code %1 does not fit the radio's model header.")
            .arg(mi.bandCode);
    if (mi.modelCode < 0 || mi.modelCode > 255)
        return QStringLiteral("Model class %1 does not fit the radio's model header.")
            .arg(mi.modelCode);
    for (int i = 0; i < 5; ++i)
        putByte(out, p.headerBase + i, HeaderTag[i]);
    putByte(out, p.headerBase + HeaderBandOffset, mi.bandCode);
    putByte(out, p.headerBase + HeaderClassOffset, mi.modelCode);
    putByte(out, p.headerBase + HeaderEndOffset, 0xFF);

    if (auto e = buildOptions(doc, out)) return e;

    const int lineBase[2] = {p.message1Base, p.message2Base};
    for (int l = 0; l < 2; ++l) {
        const QByteArray line = trimmedMessage(doc.config().embeddedMessage[size_t(l)].raw());
        for (int i = 0; i < MessageLength; ++i)
            putByte(out, lineBase[l] + i, i < line.size() ? uint8_t(line.at(i)) : 0xFF);
    }
    image = out;
    return std::nullopt;
}

namespace {

// The channels of every group from the bitmaps and slots, in channel number order.
std::optional<QString> parseChannels(const Product& p, const QByteArray& image, RadioConfig& c) {
    const int fs = frequencySize(p);
    for (int g = 0; g < GroupCount; ++g) {
        int count = 0;
        for (int n = 1; n <= ChannelsPerGroup; ++n) {
            const BitPlace present = channelBit(p.presentBase, g, n);
            if (!(byteAt(image, present.address) & present.mask)) continue;
            const int slot = slotAddress(p, g, n);
            const DecodedFrequency rx = decodeFrequency(p, bytesAt(image, slot, fs));
            // The radio ignores a channel whose receive digits are not BCD; so does the read.
            if (!rx.numeric) continue;
            if (rx.overflow)
                return QStringLiteral("%1: the receive offset read from the radio is larger "
                                      "than 32767 Hz.")
                    .arg(channelName(g, n));
            if (!fitsStoredForm(rx.text))
                return QStringLiteral("%1: the receive frequency read from the radio (%2 Hz) "
                                      "does not fit eight digits.")
                    .arg(channelName(g, n), rx.text);
            const DecodedFrequency tx = decodeFrequency(p, bytesAt(image, slot + fs, fs));
            if (tx.numeric && tx.overflow)
                return QStringLiteral("%1: the transmit offset read from the radio is larger "
                                      "than 32767 Hz.")
                    .arg(channelName(g, n));
            if (tx.numeric && !fitsStoredForm(tx.text))
                return QStringLiteral("%1: the transmit frequency read from the radio (%2 Hz) "
                                      "does not fit eight digits.")
                    .arg(channelName(g, n), tx.text);

            ++count;
            ChannelEntry& e = c.entry(g, count);
            e.channelNo = int16_t(n);
            e.inUse = 1;
            const BitPlace scan = channelBit(p.scanBase, g, n);
            e.scanFlag = (byteAt(image, scan.address) & scan.mask) ? 1 : 0;
            e.rxFreq.assign(rx.text);
            // Transmit digits that are not BCD: the channel transmits on its receive frequency
            // (the place may have held another channel before).
            e.txFreq.assign(tx.numeric ? tx.text : rx.text);
            if (p.hasChannelExtras) {
                e.rxExtra = int16_t(rx.extraHz);
                e.txExtra = int16_t(tx.numeric ? tx.extraHz : 0);
            }
            const uint8_t flags = byteAt(image, slot + 2 * fs);
            for (int i = 1; i <= 7; ++i)
                e.channelFlags[size_t(i)] = (flags >> i) & 1;
        }
        c.groupChannelCount[size_t(g)] = int16_t(count);
    }
    return std::nullopt;
}

// Each message line up to its first 0xFF; a shorter line ends with one character 0.
void parseMessageLines(const Product& p, const QByteArray& image, RadioConfig& c) {
    const int lineBase[2] = {p.message1Base, p.message2Base};
    for (int l = 0; l < 2; ++l) {
        QByteArray line;
        for (int i = 0; i < MessageLength; ++i) {
            const uint8_t b = byteAt(image, lineBase[l] + i);
            if (b == 0xFF) break;
            line.append(char(b));
        }
        if (line.size() < MessageLength) line.append('\0');
        c.embeddedMessage[size_t(l)].assign(line);
    }
}

std::optional<QString> parseOptions(const Product& p, const QByteArray& image, RadioConfig& c) {
    for (const OptionField& f : OptionFields) {
        if (f.word >= p.optionWordCount) continue;
        const int a = p.optionBase + f.offset;
        int v = 0;
        switch (f.kind) {
        case OptionKind::Byte:
            v = byteAt(image, a);
            break;
        case OptionKind::Word16:
            if (byteAt(image, a) & 0x80)
                return QStringLiteral("%1: the value read from the radio (0x%2) is larger than "
                                      "32767.")
                    .arg(optionName(f.word))
                    .arg(byteAt(image, a) * 256 + byteAt(image, a + 1), 4, 16, QLatin1Char('0'));
            v = byteAt(image, a) * 256 + byteAt(image, a + 1);
            break;
        case OptionKind::Bit:
            v = (byteAt(image, a) >> f.bit) & 1;
            break;
        }
        c.optionWords[size_t(f.word)] = int16_t(v);
    }
    return std::nullopt;
}

} // namespace

std::optional<QString> parseRadioImage(Document& doc, const QByteArray& image) {
    const Product& p = doc.product();
    if (auto e = wrongSize(p, image)) return e;
    // Decoded into a copy: the document changes only when everything decoded.
    RadioConfig c = doc.config();
    if (auto e = parseChannels(p, image, c)) return e;

    const int band = byteAt(image, p.headerBase + HeaderBandOffset);
    const int cls = byteAt(image, p.headerBase + HeaderClassOffset);
    const QString modelName = trimSpaces(modelTextFromIdentity(p, cls, band));
    c.modelInfo.bandCode = int16_t(band);
    c.modelInfo.modelCode = int16_t(cls);
    c.modelInfo.modelName.assign(modelName);
    const QString model = cleanModelText(modelName);

    parseMessageLines(p, image, c);
    if (auto e = parseOptions(p, image, c)) return e;

    doc.replaceConfiguration(c, model, bandText(p, band, model), QString());
    return std::nullopt;
}

LocalInformation parseLocalInformation(const Product& p, const QByteArray& image) {
    LocalInformation info;
    for (const InfoField& f : InfoFields) {
        QByteArray text;
        for (int i = 0; i < f.length; ++i) {
            const qsizetype a = qsizetype(p.infoBase()) + f.offset + i;
            if (a >= image.size()) break; // a short image simply ends the field
            const uint8_t b = byteAt(image, a);
            if (b == 0xFF || b == 0x00) break;
            text.append(char(b));
        }
        info[size_t(f.index)] = QString::fromLatin1(text);
    }
    return info;
}
