#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QSerialPort;

// Why a port could not be opened, for the message the user sees.
struct PortOpenError {
    QString device;
    QString reason; // what went wrong and what to do, in the current language
};

// The serial line to the radio: 9600 baud, 8 data bits, no parity, 1 stop bit, no handshaking,
// binary. Incoming bytes are collected until the expected reply length has arrived and then
// handed over as one reply (the receive threshold of the line).
class SerialLink : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;

    virtual bool open(const QString& device, PortOpenError* error) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Number of bytes that make a reply: the receive threshold for the next frame.
    virtual void setExpectedLength(int bytes) = 0;
    // Empties the input and output buffers.
    virtual void clearBuffers() = 0;
    virtual void write(const QByteArray& frame) = 0;
    // Pushes queued output to the line before a close (as far as possible without blocking).
    virtual void flush() {}

  signals:
    // All bytes received so far, once at least the expected length has arrived.
    void replyReady(const QByteArray& reply);
    // Each chunk of bytes as the line delivers it, before replies are put together (for the
    // session trace: it shows short and garbled replies too).
    void bytesArrived(const QByteArray& chunk);
    // The device went away (cable unplugged, adapter removed, peer hung up).
    void deviceLost(const QString& reason);
};

// SerialLink over a real serial device or pseudo-terminal.
class PortLink : public SerialLink {
    Q_OBJECT
  public:
    explicit PortLink(QObject* parent = nullptr);
    ~PortLink() override;

    bool open(const QString& device, PortOpenError* error) override;
    void close() override;
    bool isOpen() const override;
    void setExpectedLength(int bytes) override { m_expected = bytes; }
    void clearBuffers() override;
    void write(const QByteArray& frame) override;
    void flush() override;

  private:
    void onReadyRead();
    void onError(int error);

    QSerialPort* m_port;
    QByteArray m_buffer;
    int m_expected = 1;
    QString m_device;
};
