#include "session.h"

#include "core/config/messages.h"
#include "core/config/modelband.h"
#include "doctor.h"
#include "protocol.h"

#include <utility>

namespace {
using RadioProtocol::ReadBlockLength;
using RadioProtocol::WriteBlockLength;
// A message box lists at most this many differences, as many as a box on a 1024 x 768 screen
// shows whole; the rest are counted (the trace keeps every one).
constexpr int ShownDifferences = 25;

// The first address a write sends (its BlockAddress moves on before each data frame).
int firstWrittenAddress(const Product& p) {
    return p.writeStart + WriteBlockLength;
}

// BlockAddress before the first request of a verify: its 64-byte blocks lie on the read's
// block boundaries, from the block holding the first written byte to the end of the write.
int verifyStartAddress(const Product& p) {
    return firstWrittenAddress(p) / ReadBlockLength * ReadBlockLength - ReadBlockLength;
}

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

QString oneLine(QString text) {
    return text.replace(QLatin1String("\r\n"), QLatin1String(" / "))
        .replace(QLatin1Char('\n'), QLatin1Char(' '));
}
} // namespace

RadioSession::RadioSession(Document& doc, SerialLink& link, QObject* parent)
    : QObject(parent), m_doc(doc), m_link(link) {
    clearRadioImage(doc.product(), m_image);
    m_replyTimer.setSingleShot(true);
    m_replyTimer.setInterval(RadioProtocol::ReplyTimeoutMs);
    m_replyTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_replyTimer, &QTimer::timeout, this, &RadioSession::replyTimedOut);
    connect(&m_link, &SerialLink::replyReady, this, &RadioSession::onReply);
    connect(&m_link, &SerialLink::deviceLost, this, &RadioSession::onDeviceLost);
    connect(&m_link, &SerialLink::bytesArrived, this, [this](const QByteArray& chunk) {
        if (m_trace) m_trace->received(chunk);
    });
}

MessageService& RadioSession::messageService() const {
    return m_messages ? *m_messages : ::messageService();
}

MsgAnswer RadioSession::showMessage(const QString& text, MsgIcon icon, MsgButtons buttons,
                                    const QString& informative) {
    return messageService().ask({text, informative, programTitle(), icon, buttons});
}

MsgAnswer RadioSession::showMessage(Msg id, MsgIcon icon, MsgButtons buttons,
                                    const QString& informative) {
    return messageService().ask({messageText(id), informative, programTitle(), icon, buttons, id});
}

void RadioSession::traceNote(const QString& text) {
    if (m_trace) m_trace->note(text);
}

void RadioSession::traceEnd(bool success) {
    if (m_trace) m_trace->end(sessionTraceText(success ? SessionFailure::None : m_lastFailure));
}

int RadioSession::startAddress() const {
    const Product& p = m_doc.product();
    switch (m_operation) {
    case RadioOperation::Read:
        return p.readStart;
    case RadioOperation::Write:
        return p.writeStart;
    case RadioOperation::InformationRead:
        return p.infoStart;
    case RadioOperation::Verify:
        return verifyStartAddress(p);
    default:
        return 0;
    }
}

bool RadioSession::verifiedAddress(const Product& p, int address) {
    if (address < firstWrittenAddress(p) || address >= p.writeEnd) return false;
    return address < p.headerBase || address >= p.headerBase + RadioProtocol::IdentLength;
}

QStringList memoryDifferenceLines(const QByteArray& written, const QByteArray& held,
                                  const QList<int>& addresses, int language) {
    const auto hex = [](int value, int width) {
        return QLatin1String("0x") +
               QString::number(value, 16).toUpper().rightJustified(width, QLatin1Char('0'));
    };
    const auto byteAt = [](const QByteArray& image, int a) {
        return a >= 0 && a < image.size() ? int(uint8_t(image.at(a))) : 0xFF;
    };
    QStringList out;
    for (qsizetype i = 0; i < addresses.size();) {
        qsizetype j = i + 1;
        while (j < addresses.size() && addresses.at(j) == addresses.at(j - 1) + 1)
            ++j;
        const int first = addresses.at(i), last = addresses.at(j - 1);
        if (first == last)
            out << tr2In(language, "Radio memory %1: written %2, the radio holds %3",
                         "对讲机存储器 %1：写入 %2，对讲机中为 %3")
                       .arg(hex(first, 4), hex(byteAt(written, first), 2),
                            hex(byteAt(held, first), 2));
        else
            out << tr2In(language, "Radio memory %1-%2: %3 bytes differ",
                         "对讲机存储器 %1-%2：%3 个字节不同")
                       .arg(hex(first, 4), hex(last, 4))
                       .arg(last - first + 1);
        i = j;
    }
    return out;
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

bool RadioSession::openPort() {
    const Product& p = m_doc.product();
    switch (m_operation) {
    case RadioOperation::Read:
        m_blockLength = ReadBlockLength;
        m_endAddress = p.readEnd;
        break;
    case RadioOperation::Write:
        m_blockLength = WriteBlockLength;
        m_endAddress = p.writeEnd;
        break;
    case RadioOperation::InformationRead:
        m_blockLength = RadioProtocol::InformationBlockLength;
        m_endAddress = p.infoEnd;
        break;
    default:
        break;
    }
    if (m_trace) m_trace->begin(m_portName, int(m_operation));
    m_blockAddress = startAddress();
    m_programRetries = m_identRetries = m_lastPercent = 0;
    m_framesSent = 0;
    m_bytesSent = m_bytesReceived = 0;
    m_lastFailure = SessionFailure::None;
    m_lostWhilePrompting = false;
    m_receivedInformation.reset();
    m_receivedVersion.reset();
    m_identity = {};
    if (m_link.isOpen()) m_link.close();
    PortOpenError err;
    if (!m_link.open(m_portName, &err)) {
        m_lastFailure = SessionFailure::PortOpen;
        traceNote(QStringLiteral("the port cannot be opened: %1").arg(err.reason));
        // The doctor's verdict names what it found about the port (a process that holds it,
        // a missing group membership, a braille daemon that took the adapter).
        const QString verdict =
            doctorVerdict(m_portName, m_portName, ConnectionDoctor().check({}, m_portName));
        showMessage(Msg::PortOpenError, MsgIcon::Critical, MsgButtons::Ok,
                    err.reason + QLatin1Char('\n') + verdict);
        traceEnd(false);
        return false;
    }
    return true;
}

bool RadioSession::checkRadioIdentity() {
    const Product& p = m_doc.product();
    const QString model = cleanModelText(m_doc.model());
    const int band = m_doc.currentBandCode();
    if (p.identityAsksOverwrite) {
        const QString radioModel =
            modelTextFromIdentity(p, m_identity.modelClass, m_identity.bandCode);
        if (radioModel == model && m_identity.bandCode == band) return true;
        if (prompt(Msg::ModelWrongOverwrite, MsgIcon::Warning, MsgButtons::OkCancel) ==
            MsgAnswer::Ok)
            return true;
        m_lastFailure = SessionFailure::Identity;
        return false;
    }
    const QString version = QString::fromLatin1(ProgramDataVersion);
    const QString firmware = QString::fromLatin1(m_identity.firmware);
    if (model != QString::fromLatin1(m_identity.modelCode)) {
        prompt(Msg::ModelWrong, MsgIcon::None, MsgButtons::Ok);
    } else if (firmware.left(3) != version.left(3)) {
        const QString text = messageText(Msg::VersionWrong) + QLatin1String("\r\n") +
                             messageText(Msg::FirmwareVersion) + QLatin1Char(' ') +
                             firmware.left(2) + QLatin1Char('.') + firmware.right(2) +
                             QLatin1String("\r\n") + messageText(Msg::SoftwareVersion) +
                             QLatin1Char(' ') + version.left(2) + QLatin1Char('.') +
                             version.mid(2, 1) + QLatin1Char('X');
        m_prompting = true;
        messageService().ask(
            {text, {}, programTitle(), MsgIcon::None, MsgButtons::Ok, Msg::VersionWrong});
        m_prompting = false;
        traceNote(QStringLiteral("asked \"%1\": OK").arg(oneLine(text)));
    } else if (band != m_identity.bandCode) {
        prompt(Msg::BandWrong, MsgIcon::None, MsgButtons::Ok);
    } else {
        return true;
    }
    m_lastFailure = SessionFailure::Identity;
    return false;
}

void RadioSession::onDeviceLost(const QString& reason) {
    if (m_operation == RadioOperation::Idle) return;
    traceNote(QStringLiteral("device lost: %1").arg(reason));
    if (m_prompting) {
        m_lostWhilePrompting = true;
        m_lostReason = reason;
        return;
    }
    m_replyTimer.stop();
    m_prompting = true;
    // The system's own words for it ("Inappropriate ioctl for device") are in the trace only.
    showMessage(
        tr2("The connection to the radio was lost.", "与对讲机的连接已断开。"), MsgIcon::Critical,
        MsgButtons::Ok,
        tr2("The port stopped working: the cable was unplugged or the adapter removed. "
            "Check the programming cable, then start again.",
            "通信端口已停止工作：写频线已拔出或适配器已移除。请检查写频线，然后重新开始。"));
    m_prompting = false;
    fail(SessionFailure::DeviceLost);
}

void RadioSession::fail(SessionFailure why) {
    if (m_lastFailure == SessionFailure::None || why == SessionFailure::DeviceLost)
        m_lastFailure = why;
    endSession(false);
}

void RadioSession::cancel() {
    if (m_operation == RadioOperation::Idle) return;
    // Once PROGRAM was acknowledged the radio waits in programming mode, and in test mode it
    // stays in its tuning state: let it go.
    traceNote(QStringLiteral("cancelled by the user"));
    if ((step() > SessionStep::ProgramAck || m_operation == RadioOperation::TestMode) &&
        m_link.isOpen()) {
        m_link.clearBuffers();
        const QByteArray end = RadioProtocol::endCommand();
        if (m_trace) m_trace->sent(end);
        m_link.write(end);
        m_link.flush();
    }
    fail(SessionFailure::Cancelled);
}

void RadioSession::endSession(bool success) {
    const RadioOperation op = m_operation;
    m_replyTimer.stop();
    if (op == RadioOperation::Write && success && m_verifyAfterWrite) {
        // The port stays open: the verify read follows at once.
        emit progressClosed();
        startVerify();
        return;
    }
    m_link.flush();
    m_link.close();
    m_operation = RadioOperation::Idle;
    m_step = SessionStep::Idle;
    if (op == RadioOperation::Idle) return;
    if (op == RadioOperation::Read || op == RadioOperation::Write || op == RadioOperation::Verify)
        emit progressClosed();
    if (!success && m_lastFailure == SessionFailure::None) m_lastFailure = SessionFailure::NoAnswer;

    bool ok = success;
    if (op == RadioOperation::Verify) ok = finishVerify(ok);
    if (ok && (op == RadioOperation::InformationRead || op == RadioOperation::InformationWrite))
        applyReceivedInformation();
    if (ok && op == RadioOperation::Read) {
        ok = applyRead();
    } else if (ok && op == RadioOperation::InformationRead) {
        const LocalInformation info = parseLocalInformation(m_doc.product(), m_image);
        for (size_t i = 0; i < info.size(); ++i)
            if (i != 5) m_localInformation[i] = info[i]; // the version does not come from the area
        emit informationRead();
    }
    const bool compared = std::exchange(m_readForComparison, false);
    if (ok && op == RadioOperation::Read && !compared) showMessage(Msg::ReadCompleted);
    if (ok && op == RadioOperation::Write) showMessage(Msg::WriteCompleted);
    if (ok) m_lastFailure = SessionFailure::None;
    traceEnd(ok);
    // The verify is the end of the write the user asked for.
    emit finished(op == RadioOperation::Verify ? RadioOperation::Write : op, ok);
}

// Decodes into a copy first: a read that cannot be used changes nothing. A read for comparison
// hands the copy out and leaves the open configuration alone.
bool RadioSession::applyRead() {
    Document decoded = m_doc;
    if (const auto error = parseRadioImage(decoded, m_image)) {
        m_lastFailure = SessionFailure::BadData;
        traceNote(QStringLiteral("the data read cannot be used: %1").arg(*error));
        showMessage(
            tr2("The data read from the radio cannot be used.", "从对讲机读取的数据无法使用。"),
            MsgIcon::Critical, MsgButtons::Ok,
            *error + tr2(" Nothing was changed.", " 未作任何更改。"));
        return false;
    }
    if (m_readForComparison) {
        emit radioConfigurationRead(decoded);
        return true;
    }
    emit readApplying();
    // The record read and the untitled file it now belongs to are one step.
    m_doc.becameUntitled(QStringLiteral("new.dat"));
    m_doc.replaceConfiguration(decoded, tr2("Read from Radio", "从对讲机读取数据"));
    emit readApplied();
    return true;
}

// Reads back what the write just sent, in the read's 64-byte blocks, on the same port.
void RadioSession::startVerify() {
    const Product& p = m_doc.product();
    traceNote(QStringLiteral("the write is complete: reading it back to verify"));
    m_operation = RadioOperation::Verify;
    m_step = SessionStep::Idle;
    m_blockLength = ReadBlockLength;
    m_endAddress = p.writeEnd;
    m_blockAddress = startAddress();
    m_programRetries = m_identRetries = m_lastPercent = 0;
    m_lastFailure = SessionFailure::None;
    m_lostWhilePrompting = false;
    m_verifyImage = QByteArray(p.memorySize, char(0xFF));
    m_verifyMismatches.clear();
    m_verifyDifferences.clear();
    emit progressOpened(RadioOperation::Verify);
    startHandshake();
}

// Compares what the verify read with the image the write sent and says what it found.
bool RadioSession::finishVerify(bool readOk) {
    const Product& p = m_doc.product();
    if (!readOk) {
        // The user who gave up knows; anyone else learns that the write itself went through.
        if (m_lastFailure != SessionFailure::Cancelled)
            showMessage(tr2("The data was written, but reading it back to verify it failed.",
                            "数据已写入，但回读校验失败。"),
                        MsgIcon::Critical, MsgButtons::Ok,
                        tr2("Check the programming cable, then write again.",
                            "请检查写频线，然后重新写入。"));
        return false;
    }
    QByteArray held = m_image; // what the radio holds, as far as the verify compares
    for (int a = 0; a < p.memorySize && a < m_image.size() && a < m_verifyImage.size(); ++a) {
        if (!verifiedAddress(p, a) || m_image.at(a) == m_verifyImage.at(a)) continue;
        m_verifyMismatches << a;
        held[a] = m_verifyImage.at(a);
    }
    if (m_verifyMismatches.isEmpty()) {
        traceNote(QStringLiteral("verified: the radio holds what was written"));
        showMessage(tr2("Write verified: the radio holds what was written.",
                        "写入已校验：对讲机中的数据与写入的一致。"),
                    MsgIcon::Information);
        return true;
    }
    if (m_differ) m_verifyDifferences = m_differ(p, m_image, held, m_verifyMismatches);
    if (m_verifyDifferences.isEmpty())
        m_verifyDifferences = memoryDifferenceLines(m_image, held, m_verifyMismatches);
    m_lastFailure = SessionFailure::VerifyMismatch;
    for (const QString& line : std::as_const(m_verifyDifferences))
        traceNote(QStringLiteral("differs: %1").arg(line));
    QStringList shown = m_verifyDifferences.mid(0, ShownDifferences);
    if (m_verifyDifferences.size() > ShownDifferences)
        shown << tr2("... and %1 more.", "……另有 %1 处。")
                     .arg(m_verifyDifferences.size() - ShownDifferences);
    showMessage(tr2("The data was written, but the radio holds something else:",
                    "数据已写入，但对讲机中的数据与写入的不一致："),
                MsgIcon::Warning, MsgButtons::Ok, shown.join(QLatin1Char('\n')));
    return false;
}

void RadioSession::applyReceivedInformation() {
    ModelInfo mi = m_doc.config().modelInfo;
    if (m_receivedInformation) {
        mi.modelNameCopy.assign(m_receivedInformation->modelNameCopy);
        mi.typeLetter = m_receivedInformation->typeLetter;
        mi.bandCodeCopy = m_receivedInformation->bandCodeCopy;
        mi.createDate.assign(m_receivedInformation->createDate);
    }
    if (m_receivedVersion) mi.softwareVersionText.assign(*m_receivedVersion);
    m_doc.setModelInformation(mi, changeCaption(tr2("Radio Information", "对讲机信息")));
    m_receivedInformation.reset();
    m_receivedVersion.reset();
}

bool RadioSession::beginTestMode() {
    if (busy()) return false;
    m_operation = RadioOperation::TestMode;
    if (!openPort()) {
        m_operation = RadioOperation::Idle;
        return false;
    }
    return true;
}

void RadioSession::sendTestFrame(const QByteArray& frame, int expectedReplyLength) {
    sendFrame(frame, expectedReplyLength);
}

void RadioSession::endTestMode(bool clean, SessionFailure why) {
    if (m_operation != RadioOperation::TestMode) return;
    if (why != SessionFailure::None) m_lastFailure = why;
    endSession(clean);
}

bool RadioSession::readForComparison() {
    if (busy()) return false;
    m_readForComparison = true;
    if (readFromRadio()) return true;
    m_readForComparison = false;
    return false;
}

bool RadioSession::readFromRadio() {
    if (busy()) return false;
    m_operation = RadioOperation::Read;
    m_step = SessionStep::Idle;
    if (!openPort()) {
        m_operation = RadioOperation::Idle;
        return false;
    }
    if (confirm(Msg::ReadConfirm) != MsgAnswer::Ok) {
        m_link.close();
        m_operation = RadioOperation::Idle;
        m_lastFailure = SessionFailure::Cancelled;
        traceEnd(false);
        return false;
    }
    clearRadioImage(m_doc.product(), m_image);
    emit progressOpened(RadioOperation::Read);
    startHandshake();
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
    m_operation = RadioOperation::Write;
    m_step = SessionStep::Idle;
    if (!openPort()) {
        m_operation = RadioOperation::Idle;
        return false;
    }
    if (confirm(Msg::WriteConfirm) != MsgAnswer::Ok) {
        m_link.close();
        m_operation = RadioOperation::Idle;
        m_lastFailure = SessionFailure::Cancelled;
        traceEnd(false);
        return false;
    }
    m_verifyMismatches.clear();
    m_verifyDifferences.clear();
    std::optional<QString> error;
    if (raw) {
        if (raw->size() == m_doc.product().memorySize)
            m_image = *raw;
        else
            error = tr2("The radio image has %1 bytes instead of %2.",
                        "对讲机映像为 %1 字节，应为 %2 字节。")
                        .arg(raw->size())
                        .arg(m_doc.product().memorySize);
    } else {
        clearRadioImage(m_doc.product(), m_image);
        error = buildRadioImage(m_doc, m_image);
    }
    if (error) {
        m_link.close();
        m_operation = RadioOperation::Idle;
        m_lastFailure = SessionFailure::Refused;
        traceNote(*error);
        showMessage(
            tr2("This configuration cannot be written to the radio.", "此配置无法写入对讲机。"),
            MsgIcon::Critical, MsgButtons::Ok,
            *error + tr2(" Nothing was sent.", " 未发送任何数据。"));
        traceEnd(false);
        return false;
    }
    emit progressOpened(RadioOperation::Write);
    startHandshake();
    return true;
}

bool RadioSession::readInformation(bool clearImage) {
    if (busy()) return false;
    m_operation = RadioOperation::InformationRead;
    m_step = SessionStep::Idle;
    if (!openPort()) {
        m_operation = RadioOperation::Idle;
        return false;
    }
    if (clearImage) clearRadioImage(m_doc.product(), m_image);
    startHandshake();
    return true;
}

bool RadioSession::writeInformation() {
    if (busy()) return false;
    m_operation = RadioOperation::InformationWrite;
    m_step = SessionStep::Idle;
    if (!openPort()) {
        m_operation = RadioOperation::Idle;
        return false;
    }
    startHandshake();
    return true;
}
