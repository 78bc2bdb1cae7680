#include "texttables.h"

#include "core/config/messages.h"

#include <QComboBox>
#include <QStringList>
#include <iterator>

namespace {
struct Pair {
    const char* en;
    const char* zh;
};

QString pick(const Pair& p, int language) {
    switch (language) {
    case LanguageEnglish:
        return QString::fromUtf8(p.en);
    case LanguageChinese:
        return QString::fromUtf8(p.zh);
    default:
        return {};
    }
}

template <size_t N> QString lookup(const Pair (&table)[N], int id, int language) {
    return id > 0 && size_t(id) < N ? pick(table[id], language) : QString();
}

const Pair General[] = {
    {"", ""},
    {"Model Information", "机型信息"},
    {"Model Type", "机型类型"},
    {"Frequency", "频率"},
    {"Communication Port", "通信端口"},
    {"COM", "通信口"},
    {"Language Mode", "语言模式"},
    {"Language Setup", "语言设置"},
    {"English", "英语"},
    {"Chinese", "中文"},
    {"&Close", "关闭(&C)"},
    {"&Print", "打印(&R)"},
    {"&Help", "帮助(&H)"},
    {"&OK", "确定(&O)"},
    {"&Cancel", "取消(&C)"},
};

struct MenuEntry {
    const char* name;
    Pair text;
};

const MenuEntry Menus[] = {
    {"mnuFile", {"&File", "文件&F"}},
    {"mnuFileNew", {"&New", "新建(&N)"}},
    {"mnuFileOpen", {"&Open", "打开(&O)"}},
    {"mnuFileSave", {"&Save", "保存(&S)"}},
    {"mnuFileSaveAs", {"Save &As", "另存为(&A)"}},
    {"mnuFileExportCsv", {"&Export Channels...", "导出信道(&E)..."}},
    {"mnuFileImportCsv", {"&Import Channels...", "导入信道(&I)..."}},
    {"mnuFileExportText", {"Export Configuration as &Text...", "将配置导出为文本(&T)..."}},
    {"mnuFilePrint", {"&Print", "打印(&P)"}},
    {"mnuFileRecent", {"&Recent Files", "最近使用的文件(&R)"}},
    {"mnuFileRecentClear", {"&Clear Recent Files", "清除最近使用的文件(&C)"}},
    {"mnuFileExit", {"E&xit", "退出(&X)"}},
    {"mnuModel", {"&Model", "机型(&M)"}},
    {"mnuModelInfo", {"&Model Information", "机型信息(&M)"}},
    {"mnuEdit", {"&Edit", "编辑(&E)"}},
    {"mnuChannelInfo", {"&Channel Information", "信道信息(&C)"}},
    {"mnuOptFeature", {"&Option Features", "可选功能(&O)"}},
    {"mnuFillFrequencies", {"&Fill Frequencies...", "填充频率(&F)..."}},
    {"mnuSortByFrequency", {"Sort by Fre&quency", "按频率排序(&Q)"}},
    {"mnuMoveUp", {"Move &Up\tCtrl+Up", "上移(&U)\tCtrl+Up"}},
    {"mnuMoveDown", {"Move Do&wn\tCtrl+Down", "下移(&W)\tCtrl+Down"}},
    {"mnuInsertChannel", {"I&nsert Channel\tIns", "插入信道(&N)\tIns"}},
    {"mnuFind", {"Fin&d...\tCtrl+F", "查找(&D)...\tCtrl+F"}},
    {"mnuKeyAssignm", {"&Key Assignment", "键设置(&K)"}},
    {"mnuScanInfo", {"&Scan Information", "扫描信息(&S)"}},
    {"mnuDTMF", {"&DTMF", "DTMF(双音多频)(&D)"}},
    {"mnuFleetSync", {"&Fleet Sync", "Fleet Sync(队列同步)(&F)"}},
    {"mnuTestFre", {"&Test FreQuence", "测试频率(&T)"}},
    {"mnuEmbeddedMsg", {"Local &Information", "本机信息(&I)"}},
    {"mnuEMG", {"Embedded &Message", "嵌入信息(&M)"}},
    {"mnuProgram", {"&Program", "编程(&P)"}},
    {"mnuReadFromRadio", {"&Read from Radio", "从对讲机读取数据(&R)"}},
    {"mnuWriteToRadio", {"&Write to Radio", "向对讲机写入数据(&W)"}},
    {"mnuVerifyAfterWrite", {"&Verify after Write", "写入后校验(&V)"}},
    {"mnuCompareWithRadio", {"&Compare with Radio...", "与对讲机比较(&C)..."}},
    {"mnuShowChangesBeforeWriting", {"Show c&hanges before writing", "写入前显示更改(&H)"}},
    {"mnuWriteSeveral", {"Write to &Several Radios...", "写入多台对讲机(&S)..."}},
    {"mnuTest", {"&Test Mode", "测试模式(&T)"}},
    {"mnuTools", {"&Tools", "工具(&T)"}},
    {"mnuRadioInfo", {"&Radio Information", "对讲机信息(&R)"}},
    {"mnuSetRadioInfo", {"&Set Radio Information", "设置对讲机信息(&S)"}},
    {"mnuSet", {"&Setup", "设置(&S)"}},
    {"mnuComm", {"&Communication Port", "通讯端口(&C)"}},
    {"mnuLanguage", {"&Language Setup", "语言设置(&L)"}},
    {"MnuInitial", {"&Initial Setting", "初始化设置(&I)"}},
    {"mnuView", {"&View", "视图(&V)"}},
    {"mnuTreeView", {"Tree &View", "树视图(&V)"}},
    {"mnuViewToolbar", {"&Toolbar", "工具栏(&T)"}},
    {"mnuViewStatusBar", {"&Status Bar", "状态栏(&S)"}},
    {"mnuWindow", {"&Window", "窗口(&W)"}},
    {"mnuWindowCascade", {"&Cascade", "层叠(&C)"}},
    {"mnuWindowTileVertical", {"Tile Windows &Vertically", "纵向平铺窗口(&V)"}},
    {"mnuWindowTileHorizontal", {"Tile Windows &Horizontally", "横向平铺窗口(&H)"}},
    {"mnuWindowArrangeIcons", {"&Arrange Icons", "排列图标(&A)"}},
    {"mnuCloseAll", {"Close All &Windows", "关闭所有窗口(&W)"}},
    {"mnuHelp", {"&Help", "帮助(&H)"}},
    {"mnuHelpTopic", {"&Help topics", "帮助主题(&H)"}},
    {"mnuHelpBackupFolder", {"Open &Backup Folder", "打开备份文件夹(&B)"}},
    {"mnuHelpSupportInfo", {"Save &Support Information...", "保存支持信息(&S)..."}},
    {"mnuHelpAbout", {"&About %1", "关于 %1(&A)"}}, // %1: the product name
};
} // namespace

QString generalText(GeneralText id, int language) {
    return lookup(General, int(id), language);
}
QString generalText(GeneralText id) {
    return generalText(id, currentLanguage());
}

QString menuCaption(const QString& name, int language) {
    for (const MenuEntry& m : Menus)
        if (name == QLatin1String(m.name)) return pick(m.text, language);
    return {};
}
QString menuCaption(const QString& name) {
    return menuCaption(name, currentLanguage());
}

QStringList menuItemNames() {
    QStringList names;
    for (const MenuEntry& m : Menus)
        names << QString::fromLatin1(m.name);
    return names;
}

QString ListEntry::lookup(const QComboBox* combo, const QString& text) {
    if (!combo || combo->count() == 0) return {};
    const int i = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    return combo->itemText(i >= 0 ? i : 0);
}

QString ListEntry::byIndex(const QComboBox* combo, int index) {
    if (!combo || combo->count() == 0) return {};
    return combo->itemText(index >= 0 && index < combo->count() ? index : 0);
}
