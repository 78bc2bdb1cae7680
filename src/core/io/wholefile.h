#pragma once

#include <QByteArray>
#include <QString>

// Every file the programs make whole (data files, channel lists, PDFs, images, backups, trace
// copies) goes through here, so a disk that cannot take the bytes never costs the user a file.
//
// The bytes go into a temporary file beside the target, are flushed and synced to the disk, and
// only then take the target's place. On any failure the target is left exactly as it was (or
// not created), the temporary file is removed and `why` gets the system's reason ("No space left
// on device"). The reason does not name the file; callers put the name beside it. A target
// that exists but is not a regular file or a folder (a device, a FIFO) is refused untouched.
bool writeWholeFile(const QString& path, const QByteArray& bytes, QString* why = nullptr);
