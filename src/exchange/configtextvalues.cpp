#include "configtextvalues.h"

#include "core/config/messages.h"

namespace ConfigTextValues {

QStringList numbers(int first, int last, int step) {
    QStringList out;
    for (int v = first; v <= last; v += step)
        out << QString::number(v);
    return out;
}
QList<qint64> values(int first, int last, int step) {
    QList<qint64> out;
    for (int v = first; v <= last; v += step)
        out << v;
    return out;
}
QList<qint64> indices(qsizetype count) {
    return values(0, int(count) - 1);
}

Choice indexed(const QStringList& entries) {
    return {entries, indices(entries.size())};
}
const Choice& onOff() {
    static const Choice c = indexed(disableEnableTexts());
    return c;
}

// The entries named in a problem: all of a short list, the ends of a long one.
QString entriesText(const QStringList& entries) {
    const auto quoted = [](const QString& e) { return QLatin1Char('"') + e + QLatin1Char('"'); };
    if (entries.size() <= 12) {
        QStringList q;
        for (const QString& e : entries)
            q << quoted(e);
        return q.join(QStringLiteral(", "));
    }
    return quoted(entries.first()) + QStringLiteral(", ") + quoted(entries.at(1)) +
           QStringLiteral(" ... ") + quoted(entries.last());
}

void writeRaw(ConfigTextWriter& w, const QString& key, qint64 value, bool asMap,
              const QString& comment) {
    if (asMap) {
        w.beginMap(key, true);
        w.integer(RawKey, int(value));
        w.endMap();
    } else {
        w.integer(key, int(value));
    }
    w.comment(comment);
}

// A fixed text whose bytes no window would store, exactly: {stored: "..."}.
void writeStored(ConfigTextWriter& w, const QString& key, const QByteArray& raw) {
    w.beginMap(key, true);
    w.string(QStringLiteral("stored"), QString::fromLatin1(raw));
    w.endMap();
    w.comment(NotOffered);
}

void writeChoice(ConfigTextWriter& w, const QString& key, qint64 value, const Choice& choice,
                 const QString& comment) {
    const qsizetype i = choice.stored.indexOf(value);
    if (i >= 0)
        w.string(key, choice.entries.at(i));
    else
        writeRaw(w, key, value, choice.numbered(), comment);
}

// A whole number the window offers between min and max; another stored number as {raw: N}.
void writeRanged(ConfigTextWriter& w, const QString& key, qint64 value, qint64 min, qint64 max) {
    if (value >= min && value <= max)
        w.integer(key, int(value));
    else
        writeRaw(w, key, value, true);
}

std::optional<qint64> rawValue(const ConfigTextReader& v, qint64 rawMin, qint64 rawMax) {
    if (!v.isMap() || v.size() != 1 || !v.has(RawKey)) return std::nullopt;
    return v.child(RawKey).asInteger(rawMin, rawMax);
}

// The stored value of a list's entry (or of a raw number) in the value v; a problem when it is
// neither.
std::optional<qint64> choiceValue(const ConfigTextReader& v, const Choice& choice, qint64 rawMin,
                                  qint64 rawMax) {
    if (v.isMap()) {
        if (v.size() == 1 && v.has(RawKey)) return rawValue(v, rawMin, rawMax);
    } else if (v.isScalar()) {
        const qsizetype i = choice.entries.indexOf(v.scalar());
        if (i >= 0) return choice.stored.at(i);
        bool ok = false;
        const qint64 n = v.scalar().toLongLong(&ok, 10);
        if (ok && !choice.numbered() && n >= rawMin && n <= rawMax) return n;
    } else if (!v.isPresent() && choice.entries.contains(QString())) {
        return choice.stored.at(choice.entries.indexOf(QString())); // "key:" left empty
    }
    if (v.isScalar())
        v.problem(QStringLiteral("\"%1\" is not one of %2")
                      .arg(v.scalar().left(40), entriesText(choice.entries)));
    else
        v.problem(QStringLiteral("expected one of %1").arg(entriesText(choice.entries)));
    return std::nullopt;
}

std::optional<qint64> rangedValue(const ConfigTextReader& v, qint64 min, qint64 max, qint64 rawMin,
                                  qint64 rawMax) {
    if (v.isMap()) {
        if (const auto raw = rawValue(v, rawMin, rawMax)) return raw;
        if (v.size() == 1 && v.has(RawKey)) return std::nullopt; // its problem is said
    }
    bool ok = false;
    const qint64 n = v.isScalar() ? v.scalar().trimmed().toLongLong(&ok, 10) : 0;
    if (!ok) {
        v.problem(QStringLiteral("\"%1\" is not a whole number").arg(v.scalar().left(40)));
        return std::nullopt;
    }
    if (n < min || n > max) {
        v.problem(QStringLiteral("%1 is outside %2 - %3").arg(n).arg(min).arg(max));
        return std::nullopt;
    }
    return n;
}

// The value of key in an item map; a problem when it is missing.
ConfigTextReader required(const ConfigTextReader& item, const QString& key) {
    const ConfigTextReader v = item.child(key);
    if (!v.node().IsDefined()) item.problem(QStringLiteral("%1: missing").arg(key));
    return v;
}

} // namespace ConfigTextValues
