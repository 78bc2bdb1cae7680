#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A small filesystem of the test's own (a tmpfs), so a write can meet a disk that is really
// full. Mounting takes root, which the CI has; elsewhere mounted() is false and skipReason()
// says why, for QSKIP. Unmounted again when it goes.
class FullDisk {
  public:
    explicit FullDisk(int kilobytes = 256);
    ~FullDisk();
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    bool mounted() const { return m_mounted; }
    QString skipReason() const { return m_skipReason; }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }

    // Puts a file there while there is room (the file a failed write must leave as it was).
    bool put(const QString& name, const QByteArray& bytes);
    // Takes every byte that is left. False when the disk did not fill.
    bool fill();
    // Every file under the folder (relative path, then its bytes), the filler left out: what a
    // failed write must leave exactly as it was.
    QStringList files() const;

  private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
    QString m_skipReason;
};

// Skips the test unless the disk is mounted, and fills it.
#define FILL_DISK_OR_SKIP(disk)                                                                    \
    do {                                                                                           \
        if (!(disk).mounted()) QSKIP(qPrintable((disk).skipReason()));                             \
        QVERIFY((disk).fill());                                                                    \
    } while (false)
