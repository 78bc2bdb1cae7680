// Several radios at once and one after another: the command-line companion against several
// virtual radios on pseudo-terminals.
#include "cliprocess.h"
#include "radiolauncher.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <array>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <sys/ioctl.h>
#include <unistd.h>

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

// A terminal window the command runs in (its controlling terminal); only the test holds the
// window's side, so closing it is the hang-up. What the command shows is read and dropped.
struct Terminal {
    int window = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    Terminal() { ::grantpt(window), ::unlockpt(window); }
    ~Terminal() { ::close(window); }
    void attach(QProcess& process) const {
        process.setChildProcessModifier([slave = QByteArray(::ptsname(window))] {
            ::setsid();
            const int fd = ::open(slave.constData(), O_RDWR);
            ::ioctl(fd, TIOCSCTTY, 0);
            for (int std = 0; std < 3; ++std)
                ::dup2(fd, std);
        });
    }
    void drain() const {
        char buffer[4096];
        while (::read(window, buffer, sizeof buffer) > 0) {
        }
    }
    void hangUp() { ::close(std::exchange(window, -1)); }
};

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
    // Starts the command the way the tests run it, for a test that talks to it while it runs.
    void start(QProcess& cli, const QStringList& args) const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), environment().configHome);
        env.insert(QStringLiteral("XDG_DATA_HOME"), environment().dataHome);
        cli.setProcessEnvironment(env);
        cli.start(QStringLiteral(MERIDOX_CLI), args);
    }

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
    void stopLetsTheRadiosGo_data();
    void stopLetsTheRadiosGo();
    void repeatSaysWhatItWaitsFor();
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
    start(cli, {QStringLiteral("write"), in, QStringLiteral("--port"), port,
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

// Ctrl+C, SIGTERM and a closed terminal stop a read, a write or an information read half-way:
// the radio is let go with "E", the command says so (naming a radio left partly written), logs
// the radio, keeps no file and exits with 4.
void TestFleet::stopLetsTheRadiosGo_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("signal");
    QTest::addColumn<bool>("hangUp"); // the terminal is closed instead of the signal sent
    QTest::addColumn<int>("ports");
    QTest::addColumn<QString>("told"); // what standard error says
    const QString interrupted = QStringLiteral("Stopped by Ctrl+C (SIGINT).");
    const QString terminated = QStringLiteral("Stopped by SIGTERM.");
    QTest::newRow("read, Ctrl+C") << "read" << SIGINT << false << 1 << interrupted;
    QTest::newRow("write, Ctrl+C") << "write" << SIGINT << false << 1 << interrupted;
    QTest::newRow("info, Ctrl+C") << "info" << SIGINT << false << 1 << interrupted;
    QTest::newRow("read, SIGTERM") << "read" << SIGTERM << false << 1 << terminated;
    QTest::newRow("write, SIGTERM") << "write" << SIGTERM << false << 1 << terminated;
    QTest::newRow("info, SIGTERM") << "info" << SIGTERM << false << 1 << terminated;
    QTest::newRow("read, terminal closed") << "read" << SIGHUP << true << 1 << QString();
    QTest::newRow("write, terminal closed") << "write" << SIGHUP << true << 1 << QString();
    QTest::newRow("info, terminal closed") << "info" << SIGHUP << true << 1 << QString();
    QTest::newRow("two writes, SIGHUP")
        << "write" << SIGHUP << false << 2
        << QStringLiteral("Stopped: the terminal was closed (SIGHUP).");
}

void TestFleet::stopLetsTheRadiosGo() {
    QFETCH(QString, command);
    QFETCH(int, signal);
    QFETCH(bool, hangUp);
    QFETCH(int, ports);
    QFETCH(QString, told);
    const bool write = command == QLatin1String("write"), info = command == QLatin1String("info");
    const QString out = file(QStringLiteral("stopped.dat")),
                  log = file(QStringLiteral("stopped.csv"));
    QFile::remove(log);
    QStringList args{command};
    if (write) args << newConfiguration();
    if (command == QLatin1String("read"))
        args << QStringLiteral("-o") << (ports > 1 ? file(QStringLiteral("stopped")) : out);
    if (!info) args << QStringLiteral("--log") << log;
    std::array<VirtualRadio, 2> radios; // slow: the signal comes while blocks are moving
    for (int i = 0; i < ports; ++i) {
        QVERIFY(radios[size_t(i)].start(Meridox,
                                        {QStringLiteral("--reply-delay"), QStringLiteral("100")}));
        args << QStringLiteral("--port") << radios[size_t(i)].linkPath();
    }
    Terminal terminal;
    QProcess cli;
    if (hangUp) terminal.attach(cli);
    start(cli, args);
    const QString blockFrame = write ? QStringLiteral("57 ") : QStringLiteral("52 ");
    QVERIFY(QTest::qWaitFor(
        [&] {
            terminal.drain();
            return framesReceived(radios[0], blockFrame) >= 3 &&
                   framesReceived(radios[size_t(ports - 1)], blockFrame) >= 3;
        },
        10000));
    hangUp ? terminal.hangUp() : void(::kill(pid_t(cli.processId()), signal));
    QVERIFY(cli.waitForFinished(10000));
    QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
    QCOMPARE(cli.exitCode(), 4);
    const QString err = QString::fromUtf8(cli.readAllStandardError()),
                  table = QString::fromUtf8(cli.readAllStandardOutput());
    for (int i = 0; i < ports; ++i) {
        const VirtualRadio& radio = radios[size_t(i)];
        // The last frame the radio heard is "E".
        QVERIFY(QTest::qWaitFor(
            [&] {
                return radio.log().filter(QStringLiteral("> ")).last() == QLatin1String("> 45");
            },
            3000));
        if (told.isEmpty()) continue;
        QCOMPARE(err.contains(radio.linkPath() +
                              QStringLiteral(": the radio (SOLV) holds a partly written "
                                             "configuration until it is written again.\n")),
                 write);
        if (ports > 1)
            QCOMPARE(summaryRow(table, radio.linkPath()).value(4), QStringLiteral("cancelled (4)"));
    }
    QVERIFY(!QFile::exists(out));
    if (!info)
        QCOMPARE(logRows(log).mid(1).replaceInStrings(
                     QRegularExpression(QStringLiteral("^([^,]*,){8}([^,]*),.*")),
                     QStringLiteral("\\2")),
                 QStringList(ports, QStringLiteral("cancelled")));
    if (told.isEmpty()) return; // the terminal has gone with what was said
    QVERIFY2(err.contains(told + QLatin1Char('\n')), qPrintable(err));
    QCOMPARE(err.contains(QStringLiteral("Nothing was changed")), !write);
}

// --repeat on ports that cannot be opened yet says so once for each, and again when one can
// be opened. A port with a "/" is that path even when it appears later; a bare name that is no
// file is a device under /dev; a COMn choice with no device is looked up again at each try.
void TestFleet::repeatSaysWhatItWaitsFor() {
    // The command sees its working folder by its real path.
    const QString later =
        QDir(QFileInfo(dir.path()).canonicalFilePath()).filePath(QStringLiteral("r5"));
    QFile::remove(later);
    QProcess cli;
    cli.setWorkingDirectory(dir.path());
    start(cli, {QStringLiteral("write"), newConfiguration(), QStringLiteral("--repeat"),
                QStringLiteral("--port"), QStringLiteral("nothere"), QStringLiteral("--port"),
                QStringLiteral("./r5"), QStringLiteral("--port"), QStringLiteral("COM8")});
    QVERIFY(cli.waitForStarted());
    QString err;
    const auto told = [&](const QString& text) {
        err += QString::fromUtf8(cli.readAllStandardError());
        return err.contains(text);
    };
    const QString waiting = QStringLiteral(
        "%1: the port cannot be opened yet: %2 is not connected. Plug in the programming cable, "
        "or choose another port. Trying again every second.\n");
    QVERIFY2(
        QTest::qWaitFor([&] { return told(waiting.arg(QStringLiteral("./r5"), later)); }, 5000),
        qPrintable(err));
    const QString com8 = QStringLiteral("COM8: the port cannot be opened yet: COM8 has no serial "
                                        "device on this computer. Trying again every second.\n");
    QVERIFY2(QTest::qWaitFor([&] { return told(com8); }, 3000), qPrintable(err));
    QVERIFY(told(waiting.arg(QStringLiteral("nothere"), QStringLiteral("/dev/nothere"))));
    QTest::qWait(2500); // a few more tries, said once
    std::array<VirtualRadio, 2> radios;
    QVERIFY(radios[0].start(Meridox) && radios[1].start(Meridox));
    QVERIFY(QFile::link(radios[0].linkPath(), later));
    const QString settings = file(QStringLiteral("config/meridox/language/mysetup.ini"));
    QVERIFY(QDir().mkpath(QFileInfo(settings).path()));
    QFile pin(settings);
    QVERIFY(pin.open(QIODevice::WriteOnly));
    pin.write("[ports]\nCOM8=" + QFile::encodeName(radios[1].linkPath()) + '\n');
    pin.close();
    for (const char* port : {"./r5", "COM8"})
        QVERIFY2(
            QTest::qWaitFor(
                [&] { return told(QLatin1String(port) + QStringLiteral(": radio SOLV done in ")); },
                20000),
            qPrintable(err));
    QFile::remove(settings);
    QCOMPARE(err.count(QStringLiteral("cannot be opened yet")), 3);
    QCOMPARE(err.count(QStringLiteral("./r5: the port can be opened now; waiting for a radio.\n")),
             1);
    QCOMPARE(radios[1].dump(), radios[0].dump());
    ::kill(pid_t(cli.processId()), SIGINT);
    QVERIFY(cli.waitForFinished(5000));
    QCOMPARE(cli.exitCode(), 0);
}

QTEST_GUILESS_MAIN(TestFleet)
#include "tst_fleet.moc"
