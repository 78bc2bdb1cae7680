#pragma once

#include "core/config/document.h"
#include "seriallink.h"
#include "session.h"
#include "sessiontrace.h"
#include "unattendedanswers.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

// Programming many radios with one configuration: one independent session per port, all on the
// one event loop of the program. Each port has its own link, session, trace, copy of the
// configuration and message answerer, so a radio that fails or asks a question never holds up
// the others.

// What the verify read after a write found.
enum class FleetVerify { NotAsked, Same, Different, Failed };

// What one radio came to.
struct FleetRecord {
    QDateTime started;
    QString port;   // as the user named it (COM3, /dev/ttyUSB0)
    QString device; // the device path used
    // From the radio's identification; empty when the radio never identified itself.
    QString model;
    QString band;
    QString firmware;
    QString serial; // reads and writes do not carry it: empty
    RadioOperation operation = RadioOperation::Idle;
    SessionFailure failure = SessionFailure::None;
    FleetVerify verify = FleetVerify::NotAsked;
    QString file;      // the configuration written, or the file a read was saved to
    QString fileError; // a read that succeeded but could not be saved: why
    QString lastMessage;
    double seconds = 0;
    // The write was stopped after it had sent data: the radio holds part of the new
    // configuration until it is written again.
    bool partlyWritten = false;

    bool succeeded() const {
        return failure == SessionFailure::None && fileError.isEmpty() &&
               (verify == FleetVerify::NotAsked || verify == FleetVerify::Same);
    }
};

struct FleetOptions {
    RadioOperation operation = RadioOperation::Write; // Read or Write
    QByteArray image; // a write sends this raw image instead of the configuration (empty: not)
    QString file;     // the configuration or image written, for the records
    int retries = 0;  // Retry answers per radio before Cancel
    bool overwrite = false; // answer OK to "Model type is wrong. Overwrite?"
    bool verify = false;    // read back what was written
    MemoryDiffer differ;    // names what a verify found different (channels and settings)
    bool repeat = false;    // one radio after another until stopped
    // Where COM1..COM8 are pinned. With repeat, a choice that had no device at the start is
    // looked up again at each try, so that an adapter plugged in later is found.
    QString settingsFile;
};

// One port of a fleet run. Without repeat it runs one session and is done. With repeat it asks
// once a second whether a radio answers PROGRAM (quietly: PROGRAM, then "E" to let it go),
// programs it, then asks once a second until the radio no longer answers (unplugged or
// switched off) before it waits for the next one, until stop().
class FleetPort : public QObject {
    Q_OBJECT
  public:
    enum class State { Idle, WaitingForRadio, Working, WaitingForRemoval, Stopped };

    FleetPort(const Document& doc, QString port, QString device, const FleetOptions& options,
              QObject* parent = nullptr);
    ~FleetPort() override;

    void start();
    // Ends the port's work: a session that runs is cancelled (the radio is let go with "E").
    void stop();
    // Takes no further radio: a session that runs is finished first, then the port ends.
    void stopAfterRadio();

    State state() const { return m_state; }
    const QString& port() const { return m_port; }
    const QString& device() const { return m_device; }
    int percent() const { return m_percent; }
    const std::vector<FleetRecord>& records() const { return m_records; }
    RadioSession& session() { return m_session; }
    // The configuration of the port: after a read, what the radio held.
    Document& document() { return m_doc; }
    SessionTrace& trace() { return m_trace; }

    static constexpr int ProbeIntervalMs = 1000;

  signals:
    // A radio is done and about to be recorded: a receiver connected directly may complete
    // the record (a read saves its file here and names it).
    void radioDone(FleetPort* port, FleetRecord& record);
    void stateChanged(FleetPort::State state);
    void progressChanged(int percent);
    // A message the session showed, in the current language.
    void message(const QString& text);
    void radioFinished(const FleetRecord& record);
    // Nothing more runs on this port.
    void finished();

  private:
    enum class ProbeStep { None, Program, End };

    void setState(State s);
    void startSession();
    void sessionEnded(bool success);
    void probe();
    void probeReply();
    void probeTimedOut();
    void probeDone(bool answered);
    void scheduleProbe();
    void finish();

    Document m_doc;
    QString m_port;
    QString m_device;
    FleetOptions m_options;
    PortLink m_link;
    RadioSession m_session;
    SessionTrace m_trace;
    UnattendedAnswers m_answers;
    State m_state = State::Idle;
    bool m_stopping = false;
    int m_percent = 0;
    FleetRecord m_current;
    QElapsedTimer m_clock;
    std::vector<FleetRecord> m_records;
    ProbeStep m_probeStep = ProbeStep::None;
    bool m_portUnusable = false; // repeat: the last probe could not open the port (said so)
    QTimer m_probeTimer;         // the next probe
    QTimer m_probeReplyTimer;
};

// The ports of one run together.
class Fleet : public QObject {
    Q_OBJECT
  public:
    Fleet(const Document& doc, FleetOptions options, QObject* parent = nullptr);
    ~Fleet() override;

    FleetPort& addPort(const QString& port, const QString& device);
    void start();
    void stop();
    // Every port finishes the radio it is programming and takes no other.
    void stopAfterRadios();
    bool running() const;
    const std::vector<std::unique_ptr<FleetPort>>& ports() const { return m_ports; }
    // Every radio done, in the order they ended.
    const std::vector<FleetRecord>& records() const { return m_records; }
    const FleetOptions& options() const { return m_options; }

  signals:
    void radioFinished(FleetPort* port, const FleetRecord& record);
    // Every port has ended.
    void finished();

  private:
    Document m_doc;
    FleetOptions m_options;
    std::vector<std::unique_ptr<FleetPort>> m_ports;
    std::vector<FleetRecord> m_records;
};

// Fills model, band and firmware of the record from the identification the session's radio sent.
void describeRadio(const Product& p, const RadioSession& session, FleetRecord& record);

// A stable English word for a failure ("success", "no-answer", ...): the logs' result column.
QString fleetResultName(const FleetRecord& record);
QString fleetVerifyName(FleetVerify v);
