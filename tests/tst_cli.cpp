// The command-line companions as a user runs them, and in-process where only the texts and
// the exit code matter.
#include "cli/cli.h"
#include "cliprocess.h"
#include "core/comm/unattendedanswers.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

class TestCli : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    using Run = CliRun;
    Run run(const QString& program, const QStringList& args) {
        CliEnvironment env;
        env.configHome = dir.filePath(QStringLiteral("config"));
        return runCli(program, args, env);
    }
    // The command run in this process, its output and messages caught in strings.
    static Run runHere(const Product& product, const QStringList& args) {
        Run r;
        QTextStream out(&r.out), err(&r.err);
        r.code = runCli(product, args, CliStreams{out, err});
        return r;
    }

  private slots:
    // print starts Qt's GUI side, which warns on standard error without a runtime folder.
    void initTestCase() {
        const QString runtime = dir.filePath(QStringLiteral("runtime"));
        QVERIFY(QDir().mkpath(runtime));
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        // The commands run in-process read the test's settings, never the user's.
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath(QStringLiteral("config"))));
    }
    void newAndShow_data();
    void newAndShow();
    void usageErrors_data();
    void usageErrors();
    void showRefusedVersion();
    void helpAndVersion_data();
    void helpAndVersion();
    void channelListCommands_data();
    void channelListCommands();
    void diffCommand();
    void configTextCommands_data();
    void configTextCommands();
    void filesNotRead_data();
    void filesNotRead();
    void resultsToFullStandardOutput_data();
    void resultsToFullStandardOutput();
    void reasonInChinese();
    void failureTable_data();
    void failureTable();
    void unattendedAnswers_data();
    void unattendedAnswers();
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
    const char* freqs[] = {"28.015000", "28.145000", "28.115000",
                           "28.085000", "28.055000", "28.025000"};
    for (const char* fq : freqs) {
        const QString line =
            QStringLiteral("   1  RX %1  TX %1  Scan Add  Flags ECHO").arg(QLatin1String(fq));
        QVERIFY2(r.out.contains(line), qPrintable(r.out));
    }
    QVERIFY(r.out.contains(QStringLiteral("Group F: 1 channel")));
    QVERIFY(r.out.contains(QStringLiteral("Message line 1: \"\"")));
}

// A usage error names the option and why on its first line, then the command's usage.
void TestCli::usageErrors_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("firstLine"); // empty: a file error, no usage
    const auto words = [](const char* text) {
        return QString::fromLatin1(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    };
    QTest::newRow("nothing") << QStringList{} << "Usage:";
    QTest::newRow("unknown command")
        << words("frobnicate") << "meridox-cli: frobnicate is not a command.";
    QTest::newRow("new without output")
        << words("new") << "meridox-cli new: -o is missing: it names the new data file.";
    QTest::newRow("unknown option")
        << words("show a.dat --frob") << "meridox-cli show: --frob is not an option.";
    QTest::newRow("one dash, one word")
        << words("show a.dat -frob") << "meridox-cli show: -frob is not an option.";
    QTest::newRow("double dash") << words("show -- a.dat")
                                 << "meridox-cli show: -- is not an option.";
    QTest::newRow("word after one dash")
        << words("show a.dat -output x") << "meridox-cli show: -output is not an option.";
    QTest::newRow("value after =")
        << words("show a.dat --port=x") << "meridox-cli show: --port=x is not an option.";
    QTest::newRow("first problem written wins")
        << words("read --port COM1 --retries -1 --frob -o x")
        << "meridox-cli read: --retries -1: the number of retries is a whole number, 0 or more.";
    QTest::newRow("read without port")
        << words("read -o x.dat")
        << "meridox-cli read: --port is missing: it names the radio's port (COM1, /dev/ttyUSB0).";
    QTest::newRow("negative retries")
        << words("read --port COM1 -o x.dat --retries -1")
        << "meridox-cli read: --retries -1: the number of retries is a whole number, 0 or more.";
    QTest::newRow("retries without value")
        << words("info --port COM1 --retries") << "meridox-cli info: --retries needs a value.";
    QTest::newRow("read --verify")
        << words("read --port /dev/null -o x.dat --verify")
        << "meridox-cli read: --verify is not an option of read: only a write is read back.";
    QTest::newRow("read --probe")
        << words("read --port COM1 -o x.dat --probe")
        << "meridox-cli read: --probe is not an option of read: it belongs to doctor.";
    QTest::newRow("doctor of two ports")
        << words("doctor --port COM1 --port COM2")
        << "meridox-cli doctor: doctor checks one port: give one --port.";
    QTest::newRow("doctor with a file")
        << words("doctor x.dat") << "meridox-cli doctor: x.dat: one file name too many.";
    QTest::newRow("trace of several ports")
        << words("write x.dat --port COM1 --port COM2 --trace t.txt")
        << "meridox-cli write: --trace cannot be used with several ports: it keeps the trace of "
           "one session.";
    QTest::newRow("same port twice")
        << words("write x.dat --port ttyUSB7 --port COM2 --port ttyUSB7")
        << "meridox-cli write: --port ttyUSB7 is given twice.";
    QTest::newRow("one device by two names")
        << words("read --port ttyUSB7 --port /dev/ttyUSB7 -o radios")
        << "meridox-cli read: --port ttyUSB7 and --port /dev/ttyUSB7 are the same port "
           "(/dev/ttyUSB7).";
    QTest::newRow("unknown language")
        << words("print a.dat -o a.pdf --frob --language fr")
        << "meridox-cli print: --language fr: the language is en (English) or zh (Chinese).";
    QTest::newRow("group G") << words("import-csv a.csv a.dat --group G")
                             << "meridox-cli import-csv: --group G: the group is a letter from A "
                                "to F.";
    QTest::newRow("export --onto") << words("export a.dat a.yaml --onto b.dat")
                                   << "meridox-cli export: --onto is not an option of export.";
    QTest::newRow("import over a text")
        << words("import a.yaml b.yml")
        << "meridox-cli import: b.yml: the data file is not written under the name of a "
           "configuration text (.yaml, .yml).";
    QTest::newRow("import without OUT")
        << words("import a.yaml") << "meridox-cli import: OUT.dat is missing.";
    QTest::newRow("show missing file") << words("show /nonexistent/x.dat") << QString();
    QTest::newRow("new into missing folder") << words("new -o /nonexistent/x.dat") << QString();
}

void TestCli::usageErrors() {
    QFETCH(QStringList, args);
    QFETCH(QString, firstLine);
    const Run r = runHere(meridoxProduct(), args);
    QCOMPARE(r.code, 1);
    QVERIFY(!r.err.isEmpty());
    if (firstLine.isEmpty()) return;
    const QStringList lines = r.err.split(QLatin1Char('\n'));
    QCOMPARE(lines.first(), firstLine);
    // The usage follows, with the command's own lines when there is a command.
    QVERIFY2(lines.contains(QStringLiteral("Usage:")), qPrintable(r.err));
    if (args.size() > 1)
        QVERIFY2(
            lines.value(lines.indexOf(QStringLiteral("Usage:")) + 1)
                .startsWith(QStringLiteral("  meridox-cli ") + args.first() + QLatin1Char(' ')),
            qPrintable(r.err));
}

void TestCli::helpAndVersion_data() {
    QTest::addColumn<bool>("solvir");
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("firstLine");
    QTest::newRow("--help") << false << "--help"
                            << "Usage:";
    QTest::newRow("-h") << true << "-h"
                        << "Usage:";
    QTest::newRow("--version") << false << "--version"
                               << "meridox-cli 1.0.0";
    QTest::newRow("solvir --version") << true << "--version"
                                      << "solvir-cli 1.0.0";
}

// Asked for, the usage and the version go to standard output with success.
void TestCli::helpAndVersion() {
    QFETCH(bool, solvir);
    QFETCH(QString, option);
    QFETCH(QString, firstLine);
    const Run r = runHere(solvir ? solvirProduct() : meridoxProduct(), {option});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out.section(QLatin1Char('\n'), 0, 0), firstLine);
    QVERIFY(r.err.isEmpty());
}

void TestCli::showRefusedVersion() {
    const QString file = dir.filePath(QStringLiteral("v2.dat"));
    QCOMPARE(
        run(QStringLiteral(MERIDOX_CLI), {QStringLiteral("new"), QStringLiteral("-o"), file}).code,
        0);
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadWrite));
    f.write("V200");
    f.close();
    const Run r = run(QStringLiteral(MERIDOX_CLI), {QStringLiteral("show"), file});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(QStringLiteral("DataFile version is V2.00")), qPrintable(r.err));
}

static QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

static void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

void TestCli::channelListCommands_data() {
    QTest::addColumn<QString>("program");
    QTest::newRow("meridox") << QStringLiteral(MERIDOX_CLI);
    QTest::newRow("solvir") << QStringLiteral(SOLVIR_CLI);
}

void TestCli::channelListCommands() {
    QFETCH(QString, program);
    const QString dat = dir.filePath(QStringLiteral("c.dat")),
                  csv = dir.filePath(QStringLiteral("c.csv"));
    QCOMPARE(run(program, {QStringLiteral("new"), QStringLiteral("-o"), dat}).code, 0);
    const QByteArray original = bytesOf(dat);

    // Export then import: the data file stays byte for byte as it was.
    QCOMPARE(run(program, {QStringLiteral("export-csv"), dat, csv}).code, 0);
    QVERIFY(bytesOf(csv).startsWith("Group,Channel,RX MHz,TX MHz,"));
    Run r = run(program, {QStringLiteral("import-csv"), csv, dat});
    QCOMPARE(r.code, 0);
    QVERIFY2(r.err.contains(QStringLiteral("6 channels imported")), qPrintable(r.err));
    QCOMPARE(bytesOf(dat), original);

    // A bad line rejects the whole file and names the line; the data file is untouched.
    writeFile(csv, "Group,Channel,RX MHz\nA,1,28.2\nA,2,99\n");
    r = run(program, {QStringLiteral("import-csv"), csv, dat});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(QStringLiteral("Line 3: the RX frequency 99.000000 MHz")),
             qPrintable(r.err));
    QCOMPARE(bytesOf(dat), original);

    // Another tool's list needs the group.
    writeFile(csv, "Location,Name,Frequency,Duplex,Offset,Skip\n3,X,28.3,,,S\n");
    QCOMPARE(run(program, {QStringLiteral("import-csv"), csv, dat}).code, 1);
    QCOMPARE(run(program, {QStringLiteral("import-csv"), csv, dat, QStringLiteral("--group"),
                           QStringLiteral("G")})
                 .code,
             1);
    QCOMPARE(bytesOf(dat), original);
    r = run(program, {QStringLiteral("import-csv"), csv, dat, QStringLiteral("--group"),
                      QStringLiteral("e")});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.err, QStringLiteral("1 channel imported into group E.\n"));
    r = run(program, {QStringLiteral("show"), dat});
    QVERIFY2(r.out.contains(QStringLiteral("Group E: 1 channel")), qPrintable(r.out));
    QVERIFY2(r.out.contains(QStringLiteral("   3  RX 28.300000  TX 28.300000  Scan Del")),
             qPrintable(r.out));
}

void TestCli::diffCommand() {
    const QString program = QStringLiteral(MERIDOX_CLI);
    const QString a = dir.filePath(QStringLiteral("da.dat")),
                  b = dir.filePath(QStringLiteral("db.dat"));
    const QString csv = dir.filePath(QStringLiteral("d.csv"));
    QCOMPARE(run(program, {QStringLiteral("new"), QStringLiteral("-o"), a}).code, 0);
    QCOMPARE(run(program, {QStringLiteral("new"), QStringLiteral("-o"), b}).code, 0);
    Run r = run(program, {QStringLiteral("diff"), a, b});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, QString());

    writeFile(csv, "Group,Channel,RX MHz,TX MHz\nB,1,28.145,28.2\nB,2,28.3,\n");
    QCOMPARE(run(program, {QStringLiteral("import-csv"), csv, b}).code, 0);
    r = run(program, {QStringLiteral("diff"), a, b});
    QCOMPARE(r.code, 1);
    QCOMPARE(r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts),
             (QStringList{
                 QStringLiteral("Group B channel 1 TX: 28.145000 -> 28.200000"),
                 QStringLiteral("Group B channel 2: only in %1 (RX 28.300000, TX 28.300000, BUSY "
                                "Disable, VOIC Disable, ECHO Enable, HI-CUT Disable, +10KHz "
                                "Disable, NB/ANL Disable, RB Disable, Scan Add)")
                     .arg(b)}));

    // A file that cannot be compared is trouble, not a difference.
    QCOMPARE(
        run(program, {QStringLiteral("diff"), a, dir.filePath(QStringLiteral("none.dat"))}).code,
        2);
    QCOMPARE(run(program, {QStringLiteral("diff"), a}).code, 2);
}

void TestCli::configTextCommands_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<QByteArray>("format");
    QTest::newRow("meridox") << QStringLiteral(MERIDOX_CLI)
                             << QByteArray("format: meridox configuration 1\n");
    QTest::newRow("solvir") << QStringLiteral(SOLVIR_CLI)
                            << QByteArray("format: solvir configuration 1\n");
}

void TestCli::configTextCommands() {
    QFETCH(QString, program);
    QFETCH(QByteArray, format);
    const auto at = [this](const char* name) { return dir.filePath(QLatin1String(name)); };
    const QString dat = at("t.dat"), yaml = at("t.yaml"), out = at("t-out.dat");
    // A longer file keeps its bytes after the record: start afresh for each program.
    QFile::remove(dat);
    QFile::remove(out);
    QCOMPARE(run(program, {QStringLiteral("new"), QStringLiteral("-o"), dat}).code, 0);

    // Export then import: the data file comes back byte for byte; diff takes either form.
    QCOMPARE(run(program, {QStringLiteral("export"), dat, yaml}).code, 0);
    QCOMPARE(run(program, {QStringLiteral("import"), yaml, out}).code, 0);
    QCOMPARE(bytesOf(out), bytesOf(dat));
    Run r = run(program, {QStringLiteral("diff"), yaml, dat});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, QString());

    // "-": standard output and standard input.
    QProcess process;
    process.setProcessEnvironment([this] {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
        return env;
    }());
    process.start(program, {QStringLiteral("export"), dat, QStringLiteral("-")});
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(process.readAllStandardOutput(), bytesOf(yaml));
    QFile::remove(out);
    process.setStandardInputFile(yaml);
    process.start(program, {QStringLiteral("import"), QStringLiteral("-"), out});
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(bytesOf(out), bytesOf(dat));
    // Through a pipe the text comes in pieces: all of it counts, not the first piece (whose
    // groups alone would make a valid text of the defaults).
    const QString late = at("late.dat"), lateText = at("late.yaml"), lateCsv = at("late.csv");
    QFile::remove(late);
    QVERIFY(QFile::copy(dat, late));
    writeFile(lateCsv, "Group,Channel,RX MHz\nF,5,27.5\n");
    QCOMPARE(run(program, {QStringLiteral("import-csv"), lateCsv, late}).code, 0);
    QCOMPARE(run(program, {QStringLiteral("export"), late, lateText}).code, 0);
    const QByteArray text = bytesOf(lateText);
    const qsizetype split = text.indexOf("\n  F:") + 1;
    QVERIFY(split > 0);
    QProcess pipe;
    pipe.start(program, {QStringLiteral("import"), QStringLiteral("-"), out});
    QVERIFY(pipe.waitForStarted());
    pipe.write(text.left(split));
    pipe.waitForBytesWritten();
    QTest::qWait(300);
    pipe.write(text.mid(split));
    pipe.closeWriteChannel();
    QVERIFY(pipe.state() == QProcess::NotRunning || pipe.waitForFinished(30000));
    QCOMPARE(pipe.exitCode(), 0);
    QCOMPARE(bytesOf(out), bytesOf(late));
    // Standard output on a full disk fails the command, and says so.
    for (const QStringList& args :
         {QStringList{QStringLiteral("export"), dat, QStringLiteral("-")},
          QStringList{QStringLiteral("import"), yaml, QStringLiteral("-")}}) {
        QProcess full;
        full.setStandardOutputFile(QStringLiteral("/dev/full"));
        full.start(program, args);
        QVERIFY(full.waitForFinished(30000));
        QCOMPARE(full.exitCode(), 1);
        QVERIFY(full.readAllStandardError().contains("standard output: No space left on device"));
    }

    // A text with a problem writes nothing and names every problem.
    const QString bad = at("bad.yaml");
    writeFile(bad, format + "message lines: {line 1: HELLO, line 3: x}\ngroups: {A: {channels: "
                            "[{rx: 99}]}}\n");
    writeFile(out, "kept");
    r = run(program, {QStringLiteral("import"), bad, out});
    QCOMPARE(r.code, 1);
    QCOMPARE(
        r.err.split(QLatin1Char('\n')),
        (QStringList{bad + QStringLiteral(": 2 problem(s); nothing was imported."),
                     QStringLiteral("  line 3: groups.A.channels[0].rx: 99 MHz is outside "
                                    "the band %1 MHz")
                         .arg(program == QLatin1String(MERIDOX_CLI)
                                  ? QStringLiteral("25.605000 - 30.115000")
                                  : QStringLiteral("25.615000 - 30.105000")),
                     QStringLiteral("  line 2: message lines.line 3: unknown key"), QString()}));
    QCOMPARE(bytesOf(out), QByteArray("kept"));

    // --onto: what the text omits keeps the base's values; a diff of .yaml against .dat.
    const QString line = at("line.yaml");
    writeFile(line, format + "message lines: {line 1: HELLO}\n");
    QCOMPARE(
        run(program, {QStringLiteral("import"), line, out, QStringLiteral("--onto"), dat}).code, 0);
    r = run(program, {QStringLiteral("diff"), dat, out});
    QCOMPARE(r.code, 1);
    QCOMPARE(r.out, QStringLiteral("Message line 1: \"\" -> \"HELLO\"\n"));
}

// Names in the rows: FIFO is one, BIG a list one byte over 4 MB, DAT a good data file. The reason
// names the file (%1) that was refused.
void TestCli::filesNotRead_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("refused");
    QTest::addColumn<QString>("reason");
    const QString fifo = QStringLiteral("\"%1\" is not a regular file.");
    const auto row = [&](const char* name, std::initializer_list<const char*> args, int code,
                         const char* refused, const QString& reason) {
        QStringList list;
        for (const char* a : args)
            list << QLatin1String(a);
        QTest::newRow(name) << list << code << QString::fromLatin1(refused) << reason;
    };
    row("show FIFO", {"show", "FIFO"}, 1, "FIFO", fifo);
    row("diff with FIFO", {"diff", "DAT", "FIFO"}, 2, "FIFO", fifo);
    row("write --image FIFO", {"write", "--port", "/dev/null", "--image", "FIFO"}, 1, "FIFO", fifo);
    row("import-csv from FIFO", {"import-csv", "FIFO", "DAT"}, 1, "FIFO", fifo);
    row("import from FIFO", {"import", "FIFO", "DAT"}, 1, "FIFO", fifo);
    row("import over 4 MB", {"import", "BIG", "DAT"}, 1, "BIG",
        QStringLiteral("%1: larger than 4 MB; a configuration as text is far smaller."));
    row("import-csv over 4 MB", {"import-csv", "BIG", "DAT"}, 1, "BIG",
        QStringLiteral("The file \"%1\" is larger than 4 MB: this is not a channel list."));
    // Nor is a file put in the place of a FIFO (or of /dev/null) that is named for output.
    const QString written = QStringLiteral("%1: not a regular file");
    row("new -o FIFO", {"new", "-o", "FIFO"}, 1, "FIFO", written);
    row("export-csv to FIFO", {"export-csv", "DAT", "FIFO"}, 1, "FIFO", written);
    row("export to FIFO", {"export", "DAT", "FIFO"}, 1, "FIFO", written);
    // Nor is the data file being exported replaced by its text or list.
    const QString itself =
        QStringLiteral("%1: this is the data file being exported; choose another name.");
    row("export over itself", {"export", "DAT", "DAT"}, 1, "DAT", itself);
    row("export-csv over itself", {"export-csv", "DAT", "DAT"}, 1, "DAT", itself);
}

// Refused at once with the reason; a FIFO is never waited on (a run that hangs is killed).
void TestCli::filesNotRead() {
    QFETCH(QStringList, args);
    QFETCH(int, code);
    QFETCH(QString, refused);
    QFETCH(QString, reason);
    QTemporaryDir here;
    const auto at = [&](const char* name) { return here.filePath(QLatin1String(name)); };
    UnblockedFifo fifo(at("FIFO"), 5000);
    QVERIFY(fifo.created());
    writeFile(at("BIG"), QByteArray((4 << 20) + 1, '\n'));
    QCOMPARE(
        run(QStringLiteral(MERIDOX_CLI), {QStringLiteral("new"), QStringLiteral("-o"), at("DAT")})
            .code,
        0);
    for (QString& a : args)
        if (a == QLatin1String("FIFO") || a == QLatin1String("BIG") || a == QLatin1String("DAT"))
            a = here.filePath(a);
    CliEnvironment env;
    env.configHome = dir.filePath(QStringLiteral("config"));
    env.timeoutMs = 10000;
    const Run r = runCli(QStringLiteral(MERIDOX_CLI), args, env);
    QCOMPARE(r.code, code);
    const QString expected = QStringLiteral("file error.\n") + reason.arg(here.filePath(refused));
    QVERIFY2(r.err.contains(expected), qPrintable(r.err));
}

// Results sent to a file on a full disk (here /dev/full) are not all there: the command fails
// and says so instead of exiting as if they were.
void TestCli::resultsToFullStandardOutput_data() {
    QTest::addColumn<QStringList>("args"); // X: a data file, Y: another one
    QTest::addColumn<int>("code");
    QTest::newRow("show") << QStringList{QStringLiteral("show"), QStringLiteral("X")} << 1;
    QTest::newRow("diff, different")
        << QStringList{QStringLiteral("diff"), QStringLiteral("X"), QStringLiteral("Y")} << 2;
    QTest::newRow("--help") << QStringList{QStringLiteral("--help")} << 1;
}

void TestCli::resultsToFullStandardOutput() {
    QFETCH(QStringList, args);
    QFETCH(int, code);
    const QString program = QStringLiteral(MERIDOX_CLI);
    const QString x = dir.filePath(QStringLiteral("fx.dat")),
                  y = dir.filePath(QStringLiteral("fy.dat"));
    QCOMPARE(run(program, {QStringLiteral("new"), QStringLiteral("-o"), x}).code, 0);
    QCOMPARE(run(program, {QStringLiteral("new"), QStringLiteral("-o"), y}).code, 0);
    writeFile(dir.filePath(QStringLiteral("f.csv")), "Group,Channel,RX MHz\nB,1,27.5\n");
    QCOMPARE(
        run(program, {QStringLiteral("import-csv"), dir.filePath(QStringLiteral("f.csv")), y}).code,
        0);
    args.replaceInStrings(QRegularExpression(QStringLiteral("^X$")), x);
    args.replaceInStrings(QRegularExpression(QStringLiteral("^Y$")), y);
    QProcess full;
    full.setStandardOutputFile(QStringLiteral("/dev/full"));
    full.start(program, args);
    QVERIFY(full.waitForFinished(30000));
    QCOMPARE(full.exitCode(), code);
    QCOMPARE(QString::fromUtf8(full.readAllStandardError()),
             QStringLiteral("file error.\nstandard output: No space left on device\n"));
}

// In the Chinese interface the system's reason beside "file error." is Chinese too.
void TestCli::reasonInChinese() {
    QTemporaryDir config;
    QVERIFY(QDir().mkpath(config.filePath(QStringLiteral("meridox/language"))));
    writeFile(config.filePath(QStringLiteral("meridox/language/mysetup.ini")),
              "[language]\nCurrentLanguage=2\n");
    CliEnvironment env;
    env.configHome = config.path();
    const QString out = dir.filePath(QStringLiteral("missing/x.dat"));
    const Run r = runCli(QStringLiteral(MERIDOX_CLI),
                         {QStringLiteral("new"), QStringLiteral("-o"), out}, env);
    QCOMPARE(r.code, 1);
    QCOMPARE(r.err, QString::fromUtf8("文件错误。\n%1: 此文件或目录不存在\n").arg(out));
}

// Every way a session can fail, as the trace, the logs and the exit code name it.
void TestCli::failureTable_data() {
    QTest::addColumn<SessionFailure>("failure");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("trace");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("none") << SessionFailure::None << "success"
                          << "success" << 0;
    QTest::newRow("busy") << SessionFailure::Busy << "busy"
                          << "failed (another operation was running)" << 4;
    QTest::newRow("port") << SessionFailure::PortOpen << "port-error"
                          << "failed (the port cannot be opened)" << 2;
    QTest::newRow("refused") << SessionFailure::Refused << "refused"
                             << "failed (nothing was sent: the data cannot be written)" << 1;
    QTest::newRow("identity") << SessionFailure::Identity << "identity-rejected"
                              << "failed (the radio's identity was rejected)" << 3;
    QTest::newRow("no answer") << SessionFailure::NoAnswer << "no-answer"
                               << "failed (no answer)" << 4;
    QTest::newRow("cancelled") << SessionFailure::Cancelled << "cancelled"
                               << "failed (cancelled)" << 4;
    QTest::newRow("lost") << SessionFailure::DeviceLost << "connection-lost"
                          << "failed (connection lost)" << 4;
    QTest::newRow("bad data") << SessionFailure::BadData << "bad-data"
                              << "failed (the data read cannot be used)" << 4;
    QTest::newRow("verify") << SessionFailure::VerifyMismatch << "verify-different"
                            << "failed (written, but the radio holds something else)" << 5;
    QTest::newRow("out of range") << SessionFailure(99) << "failed"
                                  << "failed" << 4;
}

void TestCli::failureTable() {
    QFETCH(SessionFailure, failure);
    QFETCH(QString, word);
    QFETCH(QString, trace);
    QFETCH(int, exitCode);
    QCOMPARE(sessionResultWord(failure), word);
    QCOMPARE(sessionTraceText(failure), trace);
    QCOMPARE(int(sessionExitCode(failure)), exitCode);
}

// The answers given when nobody is at the keyboard, with two retries and no --overwrite.
void TestCli::unattendedAnswers_data() {
    QTest::addColumn<Msg>("id");
    QTest::addColumn<MsgButtons>("buttons");
    QTest::addColumn<QList<MsgAnswer>>("answers"); // asked again and again
    QTest::addColumn<int>("shown");
    const auto Ok = MsgAnswer::Ok, Cancel = MsgAnswer::Cancel, Retry = MsgAnswer::Retry;
    QTest::newRow("consent, silently")
        << Msg::WriteConfirm << MsgButtons::OkCancel << QList<MsgAnswer>{Ok, Ok, Ok} << 0;
    QTest::newRow("retries, then cancel") << Msg::CheckConnection << MsgButtons::RetryCancel
                                          << QList<MsgAnswer>{Retry, Retry, Cancel} << 3;
    QTest::newRow("restart question takes OK")
        << Msg::CheckConnection << MsgButtons::OkCancel << QList<MsgAnswer>{Ok, Ok, Cancel} << 3;
    QTest::newRow("wrong model") << Msg::ModelWrongOverwrite << MsgButtons::OkCancel
                                 << QList<MsgAnswer>{Cancel} << 1;
    QTest::newRow("other question")
        << Msg::StopWriting << MsgButtons::YesNo << QList<MsgAnswer>{Cancel} << 1;
    QTest::newRow("plain message")
        << Msg::WriteCompleted << MsgButtons::Ok << QList<MsgAnswer>{Ok} << 1;
}

void TestCli::unattendedAnswers() {
    QFETCH(Msg, id);
    QFETCH(MsgButtons, buttons);
    QFETCH(QList<MsgAnswer>, answers);
    QFETCH(int, shown);
    UnattendedAnswers answerer(2, false);
    int reported = 0;
    connect(&answerer, &UnattendedAnswers::shown, this, [&] { ++reported; });
    for (const MsgAnswer expected : answers)
        QCOMPARE(answerer.ask({messageText(id), {}, {}, MsgIcon::None, buttons, id}), expected);
    QCOMPARE(reported, shown);
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
