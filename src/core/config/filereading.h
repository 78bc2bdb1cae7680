#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Reading the files a user names (data files, channel lists, radio images): only regular files,
// and never more than the caller can use. A FIFO, a device or a folder is refused at once
// instead of waiting for a writer or reading without end.

struct FileRead {
    QByteArray bytes; // at most the bytes asked for, from the start of the file
    QString problem;  // empty on success; else one line naming the file and why
    bool ok() const { return problem.isEmpty(); }
};

// Why path cannot be read as a regular file (missing, a folder, a FIFO, a device), looked at
// without opening it; nothing when it is a regular file (it may still be unreadable).
std::optional<QString> regularFileProblem(const QString& path);

// The first maxBytes bytes of the regular file at path (all of a shorter file).
FileRead readRegularFile(const QString& path, qint64 maxBytes);
