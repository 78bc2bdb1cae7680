#pragma once

#include "core/comm/doctor.h"

#include <QDialog>
#include <QTimer>
#include <array>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QThread;
class SetupSettings;

// The port window (modal): eight choices COM1..COM8, each enabled while its device exists,
// with the device path and its state in a few words beside it (ready, missing, no
// permission, in use by a program). Check... shows the connection doctor's lines for the
// chosen port. OK stores the chosen port as "comPort".
class PortWindow : public QDialog {
    Q_OBJECT
  public:
    PortWindow(int currentPort, SetupSettings& settings, QWidget* parent = nullptr);

    // The selected port (1..8), 0 when none is selected.
    int selectedPort() const;

    // Enables each choice whose device exists and shows the device paths; the states follow
    // once the doctor has looked at them away from the window's thread.
    void showPortAvailability();
    // True while the states shown are being looked at again.
    bool statesPending() const { return m_statesThread != nullptr; }

    // Looks for the devices again every second while the window is open.
    const QTimer& refreshTimer() const { return m_refreshTimer; }

    // The doctor that judges the ports (tests give one that looks at trees of their own).
    void setDoctor(const ConnectionDoctor& doctor);

  private:
    void lookAtStates(const QStringList& devices);
    void onOk();
    void showCheck();

    SetupSettings& m_settings;
    QGroupBox* m_portFrame;
    QButtonGroup* m_group;
    std::array<QRadioButton*, 8> m_portChoices{};
    std::array<QLabel*, 8> m_device{};
    std::array<QLabel*, 8> m_state{};
    QPushButton* m_checkButton;
    QPushButton* m_okButton;
    QPushButton* m_cancelButton;
    QTimer m_refreshTimer;
    ConnectionDoctor m_doctor;
    QThread* m_statesThread = nullptr;
    bool m_lookAgain = false; // the devices or the doctor changed while it looked
};
