#pragma once

#include "core/config/document.h"

#include <QWidget>
#include <array>

class QComboBox;
class QLabel;
class QPushButton;

// The functions of the two programmable keys PF1 and PF2. A pick is stored at once.
class KeyAssignmentWindow : public QWidget {
    Q_OBJECT
  public:
    explicit KeyAssignmentWindow(Document& doc, QWidget* parent = nullptr);

    // Stores what both lists show; always true.
    bool validateEdits();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void showKeys();
    void storeKey(int key);

    Document& m_doc;
    std::array<QLabel*, 2> m_keyLabels{};
    std::array<QComboBox*, 2> m_keyLists{};
    QPushButton* m_close = nullptr;
};
