#pragma once

#include "keptfiles.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QString>

// The record of one radio session as a dealer sends it with a problem report: which program
// talked to which port for what, then every frame sent and every chunk of bytes received with
// its time since the start, plus notes (time-outs, questions and their answers, how it ended):
//
//   meridox session trace
//   Program: meridox 1.0.0
//   Port: /dev/ttyUSB0
//   Operation: read
//   Started: 2026-12-08T23:15:00.123+01:00
//
//   +     0.021 ms  TX  50 52 4F 47 52 41 4D
//   +     1.184 ms  RX  06
//   +   301.502 ms  --  no reply within 300 ms (step 4)
//   +  2054.900 ms  --  end: success
//
// Each session's trace is written, line by line, into a new file of the trace folder (the
// newest ten are kept); a copy can go to a file the user names as well.
class SessionTrace {
  public:
    SessionTrace(const Product& p, KeptFolder folder);
    explicit SessionTrace(const Product& p) : SessionTrace(p, traceFolder(p)) {}
    ~SessionTrace();
    SessionTrace(const SessionTrace&) = delete;
    SessionTrace& operator=(const SessionTrace&) = delete;

    // A further file each following session's trace is written to at its end (empty: none).
    void setCopyPath(const QString& path) { m_copyPath = path; }

    void begin(const QString& port, int commType);
    void sent(const QByteArray& bytes);
    void received(const QByteArray& bytes);
    void note(const QString& text);
    // Closes the session's trace with its result ("success" or why it failed).
    void end(const QString& result);

    bool active() const { return m_active; }
    // The kept file of the last session (empty when it could not be made).
    QString keptPath() const { return m_keptPath; }
    // What went wrong writing the last session's kept trace, and its copy; empty when nothing.
    QString lastError() const { return m_error; }
    QString copyError() const { return m_copyError; }

  private:
    void line(const char* kind, const QString& text);
    void append(const QByteArray& text);

    const Product& m_product;
    KeptFolder m_folder;
    QString m_copyPath;
    QFile m_file;
    QByteArray m_copy; // the trace so far, while a copy is asked for
    QElapsedTimer m_clock;
    qint64 m_written = 0;
    bool m_truncated = false;
    bool m_active = false;
    QString m_keptPath;
    QString m_error;
    QString m_copyError;
};

// The operation's name in a trace ("read", "write", "information read", ...).
QString traceOperationName(int commType);
