// The configuration as text: exact round trips over every kind of record, the text itself, and
// what an import refuses.
#include "recordedit.h"
#include "testsupport.h"

#include "core/config/datafile.h"
#include "exchange/configtext.h"

#include <QDirIterator>
#include <QFile>
#include <QRandomGenerator>
#include <QTest>

Q_DECLARE_METATYPE(RadioConfig)

namespace {

RadioConfig defaults(const Product& p) {
    Document d(p);
    d.initialiseDefaults({}, QDate(2026, 12, 8));
    return d.config();
}

// Values no window offers, texts in no shown form, bytes no window shows.
RadioConfig oddRecord(const Product& p) {
    RadioConfig c = defaults(p);
    ChannelEntry& e = c.entry(1, 1);
    e.channelNo = 60;
    e.rxFreq.assign(QByteArray("31000000"));     // outside the band
    e.txFreq.assign(QByteArray("FFFFFFFF"));     // no frequency
    e.channelFlags = {7, 2, -1, 1, 0, 1, 0, 30}; // raw settings, one a number like "30"
    e.scanFlag = 5;
    e.inUse = 0;
    e.rxExtra = -3;
    e.txExtra = 12;
    c.entry(1, 2) = c.entry(0, 1);
    c.entry(1, 2).rxFreq.assign(QByteArray("28015005")); // off the 10 Hz raster
    c.groupChannelCount[1] = 2;
    c.groupChannelCount[3] = 0; // an empty group; its old channel stays in place 1
    c.entry(2, 60).rxFreq.assign(QByteArray("\x01\xff"
                                            "abc"));
    c.embeddedMessage[0].assign(QByteArray("AB\0CD\xb0", 6)); // bytes after the NUL
    c.embeddedMessage[1].assign(QByteArray(32, 'x'));         // full width: no NUL
    c.modelInfo.modelName.assign(QByteArray("X\0\0\0\0\0", 6));
    c.modelInfo.modelCode = 1;
    c.modelInfo.bandCode = 77;
    c.modelInfo.bandCodeCopy = -5;
    c.modelInfo.typeLetter = 0;
    c.modelInfo.createDate.assign(QByteArray("        "));
    c.optionWords[24] = 32767;
    c.optionWords[29] = -32768;
    c.currentGroup = 9;
    c.version.assign(QByteArray("V10\0", 4)); // a version Open takes, in no shown form
    return c;
}

// Random bytes as a record a data file may hold: counts 0..60, numbers unique.
RadioConfig randomRecord(const Product& p, quint32 seed) {
    QRandomGenerator random(seed);
    QByteArray bytes(p.recordLength, Qt::Uninitialized);
    for (char& b : bytes)
        b = char(random.bounded(256));
    RadioConfig c = *decodeRecord(p, bytes);
    c.version.assign(QByteArray("V10") + char(random.bounded(256))); // one Open takes
    for (int g = 0; g < GroupCount; ++g) {
        c.groupChannelCount[size_t(g)] = int16_t(random.bounded(61));
        for (int k = 1; k <= ChannelsPerGroup; ++k)
            c.entry(g, k).channelNo = int16_t(k);
    }
    return c;
}

QStringList dataFilesOfTests() {
    QStringList files;
    QDirIterator it(QStringLiteral(TEST_SOURCE_DIR), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (path.endsWith(QLatin1String(".dat")) || path.contains(QLatin1String("/datafile/")))
            files << path;
    }
    files.sort();
    return files;
}

} // namespace

class TestConfigText : public QObject {
    Q_OBJECT
  private slots:
    void roundTrip_data();
    void roundTrip();
    void exportedText();
    void importProblems_data();
    void importProblems();
    void omittedKeysKeepBase();
};

void TestConfigText::roundTrip_data() {
    QTest::addColumn<const Product*>("product");
    QTest::addColumn<RadioConfig>("record");
    for (const Product* p : {&meridoxProduct(), &solvirProduct()}) {
        QTest::addRow("%s defaults", qPrintable(p->program)) << p << defaults(*p);
        QTest::addRow("%s odd values", qPrintable(p->program)) << p << oddRecord(*p);
        for (quint32 seed = 1; seed <= 20; ++seed)
            QTest::addRow("%s random %u", qPrintable(p->program), seed)
                << p << randomRecord(*p, seed);
        // Every data file of the tests and the fuzz seeds that this product opens.
        for (const QString& path : dataFilesOfTests()) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadOnly));
            const auto record = decodeRecord(*p, f.readAll());
            if (record && !recordDamage(*record))
                QTest::addRow("%s %s", qPrintable(p->program), qPrintable(path)) << p << *record;
        }
    }
}

// Imported over a base of zeros, so that nothing can come from the base; exported again, the
// text is the same.
void TestConfigText::roundTrip() {
    QFETCH(const Product*, product);
    QFETCH(RadioConfig, record);
    const QByteArray text = exportConfigurationText(*product, record);
    const ConfigTextImport back = importConfigurationText(*product, text, RadioConfig{});
    QVERIFY2(back.record, qPrintable(back.problems.join(QLatin1Char(QChar::LineFeed)) +
                                     QChar::LineFeed + QString::fromUtf8(text)));
    QCOMPARE(encodeRecord(*product, *back.record), encodeRecord(*product, record));
    QCOMPARE(exportConfigurationText(*product, *back.record), text);
}

void TestConfigText::exportedText() {
    const Product& p = meridoxProduct();
    RadioConfig c = defaults(p);
    c.groupChannelCount[2] = 0;
    c.entry(2, 60).channelNo = 3;
    ChannelEntry& e = c.entry(1, 1);
    e.channelNo = 7;
    e.rxFreq.assign(QByteArray("27500000"));
    e.txFreq.assign(QByteArray("FFFFFFFF"));
    e.channelFlags[1] = 2;
    e.scanFlag = 0;
    c.optionWords[25] = 6;
    c.embeddedMessage[0].assign(QByteArray("HELLO\0", 6));
    const QByteArray text = exportConfigurationText(p, c);

    const QByteArray schemaLine = text.left(text.indexOf('\n') + 1);
    QCOMPARE(schemaLine,
             "# yaml-language-server: $schema=" + QCoreApplication::applicationDirPath().toUtf8() +
                 "/meridox-config.schema.json\n");
    const QByteArray channel = "BUSY: \"Disable\", VOIC: \"Disable\", ECHO: \"Enable\", HI-CUT: "
                               "\"Disable\", +10KHz: \"Disable\", NB/ANL: \"Disable\", RB: "
                               "\"Disable\", scan: \"Add\"}\n";
    const QByteArray head =
        "format: \"meridox configuration 1\"\n"
        "model: \"SOLV\"\n"
        "band: \"25.605000 - 30.115000 MHz\"\n"
        "groups:\n"
        "  A:\n"
        "    emergency channel: 1\n"
        "    channels:\n"
        "      - {channel: 1, rx: 28.015000, tx: 28.015000, " +
        channel +
        "  B:\n"
        "    emergency channel: 7\n"
        "    channels:\n"
        "      - {channel: 7, rx: 27.500000, tx: {stored: \"FFFFFFFF\"}, BUSY: 2, VOIC: "
        "\"Disable\", ECHO: \"Enable\", HI-CUT: \"Disable\", +10KHz: \"Disable\", NB/ANL: "
        "\"Disable\", RB: \"Disable\", scan: \"Del\"}  # BUSY: not offered by the window\n"
        "  C:\n"
        "    emergency channel: {raw: 1}  # not a channel of the group\n"
        "    channels: []\n"
        "    unused places:\n"
        "      1: "
        "\"01000100323831313530303032383131353030300100000000000100000000000000000000000000\"\n"
        "      60: "
        "\"03000000000000000000000000000000000000000000000000000000000000000000000000000000\"\n"
        "  D:\n"
        "    emergency channel: 1\n"
        "    channels:\n"
        "      - {channel: 1, rx: 28.085000, tx: 28.085000, " +
        channel +
        "  E:\n"
        "    emergency channel: 1\n"
        "    channels:\n"
        "      - {channel: 1, rx: 28.055000, tx: 28.055000, " +
        channel +
        "  F:\n"
        "    emergency channel: 1\n"
        "    channels:\n"
        "      - {channel: 1, rx: 28.025000, tx: 28.025000, " +
        channel;
    QCOMPARE(text.mid(schemaLine.size(), head.size()), head);
    const QByteArray tail = "message lines:\n"
                            "  line 1: \"HELLO\"\n"
                            "  line 2: \"\"\n"
                            "radio information:\n"
                            "  model type: \"SOLV\"\n"
                            "  frequency: \"25.605000 - 30.115000 MHz\"\n"
                            "  serial number: \"20261208\"\n"
                            "  version: \"V1.00\"\n"
                            "  type letter: \"C\"\n"
                            "record:\n"
                            "  version: \"V100\"\n"
                            "  current group: \"A\"\n";
    QCOMPARE(text.mid(text.indexOf("message lines:")), tail);
}

void TestConfigText::importProblems_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("problems");
    const QByteArray format = "format: meridox configuration 1\n";
    QTest::newRow("several at once, each with its line and path")
        << format + "groups:\n"
                    "  B:\n"
                    "    channels:\n"
                    "      - {channel: 1, rx: 28.2}\n"
                    "      - {channel: 3, rx: 31.2, BUSY: On}\n"
                    "      - {channel: 1, rx: 28.0150001, tx: 27.5}\n"
                    "message lines:\n"
                    "  line 1: \"123456789012345678901234567890123\"\n"
        << QStringList{
               QStringLiteral("line 6: groups.B.channels[1].rx: 31.2 MHz is outside the band "
                              "25.605000 - 30.115000 MHz"),
               QStringLiteral("line 6: groups.B.channels[1].BUSY: \"On\" is not one of Disable, "
                              "Enable"),
               QStringLiteral("line 7: groups.B.channels[2].rx: 28.0150001 MHz is not a whole "
                              "number of 10 Hz steps"),
               QStringLiteral("line 9: message lines.line 1: \"123456789012345678901234567890123\" "
                              "is longer than 32 characters")};
    QTest::newRow("a channel number twice, one out of range, one without RX, no such emergency")
        << format + "groups:\n"
                    "  A:\n"
                    "    emergency channel: 9\n"
                    "    channels:\n"
                    "      - {channel: 4, rx: 28.2}\n"
                    "      - {channel: 61, rx: 28.3}\n"
                    "      - {channel: 4, rx: 28.4}\n"
                    "      - {channel: 5}\n"
        << QStringList{
               QStringLiteral("line 7: groups.A.channels[1].channel: 61 is outside 1 - 60"),
               QStringLiteral("line 8: groups.A.channels[2].channel: channel 4 is given twice "
                              "(also channels[0])"),
               QStringLiteral("line 9: groups.A.channels[3].rx: missing: every channel has an RX "
                              "frequency"),
               QStringLiteral("line 4: groups.A.emergency channel: channel 9 is not a channel of "
                              "the group")};
    // A channel that is refused is not blamed again on the emergency channel or on numbers.
    QTest::newRow("an empty RX, no number after 60, a refused channel's number")
        << format + "groups:\n"
                    "  A:\n"
                    "    emergency channel: 5\n"
                    "    channels:\n"
                    "      - {channel: 5, rx: }\n"
                    "      - {rx: 28.2}\n"
                    "      - {channel: 1, rx: 28.3}\n"
                    "  B:\n"
                    "    channels: [{channel: 60, rx: 28.2}, {rx: 28.3}]\n"
        << QStringList{
               QStringLiteral("line 6: groups.A.channels[0].rx: missing: every channel has an RX "
                              "frequency"),
               QStringLiteral("line 10: groups.B.channels[1].channel: missing: no channel number "
                              "follows 60")};
    QTest::newRow("nested deeper than any configuration")
        << format + "groups: " + QByteArray(3000, '[') + QByteArray(3000, ']') + "\n"
        << QStringList{
               QStringLiteral("line 2: nested too deeply; a configuration text has only a few "
                              "levels")};
    QTest::newRow("unknown and repeated keys at every level")
        << format + "colour: red\n"
                    "groups:\n"
                    "  G: {}\n"
                    "  A:\n"
                    "    channels:\n"
                    "      - {channel: 1, rxx: 28.2, rx: 28.2, rx: 28.3}\n"
        << QStringList{QStringLiteral("line 7: groups.A.channels[0].rxx: unknown key"),
                       QStringLiteral("line 7: groups.A.channels[0].rx: given twice"),
                       QStringLiteral("line 4: groups.G: unknown key"),
                       QStringLiteral("line 2: colour: unknown key")};
    QTest::newRow("a key as long as a pasted paragraph is cut")
        << format + QByteArray(1000, 'k') + ": 1\n"
        << QStringList{QStringLiteral("line 2: %1...: unknown key").arg(QString(40, u'k'))};
    QTest::newRow("an unused place that the channels hold, bytes of the wrong size")
        << format + "groups:\n"
                    "  A:\n"
                    "    channels: [{rx: 28.2}]\n"
                    "    unused places:\n"
                    "      1: \"00\"\n"
                    "      2: \"00\"\n"
        << QStringList{QStringLiteral("line 6: groups.A.unused places.1: no unused place of the "
                                      "group (2 - 60)"),
                       QStringLiteral("line 7: groups.A.unused places.2: expected 40 bytes as "
                                      "hexadecimal digits")};
    // Open refuses a data file of another version: the import does not make one.
    QTest::newRow("a data file version Open refuses")
        << format + "record: {version: V200}\n"
        << QStringList{QStringLiteral("line 2: record.version: \"V200\" is a data file version "
                                      "this program does not open (V1.0X)")};
    QTest::newRow("a word for a letter, a group that is none")
        << format + "radio information: {type letter: CC}\nrecord: {current group: G}\n"
        << QStringList{
               QStringLiteral("line 2: radio information.type letter: expected one letter, such "
                              "as \"C\""),
               QStringLiteral("line 3: record.current group: expected a group, \"A\" to \"F\"")};
    QTest::newRow("no band of the model")
        << format + "band: \"1 - 2 MHz\"\n"
        << QStringList{QStringLiteral("line 2: band: \"1 - 2 MHz\" is no band of model SOLV")};
    QTest::newRow("the other program's text")
        << QByteArray("format: solvir configuration 1\ngroups: []\n")
        << QStringList{QStringLiteral("line 1: format: \"solvir configuration 1\" is not \"meridox "
                                      "configuration 1\": this program reads only its own "
                                      "configurations of that version")};
    QTest::newRow("a later version")
        << QByteArray("format: meridox configuration 2\n")
        << QStringList{
               QStringLiteral("line 1: format: \"meridox configuration 2\" is not \"meridox "
                              "configuration 1\": this program reads only its own "
                              "configurations of that version")};
    QTest::newRow("no format") << QByteArray("groups: {}\n")
                               << QStringList{QStringLiteral(
                                      "line 1: format: missing; the first key must be \"format: "
                                      "meridox configuration 1\"")};
    QTest::newRow("no keys at all")
        << QByteArray("- 1\n")
        << QStringList{QStringLiteral("the text is no configuration: it holds no keys")};
    QTest::newRow("not YAML") << format + "groups: {A: [}\n"
                              << QStringList{QStringLiteral("line 2: illegal flow end")};
}

void TestConfigText::importProblems() {
    QFETCH(QByteArray, text);
    QFETCH(QStringList, problems);
    const ConfigTextImport r =
        importConfigurationText(meridoxProduct(), text, defaults(meridoxProduct()));
    QCOMPARE(r.problems, problems);
    QVERIFY(!r.record);
}

// What the text omits keeps the base's values; a group it names is given whole.
void TestConfigText::omittedKeysKeepBase() {
    const Product& p = solvirProduct();
    RadioConfig base = oddRecord(p);
    const ConfigTextImport r = importConfigurationText(
        p,
        "format: solvir configuration 1\n"
        "band: \"25.615000 - 30.105000 MHz\"\n"
        "groups: {B: {channels: [{rx: 27.5}, {rx: 27.6, tx: 27.7, RB: Enable, scan add: Del}]}}\n",
        base);
    QVERIFY2(r.record, qPrintable(r.problems.join(QLatin1Char('\n'))));
    RadioConfig expected = base;
    expected.modelInfo.bandCode = 4;
    expected.groupChannelCount[1] = 2;
    expected.channels[1].fill(ChannelEntry{});
    ChannelEntry& first = expected.entry(1, 1);
    first.channelNo = 1;
    first.inUse = 1;
    first.rxFreq.assign(QByteArray("27500000"));
    first.txFreq.assign(QByteArray("27500000"));
    first.channelFlags[3] = 1;
    first.scanFlag = 1;
    ChannelEntry& second = expected.entry(1, 2);
    second = first;
    second.channelNo = 2;
    second.rxFreq.assign(QByteArray("27600000"));
    second.txFreq.assign(QByteArray("27700000"));
    second.channelFlags[7] = 1;
    second.scanFlag = 0;
    QCOMPARE(encodeRecord(p, *r.record), encodeRecord(p, expected));
}

QTEST_GUILESS_MAIN(TestConfigText)
#include "tst_configtext.moc"
