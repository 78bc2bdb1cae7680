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
    return shortestNumber(doc.lowerLimit());
}

QString listedFrequency(const Document& doc, const QByteArray& stored) {
    const QString s = shownFieldText(stored);
    if (isNoFrequency(s)) return {};
    return isNumericText(s) ? shownFrequency(doc, s) : s;
}

QString storedFrequency(const Document& doc, const QString& t) {
    return storedFrequencyText(t, doc.lowerLimit());
}

double snapToFrequencyStep(const Document& doc, double mhz) {
    const int32_t low = roundEven32(doc.lowerLimit() * 1000000.0);
    int32_t hz = roundEven32(mhz * 1000000.0);
    const int32_t r = (hz - low) % 10;
    if (r != 0) hz -= r;
    return hz / 1000000.0;
}

double checkFrequencyRange(const Document& doc, double mhz, bool clampToLimit) {
    if (doc.lowerLimit() <= mhz && mhz <= doc.upperLimit()) return snapToFrequencyStep(doc, mhz);
    showMessage(messageText(Msg::OutOfRange), MsgIcon::Warning);
    if (!clampToLimit) return 0;
    return mhz < doc.lowerLimit() ? doc.lowerLimit() : doc.upperLimit();
}

double frequencyNotNumeric(const Document& doc, bool useLowerLimit) {
    showMessage(messageText(Msg::OutOfRange), MsgIcon::Warning);
    return useLowerLimit ? doc.lowerLimit() : 0;
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

int emergencyChannelFor(const Document& doc, int group, int channelNo) {
    const int count =
        std::min<int>(doc.config().groupChannelCount.at(size_t(group)), ChannelsPerGroup);
    const int fallback = count >= 1 ? doc.config().entry(group, 1).channelNo : 0;
    return findChannelPlace(doc, group, channelNo) > 0 ? channelNo : fallback;
}
