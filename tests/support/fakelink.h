#pragma once

#include "core/comm/seriallink.h"

#include <QList>
#include <functional>

// An in-process serial line. Frames written are recorded; the responder (if set) plays the
// radio and its reply is delivered from the event loop, as a real line would.
class FakeLink : public SerialLink {
    Q_OBJECT
  public:
    using SerialLink::SerialLink;

    bool open(const QString& device, PortOpenError* error) override;
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    void setExpectedLength(int bytes) override { expected = bytes; }
    void clearBuffers() override { ++clears; }
    void write(const QByteArray& frame) override;

    // Delivers bytes as the radio's reply (synchronously).
    void reply(const QByteArray& bytes) {
        emit bytesArrived(bytes);
        emit replyReady(bytes);
    }
    void lose() {
        m_open = false;
        emit deviceLost(QStringLiteral("Input/output error"));
    }

    std::function<QByteArray(const QByteArray&)> responder;
    bool failOpen = false;
    QList<QByteArray> frames;
    int expected = 0;
    int clears = 0;
    int pending = 0; // replies of the responder not delivered yet
    int opens = 0;

  private:
    bool m_open = false;
};
