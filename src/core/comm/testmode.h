#pragma once

#include "core/config/document.h"
#include "core/config/messages.h"

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

// Test mode: the radio's factory tuning state. Every user action becomes a list of queued
// commands; a small sender sends them one frame at a time and pairs each frame with the reply
// the entry after it expects.
//
// Exchange on the wire (program -> radio -> program), all bytes hexadecimal:
//   entry word "QALIBR "  -> 06          enter the tuning state
//   02                    -> 14 bytes    identification, as in programming mode
//   05                    -> 62 bytes    parameter block (layout below)
//   06                    -> 06          acknowledge (not answered after a value read)
//   10 n                  -> 8 bytes     test frequency n: RX then TX, 4 BCD bytes each,
//                                        FF FF FF FF FF FF FF FF when the radio has none
//   11 n                  -> 06          select test signalling n
//   08 0D / 08 0E         -> 06          transmitter off / on
//   46 "F" / 47 "G"       -> 06          wide / narrow
//   p 0D                  -> (06)        select parameter p; answered only as the tune request
//                                        that follows a parameter block read
//   07                    -> n bytes     the values of the selected parameter's levels
//   p 20 v                -> nothing     set parameter p to v (live)
//   p 0E                  -> nothing     confirm parameter p
//   p 0A                  -> 1 byte      read parameter p once (live reading)
//   45 "E"                -> 06          leave the tuning state

// Entry word of the tuning state: "QALIBR" (from "calibrate", as the radio's firmware spells
// it) followed by a space, seven bytes. No frame of programming mode starts with "Q".
inline constexpr std::array<char, 7> TestModeEntryWord{0x51, 0x41, 0x4C, 0x49, 0x42, 0x52, 0x20};
QByteArray testModeEntryWord();

// User actions: what each window event queues.
enum TestAction : int {
    ActionStart = 1,
    ActionTestChannel = 2,
    ActionSignalling = 3,
    ActionWide = 4,
    ActionNarrow = 5,
    ActionTransmitterOff = 6,
    ActionTransmitterOn = 7,
    ActionTune = 8,
    ActionEnd = 9,
    ActionSelectParameter = 10,
    ActionSetParameter = 11,
    ActionConfirmParameter = 12,
    ActionRestoreParameters = 13,
    ActionReadParameter = 14,
};

// Command groups: each adds a fixed list of entries.
enum TestCommandGroup : int {
    GroupEnter = 1,
    GroupIdentify = 2,
    GroupReadParameters = 3,
    GroupReadTestFreq = 4,
    GroupSelect = 6,
    GroupLeave = 7,
    GroupParameterOff = 8, // p 0D
    GroupReadValues = 9,
    GroupSetValue = 10,
    GroupParameterOn = 11, // p 0E
    GroupWide = 12,
    GroupNarrow = 13,
    GroupReadOneValue = 16,
};

// What an entry appends to the outgoing frame.
enum TestFrameCode : int {
    FrameEntryWord = 1,
    FrameIdentRequest = 2, // 02
    FrameAck = 3,          // 06
    FrameReadBlock = 4,    // 05
    FrameReadTestFreq = 5, // 10
    FrameValue1 = 6,       // value 1
    FrameSelect = 7,       // 11
    FrameWide = 8,         // "F"
    FrameNarrow = 9,       // "G"
    FrameOff = 12,         // 0D
    FrameOn = 13,          // 0E
    FrameReadValues = 14,  // 07
    FrameSetValue = 15,    // value 1, 20, value 2
    FrameReadOne = 16,     // value 1, 0A
    FrameEnd = 17,         // "E"
    FrameSkip = 67,        // nothing: go straight on to the next entry
    FrameLeave = 69,       // nothing: leave test mode
};

// How the reply to the previous entry's frame is judged.
enum TestReplyKind : int {
    ReplyNone = 0,      // none awaited
    ReplyBatched = -76, // the entry's frame joins the frame of the entry before it
    ReplyAck = 2,       // exactly 06
    ReplyIdent = 3,     // 14 bytes starting with "P"
    ReplyBlock = 4,     // the 62-byte parameter block
    ReplyTestFreq = 5,  // 8 bytes: test frequency value 1
    ReplyValues = 6,    // value 1 bytes: parameter values
    ReplyOneValue = 7,  // 1 byte: parameter value 1
};

struct TestCommand {
    int16_t action = 0;
    int16_t command = 0;
    int16_t frameCode = 0;
    int16_t replyKind = 0;
    int16_t replyLength = 0; // receive threshold for this entry's frame; below 1: no reply
    int16_t value1 = 0;
    int16_t value2 = 0;
};

// A ring of 101 entries: it holds at most 100 commands.
class TestCommandQueue {
  public:
    static constexpr int Slots = 101;

    bool isEmpty() const { return m_read == m_write; }
    int count() const { return (m_write - m_read + Slots) % Slots; }
    int freeEntries() const { return Slots - 1 - count(); }
    // Adds an entry; false (and nothing added) when the queue is full.
    bool push(const TestCommand& c);
    // The entry at the read index (only while not empty).
    const TestCommand& head() const { return m_entries[size_t(m_read)]; }
    // Moves the read index on; false when the queue was empty.
    bool advance();
    // Moves the read index back over the entry sent last; false when that slot has been reused.
    bool stepBack();
    void clear() { m_read = m_write = 0; }
    int readIndex() const { return m_read; }
    int writeIndex() const { return m_write; }

  private:
    static int next(int i) { return (i + 1) % Slots; }
    static int previous(int i) { return (i + Slots - 1) % Slots; }
    std::array<TestCommand, Slots> m_entries{};
    int m_read = 0;
    int m_write = 0;
};

// The entries of one command group with its two arguments.
QList<TestCommand> testCommandGroup(int action, int group, int x = 0, int y = 0);

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
constexpr int ParameterBlockSize = 62;
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
    // link does not report that, so TimerSendComm alone carries the frames that await no reply
    // (both together would send the next frame twice over). SendRequest: a new action on an
    // empty queue, TimerSendComm, or Retry after a time-out.
    enum class SenderEvent { Reply, Sent, SendRequest };
    // The sender; the reply is only used by the Reply event.
    void runSender(SenderEvent event, const QByteArray& reply = {});
    // The reply timer fired while in test mode.
    void onReplyTimeout();

    TestCommandQueue queue;
    QList<RadioTestFreq> radioTestFreqs; // in the order the radio reported them
    QByteArray parameterBlock;           // read by the last tune request
    std::array<int, TestLevelCount> parameterValues{};
    bool wide = true;
    bool testWindowMayOpen = false;
    bool sendingEnabled = false;

    QTimer TimerSendComm;    // 100 ms: the next frame that awaits no reply
    QTimer TimerSendEnd;     // 300 ms: ends test mode after a test-frequency mismatch
    QTimer TimerShowTestFrm; // 300 ms: opens the test window after a good start

  signals:
    void openTestWindow();   // TimerShowTestFrm fired
    void tuneAcknowledged(); // the radio took the tune request: open the parameter window
    void parametersChanged();
    void testModeEnded(); // the port is closed; the windows have nothing to talk to
    void frameSent(const QByteArray& frame);

  private:
    bool queueAction(const QList<TestCommand>& entries);
    void processReply(const TestCommand& e, const QByteArray& reply);
    void onTestFrequency(int number, const QByteArray& reply);
    void sendBuilt(const QByteArray& frame, int threshold);
    void leaveTestMode(bool clean, SessionFailure why);
    void onSessionFinished(RadioOperation operation);
    MsgAnswer prompt(const MessageRequest& request);

    Document& m_doc;
    RadioSession& m_session;
    bool m_prompting = false;
    int m_tuneItem = 0;
    QElapsedTimer m_noReplySent; // since the last frame that awaited no reply
};
