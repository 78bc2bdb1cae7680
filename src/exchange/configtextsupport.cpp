#include "configtextsupport.h"

#include <QRegularExpression>
#include <utility>

namespace {

std::string utf8(const QString& s) {
    return s.toStdString();
}

bool isPrintableAscii(const QByteArray& bytes) {
    for (char ch : bytes) {
        if (uchar(ch) < 0x20 || uchar(ch) > 0x7e) return false;
    }
    return true;
}

// A text field's bytes as a string and back: every byte is one character U+0000..U+00FF.
QString bytesAsText(const QByteArray& bytes) {
    return QString::fromLatin1(bytes);
}
std::optional<QByteArray> textAsBytes(const QString& text) {
    for (QChar ch : text) {
        if (ch.unicode() > 0xff) return std::nullopt;
    }
    return text.toLatin1();
}

} // namespace

const QStringList& disableEnableTexts() {
    static const QStringList texts{QStringLiteral("Disable"), QStringLiteral("Enable")};
    return texts;
}

QByteArray fixedTextBytes(const QString& shown, ConfigTextWriter::TextForm form, int size) {
    QByteArray bytes = shown.toLatin1().left(size);
    if (form == ConfigTextWriter::TextForm::NulTerminated && bytes.size() < size)
        bytes.append('\0');
    return bytes.leftJustified(size, ' ', true);
}

// --- Writer --------------------------------------------------------------------------------

ConfigTextWriter::ConfigTextWriter() {
    m_out.SetOutputCharset(YAML::EscapeNonAscii);
    m_out.SetIndent(2);
    m_out << YAML::BeginMap;
}

void ConfigTextWriter::key(const QString& key) {
    if (key.isEmpty()) return;
    m_out << YAML::Key << utf8(key) << YAML::Value;
    m_lastKey = key;
}

void ConfigTextWriter::beginMap(const QString& k, bool flow) {
    key(k);
    m_openKeys.append(k);
    if (flow || m_flowDepth > 0) {
        ++m_flowDepth;
        m_out << YAML::Flow;
    }
    m_out << YAML::BeginMap;
}

void ConfigTextWriter::endMap() {
    m_out << YAML::EndMap;
    endFlow();
}

void ConfigTextWriter::endFlow() {
    // A comment after a map or list names the key that holds it.
    if (!m_openKeys.isEmpty()) m_lastKey = m_openKeys.takeLast();
    if (m_flowDepth > 0 && --m_flowDepth == 0) {
        if (!m_flowComments.isEmpty())
            m_out << YAML::Comment(utf8(m_flowComments.join(QStringLiteral("; "))));
        m_flowComments.clear();
    }
}

void ConfigTextWriter::beginList(const QString& k, bool flow) {
    key(k);
    m_openKeys.append(k);
    if (flow || m_flowDepth > 0) {
        ++m_flowDepth;
        m_out << YAML::Flow;
    }
    m_out << YAML::BeginSeq;
}

void ConfigTextWriter::endList() {
    m_out << YAML::EndSeq;
    endFlow();
}

void ConfigTextWriter::integer(const QString& k, int value) {
    key(k);
    m_out << value;
}

void ConfigTextWriter::number(const QString& k, const QString& text) {
    key(k);
    m_out << utf8(text);
}

void ConfigTextWriter::string(const QString& k, const QString& text) {
    key(k);
    m_out << YAML::DoubleQuoted << utf8(text);
}

void ConfigTextWriter::listed(const QString& k, int value, const QStringList& entries, int offset) {
    const int index = value - offset;
    if (index >= 0 && index < entries.size()) {
        string(k, entries[index]);
        return;
    }
    // A plain number whose text is also an entry's would read back as that entry.
    if (entries.contains(QString::number(value))) {
        beginMap(k, true);
        integer(QStringLiteral("raw"), value);
        endMap();
    } else {
        integer(k, value);
    }
    comment(QStringLiteral("not offered by the window"));
}

void ConfigTextWriter::check(const QString& k, int value) {
    listed(k, value, disableEnableTexts());
}

void ConfigTextWriter::text(const QString& k, const QByteArray& raw, TextForm form) {
    QByteArray shown = raw;
    if (form == TextForm::NulTerminated && raw.contains('\0')) shown.truncate(raw.indexOf('\0'));
    if (form == TextForm::SpacePadded) {
        while (shown.endsWith(' '))
            shown.chop(1);
    }
    if (isPrintableAscii(shown) &&
        fixedTextBytes(QString::fromLatin1(shown), form, int(raw.size())) == raw) {
        string(k, QString::fromLatin1(shown));
        return;
    }
    beginMap(k, true);
    string(QStringLiteral("stored"), bytesAsText(raw));
    endMap();
}

void ConfigTextWriter::hex(const QString& k, const QByteArray& bytes) {
    string(k, QString::fromLatin1(bytes.toHex()));
}

void ConfigTextWriter::comment(const QString& text) {
    // A comment cannot stand inside a map on one line: it follows the map, naming its key.
    if (m_flowDepth > 0)
        m_flowComments.append(m_lastKey + QStringLiteral(": ") + text);
    else
        m_out << YAML::Comment(utf8(text));
}

QByteArray ConfigTextWriter::text() const {
    QByteArray out(m_out.c_str(), int(m_out.size()));
    if (!out.endsWith('\n')) out.append('\n');
    return out;
}

// --- Reader --------------------------------------------------------------------------------

ConfigTextReader::ConfigTextReader(const YAML::Node& node, const QString& path,
                                   std::shared_ptr<QStringList> problems)
    : m_node(node), m_path(path), m_problems(std::move(problems)),
      m_known(std::make_shared<QSet<QString>>()) {}

QString ConfigTextReader::scalar() const {
    return m_node.IsScalar() ? QString::fromStdString(m_node.Scalar()) : QString();
}

bool ConfigTextReader::isQuoted() const {
    return m_node.IsScalar() && m_node.Tag() == "!";
}

bool ConfigTextReader::has(const QString& key) const {
    m_known->insert(key);
    return m_node.IsMap() && std::as_const(m_node)[utf8(key)].IsDefined();
}

ConfigTextReader ConfigTextReader::child(const QString& key) const {
    m_known->insert(key);
    const QString path = m_path.isEmpty() ? key : m_path + QLatin1Char('.') + key;
    // Missing keys give an undefined node; yaml-cpp's own stand-in throws on every question.
    YAML::Node value(YAML::NodeType::Undefined);
    if (m_node.IsMap()) {
        const YAML::Node found = std::as_const(m_node)[utf8(key)];
        if (found.IsDefined()) value.reset(found);
    }
    return ConfigTextReader(value, path, m_problems);
}

ConfigTextReader ConfigTextReader::item(int index) const {
    return ConfigTextReader(std::as_const(m_node)[size_t(index)],
                            m_path + QStringLiteral("[%1]").arg(index), m_problems);
}

QStringList ConfigTextReader::keys() const {
    QStringList out;
    if (!m_node.IsMap()) return out;
    for (const auto& kv : m_node)
        out.append(QString::fromStdString(kv.first.Scalar()));
    return out;
}

void ConfigTextReader::accept(const QString& key) const {
    m_known->insert(key);
}

namespace {
QString lineOf(const YAML::Node& node) {
    if (!node.IsDefined()) return {};
    const YAML::Mark mark = node.Mark();
    if (mark.is_null() || mark.line < 0) return {};
    return QStringLiteral("line %1: ").arg(mark.line + 1);
}
} // namespace

void ConfigTextReader::problem(const QString& why) const {
    const QString where = m_path.isEmpty() ? QString() : m_path + QStringLiteral(": ");
    m_problems->append(lineOf(m_node) + where + why);
}

void ConfigTextReader::problemAt(const QString& key, const QString& why) const {
    ConfigTextReader c = child(key);
    if (!c.m_node.IsDefined()) c.m_node.reset(m_node);
    c.problem(why);
}

void ConfigTextReader::rejectUnknownKeys() const {
    if (!m_node.IsMap()) return;
    QSet<QString> seen;
    for (const auto& kv : m_node) {
        const QString key = QString::fromStdString(kv.first.Scalar());
        // A key is named as typed, up to a length that fits a line of the message.
        const QString shown = key.size() > 40 ? key.left(40) + QStringLiteral("...") : key;
        const QString path = m_path.isEmpty() ? shown : m_path + QLatin1Char('.') + shown;
        // Only the first of two equal keys would be read: the second must not pass unseen.
        if (seen.contains(key))
            m_problems->append(lineOf(kv.first) + path + QStringLiteral(": given twice"));
        else if (!m_known->contains(key))
            m_problems->append(lineOf(kv.first) + path + QStringLiteral(": unknown key"));
        seen.insert(key);
    }
}

std::optional<qint64> ConfigTextReader::asInteger(qint64 min, qint64 max) const {
    bool ok = false;
    const qint64 v = m_node.IsScalar() ? scalar().trimmed().toLongLong(&ok, 10) : 0;
    if (!ok) {
        problem(QStringLiteral("\"%1\" is not a whole number").arg(scalar().left(40)));
        return std::nullopt;
    }
    if (v < min || v > max) {
        problem(QStringLiteral("%1 is outside %2 - %3").arg(v).arg(min).arg(max));
        return std::nullopt;
    }
    return v;
}

std::optional<int> ConfigTextReader::asListed(const QStringList& entries, int offset) const {
    if (m_node.IsMap() && m_node.size() == 1 && std::as_const(m_node)["raw"].IsDefined()) {
        const auto v = child(QStringLiteral("raw")).asInteger(-32768, 32767);
        return v ? std::optional<int>(int(*v)) : std::nullopt;
    }
    if (!m_node.IsScalar()) {
        problem(QStringLiteral("expected one of %1").arg(entries.join(QStringLiteral(", "))));
        return std::nullopt;
    }
    const QString text = scalar();
    const int index = entries.indexOf(text);
    if (index >= 0) return index + offset;
    bool ok = false;
    const int v = text.toInt(&ok, 10);
    if (!isQuoted() && ok && v >= -32768 && v <= 32767) return v;
    problem(QStringLiteral("\"%1\" is not one of %2")
                .arg(text.left(40), entries.join(QStringLiteral(", "))));
    return std::nullopt;
}

bool ConfigTextReader::integer(const QString& key, int min, int max, int16_t& target) const {
    const ConfigTextReader c = child(key);
    if (!c.m_node.IsDefined()) return false;
    const auto v = c.asInteger(min, max);
    if (!v) return false;
    target = int16_t(*v);
    return true;
}

bool ConfigTextReader::integer32(const QString& key, qint64 min, qint64 max,
                                 int32_t& target) const {
    const ConfigTextReader c = child(key);
    if (!c.m_node.IsDefined()) return false;
    const auto v = c.asInteger(min, max);
    if (!v) return false;
    target = int32_t(*v);
    return true;
}

bool ConfigTextReader::listed(const QString& key, const QStringList& entries, int16_t& target,
                              int offset) const {
    const ConfigTextReader c = child(key);
    if (!c.m_node.IsDefined()) return false;
    const auto v = c.asListed(entries, offset);
    if (!v) return false;
    target = int16_t(*v);
    return true;
}

bool ConfigTextReader::check(const QString& key, int16_t& target) const {
    return listed(key, disableEnableTexts(), target);
}

bool ConfigTextReader::textBytes(const QString& key, ConfigTextWriter::TextForm form, int size,
                                 QByteArray& out) const {
    const ConfigTextReader c = child(key);
    if (!c.m_node.IsDefined()) return false;
    if (c.isMap()) {
        const ConfigTextReader stored = c.child(QStringLiteral("stored"));
        c.rejectUnknownKeys();
        const auto bytes = textAsBytes(stored.scalar());
        if (!stored.isScalar() || !bytes || bytes->size() != size) {
            c.problem(QStringLiteral("stored: expected a text of exactly %1 characters").arg(size));
            return false;
        }
        out = *bytes;
        return true;
    }
    const auto bytes = textAsBytes(c.scalar());
    if (!c.isScalar() || !bytes || !isPrintableAscii(*bytes)) {
        c.problem(c.isScalar() ? QStringLiteral("\"%1\": only ASCII letters, digits, spaces and "
                                                "signs can be stored")
                                     .arg(c.scalar().left(40))
                               : QStringLiteral("expected a text"));
        return false;
    }
    if (bytes->size() > size) {
        c.problem(QStringLiteral("\"%1\" is longer than %2 characters").arg(c.scalar()).arg(size));
        return false;
    }
    out = fixedTextBytes(QString::fromLatin1(*bytes), form, size);
    return true;
}

bool ConfigTextReader::hex(const QString& key, int size, QByteArray& target) const {
    const ConfigTextReader c = child(key);
    if (!c.m_node.IsDefined()) return false;
    static const QRegularExpression hexDigits(QStringLiteral("^([0-9a-fA-F]{2})*$"));
    const QString text = c.scalar();
    if (!c.isScalar() || !hexDigits.match(text).hasMatch() || text.size() != size * 2) {
        c.problem(QStringLiteral("expected %1 bytes as hexadecimal digits").arg(size));
        return false;
    }
    target = QByteArray::fromHex(text.toLatin1());
    return true;
}
