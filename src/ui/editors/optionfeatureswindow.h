#pragma once

#include "core/channels/optiontables.h"
#include "core/config/document.h"

#include <QWidget>
#include <array>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QPushButton;

// Optional features: the radio-wide settings of OptionWords, eighteen lists and eighteen
// check boxes (fewer in solvir, which also keeps the per-group emergency channels here).
// Every change is stored the moment its control changes.
class OptionFeaturesWindow : public QWidget {
    Q_OBJECT
  public:
    static constexpr int ListCount = OptionTables::ListCount;
    static constexpr int CheckCount = OptionTables::CheckCount;

    explicit OptionFeaturesWindow(Document& doc, QWidget* parent = nullptr);
    ~OptionFeaturesWindow() override;

    // Shows the current OptionWords again (lists rebuilt).
    void refresh();
    // Nothing is ever pending here: every choice is stored at once.
    bool validateEdits();

  private:
    void buildLists();
    void buildCheckBoxes();
    void buildEmergencyLists();
    QGridLayout* layOutLists();
    QHBoxLayout* layOutCheckBoxes();
    void connectSignals();

    void fillLists();
    void fillEmergencyLists();
    void setCaptions();
    void showSettings();
    void showEmergencyChoices();
    void refreshEmergencyLists();
    void storeList(int list);
    void showChecks();
    void storeCheck(int check);
    void emergencyChosen(int group);
    bool hasList(int k) const;
    bool hasCheck(int k) const;
    void closeWindow();

    Document& m_doc;
    std::array<QLabel*, ListCount> m_listLabels{};
    std::array<QComboBox*, ListCount> m_lists{};
    std::array<QCheckBox*, CheckCount> m_checkBoxes{};
    std::array<QLabel*, GroupCount> m_emergencyLabels{};   // solvir: emergency channel captions
    std::array<QComboBox*, GroupCount> m_emergencyLists{}; // solvir: emergency channel lists
    QGroupBox* m_modeBox = nullptr;                        // the operating modes the radio offers
    QGroupBox* m_functionBox = nullptr; // the channel functions common to all channels
    QPushButton* m_close = nullptr;
};
