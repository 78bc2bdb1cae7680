#pragma once

#include "core/config/document.h"
#include "core/channels/optiontables.h"

#include <QWidget>
#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
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
    static constexpr int FirstCheckId = 21; // SaveOptFeat id of Check1 item 0

    explicit OptionFeaturesWindow(Document& doc, QWidget* parent = nullptr);
    ~OptionFeaturesWindow() override;

    // Shows the current OptionWords again (lists rebuilt).
    void ReShowData();
    // Nothing is ever pending here: every choice is stored at once.
    bool validateEdits();

    // Stores one setting: 0..17 for Combo1 items, 21..38 for Check1 items (index + 21).
    void SaveOptFeat(int id);

    void InitOptComboList();
    void ShowOptData();

  private:
    void ChangOptByLanguage();
    void InitEmergencyLists();
    void showEmergencyChoices();
    void emergencyChosen(int group);
    bool hasList(int k) const;
    bool hasCheck(int k) const;
    void closeWindow();

    Document& m_doc;
    std::array<QLabel*, ListCount> m_label1{};
    std::array<QComboBox*, ListCount> m_combo1{};
    std::array<QCheckBox*, CheckCount> m_check1{};
    std::array<QLabel*, GroupCount> m_label2{};    // solvir: emergency channel captions
    std::array<QComboBox*, GroupCount> m_combo2{}; // solvir: emergency channel lists
    QGroupBox* m_frameModes = nullptr;
    QGroupBox* m_frameFunctions = nullptr;
    QPushButton* m_close = nullptr;
};
