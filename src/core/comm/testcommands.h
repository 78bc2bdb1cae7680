#pragma once

#include <QByteArray>
#include <QList>

#include <array>
#include <cstdint>

// Test mode: the radio's factory tuning state. Every user action becomes a list of queued
// commands; a small sender sends them one frame at a time and pairs each frame with the reply
// the entry after it expects.
//
// Exchange on the wire (program -> radio -> program), all bytes hexadecimal:
//   entry word "QALIBR "  -> 06          enter the tuning state
//   02                    -> 14 bytes    identification, as in programming mode
//   05                    -> 62 bytes    parameter block (layout in testmode.h)
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
    // Room for new entries. The entries of the frame sent last take room until the next frame
    // starts: Retry sends them again.
    int freeEntries() const { return Slots - 1 - (m_write - oldest() + Slots) % Slots; }
    // Adds an entry; false (and nothing added) when the queue is full.
    bool push(const TestCommand& c);
    // The entry at the read index (only while not empty).
    const TestCommand& head() const { return m_entries[size_t(m_read)]; }
    // Moves the read index on; false when the queue was empty.
    bool advance();
    // The entry at the read index begins the frame about to be sent.
    void markFrameStart() { m_frameStart = m_read; }
    // Moves the read index back to the entry that began the frame sent last, so that the frame
    // goes out again whole; false when no frame has been sent since the queue was emptied.
    bool backToFrameStart();
    void clear() {
        m_read = m_write = 0;
        m_frameStart = -1;
    }
    int readIndex() const { return m_read; }
    int writeIndex() const { return m_write; }

  private:
    static int next(int i) { return (i + 1) % Slots; }
    int oldest() const { return m_frameStart >= 0 ? m_frameStart : m_read; }
    std::array<TestCommand, Slots> m_entries{};
    int m_read = 0;
    int m_write = 0;
    int m_frameStart = -1; // the entry that began the frame sent last
};

// The entries of one command group with its two arguments.
QList<TestCommand> testCommandGroup(int action, int group, int x = 0, int y = 0);

// Bytes an entry appends to the outgoing frame.
QByteArray testFrameBytes(const TestCommand& e);
// The exact length of the reply an entry judges; 0 when it awaits none.
int testAwaitedReplyLength(const TestCommand& e);
// True when a reply is the one the entry awaits.
bool testReplyMatches(const TestCommand& e, const QByteArray& reply);
