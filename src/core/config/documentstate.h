#pragma once

#include "document.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>
#include <utility>

// Everything an undo puts back: the working record with its model and band, and the file the
// configuration belongs to (name, saved snapshot, the version it was loaded with), which a
// read from the radio or Initial Setting replace. The group the grid shows is not part of it:
// choosing a group is no edit.
struct DocumentState {
    RadioConfig config;
    RadioConfig snapshot;
    QString model;
    QString band;
    QString fileName;
    QString loadedVersion;
    bool untitled = true;

    static DocumentState of(const Document& doc);
};

// The difference between two states of the document, kept as the runs of record bytes that
// differ (with both their old and new bytes) and the texts that changed, so that one changed
// channel costs a few dozen bytes however large the record is.
class StateChange {
  public:
    static StateChange between(const DocumentState& before, const DocumentState& after);

    bool isEmpty() const;
    // Puts the state after the change (forward) or before it into the document. Nothing is
    // announced: the caller tells the windows.
    void apply(Document& doc, bool forward) const;
    // Bytes this change keeps in memory.
    qsizetype memoryUse() const;

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
    QList<Run> m_snapshot;
    Pair<QString> m_model, m_band, m_fileName, m_loadedVersion;
    Pair<bool> m_untitled;
};
