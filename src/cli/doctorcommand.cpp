#include "clicommand.h"
#include "stopsignals.h"

#include "core/comm/connectionprobe.h"
#include "core/comm/ports.h"
#include "core/config/settingsfile.h"

#include <QEventLoop>

// doctor [--port PORT] [--probe]: one line per check of the port, each with a plain fix, then
// the verdict. Without --port, the port chosen in the windows. --probe asks the radio who it
// is, as a read begins, and lets it go again; nothing is written.
int doctorCommand(const Product& p, const QStringList& args, const CliStreams& io) {
    const CliArgs a = parseCliArgs(args);
    QString why = commonProblem(QStringLiteral("doctor"), a, {});
    if (why.isEmpty() && a.ports.size() > 1)
        why = QStringLiteral("doctor checks one port: give one --port.");
    if (why.isEmpty() && (!a.image.isEmpty() || !a.trace.isEmpty() || !a.log.isEmpty() ||
                          a.repeat || a.overwrite || a.timing))
        why = QStringLiteral("doctor takes only --port and --probe.");
    if (!why.isEmpty()) return usageError(p, QStringLiteral("doctor"), why, io.err);

    const QString settings = defaultSettingsFile();
    const QString port =
        a.port.isEmpty() ? QStringLiteral("COM%1").arg(SetupSettings(settings).comPort()) : a.port;
    const QString device = resolvePortName(port, settings);
    QList<DoctorLine> lines = ConnectionDoctor().check(port, device);
    if (a.probe && portUsable(lines)) {
        PortLink link;
        ConnectionProbe probe(link);
        QEventLoop loop;
        QObject::connect(&probe, &ConnectionProbe::finished, &loop, &QEventLoop::quit);
        // Ctrl+C, SIGTERM or a closed terminal: the radio still leaves programming mode.
        QObject::connect(&StopSignals::instance(), &StopSignals::stopRequested, &probe,
                         [&probe](int signal) { probe.stop(StopSignals::describe(signal)); });
        probe.start(device);
        if (link.isOpen()) loop.exec(); // else it has finished already
        lines << probe.line(p);
    }
    for (const DoctorLine& l : lines)
        io.out << doctorLineText(l) << '\n';
    io.out << doctorVerdict(port, device, lines) << '\n';
    return portUsable(lines) ? ExitOk : ExitPortError;
}
