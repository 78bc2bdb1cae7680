#pragma once

#include "codec.h"
#include "config/document.h"
#include "config/messages.h"
#include "seriallink.h"
#include "sessiontrace.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>

// Operation in progress (CommType).
enum CommKind : int {
    CommIdle = 0,
    CommRead = 1,      // read the configuration
    CommWrite = 2,     // write the configuration
    CommInfoRead = 3,  // read the local information area
    CommInfoWrite = 4, // write the information and version record
    CommTest = 5,      // test mode
};

// Steps shared by the reply and time-out handlers.
enum SessionStep : int {
    StepIdle = 0,
    StepProgramAck = 1,
    StepIdent = 2,
    StepIdentAck = 3,
    StepBlock = 4,
    StepBlockAck = 5,
    StepEndAck = 69,     // end command after a complete transfer
    StepRejectedAck = 70 // end command after the radio's identity was rejected
};

// Why the last operation did not succeed.
enum class SessionFailure { None, Busy, PortOpen, Refused, Identity, NoAnswer, Cancelled, DeviceLost, BadData };

// The programming protocol with one radio. Event-driven: a frame goes out, the reply arrives
// through the link, or WaitTimer (300 ms) reports silence. Only one operation runs at a time.
class RadioSession : public QObject {
    Q_OBJECT
public:
    RadioSession(Document& doc, SerialLink& link, QObject* parent = nullptr);

    // Device path of the port to use.
    void setPortName(const QString& device) { m_portName = device; }
    QString portName() const { return m_portName; }

    // Starters as the user runs them. Each does nothing and returns false while another
    // operation runs, when the port cannot be opened or the user cancels the question.
    bool readFromRadio();
    bool writeToRadio();
    bool readInformation(bool clearImage);
    bool writeInformation();
    // A write that sends these bytes (a raw image of exactly the memory size, as a read left
    // it) over the address ranges of a normal write instead of an image built from the
    // configuration. The identity check runs against the configuration as usual.
    bool writeImageToRadio(const QByteArray& image);
    // The user gave up (closed the progress window): the radio leaves programming mode, the
    // session ends as failed and nothing is changed.
    void cancel();

    // Engine operations.
    bool OpenCommPort();
    void StartSession();
    void SendFrame(const QByteArray& frame, int expectedReplyLength);
    void AdvanceSession();
    void FinishTransfer();
    void EndSession(bool success);
    bool CheckRadioIdentity();

    // WaitTimer's handler: the radio stayed silent for 300 ms.
    void onWaitTimeout();

    bool busy() const { return CommType != CommIdle; }

    // Records every following session (not owned; nullptr: none).
    void setTrace(SessionTrace* trace) { m_trace = trace; }
    SessionTrace* trace() const { return m_trace; }
    int activeStep() const;

    // Session state.
    int CommType = CommIdle;
    int ReadStep = StepIdle;
    int WriteStep = StepIdle;
    int BlockAddress = 0;
    int BlockLength = 0;
    int EndAddress = 0;
    int ProgramRetries = 0;
    int IdentRetries = 0;
    int LastPercent = 0;
    QByteArray RadioImage;
    QByteArray RadioModelCode; // identification bytes 1..4
    int RadioBandCode = 0;     // identification byte 5
    int RadioModelClass = 0;   // identification byte 6
    QByteArray RadioFirmware;  // identification bytes 8..11
    LocalInformation localInformation;
    QTimer WaitTimer;
    QTimer TimerEnd;

    SessionFailure lastFailure = SessionFailure::None;
    int framesSent = 0;
    qint64 bytesSent = 0;
    qint64 bytesReceived = 0;

    // Frames of the information write, built from the record's ModelInfo copy fields.
    static QByteArray informationFrame(const ModelInfo& info);
    static QByteArray versionFrame(const ModelInfo& info);
    static uint8_t checksum(const QByteArray& frame, int from, int to); // sum of [from, to)

signals:
    void progressOpened(int commType);
    void progressChanged(int percent);
    void progressClosed();
    // A read decoded cleanly and is about to replace the configuration (close editors now).
    void readApplying();
    // The configuration now holds what was read.
    void readApplied();
    // The local information area was read (show it).
    void informationRead();
    void finished(int commType, bool success);
    // Test mode receives every reply and the time-outs while CommType is 5.
    void testReply(const QByteArray& reply);
    void testTimeout();

private:
    void onReply(const QByteArray& reply);
    void onDeviceLost(const QString& reason);
    void setStep(int step);
    bool advanceBlock(); // BlockAddress += BlockLength; false when the transfer is complete
    void sendReadRequest();
    void sendDataFrame();
    void sendEnd();
    void updateProgress();
    void askRetry(bool repeatBlock = false);
    void applyReceivedInformation();
    void askRestart();
    void fail(SessionFailure why);
    MsgAnswer prompt(Msg id, MsgIcon icon, MsgButtons buttons);
    MsgAnswer confirm(Msg id);
    int startAddress() const;
    bool storeReply(const QByteArray& reply);
    bool startWrite(const QByteArray* raw);
    void traceNote(const QString& text);
    void traceEnd(bool success);

    Document& m_doc;
    SerialLink& m_link;
    QString m_portName;
    bool m_prompting = false;
    bool m_lostWhilePrompting = false;
    QString m_lostReason;
    SessionTrace* m_trace = nullptr;
    // The radio's information and version records received during an information operation,
    // stored into ModelInfo only when that operation succeeds.
    struct ReceivedInformation {
        QString modelNameCopy;
        int16_t typeLetter = 0;
        int16_t bandCodeCopy = 0;
        QByteArray createDate;
    };
    std::optional<ReceivedInformation> m_receivedInformation;
    std::optional<QByteArray> m_receivedVersion;
};
