#pragma once

#include "core/product/product.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

// Files the program keeps by itself in the per-user data folder: raw images of radios as they
// were read (so a radio can always be put back as it was), and traces of radio sessions (for
// a problem report). Each kind has a folder of its own. A kept file is named
//
//   <program>-<yyyyMMdd>-<HHmmss>-<zzz>-<tag>[-<n>]<suffix>    meridox-20261208-231500-123-SOLV.img
//
// so the names sort by age and tell which program and which model or operation made them.
// Only the newest few are kept; files of any other name are never listed or deleted.
class KeptFolder {
  public:
    KeptFolder(QString path, QString program, QString suffix, int keep);

    const QString& path() const { return m_path; }
    int keep() const { return m_keep; }

    // Creates the folder when it is missing; false with the reason when it cannot be made.
    bool ensure(QString* error) const;
    // A path that is not yet taken for a file made at `when`. The tag is reduced to letters
    // and digits ("radio" when nothing is left).
    QString newFilePath(const QDateTime& when, const QString& tag) const;
    // Full paths of our own files in the folder, oldest first.
    QStringList files() const;
    // Deletes our own files beyond the newest `keep()`, oldest first; `current` (the file
    // just made) is never among them.
    void prune(const QString& current = {}) const;

  private:
    QString m_path;
    QString m_program;
    QString m_suffix;
    int m_keep;
};

// <data folder>/backups: the newest 50 images of read radios.
KeptFolder backupFolder(const Product& p);
// <data folder>/traces: the newest 10 session traces.
KeptFolder traceFolder(const Product& p);

// Keeps the raw memory of a read that decoded cleanly as a new backup image and prunes the
// folder. Returns the file's path, or nothing with the reason in `error`.
std::optional<QString> keepBackupImage(const Product& p, const QString& model,
                                       const QByteArray& image, QString* error,
                                       const QDateTime& when = QDateTime::currentDateTime());
