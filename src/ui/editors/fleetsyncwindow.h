#pragma once

#include <functional>

#include "core/config/document.h"

#include <QWidget>
#include <array>

class EditorGrid;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;

// FleetSync: the own fleet and ID, the data parameters, and the fleet list of up to eight
// fleet/ID pairs. Every change is stored at once.
class FleetSyncWindow : public QWidget {
    Q_OBJECT
  public:
    explicit FleetSyncWindow(Document& doc, QWidget* parent = nullptr);
    ~FleetSyncWindow() override;

    // Commits the fleet list cell still being edited; always true.
    bool validateEdits();

  protected:
    void closeEvent(QCloseEvent* event) override;
    // Erasing "All" in the fleet list editor, before the grid and the editor see the key.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* buildSettingsTab();
    QWidget* buildFleetListTab();
    void fillLists();
    void setCaptions();
    void showRecord();
    // Changes the FleetSync settings through edit: one step named after the window.
    void changeSettings(const std::function<void(FleetSyncSettings&)>& edit);
    void chooseOwnFleet(FleetSyncSettings& f, int index);
    void chooseOwnId(FleetSyncSettings& f, int index);
    void ownFleetChosen(int index);
    void ownIdChosen(int index);
    void storeList(int list);
    void commitCell(int row, int column, const QString& text);
    bool editorKey(QKeyEvent* key);
    void setIdBlank(bool blank);
    bool idBlankShown() const;

    Document& m_doc;
    QTabWidget* m_tabs = nullptr;
    std::array<QLabel*, 5> m_settingLabels{};
    std::array<QComboBox*, 5> m_settingLists{};
    QCheckBox* m_pttIdSideTone = nullptr;
    EditorGrid* m_fleetGrid = nullptr;
    QPushButton* m_close = nullptr;
};
