#include "session.h"

#include "protocol.h"

// The protocol steps of the session: the frames it sends, the replies it accepts, the step
// each reply or silence moves it to.

using namespace RadioProtocol;

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
    sendFrame(programCommand(), AckLength);
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
    sendFrame(readRequest(m_blockAddress, m_blockLength), dataFrameLength(m_blockLength));
}

void RadioSession::sendDataFrame() {
    if (!advanceBlock()) return finishTransfer();
    updateProgress();
    const bool inside = m_blockAddress >= 0 && m_blockAddress + m_blockLength <= m_image.size();
    // Outside the image never happens with the products' ranges.
    const QByteArray data =
        inside ? m_image.mid(m_blockAddress, m_blockLength) : QByteArray(m_blockLength, char(0xFF));
    sendFrame(dataFrame(m_blockAddress, data), AckLength);
}

void RadioSession::sendEnd() {
    sendFrame(endCommand(), AckLength);
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
        sendFrame(identRequest(), IdentLength);
        return;
    case SessionStep::Ident:
        m_step = SessionStep::IdentAck;
        sendFrame(acknowledge(), AckLength);
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
        sendFrame(acknowledge(), AckLength);
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
        sendFrame(acknowledge(), AckLength);
        return true;
    default:
        return false;
    }
}

bool RadioSession::advanceInformationWrite() {
    switch (m_step) {
    case SessionStep::IdentAck:
        m_step = SessionStep::Block;
        sendFrame(informationFrame(m_doc.config().modelInfo), AckLength);
        return true;
    case SessionStep::Block:
        m_step = SessionStep::BlockAck;
        sendFrame(versionFrame(m_doc.config().modelInfo), AckLength);
        return true;
    case SessionStep::BlockAck:
        m_step = SessionStep::EndAck;
        sendEnd();
        return true;
    default:
        return false;
    }
}

// What the step machine does with a reply. Returns false when it is not the reply the current
// step waits for: such replies never move the session on (silence handling takes over).
bool RadioSession::storeReply(const QByteArray& r) {
    const Reply reply = classifyReply(r, m_blockAddress, m_blockLength);
    // The radio's own information and version records answer only the information
    // operations; they reach the configuration when that session succeeds (endSession), and
    // no step waits for them.
    const bool informationOperation = m_operation == RadioOperation::InformationRead ||
                                      m_operation == RadioOperation::InformationWrite;
    switch (reply.kind) {
    case ReplyKind::None:
        return false;
    case ReplyKind::Information:
        if (informationOperation) m_receivedInformation = reply.information;
        return false;
    case ReplyKind::Version:
        if (informationOperation) m_receivedVersion = reply.version;
        return false;
    case ReplyKind::Ack:
        return acceptsAck();
    case ReplyKind::Ident:
        return storeIdentification(r, reply.identity);
    case ReplyKind::Data:
        return storeBlock(reply.data);
    }
    return false;
}

bool RadioSession::acceptsAck() const {
    switch (m_step) {
    case SessionStep::ProgramAck:
    case SessionStep::IdentAck:
    case SessionStep::BlockAck:
    case SessionStep::EndAck:
    case SessionStep::RejectedAck:
        return true;
    case SessionStep::Block: // a write's block or information frame was taken
        return m_operation == RadioOperation::Write ||
               m_operation == RadioOperation::InformationWrite;
    default:
        return false;
    }
}

bool RadioSession::storeIdentification(const QByteArray& r, const Identification& id) {
    if (m_step != SessionStep::Ident) return false;
    if (m_operation == RadioOperation::Read || m_operation == RadioOperation::Write) {
        m_identity = id;
        // A write sends the radio its own identification back in the model header.
        const int at = m_doc.product().headerBase;
        if (at + IdentLength <= m_image.size()) m_image.replace(at, IdentLength, r);
    }
    return true;
}

bool RadioSession::storeBlock(const QByteArray& data) {
    if (m_step != SessionStep::Block ||
        (m_operation != RadioOperation::Read && m_operation != RadioOperation::InformationRead &&
         m_operation != RadioOperation::Verify))
        return false;
    // A verify keeps what it reads apart from the image the write sent.
    QByteArray& image = m_operation == RadioOperation::Verify ? m_verifyImage : m_image;
    // Only a block that lies wholly inside the radio's memory is stored.
    if (m_blockAddress < 0 || m_blockAddress + m_blockLength > image.size()) return false;
    image.replace(m_blockAddress, m_blockLength, data);
    updateProgress();
    return true;
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
                sendFrame(programCommand(), AckLength);
            } else {
                m_programRetries = 0;
                askRetry();
            }
            return;
        case SessionStep::Ident:
            if (m_identRetries < 1) {
                ++m_identRetries;
                sendFrame(identRequest(), IdentLength);
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
