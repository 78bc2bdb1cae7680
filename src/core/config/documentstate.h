#pragma once

#include "document.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <memory>
#include <optional>
#include <utility>

// The file a configuration belongs to: its name (or none yet), the version it was loaded with
// and the snapshot, the record last read from or written to that file, which the modified
// check compares against. The name and the snapshot always travel together: a snapshot of one
// file under the name of another would make the modified check lie about what is on disk.
struct FileState {
    QString fileName;
    QString loadedVersion;
    bool untitled = true;
    RadioConfig snapshot;

    static std::shared_ptr<const FileState> of(const Document& doc);
    bool sameAs(const FileState& other) const;
    // True when this is the named file at path (an untitled configuration names no file).
    bool isFile(const QString& path) const;
    void putInto(Document& doc) const;
};
using SharedFileState = std::shared_ptr<const FileState>;

// Everything an undo puts back: the working record with its model and band, and the file the
// configuration belongs to, which a read from the radio, Initial Setting or a save replace.
// The group the grid shows is not part of it: choosing a group is no edit.
struct DocumentState {
    RadioConfig config;
    QString model;
    QString band;
    SharedFileState file;

    static DocumentState of(const Document& doc);
};

// The difference between two states of the document, kept as the runs of record bytes that
// differ (with both their old and new bytes) and the texts that changed, so that one changed
// channel costs a few dozen bytes however large the record is. When the file changed, both
// files are kept whole (shared, not copied) and an undo or redo puts one back as it is.
class StateChange {
  public:
    static StateChange between(const DocumentState& before, const DocumentState& after);

    bool isEmpty() const;
    // Puts the state after the change (forward) or before it into the document. Nothing is
    // announced: the caller tells the windows.
    void apply(Document& doc, bool forward) const;
    // Bytes this change keeps in memory, without the files it shares.
    qsizetype memoryUse() const;

    // The file after the change (forward) or before it; null when the change kept the file.
    SharedFileState file(bool forward) const;
    // The file at saved's name now holds saved: a side of the change that names that file
    // takes it, so that going back to that side compares against what is on disk.
    void fileSaved(const SharedFileState& saved);

  private:
    struct Run {
        int offset = 0;
        QByteArray before;
        QByteArray after;
    };
    template <class T> using Pair = std::optional<std::pair<T, T>>;

    static QList<Run> runsBetween(const RadioConfig& before, const RadioConfig& after);
    static void applyRuns(RadioConfig& record, const QList<Run>& runs, bool forward);

    QList<Run> m_config;
    Pair<QString> m_model, m_band;
    Pair<SharedFileState> m_file;
};
