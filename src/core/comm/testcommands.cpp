#include "testcommands.h"

namespace {
TestCommand entry(int action, int group, int frame, int kind, int length, int v1 = 0, int v2 = 0) {
    return {int16_t(action), int16_t(group), int16_t(frame), int16_t(kind),
            int16_t(length), int16_t(v1),    int16_t(v2)};
}
} // namespace

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
