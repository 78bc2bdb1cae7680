#include "clifleet.h"
#include "clisession.h"

#include "core/comm/ports.h"
#include "core/config/settingsfile.h"
#include "exchange/configdiff.h"

#include <QFileInfo>
#include <QHash>

QString fleetProblem(const CliArgs& a) {
    if (!a.fleet()) return {};
    const QString many =
        a.repeat ? QStringLiteral("with --repeat") : QStringLiteral("with several ports");
    if (!a.trace.isEmpty())
        return QStringLiteral("--trace cannot be used %1: it keeps the trace of one session.")
            .arg(many);
    if (a.timing)
        return QStringLiteral("--timing cannot be used %1: it times one session.").arg(many);
    if (a.operation == RadioOperation::Read && !a.image.isEmpty())
        return QStringLiteral("--image cannot be used %1: each radio is read into a data file of "
                              "the folder -o names.")
            .arg(many);
    // Two names of one device would fight over it.
    QHash<QString, QString> seen; // device -> the port argument that named it first
    for (const QString& port : a.ports) {
        const QString device = resolvePortName(port, defaultSettingsFile());
        const QString canonical = QFileInfo(device).canonicalFilePath();
        const QString key = !canonical.isEmpty() ? canonical
                            : !device.isEmpty()  ? device
                                                 : port.toUpper();
        const auto first = seen.constFind(key);
        if (first == seen.cend()) {
            seen.insert(key, port);
        } else if (*first == port) {
            return QStringLiteral("--port %1 is given twice.").arg(port);
        } else {
            return QStringLiteral("--port %1 and --port %2 are the same port (%3).")
                .arg(*first, port, device.isEmpty() ? port : device);
        }
    }
    return {};
}

int fleetCommand(const Document& doc, const CliArgs& a, const CliStreams& io,
                 const QByteArray& image) {
    FleetOptions options;
    options.operation = a.operation;
    options.image = image;
    options.file = a.image.isEmpty() ? a.positional.value(0) : a.image;
    options.retries = a.retries;
    options.overwrite = a.overwrite;
    options.verify = a.verify;
    options.differ = radioImageDiffer(LanguageEnglish);
    options.repeat = a.repeat;
    options.settingsFile = defaultSettingsFile();
    FleetCommand command;
    command.ports = a.ports;
    command.outputDir = a.output;
    command.logPath = a.log;
    command.settingsFile = defaultSettingsFile();
    return runFleet(doc, options, command, io);
}
