// Defaults, snapshot and modified check, model and band rules.
#include "core/config/document.h"
#include "core/config/modelband.h"
#include "recordedit.h"
#include "testsupport.h"

#include <QTest>

class TestConfig : public QObject {
    Q_OBJECT
  private slots:
    void defaults_data();
    void defaults();
    void createDate();
    void defaultTestFrequencies();
    void modifiedCheck_data();
    void modifiedCheck();
    void reorderedGroupComparesEqual();
    void bandCode_data();
    void bandCode();
    void bandText_data();
    void bandText();
    void modelFromIdentity_data();
    void modelFromIdentity();
    void modelClassTrims();
    void radioType();
    void limits_data();
    void limits();
    void versionRule_data();
    void versionRule();
    void markTestFrequencies();
};

void TestConfig::defaults_data() {
    QTest::addColumn<const Product*>("product");
    QTest::newRow("meridox") << &meridoxProduct();
    QTest::newRow("solvir") << &solvirProduct();
}

void TestConfig::defaults() {
    QFETCH(const Product*, product);
    Document doc(*product);
    doc.initialiseDefaults();
    const RadioConfig& c = doc.config();
    const char* freqs[] = {"28015000", "28145000", "28115000", "28085000", "28055000", "28025000"};
    for (int g = 0; g < GroupCount; ++g) {
        QCOMPARE(c.groupChannelCount[size_t(g)], 1);
        const ChannelEntry& e = c.entry(g, 1);
        QCOMPARE(e.channelNo, 1);
        QCOMPARE(e.inUse, 1);
        QCOMPARE(e.rxFreq.raw(), QByteArray(freqs[g]));
        QCOMPARE(e.txFreq.raw(), QByteArray(freqs[g]));
        QCOMPARE(e.scanFlag, 1);
        for (int i = 1; i <= 7; ++i)
            QCOMPARE(e.channelFlags[size_t(i)], i == 3 ? 1 : 0);
    }
    QCOMPARE(c.optionWords[4], product->hasVersionField ? 3 : 2);
    QCOMPARE(c.optionWords[1], 105);
    QCOMPARE(c.optionWords[9], 60);
    QCOMPARE(c.optionWords[24], 0);
    if (product->optionWordCount == 42) {
        QCOMPARE(c.optionWords[37], 1);
        QCOMPARE(c.optionWords[39], 100);
    }
    QCOMPARE(c.keyAssign[0], 255);
    QCOMPARE(c.keyAssign[1], 10);
    QCOMPARE(c.scanWords[3], 51);
    QCOMPARE(c.dtmf.idCode.raw(), QByteArray("000       "));
    QCOMPARE(c.dtmf.stunCode.raw(), QByteArray("\0         ", 10));
    QCOMPARE(c.fleetSync.modulationDelay, 400);
    QCOMPARE(c.embeddedMessage[0].raw(), QByteArray(1, '\0') + QByteArray(31, ' '));
    QCOMPARE(c.modelInfo.typeLetter, 67);
    QCOMPARE(c.modelInfo.softwareVersionText.raw(), QByteArray("V1.00"));
    QCOMPARE(c.modelInfo.modelCode, 248);
    QCOMPARE(c.modelInfo.bandCode, 4);
    QCOMPARE(c.modelInfo.bandCodeCopy, 4);
    if (product->hasVersionField)
        QCOMPARE(c.modelInfo.modelName.raw(), QByteArray("SOLV\0 ", 6));
    else
        QCOMPARE(c.modelInfo.modelName.raw(), QByteArray("SOLVIR"));
    QCOMPARE(doc.fileName(), QStringLiteral("new.dat"));
    QVERIFY(doc.isUntitled());
    QVERIFY(!doc.isModified());
    QCOMPARE(doc.lowerLimit(), product->hasVersionField ? 25.605 : 25.615);
    QCOMPARE(doc.upperLimit(), product->hasVersionField ? 30.115 : 30.105);
}

void TestConfig::createDate() {
    Document doc(meridoxProduct());
    doc.initialiseDefaults({}, QDate(2010, 3, 5));
    QCOMPARE(doc.config().modelInfo.createDate.raw(), QByteArray("20100305"));
}

void TestConfig::defaultTestFrequencies() {
    const auto& t = defaultTestFreqTable();
    QCOMPARE(t[0][0].rx, QStringLiteral("155.05"));
    QCOMPARE(t[0][0].tx, QStringLiteral("155.1"));
    QCOMPARE(t[0][1].tx, QStringLiteral("136.1"));
    QCOMPARE(t[0][2].rx, QStringLiteral("173.95"));
    QCOMPARE(t[1][3].rx, QStringLiteral("255.5"));
    QCOMPARE(t[0][6].rx, QString(QChar(0)));
    // Stored as the original program stores them: the literal algorithm on a three-digit text.
    Document doc(meridoxProduct());
    doc.initialiseDefaults();
    QCOMPARE(doc.config().testFreqCount, 6);
    QCOMPARE(doc.config().testFreqs[0].rxFreq.raw(), QByteArray("1505\0   ", 8));
    QCOMPARE(doc.config().testFreqs[0].txFreq.raw(), QByteArray("151\0    ", 8));
    QCOMPARE(doc.config().testFreqs[0].rxMark, 15);
    QCOMPARE(doc.config().testFreqs[6].rxFreq.raw(), QByteArray(8, '\0'));
}

// Each row changes one thing and says whether the modified check must see it.
void TestConfig::modifiedCheck_data() {
    QTest::addColumn<int>("change");
    QTest::addColumn<bool>("modified");
    QTest::newRow("nothing") << 0 << false;
    QTest::newRow("rx frequency") << 1 << true;
    QTest::newRow("channel flag") << 2 << true;
    QTest::newRow("group count") << 3 << true;
    QTest::newRow("option word 41") << 4 << true;
    QTest::newRow("message line") << 5 << true;
    QTest::newRow("create date") << 6 << true;
    QTest::newRow("rx extra") << 7 << false;
    QTest::newRow("current group") << 8 << false;
    QTest::newRow("key assignment") << 9 << true;
    QTest::newRow("scan word") << 10 << true;
    QTest::newRow("dtmf") << 11 << true;
    QTest::newRow("fleetsync") << 12 << true;
    QTest::newRow("test frequency") << 13 << true;
    QTest::newRow("stale place beyond count") << 14 << false;
    QTest::newRow("test frequency mark") << 15 << false;
}

void TestConfig::modifiedCheck() {
    QFETCH(int, change);
    QFETCH(bool, modified);
    Document doc(meridoxProduct());
    doc.initialiseDefaults();
    RadioConfig c = doc.config();
    switch (change) {
    case 1:
        c.entry(0, 1).rxFreq.assign(QByteArray("28015010"));
        break;
    case 2:
        c.entry(2, 1).channelFlags[7] = 1;
        break;
    case 3:
        doc.addChannel(1, 2, QStringLiteral("28.100000"));
        break;
    case 4:
        c.optionWords[41] = 1;
        break;
    case 5:
        c.embeddedMessage[1].assign(QByteArray("HELLO"));
        break;
    case 6:
        c.modelInfo.createDate.assign(QByteArray("19990101"));
        break;
    case 7:
        c.entry(0, 1).rxExtra = 50;
        break;
    case 8:
        c.currentGroup = 3;
        break;
    case 9:
        c.keyAssign[0] = 1;
        break;
    case 10:
        c.scanWords[2] = 7;
        break;
    case 11:
        c.dtmf.encode[0] = 1;
        break;
    case 12:
        c.fleetSync.ownId = 5;
        break;
    case 13:
        c.testFreqs[0].rxFreq.assign(QByteArray("27000000"));
        break;
    case 14:
        c.entry(0, 5).rxFreq.assign(QByteArray("27000000"));
        break;
    case 15:
        c.testFreqs[0].rxMark = 2;
        break;
    }
    if (change != 3) setRecord(doc, c);
    QCOMPARE(doc.isModified(), modified);
}

void TestConfig::reorderedGroupComparesEqual() {
    Document doc(meridoxProduct());
    doc.initialiseDefaults();
    doc.addChannel(0, 7, QStringLiteral("27.000000"));
    doc.addChannel(0, 3, QStringLiteral("26.000000"));
    doc.takeSnapshot();
    editRecord(doc, [](RadioConfig& c) { std::swap(c.entry(0, 2), c.entry(0, 3)); });
    QVERIFY(!doc.isModified());
    editRecord(doc, [&](RadioConfig& c) { c.entry(0, 2).scanFlag = 0; });
    QVERIFY(doc.isModified());
}

void TestConfig::bandCode_data() {
    QTest::addColumn<QString>("band");
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("meridox");
    QTest::addColumn<int>("solvir");
    QTest::newRow("default band") << "25.605000 - 30.115000 MHz"
                                  << "SOLV" << 4 << 0;
    QTest::newRow("older default band") << "25.615000 - 30.105000 MHz"
                                        << "SOLVIR" << 0 << 4;
    QTest::newRow("CB band") << "26.51500 - 27.85500 MHz"
                             << "WX40" << 3 << 3;
    QTest::newRow("136 on 864") << "136 - 174 MHz"
                                << "864" << 1 << 1;
    QTest::newRow("136 on 5480") << "136 - 174 MHz"
                                 << "5480" << 99 << 99;
    QTest::newRow("245 on 864") << "245 - 246 MHz"
                                << "864" << 0 << 0;
    QTest::newRow("245 on 5480") << "245 - 246 MHz"
                                 << "5480" << 1 << 1;
    QTest::newRow("350 on 863") << "350 - 390 MHz"
                                << "863" << 83 << 83;
    QTest::newRow("350 on 5470") << "350 - 390 MHz"
                                 << "5470" << 1 << 1;
    QTest::newRow("400 on 863") << "400 - 470 MHz"
                                << "863" << 67 << 67;
    QTest::newRow("400 on 5470") << "400 - 470 MHz"
                                 << "5470" << 65 << 65;
    QTest::newRow("470 on 863") << "470 - 512 MHz"
                                << "863" << 51 << 51;
    QTest::newRow("470 on 5470") << "470 - 512 MHz"
                                 << "5470" << 33 << 33;
    QTest::newRow("450 on 863") << "450 - 520 MHz"
                                << "863" << 48 << 48;
    QTest::newRow("450 on 5470") << "450 - 520 MHz"
                                 << "5470" << 49 << 49;
    QTest::newRow("model with spaces") << "136 - 174 MHz"
                                       << " 864 " << 1 << 1;
    QTest::newRow("unknown band") << "1 - 2 MHz"
                                  << "864" << 0 << 0;
}

void TestConfig::bandCode() {
    QFETCH(QString, band);
    QFETCH(QString, model);
    QFETCH(int, meridox);
    QFETCH(int, solvir);
    QCOMPARE(::bandCode(meridoxProduct(), band, model), meridox);
    QCOMPARE(::bandCode(solvirProduct(), band, model), solvir);
}

void TestConfig::bandText_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("band");
    QTest::newRow("0") << 0 << "SOLV"
                       << "245 - 246 MHz";
    QTest::newRow("1 on 864") << 1 << "864"
                              << "136 - 174 MHz";
    QTest::newRow("1 on 5470") << 1 << "5470"
                               << "350 - 390 MHz";
    QTest::newRow("1 on 5480") << 1 << "5480"
                               << "245 - 246 MHz";
    QTest::newRow("3") << 3 << "WX40"
                       << "26.51500 - 27.85500 MHz";
    QTest::newRow("4") << 4 << "SOLV"
                       << "25.605000 - 30.115000 MHz";
    QTest::newRow("33") << 33 << "5470"
                        << "470 - 512 MHz";
    QTest::newRow("51") << 51 << "863"
                        << "470 - 512 MHz";
    QTest::newRow("48") << 48 << "863"
                        << "450 - 520 MHz";
    QTest::newRow("49") << 49 << "5470"
                        << "450 - 520 MHz";
    QTest::newRow("65") << 65 << "5470"
                        << "400 - 470 MHz";
    QTest::newRow("67") << 67 << "863"
                        << "400 - 470 MHz";
    QTest::newRow("83") << 83 << "863"
                        << "350 - 390 MHz";
    QTest::newRow("99") << 99 << "5480"
                        << "136 - 174 MHz";
    QTest::newRow("other") << 7 << "SOLV"
                           << "";
}

void TestConfig::bandText() {
    QFETCH(int, code);
    QFETCH(QString, model);
    QFETCH(QString, band);
    QCOMPARE(::bandText(meridoxProduct(), code, model), band);
    if (code == 4)
        QCOMPARE(::bandText(solvirProduct(), code, model),
                 QStringLiteral("25.615000 - 30.105000 MHz"));
}

void TestConfig::modelFromIdentity_data() {
    QTest::addColumn<int>("cls");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("meridox");
    QTest::addColumn<QString>("solvir");
    QTest::newRow("248/99") << 248 << 99 << "5480"
                            << "5480";
    QTest::newRow("248/1") << 248 << 1 << "5480"
                           << "5480";
    QTest::newRow("248/3") << 248 << 3 << "WX40"
                           << "WX40";
    QTest::newRow("248/4") << 248 << 4 << "SOLV"
                           << "5480";
    QTest::newRow("249") << 249 << 0 << "864"
                         << "864";
    QTest::newRow("252") << 252 << 83 << "5470"
                         << "5470";
    QTest::newRow("other") << 17 << 4 << "SOLV"
                           << "863";
}

void TestConfig::modelFromIdentity() {
    QFETCH(int, cls);
    QFETCH(int, code);
    QFETCH(QString, meridox);
    QFETCH(QString, solvir);
    QCOMPARE(modelTextFromIdentity(meridoxProduct(), cls, code), meridox);
    QCOMPARE(modelTextFromIdentity(solvirProduct(), cls, code), solvir);
}

void TestConfig::modelClassTrims() {
    QCOMPARE(modelClass(QStringLiteral(" 864 ")), 249);
    QCOMPARE(modelClass(QStringLiteral("5470")), 252);
    QCOMPARE(modelClass(QStringLiteral("863")), 248);
    QCOMPARE(modelClass(QString()), 248);
    QCOMPARE(cleanModelText(QStringLiteral(" SOLV") + QChar(0) + QLatin1Char(' ')),
             QStringLiteral("SOLV"));
}

void TestConfig::radioType() {
    QCOMPARE(radioTypeToModelText(QStringLiteral("5810")), QStringLiteral("610"));
    QCOMPARE(radioTypeToModelText(QStringLiteral("5915")), QStringLiteral("715"));
    QCOMPARE(radioTypeToModelText(QStringLiteral("5816")), QString());
}

void TestConfig::limits_data() {
    QTest::addColumn<QString>("band");
    QTest::addColumn<double>("lower");
    QTest::addColumn<double>("upper");
    QTest::newRow("default") << "25.605000 - 30.115000 MHz" << 25.605 << 30.115;
    QTest::newRow("VHF") << "136 - 174 MHz" << 136.0 << 174.0;
    QTest::newRow("no separator") << "Unknown" << 100.0 << 500.0;
    QTest::newRow("not numeric") << "low - high MHz" << 100.0 << 500.0;
    QTest::newRow("no MHz") << "136 - 174" << 136.0 << 500.0;
    QTest::newRow("empty") << "" << 100.0 << 500.0;
}

void TestConfig::limits() {
    QFETCH(QString, band);
    QFETCH(double, lower);
    QFETCH(double, upper);
    const BandLimits l = deriveFrequencyLimits(band);
    QCOMPARE(l.lower, lower);
    QCOMPARE(l.upper, upper);
}

void TestConfig::versionRule_data() {
    QTest::addColumn<QString>("version");
    QTest::addColumn<bool>("compatible");
    QTest::newRow("V100") << "V100" << true;
    QTest::newRow("V101") << "V101" << true;
    QTest::newRow("V10x") << "V10x" << true;
    QTest::newRow("V200") << "V200" << false;
    QTest::newRow("ABCD") << "ABCD" << false;
    QTest::newRow("short") << "V1" << false;
}

void TestConfig::versionRule() {
    QFETCH(QString, version);
    QFETCH(bool, compatible);
    QCOMPARE(versionCompatible(version, QStringLiteral("V100")), compatible);
}

void TestConfig::markTestFrequencies() {
    Document doc(meridoxProduct());
    doc.initialiseDefaults();
    auto freqs = doc.config().testFreqs;
    freqs[1].txFreq.assign(QByteArray("13600000"));
    freqs[0].rxMark = 2;
    doc.setTestFrequencies(doc.config().testFreqCount, freqs, QString());
    QCOMPARE(doc.config().testFreqs[0].rxMark, 15);
    QCOMPARE(doc.config().testFreqs[1].rxMark, 15);
    QCOMPARE(doc.config().testFreqs[1].txMark, 2);
    QCOMPARE(doc.config().testFreqs[6].rxMark, 0); // beyond the count: untouched
}

QTEST_GUILESS_MAIN(TestConfig)
#include "tst_config.moc"
