#include "fulldisk.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {
const QString Filler = QStringLiteral(".filler");
}

FullDisk::FullDisk(int kilobytes) {
    if (::geteuid() != 0) {
        m_skipReason = QStringLiteral("a full disk is a tmpfs mounted for the test: run as root");
        return;
    }
    const QByteArray options = "size=" + QByteArray::number(kilobytes) + 'k';
    if (::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0,
                options.constData()) != 0) {
        m_skipReason = QStringLiteral("cannot mount a tmpfs: %1")
                           .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return;
    }
    m_mounted = true;
}

FullDisk::~FullDisk() {
    if (m_mounted) ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
}

bool FullDisk::put(const QString& name, const QByteArray& bytes) {
    QFile f(filePath(name));
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.flush();
}

bool FullDisk::fill() {
    const int fd = ::open(QFile::encodeName(filePath(Filler)).constData(),
                          O_WRONLY | O_CREAT | O_APPEND, 0600);
    if (fd < 0) return false;
    // Pages first, then single bytes, so not even the last page keeps room.
    static const QByteArray page(4096, 'x');
    while (::write(fd, page.constData(), size_t(page.size())) > 0) {
    }
    while (::write(fd, "x", 1) > 0) {
    }
    const bool full = errno == ENOSPC;
    ::close(fd);
    return full;
}

QStringList FullDisk::files() const {
    QStringList out;
    const QDir root(path());
    QDirIterator it(path(), QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString name = root.relativeFilePath(it.next());
        if (name == Filler) continue;
        QFile f(it.filePath());
        out << name + QLatin1String(": ") +
                   QString::fromLatin1(f.open(QIODevice::ReadOnly) ? f.readAll().toHex() : "?");
    }
    out.sort();
    return out;
}
