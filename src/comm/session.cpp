#include "session.h"

#include "config/messages.h"
#include "config/modelband.h"

namespace {
const QByteArray ProgramCommand("PROGRAM");
constexpr char Ack = 0x06;
constexpr char IdentRequest = 0x02;
constexpr int IdentLength = 14;
constexpr int WaitMs = 300;

enum class ReplyKind { None, Ack, Ident, Data, Info, Version };

int step16(int v) { return v & 0xFFFF; }

const char* answerName(MsgAnswer a) {
    switch (a) {
    case MsgAnswer::Ok:
        return "OK";
    case MsgAnswer::Cancel:
        return "Cancel";
    case MsgAnswer::Yes:
        return "Yes";
    case MsgAnswer::No:
        return "No";
    case MsgAnswer::Retry:
        return "Retry";
    }
    return "?";
}

QString failureName(SessionFailure f) {
    switch (f) {
    case SessionFailure::None:
        return QStringLiteral("success");
    case SessionFailure::Busy:
        return QStringLiteral("failed (another operation was running)");
    case SessionFailure::PortOpen:
        return QStringLiteral("failed (the port cannot be opened)");
    case SessionFailure::Refused:
        return QStringLiteral("failed (nothing was sent: the data cannot be written)");
    case SessionFailure::Identity:
        return QStringLiteral("failed (the radio's identity was rejected)");
    case SessionFailure::NoAnswer:
        return QStringLiteral("failed (no answer)");
    case SessionFailure::Cancelled:
        return QStringLiteral("failed (cancelled)");
    case SessionFailure::DeviceLost:
        return QStringLiteral("failed (connection lost)");
    case SessionFailure::BadData:
        return QStringLiteral("failed (the data read cannot be used)");
    }
    return QStringLiteral("failed");
}

QString oneLine(QString text) {
    return text.replace(QLatin1String("\r\n"), QLatin1String(" / "))
        .replace(QLatin1Char('\n'), QLatin1Char(' '));
}
} // namespace

RadioSession::RadioSession(Document& doc, SerialLink& link, QObject* parent)
    : QObject(parent), m_doc(doc), m_link(link) {
    ClearRadioImage(doc.product(), RadioImage);
    WaitTimer.setSingleShot(true);
    WaitTimer.setInterval(WaitMs);
    WaitTimer.setTimerType(Qt::PreciseTimer);
    TimerEnd.setSingleShot(true);
    connect(&WaitTimer, &QTimer::timeout, this, &RadioSession::onWaitTimeout);
    connect(&m_link, &SerialLink::replyReady, this, &RadioSession::onReply);
    connect(&m_link, &SerialLink::deviceLost, this, &RadioSession::onDeviceLost);
    connect(&m_link, &SerialLink::bytesArrived, this, [this](const QByteArray& chunk) {
        if (m_trace) m_trace->received(chunk);
    });
}

void RadioSession::traceNote(const QString& text) {
    if (m_trace) m_trace->note(text);
}

void RadioSession::traceEnd(bool success) {
    if (m_trace) m_trace->end(failureName(success ? SessionFailure::None : lastFailure));
}

uint8_t RadioSession::checksum(const QByteArray& frame, int from, int to) {
    unsigned sum = 0;
    for (int i = from; i < to && i < frame.size(); ++i) sum += uint8_t(frame.at(i));
    return uint8_t(sum & 0xFF);
}

// "NTKK", model copy (4), type letter, 4 x FF, band copy, 3 x FF, serial number (8),
// 8 x FF, checksum over bytes 1..32.
QByteArray RadioSession::informationFrame(const ModelInfo& info) {
    QByteArray f("NTKK");
    const QByteArray model = info.modelNameCopy.untilNul();
    for (int i = 0; i < 4; ++i) f += i < model.size() ? model.at(i) : char(0xFF);
    f += char(info.typeLetter & 0xFF);
    f += QByteArray(4, char(0xFF));
    f += char(info.bandCodeCopy & 0xFF);
    f += QByteArray(3, char(0xFF));
    const QByteArray serial = info.createDate.untilNul();
    for (int i = 0; i < 8; ++i) f += i < serial.size() ? serial.at(i) : char(0xFF);
    f += QByteArray(8, char(0xFF));
    f += char(checksum(f, 1, 33));
    return f;
}

// "V" then the version text after its own leading character, 0xFF after the end.
QByteArray RadioSession::versionFrame(const ModelInfo& info) {
    QByteArray f("V");
    const QByteArray text = info.softwareVersionText.untilNul();
    QByteArray trimmed = text;
    while (trimmed.endsWith(' ')) trimmed.chop(1);
    for (int i = 1; i <= 9; ++i) f += i < trimmed.size() ? trimmed.at(i) : char(0xFF);
    return f;
}

int RadioSession::activeStep() const {
    return (CommType == CommWrite || CommType == CommInfoWrite) ? WriteStep : ReadStep;
}

void RadioSession::setStep(int step) {
    if (CommType == CommWrite || CommType == CommInfoWrite) WriteStep = step;
    else ReadStep = step;
}

int RadioSession::startAddress() const {
    const Product& p = m_doc.product();
    switch (CommType) {
    case CommRead: return p.readStart;
    case CommWrite: return p.writeStart;
    case CommInfoRead: return p.infoStart;
    default: return 0;
    }
}

MsgAnswer RadioSession::prompt(Msg id, MsgIcon icon, MsgButtons buttons) {
    // Replies that arrive while the user decides are not part of any step.
    m_prompting = true;
    const MsgAnswer a = showMessage(id, icon, buttons);
    m_prompting = false;
    traceNote(QStringLiteral("asked \"%1\": %2")
                  .arg(oneLine(messageText(id)), QLatin1String(answerName(a))));
    return a;
}

// The question before a read or write, noted in the trace.
MsgAnswer RadioSession::confirm(Msg id) {
    const MsgAnswer a = showMessage(id, MsgIcon::Question, MsgButtons::OkCancel);
    traceNote(QStringLiteral("asked \"%1\": %2")
                  .arg(oneLine(messageText(id)), QLatin1String(answerName(a))));
    return a;
}

bool RadioSession::OpenCommPort() {
    const Product& p = m_doc.product();
    switch (CommType) {
    case CommRead:
        BlockLength = 64;
        EndAddress = p.readEnd;
        break;
    case CommWrite:
        BlockLength = 16;
        EndAddress = p.writeEnd;
        break;
    case CommInfoRead:
        BlockLength = 16;
        EndAddress = p.infoEnd;
        break;
    default: break;
    }
    if (m_trace) m_trace->begin(m_portName, CommType);
    BlockAddress = startAddress();
    ProgramRetries = IdentRetries = LastPercent = 0;
    framesSent = 0;
    bytesSent = bytesReceived = 0;
    lastFailure = SessionFailure::None;
    m_lostWhilePrompting = false;
    m_receivedInformation.reset();
    m_receivedVersion.reset();
    if (m_link.isOpen()) m_link.close();
    PortOpenError err;
    if (!m_link.open(m_portName, &err)) {
        lastFailure = SessionFailure::PortOpen;
        traceNote(QStringLiteral("the port cannot be opened: %1").arg(err.reason));
        showMessage(Msg::PortOpenError, MsgIcon::Critical, MsgButtons::Ok, err.reason);
        traceEnd(false);
        return false;
    }
    return true;
}

void RadioSession::StartSession() {
    switch (CommType) {
    case CommRead:
    case CommInfoRead: ReadStep = StepProgramAck; break;
    case CommWrite:
    case CommInfoWrite: WriteStep = StepProgramAck; break;
    default:
        CommType = CommIdle;
        ReadStep = WriteStep = StepIdle;
        return;
    }
    SendFrame(ProgramCommand, 1);
}

void RadioSession::SendFrame(const QByteArray& frame, int expectedReplyLength) {
    WaitTimer.start();
    m_link.setExpectedLength(expectedReplyLength);
    m_link.clearBuffers();
    if (m_trace) m_trace->sent(frame);
    m_link.write(frame);
    ++framesSent;
    bytesSent += frame.size();
}

bool RadioSession::advanceBlock() {
    BlockAddress += BlockLength;
    return BlockAddress < EndAddress;
}

void RadioSession::sendReadRequest() {
    if (!advanceBlock()) return FinishTransfer();
    QByteArray f("R");
    f += char((step16(BlockAddress) >> 8) & 0xFF);
    f += char(BlockAddress & 0xFF);
    f += char(BlockLength);
    SendFrame(f, BlockLength + 5);
}

void RadioSession::sendDataFrame() {
    if (!advanceBlock()) return FinishTransfer();
    updateProgress();
    QByteArray f("W");
    f += char((step16(BlockAddress) >> 8) & 0xFF);
    f += char(BlockAddress & 0xFF);
    f += char(BlockLength);
    if (BlockAddress >= 0 && BlockAddress + BlockLength <= RadioImage.size())
        f += RadioImage.mid(BlockAddress, BlockLength);
    else
        f += QByteArray(BlockLength, char(0xFF)); // never happens with the products' ranges
    f += char(checksum(f, 1, f.size()));
    SendFrame(f, 1);
}

void RadioSession::sendEnd() { SendFrame(QByteArray("E"), 1); }

void RadioSession::FinishTransfer() {
    if (CommType >= CommRead && CommType <= CommInfoWrite) {
        setStep(StepEndAck);
        sendEnd();
    } else {
        EndSession(false);
    }
}

void RadioSession::updateProgress() {
    if (CommType != CommRead && CommType != CommWrite) return;
    if (EndAddress <= 0) return;
    const int percent = qRound(double(BlockAddress) * 100.0 / EndAddress);
    if (percent - LastPercent >= 1) {
        LastPercent = percent;
        emit progressChanged(percent);
    }
}

void RadioSession::AdvanceSession() {
    WaitTimer.stop();
    const int step = activeStep();
    switch (CommType) {
    case CommRead:
        switch (step) {
        case StepProgramAck: ReadStep = StepIdent; SendFrame(QByteArray(1, IdentRequest), IdentLength); return;
        case StepIdent: ReadStep = StepIdentAck; SendFrame(QByteArray(1, Ack), 1); return;
        case StepIdentAck:
            if (!m_doc.product().identityOnRead || CheckRadioIdentity()) {
                ReadStep = StepBlock;
                sendReadRequest();
            } else {
                ReadStep = StepRejectedAck;
                sendEnd();
            }
            return;
        case StepBlock: ReadStep = StepBlockAck; SendFrame(QByteArray(1, Ack), 1); return;
        case StepBlockAck: ReadStep = StepBlock; sendReadRequest(); return;
        case StepEndAck: EndSession(true); return;
        default: EndSession(false); return;
        }
    case CommWrite:
        switch (step) {
        case StepProgramAck: WriteStep = StepIdent; SendFrame(QByteArray(1, IdentRequest), IdentLength); return;
        case StepIdent: WriteStep = StepIdentAck; SendFrame(QByteArray(1, Ack), 1); return;
        case StepIdentAck:
            if (CheckRadioIdentity()) {
                WriteStep = StepBlock;
                sendDataFrame();
            } else {
                WriteStep = StepRejectedAck;
                sendEnd();
            }
            return;
        case StepBlock: sendDataFrame(); return;
        case StepEndAck: EndSession(true); return;
        default: EndSession(false); return;
        }
    case CommInfoRead:
        switch (step) {
        case StepProgramAck: ReadStep = StepIdent; SendFrame(QByteArray(1, IdentRequest), IdentLength); return;
        case StepIdent: ReadStep = StepIdentAck; SendFrame(QByteArray(1, Ack), 1); return;
        case StepIdentAck:
        case StepBlockAck: ReadStep = StepBlock; sendReadRequest(); return;
        case StepBlock: ReadStep = StepBlockAck; SendFrame(QByteArray(1, Ack), 1); return;
        case StepEndAck: EndSession(true); return;
        default: EndSession(false); return;
        }
    case CommInfoWrite:
        switch (step) {
        case StepProgramAck: WriteStep = StepIdent; SendFrame(QByteArray(1, IdentRequest), IdentLength); return;
        case StepIdent: WriteStep = StepIdentAck; SendFrame(QByteArray(1, Ack), 1); return;
        case StepIdentAck: WriteStep = StepBlock; SendFrame(informationFrame(m_doc.config.modelInfo), 1); return;
        case StepBlock: WriteStep = StepBlockAck; SendFrame(versionFrame(m_doc.config.modelInfo), 1); return;
        case StepBlockAck: WriteStep = StepEndAck; sendEnd(); return;
        case StepEndAck: EndSession(true); return;
        default: EndSession(false); return;
        }
    default: return;
    }
}

bool RadioSession::CheckRadioIdentity() {
    const Product& p = m_doc.product();
    const QString model = cleanModelText(m_doc.currentModel);
    const int band = m_doc.currentBandCode();
    if (p.identityAsksOverwrite) {
        const QString radioModel = modelTextFromIdentity(p, RadioModelClass, RadioBandCode);
        if (radioModel == model && RadioBandCode == band) return true;
        if (prompt(Msg::ModelWrongOverwrite, MsgIcon::Warning, MsgButtons::OkCancel) == MsgAnswer::Ok)
            return true;
        lastFailure = SessionFailure::Identity;
        return false;
    }
    const QString version = QString::fromLatin1(ProgramDataVersion);
    const QString firmware = QString::fromLatin1(RadioFirmware);
    if (model != QString::fromLatin1(RadioModelCode)) {
        prompt(Msg::ModelWrong, MsgIcon::None, MsgButtons::Ok);
    } else if (firmware.left(3) != version.left(3)) {
        const QString text = messageText(Msg::VersionWrong) + QLatin1String("\r\n") +
                             messageText(Msg::FirmwareVersion) + QLatin1Char(' ') +
                             firmware.left(2) + QLatin1Char('.') + firmware.right(2) +
                             QLatin1String("\r\n") + messageText(Msg::SoftwareVersion) +
                             QLatin1Char(' ') + version.left(2) + QLatin1Char('.') +
                             version.mid(2, 1) + QLatin1Char('X');
        m_prompting = true;
        messageService().ask({text, {}, programTitle(), MsgIcon::None, MsgButtons::Ok, Msg::VersionWrong});
        m_prompting = false;
        traceNote(QStringLiteral("asked \"%1\": OK").arg(oneLine(text)));
    } else if (band != RadioBandCode) {
        prompt(Msg::BandWrong, MsgIcon::None, MsgButtons::Ok);
    } else {
        return true;
    }
    lastFailure = SessionFailure::Identity;
    return false;
}

// Stores what a reply carries. Returns false when it is not the reply the current step waits
// for: such replies never move the session on (silence handling takes over).
bool RadioSession::storeReply(const QByteArray& r) {
    const int step = activeStep();
    ReplyKind kind = ReplyKind::None;
    if (r.size() == 1 && r.at(0) == Ack) {
        kind = ReplyKind::Ack;
    } else if (r.size() == IdentLength && r.at(0) == 'P') {
        kind = ReplyKind::Ident;
    } else if (r.size() >= 4 && r.at(0) == 'W' &&
               ((uint8_t(r.at(1)) << 8) | uint8_t(r.at(2))) == step16(BlockAddress) &&
               uint8_t(r.at(3)) == BlockLength && r.size() == BlockLength + 5 &&
               checksum(r, 1, r.size() - 1) == uint8_t(r.back())) {
        kind = ReplyKind::Data;
    } else if (r.size() >= 34 && r.startsWith("NTK-") &&
               checksum(r, 1, r.size() - 1) == uint8_t(r.back())) {
        kind = ReplyKind::Info;
    } else if (r.size() == 10 && r.at(0) == 'V') {
        kind = ReplyKind::Version;
    }

    // The radio's own information and version records answer only the information
    // operations; they reach the configuration when that session succeeds (EndSession).
    const bool informationOperation = CommType == CommInfoRead || CommType == CommInfoWrite;
    switch (kind) {
    case ReplyKind::None: return false;
    case ReplyKind::Info: {
        if (!informationOperation) return false;
        // Model copy, type letter, band copy, serial number.
        ReceivedInformation info;
        QByteArray code;
        for (int i = 4; i < 8 && uint8_t(r.at(i)) != 0xFF; ++i) code += r.at(i);
        info.modelNameCopy = radioTypeToModelText(QString::fromLatin1(code));
        info.typeLetter = int16_t(uint8_t(r.at(8)));
        info.bandCodeCopy = int16_t(uint8_t(r.at(13)));
        info.createDate = r.mid(17, 8);
        for (char& c : info.createDate)
            if (uint8_t(c) == 0xFF) c = '\0';
        m_receivedInformation = info;
        return false;
    }
    case ReplyKind::Version: {
        if (!informationOperation) return false;
        QByteArray text("V");
        for (int i = 1; i < 10 && uint8_t(r.at(i)) != 0xFF; ++i) text += r.at(i);
        m_receivedVersion = text + '\0';
        return false;
    }
    case ReplyKind::Ack:
        return step == StepProgramAck || step == StepIdentAck || step == StepBlockAck ||
               step == StepEndAck || step == StepRejectedAck ||
               (step == StepBlock && (CommType == CommWrite || CommType == CommInfoWrite));
    case ReplyKind::Ident:
        if (step != StepIdent) return false;
        if (CommType == CommRead || CommType == CommWrite) {
            RadioModelCode = r.mid(1, 4);
            RadioBandCode = uint8_t(r.at(5));
            RadioModelClass = uint8_t(r.at(6));
            RadioFirmware = r.mid(8, 4);
            const int at = m_doc.product().headerBase;
            if (at + IdentLength <= RadioImage.size()) RadioImage.replace(at, IdentLength, r);
        }
        return true;
    case ReplyKind::Data:
        if (step != StepBlock || (CommType != CommRead && CommType != CommInfoRead)) return false;
        // Only a block that lies wholly inside the radio's memory is stored.
        if (BlockAddress < 0 || BlockAddress + BlockLength > RadioImage.size()) return false;
        RadioImage.replace(BlockAddress, BlockLength, r.mid(4, BlockLength));
        updateProgress();
        return true;
    }
    return false;
}

void RadioSession::onReply(const QByteArray& reply) {
    if (CommType == CommIdle) return;
    if (m_prompting) {
        traceNote(QStringLiteral("reply while a question is open: ignored"));
        return;
    }
    bytesReceived += reply.size();
    if (CommType == CommTest) {
        emit testReply(reply);
        return;
    }
    if (storeReply(reply)) AdvanceSession();
    else
        traceNote(QStringLiteral("%1 bytes that step %2 does not wait for: ignored")
                      .arg(reply.size())
                      .arg(activeStep()));
}

void RadioSession::askRetry(bool repeatBlock) {
    if (prompt(Msg::CheckConnection, MsgIcon::None, MsgButtons::RetryCancel) == MsgAnswer::Retry &&
        !m_lostWhilePrompting) {
        // The handshake advances before it requests a block: step back so that the block
        // whose reply was lost is asked for again.
        if (repeatBlock) BlockAddress -= BlockLength;
        StartSession();
    } else {
        fail(m_lostWhilePrompting ? SessionFailure::DeviceLost : SessionFailure::NoAnswer);
    }
}

void RadioSession::askRestart() {
    if (prompt(Msg::CheckConnection, MsgIcon::Question, MsgButtons::OkCancel) == MsgAnswer::Ok &&
        !m_lostWhilePrompting) {
        ProgramRetries = IdentRetries = 0;
        StartSession();
        BlockAddress = startAddress();
        LastPercent = 0;
        emit progressChanged(0);
    } else {
        fail(m_lostWhilePrompting ? SessionFailure::DeviceLost : SessionFailure::NoAnswer);
    }
}

void RadioSession::onWaitTimeout() {
    WaitTimer.stop();
    if (m_prompting) return;
    const int step = activeStep();
    traceNote(
        QStringLiteral("no reply within %1 ms (step %2)").arg(WaitTimer.interval()).arg(step));
    switch (CommType) {
    case CommRead:
    case CommWrite:
        switch (step) {
        case StepProgramAck:
            if (ProgramRetries < 1) {
                ++ProgramRetries;
                SendFrame(ProgramCommand, 1);
            } else {
                ProgramRetries = 0;
                askRetry();
            }
            return;
        case StepIdent:
            if (IdentRetries < 1) {
                ++IdentRetries;
                SendFrame(QByteArray(1, IdentRequest), IdentLength);
            } else {
                IdentRetries = 0;
                askRetry();
            }
            return;
        case StepIdentAck:
        case StepBlockAck: AdvanceSession(); return;
        case StepBlock: askRestart(); return;
        case StepEndAck: EndSession(true); return;
        case StepRejectedAck: fail(SessionFailure::Identity); return;
        default: return;
        }
    case CommInfoRead:
    case CommInfoWrite:
        switch (step) {
        case StepProgramAck: AdvanceSession(); return;
        case StepBlock: askRetry(CommType == CommInfoRead); return;
        case StepIdent:
        case StepIdentAck:
        case StepBlockAck: askRetry(); return;
        case StepEndAck: EndSession(true); return; // the transfer itself is complete
        case StepRejectedAck: fail(SessionFailure::Identity); return;
        default: return;
        }
    case CommTest: emit testTimeout(); return;
    default: return;
    }
}

void RadioSession::onDeviceLost(const QString& reason) {
    if (CommType == CommIdle) return;
    traceNote(QStringLiteral("device lost: %1").arg(reason));
    if (m_prompting) {
        m_lostWhilePrompting = true;
        m_lostReason = reason;
        return;
    }
    WaitTimer.stop();
    m_prompting = true;
    showMessage(tr2("The connection to the radio was lost.", "与对讲机的连接已断开。"),
                MsgIcon::Critical, MsgButtons::Ok,
                tr2("%1. Check the programming cable, then start again.",
                    "%1。请检查写频线，然后重新开始。")
                    .arg(reason));
    m_prompting = false;
    fail(SessionFailure::DeviceLost);
}

void RadioSession::fail(SessionFailure why) {
    if (lastFailure == SessionFailure::None || why == SessionFailure::DeviceLost) lastFailure = why;
    EndSession(false);
}

void RadioSession::cancel() {
    if (CommType == CommIdle) return;
    // Once PROGRAM was acknowledged the radio waits in programming mode, and in test mode it
    // stays in its tuning state: let it go.
    traceNote(QStringLiteral("cancelled by the user"));
    if ((activeStep() > StepProgramAck || CommType == CommTest) && m_link.isOpen()) {
        m_link.clearBuffers();
        if (m_trace) m_trace->sent(QByteArray("E"));
        m_link.write(QByteArray("E"));
        m_link.flush();
    }
    fail(SessionFailure::Cancelled);
}

void RadioSession::EndSession(bool success) {
    const int op = CommType;
    WaitTimer.stop();
    TimerEnd.stop();
    m_link.flush();
    m_link.close();
    CommType = CommIdle;
    ReadStep = WriteStep = StepIdle;
    if (op == CommIdle) return;
    if (op == CommRead || op == CommWrite) emit progressClosed();
    if (!success && lastFailure == SessionFailure::None) lastFailure = SessionFailure::NoAnswer;

    bool ok = success;
    if (ok && (op == CommInfoRead || op == CommInfoWrite)) applyReceivedInformation();
    if (ok && op == CommRead) {
        // Decode into a copy first: a read that cannot be used changes nothing.
        Document decoded = m_doc;
        if (const auto error = ParseRadioImage(decoded, RadioImage)) {
            ok = false;
            lastFailure = SessionFailure::BadData;
            traceNote(QStringLiteral("the data read cannot be used: %1").arg(*error));
            showMessage(tr2("The data read from the radio cannot be used.",
                            "从对讲机读取的数据无法使用。"),
                        MsgIcon::Critical, MsgButtons::Ok,
                        *error + tr2(" Nothing was changed.", " 未作任何更改。"));
        } else {
            emit readApplying();
            m_doc.config = decoded.config;
            m_doc.currentModel = decoded.currentModel;
            m_doc.currentBand = decoded.currentBand;
            m_doc.deriveLimits();
            m_doc.fileName = QStringLiteral("new.dat");
            m_doc.untitled = true;
            emit readApplied();
        }
    } else if (ok && op == CommInfoRead) {
        const LocalInformation info = ParseLocalInformation(m_doc.product(), RadioImage);
        for (size_t i = 0; i < info.size(); ++i)
            if (i != 5) localInformation[i] = info[i]; // the version does not come from the area
        emit informationRead();
    }
    if (ok && op == CommRead) showMessage(Msg::ReadCompleted);
    if (ok && op == CommWrite) showMessage(Msg::WriteCompleted);
    if (ok) lastFailure = SessionFailure::None;
    traceEnd(ok);
    emit finished(op, ok);
}

void RadioSession::applyReceivedInformation() {
    ModelInfo& mi = m_doc.config.modelInfo;
    if (m_receivedInformation) {
        mi.modelNameCopy.assign(m_receivedInformation->modelNameCopy);
        mi.typeLetter = m_receivedInformation->typeLetter;
        mi.bandCodeCopy = m_receivedInformation->bandCodeCopy;
        mi.createDate.assign(m_receivedInformation->createDate);
    }
    if (m_receivedVersion) mi.softwareVersionText.assign(*m_receivedVersion);
    m_receivedInformation.reset();
    m_receivedVersion.reset();
}

bool RadioSession::readFromRadio() {
    if (busy()) return false;
    CommType = CommRead;
    ReadStep = StepIdle;
    if (!OpenCommPort()) {
        CommType = CommIdle;
        return false;
    }
    if (confirm(Msg::ReadConfirm) != MsgAnswer::Ok) {
        m_link.close();
        CommType = CommIdle;
        lastFailure = SessionFailure::Cancelled;
        traceEnd(false);
        return false;
    }
    ClearRadioImage(m_doc.product(), RadioImage);
    emit progressOpened(CommRead);
    StartSession();
    return true;
}

bool RadioSession::writeToRadio() {
    return startWrite(nullptr);
}

bool RadioSession::writeImageToRadio(const QByteArray& image) {
    return startWrite(&image);
}

bool RadioSession::startWrite(const QByteArray* raw) {
    if (busy()) return false;
    CommType = CommWrite;
    WriteStep = StepIdle;
    if (!OpenCommPort()) {
        CommType = CommIdle;
        return false;
    }
    if (confirm(Msg::WriteConfirm) != MsgAnswer::Ok) {
        m_link.close();
        CommType = CommIdle;
        lastFailure = SessionFailure::Cancelled;
        traceEnd(false);
        return false;
    }
    std::optional<QString> error;
    if (raw) {
        if (raw->size() == m_doc.product().memorySize)
            RadioImage = *raw;
        else
            error = tr2("The radio image has %1 bytes instead of %2.",
                        "对讲机映像为 %1 字节，应为 %2 字节。")
                        .arg(raw->size())
                        .arg(m_doc.product().memorySize);
    } else {
        ClearRadioImage(m_doc.product(), RadioImage);
        error = BuildRadioImage(m_doc, RadioImage);
    }
    if (error) {
        m_link.close();
        CommType = CommIdle;
        lastFailure = SessionFailure::Refused;
        traceNote(*error);
        showMessage(tr2("This configuration cannot be written to the radio.",
                        "此配置无法写入对讲机。"),
                    MsgIcon::Critical, MsgButtons::Ok,
                    *error + tr2(" Nothing was sent.", " 未发送任何数据。"));
        traceEnd(false);
        return false;
    }
    emit progressOpened(CommWrite);
    StartSession();
    return true;
}

bool RadioSession::readInformation(bool clearImage) {
    if (busy()) return false;
    CommType = CommInfoRead;
    ReadStep = StepIdle;
    if (!OpenCommPort()) {
        CommType = CommIdle;
        return false;
    }
    if (clearImage) ClearRadioImage(m_doc.product(), RadioImage);
    StartSession();
    return true;
}

bool RadioSession::writeInformation() {
    if (busy()) return false;
    CommType = CommInfoWrite;
    WriteStep = StepIdle;
    if (!OpenCommPort()) {
        CommType = CommIdle;
        return false;
    }
    StartSession();
    return true;
}
