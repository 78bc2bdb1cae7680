#include "configtextsupport.h"

#include "core/config/datafile.h"
#include "core/config/optionwords.h"

// Options, key assignment, scan, DTMF, FleetSync and test frequencies. Until each has keys
// of its own, their bytes travel together as hexadecimal text, so that nothing is lost.

namespace {
const QString kSettingsBytes = QStringLiteral("settings bytes");
const QString kListBytes = QStringLiteral("fleetsync list bytes");

struct Ranges {
    int settings, settingsSize, list, listSize;
};
Ranges rangesOf(const Product& p) {
    const RecordOffsets o = recordOffsets(p);
    const int listStart = o.embeddedMessage + 2 * 32;
    return {o.optionWords, o.embeddedMessage - o.optionWords, listStart, o.end - listStart};
}
} // namespace

void writeOptions(ConfigTextWriter& w, const Product& p, const RadioConfig& c) {
    const QByteArray record = encodeRecord(p, c);
    const Ranges r = rangesOf(p);
    w.hex(kSettingsBytes, record.mid(r.settings, r.settingsSize));
    w.hex(kListBytes, record.mid(r.list, r.listSize));
}

void readOptions(ConfigTextReader& r, const Product& p, RadioConfig& c) {
    const Ranges ranges = rangesOf(p);
    QByteArray record = encodeRecord(p, c);
    QByteArray bytes;
    if (r.hex(kSettingsBytes, ranges.settingsSize, bytes))
        record.replace(ranges.settings, ranges.settingsSize, bytes);
    if (r.hex(kListBytes, ranges.listSize, bytes))
        record.replace(ranges.list, ranges.listSize, bytes);
    const auto decoded = decodeRecord(p, record);
    if (!decoded) return;
    // The emergency channels belong to the groups.
    auto words = decoded->optionWords;
    for (int g = 0; g < GroupCount; ++g) {
        const auto w = size_t(OptionWord::FirstEmergencyChannel + g);
        words[w] = c.optionWords[w];
    }
    const auto messages = c.embeddedMessage;
    const ModelInfo info = c.modelInfo;
    const auto channels = c.channels;
    const auto counts = c.groupChannelCount;
    const auto version = c.version;
    const auto group = c.currentGroup;
    c = *decoded;
    c.optionWords = words;
    c.embeddedMessage = messages;
    c.modelInfo = info;
    c.channels = channels;
    c.groupChannelCount = counts;
    c.version = version;
    c.currentGroup = group;
}

void writeKeyAssignment(ConfigTextWriter&, const Product&, const RadioConfig&) {}
void readKeyAssignment(ConfigTextReader&, const Product&, RadioConfig&) {}
void writeScan(ConfigTextWriter&, const Product&, const RadioConfig&) {}
void readScan(ConfigTextReader&, const Product&, RadioConfig&) {}
void writeDtmf(ConfigTextWriter&, const Product&, const RadioConfig&) {}
void readDtmf(ConfigTextReader&, const Product&, RadioConfig&) {}
void writeFleetSync(ConfigTextWriter&, const Product&, const RadioConfig&) {}
void readFleetSync(ConfigTextReader&, const Product&, RadioConfig&) {}
void writeTestFrequencies(ConfigTextWriter&, const Product&, const RadioConfig&) {}
void readTestFrequencies(ConfigTextReader&, const Product&, RadioConfig&) {}
