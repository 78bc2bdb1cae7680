#include "session.h"

#include "core/config/modelband.h"
#include "protocol.h"

// The protocol steps of the session: the frames it sends, the replies it accepts, the step
// each reply or silence moves it to.

namespace {
const QByteArray ProgramCommand("PROGRAM");
using RadioProtocol::Ack;
using RadioProtocol::IdentLength;
using RadioProtocol::IdentRequest;

enum class ReplyKind { None, Ack, Ident, Data, Info, Version };

// A block address as the two address bytes of a frame carry it.
int step16(int v) {
    return v & 0xFFFF;
}
} // namespace

uint8_t RadioSession::checksum(const QByteArray& frame, int from, int to) {
    unsigned sum = 0;
    for (int i = from; i < to && i < frame.size(); ++i)
        sum += uint8_t(frame.at(i));
    return uint8_t(sum & 0xFF);
}

// "NTKK", model copy (4), type letter, 4 x FF, band copy, 3 x FF, serial number (8),
// 8 x FF, checksum over bytes 1..32.
QByteArray RadioSession::informationFrame(const ModelInfo& info) {
    QByteArray f("NTKK");
    const QByteArray model = info.modelNameCopy.untilNul();
    for (int i = 0; i < 4; ++i)
        f += i < model.size() ? model.at(i) : char(0xFF);
    f += char(info.typeLetter & 0xFF);
    f += QByteArray(4, char(0xFF));
    f += char(info.bandCodeCopy & 0xFF);
    f += QByteArray(3, char(0xFF));
    const QByteArray serial = info.createDate.untilNul();
    for (int i = 0; i < 8; ++i)
        f += i < serial.size() ? serial.at(i) : char(0xFF);
    f += QByteArray(8, char(0xFF));
    f += char(checksum(f, 1, 33));
    return f;
}

// "V" then the version text after its own leading character, 0xFF after the end.
QByteArray RadioSession::versionFrame(const ModelInfo& info) {
    QByteArray f("V");
    const QByteArray text = info.softwareVersionText.untilNul();
    QByteArray trimmed = text;
    while (trimmed.endsWith(' '))
        trimmed.chop(1);
    for (int i = 1; i <= 9; ++i)
        f += i < trimmed.size() ? trimmed.at(i) : char(0xFF);
    return f;
}

bool RadioSession::transfersBlocks() const {
    switch (m_operation) {
    case RadioOperation::Read:
    case RadioOperation::InformationRead:
    case RadioOperation::Write:
    case RadioOperation::InformationWrite:
    case RadioOperation::Verify:
        return true;
    default:
        return false;
    }
}

void RadioSession::startHandshake() {
    if (!transfersBlocks()) {
        m_operation = RadioOperation::Idle;
        m_step = SessionStep::Idle;
        return;
    }
    m_step = SessionStep::ProgramAck;
    sendFrame(ProgramCommand, 1);
}

void RadioSession::sendFrame(const QByteArray& frame, int expectedReplyLength) {
    m_replyTimer.start();
    m_link.setExpectedLength(expectedReplyLength);
    m_link.clearBuffers();
    if (m_trace) m_trace->sent(frame);
    m_link.write(frame);
    ++m_framesSent;
    m_bytesSent += frame.size();
}

bool RadioSession::advanceBlock() {
    m_blockAddress += m_blockLength;
    return m_blockAddress < m_endAddress;
}

void RadioSession::sendReadRequest() {
    if (!advanceBlock()) return finishTransfer();
    QByteArray f("R");
    f += char((step16(m_blockAddress) >> 8) & 0xFF);
    f += char(m_blockAddress & 0xFF);
    f += char(m_blockLength);
    sendFrame(f, m_blockLength + 5);
}

void RadioSession::sendDataFrame() {
    if (!advanceBlock()) return finishTransfer();
    updateProgress();
    QByteArray f("W");
    f += char((step16(m_blockAddress) >> 8) & 0xFF);
    f += char(m_blockAddress & 0xFF);
    f += char(m_blockLength);
    if (m_blockAddress >= 0 && m_blockAddress + m_blockLength <= m_image.size())
        f += m_image.mid(m_blockAddress, m_blockLength);
    else
        f += QByteArray(m_blockLength, char(0xFF)); // never happens with the products' ranges
    f += char(checksum(f, 1, f.size()));
    sendFrame(f, 1);
}

void RadioSession::sendEnd() {
    sendFrame(QByteArray("E"), 1);
}

void RadioSession::finishTransfer() {
    if (transfersBlocks()) {
        m_step = SessionStep::EndAck;
        sendEnd();
    } else {
        endSession(false);
    }
}

void RadioSession::updateProgress() {
    if (m_operation != RadioOperation::Read && m_operation != RadioOperation::Write &&
        m_operation != RadioOperation::Verify)
        return;
    if (m_endAddress <= 0) return;
    const int percent = qRound(double(m_blockAddress) * 100.0 / m_endAddress);
    if (percent - m_lastPercent >= 1) {
        m_lastPercent = percent;
        emit progressChanged(percent);
    }
}

void RadioSession::advance() {
    m_replyTimer.stop();
    if (!transfersBlocks()) return;
    // Every operation opens the same way and ends with the acknowledge of "E".
    switch (m_step) {
    case SessionStep::ProgramAck:
        m_step = SessionStep::Ident;
        sendFrame(QByteArray(1, IdentRequest), IdentLength);
        return;
    case SessionStep::Ident:
        m_step = SessionStep::IdentAck;
        sendFrame(QByteArray(1, Ack), 1);
        return;
    case SessionStep::EndAck:
        endSession(true);
        return;
    default:
        break;
    }
    bool moved = false;
    switch (m_operation) {
    case RadioOperation::Read:
    case RadioOperation::Verify:
        moved = advanceRead();
        break;
    case RadioOperation::Write:
        moved = advanceWrite();
        break;
    case RadioOperation::InformationRead:
        moved = advanceInformationRead();
        break;
    default:
        moved = advanceInformationWrite();
        break;
    }
    // A step the operation does not know (the end after a rejected identity): it is over.
    if (!moved) endSession(false);
}

bool RadioSession::advanceRead() {
    switch (m_step) {
    case SessionStep::IdentAck:
        // The verify reads the radio the write just identified.
        if (m_operation == RadioOperation::Verify || !m_doc.product().identityOnRead ||
            checkRadioIdentity()) {
            m_step = SessionStep::Block;
            sendReadRequest();
        } else {
            m_step = SessionStep::RejectedAck;
            sendEnd();
        }
        return true;
    case SessionStep::Block: // the block is stored: acknowledge it
        m_step = SessionStep::BlockAck;
        sendFrame(QByteArray(1, Ack), 1);
        return true;
    case SessionStep::BlockAck:
        m_step = SessionStep::Block;
        sendReadRequest();
        return true;
    default:
        return false;
    }
}

bool RadioSession::advanceWrite() {
    switch (m_step) {
    case SessionStep::IdentAck:
        if (checkRadioIdentity()) {
            m_step = SessionStep::Block;
            sendDataFrame();
        } else {
            m_step = SessionStep::RejectedAck;
            sendEnd();
        }
        return true;
    case SessionStep::Block: // the radio took the block: the next one
        sendDataFrame();
        return true;
    default:
        return false;
    }
}

bool RadioSession::advanceInformationRead() {
    switch (m_step) {
    case SessionStep::IdentAck:
    case SessionStep::BlockAck:
        m_step = SessionStep::Block;
        sendReadRequest();
        return true;
    case SessionStep::Block:
        m_step = SessionStep::BlockAck;
        sendFrame(QByteArray(1, Ack), 1);
        return true;
    default:
        return false;
    }
}

bool RadioSession::advanceInformationWrite() {
    switch (m_step) {
    case SessionStep::IdentAck:
        m_step = SessionStep::Block;
        sendFrame(informationFrame(m_doc.config().modelInfo), 1);
        return true;
    case SessionStep::Block:
        m_step = SessionStep::BlockAck;
        sendFrame(versionFrame(m_doc.config().modelInfo), 1);
        return true;
    case SessionStep::BlockAck:
        m_step = SessionStep::EndAck;
        sendEnd();
        return true;
    default:
        return false;
    }
}

// Stores what a reply carries. Returns false when it is not the reply the current step waits
// for: such replies never move the session on (silence handling takes over).
bool RadioSession::storeReply(const QByteArray& r) {
    const SessionStep step = m_step;
    ReplyKind kind = ReplyKind::None;
    if (r.size() == 1 && r.at(0) == Ack) {
        kind = ReplyKind::Ack;
    } else if (r.size() == IdentLength && r.at(0) == 'P') {
        kind = ReplyKind::Ident;
    } else if (r.size() >= 4 && r.at(0) == 'W' &&
               ((uint8_t(r.at(1)) << 8) | uint8_t(r.at(2))) == step16(m_blockAddress) &&
               uint8_t(r.at(3)) == m_blockLength && r.size() == m_blockLength + 5 &&
               checksum(r, 1, r.size() - 1) == uint8_t(r.back())) {
        kind = ReplyKind::Data;
    } else if (r.size() >= 34 && r.startsWith("NTK-") &&
               checksum(r, 1, r.size() - 1) == uint8_t(r.back())) {
        kind = ReplyKind::Info;
    } else if (r.size() == 10 && r.at(0) == 'V') {
        kind = ReplyKind::Version;
    }

    // The radio's own information and version records answer only the information
    // operations; they reach the configuration when that session succeeds (endSession).
    const bool informationOperation = m_operation == RadioOperation::InformationRead ||
                                      m_operation == RadioOperation::InformationWrite;
    switch (kind) {
    case ReplyKind::None:
        return false;
    case ReplyKind::Info: {
        if (!informationOperation) return false;
        // Model copy, type letter, band copy, serial number.
        ReceivedInformation info;
        QByteArray code;
        for (int i = 4; i < 8 && uint8_t(r.at(i)) != 0xFF; ++i)
            code += r.at(i);
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
        for (int i = 1; i < 10 && uint8_t(r.at(i)) != 0xFF; ++i)
            text += r.at(i);
        m_receivedVersion = text + '\0';
        return false;
    }
    case ReplyKind::Ack:
        return step == SessionStep::ProgramAck || step == SessionStep::IdentAck ||
               step == SessionStep::BlockAck || step == SessionStep::EndAck ||
               step == SessionStep::RejectedAck ||
               (step == SessionStep::Block && (m_operation == RadioOperation::Write ||
                                               m_operation == RadioOperation::InformationWrite));
    case ReplyKind::Ident:
        if (step != SessionStep::Ident) return false;
        if (m_operation == RadioOperation::Read || m_operation == RadioOperation::Write) {
            m_radioModelCode = r.mid(1, 4);
            m_radioBandCode = uint8_t(r.at(5));
            m_radioModelClass = uint8_t(r.at(6));
            m_radioFirmware = r.mid(8, 4);
            const int at = m_doc.product().headerBase;
            if (at + IdentLength <= m_image.size()) m_image.replace(at, IdentLength, r);
        }
        return true;
    case ReplyKind::Data: {
        if (step != SessionStep::Block || (m_operation != RadioOperation::Read &&
                                           m_operation != RadioOperation::InformationRead &&
                                           m_operation != RadioOperation::Verify))
            return false;
        // A verify keeps what it reads apart from the image the write sent.
        QByteArray& image = m_operation == RadioOperation::Verify ? m_verifyImage : m_image;
        // Only a block that lies wholly inside the radio's memory is stored.
        if (m_blockAddress < 0 || m_blockAddress + m_blockLength > image.size()) return false;
        image.replace(m_blockAddress, m_blockLength, r.mid(4, m_blockLength));
        updateProgress();
        return true;
    }
    }
    return false;
}

void RadioSession::onReply(const QByteArray& reply) {
    if (m_operation == RadioOperation::Idle) return;
    if (m_prompting) {
        traceNote(QStringLiteral("reply while a question is open: ignored"));
        return;
    }
    m_bytesReceived += reply.size();
    if (m_operation == RadioOperation::TestMode) {
        emit testReply(reply);
        return;
    }
    if (storeReply(reply))
        advance();
    else
        traceNote(QStringLiteral("%1 bytes that step %2 does not wait for: ignored")
                      .arg(reply.size())
                      .arg(int(m_step)));
}

void RadioSession::askRetry(bool repeatBlock) {
    if (prompt(Msg::CheckConnection, MsgIcon::None, MsgButtons::RetryCancel) == MsgAnswer::Retry &&
        !m_lostWhilePrompting) {
        // The handshake advances before it requests a block: step back so that the block
        // whose reply was lost is asked for again.
        if (repeatBlock) m_blockAddress -= m_blockLength;
        startHandshake();
    } else {
        fail(m_lostWhilePrompting ? SessionFailure::DeviceLost : SessionFailure::NoAnswer);
    }
}

void RadioSession::askRestart() {
    if (prompt(Msg::CheckConnection, MsgIcon::Question, MsgButtons::OkCancel) == MsgAnswer::Ok &&
        !m_lostWhilePrompting) {
        m_programRetries = m_identRetries = 0;
        startHandshake();
        m_blockAddress = startAddress();
        m_lastPercent = 0;
        emit progressChanged(0);
    } else {
        fail(m_lostWhilePrompting ? SessionFailure::DeviceLost : SessionFailure::NoAnswer);
    }
}

void RadioSession::replyTimedOut() {
    m_replyTimer.stop();
    if (m_prompting) return;
    const SessionStep step = m_step;
    traceNote(QStringLiteral("no reply within %1 ms (step %2)")
                  .arg(m_replyTimer.interval())
                  .arg(int(step)));
    switch (m_operation) {
    case RadioOperation::Read:
    case RadioOperation::Write:
    case RadioOperation::Verify:
        switch (step) {
        case SessionStep::ProgramAck:
            if (m_programRetries < 1) {
                ++m_programRetries;
                sendFrame(ProgramCommand, 1);
            } else {
                m_programRetries = 0;
                askRetry();
            }
            return;
        case SessionStep::Ident:
            if (m_identRetries < 1) {
                ++m_identRetries;
                sendFrame(QByteArray(1, IdentRequest), IdentLength);
            } else {
                m_identRetries = 0;
                askRetry();
            }
            return;
        case SessionStep::IdentAck:
        case SessionStep::BlockAck:
            advance();
            return;
        case SessionStep::Block:
            askRestart();
            return;
        case SessionStep::EndAck:
            endSession(true);
            return;
        case SessionStep::RejectedAck:
            fail(SessionFailure::Identity);
            return;
        default:
            return;
        }
    case RadioOperation::InformationRead:
    case RadioOperation::InformationWrite:
        switch (step) {
        case SessionStep::ProgramAck:
            advance();
            return;
        case SessionStep::Block:
            askRetry(m_operation == RadioOperation::InformationRead);
            return;
        case SessionStep::Ident:
        case SessionStep::IdentAck:
        case SessionStep::BlockAck:
            askRetry();
            return;
        case SessionStep::EndAck:
            endSession(true);
            return; // the transfer itself is complete
        case SessionStep::RejectedAck:
            fail(SessionFailure::Identity);
            return;
        default:
            return;
        }
    case RadioOperation::TestMode:
        emit testTimeout();
        return;
    default:
        return;
    }
}
