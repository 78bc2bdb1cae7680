#include "unattendedanswers.h"

UnattendedAnswers::UnattendedAnswers(int retries, bool overwrite, QObject* parent)
    : QObject(parent), m_retries(retries), m_overwrite(overwrite) {}

MsgAnswer UnattendedAnswers::ask(const MessageRequest& r) {
    if (r.id == Msg::ReadConfirm || r.id == Msg::WriteConfirm) return MsgAnswer::Ok;
    MsgAnswer answer = MsgAnswer::Ok;
    Retry retry = Retry::NotAsked;
    if (r.id == Msg::ModelWrongOverwrite) {
        answer = m_overwrite ? MsgAnswer::Ok : MsgAnswer::Cancel;
    } else if (r.id == Msg::CheckConnection) {
        const bool again = m_retries > 0;
        if (again) --m_retries;
        retry = again ? Retry::TryingAgain : Retry::GivingUp;
        // The restart question has only OK and Cancel.
        answer = !again                                 ? MsgAnswer::Cancel
                 : r.buttons == MsgButtons::RetryCancel ? MsgAnswer::Retry
                                                        : MsgAnswer::Ok;
    } else if (r.buttons != MsgButtons::Ok) {
        answer = MsgAnswer::Cancel;
    }
    emit shown(r, retry);
    return answer;
}
