// Write to Several Radios offscreen, over virtual radios pinned as COM1..COM4.
#include "radiolauncher.h"
#include "testsupport.h"
#include "ui/radio/fleetwindow.h"
#include "windowtest.h"

#include <QCheckBox>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTest>

#include <array>

class TestFleetWindow : public QObject {
    Q_OBJECT
    PrivateUserFolders folders;
    QTemporaryDir dir;
    Document doc{meridoxProduct()};

    QString settingsFile() const { return dir.filePath(QStringLiteral("mysetup.ini")); }
    // COMn of the port window stands for the given device paths.
    void pinPorts(const QStringList& devices) {
        QSettings s(settingsFile(), QSettings::IniFormat);
        s.remove(QStringLiteral("ports"));
        for (qsizetype i = 0; i < devices.size(); ++i)
            s.setValue(QStringLiteral("ports/COM%1").arg(i + 1), devices.at(i));
    }
    template <typename W> static W* child(const QWidget& w, const QString& name) {
        W* c = w.findChild<W*>(name);
        if (!c) qFatal("no control %s", qPrintable(name));
        return c;
    }
    static QCheckBox* portBox(const QWidget& w, int i) {
        return child<QCheckBox>(w, QStringLiteral("chkPort_%1").arg(i));
    }
    static QString result(const QWidget& w, int i) {
        return child<QLabel>(w, QStringLiteral("lblResult_%1").arg(i))->text();
    }
    static int bar(const QWidget& w, int i) {
        return child<QProgressBar>(w, QStringLiteral("barPort_%1").arg(i))->value();
    }

  private slots:
    void initTestCase() { doc.initialiseDefaults(); }
    void cleanup() { setCurrentLanguage(LanguageEnglish); }
    void captions_data();
    void captions();
    void tickedPortsWrittenWithTheirResults();
    void closingCancelsRunningSessions_data();
    void closingCancelsRunningSessions();
};

void TestFleetWindow::captions_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("verify");
    QTest::addColumn<QString>("port");
    QTest::newRow("English") << int(LanguageEnglish) << "Write to Several Radios"
                             << "&Verify after Write"
                             << "COM3";
    QTest::newRow("Chinese") << int(LanguageChinese) << "写入多台对讲机"
                             << "写入后校验(&V)"
                             << "通信口3";
}

void TestFleetWindow::captions() {
    QFETCH(int, language);
    QFETCH(QString, title);
    QFETCH(QString, verify);
    QFETCH(QString, port);
    setCurrentLanguage(language);
    pinPorts({});
    FleetWindow w(doc, settingsFile());
    QCOMPARE(w.windowTitle(), title);
    QCOMPARE(child<QCheckBox>(w, QStringLiteral("chkVerify"))->text(), verify);
    QCOMPARE(portBox(w, 2)->text(), port);
}

// Two good radios and one of another model on COM1..COM3, COM4 pinned to a device that is not
// there: only the ticked ports run, each ends with its own result, the good ones hold the same.
void TestFleetWindow::tickedPortsWrittenWithTheirResults() {
    std::array<VirtualRadio, 3> radios;
    QVERIFY(radios[0].start(QStringLiteral("meridox")));
    QVERIFY(radios[1].start(QStringLiteral("meridox")));
    QVERIFY(radios[2].start(QStringLiteral("meridox"),
                            {QStringLiteral("--model"), QStringLiteral("5480")}));
    pinPorts({radios[0].linkPath(), radios[1].linkPath(), radios[2].linkPath(),
              dir.filePath(QStringLiteral("gone"))});
    FleetWindow w(doc, settingsFile());
    showActive(&w);
    QCOMPARE(child<QLabel>(w, QStringLiteral("lblDevice_1"))->text(), radios[1].linkPath());
    QVERIFY(!portBox(w, 3)->isEnabled());
    {
        ScriptedMessages msgs;
        QVERIFY(!w.startWrite()); // nothing ticked: said, not silently ignored
        QCOMPARE(msgs.texts(), QStringList{QStringLiteral("No port is ticked. Tick the ports of "
                                                          "the radios to write, then Write.")});
    }
    for (int i : {0, 1, 2})
        QTest::mouseClick(portBox(w, i), Qt::LeftButton);
    QTest::mouseClick(child<QCheckBox>(w, QStringLiteral("chkVerify")), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(w, QStringLiteral("cmdWrite")), Qt::LeftButton);
    QVERIFY(w.running());
    QVERIFY(!portBox(w, 0)->isEnabled());
    QVERIFY(QTest::qWaitFor([&] { return !w.running(); }, 20000));
    QCOMPARE(w.fleet()->records().size(), size_t(3));
    QCOMPARE(w.fleet()->ports().front()->port(), QStringLiteral("COM1"));
    for (int i : {0, 1}) {
        QVERIFY2(result(w, i).startsWith(QStringLiteral("Written and verified (")),
                 qPrintable(result(w, i)));
        QCOMPARE(bar(w, i), 100);
    }
    QCOMPARE(result(w, 2), QStringLiteral("Failed: Model type is wrong."));
    QCOMPARE(radios[1].dump(), radios[0].dump());
    QVERIFY(radios[2].log().filter(QStringLiteral("> 57 ")).isEmpty());
    // Written once more after the run: the ports are free again.
    QVERIFY(portBox(w, 0)->isEnabled());
}

// A radio on a slow line is still being written when the window is closed: the user is asked
// first. No: the write goes on. Yes: the radio is let go with "E", the run ends as cancelled and
// the user is warned that the radio is partly written.
void TestFleetWindow::closingCancelsRunningSessions_data() {
    QTest::addColumn<bool>("stop");
    QTest::newRow("No: the write goes on") << false;
    QTest::newRow("Yes: stopped and said") << true;
}

void TestFleetWindow::closingCancelsRunningSessions() {
    QFETCH(bool, stop);
    VirtualRadio radio;
    QVERIFY(radio.start(QStringLiteral("meridox"),
                        {QStringLiteral("--pace-us"), QStringLiteral("1041.667")}));
    pinPorts({radio.linkPath()});
    auto* w = new FleetWindow(doc, settingsFile());
    const QPointer<FleetWindow> window(w);
    w->setAttribute(Qt::WA_DeleteOnClose);
    showActive(w);
    portBox(*w, 0)->setChecked(true);
    QVERIFY(w->startWrite());
    Fleet* fleet = w->fleet();
    QVERIFY(QTest::qWaitFor([&] { return bar(*w, 0) >= 2; }, 10000));
    std::vector<FleetRecord> records;
    connect(fleet, &Fleet::radioFinished, this,
            [&records](FleetPort*, const FleetRecord& r) { records.push_back(r); });
    ScriptedMessages msgs;
    msgs.answers = {stop ? MsgAnswer::Yes : MsgAnswer::No};
    w->close();
    const QString question = QStringLiteral("Stop writing? The radio will hold a partly written "
                                            "configuration until it is written again.");
    if (!stop) {
        QCOMPARE(msgs.texts(), QStringList{question});
        QVERIFY(window && window->isVisible() && window->running());
        QVERIFY(records.empty());
        msgs.answers = {MsgAnswer::Yes};
        window->close(); // the test's end
        return;
    }
    QCOMPARE(msgs.texts(),
             (QStringList{question, QStringLiteral("Writing stopped. The radio holds a partly "
                                                   "written configuration: write it again.")}));
    QCOMPARE(records.size(), size_t(1));
    QCOMPARE(records.front().failure, SessionFailure::Cancelled);
    QVERIFY(QTest::qWaitFor([&] { return radio.log().contains(QStringLiteral("> 45")); }, 3000));
}

QTEST_MAIN(TestFleetWindow)
#include "tst_fleetwindow.moc"
