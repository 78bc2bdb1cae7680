// Frequency forms, range checks and the single update path of the channel table.
#include "core/channels/channelrules.h"
#include "core/channels/optiontables.h"
#include "recordedit.h"
#include "testsupport.h"

#include <QTest>

class TestChannelRules : public QObject {
    Q_OBJECT
    Document doc{meridoxProduct()};
    Document older{solvirProduct()};

  private slots:
    void init() {
        doc.notifier().disconnect(); // no listener of an earlier test
        doc.initialiseDefaults();
        older.initialiseDefaults();
    }
    void storedToShown_data();
    void storedToShown();
    void shownToStored_data();
    void shownToStored();
    void typedInput_data();
    void typedInput();
    void typedInputOlderRadio_data();
    void typedInputOlderRadio();
    void newChannelFromRxCell();
    void invalidRxDeletesChannel();
    void lastChannelIsKept();
    void clearingTxCopiesRx();
    void invalidTxClampedToLimit();
    void flagAndScanColumns();
    void editOfMissingChannelStoresNothing();
    void deletionKeepsOrder();
    void emergencyChannelFollowsDeletion();
    void changeSignals();
    void olderRadioLinksRxAndTx();
    void damagedCountIsSafe();
    void tiedCheckBoxes_data();
    void tiedCheckBoxes();
};

void TestChannelRules::storedToShown_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("messages");
    QTest::newRow("digits") << "28015000"
                            << "28.015000" << 0;
    QTest::newRow("fine digits") << "27123450"
                                 << "27.123450" << 0;
    QTest::newRow("empty") << ""
                           << "" << 0;
    QTest::newRow("spaces") << "        "
                            << "" << 0;
    QTest::newRow("unset in radio") << "FFFFFFFF"
                                    << "" << 0;
    QTest::newRow("not numeric") << "28A15000"
                                 << "25.605" << 1;
}

void TestChannelRules::storedToShown() {
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    QFETCH(int, messages);
    ScriptedMessages msgs;
    QCOMPARE(shownFrequency(doc, stored), shown);
    QCOMPARE(msgs.asked.size(), messages);
    if (messages) QCOMPARE(msgs.asked.first().text, QStringLiteral("Not IsNumeric"));
}

void TestChannelRules::shownToStored_data() {
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("stored");
    QTest::newRow("validated") << "28.015000"
                               << "28015000";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("no point") << "28015000"
                              << "28015000";
    QTest::newRow("three integer digits") << "155.05"
                                          << "1505";
    QTest::newRow("one decimal") << "155.1"
                                 << "151";
    QTest::newRow("not numeric takes lower limit") << "abcdefghi"
                                                   << "25ghi";
}

void TestChannelRules::shownToStored() {
    QFETCH(QString, shown);
    QFETCH(QString, stored);
    QCOMPARE(storedFrequency(doc, shown), stored);
}

void TestChannelRules::typedInput_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("clamp");
    QTest::addColumn<QString>("result");
    QTest::addColumn<bool>("warned");
    QTest::newRow("snapped down") << "27.123456" << false << "27.123450" << false;
    QTest::newRow("five decimals") << "27.12345" << false << "27.123450" << false;
    QTest::newRow("lower limit") << "25.605" << false << "25.605000" << false;
    QTest::newRow("upper limit") << "30.115" << false << "30.115000" << false;
    QTest::newRow("hair above upper") << "30.1150001" << false << "" << true;
    QTest::newRow("above, clamped") << "31" << true << "30.115000" << true;
    QTest::newRow("below, clamped") << "20" << true << "25.605000" << true;
    QTest::newRow("text") << "abc" << false << "" << true;
    QTest::newRow("text, clamped") << "abc" << true << "25.605000" << true;
    QTest::newRow("comma is not a point") << "27,5" << false << "" << true;
}

void TestChannelRules::typedInput() {
    QFETCH(QString, typed);
    QFETCH(bool, clamp);
    QFETCH(QString, result);
    QFETCH(bool, warned);
    ScriptedMessages msgs;
    QCOMPARE(formatTypedFrequency(doc, typed, clamp), result);
    QCOMPARE(!msgs.asked.isEmpty(), warned);
    if (warned) {
        QCOMPARE(msgs.asked.first().text, QStringLiteral("Frequency is out of range."));
        QCOMPARE(msgs.asked.first().icon, MsgIcon::Warning);
    }
}

void TestChannelRules::typedInputOlderRadio_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("rx");
    QTest::addColumn<QString>("tx");
    // The older radio never pulls a value to a limit: a bad TX is cleared, which copies RX.
    QTest::newRow("tx above") << 2 << "31"
                              << "28015000"
                              << "28015000";
    QTest::newRow("tx text") << 2 << "x"
                             << "28015000"
                             << "28015000";
    QTest::newRow("rx valid copies to tx") << 1 << "27.5"
                                           << "27500000"
                                           << "27500000";
}

void TestChannelRules::typedInputOlderRadio() {
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QString, rx);
    QFETCH(QString, tx);
    ScriptedMessages msgs;
    older.setChannelCell(1, column, typed);
    QCOMPARE(older.config().entry(0, 1).rxFreq.text(), rx);
    QCOMPARE(older.config().entry(0, 1).txFreq.text(), tx);
}

void TestChannelRules::newChannelFromRxCell() {
    doc.setChannelCell(5, ColRx, QStringLiteral("27.5"));
    QCOMPARE(doc.config().groupChannelCount[0], 2);
    const ChannelEntry& e = doc.config().entry(0, 2);
    QCOMPARE(e.channelNo, 5);
    QCOMPARE(e.inUse, 1);
    QCOMPARE(e.rxFreq.raw(), QByteArray("27500000"));
    QCOMPARE(e.txFreq.raw(), QByteArray("27500000"));
    QCOMPARE(e.scanFlag, 1);
    for (int i = 1; i <= 7; ++i)
        QCOMPARE(e.channelFlags[size_t(i)], i == 3 ? 1 : 0);
}

void TestChannelRules::invalidRxDeletesChannel() {
    ScriptedMessages msgs;
    doc.setChannelCell(5, ColRx, QStringLiteral("27.5"));
    doc.setChannelCell(5, ColRx, QStringLiteral("40"));
    QCOMPARE(msgs.texts(), QStringList{QStringLiteral("Frequency is out of range.")});
    QCOMPARE(doc.config().groupChannelCount[0], 1);
    QCOMPARE(findChannelPlace(doc, 0, 5), 0);
}

void TestChannelRules::lastChannelIsKept() {
    int shown = 0;
    QObject::connect(&doc.notifier(), &DocumentNotifier::channelRowChanged,
                     [&](int n) { shown = n; });
    doc.setChannelCell(1, ColRx, QString());
    QCOMPARE(doc.config().groupChannelCount[0], 1);
    QCOMPARE(doc.config().entry(0, 1).rxFreq.raw(), QByteArray("28015000"));
    QCOMPARE(shown, 1); // the grid shows its frequency again
}

void TestChannelRules::clearingTxCopiesRx() {
    doc.setChannelCell(1, ColTx, QStringLiteral("29"));
    QCOMPARE(doc.config().entry(0, 1).txFreq.raw(), QByteArray("29000000"));
    doc.setChannelCell(1, ColTx, QString());
    QCOMPARE(doc.config().entry(0, 1).txFreq.raw(), QByteArray("28015000"));
}

void TestChannelRules::invalidTxClampedToLimit() {
    ScriptedMessages msgs;
    doc.setChannelCell(1, ColTx, QStringLiteral("35"));
    QCOMPARE(doc.config().entry(0, 1).txFreq.raw(), QByteArray("30115000"));
    doc.setChannelCell(1, ColTx, QStringLiteral("?"));
    QCOMPARE(doc.config().entry(0, 1).txFreq.raw(), QByteArray("25605000"));
    QCOMPARE(msgs.asked.size(), 2);
}

void TestChannelRules::flagAndScanColumns() {
    editRecord(doc, [&](RadioConfig& c) { c.currentGroup = 2; });
    doc.setChannelCell(1, 3, QStringLiteral("1"));
    doc.setChannelCell(1, 5, QStringLiteral("0"));
    doc.setChannelCell(1, 9, QStringLiteral("1"));
    doc.setChannelCell(1, ColScan, QStringLiteral("0"));
    const ChannelEntry& e = doc.config().entry(2, 1);
    QCOMPARE(e.channelFlags[1], 1);
    QCOMPARE(e.channelFlags[3], 0);
    QCOMPARE(e.channelFlags[7], 1);
    QCOMPARE(e.scanFlag, 0);
    QCOMPARE(doc.config().entry(0, 1).channelFlags[1], 0); // other groups untouched
}

void TestChannelRules::editOfMissingChannelStoresNothing() {
    const RadioConfig before = doc.config();
    doc.setChannelCell(9, ColTx, QStringLiteral("28"));
    doc.setChannelCell(9, 4, QStringLiteral("1"));
    doc.setChannelCell(9, ColRx, QString());
    QCOMPARE(doc.config().groupChannelCount, before.groupChannelCount);
    QCOMPARE(doc.config().entry(0, 2).channelNo, 0);
}

void TestChannelRules::deletionKeepsOrder() {
    for (int n : {7, 3, 12})
        doc.setChannelCell(n, ColRx, QStringLiteral("27"));
    doc.setChannelCell(3, ColRx, QString());
    QCOMPARE(doc.config().groupChannelCount[0], 3);
    QCOMPARE(doc.config().entry(0, 1).channelNo, 1);
    QCOMPARE(doc.config().entry(0, 2).channelNo, 7);
    QCOMPARE(doc.config().entry(0, 3).channelNo, 12);
}

void TestChannelRules::emergencyChannelFollowsDeletion() {
    editRecord(doc, [&](RadioConfig& c) { c.currentGroup = 1; });
    doc.setChannelCell(4, ColRx, QStringLiteral("27"));
    editRecord(doc,
               [&](RadioConfig& c) { c.optionWords[25] = 3; }); // group B's emergency channel is 4
    editRecord(doc, [&](RadioConfig& c) {
        c.optionWords[24] = 40;
    });                                      // group A's points at a channel that does not exist
    doc.setChannelCell(1, ColRx, QString()); // delete B's channel 1 (not the emergency one)
    QCOMPARE(doc.config().optionWords[25], 3);
    QCOMPARE(doc.config().optionWords[24], 0);
    doc.setChannelCell(5, ColRx, QStringLiteral("27"));
    doc.setChannelCell(4, ColRx, QString());   // delete the emergency channel itself
    QCOMPARE(doc.config().optionWords[25], 4); // falls back to the first place: channel 5
    QCOMPARE(emergencyChannelFor(doc, 1, 9), 5);
    editRecord(doc, [&](RadioConfig& c) { c.groupChannelCount[3] = 0; });
    QCOMPARE(emergencyChannelFor(doc, 3, 1), 0);
    // A channel added to B puts every group's emergency channel right.
    doc.setChannelCell(1, ColRx, QStringLiteral("27"));
    QCOMPARE(doc.config().optionWords[27], -1);
}

void TestChannelRules::changeSignals() {
    int lists = 0;
    QList<int> rows;
    QObject::connect(&doc.notifier(), &DocumentNotifier::emergencyListsChanged, [&] { ++lists; });
    QObject::connect(&doc.notifier(), &DocumentNotifier::channelRowChanged,
                     [&](int n) { rows << n; });
    doc.setChannelCell(8, ColRx, QStringLiteral("27"));
    doc.setChannelCell(8, 4, QStringLiteral("1"));
    doc.setChannelCell(8, ColRx, QString());
    QCOMPARE(lists, 2);
    QCOMPARE(rows, (QList<int>{8, 8, 8}));
}

void TestChannelRules::olderRadioLinksRxAndTx() {
    older.setChannelCell(1, ColTx, QStringLiteral("29"));
    QCOMPARE(older.config().entry(0, 1).rxFreq.raw(), QByteArray("29000000"));
    editRecord(older, [&](RadioConfig& c) { c.optionWords[20] = 1; }); // "Single Change Frequency"
    older.setChannelCell(1, ColTx, QStringLiteral("28"));
    QCOMPARE(older.config().entry(0, 1).rxFreq.raw(), QByteArray("29000000"));
    QCOMPARE(older.config().entry(0, 1).txFreq.raw(), QByteArray("28000000"));
    // Meridox keeps the two apart whatever word 20 says.
    doc.setChannelCell(1, ColTx, QStringLiteral("29"));
    QCOMPARE(doc.config().entry(0, 1).rxFreq.raw(), QByteArray("28015000"));
}

// A damaged file may claim more places than a group has.
void TestChannelRules::damagedCountIsSafe() {
    editRecord(doc, [&](RadioConfig& c) { c.groupChannelCount[0] = 75; });
    for (int k = 1; k <= 60; ++k)
        editRecord(doc, [&](RadioConfig& c) { c.entry(0, k).channelNo = int16_t(k); });
    doc.setChannelCell(30, ColRx, QString());
    QCOMPARE(doc.config().groupChannelCount[0], 59);
    QCOMPARE(doc.config().entry(0, 30).channelNo, 31);
    QCOMPARE(emergencyChannelFor(doc, 0, 60), 60);
    editRecord(doc, [&](RadioConfig& c) { c.groupChannelCount[1] = 60; });
    doc.setChannelCell(61, ColRx, QStringLiteral("27")); // no 61st place
    QCOMPARE(doc.config().groupChannelCount[1], 60);
}

// Option words 12..17 enable LSB, USB, FM, AM, PA and CW (check boxes 0..5), word 18 is single
// change of channel data (box 6), words 30..36 the common functions BUSY .. RB (boxes 9..15).
void TestChannelRules::tiedCheckBoxes_data() {
    QTest::addColumn<QList<int>>("onBefore"); // words holding 1; the others hold 0
    QTest::addColumn<int>("check");
    QTest::addColumn<bool>("on");
    QTest::addColumn<QList<int>>("onAfter");
    QTest::addColumn<bool>("functionsEditable");
    QTest::newRow("single change on: functions off")
        << QList<int>{12, 30, 32, 36} << 6 << true << QList<int>{12, 18} << false;
    QTest::newRow("single change off: functions stay off")
        << QList<int>{12, 18} << 6 << false << QList<int>{12} << true;
    QTest::newRow("a function on") << QList<int>{12} << 11 << true << QList<int>{12, 32} << true;
    QTest::newRow("last mode stays on")
        << QList<int>{12, 30} << 0 << false << QList<int>{12, 30} << true;
    QTest::newRow("another mode left")
        << QList<int>{12, 17} << 0 << false << QList<int>{17} << true;
}

void TestChannelRules::tiedCheckBoxes() {
    QFETCH(QList<int>, onBefore);
    QFETCH(int, check);
    QFETCH(bool, on);
    QFETCH(QList<int>, onAfter);
    QFETCH(bool, functionsEditable);
    OptionTables::OptionWords words{};
    for (int w : onBefore)
        words[size_t(w)] = 1;
    const auto result = OptionTables::withCheck(words, check, on);
    QList<int> shown;
    for (int w = 12; w <= 36; ++w)
        if (result[size_t(w)] == 1) shown << w;
    QCOMPARE(shown, onAfter);
    QCOMPARE(OptionTables::functionsEditable(result), functionsEditable);
}

QTEST_GUILESS_MAIN(TestChannelRules)
#include "tst_channelrules.moc"
