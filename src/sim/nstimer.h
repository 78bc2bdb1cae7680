#pragma once

#include <QObject>

class QSocketNotifier;

// A one-shot timer with nanosecond resolution (a timerfd watched by the event loop), so that
// a paced line keeps its byte times to a few microseconds instead of whole milliseconds.
class NsTimer : public QObject {
    Q_OBJECT
  public:
    explicit NsTimer(QObject* parent = nullptr);
    ~NsTimer() override;

    // Fires once, ns nanoseconds from now (at once for 0 or less).
    void startIn(qint64 ns);
    void stop();
    bool isActive() const { return m_active; }

  signals:
    void timeout();

  private:
    int m_fd = -1;
    QSocketNotifier* m_notifier = nullptr;
    bool m_active = false;
};
