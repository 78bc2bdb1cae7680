#include "testsupport.h"

#include "core/comm/session.h"

#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

UnblockedFifo::UnblockedFifo(const QString& path, int releaseAfterMs)
    : m_path(QFile::encodeName(path)) {
    m_created = ::mkfifo(m_path.constData(), 0600) == 0;
    if (!m_created) return;
    m_releaser = std::thread([this, releaseAfterMs] {
        const auto until =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(releaseAfterMs);
        while (!m_stop) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            if (std::chrono::steady_clock::now() < until) continue;
            // Fails at once while nobody reads; opened, it lets a waiting reader go.
            const int fd = ::open(m_path.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) ::close(fd);
        }
    });
}

UnblockedFifo::~UnblockedFifo() {
    m_stop = true;
    if (m_releaser.joinable()) m_releaser.join();
    if (m_created) ::unlink(m_path.constData());
}
