// Files written by the command-line companions to a disk that cannot take them: the file that
// was there stays as it was, nothing half-written is left, and the command says so and fails.
// The disk is a small tmpfs mounted by the test (root only). The --log file is checked before
// any radio is touched.
#include "cliprocess.h"
#include "fulldisk.h"
#include "radiolauncher.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/stat.h>

namespace {
const QString Program = QStringLiteral("50 52 4F 47 52 41 4D"); // PROGRAM

int framesReceived(const VirtualRadio& radio, const QString& hexStart) {
    return int(radio.log().filter(QRegularExpression(QStringLiteral("^> ") + hexStart)).size());
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class TestFullDisk : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    QString file(const QString& name) const { return dir.filePath(name); }
    CliRun run(const QStringList& args, const QString& dataHome = {}) const {
        return runCli(QStringLiteral(MERIDOX_CLI), args,
                      {file(QStringLiteral("config")),
                       dataHome.isEmpty() ? file(QStringLiteral("data")) : dataHome,
                       {}});
    }
    // The arguments of a row with its places filled: DISK the full disk, DIR the test's folder,
    // PORT and PORT2 the virtual radios.
    // (PORT2 before PORT, which it contains.)
    static QStringList fill(const QString& args, const QList<QPair<QString, QString>>& places) {
        QStringList out = args.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        for (QString& a : out)
            for (const auto& [place, value] : places)
                a.replace(place, value);
        return out;
    }

  private slots:
    void initTestCase() {
        QCOMPARE(
            run({QStringLiteral("new"), QStringLiteral("-o"), file(QStringLiteral("in.dat"))}).code,
            0);
        QCOMPARE(run({QStringLiteral("export"), file(QStringLiteral("in.dat")),
                      file(QStringLiteral("in.yaml"))})
                     .code,
                 0);
        QFile csv(file(QStringLiteral("in.csv")));
        QVERIFY(csv.open(QIODevice::WriteOnly));
        csv.write("Group,Channel,RX MHz\nA,1,27.000000\n");
        csv.close();
        QVERIFY(QFile::copy(file(QStringLiteral("in.dat")), file(QStringLiteral("other.dat"))));
        QCOMPARE(run({QStringLiteral("import-csv"), file(QStringLiteral("in.csv")),
                      file(QStringLiteral("other.dat"))})
                     .code,
                 0);
        QVERIFY(QDir().mkpath(file(QStringLiteral("folder.csv"))));
        QCOMPARE(::mkfifo(QFile::encodeName(file(QStringLiteral("fifo.csv"))).constData(), 0600),
                 0);
    }
    void commandsOnFullDisk_data();
    void commandsOnFullDisk();
    void logCheckedBeforeRadio_data();
    void logCheckedBeforeRadio();
    void logRowRefusedLater();
};

void TestFullDisk::commandsOnFullDisk_data() {
    QTest::addColumn<QString>("args");
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("said"); // on stderr, among other lines
    QTest::addColumn<QString>("made");     // a file in DIR the command still writes whole
    const QString full = QStringLiteral("No space left on device");
    const QString error = QStringLiteral("file error.");
    QTest::newRow("new -o over a data file")
        << "new -o DISK/keep.dat" << 1
        << QStringList{error, QStringLiteral("DISK/keep.dat: ") + full} << QString();
    QTest::newRow("new -o, a new file")
        << "new -o DISK/fresh.dat" << 1 << QStringList{error, full} << QString();
    QTest::newRow("export-csv") << "export-csv DIR/in.dat DISK/keep.csv" << 1
                                << QStringList{error, QStringLiteral("DISK/keep.csv: ") + full}
                                << QString();
    QTest::newRow("export as text")
        << "export DIR/in.dat DISK/keep.yaml" << 1
        << QStringList{error, QStringLiteral("DISK/keep.yaml: ") + full} << QString();
    QTest::newRow("import a text over a data file")
        << "import DIR/in.yaml DISK/keep.dat --onto DIR/in.dat" << 1
        << QStringList{error, QStringLiteral("DISK/keep.dat: ") + full} << QString();
    QTest::newRow("import-csv into a data file")
        << "import-csv DIR/in.csv DISK/keep.dat" << 1 << QStringList{error, full} << QString();
    QTest::newRow("print") << "print DIR/in.dat -o DISK/keep.pdf" << 1
                           << QStringList{error, QStringLiteral("DISK/keep.pdf: ") + full}
                           << QString();
    QTest::newRow("read -o") << "read --port PORT -o DISK/keep.dat" << 1
                             << QStringList{QStringLiteral("Read Data Completed."), error, full}
                             << QString();
    QTest::newRow("read --image") << "read --port PORT --image DISK/keep.img" << 1
                                  << QStringList{error, full} << QString();
    // A copy or image the disk cannot take does not cost the other files of the read.
    QTest::newRow("read --trace") << "read --port PORT -o DIR/read-trace.dat --trace DISK/trace.txt"
                                  << 1
                                  << QStringList{error, QStringLiteral("DISK/trace.txt: ") + full}
                                  << "read-trace.dat";
    QTest::newRow("read --image and -o")
        << "read --port PORT --image DISK/keep.img -o DIR/read-image.dat" << 1
        << QStringList{error, QStringLiteral("DISK/keep.img: ") + full} << "read-image.dat";
    QTest::newRow("read -o DIR, several ports")
        << "read --port PORT --port PORT2 -o DISK/radios" << 1
        << QStringList{error, full, QStringLiteral("file-error (1)")} << QString();
    // Kept files are a help, not the result: the read stands, with a warning for each.
    QTest::newRow("backup and trace kept on the full disk")
        << "read --port PORT -o DIR/read.dat DATA=DISK/data" << 0
        << QStringList{QStringLiteral("Warning: no backup image of the radio was kept: "),
                       QStringLiteral("Warning: the session trace was not kept: "), full}
        << QString();
    // The radio was read: its differences stand, and the trace copy makes it trouble (2), not
    // a difference (1).
    QTest::newRow("diff --port --trace")
        << "diff --port PORT DIR/other.dat --trace DISK/trace.txt" << 2
        << QStringList{error, QStringLiteral("DISK/trace.txt: ") + full,
                       QStringLiteral("Group A channel 1 RX: 28.015000 -> 27.000000")}
        << QString();
    QTest::newRow("diff --port, backup and trace kept on the full disk")
        << "diff --port PORT DIR/in.dat DATA=DISK/data" << 0
        << QStringList{QStringLiteral("Warning: no backup image of the radio was kept: "),
                       QStringLiteral("Warning: the session trace was not kept: "), full}
        << QString();
}

void TestFullDisk::commandsOnFullDisk() {
    QFETCH(QString, args);
    QFETCH(int, code);
    QFETCH(QStringList, said);
    QFETCH(QString, made);
    FullDisk disk;
    if (!disk.mounted()) QSKIP(qPrintable(disk.skipReason()));
    QVERIFY(disk.put(QStringLiteral("keep.dat"), readAll(file(QStringLiteral("in.dat")))));
    for (const char* name : {"keep.csv", "keep.pdf", "keep.img", "trace.txt", "keep.yaml"})
        QVERIFY(disk.put(QLatin1String(name), QByteArray("what was there: ") + name));
    QVERIFY(QDir().mkpath(disk.filePath(QStringLiteral("radios"))));
    QVERIFY(QDir().mkpath(disk.filePath(QStringLiteral("data"))));
    VirtualRadio radio, radio2;
    QVERIFY(radio.start(QStringLiteral("meridox")));
    QVERIFY(radio2.start(QStringLiteral("meridox")));
    QVERIFY(disk.fill());
    const QStringList before = disk.files();

    const QList<QPair<QString, QString>> places{{QStringLiteral("DISK"), disk.path()},
                                                {QStringLiteral("DIR"), dir.path()},
                                                {QStringLiteral("PORT2"), radio2.linkPath()},
                                                {QStringLiteral("PORT"), radio.linkPath()}};
    QStringList words = fill(args, places);
    QString dataHome;
    if (words.last().startsWith(QLatin1String("DATA="))) dataHome = words.takeLast().mid(5);
    const CliRun r = run(words, dataHome);
    QVERIFY2(r.code == code, qPrintable(r.err + r.out));
    for (const QString& text : said)
        QVERIFY2(r.err.contains(QString(text).replace(QLatin1String("DISK"), disk.path())) ||
                     r.out.contains(text),
                 qPrintable(text + QLatin1String(" not in:\n") + r.err + r.out));
    QCOMPARE(disk.files(), before);
    if (!made.isEmpty()) QCOMPARE(QFileInfo(file(made)).size(), 15245);
}

void TestFullDisk::logCheckedBeforeRadio_data() {
    QTest::addColumn<QString>("log");
    QTest::addColumn<bool>("repeat"); // the several-radios run, else a single write
    QTest::addColumn<QString>("reason");
    for (const bool repeat : {false, true}) {
        const char* kind = repeat ? ", --repeat" : ", one radio";
        QTest::addRow("a folder%s", kind) << "DIR/folder.csv" << repeat << "Is a directory";
        QTest::addRow("in a missing folder%s", kind)
            << "DIR/missing/log.csv" << repeat << "No such file or directory";
        QTest::addRow("on a full disk%s", kind)
            << "DISK/log.csv" << repeat << "No space left on device";
        QTest::addRow("a device that takes nothing%s", kind)
            << "/dev/full" << repeat << "No space left on device";
        QTest::addRow("a FIFO nobody reads%s", kind)
            << "DIR/fifo.csv" << repeat << "no program reads from it";
    }
}

void TestFullDisk::logCheckedBeforeRadio() {
    QFETCH(QString, log);
    QFETCH(bool, repeat);
    QFETCH(QString, reason);
    FullDisk disk;
    if (log.startsWith(QLatin1String("DISK"))) FILL_DISK_OR_SKIP(disk);
    log.replace(QLatin1String("DISK"), disk.path()).replace(QLatin1String("DIR"), dir.path());
    VirtualRadio radio;
    QVERIFY(radio.start(QStringLiteral("meridox")));
    QStringList args{QStringLiteral("write"),  file(QStringLiteral("in.dat")),
                     QStringLiteral("--port"), radio.linkPath(),
                     QStringLiteral("--log"),  log};
    if (repeat) args << QStringLiteral("--repeat");
    const CliRun r = run(args);
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.startsWith(QStringLiteral("file error.\n%1: %2").arg(log, reason)),
             qPrintable(r.err));
    QCOMPARE(framesReceived(radio, Program), 0);
    if (disk.mounted()) QCOMPARE(disk.files(), QStringList());
}

// With --repeat the disk fills after the first radio: the second radio is finished, its row
// cannot be written, and that is said at once; no third radio is taken, so the run ends by
// itself. The log keeps its rows whole.
void TestFullDisk::logRowRefusedLater() {
    FullDisk disk;
    if (!disk.mounted()) QSKIP(qPrintable(disk.skipReason()));
    const QString log = disk.filePath(QStringLiteral("log.csv"));
    VirtualRadio first, second;
    QVERIFY(first.start(QStringLiteral("meridox"), {QStringLiteral("--hangup-after-session")}));
    const QString port = first.linkPath();
    QProcess cli;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), file(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), file(QStringLiteral("data")));
    cli.setProcessEnvironment(env);
    cli.start(QStringLiteral(MERIDOX_CLI),
              {QStringLiteral("write"), file(QStringLiteral("in.dat")), QStringLiteral("--port"),
               port, QStringLiteral("--repeat"), QStringLiteral("--log"), log});
    QVERIFY(cli.waitForStarted());
    QString err;
    const auto said = [&](const QString& text) {
        err += QString::fromUtf8(cli.readAllStandardError());
        return err.count(text);
    };
    QVERIFY2(first.waitForExit(20000), qPrintable(err));
    QVERIFY2(QTest::qWaitFor([&] { return said(QStringLiteral(" done in ")) == 1; }, 5000),
             qPrintable(err));
    // The log's page is filled up to its end with blank lines, then the rest of the disk.
    {
        QFile f(log);
        QVERIFY(f.open(QIODevice::Append));
        QVERIFY(f.size() < 4096);
        QVERIFY(f.write(QByteArray(4096 - f.size(), '\n')) > 0);
    }
    QVERIFY(disk.fill());
    const QByteArray logged = readAll(log);

    // Silent at first, so the port sees the first radio gone before the second answers.
    QVERIFY(second.start(QStringLiteral("meridox"),
                         {QStringLiteral("--start-delay"), QStringLiteral("1200"),
                          QStringLiteral("--hangup-after-session")}));
    QVERIFY(QFile::link(second.linkPath(), port));
    QVERIFY2(cli.waitForFinished(20000), qPrintable(err));
    said({});
    QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
    QCOMPARE(cli.exitCode(), 1);
    QCOMPARE(said(QStringLiteral(" done in ")), 2); // the second radio was finished
    QVERIFY2(err.contains(QStringLiteral("file error. %1: No space left on device").arg(log)),
             qPrintable(err));
    QCOMPARE(readAll(log), logged);
    const QString out = QString::fromUtf8(cli.readAllStandardOutput());
    QCOMPARE(out.count(QStringLiteral("success (0)")), 2);
}

QTEST_GUILESS_MAIN(TestFullDisk)
#include "tst_fulldisk.moc"
