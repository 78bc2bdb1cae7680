#include "fakelink.h"

#include <QTimer>

bool FakeLink::open(const QString& device, PortOpenError* error) {
    ++opens;
    if (failOpen) {
        if (error) *error = {device, QStringLiteral("%1 is not connected.").arg(device)};
        return false;
    }
    m_open = true;
    return true;
}

void FakeLink::write(const QByteArray& frame) {
    if (!m_open) return;
    frames << frame;
    if (!responder) return;
    const QByteArray r = responder(frame);
    if (r.isEmpty()) return;
    ++pending;
    QTimer::singleShot(0, this, [this, r] {
        --pending;
        if (!m_open) return;
        emit bytesArrived(r);
        emit replyReady(r);
    });
}
