#include "configtextsupport.h"

#include "core/channels/channelrules.h"
#include "core/config/datafile.h"
#include "core/config/modelband.h"
#include "core/config/optionwords.h"

#include <QRegularExpression>
#include <cmath>

// Model and band, the six channel groups, the message lines, the radio information and the
// bytes of the record that no window shows.

namespace {

using Form = ConfigTextWriter::TextForm;

const QString kModel = QStringLiteral("model");
const QString kBand = QStringLiteral("band");
const QString kGroups = QStringLiteral("groups");
const QString kChannels = QStringLiteral("channels");
const QString kEmergency = QStringLiteral("emergency channel");
const QString kUnusedPlaces = QStringLiteral("unused places");
const QString kChannel = QStringLiteral("channel");
const QString kRx = QStringLiteral("rx");
const QString kTx = QStringLiteral("tx");
const QString kInUse = QStringLiteral("in use");
const QString kSetting0 = QStringLiteral("setting 0");
const QString kRxExtra = QStringLiteral("rx extra");
const QString kTxExtra = QStringLiteral("tx extra");

const QStringList& scanTexts() {
    static const QStringList texts{QStringLiteral("Del"), QStringLiteral("Add")};
    return texts;
}

// The scan column: "Scan" in meridox's grid, "Scan Add" in solvir's.
QString scanKey(const Product& p) {
    return p.captions == Product::Captions::Older ? QStringLiteral("scan add")
                                                  : QStringLiteral("scan");
}

QString modelOf(const RadioConfig& c) {
    return cleanModelText(c.modelInfo.modelName.text());
}

// The band text of a band code when that text gives the code back, else nothing.
std::optional<QString> bandTextOf(const Product& p, int code, const QString& model) {
    const QString text = bandText(p, code, model);
    if (bandCode(p, text, model) != code) return std::nullopt;
    return text;
}

// A band as a text or, for a code no text stands for, its number.
void writeBand(ConfigTextWriter& w, const QString& key, const Product& p, int code,
               const QString& model) {
    if (const auto text = bandTextOf(p, code, model)) {
        w.string(key, *text);
    } else {
        w.integer(key, code);
        w.comment(QStringLiteral("band code no band text stands for"));
    }
}

bool readBand(const ConfigTextReader& r, const QString& key, const Product& p, const QString& model,
              int16_t& target) {
    const ConfigTextReader b = r.child(key);
    if (!b.isPresent()) return false;
    if (!b.isQuoted()) {
        bool ok = false;
        b.scalar().toInt(&ok);
        if (ok) {
            if (const auto v = b.asInteger(-32768, 32767)) target = int16_t(*v);
            return ok;
        }
    }
    const QString text = b.scalar();
    const int code = bandCode(p, text, model);
    if (bandText(p, code, model) != text) {
        b.problem(QStringLiteral("\"%1\" is no band of model %2").arg(text.left(40), model));
        return false;
    }
    target = int16_t(code);
    return true;
}

// Frequencies: 8 digits of Hz are written in MHz as the grid shows them ("28.015000"); any
// other stored text, or one outside the band, is written as it is stored.
std::optional<qint64> storedHz(const QByteArray& raw) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]{8}$"));
    if (!digits.match(QString::fromLatin1(raw)).hasMatch()) return std::nullopt;
    return raw.toLongLong();
}

QString mhzText(qint64 hz) {
    return QStringLiteral("%1.%2").arg(hz / 1000000).arg(hz % 1000000, 6, 10, QLatin1Char('0'));
}

struct BandHz {
    qint64 lower;
    qint64 upper;
    BandLimits limits;
};

BandHz bandHzOf(const Product& p, const RadioConfig& c) {
    const BandLimits l = deriveFrequencyLimits(bandText(p, c.modelInfo.bandCode, modelOf(c)));
    return {std::llround(l.lower * 1e6), std::llround(l.upper * 1e6), l};
}

void writeFrequency(ConfigTextWriter& w, const QString& key, const FixedText<8>& f,
                    const BandHz& band) {
    const auto hz = storedHz(f.raw());
    if (hz && *hz % 10 == 0 && *hz >= band.lower && *hz <= band.upper) {
        w.number(key, mhzText(*hz));
        return;
    }
    // Always as a map, so that a frequency typed in quotes still means MHz.
    w.beginMap(key, true);
    w.string(QStringLiteral("stored"), QString::fromLatin1(f.raw()));
    w.endMap();
    if (hz)
        w.comment(*hz % 10 != 0
                      ? QStringLiteral("%1 MHz is not on the 10 Hz raster").arg(mhzText(*hz))
                      : QStringLiteral("%1 MHz is outside the band").arg(mhzText(*hz)));
}

bool readFrequency(const ConfigTextReader& r, const QString& key, const BandHz& band,
                   FixedText<8>& target) {
    const ConfigTextReader f = r.child(key);
    if (!f.isPresent()) return false;
    if (f.isMap()) return r.text(key, Form::SpacePadded, target);
    static const QRegularExpression mhz(QStringLiteral("^([0-9]{1,3})(?:\\.([0-9]*))?$"));
    const QString text = f.scalar().trimmed();
    const auto m = mhz.match(text);
    if (!m.hasMatch()) {
        f.problem(QStringLiteral("\"%1\" is no frequency in MHz").arg(text.left(40)));
        return false;
    }
    QString fraction = m.captured(2);
    while (fraction.size() > 6 && fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    const qint64 hz = m.captured(1).toLongLong() * 1000000 +
                      fraction.leftJustified(6, QLatin1Char('0')).left(6).toLongLong();
    if (fraction.size() > 6 || hz % 10 != 0) {
        f.problem(QStringLiteral("%1 MHz is not a whole number of 10 Hz steps").arg(text));
        return false;
    }
    if (hz < band.lower || hz > band.upper) {
        f.problem(QStringLiteral("%1 MHz is outside the band %2 - %3 MHz")
                      .arg(text, formatMhz(band.limits.lower), formatMhz(band.limits.upper)));
        return false;
    }
    target.assign(QStringLiteral("%1").arg(hz, 8, 10, QLatin1Char('0')).toLatin1());
    return true;
}

// Channel entries as the data file stores them, for the places the grid never reads.
int entryOffset(const Product& p, int g, int place) {
    return recordOffsets(p).channels + (g * ChannelsPerGroup + place - 1) * p.channelEntrySize;
}

void writeChannel(ConfigTextWriter& w, const Product& p, const ChannelEntry& e,
                  const BandHz& band) {
    w.beginMap({}, true);
    w.integer(kChannel, e.channelNo);
    writeFrequency(w, kRx, e.rxFreq, band);
    writeFrequency(w, kTx, e.txFreq, band);
    for (int flag = 1; flag <= 7; ++flag)
        w.check(channelFlagName(flag), e.channelFlags[size_t(flag)]);
    w.listed(scanKey(p), e.scanFlag, scanTexts());
    if (e.inUse != 1) w.integer(kInUse, e.inUse);
    if (e.channelFlags[0] != 0) w.integer(kSetting0, e.channelFlags[0]);
    if (p.hasChannelExtras && e.rxExtra != 0) w.integer(kRxExtra, e.rxExtra);
    if (p.hasChannelExtras && e.txExtra != 0) w.integer(kTxExtra, e.txExtra);
    w.endMap();
}

// A channel of a group given in the text; what it omits is what a new channel of the grid
// gets (scan add, only ECHO on, TX = RX). number: the number of the channel before, then the
// number of this one (also when it is refused, so that the channels after it count on from it).
std::optional<ChannelEntry> readChannel(const ConfigTextReader& r, const Product& p,
                                        const BandHz& band, int& number) {
    if (!r.isMap()) {
        ++number;
        r.problem(QStringLiteral("expected a channel: {channel: 1, rx: 28.015000, ...}"));
        return std::nullopt;
    }
    const int before = r.problemCount();
    ChannelEntry e;
    e.channelNo = int16_t(std::min(number, ChannelsPerGroup) + 1);
    e.inUse = 1;
    e.scanFlag = 1;
    e.channelFlags[3] = 1;
    r.integer(kChannel, 1, ChannelsPerGroup, e.channelNo);
    if (!r.has(kChannel) && e.channelNo > ChannelsPerGroup)
        r.problemAt(kChannel, QStringLiteral("missing: no channel number follows 60"));
    number = e.channelNo;
    // "rx:" left empty is no frequency either.
    if (!r.child(kRx).isPresent())
        r.problemAt(kRx, QStringLiteral("missing: every channel has an RX frequency"));
    readFrequency(r, kRx, band, e.rxFreq);
    e.txFreq = e.rxFreq;
    readFrequency(r, kTx, band, e.txFreq);
    for (int flag = 1; flag <= 7; ++flag)
        r.check(channelFlagName(flag), e.channelFlags[size_t(flag)]);
    r.listed(scanKey(p), scanTexts(), e.scanFlag);
    r.integer(kInUse, -32768, 32767, e.inUse);
    r.integer(kSetting0, -32768, 32767, e.channelFlags[0]);
    if (p.hasChannelExtras) {
        r.integer(kRxExtra, -32768, 32767, e.rxExtra);
        r.integer(kTxExtra, -32768, 32767, e.txExtra);
    }
    r.rejectUnknownKeys();
    if (r.problemCount() != before) return std::nullopt;
    return e;
}

bool holdsChannel(const RadioConfig& c, int g, int channelNo) {
    const int count = std::clamp<int>(c.groupChannelCount[size_t(g)], 0, ChannelsPerGroup);
    for (int k = 1; k <= count; ++k) {
        if (c.entry(g, k).channelNo == channelNo) return true;
    }
    return false;
}

// The emergency channel is one of the group's channels; a stored number that is none is
// written as {raw: n} and read back as it is.
void writeEmergencyChannel(ConfigTextWriter& w, int g, const RadioConfig& c) {
    const int number = c.optionWords[size_t(OptionWord::FirstEmergencyChannel + g)] + 1;
    if (holdsChannel(c, g, number)) {
        w.integer(kEmergency, number);
        return;
    }
    w.beginMap(kEmergency, true);
    w.integer(QStringLiteral("raw"), number);
    w.endMap();
    w.comment(QStringLiteral("not a channel of the group"));
}

void readEmergencyChannel(const ConfigTextReader& r, int g, RadioConfig& c,
                          const std::array<bool, ChannelsPerGroup + 2>& refused) {
    const ConfigTextReader e = r.child(kEmergency);
    if (!e.isPresent()) return;
    int16_t& word = c.optionWords[size_t(OptionWord::FirstEmergencyChannel + g)];
    if (e.isMap()) {
        int32_t raw = 0;
        if (e.integer32(QStringLiteral("raw"), -32767, 32768, raw)) word = int16_t(raw - 1);
        e.rejectUnknownKeys();
        return;
    }
    const auto number = e.asInteger(1, ChannelsPerGroup);
    if (!number) return;
    if (!holdsChannel(c, g, int(*number)) && !refused[size_t(*number)]) {
        e.problem(QStringLiteral("channel %1 is not a channel of the group").arg(*number));
        return;
    }
    word = int16_t(*number - 1);
}

void readGroup(const ConfigTextReader& r, const Product& p, int g, const BandHz& band,
               RadioConfig& c) {
    if (!r.isMap()) {
        r.problem(QStringLiteral("expected the group's channels and emergency channel"));
        return;
    }
    const ConfigTextReader list = r.child(kChannels);
    // Numbers of channels refused: they are missing from the group, but the emergency channel
    // is not blamed for that.
    std::array<bool, ChannelsPerGroup + 2> refused{};
    if (list.isPresent()) {
        if (!list.isList()) {
            list.problem(QStringLiteral("expected a list of channels"));
        } else if (list.size() > ChannelsPerGroup) {
            list.problem(QStringLiteral("%1 channels; a group holds 0 to 60").arg(list.size()));
        } else {
            // The group is given whole: the places after its channels are empty unless the
            // text carries them.
            auto& places = c.channels[size_t(g)];
            places.fill(ChannelEntry{});
            std::array<int, ChannelsPerGroup + 1> placeOfNumber{};
            int number = 0;
            for (int i = 0; i < list.size(); ++i) {
                const ConfigTextReader item = list.item(i);
                const auto e = readChannel(item, p, band, number);
                if (!e) {
                    refused[size_t(std::clamp(number, 0, ChannelsPerGroup + 1))] = true;
                    continue;
                }
                if (const int earlier = placeOfNumber[size_t(number)]) {
                    item.problemAt(kChannel, QStringLiteral("channel %1 is given twice (also "
                                                            "channels[%2])")
                                                 .arg(number)
                                                 .arg(earlier - 1));
                }
                placeOfNumber[size_t(number)] = i + 1;
                places[size_t(i)] = *e;
            }
            c.groupChannelCount[size_t(g)] = int16_t(list.size());
        }
    }

    readEmergencyChannel(r, g, c, refused);

    const ConfigTextReader unused = r.child(kUnusedPlaces);
    if (!unused.isPresent()) return;
    if (!unused.isMap()) {
        unused.problem(QStringLiteral("expected places and their bytes: {60: \"00...\"}"));
        return;
    }
    QByteArray record = encodeRecord(p, c);
    for (const QString& key : unused.keys()) {
        bool ok = false;
        const int place = key.toInt(&ok);
        if (!ok || place <= c.groupChannelCount[size_t(g)] || place > ChannelsPerGroup) {
            unused.problemAt(key, QStringLiteral("no unused place of the group (%1 - 60)")
                                      .arg(c.groupChannelCount[size_t(g)] + 1));
            continue;
        }
        QByteArray bytes;
        if (unused.hex(key, p.channelEntrySize, bytes))
            record.replace(entryOffset(p, g, place), p.channelEntrySize, bytes);
    }
    if (const auto decoded = decodeRecord(p, record))
        c.channels[size_t(g)] = decoded->channels[size_t(g)];
}

} // namespace

void writeGroups(ConfigTextWriter& w, const Product& p, const RadioConfig& c) {
    const QString model = modelOf(c);
    w.text(kModel, c.modelInfo.modelName.raw(), Form::NulTerminated);
    writeBand(w, kBand, p, c.modelInfo.bandCode, model);
    const BandHz band = bandHzOf(p, c);
    const QByteArray record = encodeRecord(p, c);
    w.beginMap(kGroups);
    for (int g = 0; g < GroupCount; ++g) {
        w.beginMap(groupLetter(g));
        writeEmergencyChannel(w, g, c);
        // A record that a data file may hold has 0 to 60 channels in a group.
        const int count = std::clamp<int>(c.groupChannelCount[size_t(g)], 0, ChannelsPerGroup);
        w.beginList(kChannels, count <= 0);
        for (int k = 1; k <= count; ++k)
            writeChannel(w, p, c.entry(g, k), band);
        w.endList();
        bool anyUnused = false;
        for (int k = count + 1; k <= ChannelsPerGroup; ++k) {
            const QByteArray bytes = record.mid(entryOffset(p, g, k), p.channelEntrySize);
            if (bytes.count('\0') == bytes.size()) continue;
            if (!anyUnused) {
                w.beginMap(kUnusedPlaces);
                anyUnused = true;
            }
            w.hex(QString::number(k), bytes);
        }
        if (anyUnused) w.endMap();
        w.endMap();
    }
    w.endMap();
}

void readGroups(ConfigTextReader& r, const Product& p, RadioConfig& c) {
    ModelInfo& mi = c.modelInfo;
    if (r.text(kModel, Form::NulTerminated, mi.modelName))
        mi.modelCode = int16_t(modelClass(modelOf(c)));
    readBand(r, kBand, p, modelOf(c), mi.bandCode);
    const ConfigTextReader groups = r.child(kGroups);
    if (!groups.isPresent()) return;
    if (!groups.isMap()) {
        groups.problem(QStringLiteral("expected the groups A to F"));
        return;
    }
    const BandHz band = bandHzOf(p, c);
    for (int g = 0; g < GroupCount; ++g) {
        const ConfigTextReader group = groups.child(groupLetter(g));
        if (group.isPresent()) {
            readGroup(group, p, g, band, c);
            group.rejectUnknownKeys();
        }
    }
    groups.rejectUnknownKeys();
}

void writeMessageLines(ConfigTextWriter& w, const Product&, const RadioConfig& c) {
    w.beginMap(QStringLiteral("message lines"));
    for (int line = 0; line < 2; ++line)
        w.text(QStringLiteral("line %1").arg(line + 1), c.embeddedMessage[size_t(line)].raw(),
               Form::NulTerminated);
    w.endMap();
}

void readMessageLines(ConfigTextReader& r, const Product&, RadioConfig& c) {
    const ConfigTextReader m = r.child(QStringLiteral("message lines"));
    if (!m.isPresent()) return;
    for (int line = 0; line < 2; ++line)
        m.text(QStringLiteral("line %1").arg(line + 1), Form::NulTerminated,
               c.embeddedMessage[size_t(line)]);
    m.rejectUnknownKeys();
}

// The radio's information as the Set Radio Information window shows it: its model type,
// frequency band, serial number and version, and the type letter the radio keeps with them.
void writeRadioInformation(ConfigTextWriter& w, const Product& p, const RadioConfig& c) {
    const ModelInfo& mi = c.modelInfo;
    w.beginMap(QStringLiteral("radio information"));
    w.text(QStringLiteral("model type"), mi.modelNameCopy.raw(), Form::NulTerminated);
    writeBand(w, QStringLiteral("frequency"), p, mi.bandCodeCopy,
              cleanModelText(mi.modelNameCopy.text()));
    w.text(QStringLiteral("serial number"), mi.createDate.raw(), Form::NulTerminated);
    w.text(QStringLiteral("version"), mi.softwareVersionText.raw(), Form::NulTerminated);
    if (mi.typeLetter > 0x20 && mi.typeLetter < 0x7f) {
        w.string(QStringLiteral("type letter"), QString(QChar(mi.typeLetter)));
    } else {
        w.integer(QStringLiteral("type letter"), mi.typeLetter);
        w.comment(QStringLiteral("no letter"));
    }
    w.endMap();
}

void readRadioInformation(ConfigTextReader& r, const Product& p, RadioConfig& c) {
    const ConfigTextReader info = r.child(QStringLiteral("radio information"));
    if (!info.isPresent()) return;
    ModelInfo& mi = c.modelInfo;
    info.text(QStringLiteral("model type"), Form::NulTerminated, mi.modelNameCopy);
    readBand(info, QStringLiteral("frequency"), p, cleanModelText(mi.modelNameCopy.text()),
             mi.bandCodeCopy);
    info.text(QStringLiteral("serial number"), Form::NulTerminated, mi.createDate);
    info.text(QStringLiteral("version"), Form::NulTerminated, mi.softwareVersionText);
    const ConfigTextReader letter = info.child(QStringLiteral("type letter"));
    if (letter.isPresent()) {
        const QString text = letter.scalar();
        bool number = false;
        text.toInt(&number);
        if (letter.isQuoted() || !number) {
            if (text.size() == 1 && text[0].unicode() > 0x20 && text[0].unicode() < 0x7f)
                mi.typeLetter = int16_t(text[0].unicode());
            else
                letter.problem(QStringLiteral("expected one letter, such as \"C\""));
        } else if (const auto v = letter.asInteger(-32768, 32767)) {
            mi.typeLetter = int16_t(*v);
        }
    }
    info.rejectUnknownKeys();
}

// What no window shows: the data file's version text, the group the grid showed last and a
// model code that is not the model's own.
void writeRecordRest(ConfigTextWriter& w, const Product& p, const RadioConfig& c) {
    w.beginMap(QStringLiteral("record"));
    if (p.hasVersionField) w.text(QStringLiteral("version"), c.version.raw(), Form::SpacePadded);
    if (c.currentGroup >= 0 && c.currentGroup < GroupCount)
        w.string(QStringLiteral("current group"), groupLetter(c.currentGroup));
    else
        w.integer(QStringLiteral("current group"), c.currentGroup);
    if (c.modelInfo.modelCode != modelClass(modelOf(c)))
        w.integer(QStringLiteral("model code"), c.modelInfo.modelCode);
    w.endMap();
}

void readRecordRest(ConfigTextReader& r, const Product& p, RadioConfig& c) {
    const ConfigTextReader rest = r.child(QStringLiteral("record"));
    if (!rest.isPresent()) return;
    // Open refuses a data file of another version, so the text may not make one.
    if (p.hasVersionField && rest.text(QStringLiteral("version"), Form::SpacePadded, c.version) &&
        !versionCompatible(c.version.text(), QString::fromLatin1(ProgramDataVersion)))
        rest.child(QStringLiteral("version"))
            .problem(QStringLiteral("\"%1\" is a data file version this program does not open (%2)")
                         .arg(QString::fromLatin1(c.version.untilNul()), shownProgramVersion()));
    const ConfigTextReader group = rest.child(QStringLiteral("current group"));
    if (group.isPresent()) {
        const int g = groupFromLetter(group.scalar());
        bool number = false;
        group.scalar().toInt(&number);
        if (g >= 0)
            c.currentGroup = int16_t(g);
        else if (group.isQuoted() || !number)
            group.problem(QStringLiteral("expected a group, \"A\" to \"F\""));
        else if (const auto v = group.asInteger(-32768, 32767))
            c.currentGroup = int16_t(*v);
    }
    rest.integer(QStringLiteral("model code"), -32768, 32767, c.modelInfo.modelCode);
    rest.rejectUnknownKeys();
}
