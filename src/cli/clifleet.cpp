#include "clifleet.h"

#include "clicommand.h"
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

#include <optional>

int exitCodeFor(const FleetRecord& r) {
    if (r.failure != SessionFailure::None) return sessionExitCode(r.failure);
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
    FleetConsole(Fleet& fleet, const CliStreams& io)
        : m_fleet(fleet), m_err(io.err), m_tty(io.errIsTerminal) {
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
    if (!keepBackupImage(doc.product(), doc.model(), port.session().radioImage(), &why))
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

namespace {

// One run over the ports: the radios' progress on the error stream, their rows in the log,
// the highest exit code of any radio.
class FleetRun {
  public:
    FleetRun(const Document& doc, const FleetOptions& options, const FleetCommand& command,
             const CliStreams& io)
        : m_fleet(doc, options), m_command(command), m_io(io), m_program(doc.product().program) {
        for (const QString& port : command.ports) {
            FleetPort& p = m_fleet.addPort(port, resolvePortName(port, command.settingsFile));
            if (options.operation == RadioOperation::Read)
                QObject::connect(&p, &FleetPort::radioDone, &m_fleet,
                                 [this](FleetPort* fp, FleetRecord& r) {
                                     keepRead(*fp, r, m_command.outputDir, m_io.err);
                                 });
        }
        m_console.emplace(m_fleet, io);
        for (const auto& p : m_fleet.ports()) {
            FleetPort* port = p.get();
            QObject::connect(
                port, &FleetPort::message, &m_fleet,
                [this, port](const QString& text) { m_console->message(*port, text); });
            QObject::connect(port, &FleetPort::stateChanged, &m_fleet,
                             [this, port] { m_console->radioStarted(*port); });
            QObject::connect(port, &FleetPort::progressChanged, &m_fleet,
                             [this] { m_console->draw(); });
        }
        QObject::connect(
            &m_fleet, &Fleet::radioFinished, &m_fleet,
            [this](FleetPort* port, const FleetRecord& r) { radioFinished(*port, r); });
    }

    // The log is opened before any radio is touched: one that cannot be written stops the run
    // here, not after the radios were programmed.
    bool openFiles() {
        QString why;
        if (!m_command.logPath.isEmpty() && !m_log.open(m_command.logPath, &why)) {
            printFileError(m_io.err, m_command.logPath, why);
            return false;
        }
        if (!m_command.outputDir.isEmpty() && !QDir().mkpath(m_command.outputDir)) {
            printFileError(m_io.err, m_command.outputDir,
                           tr2("the folder cannot be made", "无法创建文件夹"));
            return false;
        }
        return true;
    }

    int run() {
        QEventLoop loop;
        StopSignals& stop = StopSignals::instance();
        int stoppedBy = stop.received();
        QObject::connect(&stop, &StopSignals::stopRequested, &m_fleet, [&](int signal) {
            if (stoppedBy == 0) stoppedBy = signal;
            m_fleet.stop();
        });
        QObject::connect(&m_fleet, &Fleet::finished, &loop, &QEventLoop::quit);
        // A stop that came while the files were being opened: no radio is touched.
        if (stoppedBy == 0)
            m_fleet.start();
        else
            m_rc = ExitNoAnswer;
        if (m_fleet.running() && stoppedBy == 0) loop.exec();
        m_console->clear();
        if (stoppedBy != 0) {
            m_io.err << StopSignals::describe(stoppedBy) << '\n';
            for (const auto& p : m_fleet.ports())
                for (const FleetRecord& r : p->records())
                    if (r.partlyWritten)
                        m_io.err << r.port << ": " << partlyWrittenText(r.model) << '\n';
        }
        m_io.err.flush();
        // The table lists the ports in the order given, each port's radios in the order done.
        std::vector<FleetRecord> records;
        for (const auto& p : m_fleet.ports())
            records.insert(records.end(), p->records().begin(), p->records().end());
        printSummary(records, m_io.out);
        return m_rc;
    }

  private:
    void radioFinished(const FleetPort& port, const FleetRecord& r) {
        m_console->radioFinished(port, r);
        m_rc = std::max(m_rc, exitCodeFor(r));
        QString why;
        if (m_command.logPath.isEmpty() || m_log.append(m_program, r, &why)) return;
        m_rc = std::max<int>(m_rc, ExitUsageOrFile);
        // Radios being programmed are finished; no new one is taken without its row.
        if (!m_logWarned)
            m_console->message(port,
                               messageText(Msg::FileError) + QLatin1Char(' ') + m_command.logPath +
                                   QLatin1String(": ") + why +
                                   tr2(" (no further radio is taken)", "（不再接受其他对讲机）"));
        m_logWarned = true;
        m_fleet.stopAfterRadios();
    }

    Fleet m_fleet;
    const FleetCommand& m_command;
    const CliStreams& m_io;
    const QString m_program;
    std::optional<FleetConsole> m_console;
    FleetLog m_log;
    int m_rc = ExitOk;
    bool m_logWarned = false;
};

} // namespace

int runFleet(const Document& doc, const FleetOptions& options, const FleetCommand& command,
             const CliStreams& io) {
    FleetRun run(doc, options, command, io);
    return run.openFiles() ? run.run() : ExitUsageOrFile;
}
