#include "backupfolder.h"

#include "core/comm/keptfiles.h"
#include "core/config/messages.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>

namespace {
UrlOpener& opener() {
    static UrlOpener o;
    return o;
}
// The desktop's opener reports only when it has finished whether a program showed the folder
// (it fails when there is no file manager): it runs on its own and the folder's path is shown
// when it cannot start or fails. Without it, Qt asks the desktop directly.
void showWithDesktop(const QString& folder, const std::function<void()>& notShown) {
    const QString xdgOpen = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (xdgOpen.isEmpty()) {
        if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder))) notShown();
        return;
    }
    // No parent: a file manager the opener waits for stays open when the program ends.
    auto* process = new QProcess;
    QObject::connect(process, &QProcess::finished, process,
                     [process, notShown](int code, QProcess::ExitStatus status) {
                         process->deleteLater();
                         if (status != QProcess::NormalExit || code != 0) notShown();
                     });
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process, notShown](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart) return;
                         process->deleteLater();
                         notShown();
                     });
    process->start(xdgOpen, {folder});
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
    const QString path = folder.path();
    const auto notShown = [path] {
        showMessage(tr2("The backup folder cannot be shown.", "无法显示备份文件夹。"),
                    MsgIcon::Warning, MsgButtons::Ok, path);
    };
    if (opener()) {
        if (!opener()(QUrl::fromLocalFile(path))) notShown();
        return;
    }
    showWithDesktop(path, notShown);
}
