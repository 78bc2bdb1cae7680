#pragma once

#include "core/config/document.h"

#include <QWidget>
#include <array>

class EditorGrid;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

// DTMF: the encode settings, the decode settings with the stun function, and the eight
// autodial memories. Every change is stored at once.
class DtmfWindow : public QWidget {
    Q_OBJECT
  public:
    explicit DtmfWindow(Document& doc, QWidget* parent = nullptr);
    ~DtmfWindow() override;

    // Stores what the boxes and the grid editor hold; false when the ID code was refused.
    bool validateEdits();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void fillLists();
    void setCaptions();
    void showRecord();
    void storeCombo1(int i);
    void storeCombo2(int i);
    bool storeIdCode();
    void storeStunCode();
    void commitAutodial(int row, const QString& text);

    Document& m_doc;
    QTabWidget* m_tabs = nullptr;
    std::array<QLabel*, 5> m_label1{};
    std::array<QComboBox*, 5> m_combo1{};
    QCheckBox* m_check1 = nullptr;
    QLabel* m_labelId = nullptr;
    QLineEdit* m_text1 = nullptr;
    std::array<QLabel*, 4> m_label2{};
    std::array<QComboBox*, 4> m_combo2{};
    QCheckBox* m_check2 = nullptr;
    QGroupBox* m_frame1 = nullptr;
    QLabel* m_labelStun = nullptr;
    QLineEdit* m_text2 = nullptr;
    QLabel* m_labelStunType = nullptr;
    QComboBox* m_combo3 = nullptr;
    EditorGrid* m_grid = nullptr;
    QPushButton* m_close = nullptr;

    QString m_shownId;   // what Text1 showed when it was last stored or shown
    QString m_shownStun; // the same for Text2
    bool m_checkingId = false;
};
