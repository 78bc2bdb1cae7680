// The optional features, key assignment, scan, DTMF, FleetSync and test frequencies in the
// configuration text: what they look like, values no window offers, and refused texts.
#include "core/config/datafile.h"
#include "core/config/document.h"
#include "exchange/configtext.h"
#include "exchange/configtextsupport.h"

#include <QtTest>
#include <functional>

using Edit = std::function<void(RadioConfig&)>;
Q_DECLARE_METATYPE(Edit)

namespace {
const Product& productNamed(const QString& name) {
    return name == QLatin1String("solvir") ? solvirProduct() : meridoxProduct();
}
RadioConfig defaults(const Product& p) {
    Document d(p);
    d.initialiseDefaults({}, QDate(2010, 3, 5));
    return d.recordToSave();
}
// The sections of this test, as the text holds them.
QByteArray settingsText(const Product& p, const RadioConfig& c) {
    ConfigTextWriter w;
    writeOptions(w, p, c);
    writeKeyAssignment(w, p, c);
    writeScan(w, p, c);
    writeDtmf(w, p, c);
    writeFleetSync(w, p, c);
    writeTestFrequencies(w, p, c);
    w.emitter() << YAML::EndMap;
    return w.text();
}
QByteArray header(const Product& p) {
    return "format: \"" + configTextFormatName(p).toUtf8() + "\"\n";
}
} // namespace

class TestConfigTextSettings : public QObject {
    Q_OBJECT
  private slots:
    void sectionsOfASmallConfiguration() {
        const Product& p = meridoxProduct();
        RadioConfig c = defaults(p);
        c.keyAssign = {6, 10};
        c.scanWords = {1, 12, 1, 91, 3, 0, 300};
        c.dtmf.encode = {3, 2, 15, 1, 16, 0};
        c.dtmf.idCode.assign(QByteArray("12345"));
        c.dtmf.decode = {'#', 0, 2, 1, 1};
        c.dtmf.stunCode.assign(QByteArray("AB*1\0", 5));
        c.dtmfCodeCount = 2;
        c.dtmfCodes[0] = {3, FixedText<16>(QByteArray("123#\0", 5))};
        c.dtmfCodes[1] = {1, FixedText<16>(QByteArray("0123456789ABCD*#"))};
        c.fleetSync = {1, 4000, 1, 6000, 0, 0};
        c.fleetSyncListCount = 2;
        c.fleetSyncList[0] = {2, 1, 0};
        c.fleetSyncList[1] = {5, 0, 255};
        c.testFreqCount = 2;
        c.testFreqs[1] = {9, FixedText<8>(QByteArray("28500000")), FixedText<8>(QByteArray("2851")),
                          2, 2};
        c.testFreqs[1].txFreq.assign(QByteArray("2851\0", 5));
        for (int i = 2; i < 16; ++i)
            c.testFreqs[size_t(i)] = {};

        const QByteArray expected = "optional features:\n"
                                    "  Time Out Timer(TOT)[s]: \"60\"\n"
                                    "  RB Frequecy[Hz]: \"1050\"\n"
                                    "  RB Time[ms]: \"150\"\n"
                                    "  CW Side Tone[Hz]: \"1050\"\n"
                                    "  Frequency Step: \"10Hz\"\n"
                                    "  LCD Display: \"ON\"\n"
                                    "  Scan Mode: \"Squelch Scan\"\n"
                                    "  Scan Resume Time[s]: \"5\"\n"
                                    "  LCD Display In Tx: \"Tx Frequency Display\"\n"
                                    "  SWR Protect value: \"6.0\"\n"
                                    "  Battery Voltage Protect Value 1 -- Min[V]: \"11.0\"\n"
                                    "  Battery Voltage Protect Value 2 -- Max[V]: \"16.0\"\n"
                                    "  LSB Enable: \"Enable\"\n"
                                    "  USB Enable: \"Enable\"\n"
                                    "  FM Enable: \"Enable\"\n"
                                    "  AM Enable: \"Enable\"\n"
                                    "  PA Enalbe: \"Enable\"\n"
                                    "  CW Enable: \"Enable\"\n"
                                    "  Single Change Data: \"Disable\"\n"
                                    "  Common Option: \"Disable\"\n"
                                    "  Single Change RX/TX Frequency: \"Disable\"\n"
                                    "  FM SQ Close Delay Time[ms]: \"5\"\n"
                                    "  AM SQ Close Delay Time[ms]: \"5\"\n"
                                    "  CW/USB/LSB SQ Close Delay Time[ms]: \"5\"\n"
                                    "  BUSY: \"Disable\"\n"
                                    "  VOIC: \"Disable\"\n"
                                    "  ECHO: \"Disable\"\n"
                                    "  HI-CUT: \"Disable\"\n"
                                    "  +10KHz: \"Disable\"\n"
                                    "  NB/ANL: \"Disable\"\n"
                                    "  RB: \"Disable\"\n"
                                    "  SWR Protect Enabled: \"Enable\"\n"
                                    "  DC Protect Enabled: \"Enable\"\n"
                                    "  Single Tone[Hz]: \"1000\"\n"
                                    "  Clarifier Mode: \"Fine\"\n"
                                    "  Push Mode: \"Coarse\"\n"
                                    "key assignment:\n"
                                    "  PF1: \"Scan\"\n"
                                    "  PF2: \"Squelch Off Momentary\"\n"
                                    "scan information:\n"
                                    "  Priority: \"Fixd\"\n"
                                    "  Priority Channel: \"12\"\n"
                                    "  Look Back Time A[s]: \"0.50\"\n"
                                    "  Look Back Time B[s]: \"5.00\"\n"
                                    "  Revert Channel: \"Priority+Talk Back\"\n"
                                    "  Dropout Delay Time[s]: \"0\"\n"
                                    "  TX Dwell Time[s]: \"300\"\n"
                                    "dtmf:\n"
                                    "  DTMF Speed[digit/s]: \"15\"\n"
                                    "  First Digit Time[ms]: \"500\"\n"
                                    "  First Digit Delay[ms]: \"150\"\n"
                                    "  \"* and # Tone[ms]\": \"100\"\n"
                                    "  D Code Assignment: \"16s\"\n"
                                    "  DTMF Side Tone: \"Disable\"\n"
                                    "  ID Code: \"12345\"\n"
                                    "  Group Code: \"#\"\n"
                                    "  Auto Reset Timer[s]: \"Off\"\n"
                                    "  Call Alert: \"Continuous\"\n"
                                    "  Transpond: \"Alert\"\n"
                                    "  Clear to Transpond: \"Enable\"\n"
                                    "  Stun Code: \"AB*1\"\n"
                                    "  Stun Type: \"TX Inhibit\"\n"
                                    "  Autodial Memory:\n"
                                    "    - {number: 3, code: \"123#\"}\n"
                                    "    - {number: 1, code: \"0123456789ABCD*#\"}\n"
                                    "fleetsync:\n"
                                    "  Fleet(Own): \"100\"\n"
                                    "  ID(Own): \"4999\"\n"
                                    "  FleetSync Baud Rate[bps]: \"2400\"\n"
                                    "  Data TX Modulation Delay Time[ms]: \"6000\"\n"
                                    "  Message Mode Timer[s]: \"Off\"\n"
                                    "  PTT ID Side Tone: \"Disable\"\n"
                                    "  Fleet List:\n"
                                    "    - {number: 2, fleet: \"100\", id: \"All\"}\n"
                                    "    - {number: 5, fleet: \"All\", id: \"\"}\n"
                                    "test frequencies:\n"
                                    "  channels:\n"
                                    "    - {channel: 1, rx: 15.05, tx: 15.1}\n"
                                    "    - {channel: 9, rx: 28.500000, tx: 28.51}\n";
        QCOMPARE(settingsText(p, c), expected);

        const ConfigTextImport back =
            importConfigurationText(p, exportConfigurationText(p, c), defaults(p));
        QCOMPARE(back.problems, QStringList());
        QCOMPARE(encodeRecord(p, *back.record), encodeRecord(p, c));
    }

    // The older program's window names a few options its own way and lacks the last five.
    void optionsOfTheOlderProgram() {
        const Product& p = solvirProduct();
        const QByteArray text = settingsText(p, defaults(p));
        const QByteArray options = text.left(text.indexOf("key assignment:"));
        QVERIFY(options.contains("  Frequency Step: \"100Hz\"\n"
                                 "  LCD Display: \"ON\"\n"));
        QVERIFY(options.contains("  Single Change Frequency: \"Disable\"\n"
                                 "  SQ Delay Time 0[ms]: \"5\"\n"
                                 "  SQ Delay Time 1[ms]: \"5\"\n"
                                 "  SQ Delay Time 2[ms]: \"5\"\n"
                                 "  BUSY: \"Disable\"\n"));
        QVERIFY(options.endsWith("  RB: \"Disable\"\n"));
        QCOMPARE(options.count('\n'), 1 + 37 - 6);
    }

    // A value no list offers is written raw, says so, and reads back as it was.
    void valuesNotOffered_data() {
        QTest::addColumn<Edit>("edit");
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("time-out timer 30, itself an entry's text")
            << Edit([](RadioConfig& c) { c.optionWords[0] = 30; })
            << QByteArray("  Time Out Timer(TOT)[s]: {raw: 30}  # not offered by the window\n");
        QTest::newRow("frequency step 7")
            << Edit([](RadioConfig& c) { c.optionWords[4] = 7; })
            << QByteArray("  Frequency Step: 7  # not offered by the window\n");
        QTest::newRow("check box holding 2")
            << Edit([](RadioConfig& c) { c.optionWords[12] = 2; })
            << QByteArray("  LSB Enable: 2  # not offered by the window\n");
        QTest::newRow("reserved key function")
            << Edit([](RadioConfig& c) { c.keyAssign[0] = 8; })
            << QByteArray("  PF1: 8  # Reserved2, not offered by the window\n");
        QTest::newRow("priority channel beyond the model's 40")
            << Edit([](RadioConfig& c) { c.scanWords[1] = 41; })
            << QByteArray("  Priority Channel: {raw: 41}  # not offered by the window\n");
        QTest::newRow("first digit delay between two entries")
            << Edit([](RadioConfig& c) { c.dtmf.encode[2] = 12; })
            << QByteArray("  First Digit Delay[ms]: {raw: 12}  # not offered by the window\n");
        QTest::newRow("group code E")
            << Edit([](RadioConfig& c) { c.dtmf.decode[0] = 'E'; })
            << QByteArray("  Group Code: 69  # not offered by the window\n");
        QTest::newRow("ID code of two digits")
            << Edit([](RadioConfig& c) { c.dtmf.idCode.assign(QByteArray("12")); })
            << QByteArray("  ID Code: {stored: \"12        \"}  # not offered by the window\n");
        QTest::newRow("own ID beyond 16 bits")
            << Edit([](RadioConfig& c) { c.fleetSync.ownId = 100000; })
            << QByteArray("  ID(Own): {raw: 100000}  # not offered by the window\n");
        QTest::newRow("fleet 350 in the list")
            << Edit([](RadioConfig& c) {
                   c.fleetSyncListCount = 1;
                   c.fleetSyncList[0] = {1, 251, 0};
               })
            << QByteArray("    - {number: 1, fleet: {raw: 251}, id: \"All\"}  # fleet: not offered "
                          "by the window\n");
        QTest::newRow("autodial count above its 8 places") << Edit([](RadioConfig& c) {
            c.dtmfCodeCount = 9;
            for (int i = 0; i < 8; ++i)
                c.dtmfCodes[size_t(i)] = {int16_t(i + 1), FixedText<16>(QByteArray("1\0", 2))};
        }) << QByteArray("  autodial count: 9  # not offered by the window\n");
        QTest::newRow("bytes in an unused autodial place")
            << Edit([](RadioConfig& c) { c.dtmfCodes[7].number = 1; })
            << "  autodial unused places: \"" + QByteArray(7 * 36, '0') + "0100" +
                   QByteArray(32, '0') + "\"\n";
        QTest::newRow("test frequency of spaces")
            << Edit([](RadioConfig& c) { c.testFreqs[0].rxFreq.assign(QByteArray("        ")); })
            << QByteArray("    - {channel: 1, rx: {stored: \"        \"}, tx: 15.1, rx mark: 15}  "
                          "# rx: not "
                          "offered by the window\n");
        QTest::newRow("mark the window would not give")
            << Edit([](RadioConfig& c) { c.testFreqs[1].txMark = 7; })
            << QByteArray("    - {channel: 2, rx: 13.05, tx: 13.1, tx mark: 7}\n");
    }
    void valuesNotOffered() {
        QFETCH(Edit, edit);
        QFETCH(QByteArray, line);
        const Product& p = meridoxProduct();
        RadioConfig c = defaults(p);
        edit(c);
        const QByteArray text = exportConfigurationText(p, c);
        QVERIFY2(text.contains(line), text.constData());
        const ConfigTextImport back = importConfigurationText(p, text, defaults(p));
        QCOMPARE(back.problems, QStringList());
        QCOMPARE(encodeRecord(p, *back.record), encodeRecord(p, c));
    }

    // Every problem is named with its line and path; nothing is given back then.
    void refusedTexts_data() {
        QTest::addColumn<QByteArray>("product");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("problems"); // one a line
        QTest::newRow("misspelt option")
            << QByteArray("meridox")
            << QByteArray("optional features:\n  Time Out Timer[s]: \"60\"\n")
            << QByteArray("line 3: optional features.Time Out Timer[s]: unknown key");
        QTest::newRow("option the older window lacks")
            << QByteArray("solvir")
            << QByteArray("optional features:\n  Single Tone[Hz]: \"1000\"\n")
            << QByteArray("line 3: optional features.Single Tone[Hz]: unknown key");
        QTest::newRow("number between entries")
            << QByteArray("meridox") << QByteArray("optional features:\n  RB Frequecy[Hz]: 1055\n")
            << QByteArray("line 3: optional features.RB Frequecy[Hz]: \"1055\" is not one of "
                          "\"300\", \"310\" ... \"3000\"");
        QTest::newRow("check box as yes")
            << QByteArray("meridox") << QByteArray("optional features:\n  LSB Enable: yes\n")
            << QByteArray("line 3: optional features.LSB Enable: \"yes\" is not one of "
                          "\"Disable\", \"Enable\"");
        QTest::newRow("reserved key function by name")
            << QByteArray("meridox")
            << QByteArray("key assignment:\n  PF1: Reserved1\n  PF3: \"None\"\n")
            << QByteArray("line 3: key assignment.PF1: \"Reserved1\" is not one of \"None\", "
                          "\"Key Lock\", \"Key Lock with Backup\", \"Monitor\", \"Monitor "
                          "Momentary\", \"Scan\", \"Scan+Temporary Delete\", \"Squelch Off\", "
                          "\"Squelch Off Momentary\", \"Temporary Delete\"\n"
                          "line 4: key assignment.PF3: unknown key");
        QTest::newRow("raw that is no number")
            << QByteArray("meridox") << QByteArray("scan information:\n  Priority: {raw: x}\n")
            << QByteArray("line 3: scan information.Priority.raw: \"x\" is not a whole number");
        QTest::newRow("section that is no map")
            << QByteArray("meridox") << QByteArray("scan information: None\n")
            << QByteArray("line 2: scan information: expected the scan settings by their "
                          "captions");
        QTest::newRow("ID code of two digits")
            << QByteArray("meridox") << QByteArray("dtmf:\n  ID Code: \"12\"\n")
            << QByteArray("line 3: dtmf.ID Code: \"12\" is no ID code: 3 to 10 digits");
        QTest::newRow("stun code with E")
            << QByteArray("meridox") << QByteArray("dtmf:\n  Stun Code: \"12E\"\n")
            << QByteArray("line 3: dtmf.Stun Code: \"12E\" is no DTMF code: up to 10 of 0-9, "
                          "A-D, * and #");
        QTest::newRow("autodial entries")
            << QByteArray("meridox")
            << QByteArray("dtmf:\n  Autodial Memory:\n    - {number: 9, code: \"1\"}\n"
                          "    - {code: \"2\", name: x}\n")
            << QByteArray("line 4: dtmf.Autodial Memory[0].number: 9 is outside 1 - 8\n"
                          "line 5: dtmf.Autodial Memory[1]: number: missing\n"
                          "line 5: dtmf.Autodial Memory[1].name: unknown key");
        QTest::newRow("own fleet 350")
            << QByteArray("meridox") << QByteArray("fleetsync:\n  Fleet(Own): 350\n")
            << QByteArray("line 3: fleetsync.Fleet(Own): \"350\" is not one of \"\", \"100\" "
                          "... \"349\"");
        QTest::newRow("nine fleet list rows")
            << QByteArray("meridox")
            << QByteArray("fleetsync:\n  Fleet List: [{number: 1, fleet: All, id: All}, {number: "
                          "2, fleet: All, id: All}, {number: 3, fleet: All, id: All}, {number: 4, "
                          "fleet: All, id: All}, {number: 5, fleet: All, id: All}, {number: 6, "
                          "fleet: All, id: All}, {number: 7, fleet: All, id: All}, {number: 8, "
                          "fleet: All, id: All}, {number: 8, fleet: All, id: All}]\n")
            << QByteArray("line 3: fleetsync.Fleet List: 9 entries; there are places for 8");
        QTest::newRow("test frequency of three digits")
            << QByteArray("meridox")
            << QByteArray("test frequencies:\n  channels:\n    - {channel: 1, rx: 155.05, tx: "
                          "28}\n")
            << QByteArray("line 4: test frequencies.channels[0].rx: \"155.05\" is no test "
                          "frequency: MHz with two digits before the point and up to six after "
                          "it (28.015)");
        QTest::newRow("count without its table")
            << QByteArray("meridox") << QByteArray("test frequencies:\n  count: 3\n")
            << QByteArray("line 3: test frequencies.count: given without channels");
        QTest::newRow("count that does not fit the table")
            << QByteArray("meridox")
            << QByteArray("test frequencies:\n  channels: []\n  count: 2\n")
            << QByteArray("line 4: test frequencies.count: a count of 2 does not fit the 0 "
                          "entries of channels");
    }
    void refusedTexts() {
        QFETCH(QByteArray, product);
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, problems);
        const Product& p = productNamed(QString::fromLatin1(product));
        const ConfigTextImport r = importConfigurationText(p, header(p) + text, defaults(p));
        QCOMPARE(r.problems.join(QLatin1Char('\n')), QString::fromUtf8(problems));
        QVERIFY(!r.record);
    }

    // What the text leaves out keeps the base's values; a table it gives is all of the table.
    void omittedKeysKeepTheBase() {
        const Product& p = meridoxProduct();
        RadioConfig base = defaults(p);
        base.keyAssign = {6, 7};
        base.scanWords[0] = 2;
        base.dtmfCodeCount = 1;
        base.dtmfCodes[0] = {4, FixedText<16>(QByteArray("99\0", 3))};
        base.dtmfCodes[5].number = 6; // bytes in an unused place
        const ConfigTextImport r = importConfigurationText(
            p, header(p) + "key assignment:\n  PF2: Monitor\ndtmf:\n  Autodial Memory: []\n", base);
        QCOMPARE(r.problems, QStringList());
        RadioConfig expected = base;
        expected.keyAssign[1] = 4;
        expected.dtmfCodeCount = 0;
        expected.dtmfCodes = {};
        QCOMPARE(encodeRecord(p, *r.record), encodeRecord(p, expected));
    }
};

QTEST_GUILESS_MAIN(TestConfigTextSettings)
#include "tst_configtextsettings.moc"
