#pragma once

#include "core/config/messages.h"
#include "core/product/product.h"

#include <QMetaType>

#include <QList>
#include <QString>
#include <atomic>
#include <functional>
#include <thread>

// Answers message boxes from a script and remembers what was asked. Installs itself as the
// message service for its lifetime.
class ScriptedMessages : public MessageService {
  public:
    ScriptedMessages();
    ~ScriptedMessages() override;

    MsgAnswer ask(const MessageRequest& request) override;

    // Answers used in order; when they run out, plain messages get OK and questions Cancel.
    QList<MsgAnswer> answers;
    QList<MessageRequest> asked;
    // Runs while a box is open, before it is answered (what happens while the user reads it).
    std::function<void(const MessageRequest&)> whileOpen;

    QStringList texts() const;
    void clear() { asked.clear(); }
};

class RadioSession;
// Runs the event loop until the session's operation ends, at most msecs (qWaitFor would sleep
// between frames). True when it ended.
bool waitForSessionEnd(RadioSession& session, int msecs);

// Data-driven tests name the product of a row.
Q_DECLARE_METATYPE(const Product*)

// A FIFO for a test that must never wait on it. Should the code under test open it for reading
// and block, a writer comes by after releaseAfterMs and again every few milliseconds, so the
// read ends with nothing and the test fails instead of hanging. Removed at the end.
class UnblockedFifo {
  public:
    explicit UnblockedFifo(const QString& path, int releaseAfterMs = 3000);
    ~UnblockedFifo();
    bool created() const { return m_created; }

  private:
    QByteArray m_path;
    bool m_created = false;
    std::atomic_bool m_stop{false};
    std::thread m_releaser;
};
