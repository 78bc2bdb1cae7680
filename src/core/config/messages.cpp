#include "messages.h"

#include <QTextStream>
#include <cstdio>

namespace {
int g_language = LanguageEnglish;
MessageService* g_service = nullptr;
QString g_title = QStringLiteral("MERIDOX");

struct Entry {
    const char* en;
    const char* zh;
};

const Entry& entry(Msg msg) {
    static const Entry table[] = {
        {"", ""},
        {"All data will be cleared.", "所有数据将被清空。"},
        {"Data File", "数据文件"},
        {"file error.", "文件错误。"},
        {"Cannot Open Communication Port.", "无法打开通信端口。"},
        {"Read data from radio.\r\nDo you wish continue?", "从对讲机读取数据。\r\n是否继续？"},
        {"Write data to radio.\r\nDo you wish continue?", "向对讲机写入数据。\r\n是否继续？"},
        {"File has been modify,save it now?", "当前文件已被修改，是否现在保存？"},
        {"file will be Overwrite,Continue?", "文件将被覆盖，是否继续？"},
        {"Check Connection. Retry or Cancel?", "检测连接。重试或取消？"},
        {"Read Data Completed.", "读取数据完成。"},
        {"Write Data Completed.", "写入数据完成。"},
        {"Please select printing items.", "请选择打印项目。"},
        {"Model type is wrong.", "机型类型错误。"},
        {"Version is wrong.", "版本错误。"},
        {"Frequency band type is wrong.", "频段类型错误。"},
        {"Firmware version is", "固件版本为"},
        {"Programming software version is", "写频软件版本为"},
        {"DataFile version is", "数据文件版本为"},
        {"Unknown", "未知"},
        {"Test Frequency nismatch.\r\nExecute read data from radio\r\nor write to radio.",
         "测试频率不匹配\r\n执行“从对讲机读取数据”\r\n或“向对讲机写入数据”。"},
        {"Frequency data will be cleared.", "频率数据将被清除。"},
        {"Warning", "警告"},
        {"Invalid Data", "无效数据"},
        {"Frequency is out of range.", "频率超出范围。"},
        {"is not numeric.", "不是有效数据。"},
        {"Model type is wrong. Overwrite?", "机型类型错误。是否覆盖？"},
        {"Stop writing? The radio will hold a partly written configuration until it is written "
         "again.",
         "停止写入？在重新写入之前，对讲机将保存只写入了一部分的配置。"},
        {"Writing stopped. The radio holds a partly written configuration: write it again.",
         "写入已停止。对讲机中的配置只写入了一部分，请重新写入。"},
        {"Writing stopped before any data was sent. The radio is unchanged.",
         "写入在发送数据之前已停止。对讲机未被更改。"},
        {"Reading stopped. Nothing was changed.", "读取已停止。未作任何更改。"},
        {"Verifying stopped. The radio was written, but not read back to compare.",
         "校验已停止。对讲机已写入，但未读回比较。"},
    };
    const auto i = size_t(msg);
    return i < std::size(table) ? table[i] : table[0];
}

class StderrMessageService : public MessageService {
  public:
    MsgAnswer ask(const MessageRequest& r) override {
        QTextStream err(stderr);
        err << QString(r.text).replace(QLatin1String("\r\n"), QLatin1String("\n")) << '\n';
        if (!r.informative.isEmpty()) err << r.informative << '\n';
        switch (r.buttons) {
        case MsgButtons::Ok:
            return MsgAnswer::Ok;
        case MsgButtons::YesNo:
            return MsgAnswer::No;
        default:
            return MsgAnswer::Cancel;
        }
    }
};
} // namespace

int currentLanguage() {
    return g_language;
}
void setCurrentLanguage(int language) {
    g_language = language;
}

QString tr2(const char* english, const char* chinese) {
    return tr2In(g_language, english, chinese);
}

QString tr2In(int language, const char* english, const char* chinese) {
    switch (language) {
    case LanguageEnglish:
        return QString::fromUtf8(english);
    case LanguageChinese:
        return QString::fromUtf8(chinese);
    default:
        return {};
    }
}

QString messageText(Msg msg, int language) {
    const Entry& e = entry(msg);
    switch (language) {
    case LanguageEnglish:
        return QString::fromUtf8(e.en);
    case LanguageChinese:
        return QString::fromUtf8(e.zh);
    default:
        return {};
    }
}

QString messageText(Msg msg) {
    return messageText(msg, g_language);
}

MessageService& messageService() {
    static StderrMessageService fallback;
    return g_service ? *g_service : fallback;
}

void setMessageService(MessageService* service) {
    g_service = service;
}

QString programTitle() {
    return g_title;
}
void setProgramTitle(const QString& title) {
    g_title = title;
}

MsgAnswer showMessage(const QString& text, MsgIcon icon, MsgButtons buttons,
                      const QString& informative) {
    return messageService().ask({text, informative, g_title, icon, buttons});
}

MsgAnswer showMessage(Msg id, MsgIcon icon, MsgButtons buttons, const QString& informative) {
    return messageService().ask({messageText(id), informative, g_title, icon, buttons, id});
}

void reportProcedureError(const QString& procedure) {
    showMessage(procedure);
}
