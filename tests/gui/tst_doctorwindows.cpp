// The connection doctor in the windows: the state of each port choice and Check... in the port
// window, and Help > Save Support Information.
#include "core/comm/keptfiles.h"
#include "mainwindowfixture.h"
#include "ui/shell/portwindow.h"
#include "windowtest.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTest>

#include <atomic>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

class TestDoctorWindows : public QObject, public MainWindowFixture {
    Q_OBJECT
    PrivateUserFolders folders;
    QTemporaryDir dataHome;

    void touch(const QString& name, const QByteArray& text = {}) const {
        QDir().mkpath(QFileInfo(path(name)).path());
        QFile f(path(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(text);
    }

  private slots:
    void initTestCase() { qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome.path())); }
    void init() { initFixture(); }
    void cleanup() { cleanupFixture(); }
    void portStatesAndCheck_data();
    void portStatesAndCheck();
    void slowProcessListDoesNotFreeze();
    void saveSupportInformation_data();
    void saveSupportInformation();
};

void TestDoctorWindows::portStatesAndCheck_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QStringList>("states"); // of COM1 and COM2
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("inUse"); // the check's line for COM1
    QTest::addColumn<QString>("verdict");
    QTest::newRow("English") << int(LanguageEnglish)
                             << QStringList{QStringLiteral("in use by minicom"),
                                            QStringLiteral("missing")}
                             << "Check COM1"
                             << "[FAILED] In use: {dev} is in use by minicom (process 4711). Fix: "
                                "Close minicom, or end it: kill 4711."
                             << "Connection check: COM1 ({dev}) cannot be used: {dev} is in use "
                                "by minicom (process 4711).";
    QTest::newRow("Chinese")
        << int(LanguageChinese)
        << QStringList{QStringLiteral("被 minicom 占用"), QStringLiteral("未连接")}
        << "检查 通信口1"
        << "[故障] 占用：{dev} 正被 minicom（进程 4711）使用。 解决方法：请关闭 "
           "minicom，或结束它：kill 4711。"
        << "连接检查：通信口1 ({dev}) 无法使用：{dev} 正被 minicom（进程 4711）"
           "使用。";
}

// COM1 stands for a device a process holds, COM2 for one that is gone; Check... shows the
// doctor's lines for the chosen COM1.
void TestDoctorWindows::portStatesAndCheck() {
    QFETCH(int, language);
    QFETCH(QStringList, states);
    QFETCH(QString, title);
    QFETCH(QString, inUse);
    QFETCH(QString, verdict);
    setCurrentLanguage(language);
    const QString device = path("dev/ttyUSB0");
    touch(QStringLiteral("dev/ttyUSB0"));
    QDir().mkpath(path("sys/class/tty/ttyUSB0/device")); // a serial device the system lists
    touch(QStringLiteral("proc/4711/comm"), "minicom\n");
    QDir().mkpath(path("proc/4711/fd"));
    QVERIFY(QFile::link(device, path("proc/4711/fd/3")));
    pinComPort(device);
    QSettings(settingsFile(), QSettings::IniFormat)
        .setValue(QStringLiteral("ports/COM2"), path("dev/ttyUSB7"));
    SetupSettings settings(settingsFile());

    PortWindow w(1, settings);
    w.setDoctor(ConnectionDoctor({path("sys"), path("proc"), path("dev"), path("usr")},
                                 {QStringLiteral("bob"), QFileInfo(device).ownerId(), {}, {}}));
    showActive(&w);
    QTRY_COMPARE(w.findChild<QLabel*>(QStringLiteral("lblState_0"))->text(), states.at(0));
    QTRY_COMPARE(w.findChild<QLabel*>(QStringLiteral("lblState_1"))->text(), states.at(1));

    QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("CommandCheck")), Qt::LeftButton);
    auto* check = w.findChild<QDialog*>(QStringLiteral("FrmPortCheck"));
    QVERIFY(check && check->isVisible());
    QCOMPARE(check->windowTitle(), title);
    const QStringList lines = check->findChild<QPlainTextEdit*>(QStringLiteral("txtCheck"))
                                  ->toPlainText()
                                  .split(QLatin1Char('\n'));
    QVERIFY2(lines.contains(QString(inUse).replace(QLatin1String("{dev}"), device)),
             qPrintable(lines.join(QLatin1Char('\n'))));
    QCOMPARE(lines.last(), QString(verdict).replace(QLatin1String("{dev}"), device));
    check->findChild<QPushButton*>(QStringLiteral("CommandClose"))->click();
    QVERIFY(w.isVisible());
}

// A process list that answers slowly (here: a process whose name cannot be read until a second
// and a half has passed) never holds the window: the states follow when they are known.
void TestDoctorWindows::slowProcessListDoesNotFreeze() {
    const QString device = path("dev/ttyUSB0");
    touch(QStringLiteral("dev/ttyUSB0"));
    const QString comm = path("proc/4711/comm");
    QDir().mkpath(path("proc/4711/fd"));
    QVERIFY(QFile::link(device, path("proc/4711/fd/3")));
    QCOMPARE(::mkfifo(QFile::encodeName(comm).constData(), 0600), 0);
    std::atomic_bool done = false;
    std::thread slowProcess([comm, &done] {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        while (!done) { // the window looks again every second
            // Without a reader waiting the open fails at once instead of blocking.
            const int fd = ::open(QFile::encodeName(comm).constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) {
                [[maybe_unused]] const ssize_t n = ::write(fd, "minicom\n", 8);
                ::close(fd);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    const auto release = qScopeGuard([&] {
        done = true;
        slowProcess.join();
    });
    pinComPort(device);
    SetupSettings settings(settingsFile());
    QElapsedTimer clock;
    clock.start();
    {
        PortWindow w(1, settings);
        w.setDoctor(ConnectionDoctor({path("sys"), path("proc"), path("dev"), path("usr")},
                                     {QStringLiteral("bob"), QFileInfo(device).ownerId(), {}, {}}));
        showActive(&w);
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        QTRY_COMPARE_WITH_TIMEOUT(w.findChild<QLabel*>(QStringLiteral("lblState_0"))->text(),
                                  QStringLiteral("in use by minicom"), 5000);
    }
}

void TestDoctorWindows::saveSupportInformation_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<QStringList>("said");
    QTest::newRow("written") << "support.txt"
                             << QStringList{QStringLiteral(
                                    "The support information is in {target}. Attach it to your "
                                    "support request; nothing was sent.")};
    QTest::newRow("folder missing: file error")
        << "gone/support.txt" << QStringList{QStringLiteral("file error.")};
}

// The file holds the versions, the check of each port choice, the settings file and the three
// newest of five session traces; the newest is a FIFO, named as unreadable instead of waited on.
void TestDoctorWindows::saveSupportInformation() {
    QFETCH(QString, target);
    QFETCH(QStringList, said);
    const KeptFolder traces = traceFolder(meridoxProduct());
    QVERIFY(traces.ensure(nullptr));
    for (int i = 1; i <= 4; ++i) {
        QFile f(QDir(traces.path())
                    .filePath(QStringLiteral("meridox-2026120%1-231500-123-read.txt").arg(i)));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("trace number ") + QByteArray::number(i) + '\n');
    }
    const QString fifo =
        QDir(traces.path()).filePath(QStringLiteral("meridox-20261205-231500-123-read.txt"));
    QFile::remove(fifo); // left by the row before
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    pinComPort(path("no-such-adapter"));
    start();
    ScriptedFileDialogs dialogs;
    const QString file = path(target);
    dialogs.answers << file;
    action("mnuHelpSupportInfo")->trigger();
    QCOMPARE(m_msgs->texts(), QStringList(said).replaceInStrings(QLatin1String("{target}"), file));
    if (target.contains(QLatin1Char('/'))) {
        QVERIFY(m_msgs->asked.first().informative.startsWith(file + QStringLiteral(": ")));
        QVERIFY(!QFile::exists(file));
        return;
    }
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    for (const QString& part :
         {QStringLiteral("meridox support information\n"), QStringLiteral("Program: meridox "),
          QStringLiteral(", running on Qt "), QStringLiteral("\nSystem: "),
          QStringLiteral("\nConnection check: COM1 (") + path("no-such-adapter") +
              QStringLiteral(") cannot be used: "),
          QStringLiteral("\n[FAILED] Device: COM8 "),
          QStringLiteral("COM1=") + path("no-such-adapter"), QStringLiteral("trace number 4\n"),
          QStringLiteral("trace number 3\n"),
          QStringLiteral("(cannot be read: \"%1\" is not a regular file.)").arg(fifo)})
        QVERIFY2(text.contains(part), qPrintable(part));
    QVERIFY(!text.contains(QStringLiteral("trace number 2")));
}

QTEST_MAIN(TestDoctorWindows)
#include "tst_doctorwindows.moc"
