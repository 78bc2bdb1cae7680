// The command-line companions against the virtual radio on a real pseudo-terminal.
#include "cliprocess.h"
#include "core/channels/channelrules.h"
#include "core/comm/codec.h"
#include "radiolauncher.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {
using Run = CliRun;

QStringList framesFromProgram(const QStringList& log, const QString& prefix) {
    QStringList out;
    for (const QString& line : log)
        if (line.startsWith(QLatin1String("> ") + prefix)) out << line.mid(2);
    return out;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

// The files of a kept-files folder, by name (names sort by time).
QStringList keptFiles(const QString& folder) {
    QStringList out;
    const QDir dir(folder);
    for (const QString& n : dir.entryList(QDir::Files, QDir::Name))
        out << dir.filePath(n);
    return out;
}
} // namespace

class TestEndToEnd : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    static QString cli(const QString& product) {
        return product == QLatin1String("solvir") ? QStringLiteral(SOLVIR_CLI)
                                                  : QStringLiteral(MERIDOX_CLI);
    }
    Run run(const QString& product, const QStringList& args, const QString& dataHome = {},
            const QString& workDir = {}) {
        CliEnvironment env{dir.filePath(QStringLiteral("config")),
                           dataHome.isEmpty() ? dir.filePath(QStringLiteral("data")) : dataHome,
                           workDir};
        return runCli(cli(product), args, env);
    }
    QString file(const char* name) const { return dir.filePath(QLatin1String(name)); }
    // The CLI's kept files: <data>/<program>/backups and .../traces, emptied for a test.
    QString kept(const QString& product, const char* kind) const {
        return dir.filePath(QStringLiteral("data/") + product + QLatin1Char('/') +
                            QLatin1String(kind));
    }
    void clearKept(const QString& product) {
        QDir(kept(product, "backups")).removeRecursively();
        QDir(kept(product, "traces")).removeRecursively();
    }

  private slots:
    void fullRead_data();
    void fullRead();
    void fullWriteThenReadBack_data();
    void fullWriteThenReadBack();
    void informationRead();
    void programAnsweredOnSecondTry();
    void silentRadio();
    void badChecksumRestartsFromFirstBlock();
    void identityRejected_data();
    void identityRejected();
    void hangUpMidRead();
    void rawImageRestoresARadio_data();
    void rawImageRestoresARadio();
    void unusableImageSendsNothing_data();
    void unusableImageSendsNothing();
    void failedReadKeepsNoBackup_data();
    void failedReadKeepsNoBackup();
    void keptFoldersArePruned();
    void unwritableDataFolderDoesNotFailARead();
    void refusedConfigurationSendsNothing_data();
    void refusedConfigurationSendsNothing();
    void portGivenAsRelativePath_data();
    void portGivenAsRelativePath();
    void writeVerify_data();
    void writeVerify();
    void diffWithRadio_data();
    void diffWithRadio();
};

void TestEndToEnd::fullRead_data() {
    QTest::addColumn<QString>("product");
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::addColumn<int>("blocks");
    QTest::newRow("meridox") << "meridox" << 15245 << "52 00 00 40"
                             << "52 1D C0 40" << 120;
    QTest::newRow("solvir") << "solvir" << 13791 << "52 00 00 40"
                            << "52 0E C0 40" << 60;
}

void TestEndToEnd::fullRead() {
    QFETCH(QString, product);
    QFETCH(int, size);
    QFETCH(QString, first);
    QFETCH(QString, last);
    QFETCH(int, blocks);
    VirtualRadio radio;
    QVERIFY(radio.start(product));
    const QString out = file("read.dat");
    QFile::remove(out);
    const Run r = run(product, {QStringLiteral("read"), QStringLiteral("--port"), radio.linkPath(),
                                QStringLiteral("-o"), out});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QVERIFY(r.err.contains(QStringLiteral("Read Data Completed.")));
    QCOMPARE(QFile(out).size(), qint64(size));
    const QStringList log = radio.log();
    QCOMPARE(log.first(), QStringLiteral("> 50 52 4F 47 52 41 4D"));
    const QStringList reads = framesFromProgram(log, QStringLiteral("52 "));
    QCOMPARE(reads.size(), blocks);
    QCOMPARE(reads.first(), first);
    QCOMPARE(reads.last(), last);
    QCOMPARE(framesFromProgram(log, QStringLiteral("45")).size(), 1);
    const Run shown = run(product, {QStringLiteral("show"), out});
    QCOMPARE(shown.code, 0);
    QVERIFY2(shown.out.contains(QStringLiteral("RX 28.015000")), qPrintable(shown.out));
}

void TestEndToEnd::fullWriteThenReadBack_data() {
    QTest::addColumn<QString>("product");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::addColumn<int>("blocks");
    QTest::newRow("meridox") << "meridox"
                             << "57 00 10 10"
                             << "57 1D D0 10" << 477;
    QTest::newRow("solvir") << "solvir"
                            << "57 00 00 10"
                            << "57 0E E0 10" << 239;
}

void TestEndToEnd::fullWriteThenReadBack() {
    QFETCH(QString, product);
    QFETCH(QString, first);
    QFETCH(QString, last);
    QFETCH(int, blocks);
    VirtualRadio radio;
    QVERIFY(radio.start(product));
    // A configuration whose group A channel 1 is on 27.5 MHz.
    const QString in = file("edited.dat");
    QCOMPARE(run(product, {QStringLiteral("new"), QStringLiteral("-o"), in}).code, 0);
    {
        QFile f(in);
        QVERIFY(f.open(QIODevice::ReadWrite));
        f.seek(product == QLatin1String("solvir") ? 14 + 4 : 18 + 4);
        f.write("2750000027500000");
    }
    QStringList args{QStringLiteral("write"), QStringLiteral("--port"), radio.linkPath(), in};
    if (product == QLatin1String("solvir")) args << QStringLiteral("--overwrite");
    Run r = run(product, args);
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QVERIFY(r.err.contains(QStringLiteral("Write Data Completed.")));
    const QStringList writes = framesFromProgram(radio.log(), QStringLiteral("57 "));
    QCOMPARE(writes.size(), blocks);
    QVERIFY(writes.first().startsWith(first));
    QVERIFY(writes.last().startsWith(last));

    const QString out = file("back.dat");
    r = run(product, {QStringLiteral("read"), QStringLiteral("--port"), radio.linkPath(),
                      QStringLiteral("-o"), out});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    const Run shown = run(product, {QStringLiteral("show"), out});
    QVERIFY2(shown.out.contains(QStringLiteral("   1  RX 27.500000  TX 27.500000")),
             qPrintable(shown.out));
}

void TestEndToEnd::informationRead() {
    VirtualRadio radio;
    QVERIFY(radio.start(QStringLiteral("meridox")));
    const Run r = run(QStringLiteral("meridox"),
                      {QStringLiteral("info"), QStringLiteral("--port"), radio.linkPath()});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 12);
    QVERIFY(lines.first().startsWith(QStringLiteral("Area Code: ")));
    const QStringList reads = framesFromProgram(radio.log(), QStringLiteral("52 "));
    QCOMPARE(reads.size(), 16);
    QCOMPARE(reads.first(), QStringLiteral("52 1F 00 10"));
}

void TestEndToEnd::programAnsweredOnSecondTry() {
    VirtualRadio radio;
    QVERIFY(radio.start(QStringLiteral("meridox"),
                        {QStringLiteral("--ignore-program"), QStringLiteral("1")}));
    const QString out = file("second.dat");
    const Run r = run(QStringLiteral("meridox"), {QStringLiteral("read"), QStringLiteral("--port"),
                                                  radio.linkPath(), QStringLiteral("-o"), out});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QVERIFY(!r.err.contains(QStringLiteral("Check Connection")));
    QCOMPARE(framesFromProgram(radio.log(), QStringLiteral("50 52 4F")).size(), 2);
}

void TestEndToEnd::silentRadio() {
    VirtualRadio radio;
    QVERIFY(radio.start(QStringLiteral("meridox"),
                        {QStringLiteral("--ignore-program"), QStringLiteral("100")}));
    const QString out = file("silent.dat");
    QFile::remove(out);
    const Run r = run(QStringLiteral("meridox"), {QStringLiteral("read"), QStringLiteral("--port"),
                                                  radio.linkPath(), QStringLiteral("-o"), out});
    QCOMPARE(r.code, 4);
    QVERIFY(r.err.contains(QStringLiteral("Check Connection. Retry or Cancel?")));
    QVERIFY(!QFile::exists(out));
}

void TestEndToEnd::badChecksumRestartsFromFirstBlock() {
    VirtualRadio radio;
    QVERIFY(radio.start(QStringLiteral("meridox"),
                        {QStringLiteral("--bad-checksum"), QStringLiteral("3")}));
    const QString out = file("restart.dat");
    // Without a retry the read is abandoned and nothing is written.
    QFile::remove(out);
    Run r = run(QStringLiteral("meridox"), {QStringLiteral("read"), QStringLiteral("--port"),
                                            radio.linkPath(), QStringLiteral("-o"), out});
    QCOMPARE(r.code, 4);
    QVERIFY(!QFile::exists(out));
    // The restart prompt answered OK starts again from the first block.
    radio.stop();
    QVERIFY(radio.start(QStringLiteral("meridox"),
                        {QStringLiteral("--bad-checksum"), QStringLiteral("3")}));
    r = run(QStringLiteral("meridox"),
            {QStringLiteral("read"), QStringLiteral("--port"), radio.linkPath(),
             QStringLiteral("-o"), out, QStringLiteral("--retries"), QStringLiteral("1")});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    const QStringList reads = framesFromProgram(radio.log(), QStringLiteral("52 "));
    QCOMPARE(reads.count(QStringLiteral("52 00 00 40")), 2);
    QCOMPARE(reads.size(), 120 + 3);
    QCOMPARE(framesFromProgram(radio.log(), QStringLiteral("50 52 4F")).size(), 2);
}

void TestEndToEnd::identityRejected_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("message");
    QTest::newRow("model") << QStringList{QStringLiteral("--model"), QStringLiteral("5480")}
                           << "Model type is wrong.";
    QTest::newRow("firmware") << QStringList{QStringLiteral("--firmware"), QStringLiteral("V200")}
                              << "Firmware version is V2.00";
    QTest::newRow("band") << QStringList{QStringLiteral("--band"), QStringLiteral("3")}
                          << "Frequency band type is wrong.";
}

void TestEndToEnd::identityRejected() {
    QFETCH(QStringList, options);
    QFETCH(QString, message);
    VirtualRadio radio;
    QVERIFY(radio.start(QStringLiteral("meridox"), options));
    const QString out = file("rejected.dat");
    QFile::remove(out);
    const Run r = run(QStringLiteral("meridox"), {QStringLiteral("read"), QStringLiteral("--port"),
                                                  radio.linkPath(), QStringLiteral("-o"), out});
    QCOMPARE(r.code, 3);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QVERIFY(!QFile::exists(out));
    const QStringList log = radio.log();
    QCOMPARE(framesFromProgram(log, QStringLiteral("45")).size(), 1);
    QVERIFY(framesFromProgram(log, QStringLiteral("52 ")).isEmpty());
}

void TestEndToEnd::hangUpMidRead() {
    VirtualRadio radio;
    QVERIFY(radio.start(QStringLiteral("meridox"),
                        {QStringLiteral("--hangup-after"), QStringLiteral("5")}));
    const QString out = file("hangup.dat");
    QFile::remove(out);
    const Run r = run(QStringLiteral("meridox"), {QStringLiteral("read"), QStringLiteral("--port"),
                                                  radio.linkPath(), QStringLiteral("-o"), out});
    QCOMPARE(r.code, 4);
    QVERIFY(!QFile::exists(out));
}

void TestEndToEnd::rawImageRestoresARadio_data() {
    QTest::addColumn<QString>("product");
    QTest::newRow("meridox") << "meridox";
    QTest::newRow("solvir") << "solvir";
}

// A dealer backs a radio up as raw image, restores it into a second radio whose memory
// differs, and reads it back: byte for byte the same over everything a write covers.
void TestEndToEnd::rawImageRestoresARadio() {
    QFETCH(QString, product);
    const Product& p = *productByName(product);
    clearKept(product);
    VirtualRadio first;
    QVERIFY(first.start(product));
    const QString img = file("first.img"), dat = file("first.dat"), trace = file("read-trace.txt");
    QFile::remove(img);
    QFile::remove(dat);
    Run r = run(product, {QStringLiteral("read"), QStringLiteral("--port"), first.linkPath(),
                          QStringLiteral("--image"), img, QStringLiteral("-o"), dat,
                          QStringLiteral("--trace"), trace});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    const QByteArray image = readAll(img);
    QCOMPARE(image.size(), p.memorySize);
    const int readTo = (p.readEnd + 63) / 64 * 64; // the last block runs past the end
    QCOMPARE(image.left(readTo), first.dump().left(readTo));
    QCOMPARE(QFile(dat).size(), qint64(p.recordLength));
    // The read kept exactly one backup, the same bytes.
    const QStringList backups = keptFiles(kept(product, "backups"));
    QCOMPARE(backups.size(), 1);
    QVERIFY2(QFileInfo(backups.first()).fileName().startsWith(product + QLatin1Char('-')),
             qPrintable(backups.first()));
    QCOMPARE(readAll(backups.first()), image);
    // The asked-for trace and the kept one.
    const QString text = QString::fromUtf8(readAll(trace));
    QVERIFY(text.startsWith(product + QStringLiteral(" session trace\nProgram: ") + product));
    QVERIFY(text.contains(QStringLiteral("Port: ") + first.linkPath()));
    QVERIFY(text.contains(QStringLiteral("Operation: read")));
    QCOMPARE(text.count(QStringLiteral("  TX  52 ")), p.memorySize == 8192 ? 120 : 60);
    QVERIFY(text.contains(QStringLiteral("  RX  57 00 00 40")));
    QVERIFY(text.endsWith(QStringLiteral("--  end: success\n")));
    const QStringList traces = keptFiles(kept(product, "traces"));
    QCOMPARE(traces.size(), 1);
    QCOMPARE(QString::fromUtf8(readAll(traces.first())), text);

    // The second radio: other channels, another radio-owned header.
    Document other(p);
    other.initialiseDefaults();
    other.setChannelCell(1, ColRx, QStringLiteral("26.5"));
    QByteArray otherMemory;
    clearRadioImage(p, otherMemory);
    QVERIFY(!buildRadioImage(other, otherMemory));
    otherMemory.replace(0, 16, "ANOTHER RADIO 02");
    VirtualRadio second;
    const QString otherFile = file("other.img");
    QVERIFY(writeFile(otherFile, otherMemory));
    QVERIFY(second.start(product, {QStringLiteral("--memory"), otherFile}));
    // The image names the radio's own model and band: no overwrite question for solvir.
    r = run(product,
            {QStringLiteral("write"), QStringLiteral("--port"), second.linkPath(),
             QStringLiteral("--image"), img, QStringLiteral("--trace"), file("write-trace.txt")});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QVERIFY(r.err.contains(QStringLiteral("Write Data Completed.")));
    QVERIFY(!r.err.contains(QStringLiteral("Overwrite")));
    QVERIFY(QString::fromUtf8(readAll(file("write-trace.txt")))
                .contains(QStringLiteral("Operation: write")));
    // Everything a write covers comes from the image, except the model header: as in every
    // write, the radio gets its own identification back there.
    const int from = p.writeStart + 16, to = p.writeEnd;
    QByteArray expected = image;
    const QByteArray ident =
        QByteArray("PSOLV\x04\xF8", 7) + QByteArray(1, '\0') + "V100" + QByteArray(2, '\0');
    expected.replace(p.headerBase, 14, ident);
    const QByteArray written = second.dump();
    QCOMPARE(written.size(), p.memorySize);
    QCOMPARE(written.mid(from, to - from), expected.mid(from, to - from));
    QCOMPARE(written.left(from), otherMemory.left(from)); // meridox never writes its header
    QCOMPARE(written.mid(to), otherMemory.mid(to));       // nor anything past the range
    const QString back = file("back.img");
    r = run(product, {QStringLiteral("read"), QStringLiteral("--port"), second.linkPath(),
                      QStringLiteral("--image"), back});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QCOMPARE(readAll(back).mid(from, to - from), expected.mid(from, to - from));
    QCOMPARE(keptFiles(kept(product, "backups")).size(), 2);
}

void TestEndToEnd::unusableImageSendsNothing_data() {
    QTest::addColumn<QString>("product");
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("message");
    QTest::newRow("meridox, too short")
        << "meridox" << 4096 << "has exactly 8192 bytes; this file has 4096.";
    QTest::newRow("meridox, one byte more")
        << "meridox" << 8193 << "has exactly 8192 bytes; this file has 8193.";
    QTest::newRow("solvir, a meridox image")
        << "solvir" << 8192 << "has exactly 4096 bytes; this file has 8192.";
    QTest::newRow("meridox, does not decode")
        << "meridox" << -8192 << "the radio image cannot be used";
    QTest::newRow("solvir, does not decode")
        << "solvir" << -4096 << "the radio image cannot be used";
}

// Refused before the port is even opened: the radio sees nothing.
void TestEndToEnd::unusableImageSendsNothing() {
    QFETCH(QString, product);
    QFETCH(int, size);
    QFETCH(QString, message);
    VirtualRadio radio;
    QVERIFY(radio.start(product));
    const QString img = file("bad.img");
    // A negative size: that many bytes of 0xFF, whose 16-bit options overflow.
    QVERIFY(writeFile(img, QByteArray(std::abs(size), size < 0 ? char(0xFF) : char(0x00))));
    const Run r = run(product, {QStringLiteral("write"), QStringLiteral("--port"), radio.linkPath(),
                                QStringLiteral("--image"), img});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QTest::qWait(100);
    QVERIFY(radio.log().isEmpty());
}

void TestEndToEnd::failedReadKeepsNoBackup_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("end");
    QTest::newRow("silent radio") << QStringList{QStringLiteral("--ignore-program"),
                                                 QStringLiteral("100")}
                                  << 4 << "end: failed (no answer)";
    QTest::newRow("silent after 3 blocks")
        << QStringList{QStringLiteral("--silent-after"), QStringLiteral("3")} << 4
        << "end: failed (no answer)";
    QTest::newRow("identity rejected") << QStringList{QStringLiteral("--band"), QStringLiteral("3")}
                                       << 3 << "end: failed (the radio's identity was rejected)";
}

// No backup, no image file; the trace tells what happened.
void TestEndToEnd::failedReadKeepsNoBackup() {
    QFETCH(QStringList, options);
    QFETCH(int, code);
    QFETCH(QString, end);
    clearKept(QStringLiteral("meridox"));
    VirtualRadio radio;
    QVERIFY(radio.start(QStringLiteral("meridox"), options));
    const QString img = file("failed.img"), trace = file("failed-trace.txt");
    QFile::remove(img);
    QFile::remove(trace);
    const Run r = run(QStringLiteral("meridox"),
                      {QStringLiteral("read"), QStringLiteral("--port"), radio.linkPath(),
                       QStringLiteral("--image"), img, QStringLiteral("--trace"), trace});
    QCOMPARE(r.code, code);
    QVERIFY(!QFile::exists(img));
    QVERIFY(keptFiles(kept(QStringLiteral("meridox"), "backups")).isEmpty());
    const QString text = QString::fromUtf8(readAll(trace));
    QVERIFY2(text.endsWith(QStringLiteral("--  ") + end + QLatin1Char('\n')),
             qPrintable(text.right(300)));
    QVERIFY(text.contains(QStringLiteral("  TX  50 52 4F 47 52 41 4D")));
}

// Older kept files give way to new ones: 50 backups, 10 traces; other files stay.
void TestEndToEnd::keptFoldersArePruned() {
    const QString product = QStringLiteral("meridox");
    clearKept(product);
    QVERIFY(QDir().mkpath(kept(product, "backups")) && QDir().mkpath(kept(product, "traces")));
    for (int i = 0; i < 50; ++i)
        QVERIFY(writeFile(kept(product, "backups") +
                              QStringLiteral("/meridox-20200101-0000%1-000-SOLV.img")
                                  .arg(i, 2, 10, QLatin1Char('0')),
                          "old"));
    for (int i = 0; i < 10; ++i)
        QVERIFY(writeFile(kept(product, "traces") +
                              QStringLiteral("/meridox-20200101-0000%1-000-read.txt")
                                  .arg(i, 2, 10, QLatin1Char('0')),
                          "old"));
    QVERIFY(writeFile(kept(product, "backups") + QStringLiteral("/my notes.txt"), "mine"));
    VirtualRadio radio;
    QVERIFY(radio.start(product));
    const Run r = run(product, {QStringLiteral("read"), QStringLiteral("--port"), radio.linkPath(),
                                QStringLiteral("--image"), file("p.img")});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    const QStringList backups = keptFiles(kept(product, "backups"));
    QCOMPARE(backups.size(), 50 + 1);
    QVERIFY(backups.contains(kept(product, "backups") + QStringLiteral("/my notes.txt")));
    QVERIFY(!QFile::exists(kept(product, "backups") +
                           QStringLiteral("/meridox-20200101-000000-000-SOLV.img")));
    QVERIFY(QFile::exists(kept(product, "backups") +
                          QStringLiteral("/meridox-20200101-000001-000-SOLV.img")));
    QCOMPARE(readAll(backups.at(49)), readAll(file("p.img"))); // the newest, before "my notes"
    const QStringList traces = keptFiles(kept(product, "traces"));
    QCOMPARE(traces.size(), 10);
    QVERIFY(!QFile::exists(kept(product, "traces") +
                           QStringLiteral("/meridox-20200101-000000-000-read.txt")));
    QVERIFY(QString::fromUtf8(readAll(traces.last())).contains(QStringLiteral("Operation: read")));
}

// Backups and traces are a help: a data folder that cannot be written is reported, and the
// read still delivers what was asked for.
void TestEndToEnd::unwritableDataFolderDoesNotFailARead() {
    const QString blocked = file("blocked");
    QVERIFY(writeFile(blocked, "a file where the data folder should be"));
    VirtualRadio radio;
    QVERIFY(radio.start(QStringLiteral("meridox")));
    const QString img = file("kept-anyway.img"), dat = file("kept-anyway.dat");
    QFile::remove(img);
    QFile::remove(dat);
    const Run r = run(QStringLiteral("meridox"),
                      {QStringLiteral("read"), QStringLiteral("--port"), radio.linkPath(),
                       QStringLiteral("--image"), img, QStringLiteral("-o"), dat},
                      blocked);
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QVERIFY2(r.err.contains(QStringLiteral("Warning: no backup image of the radio was kept")),
             qPrintable(r.err));
    QVERIFY(r.err.contains(QStringLiteral("Warning: the session trace was not kept")));
    QCOMPARE(QFile(img).size(), qint64(8192));
    QCOMPARE(QFile(dat).size(), qint64(15245));
    // A trace asked for is the command's own output: not written means not done.
    const Run t = run(QStringLiteral("meridox"),
                      {QStringLiteral("info"), QStringLiteral("--port"), radio.linkPath(),
                       QStringLiteral("--trace"), file("no-such-folder/trace.txt")});
    QCOMPARE(t.code, 1);
    QVERIFY(t.err.contains(QStringLiteral("no-such-folder/trace.txt")));
}

// A data file that the radio could not hold, or could not give back, is refused before the
// port is opened. Channel 1 of group A has its RX text at byte 22 of a meridox file.
void TestEndToEnd::refusedConfigurationSendsNothing_data() {
    QTest::addColumn<QByteArray>("rx");
    QTest::addColumn<QString>("message");
    QTest::newRow("3277 steps below the band")
        << QByteArray("25582230")
        << "Group A channel 1: receive frequency 25.582230 MHz is too far outside the band";
    QTest::newRow("RX empty") << QByteArray("        ")
                              << "Group A channel 1: receive frequency \"\" is not a frequency";
    QTest::newRow("RX not a number")
        << QByteArray("2801X000") << "Group A channel 1: receive frequency \"2801X000\"";
}

void TestEndToEnd::refusedConfigurationSendsNothing() {
    QFETCH(QByteArray, rx);
    QFETCH(QString, message);
    const QString in = file("refused.dat");
    QFile::remove(in);
    QCOMPARE(run(QStringLiteral("meridox"), {QStringLiteral("new"), QStringLiteral("-o"), in}).code,
             0);
    QFile f(in);
    QVERIFY(f.open(QIODevice::ReadWrite));
    f.seek(22);
    f.write(rx);
    f.close();
    VirtualRadio radio;
    QVERIFY(radio.start(QStringLiteral("meridox")));
    const Run r = run(QStringLiteral("meridox"),
                      {QStringLiteral("write"), QStringLiteral("--port"), radio.linkPath(), in});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QTest::qWait(100);
    QVERIFY(radio.log().isEmpty());
}

// "radio" and "./radio" name the link in the current folder; a name that is no file there is a
// device under /dev, and the message names that full path.
void TestEndToEnd::portGivenAsRelativePath_data() {
    QTest::addColumn<QString>("port");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("bare name") << "radio" << 0 << "Read Data Completed.";
    QTest::newRow("dot slash") << "./radio" << 0 << "Read Data Completed.";
    QTest::newRow("missing") << "no-such-radio" << 2 << "/dev/no-such-radio is not connected.";
}

void TestEndToEnd::portGivenAsRelativePath() {
    QFETCH(QString, port);
    QFETCH(int, code);
    QFETCH(QString, message);
    VirtualRadio radio;
    QVERIFY(radio.start(QStringLiteral("meridox")));
    const QString out = file("relative.dat");
    const Run r =
        run(QStringLiteral("meridox"),
            {QStringLiteral("read"), QStringLiteral("--port"), port, QStringLiteral("-o"), out}, {},
            QFileInfo(radio.linkPath()).path());
    QCOMPARE(r.code, code);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
}

void TestEndToEnd::writeVerify_data() {
    QTest::addColumn<QString>("product");
    QTest::addColumn<QStringList>("radioArgs");
    QTest::addColumn<bool>("image"); // write --image instead of a data file
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("said"); // a line of standard error
    const QString verified = QStringLiteral("Write verified: the radio holds what was written.");
    // The default configuration has group A channel 1 on 28.015 MHz: its first receive byte
    // 0x28 is meridox's first written byte and the first byte of solvir's second block.
    const QString channel = QStringLiteral("Group A channel 1 RX: 28.015000 -> 29.015000");
    const QStringList corrupt1{QStringLiteral("--corrupt-write"), QStringLiteral("1")};
    const QStringList corrupt2{QStringLiteral("--corrupt-write"), QStringLiteral("2")};
    QTest::newRow("meridox good radio") << "meridox" << QStringList() << false << 0 << verified;
    QTest::newRow("solvir good radio, image") << "solvir" << QStringList() << true << 0 << verified;
    QTest::newRow("meridox wrong byte in a channel")
        << "meridox" << corrupt1 << false << 5 << channel;
    QTest::newRow("meridox wrong byte, image") << "meridox" << corrupt1 << true << 5 << channel;
    QTest::newRow("solvir wrong byte in a channel")
        << "solvir" << corrupt2 << false << 5 << channel;
    // Meridox 0x0020 is an unused byte of channel A1's slot: no setting shows it.
    QTest::newRow("meridox wrong unused byte")
        << "meridox" << corrupt2 << false << 5
        << "Radio memory 0x0020: written 0xFF, the radio holds 0xFE";
    // The write's 477 blocks go through; the read-back gets three blocks, then silence.
    QTest::newRow("meridox silent during the read-back")
        << "meridox" << QStringList{QStringLiteral("--silent-after"), QStringLiteral("480")}
        << false << 4 << "The data was written, but reading it back to verify it failed.";
}

void TestEndToEnd::writeVerify() {
    QFETCH(QString, product);
    QFETCH(QStringList, radioArgs);
    QFETCH(bool, image);
    QFETCH(int, code);
    QFETCH(QString, said);
    VirtualRadio radio;
    QVERIFY(radio.start(product, radioArgs));
    QStringList args{QStringLiteral("write"), QStringLiteral("--port"), radio.linkPath(),
                     QStringLiteral("--verify")};
    if (image) {
        const Product& p = *productByName(product);
        Document d(p);
        d.initialiseDefaults();
        QByteArray bytes;
        clearRadioImage(p, bytes);
        QVERIFY(!buildRadioImage(d, bytes));
        QVERIFY(writeFile(file("verify.img"), bytes));
        args << QStringLiteral("--image") << file("verify.img");
    } else {
        const QString in = file("verify.dat");
        QCOMPARE(run(product, {QStringLiteral("new"), QStringLiteral("-o"), in}).code, 0);
        args << in;
    }
    if (product == QLatin1String("solvir")) args << QStringLiteral("--overwrite");
    const Run r = run(product, args);
    QVERIFY2(r.code == code, qPrintable(QString::number(r.code) + QLatin1Char(' ') + r.err));
    QVERIFY2(r.err.split(QLatin1Char('\n')).contains(said), qPrintable(r.err));
    if (code == 5) QVERIFY(r.err.contains(QStringLiteral("the radio holds something else")));
    // After the write's end command the read-back opens like a read, from block 0.
    const QStringList sent = framesFromProgram(radio.log(), QString());
    const qsizetype end = sent.indexOf(QStringLiteral("45"));
    QVERIFY(end > 0);
    QCOMPARE(sent.mid(end + 1, 4),
             QStringList({QStringLiteral("50 52 4F 47 52 41 4D"), QStringLiteral("02"),
                          QStringLiteral("06"), QStringLiteral("52 00 00 40")}));
    if (code == 0)
        QCOMPARE(framesFromProgram(radio.log(), QStringLiteral("52 ")).size(),
                 product == QLatin1String("solvir") ? 60 : 120);
}

void TestEndToEnd::diffWithRadio_data() {
    QTest::addColumn<QString>("product");
    QTest::addColumn<QString>("radioRx"); // group A channel 1 of the radio
    QTest::addColumn<QStringList>("radioArgs");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("out");
    QTest::addColumn<bool>("asText"); // the file compared is the configuration as text
    QTest::newRow("equal") << "meridox"
                           << "28.015" << QStringList() << 0 << QString() << false;
    QTest::newRow("differs from a text")
        << "meridox"
        << "27.5" << QStringList() << 1 << "Group A channel 1 RX: 27.500000 -> 28.015000\n"
        << true;
    // A solvir radio names its model by number; TX follows RX in solvir's channels.
    QTest::newRow("solvir model and channel differ")
        << "solvir"
        << "27.5" << QStringList() << 1
        << "Model: 5480 -> SOLVIR\nGroup A channel 1 RX: 27.500000 -> 28.015000\n"
           "Group A channel 1 TX: 27.500000 -> 28.015000\n"
        << false;
    QTest::newRow("radio of another model")
        << "meridox"
        << "27.5" << QStringList{QStringLiteral("--model"), QStringLiteral("5480")} << 3
        << QString() << false;
}

// The radio is read as read does and compared with the file, the radio's value first; nothing
// is written to it.
void TestEndToEnd::diffWithRadio() {
    QFETCH(QString, product);
    QFETCH(QString, radioRx);
    QFETCH(QStringList, radioArgs);
    QFETCH(int, code);
    QFETCH(QString, out);
    QFETCH(bool, asText);
    const Product& p = *productByName(product);
    Document d(p);
    d.initialiseDefaults();
    d.setChannelCell(1, ColRx, radioRx);
    QByteArray memory;
    clearRadioImage(p, memory);
    QVERIFY(!buildRadioImage(d, memory) && writeFile(file("diff.img"), memory));
    VirtualRadio radio;
    QVERIFY(radio.start(product, radioArgs << QStringLiteral("--memory") << file("diff.img")));
    const QString dat = file("diff.dat");
    QCOMPARE(run(product, {QStringLiteral("new"), QStringLiteral("-o"), dat}).code, 0);
    const QString in = asText ? file("diff.yaml") : dat;
    if (asText) QCOMPARE(run(product, {QStringLiteral("export"), dat, in}).code, 0);
    const Run r =
        run(product, {QStringLiteral("diff"), QStringLiteral("--port"), radio.linkPath(), in});
    QVERIFY2(r.code == code, qPrintable(QString::number(r.code) + QLatin1Char(' ') + r.err));
    QCOMPARE(r.out, out);
    QVERIFY(framesFromProgram(radio.log(), QStringLiteral("57 ")).isEmpty());
}

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "tst_e2e.moc"
