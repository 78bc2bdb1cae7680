#include "configdiff.h"

#include "channelcsv.h"
#include "core/channels/channelrules.h"
#include "core/channels/featuretables.h"
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

// A field as a line names it, and the value it shows. A channel's summary leaves out a field
// that holds its usual value (one the channel grid does not show).
struct Field {
    QString name;
    QString value;
    QString usual;
};
using Fields = QList<Field>;

bool chinese(int language) {
    return language == LanguageChinese;
}

// The lines are English unless Chinese is asked for (never empty texts, as no language would
// give).
int lineLanguage(int language) {
    return chinese(language) ? LanguageChinese : LanguageEnglish;
}

QString noneText(int language) {
    return tr2In(language, "(none)", "（无）");
}

Fields channelFields(const Document& doc, const ChannelEntry& e, int language) {
    const auto t = [language](const char* en, const char* zh) { return tr2In(language, en, zh); };
    // In Chinese the frequencies and scan are named by the grid's column captions; the English
    // lines keep their short names.
    const QStringList headers =
        channelColumnHeaders(doc.product().captions == Product::Captions::Older, language);
    Fields f{{chinese(language) ? headers.at(1) : QStringLiteral("RX"),
              listedFrequency(doc, e.rxFreq.raw()),
              {}},
             {chinese(language) ? headers.at(2) : QStringLiteral("TX"),
              listedFrequency(doc, e.txFreq.raw()),
              {}}};
    for (int i = 1; i <= 7; ++i) {
        const int v = e.channelFlags[size_t(i)];
        f << Field{channelFlagName(i),
                   v == 0   ? t("Disable", "不使用")
                   : v == 1 ? t("Enable", "使用")
                            : QString::number(v),
                   {}};
    }
    const int s = e.scanFlag;
    f << Field{chinese(language) ? headers.at(10) : QStringLiteral("Scan"),
               s == 0   ? t("Del", "删除")
               : s == 1 ? t("Add", "添加")
                        : QString::number(s),
               {}};
    f << Field{t("In use", "使用中"), QString::number(e.inUse), QStringLiteral("1")};
    if (doc.product().hasVersionField) {
        f << Field{t("RX fine offset[Hz]", "接收微调[Hz]"), QString::number(e.rxExtra),
                   QStringLiteral("0")};
        f << Field{t("TX fine offset[Hz]", "发射微调[Hz]"), QString::number(e.txExtra),
                   QStringLiteral("0")};
    }
    return f;
}

QString summary(const Fields& f, int language) {
    QStringList parts;
    for (const Field& field : f) {
        if (!field.usual.isNull() && field.value == field.usual) continue;
        parts << field.name + QLatin1Char(' ') +
                     (field.value.isEmpty() ? noneText(language) : field.value);
    }
    return parts.join(tr2In(language, ", ", "，"));
}

template <typename T, size_t N>
void addWords(Fields& f, const QString& name, const std::array<T, N>& words) {
    for (size_t i = 0; i < N; ++i)
        f << Field{QStringLiteral("%1 %2").arg(name).arg(i + 1), QString::number(words[i]), {}};
}

// The name of option word i in a language. In Chinese: the caption the optional features
// window (or, for an emergency channel, the channel grid) gives it.
QString optionWordLabel(const Document& doc, int i, int language) {
    if (!chinese(language)) return QLatin1String(OptionWordLabels[i]);
    const bool older = doc.product().captions == Product::Captions::Older;
    if (i >= OptionWord::FirstEmergencyChannel &&
        i < OptionWord::FirstEmergencyChannel + GroupCount)
        return tr2In(language, "Emergency Channel", "紧急信道") + QLatin1Char(' ') +
               groupLetter(i - OptionWord::FirstEmergencyChannel);
    for (int k = 0; k < OptionTables::ListCount; ++k)
        if (OptionTables::listSetting(k).word == i)
            return OptionTables::listLabel(k, older, language);
    for (int k = 0; k < OptionTables::CheckCount; ++k)
        if (OptionTables::checkSetting(k).word == i)
            return OptionTables::checkLabel(k, older, language);
    return QLatin1String(OptionWordLabels[i]);
}

} // namespace

// An option word as the optional features window shows it: the entry of its list, ON or OFF
// for a check box, the channel number for an emergency channel; a stored value the window has
// no entry for is given as its number, so that two different values never look alike.
QString shownOptionWord(const Document& doc, int i, int language) {
    language = lineLanguage(language);
    const int v = doc.config().optionWords[size_t(i)];
    if (i >= OptionWord::FirstEmergencyChannel &&
        i < OptionWord::FirstEmergencyChannel + GroupCount)
        return v < 0 ? noneText(language) : QString::number(v + 1);
    for (int k = 0; k < OptionTables::ListCount; ++k) {
        if (OptionTables::listSetting(k).word != i || !OptionTables::hasList(doc, k)) continue;
        const QStringList entries = OptionTables::listEntries(k, language);
        const int index = v - OptionTables::listSetting(k).offset;
        if (index >= 0 && index < entries.size()) return entries.at(index);
    }
    for (int k = 0; k < OptionTables::CheckCount; ++k)
        if (OptionTables::checkSetting(k).word == i && OptionTables::hasCheck(doc, k) &&
            (v == 0 || v == 1))
            return v == 1 ? tr2In(language, "ON", "开") : tr2In(language, "OFF", "关");
    return QString::number(v);
}

namespace {

// The key assignment, scan, DTMF, FleetSync and test frequency settings, in the order of the
// record.
void addServiceFields(Fields& f, const RadioConfig& c, int language) {
    const auto t = [language](const char* en, const char* zh) { return tr2In(language, en, zh); };
    const QString dtmf = QStringLiteral("DTMF ");
    addWords(f, t("Key assignment", "键设定"), c.keyAssign);
    addWords(f, t("Scan word", "扫描信息"), c.scanWords);
    addWords(f, t("DTMF word", "DTMF 编码"), c.dtmf.encode);
    f << Field{chinese(language) ? dtmf + FeatureTables::dtmfIdCodeLabel(language)
                                 : QStringLiteral("DTMF ID code"),
               shownFieldText(c.dtmf.idCode.raw()),
               {}};
    addWords(f, t("DTMF setting", "DTMF 解码"), c.dtmf.decode);
    f << Field{chinese(language) ? dtmf + FeatureTables::dtmfStunCodeLabel(language)
                                 : QStringLiteral("DTMF code 2"),
               shownFieldText(c.dtmf.stunCode.raw()),
               {}};
    f << Field{chinese(language) ? dtmf + FeatureTables::dtmfStunTypeLabel(language)
                                 : QStringLiteral("DTMF word 7"),
               QString::number(c.dtmf.stunType),
               {}};
    const FleetSyncSettings& fs = c.fleetSync;
    const long long fsWords[6] = {fs.ownFleet,        fs.ownId,        fs.baudRate,
                                  fs.modulationDelay, fs.messageTimer, fs.pttIdSideTone};
    for (int i = 0; i < 6; ++i)
        f << Field{chinese(language) ? FeatureTables::fleetSyncLabel(i, language)
                                     : QStringLiteral("FleetSync setting %1").arg(i + 1),
                   QString::number(fsWords[i]),
                   {}};
    const QString autodial = FeatureTables::dtmfAutodialCaption(language);
    f << Field{chinese(language) ? autodial + QStringLiteral("数量") : QStringLiteral("DTMF codes"),
               QString::number(c.dtmfCodeCount),
               {}};
    for (int i = 0; i < std::clamp<int>(c.dtmfCodeCount, 0, 8); ++i) {
        const DtmfCodeEntry& d = c.dtmfCodes[size_t(i)];
        f << Field{
            (chinese(language) ? autodial + QStringLiteral(" %1") : QStringLiteral("DTMF code %1"))
                .arg(i + 1),
            QStringLiteral("%1 %2").arg(d.number).arg(shownFieldText(d.code.raw())),
            {}};
    }
    f << Field{t("Test frequencies", "测试频率数量"), QString::number(c.testFreqCount), {}};
    for (int i = 0; i < std::clamp<int>(c.testFreqCount, 0, 16); ++i) {
        const TestFreqEntry& tf = c.testFreqs[size_t(i)];
        f << Field{t("Test frequency %1", "测试频率 %1").arg(i + 1),
                   t("%1 RX %2 TX %3", "%1 接收 %2 发射 %3")
                       .arg(tf.number)
                       .arg(shownFieldText(tf.rxFreq.raw()), shownFieldText(tf.txFreq.raw())),
                   {}};
    }
}

// Everything outside the channel table, in a fixed order. The Chinese names are those of the
// windows that edit the fields (their titles, tabs and captions).
Fields otherFields(const Document& doc, int language) {
    const auto t = [language](const char* en, const char* zh) { return tr2In(language, en, zh); };
    const RadioConfig& c = doc.config();
    const ModelInfo& mi = c.modelInfo;
    Fields f{{t("Model", "机型类型"), doc.model(), {}},
             {t("Band", "频段"), doc.band(), {}},
             {t("Created", "创建日期"), shownFieldText(mi.createDate.raw()), {}},
             {t("Software version", "软件版本"), shownFieldText(mi.softwareVersionText.raw()), {}},
             {t("Model (copy)", "机型类型（副本）"), shownFieldText(mi.modelNameCopy.raw()), {}},
             {t("Band code (copy)", "频段代码（副本）"), QString::number(mi.bandCodeCopy), {}},
             {t("Type letter", "类型字母"), QString::number(mi.typeLetter), {}},
             {t("Current group", "当前组"), groupLetter(c.currentGroupIndex()), {}}};
    for (int i = 0; i < doc.product().optionWordCount; ++i)
        f << Field{optionWordLabel(doc, i, language), shownOptionWord(doc, i, language), {}};
    addServiceFields(f, c, language);
    for (int line = 0; line < 2; ++line)
        f << Field{t("Message line %1", "本机信息 第%1行").arg(line + 1),
                   // The padding of the fixed-size line is not part of what it says.
                   QLatin1Char('"') +
                       QString::fromLatin1(c.embeddedMessage[size_t(line)].untilNul())
                           .remove(QRegularExpression(QStringLiteral(" +$"))) +
                       QLatin1Char('"'),
                   {}};
    const QString fleetList = FeatureTables::fleetListCaption(language);
    f << Field{chinese(language) ? fleetList + QStringLiteral("数量")
                                 : QStringLiteral("FleetSync list"),
               QString::number(c.fleetSyncListCount),
               {}};
    for (int i = 0; i < std::clamp<int>(c.fleetSyncListCount, 0, 8); ++i) {
        const FleetSyncEntry& e = c.fleetSyncList[size_t(i)];
        f << Field{(chinese(language) ? fleetList + QStringLiteral(" %1")
                                      : QStringLiteral("FleetSync entry %1"))
                       .arg(i + 1),
                   QStringLiteral("%1 %2 %3").arg(e.row).arg(e.fleet).arg(e.id),
                   {}};
    }
    return f;
}

QString change(const QString& field, const QString& from, const QString& to, int language) {
    const auto shown = [language](const QString& v) {
        return v.isEmpty() ? noneText(language) : v;
    };
    return tr2In(language, "%1: %2 -> %3", "%1：%2 -> %3").arg(field, shown(from), shown(to));
}

} // namespace

QStringList diffConfigurations(const Document& a, const Document& b, const QString& nameA,
                               const QString& nameB, int language) {
    language = lineLanguage(language);
    QStringList out;
    const Fields fa = otherFields(a, language), fb = otherFields(b, language);
    // Both are of one product, so the two lists name the same fields in the same order.
    for (qsizetype i = 0; i < std::min(fa.size(), fb.size()); ++i)
        if (fa.at(i).value != fb.at(i).value)
            out << change(fa.at(i).name, fa.at(i).value, fb.at(i).value, language);

    for (int g = 0; g < GroupCount; ++g) {
        for (int n = 1; n <= ChannelsPerGroup; ++n) {
            const int pa = findChannelPlace(a, g, n), pb = findChannelPlace(b, g, n);
            if (pa == 0 && pb == 0) continue;
            const QString channel =
                tr2In(language, "Group %1 channel %2", "组 %1 信道 %2").arg(groupLetter(g)).arg(n);
            if (pb == 0 || pa == 0) {
                const Document& has = pa ? a : b;
                out << tr2In(language, "%1: only in %2 (%3)", "%1：仅在%2中（%3）")
                           .arg(channel, pa ? nameA : nameB,
                                summary(channelFields(has, has.config().entry(g, pa ? pa : pb),
                                                      language),
                                        language));
                continue;
            }
            const Fields ca = channelFields(a, a.config().entry(g, pa), language);
            const Fields cb = channelFields(b, b.config().entry(g, pb), language);
            for (qsizetype i = 0; i < ca.size(); ++i)
                if (ca.at(i).value != cb.at(i).value)
                    out << change(channel + QLatin1Char(' ') + ca.at(i).name, ca.at(i).value,
                                  cb.at(i).value, language);
        }
    }
    return out;
}

QStringList diffRadioImages(const Product& p, const QByteArray& written, const QByteArray& held,
                            const QList<int>& addresses, int language) {
    language = lineLanguage(language);
    // Both start from the same defaults, so what the image does not carry never differs.
    Document a(p), b(p);
    a.initialiseDefaults();
    b.initialiseDefaults();
    if (!parseRadioImage(a, written) && !parseRadioImage(b, held)) {
        const QStringList lines = diffConfigurations(a, b, tr2In(language, "written", "写入的数据"),
                                                     tr2In(language, "radio", "对讲机"), language);
        if (!lines.isEmpty()) return lines;
    }
    return memoryDifferenceLines(written, held, addresses, language);
}

MemoryDiffer radioImageDiffer(int language) {
    return [language](const Product& p, const QByteArray& written, const QByteArray& held,
                      const QList<int>& addresses) {
        return diffRadioImages(p, written, held, addresses, language);
    };
}
