#include "wholefile.h"

#include "core/config/messages.h"

#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <unistd.h>

bool writeWholeFile(const QString& path, const QByteArray& bytes, QString* why) {
    QSaveFile file(path);
    const auto fail = [&](const QString& reason) {
        if (why) *why = reason;
        // Not committed: the temporary file goes, the target stays as it was.
        file.cancelWriting();
        return false;
    };
    // The new file takes the target's place by a rename: a device, FIFO or socket named as the
    // target (/dev/null, a pipe to another program) would be replaced by a plain file.
    const QFileInfo target(path);
    if (target.exists() && !target.isFile() && !target.isDir()) {
        if (why) *why = tr2("not a regular file", "不是普通文件");
        return false;
    }
    if (!file.open(QIODevice::WriteOnly)) return fail(file.errorString());
    // commit() would close the file and rename it into place even when the flush of its buffer
    // failed (a full disk): every step is checked before it.
    if (file.write(bytes) != bytes.size()) return fail(file.errorString());
    if (!file.flush()) return fail(file.errorString());
    // A filesystem may report a lack of space only when the data reaches the disk.
    if (::fsync(file.handle()) != 0) return fail(qt_error_string(errno));
    if (!file.commit()) return fail(file.errorString());
    return true;
}
