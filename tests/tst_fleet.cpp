// Several radios at once and one after another: the command-line companion against several
// virtual radios on pseudo-terminals.
#include "cliprocess.h"
#include "radiolauncher.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <array>
#include <csignal>
#include <memory>

namespace {
const QString Meridox = QStringLiteral("meridox");

// Words of a text, for short lists written out in tests.
QStringList words(const char* text) {
    return QString::fromUtf8(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

QStringList lines(const QString& text) {
    return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// The cells of a summary table line: columns are at least two spaces apart.
QStringList cells(const QString& line) {
    static const QRegularExpression gap(QStringLiteral(" {2,}"));
    return line.trimmed().split(gap);
}

// The summary table's row of a port.
QStringList summaryRow(const QString& out, const QString& port) {
    for (const QString& line : lines(out))
        if (line.startsWith(port + QLatin1Char(' '))) return cells(line);
    return {};
}

// Frames of a kind the radio received ("> 57 ..." data frames, "> 50 52 ..." PROGRAM).
int framesReceived(const VirtualRadio& radio, const QString& hexStart) {
    return int(radio.log().filter(QRegularExpression(QStringLiteral("^> ") + hexStart)).size());
}

QStringList logRows(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return lines(QString::fromUtf8(f.readAll()));
}
} // namespace

class TestFleet : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    QString file(const QString& name) const { return dir.filePath(name); }
    CliEnvironment environment() const {
        return {file(QStringLiteral("config")), file(QStringLiteral("data")), {}};
    }
    using Run = CliRun;
    Run run(const QStringList& args) const {
        return runCli(QStringLiteral(MERIDOX_CLI), args, environment());
    }
    QString newConfiguration() const { return file(QStringLiteral("fleet.dat")); }

  private slots:
    void initTestCase() {
        QCOMPARE(run({QStringLiteral("new"), QStringLiteral("-o"), newConfiguration()}).code, 0);
    }
    void fourRadiosEndIdentical();
    void failingRadiosFailAlone();
    void verifyPerRadio();
    void readKeepsOneFilePerRadio();
    void repeatProgramsRadiosOneAfterAnother();
    void fleetOptionsRefused_data();
    void fleetOptionsRefused();
};

void TestFleet::fourRadiosEndIdentical() {
    std::array<VirtualRadio, 4> radios;
    const QString in = newConfiguration();
    const QString log = file(QStringLiteral("four.csv"));
    QStringList args{QStringLiteral("write"), in, QStringLiteral("--log"), log};
    for (VirtualRadio& r : radios) {
        QVERIFY(r.start(Meridox));
        args << QStringLiteral("--port") << r.linkPath();
    }
    const Run r = run(args);
    QVERIFY2(r.code == 0, qPrintable(r.err));
    const QByteArray first = radios[0].dump();
    QCOMPARE(first.size(), 0x2000);
    for (VirtualRadio& radio : radios) {
        QCOMPARE(radio.dump(), first);
        QCOMPARE(summaryRow(r.out, radio.linkPath()).value(4), QStringLiteral("success (0)"));
    }
    QCOMPARE(cells(lines(r.out).first()), words("Port Model Band Firmware Result Seconds"));
    QCOMPARE(summaryRow(r.out, radios[0].linkPath()).mid(1, 3),
             (QStringList{QStringLiteral("SOLV"), QStringLiteral("25.605000 - 30.115000 MHz"),
                          QStringLiteral("V100")}));
    const QStringList rows = logRows(log);
    QCOMPARE(rows.size(), 1 + 4);
    QCOMPARE(rows.first(), QStringLiteral("time,program,port,model,band,firmware,serial,operation,"
                                          "result,seconds,verify,file"));
    // A second run appends without a second header.
    QCOMPARE(run({QStringLiteral("write"), in, QStringLiteral("--log"), log,
                  QStringLiteral("--port"), radios[0].linkPath()})
                 .code,
             0);
    QCOMPARE(logRows(log).size(), 1 + 5);
    QCOMPARE(logRows(log).count(rows.first()), 1);
}

// A radio that falls silent, one of another model and one unplugged mid-write each fail with
// their own code; the fourth is written all the same, and the run exits with the highest code.
void TestFleet::failingRadiosFailAlone() {
    std::array<VirtualRadio, 4> radios;
    QVERIFY(radios[0].start(Meridox));
    QVERIFY(radios[1].start(Meridox, {QStringLiteral("--silent-after"), QStringLiteral("20")}));
    QVERIFY(radios[2].start(Meridox, {QStringLiteral("--model"), QStringLiteral("5480")}));
    QVERIFY(radios[3].start(Meridox, {QStringLiteral("--hangup-after"), QStringLiteral("30")}));
    const QString in = newConfiguration();
    const QString log = file(QStringLiteral("failing.csv"));
    QStringList args{QStringLiteral("write"), in, QStringLiteral("--log"), log};
    for (VirtualRadio& r : radios)
        args << QStringLiteral("--port") << r.linkPath();
    const Run r = run(args);
    QCOMPARE(r.code, 4);
    const char* expected[] = {"success (0)", "no-answer (4)", "identity-rejected (3)",
                              "connection-lost (4)"};
    for (size_t i = 0; i < radios.size(); ++i)
        QCOMPARE(summaryRow(r.out, radios[i].linkPath()).value(4), QLatin1String(expected[i]));
    // Every message names its port.
    QVERIFY2(r.err.contains(radios[2].linkPath() + QStringLiteral(": Model type is wrong.")),
             qPrintable(r.err));
    QCOMPARE(framesReceived(radios[0], QStringLiteral("57 ")), 477);
    // One row per radio, in the order they ended; the good one wrote the whole file.
    const QStringList rows = logRows(log);
    QCOMPARE(rows.size(), 1 + 4);
    QStringList results;
    for (const QString& row : rows.mid(1)) {
        const QStringList f = row.split(QLatin1Char(','));
        QCOMPARE(f.size(), 12);
        QVERIFY2(QDateTime::fromString(f[0], Qt::ISODate).isValid(), qPrintable(f[0]));
        QCOMPARE(f[1], Meridox);
        QCOMPARE(f[7], QStringLiteral("write"));
        QCOMPARE(f[11], in);
        results << f[2] + QLatin1Char(' ') + f[3] + QLatin1Char(' ') + f[8];
    }
    const char* wanted[] = {" SOLV success", " SOLV no-answer", " 5480 identity-rejected",
                            " SOLV connection-lost"};
    for (size_t i = 0; i < radios.size(); ++i)
        QVERIFY2(results.contains(radios[i].linkPath() + QLatin1String(wanted[i])),
                 qPrintable(results.join(QLatin1Char('\n'))));
}

// --verify reads each radio back: the one that stored a block wrong alone ends with 5.
void TestFleet::verifyPerRadio() {
    std::array<VirtualRadio, 2> radios;
    QVERIFY(radios[0].start(Meridox));
    QVERIFY(radios[1].start(Meridox, {QStringLiteral("--corrupt-write"), QStringLiteral("3")}));
    const QString log = file(QStringLiteral("verify.csv"));
    const Run r = run({QStringLiteral("write"), newConfiguration(), QStringLiteral("--verify"),
                       QStringLiteral("--log"), log, QStringLiteral("--port"), radios[0].linkPath(),
                       QStringLiteral("--port"), radios[1].linkPath()});
    QCOMPARE(r.code, 5);
    QCOMPARE(summaryRow(r.out, radios[0].linkPath()).value(4), QStringLiteral("success (0)"));
    QCOMPARE(summaryRow(r.out, radios[1].linkPath()).value(4),
             QStringLiteral("verify-different (5)"));
    QVERIFY2(r.err.contains(radios[0].linkPath() +
                            QStringLiteral(": Write verified: the radio holds what was written.")),
             qPrintable(r.err));
    QStringList verifyColumn;
    for (const QString& row : logRows(log).mid(1))
        verifyColumn << row.section(QLatin1Char(','), 2, 2) + QLatin1Char(' ') +
                            row.section(QLatin1Char(','), 8, 8) + QLatin1Char(' ') +
                            row.section(QLatin1Char(','), 10, 10);
    QCOMPARE(verifyColumn.size(), 2);
    QVERIFY(verifyColumn.contains(radios[0].linkPath() + QStringLiteral(" success same")));
    QVERIFY(verifyColumn.contains(radios[1].linkPath() +
                                  QStringLiteral(" verify-different different")));
}

void TestFleet::readKeepsOneFilePerRadio() {
    std::array<VirtualRadio, 2> radios;
    QVERIFY(radios[0].start(Meridox));
    QVERIFY(radios[1].start(Meridox, {QStringLiteral("--firmware"), QStringLiteral("V101")}));
    // Two ports named like adapters; the radios' own links have the same name.
    const QDir folder(file(QStringLiteral("read")));
    QDir().mkpath(folder.path());
    const QString portA = file(QStringLiteral("ttyUSB0")), portB = file(QStringLiteral("ttyUSB1"));
    QVERIFY(QFile::link(radios[0].linkPath(), portA));
    QVERIFY(QFile::link(radios[1].linkPath(), portB));
    // A file of that name already there is never replaced.
    QFile taken(folder.filePath(QStringLiteral("ttyUSB0-SOLV-4-V100.dat")));
    QVERIFY(taken.open(QIODevice::WriteOnly) && taken.write("mine") == 4);
    taken.close();
    const Run r = run({QStringLiteral("read"), QStringLiteral("--port"), portA,
                       QStringLiteral("--port"), portB, QStringLiteral("-o"), folder.path()});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QCOMPARE(folder.entryList(QDir::Files, QDir::Name),
             words("ttyUSB0-SOLV-4-V100-2.dat ttyUSB0-SOLV-4-V100.dat ttyUSB1-SOLV-4-V101.dat"));
    QCOMPARE(QFile(folder.filePath(QStringLiteral("ttyUSB0-SOLV-4-V100.dat"))).size(), 4);
    QCOMPARE(QFile(folder.filePath(QStringLiteral("ttyUSB1-SOLV-4-V101.dat"))).size(), 15245);
}

// Two radios appear on the same port one after the other: the first is there at the start and
// pulled after its write, the second is plugged in later and switched on a moment after.
// Ctrl+C then ends the run cleanly with both in the summary.
void TestFleet::repeatProgramsRadiosOneAfterAnother() {
    const QString in = newConfiguration();
    const QString log = file(QStringLiteral("repeat.csv"));
    VirtualRadio first, second;
    QVERIFY(first.start(Meridox, {QStringLiteral("--hangup-after-session")}));
    const QString port = first.linkPath();
    QProcess cli;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), environment().configHome);
    env.insert(QStringLiteral("XDG_DATA_HOME"), environment().dataHome);
    cli.setProcessEnvironment(env);
    cli.start(QStringLiteral(MERIDOX_CLI),
              {QStringLiteral("write"), in, QStringLiteral("--port"), port,
               QStringLiteral("--repeat"), QStringLiteral("--log"), log});
    QVERIFY(cli.waitForStarted());
    QString err;
    const auto doneCount = [&] {
        err += QString::fromUtf8(cli.readAllStandardError());
        return err.count(QStringLiteral(" done in "));
    };
    QVERIFY2(first.waitForExit(20000), qPrintable(err));
    QVERIFY(QTest::qWaitFor([&] { return doneCount() == 1; }, 5000));
    // The second radio takes over the same path; it is silent for its first 1.2 s.
    QVERIFY(!QFile::exists(port));
    QVERIFY(second.start(Meridox, {QStringLiteral("--start-delay"), QStringLiteral("1200"),
                                   QStringLiteral("--hangup-after-session")}));
    QVERIFY(QFile::link(second.linkPath(), port));
    QVERIFY2(second.waitForExit(20000), qPrintable(err));
    QVERIFY2(QTest::qWaitFor([&] { return doneCount() == 2; }, 5000), qPrintable(err));
    // The second radio heard PROGRAM while switched off and was written once switched on.
    QVERIFY(framesReceived(second, QStringLiteral("50 52 4F 47 52 41 4D")) >= 3);
    QCOMPARE(second.dump(), first.dump());
    ::kill(pid_t(cli.processId()), SIGINT);
    QVERIFY(cli.waitForFinished(5000));
    QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
    QCOMPARE(cli.exitCode(), 0);
    const QString out = QString::fromUtf8(cli.readAllStandardOutput());
    QCOMPARE(lines(out).size(), 1 + 2);
    QCOMPARE(lines(out).filter(QStringLiteral("success (0)")).size(), 2);
    QCOMPARE(logRows(log).size(), 1 + 2);
}

void TestFleet::fleetOptionsRefused_data() {
    QTest::addColumn<QStringList>("args");
    QTest::newRow("one trace for many") << words("write x.dat --port a --port b --trace t.txt");
    QTest::newRow("raw image of many reads") << words("read --port a --port b --image x.img");
    QTest::newRow("info on many ports") << words("info --port a --port b");
    QTest::newRow("log without a file") << words("write x.dat --port a --log");
}

void TestFleet::fleetOptionsRefused() {
    QFETCH(QStringList, args);
    const Run r = run(args);
    QCOMPARE(r.code, 1);
    QVERIFY(r.err.contains(QStringLiteral("Usage:")));
}

QTEST_GUILESS_MAIN(TestFleet)
#include "tst_fleet.moc"
