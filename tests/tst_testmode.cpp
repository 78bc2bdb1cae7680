// Test mode: the command queue, the test-frequency comparison and the sender, in-process and
// against the virtual radio on a pseudo-terminal.
#include "core/comm/session.h"
#include "core/comm/testmode.h"
#include "fakelink.h"
#include "radiolauncher.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QTest>

namespace {
const QByteArray Ack(1, 0x06);

QByteArray hex(const char* text) {
    return QByteArray::fromHex(text);
}

// Frames the program sent, as the radio logged them.
QStringList sentFrames(const VirtualRadio& radio) {
    QStringList out;
    for (const QString& line : radio.log())
        if (line.startsWith(QLatin1String("> "))) out << line.mid(2);
    return out;
}

// A radio in-process: it answers every test-mode frame as a radio with the configuration's
// test frequencies would.
QByteArray answer(const Document& doc, const QByteArray& f) {
    if (f == testModeEntryWord()) return Ack;
    switch (f.at(0)) {
    case 0x02:
        return QByteArray("P") + QByteArray(13, '\0');
    case 0x05:
        return QByteArray(ParameterBlockSize, char(0x80));
    case 0x10: {
        const RadioConfig& c = doc.config();
        for (int i = 0; i < c.testFreqCount; ++i)
            if (c.testFreqs[size_t(i)].number == f.at(1))
                return QByteArray::fromHex((testFreqRadioText(c.testFreqs[size_t(i)].rxFreq) +
                                            testFreqRadioText(c.testFreqs[size_t(i)].txFreq))
                                               .toLatin1());
        return QByteArray(8, char(0xFF));
    }
    default:
        return f.size() <= 2 ? Ack : QByteArray();
    }
}
} // namespace

class TestTestMode : public QObject {
    Q_OBJECT

    // The program's side over the in-process line.
    struct FakeRig {
        Document doc{meridoxProduct()};
        FakeLink link;
        RadioSession session{doc, link};
        TestModeEngine engine{doc, session};
        QList<QByteArray> silentFor; // frames the radio leaves unanswered once each
        FakeRig() {
            doc.initialiseDefaults();
            link.responder = [this](const QByteArray& f) {
                if (silentFor.removeOne(f)) return QByteArray();
                return answer(doc, f);
            };
        }
        bool started() {
            return engine.start() &&
                   QTest::qWaitFor(
                       [this] { return engine.testWindowMayOpen() && engine.queue().isEmpty(); },
                       3000);
        }
    };

    // The program's side over a real port to the virtual radio.
    struct PortRig {
        Document doc;
        PortLink link;
        RadioSession session{doc, link};
        TestModeEngine engine{doc, session};
        explicit PortRig(const Product& p, const QString& port) : doc(p) {
            doc.initialiseDefaults();
            session.setPortName(port);
        }
    };

  private slots:
    void initTestCase();
    void queueRing();
    void radioText_data();
    void radioText();
    void comparison_data();
    void comparison();
    void parameterTables();
    void products_data();
    void enterWithMatchingFrequencies_data() { products_data(); }
    void enterWithMatchingFrequencies();
    void mismatchEndsTestMode();
    void removedEntryMismatches();
    void tuneReadsAndRestores();
    void actionsWaitForEarlierReplies();
    void retryResendsBatchedFrame();
    void wrongReplyStillTimesOut();
    void cancelLeavesTestMode();
    void sessionCancelLetsRadioGo();
    void fullQueueRefusesWholeAction();
    void retryAtFullQueue_data();
    void retryAtFullQueue();
    void replyWhileBoxOpenIsKept();
    void nothingQueuedWhileBoxOpen();
};

void TestTestMode::initTestCase() {
    setCurrentLanguage(LanguageEnglish);
}

void TestTestMode::queueRing() {
    TestCommandQueue q;
    TestCommand c;
    // Around the ring several times: never more than 100 entries, order kept.
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 100; ++i) {
            c.value1 = int16_t(i);
            QVERIFY(q.push(c));
        }
        QVERIFY(!q.push(c));
        QCOMPARE(q.count(), 100);
        for (int i = 0; i < 100; ++i) {
            QCOMPARE(q.head().value1, int16_t(i));
            QVERIFY(q.advance());
        }
        QVERIFY(q.isEmpty() && !q.advance());
    }
}

void TestTestMode::radioText_data() {
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("radio");
    QTest::newRow("eight digits") << QByteArray("27015000") << "27015000";
    QTest::newRow("short, terminated") << QByteArray("1505\0   ", 8) << "15050000";
    QTest::newRow("no dot digits") << QByteArray("155\0    ", 8) << "15500000";
    QTest::newRow("eight F") << QByteArray("FFFFFFFF") << "FFFFFFFF";
    QTest::newRow("empty text") << QByteArray("\0       ", 8) << "FFFFFFFF";
    QTest::newRow("never assigned") << QByteArray(8, '\0') << "FFFFFFFF";
}

void TestTestMode::radioText() {
    QFETCH(QByteArray, stored);
    QFETCH(QString, radio);
    FixedText<8> t;
    std::memcpy(t.bytes.data(), stored.constData(), 8);
    QCOMPARE(testFreqRadioText(t), radio);
}

void TestTestMode::comparison_data() {
    QTest::addColumn<int>("change");
    QTest::addColumn<bool>("match");
    QTest::newRow("same") << 0 << true;
    QTest::newRow("radio has one more") << 1 << false;
    QTest::newRow("radio lacks one") << 2 << false;
    QTest::newRow("TX differs") << 3 << false;
    QTest::newRow("other number") << 4 << false;
    QTest::newRow("other order") << 5 << true;
}

void TestTestMode::comparison() {
    QFETCH(int, change);
    QFETCH(bool, match);
    Document doc(meridoxProduct());
    doc.initialiseDefaults();
    QList<RadioTestFreq> radio;
    for (int i = 0; i < doc.config().testFreqCount; ++i) {
        const TestFreqEntry& t = doc.config().testFreqs[size_t(i)];
        radio.append({t.number, testFreqRadioText(t.rxFreq), testFreqRadioText(t.txFreq)});
    }
    switch (change) {
    case 1:
        radio.append({9, QStringLiteral("27000000"), QStringLiteral("27000000")});
        break;
    case 2:
        radio.removeAt(2);
        break;
    case 3:
        radio[1].tx = QStringLiteral("27000010");
        break;
    case 4:
        radio[5].number = 7;
        break;
    case 5:
        std::reverse(radio.begin(), radio.end());
        break;
    }
    QCOMPARE(testFrequenciesMatch(radio, doc.config()), match);
}

void TestTestMode::parameterTables() {
    // Every code an item uses has its byte in the block, and the bytes are distinct apart from
    // the shared code 24.
    QSet<int> offsets;
    for (int item = 1; item <= TestItemCount; ++item) {
        const QList<int> levels = testLevelsOfValues(testValueCount(item, true));
        for (const int level : levels) {
            const int code = testParameterCode(item, level);
            QVERIFY2(code > 0, qPrintable(QStringLiteral("item %1 level %2").arg(item).arg(level)));
            const int at = parameterBlockOffset(code);
            QVERIFY(at >= 0 && at < ParameterBlockSize);
            offsets.insert(at);
        }
        QCOMPARE(testValueCount(item, false) == 1, item != 1 && item != 2 && item != 8);
    }
    QCOMPARE(offsets.size(), 44);
    QCOMPARE(parameterBlockOffset(34), 43);
    QCOMPARE(parameterBlockOffset(7), -1);
}

void TestTestMode::products_data() {
    QTest::addColumn<const Product*>("product");
    QTest::newRow("meridox") << &meridoxProduct();
    QTest::newRow("solvir") << &solvirProduct();
}

void TestTestMode::enterWithMatchingFrequencies() {
    QFETCH(const Product*, product);
    VirtualRadio radio;
    QVERIFY(radio.start(product->program));
    PortRig rig(*product, radio.linkPath());
    ScriptedMessages messages;
    QSignalSpy open(&rig.engine, &TestModeEngine::openTestWindow);
    QVERIFY(rig.engine.start());
    QVERIFY(open.wait(5000));
    QVERIFY(messages.asked.isEmpty());
    QVERIFY(rig.engine.active());
    QCOMPARE(rig.engine.radioTestFreqs().size(), 6);
    QCOMPARE(rig.engine.radioTestFreqs()[0].rx, QStringLiteral("15050000"));

    QStringList expected{QStringLiteral("51 41 4C 49 42 52 20"), QStringLiteral("02"),
                         QStringLiteral("06"), QStringLiteral("05"), QStringLiteral("06")};
    for (int n = 1; n <= 16; ++n)
        expected << QStringLiteral("10 %1").arg(n, 2, 16, QLatin1Char('0')).toUpper()
                 << QStringLiteral("06");
    expected << QStringLiteral("10 01") << QStringLiteral("06") << QStringLiteral("11 01");
    QCOMPARE(sentFrames(radio), expected);

    // Leaving: signalling, then "E"; the port is free again.
    QVERIFY(rig.engine.end(1));
    QVERIFY(QTest::qWaitFor([&] { return !rig.session.busy(); }, 3000));
    QCOMPARE(sentFrames(radio).mid(expected.size()),
             QStringList({QStringLiteral("11 01"), QStringLiteral("45")}));
    QVERIFY(!rig.link.isOpen());
}

void TestTestMode::mismatchEndsTestMode() {
    VirtualRadio radio;
    QVERIFY(radio.start(QStringLiteral("meridox"),
                        {QStringLiteral("--test-freq-differ"), QStringLiteral("5")}));
    PortRig rig(meridoxProduct(), radio.linkPath());
    ScriptedMessages messages;
    QSignalSpy open(&rig.engine, &TestModeEngine::openTestWindow);
    QSignalSpy ended(&rig.engine, &TestModeEngine::testModeEnded);
    QVERIFY(rig.engine.start());
    QVERIFY(ended.wait(5000));
    QCOMPARE(messages.texts(),
             QStringList{QStringLiteral("Test Frequency nismatch.\r\nExecute read data from "
                                        "radio\r\nor write to radio.")});
    QCOMPARE(messages.asked.first().icon, MsgIcon::Critical);
    QTest::qWait(400);
    QCOMPARE(open.count(), 0);
    // The mismatch comes with the 16th reply; the queued rest is dropped and test mode ends.
    const QStringList frames = sentFrames(radio);
    QCOMPARE(frames.mid(frames.size() - 3),
             QStringList({QStringLiteral("10 10"), QStringLiteral("11 01"), QStringLiteral("45")}));
    QVERIFY(!rig.session.busy());
}

void TestTestMode::removedEntryMismatches() {
    FakeRig rig;
    ScriptedMessages messages;
    // The radio has nothing for test frequency 2 (all FF), which the configuration holds.
    rig.link.responder = [&rig](const QByteArray& f) {
        return f == hex("1002") ? QByteArray(8, char(0xFF)) : answer(rig.doc, f);
    };
    QVERIFY(rig.engine.start());
    QVERIFY(QTest::qWaitFor([&] { return !rig.session.busy(); }, 3000));
    QCOMPARE(messages.asked.size(), 1);
    QCOMPARE(messages.asked.first().id, Msg::TestFreqMismatch);
    QCOMPARE(rig.engine.radioTestFreqs().size(), 5);
}

void TestTestMode::tuneReadsAndRestores() {
    VirtualRadio radio;
    QVERIFY(radio.start(QStringLiteral("meridox")));
    PortRig rig(meridoxProduct(), radio.linkPath());
    ScriptedMessages messages;
    QSignalSpy open(&rig.engine, &TestModeEngine::openTestWindow);
    QVERIFY(rig.engine.start());
    QVERIFY(open.wait(5000));
    const int before = int(sentFrames(radio).size());

    // Max Deviation (item 4): codes 24, 36, 0, 37, 0, 38. The virtual radio's values are
    // 40 + (code * 37) mod 180.
    const auto factory = [](int code) { return 40 + (code * 37) % 180; };
    QSignalSpy tuned(&rig.engine, &TestModeEngine::tuneAcknowledged);
    QVERIFY(rig.engine.tune(4));
    QVERIFY(tuned.wait(3000));
    QCOMPARE(rig.engine.parameterValues()[1], factory(36));
    QCOMPARE(rig.engine.parameterValues()[5], factory(38));

    QVERIFY(rig.engine.setParameter(36, 0x11));
    QVERIFY(rig.engine.selectParameter(36, 4));
    QSignalSpy values(&rig.engine, &TestModeEngine::parametersChanged);
    QVERIFY(values.wait(3000));
    QCOMPARE(rig.engine.parameterValues()[0], factory(24));
    QCOMPARE(rig.engine.parameterValues()[1], 0x11); // the live value
    QCOMPARE(rig.engine.parameterValues()[3], factory(37));
    QCOMPARE(rig.engine.parameterValues()[5], factory(38));

    rig.engine.keepConfirmedValue(1, factory(36));
    QVERIFY(rig.engine.restoreParameters(4));
    QVERIFY(QTest::qWaitFor([&] { return rig.engine.queue().isEmpty(); }, 5000));
    QTest::qWait(50);
    const auto code = [](int c, const char* rest) {
        return QStringLiteral("%1 ").arg(c, 2, 16, QLatin1Char('0')).toUpper() +
               QLatin1String(rest);
    };
    const auto set = [](int c, int v) {
        return QStringLiteral("%1 20 %2")
            .arg(c, 2, 16, QLatin1Char('0'))
            .arg(v, 2, 16, QLatin1Char('0'))
            .toUpper();
    };
    QCOMPARE(
        sentFrames(radio).mid(before),
        QStringList({QStringLiteral("05"), QStringLiteral("06"), code(24, "0D"), set(36, 0x11),
                     code(36, "0D"), QStringLiteral("07"), QStringLiteral("06"), code(24, "0D"),
                     set(24, factory(24)), code(36, "0D"), set(36, factory(36)), code(37, "0D"),
                     set(37, factory(37)), code(38, "0D"), set(38, factory(38)), code(38, "0E")}));
    QVERIFY(messages.asked.isEmpty());
}

void TestTestMode::actionsWaitForEarlierReplies() {
    FakeRig rig;
    QVERIFY(rig.started());
    rig.link.frames.clear();
    rig.link.responder = {}; // the radio answers by hand from here on
    QVERIFY(rig.engine.transmitterOn());
    QVERIFY(rig.engine.setWide());
    QCOMPARE(rig.link.frames, QList<QByteArray>{hex("080E")});
    QCOMPARE(rig.link.expected, 1);
    QTest::qWait(150);
    QCOMPARE(rig.link.frames.size(), 1); // "F" waits for the acknowledge
    rig.link.reply(Ack);
    QCOMPARE(rig.link.frames, QList<QByteArray>({hex("080E"), QByteArray("F")}));
}

void TestTestMode::retryResendsBatchedFrame() {
    FakeRig rig;
    ScriptedMessages messages;
    messages.answers = {MsgAnswer::Retry};
    rig.silentFor = {hex("1003")};
    QVERIFY(rig.started());
    QCOMPARE(messages.asked.size(), 1);
    QCOMPARE(messages.asked.first().buttons, MsgButtons::RetryCancel);
    QCOMPARE(rig.link.frames.count(hex("1003")), 2);
    QVERIFY(!rig.link.frames.contains(hex("10")));
}

void TestTestMode::wrongReplyStillTimesOut() {
    FakeRig rig;
    ScriptedMessages messages;
    messages.answers = {MsgAnswer::Retry};
    bool garbled = false;
    rig.link.responder = [&](const QByteArray& f) {
        if (!garbled && f == QByteArray("F")) {
            garbled = true;
            return QByteArray("xx"); // neither an acknowledge nor silence
        }
        return answer(rig.doc, f);
    };
    QVERIFY(rig.started());
    QVERIFY(rig.engine.setWide());
    QVERIFY(QTest::qWaitFor([&] { return !messages.asked.isEmpty(); }, 2000));
    QCOMPARE(messages.asked.first().id, Msg::CheckConnection);
    QVERIFY(QTest::qWaitFor([&] { return rig.engine.queue().isEmpty(); }, 2000));
    QCOMPARE(rig.link.frames.count(QByteArray("F")), 2);
}

void TestTestMode::cancelLeavesTestMode() {
    FakeRig rig;
    ScriptedMessages messages;
    messages.answers = {MsgAnswer::Cancel};
    rig.silentFor = {testModeEntryWord()};
    QSignalSpy ended(&rig.engine, &TestModeEngine::testModeEnded);
    QVERIFY(rig.engine.start());
    QVERIFY(ended.wait(2000));
    QVERIFY(!rig.session.busy() && !rig.link.isOpen() && rig.engine.queue().isEmpty());
    QCOMPARE(rig.link.frames, QList<QByteArray>{testModeEntryWord()});
    QVERIFY(!rig.engine.setWide()); // nothing to talk to any more
}

void TestTestMode::sessionCancelLetsRadioGo() {
    // Closing the program mid test mode: the radio leaves its tuning state.
    FakeRig rig;
    QVERIFY(rig.started());
    QSignalSpy ended(&rig.engine, &TestModeEngine::testModeEnded);
    rig.session.cancel();
    QCOMPARE(rig.link.frames.last(), QByteArray("E"));
    QCOMPARE(ended.count(), 1);
    QVERIFY(!rig.session.busy() && !rig.link.isOpen());
}

void TestTestMode::fullQueueRefusesWholeAction() {
    FakeRig rig;
    ScriptedMessages messages;
    QVERIFY(rig.started());
    rig.link.responder = {};
    QVERIFY(rig.engine.setWide()); // awaits its acknowledge: everything after it waits
    int queued = 0;
    while (rig.engine.selectSignalling(2))
        ++queued;
    // 3 entries each, beside the acknowledge Wide waits for and "F" itself, kept for Retry.
    QCOMPARE(queued, 32);
    QCOMPARE(messages.texts(), QStringList{QStringLiteral("Comm List is full!")});
    QCOMPARE(rig.engine.queue().count(), 97);
}

void TestTestMode::retryAtFullQueue_data() {
    QTest::addColumn<int>("lead"); // signallings selected before: where the frame sits in the ring
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<int>("frameSlot");
    QTest::addColumn<QByteArray>("then"); // what the answered frame leads to, if anything
    // Start-up leaves the read index at 79; each signalling takes 3 entries.
    QTest::newRow("08 0D") << 0 << hex("080D") << 79 << QByteArray();
    QTest::newRow("08 0D over the ring's end") << 7 << hex("080D") << 100 << QByteArray();
    QTest::newRow("10 03 over the ring's end") << 7 << hex("1003") << 100 << Ack;
    QTest::newRow("F at the ring's end") << 7 << QByteArray("F") << 100 << QByteArray();
}

void TestTestMode::retryAtFullQueue() {
    // The radio misses one frame while quick clicks fill the queue behind it: after "Comm List
    // is full!" and Retry the same frame goes out whole, then every queued selection.
    QFETCH(int, lead);
    QFETCH(QByteArray, frame);
    QFETCH(int, frameSlot);
    QFETCH(QByteArray, then);
    FakeRig rig;
    ScriptedMessages messages;
    QVERIFY(rig.started());
    for (int i = 0; i < lead; ++i)
        QVERIFY(rig.engine.selectSignalling(2));
    QVERIFY(QTest::qWaitFor([&] { return rig.engine.queue().isEmpty(); }, 2000));
    QCOMPARE(rig.engine.queue().readIndex(), frameSlot);
    rig.link.frames.clear();
    rig.silentFor = {frame};
    if (frame == hex("080D"))
        QVERIFY(rig.engine.transmitterOff());
    else if (frame == hex("1003"))
        QVERIFY(rig.engine.selectTestChannel(3));
    else
        QVERIFY(rig.engine.setWide());
    int queued = 0;
    while (rig.engine.selectSignalling(2))
        ++queued;
    messages.answers = {MsgAnswer::Retry};
    QVERIFY(QTest::qWaitFor([&] { return rig.engine.queue().isEmpty(); }, 3000));
    QCOMPARE(messages.texts(), QStringList({QStringLiteral("Comm List is full!"),
                                            QStringLiteral("Check Connection. Retry or Cancel?")}));
    QList<QByteArray> expected{frame, frame};
    if (!then.isEmpty()) expected << then;
    for (int i = 0; i < queued; ++i)
        expected << hex("1102");
    QCOMPARE(rig.link.frames, expected);
}

void TestTestMode::replyWhileBoxOpenIsKept() {
    // The radio answers slowly: its acknowledge comes while "Comm List is full!" is open. It is
    // taken once the box is closed; no false "Check Connection", nothing sent twice.
    FakeRig rig;
    ScriptedMessages messages;
    QVERIFY(rig.started());
    rig.link.frames.clear();
    rig.link.responder = {};
    messages.whileOpen = [&](const MessageRequest&) {
        rig.link.reply(Ack); // the acknowledge of 08 0D
        rig.link.responder = [&](const QByteArray& f) { return answer(rig.doc, f); };
    };
    QVERIFY(rig.engine.transmitterOff());
    int queued = 0;
    while (rig.engine.selectSignalling(2))
        ++queued;
    QVERIFY(QTest::qWaitFor([&] { return rig.engine.queue().isEmpty(); }, 3000));
    QTest::qWait(400); // longer than the reply timer
    QCOMPARE(messages.texts(), QStringList{QStringLiteral("Comm List is full!")});
    QList<QByteArray> expected{hex("080D")};
    for (int i = 0; i < queued; ++i)
        expected << hex("1102");
    QCOMPARE(rig.link.frames, expected);
}

void TestTestMode::nothingQueuedWhileBoxOpen() {
    // A silent radio while the live reading runs: the time-out box stays open over 60 ticks of
    // the 500 ms reading timer. None of them queues, so no "Comm List is full!" stacks on it.
    FakeRig rig;
    ScriptedMessages messages;
    QVERIFY(rig.started());
    rig.link.responder = {};
    const int code = testParameterCode(15, 0); // RSSI
    int queued = 0;
    int queueWhileOpen = -1;
    messages.whileOpen = [&](const MessageRequest& r) {
        if (r.id != Msg::CheckConnection) return;
        for (int tick = 0; tick < 60; ++tick)
            queued += rig.engine.readParameter(code);
        queueWhileOpen = rig.engine.queue().count();
    };
    messages.answers = {MsgAnswer::Cancel};
    QVERIFY(rig.engine.readParameter(code));
    QCOMPARE(rig.link.frames.last(), hex("220A"));
    QVERIFY(QTest::qWaitFor([&] { return !messages.asked.isEmpty(); }, 2000));
    QCOMPARE(messages.asked.size(), 1);
    QCOMPARE(messages.asked.first().id, Msg::CheckConnection);
    QCOMPARE(queued, 0);
    QCOMPARE(queueWhileOpen, 1); // the acknowledge that judges the awaited reading
}

QTEST_GUILESS_MAIN(TestTestMode)
#include "tst_testmode.moc"
