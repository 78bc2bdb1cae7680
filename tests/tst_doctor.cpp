// The connection doctor on fake system trees (sysfs, procfs, device nodes in a temporary
// folder), and its probe and command against the virtual radio.
#include "cli/cli.h"
#include "core/comm/doctor.h"
#include "radiolauncher.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <csignal>

#include <sys/stat.h>

namespace {

// A system of folders: adapters in sysfs, processes in procfs, nodes in dev.
class FakeSystem {
  public:
    QTemporaryDir dir;
    DoctorRoots roots() const {
        return {at(QStringLiteral("sys")), at(QStringLiteral("proc")), at(QStringLiteral("dev")),
                at(QStringLiteral("usr"))};
    }
    QString at(const QString& path) const { return dir.filePath(path); }
    QString dev(const QString& name) const { return at(QStringLiteral("dev/") + name); }

    void write(const QString& path, const QByteArray& text) const {
        QDir().mkpath(QFileInfo(at(path)).path());
        QFile f(at(path));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    void link(const QString& target, const QString& path) const {
        QDir().mkpath(QFileInfo(at(path)).path());
        QVERIFY(QFile::link(target, at(path)));
    }
    // A USB device usbN with its tty; the driver sits on the port (usb-serial) or on the
    // interface (cdc_acm). Without a tty name the device has no serial device.
    void usb(const QString& usbName, const QByteArray& vendor, const QByteArray& product,
             const QString& tty = {}, const QString& driver = {}) const {
        const QString device = QStringLiteral("sys/devices/usb1/") + usbName;
        write(device + QStringLiteral("/idVendor"), vendor + '\n');
        write(device + QStringLiteral("/idProduct"), product + '\n');
        write(device + QStringLiteral("/product"), "FT232R USB UART\n");
        write(device + QStringLiteral("/manufacturer"), "FTDI\n");
        link(at(device), QStringLiteral("sys/bus/usb/devices/") + usbName);
        if (tty.isEmpty()) return;
        const QString iface = device + QLatin1Char('/') + usbName + QStringLiteral(":1.0");
        const QString port =
            tty.startsWith(QLatin1String("ttyACM")) ? iface : iface + QLatin1Char('/') + tty;
        QDir().mkpath(at(port));
        QDir().mkpath(at(QStringLiteral("sys/bus/drivers/") + driver));
        link(at(QStringLiteral("sys/bus/drivers/") + driver), port + QStringLiteral("/driver"));
        link(at(port), QStringLiteral("sys/class/tty/") + tty + QStringLiteral("/device"));
        write(QStringLiteral("dev/") + tty, {});
        QFile::setPermissions(dev(tty), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                            QFile::WriteGroup);
    }
    void process(int pid, const QByteArray& name, const QString& openFile = {}) const {
        write(QStringLiteral("proc/%1/comm").arg(pid), name + '\n');
        QDir().mkpath(at(QStringLiteral("proc/%1/fd").arg(pid)));
        if (!openFile.isEmpty()) link(openFile, QStringLiteral("proc/%1/fd/3").arg(pid));
    }
};

// Someone who neither owns the fake nodes nor is in their group, and who may be in it after the
// next login.
DoctorUser stranger(const QList<uint>& memberOf = {}) {
    return {QStringLiteral("alice"), 4242, {4242}, memberOf};
}

} // namespace

class TestDoctor : public QObject {
    Q_OBJECT
    QTemporaryDir config;

  private slots:
    void initTestCase() {
        setCurrentLanguage(LanguageEnglish);
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    }
    void checks_data();
    void checks();
    void portStates();
    void probeCommand_data();
    void probeCommand();
};

// What each check finds on a system arranged for it. {dev} stands for the fake /dev, {group}
// for the group of its nodes.
void TestDoctor::checks_data() {
    QTest::addColumn<QString>("arrange");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("check");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("finding");
    QTest::addColumn<QString>("fix");
    QTest::addColumn<bool>("usable");
    const int ok = int(CheckResult::Passed), warn = int(CheckResult::Warning),
              failed = int(CheckResult::Failed);
    QTest::newRow("COMn without device: the devices present")
        << "ftdi"
        << "COM3"
        << ""
        << "Device" << failed << "COM3 stands for no device. Serial devices present: {dev}/ttyUSB0."
        << "Plug in the programming cable, or choose a port that stands for a device." << false;
    QTest::newRow("device gone")
        << ""
        << "COM1"
        << "ttyUSB0"
        << "Device" << failed
        << "COM1 stands for {dev}/ttyUSB0, which does not exist. Serial devices present: none."
        << "Plug in the programming cable, or choose a port that stands for a device." << false;
    QTest::newRow("USB adapter, driver on the port")
        << "ftdi"
        << "COM1"
        << "ttyUSB0"
        << "Adapter" << ok
        << "USB adapter 0403:6001 FT232R USB UART (FTDI), kernel driver ftdi_sio."
        << "" << true;
    QTest::newRow("USB adapter, driver on the interface")
        << "acm"
        << "/dev/ttyACM0"
        << "ttyACM0"
        << "Adapter" << ok << "USB adapter 2e8a:000a FT232R USB UART (FTDI), kernel driver cdc_acm."
        << "" << true;
    QTest::newRow("no permission: the group and the command")
        << "ftdi stranger"
        << "COM1"
        << "ttyUSB0"
        << "Access" << failed
        << "alice may not read and write {dev}/ttyUSB0; members of group {group} may."
        << "Run: sudo usermod -aG {group} alice, then log out and in again." << false;
    QTest::newRow("added to the group, not logged in again")
        << "ftdi member"
        << "COM1"
        << "ttyUSB0"
        << "Access" << failed
        << "alice may not read and write {dev}/ttyUSB0; members of group {group} may."
        << "alice is in group {group} since the last login: log out and in again." << false;
    QTest::newRow("in use by a process")
        << "ftdi minicom"
        << "COM1"
        << "ttyUSB0"
        << "In use" << failed << "{dev}/ttyUSB0 is in use by minicom (process 4711)."
        << "Close minicom, or end it: kill 4711." << false;
    QTest::newRow("ModemManager running")
        << "ftdi modemmanager"
        << "COM1"
        << "ttyUSB0"
        << "ModemManager" << warn
        << "ModemManager is running: it probes every new serial adapter for up to half a minute "
           "and holds the port meanwhile."
        << "Wait half a minute after plugging the adapter in, keep it away from the adapter: echo "
           "'ATTRS{idVendor}==\"0403\", ATTRS{idProduct}==\"6001\", "
           "ENV{ID_MM_DEVICE_IGNORE}=\"1\"' "
           "| sudo tee /etc/udev/rules.d/99-radio-cable.rules, then sudo udevadm control --reload "
           "and plug the adapter in again; or stop it: sudo systemctl disable --now ModemManager."
        << true;
    QTest::newRow("a regular file is no serial device")
        << "file"
        << "COM1"
        << "ttyUSB0"
        << "Adapter" << failed << "{dev}/ttyUSB0 is a regular file, not a serial device."
        << "Give the device's path, such as /dev/ttyUSB0." << false;
    QTest::newRow("a FIFO is no serial device")
        << "fifo"
        << "/tmp/radio"
        << "ttyUSB0"
        << "Adapter" << failed << "{dev}/ttyUSB0 is a FIFO, not a serial device."
        << "Give the device's path, such as /dev/ttyUSB0." << false;
    QTest::newRow("a device node the system does not list")
        << ""
        << "/dev/null"
        << "/dev/null"
        << "Adapter" << int(CheckResult::Note)
        << "/dev/null is not a serial device the system lists."
        << "" << true;
    QTest::newRow("a device node of another class")
        << "mem"
        << "/dev/null"
        << "/dev/null"
        << "Adapter" << failed << "/dev/null is a device of class mem, not a serial device."
        << "Give the device's path, such as /dev/ttyUSB0." << false;
    const QString removeBrltty = QStringLiteral(
        "Remove it: sudo apt remove brltty, then plug the adapter in again (if you need a braille "
        "display: sudo systemctl mask brltty-udev.service).");
    QTest::newRow("brltty took a CH340")
        << "brltty taken"
        << "COM1"
        << ""
        << "brltty" << failed
        << "brltty is installed, and a CH340 or CP210x adapter (1a86:7523) is plugged in without a "
           "serial device: brltty has taken it for a braille display."
        << removeBrltty << false;
    QTest::newRow("brltty, a CH340 with its device, another port")
        << "brltty ch340"
        << "COM2"
        << ""
        << "brltty" << int(CheckResult::Note)
        << "brltty is installed; it takes CH340 and CP210x adapters for braille displays, but not "
           "this port."
        << "" << false;
    QTest::newRow("brltty and a CP210x adapter")
        << "brltty cp210x"
        << "COM1"
        << "ttyUSB0"
        << "brltty" << warn
        << "brltty is installed and takes CH340 and CP210x adapters such as this one (10c4:ea60) "
           "for braille displays: the port vanishes moments after it is plugged in."
        << removeBrltty << true;
}

void TestDoctor::checks() {
    QFETCH(QString, arrange);
    QFETCH(QString, port);
    QFETCH(QString, device);
    QFETCH(QString, check);
    QFETCH(int, result);
    QFETCH(QString, finding);
    QFETCH(QString, fix);
    QFETCH(bool, usable);
    FakeSystem sys;
    const QStringList words = arrange.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.contains(QLatin1String("ftdi")))
        sys.usb(QStringLiteral("1-1"), "0403", "6001", QStringLiteral("ttyUSB0"),
                QStringLiteral("ftdi_sio"));
    if (words.contains(QLatin1String("acm")))
        sys.usb(QStringLiteral("1-1"), "2e8a", "000a", QStringLiteral("ttyACM0"),
                QStringLiteral("cdc_acm"));
    if (words.contains(QLatin1String("cp210x")))
        sys.usb(QStringLiteral("1-1"), "10c4", "ea60", QStringLiteral("ttyUSB0"),
                QStringLiteral("cp210x"));
    if (words.contains(QLatin1String("taken"))) sys.usb(QStringLiteral("1-2"), "1a86", "7523");
    if (words.contains(QLatin1String("ch340")))
        sys.usb(QStringLiteral("1-2"), "1a86", "7523", QStringLiteral("ttyUSB0"),
                QStringLiteral("ch341"));
    if (words.contains(QLatin1String("minicom")))
        sys.process(4711, "minicom", sys.dev(QStringLiteral("ttyUSB0")));
    if (words.contains(QLatin1String("modemmanager"))) sys.process(612, "ModemManager");
    if (words.contains(QLatin1String("brltty"))) sys.write(QStringLiteral("usr/bin/brltty"), {});
    if (words.contains(QLatin1String("file"))) sys.write(QStringLiteral("dev/ttyUSB0"), {});
    if (words.contains(QLatin1String("mem"))) { // /dev/null is character device 1:3
        QDir().mkpath(sys.at(QStringLiteral("sys/dev/char/1:3")));
        QVERIFY(QFile::link(QStringLiteral("../../../class/mem"),
                            sys.at(QStringLiteral("sys/dev/char/1:3/subsystem"))));
    }
    if (words.contains(QLatin1String("fifo"))) {
        QDir().mkpath(sys.at(QStringLiteral("dev")));
        QCOMPARE(::mkfifo(QFile::encodeName(sys.dev(QStringLiteral("ttyUSB0"))).constData(), 0600),
                 0);
    }
    const QString node = device.isEmpty()          ? QString()
                         : device.startsWith(u'/') ? device
                                                   : sys.dev(device);
    const QFileInfo nodeInfo(node);
    DoctorUser user{QStringLiteral("alice"), nodeInfo.ownerId(), {}, {}};
    if (words.contains(QLatin1String("stranger"))) user = stranger();
    if (words.contains(QLatin1String("member"))) user = stranger({nodeInfo.groupId()});

    const QList<DoctorLine> lines = ConnectionDoctor(sys.roots(), user).check(port, node);
    const auto it = std::find_if(lines.begin(), lines.end(),
                                 [&check](const DoctorLine& l) { return l.check == check; });
    QVERIFY2(it != lines.end(), qPrintable(check));
    const auto fill = [&](QString s) {
        return s.replace(QLatin1String("{dev}"), sys.at(QStringLiteral("dev")))
            .replace(QLatin1String("{group}"), nodeInfo.group());
    };
    QCOMPARE(int(it->result), result);
    QCOMPARE(it->finding, fill(finding));
    QCOMPARE(it->fix, fill(fix));
    QCOMPARE(portUsable(lines), usable);
}

// The port window's few words: one look at the processes for every choice. The program that
// plays a radio on a pseudo-terminal holds it, and that is no other user.
void TestDoctor::portStates() {
    FakeSystem sys;
    for (const char* name : {"ttyUSB0", "ttyUSB1", "pts/3"}) {
        sys.write(QStringLiteral("dev/") + QLatin1String(name), {});
        QFile::setPermissions(sys.dev(QLatin1String(name)), QFile::ReadOwner | QFile::WriteOwner);
    }
    sys.process(4711, "minicom", sys.dev(QStringLiteral("ttyUSB1")));
    sys.process(4712, "virtual-radio", sys.dev(QStringLiteral("pts/3")));
    const uint owner = QFileInfo(sys.dev(QStringLiteral("ttyUSB0"))).ownerId();
    const QStringList devices{
        sys.dev(QStringLiteral("ttyUSB0")), sys.dev(QStringLiteral("ttyUSB1")),
        sys.dev(QStringLiteral("ttyUSB9")), QString(), sys.dev(QStringLiteral("pts/3"))};
    QStringList words;
    for (const PortStatus& s :
         ConnectionDoctor(sys.roots(), {QStringLiteral("bob"), owner, {}, {}}).statuses(devices))
        words << s.text();
    QCOMPARE(words, (QStringList{QStringLiteral("ready"), QStringLiteral("in use by minicom"),
                                 QStringLiteral("missing"), QStringLiteral("missing"),
                                 QStringLiteral("ready")}));
    const PortStatus refused =
        ConnectionDoctor(sys.roots(), stranger()).statuses({devices.at(0)}).first();
    QCOMPARE(refused.text(), QStringLiteral("no permission"));
}

// doctor --probe asks the radio who it is as a read begins and lets it go with "E"; nothing
// is read from or written to its memory.
void TestDoctor::probeCommand_data() {
    QTest::addColumn<QString>("product");
    QTest::addColumn<QStringList>("radioArgs");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("frames"); // what the radio heard
    QTest::addColumn<bool>("interrupted");   // Ctrl+C while the probe waits
    const QString program = QStringLiteral("> 50 52 4F 47 52 41 4D");
    const QStringList answered{program, QStringLiteral("> 02"), QStringLiteral("> 06"),
                               QStringLiteral("> 45")};
    QTest::newRow("meridox radio answers")
        << "meridox" << QStringList() << 0
        << "[ok] Radio: A radio answered: model SOLV, band 25.605000 - 30.115000 MHz, firmware "
           "V100. Nothing was written."
        << answered << false;
    QTest::newRow("solvir radio answers")
        << "solvir" << QStringList() << 0
        << "[ok] Radio: A radio answered: model 5480, band 25.615000 - 30.105000 MHz, firmware "
           "V100. Nothing was written."
        << answered << false;
    QTest::newRow("radio switched off: PROGRAM sent twice")
        << "meridox" << QStringList{QStringLiteral("--start-delay"), QStringLiteral("60000")} << 2
        << "[FAILED] Radio: No radio answered PROGRAM on {port}. Fix: Switch the radio on and plug "
           "the cable firmly into its programming socket; check that the cable is made for this "
           "radio."
        << QStringList{program, program} << false;
    QTest::newRow("Ctrl+C: the radio is let go at once")
        << "meridox" << QStringList{QStringLiteral("--start-delay"), QStringLiteral("60000")} << 2
        << "[FAILED] Radio: Stopped by Ctrl+C (SIGINT)."
        << QStringList{program, QStringLiteral("> 45")} << true;
    QTest::newRow("no identification: the radio is let go")
        << "meridox" << QStringList{QStringLiteral("--ignore-ident"), QStringLiteral("9")} << 2
        << "[FAILED] Radio: A radio answered PROGRAM, but not the identification request. Fix: "
           "Switch the radio off and on again, then check again."
        << QStringList{program, QStringLiteral("> 02"), QStringLiteral("> 02"),
                       QStringLiteral("> 45")}
        << false;
}

void TestDoctor::probeCommand() {
    QFETCH(QString, product);
    QFETCH(QStringList, radioArgs);
    QFETCH(int, code);
    QFETCH(QString, line);
    QFETCH(QStringList, frames);
    QFETCH(bool, interrupted);
    VirtualRadio radio;
    QVERIFY2(radio.start(product, radioArgs), qPrintable(radio.errorOutput()));
    QString out, err;
    QTextStream o(&out), e(&err);
    const Product& p = product == QLatin1String("solvir") ? solvirProduct() : meridoxProduct();
    // Ctrl+C once PROGRAM is on the line (the checks before it take long with many processes).
    QTimer ctrlC;
    QObject::connect(&ctrlC, &QTimer::timeout, [&radio, &ctrlC] {
        if (radio.log().isEmpty()) return;
        ctrlC.stop();
        ::raise(SIGINT);
    });
    if (interrupted) ctrlC.start(5);
    const int rc = runCli(p,
                          {QStringLiteral("doctor"), QStringLiteral("--port"), radio.linkPath(),
                           QStringLiteral("--probe")},
                          {o, e});
    QCOMPARE(rc, code);
    QVERIFY2(out.contains(QString(line).replace(QLatin1String("{port}"), radio.linkPath())),
             qPrintable(out));
    QStringList heard;
    for (const QString& l : radio.log())
        if (l.startsWith(QLatin1Char('>'))) heard << l;
    QCOMPARE(heard, frames);
}

QTEST_GUILESS_MAIN(TestDoctor)
#include "tst_doctor.moc"
