#include "supportinformation.h"

#include "core/comm/supportinfo.h"
#include "core/config/messages.h"
#include "core/io/wholefile.h"
#include "ui/common/filedialogs.h"

#include <QDir>

void saveSupportInformation(QWidget* parent, const Product& p, const QString& settingsFile,
                            const ConnectionDoctor& doctor) {
    const QString start = QDir::home().filePath(p.program + QStringLiteral("-support.txt"));
    const QString path =
        fileDialogs().saveFileNameTitled(parent, tr2("Save Support Information", "保存支持信息"),
                                         start, tr2("Text File (*.txt)", "文本文件 (*.txt)"));
    if (path.isEmpty()) return;
    const QByteArray text = supportInformation(p, settingsFile, doctor, traceFolder(p)).toUtf8();
    QString why;
    if (!writeWholeFile(path, text, &why)) {
        showMessage(Msg::FileError, MsgIcon::Critical, MsgButtons::Ok,
                    QDir::toNativeSeparators(path) + QStringLiteral(": ") + why);
        return;
    }
    showMessage(tr2("The support information is in %1. Attach it to your support request; "
                    "nothing was sent.",
                    "支持信息已保存在 %1。请将其附在支持请求中；未发送任何内容。")
                    .arg(QDir::toNativeSeparators(path)),
                MsgIcon::Information);
}
