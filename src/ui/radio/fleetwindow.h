#pragma once

#include "core/comm/fleet.h"

#include <QDialog>
#include <QTimer>
#include <array>
#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;

// Program > Write to Several Radios: the open configuration written to the radios on the
// ticked ports at once (COM1..COM8, each with its device), with a progress bar and a result per
// port. With Repeat each port goes on with the next radio plugged in. Closing the window
// cancels the sessions that still run (each radio is let go with "E").
class FleetWindow : public QDialog {
    Q_OBJECT
  public:
    // The configuration is copied when the write starts; the settings file pins the ports.
    FleetWindow(const Document& doc, QString settingsFile, QWidget* parent = nullptr);
    ~FleetWindow() override;

    // Enables each port whose device exists and shows the device paths (while nothing runs).
    void showPortAvailability();
    // The Verify box, as Program > Verify after Write is set when the window opens.
    void setVerifyAfterWrite(bool on);
    // Starts the sessions on the ticked ports; false (and says so) when none is ticked, false
    // when a run goes on.
    bool startWrite();
    bool running() const { return m_fleet && m_fleet->running(); }
    Fleet* fleet() const { return m_fleet.get(); }

  protected:
    void done(int result) override;

  private:
    struct PortRow {
        QCheckBox* box = nullptr;
        QLabel* device = nullptr;
        QProgressBar* bar = nullptr;
        QLabel* result = nullptr;
        int radiosDone = 0;
    };
    void retranslate();
    void showState(int row, FleetPort& port);
    void showRadio(int row, const FleetRecord& record);
    void runEnded();

    const Document& m_doc;
    QString m_settingsFile;
    std::array<PortRow, 8> m_rows;
    QGroupBox* m_portsBox;
    QCheckBox* m_verifyBox;
    QCheckBox* m_repeatBox;
    QPushButton* m_writeButton;
    QPushButton* m_closeButton;
    QTimer m_availabilityTimer;
    std::unique_ptr<Fleet> m_fleet;
    bool m_asking = false; // the question whether to stop the radios being written is open
};
