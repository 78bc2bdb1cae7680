#include "testcommands.h"

#include "protocol.h"
#include "testmode.h"

namespace {
// A test frequency: RX then TX, four BCD bytes each.
constexpr int TestFreqReplyLength = 8;

TestCommand entry(int action, int group, int frame, int kind, int length, int v1 = 0, int v2 = 0) {
    return {int16_t(action), int16_t(group), int16_t(frame), int16_t(kind),
            int16_t(length), int16_t(v1),    int16_t(v2)};
}
} // namespace

QByteArray testModeEntryWord() {
    return QByteArray(TestModeEntryWord.data(), int(TestModeEntryWord.size()));
}

bool TestCommandQueue::push(const TestCommand& c) {
    if (next(m_write) == oldest()) return false;
    m_entries[size_t(m_write)] = c;
    m_write = next(m_write);
    return true;
}

bool TestCommandQueue::advance() {
    if (isEmpty()) return false;
    m_read = next(m_read);
    return true;
}

bool TestCommandQueue::backToFrameStart() {
    if (m_frameStart < 0) return false;
    m_read = m_frameStart;
    return true;
}

// Each entry is (frame code, reply kind, reply length, value 1, value 2); its reply kind
// judges the reply to the frame of the entry before it.
QList<TestCommand> testCommandGroup(int a, int group, int x, int y) {
    switch (group) {
    case GroupEnter:
        return {entry(a, group, FrameEntryWord, ReplyNone, 1),
                entry(a, group, FrameSkip, ReplyAck, 0)};
    case GroupIdentify:
        return {entry(a, group, FrameIdentRequest, ReplyNone, 8),
                entry(a, group, FrameAck, ReplyIdent, 1), entry(a, group, FrameSkip, ReplyAck, 0)};
    case GroupReadParameters:
        return {entry(a, group, FrameReadBlock, ReplyNone, 62),
                entry(a, group, FrameAck, ReplyBlock, 1), entry(a, group, FrameSkip, ReplyAck, 0)};
    case GroupReadTestFreq:
        return {entry(a, group, FrameReadTestFreq, ReplyNone, 0),
                entry(a, group, FrameValue1, ReplyBatched, 8, x),
                entry(a, group, FrameAck, ReplyTestFreq, 1, x),
                entry(a, group, FrameSkip, ReplyAck, 0)};
    case GroupSelect:
        return {entry(a, group, FrameSelect, ReplyNone, 0),
                entry(a, group, FrameValue1, ReplyBatched, 1, x),
                entry(a, group, FrameSkip, ReplyAck, 0)};
    case GroupLeave:
        return {entry(a, group, FrameEnd, ReplyNone, 1), entry(a, group, FrameLeave, ReplyAck, 0)};
    case GroupParameterOff:
    case GroupParameterOn: {
        const auto onOff = group == GroupParameterOn ? FrameOn : FrameOff;
        if (y == 1)
            return {entry(a, group, FrameValue1, ReplyNone, 1, x),
                    entry(a, group, onOff, ReplyBatched, 1),
                    entry(a, group, FrameSkip, ReplyAck, 0)};
        return {entry(a, group, FrameValue1, ReplyNone, 0, x),
                entry(a, group, onOff, ReplyBatched, 0)};
    }
    case GroupReadValues:
        return {entry(a, group, FrameReadValues, ReplyNone, x),
                entry(a, group, FrameAck, ReplyValues, 0, x)};
    case GroupSetValue:
        return {entry(a, group, FrameSetValue, ReplyNone, 0, x, y)};
    case GroupWide:
        return {entry(a, group, FrameWide, ReplyNone, 1), entry(a, group, FrameSkip, ReplyAck, 0)};
    case GroupNarrow:
        return {entry(a, group, FrameNarrow, ReplyNone, 1),
                entry(a, group, FrameSkip, ReplyAck, 0)};
    case GroupReadOneValue:
        return {entry(a, group, FrameReadOne, ReplyNone, 1, x),
                entry(a, group, FrameAck, ReplyOneValue, 0, x)};
    default:
        return {};
    }
}

QByteArray testFrameBytes(const TestCommand& e) {
    const char v1 = char(e.value1 & 0xFF);
    switch (e.frameCode) {
    case FrameEntryWord:
        return testModeEntryWord();
    case FrameIdentRequest:
        return QByteArray(1, RadioProtocol::IdentRequest);
    case FrameAck:
        return QByteArray(1, RadioProtocol::Ack);
    case FrameReadBlock:
        return QByteArray(1, 0x05);
    case FrameReadTestFreq:
        return QByteArray(1, 0x10);
    case FrameValue1:
        return QByteArray(1, v1);
    case FrameSelect:
        return QByteArray(1, 0x11);
    case FrameWide:
        return QByteArray(1, 'F');
    case FrameNarrow:
        return QByteArray(1, 'G');
    case FrameOff:
        return QByteArray(1, 0x0D);
    case FrameOn:
        return QByteArray(1, 0x0E);
    case FrameReadValues:
        return QByteArray(1, 0x07);
    case FrameSetValue:
        return QByteArray(1, v1) + char(0x20) + char(e.value2 & 0xFF);
    case FrameReadOne:
        return QByteArray(1, v1) + char(0x0A);
    case FrameEnd:
        return QByteArray(1, 'E');
    default:
        return {};
    }
}

int testAwaitedReplyLength(const TestCommand& e) {
    switch (e.replyKind) {
    case ReplyAck:
    case ReplyOneValue:
        return 1;
    case ReplyIdent:
        return RadioProtocol::IdentLength;
    case ReplyBlock:
        return ParameterBlockSize;
    case ReplyTestFreq:
        return TestFreqReplyLength;
    case ReplyValues:
        return e.value1;
    default:
        return 0;
    }
}

bool testReplyMatches(const TestCommand& e, const QByteArray& r) {
    switch (e.replyKind) {
    case ReplyAck:
        return r.size() == 1 && r.at(0) == RadioProtocol::Ack;
    case ReplyIdent:
        return r.size() == RadioProtocol::IdentLength && r.at(0) == 'P';
    case ReplyBlock:
        return r.size() == ParameterBlockSize;
    case ReplyTestFreq:
        return r.size() == TestFreqReplyLength;
    case ReplyValues:
        return e.value1 >= 1 && r.size() == e.value1;
    case ReplyOneValue:
        return r.size() == 1;
    default:
        return false;
    }
}
