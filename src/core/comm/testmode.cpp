#include "testmode.h"

#include "core/channels/channelrules.h"
#include "core/config/modelband.h"
#include "session.h"

#include <algorithm>

namespace {
// A frame that awaits no reply gets this long on the line before the next one follows.
constexpr int NextFrameDelayMs = 100;
// After a test-frequency mismatch the user's box closes, then test mode ends this much later.
constexpr int MismatchEndDelayMs = 300;
// After a good start the test window opens this much later.
constexpr int OpenWindowDelayMs = 300;
const QString NoFrequency = QStringLiteral("FFFFFFFF");

// Parameter codes by item (1..15) and level (0..5).
constexpr int ParameterCodes[TestItemCount][TestLevelCount] = {
    {18, 48, 51, 49, 52, 50},  // RF High Power
    {20, 96, 99, 97, 100, 98}, // RF Low Power
    {24, 101, 0, 102, 0, 103}, // DQT Balance
    {24, 36, 0, 37, 0, 38},    // Max Deviation
    {24, 106, 0, 107, 0, 108}, // QT Fine Deviation
    {26, 111, 0, 112, 0, 113}, // DQT Fine Deviation
    {29, 0, 0, 0, 0, 0},       // DTMF Fine Deviation
    {31, 53, 0, 54, 0, 55},    // Sensitivity
    {13, 117, 0, 118, 0, 119}, // Squelch(Tight)
    {12, 114, 0, 115, 0, 116}, // Squelch(Open)
    {27, 0, 0, 0, 0, 0},       // MSK Fine Deviation
    {28, 0, 0, 0, 0, 0},       // Battery Warning Level
    {33, 0, 0, 0, 0, 0},       // VOX1
    {35, 0, 0, 0, 0, 0},       // VOX10
    {34, 0, 0, 0, 0, 0},       // RSSI
};

const char* const ItemNames[TestItemCount][2] = {
    {"RF High Power", "RF高功率"},
    {"RF Low Power", "RF低功率"},
    {"DQT Balance", "DQT平衡"},
    {"Max Deviation", "最大偏差"},
    {"QT Fine Deviation", "QT细偏差"},
    {"DQT Fine Deviation", "DQT细偏差"},
    {"DTMF Fine Deviation", "DTMF细偏差"},
    {"Sensitivity", "灵敏度"},
    {"Squelch(Tight)", "最紧静噪"},
    {"Squelch(Open)", "静噪打开"},
    {"MSK Fine Deviation", "MSK频偏差"},
    {"Battery Warning Level", "电池告警电平"},
    {"VOX1", "VOX1"},
    {"VOX10", "VOX10"},
    {"RSSI", "RSSI"},
};

const char* const LevelNames[TestLevelCount][2] = {
    {"Test", "测试"},   {"Low", "低"},     {"Low'", "较低"},
    {"Center", "中心"}, {"High'", "较高"}, {"High", "高"},
};

// What the radio decodes while receiving and sends while transmitting, per signalling.
const char* const SignallingTexts[TestSignallingCount][2] = {
    {nullptr, "100Hz SW"},        {"QT 67.0Hz", "QT 67.0Hz"}, {"QT 151.4Hz", "QT 151.4Hz"},
    {"QT 250.3Hz", "QT 250.3Hz"}, {"DQT D023N", "DQT D023N"}, {"DQT D754I", "DQT D754I"},
    {"DTMF DEC(159D)", nullptr},  {nullptr, "DTMF TONE 9"},   {"MSK 1200bps", "MSK 1200bps"},
};

bool validItem(int item) {
    return item >= 1 && item <= TestItemCount;
}

// Block offsets, counted once from the code table.
const std::array<int, 128>& blockOffsets() {
    static const std::array<int, 128> offsets = [] {
        std::array<int, 128> o;
        o.fill(-1);
        int next = 0;
        for (const auto& item : ParameterCodes)
            for (const int code : item)
                if (code > 0 && o[size_t(code)] < 0) o[size_t(code)] = next++;
        return o;
    }();
    return offsets;
}
} // namespace

int testParameterCode(int item, int level) {
    if (!validItem(item) || level < 0 || level >= TestLevelCount) return 0;
    return ParameterCodes[item - 1][level];
}

int testValueCount(int item, bool wide) {
    switch (item) {
    case 1:
    case 2:
        return 6;
    case 3:
    case 4:
    case 5:
    case 6:
    case 9:
    case 10:
        return wide ? 4 : 1;
    case 8:
        return 4;
    default:
        return 1;
    }
}

QList<int> testLevelsOfValues(int n) {
    if (n >= 6) return {0, 1, 2, 3, 4, 5};
    if (n >= 4) return {0, 1, 3, 5};
    return {0};
}

bool testItemIsReading(int item) {
    return item >= 12 && item <= TestItemCount;
}

QString testItemName(int item) {
    if (!validItem(item)) return {};
    return tr2(ItemNames[item - 1][0], ItemNames[item - 1][1]);
}

QString testLevelName(int level) {
    if (level < 0 || level >= TestLevelCount) return {};
    return tr2(LevelNames[level][0], LevelNames[level][1]);
}

QString testSignallingText(int signalling, bool transmit) {
    if (signalling < 1 || signalling > TestSignallingCount) return {};
    const char* text = SignallingTexts[signalling - 1][transmit ? 1 : 0];
    return text ? QString::fromUtf8(text) : tr2("None", "无");
}

int parameterBlockOffset(int code) {
    if (code <= 0 || code >= int(blockOffsets().size())) return -1;
    return blockOffsets()[size_t(code)];
}

std::array<int, TestLevelCount> parameterValuesFromBlock(const QByteArray& block, int item) {
    std::array<int, TestLevelCount> values{};
    for (int level = 0; level < TestLevelCount; ++level) {
        const int at = parameterBlockOffset(testParameterCode(item, level));
        if (at >= 0 && at < block.size()) values[size_t(level)] = uint8_t(block.at(at));
    }
    return values;
}

QString testFreqRadioText(const FixedText<8>& stored) {
    QString t = trimSpaces(QString::fromLatin1(stored.raw()));
    if (t.endsWith(QChar(0))) t.chop(1);
    if (t.isEmpty() || isNoFrequency(t.toUpper()) ||
        std::all_of(t.cbegin(), t.cend(), [](QChar c) { return c.unicode() == 0; }))
        return NoFrequency;
    while (t.size() < 8)
        t.append(QLatin1Char('0'));
    return t.toUpper();
}

bool testFrequenciesMatch(const QList<RadioTestFreq>& radio, const RadioConfig& config) {
    const int count = std::clamp<int>(config.testFreqCount, 0, 16);
    if (radio.size() != count) return false;
    for (int i = 0; i < count; ++i) {
        const TestFreqEntry& c = config.testFreqs[size_t(i)];
        const auto found = std::find_if(radio.cbegin(), radio.cend(), [&](const RadioTestFreq& r) {
            return r.number == c.number;
        });
        if (found == radio.cend() || found->rx != testFreqRadioText(c.rxFreq) ||
            found->tx != testFreqRadioText(c.txFreq))
            return false;
    }
    return true;
}

TestModeEngine::TestModeEngine(Document& doc, RadioSession& session, QObject* parent)
    : QObject(parent), m_doc(doc), m_session(session) {
    for (QTimer* t : {&m_nextFrameTimer, &m_mismatchEndTimer, &m_openWindowTimer})
        t->setSingleShot(true);
    m_nextFrameTimer.setInterval(NextFrameDelayMs);
    m_noReplySent.invalidate();
    m_mismatchEndTimer.setInterval(MismatchEndDelayMs);
    m_openWindowTimer.setInterval(OpenWindowDelayMs);
    connect(&m_nextFrameTimer, &QTimer::timeout, this, [this] {
        m_nextFrameTimer.stop();
        if (active()) runSender(SenderEvent::SendRequest);
    });
    connect(&m_mismatchEndTimer, &QTimer::timeout, this, [this] {
        m_mismatchEndTimer.stop();
        end(1);
    });
    connect(&m_openWindowTimer, &QTimer::timeout, this, [this] {
        m_openWindowTimer.stop();
        if (active() && m_testWindowMayOpen) emit openTestWindow();
    });
    connect(&m_session, &RadioSession::testReply, this, [this](const QByteArray& reply) {
        // A reply that comes while the user reads one of the engine's boxes is the answer to
        // the frame on the line all the same: keep it for when the box is closed.
        if (m_prompting)
            m_heldReplies.append(reply);
        else
            runSender(SenderEvent::Reply, reply);
    });
    connect(&m_session, &RadioSession::testTimeout, this, &TestModeEngine::onReplyTimeout);
    connect(&m_session, &RadioSession::finished, this, &TestModeEngine::onSessionFinished);
}

bool TestModeEngine::active() const {
    return m_session.operation() == RadioOperation::TestMode;
}

MsgAnswer TestModeEngine::prompt(const MessageRequest& request) {
    const bool nested = m_prompting;
    m_prompting = true;
    const MsgAnswer answer = messageService().ask(request);
    m_prompting = nested;
    // The replies kept while the box was open go on once the caller has finished with it.
    if (!m_prompting && !m_heldReplies.isEmpty())
        QTimer::singleShot(0, this, [this] { takeHeldReplies(); });
    return answer;
}

bool TestModeEngine::takeHeldReplies() {
    const int before = m_repliesTaken;
    while (!m_heldReplies.isEmpty() && !m_prompting && active())
        runSender(SenderEvent::Reply, m_heldReplies.takeFirst());
    if (!active()) m_heldReplies.clear();
    return m_repliesTaken != before;
}

bool TestModeEngine::start() {
    if (m_session.busy()) return false;
    m_queue.clear();
    m_pendingEnd = 0;
    m_testWindowMayOpen = false;
    m_sendingEnabled = false;
    m_radioTestFreqs.clear();
    m_parameterBlock.clear();
    m_parameterValues = {};
    m_wide = true;
    if (!m_session.beginTestMode()) return false;
    QList<TestCommand> entries = testCommandGroup(ActionStart, GroupEnter);
    entries += testCommandGroup(ActionStart, GroupIdentify);
    entries += testCommandGroup(ActionStart, GroupReadParameters);
    for (int x = 1; x <= 16; ++x)
        entries += testCommandGroup(ActionStart, GroupReadTestFreq, x);
    // The radio then stands on the configuration's first test channel.
    int lowest = 16;
    const int count = std::clamp<int>(m_doc.config().testFreqCount, 0, 16);
    for (int i = 0; i < count; ++i) {
        const int n = m_doc.config().testFreqs[size_t(i)].number;
        if (n >= 1 && n < lowest) lowest = n;
    }
    entries += testCommandGroup(ActionStart, GroupReadTestFreq, lowest);
    entries += testCommandGroup(ActionStart, GroupSelect, 1);
    return queueAction(entries);
}

bool TestModeEngine::queueAction(const QList<TestCommand>& entries) {
    if (!active() || entries.isEmpty()) return false;
    // While the user answers one of the engine's boxes only timers can ask for more (the live
    // reading every 500 ms): they queue nothing, so a silent radio neither fills the queue
    // behind the box nor stacks "Comm List is full!" boxes on it.
    if (m_prompting) return false;
    // An action goes in whole or not at all: half a batch would send a broken frame.
    if (m_queue.freeEntries() < entries.size()) {
        prompt({tr2("Comm List is full!", "通信列表已满！"),
                tr2("The radio has not yet answered the commands sent before. Wait a moment, "
                    "then try again.",
                    "对讲机尚未应答之前发送的命令。请稍候再试。"),
                programTitle(), MsgIcon::Warning, MsgButtons::Ok});
        return false;
    }
    const bool wasEmpty = m_queue.isEmpty();
    for (const TestCommand& entry : entries)
        m_queue.push(entry);
    if (!wasEmpty) return true;
    // A frame that awaits no reply may still be on its way out: emptying the buffers for the
    // next one would lose it. It gets the same 100 ms as when it is followed in the queue.
    const qint64 since = m_noReplySent.isValid() ? m_noReplySent.elapsed() : NextFrameDelayMs;
    if (since < NextFrameDelayMs)
        m_nextFrameTimer.start(int(NextFrameDelayMs - since));
    else
        runSender(SenderEvent::SendRequest);
    return true;
}

bool TestModeEngine::selectTestChannel(int number) {
    return queueAction(testCommandGroup(ActionTestChannel, GroupReadTestFreq, number));
}

bool TestModeEngine::selectSignalling(int number) {
    return queueAction(testCommandGroup(ActionSignalling, GroupSelect, number));
}

bool TestModeEngine::setWide() {
    if (!queueAction(testCommandGroup(ActionWide, GroupWide))) return false;
    m_wide = true;
    return true;
}

bool TestModeEngine::setNarrow() {
    if (!queueAction(testCommandGroup(ActionNarrow, GroupNarrow))) return false;
    m_wide = false;
    return true;
}

bool TestModeEngine::transmitterOff() {
    return queueAction(testCommandGroup(ActionTransmitterOff, GroupParameterOff, 8, 1));
}

bool TestModeEngine::transmitterOn() {
    return queueAction(testCommandGroup(ActionTransmitterOn, GroupParameterOn, 8, 1));
}

bool TestModeEngine::tune(int item) {
    if (!validItem(item)) return false;
    QList<TestCommand> entries = testCommandGroup(ActionTune, GroupReadParameters);
    entries += testCommandGroup(ActionTune, GroupParameterOff, testParameterCode(item, 0), 1);
    if (!queueAction(entries)) return false;
    m_tuneItem = item;
    return true;
}

namespace {
QList<TestCommand> endEntries(int signalling) {
    return testCommandGroup(ActionEnd, GroupSelect, signalling) +
           testCommandGroup(ActionEnd, GroupLeave);
}
} // namespace

bool TestModeEngine::end(int signalling) {
    const QList<TestCommand> entries = endEntries(signalling);
    // Leaving is never refused: the window asking for it is gone, and a radio left in test
    // mode holds the port. With no room it goes in as soon as the queue has room.
    if (active() && !m_prompting && m_queue.freeEntries() < entries.size()) {
        m_pendingEnd = signalling;
        return true;
    }
    return queueAction(entries);
}

void TestModeEngine::queuePendingEnd() {
    if (m_pendingEnd == 0 || m_queue.isEmpty()) return;
    const QList<TestCommand> entries = endEntries(m_pendingEnd);
    if (m_queue.freeEntries() < entries.size()) return;
    m_pendingEnd = 0;
    for (const TestCommand& entry : entries)
        m_queue.push(entry);
}

bool TestModeEngine::selectParameter(int code, int count) {
    QList<TestCommand> entries =
        testCommandGroup(ActionSelectParameter, GroupParameterOff, code, 2);
    entries += testCommandGroup(ActionSelectParameter, GroupReadValues, count);
    return queueAction(entries);
}

bool TestModeEngine::setParameter(int code, int value) {
    return queueAction(testCommandGroup(ActionSetParameter, GroupSetValue, code, value));
}

bool TestModeEngine::confirmParameter(int code) {
    return queueAction(testCommandGroup(ActionConfirmParameter, GroupParameterOn, code, 2));
}

bool TestModeEngine::restoreParameters(int item) {
    QList<TestCommand> entries;
    int last = 0;
    for (const int level : testLevelsOfValues(testValueCount(item, m_wide))) {
        const int code = testParameterCode(item, level);
        if (code == 0) continue;
        entries += testCommandGroup(ActionRestoreParameters, GroupParameterOff, code, 2);
        entries += testCommandGroup(ActionRestoreParameters, GroupSetValue, code,
                                    m_parameterValues[size_t(level)]);
        last = code;
    }
    if (last == 0) return false;
    entries += testCommandGroup(ActionRestoreParameters, GroupParameterOn, last, 2);
    return queueAction(entries);
}

bool TestModeEngine::readParameter(int code) {
    return queueAction(testCommandGroup(ActionReadParameter, GroupReadOneValue, code));
}

void TestModeEngine::keepConfirmedValue(int level, int value) {
    if (level >= 0 && level < TestLevelCount) m_parameterValues[size_t(level)] = value & 0xFF;
}

void TestModeEngine::runSender(SenderEvent event, const QByteArray& reply) {
    if (!active() || m_queue.isEmpty()) return;
    TestCommand entry = m_queue.head();
    switch (event) {
    case SenderEvent::Reply:
        // A reply that is not the awaited one leaves the reply timer running: silence follows.
        if (!testReplyMatches(entry, reply)) return;
        ++m_repliesTaken;
        m_session.stopReplyTimer();
        m_sendingEnabled = true;
        processReply(entry, reply);
        if (!active()) return;
        break;
    case SenderEvent::Sent:
        m_session.stopReplyTimer();
        m_sendingEnabled = true;
        if (entry.replyKind == ReplyBatched) {
            m_queue.advance();
            prompt({tr2("SendList Error!", "发送列表错误！"),
                    {},
                    programTitle(),
                    MsgIcon::None,
                    MsgButtons::Ok});
            return;
        }
        if (entry.replyKind != ReplyNone) return;
        break;
    case SenderEvent::SendRequest:
        m_nextFrameTimer.stop();
        m_session.stopReplyTimer();
        m_sendingEnabled = true;
        break;
    }
    if (!m_sendingEnabled || m_queue.isEmpty()) return;

    if (m_queue.head().frameCode == FrameSkip) {
        m_queue.advance();
        if (m_queue.isEmpty()) return;
    }
    m_queue.markFrameStart();
    entry = m_queue.head();
    m_queue.advance();
    if (entry.frameCode == FrameLeave) return leaveTestMode(true, SessionFailure::None);
    QByteArray frame = testFrameBytes(entry);
    int threshold = entry.replyLength;
    while (!m_queue.isEmpty() && m_queue.head().replyKind == ReplyBatched) {
        frame += testFrameBytes(m_queue.head());
        threshold = m_queue.head().replyLength;
        m_queue.advance();
    }
    if (!m_queue.isEmpty() && m_queue.head().replyKind == ReplyNone) m_nextFrameTimer.start();
    queuePendingEnd();
    if (!frame.isEmpty()) sendFrame(frame, threshold);
}

void TestModeEngine::sendFrame(const QByteArray& frame, int threshold) {
    // The line hands over a reply once the threshold has arrived: wait for the whole reply the
    // next entry judges (the identification is 14 bytes, not the 8 its entry names).
    if (threshold >= 1 && !m_queue.isEmpty())
        threshold = std::max(threshold, testAwaitedReplyLength(m_queue.head()));
    m_session.sendTestFrame(frame, std::max(threshold, 0));
    if (threshold < 1) {
        m_session.stopReplyTimer();
        m_noReplySent.start();
    } else {
        m_noReplySent.invalidate();
    }
    emit frameSent(frame);
}

void TestModeEngine::processReply(const TestCommand& entry, const QByteArray& reply) {
    switch (entry.replyKind) {
    case ReplyAck:
        if (entry.action == ActionStart && entry.command == GroupSelect && m_testWindowMayOpen)
            m_openWindowTimer.start();
        if (entry.action == ActionTune && entry.command == GroupParameterOff)
            emit tuneAcknowledged();
        break;
    case ReplyBlock:
        if (entry.action == ActionTune) {
            m_parameterBlock = reply;
            m_parameterValues = parameterValuesFromBlock(reply, m_tuneItem);
            emit parametersChanged();
        }
        break;
    case ReplyTestFreq:
        storeTestFrequency(entry.value1, reply);
        break;
    case ReplyValues: {
        const auto byteAt = [&reply](int i) { return int(uint8_t(reply.at(i))); };
        m_parameterValues[0] = byteAt(0);
        if (reply.size() == 4) {
            m_parameterValues[1] = byteAt(1);
            m_parameterValues[3] = byteAt(2);
            m_parameterValues[5] = byteAt(3);
        } else if (reply.size() >= 6) {
            for (int i = 1; i < 6; ++i)
                m_parameterValues[size_t(i)] = byteAt(i);
        }
        emit parametersChanged();
        break;
    }
    case ReplyOneValue:
        m_parameterValues[0] = uint8_t(reply.at(0));
        emit parametersChanged();
        break;
    default:
        break;
    }
}

void TestModeEngine::storeTestFrequency(int number, const QByteArray& reply) {
    const QString rx = QString::fromLatin1(reply.left(4).toHex().toUpper());
    const QString tx = QString::fromLatin1(reply.mid(4, 4).toHex().toUpper());
    const auto at = std::find_if(m_radioTestFreqs.begin(), m_radioTestFreqs.end(),
                                 [number](const RadioTestFreq& r) { return r.number == number; });
    if (rx == NoFrequency && tx == NoFrequency) {
        if (at != m_radioTestFreqs.end()) m_radioTestFreqs.erase(at);
    } else if (at != m_radioTestFreqs.end()) {
        at->rx = rx;
        at->tx = tx;
    } else if (m_radioTestFreqs.size() < 16) {
        m_radioTestFreqs.append({number, rx, tx});
    }
    if (number != 16) return;
    if (testFrequenciesMatch(m_radioTestFreqs, m_doc.config())) {
        m_testWindowMayOpen = true;
        return;
    }
    prompt({messageText(Msg::TestFreqMismatch),
            {},
            programTitle(),
            MsgIcon::Critical,
            MsgButtons::Ok,
            Msg::TestFreqMismatch});
    m_queue.clear();
    m_session.stopReplyTimer();
    m_sendingEnabled = false;
    m_testWindowMayOpen = false;
    if (active()) m_mismatchEndTimer.start();
}

void TestModeEngine::onReplyTimeout() {
    if (!active()) return;
    if (m_prompting) {
        // The user is answering another box: ask once that one is closed.
        m_session.restartReplyTimer();
        return;
    }
    // The awaited reply came while a box was open: it has not been silent after all.
    if (takeHeldReplies() || !active()) return;
    const MsgAnswer answer = prompt({messageText(Msg::CheckConnection),
                                     {},
                                     programTitle(),
                                     MsgIcon::None,
                                     MsgButtons::RetryCancel,
                                     Msg::CheckConnection});
    if (!active()) return;
    if (answer != MsgAnswer::Retry) {
        return leaveTestMode(false, SessionFailure::NoAnswer);
    }
    // The radio answered while the question was open: the exchange goes on from there.
    if (takeHeldReplies() || !active()) return;
    // Back to the entry that began the last frame, so it goes out again with the bytes batched
    // with it.
    m_queue.backToFrameStart();
    runSender(SenderEvent::SendRequest);
}

void TestModeEngine::leaveTestMode(bool clean, SessionFailure why) {
    m_queue.clear();
    m_pendingEnd = 0;
    m_heldReplies.clear();
    m_nextFrameTimer.stop();
    m_mismatchEndTimer.stop();
    m_openWindowTimer.stop();
    m_sendingEnabled = false;
    m_session.endTestMode(clean, why); // reports finished: onSessionFinished
}

void TestModeEngine::onSessionFinished(RadioOperation operation) {
    if (operation != RadioOperation::TestMode) return;
    m_queue.clear();
    m_pendingEnd = 0;
    m_heldReplies.clear();
    m_nextFrameTimer.stop();
    m_mismatchEndTimer.stop();
    m_openWindowTimer.stop();
    m_sendingEnabled = false;
    m_testWindowMayOpen = false;
    emit testModeEnded();
}
