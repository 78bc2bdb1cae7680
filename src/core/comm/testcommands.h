#pragma once

#include "protocol.h"

#include <QByteArray>
#include <QList>

#include <array>
#include <cstdint>

// Test mode: the radio's factory tuning state. Every user action becomes a list of queued
// commands; a small sender sends them one frame at a time and pairs each frame with the reply
// the entry after it expects.
//
// The frames on the wire and the replies they await are in protocol.h.

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

// The entry's frame bytes and reply rule (protocol.h) with its own values.
inline QByteArray testFrameBytes(const TestCommand& e) {
    return testFrameBytes(e.frameCode, e.value1, e.value2);
}
inline int testAwaitedReplyLength(const TestCommand& e) {
    return testAwaitedReplyLength(e.replyKind, e.value1);
}
inline bool testReplyMatches(const TestCommand& e, const QByteArray& reply) {
    return testReplyMatches(e.replyKind, e.value1, reply);
}
