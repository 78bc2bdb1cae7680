#pragma once

#include "core/config/documentstate.h"

#include <QObject>
#include <QUndoStack>

class StateStep;

// The undo history of the open configuration. Every step of the user's editing the document
// reports (Document::finishEdit, EditStep) becomes one entry holding only what the step
// changed; undo and redo put that back and tell every window (configurationReplaced). The
// history does not decide whether the configuration is modified: after an undo the record
// compares against its saved snapshot as after any edit.
class EditHistory : public QObject {
    Q_OBJECT
  public:
    // Steps kept; the oldest go first. A step of a grid edit takes well under a kilobyte.
    static constexpr int StepLimit = 500;

    explicit EditHistory(Document& doc, QObject* parent = nullptr);

    QUndoStack& stack() { return m_stack; }
    const QUndoStack& stack() const { return m_stack; }

    // A fresh history starting from the document as it is now (New, Open, start-up).
    void reset();
    // After a save: the file the document now has is no step of their own, and every step
    // that goes back to a file of that name goes back to what the save wrote.
    void documentSaved();
    // Ends a step named caption when the document differs from the last step's end.
    void record(const QString& caption);

    void undo();
    void redo();

    // Bytes the kept steps hold.
    qsizetype memoryUse() const;

  signals:
    // An undo or redo changed the document (after the windows were told).
    void restored();

  private:
    friend class StateStep;
    StateStep* step(int index);
    void restore(const StateChange& change, int group, bool forward);

    Document& m_doc;
    QUndoStack m_stack;
    DocumentState m_recorded; // the document at the end of the last step
    bool m_restoring = false; // an undo or redo is putting a step back
};
