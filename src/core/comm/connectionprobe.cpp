#include "connectionprobe.h"

#include "core/config/messages.h"
#include "core/config/modelband.h"

using namespace RadioProtocol;

ConnectionProbe::ConnectionProbe(SerialLink& link, QObject* parent)
    : QObject(parent), m_link(link) {
    m_replyTimer.setSingleShot(true);
    m_replyTimer.setInterval(ReplyTimeoutMs);
    connect(&m_replyTimer, &QTimer::timeout, this, &ConnectionProbe::onSilence);
    connect(&m_link, &SerialLink::replyReady, this, &ConnectionProbe::onReply);
    connect(&m_link, &SerialLink::deviceLost, this, [this](const QString& why) {
        if (m_step == Step::Idle) return;
        m_failure = why;
        finish();
    });
}

void ConnectionProbe::start(const QString& device) {
    m_device = device;
    m_answered = false;
    m_identity = {};
    m_failure.clear();
    PortOpenError error;
    if (!m_link.open(device, &error)) {
        m_failure = error.reason;
        m_step = Step::Idle;
        emit finished();
        return;
    }
    m_resends = 0;
    send(Step::Program, programCommand(), AckLength);
}

void ConnectionProbe::send(Step step, const QByteArray& frame, int replyLength) {
    m_step = step;
    m_link.setExpectedLength(replyLength);
    m_link.clearBuffers();
    m_link.write(frame);
    m_replyTimer.start();
}

void ConnectionProbe::onReply(const QByteArray& reply) {
    const Reply r = classifyReply(reply, 0, 0);
    switch (m_step) {
    case Step::Program:
        if (r.kind != ReplyKind::Ack) return;
        m_answered = true;
        m_resends = 0;
        send(Step::Ident, identRequest(), IdentLength);
        return;
    case Step::Ident:
        if (r.kind != ReplyKind::Ident) return;
        m_identity = r.identity;
        send(Step::IdentAck, acknowledge(), AckLength);
        return;
    case Step::IdentAck:
        if (r.kind == ReplyKind::Ack) sendEnd();
        return;
    case Step::End:
        if (r.kind == ReplyKind::Ack) finish();
        return;
    case Step::Idle:
        return;
    }
}

// Silence: PROGRAM and the identification request are sent once more, as in a read; the
// acknowledges after them are not waited for.
void ConnectionProbe::onSilence() {
    switch (m_step) {
    case Step::Program:
        if (m_resends++ < 1) return send(Step::Program, programCommand(), AckLength);
        return finish();
    case Step::Ident:
        if (m_resends++ < 1) return send(Step::Ident, identRequest(), IdentLength);
        return sendEnd();
    case Step::IdentAck:
        return sendEnd();
    case Step::End:
    case Step::Idle:
        return finish();
    }
}

void ConnectionProbe::stop(const QString& why) {
    if (m_step == Step::Idle) return;
    m_failure = why;
    if (m_step != Step::End) sendEnd();
}

void ConnectionProbe::sendEnd() {
    send(Step::End, endCommand(), AckLength);
}

void ConnectionProbe::finish() {
    m_replyTimer.stop();
    m_step = Step::Idle;
    m_link.flush();
    m_link.close();
    emit finished();
}

DoctorLine ConnectionProbe::line(const Product& p) const {
    DoctorLine l{tr2("Radio", "对讲机"), CheckResult::Failed, {}, {}};
    if (!m_failure.isEmpty()) {
        l.finding = m_failure;
        return l;
    }
    if (!m_answered) {
        l.finding =
            tr2("No radio answered PROGRAM on %1.", "%1 上没有对讲机应答 PROGRAM。").arg(m_device);
        l.fix =
            tr2("Switch the radio on and plug the cable firmly into its programming socket; "
                "check that the cable is made for this radio.",
                "请打开对讲机电源，并将写频线插紧在其编程插座上；检查写频线是否适用于本对讲机。");
        return l;
    }
    if (m_identity.modelCode.isEmpty()) {
        l.finding = tr2("A radio answered PROGRAM, but not the identification request.",
                        "对讲机应答了 PROGRAM，但没有应答识别请求。");
        l.fix = tr2("Switch the radio off and on again, then check again.",
                    "请关闭对讲机后重新打开，再检查一次。");
        return l;
    }
    const RadioProtocol::IdentityTexts id = RadioProtocol::identityTexts(p, m_identity);
    l.result = CheckResult::Passed;
    l.finding = tr2("A radio answered: model %1, band %2, firmware %3. Nothing was written.",
                    "对讲机已应答：机型 %1，频段 %2，固件 %3。未写入任何内容。")
                    .arg(id.model, id.band, id.firmware);
    return l;
}
