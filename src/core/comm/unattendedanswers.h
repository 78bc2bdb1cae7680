#pragma once

#include "core/config/messages.h"

#include <QObject>

// Answers a radio session's questions when nobody is at the keyboard (the command-line
// companions, the several-radio runs): running the command is the consent to read or write;
// "check the connection" is answered Retry (OK at the restart question) while the radio's
// retries last, then Cancel; the model question as the overwrite option says; every other
// question Cancel. Each session gets its own, so that radios programmed at once keep their own
// retries. Every message it answers (all but the consents) is reported through shown(), for the
// caller to print or keep.
class UnattendedAnswers : public QObject, public MessageService {
    Q_OBJECT
  public:
    // What the answer to a "check the connection" question was.
    enum class Retry { NotAsked, TryingAgain, GivingUp };

    explicit UnattendedAnswers(int retries = 0, bool overwrite = false, QObject* parent = nullptr);

    // The Retry answers left for the radio; a new radio starts with its own count.
    void setRetries(int retries) { m_retries = retries; }
    int retries() const { return m_retries; }
    void setOverwrite(bool overwrite) { m_overwrite = overwrite; }

    MsgAnswer ask(const MessageRequest& request) override;

  signals:
    void shown(const MessageRequest& request, UnattendedAnswers::Retry retry);

  private:
    int m_retries;
    bool m_overwrite;
};
