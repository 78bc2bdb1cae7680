#pragma once

#include "core/config/document.h"
#include "core/config/filereading.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Channel lists as CSV files, for spreadsheets and other programming tools.
//
// Our own form has the header
//   Group,Channel,RX MHz,TX MHz,BUSY,VOIC,ECHO,HI-CUT,+10KHz,NB/ANL,RB,Scan
// and one row per channel in use, in the order of the places of each group: the group as a
// letter A..F, frequencies in shown form, the settings and Scan as 0/1.
//
// The channel lists of other programming tools are recognised by their column names
// (Location, Frequency, Duplex, Offset, Skip, in any order among others) and go into one
// group that the user chooses.

// One parsed CSV file: the cells of every non-empty line and the line's number in the file
// (counted from 1, a quoted field running over several lines counts from its first line).
struct CsvTable {
    QList<QStringList> rows;
    QList<int> lineNumbers;
    QChar separator = QLatin1Char(',');
};

// Reads CSV as spreadsheets write it: UTF-8 with or without byte-order mark, LF or CRLF line
// ends, fields in double quotes (with "" for a quote), and ",", ";" or a tab as separator (the
// one the header line uses).
CsvTable parseCsv(const QByteArray& data);
// One CSV line: the fields joined by commas, quoted where they need it, ended by CRLF.
QByteArray csvLine(const QStringList& fields);

// The largest channel list taken, file or clipboard: 360 channels need a few kilobytes, so
// anything near this is not a channel list, and parsing it would only take time and memory.
constexpr qint64 MaxChannelListBytes = 4 * 1024 * 1024;

// The bytes of a channel list file; refused (problem names the file) when it is not a regular
// file or is larger than MaxChannelListBytes.
FileRead readChannelListFile(const QString& path);

enum class ChannelCsvKind { Unknown, Own, OtherTool };
ChannelCsvKind channelCsvKind(const CsvTable& table);

// The channels of every group in our own form.
QByteArray exportChannelsCsv(const Document& doc);

struct ChannelImportResult {
    bool ok = false;
    ChannelCsvKind kind = ChannelCsvKind::Unknown;
    QStringList problems; // one text per rejected line ("Line 4: ..."), in the current language
    QList<int> groups;    // groups whose channels were replaced (0..5)
    int channelCount = 0; // channels imported
    QList<int> channels;  // a paste: the channel numbers it stored, in its order
};

// What an import did, for the user: "3 channels imported into group A, B."
QString importedChannelsText(const ChannelImportResult& r);

// Replaces the channels of each group the file names with the file's rows, in their order.
// A channel that already exists keeps what the file does not give (its other settings; for
// other tools' lists, everything but the frequencies and Scan); a new one starts as a channel
// typed into the grid does (Scan add, only ECHO on). Frequencies follow the grid's rules: they
// must lie in the band, are put on the band's 10 Hz raster, and an empty TX is the RX
// frequency; a list without a TX column keeps an existing channel's TX. All or nothing: when any
// row is invalid nothing changes and problems names each bad line and why (quoting at most the
// start of a cell). targetGroup (0..5) is the group of another tool's list; it is not used for
// our own form.
ChannelImportResult importChannelsCsv(Document& doc, const QByteArray& data, int targetGroup = -1);

// Channels n of group g (those that exist, in the order given) as tab-separated text with our
// own header line, as a spreadsheet takes them from the clipboard.
QByteArray channelRowsText(const Document& doc, int group, const QList<int>& channelNos);

// Rows from the clipboard into group g: text with our own header (tabs, commas or semicolons),
// or rows without a header in our own column order (from Group, or from RX MHz on). Channel
// numbers come from a Channel column, else count on from firstChannel. Each row sets its
// channel as an import does (the Group column is not used); other channels stay. The same
// checks as an import, all or nothing.
ChannelImportResult pasteChannelRows(Document& doc, const QByteArray& text, int group,
                                     int firstChannel);
