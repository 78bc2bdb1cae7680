#include "seriallink.h"

#include "core/config/messages.h"

#include <QFileInfo>
#include <QSerialPort>
#include <cerrno>
#include <unistd.h>

PortLink::PortLink(QObject* parent) : SerialLink(parent), m_port(new QSerialPort(this)) {
    connect(m_port, &QSerialPort::readyRead, this, &PortLink::onReadyRead);
    connect(m_port, &QSerialPort::errorOccurred, this,
            [this](QSerialPort::SerialPortError e) { onError(int(e)); });
}

PortLink::~PortLink() {
    close();
}

static QString explainOpenFailure(const QString& device, QSerialPort::SerialPortError e,
                                  const QString& systemText) {
    const QFileInfo fi(device);
    if (!fi.exists())
        return tr2("%1 is not connected. Plug in the programming cable, or choose another port.",
                   "%1 未连接。请插入写频线，或选择其他端口。")
            .arg(device);
    if (e == QSerialPort::PermissionError && systemText.contains(QLatin1String("lock")))
        return tr2("%1 is in use by another program. Close that program and try again.",
                   "%1 正被其他程序使用。请关闭该程序后重试。")
            .arg(device);
    if (e == QSerialPort::PermissionError ||
        ::access(QFile::encodeName(fi.canonicalFilePath()).constData(), R_OK | W_OK) != 0) {
        const QString group = QFileInfo(fi.canonicalFilePath()).group();
        return tr2("Permission denied for %1 (group %2). Run: sudo usermod -aG %2 $USER, then log "
                   "in again.",
                   "无权访问 %1（组 %2）。请运行：sudo usermod -aG %2 $USER，然后重新登录。")
            .arg(device, group.isEmpty() ? QStringLiteral("dialout") : group);
    }
    return tr2("%1: %2", "%1：%2").arg(device, systemText);
}

bool PortLink::open(const QString& device, PortOpenError* error) {
    close();
    m_device = device;
    m_port->setPortName(device);
    m_buffer.clear();
    m_port->setBaudRate(QSerialPort::Baud9600);
    m_port->setDataBits(QSerialPort::Data8);
    m_port->setParity(QSerialPort::NoParity);
    m_port->setStopBits(QSerialPort::OneStop);
    m_port->setFlowControl(QSerialPort::NoFlowControl);
    if (!m_port->open(QIODevice::ReadWrite)) {
        if (error)
            *error = {device, explainOpenFailure(device, m_port->error(), m_port->errorString())};
        return false;
    }
    // Failures to set control lines on a pseudo-terminal are harmless.
    m_port->clearError();
    clearBuffers();
    return true;
}

void PortLink::close() {
    if (m_port->isOpen()) m_port->close();
    m_buffer.clear();
}

bool PortLink::isOpen() const {
    return m_port->isOpen();
}

void PortLink::clearBuffers() {
    if (m_port->isOpen()) m_port->clear(QSerialPort::AllDirections);
    m_buffer.clear();
}

void PortLink::write(const QByteArray& frame) {
    if (m_port->isOpen()) m_port->write(frame);
}

void PortLink::flush() {
    if (m_port->isOpen()) m_port->flush();
}

void PortLink::onReadyRead() {
    const QByteArray chunk = m_port->readAll();
    if (!chunk.isEmpty()) emit bytesArrived(chunk);
    m_buffer += chunk;
    if (m_buffer.size() >= m_expected) {
        const QByteArray reply = m_buffer;
        m_buffer.clear();
        emit replyReady(reply);
    }
}

void PortLink::onError(int error) {
    switch (QSerialPort::SerialPortError(error)) {
    case QSerialPort::ReadError:
    case QSerialPort::ResourceError:
    case QSerialPort::WriteError: {
        // A device that hung up makes Qt report read errors in a tight loop: close at once.
        if (!m_port->isOpen()) return;
        const QString why = m_port->errorString();
        m_port->close();
        m_buffer.clear();
        emit deviceLost(why);
        break;
    }
    default:
        break; // control lines on a pseudo-terminal and the like are harmless
    }
}
