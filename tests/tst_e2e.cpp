// The command-line companions against the virtual radio on a real pseudo-terminal.
#include "radiolauncher.h"
#include "testsupport.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {
struct Run {
    int code = -1;
    QString out;
    QString err;
};

QStringList framesFromProgram(const QStringList& log, const QString& prefix) {
    QStringList out;
    for (const QString& line : log)
        if (line.startsWith(QLatin1String("> ") + prefix)) out << line.mid(2);
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
    Run run(const QString& product, const QStringList& args) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
        p.setProcessEnvironment(env);
        p.start(cli(product), args);
        if (!p.waitForFinished(60000)) {
            p.kill();
            p.waitForFinished();
            return {};
        }
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }
    QString file(const char* name) const { return dir.filePath(QLatin1String(name)); }

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
};

void TestEndToEnd::fullRead_data() {
    QTest::addColumn<QString>("product");
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::addColumn<int>("blocks");
    QTest::newRow("meridox") << "meridox" << 15245 << "52 00 00 40" << "52 1D C0 40" << 120;
    QTest::newRow("solvir") << "solvir" << 13791 << "52 00 00 40" << "52 0E C0 40" << 60;
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
    QTest::newRow("meridox") << "meridox" << "57 00 10 10" << "57 1D D0 10" << 477;
    QTest::newRow("solvir") << "solvir" << "57 00 00 10" << "57 0E E0 10" << 239;
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
    const Run r = run(QStringLiteral("meridox"), {QStringLiteral("info"), QStringLiteral("--port"),
                                                  radio.linkPath()});
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
    QVERIFY(radio.start(QStringLiteral("meridox"), {QStringLiteral("--ignore-program"), QStringLiteral("1")}));
    const QString out = file("second.dat");
    const Run r = run(QStringLiteral("meridox"), {QStringLiteral("read"), QStringLiteral("--port"),
                                                  radio.linkPath(), QStringLiteral("-o"), out});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QVERIFY(!r.err.contains(QStringLiteral("Check Connection")));
    QCOMPARE(framesFromProgram(radio.log(), QStringLiteral("50 52 4F")).size(), 2);
}

void TestEndToEnd::silentRadio() {
    VirtualRadio radio;
    QVERIFY(radio.start(QStringLiteral("meridox"), {QStringLiteral("--ignore-program"), QStringLiteral("100")}));
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
    QVERIFY(radio.start(QStringLiteral("meridox"), {QStringLiteral("--bad-checksum"), QStringLiteral("3")}));
    const QString out = file("restart.dat");
    // Without a retry the read is abandoned and nothing is written.
    QFile::remove(out);
    Run r = run(QStringLiteral("meridox"), {QStringLiteral("read"), QStringLiteral("--port"),
                                            radio.linkPath(), QStringLiteral("-o"), out});
    QCOMPARE(r.code, 4);
    QVERIFY(!QFile::exists(out));
    // The restart prompt answered OK starts again from the first block.
    radio.stop();
    QVERIFY(radio.start(QStringLiteral("meridox"), {QStringLiteral("--bad-checksum"), QStringLiteral("3")}));
    r = run(QStringLiteral("meridox"), {QStringLiteral("read"), QStringLiteral("--port"),
                                        radio.linkPath(), QStringLiteral("-o"), out,
                                        QStringLiteral("--retries"), QStringLiteral("1")});
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
    QVERIFY(radio.start(QStringLiteral("meridox"), {QStringLiteral("--hangup-after"), QStringLiteral("5")}));
    const QString out = file("hangup.dat");
    QFile::remove(out);
    const Run r = run(QStringLiteral("meridox"), {QStringLiteral("read"), QStringLiteral("--port"),
                                                  radio.linkPath(), QStringLiteral("-o"), out});
    QCOMPARE(r.code, 4);
    QVERIFY(!QFile::exists(out));
}

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "tst_e2e.moc"
