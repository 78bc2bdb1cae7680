#include "optiontables.h"

#include "channelrules.h"
#include "core/config/messages.h"

#include <array>

namespace OptionTables {
namespace {

constexpr std::array<ListSetting, ListCount> Lists = {{
    {0, 0},    // time-out timer: Off, 30 .. 600 s
    {1, 30},   // RB frequency, tens of Hz
    {2, 0},    // RB time
    {3, 30},   // CW side tone, tens of Hz
    {4, 0},    // frequency step
    {5, 0},    // LCD display
    {6, 0},    // scan mode
    {7, 0},    // scan resume time
    {8, 0},    // LCD display in TX
    {9, 12},   // SWR protect value, tenths
    {10, 105}, // battery protect minimum, tenths of V
    {11, 105}, // battery protect maximum
    {21, 0},   // squelch close delays: FM, AM, CW/USB/LSB
    {22, 0},
    {23, 0},
    {39, 30}, // single tone, tens of Hz
    {40, 0},  // clarifier mode
    {41, 0},  // push mode
}};

constexpr std::array<CheckSetting, CheckCount> Checks = {{
    {12, true},
    {13, true},
    {14, true},
    {15, true},
    {16, true},
    {17, true}, // modes
    {18, false},
    {19, false},
    {20, false}, // single change
    {30, false},
    {31, false},
    {32, true},
    {33, false},
    {34, false},
    {35, false},
    {36, false}, // channel functions BUSY .. RB
    {37, true},
    {38, true}, // protection switches
}};

QStringList numbers(int first, int last, int step) {
    QStringList out;
    for (int v = first; v <= last; v += step)
        out << QString::number(v);
    return out;
}
QStringList tenths(int first, int last) {
    QStringList out;
    for (int v = first; v <= last; ++v)
        out << QString::number(v / 10.0, 'f', 1);
    return out;
}

} // namespace

const ListSetting& listSetting(int k) {
    return Lists.at(size_t(k));
}
const CheckSetting& checkSetting(int k) {
    return Checks.at(size_t(k));
}

bool hasList(const Document& doc, int k) {
    return listSetting(k).word < doc.optionWordCount();
}
bool hasCheck(const Document& doc, int k) {
    return checkSetting(k).word < doc.optionWordCount();
}

QStringList listEntries(int k, int language) {
    const auto t = [language](const char* en, const char* zh) { return tr2In(language, en, zh); };
    switch (k) {
    case 0:
        return QStringList{t("Off", "关")} + numbers(30, 600, 30);
    case 1:
    case 3:
    case 15:
        return numbers(300, 3000, 10);
    case 2:
        return numbers(50, 1000, 50);
    case 4:
        return {QStringLiteral("10KHz"), QStringLiteral("1KHz"), QStringLiteral("100Hz"),
                QStringLiteral("10Hz")};
    case 5:
        return {t("OFF", "关"), t("ON", "开")};
    case 6:
        return {t("Squelch Scan", "静噪扫描"), t("Time Scan", "时间扫描")};
    case 7:
        return numbers(1, 60, 1);
    case 8:
        return {t("Tx Frequency Display", "发射频率显示"), t("SWR LCD Display", "SWR驻波LCD显示"),
                t("Battery Voltage Display", "电池电压显示"),
                t("TOT Remain Time Display", "TOT剩余时间显示")};
    case 9:
        return tenths(12, 200);
    case 10:
    case 11:
        return tenths(105, 170);
    case 12:
    case 13:
    case 14:
        return numbers(5, 300, 5);
    case 16:
        return {t("Fine", "细调"), t("Rx/Tx Frequency", "接收/发射 频率"),
                t("Tx Frequency", "发射频率")};
    case 17:
        return {t("Coarse", "粗调"), t("Step Frequency", "频率步进"),
                t("Tx Frequency", "发射频率")};
    default:
        return {};
    }
}

QString listLabel(int k, bool older, int language) {
    const auto t = [language](const char* en, const char* zh) { return tr2In(language, en, zh); };
    const QString hz = QStringLiteral("[Hz]");
    const QString ms = QStringLiteral("[ms]");
    const QString s = QStringLiteral("[s]");
    const QString v = QStringLiteral("[V]");
    switch (k) {
    case 0:
        return t("Time Out Timer(TOT)[s]", "超时定时器(TOT)[秒]");
    case 1:
        return t("RB Frequecy", "RB 频率") + hz;
    case 2:
        return t("RB Time", "RB 时间") + ms;
    case 3:
        return t("CW Side Tone", "CW 侧音") + hz;
    case 4:
        return t("Frequency Step", "频率步进");
    case 5:
        return t("LCD Display", "LCD 显示");
    case 6:
        return t("Scan Mode", "扫描模式");
    case 7:
        return t("Scan Resume Time", "扫描恢复时间") + s;
    case 8:
        return t("LCD Display In Tx", "发射时LCD显示");
    case 9:
        return t("SWR Protect value", "驻波保护值");
    case 10:
        return t("Battery Voltage Protect Value 1 -- Min", "电池电压保护值1--最低") + v;
    case 11:
        return t("Battery Voltage Protect Value 2 -- Max", "电池电压保护值2--最高") + v;
    case 12:
        return older ? QStringLiteral("SQ Delay Time 0") + ms
                     : t("FM SQ Close Delay Time", "FM SQ关闭延时时间") + ms;
    case 13:
        return older ? QStringLiteral("SQ Delay Time 1") + ms
                     : t("AM SQ Close Delay Time", "AM SQ关闭延时时间") + ms;
    case 14:
        return older ? QStringLiteral("SQ Delay Time 2") + ms
                     : t("CW/USB/LSB SQ Close Delay Time", "CW/USB/LSB SQ关闭延时时间") + ms;
    case 15:
        return t("Single Tone", "单音") + hz;
    case 16:
        return QStringLiteral("Clarifier Mode");
    case 17:
        return QStringLiteral("Push Mode");
    default:
        return {};
    }
}

QString checkLabel(int k, bool older, int language) {
    const auto t = [language](const char* en, const char* zh) { return tr2In(language, en, zh); };
    // Check boxes 9..15 are the default channel settings, named as the settings are.
    if (k >= 9 && k <= 15) return channelFlagName(k - 8);
    switch (k) {
    case 0:
        return t("LSB Enable", "使用LSB");
    case 1:
        return t("USB Enable", "使用USB");
    case 2:
        return t("FM Enable", "使用FM");
    case 3:
        return t("AM Enable", "使用AM");
    case 4:
        return t("PA Enalbe", "使用PA");
    case 5:
        return t("CW Enable", "使用CW");
    case 6:
        return t("Single Change Data", "允许独立改变信道数据");
    case 7:
        return t("Common Option", "信道设置公共信道");
    case 8:
        return older ? t("Single Change Frequency", "允许独立改变频率")
                     : t("Single Change RX/TX Frequency", "允许独立改变收发频率");
    case 16:
        return t("SWR Protect Enabled", "驻波保护使能");
    case 17:
        return t("DC Protect Enabled", "低电压保护使能");
    default:
        return {};
    }
}

int shownListIndex(int k, int word, int entryCount) {
    if (entryCount <= 0) return -1;
    const int index = word - listSetting(k).offset;
    return index >= 0 && index < entryCount ? index : 0;
}

bool shownChecked(int k, int word) {
    return word == 0 || word == 1 ? word == 1 : checkSetting(k).defaultOn;
}

OptionWords withCheck(const OptionWords& words, int k, bool on) {
    OptionWords w = words;
    w[size_t(checkSetting(k).word)] = on ? 1 : 0;
    if (k == SingleChangeCheck && on) {
        // While channels may differ one by one, the common channel functions are off.
        for (int f = FirstFunctionCheck; f <= LastFunctionCheck; ++f)
            w[size_t(checkSetting(f).word)] = 0;
    }
    if (k < ModeCheckCount && !on) {
        bool anyMode = false;
        for (int m = 0; m < ModeCheckCount; ++m)
            anyMode = anyMode || shownChecked(m, w[size_t(checkSetting(m).word)]);
        // At least one operating mode stays enabled.
        if (!anyMode) w[size_t(checkSetting(k).word)] = 1;
    }
    return w;
}

bool functionsEditable(const OptionWords& words) {
    return !shownChecked(SingleChangeCheck, words[size_t(checkSetting(SingleChangeCheck).word)]);
}

QString shownListEntry(const Document& doc, int k, int language) {
    const QStringList entries = listEntries(k, language);
    const int i = shownListIndex(k, doc.config().optionWords[size_t(listSetting(k).word)],
                                 int(entries.size()));
    return i < 0 ? QString() : entries.at(i);
}

} // namespace OptionTables
