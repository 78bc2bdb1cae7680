#include "edithistory.h"

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

void EditHistory::documentSaved() {
    const DocumentState now = DocumentState::of(m_doc);
    m_recorded.snapshot = now.snapshot;
    m_recorded.fileName = now.fileName;
    m_recorded.loadedVersion = now.loadedVersion;
    m_recorded.untitled = now.untitled;
}

void EditHistory::record(const QString& caption) {
    DocumentState now = DocumentState::of(m_doc);
    StateChange change = StateChange::between(m_recorded, now);
    m_recorded = std::move(now);
    if (change.isEmpty()) return;
    const int group = m_doc.config.currentGroupIndex();
    m_stack.push(new StateStep(*this, std::move(change), group, caption));
}

void EditHistory::undo() {
    m_stack.undo();
}

void EditHistory::redo() {
    m_stack.redo();
}

void EditHistory::restore(const StateChange& change, int group, bool forward) {
    change.apply(m_doc, forward);
    m_doc.config.currentGroup = int16_t(group);
    m_recorded = DocumentState::of(m_doc);
    emit m_doc.notifier().configurationReplaced();
    emit restored();
}

qsizetype EditHistory::memoryUse() const {
    qsizetype bytes = 0;
    for (int i = 0; i < m_stack.count(); ++i)
        bytes += static_cast<const StateStep*>(m_stack.command(i))->memoryUse();
    return bytes;
}
