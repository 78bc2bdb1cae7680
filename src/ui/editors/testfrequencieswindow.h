#pragma once

#include "core/config/document.h"

#include <QWidget>
#include <array>

class EditorGrid;
class QPushButton;

// The sixteen test channels of the configuration, each a receive and a transmit frequency,
// edited cell by cell. Every committed cell updates the test channel table at once.
class TestFrequenciesWindow : public QWidget {
    Q_OBJECT
  public:
    explicit TestFrequenciesWindow(Document& doc, QWidget* parent = nullptr);
    ~TestFrequenciesWindow() override;

    static constexpr int TestChannels = 16;

    // Commits the cell still being edited; always true.
    bool validateEdits();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void setCaptions();
    void showTable();
    void enterPressed();
    void commitCell(int row, int column, const QString& text);
    void storeRow(int row);
    QString shownFrequency(const FixedText<8>& stored) const;

    Document& m_doc;
    EditorGrid* m_grid = nullptr;
    QPushButton* m_close = nullptr;
    // What the cells of each row showed for the stored frequencies (index 0 unused), so that a
    // side left as it was keeps its stored text.
    std::array<QString, TestChannels + 1> m_shownRx;
    std::array<QString, TestChannels + 1> m_shownTx;
};
