#pragma once

#include "doctor.h"
#include "protocol.h"
#include "seriallink.h"

#include <QObject>
#include <QTimer>

struct Product;

// Asks the radio on a port who it is, as a read begins: PROGRAM (sent again once on silence),
// the identification request (likewise), the acknowledge, then "E" so that the radio leaves
// programming mode. Nothing is read from or written to its memory.
class ConnectionProbe : public QObject {
    Q_OBJECT
  public:
    explicit ConnectionProbe(SerialLink& link, QObject* parent = nullptr);

    void start(const QString& device);
    // Ends the probe early (the user stopped it): the radio is let go with "E" at once; why
    // becomes the probe's finding.
    void stop(const QString& why);
    // The probe's line for the doctor's list (after finished()).
    DoctorLine line(const Product& p) const;
    bool answered() const { return m_answered; }
    const RadioProtocol::Identification& identity() const { return m_identity; }

  signals:
    void finished();

  private:
    enum class Step { Idle, Program, Ident, IdentAck, End };
    void send(Step step, const QByteArray& frame, int replyLength);
    void onReply(const QByteArray& reply);
    void onSilence();
    void sendEnd();
    void finish();

    SerialLink& m_link;
    QTimer m_replyTimer;
    Step m_step = Step::Idle;
    int m_resends = 0;
    bool m_answered = false; // the radio took PROGRAM
    RadioProtocol::Identification m_identity;
    QString m_device;
    QString m_failure; // the port could not be opened or went away: why
};
