#pragma once

#include "core/config/document.h"

#include <QWidget>
#include <array>

class QComboBox;
class QLabel;
class QPushButton;

// The scan settings: priority scheme, look-back times, revert channel rule and the two scan
// delays. Every pick is stored at once.
class ScanWindow : public QWidget {
    Q_OBJECT
  public:
    explicit ScanWindow(Document& doc, QWidget* parent = nullptr);

    static constexpr int ListCount = 7;

    // Number of channels of the configuration's model (the priority channel choices).
    static int modelChannelCount(const QString& model);

  private:
    void fillLists();
    void setCaptions();
    void showRecord();
    void storeList(int list);
    void offerRevertChoices(int mode);
    void showRevertAfterModeChange();
    void enableByMode(int mode);

    Document& m_doc;
    std::array<QLabel*, ListCount> m_labels{};
    std::array<QComboBox*, ListCount> m_lists{};
    QPushButton* m_close = nullptr;
};
