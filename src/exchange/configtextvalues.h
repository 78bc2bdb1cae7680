#pragma once

#include "configtextsupport.h"

#include "core/config/datafile.h"

#include <QList>
#include <QStringList>
#include <algorithm>
#include <array>
#include <limits>
#include <optional>

// How the settings sections write and read the values of the windows' lists, and the tables
// (DTMF autodial memories, FleetSync list, test frequencies) whose entries in use are a list
// and whose other places are carried as bytes.
namespace ConfigTextValues {

inline const QString NotOffered = QStringLiteral("not offered by the window");
inline const QString RawKey = QStringLiteral("raw");
constexpr qint64 Int16Min = std::numeric_limits<int16_t>::min();
constexpr qint64 Int16Max = std::numeric_limits<int16_t>::max();
constexpr qint64 Int32Min = std::numeric_limits<int32_t>::min();
constexpr qint64 Int32Max = std::numeric_limits<int32_t>::max();

QStringList numbers(int first, int last, int step = 1);
QList<qint64> values(int first, int last, int step = 1);
QList<qint64> indices(qsizetype count);

// A list of a window: entries[i] shown for the stored value stored[i].
struct Choice {
    QStringList entries;
    QList<qint64> stored;
    // A list of numbers ("300", "310", ...) takes a stored value no entry stands for only as
    // {raw: N}: a plain number there is always a shown value, so a mistyped one is refused
    // instead of being stored as it is.
    bool numbered() const {
        for (const QString& e : entries) {
            bool ok = false;
            e.toDouble(&ok);
            if (ok) return true;
        }
        return false;
    }
};
Choice indexed(const QStringList& entries);
const Choice& onOff();

// The entries named in a problem: all of a short list, the ends of a long one.
QString entriesText(const QStringList& entries);

// A stored number no list offers: as it is, or as {raw: N} when asMap; with a comment.
void writeRaw(ConfigTextWriter& w, const QString& key, qint64 value, bool asMap,
              const QString& comment = NotOffered);
// A fixed text whose bytes no window would store, exactly: {stored: "..."}.
void writeStored(ConfigTextWriter& w, const QString& key, const QByteArray& raw);
void writeChoice(ConfigTextWriter& w, const QString& key, qint64 value, const Choice& choice,
                 const QString& comment = NotOffered);
// A whole number the window offers between min and max; another stored number as {raw: N}.
void writeRanged(ConfigTextWriter& w, const QString& key, qint64 value, qint64 min, qint64 max);

std::optional<qint64> rawValue(const ConfigTextReader& v, qint64 rawMin, qint64 rawMax);
// The stored value of a list's entry (or of a raw number) in the value v; a problem when it is
// neither.
std::optional<qint64> choiceValue(const ConfigTextReader& v, const Choice& choice, qint64 rawMin,
                                  qint64 rawMax);
std::optional<qint64> rangedValue(const ConfigTextReader& v, qint64 min, qint64 max, qint64 rawMin,
                                  qint64 rawMax);

template <class T>
void readChoice(const ConfigTextReader& r, const QString& key, const Choice& choice, T& target,
                qint64 rawMin = Int16Min, qint64 rawMax = Int16Max) {
    if (!r.has(key)) return;
    if (const auto v = choiceValue(r.child(key), choice, rawMin, rawMax)) target = T(*v);
}

struct TableKeys {
    QString list;   // the entries in use
    QString count;  // a stored count outside 0..places
    QString unused; // the bytes of the places after the entries in use
};

// Writes the entries in use with writeItem, then what the windows never show.
template <class Entry, size_t Places, class WriteItem>
void writeTable(ConfigTextWriter& w, const TableKeys& keys, int count,
                const std::array<Entry, Places>& entries, WriteItem writeItem) {
    const int used = std::clamp<int>(count, 0, int(Places));
    w.beginList(keys.list, used == 0);
    for (int i = 0; i < used; ++i)
        writeItem(entries[size_t(i)]);
    w.endList();
    if (count != used) {
        w.integer(keys.count, count);
        w.comment(NotOffered);
    }
    QByteArray rest;
    for (size_t i = size_t(used); i < Places; ++i)
        rest += encodeEntry(entries[i]);
    if (rest.count('\0') != rest.size()) w.hex(keys.unused, rest);
}

// Reads a table whose list is present: the list defines every place. readItem gives false
// for an item with a problem.
template <class Entry, size_t Places, class ReadItem>
void readTable(const ConfigTextReader& r, const TableKeys& keys, int16_t& count,
               std::array<Entry, Places>& entries, ReadItem readItem) {
    if (!r.has(keys.list)) {
        for (const QString& k : {keys.count, keys.unused})
            if (r.has(k)) r.problemAt(k, QStringLiteral("given without %1").arg(keys.list));
        return;
    }
    const ConfigTextReader list = r.child(keys.list);
    const int items = list.isPresent() ? list.size() : 0;
    if (list.isPresent() && !list.isList()) {
        list.problem(QStringLiteral("expected a list"));
        return;
    }
    if (items > int(Places)) {
        list.problem(QStringLiteral("%1 entries; there are places for %2").arg(items).arg(Places));
        return;
    }
    std::array<Entry, Places> table{};
    for (int i = 0; i < items; ++i)
        readItem(list.item(i), table[size_t(i)]);
    int16_t stored = int16_t(items);
    if (r.has(keys.count)) {
        const ConfigTextReader c = r.child(keys.count);
        if (const auto v = c.asInteger(Int16Min, Int16Max)) {
            if (std::clamp<qint64>(*v, 0, qint64(Places)) != items)
                c.problem(QStringLiteral("a count of %1 does not fit the %2 entries of %3")
                              .arg(*v)
                              .arg(items)
                              .arg(keys.list));
            else
                stored = int16_t(*v);
        }
    }
    const int placeSize = int(encodeEntry(Entry{}).size());
    QByteArray rest;
    if (r.has(keys.unused) && r.hex(keys.unused, placeSize * (int(Places) - items), rest)) {
        for (size_t i = size_t(items); i < Places; ++i)
            table[i] = decodeEntry<Entry>(rest.constData() + placeSize * (int(i) - items));
    }
    count = stored;
    entries = table;
}

// The value of key in an item map; a problem when it is missing.
ConfigTextReader required(const ConfigTextReader& item, const QString& key);

} // namespace ConfigTextValues
