#pragma once

#include "core/comm/testmode.h"

#include <QDialog>
#include <QTimer>

#include <array>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QTabWidget;

// The parameter window of one adjustment item: a tab per level with a slider and a value box
// (items 1..11), or a live reading (items 12..15). Opened modally over the test window.
class TestParametersWindow : public QDialog {
    Q_OBJECT
  public:
    TestParametersWindow(TestModeEngine& engine, int item, QWidget* parent = nullptr);

    // Closing lets go of this window's transmitter and restores the radio's parameters.
    void done(int result) override;

    int item() const { return m_item; }
    bool readingLayout() const { return testItemIsReading(m_item); }
    bool transmitting() const { return m_transmitting; }

    // The live reading runs: the value is read every 500 ms.
    bool liveReading() const { return m_liveReadingTimer.isActive(); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void retranslate();
    void createLevelTabs();
    void connectControls();
    void buildLayout();
    void layoutForItem();
    void showValues();
    int levelCode(int level) const { return testParameterCode(m_item, level); }
    void onTab(int level);
    void onSlider(int level, int value);
    void applyTyped(int level);
    void onReadToggle();
    void onPtt(bool on);
    void onConfirm();

    TestModeEngine& m_engine;
    int m_item;
    QTabWidget* m_levelTabs;
    std::array<QSlider*, TestLevelCount> m_levelSliders{};
    std::array<QLineEdit*, TestLevelCount> m_levelValueBoxes{};
    std::array<QLabel*, TestLevelCount> m_levelLabels{};
    QGroupBox* m_readingFrame;
    QLabel* m_readingLabel;
    QPushButton* m_readButton;
    QPushButton* m_pttButton;
    QPushButton* m_confirmButton;
    QPushButton* m_cancelButton;
    QLabel* m_readingLamp;
    QLabel* m_transmitterLamp;

    QTimer m_liveReadingTimer;

    bool m_transmitting = false;
    bool m_showing = false; // values being shown: slider changes are not the user's
    bool m_closing = false;
};
