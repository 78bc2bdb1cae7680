#include "protocol.h"

#include "core/config/modelband.h"

#include <algorithm>

namespace RadioProtocol {
namespace {
// The radio's information record: "NTK-", radio code (4), type letter, 4 bytes, band copy,
// 3 bytes, serial number (8), 8 bytes, checksum.
constexpr char InformationReplyStart[] = "NTK-";
constexpr int InfoModelAt = 4;
constexpr int InfoTypeLetterAt = 8;
constexpr int InfoBandAt = 13;
constexpr int InfoSerialAt = 17;
constexpr int InfoSerialLength = 8;
constexpr char Unused = char(0xFF);

// The two address bytes of a frame, high byte first.
QByteArray blockHead(char command, int address, int length) {
    QByteArray f(1, command);
    f += char((address >> 8) & 0xFF);
    f += char(address & 0xFF);
    f += char(length & 0xFF);
    return f;
}

// Bytes [from, from + count) of text, FF where the text has ended.
QByteArray filled(const QByteArray& text, int from, int count) {
    QByteArray out;
    for (int i = from; i < from + count; ++i)
        out += i < text.size() ? text.at(i) : Unused;
    return out;
}

bool checksumGood(const QByteArray& r) {
    return checksum(r, 1, int(r.size()) - 1) == uint8_t(r.back());
}

bool isDataFrame(const QByteArray& r, int address, int length) {
    return r.size() >= BlockHeadLength && r.at(0) == DataCommand &&
           ((uint8_t(r.at(1)) << 8) | uint8_t(r.at(2))) == (address & 0xFFFF) &&
           uint8_t(r.at(3)) == length && r.size() == dataFrameLength(length) && checksumGood(r);
}

Identification identification(const QByteArray& r) {
    return {r.mid(1, 4), uint8_t(r.at(5)), uint8_t(r.at(6)), r.mid(8, 4)};
}

InformationRecord informationRecord(const QByteArray& r) {
    InformationRecord info;
    QByteArray code;
    for (int i = InfoModelAt; i < InfoModelAt + 4 && r.at(i) != Unused; ++i)
        code += r.at(i);
    info.modelNameCopy = radioTypeToModelText(QString::fromLatin1(code));
    info.typeLetter = int16_t(uint8_t(r.at(InfoTypeLetterAt)));
    info.bandCodeCopy = int16_t(uint8_t(r.at(InfoBandAt)));
    info.createDate = r.mid(InfoSerialAt, InfoSerialLength);
    for (char& c : info.createDate)
        if (c == Unused) c = '\0';
    return info;
}

// The version text up to its first FF, ended by a character 0.
QByteArray versionText(const QByteArray& r) {
    QByteArray text(1, VersionCommand);
    for (int i = 1; i < VersionFrameLength && r.at(i) != Unused; ++i)
        text += r.at(i);
    return text + '\0';
}
} // namespace

uint8_t checksum(const QByteArray& frame, int from, int to) {
    unsigned sum = 0;
    for (int i = std::max(from, 0); i < to && i < frame.size(); ++i)
        sum += uint8_t(frame.at(i));
    return uint8_t(sum & 0xFF);
}

QByteArray programCommand() {
    return QByteArray(ProgramCommand);
}

QByteArray identRequest() {
    return QByteArray(1, IdentRequest);
}

QByteArray acknowledge() {
    return QByteArray(1, Ack);
}

QByteArray endCommand() {
    return QByteArray(1, EndCommand);
}

QByteArray readRequest(int address, int length) {
    return blockHead(ReadCommand, address, length);
}

QByteArray dataFrame(int address, const QByteArray& data) {
    QByteArray f = blockHead(DataCommand, address, int(data.size()));
    f += data;
    f += char(checksum(f, 1, int(f.size())));
    return f;
}

QByteArray informationFrame(const ModelInfo& info) {
    QByteArray f("NTKK");
    f += filled(info.modelNameCopy.untilNul(), 0, 4);
    f += char(info.typeLetter & 0xFF);
    f += QByteArray(4, Unused);
    f += char(info.bandCodeCopy & 0xFF);
    f += QByteArray(3, Unused);
    f += filled(info.createDate.untilNul(), 0, InfoSerialLength);
    f += QByteArray(8, Unused);
    f += char(checksum(f, 1, InformationFrameLength - 1));
    return f;
}

QByteArray versionFrame(const ModelInfo& info) {
    QByteArray text = info.softwareVersionText.untilNul();
    while (text.endsWith(' '))
        text.chop(1);
    // The text's own first character stands where the frame has its "V".
    return QByteArray(1, VersionCommand) + filled(text, 1, VersionFrameLength - 1);
}

Reply classifyReply(const QByteArray& r, int blockAddress, int blockLength) {
    Reply reply;
    if (r.size() == AckLength && r.at(0) == Ack) {
        reply.kind = ReplyKind::Ack;
    } else if (r.size() == IdentLength && r.at(0) == IdentStart) {
        reply.kind = ReplyKind::Ident;
        reply.identity = identification(r);
    } else if (isDataFrame(r, blockAddress, blockLength)) {
        reply.kind = ReplyKind::Data;
        reply.data = r.mid(BlockHeadLength, blockLength);
    } else if (r.size() >= InformationFrameLength && r.startsWith(InformationReplyStart) &&
               checksumGood(r)) {
        reply.kind = ReplyKind::Information;
        reply.information = informationRecord(r);
    } else if (r.size() == VersionFrameLength && r.at(0) == VersionCommand) {
        reply.kind = ReplyKind::Version;
        reply.version = versionText(r);
    }
    return reply;
}
IdentityTexts identityTexts(const Product& p, const Identification& id) {
    IdentityTexts t;
    t.model = p.identityAsksOverwrite ? modelTextFromIdentity(p, id.modelClass, id.bandCode)
                                      : QString::fromLatin1(id.modelCode).trimmed();
    t.band = bandText(p, id.bandCode, t.model);
    if (t.band.isEmpty()) t.band = QString::number(id.bandCode);
    t.firmware = QString::fromLatin1(id.firmware).trimmed();
    return t;
}

} // namespace RadioProtocol

using namespace RadioProtocol;

QByteArray testModeEntryWord() {
    return QByteArray(TestModeEntryWord.data(), int(TestModeEntryWord.size()));
}

QByteArray testFrameBytes(int frameCode, int value1, int value2) {
    const char v1 = char(value1 & 0xFF);
    switch (frameCode) {
    case FrameEntryWord:
        return testModeEntryWord();
    case FrameIdentRequest:
        return identRequest();
    case FrameAck:
        return acknowledge();
    case FrameReadBlock:
        return QByteArray(1, TestReadParameters);
    case FrameReadTestFreq:
        return QByteArray(1, TestReadFrequency);
    case FrameValue1:
        return QByteArray(1, v1);
    case FrameSelect:
        return QByteArray(1, TestSelectSignalling);
    case FrameWide:
        return QByteArray(1, TestWide);
    case FrameNarrow:
        return QByteArray(1, TestNarrow);
    case FrameOff:
        return QByteArray(1, TestParameterOff);
    case FrameOn:
        return QByteArray(1, TestParameterOn);
    case FrameReadValues:
        return QByteArray(1, TestReadValues);
    case FrameSetValue:
        return QByteArray(1, v1) + TestSetValue + char(value2 & 0xFF);
    case FrameReadOne:
        return QByteArray(1, v1) + TestReadOne;
    case FrameEnd:
        return endCommand();
    default:
        return {};
    }
}

int testAwaitedReplyLength(int replyKind, int value1) {
    switch (replyKind) {
    case ReplyAck:
    case ReplyOneValue:
        return 1;
    case ReplyIdent:
        return IdentLength;
    case ReplyBlock:
        return TestParameterBlockLength;
    case ReplyTestFreq:
        return TestFrequencyLength;
    case ReplyValues:
        return value1;
    default:
        return 0;
    }
}

bool testReplyMatches(int replyKind, int value1, const QByteArray& r) {
    switch (replyKind) {
    case ReplyAck:
        return r.size() == AckLength && r.at(0) == Ack;
    case ReplyIdent:
        return r.size() == IdentLength && r.at(0) == IdentStart;
    case ReplyValues:
        return value1 >= 1 && r.size() == value1;
    case ReplyBlock:
    case ReplyTestFreq:
    case ReplyOneValue:
        return r.size() == testAwaitedReplyLength(replyKind);
    default:
        return false;
    }
}
