#include "configdiff.h"

#include "channelcsv.h"
#include "core/channels/channelrules.h"
#include "core/channels/optiontables.h"
#include "core/comm/session.h"
#include "core/config/messages.h"
#include "core/config/modelband.h"
#include "core/config/optionwords.h"

#include <QList>
#include <QPair>
#include <QRegularExpression>

const char* const OptionWordLabels[MaxOptionWords] = {
    "Time Out Timer(TOT)[s]",
    "RB Frequecy[Hz]",
    "RB Time[ms]",
    "CW Side Tone[Hz]",
    "Frequency Step",
    "LCD Display",
    "Scan Mode",
    "Scan Resume Time[s]",
    "LCD Display In Tx",
    "SWR Protect value",
    "Battery Voltage Protect Value 1 -- Min[V]",
    "Battery Voltage Protect Value 2 -- Max[V]",
    "LSB Enable",
    "USB Enable",
    "FM Enable",
    "AM Enable",
    "PA Enalbe",
    "CW Enable",
    "Single Change Data",
    "Common Option",
    "Single Change RX/TX Frequency",
    "FM SQ Close Delay Time[ms]",
    "AM SQ Close Delay Time[ms]",
    "CW/USB/LSB SQ Close Delay Time[ms]",
    "Emergency Channel A",
    "Emergency Channel B",
    "Emergency Channel C",
    "Emergency Channel D",
    "Emergency Channel E",
    "Emergency Channel F",
    "BUSY",
    "VOIC",
    "ECHO",
    "HI-CUT",
    "+10KHz",
    "NB/ANL",
    "RB",
    "SWR Protect Enabled",
    "DC Protect Enabled",
    "Single Tone[Hz]",
    "Clarifier Mode",
    "Push Mode",
};

namespace {

using Fields = QList<QPair<QString, QString>>;

Fields channelFields(const Document& doc, const ChannelEntry& e) {
    Fields f{{QStringLiteral("RX"), listedFrequency(doc, e.rxFreq.raw())},
             {QStringLiteral("TX"), listedFrequency(doc, e.txFreq.raw())}};
    for (int i = 1; i <= 7; ++i) {
        const int v = e.channelFlags[size_t(i)];
        f << qMakePair(channelFlagName(i), v == 0   ? QStringLiteral("Disable")
                                           : v == 1 ? QStringLiteral("Enable")
                                                    : QString::number(v));
    }
    const int s = e.scanFlag;
    f << qMakePair(QStringLiteral("Scan"), s == 0   ? QStringLiteral("Del")
                                           : s == 1 ? QStringLiteral("Add")
                                                    : QString::number(s));
    f << qMakePair(QStringLiteral("In use"), QString::number(e.inUse));
    if (doc.product().hasVersionField) {
        f << qMakePair(QStringLiteral("RX fine offset[Hz]"), QString::number(e.rxExtra));
        f << qMakePair(QStringLiteral("TX fine offset[Hz]"), QString::number(e.txExtra));
    }
    return f;
}

QString summary(const Fields& f) {
    QStringList parts;
    for (const auto& [k, v] : f) {
        // The usual values of the fields the grid does not show are left out.
        if ((k == QLatin1String("In use") && v == QLatin1String("1")) ||
            (k.endsWith(QLatin1String("offset[Hz]")) && v == QLatin1String("0")))
            continue;
        parts << k + QLatin1Char(' ') + (v.isEmpty() ? QStringLiteral("(none)") : v);
    }
    return parts.join(QLatin1String(", "));
}

template <typename T, size_t N>
void addWords(Fields& f, const QString& name, const std::array<T, N>& words) {
    for (size_t i = 0; i < N; ++i)
        f << qMakePair(QStringLiteral("%1 %2").arg(name).arg(i + 1), QString::number(words[i]));
}

// An option word as the optional features window shows it: the entry of its list, ON or OFF
// for a check box, the channel number for an emergency channel; a stored value the window has
// no entry for is given as its number, so that two different values never look alike.
} // namespace

QString shownOptionWord(const Document& doc, int i) {
    const int v = doc.config().optionWords[size_t(i)];
    if (i >= OptionWord::FirstEmergencyChannel &&
        i < OptionWord::FirstEmergencyChannel + GroupCount)
        return v < 0 ? QStringLiteral("(none)") : QString::number(v + 1);
    for (int k = 0; k < OptionTables::ListCount; ++k) {
        if (OptionTables::listSetting(k).word != i || !OptionTables::hasList(doc, k)) continue;
        const QStringList entries = OptionTables::listEntries(k, LanguageEnglish);
        const int index = v - OptionTables::listSetting(k).offset;
        if (index >= 0 && index < entries.size()) return entries.at(index);
    }
    for (int k = 0; k < OptionTables::CheckCount; ++k)
        if (OptionTables::checkSetting(k).word == i && OptionTables::hasCheck(doc, k) &&
            (v == 0 || v == 1))
            return v == 1 ? QStringLiteral("ON") : QStringLiteral("OFF");
    return QString::number(v);
}

namespace {

// Everything outside the channel table, in a fixed order.
Fields otherFields(const Document& doc) {
    const RadioConfig& c = doc.config();
    const ModelInfo& mi = c.modelInfo;
    Fields f{{QStringLiteral("Model"), doc.model()},
             {QStringLiteral("Band"), doc.band()},
             {QStringLiteral("Created"), shownFieldText(mi.createDate.raw())},
             {QStringLiteral("Software version"), shownFieldText(mi.softwareVersionText.raw())},
             {QStringLiteral("Model (copy)"), shownFieldText(mi.modelNameCopy.raw())},
             {QStringLiteral("Band code (copy)"), QString::number(mi.bandCodeCopy)},
             {QStringLiteral("Type letter"), QString::number(mi.typeLetter)},
             {QStringLiteral("Current group"), groupLetter(c.currentGroupIndex())}};
    for (int i = 0; i < doc.product().optionWordCount; ++i)
        f << qMakePair(QLatin1String(OptionWordLabels[i]), shownOptionWord(doc, i));
    addWords(f, QStringLiteral("Key assignment"), c.keyAssign);
    addWords(f, QStringLiteral("Scan word"), c.scanWords);
    addWords(f, QStringLiteral("DTMF word"), c.dtmf.encode);
    f << qMakePair(QStringLiteral("DTMF ID code"), shownFieldText(c.dtmf.idCode.raw()));
    addWords(f, QStringLiteral("DTMF setting"), c.dtmf.decode);
    f << qMakePair(QStringLiteral("DTMF code 2"), shownFieldText(c.dtmf.stunCode.raw()));
    f << qMakePair(QStringLiteral("DTMF word 7"), QString::number(c.dtmf.stunType));
    const FleetSyncSettings& fs = c.fleetSync;
    const long long fsWords[6] = {fs.ownFleet,        fs.ownId,        fs.baudRate,
                                  fs.modulationDelay, fs.messageTimer, fs.pttIdSideTone};
    for (int i = 0; i < 6; ++i)
        f << qMakePair(QStringLiteral("FleetSync setting %1").arg(i + 1),
                       QString::number(fsWords[i]));
    f << qMakePair(QStringLiteral("DTMF codes"), QString::number(c.dtmfCodeCount));
    for (int i = 0; i < std::clamp<int>(c.dtmfCodeCount, 0, 8); ++i) {
        const DtmfCodeEntry& d = c.dtmfCodes[size_t(i)];
        f << qMakePair(QStringLiteral("DTMF code %1").arg(i + 1),
                       QStringLiteral("%1 %2").arg(d.number).arg(shownFieldText(d.code.raw())));
    }
    f << qMakePair(QStringLiteral("Test frequencies"), QString::number(c.testFreqCount));
    for (int i = 0; i < std::clamp<int>(c.testFreqCount, 0, 16); ++i) {
        const TestFreqEntry& t = c.testFreqs[size_t(i)];
        f << qMakePair(QStringLiteral("Test frequency %1").arg(i + 1),
                       QStringLiteral("%1 RX %2 TX %3")
                           .arg(t.number)
                           .arg(shownFieldText(t.rxFreq.raw()), shownFieldText(t.txFreq.raw())));
    }
    for (int line = 0; line < 2; ++line)
        f << qMakePair(QStringLiteral("Message line %1").arg(line + 1),
                       // The padding of the fixed-size line is not part of what it says.
                       QLatin1Char('"') +
                           QString::fromLatin1(c.embeddedMessage[size_t(line)].untilNul())
                               .remove(QRegularExpression(QStringLiteral(" +$"))) +
                           QLatin1Char('"'));
    f << qMakePair(QStringLiteral("FleetSync list"), QString::number(c.fleetSyncListCount));
    for (int i = 0; i < std::clamp<int>(c.fleetSyncListCount, 0, 8); ++i) {
        const FleetSyncEntry& e = c.fleetSyncList[size_t(i)];
        f << qMakePair(QStringLiteral("FleetSync entry %1").arg(i + 1),
                       QStringLiteral("%1 %2 %3").arg(e.row).arg(e.fleet).arg(e.id));
    }
    return f;
}

QString change(const QString& field, const QString& from, const QString& to) {
    auto shown = [](const QString& v) { return v.isEmpty() ? QStringLiteral("(none)") : v; };
    return QStringLiteral("%1: %2 -> %3").arg(field, shown(from), shown(to));
}

} // namespace

QStringList diffConfigurations(const Document& a, const Document& b, const QString& nameA,
                               const QString& nameB) {
    QStringList out;
    const Fields fa = otherFields(a), fb = otherFields(b);
    // Both are of one product, so the two lists name the same fields in the same order.
    for (qsizetype i = 0; i < std::min(fa.size(), fb.size()); ++i)
        if (fa.at(i).second != fb.at(i).second)
            out << change(fa.at(i).first, fa.at(i).second, fb.at(i).second);

    for (int g = 0; g < GroupCount; ++g) {
        const QString group = QStringLiteral("Group %1").arg(groupLetter(g));
        for (int n = 1; n <= ChannelsPerGroup; ++n) {
            const int pa = findChannelPlace(a, g, n), pb = findChannelPlace(b, g, n);
            if (pa == 0 && pb == 0) continue;
            const QString channel = QStringLiteral("%1 channel %2").arg(group).arg(n);
            if (pb == 0 || pa == 0) {
                const Document& has = pa ? a : b;
                out << QStringLiteral("%1: only in %2 (%3)")
                           .arg(channel, pa ? nameA : nameB,
                                summary(channelFields(has, has.config().entry(g, pa ? pa : pb))));
                continue;
            }
            const Fields ca = channelFields(a, a.config().entry(g, pa));
            const Fields cb = channelFields(b, b.config().entry(g, pb));
            for (qsizetype i = 0; i < ca.size(); ++i)
                if (ca.at(i) != cb.at(i))
                    out << change(channel + QLatin1Char(' ') + ca.at(i).first, ca.at(i).second,
                                  cb.at(i).second);
        }
    }
    return out;
}

QStringList diffRadioImages(const Product& p, const QByteArray& written, const QByteArray& held,
                            const QList<int>& addresses) {
    // Both start from the same defaults, so what the image does not carry never differs.
    Document a(p), b(p);
    a.initialiseDefaults();
    b.initialiseDefaults();
    if (!parseRadioImage(a, written) && !parseRadioImage(b, held)) {
        const QStringList lines =
            diffConfigurations(a, b, QStringLiteral("written"), QStringLiteral("radio"));
        if (!lines.isEmpty()) return lines;
    }
    return memoryDifferenceLines(written, held, addresses);
}
