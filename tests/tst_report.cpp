// The printed report: its headings in both languages, what a selection puts in and leaves
// out, and its pages as a PDF file.
#include "core/channels/channelrules.h"
#include "recordedit.h"
#include "report/printtexts.h"
#include "report/report.h"
#include "testsupport.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {
const Product* productNamed(const QString& name) {
    return productByName(name);
}

// Channel n of group g at 28.0n0 MHz: every channel's frequency is its own.
QString freqOf(int n) {
    return QStringLiteral("28.%1").arg(n * 10, 3, 10, QLatin1Char('0')) + QStringLiteral("000");
}
} // namespace

class TestReport : public QObject {
    Q_OBJECT
    std::unique_ptr<Document> m_doc;

    Document& doc(const QString& product = QStringLiteral("meridox")) {
        m_doc = std::make_unique<Document>(*productNamed(product));
        m_doc->initialiseDefaults();
        return *m_doc;
    }

  private slots:
    void headings_data() {
        QTest::addColumn<QString>("product");
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("heading");
        QTest::addColumn<QStringList>("sections");
        const QStringList en = {QStringLiteral("Channel Information Group A"),
                                QStringLiteral("Option Features"),
                                QStringLiteral("Local Information"),
                                QStringLiteral("Embedded Message"), QStringLiteral("CH No.")};
        const QStringList zh = {QString::fromUtf8("信道信息组 A"), QString::fromUtf8("可选功能"),
                                QString::fromUtf8("本机信息"), QString::fromUtf8("嵌入信息"),
                                QString::fromUtf8("信道")};
        QTest::newRow("meridox English")
            << "meridox" << 1 << "MERIDOX Radio Programming Information" << en;
        QTest::newRow("meridox Chinese")
            << "meridox" << 2 << QString::fromUtf8("MERIDOX 对讲机编程信息") << zh;
        QTest::newRow("solvir English")
            << "solvir" << 1 << "SOLVIR Radio Programming Information" << en;
        QTest::newRow("solvir Chinese")
            << "solvir" << 2 << QString::fromUtf8("SOLVIR 对讲机编程信息") << zh;
    }
    void headings() {
        QFETCH(QString, product);
        QFETCH(int, language);
        QFETCH(QString, heading);
        QFETCH(QStringList, sections);
        Document& d = doc(product);
        d.fileOpened(QStringLiteral("/home/dealer/fleet.dat"));
        const Report r(d, PrintSelection::everything(), language);
        QCOMPARE(r.heading(), heading);
        // The file name without its folder, after the label.
        QCOMPARE(r.fileLine(),
                 (language == 1 ? QStringLiteral("File Name: ") : QString::fromUtf8("文件名: ")) +
                     QStringLiteral("fleet.dat"));
        const QString text = r.plainText();
        for (const QString& s : sections)
            QVERIFY2(text.contains(s), qPrintable(s));
        for (int g = 0; g < GroupCount; ++g)
            QVERIFY(text.contains(printText(PrintText::ChannelGroupItem, language) +
                                  QLatin1Char(' ') + QChar(u'A' + g)));
    }

    // A range prints the channels whose numbers lie in it, in channel order, and nothing else.
    void rangeRespected_data() {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<QList<int>>("printed");
        QTest::newRow("inner") << 3 << 5 << QList<int>{3, 4, 5};
        QTest::newRow("one channel") << 7 << 7 << QList<int>{7};
        QTest::newRow("whole group") << 1 << 60 << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 60};
        QTest::newRow("past the channels") << 11 << 59 << QList<int>{};
        QTest::newRow("last number") << 60 << 60 << QList<int>{60};
    }
    void rangeRespected() {
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(QList<int>, printed);
        Document& d = doc();
        // Group B holds 1 (the default) and 2..10 and 60, stored out of order.
        d.addChannel(1, 60, freqOf(60));
        for (int n = 10; n >= 2; --n)
            d.addChannel(1, n, freqOf(n));
        editRecord(
            d, [&](RadioConfig& c) { c.entry(1, 1).rxFreq.assign(storedFrequency(d, freqOf(1))); });
        PrintSelection s;
        s.channels.append({1, first, last});
        const Report r(d, s, LanguageEnglish);
        const QString text = r.plainText();
        QVERIFY(text.contains(QStringLiteral("Channel Information Group B")));
        QVERIFY(!text.contains(QStringLiteral("Group A")));
        QVERIFY(text.contains(QStringLiteral("Start -- End: %1 -- %2").arg(first).arg(last)));
        qsizetype at = 0;
        for (int n : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 60}) {
            const qsizetype found = text.indexOf(freqOf(n));
            QCOMPARE(found >= 0, printed.contains(n));
            if (found >= 0) {
                QVERIFY2(found > at, "channels in number order");
                at = found;
            }
        }
        QCOMPARE(text.contains(QStringLiteral("No channels in this range.")), printed.isEmpty());
    }

    // A section that is not selected is absent.
    void sectionsSelected_data() {
        QTest::addColumn<bool>("channels");
        QTest::addColumn<bool>("options");
        QTest::addColumn<bool>("localInfo");
        QTest::addColumn<bool>("message");
        QTest::newRow("channels only") << true << false << false << false;
        QTest::newRow("options only") << false << true << false << false;
        QTest::newRow("local information only") << false << false << true << false;
        QTest::newRow("message only") << false << false << false << true;
        QTest::newRow("all but channels") << false << true << true << true;
    }
    void sectionsSelected() {
        QFETCH(bool, channels);
        QFETCH(bool, options);
        QFETCH(bool, localInfo);
        QFETCH(bool, message);
        PrintSelection s;
        if (channels) s.channels.append({4, 1, 60});
        s.options = options;
        s.localInfo = localInfo;
        s.message = message;
        const QString text = Report(doc(), s, LanguageEnglish).plainText();
        QCOMPARE(text.contains(QStringLiteral("Channel Information Group")), channels);
        QCOMPARE(text.contains(QStringLiteral("Group E")), channels);
        QCOMPARE(text.contains(QStringLiteral("Option Features")), options);
        QCOMPARE(text.contains(QStringLiteral("Time Out Timer")), options);
        QCOMPARE(text.contains(QStringLiteral("Local Information")), localInfo);
        // As the windows of these names: Local Information holds the message lines, Embedded
        // Message what the configuration says about the radio.
        QCOMPARE(text.contains(QStringLiteral("Line 2")), localInfo);
        QCOMPARE(text.contains(QStringLiteral("Embedded Message")), message);
        QCOMPARE(text.contains(QStringLiteral("Model Type")), message);
    }

    // Channel functions print as the ON/OFF print texts, scan as the grid's words.
    void channelRow_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("row");
        QTest::newRow("English") << 1 << "1 28.015000 28.015000 ON OFF ON OFF OFF OFF OFF Del";
        QTest::newRow("Chinese") << 2
                                 << QString::fromUtf8(
                                        "1 28.015000 28.015000 开 关 开 关 关 关 关 删除");
    }
    void channelRow() {
        QFETCH(int, language);
        QFETCH(QString, row);
        Document& d = doc();
        editRecord(d, [&](RadioConfig& c) { c.entry(0, 1).channelFlags[1] = 1; }); // BUSY
        editRecord(d, [&](RadioConfig& c) { c.entry(0, 1).scanFlag = 0; });
        PrintSelection s;
        s.channels.append({0, 1, 1});
        QString text = Report(d, s, language).plainText();
        text.replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" "));
        QVERIFY2(text.contains(row), qPrintable(text));
    }

    // Options print the entry the window shows: a stored word no entry matches shows the
    // first entry; a check box word other than 0 or 1 shows the box's default.
    void optionValues() {
        Document& d = doc();
        editRecord(
            d, [&](RadioConfig& c) { c.optionWords[0] = 2; }); // time-out timer: entry 2 is 60 s
        editRecord(d, [&](RadioConfig& c) {
            c.optionWords[6] = 9;
        }); // scan mode: no such entry, shows the first
        editRecord(d, [&](RadioConfig& c) {
            c.optionWords[12] = 7;
        }); // LSB enable: neither 0 nor 1, default on
        editRecord(d, [&](RadioConfig& c) { c.optionWords[18] = 1; }); // single change data
        PrintSelection s;
        s.options = true;
        QString text = Report(d, s, LanguageEnglish).plainText();
        text.replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" "));
        QVERIFY2(text.contains(QStringLiteral("Time Out Timer(TOT)[s] 60 LSB Enable ON")),
                 qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Scan Mode Squelch Scan Single Change Data ON")));
        // Meridox keeps its emergency channels in the grid, solvir with the options.
        QVERIFY(!text.contains(QStringLiteral("Emergency Channel")));
        QVERIFY(Report(doc(QStringLiteral("solvir")), s, LanguageEnglish)
                    .plainText()
                    .contains(QStringLiteral("Emergency Channel F")));
    }

    // Message lines print as typed, markup characters and inner spaces included.
    void messageVerbatim() {
        Document& d = doc();
        QByteArray line("<b>A&B</b>  x");
        line.append('\0');
        editRecord(
            d, [&](RadioConfig& c) { c.embeddedMessage[0].assign(line.leftJustified(32, ' ')); });
        PrintSelection s;
        s.localInfo = true;
        const Report r(d, s, LanguageEnglish);
        QVERIFY(r.plainText().contains(QStringLiteral("<b>A&B</b>  x")));
        QVERIFY(!r.html().contains(QStringLiteral("<b>A")));
    }

    void radioInformation() {
        Document& d = doc();
        editRecord(d,
                   [&](RadioConfig& c) { c.modelInfo.createDate.assign(QByteArray("20240229")); });
        PrintSelection s;
        s.message = true;
        QString text = Report(d, s, LanguageEnglish).plainText();
        text.replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" "));
        QVERIFY2(text.contains(QStringLiteral("Model Type SOLV")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Create Date 2024-02-29")));
        QVERIFY(text.contains(QStringLiteral("Software Version V1.00")));
        QVERIFY(text.contains(QStringLiteral("Frequency ") + d.band()));
    }

    void pdfPages() {
        QTemporaryDir dir;
        Document& d = doc();
        for (int g = 0; g < GroupCount; ++g)
            for (int n = 2; n <= ChannelsPerGroup; ++n)
                d.addChannel(g, n, freqOf(n % 50));
        const Report r(d, PrintSelection::everything(), LanguageChinese);
        const QString path = dir.filePath(QStringLiteral("full.pdf"));
        QString why;
        QVERIFY2(writeReportPdf(r, path, &why), qPrintable(why));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.read(5) == "%PDF-");
        // 360 channels do not fit on a few pages.
        QVERIFY2(r.pageCount() >= 6, qPrintable(QString::number(r.pageCount())));

        // A file that cannot be made is reported, not passed over.
        QVERIFY(!writeReportPdf(r, dir.filePath(QStringLiteral("no/such/folder/x.pdf")), &why));
        QVERIFY(!why.isEmpty());
    }
};

QTEST_MAIN(TestReport)
#include "tst_report.moc"
