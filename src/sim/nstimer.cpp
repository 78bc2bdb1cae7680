#include "nstimer.h"

#include <QSocketNotifier>

#include <sys/timerfd.h>
#include <unistd.h>

NsTimer::NsTimer(QObject* parent) : QObject(parent) {
    m_fd = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_fd < 0) qFatal("virtual-radio: timerfd_create failed");
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        quint64 expirations = 0;
        if (::read(m_fd, &expirations, sizeof expirations) != sizeof expirations) return;
        if (!m_active) return;
        m_active = false;
        emit timeout();
    });
}

NsTimer::~NsTimer() {
    if (m_fd >= 0) ::close(m_fd);
}

void NsTimer::startIn(qint64 ns) {
    if (ns < 1000) ns = 1000; // a zero value would disarm the timer
    itimerspec spec{};
    spec.it_value.tv_sec = time_t(ns / 1'000'000'000);
    spec.it_value.tv_nsec = long(ns % 1'000'000'000);
    ::timerfd_settime(m_fd, 0, &spec, nullptr);
    m_active = true;
}

void NsTimer::stop() {
    itimerspec spec{};
    ::timerfd_settime(m_fd, 0, &spec, nullptr);
    m_active = false;
}
