#pragma once

#include "core/comm/testmode.h"
#include "testparameterswindow.h"

#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;

// A lamp: a small round light whose colour tells the transmitter state.
void setLamp(QLabel* lamp, const QColor& colour);

// The test window: test channel, test signalling, adjustment item, wide/narrow, transmitter
// and tuning. Every control that talks to the radio queues an action of the engine.
class TestModeWindow : public QDialog {
    Q_OBJECT
  public:
    TestModeWindow(TestModeEngine& engine, Document& doc, QWidget* parent = nullptr);

    // Closing ends test mode with the current signalling (unless it has already ended).
    void done(int result) override;

    // A transmitter that is on is switched off; false when the queue could not take the
    // command (the transmitter stays on).
    bool releaseTransmitter();

    int currentTestChannel() const { return m_testChannel; }
    int currentSignalling() const { return m_signalling; }
    int currentItem() const { return m_item; }
    bool transmitting() const { return m_transmitting; }
    TestParametersWindow* parameterWindow() const { return m_parameterWindow; }

  private:
    void retranslate();
    void createControls();
    void connectControls();
    void connectEngine();
    void buildLayout();
    void fillTestChannels();
    void showTestChannel(int index);
    void showSignalling(int index);
    void showBandwidth();
    void showTransmitter();
    void onTestChannel(int index);
    void onSignalling(int index);
    void onItem(int row);
    void onPtt(bool on);
    void openParameterWindow();

    TestModeEngine& m_engine;
    Document& m_doc;
    std::array<QGroupBox*, 2> m_frames{}; // test channel, test signalling
    // Channel No., RX, TX; Signalling, RX, TX; Adjustment Item.
    std::array<QLabel*, 7> m_captionLabels{};
    std::array<QLabel*, 4> m_stateLabels{}; // RX, TX frequency; RX, TX signalling
    QComboBox* m_testChannelBox;
    QComboBox* m_signallingBox;
    QListWidget* m_itemList;
    QPushButton* m_wideButton;
    QPushButton* m_narrowButton;
    QCheckBox* m_pttBox;
    QPushButton* m_tuneButton;
    QPushButton* m_printButton;
    QPushButton* m_closeButton;
    QLabel* m_wideLabel;
    QLabel* m_narrowLabel;
    QLabel* m_receivingLabel;
    QLabel* m_transmittingLabel;
    QLabel* m_transmitterLamp;
    QPointer<TestParametersWindow> m_parameterWindow;
    QTimer m_parameterWindowTimer; // 300 ms after the tune request was acknowledged

    int m_testChannel = 1;
    int m_signalling = 1;
    int m_item = 0;
    bool m_transmitting = false;
    bool m_ended = false;
    bool m_closing = false;
};

// Opens the test window when the engine asks for it (after a good start), over the given parent.
class TestModeWindows : public QObject {
    Q_OBJECT
  public:
    TestModeWindows(TestModeEngine& engine, Document& doc, QWidget* parent);
    TestModeWindow* testWindow() const { return m_window; }

  private:
    TestModeEngine& m_engine;
    Document& m_doc;
    QWidget* m_parent;
    QPointer<TestModeWindow> m_window;
};
