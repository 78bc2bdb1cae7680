#pragma once

#include <QDialog>

// The print item selection window (modal). The program prints nothing: the window only
// presents its controls, its buttons do nothing, and it closes through its close box.
class FrmPrintList : public QDialog {
    Q_OBJECT
  public:
    explicit FrmPrintList(QWidget* parent = nullptr);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};
