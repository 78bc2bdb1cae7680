#include "radio.h"

#include <cmath>

#include "pty.h"

#include "core/comm/protocol.h"
#include "core/io/wholefile.h"

#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

constexpr char Ack = 0x06;
constexpr char IdentRequest = 0x02;
constexpr char ProgramCommand[] = "PROGRAM";
constexpr char InformationPrefix[] = "NTKK";
constexpr int InformationFrameLength = 34;
constexpr int VersionFrameLength = 10;
constexpr int ReadRequestLength = 4;
constexpr int DataHeaderLength = 4; // "W" aH aL n

// A frame must be complete this long after its first byte, else its bytes are dropped, so a
// frame broken off by the program never swallows the start of the next one: the program waits
// as long for a reply before it sends again.
constexpr qint64 FrameTimeNs = qint64(RadioProtocol::ReplyTimeoutMs) * 1'000'000;

// Before pulling the cable the radio lets the client read what it was sent: a pty forgets
// unread bytes on hang-up. It waits at least this long after the last byte (the kernel hands
// written bytes to the slave a moment later) and gives up waiting after the second value.
constexpr qint64 HangupSettleNs = 20'000'000;
constexpr qint64 HangupGiveUpNs = 2'000'000'000;
constexpr int HangupPollMs = 5;

// Length of the frame that starts `in`: the full length; 0 while the length byte of a data
// frame has not arrived; -1 when the first byte starts no frame (it is skipped).
int frameLength(const QByteArray& in) {
    const auto startsLike = [&in](const char* text) {
        const qsizetype n = std::min<qsizetype>(in.size(), qsizetype(std::strlen(text)));
        return std::memcmp(in.constData(), text, size_t(n)) == 0;
    };
    switch (in.at(0)) {
    case 'P':
        return startsLike(ProgramCommand) ? int(std::strlen(ProgramCommand)) : -1;
    case IdentRequest:
    case Ack:
    case 'E':
        return 1;
    case 'R':
        return ReadRequestLength;
    case 'W':
        return in.size() >= DataHeaderLength ? DataHeaderLength + quint8(in.at(3)) + 1 : 0;
    case 'N':
        return startsLike(InformationPrefix) ? InformationFrameLength : -1;
    case 'V':
        return VersionFrameLength;
    default:
        return TestModeRadio::entryWordLength(in);
    }
}

// Sum mod 256 of every byte after the command byte.
quint8 checksum(QByteArrayView bytes) {
    quint8 sum = 0;
    for (qsizetype i = 1; i < bytes.size(); ++i)
        sum += quint8(bytes[i]);
    return sum;
}

// A frame ending in its checksum: is the last byte the sum of the ones before it?
bool checksumMatches(const QByteArray& frame) {
    return quint8(frame.back()) == checksum(QByteArrayView(frame).first(frame.size() - 1));
}

int blockAddress(const QByteArray& frame) {
    return (quint8(frame[1]) << 8) | quint8(frame[2]);
}

} // namespace

SimulatedRadio::SimulatedRadio(const Product& product, QByteArray memory, RadioBehaviour behaviour,
                               PseudoTerminal& pty, QObject* parent)
    : QObject(parent), m_memory(std::move(memory)), m_behaviour(std::move(behaviour)), m_pty(pty),
      m_testMode(product, m_behaviour.testFreqDiffer) {
    m_silent = m_behaviour.silentAfter == 0;
    m_drainTimer.setInterval(HangupPollMs);
    connect(&m_inputTimer, &NsTimer::timeout, this, &SimulatedRadio::processInput);
    connect(&m_outputTimer, &NsTimer::timeout, this, &SimulatedRadio::sendDue);
    connect(&m_drainTimer, &QTimer::timeout, this, &SimulatedRadio::checkDrained);
}

bool SimulatedRadio::start(const QString& logPath, const QString& dumpPath, QString* error) {
    m_dumpPath = dumpPath;
    if (!logPath.isEmpty()) {
        m_log.setFileName(logPath);
        if (!m_log.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            *error =
                QStringLiteral("cannot write the log %1: %2").arg(logPath, m_log.errorString());
            return false;
        }
    }
    m_clock.start();
    const int fd = m_pty.masterFd();
    m_readNotifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    m_writeNotifier = new QSocketNotifier(fd, QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &SimulatedRadio::readMaster);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, [this] {
        m_writeNotifier->setEnabled(false);
        sendDue();
    });
    return true;
}

bool SimulatedRadio::writeDump(QString* error) const {
    if (m_dumpPath.isEmpty()) return true;
    QString why;
    if (!writeWholeFile(m_dumpPath, m_memory, &why)) {
        *error = QStringLiteral("cannot write the dump %1: %2").arg(m_dumpPath, why);
        return false;
    }
    return true;
}

void SimulatedRadio::readMaster() {
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_pty.masterFd(), buffer, sizeof buffer);
        if (n > 0) {
            m_in.append(buffer, n);
            m_inArrival.insert(m_inArrival.end(), size_t(n), now());
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN) break;
        // We hold a slave descriptor ourselves, so this end never sees a normal hang-up.
        m_readNotifier->setEnabled(false);
        emit failed(n == 0 ? QStringLiteral("the pseudo-terminal closed")
                           : QStringLiteral("reading the pseudo-terminal failed: %1")
                                 .arg(QString::fromLocal8Bit(std::strerror(errno))));
        return;
    }
    processInput();
}

void SimulatedRadio::processInput() {
    m_inputTimer.stop();
    const auto drop = [this](qsizetype n) {
        m_in.remove(0, n);
        m_inArrival.erase(m_inArrival.begin(), m_inArrival.begin() + n);
    };
    const qint64 paceNs = qint64(std::llround(m_behaviour.paceUs * 1000.0));
    while (!m_in.isEmpty() && !m_hangingUp) {
        const int length = m_testMode.active() ? m_testMode.frameLength(m_in) : frameLength(m_in);
        if (length < 0) {
            drop(1);
            continue;
        }
        const qint64 first = m_inArrival.front();
        const bool complete = length > 0 && m_in.size() >= length;
        const qint64 last = complete ? m_inArrival[size_t(length - 1)] : now();
        if (last - first > FrameTimeNs) {
            // Too slow: the bytes that arrived within the frame time were a broken frame; what
            // came later may start a good one.
            qsizetype stale = 1;
            while (stale < m_in.size() && m_inArrival[size_t(stale)] - first <= FrameTimeNs)
                ++stale;
            drop(stale);
            continue;
        }
        if (!complete) return;
        // On a serial line the last byte arrives one byte time per byte after the first began.
        const qint64 ready = std::max(last, first + length * paceNs);
        if (ready > now()) {
            m_inputTimer.startIn(ready - now());
            return;
        }
        const QByteArray frame = m_in.left(length);
        drop(length);
        handleFrame(frame);
    }
}

void SimulatedRadio::handleFrame(const QByteArray& frame) {
    logFrame('>', frame);
    if (m_behaviour.hangupAfter == 0) {
        m_hangingUp = true;
        m_drainTimer.start();
        return;
    }
    // Switched off: the cable is there, the radio hears nothing.
    if (m_silent || now() < qint64(m_behaviour.startDelayMs) * 1'000'000) return;
    if (m_testMode.active() || frame.at(0) == 'Q') {
        const QByteArray answer = m_testMode.handle(frame, m_behaviour.identification);
        if (!answer.isEmpty()) reply(answer);
        return;
    }

    switch (frame.at(0)) {
    case 'P':
        if (++m_programSeen > m_behaviour.ignoreProgram) reply(QByteArray(1, Ack));
        break;
    case IdentRequest:
        if (++m_identSeen > m_behaviour.ignoreIdent) reply(m_behaviour.identification);
        break;
    case Ack:
        reply(QByteArray(1, Ack));
        break;
    case 'R':
        handleRead(frame);
        break;
    case 'W':
        handleWrite(frame);
        break;
    case 'E': {
        // The dump is on disk before the acknowledge leaves, so whoever sees the acknowledge
        // finds the session's blocks in the dump.
        QString error;
        if (!writeDump(&error)) qWarning("virtual-radio: %s", qPrintable(error));
        reply(QByteArray(1, Ack));
        // Unplugged once programmed: the acknowledge still reaches the program first.
        if (m_behaviour.hangupAfterSession && m_blocks > 0) {
            m_hangingUp = true;
            m_drainTimer.start();
        }
        break;
    }
    case 'N':
        if (!checksumMatches(frame)) break;
        m_informationRecord = frame;
        reply(QByteArray(1, Ack));
        break;
    case 'V':
        m_versionFrame = frame;
        reply(QByteArray(1, Ack));
        break;
    }
}

void SimulatedRadio::handleRead(const QByteArray& frame) {
    const int address = blockAddress(frame);
    const int length = quint8(frame[3]);
    if (address + length > m_memory.size()) return; // no such block: no answer

    QByteArray data = frame;
    data[0] = 'W';
    data += m_memory.mid(address, length);
    quint8 sum = checksum(data);
    if (++m_dataFramesSent == m_behaviour.badChecksumAt) ++sum;
    data += char(sum);
    reply(data);
    blockDone();
}

void SimulatedRadio::handleWrite(const QByteArray& frame) {
    const int address = blockAddress(frame);
    const int length = quint8(frame[3]);
    if (!checksumMatches(frame) || address + length > m_memory.size()) return;
    m_memory.replace(address, length, frame.mid(DataHeaderLength, length));
    // A memory cell that does not keep what it was given.
    if (++m_dataFramesStored == m_behaviour.corruptWriteAt && length > 0)
        m_memory[address] = char(quint8(m_memory.at(address)) ^ 0x01);
    reply(QByteArray(1, Ack));
    blockDone();
}

void SimulatedRadio::blockDone() {
    ++m_blocks;
    if (m_behaviour.silentAfter >= 0 && m_blocks >= m_behaviour.silentAfter) m_silent = true;
    if (m_behaviour.hangupAfter >= 0 && m_blocks >= m_behaviour.hangupAfter) {
        m_hangingUp = true;
        m_drainTimer.start();
    }
}

void SimulatedRadio::reply(const QByteArray& bytes) {
    logFrame('<', bytes);
    const qint64 paceNs = qint64(std::llround(m_behaviour.paceUs * 1000.0));
    const qint64 earliest = now() + qint64(m_behaviour.replyDelayMs) * 1'000'000;
    for (const char byte : bytes) {
        // A byte arrives at the far end when its last bit has gone out.
        const qint64 due = std::max(earliest, m_lastDue) + paceNs;
        m_out.append(byte);
        m_outDue.push_back(due);
        m_lastDue = due;
    }
    sendDue();
}

void SimulatedRadio::sendDue() {
    m_outputTimer.stop();
    if (m_writeNotifier->isEnabled()) return; // the pty is full; it says when there is room
    const qint64 t = now();
    qsizetype due = 0;
    while (due < m_out.size() && m_outDue[size_t(due)] <= t)
        ++due;
    if (due > 0) {
        const ssize_t n = ::write(m_pty.masterFd(), m_out.constData(), size_t(due));
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            emit failed(QStringLiteral("writing the pseudo-terminal failed: %1")
                            .arg(QString::fromLocal8Bit(std::strerror(errno))));
            return;
        }
        if (n > 0) {
            m_out.remove(0, n);
            m_outDue.erase(m_outDue.begin(), m_outDue.begin() + n);
            m_lastSent = t;
        }
        if (n < due) {
            m_writeNotifier->setEnabled(true);
            return;
        }
    }
    if (!m_out.isEmpty()) m_outputTimer.startIn(m_outDue.front() - t);
}

void SimulatedRadio::checkDrained() {
    if (!m_out.isEmpty()) return;
    const qint64 idle = now() - m_lastSent;
    if ((idle >= HangupSettleNs && m_pty.pendingForClient() == 0) || idle >= HangupGiveUpNs) {
        m_drainTimer.stop();
        emit hungUp();
    }
}

void SimulatedRadio::logFrame(char direction, const QByteArray& frame) {
    if (!m_log.isOpen() || m_logBroken) return;
    const QByteArray line = direction + QByteArray(" ") + frame.toHex(' ').toUpper() + '\n';
    if (m_log.write(line) != line.size() || !m_log.flush()) {
        m_logBroken = true;
        qWarning("virtual-radio: cannot write the log: %s", qPrintable(m_log.errorString()));
    }
}
