#pragma once

#include "document.h"

#include <QByteArray>
#include <QString>
#include <optional>

// Data files (".dat"): one fixed record, fields in declaration order, packed, little-endian.
//
//   meridox (15245 bytes)                     solvir (13791 bytes)
//   0      Version text[4]                    -
//   4      CurrentGroup                       0
//   6      GroupChannelCount[6]               2
//   18     Channels 360 x 40                  14    Channels 360 x 36 (no RxExtra/TxExtra)
//   14418  ModelInfo (33 bytes)               12974
//   14451  OptionWords[42]                    13007 OptionWords[37]
//   14535  KeyAssign, ScanWords, DTMF, FleetSync settings, DTMF codes, test frequencies,
//          embedded message lines, FleetSync list (same in both, 710 bytes)

// Byte image of a record.
QByteArray encodeRecord(const Product& p, const RadioConfig& c);
// The record held by the first recordLength bytes of data; nothing when data is shorter.
std::optional<RadioConfig> decodeRecord(const Product& p, const QByteArray& data);

// The bytes of one entry of the DTMF autodial memories, the test frequencies or the FleetSync
// list as a record holds them, and the entry those bytes hold (data has the entry's length).
template <class Entry> QByteArray encodeEntry(const Entry& e);
template <class Entry> Entry decodeEntry(const char* data);

// Offsets of a few fields inside a record, derived from the same layout walk.
struct RecordOffsets {
    int channels;
    int modelInfo;
    int optionWords;
    int keyAssign;
    int testFreqCount;
    int embeddedMessage;
    int fleetSyncList;
    int end;
};
RecordOffsets recordOffsets(const Product& p);

// Why a record cannot be edited safely, as one line naming the group (current language): a
// group count outside 0..60, or a channel in use whose number is outside 1..60 or appears twice
// in its group. Nothing for a sound record.
std::optional<QString> recordDamage(const RadioConfig& c);

// Reads the file's record into the snapshot and restores the working record from it.
// No version check, nothing shown. A damaged record is refused. On failure nothing changes.
bool loadDataFile(Document& doc, const QString& path);
// As loadDataFile, but the record read is an edit of the open configuration (the factory
// configuration, a new model's template): the snapshot stays that of the open file and the
// step named caption ends.
bool loadDataFileAsEdit(Document& doc, const QString& path, const QString& caption);

enum class OpenResult { Opened, VersionRefused, FileError };
// Opens path as the current file: version check (meridox), messages through the message
// service. On success the record is loaded, the file becomes the current, titled file. A
// refused, damaged or unreadable file leaves the record, the snapshot and the file name as they
// were; its "file error." names the file and why. Only a regular file is read, and only the
// record's bytes of it (a FIFO or a device is refused without waiting on it).
OpenResult openDataFile(Document& doc, const QString& path);

// The three-line text shown when a file's version is refused.
QString versionMessageText(const QByteArray& fileVersion);
// "V2.00" for "V200"; the "Unknown" text for anything else.
QString shownFileVersion(const QByteArray& fileVersion);
// The program's version as shown beside a refused version: "V1.0X".
QString shownProgramVersion();

// Takes the snapshot and writes it to the current file name. The file is replaced atomically;
// bytes beyond the record in an existing longer file are kept. On failure the file and the
// snapshot stay as they were (the work still counts as modified) and "file error." is shown
// with the file's name and the system's reason.
bool saveDataFile(Document& doc);
// The same to path, which on success becomes the open file; on failure the open file's name
// stays.
bool saveDataFile(Document& doc, const QString& path);
// The same, to a given path, without any message; errorText gets the reason on failure.
bool writeRecordFile(const Product& p, const RadioConfig& c, const QString& path,
                     QString* errorText = nullptr);
