// The radio memory image: frequency byte form, slots, bitmaps, options, header, messages.
#include "comm/codec.h"
#include "config/datafile.h"
#include "editors/channelrules.h"
#include "testsupport.h"

#include <QTest>

Q_DECLARE_METATYPE(const Product*)

namespace {
QByteArray hex(const char* h) { return QByteArray::fromHex(h); }
QByteArray builtImage(const Document& doc) {
    QByteArray image;
    ClearRadioImage(doc.product(), image);
    const auto error = BuildRadioImage(doc, image);
    if (error) qWarning("%s", qPrintable(*error));
    return error ? QByteArray() : image;
}
} // namespace

class TestCodec : public QObject {
    Q_OBJECT
    Document doc{meridoxProduct()};
    Document older{solvirProduct()};

private slots:
    void init() {
        doc.initialiseDefaults();
        older.initialiseDefaults();
    }
    void frequencyForm_data();
    void frequencyForm();
    void olderFrequencyForm();
    void clearedImage_data();
    void clearedImage();
    void slotsAndBitmaps();
    void optionBytes();
    void headerAndMessages();
    void roundTrip_data();
    void roundTrip();
    void emptyGroupReadsBackEmpty();
    void unreadableTransmitTakesReceive();
    void unreadableReceiveDropsChannel();
    void parseRejects_data();
    void parseRejects();
    void buildRefuses_data();
    void buildRefuses();
    void localInformation();
};

void TestCodec::frequencyForm_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("decoded");
    QTest::newRow("in band") << "28015050" << hex("2801500500") << "28015050";
    QTest::newRow("lower limit") << "25605000" << hex("256150E883") << "25605000";
    QTest::newRow("upper limit") << "30115000" << hex("301050E803") << "30115000";
    QTest::newRow("at high edge") << "30105000" << hex("3010500000") << "30105000";
    QTest::newRow("one Hz above high edge") << "30105001" << hex("3010500000") << "30105000";
    QTest::newRow("ends 05: half to even") << "28015005" << hex("2801500000") << "28015000";
    QTest::newRow("ends 15: half to even") << "28015015" << hex("2801500200") << "28015020";
    QTest::newRow("empty") << "" << hex("FFFFFF0000") << "";
    QTest::newRow("empty text") << QString(QChar(0)) + QStringLiteral("       ") << hex("FFFFFF0000") << "";
    QTest::newRow("unset") << "FFFFFFFF" << hex("FFFFFF0000") << "";
    QTest::newRow("short text is filled") << "2801" << hex("2801000000") << "28010000";
}

void TestCodec::frequencyForm() {
    QFETCH(QString, stored);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, decoded);
    const auto encoded = encodeFrequency(doc, stored);
    QVERIFY(encoded);
    QCOMPARE(encoded->toHex(' '), bytes.toHex(' '));
    const DecodedFrequency d = decodeFrequency(meridoxProduct(), bytes);
    QCOMPARE(d.numeric, !decoded.isEmpty());
    if (d.numeric) QCOMPARE(d.text, decoded);
}

void TestCodec::olderFrequencyForm() {
    QCOMPARE(encodeFrequency(older, QStringLiteral("28015050"))->toHex(), QByteArray("28015050"));
    QCOMPARE(encodeFrequency(older, QString())->toHex(), QByteArray("ffffffff"));
    const DecodedFrequency d = decodeFrequency(solvirProduct(), hex("27123450"));
    QVERIFY(d.numeric);
    QCOMPARE(d.text, QStringLiteral("27123450"));
    QVERIFY(!decodeFrequency(solvirProduct(), hex("2712A450")).numeric);
}

void TestCodec::clearedImage_data() {
    QTest::addColumn<const Product*>("product");
    QTest::newRow("meridox") << &meridoxProduct();
    QTest::newRow("solvir") << &solvirProduct();
}

void TestCodec::clearedImage() {
    QFETCH(const Product*, product);
    QByteArray image("junk");
    ClearRadioImage(*product, image);
    QCOMPARE(image.size(), product->memorySize);
    QCOMPARE(image.mid(product->presentBase, 96), QByteArray(96, '\0'));
    QCOMPARE(uint8_t(image.at(product->presentBase - 1)), 0xFF);
    QCOMPARE(uint8_t(image.at(product->presentBase + 96)), 0xFF);
}

void TestCodec::slotsAndBitmaps() {
    doc.config.currentGroup = 5;
    UpdateChannelCell(doc, 60, ColRx, QStringLiteral("27.5"));
    doc.config.currentGroup = 1;
    UpdateChannelCell(doc, 9, ColRx, QStringLiteral("26.5"));
    UpdateChannelCell(doc, 9, ColScan, QStringLiteral("0"));
    UpdateChannelCell(doc, 9, 3, QStringLiteral("1")); // BUSY
    UpdateChannelCell(doc, 9, 9, QStringLiteral("1")); // RB
    const QByteArray image = builtImage(doc);
    QVERIFY(!image.isEmpty());
    QCOMPARE(image.mid(0x194E, 5).toHex(), QByteArray("2750000000")); // group F channel 60
    QCOMPARE(uint8_t(image.at(0x194E + 10)), 0x08);                    // ECHO only
    const int slot = 0x0010 + (60 + 8) * 18;
    QCOMPARE(uint8_t(image.at(slot + 10)), 0x02 | 0x08 | 0x80);
    QCOMPARE(image.mid(slot + 11, 7), QByteArray(7, char(0xFF)));
    QCOMPARE(uint8_t(image.at(0x1D09)), 0x01); // present: group B channel 9
    QCOMPARE(uint8_t(image.at(0x1D08)), 0x01); // and channel 1
    QCOMPARE(uint8_t(image.at(0x1D39)), 0x00); // scan delete
    QCOMPARE(uint8_t(image.at(0x1D38)), 0x01);
    QCOMPARE(uint8_t(image.at(0x1D2F)), 0x08); // group F channel 60: bit 3 of its 8th byte
    QCOMPARE(image.left(16), QByteArray(16, char(0xFF))); // never written
    // Older radio: 10-byte slots with all eight digits, bitmaps at 0x0E20.
    older.config.currentGroup = 1;
    UpdateChannelCell(older, 9, ColRx, QStringLiteral("26.5"));
    const QByteArray small = builtImage(older);
    QCOMPARE(small.size(), 4096);
    const int oslot = 0x0010 + (60 + 8) * 10;
    QCOMPARE(small.mid(oslot, 9).toHex(), QByteArray("265000002650000008"));
    QCOMPARE(uint8_t(small.at(0x0E20 + 8 + 1)), 0x01);
    QCOMPARE(uint8_t(small.at(0x0E50 + 8 + 1)), 0x01);
}

void TestCodec::optionBytes() {
    auto& w = doc.config.optionWords;
    w[39] = 300;
    w[1] = 0x1234;
    w[12] = 1, w[13] = 0, w[14] = 1, w[15] = 0, w[16] = 0, w[17] = 1;
    for (int i = 30; i <= 36; ++i) w[size_t(i)] = (i % 2);
    w[19] = 1;
    w[11] = 170, w[10] = 105;
    const QByteArray image = builtImage(doc);
    QCOMPARE(image.mid(0x1D7D, 2).toHex(), QByteArray("012c"));
    QCOMPARE(image.mid(0x1D61, 2).toHex(), QByteArray("1234"));
    QCOMPARE(uint8_t(image.at(0x1D6C)), 0x25);
    QCOMPARE(uint8_t(image.at(0x1D6E)), 0x54);
    QCOMPARE(uint8_t(image.at(0x1D6A)), 170);
    QCOMPARE(uint8_t(image.at(0x1D6B)), 105);
    QCOMPARE(uint8_t(image.at(0x1D7F)), 0xFF);
    QCOMPARE(image.mid(0x1D82, 14), QByteArray(14, char(0xFF)));
    // Word 19 does not travel: a read leaves it as it was.
    Document back(meridoxProduct());
    back.initialiseDefaults();
    back.config.optionWords[19] = 0;
    QVERIFY(!ParseRadioImage(back, image));
    QCOMPARE(back.config.optionWords[19], 0);
    QCOMPARE(back.config.optionWords[39], 300);
    QCOMPARE(back.config.optionWords[17], 1);
    QCOMPARE(back.config.optionWords[31], 1);
}

void TestCodec::headerAndMessages() {
    doc.config.embeddedMessage[0].assign(QByteArray("HELLO WORLD\0", 12));
    doc.config.embeddedMessage[1].assign(QByteArray(32, 'X'));
    const QByteArray image = builtImage(doc);
    QCOMPARE(image.mid(0x1D90, 8).toHex(), QByteArray("50534f4c5604f8ff"));
    QCOMPARE(image.mid(0x1DA0, 12), QByteArray("HELLO WORLD\xFF"));
    QCOMPARE(image.mid(0x1DC0, 32), QByteArray(32, 'X'));
    Document back(meridoxProduct());
    back.initialiseDefaults();
    QVERIFY(!ParseRadioImage(back, image));
    QCOMPARE(back.config.embeddedMessage[0].raw(), QByteArray("HELLO WORLD\0", 12) + QByteArray(20, ' '));
    QCOMPARE(back.config.embeddedMessage[1].raw(), QByteArray(32, 'X'));
}

void TestCodec::roundTrip_data() { clearedImage_data(); }

void TestCodec::roundTrip() {
    QFETCH(const Product*, product);
    ScriptedMessages msgs;
    Document a(*product);
    a.initialiseDefaults();
    a.config.currentGroup = 3;
    for (int n : {40, 2, 17}) UpdateChannelCell(a, n, ColRx, QStringLiteral("27.%1").arg(n));
    UpdateChannelCell(a, 17, ColTx, QStringLiteral("29.1"));
    UpdateChannelCell(a, 2, 7, QStringLiteral("1"));
    a.config.optionWords[27] = 16;
    a.config.keyAssign[0] = 3; // not in the image: a read keeps the reader's value
    const QByteArray image = builtImage(a);
    Document b(*product);
    b.initialiseDefaults();
    QVERIFY(!ParseRadioImage(b, image));
    QCOMPARE(b.config.groupChannelCount[3], 4);
    const int expected[] = {1, 2, 17, 40}; // sorted by channel number
    for (int k = 1; k <= 4; ++k) {
        const ChannelEntry& e = b.config.entry(3, k);
        QCOMPARE(e.channelNo, expected[k - 1]);
        const int place = findChannelPlace(a, 3, e.channelNo);
        QCOMPARE(e.rxFreq, a.config.entry(3, place).rxFreq);
        QCOMPARE(e.txFreq, a.config.entry(3, place).txFreq);
        QCOMPARE(e.channelFlags, a.config.entry(3, place).channelFlags);
        QCOMPARE(e.scanFlag, a.config.entry(3, place).scanFlag);
    }
    for (int i = 0; i < product->optionWordCount; ++i)
        if (i != 19) QCOMPARE(b.config.optionWords[size_t(i)], a.config.optionWords[size_t(i)]);
    QCOMPARE(b.config.keyAssign[0], 255);
    QCOMPARE(b.currentModel, product->hasVersionField ? QStringLiteral("SOLV") : QStringLiteral("5480"));
    // Building again from what was read gives the same image.
    QCOMPARE(builtImage(b).toHex(), image.toHex());
}

void TestCodec::emptyGroupReadsBackEmpty() {
    QByteArray image = builtImage(doc);
    image.replace(0x1D00 + 2 * 8, 8, QByteArray(8, '\0'));
    QVERIFY(!ParseRadioImage(doc, image));
    QCOMPARE(doc.config.groupChannelCount[2], 0);
    RefreshEmergencyChannels(doc);
    QCOMPARE(doc.config.optionWords[26], -1);
    // Written back, the empty group's missing emergency channel is erased memory.
    const QByteArray again = builtImage(doc);
    QCOMPARE(uint8_t(again.at(0x1D77)), 0xFF);
}

void TestCodec::unreadableTransmitTakesReceive() {
    doc.config.currentGroup = 0;
    UpdateChannelCell(doc, 2, ColRx, QStringLiteral("27"));
    UpdateChannelCell(doc, 2, ColTx, QStringLiteral("29"));
    QByteArray image = builtImage(doc);
    // The reader's record holds another channel's data in place 2.
    Document reader(meridoxProduct());
    reader.initialiseDefaults();
    reader.addChannel(0, 5, QStringLiteral("26.000000"));
    const int slot = 0x0010 + 1 * 18;
    image.replace(slot + 5, 5, hex("FFFFFF0000"));
    QVERIFY(!ParseRadioImage(reader, image));
    QCOMPARE(reader.config.entry(0, 2).channelNo, 2);
    QCOMPARE(reader.config.entry(0, 2).txFreq.raw(), QByteArray("27000000"));
    QCOMPARE(reader.config.entry(0, 2).txExtra, 0);
}

void TestCodec::unreadableReceiveDropsChannel() {
    UpdateChannelCell(doc, 2, ColRx, QStringLiteral("27"));
    UpdateChannelCell(doc, 3, ColRx, QStringLiteral("28"));
    QByteArray image = builtImage(doc);
    image.replace(0x0010 + 1 * 18, 3, hex("2A0000"));
    QVERIFY(!ParseRadioImage(doc, image));
    QCOMPARE(doc.config.groupChannelCount[0], 2);
    QCOMPARE(doc.config.entry(0, 2).channelNo, 3);
}

void TestCodec::parseRejects_data() {
    QTest::addColumn<int>("address");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("names");
    QTest::newRow("receive offset over 32767 Hz")
        << 0x0010 << hex("280150D00C") << "Group A channel 1";
    QTest::newRow("transmit offset over 32767 Hz")
        << 0x0010 + 5 << hex("280150D08C") << "Group A channel 1";
    QTest::newRow("option word 1 high bit") << 0x1D61 << hex("80") << "Option setting 1";
    QTest::newRow("option word 39 high bit") << 0x1D7D << hex("FF") << "Option setting 39";
}

void TestCodec::parseRejects() {
    QFETCH(int, address);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, names);
    QByteArray image = builtImage(doc);
    image.replace(address, bytes.size(), bytes);
    Document reader(meridoxProduct());
    reader.initialiseDefaults();
    reader.config.optionWords[0] = 9;
    reader.currentBand = QStringLiteral("136 - 174 MHz");
    const QByteArray before = encodeRecord(meridoxProduct(), reader.config);
    const auto error = ParseRadioImage(reader, image);
    QVERIFY(error);
    QVERIFY2(error->contains(names), qPrintable(*error));
    QCOMPARE(encodeRecord(meridoxProduct(), reader.config), before);
    QCOMPARE(reader.currentBand, QStringLiteral("136 - 174 MHz"));
    QVERIFY(ParseRadioImage(reader, QByteArray(100, '\0'))); // wrong size
}

void TestCodec::buildRefuses_data() {
    QTest::addColumn<int>("change");
    QTest::addColumn<QString>("names");
    QTest::newRow("byte option over 255") << 0 << "Option setting 9";
    QTest::newRow("negative byte option") << 1 << "Option setting 21";
    QTest::newRow("bit option not 0/1") << 2 << "Option setting 14";
    QTest::newRow("frequency far outside the band") << 3 << "Group B channel 1";
    QTest::newRow("channel number 61") << 4 << "61";
    QTest::newRow("group count 61") << 5 << "Group C";
    QTest::newRow("channel flag 2") << 6 << "Group A channel 1";
}

void TestCodec::buildRefuses() {
    QFETCH(int, change);
    QFETCH(QString, names);
    RadioConfig& c = doc.config;
    switch (change) {
    case 0: c.optionWords[9] = 256; break;
    case 1: c.optionWords[21] = -3; break;
    case 2: c.optionWords[14] = 2; break;
    case 3: c.entry(1, 1).txFreq.assign(QByteArray("10000000")); break;
    case 4: c.entry(0, 1).channelNo = 61; break;
    case 5: c.groupChannelCount[2] = 61; break;
    case 6: c.entry(0, 1).channelFlags[2] = 2; break;
    }
    QByteArray image;
    ClearRadioImage(meridoxProduct(), image);
    const auto error = BuildRadioImage(doc, image);
    QVERIFY(error);
    QVERIFY2(error->contains(names), qPrintable(*error));
}

void TestCodec::localInformation() {
    QByteArray image;
    ClearRadioImage(meridoxProduct(), image);
    image.replace(0x1F08, 4, "0595");
    image.replace(0x1F10, 16, QByteArray("SN123\0garbage___", 16));
    image.replace(0x1F90, 96, QByteArray(96, 'D'));
    image.replace(0x1F80, 3, "BOB");
    const LocalInformation info = ParseLocalInformation(meridoxProduct(), image);
    QCOMPARE(info[0], QStringLiteral("0595"));
    QCOMPARE(info[1], QStringLiteral("SN123"));
    QCOMPARE(info[2], QString());
    QCOMPARE(info[4], QString(96, QLatin1Char('D')));
    QCOMPARE(info[11], QStringLiteral("BOB"));
    QByteArray small;
    ClearRadioImage(solvirProduct(), small);
    small.replace(0x0F08, 4, "1234");
    QCOMPARE(ParseLocalInformation(solvirProduct(), small)[0], QStringLiteral("1234"));
    QCOMPARE(ParseLocalInformation(meridoxProduct(), QByteArray(10, 'x'))[0], QString());
}

QTEST_GUILESS_MAIN(TestCodec)
#include "tst_codec.moc"
