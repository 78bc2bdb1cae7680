#pragma once

#include <QObject>
#include <QString>

class QSocketNotifier;

// Ctrl+C (SIGINT), SIGTERM and a closed terminal (SIGHUP) stop the radio sessions instead of
// killing the program, so that every radio is let go with "E" and every log row is written.
// The handler only writes the signal's number into a pipe; the event loop reads it and emits
// stopRequested. A second SIGINT or SIGTERM ends the program the usual way. SIGHUP never does:
// a closed terminal sends it from the shell and from the terminal itself.
//
// A closed terminal also takes standard output and error with it. From the first use on,
// SIGPIPE is ignored, so that writing to a pipe or terminal that is gone fails quietly instead
// of ending the program before the radios are let go.
class StopSignals : public QObject {
    Q_OBJECT
  public:
    // The one instance of the program, installed on first use and kept until the end.
    static StopSignals& instance();

    // The first stop signal that came, 0 when none did.
    int received() const;
    // What happened, for the user: "Stopped by Ctrl+C (SIGINT)."
    static QString describe(int signal);

  signals:
    void stopRequested(int signal);

  private:
    StopSignals();
    QSocketNotifier* m_notifier = nullptr;
};
