#include "filereading.h"

#include "messages.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString missingText(const QString& path) {
    return tr2("The file \"%1\" does not exist.", "文件“%1”不存在。").arg(path);
}

std::optional<QString> typeProblem(const QString& path, mode_t mode) {
    if (S_ISREG(mode)) return std::nullopt;
    if (S_ISDIR(mode))
        return tr2("\"%1\" is a folder, not a regular file.", "“%1”是文件夹，不是普通文件。")
            .arg(path);
    return tr2("\"%1\" is not a regular file.", "“%1”不是普通文件。").arg(path);
}

QString systemProblem(const QString& path, int error) {
    if (error == ENOENT) return missingText(path);
    return QStringLiteral("%1: %2").arg(path, qt_error_string(error));
}

} // namespace

std::optional<QString> regularFileProblem(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return systemProblem(path, errno);
    return typeProblem(path, st.st_mode);
}

FileRead readRegularFile(const QString& path, qint64 maxBytes) {
    FileRead r;
    // Looked at before opening: opening some devices has effects of its own.
    if (const auto problem = regularFileProblem(path)) {
        r.problem = *problem;
        return r;
    }
    // O_NONBLOCK: should the path have become a FIFO since, open() must not wait for a writer.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        r.problem = systemProblem(path, errno);
        return r;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        r.problem = systemProblem(path, errno);
    } else if (const auto problem = typeProblem(path, st.st_mode)) {
        r.problem = *problem;
    } else {
        const qint64 wanted = std::min<qint64>(maxBytes, qint64(st.st_size));
        r.bytes.resize(wanted);
        qint64 got = 0;
        while (got < wanted) {
            const ssize_t n = ::read(fd, r.bytes.data() + got, size_t(wanted - got));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                r.problem = systemProblem(path, errno);
                break;
            }
            if (n == 0) break; // the file shrank meanwhile
            got += n;
        }
        r.bytes.truncate(got);
    }
    ::close(fd);
    if (!r.ok()) r.bytes.clear();
    return r;
}
