#include "backupfolder.h"

#include "core/comm/keptfiles.h"
#include "core/config/messages.h"

#include <QDesktopServices>

namespace {
UrlOpener& opener() {
    static UrlOpener o;
    return o;
}
} // namespace

void setUrlOpener(UrlOpener o) {
    opener() = std::move(o);
}

void openBackupFolder(const Product& p) {
    const KeptFolder folder = backupFolder(p);
    QString why;
    if (!folder.ensure(&why)) {
        showMessage(tr2("The backup folder cannot be opened.", "无法打开备份文件夹。"),
                    MsgIcon::Warning, MsgButtons::Ok, why);
        return;
    }
    const QUrl url = QUrl::fromLocalFile(folder.path());
    const bool shown = opener() ? opener()(url) : QDesktopServices::openUrl(url);
    if (!shown)
        showMessage(tr2("The backup folder cannot be shown.", "无法显示备份文件夹。"),
                    MsgIcon::Warning, MsgButtons::Ok, folder.path());
}
