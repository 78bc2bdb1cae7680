#include "doctor.h"

#include "core/config/messages.h"
#include "ports.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

// Adapters that braille displays are built with too: brltty takes them at plug-in.
const QStringList BrailleChips{QStringLiteral("1a86:7523"), QStringLiteral("10c4:ea60")};

QString readText(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.read(256)).trimmed();
}

QString linkTarget(const QString& path) {
    char buffer[4096];
    const ssize_t n = ::readlink(QFile::encodeName(path).constData(), buffer, sizeof buffer - 1);
    return n > 0 ? QFile::decodeName(QByteArray(buffer, int(n))) : QString();
}

QString listOrNone(const QStringList& devices) {
    return devices.isEmpty() ? tr2("none", "无") : devices.join(QStringLiteral(", "));
}

// What sysfs tells about a serial device.
struct Adapter {
    bool listed = false; // the system lists it as a serial device
    QString usbId;       // vendor:product, for a USB adapter
    QString name;
    QString maker;
    QString driver;
};

Adapter adapterOf(const QString& sysRoot, const QString& ttyName) {
    Adapter a;
    const QString link =
        sysRoot + QStringLiteral("/class/tty/") + ttyName + QStringLiteral("/device");
    QString dir = QFileInfo(link).canonicalFilePath();
    if (dir.isEmpty()) return a;
    a.listed = true;
    const QString root = QFileInfo(sysRoot).canonicalFilePath();
    // The driver sits on the port (usb-serial) or on the interface (cdc_acm); the vendor and
    // product on the USB device above them.
    for (; dir.startsWith(root) && dir.size() > root.size(); dir = QFileInfo(dir).path()) {
        // The serial core's own "port" and "ctrl" drivers stand between a built-in port and
        // the driver of its chip.
        const QString driver = QFileInfo(linkTarget(dir + QStringLiteral("/driver"))).fileName();
        if (a.driver.isEmpty() && driver != QLatin1String("port") &&
            driver != QLatin1String("ctrl"))
            a.driver = driver;
        const QString vendor = readText(dir + QStringLiteral("/idVendor"));
        if (vendor.isEmpty()) continue;
        a.usbId = vendor + QLatin1Char(':') + readText(dir + QStringLiteral("/idProduct"));
        a.name = readText(dir + QStringLiteral("/product"));
        a.maker = readText(dir + QStringLiteral("/manufacturer"));
        break;
    }
    return a;
}

// True when one of the USB device's interfaces has a serial device (1-2:1.0/ttyUSB0).
bool hasSerialDevice(const QDir& usbDevice) {
    for (const QString& iface : usbDevice.entryList({QStringLiteral("*:*")}, QDir::Dirs))
        if (!QDir(usbDevice.filePath(iface))
                 .entryList({QStringLiteral("tty*")}, QDir::AllEntries | QDir::NoDotAndDotDot)
                 .isEmpty())
            return true;
    return false;
}

// A braille-display chip plugged in without a serial device, as vendor:product; empty when
// there is none.
QString pluggedBrailleChip(const QString& sysRoot) {
    const QDir usb(sysRoot + QStringLiteral("/bus/usb/devices"));
    for (const QString& d : usb.entryList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
        const QString id = readText(usb.filePath(d + QStringLiteral("/idVendor"))) +
                           QLatin1Char(':') +
                           readText(usb.filePath(d + QStringLiteral("/idProduct")));
        if (BrailleChips.contains(id) && !hasSerialDevice(QDir(usb.filePath(d)))) return id;
    }
    return {};
}

// What a path is when it is no device node: "a regular file", "a FIFO"; empty for a device.
QString notADevice(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || S_ISCHR(st.st_mode)) return {};
    if (S_ISFIFO(st.st_mode)) return tr2("a FIFO", "命名管道");
    if (S_ISSOCK(st.st_mode)) return tr2("a socket", "套接字");
    return tr2("a regular file", "普通文件");
}

// The kernel's class of a character device that is no terminal ("mem" for /dev/zero), as
// sys/dev/char/MAJOR:MINOR/subsystem names it; empty for a terminal or when the system does not
// say (no sysfs in a container).
QString nonTerminalClass(const QString& sys, const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISCHR(st.st_mode)) return {};
    const QString link = QStringLiteral("%1/dev/char/%2:%3/subsystem")
                             .arg(sys)
                             .arg(major(st.st_rdev))
                             .arg(minor(st.st_rdev));
    const QString target = QFileInfo(link).symLinkTarget();
    const QString name = QFileInfo(target).fileName();
    return name == QLatin1String("tty") ? QString() : name;
}

struct Access {
    bool may = false;      // this user may read and write it
    bool groupMay = false; // members of its group may
    uint gid = 0;
    QString group;
};

Access accessOf(const QString& device, const DoctorUser& user) {
    Access a;
    struct stat st {};
    if (::stat(QFile::encodeName(device).constData(), &st) != 0) return a;
    a.gid = st.st_gid;
    // The reentrant lookup: the port window asks from a thread of its own.
    group entry{};
    group* g = nullptr;
    char buffer[4096];
    ::getgrgid_r(st.st_gid, &entry, buffer, sizeof buffer, &g);
    a.group = g ? QString::fromLocal8Bit(g->gr_name) : QString::number(st.st_gid);
    const auto both = [&st](mode_t r, mode_t w) { return (st.st_mode & r) && (st.st_mode & w); };
    a.groupMay = both(S_IRGRP, S_IWGRP);
    if (user.uid == 0)
        a.may = true;
    else if (st.st_uid == user.uid)
        a.may = both(S_IRUSR, S_IWUSR);
    else if (user.groups.contains(st.st_gid))
        a.may = a.groupMay;
    else
        a.may = both(S_IROTH, S_IWOTH);
    return a;
}

} // namespace

DoctorUser DoctorUser::current() {
    DoctorUser u;
    u.uid = ::geteuid();
    const passwd* pw = ::getpwuid(u.uid);
    u.name = pw ? QString::fromLocal8Bit(pw->pw_name) : qEnvironmentVariable("USER");
    u.groups << ::getegid();
    gid_t list[256];
    const int n = ::getgroups(256, list);
    for (int i = 0; i < n; ++i)
        u.groups << list[i];
    int count = 256;
    if (pw && ::getgrouplist(pw->pw_name, pw->pw_gid, list, &count) >= 0)
        for (int i = 0; i < count; ++i)
            u.memberOf << list[i];
    return u;
}

QString PortStatus::text() const {
    switch (state) {
    case PortState::Ready:
        return tr2("ready", "就绪");
    case PortState::Missing:
        return tr2("missing", "未连接");
    case PortState::NoPermission:
        return tr2("no permission", "无权限");
    case PortState::InUse:
        return tr2("in use by %1", "被 %1 占用").arg(process);
    }
    return {};
}

ConnectionDoctor::ConnectionDoctor(DoctorRoots roots, DoctorUser user)
    : m_roots(std::move(roots)), m_user(std::move(user)) {}

QString ConnectionDoctor::canonical(const QString& device) const {
    const QString c = QFileInfo(device).canonicalFilePath();
    return c.isEmpty() ? device : c;
}

bool ConnectionDoctor::pseudoTerminal(const QString& device) const {
    return canonical(device).startsWith(m_roots.dev + QStringLiteral("/pts/"));
}

QStringList ConnectionDoctor::serialDevices() const {
    const QDir tty(m_roots.sys + QStringLiteral("/class/tty"));
    QStringList found;
    for (const QString& name : tty.entryList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
        if (!QFileInfo::exists(tty.filePath(name + QStringLiteral("/device")))) continue;
        // The kernel makes built-in port entries for every possible port; type 0 is none.
        if (readText(tty.filePath(name + QStringLiteral("/type"))) == QLatin1String("0")) continue;
        const QString node = m_roots.dev + QLatin1Char('/') + name;
        if (QFileInfo::exists(node)) found << node;
    }
    return orderSerialDevices(found);
}

QList<DoctorLine> ConnectionDoctor::check(const QString& port, const QString& device) const {
    QList<DoctorLine> lines{deviceLine(port, device)};
    QString usbId;
    if (lines.first().result != CheckResult::Failed) {
        lines << adapterLine(device, &usbId) << accessLine(device) << inUseLine(device);
    }
    lines << modemManagerLine(usbId) << brlttyLine(usbId);
    return lines;
}

DoctorLine ConnectionDoctor::deviceLine(const QString& port, const QString& device) const {
    DoctorLine l{tr2("Device", "设备"), CheckResult::Passed, {}, {}};
    const QString present =
        tr2(" Serial devices present: %1.", "现有串口设备：%1。").arg(listOrNone(serialDevices()));
    const bool named = port != device && !port.isEmpty();
    const QString plug = tr2("Plug in the programming cable, or choose a port that stands for a "
                             "device.",
                             "请插入写频线，或选择对应某个设备的端口。");
    const QFileInfo fi(device);
    if (device.isEmpty()) {
        l.result = CheckResult::Failed;
        l.finding = tr2("%1 stands for no device.", "%1 没有对应的设备。").arg(port) + present;
        l.fix = plug;
    } else if (!fi.exists()) {
        l.result = CheckResult::Failed;
        l.finding =
            (named ? tr2("%1 stands for %2, which does not exist.", "%1 对应 %2，该设备不存在。")
                         .arg(port, device)
                   : tr2("%1 does not exist.", "%1 不存在。").arg(device)) +
            present;
        l.fix = plug;
    } else if (fi.isDir()) {
        l.result = CheckResult::Failed;
        l.finding = tr2("%1 is a folder, not a device.", "%1 是文件夹，不是设备。").arg(device);
        l.fix = tr2("Give the device's path, such as /dev/ttyUSB0.",
                    "请给出设备路径，例如 /dev/ttyUSB0。");
    } else {
        l.finding = (named ? tr2("%1 stands for %2, which is present.", "%1 对应 %2，设备存在。")
                                 .arg(port, device)
                           : tr2("%1 is present.", "%1 存在。").arg(device)) +
                    present;
    }
    return l;
}

DoctorLine ConnectionDoctor::adapterLine(const QString& device, QString* usbId) const {
    DoctorLine l{tr2("Adapter", "适配器"), CheckResult::Note, {}, {}};
    const QString path = canonical(device);
    if (pseudoTerminal(device)) {
        l.finding = tr2("%1 is a pseudo-terminal (a virtual radio, or a program playing one).",
                        "%1 是伪终端（虚拟对讲机或模拟对讲机的程序）。")
                        .arg(device);
        return l;
    }
    const Adapter a = adapterOf(m_roots.sys, QFileInfo(path).fileName());
    *usbId = a.usbId;
    const QString driver = a.driver.isEmpty() ? tr2("none", "无") : a.driver;
    if (!a.usbId.isEmpty()) {
        l.result = a.driver.isEmpty() ? CheckResult::Warning : CheckResult::Passed;
        const QString maker = a.maker.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(a.maker);
        l.finding =
            tr2("USB adapter %1 %2%3, kernel driver %4.", "USB 适配器 %1 %2%3，内核驱动 %4。")
                .arg(a.usbId, a.name, maker, driver);
        if (a.driver.isEmpty())
            l.fix = tr2("Unplug the adapter and plug it in again.", "请拔下适配器后重新插入。");
    } else if (a.listed) {
        l.finding =
            tr2("A built-in serial port, kernel driver %1.", "内置串口，内核驱动 %1。").arg(driver);
    } else if (const QString kind = notADevice(path); !kind.isEmpty()) {
        // A file or a pipe opens, but no radio can answer on it.
        l.result = CheckResult::Failed;
        l.finding =
            tr2("%1 is %2, not a serial device.", "%1 是%2，不是串口设备。").arg(device, kind);
        l.fix = tr2("Give the device's path, such as /dev/ttyUSB0.",
                    "请给出设备路径，例如 /dev/ttyUSB0。");
    } else if (const QString cls = nonTerminalClass(m_roots.sys, path); !cls.isEmpty()) {
        // /dev/zero or /dev/null opens, but the line settings fail and no radio is there.
        l.result = CheckResult::Failed;
        l.finding = tr2("%1 is a device of class %2, not a serial device.",
                        "%1 是 %2 类设备，不是串口设备。")
                        .arg(device, cls);
        l.fix = tr2("Give the device's path, such as /dev/ttyUSB0.",
                    "请给出设备路径，例如 /dev/ttyUSB0。");
    } else {
        l.finding =
            tr2("%1 is not a serial device the system lists.", "%1 不是系统列出的串口设备。")
                .arg(device);
    }
    return l;
}

DoctorLine ConnectionDoctor::accessLine(const QString& device) const {
    DoctorLine l{tr2("Access", "权限"), CheckResult::Passed, {}, {}};
    const Access a = accessOf(canonical(device), m_user);
    if (a.may) {
        l.finding = tr2("%1 may read and write %2.", "%1 可以读写 %2。").arg(m_user.name, device);
        return l;
    }
    l.result = CheckResult::Failed;
    if (!a.groupMay) {
        l.finding = tr2("%1 may not read and write %2, nor may its group %3.",
                        "%1 无权读写 %2，其组 %3 也无权。")
                        .arg(m_user.name, device, a.group);
        l.fix = tr2("Give the group access to it: sudo chmod g+rw %1.",
                    "请给该组授权：sudo chmod g+rw %1。")
                    .arg(canonical(device));
        return l;
    }
    l.finding = tr2("%1 may not read and write %2; members of group %3 may.",
                    "%1 无权读写 %2；组 %3 的成员可以。")
                    .arg(m_user.name, device, a.group);
    // Added to the group already: the groups of a session are fixed when it starts.
    l.fix = m_user.memberOf.contains(a.gid)
                ? tr2("%1 is in group %2 since the last login: log out and in again.",
                      "%1 在上次登录后才加入组 %2：请注销后重新登录。")
                      .arg(m_user.name, a.group)
                : tr2("Run: sudo usermod -aG %1 %2, then log out and in again.",
                      "请运行：sudo usermod -aG %1 %2，然后注销并重新登录。")
                      .arg(a.group, m_user.name);
    return l;
}

QList<ConnectionDoctor::Holder> ConnectionDoctor::holders(const QStringList& devices,
                                                          int* hidden) const {
    QList<Holder> found(devices.size());
    QStringList wanted;
    for (const QString& d : devices)
        wanted << canonical(d);
    int unseen = 0;
    const qint64 self = QCoreApplication::applicationPid();
    const QDir proc(m_roots.proc);
    for (const QString& entry : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (!number || pid == self) continue;
        const QString fdPath = proc.filePath(entry + QStringLiteral("/fd"));
        // Another user's open files are hidden from all but root.
        if (::access(QFile::encodeName(fdPath).constData(), R_OK | X_OK) != 0) {
            ++unseen;
            continue;
        }
        const QDir fds(fdPath);
        for (const QString& fd :
             fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
            const QString target = linkTarget(fds.filePath(fd));
            const qsizetype i = target.isEmpty() ? -1 : wanted.indexOf(target);
            if (i < 0 || found.at(i).pid != 0) continue;
            found[i] = {pid, readText(proc.filePath(entry + QStringLiteral("/comm")))};
        }
    }
    if (hidden) *hidden = unseen;
    return found;
}

bool ConnectionDoctor::processRunning(const QString& name) const {
    const QDir proc(m_roots.proc);
    for (const QString& entry : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        if (entry.at(0).isDigit() &&
            readText(proc.filePath(entry + QStringLiteral("/comm"))) == name)
            return true;
    return false;
}

DoctorLine ConnectionDoctor::inUseLine(const QString& device) const {
    DoctorLine l{tr2("In use", "占用"), CheckResult::Passed, {}, {}};
    int hidden = 0;
    const Holder h = holders({device}, &hidden).first();
    if (h.pid != 0 && pseudoTerminal(device)) {
        // The program that plays the radio keeps its own side of the pseudo-terminal open.
        l.result = CheckResult::Note;
        l.finding = tr2("%1 is open in %2 (process %3), which may be the program playing the "
                        "radio.",
                        "%1 已被 %2（进程 %3）打开，它可能是模拟对讲机的程序。")
                        .arg(device, h.name)
                        .arg(h.pid);
    } else if (h.pid != 0) {
        l.result = CheckResult::Failed;
        l.finding = tr2("%1 is in use by %2 (process %3).", "%1 正被 %2（进程 %3）使用。")
                        .arg(device, h.name)
                        .arg(h.pid);
        l.fix = tr2("Close %1, or end it: kill %2.", "请关闭 %1，或结束它：kill %2。")
                    .arg(h.name)
                    .arg(h.pid);
    } else if (hidden > 0) {
        l.finding = tr2("No process of yours has %1 open; those of other users cannot be seen "
                        "(run the check with sudo to see them).",
                        "您的进程均未打开 %1；其他用户的进程不可见（用 sudo 运行检查可以看到）。")
                        .arg(device);
    } else {
        l.finding = tr2("No other process has %1 open.", "没有其他进程打开 %1。").arg(device);
    }
    return l;
}

DoctorLine ConnectionDoctor::modemManagerLine(const QString& usbId) const {
    DoctorLine l{QStringLiteral("ModemManager"), CheckResult::Passed, {}, {}};
    if (!processRunning(QStringLiteral("ModemManager"))) {
        l.finding = tr2("ModemManager is not running.", "ModemManager 未运行。");
        return l;
    }
    l.result = CheckResult::Warning;
    l.finding =
        tr2("ModemManager is running: it probes every new serial adapter for up to half "
            "a minute and holds the port meanwhile.",
            "ModemManager 正在运行：它会探测每个新插入的串口适配器长达半分钟，其间占用端口。");
    const QStringList id = usbId.split(QLatin1Char(':'));
    const QString rule =
        id.size() == 2
            ? tr2("keep it away from the adapter: echo 'ATTRS{idVendor}==\"%1\", "
                  "ATTRS{idProduct}==\"%2\", ENV{ID_MM_DEVICE_IGNORE}=\"1\"' | sudo tee "
                  "/etc/udev/rules.d/99-radio-cable.rules, then sudo udevadm control --reload and "
                  "plug the adapter in again; or ",
                  "让它避开该适配器：echo 'ATTRS{idVendor}==\"%1\", ATTRS{idProduct}==\"%2\", "
                  "ENV{ID_MM_DEVICE_IGNORE}=\"1\"' | sudo tee "
                  "/etc/udev/rules.d/99-radio-cable.rules，"
                  "然后运行 sudo udevadm control --reload 并重新插入适配器；或者")
                  .arg(id.at(0), id.at(1))
            : QString();
    l.fix =
        tr2("Wait half a minute after plugging the adapter in, ", "插入适配器后请等待半分钟，") +
        rule +
        tr2("stop it: sudo systemctl disable --now ModemManager.",
            "停止它：sudo systemctl disable --now ModemManager。");
    return l;
}

DoctorLine ConnectionDoctor::brlttyLine(const QString& usbId) const {
    DoctorLine l{QStringLiteral("brltty"), CheckResult::Passed, {}, {}};
    const bool installed = QFileInfo::exists(m_roots.usr + QStringLiteral("/bin/brltty")) ||
                           QFileInfo::exists(m_roots.usr + QStringLiteral("/sbin/brltty")) ||
                           processRunning(QStringLiteral("brltty"));
    if (!installed) {
        l.finding = tr2("brltty is not installed.", "未安装 brltty。");
        return l;
    }
    l.fix =
        tr2("Remove it: sudo apt remove brltty, then plug the adapter in again (if you need "
            "a braille display: sudo systemctl mask brltty-udev.service).",
            "请卸载：sudo apt remove brltty，然后重新插入适配器（如需盲文显示器：sudo systemctl "
            "mask brltty-udev.service）。");
    const QString plugged = usbId.isEmpty() ? pluggedBrailleChip(m_roots.sys) : QString();
    if (BrailleChips.contains(usbId)) {
        l.result = CheckResult::Warning;
        l.finding =
            tr2("brltty is installed and takes CH340 and CP210x adapters such as this one "
                "(%1) for braille displays: the port vanishes moments after it is plugged "
                "in.",
                "已安装 brltty，它会把 CH340 和 CP210x 适配器（如本适配器 %1）当作盲文显示器"
                "占用：端口插入片刻后即消失。")
                .arg(usbId);
    } else if (!plugged.isEmpty()) {
        l.result = CheckResult::Failed;
        l.finding = tr2("brltty is installed, and a CH340 or CP210x adapter (%1) is plugged in "
                        "without a serial device: brltty has taken it for a braille display.",
                        "已安装 brltty，且插入的 CH340 或 CP210x 适配器（%1）没有串口设备："
                        "brltty 已把它当作盲文显示器占用。")
                        .arg(plugged);
    } else {
        l.result = CheckResult::Note;
        l.finding = tr2("brltty is installed; it takes CH340 and CP210x adapters for braille "
                        "displays, but not this port.",
                        "已安装 brltty；它会占用 CH340 和 CP210x 适配器，但不影响本端口。");
        l.fix.clear();
    }
    return l;
}

QList<PortStatus> ConnectionDoctor::statuses(const QStringList& devices) const {
    QList<PortStatus> result(devices.size());
    QStringList openable;
    for (qsizetype i = 0; i < devices.size(); ++i) {
        const QString& d = devices.at(i);
        if (d.isEmpty() || !QFileInfo::exists(d))
            result[i].state = PortState::Missing;
        else if (!accessOf(canonical(d), m_user).may)
            result[i].state = PortState::NoPermission;
        else
            result[i].state = PortState::Ready;
        // The program playing a radio holds its pseudo-terminal: that is no other user.
        openable << (result.at(i).state == PortState::Ready && !pseudoTerminal(d) ? d : QString());
    }
    const QList<Holder> held = holders(openable);
    for (qsizetype i = 0; i < devices.size(); ++i)
        if (held.at(i).pid != 0 && !openable.at(i).isEmpty())
            result[i] = {PortState::InUse, held.at(i).name};
    return result;
}

bool portUsable(const QList<DoctorLine>& lines) {
    return std::none_of(lines.begin(), lines.end(),
                        [](const DoctorLine& l) { return l.result == CheckResult::Failed; });
}

QString doctorLineText(const DoctorLine& line) {
    QString mark;
    switch (line.result) {
    case CheckResult::Passed:
        mark = tr2("[ok]", "[正常]");
        break;
    case CheckResult::Note:
        mark = tr2("[info]", "[信息]");
        break;
    case CheckResult::Warning:
        mark = tr2("[warning]", "[注意]");
        break;
    case CheckResult::Failed:
        mark = tr2("[FAILED]", "[故障]");
        break;
    }
    QString text = mark + QLatin1Char(' ') + line.check + tr2(": ", "：") + line.finding;
    if (!line.fix.isEmpty()) text += tr2(" Fix: ", " 解决方法：") + line.fix;
    return text;
}

QString doctorVerdict(const QString& port, const QString& device, const QList<DoctorLine>& lines) {
    const QString what = port.isEmpty() || port == device || device.isEmpty()
                             ? (device.isEmpty() ? port : device)
                             : QStringLiteral("%1 (%2)").arg(port, device);
    for (const DoctorLine& l : lines)
        if (l.result == CheckResult::Failed)
            return tr2("Connection check: %1 cannot be used: %2", "连接检查：%1 无法使用：%2")
                .arg(what, l.finding);
    return tr2("Connection check: %1 can be used.", "连接检查：%1 可以使用。").arg(what);
}
