#pragma once

#include <QDialog>

class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QRadioButton;

// Asks how to fill the frequencies of several channels: the first RX, the step from channel
// to channel in kHz, and TX equal to RX or at a fixed offset from it. OK stays disabled until
// every field in use holds a number.
class FillFrequenciesDialog : public QDialog {
    Q_OBJECT
  public:
    FillFrequenciesDialog(const QString& firstRx, bool offsetAllowed, QWidget* parent = nullptr);

    double firstRxMhz() const;
    double stepKhz() const;
    // 0 when TX equals RX.
    double txOffsetKhz() const;

  private:
    void updateOk();
    QLineEdit* m_firstRx;
    QLineEdit* m_step;
    QRadioButton* m_txEqualsRx;
    QRadioButton* m_txOffset;
    QLineEdit* m_offset;
    QDialogButtonBox* m_buttons;
};
