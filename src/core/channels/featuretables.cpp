#include "featuretables.h"

#include "core/config/messages.h"
#include "core/config/modelband.h"

#include <array>

namespace FeatureTables {
namespace {

QStringList numbers(int first, int last, int step = 1) {
    QStringList out;
    out.reserve((last - first) / step + 1);
    for (int v = first; v <= last; v += step)
        out << QString::number(v);
    return out;
}

struct KeyFunction {
    int code;
    const char* english;
    const char* chinese;
};
// Every key function code the radio knows. The reserved codes are not offered; they appear
// only in records loaded from a data file.
constexpr std::array<KeyFunction, 13> KeyFunctions = {{
    {255, "None", "无"},
    {0, "Reserved1", "保留1"},
    {1, "Reserved1", "保留1"},
    {2, "Key Lock", "按键锁定"},
    {3, "Key Lock with Backup", "按键锁定及备份"},
    {4, "Monitor", "监听"},
    {5, "Monitor Momentary", "监听瞬时"},
    {6, "Scan", "扫描"},
    {7, "Scan+Temporary Delete", "扫描+暂时删除"},
    {8, "Reserved2", "保留2"},
    {9, "Squelch Off", "取消静噪"},
    {10, "Squelch Off Momentary", "瞬时取消静噪"},
    {11, "Temporary Delete", "暂时删除"},
}};

} // namespace

QString keyLabel(int key) {
    return QStringLiteral("PF%1").arg(key + 1);
}

const QList<int>& offeredKeyFunctions() {
    static const QList<int> offered{255, 2, 3, 4, 5, 6, 7, 9, 10, 11};
    return offered;
}

QString keyFunctionName(int code, int language) {
    for (const KeyFunction& f : KeyFunctions)
        if (f.code == code) return tr2In(language, f.english, f.chinese);
    return {};
}

QString scanLabel(int word, int language) {
    const auto t = [language](const char* en, const char* zh) { return tr2In(language, en, zh); };
    switch (word) {
    case ScanPriorityMode:
        return t("Priority", "优先");
    case ScanPriorityChannel:
        return t("Priority Channel", "优先信道");
    case ScanLookBackA:
        return t("Look Back Time A[s]", "回扫时间A[秒]");
    case ScanLookBackB:
        return t("Look Back Time B[s]", "回扫时间B[秒]");
    case ScanRevertChannel:
        return t("Revert Channel", "返回信道");
    case ScanDropoutDelay:
        return t("Dropout Delay Time[s]", "扫描接收恢复延迟时间[秒]");
    case ScanTxDwell:
        return t("TX Dwell Time[s]", "扫描发射恢复延迟时间[秒]");
    default:
        return {};
    }
}

QStringList priorityModeNames(int language) {
    return {tr2In(language, "None", "无"), tr2In(language, "Fixd", "固定"),
            tr2In(language, "Selected", "选定")};
}

QString revertChannelName(int value, int language) {
    switch (value) {
    case 0:
        return tr2In(language, "Selected", "选定");
    case 1:
        return tr2In(language, "Selected+Talk Back", "选定+当前通话");
    case 2:
        return tr2In(language, "Priority", "优先");
    case 3:
        return tr2In(language, "Priority+Talk Back", "优先+当前通话");
    default:
        return {};
    }
}

QList<int> revertChoices(int mode) {
    switch (mode) {
    case 0:
        return {0, 1};
    case 2:
        return {2, 3};
    default:
        return {0, 1, 2, 3};
    }
}

QStringList lookBackTimes() {
    QStringList out;
    for (int i = 0; i < LookBackSteps; ++i)
        out << QString::number(0.5 + i * 0.05, 'f', 2);
    return out;
}

int priorityChannelCount(const QString& model) {
    const QString m = cleanModelText(model);
    if (m == QLatin1String("610") || m == QLatin1String("710")) return 8;
    if (m == QLatin1String("614") || m == QLatin1String("615") || m == QLatin1String("714") ||
        m == QLatin1String("715"))
        return 16;
    return 40;
}

QString dtmfEncodeLabel(int setting, int language) {
    const auto t = [language](const char* en, const char* zh) { return tr2In(language, en, zh); };
    switch (setting) {
    case 0:
        return t("DTMF Speed[digit/s]", "DTMF 速率[数字/秒]");
    case 1:
        return t("First Digit Time[ms]", "首位数码时间[毫秒]");
    case 2:
        return t("First Digit Delay[ms]", "首位数码延迟[毫秒]");
    case 3:
        return t("* and # Tone[ms]", "*和#音[毫秒]");
    case 4:
        return t("D Code Assignment", "D键设定");
    case 5:
        return t("DTMF Side Tone", "DTMF 侧音");
    default:
        return {};
    }
}

QStringList dtmfEncodeEntries(int setting, int language) {
    const QStringList times{QStringLiteral("0"), QStringLiteral("100"), QStringLiteral("500"),
                            QStringLiteral("1000")};
    switch (setting) {
    case 0:
        return {QStringLiteral("6"), QStringLiteral("8"), QStringLiteral("10"),
                QStringLiteral("15")};
    case 1:
    case 3:
        return times;
    case 2:
        return numbers(100, 1000, 50);
    case 4: {
        QStringList out{tr2In(language, "D Code", "D 码")};
        for (int s = 1; s <= 16; ++s)
            out << QString::number(s) + tr2In(language, "s", "秒");
        return out;
    }
    default:
        return {};
    }
}

QString dtmfDecodeLabel(int setting, int language) {
    const auto t = [language](const char* en, const char* zh) { return tr2In(language, en, zh); };
    switch (setting) {
    case 0:
        return t("Group Code", "组呼码");
    case 1:
        return t("Auto Reset Timer[s]", "自动复位定时器[秒]");
    case 2:
        return t("Call Alert", "呼叫告警");
    case 3:
        return t("Transpond", "自动应答");
    case 4:
        return t("Clear to Transpond", "清除自动应答");
    default:
        return {};
    }
}

QStringList dtmfDecodeEntries(int setting, int language) {
    const auto t = [language](const char* en, const char* zh) { return tr2In(language, en, zh); };
    const QString off = t("Off", "关");
    switch (setting) {
    case 0:
        return {off,
                QStringLiteral("A"),
                QStringLiteral("B"),
                QStringLiteral("C"),
                QStringLiteral("D"),
                QStringLiteral("#"),
                QStringLiteral("*")};
    case 1:
        return QStringList{off} + numbers(1, 15);
    case 2:
        return {off, t("Normal", "常规"), t("Continuous", "连续")};
    case 3:
        return {off, t("Alert", "告警"), t("ID Code", "ID 码")};
    default:
        return {};
    }
}

QString dtmfIdCodeLabel(int language) {
    return tr2In(language, "ID Code", "ID 码");
}
QString dtmfStunCodeLabel(int language) {
    return tr2In(language, "Stun Code", "遥毙码");
}
QString dtmfStunTypeLabel(int language) {
    return tr2In(language, "Stun Type", "遥毙类型");
}
QStringList dtmfStunTypes(int language) {
    return {tr2In(language, "TX Inhibit", "发射抑制"),
            tr2In(language, "TX/RX Inhibit", "发射/接收 抑制")};
}
QString dtmfAutodialCaption(int language) {
    return tr2In(language, "Autodial Memory", "自动拨号存储器");
}

QByteArray terminatedDtmfCode(const QByteArray& text, int width) {
    if (text.size() >= width) return text.left(width);
    return text + '\0';
}

QString fleetSyncLabel(int setting, int language) {
    const auto t = [language](const char* en, const char* zh) { return tr2In(language, en, zh); };
    switch (setting) {
    case 0:
        return t("Fleet(Own)", "队列（自身）");
    case 1:
        return t("ID(Own)", "ID（自身）");
    case 2:
        return t("FleetSync Baud Rate[bps]", "队列同步波特率[bps]");
    case 3:
        return t("Data TX Modulation Delay Time[ms]", "数据发射调制延迟时间[毫秒]");
    case 4:
        return t("Message Mode Timer[s]", "信息模式定时器[秒]");
    case 5:
        return t("PTT ID Side Tone", "PTT ID 侧音");
    default:
        return {};
    }
}

QStringList fleetSyncBaudRates() {
    return {QStringLiteral("1200"), QStringLiteral("2400")};
}
QString fleetSyncOffText(int language) {
    return tr2In(language, "Off", "关");
}
QString fleetListCaption(int language) {
    return tr2In(language, "Fleet List", "队列表");
}
QString fleetColumnCaption(int language) {
    return tr2In(language, "Fleet", "队列");
}
QString fleetAllWord(int language) {
    return tr2In(language, "All", "所有");
}

} // namespace FeatureTables
