#include "clisession.h"

#include "clifleet.h"
#include "stopsignals.h"

#include "core/comm/ports.h"
#include "core/comm/sessiontrace.h"
#include "core/comm/unattendedanswers.h"
#include "core/config/settingsfile.h"
#include "exchange/configdiff.h"
#include "exchange/fleetlog.h"

#include <QElapsedTimer>
#include <QEventLoop>

namespace {

// The session's messages on the error stream, above a progress bar drawn in place on a
// terminal.
class SessionConsole {
  public:
    explicit SessionConsole(const CliStreams& io) : m_io(io) {}

    void message(const MessageRequest& r, UnattendedAnswers::Retry retry) {
        endProgressLine();
        m_io.err << QString(r.text).replace(QLatin1String("\r\n"), QLatin1String("\n")) << '\n';
        if (!r.informative.isEmpty()) m_io.err << r.informative << '\n';
        if (retry == UnattendedAnswers::Retry::TryingAgain) m_io.err << "-> trying again\n";
        if (retry == UnattendedAnswers::Retry::GivingUp) m_io.err << "-> giving up\n";
        m_io.err.flush();
    }
    void progress(int percent) {
        if (!m_io.errIsTerminal) return;
        const int filled = percent * 30 / 100;
        m_io.err << "\r[" << QString(filled, QLatin1Char('#'))
                 << QString(30 - filled, QLatin1Char(' ')) << "] " << percent << "%";
        m_io.err.flush();
        m_progressShown = true;
    }
    void endProgressLine() {
        if (m_progressShown) m_io.err << '\n';
        m_progressShown = false;
    }

  private:
    const CliStreams& m_io;
    bool m_progressShown = false;
};

// What a stop signal left behind, for the user.
void reportStop(const CliArgs& a, const Product& p, const RadioSession& session, int signal,
                RadioOperation stoppedIn, bool partlyWritten, QTextStream& err) {
    err << StopSignals::describe(signal) << '\n';
    FleetRecord radio;
    describeRadio(p, session, radio);
    if (partlyWritten)
        err << a.port << ": " << partlyWrittenText(radio.model) << '\n';
    else if (stoppedIn == RadioOperation::Verify)
        err << tr2("The radio was written; reading it back to verify it was stopped.",
                   "对讲机已写入；回读校验已停止。")
            << '\n';
    else if (stoppedIn == RadioOperation::Read)
        // Only the trace, when one was asked for, is kept: it shows how far the read came.
        err << tr2("Nothing was changed, and what was read was not saved.",
                   "未做任何更改，已读取的数据未保存。")
            << '\n';
    else
        err << tr2("Nothing was changed.", "未做任何更改。") << '\n';
}

// The trace kept of every session is a help, not the command's result; the copy was asked for.
int reportTrace(const SessionTrace& trace, int rc, QTextStream& err) {
    if (!trace.lastError().isEmpty())
        err << tr2("Warning: the session trace was not kept: ", "警告：未保存通信记录：")
            << trace.lastError() << '\n';
    if (!trace.copyError().isEmpty()) {
        printFileError(err, trace.copyError());
        if (rc == ExitOk) rc = ExitUsageOrFile;
    }
    return rc;
}

} // namespace

int runSession(Document& doc, const CliArgs& a, const CliStreams& io,
               const std::function<bool(RadioSession&)>& start, FleetRecord* record) {
    const QString device = resolvePortName(a.port, defaultSettingsFile());
    if (device.isEmpty()) {
        io.err << messageText(Msg::PortOpenError) << '\n'
               << a.port
               << " has no serial device on this computer. Plug in the programming "
                  "cable, or give the device path (/dev/ttyUSB0).\n";
        return ExitPortError;
    }
    PortLink link;
    RadioSession session(doc, link);
    UnattendedAnswers answers(a.retries, a.overwrite);
    SessionConsole console(io);
    QObject::connect(&answers, &UnattendedAnswers::shown, &answers,
                     [&console](const MessageRequest& r, UnattendedAnswers::Retry retry) {
                         console.message(r, retry);
                     });
    session.setMessageService(&answers);
    session.setPortName(device);
    SessionTrace trace(doc.product());
    trace.setCopyPath(a.trace);
    session.setTrace(&trace);
    session.setVerifyAfterWrite(a.verify);
    session.setMemoryDiffer(radioImageDiffer(LanguageEnglish));
    QEventLoop loop;
    QObject::connect(&session, &RadioSession::progressChanged, &loop,
                     [&console](int pc) { console.progress(pc); });
    QObject::connect(&session, &RadioSession::finished, &loop, [&] { loop.quit(); });
    // Ctrl+C, SIGTERM or a closed terminal cancel the session: the radio is let go with "E".
    StopSignals& stop = StopSignals::instance();
    int stoppedBy = stop.received();
    RadioOperation stoppedIn = RadioOperation::Idle;
    bool partlyWritten = false;
    QObject::connect(&stop, &StopSignals::stopRequested, &loop, [&](int signal) {
        // A session that has just ended is not stopped any more.
        if (stoppedBy != 0 || !session.busy()) return;
        stoppedBy = signal;
        stoppedIn = session.operation();
        partlyWritten = session.writingData();
        session.cancel();
    });
    QElapsedTimer clock;
    const QDateTime started = QDateTime::currentDateTime();
    clock.start();
    // A stop that came before the session began: the radio is not touched.
    if (stoppedBy == 0 && start(session)) loop.exec();
    const double ms = double(clock.nsecsElapsed()) / 1e6;
    if (record) {
        record->started = started;
        record->port = a.port;
        record->device = device;
        record->operation = a.operation;
        record->failure = session.lastFailure();
        record->seconds = ms / 1000;
        record->partlyWritten = partlyWritten;
        describeRadio(doc.product(), session, *record);
        if (stoppedBy != 0 && record->failure == SessionFailure::None)
            record->failure = SessionFailure::Cancelled;
    }
    console.endProgressLine();
    if (stoppedBy != 0)
        reportStop(a, doc.product(), session, stoppedBy, stoppedIn, partlyWritten, io.err);
    if (a.timing)
        io.err << QStringLiteral("timing: %1 ms, %2 exchanges, %3 bytes\n")
                      .arg(ms, 0, 'f', 3)
                      .arg(session.framesSent())
                      .arg(session.bytesMoved());
    const int rc = stoppedBy != 0 ? ExitNoAnswer : sessionExitCode(session.lastFailure());
    return reportTrace(trace, rc, io.err);
}

bool openLog(const CliArgs& a, FleetLog& log, QTextStream& err) {
    QString why;
    if (a.log.isEmpty() || log.open(a.log, &why)) return true;
    printFileError(err, a.log, why);
    return false;
}

int logRadio(const CliArgs& a, const Product& p, FleetLog& log, FleetRecord& record, int rc,
             QTextStream& err) {
    if (a.log.isEmpty()) return rc;
    if (rc == ExitUsageOrFile && record.failure == SessionFailure::None)
        record.fileError = QStringLiteral("not saved");
    QString why;
    if (!log.append(p.program, record, &why)) {
        printFileError(err, a.log, why);
        return std::max<int>(rc, ExitUsageOrFile);
    }
    return rc;
}
