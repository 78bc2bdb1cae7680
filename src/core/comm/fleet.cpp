#include "fleet.h"

#include "core/comm/ports.h"
#include "core/config/messages.h"
#include "core/config/modelband.h"
#include "protocol.h"

#include <algorithm>

namespace {
// A message of the port's session as one line (a list, such as the differences a verify
// found, keeps its lines), with the answer to a "check the connection" question.
QString fleetMessageText(const MessageRequest& r, UnattendedAnswers::Retry retry) {
    QString text = QString(r.text).replace(QLatin1String("\r\n"), QLatin1String(" "));
    if (!r.informative.isEmpty())
        text += (r.informative.contains(QLatin1Char('\n')) ? QLatin1Char('\n') : QLatin1Char(' ')) +
                r.informative;
    if (retry == UnattendedAnswers::Retry::TryingAgain) text += tr2(" -> trying again", " -> 重试");
    if (retry == UnattendedAnswers::Retry::GivingUp) text += tr2(" -> giving up", " -> 放弃");
    return text;
}
} // namespace

FleetPort::FleetPort(const Document& doc, QString port, QString device, const FleetOptions& options,
                     QObject* parent)
    : QObject(parent), m_doc(doc), m_port(std::move(port)), m_device(std::move(device)),
      m_options(options), m_session(m_doc, m_link), m_trace(doc.product()),
      m_answers(options.retries, options.overwrite) {
    m_session.setPortName(m_device);
    m_session.setTrace(&m_trace);
    m_session.setMessageService(&m_answers);
    connect(&m_answers, &UnattendedAnswers::shown, this,
            [this](const MessageRequest& r, UnattendedAnswers::Retry retry) {
                m_current.lastMessage = fleetMessageText(r, retry);
                emit message(m_current.lastMessage);
            });
    m_session.setVerifyAfterWrite(m_options.verify && m_options.operation == RadioOperation::Write);
    if (m_options.differ) m_session.setMemoryDiffer(m_options.differ);
    // The write went through and the read-back begins: from now on the verify has a result.
    connect(&m_session, &RadioSession::progressOpened, this, [this](RadioOperation op) {
        if (op == RadioOperation::Verify) m_current.verify = FleetVerify::Failed;
    });
    connect(&m_session, &RadioSession::progressChanged, this, [this](int percent) {
        m_percent = percent;
        emit progressChanged(percent);
    });
    connect(&m_session, &RadioSession::finished, this,
            [this](RadioOperation, bool success) { sessionEnded(success); });
    m_probeTimer.setSingleShot(true);
    m_probeTimer.setInterval(ProbeIntervalMs);
    connect(&m_probeTimer, &QTimer::timeout, this, &FleetPort::probe);
    m_probeReplyTimer.setSingleShot(true);
    // A probe frame waits for the radio as long as a session's frame does.
    m_probeReplyTimer.setInterval(RadioProtocol::ReplyTimeoutMs);
    connect(&m_probeReplyTimer, &QTimer::timeout, this, &FleetPort::probeTimedOut);
    connect(&m_link, &SerialLink::replyReady, this, [this] { probeReply(); });
    connect(&m_link, &SerialLink::deviceLost, this, [this] {
        if (m_probeStep != ProbeStep::None) probeDone(false);
    });
}

FleetPort::~FleetPort() {
    m_session.setMessageService(nullptr);
    if (m_session.busy()) m_session.cancel();
}

void FleetPort::setState(State s) {
    if (m_state == s) return;
    m_state = s;
    emit stateChanged(s);
}

void FleetPort::start() {
    if (m_state != State::Idle) return;
    if (m_options.repeat) {
        setState(State::WaitingForRadio);
        probe();
    } else {
        startSession();
    }
}

void FleetPort::stop() {
    if (m_state == State::Stopped) return;
    m_stopping = true;
    m_probeTimer.stop();
    if (m_session.busy()) {
        m_current.partlyWritten = m_session.writingData();
        m_session.cancel(); // ends through sessionEnded, which finishes the port
        return;
    }
    if (m_probeStep != ProbeStep::None) {
        m_probeReplyTimer.stop();
        m_probeStep = ProbeStep::None;
        m_link.close();
    }
    finish();
}

void FleetPort::stopAfterRadio() {
    if (m_state != State::Working) {
        stop();
        return;
    }
    m_stopping = true; // the session's end finishes the port
    m_probeTimer.stop();
}

void FleetPort::finish() {
    m_probeTimer.stop();
    setState(State::Stopped);
    emit finished();
}

void FleetPort::startSession() {
    m_current = FleetRecord{};
    m_current.started = QDateTime::currentDateTime();
    m_current.port = m_port;
    m_current.device = m_device;
    m_current.operation = m_options.operation;
    m_current.file = m_options.file;
    m_answers.setRetries(m_options.retries);
    m_percent = 0;
    m_clock.start();
    setState(State::Working);
    emit progressChanged(0);
    if (m_device.isEmpty()) {
        // A COMn choice with no device behind it.
        m_answers.ask(
            {messageText(Msg::PortOpenError),
             tr2("%1 has no serial device on this computer.", "%1 在本计算机上没有串口设备。")
                 .arg(m_port),
             programTitle(), MsgIcon::Critical, MsgButtons::Ok, Msg::PortOpenError});
        m_current.failure = SessionFailure::PortOpen;
        sessionEnded(false);
        return;
    }
    bool started = false;
    if (m_options.operation == RadioOperation::Read)
        started = m_session.readFromRadio();
    else if (!m_options.image.isEmpty())
        started = m_session.writeImageToRadio(m_options.image);
    else
        started = m_session.writeToRadio();
    // A port that cannot be opened or data that cannot be written end before any exchange.
    if (!started) sessionEnded(false);
}

void FleetPort::sessionEnded(bool success) {
    if (m_state != State::Working) return;
    describeRadio(m_doc.product(), m_session, m_current);
    if (m_current.failure == SessionFailure::None)
        m_current.failure = success ? SessionFailure::None : m_session.lastFailure();
    if (!success && m_current.failure == SessionFailure::None)
        m_current.failure = SessionFailure::NoAnswer;
    if (m_current.verify == FleetVerify::Failed) {
        if (success)
            m_current.verify = FleetVerify::Same;
        else if (m_current.failure == SessionFailure::VerifyMismatch)
            m_current.verify = FleetVerify::Different;
    }
    m_current.seconds = double(m_clock.nsecsElapsed()) / 1e9;
    emit radioDone(this, m_current);
    m_records.push_back(m_current);
    emit radioFinished(m_records.back());
    if (m_options.repeat && !m_stopping) {
        setState(State::WaitingForRemoval);
        scheduleProbe();
    } else {
        finish();
    }
}

void FleetPort::scheduleProbe() {
    m_probeTimer.start();
}

// A quiet question to the port: does a radio answer PROGRAM? If it does it is let go with "E"
// at once, so a radio waiting to be unplugged never stays in programming mode.
void FleetPort::probe() {
    if (m_stopping || m_session.busy()) return;
    if (m_device.isEmpty()) {
        m_device = resolvePortName(m_port, m_options.settingsFile);
        m_session.setPortName(m_device);
    }
    PortOpenError error;
    if (!m_link.open(m_device, &error)) {
        // No adapter, or another program has it: no radio to talk to. Said once for each
        // time the port cannot be used while waiting for a radio (an adapter that leaves
        // with its radio is the radio leaving).
        if (!m_portUnusable && m_state == State::WaitingForRadio) {
            m_portUnusable = true;
            const QString why = m_device.isEmpty()
                                    ? tr2("%1 has no serial device on this computer.",
                                          "%1 在本计算机上没有串口设备。")
                                          .arg(m_port)
                                    : error.reason;
            const bool stop = why.endsWith(QLatin1Char('.')) || why.endsWith(QChar(0x3002));
            emit message(tr2("the port cannot be opened yet: %1%2 Trying again every second.",
                             "端口暂时无法打开：%1%2 每秒重试一次。")
                             .arg(why, stop ? QString() : tr2(".", "。")));
        }
        probeDone(false);
        return;
    }
    if (m_portUnusable) {
        m_portUnusable = false;
        emit message(tr2("the port can be opened now; waiting for a radio.",
                         "端口现在可以打开；等待对讲机。"));
    }
    m_probeStep = ProbeStep::Program;
    m_link.setExpectedLength(RadioProtocol::AckLength);
    m_link.clearBuffers();
    m_link.write(RadioProtocol::programCommand());
    m_probeReplyTimer.start();
}

void FleetPort::probeReply() {
    if (m_probeStep == ProbeStep::Program) {
        m_probeStep = ProbeStep::End;
        m_link.clearBuffers();
        m_link.write(RadioProtocol::endCommand());
        m_probeReplyTimer.start();
    } else if (m_probeStep == ProbeStep::End) {
        probeDone(true);
    }
}

void FleetPort::probeTimedOut() {
    // Silence after "E" still means a radio answered PROGRAM.
    if (m_probeStep != ProbeStep::None) probeDone(m_probeStep == ProbeStep::End);
}

void FleetPort::probeDone(bool answered) {
    m_probeReplyTimer.stop();
    m_probeStep = ProbeStep::None;
    m_link.flush();
    m_link.close();
    if (m_stopping) return;
    if (m_state == State::WaitingForRadio && answered) {
        startSession();
        return;
    }
    if (m_state == State::WaitingForRemoval && !answered) setState(State::WaitingForRadio);
    scheduleProbe();
}

Fleet::Fleet(const Document& doc, FleetOptions options, QObject* parent)
    : QObject(parent), m_doc(doc), m_options(std::move(options)) {}

Fleet::~Fleet() {
    // Ports still running are let go before the records they report into are gone.
    for (const auto& p : m_ports) {
        QObject::disconnect(p.get(), nullptr, this, nullptr);
        p->stop();
    }
}

FleetPort& Fleet::addPort(const QString& port, const QString& device) {
    auto* p = new FleetPort(m_doc, port, device, m_options);
    m_ports.emplace_back(p);
    connect(p, &FleetPort::radioFinished, this, [this, p](const FleetRecord& r) {
        m_records.push_back(r);
        emit radioFinished(p, r);
    });
    connect(p, &FleetPort::finished, this, [this] {
        if (!running()) emit finished();
    });
    return *p;
}

void Fleet::start() {
    for (const auto& p : m_ports)
        p->start();
}

void Fleet::stop() {
    for (const auto& p : m_ports)
        p->stop();
}

void Fleet::stopAfterRadios() {
    for (const auto& p : m_ports)
        p->stopAfterRadio();
}

bool Fleet::running() const {
    return std::any_of(m_ports.begin(), m_ports.end(),
                       [](const auto& p) { return p->state() != FleetPort::State::Stopped; });
}

void describeRadio(const Product& p, const RadioSession& session, FleetRecord& record) {
    const RadioSession::RadioIdentity id = session.radioIdentity();
    if (id.modelCode.isEmpty()) return;
    const RadioProtocol::IdentityTexts texts = RadioProtocol::identityTexts(p, id);
    record.model = texts.model;
    record.band = texts.band;
    record.firmware = texts.firmware;
}

QString fleetResultName(const FleetRecord& r) {
    if (!r.fileError.isEmpty() && r.failure == SessionFailure::None)
        return QStringLiteral("file-error");
    return sessionResultWord(r.failure);
}

QString fleetVerifyName(FleetVerify v) {
    switch (v) {
    case FleetVerify::NotAsked:
        return {};
    case FleetVerify::Same:
        return QStringLiteral("same");
    case FleetVerify::Different:
        return QStringLiteral("different");
    case FleetVerify::Failed:
        return QStringLiteral("failed");
    }
    return {};
}
