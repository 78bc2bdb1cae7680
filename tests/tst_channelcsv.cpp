// Channel lists as CSV files, and the comparison of two configurations.
#include "recordedit.h"
#include "testsupport.h"

#include "core/channels/channelrules.h"
#include "core/config/datafile.h"
#include "exchange/channelcsv.h"
#include "exchange/configdiff.h"

#include <QRegularExpression>
#include <QTest>

namespace {

std::unique_ptr<Document> newDocument(const Product& p) {
    auto d = std::make_unique<Document>(p);
    d->initialiseDefaults({}, QDate(2026, 12, 8));
    return d;
}

QByteArray record(const Document& d) {
    return encodeRecord(d.product(), d.config());
}

// Every group full: sixty channels in a shuffled order, each with its own frequencies,
// settings and scan flag.
void fillAllGroups(Document& d) {
    editRecord(d, [&](RadioConfig& c) {
        c.optionWords[20] = 1;
    }); // TX may differ from RX (solvir links them otherwise)
    for (int g = 0; g < GroupCount; ++g) {
        editRecord(d, [&](RadioConfig& c) { c.groupChannelCount[size_t(g)] = 0; });
        for (int k = 0; k < ChannelsPerGroup; ++k) {
            const int n = (k * 7 + g) % ChannelsPerGroup + 1;
            const double rx = 25.62 + 0.07 * k + 0.01 * g;
            d.addChannel(g, n, formatMhz(rx));
            RadioConfig c = d.config();
            ChannelEntry& e = c.entry(g, k + 1);
            e.txFreq.assign(storedFrequency(d, formatMhz(rx + 0.00125)));
            for (int i = 1; i <= 7; ++i)
                e.channelFlags[size_t(i)] = int16_t(((k >> i) ^ g) & 1);
            e.scanFlag = int16_t((k + g) % 2);
            e.rxExtra = int16_t(k - 30);
            setRecord(d, c);
        }
    }
}

// Group g's channels as "n:rx/tx:flags:scan" in place order.
QStringList groupChannels(const Document& d, int g) {
    QStringList out;
    for (int k = 1; k <= d.config().groupChannelCount[size_t(g)]; ++k) {
        const ChannelEntry& e = d.config().entry(g, k);
        QString flags;
        for (int i = 1; i <= 7; ++i)
            flags += QString::number(e.channelFlags[size_t(i)]);
        out << QStringLiteral("%1:%2/%3:%4:%5")
                   .arg(e.channelNo)
                   .arg(QString::fromLatin1(e.rxFreq.untilNul()),
                        QString::fromLatin1(e.txFreq.untilNul()), flags)
                   .arg(e.scanFlag);
    }
    return out;
}

QStringList groupA(const Document& d) {
    return groupChannels(d, 0);
}

} // namespace

class TestChannelCsv : public QObject {
    Q_OBJECT
    ScriptedMessages msgs; // the frequency rules must never raise a box during an import

  private slots:
    void init() { setCurrentLanguage(LanguageEnglish); }
    void cleanup() {
        QVERIFY2(msgs.asked.isEmpty(), qPrintable(msgs.texts().join(QLatin1Char('|'))));
    }

    void roundTrip_data() {
        QTest::addColumn<const Product*>("product");
        QTest::newRow("meridox") << &meridoxProduct();
        QTest::newRow("solvir") << &solvirProduct();
    }
    void roundTrip() {
        QFETCH(const Product*, product);
        auto d = newDocument(*product);
        fillAllGroups(*d);
        const QByteArray before = record(*d);
        const QByteArray csv = exportChannelsCsv(*d);
        QCOMPARE(csv.count("\r\n"), 1 + GroupCount * ChannelsPerGroup);
        QVERIFY(csv.startsWith(
            "Group,Channel,RX MHz,TX MHz,BUSY,VOIC,ECHO,HI-CUT,+10KHz,NB/ANL,RB,Scan\r\n"));

        // Back into the same configuration: not a byte changes.
        const ChannelImportResult r = importChannelsCsv(*d, csv);
        QVERIFY2(r.ok, qPrintable(r.problems.join(QLatin1Char('\n'))));
        QCOMPARE(r.channelCount, GroupCount * ChannelsPerGroup);
        QCOMPARE(r.groups, QList<int>({0, 1, 2, 3, 4, 5}));
        QCOMPARE(record(*d), before);

        // Into a new configuration: the same channel table, in the same places.
        auto fresh = newDocument(*product);
        editRecord(*fresh, [&](RadioConfig& c) { c.optionWords[20] = 1; });
        QVERIFY(importChannelsCsv(*fresh, csv).ok);
        QCOMPARE(exportChannelsCsv(*fresh), csv);
        QVERIFY(diffConfigurations(*d, *fresh, QStringLiteral("a"), QStringLiteral("b"))
                    .filter(QRegularExpression(QStringLiteral(" [RT]X: ")))
                    .isEmpty());
    }

    void spreadsheetVariants_data() {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QStringList>("expected");
        const QByteArray header =
            "Group,Channel,RX MHz,TX MHz,BUSY,VOIC,ECHO,HI-CUT,+10KHz,NB/ANL,RB,Scan";
        const QStringList two{QStringLiteral("1:28015000/28015000:0010000:1"),
                              QStringLiteral("5:28500000/29000000:1000001:0")};
        QTest::newRow("plain")
            << header + "\nA,1,28.015000,28.015000,0,0,1,0,0,0,0,1\nA,5,28.5,29,1,0,0,0,0,0,1,0\n"
            << two;
        QTest::newRow("BOM and CRLF") << "\xEF\xBB\xBF" + header +
                                             "\r\nA,1,28.015000,,0,0,1,0,0,0,0,1\r\nA,5,28.500000,"
                                             "29.000000,1,0,0,0,0,0,1,0\r\n"
                                      << two;
        QTest::newRow("quoted, blank lines")
            << QByteArray("\"Group\",\"Channel\",\"RX MHz\",\"TX "
                          "MHz\",\"BUSY\",\"VOIC\",\"ECHO\",\"HI-CUT\",\"+10KHz\","
                          "\"NB/"
                          "ANL\",\"RB\",\"Scan\"\n\n\"A\",\"1\",\"28.015000\",\"\",\"0\",\"0\","
                          "\"1\",\"0\",\"0\",\"0\",\"0\",\"1\"\n"
                          " , , \n\"a\",5,\" 28.5 \",29,1,0,0,0,0,0,1,0\n")
            << two;
        QTest::newRow("semicolons, decimal comma")
            << QByteArray(header).replace(',', ';') +
                   "\r\nA;1;28,015;;0;0;1;0;0;0;0;1\r\nA;5;\"28,5\";29;1;0;0;0;0;0;1;0\r\n"
            << two;
        QTest::newRow("tabs") << QByteArray(header).replace(',', '\t') +
                                     "\nA\t1\t28.015\t\t0\t0\t1\t0\t0\t0\t0\t1\n"
                                     "A\t5\t28.5\t29\t1\t0\t0\t0\t0\t0\t1\t0\n"
                              << two;
        QTest::newRow("shown words, both languages")
            << header + "\nA,1,28.015,,Disable,Disable,Enable,Disable,Disable,Disable,Disable,Add\n"
                        "A,5,28.5,29,使用,不使用,不使用,关,Off,OFF,开,删除\n"
            << two;
        QTest::newRow("columns in another order, some missing")
            << QByteArray("Scan;TX MHz;Channel;Group;RX MHz\n1;;1;A;28.015\n0;29;5;A;28.5\n")
            << QStringList{QStringLiteral("1:28015000/28015000:0010000:1"),
                           QStringLiteral("5:28500000/29000000:0010000:0")};
        QTest::newRow("snapped to the raster")
            << header + "\nA,2,27.123456,27.12345,0,0,1,0,0,0,0,1\n"
            << QStringList{QStringLiteral("2:27123450/27123450:0010000:1")};
        QTest::newRow("band limits included")
            << header + "\nA,1,25.605,30.115,0,0,1,0,0,0,0,1\n"
            << QStringList{QStringLiteral("1:25605000/30115000:0010000:1")};
    }
    void spreadsheetVariants() {
        QFETCH(QByteArray, csv);
        QFETCH(QStringList, expected);
        auto d = newDocument(meridoxProduct());
        const QByteArray groupB = exportChannelsCsv(*d).split('\n').at(2);
        const ChannelImportResult r = importChannelsCsv(*d, csv);
        QVERIFY2(r.ok, qPrintable(r.problems.join(QLatin1Char('\n'))));
        QCOMPARE(r.groups, QList<int>{0});
        QCOMPARE(groupA(*d), expected);
        // Groups the file does not name keep their channels.
        QCOMPARE(exportChannelsCsv(*d).split('\n').at(1 + expected.size()), groupB);
    }

    void rejectedImport_data() {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QStringList>("problems"); // the start of each problem, in order
        const QByteArray h =
            "Group,Channel,RX MHz,TX MHz,BUSY,VOIC,ECHO,HI-CUT,+10KHz,NB/ANL,RB,Scan\n";
        QTest::newRow("every bad line named")
            << h + "A,1,28.1,,0,0,1,0,0,0,0,1\nG,2,28.1,,0,0,1,0,0,0,0,1\nA,61,28.1,,0,0,1,0,0,0,0,"
                   "1\n"
                   "A,3,31,,0,0,1,0,0,0,0,1\nA,4,28.1,abc,0,0,1,0,0,0,0,1\nA,5,28.1,,2,0,1,0,0,0,0,"
                   "1\n"
                   "A,6,28.1,,0,0,1,0,0,0,0,maybe\nA,1,28.2,,0,0,1,0,0,0,0,1\nA,7,,,0,0,1,0,0,0,0,"
                   "1\n"
            << QStringList{
                   QStringLiteral("Line 3: the group \"G\""),
                   QStringLiteral("Line 4: the channel \"61\""),
                   QStringLiteral("Line 5: the RX frequency 31.000000 MHz is outside the band"),
                   QStringLiteral("Line 6: the TX frequency \"abc\" is not a number"),
                   QStringLiteral("Line 7: BUSY \"2\""),
                   QStringLiteral("Line 8: Scan \"maybe\""),
                   QStringLiteral("Line 9: channel 1 of group A is also on line 2"),
                   QStringLiteral("Line 10: the RX frequency is missing")};
        QTest::newRow("a hair above the band")
            << h + "A,1,30.115001,,0,0,1,0,0,0,0,1\n"
            << QStringList{QStringLiteral("Line 2: the RX frequency 30.115001 MHz is outside")};
        QTest::newRow("multi-line quoted field keeps line numbers")
            << h + "A,1,\"28.1\n\",,0,0,1,0,0,0,0,1\nA,2,x,,0,0,1,0,0,0,0,1\n"
            << QStringList{QStringLiteral("Line 4: the RX frequency \"x\"")};
        QTest::newRow("not a channel list")
            << QByteArray("Name,Value\nx,1\n")
            << QStringList{QStringLiteral("The first line names neither")};
        QTest::newRow("header only")
            << h << QStringList{QStringLiteral("The file holds no channels.")};
        QTest::newRow("empty file")
            << QByteArray() << QStringList{QStringLiteral("The first line")};
        QTest::newRow("other tool without a group")
            << QByteArray("Location,Frequency\n1,28.1\n")
            << QStringList{QStringLiteral("Choose the group")};
        QTest::newRow("a long cell quoted short, control characters escaped")
            << h + "\"G\t\x01" + QByteArray(50, 'x') + "\",1,28.1,,0,0,1,0,0,0,0,1\n"
            << QStringList{QStringLiteral("Line 2: the group \"G\\t\\x01") +
                           QString(37, QLatin1Char('x')) +
                           QString::fromUtf8("…\" is not one of A to F.")};
        QTest::newRow("a 1 MB cell")
            << h + "A,1," + QByteArray(1 << 20, '9') + ",,0,0,1,0,0,0,0,1\n"
            << QStringList{QStringLiteral("Line 2: the RX frequency \"") +
                           QString(40, QLatin1Char('9')) +
                           QString::fromUtf8("…\" is not a number.")};
        QTest::newRow("4 MB: still read")
            << QByteArray(4 << 20, '\n') << QStringList{QStringLiteral("The first line")};
        QTest::newRow("a byte more: refused unread")
            << QByteArray((4 << 20) + 1, '\n')
            << QStringList{
                   QStringLiteral("The list is larger than 4 MB: this is not a channel list.")};
    }
    void rejectedImport() {
        QFETCH(QByteArray, csv);
        QFETCH(QStringList, problems);
        auto d = newDocument(meridoxProduct());
        fillAllGroups(*d);
        editRecord(*d, [&](RadioConfig& c) { c.embeddedMessage[0].assign(QByteArray("KEEP")); });
        const QByteArray before = record(*d);
        const ChannelImportResult r = importChannelsCsv(*d, csv);
        QVERIFY(!r.ok);
        QCOMPARE(r.problems.size(), problems.size());
        for (qsizetype i = 0; i < problems.size(); ++i)
            QVERIFY2(r.problems.at(i).startsWith(problems.at(i)), qPrintable(r.problems.at(i)));
        QCOMPARE(record(*d), before);
    }

    void problemsInChinese() {
        setCurrentLanguage(LanguageChinese);
        auto d = newDocument(meridoxProduct());
        const ChannelImportResult r = importChannelsCsv(*d, "Group,Channel,RX MHz\nA,1,31\n");
        QCOMPARE(r.problems,
                 QStringList(QString::fromUtf8(
                     "第 2 行：RX 频率 31.000000 MHz 超出频段（25.605000 至 30.115000 MHz）。")));
    }

    void solvirKeepsLinkedFrequencies() {
        auto d = newDocument(solvirProduct());
        QVERIFY(
            importChannelsCsv(*d, "Group,Channel,RX MHz,TX MHz\nA,1,28.1,28.1\nA,2,28.2,\n").ok);
        const ChannelImportResult r =
            importChannelsCsv(*d, "Group,Channel,RX MHz,TX MHz\nA,1,28.1,28.3\n");
        QVERIFY(!r.ok);
        QVERIFY(r.problems.value(0).contains(QLatin1String("Single Change Frequency")));
    }

    void existingChannelsKeepTheirOtherValues() {
        auto d = newDocument(meridoxProduct());
        editRecord(*d, [&](RadioConfig& c) { c.entry(0, 1).rxExtra = 42; });
        editRecord(*d, [&](RadioConfig& c) { c.entry(0, 1).channelFlags[1] = 1; });
        // Channel 1 moves behind a new channel 9; its unnamed settings and fine offset stay.
        QVERIFY(importChannelsCsv(*d, "Group,Channel,RX MHz\nA,9,28.2\nA,1,28.3\n").ok);
        QCOMPARE(groupA(*d), (QStringList{QStringLiteral("9:28200000/28200000:0010000:1"),
                                          QStringLiteral("1:28300000/28015000:1010000:1")}));
        QCOMPARE(d->config().entry(0, 2).rxExtra, int16_t(42));
        QCOMPARE(d->config().entry(0, 1).rxExtra, int16_t(0));
    }

    // Channel A1 holds RX 28.015000 and TX 26.694450 before each row.
    void missingTxColumn_data() {
        QTest::addColumn<const Product*>("product");
        QTest::addColumn<bool>("paste"); // else an import
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("expected");
        const QString kept = QStringLiteral("1:27000000/26694450:0010000:1");
        const QString same = QStringLiteral("1:27000000/27000000:0010000:1");
        const Product* m = &meridoxProduct();
        QTest::newRow("import without TX column: TX kept")
            << m << false << QByteArray("Group,Channel,RX MHz\nA,1,27.000000\n")
            << QStringList{kept};
        QTest::newRow("import, empty TX cell: TX is RX")
            << m << false << QByteArray("Group,Channel,RX MHz,TX MHz\nA,1,27.000000,\n")
            << QStringList{same};
        QTest::newRow("import without TX column: a new channel's TX is RX")
            << m << false << QByteArray("Group,Channel,RX MHz\nA,2,27.5\nA,1,27\n")
            << QStringList{QStringLiteral("2:27500000/27500000:0010000:1"), kept};
        QTest::newRow("paste of RX cells alone: TX kept")
            << m << true << QByteArray("27\n") << QStringList{kept};
        QTest::newRow("paste from Group on, ending before TX: TX kept")
            << m << true << QByteArray("A\t1\t27\n") << QStringList{kept};
        QTest::newRow("solvir with linked frequencies: TX follows RX")
            << &solvirProduct() << false << QByteArray("Group,Channel,RX MHz\nA,1,27\n")
            << QStringList{same};
    }
    void missingTxColumn() {
        QFETCH(const Product*, product);
        QFETCH(bool, paste);
        QFETCH(QByteArray, text);
        QFETCH(QStringList, expected);
        auto d = newDocument(*product);
        editRecord(*d,
                   [&](RadioConfig& c) { c.entry(0, 1).txFreq.assign(QByteArray("26694450")); });
        const ChannelImportResult r =
            paste ? pasteChannelRows(*d, text, 0, 1) : importChannelsCsv(*d, text);
        QVERIFY2(r.ok, qPrintable(r.problems.join(QLatin1Char('\n'))));
        QCOMPARE(groupA(*d), expected);
    }

    // Rows from the clipboard into group B (channel 1 at 28.145000, only ECHO on, scan add),
    // from the selected channel on.
    void pasteRows_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("first");
        QTest::addColumn<QStringList>("groupB");
        const QString one = QStringLiteral("1:28145000/28145000:0010000:1");
        QTest::newRow("our header with tabs: its Channel column")
            << QByteArray("Group\tChannel\tRX MHz\tTX MHz\tBUSY\tVOIC\tECHO\tHI-CUT\t+10KHz\t"
                          "NB/ANL\tRB\tScan\nA\t7\t28.5\t28.6\t1\t0\t0\t0\t0\t0\t1\t0\n")
            << 3 << QStringList{one, QStringLiteral("7:28500000/28600000:1000001:0")};
        QTest::newRow("no header, from RX on: numbered from the selected row")
            << QByteArray("28.5\t28.6\r\n28,7\t\r\n") << 3
            << QStringList{one, QStringLiteral("3:28500000/28600000:0010000:1"),
                           QStringLiteral("4:28700000/28700000:0010000:1")};
        QTest::newRow("no header, from Group on: the group is the one shown")
            << QByteArray("F\t9\t28.5\t28.5\t0\t0\t1\t0\t0\t0\t0\t1\n") << 3
            << QStringList{one, QStringLiteral("9:28500000/28500000:0010000:1")};
        QTest::newRow("over an existing channel: empty TX is RX")
            << QByteArray("RX MHz\tTX MHz\tScan\n28.3\t\t0\n") << 1
            << QStringList{QStringLiteral("1:28300000/28300000:0010000:0")};
    }
    void pasteRows() {
        QFETCH(QByteArray, text);
        QFETCH(int, first);
        QFETCH(QStringList, groupB);
        auto d = newDocument(meridoxProduct());
        const ChannelImportResult r = pasteChannelRows(*d, text, 1, first);
        QVERIFY2(r.ok, qPrintable(r.problems.join(QLatin1Char('\n'))));
        QCOMPARE(groupChannels(*d, 1), groupB);
        QCOMPARE(groupChannels(*d, 0),
                 QStringList(QStringLiteral("1:28015000/28015000:0010000:1")));
    }

    void pasteRefused_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("first");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("out of band and not a number")
            << QByteArray("28.5\n99\nabc\n") << 1
            << QStringList{QStringLiteral("Line 2: the RX frequency 99.000000 MHz is outside"),
                           QStringLiteral("Line 3: the RX frequency \"abc\" is not a number.")};
        QTest::newRow("past channel 60")
            << QByteArray("28.5\n28.6\n") << 60
            << QStringList{QStringLiteral(
                   "Line 2: the channel \"61\" is not a channel number from 1 to 60.")};
        QTest::newRow("a header line alone")
            << QByteArray("Group\tChannel\tRX MHz\n") << 1
            << QStringList{QStringLiteral("The clipboard holds no channels.")};
        QTest::newRow("one channel twice")
            << QByteArray("Channel\tRX MHz\n4\t28.1\n4\t28.2\n") << 1
            << QStringList{QStringLiteral("Line 3: channel 4 of group B is also on line 2.")};
        QTest::newRow("more than 4 MB")
            << QByteArray((4 << 20) + 1, '7') << 1
            << QStringList{QStringLiteral(
                   "The clipboard holds text larger than 4 MB: this is not a channel list.")};
    }
    void pasteRefused() {
        QFETCH(QByteArray, text);
        QFETCH(int, first);
        QFETCH(QStringList, lines);
        auto d = newDocument(meridoxProduct());
        const QByteArray before = record(*d);
        const ChannelImportResult r = pasteChannelRows(*d, text, 1, first);
        QVERIFY(!r.ok);
        QCOMPARE(r.problems.size(), lines.size());
        for (qsizetype i = 0; i < lines.size(); ++i)
            QVERIFY2(r.problems.at(i).startsWith(lines.at(i)), qPrintable(r.problems.at(i)));
        QCOMPARE(record(*d), before);
    }

    // Copied rows carry the export's header with tabs; pasted into the other program they keep
    // their channel numbers.
    void copyIntoTheOtherProgram() {
        auto m = newDocument(meridoxProduct());
        m->addChannel(0, 5, QStringLiteral("28.500000"));
        editRecord(*m, [&](RadioConfig& c) { c.entry(0, 2).channelFlags[1] = 1; });
        const QByteArray text = channelRowsText(*m, 0, {5, 1, 33});
        QCOMPARE(text, QByteArray("Group\tChannel\tRX MHz\tTX MHz\tBUSY\tVOIC\tECHO\tHI-CUT\t"
                                  "+10KHz\tNB/ANL\tRB\tScan\n"
                                  "A\t5\t28.500000\t28.500000\t1\t0\t1\t0\t0\t0\t0\t1\n"
                                  "A\t1\t28.015000\t28.015000\t0\t0\t1\t0\t0\t0\t0\t1\n"));
        auto s = newDocument(solvirProduct());
        QVERIFY(pasteChannelRows(*s, text, 2, 10).ok);
        QCOMPARE(groupChannels(*s, 2),
                 (QStringList{QStringLiteral("1:28015000/28015000:0010000:1"),
                              QStringLiteral("5:28500000/28500000:1010000:1")}));
    }

    void deleteKeepsLastChannel() {
        auto d = newDocument(meridoxProduct());
        d->addChannel(0, 2, QStringLiteral("28.200000"));
        d->addChannel(0, 3, QStringLiteral("28.300000"));
        QCOMPARE(d->deleteChannels(0, {1, 2, 3, 40}), (QList<int>{1, 2}));
        QCOMPARE(groupA(*d), QStringList(QStringLiteral("3:28300000/28300000:0010000:1")));
        QCOMPARE(d->config().optionWords[24], int16_t(2)); // the emergency channel follows: 3
    }

    void emergencyChannelFollows() {
        auto d = newDocument(meridoxProduct());
        QVERIFY(importChannelsCsv(*d, "Group,Channel,RX MHz\nA,4,28.1\nA,5,28.2\n").ok);
        editRecord(*d, [&](RadioConfig& c) { c.optionWords[24] = 4; }); // channel 5
        QVERIFY(importChannelsCsv(*d, "Group,Channel,RX MHz\nA,7,28.1\nA,4,28.2\n").ok);
        QCOMPARE(d->config().optionWords[24], int16_t(6)); // the first place: channel 7
    }

    void otherToolList() {
        auto d = newDocument(meridoxProduct());
        editRecord(*d, [&](RadioConfig& c) {
            c.entry(2, 1).channelFlags[7] = 1;
        }); // channel 1 of group C has RB on
        const QByteArray csv =
            "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,Skip,Comment\r\n"
            "1,CALL,28.500000,,0.000000,,88.5,88.5,,\r\n"
            "2,RPT-,29.620000,-,0.100000,,88.5,88.5,S,\r\n"
            "3,RPT+,29.520000,+,0.100000,,88.5,88.5,,\r\n"
            "4,SPLIT,29.000000,split,28.000000,,88.5,88.5,,\"a, comment\"\r\n";
        const ChannelImportResult r = importChannelsCsv(*d, csv, 2);
        QVERIFY2(r.ok, qPrintable(r.problems.join(QLatin1Char('\n'))));
        QCOMPARE(r.kind, ChannelCsvKind::OtherTool);
        QCOMPARE(r.groups, QList<int>{2});
        QCOMPARE(d->config().groupChannelCount[2], int16_t(4));
        const auto ch = [&](int k) {
            const ChannelEntry& e = d->config().entry(2, k);
            return QStringLiteral("%1 %2 %3 %4 RB%5")
                .arg(e.channelNo)
                .arg(QString::fromLatin1(e.rxFreq.untilNul()),
                     QString::fromLatin1(e.txFreq.untilNul()))
                .arg(e.scanFlag ? QStringLiteral("Add") : QStringLiteral("Del"))
                .arg(e.channelFlags[7]);
        };
        QCOMPARE(ch(1), QStringLiteral("1 28500000 28500000 Add RB1"));
        QCOMPARE(ch(2), QStringLiteral("2 29620000 29520000 Del RB0"));
        QCOMPARE(ch(3), QStringLiteral("3 29520000 29620000 Add RB0"));
        QCOMPARE(ch(4), QStringLiteral("4 29000000 28000000 Add RB0"));
        QCOMPARE(d->config().entry(2, 4).channelFlags[3], int16_t(1)); // new channels: ECHO on
    }

    void otherToolRejections() {
        auto d = newDocument(meridoxProduct());
        const QByteArray before = record(*d);
        const ChannelImportResult r = importChannelsCsv(
            *d,
            "Location,Frequency,Duplex,Offset,Skip\n0,28.1,,,\n61,28.1,,,\n5,146.52,,,\n"
            "6,29.9,+,0.6,\n7,28.1,off,,\n8,28.1,split,,\n9,28.1,-,x,\n10,28.1,,,\n",
            0);
        QVERIFY(!r.ok);
        const QStringList starts{
            QStringLiteral("Line 2: the Location \"0\""),
            QStringLiteral("Line 3: the Location \"61\""),
            QStringLiteral("Line 4: the RX frequency 146.520000 MHz is outside"),
            QStringLiteral("Line 5: the TX frequency 30.500000 MHz is outside"),
            QStringLiteral("Line 6: the duplex \"off\""),
            QStringLiteral("Line 7: the TX frequency 0.000000 MHz is outside"),
            QStringLiteral("Line 8: the offset \"x\"")};
        QCOMPARE(r.problems.size(), starts.size());
        for (qsizetype i = 0; i < starts.size(); ++i)
            QVERIFY2(r.problems.at(i).startsWith(starts.at(i)), qPrintable(r.problems.at(i)));
        QCOMPARE(record(*d), before);
    }

    void csvParsing_data() {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QList<QStringList>>("rows");
        QTest::addColumn<QList<int>>("lines");
        QTest::newRow("quotes") << QByteArray("a,\"b,\"\"c\"\"\",d\r\n")
                                << QList<QStringList>{{QStringLiteral("a"),
                                                       QStringLiteral("b,\"c\""),
                                                       QStringLiteral("d")}}
                                << QList<int>{1};
        QTest::newRow("line break in quotes")
            << QByteArray("a,\"x\ny\"\n\nb,c")
            << QList<QStringList>{{QStringLiteral("a"), QStringLiteral("x\ny")},
                                  {QStringLiteral("b"), QStringLiteral("c")}}
            << QList<int>{1, 4};
        QTest::newRow("comma inside quotes does not pick the separator")
            << QByteArray("\"a,b\";c\n1;2\n")
            << QList<QStringList>{{QStringLiteral("a,b"), QStringLiteral("c")},
                                  {QStringLiteral("1"), QStringLiteral("2")}}
            << QList<int>{1, 2};
    }
    void csvParsing() {
        QFETCH(QByteArray, csv);
        QFETCH(QList<QStringList>, rows);
        QFETCH(QList<int>, lines);
        const CsvTable t = parseCsv(csv);
        QCOMPARE(t.rows, rows);
        QCOMPARE(t.lineNumbers, lines);
        // What csvLine writes reads back as the same fields.
        for (const QStringList& r : rows)
            QCOMPARE(parseCsv(csvLine(r)).rows.value(0), r);
    }

    // The lines in either language: Chinese in the captions and list entries of the Chinese
    // windows, English as the command-line tools print them.
    void diffEqualAndChanged_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("English")
            << int(LanguageEnglish)
            << QStringList{
                   // Options as the optional features window shows them.
                   QStringLiteral("Time Out Timer(TOT)[s]: 60 -> 150"),
                   QStringLiteral("Frequency Step: 10Hz -> 99"),
                   QStringLiteral("LSB Enable: ON -> OFF"),
                   QStringLiteral("Emergency Channel D: 1 -> 9"),
                   QStringLiteral("Message line 2: \"\" -> \"HELLO\""),
                   QStringLiteral("Group A channel 1 RX: 28.100000 -> 28.150000"),
                   QStringLiteral("Group A channel 1 BUSY: Disable -> Enable"),
                   QStringLiteral("Group B channel 1 Scan: Del -> Add"),
                   QStringLiteral(
                       "Group D channel 9: only in b.dat (RX 29.000000, TX 29.000000, BUSY "
                       "Disable, VOIC Disable, ECHO Enable, HI-CUT Disable, +10KHz Disable, "
                       "NB/ANL Disable, RB Disable, Scan Add)"),
               };
        QTest::newRow("Chinese")
            << int(LanguageChinese)
            << QStringList{
                   QStringLiteral("超时定时器(TOT)[秒]：60 -> 150"),
                   QStringLiteral("频率步进：10Hz -> 99"),
                   QStringLiteral("使用LSB：开 -> 关"),
                   QStringLiteral("紧急信道 D：1 -> 9"),
                   QStringLiteral("本机信息 第2行：\"\" -> \"HELLO\""),
                   QStringLiteral("组 A 信道 1 接收频率：28.100000 -> 28.150000"),
                   QStringLiteral("组 A 信道 1 BUSY：不使用 -> 使用"),
                   QStringLiteral("组 B 信道 1 扫描：删除 -> 添加"),
                   QStringLiteral("组 D 信道 9：仅在b.dat中（接收频率 29.000000，发射频率 "
                                  "29.000000，BUSY 不使用，VOIC 不使用，ECHO 使用，HI-CUT "
                                  "不使用，+10KHz 不使用，NB/ANL 不使用，RB 不使用，扫描 添加）"),
               };
    }
    void diffEqualAndChanged() {
        QFETCH(int, language);
        QFETCH(QStringList, lines);
        const auto diff = [language](const Document& a, const Document& b) {
            return diffConfigurations(a, b, QStringLiteral("a.dat"), QStringLiteral("b.dat"),
                                      language);
        };
        auto a = newDocument(meridoxProduct());
        auto b = newDocument(meridoxProduct());
        QCOMPARE(diff(*a, *b), QStringList());

        // Places do not matter, only channel numbers.
        for (auto* d : {a.get(), b.get()})
            editRecord(*d, [&](RadioConfig& c) { c.groupChannelCount[0] = 0; });
        a->addChannel(0, 1, QStringLiteral("28.1"));
        a->addChannel(0, 2, QStringLiteral("28.2"));
        b->addChannel(0, 2, QStringLiteral("28.2"));
        b->addChannel(0, 1, QStringLiteral("28.1"));
        QCOMPARE(diff(*a, *b), QStringList());

        editRecord(
            *b, [&](RadioConfig& c) { c.entry(0, 2).rxFreq.assign(QStringLiteral("28150000")); });
        editRecord(*b, [&](RadioConfig& c) { c.entry(0, 2).channelFlags[1] = 1; });
        b->addChannel(3, 9, QStringLiteral("29"));
        editRecord(*b, [&](RadioConfig& c) { c.optionWords[0] = 5; });
        editRecord(
            *b, [&](RadioConfig& c) { c.optionWords[4] = 99; }); // no entry of its list: the number
        editRecord(*b, [&](RadioConfig& c) { c.optionWords[12] = 0; });
        editRecord(*b, [&](RadioConfig& c) { c.optionWords[27] = 8; });
        editRecord(*b, [&](RadioConfig& c) { c.embeddedMessage[1].assign(QByteArray("HELLO")); });
        editRecord(*a, [&](RadioConfig& c) { c.entry(1, 1).scanFlag = 0; });
        QCOMPARE(diff(*a, *b), lines);
    }

    // Images that do not decode are compared by address, in either language; without one
    // (no language chosen) the lines are English, never empty.
    void diffRadioImagesByAddress_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("lines");
        const QStringList english{
            QStringLiteral("Radio memory 0x0020: written 0x00, the radio holds 0x01"),
            QStringLiteral("Radio memory 0x0030-0x0032: 3 bytes differ"),
        };
        QTest::newRow("English") << int(LanguageEnglish) << english;
        QTest::newRow("no language") << int(LanguageNone) << english;
        QTest::newRow("Chinese") << int(LanguageChinese)
                                 << QStringList{
                                        QStringLiteral(
                                            "对讲机存储器 0x0020：写入 0x00，对讲机中为 0x01"),
                                        QStringLiteral("对讲机存储器 0x0030-0x0032：3 个字节不同"),
                                    };
    }
    void diffRadioImagesByAddress() {
        QFETCH(int, language);
        QFETCH(QStringList, lines);
        const QByteArray written(0x40, '\0');
        QByteArray held = written;
        const QList<int> addresses{0x20, 0x30, 0x31, 0x32};
        for (int at : addresses)
            held[at] = '\1';
        QCOMPARE(diffRadioImages(meridoxProduct(), written, held, addresses, language), lines);
    }
};

QTEST_GUILESS_MAIN(TestChannelCsv)
#include "tst_channelcsv.moc"
