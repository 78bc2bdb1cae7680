#include "testsupport.h"

#include "core/comm/session.h"

#include <QEventLoop>
#include <QTimer>

ScriptedMessages::ScriptedMessages() {
    setMessageService(this);
}
ScriptedMessages::~ScriptedMessages() {
    setMessageService(nullptr);
}

MsgAnswer ScriptedMessages::ask(const MessageRequest& request) {
    asked.append(request);
    if (whileOpen) whileOpen(request);
    if (!answers.isEmpty()) return answers.takeFirst();
    return request.buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Cancel;
}

QStringList ScriptedMessages::texts() const {
    QStringList out;
    for (const auto& r : asked)
        out << r.text;
    return out;
}

bool waitForSessionEnd(RadioSession& session, int msecs) {
    if (session.busy()) {
        QEventLoop loop;
        QTimer::singleShot(msecs, &loop, &QEventLoop::quit);
        QObject::connect(&session, &RadioSession::finished, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return !session.busy();
}
