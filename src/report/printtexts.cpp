#include "printtexts.h"

#include "core/config/messages.h"

#include <iterator>

namespace {
struct Pair {
    const char* en;
    const char* zh;
};

const Pair Print[] = {
    {"", ""},
    {"%1 Radio Programming Information", "%1 对讲机编程信息"}, // %1: the product name
    {"OFF", "关"},
    {"ON", "开"},
    {"File Name", "文件名"},
    {"Select &All", "选择所有(&A)"},
    {"&Clear All", "清除所有(&C)"},
    {"&Set", "设置(&S)"},
    {"Channel Information Group", "信道信息组"},
    {"Option Features", "可选功能"},
    {"Local Information", "本机信息"},
    {"Embedded Message", "嵌入信息"},
    {"Start -- End", "开始 -- 结束"},
};
} // namespace

QString printText(PrintText id, int language) {
    const int i = int(id);
    if (i <= 0 || size_t(i) >= std::size(Print)) return {};
    switch (language) {
    case LanguageEnglish:
        return QString::fromUtf8(Print[i].en);
    case LanguageChinese:
        return QString::fromUtf8(Print[i].zh);
    default:
        return {};
    }
}

QString printText(PrintText id) {
    return printText(id, currentLanguage());
}
