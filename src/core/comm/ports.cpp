#include "ports.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPortInfo>
#include <QSettings>

QStringList orderSerialDevices(const QStringList& paths) {
    QStringList usb, other;
    for (const QString& path : paths) {
        const QString name = QFileInfo(path).fileName();
        (name.startsWith(QLatin1String("ttyUSB")) || name.startsWith(QLatin1String("ttyACM"))
             ? usb
             : other)
            << path;
    }
    usb.sort();
    other.sort();
    return usb + other;
}

QStringList serialDevices() {
    QStringList paths;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        paths << info.systemLocation();
    return orderSerialDevices(paths);
}

QString deviceForChoice(int n, const QString& settingsFile) {
    if (n < 1 || n > 8) return {};
    if (!settingsFile.isEmpty()) {
        QSettings s(settingsFile, QSettings::IniFormat);
        const QString pinned = s.value(QStringLiteral("ports/COM%1").arg(n)).toString().trimmed();
        if (!pinned.isEmpty()) return pinned;
    }
    const QStringList devices = serialDevices();
    return n <= devices.size() ? devices.at(n - 1) : QString();
}

QString resolvePortName(const QString& port, const QString& settingsFile) {
    static const QRegularExpression com(QStringLiteral("^COM([1-8])$"),
                                        QRegularExpression::CaseInsensitiveOption);
    const auto m = com.match(port);
    if (m.hasMatch()) return deviceForChoice(m.captured(1).toInt(), settingsFile);
    if (port.isEmpty()) return port;
    // A name with a "/" is a path, whether it exists yet or not ("./r5"). A bare name is a file
    // of the current folder when there is one ("radio", a link to a virtual radio), else a
    // device name ("ttyUSB0"). Always the full path, so that messages name what was tried.
    if (!port.contains(QLatin1Char('/')) && !QFileInfo::exists(port))
        return QStringLiteral("/dev/") + port;
    return QDir::cleanPath(QFileInfo(port).absoluteFilePath());
}
