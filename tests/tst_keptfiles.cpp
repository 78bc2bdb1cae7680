// The folders of kept files: backup images of read radios and session traces.
#include "core/comm/keptfiles.h"
#include "core/comm/sessiontrace.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
QDateTime at(int minute, int ms = 0) {
    return QDateTime(QDate(2026, 12, 8), QTime(23, 0).addSecs(minute * 60).addMSecs(ms));
}

bool touch(const QString& path, const QByteArray& content = "x") {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(content) == content.size();
}

QStringList names(const QStringList& paths) {
    QStringList out;
    for (const QString& p : paths)
        out << QFileInfo(p).fileName();
    return out;
}
} // namespace

class TestKeptFiles : public QObject {
    Q_OBJECT
    QTemporaryDir home;

  private slots:
    void initTestCase() {
        QVERIFY(home.isValid());
        qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
    }

    void namesSortByTime_data() {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("name");
        QTest::newRow("model") << "SOLV"
                               << "meridox-20261208-230500-007-SOLV.img";
        QTest::newRow("model with a space") << "HF 30"
                                            << "meridox-20261208-230500-007-HF30.img";
        QTest::newRow("nothing usable") << " /."
                                        << "meridox-20261208-230500-007-radio.img";
    }
    void namesSortByTime() {
        QFETCH(QString, tag);
        QFETCH(QString, name);
        QTemporaryDir dir;
        const KeptFolder f(dir.path(), QStringLiteral("meridox"), QStringLiteral(".img"), 50);
        const QString first = f.newFilePath(at(5, 7), tag);
        QCOMPARE(QFileInfo(first).fileName(), name);
        // A second file in the same millisecond gets a number and still counts as newer.
        QVERIFY(touch(first));
        const QString second = f.newFilePath(at(5, 7), tag);
        QCOMPARE(QFileInfo(second).fileName(),
                 QString(name).replace(QLatin1String(".img"), QLatin1String("-2.img")));
        QVERIFY(touch(second));
        QVERIFY(touch(f.newFilePath(at(4), tag)));
        QCOMPARE(f.files().size(), 3);
        QCOMPARE(f.files().at(1), first);
        QCOMPARE(f.files().last(), second);
    }

    // Only the newest are kept, and only our own files are ever touched.
    void pruneKeepsNewest_data() {
        QTest::addColumn<int>("keep");
        QTest::addColumn<int>("made");
        QTest::newRow("backups, 55 made") << 50 << 55;
        QTest::newRow("backups, exactly 50") << 50 << 50;
        QTest::newRow("traces, 12 made") << 10 << 12;
    }
    void pruneKeepsNewest() {
        QFETCH(int, keep);
        QFETCH(int, made);
        QTemporaryDir dir;
        const KeptFolder f(dir.path(), QStringLiteral("meridox"), QStringLiteral(".img"), keep);
        QStringList madePaths;
        for (int i = 0; i < made; ++i) {
            madePaths << f.newFilePath(at(i), QStringLiteral("SOLV"));
            QVERIFY(touch(madePaths.last()));
        }
        const QStringList foreign{QStringLiteral("notes.img"), QStringLiteral("meridox-old.img"),
                                  QStringLiteral("solvir-20200101-000000-000-SOLVIR.img"),
                                  QStringLiteral("meridox-20200101-000000-000-SOLV.dat")};
        for (const QString& n : foreign)
            QVERIFY(touch(dir.filePath(n)));
        f.prune();
        QCOMPARE(f.files(), madePaths.mid(made - std::min(made, keep)));
        for (const QString& n : foreign)
            QVERIFY2(QFile::exists(dir.filePath(n)), qPrintable(n));
    }

    // A file just made survives even when its time sorts before the others (clock set back).
    void pruneNeverDeletesTheNewFile() {
        QTemporaryDir dir;
        const KeptFolder f(dir.path(), QStringLiteral("solvir"), QStringLiteral(".txt"), 3);
        for (int i = 10; i < 13; ++i)
            QVERIFY(touch(f.newFilePath(at(i), QStringLiteral("read"))));
        const QString current = f.newFilePath(at(1), QStringLiteral("read"));
        QVERIFY(touch(current));
        f.prune(current);
        QCOMPARE(f.files().size(), 3);
        QCOMPARE(names(f.files()),
                 QStringList({QStringLiteral("solvir-20261208-230100-000-read.txt"),
                              QStringLiteral("solvir-20261208-231100-000-read.txt"),
                              QStringLiteral("solvir-20261208-231200-000-read.txt")}));
    }

    void backupImageIsKept_data() {
        QTest::addColumn<QString>("program");
        QTest::newRow("meridox") << "meridox";
        QTest::newRow("solvir") << "solvir";
    }
    void backupImageIsKept() {
        QFETCH(QString, program);
        const Product& p = *productByName(program);
        QByteArray image(p.memorySize, '\0');
        for (int i = 0; i < image.size(); ++i)
            image[i] = char(i * 7);
        QString why;
        const auto path = keepBackupImage(p, QStringLiteral("SOLV"), image, &why, at(30));
        QVERIFY2(path, qPrintable(why));
        QCOMPARE(QFileInfo(*path).absolutePath(),
                 QDir(home.path())
                     .filePath(QCoreApplication::applicationName() + QStringLiteral("/backups")));
        QVERIFY(QFileInfo(*path).fileName().startsWith(
            program + QStringLiteral("-20261208-233000-000-SOLV")));
        QFile f(*path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), image);
    }

    // A folder that cannot be made is reported, not thrown: the read goes on without it.
    void unwritableBackupFolder() {
        QTemporaryDir other;
        qputenv("XDG_DATA_HOME", other.path().toLocal8Bit());
        QVERIFY(touch(other.filePath(QCoreApplication::applicationName()))); // a file, not a folder
        QString why;
        QVERIFY(!keepBackupImage(meridoxProduct(), QStringLiteral("SOLV"), QByteArray(8192, 'x'),
                                 &why));
        QVERIFY(!why.isEmpty());
        SessionTrace trace(meridoxProduct());
        trace.begin(QStringLiteral("/dev/ttyUSB0"), 1);
        trace.sent("PROGRAM");
        trace.end(QStringLiteral("success"));
        QVERIFY(trace.keptPath().isEmpty());
        QVERIFY(!trace.lastError().isEmpty());
        qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
    }

    // The text a dealer sends: header, one line per frame and chunk, notes, the end; a copy
    // where asked.
    void traceText() {
        QTemporaryDir dir;
        const QString copy = dir.filePath(QStringLiteral("copy.txt"));
        SessionTrace trace(solvirProduct(),
                           KeptFolder(dir.filePath(QStringLiteral("traces")),
                                      QStringLiteral("solvir"), QStringLiteral(".txt"), 10));
        trace.setCopyPath(copy);
        trace.begin(QStringLiteral("/dev/ttyUSB0"), 3);
        trace.sent("PROGRAM");
        trace.received(QByteArray("\x06", 1));
        trace.note(QStringLiteral("no reply within 300 ms (step 2)"));
        trace.end(QStringLiteral("failed (no answer)"));
        QVERIFY(!trace.active());
        QVERIFY(trace.lastError().isEmpty() && trace.copyError().isEmpty());
        QFile kept(trace.keptPath());
        QVERIFY(kept.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(kept.readAll());
        QFile c(copy);
        QVERIFY(c.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(c.readAll()), text);
        QVERIFY(
            QFileInfo(trace.keptPath()).fileName().endsWith(QLatin1String("-informationread.txt")));
        const QStringList lines = text.split(QLatin1Char('\n'));
        QCOMPARE(lines.at(0), QStringLiteral("solvir session trace"));
        QCOMPARE(lines.at(1), QStringLiteral("Program: solvir ") + QStringLiteral(PROGRAM_VERSION));
        QCOMPARE(lines.at(2), QStringLiteral("Port: /dev/ttyUSB0"));
        QCOMPARE(lines.at(3), QStringLiteral("Operation: information read"));
        QVERIFY(lines.at(4).startsWith(QLatin1String("Started: 20")));
        const QRegularExpression row(QStringLiteral("^\\+ *\\d+\\.\\d{3} ms  (TX|RX|--)  (.*)$"));
        QStringList body;
        for (const QString& l : lines.mid(6, 4)) {
            const auto m = row.match(l);
            QVERIFY2(m.hasMatch(), qPrintable(l));
            body << m.captured(1) + QLatin1Char(' ') + m.captured(2);
        }
        QCOMPARE(body,
                 QStringList({QStringLiteral("TX 50 52 4F 47 52 41 4D"), QStringLiteral("RX 06"),
                              QStringLiteral("-- no reply within 300 ms (step 2)"),
                              QStringLiteral("-- end: failed (no answer)")}));
    }

    // Every session starts a new file; the folder keeps the newest ten.
    void tracesKeepTen() {
        QTemporaryDir dir;
        const KeptFolder folder(dir.path(), QStringLiteral("meridox"), QStringLiteral(".txt"), 10);
        SessionTrace trace(meridoxProduct(), folder);
        QStringList kept;
        for (int i = 0; i < 12; ++i) {
            trace.begin(QStringLiteral("/dev/pts/3"), 1);
            // A session left open is closed by the next one.
            if (i % 2 == 0) trace.end(QStringLiteral("success"));
            kept << trace.keptPath();
        }
        trace.end(QStringLiteral("success"));
        QCOMPARE(folder.files(), kept.mid(2));
        QFile first(kept.at(3));
        QVERIFY(first.open(QIODevice::ReadOnly));
        QVERIFY(first.readAll().endsWith("--  end: abandoned\n"));
    }
};

QTEST_GUILESS_MAIN(TestKeptFiles)
#include "tst_keptfiles.moc"
