// The command-line companions as a user runs them.
#include "testsupport.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestCli : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    struct Run {
        int code;
        QString out;
        QString err;
    };
    Run run(const QString& program, const QStringList& args) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
        p.setProcessEnvironment(env);
        p.start(program, args);
        if (!p.waitForFinished(30000)) return {-1, {}, {}};
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }

private slots:
    void newAndShow_data();
    void newAndShow();
    void usageErrors_data();
    void usageErrors();
    void showRefusedVersion();
};

void TestCli::newAndShow_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("model");
    QTest::newRow("meridox") << QStringLiteral(MERIDOX_CLI) << 15245 << "SOLV";
    QTest::newRow("solvir") << QStringLiteral(SOLVIR_CLI) << 13791 << "SOLVIR";
}

void TestCli::newAndShow() {
    QFETCH(QString, program);
    QFETCH(int, size);
    QFETCH(QString, model);
    const QString file = dir.filePath(QStringLiteral("a.dat"));
    QFile::remove(file);
    Run r = run(program, {QStringLiteral("new"), QStringLiteral("-o"), file});
    QCOMPARE(r.code, 0);
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray b = f.readAll();
    QCOMPARE(b.size(), size);
    if (size == 15245) {
        QCOMPARE(b.left(4), QByteArray("V100"));
        QCOMPARE(b.mid(14418, 6), QByteArray("SOLV\0 ", 6));
    }
    r = run(program, {QStringLiteral("show"), file});
    QCOMPARE(r.code, 0);
    QVERIFY2(r.out.contains(QStringLiteral("Model: ") + model), qPrintable(r.out));
    const char* freqs[] = {"28.015000", "28.145000", "28.115000", "28.085000", "28.055000",
                           "28.025000"};
    for (const char* fq : freqs) {
        const QString line = QStringLiteral("   1  RX %1  TX %1  Scan Add  Flags ECHO")
                                 .arg(QLatin1String(fq));
        QVERIFY2(r.out.contains(line), qPrintable(r.out));
    }
    QVERIFY(r.out.contains(QStringLiteral("Group F: 1 channel")));
    QVERIFY(r.out.contains(QStringLiteral("Message line 1: \"\"")));
}

void TestCli::usageErrors_data() {
    QTest::addColumn<QStringList>("args");
    QTest::newRow("nothing") << QStringList{};
    QTest::newRow("unknown command") << QStringList{QStringLiteral("frobnicate")};
    QTest::newRow("new without output") << QStringList{QStringLiteral("new")};
    QTest::newRow("show without file") << QStringList{QStringLiteral("show")};
    QTest::newRow("show missing file")
        << QStringList{QStringLiteral("show"), QStringLiteral("/nonexistent/x.dat")};
    QTest::newRow("new into missing folder")
        << QStringList{QStringLiteral("new"), QStringLiteral("-o"), QStringLiteral("/nonexistent/x.dat")};
}

void TestCli::usageErrors() {
    QFETCH(QStringList, args);
    const Run r = run(QStringLiteral(MERIDOX_CLI), args);
    QCOMPARE(r.code, 1);
    QVERIFY(!r.err.isEmpty());
}

void TestCli::showRefusedVersion() {
    const QString file = dir.filePath(QStringLiteral("v2.dat"));
    QCOMPARE(run(QStringLiteral(MERIDOX_CLI), {QStringLiteral("new"), QStringLiteral("-o"), file}).code, 0);
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadWrite));
    f.write("V200");
    f.close();
    const Run r = run(QStringLiteral(MERIDOX_CLI), {QStringLiteral("show"), file});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(QStringLiteral("DataFile version is V2.00")), qPrintable(r.err));
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
