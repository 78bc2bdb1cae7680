// Data files: byte layout, round trips, the version rule and what a refused file leaves.
#include "core/config/datafile.h"
#include "recordedit.h"
#include "testsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {
QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
int16_t le16(const QByteArray& b, int at) {
    return int16_t(uint8_t(b[at]) | (uint8_t(b[at + 1]) << 8));
}
} // namespace

class TestDataFile : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }
    // A meridox file holding a fresh configuration with another version text.
    QString fileWithVersion(const char* name, const QByteArray& version) {
        Document doc(meridoxProduct());
        doc.initialiseDefaults();
        doc.takeSnapshot();
        QByteArray bytes = encodeRecord(meridoxProduct(), doc.snapshot());
        bytes.replace(0, 4, version);
        bytes.replace(18 + 4, 8, "27000000"); // channel 1 of group A
        writeAll(path(name), bytes);
        return path(name);
    }

  private slots:
    void freshLayout_data();
    void freshLayout();
    void roundTripChangesNothing_data();
    void roundTripChangesNothing();
    void versionRule_data();
    void versionRule();
    void refusedFileLeavesEverything_data();
    void refusedFileLeavesEverything();
    void solvirFileRefusedByMeridox();
    void solvirOpensWithoutVersion();
    void saveKeepsTailOfLongerFile();
    void saveFailureReported();
    void templateLoadedOverDefaults();
    void damagedRecordRefused_data();
    void damagedRecordRefused();
};

void TestDataFile::freshLayout_data() {
    QTest::addColumn<const Product*>("product");
    QTest::newRow("meridox") << &meridoxProduct();
    QTest::newRow("solvir") << &solvirProduct();
}

void TestDataFile::freshLayout() {
    QFETCH(const Product*, product);
    Document doc(*product);
    doc.initialiseDefaults();
    QVERIFY(saveDataFile(doc, path("fresh.dat") + product->program));
    const QByteArray b = readAll(doc.fileName());
    QCOMPARE(b.size(), product->recordLength);

    const RecordOffsets o = recordOffsets(*product);
    const bool m = product->hasVersionField;
    QCOMPARE(o.channels, m ? 18 : 14);
    QCOMPARE(o.modelInfo, m ? 14418 : 12974);
    QCOMPARE(o.optionWords, m ? 14451 : 13007);
    QCOMPARE(o.end, product->recordLength);
    QCOMPARE(o.fleetSyncList + 64, product->recordLength);
    QCOMPARE(o.testFreqCount, o.keyAssign + 226);
    QCOMPARE(o.embeddedMessage, o.testFreqCount + 354);

    if (m) QCOMPARE(b.left(4), QByteArray("V100"));
    QCOMPARE(le16(b, o.channels - 12), 1); // group A count
    QCOMPARE(le16(b, o.channels), 1);      // ChannelNo
    QCOMPARE(b.mid(o.channels + 4, 8), QByteArray("28015000"));
    QCOMPARE(le16(b, o.channels + 20), 1);     // ScanFlag
    QCOMPARE(le16(b, o.channels + 22 + 4), 1); // ECHO
    const int group2 = o.channels + 60 * product->channelEntrySize;
    QCOMPARE(b.mid(group2 + 4, 8), QByteArray("28145000"));
    const QByteArray model = m ? QByteArray("SOLV\0 ", 6) : QByteArray("SOLVIR");
    QCOMPARE(b.mid(o.modelInfo, 6), model);
    QCOMPARE(le16(b, o.modelInfo + 6), 248);
    QCOMPARE(le16(b, o.modelInfo + 8), 4);
    QCOMPARE(b.mid(o.modelInfo + 18, 5), QByteArray("V1.00"));
    QCOMPARE(le16(b, o.modelInfo + 31), 67);
    QCOMPARE(le16(b, o.optionWords + 2), 105);
    QCOMPARE(le16(b, o.keyAssign), 255);
    QCOMPARE(le16(b, o.testFreqCount), 6);
    QCOMPARE(b.mid(o.testFreqCount + 4, 8), QByteArray("1505\0   ", 8));
    QCOMPARE(b.mid(o.embeddedMessage, 2), QByteArray("\0 ", 2));
    // Never-assigned fields are zero bytes: unused channel places, test entries 7..16.
    QCOMPARE(b.mid(o.channels + product->channelEntrySize, product->channelEntrySize),
             QByteArray(product->channelEntrySize, '\0'));
    QCOMPARE(b.mid(o.testFreqCount + 2 + 6 * 22, 22), QByteArray(22, '\0'));
    QCOMPARE(b.mid(o.fleetSyncList, 64), QByteArray(64, '\0'));
}

void TestDataFile::roundTripChangesNothing_data() {
    freshLayout_data();
}

void TestDataFile::roundTripChangesNothing() {
    QFETCH(const Product*, product);
    // Every byte value in every position survives decode and encode.
    QByteArray noise(product->recordLength, '\0');
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = char((i * 131 + 7) & 0xFF);
    const auto rec = decodeRecord(*product, noise);
    QVERIFY(rec);
    QCOMPARE(encodeRecord(*product, *rec), noise);

    Document doc(*product);
    doc.initialiseDefaults();
    QVERIFY(saveDataFile(doc, path("rt.dat") + product->program));
    const QByteArray first = readAll(doc.fileName());
    Document other(*product);
    other.initialiseDefaults();
    QCOMPARE(openDataFile(other, doc.fileName()), OpenResult::Opened);
    QVERIFY(!other.isModified());
    QVERIFY(saveDataFile(other));
    QCOMPARE(readAll(doc.fileName()), first);
}

void TestDataFile::versionRule_data() {
    QTest::addColumn<QByteArray>("version");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QString>("message");
    QTest::newRow("V101") << QByteArray("V101") << true << QString();
    QTest::newRow("V200") << QByteArray("V200") << false
                          << "Version is wrong.\r\nDataFile version is V2.00\r\n"
                             "Programming software version is V1.0X";
    QTest::newRow("ABCD") << QByteArray("ABCD") << false
                          << "Version is wrong.\r\nDataFile version is Unknown\r\n"
                             "Programming software version is V1.0X";
}

void TestDataFile::versionRule() {
    QFETCH(QByteArray, version);
    QFETCH(bool, opens);
    QFETCH(QString, message);
    ScriptedMessages msgs;
    const QString file = fileWithVersion("version.dat", version);
    Document doc(meridoxProduct());
    doc.initialiseDefaults();
    const OpenResult r = openDataFile(doc, file);
    QCOMPARE(r == OpenResult::Opened, opens);
    if (opens) {
        QVERIFY(msgs.asked.isEmpty());
        QCOMPARE(doc.config().entry(0, 1).rxFreq.raw(), QByteArray("27000000"));
        QCOMPARE(doc.loadedVersion(), QString::fromLatin1(version));
        QCOMPARE(doc.fileName(), file);
        QVERIFY(!doc.isUntitled());
    } else {
        QCOMPARE(msgs.texts(), QStringList{message});
        QCOMPARE(msgs.asked.first().buttons, MsgButtons::Ok);
    }
}

void TestDataFile::refusedFileLeavesEverything_data() {
    QTest::addColumn<QByteArray>("content"); // "-": no file; "folder", "fifo": one of those
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("reason"); // %1: the file's path
    QTest::newRow("wrong version")
        << QByteArray("V200") << QString()
        << "The file \"%1\" was not made by this version of the program.";
    QTest::newRow("short file")
        << QByteArray("V100 too short") << "file error."
        << "The file \"%1\" is not a meridox data file: it holds 14 bytes; a data file "
           "holds 15245.";
    QTest::newRow("empty file")
        << QByteArray() << "file error."
        << "The file \"%1\" is not a meridox data file: it holds 0 bytes; a data file "
           "holds 15245.";
    QTest::newRow("missing file") << QByteArray("-") << "file error."
                                  << "The file \"%1\" does not exist.";
    QTest::newRow("folder") << QByteArray("folder") << "file error."
                            << "\"%1\" is a folder, not a regular file.";
    QTest::newRow("FIFO") << QByteArray("fifo") << "file error."
                          << "\"%1\" is not a regular file.";
}

void TestDataFile::refusedFileLeavesEverything() {
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    QFETCH(QString, reason);
    ScriptedMessages msgs;
    QString file = path("refused.dat");
    QFile::remove(file);
    std::unique_ptr<UnblockedFifo> fifo;
    if (content == "V200")
        file = fileWithVersion("refused.dat", content);
    else if (content == "folder")
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("refused.dat")));
    else if (content == "fifo")
        QVERIFY((fifo = std::make_unique<UnblockedFifo>(file))->created());
    else if (content != "-")
        writeAll(file, content);
    const auto removeFolder =
        qScopeGuard([&] { QDir(dir.path()).rmdir(QStringLiteral("refused.dat")); });
    Document doc(meridoxProduct());
    doc.initialiseDefaults();
    QVERIFY(saveDataFile(doc, path("mine.dat")));
    editRecord(doc, [&](RadioConfig& c) {
        c.entry(0, 1).rxFreq.assign(QByteArray("26000000"));
    }); // an unsaved edit
    const RadioConfig working = doc.config();
    const RadioConfig snap = doc.snapshot();
    QElapsedTimer clock;
    clock.start();
    QVERIFY(openDataFile(doc, file) != OpenResult::Opened);
    QVERIFY(clock.elapsed() < 1000); // never waits for a writer
    if (!message.isEmpty()) QCOMPARE(msgs.texts(), QStringList{message});
    if (!reason.isEmpty()) QCOMPARE(msgs.asked.first().informative, reason.arg(file));
    QCOMPARE(encodeRecord(meridoxProduct(), doc.config()), encodeRecord(meridoxProduct(), working));
    QCOMPARE(encodeRecord(meridoxProduct(), doc.snapshot()), encodeRecord(meridoxProduct(), snap));
    QVERIFY(doc.isModified());
    QCOMPARE(doc.fileName(), path("mine.dat")); // a later Save cannot overwrite the refused file
}

void TestDataFile::solvirFileRefusedByMeridox() {
    ScriptedMessages msgs;
    Document s(solvirProduct());
    s.initialiseDefaults();
    QVERIFY(saveDataFile(s, path("solvir.dat")));
    Document m(meridoxProduct());
    m.initialiseDefaults();
    QVERIFY(openDataFile(m, s.fileName()) != OpenResult::Opened);
    QCOMPARE(msgs.asked.size(), 1);
}

void TestDataFile::solvirOpensWithoutVersion() {
    ScriptedMessages msgs;
    Document s(solvirProduct());
    s.initialiseDefaults();
    editRecord(s, [&](RadioConfig& c) { c.entry(3, 1).rxFreq.assign(QByteArray("27500000")); });
    QVERIFY(saveDataFile(s, path("s2.dat")));
    QByteArray b = readAll(s.fileName());
    b.replace(0, 2, QByteArray("\x03\x00", 2)); // CurrentGroup 3; there is no version to check
    writeAll(s.fileName(), b);
    Document t(solvirProduct());
    t.initialiseDefaults();
    QCOMPARE(openDataFile(t, s.fileName()), OpenResult::Opened);
    QCOMPARE(t.config().currentGroup, 3);
    QCOMPARE(t.config().entry(3, 1).rxFreq.raw(), QByteArray("27500000"));
    QCOMPARE(t.model(), QStringLiteral("SOLVIR"));
    QCOMPARE(t.band(), QStringLiteral("25.615000 - 30.105000 MHz"));
    QVERIFY(msgs.asked.isEmpty());
}

void TestDataFile::saveKeepsTailOfLongerFile() {
    const QString file = path("long.dat");
    writeAll(file, QByteArray(20000, 'x'));
    Document doc(meridoxProduct());
    doc.initialiseDefaults();
    QVERIFY(saveDataFile(doc, file));
    const QByteArray b = readAll(file);
    QCOMPARE(b.size(), 20000);
    QCOMPARE(b.left(4), QByteArray("V100"));
    QCOMPARE(b.mid(15245), QByteArray(20000 - 15245, 'x'));
}

void TestDataFile::saveFailureReported() {
    ScriptedMessages msgs;
    Document doc(meridoxProduct());
    doc.initialiseDefaults();
    editRecord(doc, [&](RadioConfig& c) { c.optionWords[0] = 5; });
    QVERIFY(!saveDataFile(doc, path("no-such-folder/x.dat")));
    QCOMPARE(msgs.texts(), QStringList{QStringLiteral("file error.")});
    QVERIFY(doc.isUntitled());
    // Nothing was saved: the work still counts as modified, so it is asked about again.
    QVERIFY(doc.isModified());
}

void TestDataFile::templateLoadedOverDefaults() {
    Document t(meridoxProduct());
    t.initialiseDefaults();
    useModelAndBand(t, QStringLiteral("864"), QStringLiteral("136 - 174 MHz"));
    editRecord(t, [&](RadioConfig& c) { c.entry(5, 1).rxFreq.assign(QByteArray("15000000")); });
    QVERIFY(saveDataFile(t, path("KORVEN_New.dat")));

    Document doc(meridoxProduct());
    doc.initialiseDefaults(t.fileName());
    QCOMPARE(doc.model(), QStringLiteral("864"));
    QCOMPARE(doc.band(), QStringLiteral("136 - 174 MHz"));
    QCOMPARE(doc.lowerLimit(), 136.0);
    QCOMPARE(doc.config().entry(5, 1).rxFreq.raw(), QByteArray("15000000"));
    QVERIFY(doc.isUntitled());
    QCOMPARE(doc.fileName(), QStringLiteral("new.dat"));
    QVERIFY(!doc.isModified());

    Document none(meridoxProduct());
    none.initialiseDefaults(path("missing.dat"));
    QCOMPARE(none.model(), QStringLiteral("SOLV"));
}

QTEST_GUILESS_MAIN(TestDataFile)
#include "tst_datafile.moc"

// Group counts at byte 6 + 2g, channel entries of 40 bytes from byte 18 (channel number first),
// all little-endian: a fresh meridox record (one channel, number 1, per group) patched by hand.
void TestDataFile::damagedRecordRefused_data() {
    QTest::addColumn<int>("at");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("line");
    QTest::newRow("negative count")
        << 10 << -1 << "Group C: -1 channels in use; a group holds 0 to 60.";
    QTest::newRow("61 channels") << 6 << 61
                                 << "Group A: 61 channels in use; a group holds 0 to 60.";
    QTest::newRow("channel 61") << 18 + 60 * 40 << 61
                                << "Group B: channel number 61 is outside 1 to 60.";
    QTest::newRow("channel 0") << 18 + 5 * 60 * 40 << 0
                               << "Group F: channel number 0 is outside 1 to 60.";
    // Count 2 in group A: place 2 (never written, so channel number 0) is refused first; with
    // place 2 holding channel 1 the repeat is named.
    QTest::newRow("channel twice") << 18 + 40 << 1 << "Group A: channel 1 is in use twice.";
}

void TestDataFile::damagedRecordRefused() {
    QFETCH(int, at);
    QFETCH(int, value);
    QFETCH(QString, line);
    Document fresh(meridoxProduct());
    fresh.initialiseDefaults();
    QByteArray bytes = encodeRecord(meridoxProduct(), fresh.snapshot());
    const auto put16 = [&](int where, int v) {
        bytes[where] = char(v & 0xFF);
        bytes[where + 1] = char((v >> 8) & 0xFF);
    };
    put16(at, value);
    if (at == 18 + 40) put16(6, 2);
    const QString file = path("damaged.dat");
    writeAll(file, bytes);

    ScriptedMessages msgs;
    Document doc(meridoxProduct());
    doc.initialiseDefaults();
    const QByteArray before = encodeRecord(meridoxProduct(), doc.config());
    QCOMPARE(openDataFile(doc, file), OpenResult::FileError);
    QCOMPARE(msgs.texts(), QStringList{QStringLiteral("file error.\r\n") + line});
    QCOMPARE(encodeRecord(meridoxProduct(), doc.config()), before);
    QCOMPARE(doc.fileName(), QStringLiteral("new.dat"));
    // As a template it is passed over: the built-in defaults stay.
    Document fromTemplate(meridoxProduct());
    fromTemplate.initialiseDefaults(file);
    QCOMPARE(encodeRecord(meridoxProduct(), fromTemplate.config()), before);
}
