#include "clifleet.h"

#include "cli.h"
#include "core/comm/keptfiles.h"
#include "core/comm/ports.h"
#include "core/config/datafile.h"
#include "core/config/messages.h"
#include "exchange/fleetlog.h"
#include "stopsignals.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QRegularExpression>

#include <unistd.h>

int exitCodeFor(SessionFailure f) {
    switch (f) {
    case SessionFailure::None:
        return ExitOk;
    case SessionFailure::PortOpen:
        return ExitPortError;
    case SessionFailure::Identity:
        return ExitIdentityRejected;
    case SessionFailure::Refused:
        return ExitUsageOrFile;
    case SessionFailure::VerifyMismatch:
        return ExitVerifyMismatch;
    default:
        return ExitNoAnswer;
    }
}

int exitCodeFor(const FleetRecord& r) {
    if (r.failure != SessionFailure::None) return exitCodeFor(r.failure);
    if (!r.fileError.isEmpty()) return ExitUsageOrFile;
    switch (r.verify) {
    case FleetVerify::Different:
        return ExitVerifyMismatch;
    case FleetVerify::Failed:
        return ExitNoAnswer;
    default:
        return ExitOk;
    }
}

namespace {

QString stateText(const FleetPort& port) {
    switch (port.state()) {
    case FleetPort::State::Idle:
        return {};
    case FleetPort::State::WaitingForRadio:
        return tr2("waiting for a radio", "等待对讲机");
    case FleetPort::State::Working:
        return {};
    case FleetPort::State::WaitingForRemoval:
        return tr2("done; waiting for the radio to be unplugged", "完成；等待取下对讲机");
    case FleetPort::State::Stopped:
        if (port.records().empty()) return tr2("finished", "结束");
        return fleetResultName(port.records().back()) + QLatin1Char(' ') +
               QString::number(port.records().back().seconds, 'f', 1) + QLatin1Char('s');
    }
    return {};
}

// One line per port on stderr. On a terminal the lines stay at the bottom and are redrawn in
// place (messages are printed above them); elsewhere each event is a line of its own.
class FleetConsole {
  public:
    FleetConsole(Fleet& fleet, QTextStream& err) : m_fleet(fleet), m_err(err) {
        m_tty = ::isatty(2) == 1;
        for (const auto& p : fleet.ports())
            m_width = std::max(m_width, int(p->port().size()));
    }

    void message(const FleetPort& port, const QString& text) {
        clear();
        for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            m_err << port.port() << ": " << line << '\n';
        draw();
    }
    void radioStarted(const FleetPort& port) {
        if (!m_tty && port.state() == FleetPort::State::Working)
            m_err << port.port() << ": "
                  << (m_fleet.options().operation == RadioOperation::Read
                          ? tr2("reading", "正在读取")
                          : tr2("writing", "正在写入"))
                  << '\n';
        draw();
    }
    void radioFinished(const FleetPort& port, const FleetRecord& r) {
        clear();
        const QString model = r.model.isEmpty() ? QStringLiteral("?") : r.model;
        const QString seconds = QString::number(r.seconds, 'f', 1);
        m_err
            << port.port() << ": "
            << (r.succeeded()
                    ? tr2("radio %1 done in %2 s", "对讲机 %1 完成，用时 %2 秒").arg(model, seconds)
                    : tr2("radio %1 failed (%3) after %2 s", "对讲机 %1 失败（%3），用时 %2 秒")
                          .arg(model, seconds, fleetResultName(r)))
            << '\n';
        draw();
    }
    void draw() {
        if (!m_tty) {
            m_err.flush();
            return;
        }
        clear();
        for (const auto& p : m_fleet.ports()) {
            m_err << label(*p) << "  ";
            if (p->state() == FleetPort::State::Working) {
                const int filled = p->percent() * 30 / 100;
                m_err << '[' << QString(filled, QLatin1Char('#'))
                      << QString(30 - filled, QLatin1Char(' ')) << "] " << p->percent() << '%';
            } else {
                m_err << stateText(*p);
            }
            m_err << "\x1b[K\n";
        }
        m_drawn = int(m_fleet.ports().size());
        m_err.flush();
    }
    void clear() {
        if (m_drawn > 0) m_err << "\x1b[" << m_drawn << "A\x1b[J";
        m_drawn = 0;
    }

  private:
    QString label(const FleetPort& port) const { return port.port().leftJustified(m_width); }

    Fleet& m_fleet;
    QTextStream& m_err;
    bool m_tty = false;
    int m_width = 4;
    int m_drawn = 0;
};

void printSummary(const std::vector<FleetRecord>& records, QTextStream& out) {
    const QStringList head{QStringLiteral("Port"),   QStringLiteral("Model"),
                           QStringLiteral("Band"),   QStringLiteral("Firmware"),
                           QStringLiteral("Result"), QStringLiteral("Seconds")};
    std::vector<QStringList> rows{head};
    for (const FleetRecord& r : records)
        rows.push_back({r.port, r.model, r.band, r.firmware,
                        QStringLiteral("%1 (%2)").arg(fleetResultName(r)).arg(exitCodeFor(r)),
                        QString::number(r.seconds, 'f', 1)});
    std::vector<qsizetype> width(size_t(head.size()), 0);
    for (const QStringList& row : rows)
        for (qsizetype c = 0; c < row.size(); ++c)
            width[size_t(c)] = std::max(width[size_t(c)], row.at(c).size());
    for (const QStringList& row : rows) {
        QString line;
        for (qsizetype c = 0; c < row.size(); ++c) {
            const bool last = c + 1 == row.size();
            line += last ? row.at(c).rightJustified(width[size_t(c)])
                         : row.at(c).leftJustified(width[size_t(c)]) + QLatin1String("  ");
        }
        out << line << '\n';
    }
    out.flush();
}

// A read that succeeded: the radio's configuration into the folder and its memory as a backup.
void keepRead(FleetPort& port, FleetRecord& r, const QString& folder, QTextStream& err) {
    if (r.failure != SessionFailure::None) return;
    Document& doc = port.document();
    const QString path = fleetReadFileName(folder, port.port(), port.session().radioIdentity());
    doc.takeSnapshot();
    QString why;
    if (!writeRecordFile(doc.product(), doc.snapshot(), path, &why)) {
        r.fileError = path + QLatin1String(": ") + why;
        err << port.port() << ": " << messageText(Msg::FileError) << ' ' << r.fileError << '\n';
        return;
    }
    r.file = path;
    if (!keepBackupImage(doc.product(), doc.currentModel, port.session().radioImage(), &why))
        err << port.port() << ": "
            << tr2("Warning: no backup image of the radio was kept: ",
                   "警告：未保存对讲机的备份映像：")
            << why << '\n';
}

} // namespace

QString partlyWrittenText(const QString& model) {
    return tr2("the radio (%1) holds a partly written configuration until it is written again.",
               "对讲机（%1）中只有部分写入的配置，直到再次写入为止。")
        .arg(model.isEmpty() ? QStringLiteral("?") : model);
}

QString fleetReadFileName(const QString& folder, const QString& port,
                          const RadioSession::RadioIdentity& id) {
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9._]+"));
    const auto part = [](QString text) {
        text.replace(unsafe, QStringLiteral("_"));
        while (text.startsWith(QLatin1Char('_')) || text.startsWith(QLatin1Char('.')))
            text.remove(0, 1);
        return text.isEmpty() ? QStringLiteral("radio") : text;
    };
    const QString base = part(QFileInfo(port).fileName()) + QLatin1Char('-') +
                         part(QString::fromLatin1(id.modelCode).trimmed()) + QLatin1Char('-') +
                         QString::number(id.bandCode) + QLatin1Char('-') +
                         part(QString::fromLatin1(id.firmware).trimmed());
    const QDir dir(folder);
    QString path = dir.filePath(base + QLatin1String(".dat"));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = dir.filePath(QStringLiteral("%1-%2.dat").arg(base).arg(n));
    return path;
}

int runFleet(const Document& doc, const FleetOptions& options, const FleetCommand& command,
             QTextStream& out, QTextStream& err) {
    QString why;
    // The log is opened before any radio is touched: one that cannot be written stops the run
    // here, not after the radios were programmed.
    FleetLog log;
    if (!command.logPath.isEmpty() && !log.open(command.logPath, &why)) {
        err << messageText(Msg::FileError) << '\n' << command.logPath << ": " << why << '\n';
        return ExitUsageOrFile;
    }
    if (!command.outputDir.isEmpty() && !QDir().mkpath(command.outputDir)) {
        err << messageText(Msg::FileError) << '\n'
            << command.outputDir << ": " << tr2("the folder cannot be made", "无法创建文件夹")
            << '\n';
        return ExitUsageOrFile;
    }
    Fleet fleet(doc, options);
    for (const QString& port : command.ports) {
        FleetPort& p = fleet.addPort(port, resolvePortName(port, command.settingsFile));
        if (options.operation == RadioOperation::Read)
            p.radioDone = [&](FleetPort& fp, FleetRecord& r) {
                keepRead(fp, r, command.outputDir, err);
            };
    }
    FleetConsole console(fleet, err);
    int rc = ExitOk;
    bool logWarned = false;
    const QString program = doc.product().program;
    for (const auto& p : fleet.ports()) {
        FleetPort* port = p.get();
        QObject::connect(port, &FleetPort::message, &fleet,
                         [&console, port](const QString& text) { console.message(*port, text); });
        QObject::connect(port, &FleetPort::stateChanged, &fleet,
                         [&console, port] { console.radioStarted(*port); });
        QObject::connect(port, &FleetPort::progressChanged, &fleet, [&console] { console.draw(); });
    }
    QObject::connect(
        &fleet, &Fleet::radioFinished, &fleet, [&](FleetPort* port, const FleetRecord& r) {
            console.radioFinished(*port, r);
            rc = std::max(rc, exitCodeFor(r));
            QString why;
            if (!command.logPath.isEmpty() && !log.append(program, r, &why)) {
                rc = std::max<int>(rc, ExitUsageOrFile);
                // Radios being programmed are finished; no new one is taken without its row.
                if (!logWarned)
                    console.message(
                        *port, messageText(Msg::FileError) + QLatin1Char(' ') + command.logPath +
                                   QLatin1String(": ") + why +
                                   tr2(" (no further radio is taken)", "（不再接受其他对讲机）"));
                logWarned = true;
                fleet.stopAfterRadios();
            }
        });

    QEventLoop loop;
    StopSignals& stop = StopSignals::instance();
    int stoppedBy = stop.received();
    QObject::connect(&stop, &StopSignals::stopRequested, &fleet, [&](int signal) {
        if (stoppedBy == 0) stoppedBy = signal;
        fleet.stop();
    });
    QObject::connect(&fleet, &Fleet::finished, &loop, &QEventLoop::quit);
    // A stop that came while the files were being opened: no radio is touched.
    if (stoppedBy == 0)
        fleet.start();
    else
        rc = ExitNoAnswer;
    if (fleet.running() && stoppedBy == 0) loop.exec();
    console.clear();
    if (stoppedBy != 0) {
        err << StopSignals::describe(stoppedBy) << '\n';
        for (const auto& p : fleet.ports())
            for (const FleetRecord& r : p->records())
                if (r.partlyWritten) err << r.port << ": " << partlyWrittenText(r.model) << '\n';
    }
    err.flush();
    // The table lists the ports in the order given, each port's radios in the order done.
    std::vector<FleetRecord> records;
    for (const auto& p : fleet.ports())
        records.insert(records.end(), p->records().begin(), p->records().end());
    printSummary(records, out);
    return rc;
}
