#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The connection doctor: why a serial port does or does not work, one check at a time, each
// with what it found and a plain fix. It reads only the system's own views of the devices and
// processes (sysfs, procfs, the device nodes), so tests run it on fake trees of folders.
//
// Checks, in this order:
//   device        the device exists; for COMn which device it stands for, and every serial
//                 device present
//   adapter       what it is: a USB adapter's vendor:product, name and kernel driver, a
//                 built-in port, a pseudo-terminal
//   access        this user may read and write it; else the group that may and the command
//   in use        no other process has it open (which one when one does)
//   ModemManager  running: it probes new serial adapters for up to half a minute
//   brltty        installed: it takes CH340 and CP210x adapters for braille displays
//   radio         (on request) a radio answers PROGRAM, and who it is

// Where the doctor looks; tests point these at folders of their own.
struct DoctorRoots {
    QString sys = QStringLiteral("/sys");
    QString proc = QStringLiteral("/proc");
    QString dev = QStringLiteral("/dev");
    QString usr = QStringLiteral("/usr"); // installed programs (brltty)
};

// Whose access is checked: this process's user and groups.
struct DoctorUser {
    QString name;
    uint uid = 0;
    QList<uint> groups;   // the groups this process runs with
    QList<uint> memberOf; // the groups the account is in (new ones count from the next login)
    static DoctorUser current();
};

enum class CheckResult { Passed, Note, Warning, Failed };

struct DoctorLine {
    QString check; // "Device", "Access", ...
    CheckResult result = CheckResult::Passed;
    QString finding;
    QString fix; // empty when there is nothing to do
};

// The state of a port in a few words, for the port window.
enum class PortState { Ready, Missing, NoPermission, InUse };
struct PortStatus {
    PortState state = PortState::Missing;
    QString process; // InUse: the program that holds it
    QString text() const;
};

class ConnectionDoctor {
  public:
    explicit ConnectionDoctor(DoctorRoots roots = {}, DoctorUser user = DoctorUser::current());

    // The checks of the port as the user named it ("COM1", "/dev/ttyUSB0") and the device it
    // stands for (empty when a COMn choice stands for none). The radio check is the probe's.
    QList<DoctorLine> check(const QString& port, const QString& device) const;
    // The state of each device, with one look at the processes for all of them.
    QList<PortStatus> statuses(const QStringList& devices) const;
    // Serial devices present: USB adapters first, then the rest, by name.
    QStringList serialDevices() const;

    // A process that holds a device open.
    struct Holder {
        qint64 pid = 0;
        QString name;
    };
    // The first process other than this one that has each device open (devices as given;
    // absent when none); hidden counts the processes whose open files could not be seen.
    QList<Holder> holders(const QStringList& devices, int* hidden = nullptr) const;
    bool processRunning(const QString& name) const;

  private:
    DoctorLine deviceLine(const QString& port, const QString& device) const;
    DoctorLine adapterLine(const QString& device, QString* usbId) const;
    DoctorLine accessLine(const QString& device) const;
    DoctorLine inUseLine(const QString& device) const;
    DoctorLine modemManagerLine(const QString& usbId) const;
    DoctorLine brlttyLine(const QString& usbId) const;
    QString canonical(const QString& device) const;
    bool pseudoTerminal(const QString& device) const;

    DoctorRoots m_roots;
    DoctorUser m_user;
};

// True when no check failed.
bool portUsable(const QList<DoctorLine>& lines);
// "[ok] Device: ... Fix: ..." in the current language.
QString doctorLineText(const DoctorLine& line);
// One line for the whole: the port can be used, or the first check that failed.
QString doctorVerdict(const QString& port, const QString& device, const QList<DoctorLine>& lines);
