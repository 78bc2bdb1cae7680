// The session engine fed arbitrary replies and time-outs at every step of every operation.
// A session always ends; success is reported only for a transfer that went through to the
// end (a write with verify: also its read-back, which then found nothing different); a failed
// read leaves the configuration as it was; nothing outside the image is touched.
#include "core/comm/session.h"
#include "core/comm/testmode.h"
#include "core/config/datafile.h"
#include "fuzzsupport.h"

#include <QCoreApplication>
#include <QSet>

#include <functional>

namespace {
// The line: records frames, delivers nothing by itself.
class ScriptLink : public SerialLink {
  public:
    bool open(const QString&, PortOpenError*) override { return m_open = true; }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    void setExpectedLength(int) override {}
    void clearBuffers() override {}
    void write(const QByteArray& f) override { frames << f; }
    void deliver(const QByteArray& r) { emit replyReady(r); }
    void lose() { emit deviceLost(QStringLiteral("gone")); }
    QList<QByteArray> frames;

  private:
    bool m_open = false;
};

// Answers questions from the input.
class ScriptMessages : public MessageService {
  public:
    const uint8_t* data = nullptr;
    size_t size = 0;
    size_t pos = 0;
    bool exhausted() const { return pos >= size; }
    uint8_t next() { return pos < size ? data[pos++] : 0; }
    // What happens while a box is open (the radio answering behind it), when the answer's
    // byte asks for it.
    std::function<void(uint8_t)> whileOpen;
    MsgAnswer ask(const MessageRequest& r) override {
        const uint8_t answer = exhausted() ? 0 : next();
        if (whileOpen && (answer & 2)) whileOpen(answer);
        const bool yes = answer & 1;
        switch (r.buttons) {
        case MsgButtons::RetryCancel:
            return yes ? MsgAnswer::Retry : MsgAnswer::Cancel;
        case MsgButtons::OkCancel:
            return yes ? MsgAnswer::Ok : MsgAnswer::Cancel;
        default:
            return MsgAnswer::Ok;
        }
    }
};

// A well-formed reply to the last frame, so that inputs reach deep steps.
QByteArray goodReply(const RadioSession& s, const QByteArray& last, const QByteArray& memory) {
    if (last == "PROGRAM" || last.size() == 1 || last.startsWith("NTKK") ||
        (last.size() == 10 && last.at(0) == 'V') || last.startsWith('W'))
        return last.size() == 1 && last.at(0) == 2 ? QByteArray("PSOLV\x04\xF8\x00V100\x00\x00", 14)
                                                   : QByteArray(1, 6);
    if (last.startsWith('R') && last.size() == 4) {
        const int a = (uint8_t(last.at(1)) << 8) | uint8_t(last.at(2));
        const int n = uint8_t(last.at(3));
        QByteArray r = last;
        r[0] = 'W';
        r += memory.mid(a, n).leftJustified(n, char(0xFF));
        r += char(RadioProtocol::checksum(r, 1, int(r.size())));
        return r;
    }
    Q_UNUSED(s);
    return {};
}
} // namespace

// Test mode: actions of the windows, replies, time-outs and the sender's own events in any
// order. Test mode always ends and the port is closed; the queue never holds more than 100.
int fuzzTestMode(const Product& p, ScriptMessages& msgs, FuzzEnvironment& env) {
    Document doc(p);
    doc.initialiseDefaults();
    ScriptLink link;
    RadioSession session(doc, link);
    session.setPortName(QStringLiteral("/dev/null"));
    TestModeEngine engine(doc, session);
    msgs.whileOpen = [&link](uint8_t b) {
        link.deliver((b & 4) ? QByteArray(1, 6) : QByteArray(1 + (b >> 4), char(b)));
    };
    FUZZ_CHECK(engine.start());
    int events = 0;
    while (session.busy() && !msgs.exhausted() && ++events < 4000) {
        const uint8_t c = msgs.next();
        const int a = msgs.next(), b = msgs.next();
        switch (c % 12) {
        case 0:
            session.replyTimedOut();
            break;
        case 1:
            engine.runSender(TestModeEngine::SenderEvent::SendRequest);
            break;
        case 2: {
            const int n = std::min<int>(a % 70, int(msgs.size - msgs.pos));
            link.deliver(QByteArray(reinterpret_cast<const char*>(msgs.data + msgs.pos), n));
            msgs.pos += size_t(n);
            break;
        }
        case 3:
            link.deliver(QByteArray(1, 6));
            break;
        case 4:
            engine.selectTestChannel(a % 18);
            break;
        case 5:
            engine.selectSignalling(a % 11);
            break;
        case 6:
            (a & 1) ? engine.setWide() : engine.setNarrow();
            break;
        case 7:
            (a & 1) ? engine.transmitterOn() : engine.transmitterOff();
            break;
        case 8:
            engine.tune(a % 40);
            break;
        case 9:
            engine.setParameter(a, b);
            break;
        case 10:
            (a & 1) ? engine.selectParameter(a, b % 8) : engine.readParameter(a);
            break;
        default:
            (a & 1) ? engine.confirmParameter(a) : engine.restoreParameters(a % 40);
            break;
        }
        FUZZ_CHECK(engine.queue().count() <= 100);
        FUZZ_CHECK(session.radioImage().size() == p.memorySize);
    }
    // The user leaves: the end is queued, the radio stays silent, every prompt is cancelled.
    engine.end(1);
    for (int i = 0; session.busy() && i < 400; ++i) {
        engine.runSender(TestModeEngine::SenderEvent::SendRequest);
        session.replyTimedOut();
    }
    FUZZ_CHECK(!session.busy());
    FUZZ_CHECK(!link.isOpen());
    msgs.whileOpen = nullptr;
    setMessageService(&env.silent);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FuzzEnvironment env;
    if (size < 1) return 0;
    const Product& p = (data[0] & 1) ? solvirProduct() : meridoxProduct();
    const int op = 1 + ((data[0] >> 1) & 3);
    ScriptMessages msgs;
    msgs.data = data + 1;
    msgs.size = size - 1;
    setMessageService(&msgs);
    if (data[0] & 0x10) return fuzzTestMode(p, msgs, env);

    Document doc(p);
    doc.initialiseDefaults();
    QByteArray memory;
    clearRadioImage(p, memory);
    if (buildRadioImage(doc, memory)) abort();
    doc.setOptionWord(0, 5, QString()); // differs from the radio
    const QByteArray before = encodeRecord(p, doc.config());
    ScriptLink link;
    RadioSession session(doc, link);
    session.setPortName(QStringLiteral("/dev/null"));
    const bool verify = op == 2 && (data[0] & 8);
    session.setVerifyAfterWrite(verify);
    bool ended = false, success = false;
    QObject::connect(&session, &RadioSession::finished, [&](RadioOperation, bool ok) {
        ended = true;
        success = ok;
    });
    const bool started = op == 1   ? session.readFromRadio()
                         : op == 2 ? session.writeToRadio()
                         : op == 3 ? session.readInformation(data[0] & 8)
                                   : session.writeInformation();
    if (!started) {
        setMessageService(&env.silent);
        FUZZ_CHECK(encodeRecord(p, doc.config()) == before);
        return 0;
    }

    int events = 0;
    while (!ended && !msgs.exhausted() && ++events < 4000) {
        const uint8_t c = msgs.next();
        const QByteArray last = link.frames.isEmpty() ? QByteArray() : link.frames.last();
        switch (c % 8) {
        case 0:
            session.replyTimedOut();
            break;
        case 1:
            link.lose();
            break;
        case 2: { // raw bytes
            const int n = std::min<int>(msgs.next() % 80, int(msgs.size - msgs.pos));
            link.deliver(QByteArray(reinterpret_cast<const char*>(msgs.data + msgs.pos), n));
            msgs.pos += size_t(n);
            break;
        }
        case 3: { // a good reply with one byte changed
            QByteArray r = goodReply(session, last, memory);
            if (!r.isEmpty()) r[msgs.next() % r.size()] = char(msgs.next());
            link.deliver(r);
            break;
        }
        default:
            // The radio stores what it acknowledges, so a read-back finds it.
            if (last.size() >= 5 && last.at(0) == 'W') {
                const int a = (uint8_t(last.at(1)) << 8) | uint8_t(last.at(2));
                const int n = uint8_t(last.at(3));
                if (a + n <= memory.size() && last.size() >= 4 + n)
                    memory.replace(a, n, last.mid(4, n));
            }
            link.deliver(goodReply(session, last, memory));
            break;
        }
        FUZZ_CHECK(session.radioImage().size() == p.memorySize);
    }
    // Past the input the radio is silent and the user cancels: the session must end.
    for (int i = 0; !ended && i < 20; ++i)
        session.replyTimedOut();
    FUZZ_CHECK(ended);
    FUZZ_CHECK(!session.busy());
    FUZZ_CHECK(!link.isOpen());
    FUZZ_CHECK(session.radioImage().size() == p.memorySize);
    // A write's frames end with its first end command; a verify's read-back follows it.
    const qsizetype writeEnd = link.frames.indexOf(QByteArray("E"));
    if (success && op == 2) {
        // Every block was written after the last (re)start.
        const qsizetype writeFrames = writeEnd < 0 ? link.frames.size() : writeEnd;
        qsizetype start = 0;
        for (qsizetype i = 0; i < writeFrames; ++i)
            if (link.frames.at(i) == "PROGRAM") start = i;
        int expect = p.writeStart + 16;
        for (qsizetype i = start; i < writeFrames; ++i) {
            const QByteArray& f = link.frames.at(i);
            if (f.size() >= 4 && f.at(0) == 'W' &&
                ((uint8_t(f.at(1)) << 8) | uint8_t(f.at(2))) == (expect & 0xFFFF))
                expect += 16;
        }
        FUZZ_CHECK(expect >= p.writeEnd);
    }
    if (success && (op == 1 || op == 3)) {
        // Every block was stored: the session acknowledges a block right after its request only
        // when the data frame was accepted. A read that restarts needs them all again.
        const int step = op == 1 ? 64 : 16;
        const int first = (op == 1 ? p.readStart : p.infoStart) + step;
        const int end = op == 1 ? p.readEnd : p.infoEnd;
        QSet<int> stored;
        for (qsizetype i = 0; i + 1 < link.frames.size(); ++i) {
            const QByteArray& f = link.frames.at(i);
            if (op == 1 && f == "PROGRAM") stored.clear();
            if (f.size() == 4 && f.at(0) == 'R' && link.frames.at(i + 1) == QByteArray(1, 6))
                stored.insert((uint8_t(f.at(1)) << 8) | uint8_t(f.at(2)));
        }
        for (int a = first; a < end; a += step)
            FUZZ_CHECK(stored.contains(a & 0xFFFF));
    }
    if (verify) {
        // Success and failure agree with what the comparison found.
        FUZZ_CHECK(success == (session.lastFailure() == SessionFailure::None));
        if (success) FUZZ_CHECK(session.verifyMismatches().isEmpty());
        if (session.lastFailure() == SessionFailure::VerifyMismatch)
            FUZZ_CHECK(!session.verifyMismatches().isEmpty());
    }
    if (success && verify) {
        // Every block of the read-back was stored after its last (re)start.
        QSet<int> stored;
        for (qsizetype i = writeEnd + 1; i + 1 < link.frames.size(); ++i) {
            const QByteArray& f = link.frames.at(i);
            if (f == "PROGRAM") stored.clear();
            if (f.size() == 4 && f.at(0) == 'R' && link.frames.at(i + 1) == QByteArray(1, 6))
                stored.insert((uint8_t(f.at(1)) << 8) | uint8_t(f.at(2)));
        }
        for (int a = 0; a < p.writeEnd; a += 64)
            FUZZ_CHECK(stored.contains(a));
    }
    if (success) FUZZ_CHECK(link.frames.last() == "E");
    // Only a read that succeeded, or a succeeded information operation, changes the record.
    if (!success || op == 2) FUZZ_CHECK(encodeRecord(p, doc.config()) == before);
    setMessageService(&env.silent);
    return 0;
}
