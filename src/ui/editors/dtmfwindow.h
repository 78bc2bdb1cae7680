#pragma once

#include <functional>

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
    QWidget* buildEncodeTab();
    QWidget* buildDecodeTab();
    QWidget* buildAutodialTab();
    void fillLists();
    void setCaptions();
    void showRecord();
    // Changes the DTMF settings through edit: one step named after the window.
    void changeSettings(const std::function<void(DtmfSettings&)>& edit);
    void storeEncodeList(int i);
    void storeDecodeList(int i);
    bool storeIdCode();
    void storeStunCode();
    void commitAutodial(int row, const QString& text);

    Document& m_doc;
    QTabWidget* m_tabs = nullptr;
    // Encode tab.
    std::array<QLabel*, 5> m_encodeLabels{};
    std::array<QComboBox*, 5> m_encodeLists{};
    QCheckBox* m_sideTone = nullptr;
    // Decode tab.
    QLabel* m_idCodeLabel = nullptr;
    QLineEdit* m_idCode = nullptr;
    std::array<QLabel*, 4> m_decodeLabels{};
    std::array<QComboBox*, 4> m_decodeLists{};
    QCheckBox* m_clearToTranspond = nullptr;
    QGroupBox* m_stunBox = nullptr;
    QLabel* m_stunCodeLabel = nullptr;
    QLineEdit* m_stunCode = nullptr;
    QLabel* m_stunTypeLabel = nullptr;
    QComboBox* m_stunTypeList = nullptr;
    // Autodial memory tab.
    EditorGrid* m_autodialGrid = nullptr;
    QPushButton* m_close = nullptr;

    QString m_shownId;      // what the ID code box showed when it was last stored or shown
    bool m_idTyped = false; // the user typed into the ID code box since it was last checked
    QString m_shownStun;    // the same for the stun code box
    bool m_checkingId = false;
};
