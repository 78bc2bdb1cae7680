// "print FILE.dat -o OUT.pdf" as a user runs it: the page images of the PDF of a default
// configuration, in English and Chinese, for both programs.
#include "cliprocess.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class TestPrintCli : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    using Run = CliRun;
    Run run(const QString& program, const QStringList& args, bool headless = true) {
        CliEnvironment env{dir.filePath(QStringLiteral("config"))};
        env.headless = headless;
        return runCli(program, args, env);
    }

    // Share of pixels of a page image that are not white.
    static double inkShare(const QImage& page) {
        qint64 ink = 0;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                if (qGray(page.pixel(x, y)) < 200) ++ink;
        return double(ink) / double(qint64(page.width()) * page.height());
    }

  private slots:
    void pages_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("language");
        QTest::newRow("meridox English") << QStringLiteral(MERIDOX_CLI) << "en";
        QTest::newRow("meridox Chinese") << QStringLiteral(MERIDOX_CLI) << "zh";
        QTest::newRow("solvir English") << QStringLiteral(SOLVIR_CLI) << "en";
        QTest::newRow("solvir Chinese") << QStringLiteral(SOLVIR_CLI) << "zh";
    }
    void pages() {
        QFETCH(QString, program);
        QFETCH(QString, language);
        const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
        if (pdftoppm.isEmpty()) QSKIP("pdftoppm (poppler-utils) is not installed");
        const QString tag = QFileInfo(program).baseName() + QLatin1Char('-') + language;
        const QString data = dir.filePath(tag + QLatin1String(".dat"));
        const QString pdf = dir.filePath(tag + QLatin1String(".pdf"));
        QCOMPARE(run(program, {QStringLiteral("new"), QStringLiteral("-o"), data}).code, 0);
        const Run r = run(program, {QStringLiteral("print"), data, QStringLiteral("-o"), pdf,
                                    QStringLiteral("--language"), language});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QFile f(pdf);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(bytes.startsWith("%PDF-"));
        // Chinese text is drawn with a CJK font, not as empty boxes of a Latin one.
        if (language == QLatin1String("zh")) QVERIFY(bytes.contains("WenQuanYi"));

        QProcess convert;
        convert.start(pdftoppm, {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("50"),
                                 pdf, dir.filePath(tag)});
        QVERIFY(convert.waitForFinished(60000));
        QCOMPARE(convert.exitCode(), 0);
        const QStringList pages =
            QDir(dir.path()).entryList({tag + QLatin1String("-*.png")}, QDir::Files, QDir::Name);
        QVERIFY2(pages.size() >= 2, qPrintable(pages.join(QLatin1Char(' '))));
        const QImage first(dir.filePath(pages.first()));
        QVERIFY(!first.isNull());
        // A4 at 50 dots per inch.
        QVERIFY(qAbs(first.width() - 413) <= 2 && qAbs(first.height() - 585) <= 2);
        const double share = inkShare(first);
        QVERIFY2(share > 0.03 && share < 0.5, qPrintable(QString::number(share)));
    }

    void errors_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("said");
        QTest::newRow("missing file")
            << QStringList{QStringLiteral("print"), QStringLiteral("nope.dat"),
                           QStringLiteral("-o"), QStringLiteral("x.pdf")}
            << "file error.\nThe file \"nope.dat\" does not exist.";
        QTest::newRow("no output")
            << QStringList{QStringLiteral("print"), QStringLiteral("a.dat")} << "Usage:";
        QTest::newRow("unknown language")
            << QStringList{QStringLiteral("print"),      QStringLiteral("a.dat"),
                           QStringLiteral("-o"),         QStringLiteral("x.pdf"),
                           QStringLiteral("--language"), QStringLiteral("fr")}
            << "Usage:";
        QTest::newRow("output folder missing")
            << QStringList{QStringLiteral("print"), QStringLiteral("GOOD"), QStringLiteral("-o"),
                           QStringLiteral("no/such/folder/x.pdf")}
            << "no/such/folder/x.pdf: No such file or directory";
    }
    void errors() {
        QFETCH(QStringList, args);
        QFETCH(QString, said);
        const QString good = dir.filePath(QStringLiteral("good.dat"));
        QCOMPARE(
            run(QStringLiteral(MERIDOX_CLI), {QStringLiteral("new"), QStringLiteral("-o"), good})
                .code,
            0);
        args.replaceInStrings(QStringLiteral("GOOD"), good);
        const Run r = run(QStringLiteral(MERIDOX_CLI), args);
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(said), qPrintable(r.err));
    }
};

QTEST_GUILESS_MAIN(TestPrintCli)
#include "tst_printcli.moc"
