#include "fleetlog.h"

#include "core/comm/sessiontrace.h"
#include "core/config/messages.h"

#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {
// What a few rows take at most; the log must have room for it before a radio is touched.
constexpr off_t RowRoom = 1024;

// A field as CSV carries it: quoted when it holds a separator, a quote or a line break.
QString csvField(QString text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    text.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}
} // namespace

QString fleetLogHeader() {
    return QStringLiteral(
        "time,program,port,model,band,firmware,serial,operation,result,seconds,verify,file");
}

QString fleetLogRow(const QString& program, const FleetRecord& r) {
    const QDateTime t = r.started.toOffsetFromUtc(r.started.offsetFromUtc());
    const QStringList fields{t.toString(Qt::ISODate),
                             program,
                             r.port,
                             r.model,
                             r.band,
                             r.firmware,
                             r.serial,
                             traceOperationName(int(r.operation)),
                             fleetResultName(r),
                             QString::number(r.seconds, 'f', 2),
                             fleetVerifyName(r.verify),
                             r.file};
    QStringList out;
    for (const QString& f : fields)
        out << csvField(f);
    return out.join(QLatin1Char(','));
}

bool FleetLog::open(const QString& path, QString* why) {
    m_path = path;
    const bool existed = QFileInfo::exists(path);
    // Not blocking while it opens: a FIFO that no program reads would hold the run here for
    // good. The rows then go out as usual, waiting for a slow reader.
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0) {
        if (why)
            *why = errno == ENXIO ? tr2("no program reads from it", "没有程序从中读取")
                                  : qt_error_string(errno);
        return false;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    // Unbuffered: a row the disk refused must not wait in a buffer to be written later. Every
    // row goes to the end of the file (O_APPEND).
    if (!m_file.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered,
                     QFileDevice::AutoCloseHandle)) {
        if (why) *why = m_file.errorString();
        ::close(fd);
        return false;
    }
    // A terminal, pipe or device (--log /dev/stdout) takes the rows as they come: no room to
    // reserve, nothing to sync or take back.
    m_regular = QFileInfo(path).isFile();
    bool ok = true;
    if (m_file.size() == 0) ok = write(fleetLogHeader().toUtf8() + '\n', why);
    // Room for the next rows (a file's last block may still hold them): a full disk is found
    // now rather than after the first radio. Filesystems that cannot reserve are trusted.
    if (ok && m_regular &&
        ::fallocate(m_file.handle(), FALLOC_FL_KEEP_SIZE, m_file.size(), RowRoom) != 0 &&
        errno != EOPNOTSUPP && errno != ENOSYS) {
        if (why) *why = qt_error_string(errno);
        ok = false;
    }
    if (ok) return true;
    m_file.close();
    if (!existed) QFile::remove(path);
    return false;
}

bool FleetLog::append(const QString& program, const FleetRecord& record, QString* why) {
    if (!m_file.isOpen()) {
        if (why) *why = QStringLiteral("the log is not open");
        return false;
    }
    return write(fleetLogRow(program, record).toUtf8() + '\n', why);
}

bool FleetLog::write(const QByteArray& text, QString* why) {
    const qint64 before = m_file.size();
    if (m_file.write(text) == text.size() && (!m_regular || ::fsync(m_file.handle()) == 0))
        return true;
    const int error = errno;
    if (why)
        *why =
            m_file.error() != QFileDevice::NoError ? m_file.errorString() : qt_error_string(error);
    m_file.unsetError();
    if (m_regular) m_file.resize(before);
    return false;
}
