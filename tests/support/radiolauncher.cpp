#include "radiolauncher.h"

#include <QDeadlineTimer>
#include <QFile>

VirtualRadio::VirtualRadio() = default;

VirtualRadio::~VirtualRadio() {
    stop();
}

bool VirtualRadio::start(const QString& product, const QStringList& extraArgs) {
    stop();
    m_stderr.clear();
    QFile::remove(logPath());
    QFile::remove(dumpPath());
    QStringList args{QStringLiteral("--product"), product,   QStringLiteral("--link"), linkPath(),
                     QStringLiteral("--log"),     logPath(), QStringLiteral("--dump"), dumpPath()};
    args += extraArgs;
    m_process.start(QStringLiteral(VIRTUAL_RADIO), args);

    const QByteArray expected = "ready " + QFile::encodeName(linkPath()) + '\n';
    QDeadlineTimer deadline(5000);
    while (!deadline.hasExpired() && m_process.state() != QProcess::NotRunning) {
        if (m_process.canReadLine()) {
            if (m_process.readLine() == expected) return true;
            break;
        }
        m_process.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
    }
    stop();
    m_stderr += m_process.readAllStandardError();
    return false;
}

void VirtualRadio::stop() {
    if (m_process.state() == QProcess::NotRunning) return;
    m_process.terminate();
    if (!m_process.waitForFinished(3000)) {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
    m_stderr += m_process.readAllStandardError();
}

bool VirtualRadio::waitForExit(int msecs) {
    if (m_process.state() == QProcess::NotRunning) return true;
    const bool done = m_process.waitForFinished(msecs);
    m_stderr += m_process.readAllStandardError();
    return done;
}

QString VirtualRadio::errorOutput() {
    m_stderr += m_process.readAllStandardError();
    return QString::fromLocal8Bit(m_stderr);
}

QStringList VirtualRadio::log() const {
    QFile file(logPath());
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromLatin1(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QByteArray VirtualRadio::dump() const {
    QFile file(dumpPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
