// Radio memory image: frequency byte form, memory map, build and parse.
#include "core/channels/channelrules.h"
#include "core/comm/codec.h"
#include "core/config/datafile.h"
#include "recordedit.h"
#include "testsupport.h"

#include <QTest>
#include <functional>

using Change = std::function<void(RadioConfig&)>;
Q_DECLARE_METATYPE(Change)

namespace {
const Product* M = &meridoxProduct();
const Product* S = &solvirProduct();

Document defaults(const Product& p) {
    Document d(p);
    d.initialiseDefaults();
    return d;
}
QByteArray built(const Document& doc) {
    QByteArray image;
    clearRadioImage(doc.product(), image);
    if (const auto e = buildRadioImage(doc, image)) qWarning() << *e;
    return image;
}
QByteArray hex(const char* h) {
    return QByteArray::fromHex(h);
}
} // namespace

class TestCodec : public QObject {
    Q_OBJECT
  private slots:
    void emptyGroupHasNoEmergencyChannel();
    void frequencyBytes_data();
    void frequencyBytes();
    void channelPlaces_data();
    void channelPlaces();
    void builtLayout_data() { products(); }
    void builtLayout();
    void roundTrip_data() { products(); }
    void roundTrip();
    void parseChannelRules_data() { products(); }
    void parseChannelRules();
    void parseRejected_data();
    void parseRejected();
    void buildRefused_data();
    void buildRefused();
    void wrongImageSize_data() { products(); }
    void wrongImageSize();
    void localInformation_data() { products(); }
    void localInformation();

  private:
    static void products() {
        QTest::addColumn<const Product*>("product");
        QTest::newRow("meridox") << M;
        QTest::newRow("solvir") << S;
    }
};

void TestCodec::frequencyBytes_data() {
    QTest::addColumn<const Product*>("product");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("decoded"); // empty: the digits are not BCD
    QTest::addColumn<int>("extra");
    QTest::addColumn<bool>("overflow");
    // Band 25.605 - 30.115 MHz: the base digits stay within 25.615 .. 30.105 MHz.
    QTest::newRow("in band") << M << "28015050" << hex("2801500500") << "28015050" << 50 << false;
    // Below the band the extra keeps the offset's size (10000 Hz); its sign bit subtracts it.
    QTest::newRow("below") << M << "25605000" << hex("256150E883") << "25605000" << 10000 << false;
    QTest::newRow("above") << M << "30115000" << hex("301050E803") << "30115000" << 10000 << false;
    QTest::newRow("at high edge") << M << "30105000" << hex("3010500000") << "30105000" << 0
                                  << false;
    QTest::newRow("1 Hz above edge")
        << M << "30105001" << hex("3010500000") << "30105000" << 0 << false;
    QTest::newRow("150 Hz above edge")
        << M << "30105150" << hex("3010500F00") << "30105150" << 150 << false;
    QTest::newRow("05 to even") << M << "28015005" << hex("2801500000") << "28015000" << 0 << false;
    QTest::newRow("15 to even") << M << "28015015" << hex("2801500200") << "28015020" << 20
                                << false;
    QTest::newRow("short, terminated") << M << QStringLiteral("2801505") + QChar(0)
                                       << hex("2801500500") << "28015050" << 50 << false;
    QTest::newRow("empty") << M << "" << hex("FFFFFF0000") << "" << 0 << false;
    QTest::newRow("eight F") << M << "FFFFFFFF" << hex("FFFFFF0000") << "" << 0 << false;
    QTest::newRow("not a number") << M << "28A15000" << hex("FFFFFF0000") << "" << 0 << false;
    // 3276 steps (32760 Hz) are the most a read gives back, so they are the most a build sends.
    QTest::newRow("3276 steps below")
        << M << "25582240" << hex("256150CC8C") << "25582240" << 32760 << false;
    QTest::newRow("3276 steps above")
        << M << "30137760" << hex("301050CC0C") << "30137760" << 32760 << false;
    QTest::newRow("solvir digits")
        << S << "28015057" << hex("28015057") << "28015057" << 0 << false;
    QTest::newRow("solvir no band")
        << S << "12345678" << hex("12345678") << "12345678" << 0 << false;
    QTest::newRow("solvir empty") << S << "" << hex("FFFFFFFF") << "" << 0 << false;
    // No byte form (empty bytes): the offset overflows, or the digits are not plain digits.
    QTest::newRow("3277 steps below") << M << "25582230" << QByteArray() << "" << 0 << false;
    QTest::newRow("3277 steps above") << M << "30137770" << QByteArray() << "" << 0 << false;
    QTest::newRow("32767 steps below") << M << "25287330" << QByteArray() << "" << 0 << false;
    QTest::newRow("far above") << M << "99000000" << QByteArray() << "" << 0 << false;
    QTest::newRow("decimal point") << M << "28.01500" << QByteArray() << "" << 0 << false;
    QTest::newRow("sign") << M << "-2801500" << QByteArray() << "" << 0 << false;
    QTest::newRow("solvir point") << S << "28.01500" << QByteArray() << "" << 0 << false;
    QTest::newRow("solvir 9 digits") << S << "280150000" << QByteArray() << "" << 0 << false;
}

void TestCodec::frequencyBytes() {
    QFETCH(const Product*, product);
    QFETCH(QString, stored);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, decoded);
    QFETCH(int, extra);
    QFETCH(bool, overflow);
    const auto encoded = encodeFrequency(defaults(*product), stored);
    QCOMPARE(bool(encoded), !bytes.isEmpty());
    if (!encoded) return;
    QCOMPARE(encoded->toHex().toUpper(), bytes.toHex().toUpper());
    const DecodedFrequency d = decodeFrequency(*product, bytes);
    QCOMPARE(d.numeric, !decoded.isEmpty());
    if (d.numeric) QCOMPARE(d.text, decoded);
    QCOMPARE(d.extraHz, extra);
    QCOMPARE(d.overflow, overflow);
}

void TestCodec::channelPlaces_data() {
    QTest::addColumn<const Product*>("product");
    QTest::addColumn<int>("group");
    QTest::addColumn<int>("channel");
    QTest::addColumn<int>("slot");
    QTest::addColumn<int>("bitmapByte");
    QTest::addColumn<int>("bit");
    QTest::newRow("F60") << M << 5 << 60 << 0x194E << 0x1D2F << 3;
    QTest::newRow("B9") << M << 1 << 9 << 0x04D8 << 0x1D09 << 0;
    QTest::newRow("solvir F60") << S << 5 << 60 << 0x0E16 << 0x0E4F << 3;
    QTest::newRow("solvir B9") << S << 1 << 9 << 0x02B8 << 0x0E29 << 0;
}

void TestCodec::channelPlaces() {
    QFETCH(const Product*, product);
    QFETCH(int, group);
    QFETCH(int, channel);
    QFETCH(int, slot);
    QFETCH(int, bitmapByte);
    QFETCH(int, bit);
    Document doc = defaults(*product);
    editRecord(doc, [&](RadioConfig& c) { c.groupChannelCount[size_t(group)] = 0; });
    doc.addChannel(group, channel, QStringLiteral("28.115000"));
    editRecord(doc, [&](RadioConfig& c) {
        c.entry(group, 1).channelFlags[1] = 1;
    }); // BUSY, with ECHO and RB
    editRecord(doc, [&](RadioConfig& c) { c.entry(group, 1).channelFlags[7] = 1; });
    QByteArray image = built(doc);
    const QByteArray f = *encodeFrequency(doc, QStringLiteral("28115000"));
    QCOMPARE(image.mid(slot, 2 * f.size()), f + f);
    QCOMPARE(uint8_t(image.at(slot + 2 * f.size())), 0x8A);
    const int unused = product->slotSize - 2 * int(f.size()) - 1;
    QCOMPARE(image.mid(slot + product->slotSize - unused, unused), QByteArray(unused, char(0xFF)));
    const int scanByte = bitmapByte - product->presentBase + product->scanBase;
    QCOMPARE(uint8_t(image.at(bitmapByte)), 1 << bit);
    QCOMPARE(uint8_t(image.at(scanByte)), 1 << bit);
    editRecord(doc, [&](RadioConfig& c) { c.entry(group, 1).scanFlag = 0; });
    QCOMPARE(uint8_t(built(doc).at(scanByte)), 0);
}

void TestCodec::builtLayout() {
    QFETCH(const Product*, product);
    Document doc = defaults(*product);
    RadioConfig c = doc.config();
    auto& w = c.optionWords;
    w[1] = 0x1234;
    w[39] = 300;
    w[10] = 110;
    w[11] = 160;
    w[24] = 5;
    w[29] = 9;
    for (int i = 12; i <= 17; ++i)
        w[size_t(i)] = (i == 12 || i == 14 || i == 17) ? 1 : 0;
    for (int i = 30; i <= 36; ++i)
        w[size_t(i)] = (i == 30 || i == 36) ? 1 : 0;
    setRecord(doc, c);
    editRecord(doc, [&](RadioConfig& c) {
        c.entry(0, 1).txFreq.assign(QByteArray(""));
    }); // no TX: sent unset, RX is used
    const QByteArray image = built(doc);
    const int o = product->optionBase;
    if (product->hasChannelExtras)
        QCOMPARE(image.mid(0x0010 + 5, 5), hex("FFFFFF0000"));
    else
        QCOMPARE(image.mid(0x0010 + 4, 4), hex("FFFFFFFF"));
    QCOMPARE(image.left(16), QByteArray(16, char(0xFF))); // the radio's own header
    QCOMPARE(image.mid(product->headerBase, 8).toHex(), QByteArray("50534f4c5604f8ff"));
    QCOMPARE(image.mid(o + 1, 2), hex("1234"));
    QCOMPARE(uint8_t(image.at(o + 0x0A)), 160);
    QCOMPARE(uint8_t(image.at(o + 0x0B)), 110);
    QCOMPARE(uint8_t(image.at(o + 0x0C)), 0x25);
    QCOMPARE(uint8_t(image.at(o + 0x0E)), 0x82);
    QCOMPARE(uint8_t(image.at(o + 0x15)), 5);
    QCOMPARE(uint8_t(image.at(o + 0x1A)), 9);
    if (product->optionWordCount > 39) {
        QCOMPARE(image.mid(0x1D7D, 2), hex("012C"));
        QCOMPARE(uint8_t(image.at(0x1D7F)), 0xFF);
        QCOMPARE(image.mid(0x1960, 0x1D00 - 0x1960), QByteArray(0x1D00 - 0x1960, char(0xFF)));
    } else {
        QCOMPARE(image.mid(o + 0x1B, 5), QByteArray(5, char(0xFF))); // no words 37..41
    }
}

void TestCodec::roundTrip() {
    QFETCH(const Product*, product);
    Document source = defaults(*product);
    for (int n : {12, 3, 7})
        source.addChannel(0, n, QStringLiteral("28.%1").arg(n * 11300, 6, 10, QLatin1Char('0')));
    RadioConfig c = source.config();
    c.entry(0, 2).txFreq.assign(QByteArray("25605000"));
    c.entry(0, 2).scanFlag = 0;
    c.entry(0, 3).channelFlags = {0, 1, 1, 0, 1, 0, 1, 1};
    c.groupChannelCount[2] = 0;
    for (int i = 0; i < product->optionWordCount; ++i)
        c.optionWords[size_t(i)] = int16_t(((i >= 12 && i <= 17) || i >= 30) ? i % 2 : 3 * i);
    c.optionWords[1] = 20000;
    c.embeddedMessage[0].assign(QByteArray("HELLO\0", 6));
    c.embeddedMessage[1].assign(QByteArray("0123456789ABCDEF0123456789ABCDEF"));
    setRecord(source, c);

    Document target = defaults(*product);
    editRecord(target, [&](RadioConfig& c) { c.optionWords[19] = 5; });
    editRecord(target, [&](RadioConfig& c) { c.keyAssign = {1, 2}; });
    useModelAndBand(target, QStringLiteral("WX40"), QStringLiteral("26.51500 - 27.85500 MHz"));
    QVERIFY(!parseRadioImage(target, built(source)));
    const RadioConfig& r = target.config();
    QCOMPARE(r.groupChannelCount[0], 4);
    QCOMPARE(r.groupChannelCount[2], 0);
    const int order[] = {1, 3, 4, 2}; // source places in channel number order 1, 3, 7, 12
    for (int k = 1; k <= 4; ++k) {
        const ChannelEntry& a = c.entry(0, order[k - 1]);
        const ChannelEntry& b = r.entry(0, k);
        QCOMPARE(b.channelNo, a.channelNo);
        QCOMPARE(b.rxFreq.raw(), a.rxFreq.raw());
        QCOMPARE(b.txFreq.raw(), a.txFreq.raw());
        QCOMPARE(b.scanFlag, a.scanFlag);
        QCOMPARE(b.channelFlags, a.channelFlags);
    }
    if (product->hasChannelExtras) QCOMPARE(r.entry(0, 4).txExtra, 10000); // channel 12, below
    for (int i = 0; i < product->optionWordCount; ++i)
        QCOMPARE(r.optionWords[size_t(i)], i == 19 ? 5 : c.optionWords[size_t(i)]);
    QCOMPARE(r.embeddedMessage[0].raw(), c.embeddedMessage[0].raw());
    QCOMPARE(r.embeddedMessage[1].raw(), c.embeddedMessage[1].raw());
    QCOMPARE(r.keyAssign, (std::array<int16_t, 2>{1, 2}));
    // Model and band come from the header: class 248 with band code 4.
    QCOMPARE(target.model(), product == M ? QStringLiteral("SOLV") : QStringLiteral("5480"));
    QCOMPARE(target.band(), product->band4Text);
    QCOMPARE(target.lowerLimit(), deriveFrequencyLimits(product->band4Text).lower);
}

void TestCodec::parseChannelRules() {
    QFETCH(const Product*, product);
    Document source = defaults(*product);
    source.addChannel(0, 2, QStringLiteral("28.200000"));
    source.addChannel(0, 5, QStringLiteral("28.500000"));
    QByteArray image = built(source);
    const int fs = product->bcdDigits / 2;
    auto slot = [&](int g, int n) { return 0x10 + (g * 60 + n - 1) * product->slotSize; };
    image.replace(slot(0, 2), fs, QByteArray(fs, char(0xFF))); // RX not BCD: dropped
    const int txDigits = slot(1, 1) + fs + (product->hasChannelExtras ? 2 : 0);
    image.replace(txDigits, fs, QByteArray(fs, char(0xFF)));          // TX not BCD
    image.replace(product->presentBase + 3 * 8, 8, QByteArray(8, 0)); // group D empty
    image[product->presentBase + 4 * 8 + 7] = char(0xF0);             // channels 61..64

    Document target = defaults(*product);
    editRecord(target,
               [&](RadioConfig& c) { c.entry(1, 1).txFreq.assign(QByteArray("29999990")); });
    editRecord(target, [&](RadioConfig& c) { c.entry(1, 1).txExtra = 123; });
    QVERIFY(!parseRadioImage(target, image));
    const RadioConfig& r = target.config();
    QCOMPARE(r.groupChannelCount[0], 2);
    QCOMPARE(r.entry(0, 2).channelNo, 5);
    QCOMPARE(r.entry(0, 2).rxFreq.raw(), QByteArray("28500000"));
    QCOMPARE(r.entry(1, 1).txFreq.raw(), r.entry(1, 1).rxFreq.raw());
    QCOMPARE(r.entry(1, 1).txExtra, product->hasChannelExtras ? 0 : 123);
    QCOMPARE(r.groupChannelCount[3], 0);
    QCOMPARE(r.groupChannelCount[4], 1);
}

void TestCodec::parseRejected_data() {
    QTest::addColumn<const Product*>("product");
    QTest::addColumn<int>("address");
    QTest::addColumn<QByteArray>("patch");
    QTest::addColumn<QString>("error"); // empty: the image is accepted
    QTest::newRow("RX offset 3277 steps") << M << 0x0448 + 3 << hex("CD0C") << "Group B channel 1:";
    QTest::newRow("TX offset 3277 steps") << M << 0x0448 + 8 << hex("CD8C") << "Group B channel 1:";
    QTest::newRow("offset 3276 steps") << M << 0x0448 + 3 << hex("CC0C") << "";
    QTest::newRow("beyond 8 digits") << M << 0x0010 << hex("999999CC0C") << "Group A channel 1:";
    QTest::newRow("word 1") << M << 0x1D61 << hex("80") << "Option word 1:";
    QTest::newRow("word 39") << M << 0x1D7D << hex("FFFF") << "Option word 39:";
    QTest::newRow("solvir word 3") << S << 0x0E84 << hex("80") << "Option word 3:";
}

void TestCodec::parseRejected() {
    QFETCH(const Product*, product);
    QFETCH(int, address);
    QFETCH(QByteArray, patch);
    QFETCH(QString, error);
    QByteArray image = built(defaults(*product));
    image.replace(address, patch.size(), patch);
    Document doc = defaults(*product);
    editRecord(doc, [&](RadioConfig& c) { c.optionWords[0] = 7; });
    useModelAndBand(doc, QStringLiteral("WX40"), QStringLiteral("26.51500 - 27.85500 MHz"));
    const Document before = doc;
    const auto result = parseRadioImage(doc, image);
    if (error.isEmpty()) {
        QVERIFY(!result);
        QCOMPARE(doc.config().entry(1, 1).rxExtra, 32760);
        return;
    }
    QVERIFY(result);
    QVERIFY2(result->startsWith(error), qPrintable(*result));
    QCOMPARE(encodeRecord(*product, doc.config()), encodeRecord(*product, before.config()));
    QCOMPARE(doc.model(), before.model());
    QCOMPARE(doc.band(), before.band());
    QCOMPARE(doc.lowerLimit(), before.lowerLimit());
    QCOMPARE(doc.upperLimit(), before.upperLimit());
}

void TestCodec::buildRefused_data() {
    QTest::addColumn<const Product*>("product");
    QTest::addColumn<Change>("change");
    QTest::addColumn<QString>("error");
    auto row = [](const char* name, const Product* p, const char* e, Change c) {
        QTest::newRow(name) << p << c << QString::fromLatin1(e);
    };
    row("byte 256", M, "Option word 0 ", [](RadioConfig& c) { c.optionWords[0] = 256; });
    row("emergency -1", M, "Option word 24 ", [](RadioConfig& c) { c.optionWords[24] = -1; });
    row("bit 2", M, "Option word 13 ", [](RadioConfig& c) { c.optionWords[13] = 2; });
    row("16-bit -5", M, "Option word 1 ", [](RadioConfig& c) { c.optionWords[1] = -5; });
    row("TX far out", M,
        "Group B channel 1: transmit frequency 99.000000 MHz is too far outside the band",
        [](RadioConfig& c) { c.entry(1, 1).txFreq.assign(QByteArray("99000000")); });
    // A channel in use needs a receive frequency; a missing transmit frequency is the receive one.
    row("RX empty", M, "Group B channel 1: receive frequency \"\" is not a frequency",
        [](RadioConfig& c) { c.entry(1, 1).rxFreq.assign(QByteArray("")); });
    row("RX letters", M, "Group B channel 1: receive frequency \"28A15000\" is not a frequency",
        [](RadioConfig& c) { c.entry(1, 1).rxFreq.assign(QByteArray("28A15000")); });
    row("solvir RX eight F", S, "Group A channel 1: receive frequency \"FFFFFFFF\"",
        [](RadioConfig& c) { c.entry(0, 1).rxFreq.assign(QByteArray("FFFFFFFF")); });
    row("RX 3277 steps below", M,
        "Group A channel 1: receive frequency 25.582230 MHz is too far outside the band",
        [](RadioConfig& c) { c.entry(0, 1).rxFreq.assign(QByteArray("25582230")); });
    row("channel 0", M, "Group C place 1:", [](RadioConfig& c) { c.entry(2, 1).channelNo = 0; });
    row("channel 61", M, "Group C place 1:", [](RadioConfig& c) { c.entry(2, 1).channelNo = 61; });
    row("61 channels", M, "Group D:", [](RadioConfig& c) { c.groupChannelCount[3] = 61; });
    row("count -1", M, "Group D:", [](RadioConfig& c) { c.groupChannelCount[3] = -1; });
    row("twice", M, "Group A channel 1 ", [](RadioConfig& c) {
        c.channels[0][1] = c.channels[0][0];
        c.groupChannelCount[0] = 2;
    });
    row("flag 2", M, "Group A channel 1: HI-CUT",
        [](RadioConfig& c) { c.entry(0, 1).channelFlags[4] = 2; });
    row("solvir byte 300", S, "Option word 18 ", [](RadioConfig& c) { c.optionWords[18] = 300; });
    row("solvir RX point", S, "Group A channel 1: receive",
        [](RadioConfig& c) { c.entry(0, 1).rxFreq.assign(QByteArray("28.01500")); });
}

void TestCodec::buildRefused() {
    QFETCH(const Product*, product);
    QFETCH(Change, change);
    QFETCH(QString, error);
    Document doc = defaults(*product);
    editRecord(doc, change);
    QByteArray image;
    clearRadioImage(*product, image);
    const QByteArray cleared = image;
    const auto result = buildRadioImage(doc, image);
    QVERIFY(result);
    QVERIFY2(result->startsWith(error), qPrintable(*result));
    QCOMPARE(image, cleared);
}

void TestCodec::wrongImageSize() {
    QFETCH(const Product*, product);
    Document doc = defaults(*product);
    const Document before = doc;
    QByteArray image(100, char(0xFF));
    QVERIFY(buildRadioImage(doc, image));
    QCOMPARE(image, QByteArray(100, char(0xFF)));
    QVERIFY(parseRadioImage(doc, image));
    QCOMPARE(encodeRecord(*product, doc.config()), encodeRecord(*product, before.config()));
    for (const QString& s : parseLocalInformation(*product, image))
        QVERIFY(s.isEmpty());
}

void TestCodec::localInformation() {
    QFETCH(const Product*, product);
    QByteArray image;
    clearRadioImage(*product, image);
    const int b = product->infoBase();
    image.replace(b + 0x08, 5, "0595X");                        // a full field has no terminator
    image.replace(b + 0x10, 10, QByteArray("SN123\0JUNK", 10)); // cut at 0x00
    image.replace(b + 0x90, 10, "Fixed\xFFmore");               // cut at 0xFF
    image.replace(b + 0x38, 4, "001A");
    const LocalInformation info = parseLocalInformation(*product, image);
    QCOMPARE(info[0], QStringLiteral("0595"));
    QCOMPARE(info[1], QStringLiteral("SN123"));
    QCOMPARE(info[4], QStringLiteral("Fixed"));
    QCOMPARE(info[7], QStringLiteral("001A"));
    QCOMPARE(info[2], QString());
    QCOMPARE(info[5], QString()); // the firmware version is not in the area
    // An image ending inside the area ends the fields there.
    QCOMPARE(parseLocalInformation(*product, image.left(b + 0x12))[1], QStringLiteral("SN"));
}

// A group read back without channels has no emergency channel; writing it back sends erased
// memory in its place instead of refusing the configuration.
void TestCodec::emptyGroupHasNoEmergencyChannel() {
    Document doc(meridoxProduct());
    doc.initialiseDefaults();
    QByteArray image;
    clearRadioImage(meridoxProduct(), image);
    QVERIFY(!buildRadioImage(doc, image));
    image.replace(0x1D00 + 2 * 8, 8, QByteArray(8, '\0'));
    QVERIFY(!parseRadioImage(doc, image));
    QCOMPARE(doc.config().groupChannelCount[2], 0);
    // The word as any change of channels leaves it for a group without channels.
    editRecord(doc, [](RadioConfig& c) { c.optionWords[26] = -1; });
    QByteArray again;
    clearRadioImage(meridoxProduct(), again);
    QVERIFY(!buildRadioImage(doc, again));
    QCOMPARE(uint8_t(again.at(0x1D77)), 0xFF);
    editRecord(doc, [&](RadioConfig& c) {
        c.optionWords[25] = -1;
    }); // a group that has channels still needs a valid one
    QVERIFY(buildRadioImage(doc, again));
}

QTEST_GUILESS_MAIN(TestCodec)
#include "tst_codec.moc"
