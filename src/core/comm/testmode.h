#pragma once

#include "core/config/document.h"
#include "core/config/messages.h"
#include "testcommands.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <array>
#include <cstdint>

class RadioSession;
enum class RadioOperation : int;
enum class SessionFailure;

// Test mode: the radio's factory tuning state. The frames, the command groups and the queue
// are in testcommands.h; here are the adjustment items, the parameter block and the engine
// that runs the queue over the session's port.

// Adjustment items 1..15 and their levels 0..5 ("Test", "Low", "Low'", "Center", "High'",
// "High").
constexpr int TestItemCount = 15;
constexpr int TestLevelCount = 6;
// Parameter code of an item's level; 0 when the item has no such level.
int testParameterCode(int item, int level);
// How many values an item reads: 1, 4 (levels 0, 1, 3, 5) or 6.
int testValueCount(int item, bool wide);
// The levels whose values a read of n values carries, in reply order.
QList<int> testLevelsOfValues(int n);
// Items 12..15 are read live instead of being set with sliders.
bool testItemIsReading(int item);
QString testItemName(int item);   // current language
QString testLevelName(int level); // current language

// Test signallings 1..9 and what the radio decodes (RX) and encodes (TX) with each.
constexpr int TestSignallingCount = 9;
QString testSignallingText(int signalling, bool transmit); // current language

// Parameter block, the radio's reply to 05 (62 bytes): one byte per distinct parameter code,
// in the order of the items and their levels; a code used by several items (24) has one byte.
//   0..5    RF High Power        18 48 51 49 52 50
//   6..11   RF Low Power         20 96 99 97 100 98
//   12..15  DQT Balance          24 101 102 103
//   16..18  Max Deviation        36 37 38
//   19..21  QT Fine Deviation    106 107 108
//   22..25  DQT Fine Deviation   26 111 112 113
//   26      DTMF Fine Deviation  29
//   27..30  Sensitivity          31 53 54 55
//   31..34  Squelch(Tight)       13 117 118 119
//   35..38  Squelch(Open)        12 114 115 116
//   39..43  MSK Fine Deviation 27, Battery Warning Level 28, VOX1 33, VOX10 35, RSSI 34
//   44..61  not used (FF)
constexpr int ParameterBlockSize = RadioProtocol::TestParameterBlockLength;
// Offset of a parameter code in the block; -1 for a code that has none.
int parameterBlockOffset(int code);
// The six level values of an item as the block holds them (0 where a level has no code).
std::array<int, TestLevelCount> parameterValuesFromBlock(const QByteArray& block, int item);

// One test frequency as the radio reports it: 8 hexadecimal digits each.
struct RadioTestFreq {
    int number = 0;
    QString rx;
    QString tx;
};

// A stored test frequency of the configuration in the radio's digit form: spaces trimmed, the
// character 0 that ends a short text dropped and the digits filled with "0" to eight, as the
// radio holds a short frequency; "FFFFFFFF" when the text holds no frequency.
QString testFreqRadioText(const FixedText<8>& stored);
// True when the radio's list holds exactly the configuration's test frequencies.
bool testFrequenciesMatch(const QList<RadioTestFreq>& radio, const RadioConfig& config);

// The test-mode engine over the session's port, reply handler and reply timer.
class TestModeEngine : public QObject {
    Q_OBJECT
  public:
    TestModeEngine(Document& doc, RadioSession& session, QObject* parent = nullptr);

    // mnuTest: opens the port and queues the start. False when another operation runs or the
    // port cannot be opened.
    bool start();
    bool active() const;

    // Action entry points of the windows. Each returns false when nothing was queued (test
    // mode not active, one of the engine's message boxes open, or the queue has no room for
    // the whole action).
    bool selectTestChannel(int number);        // 2
    bool selectSignalling(int number);         // 3
    bool setWide();                            // 4
    bool setNarrow();                          // 5
    bool transmitterOff();                     // 6
    bool transmitterOn();                      // 7
    bool tune(int item);                       // 8
    bool end(int signalling);                  // 9
    bool selectParameter(int code, int count); // 10
    bool setParameter(int code, int value);    // 11
    bool confirmParameter(int code);           // 12
    bool restoreParameters(int item);          // 13
    bool readParameter(int code);              // 14

    // The level whose value the user confirmed keeps the confirmed value (restoring after
    // tuning then leaves it in place).
    void keepConfirmedValue(int level, int value);

    // Reply: the line handed over a reply. Sent: the line's send buffer emptied; the serial
    // link does not report that, so the next-frame timer alone carries the frames that await
    // no reply (both together would send the next frame twice over). SendRequest: a new action
    // on an empty queue, the next-frame timer, or Retry after a time-out.
    enum class SenderEvent { Reply, Sent, SendRequest };
    // The sender; the reply is only used by the Reply event.
    void runSender(SenderEvent event, const QByteArray& reply = {});
    // The reply timer fired while in test mode.
    void onReplyTimeout();

    // What the engine holds for the windows and the tests.
    const TestCommandQueue& queue() const { return m_queue; }
    // The test frequencies in the order the radio reported them.
    const QList<RadioTestFreq>& radioTestFreqs() const { return m_radioTestFreqs; }
    // The six level values of the item being tuned, as last read from or confirmed on the
    // radio.
    const std::array<int, TestLevelCount>& parameterValues() const { return m_parameterValues; }
    bool isWide() const { return m_wide; }
    // The radio's test frequencies matched the configuration: the test window may open.
    bool testWindowMayOpen() const { return m_testWindowMayOpen; }

  signals:
    void openTestWindow();   // m_openWindowTimer fired
    void tuneAcknowledged(); // the radio took the tune request: open the parameter window
    void parametersChanged();
    void testModeEnded(); // the port is closed; the windows have nothing to talk to
    void frameSent(const QByteArray& frame);

  private:
    bool queueAction(const QList<TestCommand>& entries);
    void processReply(const TestCommand& entry, const QByteArray& reply);
    void storeTestFrequency(int number, const QByteArray& reply);
    void sendFrame(const QByteArray& frame, int threshold);
    void leaveTestMode(bool clean, SessionFailure why);
    void onSessionFinished(RadioOperation operation);
    MsgAnswer prompt(const MessageRequest& request);
    // Hands the replies kept while a box was open to the sender; true when one of them was the
    // awaited reply.
    bool takeHeldReplies();
    void queuePendingEnd();

    Document& m_doc;
    RadioSession& m_session;
    bool m_prompting = false;
    QList<QByteArray> m_heldReplies; // arrived while a box was open
    int m_repliesTaken = 0;          // replies the sender accepted
    int m_pendingEnd = 0;            // signalling of an end that waits for room, 0 when none
    int m_tuneItem = 0;
    QElapsedTimer m_noReplySent; // since the last frame that awaited no reply

    TestCommandQueue m_queue;
    QList<RadioTestFreq> m_radioTestFreqs;
    QByteArray m_parameterBlock; // read by the last tune request
    std::array<int, TestLevelCount> m_parameterValues{};
    bool m_wide = true;
    bool m_testWindowMayOpen = false;
    bool m_sendingEnabled = false;

    QTimer m_nextFrameTimer;   // 100 ms: sends the next frame that awaits no reply
    QTimer m_mismatchEndTimer; // 300 ms: ends test mode after a test-frequency mismatch
    QTimer m_openWindowTimer;  // 300 ms: opens the test window after a good start
};
