// The frames the program sends and how it tells the radio's replies apart, byte for byte.
#include "core/comm/protocol.h"

#include <QTest>

using namespace RadioProtocol;
Q_DECLARE_METATYPE(ReplyKind)

namespace {
QByteArray hex(const char* h) {
    return QByteArray::fromHex(h);
}

// The model copy as the window stores it: the code, then a character 0.
ModelInfo information(const char* serial, const char* version) {
    ModelInfo mi;
    mi.modelNameCopy.assign(QByteArray("715\0", 4));
    mi.typeLetter = 67;
    mi.bandCodeCopy = 0x21;
    mi.createDate.assign(QByteArray(serial));
    mi.softwareVersionText.assign(QByteArray(version));
    return mi;
}

// The radio's information record: radio code "5915", type "C", band 21, serial "2010" then FF.
const QByteArray InfoReply = hex("4E544B2D 35393135 43 FFFFFFFF 21 FFFFFF 32303130 FFFFFFFF"
                                 "FFFFFFFFFFFFFFFF B4");
const QByteArray Ident = hex("50 534F4C56 04 F8 00 56313030 0000"); // "SOLV", band 4, "V100"
const QByteArray Block = hex("57 1F00 04 41424344 2D");             // 0x1F00, "ABCD"
} // namespace

class TestProtocol : public QObject {
    Q_OBJECT
  private slots:
    void frames_data();
    void frames();
    void classify_data();
    void classify();
    void decodedReplies();
    void testModeReplies_data();
    void testModeReplies();
};

void TestProtocol::frames_data() {
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("PROGRAM") << programCommand() << hex("50524F4752414D");
    QTest::newRow("identification request") << identRequest() << hex("02");
    QTest::newRow("acknowledge") << acknowledge() << hex("06");
    QTest::newRow("end") << endCommand() << hex("45");
    QTest::newRow("first read request") << readRequest(0x0000, ReadBlockLength) << hex("52000040");
    QTest::newRow("last read request") << readRequest(0x1DC0, ReadBlockLength) << hex("521DC040");
    QTest::newRow("information read request")
        << readRequest(0x1F00, InformationBlockLength) << hex("521F0010");
    QTest::newRow("data frame") << dataFrame(0x0010, hex("0102030405060708090A0B0C0D0E0F10"))
                                << hex("57001010 0102030405060708090A0B0C0D0E0F10 A8");
    QTest::newRow("data frame, sum past 255")
        << dataFrame(0x1DD0, QByteArray(16, char(0xFF)))
        << hex("571DD010 FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF ED");
    QTest::newRow("information frame")
        << informationFrame(information("20101207", "V1.00"))
        << hex("4E544B4B 373135FF 43 FFFFFFFF 21 FFFFFF 3230313031323037 FFFFFFFFFFFFFFFF 68");
    QTest::newRow("version frame")
        << versionFrame(information("", "V1.00")) << hex("56 312E3030 FFFFFFFFFF");
    QTest::newRow("version frame, bare V")
        << versionFrame(information("", "V")) << hex("56 FFFFFFFFFFFFFFFFFF");
    QTest::newRow("test mode entry") << testModeEntryWord() << QByteArray("QALIBR ");
    QTest::newRow("test frequency 3")
        << testFrameBytes(FrameReadTestFreq) + testFrameBytes(FrameValue1, 3) << hex("1003");
    QTest::newRow("set parameter 24 to 130")
        << testFrameBytes(FrameSetValue, 24, 130) << hex("182082");
    QTest::newRow("read parameter 34") << testFrameBytes(FrameReadOne, 34) << hex("220A");
    QTest::newRow("transmitter off")
        << testFrameBytes(FrameValue1, 8) + testFrameBytes(FrameOff) << hex("080D");
}

void TestProtocol::frames() {
    QFETCH(QByteArray, frame);
    QFETCH(QByteArray, expected);
    QCOMPARE(frame.toHex(' '), expected.toHex(' '));
}

void TestProtocol::classify_data() {
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("address");
    QTest::addColumn<ReplyKind>("kind");
    QTest::newRow("acknowledge") << hex("06") << 0 << ReplyKind::Ack;
    QTest::newRow("two acknowledges") << hex("0606") << 0 << ReplyKind::None;
    QTest::newRow("another byte") << hex("15") << 0 << ReplyKind::None;
    QTest::newRow("identification") << Ident << 0 << ReplyKind::Ident;
    QTest::newRow("identification, 13 bytes") << Ident.left(13) << 0 << ReplyKind::None;
    QTest::newRow("identification, 15 bytes") << Ident + '\0' << 0 << ReplyKind::None;
    QTest::newRow("data frame") << Block << 0x1F00 << ReplyKind::Data;
    QTest::newRow("data frame, checksum off by one")
        << hex("571F0004 41424344 2E") << 0x1F00 << ReplyKind::None;
    QTest::newRow("data frame of another block") << Block << 0x1F10 << ReplyKind::None;
    QTest::newRow("data frame, one byte short") << Block.left(8) << 0x1F00 << ReplyKind::None;
    QTest::newRow("data frame, head only") << Block.left(4) << 0x1F00 << ReplyKind::None;
    // Before the first block a read stands at -64: the address is compared as two bytes.
    QTest::newRow("data frame, address wraps")
        << hex("57FFC004 41424344 CD") << -64 << ReplyKind::Data;
    QTest::newRow("information record") << InfoReply << 0 << ReplyKind::Information;
    QTest::newRow("information record, longer")
        << InfoReply.left(33) + hex("FF B3") << 0 << ReplyKind::Information;
    QTest::newRow("information record, bad checksum")
        << InfoReply.left(33) + hex("B5") << 0 << ReplyKind::None;
    QTest::newRow("information record, 33 bytes") << InfoReply.left(33) << 0 << ReplyKind::None;
    QTest::newRow("version") << hex("56 312E3030 FFFFFFFFFF") << 0 << ReplyKind::Version;
    QTest::newRow("version, 9 bytes") << hex("56 312E3030 FFFFFFFF") << 0 << ReplyKind::None;
    QTest::newRow("nothing") << QByteArray() << 0 << ReplyKind::None;
}

void TestProtocol::classify() {
    QFETCH(QByteArray, reply);
    QFETCH(int, address);
    QFETCH(ReplyKind, kind);
    QCOMPARE(classifyReply(reply, address, 4).kind, kind);
}

void TestProtocol::decodedReplies() {
    const Reply ident = classifyReply(Ident, 0, 4);
    QCOMPARE(ident.identity.modelCode, QByteArray("SOLV"));
    QCOMPARE(ident.identity.bandCode, 4);
    QCOMPARE(ident.identity.modelClass, 0xF8);
    QCOMPARE(ident.identity.firmware, QByteArray("V100"));
    QCOMPARE(classifyReply(Block, 0x1F00, 4).data, QByteArray("ABCD"));
    const Reply info = classifyReply(InfoReply, 0, 4);
    QCOMPARE(info.information.modelNameCopy, QStringLiteral("715"));
    QCOMPARE(info.information.typeLetter, int16_t(67));
    QCOMPARE(info.information.bandCodeCopy, int16_t(0x21));
    QCOMPARE(info.information.createDate, QByteArray("2010\0\0\0\0", 8));
    QCOMPARE(classifyReply(hex("56 312E3030 FFFFFFFFFF"), 0, 4).version, QByteArray("V1.00\0", 6));
}

void TestProtocol::testModeReplies_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("value1");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("matches");
    QTest::newRow("acknowledge") << int(ReplyAck) << 0 << hex("06") << true;
    QTest::newRow("acknowledge, other byte") << int(ReplyAck) << 0 << hex("07") << false;
    QTest::newRow("identification") << int(ReplyIdent) << 0 << Ident << true;
    // The identify group names 8 as its reply length; only the whole 14 bytes count.
    QTest::newRow("identification, 8 bytes") << int(ReplyIdent) << 0 << Ident.left(8) << false;
    QTest::newRow("parameter block") << int(ReplyBlock) << 0 << QByteArray(62, 'x') << true;
    QTest::newRow("parameter block, 61") << int(ReplyBlock) << 0 << QByteArray(61, 'x') << false;
    QTest::newRow("test frequency") << int(ReplyTestFreq) << 3 << QByteArray(8, char(0xFF)) << true;
    QTest::newRow("four values") << int(ReplyValues) << 4 << hex("01020304") << true;
    QTest::newRow("four values, three came") << int(ReplyValues) << 4 << hex("010203") << false;
    QTest::newRow("no values awaited") << int(ReplyValues) << 0 << QByteArray() << false;
    QTest::newRow("one value, any byte") << int(ReplyOneValue) << 34 << hex("9A") << true;
}

void TestProtocol::testModeReplies() {
    QFETCH(int, kind);
    QFETCH(int, value1);
    QFETCH(QByteArray, reply);
    QFETCH(bool, matches);
    QCOMPARE(testReplyMatches(kind, value1, reply), matches);
}

QTEST_GUILESS_MAIN(TestProtocol)
#include "tst_protocol.moc"
