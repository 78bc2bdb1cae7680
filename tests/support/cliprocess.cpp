#include "cliprocess.h"

#include <QProcess>

CliRun runCli(const QString& program, const QStringList& args, const CliEnvironment& e) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!e.configHome.isEmpty()) env.insert(QStringLiteral("XDG_CONFIG_HOME"), e.configHome);
    if (!e.dataHome.isEmpty()) env.insert(QStringLiteral("XDG_DATA_HOME"), e.dataHome);
    if (e.headless) {
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    }
    p.setProcessEnvironment(env);
    if (!e.workDir.isEmpty()) p.setWorkingDirectory(e.workDir);
    p.start(program, args);
    if (!p.waitForFinished(e.timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}
