#include "configtextvalues.h"

#include "core/channels/featuretables.h"
#include "core/channels/optiontables.h"
#include "core/config/messages.h"
#include "core/config/modelband.h"

#include <QRegularExpression>
#include <limits>

// The optional features, key assignment, scan, DTMF, FleetSync and test frequencies, each
// named as its window names it, in English, with the values its lists show.
//
// A value no list offers (a file from elsewhere) is written as its number with the comment
// "not offered by the window"; in a list of numbers, where a plain number is a shown value, as
// {raw: N}.
// The tables of the DTMF autodial memories, the FleetSync list and the test frequencies list
// the entries in use; a stored count outside the table and bytes left in the places after the
// entries in use are carried under "... count" and "... unused places", written only when they
// hold something. A table present in the text defines all its places (the unused ones are zero
// unless given); a table left out keeps the base's.

using namespace FeatureTables;

using namespace ConfigTextValues;

namespace {

// --- Texts of the DTMF window ---------------------------------------------------------------

bool onlyCharacters(const QByteArray& text, const QByteArray& allowed) {
    for (char ch : text)
        if (!allowed.contains(ch)) return false;
    return true;
}
const QByteArray DtmfCharacters = QByteArrayLiteral("0123456789ABCD*#");
const QByteArray Digits = QByteArrayLiteral("0123456789");

// A code as the window keeps it: its characters followed by a character 0 (when shorter than
// the field) and spaces; any other bytes are written exactly.
template <int N>
void writeCode(ConfigTextWriter& w, const QString& key, const FixedText<N>& code,
               const QByteArray& allowed, int minLength, ConfigTextWriter::TextForm form) {
    const QByteArray shown = form == ConfigTextWriter::TextForm::NulTerminated
                                 ? code.untilNul()
                                 : trimSpaces(code.text()).toLatin1();
    if (shown.size() >= minLength && onlyCharacters(shown, allowed) &&
        fixedTextBytes(QString::fromLatin1(shown), form, N) == code.raw())
        w.string(key, QString::fromLatin1(shown));
    else
        writeStored(w, key, code.raw());
}

template <int N>
void readCode(const ConfigTextReader& r, const QString& key, FixedText<N>& target,
              const QByteArray& allowed, int minLength, const QString& rule,
              ConfigTextWriter::TextForm form) {
    if (!r.has(key)) return;
    const ConfigTextReader v = r.child(key);
    if (v.isScalar()) {
        const QByteArray text = v.scalar().toLatin1();
        if (!onlyCharacters(text, allowed) || text.size() < minLength || text.size() > N) {
            v.problem(QStringLiteral("\"%1\" is no %2").arg(v.scalar().left(40), rule));
            return;
        }
    }
    r.text(key, form, target);
}

// --- Test frequencies -------------------------------------------------------------------------

// The window stores a typed frequency as its digits ("28.015" -> "28015"); a band default as
// those digits followed by a character 0. Both have a text that gives them back: the MHz with
// all six decimals (which fill the field) or as short as it goes.
FixedText<8> storedTestText(const QString& mhz) {
    return FixedText<8>((storedFrequencyText(mhz, 0) + QChar(0)).toLatin1());
}

std::optional<QString> testFrequencyText(const FixedText<8>& stored) {
    const QString digits = trimSpaces(QString::fromLatin1(stored.untilNul()));
    static const QRegularExpression allDigits(QStringLiteral("^([0-9]{2,8})?$"));
    if (!allDigits.match(digits).hasMatch()) return std::nullopt;
    const QString full =
        digits.isEmpty() ? digits
                         : digits.left(2) + QLatin1Char('.') + digits.mid(2).leftJustified(6, u'0');
    const QString exact =
        digits.size() <= 2 ? digits : digits.left(2) + QLatin1Char('.') + digits.mid(2);
    for (const QString& t : {full, exact})
        if (storedTestText(t) == stored) return t;
    return std::nullopt;
}

void writeTestFrequency(ConfigTextWriter& w, const QString& key, const FixedText<8>& stored) {
    const auto t = testFrequencyText(stored);
    if (!t)
        writeStored(w, key, stored.raw());
    else if (t->isEmpty())
        w.string(key, *t);
    else
        w.number(key, *t);
}

void readTestFrequency(const ConfigTextReader& item, const QString& key, FixedText<8>& target) {
    const ConfigTextReader v = required(item, key);
    if (!v.node().IsDefined()) return;
    if (v.isMap()) {
        item.text(key, ConfigTextWriter::TextForm::NulTerminated, target);
        return;
    }
    static const QRegularExpression mhz(QStringLiteral("^[0-9]{2}(\\.[0-9]{0,6})?$"));
    const QString text = v.scalar().trimmed();
    if (!text.isEmpty() && !mhz.match(text).hasMatch()) {
        v.problem(QStringLiteral("\"%1\" is no test frequency: MHz with two digits before the "
                                 "point and up to six after it (28.015)")
                      .arg(v.scalar().left(40)));
        return;
    }
    target = storedTestText(text);
}

// The marks the test frequency window gives an entry: 15 while a frequency is its band's
// default, else 2. An entry numbered outside 1..16 has no default; its marks stay 0.
std::pair<int, int> expectedMarks(const Product& p, const RadioConfig& c, const TestFreqEntry& e) {
    if (e.number < 1 || e.number > 16) return {0, 0};
    const QString model = cleanModelText(c.modelInfo.modelName.text());
    const QString band = bandText(p, c.modelInfo.bandCode, model);
    const TestFreqPair& d =
        defaultTestFreqTable()[size_t(testMarkBandIndex(band))][size_t(e.number - 1)];
    const double lower = deriveFrequencyLimits(band).lower;
    const auto stored = [lower](const QString& shown) {
        return FixedText<8>((storedFrequencyText(shown, lower) + QChar(0)).toLatin1());
    };
    return {e.rxFreq == stored(d.rx) ? 15 : 2, e.txFreq == stored(d.tx) ? 15 : 2};
}

const QString RxMarkKey = QStringLiteral("rx mark");
const QString TxMarkKey = QStringLiteral("tx mark");

} // namespace

// --- Optional features ------------------------------------------------------------------------

namespace {
const QString OptionsKey = QStringLiteral("optional features");

// Each option word's caption and list, in word order; the emergency channels (words 24..29)
// belong to the groups.
struct OptionField {
    int word;
    QString caption;
    Choice choice;
};
QList<OptionField> optionFields(const Product& p) {
    const bool older = p.captions == Product::Captions::Older;
    QList<OptionField> fields;
    for (int k = 0; k < OptionTables::ListCount; ++k) {
        const OptionTables::ListSetting& s = OptionTables::listSetting(k);
        if (s.word >= p.optionWordCount) continue;
        const QStringList entries = OptionTables::listEntries(k, LanguageEnglish);
        fields << OptionField{s.word,
                              OptionTables::listLabel(k, older, LanguageEnglish),
                              {entries, values(s.offset, s.offset + int(entries.size()) - 1)}};
    }
    for (int k = 0; k < OptionTables::CheckCount; ++k) {
        const OptionTables::CheckSetting& s = OptionTables::checkSetting(k);
        if (s.word >= p.optionWordCount) continue;
        fields << OptionField{s.word, OptionTables::checkLabel(k, older, LanguageEnglish), onOff()};
    }
    std::sort(fields.begin(), fields.end(),
              [](const OptionField& a, const OptionField& b) { return a.word < b.word; });
    return fields;
}
} // namespace

void writeOptions(ConfigTextWriter& w, const Product& p, const RadioConfig& c) {
    w.beginMap(OptionsKey);
    for (const OptionField& f : optionFields(p))
        writeChoice(w, f.caption, c.optionWords[size_t(f.word)], f.choice);
    w.endMap();
}

void readOptions(ConfigTextReader& r, const Product& p, RadioConfig& c) {
    if (!r.has(OptionsKey)) return;
    const ConfigTextReader s = r.child(OptionsKey);
    if (!s.isMap()) {
        if (s.isPresent()) s.problem(QStringLiteral("expected the options by their captions"));
        return;
    }
    for (const OptionField& f : optionFields(p))
        readChoice(s, f.caption, f.choice, c.optionWords[size_t(f.word)]);
    s.rejectUnknownKeys();
}

// --- Key assignment -----------------------------------------------------------------------------

namespace {
const QString KeysKey = QStringLiteral("key assignment");
Choice keyChoice() {
    Choice c;
    for (int code : offeredKeyFunctions()) {
        c.entries << keyFunctionName(code, LanguageEnglish);
        c.stored << code;
    }
    return c;
}
} // namespace

void writeKeyAssignment(ConfigTextWriter& w, const Product&, const RadioConfig& c) {
    const Choice choice = keyChoice();
    w.beginMap(KeysKey);
    for (int k = 0; k < KeyCount; ++k) {
        const int code = c.keyAssign[size_t(k)];
        // The reserved functions have names the radio knows, though no list offers them.
        const QString name = keyFunctionName(code, LanguageEnglish);
        writeChoice(w, keyLabel(k), code, choice,
                    name.isEmpty() ? NotOffered : name + QStringLiteral(", ") + NotOffered);
    }
    w.endMap();
}

void readKeyAssignment(ConfigTextReader& r, const Product&, RadioConfig& c) {
    if (!r.has(KeysKey)) return;
    const ConfigTextReader s = r.child(KeysKey);
    if (!s.isMap()) {
        if (s.isPresent()) s.problem(QStringLiteral("expected PF1 and PF2"));
        return;
    }
    const Choice choice = keyChoice();
    for (int k = 0; k < KeyCount; ++k)
        readChoice(s, keyLabel(k), choice, c.keyAssign[size_t(k)]);
    s.rejectUnknownKeys();
}

// --- Scan information ---------------------------------------------------------------------------

namespace {
const QString ScanKey = QStringLiteral("scan information");

// The lists of the scan window; the priority channels are those of the model.
QList<Choice> scanChoices(const RadioConfig& c) {
    QList<Choice> out;
    out << indexed(priorityModeNames(LanguageEnglish));
    const int channels = priorityChannelCount(cleanModelText(c.modelInfo.modelName.text()));
    Choice priority{{QStringLiteral("None")}, {NoPriorityChannel}};
    priority.entries << numbers(1, channels);
    priority.stored << values(1, channels);
    out << priority;
    const Choice lookBack{lookBackTimes(), values(1, LookBackSteps)};
    out << lookBack << lookBack;
    QStringList reverts;
    for (int v = 0; v < 4; ++v)
        reverts << revertChannelName(v, LanguageEnglish);
    out << indexed(reverts);
    out << indexed(numbers(0, MaxScanDelay)) << indexed(numbers(0, MaxScanDelay));
    return out;
}
} // namespace

void writeScan(ConfigTextWriter& w, const Product&, const RadioConfig& c) {
    const QList<Choice> choices = scanChoices(c);
    w.beginMap(ScanKey);
    for (int i = 0; i < ScanWordCount; ++i)
        writeChoice(w, scanLabel(i, LanguageEnglish), c.scanWords[size_t(i)], choices.at(i));
    w.endMap();
}

void readScan(ConfigTextReader& r, const Product&, RadioConfig& c) {
    if (!r.has(ScanKey)) return;
    const ConfigTextReader s = r.child(ScanKey);
    if (!s.isMap()) {
        if (s.isPresent())
            s.problem(QStringLiteral("expected the scan settings by their captions"));
        return;
    }
    // A priority channel beyond the model's channels reads back as the number it is.
    const QList<Choice> choices = scanChoices(c);
    for (int i = 0; i < ScanWordCount; ++i)
        readChoice(s, scanLabel(i, LanguageEnglish), choices.at(i), c.scanWords[size_t(i)]);
    s.rejectUnknownKeys();
}

// --- DTMF ---------------------------------------------------------------------------------------

namespace {
const QString DtmfKey = QStringLiteral("dtmf");
const QString CodeKey = QStringLiteral("code");
const QString NumberKey = QStringLiteral("number");
const TableKeys AutodialKeys{QStringLiteral("Autodial Memory"), QStringLiteral("autodial count"),
                             QStringLiteral("autodial unused places")};

Choice dtmfEncodeChoice(int setting) {
    if (setting == DtmfSideTone) return onOff();
    const QStringList entries = dtmfEncodeEntries(setting, LanguageEnglish);
    // The first digit delay keeps tens of milliseconds.
    if (setting == DtmfFirstDigitDelay) return {entries, values(10, 100, 5)};
    return indexed(entries);
}
Choice dtmfDecodeChoice(int setting) {
    if (setting == DtmfClearToTranspond) return onOff();
    const QStringList entries = dtmfDecodeEntries(setting, LanguageEnglish);
    // The group code keeps its character; "Off" is 0.
    if (setting == DtmfGroupCode) return {entries, {0, 'A', 'B', 'C', 'D', '#', '*'}};
    return indexed(entries);
}
} // namespace

void writeDtmf(ConfigTextWriter& w, const Product&, const RadioConfig& c) {
    const DtmfSettings& d = c.dtmf;
    w.beginMap(DtmfKey);
    for (int i = 0; i < DtmfEncodeSettingCount; ++i)
        writeChoice(w, dtmfEncodeLabel(i, LanguageEnglish), d.encode[size_t(i)],
                    dtmfEncodeChoice(i));
    writeCode(w, dtmfIdCodeLabel(LanguageEnglish), d.idCode, Digits, DtmfMinIdCodeLength,
              ConfigTextWriter::TextForm::SpacePadded);
    for (int i = 0; i < DtmfDecodeSettingCount; ++i)
        writeChoice(w, dtmfDecodeLabel(i, LanguageEnglish), d.decode[size_t(i)],
                    dtmfDecodeChoice(i));
    writeCode(w, dtmfStunCodeLabel(LanguageEnglish), d.stunCode, DtmfCharacters, 0,
              ConfigTextWriter::TextForm::NulTerminated);
    writeChoice(w, dtmfStunTypeLabel(LanguageEnglish), d.stunType,
                indexed(dtmfStunTypes(LanguageEnglish)));
    writeTable(w, AutodialKeys, c.dtmfCodeCount, c.dtmfCodes, [&w](const DtmfCodeEntry& e) {
        w.beginMap({}, true);
        writeRanged(w, NumberKey, e.number, 1, DtmfAutodialMemories);
        writeCode(w, CodeKey, e.code, DtmfCharacters, 0, ConfigTextWriter::TextForm::NulTerminated);
        w.endMap();
    });
    w.endMap();
}

void readDtmf(ConfigTextReader& r, const Product&, RadioConfig& c) {
    if (!r.has(DtmfKey)) return;
    const ConfigTextReader s = r.child(DtmfKey);
    if (!s.isMap()) {
        if (s.isPresent())
            s.problem(QStringLiteral("expected the DTMF settings by their captions"));
        return;
    }
    DtmfSettings& d = c.dtmf;
    for (int i = 0; i < DtmfEncodeSettingCount; ++i)
        readChoice(s, dtmfEncodeLabel(i, LanguageEnglish), dtmfEncodeChoice(i),
                   d.encode[size_t(i)]);
    readCode(s, dtmfIdCodeLabel(LanguageEnglish), d.idCode, Digits, DtmfMinIdCodeLength,
             QStringLiteral("ID code: 3 to 10 digits"), ConfigTextWriter::TextForm::SpacePadded);
    for (int i = 0; i < DtmfDecodeSettingCount; ++i)
        readChoice(s, dtmfDecodeLabel(i, LanguageEnglish), dtmfDecodeChoice(i),
                   d.decode[size_t(i)]);
    const QString dtmfRule = QStringLiteral("DTMF code: up to %1 of 0-9, A-D, * and #");
    readCode(s, dtmfStunCodeLabel(LanguageEnglish), d.stunCode, DtmfCharacters, 0,
             dtmfRule.arg(DtmfStunCodeLength), ConfigTextWriter::TextForm::NulTerminated);
    readChoice(s, dtmfStunTypeLabel(LanguageEnglish), indexed(dtmfStunTypes(LanguageEnglish)),
               d.stunType);
    readTable(
        s, AutodialKeys, c.dtmfCodeCount, c.dtmfCodes,
        [&](const ConfigTextReader& item, DtmfCodeEntry& e) {
            if (!item.isMap()) {
                item.problem(QStringLiteral("expected {number: 1..8, code: \"...\"}"));
                return;
            }
            const ConfigTextReader n = required(item, NumberKey);
            if (n.node().IsDefined())
                if (const auto v = rangedValue(n, 1, DtmfAutodialMemories, Int16Min, Int16Max))
                    e.number = int16_t(*v);
            if (!required(item, CodeKey).node().IsDefined()) return;
            readCode(item, CodeKey, e.code, DtmfCharacters, 0, dtmfRule.arg(DtmfAutodialLength),
                     ConfigTextWriter::TextForm::NulTerminated);
            item.rejectUnknownKeys();
        });
    s.rejectUnknownKeys();
}

// --- FleetSync ----------------------------------------------------------------------------------

namespace {
const QString FleetSyncKey = QStringLiteral("fleetsync");
const QString FleetKey = QStringLiteral("fleet");
const QString IdKey = QStringLiteral("id");
const TableKeys FleetListKeys{QStringLiteral("Fleet List"), QStringLiteral("fleet list count"),
                              QStringLiteral("fleet list unused places")};

// The own fleet and ID: a blank entry for none, then the numbers.
Choice ownFleetChoice() {
    Choice c{{QString()}, {NoFleet}};
    c.entries << numbers(FirstFleet, LastFleet);
    c.stored << values(FirstFleet - FleetOffset, LastFleet - FleetOffset);
    return c;
}
Choice ownIdChoice() {
    Choice c{{QString()}, {0}};
    c.entries << numbers(FirstFleetId, LastFleetId);
    c.stored << values(FirstFleetId - FleetIdOffset, LastFleetId - FleetIdOffset);
    return c;
}
// A fleet list cell: "All" for 0, empty for 255, else the number. An ID stored as 255 shows
// empty too, so the ID 1254 is not offered.
Choice listCellChoice(int first, int last, int offset) {
    Choice c{{fleetAllWord(LanguageEnglish), QString()}, {0, NoFleet}};
    for (int n = first; n <= last; ++n) {
        if (n - offset == NoFleet) continue;
        c.entries << QString::number(n);
        c.stored << n - offset;
    }
    return c;
}
const Choice& listFleetChoice() {
    static const Choice c = listCellChoice(FirstFleet, LastFleet, FleetOffset);
    return c;
}
const Choice& listIdChoice() {
    static const Choice c = listCellChoice(FirstFleetId, LastFleetId, FleetIdOffset);
    return c;
}
QList<Choice> fleetSyncChoices() {
    QList<Choice> out{ownFleetChoice(), ownIdChoice(), indexed(fleetSyncBaudRates()),
                      indexed(numbers(0, MaxModulationDelay))};
    out << indexed(QStringList{fleetSyncOffText(LanguageEnglish)} + numbers(1, MaxMessageTimer));
    out << onOff();
    return out;
}
} // namespace

void writeFleetSync(ConfigTextWriter& w, const Product&, const RadioConfig& c) {
    const FleetSyncSettings& f = c.fleetSync;
    const QList<Choice> choices = fleetSyncChoices();
    const qint64 fields[6] = {f.ownFleet,        f.ownId,        f.baudRate,
                              f.modulationDelay, f.messageTimer, f.pttIdSideTone};
    w.beginMap(FleetSyncKey);
    for (int i = 0; i < 6; ++i)
        writeChoice(w, fleetSyncLabel(i, LanguageEnglish), fields[i], choices.at(i));
    writeTable(w, FleetListKeys, c.fleetSyncListCount, c.fleetSyncList,
               [&w](const FleetSyncEntry& e) {
                   w.beginMap({}, true);
                   writeRanged(w, NumberKey, e.row, 1, FleetListEntries);
                   writeChoice(w, FleetKey, e.fleet, listFleetChoice());
                   writeChoice(w, IdKey, e.id, listIdChoice());
                   w.endMap();
               });
    w.endMap();
}

void readFleetSync(ConfigTextReader& r, const Product&, RadioConfig& c) {
    if (!r.has(FleetSyncKey)) return;
    const ConfigTextReader s = r.child(FleetSyncKey);
    if (!s.isMap()) {
        if (s.isPresent())
            s.problem(QStringLiteral("expected the FleetSync settings by their captions"));
        return;
    }
    FleetSyncSettings& f = c.fleetSync;
    const QList<Choice> choices = fleetSyncChoices();
    const auto label = [](int i) { return fleetSyncLabel(i, LanguageEnglish); };
    readChoice(s, label(0), choices.at(0), f.ownFleet);
    readChoice(s, label(1), choices.at(1), f.ownId, Int32Min, Int32Max);
    readChoice(s, label(2), choices.at(2), f.baudRate);
    readChoice(s, label(3), choices.at(3), f.modulationDelay, Int32Min, Int32Max);
    readChoice(s, label(4), choices.at(4), f.messageTimer, Int32Min, Int32Max);
    readChoice(s, label(5), choices.at(5), f.pttIdSideTone);
    readTable(s, FleetListKeys, c.fleetSyncListCount, c.fleetSyncList,
              [&](const ConfigTextReader& item, FleetSyncEntry& e) {
                  if (!item.isMap()) {
                      item.problem(
                          QStringLiteral("expected {number: 1..8, fleet: \"...\", id: \"...\"}"));
                      return;
                  }
                  const ConfigTextReader n = required(item, NumberKey);
                  if (n.node().IsDefined())
                      if (const auto v = rangedValue(n, 1, FleetListEntries, Int16Min, Int16Max))
                          e.row = int16_t(*v);
                  for (const QString& key : {FleetKey, IdKey}) {
                      const ConfigTextReader v = required(item, key);
                      if (!v.node().IsDefined()) continue;
                      if (key == FleetKey) {
                          if (const auto x = choiceValue(v, listFleetChoice(), Int16Min, Int16Max))
                              e.fleet = int16_t(*x);
                      } else if (const auto x =
                                     choiceValue(v, listIdChoice(), Int32Min, Int32Max)) {
                          e.id = int32_t(*x);
                      }
                  }
                  item.rejectUnknownKeys();
              });
    s.rejectUnknownKeys();
}

// --- Test frequencies ---------------------------------------------------------------------------

namespace {
const QString TestKey = QStringLiteral("test frequencies");
const QString ChannelKey = QStringLiteral("channel");
const QString RxKey = QStringLiteral("rx");
const QString TxKey = QStringLiteral("tx");
const TableKeys TestKeys{QStringLiteral("channels"), QStringLiteral("count"),
                         QStringLiteral("unused places")};
} // namespace

void writeTestFrequencies(ConfigTextWriter& w, const Product& p, const RadioConfig& c) {
    w.beginMap(TestKey);
    writeTable(w, TestKeys, c.testFreqCount, c.testFreqs, [&](const TestFreqEntry& e) {
        w.beginMap({}, true);
        writeRanged(w, ChannelKey, e.number, 1, 16);
        writeTestFrequency(w, RxKey, e.rxFreq);
        writeTestFrequency(w, TxKey, e.txFreq);
        // The marks follow the frequencies; other marks (a file from elsewhere) are kept.
        const auto [rxMark, txMark] = expectedMarks(p, c, e);
        if (e.rxMark != rxMark) w.integer(RxMarkKey, e.rxMark);
        if (e.txMark != txMark) w.integer(TxMarkKey, e.txMark);
        w.endMap();
    });
    w.endMap();
}

void readTestFrequencies(ConfigTextReader& r, const Product& p, RadioConfig& c) {
    if (!r.has(TestKey)) return;
    const ConfigTextReader s = r.child(TestKey);
    if (!s.isMap()) {
        if (s.isPresent()) s.problem(QStringLiteral("expected channels: [...]"));
        return;
    }
    // The marks are worked out once the channel's frequencies are known, against the model
    // and band the text gives (the groups, read before, hold them).
    readTable(s, TestKeys, c.testFreqCount, c.testFreqs,
              [&](const ConfigTextReader& item, TestFreqEntry& e) {
                  if (!item.isMap()) {
                      item.problem(QStringLiteral("expected {channel: 1..16, rx: MHz, tx: MHz}"));
                      return;
                  }
                  const ConfigTextReader n = required(item, ChannelKey);
                  if (n.node().IsDefined())
                      if (const auto v = rangedValue(n, 1, 16, Int16Min, Int16Max))
                          e.number = int16_t(*v);
                  readTestFrequency(item, RxKey, e.rxFreq);
                  readTestFrequency(item, TxKey, e.txFreq);
                  const auto [rxMark, txMark] = expectedMarks(p, c, e);
                  e.rxMark = int16_t(rxMark);
                  e.txMark = int16_t(txMark);
                  item.integer(RxMarkKey, Int16Min, Int16Max, e.rxMark);
                  item.integer(TxMarkKey, Int16Min, Int16Max, e.txMark);
                  item.rejectUnknownKeys();
              });
    s.rejectUnknownKeys();
}
