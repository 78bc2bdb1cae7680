#pragma once

#include <QString>
#include <QStringList>

// The eight port choices COM1..COM8 stand for devices: the path pinned as "COMn" in section
// "ports" of the settings file when there is one, else the n-th serial device present, in a
// stable order (USB adapters first, then the rest, by name).

// Serial devices present, in that order.
QStringList serialDevices();
// Device paths in that order.
QStringList orderSerialDevices(const QStringList& paths);
// Device for choice n (1..8); empty when there is none.
QString deviceForChoice(int n, const QString& settingsFile);
// A port given by the user: a device path is used as it is, "COMn" is resolved as above.
QString resolvePortName(const QString& port, const QString& settingsFile);
