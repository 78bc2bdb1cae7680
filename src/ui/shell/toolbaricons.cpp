#include "toolbaricons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

QIcon drawnIcon(const QString& key) {
    QPixmap pm(24, 24);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor body(60, 80, 110);
    const QColor accent(30, 140, 60);
    if (key == QString::fromUtf8("打印")) {
        p.setPen(QPen(body, 1.5));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 3, 10, 7));
        p.setBrush(QColor(170, 180, 195));
        p.drawRoundedRect(QRectF(3, 9, 18, 9), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 15, 10, 6));
    } else if (key == QLatin1String("CommSet")) {
        p.setPen(QPen(body, 1.5));
        p.setBrush(QColor(170, 180, 195));
        QPainterPath shell;
        shell.moveTo(3, 7);
        shell.lineTo(21, 7);
        shell.lineTo(18, 17);
        shell.lineTo(6, 17);
        shell.closeSubpath();
        p.drawPath(shell);
        p.setBrush(body);
        for (int i = 0; i < 5; ++i)
            p.drawEllipse(QPointF(6.5 + i * 2.75, 10.5), 0.9, 0.9);
        for (int i = 0; i < 4; ++i)
            p.drawEllipse(QPointF(7.9 + i * 2.75, 13.8), 0.9, 0.9);
    } else {
        // ReadRadio / WriteRadio: the radio with an arrow out of it (read) or into it (write).
        p.setPen(QPen(body, 1.5));
        p.setBrush(QColor(170, 180, 195));
        p.drawRoundedRect(QRectF(2, 9, 13, 12), 2, 2);
        p.drawLine(QPointF(5, 9), QPointF(3, 2));
        p.setBrush(body);
        p.drawRect(QRectF(4.5, 12, 8, 3));
        p.setPen(QPen(accent, 2.2, Qt::SolidLine, Qt::RoundCap));
        const bool read = key == QLatin1String("ReadRadio");
        const QPointF from = read ? QPointF(14, 6) : QPointF(22, 6);
        const QPointF to = read ? QPointF(22, 6) : QPointF(15.5, 6);
        p.drawLine(from, to);
        const double dir = read ? -1 : 1;
        p.drawLine(to, to + QPointF(3 * dir, -3));
        p.drawLine(to, to + QPointF(3 * dir, 3));
    }
    return QIcon(pm);
}
