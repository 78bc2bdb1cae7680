#include "supportinfo.h"

#include "core/config/filereading.h"
#include "core/config/messages.h"
#include "ports.h"

#include <QDateTime>
#include <QFile>
#include <QSysInfo>

namespace {

// Settings files and traces are a few kB; more of one is not worth attaching.
constexpr qint64 MaxFileBytes = 256 * 1024;

// A file's text as it is, or why it cannot be shown. Only a regular file is read, so that a
// FIFO or device put in the place of a trace cannot hold the window.
QString fileText(const QString& path) {
    if (!QFile::exists(path)) return QStringLiteral("(no such file)\n");
    const FileRead read = readRegularFile(path, MaxFileBytes + 1);
    if (!read.ok()) return QStringLiteral("(cannot be read: %1)\n").arg(read.problem);
    QString text = QString::fromUtf8(read.bytes.left(MaxFileBytes));
    if (!text.endsWith(QLatin1Char('\n'))) text += QLatin1Char('\n');
    if (read.bytes.size() > MaxFileBytes) text += QStringLiteral("(only its first 256 kB)\n");
    return text;
}

QString heading(const QString& title) {
    return QStringLiteral("\n== %1 ==\n").arg(title);
}

} // namespace

QString supportInformation(const Product& p, const QString& settingsFile,
                           const ConnectionDoctor& doctor, const KeptFolder& traces) {
    QString out = QStringLiteral("%1 support information\n").arg(p.program);
    out += QStringLiteral("Made: %1\n").arg(QDateTime::currentDateTime().toString(Qt::ISODate));
    out += QStringLiteral("Program: %1 %2 (built with Qt %3, running on Qt %4)\n")
               .arg(p.program, QStringLiteral(PROGRAM_VERSION), QStringLiteral(QT_VERSION_STR),
                    QString::fromLatin1(qVersion()));
    out += QStringLiteral("System: %1, kernel %2 %3, %4\n")
               .arg(QSysInfo::prettyProductName(), QSysInfo::kernelType(),
                    QSysInfo::kernelVersion(), QSysInfo::currentCpuArchitecture());

    out += heading(QStringLiteral("Connection check of every port choice"));
    for (int n = 1; n <= 8; ++n) {
        const QString port = QStringLiteral("COM%1").arg(n);
        const QString device = deviceForChoice(n, settingsFile);
        const QList<DoctorLine> lines = doctor.check(port, device);
        out += QLatin1Char('\n') + doctorVerdict(port, device, lines) + QLatin1Char('\n');
        for (const DoctorLine& l : lines)
            out += doctorLineText(l) + QLatin1Char('\n');
    }

    out += heading(QStringLiteral("Settings file %1").arg(settingsFile)) + fileText(settingsFile);

    const QStringList kept = traces.files(); // oldest first
    if (kept.isEmpty())
        out += heading(QStringLiteral("Session traces")) + QStringLiteral("(none)\n");
    for (qsizetype i = kept.size() - 1; i >= 0 && i >= kept.size() - 3; --i)
        out += heading(QStringLiteral("Session trace %1").arg(kept.at(i))) + fileText(kept.at(i));
    return out;
}
