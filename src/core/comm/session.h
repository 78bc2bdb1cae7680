#pragma once

#include "codec.h"
#include "core/config/document.h"
#include "core/config/messages.h"
#include "protocol.h"
#include "seriallink.h"
#include "sessionfailure.h"
#include "sessiontrace.h"

#include <QByteArray>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <functional>

// The operations the session runs; the numbers are the operation codes the trace names.
enum class RadioOperation : int {
    Idle = 0,
    Read = 1,             // read the configuration
    Write = 2,            // write the configuration
    InformationRead = 3,  // read the local information area
    InformationWrite = 4, // write the information and version record
    TestMode = 5,         // test mode (its own engine drives the line)
    Verify = 6,           // read back what a write sent (the end of a write with verify on)
};

// What the session waits for; the same steps serve the replies and the time-outs.
enum class SessionStep : int {
    Idle = 0,
    ProgramAck = 1,  // acknowledge of PROGRAM
    Ident = 2,       // the 14-byte identification
    IdentAck = 3,    // the acknowledge that answers ours after the identification
    Block = 4,       // a data frame (read), the acknowledge of a data frame (write), of the
                     // information frame (information write)
    BlockAck = 5,    // the acknowledge that answers ours after a block; of the version frame
    EndAck = 69,     // the end command after a complete transfer
    RejectedAck = 70 // the end command after the radio's identity was rejected
};

// Lines that name what differs between the image a write sent and the memory the radio holds
// (the radio's memory is the written image with the differing bytes replaced); addresses lists
// the differing bytes in ascending order. The configuration diff names channels and settings;
// the session itself knows only the addresses (memoryDifferenceLines).
using MemoryDiffer =
    std::function<QStringList(const Product& p, const QByteArray& written, const QByteArray& held,
                              const QList<int>& addresses)>;

// The differing bytes as runs of addresses: "Radio memory 0x1D82: written 0x28, the radio holds
// 0x29" for one byte, "Radio memory 0x1D82-0x1D8F: 14 bytes differ" for a run (in Chinese for
// LanguageChinese).
QStringList memoryDifferenceLines(const QByteArray& written, const QByteArray& held,
                                  const QList<int>& addresses, int language = LanguageEnglish);

// The programming protocol with one radio. Event-driven: a frame goes out, the reply arrives
// through the link, or the reply timer (300 ms) reports silence. Only one operation runs at a time.
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
    // The same read, but the configuration read is handed out (radioConfigurationRead) instead
    // of replacing the open one: the record, its file name and its history stay as they are.
    bool readForComparison();
    bool writeToRadio();
    bool readInformation(bool clearImage);
    bool writeInformation();
    // A write that sends these bytes (a raw image of exactly the memory size, as a read left
    // it) over the address ranges of a normal write instead of an image built from the
    // configuration. The identity check runs against the configuration as usual.
    bool writeImageToRadio(const QByteArray& image);
    // After every write that ends successfully, read back the address ranges it wrote and
    // compare them with the image it sent (off by default). The write then ends with the
    // verify: finished(Write, ...) reports both, a difference as SessionFailure::VerifyMismatch.
    void setVerifyAfterWrite(bool on) { m_verifyAfterWrite = on; }
    bool verifyAfterWrite() const { return m_verifyAfterWrite; }
    // Names the differences a verify found (channels and settings); without one, addresses.
    void setMemoryDiffer(MemoryDiffer differ) { m_differ = std::move(differ); }
    // What the last verify read brought back (0xFF outside the blocks read), the addresses
    // that differ from the image written, and the lines naming the differences.
    const QByteArray& verifyImage() const { return m_verifyImage; }
    const QList<int>& verifyMismatches() const { return m_verifyMismatches; }
    const QStringList& verifyDifferences() const { return m_verifyDifferences; }
    // The bytes a verify compares: [first, end) of the write, without the identification
    // copy at the model header, which every write fills from the radio's own reply.
    static bool verifiedAddress(const Product& p, int address);
    // The user gave up (closed the progress window): the radio leaves programming mode, the
    // session ends as failed and nothing is changed.
    void cancel();

    bool busy() const { return m_operation != RadioOperation::Idle; }
    RadioOperation operation() const { return m_operation; }
    SessionStep step() const { return m_step; }
    // A write's data frames are going out: stopped now, the radio keeps part of the new
    // configuration. From the first block on; once the last one is acknowledged the session
    // sends the end command instead.
    bool writingData() const {
        return m_operation == RadioOperation::Write &&
               (m_step == SessionStep::Block || m_step == SessionStep::BlockAck);
    }
    // Radio address of the block being moved.
    int blockAddress() const { return m_blockAddress; }
    // The last progress percentage reported (read and write).
    int percent() const { return m_lastPercent; }
    // The radio memory image: what the last read brought, or what the last write sent.
    const QByteArray& radioImage() const { return m_image; }
    // Why the last operation did not succeed (None after a success).
    SessionFailure lastFailure() const { return m_lastFailure; }
    int framesSent() const { return m_framesSent; }
    qint64 bytesMoved() const { return m_bytesSent + m_bytesReceived; }

    // The twelve texts of the local information area from the last information read.
    const LocalInformation& localInformation() const { return m_localInformation; }
    void setLocalInformation(const LocalInformation& info) { m_localInformation = info; }

    // The identification the radio sent in the current or last read or write (empty before
    // the radio answered the identification request).
    using RadioIdentity = RadioProtocol::Identification;
    RadioIdentity radioIdentity() const { return m_identity; }

    // Where this session's messages and questions go (not owned; nullptr: the program's
    // message service). Several sessions at once each answer their own questions.
    void setMessageService(MessageService* service) { m_messages = service; }

    // Records every following session (not owned; nullptr: none).
    void setTrace(SessionTrace* trace) { m_trace = trace; }
    SessionTrace* trace() const { return m_trace; }

    // How long the radio may stay silent after a frame (300 ms).
    void setReplyTimeout(int msecs) { m_replyTimer.setInterval(msecs); }
    int replyTimeout() const { return m_replyTimer.interval(); }
    // The radio stayed silent: what the reply timer does when it fires. Tests and the fuzzer
    // call it to play silence without waiting.
    void replyTimedOut();

    // Test mode drives the line itself through these. beginTestMode takes the line for it
    // (false while another operation runs or when the port cannot be opened); the session then
    // hands every reply over (testReply) and reports silence (testTimeout).
    bool beginTestMode();
    void sendTestFrame(const QByteArray& frame, int expectedReplyLength);
    void stopReplyTimer() { m_replyTimer.stop(); }
    void restartReplyTimer() { m_replyTimer.start(); }
    bool replyTimerActive() const { return m_replyTimer.isActive(); }
    // Ends test mode; why, when given, is recorded as the reason of the failure.
    void endTestMode(bool clean, SessionFailure why = SessionFailure::None);

  signals:
    void progressOpened(RadioOperation operation);
    void progressChanged(int percent);
    void progressClosed();
    // A read decoded cleanly and is about to replace the configuration (close editors now).
    void readApplying();
    // The configuration now holds what was read.
    void readApplied();
    // A read for comparison decoded cleanly: radio is the open configuration with what the
    // radio holds in place of what a read carries (the rest is the open configuration's).
    void radioConfigurationRead(const Document& radio);
    // The local information area was read (show it).
    void informationRead();
    void finished(RadioOperation operation, bool success);
    // Test mode receives every reply and the time-outs while it holds the line.
    void testReply(const QByteArray& reply);
    void testTimeout();

  private:
    // The protocol engine: every frame goes out through sendFrame, every accepted reply and
    // every skipped step moves the session on through advance.
    bool openPort();
    void startHandshake();
    void sendFrame(const QByteArray& frame, int expectedReplyLength);
    void advance();
    // The steps after the opening, one operation each; false for a step it does not know.
    bool advanceRead();
    bool advanceWrite();
    bool advanceInformationRead();
    bool advanceInformationWrite();
    bool transfersBlocks() const; // an operation of the programming protocol (not test mode)
    void startVerify();
    bool finishVerify(bool readOk); // the comparison and its message; true when equal
    void finishTransfer();
    void endSession(bool success);
    bool applyRead(); // false when the data read cannot be used
    bool checkRadioIdentity();

    void onReply(const QByteArray& reply);
    void onDeviceLost(const QString& reason);
    bool advanceBlock(); // next block address; false when the transfer is complete
    void sendReadRequest();
    void sendDataFrame();
    void sendEnd();
    void updateProgress();
    void askRetry(bool repeatBlock = false);
    void askRestart();
    void applyReceivedInformation();
    void fail(SessionFailure why);
    MsgAnswer prompt(Msg id, MsgIcon icon, MsgButtons buttons);
    MsgAnswer confirm(Msg id);
    int startAddress() const;
    // What the step machine does with a reply: true when it moves the session on.
    bool storeReply(const QByteArray& reply);
    bool acceptsAck() const;
    bool storeIdentification(const QByteArray& reply, const RadioProtocol::Identification& id);
    bool storeBlock(const QByteArray& data);
    bool startWrite(const QByteArray* raw);
    void traceNote(const QString& text);
    void traceEnd(bool success);
    // Every message of the session goes through these: they hide the program-wide functions
    // of the same names, so that a session with a service of its own (setMessageService)
    // never shows its questions through the program's service.
    MessageService& messageService() const;
    MsgAnswer showMessage(const QString& text, MsgIcon icon = MsgIcon::None,
                          MsgButtons buttons = MsgButtons::Ok, const QString& informative = {});
    MsgAnswer showMessage(Msg id, MsgIcon icon = MsgIcon::None, MsgButtons buttons = MsgButtons::Ok,
                          const QString& informative = {});

    Document& m_doc;
    SerialLink& m_link;

    RadioOperation m_operation = RadioOperation::Idle;
    SessionStep m_step = SessionStep::Idle;
    int m_blockAddress = 0;
    int m_blockLength = 0;
    int m_endAddress = 0;     // first address not moved
    int m_programRetries = 0; // automatic re-sends of PROGRAM made (at most 1)
    int m_identRetries = 0;   // automatic re-sends of the identification request (at most 1)
    int m_lastPercent = 0;
    QByteArray m_image;
    RadioProtocol::Identification m_identity; // the identification of the radio connected
    LocalInformation m_localInformation;
    QTimer m_replyTimer;
    SessionFailure m_lastFailure = SessionFailure::None;
    int m_framesSent = 0;
    qint64 m_bytesSent = 0;
    qint64 m_bytesReceived = 0;
    QString m_portName;
    bool m_prompting = false;
    bool m_lostWhilePrompting = false;
    QString m_lostReason;
    SessionTrace* m_trace = nullptr;
    MessageService* m_messages = nullptr;
    // The radio's information and version records received during an information operation,
    // stored into ModelInfo only when that operation succeeds.
    std::optional<RadioProtocol::InformationRecord> m_receivedInformation;
    std::optional<QByteArray> m_receivedVersion;
    bool m_verifyAfterWrite = false;
    bool m_readForComparison = false; // the read running hands its result out
    MemoryDiffer m_differ;
    QByteArray m_verifyImage;
    QList<int> m_verifyMismatches;
    QStringList m_verifyDifferences;
};
