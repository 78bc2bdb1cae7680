#include "documentstate.h"

#include <QFileInfo>
#include <cstddef>
#include <cstring>
#include <type_traits>

static_assert(std::is_trivially_copyable_v<RadioConfig>,
              "the record is compared and restored byte by byte");

namespace {
// Equal bytes shorter than this between two differences join them into one run: a run's own
// cost is larger than a few bytes kept twice.
constexpr int JoinGap = 16;

const char* bytesOf(const RadioConfig& c) {
    return reinterpret_cast<const char*>(&c);
}

// Copies every byte, padding included, so that two copies of the same record compare equal.
void copyBytes(RadioConfig& to, const RadioConfig& from) {
    std::memcpy(static_cast<void*>(&to), &from, sizeof(RadioConfig));
}

template <class T> std::optional<std::pair<T, T>> changed(const T& before, const T& after) {
    if (before == after) return std::nullopt;
    return std::make_pair(before, after);
}

template <class T> void put(T& target, const std::optional<std::pair<T, T>>& change, bool forward) {
    if (change) target = forward ? change->second : change->first;
}
} // namespace

SharedFileState FileState::of(const Document& doc) {
    auto f = std::make_shared<FileState>();
    f->fileName = doc.fileName();
    f->loadedVersion = doc.loadedVersion();
    f->untitled = doc.isUntitled();
    copyBytes(f->snapshot, doc.snapshot());
    return f;
}

bool FileState::sameAs(const FileState& other) const {
    return fileName == other.fileName && loadedVersion == other.loadedVersion &&
           untitled == other.untitled &&
           std::memcmp(bytesOf(snapshot), bytesOf(other.snapshot), sizeof(RadioConfig)) == 0;
}

bool FileState::isFile(const QString& path) const {
    return !untitled &&
           QFileInfo(fileName).absoluteFilePath() == QFileInfo(path).absoluteFilePath();
}

void FileState::putInto(Document& doc) const {
    doc.m_fileName = fileName;
    doc.m_loadedVersion = loadedVersion;
    doc.m_untitled = untitled;
    copyBytes(doc.m_snapshot, snapshot);
}

DocumentState DocumentState::of(const Document& doc) {
    DocumentState s;
    copyBytes(s.config, doc.config());
    s.model = doc.model();
    s.band = doc.band();
    s.file = FileState::of(doc);
    return s;
}

QList<StateChange::Run> StateChange::runsBetween(const RadioConfig& before,
                                                 const RadioConfig& after) {
    // The shown group is left out of the comparison.
    RadioConfig old;
    copyBytes(old, before);
    old.currentGroup = after.currentGroup;
    const char* a = bytesOf(old);
    const char* b = bytesOf(after);
    constexpr int size = int(sizeof(RadioConfig));
    QList<Run> runs;
    int i = 0;
    while (i < size) {
        if (a[i] == b[i]) {
            ++i;
            continue;
        }
        const int start = i;
        int end = i + 1; // one past the last differing byte
        // The run goes on while another difference follows within JoinGap bytes.
        for (int j = end; j < size && j < end + JoinGap; ++j)
            if (a[j] != b[j]) end = j + 1;
        runs.append(
            {start, QByteArray(a + start, end - start), QByteArray(b + start, end - start)});
        i = end;
    }
    return runs;
}

void StateChange::applyRuns(RadioConfig& record, const QList<Run>& runs, bool forward) {
    char* bytes = reinterpret_cast<char*>(&record);
    for (const Run& r : runs) {
        const QByteArray& v = forward ? r.after : r.before;
        std::memcpy(bytes + r.offset, v.constData(), size_t(v.size()));
    }
}

StateChange StateChange::between(const DocumentState& before, const DocumentState& after) {
    StateChange c;
    c.m_config = runsBetween(before.config, after.config);
    c.m_model = changed(before.model, after.model);
    c.m_band = changed(before.band, after.band);
    if (before.file != after.file && !before.file->sameAs(*after.file))
        c.m_file = std::make_pair(before.file, after.file);
    return c;
}

bool StateChange::isEmpty() const {
    return m_config.isEmpty() && !m_model && !m_band && !m_file;
}

void StateChange::apply(Document& doc, bool forward) const {
    applyRuns(doc.m_config, m_config, forward);
    put(doc.m_model, m_model, forward);
    put(doc.m_band, m_band, forward);
    if (m_file) file(forward)->putInto(doc);
    if (m_band) doc.deriveLimits();
}

SharedFileState StateChange::file(bool forward) const {
    if (!m_file) return nullptr;
    return forward ? m_file->second : m_file->first;
}

void StateChange::fileSaved(const SharedFileState& saved) {
    if (!m_file) return;
    for (SharedFileState* side : {&m_file->first, &m_file->second})
        if ((*side)->isFile(saved->fileName)) *side = saved;
}

qsizetype StateChange::memoryUse() const {
    qsizetype bytes = qsizetype(sizeof(StateChange));
    for (const Run& r : m_config)
        bytes += qsizetype(sizeof(Run)) + 2 * (r.before.size() + 32); // 32: array header
    for (const auto* texts : {&m_model, &m_band})
        if (*texts) bytes += 2 * (texts->value().first.size() + texts->value().second.size());
    return bytes;
}

void Document::restoreStep(const StateChange& change, bool forward, int group) {
    change.apply(*this, forward);
    setCurrentGroup(group);
    emit notifier().configurationReplaced();
}
