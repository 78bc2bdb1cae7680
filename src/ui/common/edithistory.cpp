#include "edithistory.h"

#include <QSet>
#include <QUndoCommand>
#include <algorithm>

// One step: what changed, and the group the grid showed, which an undo shows again so that
// the user sees what came back.
class StateStep : public QUndoCommand {
  public:
    StateStep(EditHistory& history, StateChange change, int group, const QString& caption)
        : QUndoCommand(caption), m_history(history), m_change(std::move(change)), m_group(group) {}

    void undo() override { m_history.restore(m_change, m_group, false); }
    void redo() override {
        // The first redo is the push itself: the document already holds the step.
        if (m_pushed) m_history.restore(m_change, m_group, true);
        m_pushed = true;
    }
    qsizetype memoryUse() const {
        return qsizetype(sizeof(*this)) + m_change.memoryUse() + 2 * text().size();
    }
    StateChange& change() { return m_change; }
    const StateChange& change() const { return m_change; }

  private:
    EditHistory& m_history;
    StateChange m_change;
    int m_group;
    bool m_pushed = false;
};

EditHistory::EditHistory(Document& doc, QObject* parent)
    : QObject(parent), m_doc(doc), m_recorded(DocumentState::of(doc)) {
    m_stack.setUndoLimit(StepLimit);
    connect(&doc.notifier(), &DocumentNotifier::edited, this, &EditHistory::record);
}

void EditHistory::reset() {
    m_stack.clear();
    m_recorded = DocumentState::of(m_doc);
}

StateStep* EditHistory::step(int index) {
    // Every command on the stack is a StateStep this history made.
    return static_cast<StateStep*>(const_cast<QUndoCommand*>(m_stack.command(index)));
}

void EditHistory::documentSaved() {
    const SharedFileState saved = FileState::of(m_doc);
    m_recorded.file = saved;
    // What the file held before is gone: every step that would go back to that file goes back
    // to what it holds now, so the configuration then counts as modified exactly when it
    // differs from the file on disk.
    for (int i = 0; i < m_stack.count(); ++i)
        step(i)->change().fileSaved(saved);
}

void EditHistory::record(const QString& caption) {
    if (m_restoring) return;
    DocumentState now = DocumentState::of(m_doc);
    StateChange change = StateChange::between(m_recorded, now);
    if (!change.file(true)) now.file = m_recorded.file; // one copy of an unchanged file
    m_recorded = std::move(now);
    if (change.isEmpty()) return;
    const int group = m_doc.config().currentGroupIndex();
    m_stack.push(new StateStep(*this, std::move(change), group, caption));
}

void EditHistory::undo() {
    m_stack.undo();
}

void EditHistory::redo() {
    m_stack.redo();
}

void EditHistory::restore(const StateChange& change, int group, bool forward) {
    const SharedFileState file = m_recorded.file;
    // Windows showing the restored record again make no step of their own.
    m_restoring = true;
    m_doc.restoreStep(change, forward, group);
    m_restoring = false;
    m_recorded = DocumentState::of(m_doc);
    m_recorded.file = change.file(forward) ? change.file(forward) : file;
    emit restored();
}

qsizetype EditHistory::memoryUse() const {
    qsizetype bytes = 0;
    QSet<const FileState*> files; // a file kept by several steps counts once
    for (int i = 0; i < m_stack.count(); ++i) {
        const auto* s = static_cast<const StateStep*>(m_stack.command(i));
        bytes += s->memoryUse();
        for (bool forward : {false, true})
            if (const SharedFileState f = s->change().file(forward)) files.insert(f.get());
    }
    for (const FileState* f : files)
        bytes += qsizetype(sizeof(FileState)) + 2 * (f->fileName.size() + f->loadedVersion.size());
    return bytes;
}
