#include "channelcsv.h"

#include "core/channels/channelrules.h"
#include "core/config/messages.h"
#include "core/config/modelband.h"
#include "core/config/optionwords.h"

#include <QHash>
#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// Our own columns: group, channel, RX, TX, the seven settings in ChannelFlags order, scan.
QStringList ownHeader() {
    QStringList h{QStringLiteral("Group"), QStringLiteral("Channel"), QStringLiteral("RX MHz"),
                  QStringLiteral("TX MHz")};
    for (int flag = 1; flag <= 7; ++flag)
        h << channelFlagName(flag);
    return h << QStringLiteral("Scan");
}

QString key(const QString& header) {
    return header.trimmed().toLower();
}

// Column positions by header name; -1 for a column the file does not have.
struct Columns {
    QHash<QString, int> byName;
    int at(const QString& name) const { return byName.value(key(name), -1); }
    int at(const char* name) const { return at(QLatin1String(name)); }
};

Columns columnsOf(const QStringList& header) {
    Columns c;
    for (qsizetype i = 0; i < header.size(); ++i) {
        const QString k = key(header.at(i));
        if (!k.isEmpty() && !c.byName.contains(k)) c.byName.insert(k, int(i));
    }
    return c;
}

QString cell(const QStringList& row, int column) {
    return column >= 0 && column < row.size() ? row.at(column).trimmed() : QString();
}

// A cell as a refusal quotes it: its first 40 characters at most, control characters escaped,
// so that a huge or binary cell neither floods the message nor breaks its lines.
QString shownCell(const QString& text) {
    constexpr qsizetype Shown = 40;
    qsizetype n = std::min(text.size(), Shown);
    if (n < text.size() && text.at(n - 1).isHighSurrogate()) --n;
    QString out;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar ch = text.at(i);
        if (ch == QLatin1Char('\t'))
            out += QLatin1String("\\t");
        else if (ch == QLatin1Char('\n'))
            out += QLatin1String("\\n");
        else if (ch == QLatin1Char('\r'))
            out += QLatin1String("\\r");
        else if (ch.category() == QChar::Other_Control || ch.category() == QChar::Other_Format)
            out += ch.unicode() < 0x100
                       ? QStringLiteral("\\x%1").arg(ch.unicode(), 2, 16, QLatin1Char('0'))
                       : QStringLiteral("\\u%1").arg(ch.unicode(), 4, 16, QLatin1Char('0'));
        else
            out += ch;
    }
    if (n < text.size()) out += QChar(0x2026); // …
    return out;
}

QString tooLargeText() {
    return tr2("larger than %1 MB: this is not a channel list.", "大于 %1 MB：这不是信道列表。")
        .arg(MaxChannelListBytes / (1024 * 1024));
}

// A frequency or offset in MHz. A decimal comma is accepted when the file does not separate
// its fields with commas (spreadsheets of many locales write "28,015000").
std::optional<double> parseMhz(QString text, QChar separator) {
    if (separator != QLatin1Char(',')) text.replace(QLatin1Char(','), QLatin1Char('.'));
    double v = 0;
    if (!isNumericText(text, &v) || !std::isfinite(v)) return std::nullopt;
    // Whole hertz, so that sums and limits compare without binary fractions in the way.
    return std::nearbyint(v * 1e6) / 1e6;
}

// 0 or 1 for a setting: the digits, or the words the grid and the printout show in either
// language.
std::optional<int16_t> parseFlag(const QString& text, bool scan) {
    const QString t = text.trimmed().toLower();
    if (t == QLatin1String("0")) return 0;
    if (t == QLatin1String("1")) return 1;
    static const char* const off[] = {"disable", "不使用", "off", "关"};
    static const char* const on[] = {"enable", "使用", "on", "开"};
    static const char* const del[] = {"del", "删除"};
    static const char* const add[] = {"add", "添加"};
    for (const char* w : off)
        if (!scan && t == QString::fromUtf8(w)) return 0;
    for (const char* w : on)
        if (!scan && t == QString::fromUtf8(w)) return 1;
    for (const char* w : del)
        if (scan && t == QString::fromUtf8(w)) return 0;
    for (const char* w : add)
        if (scan && t == QString::fromUtf8(w)) return 1;
    return std::nullopt;
}

// One valid row, ready to be stored.
struct ImportRow {
    int line = 0;
    int group = 0;
    int channelNo = 0;
    QString rx;                                    // shown form, on the raster
    std::optional<QString> tx;                     // nothing: the row has no TX cell
    std::array<std::optional<int16_t>, 8> flags{}; // [1..7]; nothing: keep or default
    std::optional<int16_t> scan;
};

class RowChecker {
  public:
    RowChecker(const Document& doc, QChar separator) : m_doc(doc), m_separator(separator) {}

    QStringList problems;

    void problem(int line, const QString& text) {
        problems << tr2("Line %1: ", "第 %1 行：").arg(line) + text;
    }

    // The frequency of a column on the band's raster in shown form, or nothing (and a problem).
    std::optional<QString> frequency(int line, const QString& what, const QString& text) {
        const std::optional<double> v = parseMhz(text, m_separator);
        if (!v) {
            problem(line, tr2("the %1 frequency \"%2\" is not a number.", "%1 频率“%2”不是数字。")
                              .arg(what, shownCell(text)));
            return std::nullopt;
        }
        return inBand(line, what, *v);
    }

    std::optional<QString> inBand(int line, const QString& what, double mhz) {
        if (mhz < m_doc.lowerLimit() || mhz > m_doc.upperLimit()) {
            problem(line, tr2("the %1 frequency %2 MHz is outside the band (%3 to %4 MHz).",
                              "%1 频率 %2 MHz 超出频段（%3 至 %4 MHz）。")
                              .arg(what, formatMhz(mhz), formatMhz(m_doc.lowerLimit()),
                                   formatMhz(m_doc.upperLimit())));
            return std::nullopt;
        }
        return formatMhz(snapToFrequencyStep(m_doc, mhz));
    }

    std::optional<int> channelNumber(int line, const QString& what, const QString& text) {
        bool ok = false;
        const int n = text.toInt(&ok);
        if (!ok || n < 1 || n > ChannelsPerGroup) {
            problem(line, tr2("the %1 \"%2\" is not a channel number from 1 to 60.",
                              "%1“%2”不是 1 至 60 的信道号。")
                              .arg(what, shownCell(text)));
            return std::nullopt;
        }
        return n;
    }

    // Refuses a second row for the same channel of the same group.
    bool unique(const ImportRow& r) {
        const int k = r.group * 100 + r.channelNo;
        const auto it = m_seen.constFind(k);
        if (it == m_seen.cend()) {
            m_seen.insert(k, r.line);
            return true;
        }
        problem(r.line, tr2("channel %1 of group %2 is also on line %3.",
                            "组 %2 的信道 %1 已在第 %3 行出现。")
                            .arg(r.channelNo)
                            .arg(groupLetter(r.group))
                            .arg(*it));
        return false;
    }

    // While the two frequencies of a channel are linked, a row cannot give two different ones.
    bool linkedFrequenciesAgree(const ImportRow& r) {
        const bool linked = m_doc.product().linkedRxTx &&
                            m_doc.config().optionWords[OptionWord::SingleChangeFrequency] == 0;
        if (!linked || !r.tx || *r.tx == r.rx) return true;
        problem(r.line, tr2("TX %1 differs from RX %2, but while the option \"Single Change "
                            "Frequency\" is off the two stay equal.",
                            "TX %1 与 RX %2 不同，但未选“允许独立改变频率”时两者必须相同。")
                            .arg(*r.tx, r.rx));
        return false;
    }

  private:
    const Document& m_doc;
    QChar m_separator;
    QHash<int, int> m_seen;
};

// Where the rows of our own form go: the groups and channel numbers their cells name, or (a
// paste) one group, with channel numbers counted on from firstChannel where no Channel column
// gives them.
struct RowPlaces {
    int group = -1;
    int firstChannel = 0;
};

QList<ImportRow> ownRows(const CsvTable& t, RowChecker& check, RowPlaces places = {}) {
    const Columns c = columnsOf(t.rows.first());
    const int group = c.at("Group"), channel = c.at("Channel"), rx = c.at("RX MHz"),
              tx = c.at("TX MHz"), scan = c.at("Scan");
    QList<ImportRow> rows;
    for (qsizetype i = 1; i < t.rows.size(); ++i) {
        const QStringList& f = t.rows.at(i);
        ImportRow r;
        r.line = t.lineNumbers.at(i);
        bool ok = true;
        r.group = places.group >= 0 ? places.group : groupFromLetter(cell(f, group));
        if (r.group < 0) {
            check.problem(r.line,
                          tr2("the group \"%1\" is not one of A to F.", "组“%1”不是 A 至 F。")
                              .arg(shownCell(cell(f, group))));
            ok = false;
        }
        const QString number = channel < 0 && places.firstChannel > 0
                                   ? QString::number(places.firstChannel + int(i) - 1)
                                   : cell(f, channel);
        const auto n = check.channelNumber(r.line, tr2("channel", "信道"), number);
        ok = ok && n;
        r.channelNo = n.value_or(0);
        const QString rxText = cell(f, rx);
        std::optional<QString> rxShown;
        if (rxText.isEmpty())
            check.problem(r.line, tr2("the RX frequency is missing.", "缺少 RX 频率。"));
        else
            rxShown = check.frequency(r.line, QStringLiteral("RX"), rxText);
        // Without a TX cell (no such column, or a shorter row) the channel keeps its TX; an
        // empty cell is the RX frequency, as in the grid.
        const bool txGiven = tx >= 0 && tx < f.size();
        const QString txText = cell(f, tx);
        const std::optional<QString> txShown =
            txText.isEmpty() ? rxShown : check.frequency(r.line, QStringLiteral("TX"), txText);
        ok = ok && rxShown && txShown;
        r.rx = rxShown.value_or(QString());
        if (txGiven) r.tx = txShown.value_or(QString());
        for (int k = 1; k <= 7; ++k) {
            const int col = c.at(channelFlagName(k));
            const QString v = cell(f, col);
            if (col < 0 || v.isEmpty()) continue;
            r.flags[size_t(k)] = parseFlag(v, false);
            if (!r.flags[size_t(k)]) {
                check.problem(r.line,
                              tr2("%1 \"%2\" is neither 0 nor 1.", "%1“%2”既不是 0 也不是 1。")
                                  .arg(channelFlagName(k), shownCell(v)));
                ok = false;
            }
        }
        if (const QString v = cell(f, scan); !v.isEmpty()) {
            r.scan = parseFlag(v, true);
            if (!r.scan) {
                check.problem(r.line, tr2("Scan \"%1\" is neither 0 (Del) nor 1 (Add).",
                                          "Scan“%1”既不是 0（删除）也不是 1（添加）。")
                                          .arg(shownCell(v)));
                ok = false;
            }
        }
        if (ok && check.unique(r) && check.linkedFrequenciesAgree(r)) rows << r;
    }
    return rows;
}

QList<ImportRow> otherToolRows(const CsvTable& t, RowChecker& check, int targetGroup,
                               const QChar separator) {
    const Columns c = columnsOf(t.rows.first());
    const int location = c.at("Location"), frequency = c.at("Frequency"), duplex = c.at("Duplex"),
              offset = c.at("Offset"), skip = c.at("Skip");
    QList<ImportRow> rows;
    for (qsizetype i = 1; i < t.rows.size(); ++i) {
        const QStringList& f = t.rows.at(i);
        ImportRow r;
        r.line = t.lineNumbers.at(i);
        r.group = targetGroup;
        const auto n = check.channelNumber(r.line, QStringLiteral("Location"), cell(f, location));
        r.channelNo = n.value_or(0);
        const QString rxText = cell(f, frequency);
        std::optional<double> rx = parseMhz(rxText, separator);
        if (!rx)
            check.problem(r.line, tr2("the frequency \"%1\" is not a number.", "频率“%1”不是数字。")
                                      .arg(shownCell(rxText)));
        const QString d = cell(f, duplex).toLower();
        const QString offsetText = cell(f, offset);
        std::optional<double> off =
            offsetText.isEmpty() ? std::optional<double>(0.0) : parseMhz(offsetText, separator);
        std::optional<double> tx;
        if (d.isEmpty() || d == QLatin1String("none")) {
            // Simplex: TX is RX.
        } else if (d != QLatin1String("+") && d != QLatin1String("-") &&
                   d != QLatin1String("split")) {
            check.problem(r.line, tr2("the duplex \"%1\" cannot be programmed (only +, -, split "
                                      "or empty).",
                                      "双工方式“%1”无法写入（只能是 +、-、split 或空）。")
                                      .arg(shownCell(cell(f, duplex))));
        } else if (!off) {
            check.problem(r.line, tr2("the offset \"%1\" is not a number.", "偏移“%1”不是数字。")
                                      .arg(shownCell(offsetText)));
        } else if (rx) {
            if (d == QLatin1String("+"))
                tx = std::nearbyint((*rx + *off) * 1e6) / 1e6;
            else if (d == QLatin1String("-"))
                tx = std::nearbyint((*rx - *off) * 1e6) / 1e6;
            else
                tx = *off;
        }
        const std::optional<QString> rxShown =
            rx ? check.inBand(r.line, QStringLiteral("RX"), *rx) : std::nullopt;
        const bool simplex = d.isEmpty() || d == QLatin1String("none");
        const std::optional<QString> txShown = simplex ? rxShown
                                               : tx
                                                   ? check.inBand(r.line, QStringLiteral("TX"), *tx)
                                                   : std::nullopt;
        r.rx = rxShown.value_or(QString());
        r.tx = txShown.value_or(QString());
        if (skip >= 0)
            r.scan = int16_t(
                cell(f, skip).compare(QLatin1String("S"), Qt::CaseInsensitive) == 0 ? 0 : 1);
        if (n && rxShown && txShown && check.unique(r) && check.linkedFrequenciesAgree(r))
            rows << r;
    }
    return rows;
}

} // namespace

CsvTable parseCsv(const QByteArray& data) {
    QString text = QString::fromUtf8(data);
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);

    CsvTable t;
    // The separator is the one the header line uses most, outside quotes.
    const qsizetype headerEnd = text.indexOf(QLatin1Char('\n'));
    const QString header = text.left(headerEnd < 0 ? text.size() : headerEnd);
    int counts[3] = {0, 0, 0};
    bool quoted = false;
    for (QChar ch : header) {
        if (ch == QLatin1Char('"'))
            quoted = !quoted;
        else if (!quoted && ch == QLatin1Char(','))
            ++counts[0];
        else if (!quoted && ch == QLatin1Char(';'))
            ++counts[1];
        else if (!quoted && ch == QLatin1Char('\t'))
            ++counts[2];
    }
    if (counts[1] > counts[0] && counts[1] >= counts[2])
        t.separator = QLatin1Char(';');
    else if (counts[2] > counts[0] && counts[2] > counts[1])
        t.separator = QLatin1Char('\t');

    QStringList row;
    QString field;
    int line = 1;
    int rowLine = 1;
    quoted = false;
    bool rowHasText = false;
    auto endRow = [&] {
        row << field;
        if (rowHasText) {
            t.rows << row;
            t.lineNumbers << rowLine;
        }
        row.clear();
        field.clear();
        rowHasText = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (quoted) {
            if (ch == QLatin1Char('"')) {
                if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                    field += ch;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                if (ch == QLatin1Char('\n')) ++line;
                field += ch;
            }
            continue;
        }
        if (ch == QLatin1Char('"') && field.trimmed().isEmpty()) {
            field.clear();
            quoted = true;
            rowHasText = true;
        } else if (ch == t.separator) {
            row << field;
            field.clear();
        } else if (ch == QLatin1Char('\n')) {
            endRow();
            rowLine = ++line;
        } else if (ch != QLatin1Char('\r')) {
            field += ch;
            if (!ch.isSpace()) rowHasText = true;
        }
    }
    endRow();
    return t;
}

QByteArray csvLine(const QStringList& fields) {
    QByteArray out;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0) out += ',';
        QString f = fields.at(i);
        if (f.contains(QLatin1Char(',')) || f.contains(QLatin1Char('"')) ||
            f.contains(QLatin1Char('\n')) || f.contains(QLatin1Char(';'))) {
            f.replace(QLatin1String("\""), QLatin1String("\"\""));
            f = QLatin1Char('"') + f + QLatin1Char('"');
        }
        out += f.toUtf8();
    }
    return out + "\r\n";
}

ChannelCsvKind channelCsvKind(const CsvTable& table) {
    if (table.rows.isEmpty()) return ChannelCsvKind::Unknown;
    const Columns c = columnsOf(table.rows.first());
    if (c.at("Group") >= 0 && c.at("Channel") >= 0 && c.at("RX MHz") >= 0)
        return ChannelCsvKind::Own;
    if (c.at("Location") >= 0 && c.at("Frequency") >= 0) return ChannelCsvKind::OtherTool;
    return ChannelCsvKind::Unknown;
}

namespace {
// The cells of one channel in our own form.
QStringList ownFields(const Document& doc, int g, const ChannelEntry& e) {
    QStringList f{groupLetter(g), QString::number(e.channelNo),
                  listedFrequency(doc, e.rxFreq.raw()), listedFrequency(doc, e.txFreq.raw())};
    for (int i = 1; i <= 7; ++i)
        f << QString::number(e.channelFlags[size_t(i)]);
    return f << QString::number(e.scanFlag);
}

// Stores valid rows: a channel that exists keeps what its row does not give, a new one starts
// as a channel typed into the grid does.
ChannelEntry storedRow(Document& doc, const ImportRow& r) {
    const int place = findChannelPlace(doc, r.group, r.channelNo);
    ChannelEntry e;
    if (place > 0) {
        e = doc.config().entry(r.group, place);
    } else {
        e.channelNo = int16_t(r.channelNo);
        e.inUse = 1;
        e.scanFlag = 1;
        e.channelFlags[3] = 1; // ECHO
    }
    // A new channel, or one whose frequencies are linked, takes RX as TX when the row gives none.
    const bool linked = doc.product().linkedRxTx &&
                        doc.config().optionWords[OptionWord::SingleChangeFrequency] == 0;
    e.rxFreq.assign(storedFrequency(doc, r.rx));
    if (r.tx || place <= 0 || linked) e.txFreq.assign(storedFrequency(doc, r.tx.value_or(r.rx)));
    for (int k = 1; k <= 7; ++k)
        if (r.flags[size_t(k)]) e.channelFlags[size_t(k)] = *r.flags[size_t(k)];
    if (r.scan) e.scanFlag = *r.scan;
    return e;
}
} // namespace

QByteArray exportChannelsCsv(const Document& doc) {
    QByteArray out = csvLine(ownHeader());
    for (int g = 0; g < GroupCount; ++g) {
        const int count =
            std::clamp<int>(doc.config().groupChannelCount[size_t(g)], 0, ChannelsPerGroup);
        for (int k = 1; k <= count; ++k)
            out += csvLine(ownFields(doc, g, doc.config().entry(g, k)));
    }
    return out;
}

QByteArray channelRowsText(const Document& doc, int group, const QList<int>& channelNos) {
    QByteArray out = ownHeader().join(QLatin1Char('\t')).toUtf8() + '\n';
    for (int n : channelNos)
        if (const int place = findChannelPlace(doc, group, n); place > 0)
            out += ownFields(doc, group, doc.config().entry(group, place))
                       .join(QLatin1Char('\t'))
                       .toUtf8() +
                   '\n';
    return out;
}

ChannelImportResult pasteChannelRows(Document& doc, const QByteArray& text, int group,
                                     int firstChannel) {
    ChannelImportResult result;
    if (text.size() > MaxChannelListBytes) {
        result.problems << tr2("The clipboard holds text ", "剪贴板中的文本") + tooLargeText();
        return result;
    }
    CsvTable table = parseCsv(text);
    if (table.rows.isEmpty()) {
        result.problems << tr2("The clipboard holds no channels.", "剪贴板中没有信道。");
        return result;
    }
    // Rows without a header line: our own columns from Group on when the first cell is a
    // group letter, else from RX MHz on (frequencies copied out of a spreadsheet).
    const Columns named = columnsOf(table.rows.first());
    if (named.at("RX MHz") < 0) {
        QStringList header = ownHeader();
        if (groupFromLetter(table.rows.first().value(0)) < 0) header = header.mid(2);
        table.rows.prepend(header);
        table.lineNumbers.prepend(0);
    }
    result.kind = ChannelCsvKind::Own;
    RowChecker check(doc, table.separator);
    const QList<ImportRow> rows = ownRows(table, check, {group, firstChannel});
    result.problems = check.problems;
    if (result.problems.isEmpty() && rows.isEmpty())
        result.problems << tr2("The clipboard holds no channels.", "剪贴板中没有信道。");
    if (!result.problems.isEmpty()) return result;

    QList<ChannelEntry> entries;
    for (const ImportRow& r : rows) {
        entries << storedRow(doc, r);
        result.channels << r.channelNo;
    }
    doc.pasteChannels(group, entries);
    result.groups << group;
    result.channelCount = int(rows.size());
    result.ok = true;
    return result;
}

ChannelImportResult importChannelsCsv(Document& doc, const QByteArray& data, int targetGroup) {
    ChannelImportResult result;
    if (data.size() > MaxChannelListBytes) {
        result.problems << tr2("The list is ", "列表") + tooLargeText();
        return result;
    }
    const CsvTable table = parseCsv(data);
    result.kind = channelCsvKind(table);
    if (result.kind == ChannelCsvKind::Unknown) {
        result.problems << tr2("The first line names neither the columns Group, Channel and RX MHz "
                               "nor Location and Frequency: this is not a channel list.",
                               "第一行既没有 Group、Channel、RX MHz 列，也没有 Location、Frequency "
                               "列：这不是信道列表。");
        return result;
    }
    if (result.kind == ChannelCsvKind::OtherTool &&
        (targetGroup < 0 || targetGroup >= GroupCount)) {
        result.problems << tr2("Choose the group (A to F) that the channels go into.",
                               "请选择信道要导入的组（A 至 F）。");
        return result;
    }
    RowChecker check(doc, table.separator);
    const QList<ImportRow> rows = result.kind == ChannelCsvKind::Own
                                      ? ownRows(table, check)
                                      : otherToolRows(table, check, targetGroup, table.separator);
    result.problems = check.problems;
    if (result.problems.isEmpty() && rows.isEmpty())
        result.problems << tr2("The file holds no channels.", "文件中没有信道。");
    if (!result.problems.isEmpty()) return result;

    // Every row is valid: build each named group anew from its rows, in the file's order.
    std::array<QList<ChannelEntry>, GroupCount> groups;
    for (const ImportRow& r : rows)
        groups[size_t(r.group)] << storedRow(doc, r);
    for (int g = 0; g < GroupCount; ++g) {
        const QList<ChannelEntry>& list = groups[size_t(g)];
        if (list.isEmpty()) continue;
        result.groups << g;
        result.channelCount += int(list.size());
    }
    doc.importChannels(groups);
    result.ok = true;
    return result;
}

FileRead readChannelListFile(const QString& path) {
    FileRead f = readRegularFile(path, MaxChannelListBytes + 1);
    if (f.ok() && f.bytes.size() > MaxChannelListBytes) {
        f.bytes.clear();
        f.problem = tr2("The file \"%1\" is ", "文件“%1”").arg(path) + tooLargeText();
    }
    return f;
}

QString importedChannelsText(const ChannelImportResult& r) {
    QStringList groups;
    for (int g : r.groups)
        groups << groupLetter(g);
    const QString text =
        r.channelCount == 1
            ? tr2("%1 channel imported into group %2.", "已导入 %1 个信道到组 %2。")
            : tr2("%1 channels imported into group %2.", "已导入 %1 个信道到组 %2。");
    return text.arg(r.channelCount).arg(groups.join(QLatin1String(", ")));
}
