#include "splitterbutton.h"

#include <QMouseEvent>

void SplitterButton::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) {
        m_dragging = true;
        m_lastX = qRound(e->globalPosition().x());
    }
    e->accept();
}

void SplitterButton::mouseMoveEvent(QMouseEvent* e) {
    if (!m_dragging) return;
    const int x = qRound(e->globalPosition().x());
    const int dx = x - m_lastX;
    if (dx != 0) {
        m_lastX = x;
        emit dragged(dx);
    }
}

void SplitterButton::mouseReleaseEvent(QMouseEvent* e) {
    m_dragging = false;
    e->accept();
}
