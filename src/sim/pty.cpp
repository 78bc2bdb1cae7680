#include "pty.h"

#include <QFile>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

QString systemError(const char* what) {
    return QStringLiteral("%1: %2").arg(QLatin1String(what),
                                        QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

PseudoTerminal::~PseudoTerminal() {
    removeLink();
    close();
}

bool PseudoTerminal::open(QString* error) {
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0) {
        *error = systemError("posix_openpt");
        return false;
    }
    if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
        *error = systemError("grantpt/unlockpt");
        return false;
    }
    char name[256];
    if (::ptsname_r(m_master, name, sizeof name) != 0) {
        *error = systemError("ptsname");
        return false;
    }
    m_slaveName = name;
    m_slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_slave < 0) {
        *error = systemError("open slave");
        return false;
    }

    // Raw bytes both ways: no echo, no line editing, no CR/LF translation, 9600 8N1. A pty
    // does not emulate the baud rate; the setting only makes the port look like the cable.
    termios t{};
    if (::tcgetattr(m_slave, &t) != 0) {
        *error = systemError("tcgetattr");
        return false;
    }
    ::cfmakeraw(&t);
    t.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
    t.c_cflag |= CS8 | CLOCAL | CREAD;
    ::cfsetispeed(&t, B9600);
    ::cfsetospeed(&t, B9600);
    if (::tcsetattr(m_slave, TCSANOW, &t) != 0) {
        *error = systemError("tcsetattr");
        return false;
    }

    const int flags = ::fcntl(m_master, F_GETFL);
    if (flags < 0 || ::fcntl(m_master, F_SETFL, flags | O_NONBLOCK) != 0) {
        *error = systemError("fcntl");
        return false;
    }
    return true;
}

bool PseudoTerminal::link(const QString& path, QString* error) {
    const QByteArray target = QFile::encodeName(path);
    struct stat st {};
    if (::lstat(target.constData(), &st) == 0 && !S_ISLNK(st.st_mode)) {
        *error = QStringLiteral("%1 exists and is not a link; refusing to replace it").arg(path);
        return false;
    }
    const QByteArray temporary = target + ".tmp" + QByteArray::number(::getpid());
    ::unlink(temporary.constData());
    if (::symlink(m_slaveName.constData(), temporary.constData()) != 0 ||
        ::rename(temporary.constData(), target.constData()) != 0) {
        *error = QStringLiteral("cannot create the link %1: %2")
                     .arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        ::unlink(temporary.constData());
        return false;
    }
    m_linkPath = target;
    return true;
}

void PseudoTerminal::removeLink() {
    if (m_linkPath.isEmpty()) return;
    char buffer[256];
    const ssize_t n = ::readlink(m_linkPath.constData(), buffer, sizeof buffer);
    // Another radio may have taken the path over since; its link is not ours to remove.
    if (n >= 0 && QByteArray(buffer, int(n)) == m_slaveName) ::unlink(m_linkPath.constData());
    m_linkPath.clear();
}

void PseudoTerminal::close() {
    if (m_master >= 0) ::close(m_master);
    if (m_slave >= 0) ::close(m_slave);
    m_master = -1;
    m_slave = -1;
}

int PseudoTerminal::pendingForClient() const {
    int n = 0;
    if (m_slave < 0 || ::ioctl(m_slave, FIONREAD, &n) != 0) return 0;
    return n;
}
