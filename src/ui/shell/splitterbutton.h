#pragma once

#include <QPushButton>

// The thin button at the right edge of the tree pane: dragging it sizes the pane.
class SplitterButton : public QPushButton {
    Q_OBJECT
  public:
    using QPushButton::QPushButton;

  signals:
    void dragged(int dxPixels);

  protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

  private:
    bool m_dragging = false;
    int m_lastX = 0;
};
