#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QString>
#include <QTimer>

#include "nstimer.h"
#include "testmode.h"

#include <deque>
#include <vector>

class PseudoTerminal;
class QSocketNotifier;

// How the radio identifies itself and which faults it plays.
struct RadioBehaviour {
    QByteArray identification; // the 14-byte reply to 02

    int ignoreProgram = 0; // PROGRAM commands left unanswered at the start
    int ignoreIdent = 0;   // identification requests left unanswered at the start
    int badChecksumAt = 0; // 1-based number of the data frame sent with checksum + 1; 0 never
    int silentAfter = -1;  // blocks after which the radio answers nothing; -1 never
    int hangupAfter = -1;  // blocks after which the cable is pulled; -1 never
    int replyDelayMs = 0;  // wait before each reply
    int startDelayMs = 0;  // switched on this long after the start: silent until then
    bool hangupAfterSession = false; // pull the cable once "E" ended a session that moved blocks
    double paceUs = 0;      // serial-line time per byte, both directions; 0 = as fast as the pty
    int testFreqDiffer = 0; // test frequency (1..16) that differs from the band defaults; 0 none
    // 1-based number of the data block the program writes (counted since start) that is
    // stored wrong: its first byte with the lowest bit flipped; 0 never. The first byte of
    // every block a meridox write sends from 0x0010 on, and of solvir's from its second block
    // on, starts a channel slot every 9 (meridox) or 5 (solvir) blocks; meridox block 1 and
    // solvir block 2 hold the first receive digits of group A channel 1, whose digit stays a
    // digit (28 -> 29 MHz).
    int corruptWriteAt = 0;
};

// The radio's side of the programming protocol over the master of a pseudo-terminal.
//
// Frames from the program, told apart by their first byte:
//   "PROGRAM"                 -> 06      enter programming mode
//   02                        -> 14-byte identification
//   06                        -> 06
//   "R" aH aL n               -> "W" aH aL n, n bytes of memory, checksum
//   "W" aH aL n, n bytes, sum -> 06      block stored
//   "E"                       -> 06      leave programming mode
//   "NTKK", 29 bytes, sum     -> 06      information record
//   "V", 9 bytes              -> 06      version text
//   test-mode entry word      -> 06      the tuning state (testmode.h) until "E"
// The checksum is the sum mod 256 of every byte after the command byte. Like the radios of
// this family it answers requests whether or not PROGRAM came first, and stays silent when
// a frame is wrong (bad checksum, block outside memory): the program's time-out handles that.
class SimulatedRadio : public QObject {
    Q_OBJECT
  public:
    SimulatedRadio(const Product& product, QByteArray memory, RadioBehaviour behaviour,
                   PseudoTerminal& pty, QObject* parent = nullptr);

    // Opens the frame log (empty path: none) and starts listening on the master.
    bool start(const QString& logPath, const QString& dumpPath, QString* error);

    // Writes the whole memory to the dump file (no-op without one). Returns false and says why
    // on failure.
    bool writeDump(QString* error) const;

    const QByteArray& memory() const { return m_memory; }
    // The last information record ("NTKK" frame) and version frame the program sent.
    const QByteArray& informationRecord() const { return m_informationRecord; }
    const QByteArray& versionFrame() const { return m_versionFrame; }

  signals:
    // The cable was pulled (--hangup-after) or the pty failed; the program should exit.
    void hungUp();
    void failed(const QString& reason);

  private:
    void readMaster();
    void processInput();
    void handleFrame(const QByteArray& frame);
    void handleRead(const QByteArray& frame);
    void handleWrite(const QByteArray& frame);
    void blockDone();
    void reply(const QByteArray& bytes);
    void sendDue();
    void checkDrained();
    void logFrame(char direction, const QByteArray& frame);
    qint64 now() const { return m_clock.nsecsElapsed(); }

    QByteArray m_memory;
    RadioBehaviour m_behaviour;
    PseudoTerminal& m_pty;
    QString m_dumpPath;
    QFile m_log;
    bool m_logBroken = false;

    QElapsedTimer m_clock;
    QSocketNotifier* m_readNotifier = nullptr;
    QSocketNotifier* m_writeNotifier = nullptr;

    // Bytes received but not yet taken as a frame, with the time each one arrived.
    QByteArray m_in;
    std::vector<qint64> m_inArrival;
    NsTimer m_inputTimer; // a paced frame becomes complete

    // Bytes to send, each with the time it is due.
    QByteArray m_out;
    std::deque<qint64> m_outDue;
    qint64 m_lastDue = 0;
    qint64 m_lastSent = 0;
    NsTimer m_outputTimer;

    int m_programSeen = 0;
    int m_identSeen = 0;
    int m_dataFramesSent = 0;
    int m_dataFramesStored = 0;
    int m_blocks = 0;
    bool m_silent = false;
    bool m_hangingUp = false;
    qint64 m_hangupSince = 0;
    QTimer m_drainTimer;

    TestModeRadio m_testMode; // the tuning state (entry word ... "E")

    QByteArray m_informationRecord; // last accepted "NTKK" frame
    QByteArray m_versionFrame;      // last "V" frame
};
