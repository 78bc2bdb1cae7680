#include "stopsignals.h"

#include "core/config/messages.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {
int g_pipe[2] = {-1, -1};
volatile std::sig_atomic_t g_first = 0;

void onStopSignal(int signal) {
    if (g_first == 0) g_first = signal;
    const char byte = char(signal);
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &byte, 1);
}

void install(int signal, bool once) {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART | (once ? SA_RESETHAND : 0);
    ::sigaction(signal, &action, nullptr);
}
} // namespace

StopSignals& StopSignals::instance() {
    static StopSignals* stop = new StopSignals; // lives until the program ends
    return *stop;
}

StopSignals::StopSignals() {
    std::signal(SIGPIPE, SIG_IGN);
    if (::pipe2(g_pipe, O_NONBLOCK | O_CLOEXEC) != 0) return;
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        ssize_t n = 0;
        while ((n = ::read(g_pipe[0], bytes, sizeof bytes)) > 0)
            for (ssize_t i = 0; i < n; ++i)
                emit stopRequested(int(bytes[i]));
    });
    install(SIGINT, true);
    install(SIGTERM, true);
    install(SIGHUP, false);
}

int StopSignals::received() const {
    return int(g_first);
}

QString StopSignals::describe(int signal) {
    switch (signal) {
    case SIGINT:
        return tr2("Stopped by Ctrl+C (SIGINT).", "已按 Ctrl+C（SIGINT）停止。");
    case SIGTERM:
        return tr2("Stopped by SIGTERM.", "已被 SIGTERM 停止。");
    case SIGHUP:
        return tr2("Stopped: the terminal was closed (SIGHUP).", "已停止：终端已关闭（SIGHUP）。");
    default:
        return tr2("Stopped by signal %1.", "已被信号 %1 停止。").arg(signal);
    }
}
