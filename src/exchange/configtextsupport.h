#pragma once

#include "core/config/radioconfig.h"
#include "core/product/product.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <yaml-cpp/yaml.h>

// Helpers shared by the sections of the configuration text (configtext.h).
//
// Each section is a pair of free functions, written and read in a fixed order by the top level:
//     void writeXxx(ConfigTextWriter& w, const Product& p, const RadioConfig& c);
//     void readXxx(ConfigTextReader& r, const Product& p, RadioConfig& c);
// The writer is positioned inside the top-level map: a section writes its own key and its
// content, e.g.
//     w.beginMap("scan");
//     w.listed("mode", c.scanWords[0], {"Off", "Priority", ...});  // "Off", or raw with comment
//     w.check("beep", c.scanWords[5]);                                // "Disable" / "Enable"
//     w.endMap();
// The reader r is the top-level map. A section takes its key only when present (an omitted
// key keeps the base's value, which c already holds) and says which keys it knows:
//     if (ConfigTextReader s = r.child("scan"); s.isMap()) {
//         s.listed("mode", {"Off", "Priority", ...}, c.scanWords[0]);
//         s.check("beep", c.scanWords[5]);
//         s.rejectUnknownKeys();   // every key of the map not taken above is a problem
//     }
// The value readers leave the target alone when the key is absent and record a problem
// (with line and path) when the value is wrong; the top level gives no record when any section
// found a problem, so a section may write into c freely.

class ConfigTextWriter {
  public:
    ConfigTextWriter();

    // Maps and lists under a key of the current map, or (no key) as the next item of a list.
    // flow: on one line, {a: 1, b: 2} / [1, 2] (one channel per line).
    void beginMap(const QString& key = {}, bool flow = false);
    void endMap();
    void beginList(const QString& key = {}, bool flow = false);
    void endList();

    // Plain values.
    void integer(const QString& key, int value);
    void number(const QString& key, const QString& text); // a number as text ("28.015000")
    void string(const QString& key, const QString& text); // always double-quoted
    // A value the windows offer in a list: its text (entries[value - offset]); a value no
    // entry stands for is written as its number with the comment "not offered by the window".
    void listed(const QString& key, int value, const QStringList& entries, int offset = 0);
    // A check box or on/off list: 0 "Disable", 1 "Enable", anything else raw.
    void check(const QString& key, int value);
    // A fixed-width text. spacePadded: as the window shows it, trailing spaces dropped (a text
    // padded with spaces); nulTerminated: shown up to its character 0 (then spaces). A text
    // that does not have that form is written exactly as {stored: "..."}.
    enum class TextForm { SpacePadded, NulTerminated };
    void text(const QString& key, const QByteArray& raw, TextForm form);
    // Bytes the windows never show, as hexadecimal text.
    void hex(const QString& key, const QByteArray& bytes);
    // A comment after the value just written.
    void comment(const QString& text);

    // Items of a list: the same calls with an empty key.
    YAML::Emitter& emitter() { return m_out; }
    QByteArray text() const;

  private:
    void key(const QString& key);
    void endFlow();
    YAML::Emitter m_out;
    int m_flowDepth = 0;
    QString m_lastKey;
    QStringList m_openKeys;     // keys of the maps and lists being written
    QStringList m_flowComments; // comments of values inside a flow map, written after it
};

// A position in the text being read: its node, the path that names it in problems
// ("groups.B.channels[7].rx") and the list of problems. Copies share the problem list.
class ConfigTextReader {
  public:
    ConfigTextReader(const YAML::Node& node, const QString& path,
                     std::shared_ptr<QStringList> problems);

    bool isPresent() const { return m_node.IsDefined() && !m_node.IsNull(); }
    bool isMap() const { return m_node.IsMap(); }
    bool isList() const { return m_node.IsSequence(); }
    bool isScalar() const { return m_node.IsScalar(); }
    int size() const { return int(m_node.size()); }
    const YAML::Node& node() const { return m_node; }
    const QString& path() const { return m_path; }
    // The scalar's text (UTF-8).
    QString scalar() const;
    // True for a scalar written in quotes ("Enable", 'x').
    bool isQuoted() const;

    // Whether the map has key, and its value (marked as known). Absent: !isPresent().
    bool has(const QString& key) const;
    ConfigTextReader child(const QString& key) const;
    ConfigTextReader item(int index) const;
    // The keys of a map, in their order in the text.
    QStringList keys() const;
    // Marks a key as known without reading it.
    void accept(const QString& key) const;

    // "line 12: groups.B.channels[7].rx: why" (or without line when the node has none).
    void problem(const QString& why) const;
    // The problem of a child key that is missing or wrong: "line N: path.key: why".
    void problemAt(const QString& key, const QString& why) const;
    // Every key of this map not asked for by child/has/accept is reported as unknown.
    void rejectUnknownKeys() const;
    // Problems so far (of the whole text).
    int problemCount() const { return int(m_problems->size()); }

    // Value readers over a child key: absent leaves target as it is; a wrong value is a problem
    // and leaves target alone. They give true when the key was present and its value taken.
    bool integer(const QString& key, int min, int max, int16_t& target) const;
    bool integer32(const QString& key, qint64 min, qint64 max, int32_t& target) const;
    bool listed(const QString& key, const QStringList& entries, int16_t& target,
                int offset = 0) const;
    bool check(const QString& key, int16_t& target) const;
    template <int N>
    bool text(const QString& key, ConfigTextWriter::TextForm form, FixedText<N>& target) const {
        QByteArray bytes;
        if (!textBytes(key, form, N, bytes)) return false;
        std::copy(bytes.begin(), bytes.end(), target.bytes.begin());
        return true;
    }
    bool hex(const QString& key, int size, QByteArray& target) const;

    // Value readers over this node itself (for list items).
    std::optional<qint64> asInteger(qint64 min, qint64 max) const;
    // A listed value: the index of its text plus offset, or a raw number.
    std::optional<int> asListed(const QStringList& entries, int offset = 0) const;

  private:
    bool textBytes(const QString& key, ConfigTextWriter::TextForm form, int size,
                   QByteArray& out) const;
    YAML::Node m_node;
    QString m_path;
    std::shared_ptr<QStringList> m_problems;
    std::shared_ptr<QSet<QString>> m_known; // keys of this map asked for
};

// The exact bytes of a fixed-width text field for the text of form (see ConfigTextWriter::text).
QByteArray fixedTextBytes(const QString& shown, ConfigTextWriter::TextForm form, int size);

// The two texts of a check box.
const QStringList& disableEnableTexts();

// --- The sections, in the order of the text -----------------------------------------------
// Model and band, the six groups with their channels and emergency channels.
void writeGroups(ConfigTextWriter& w, const Product& p, const RadioConfig& c);
void readGroups(ConfigTextReader& r, const Product& p, RadioConfig& c);
// Every option of the optional features window by its caption (not the emergency channels,
// option words 24..29, which belong to the groups).
void writeOptions(ConfigTextWriter& w, const Product& p, const RadioConfig& c);
void readOptions(ConfigTextReader& r, const Product& p, RadioConfig& c);
void writeKeyAssignment(ConfigTextWriter& w, const Product& p, const RadioConfig& c);
void readKeyAssignment(ConfigTextReader& r, const Product& p, RadioConfig& c);
void writeScan(ConfigTextWriter& w, const Product& p, const RadioConfig& c);
void readScan(ConfigTextReader& r, const Product& p, RadioConfig& c);
void writeDtmf(ConfigTextWriter& w, const Product& p, const RadioConfig& c);
void readDtmf(ConfigTextReader& r, const Product& p, RadioConfig& c);
void writeFleetSync(ConfigTextWriter& w, const Product& p, const RadioConfig& c);
void readFleetSync(ConfigTextReader& r, const Product& p, RadioConfig& c);
void writeTestFrequencies(ConfigTextWriter& w, const Product& p, const RadioConfig& c);
void readTestFrequencies(ConfigTextReader& r, const Product& p, RadioConfig& c);
// The message lines, the radio information and the bytes of the record no window shows.
void writeMessageLines(ConfigTextWriter& w, const Product& p, const RadioConfig& c);
void readMessageLines(ConfigTextReader& r, const Product& p, RadioConfig& c);
void writeRadioInformation(ConfigTextWriter& w, const Product& p, const RadioConfig& c);
void readRadioInformation(ConfigTextReader& r, const Product& p, RadioConfig& c);
void writeRecordRest(ConfigTextWriter& w, const Product& p, const RadioConfig& c);
void readRecordRest(ConfigTextReader& r, const Product& p, RadioConfig& c);
