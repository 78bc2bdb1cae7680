#pragma once

#include "core/config/document.h"

#include <QWidget>
#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

// The two message lines the radio carries, 32 characters each.
class MessageLinesWindow : public QWidget {
    Q_OBJECT
  public:
    explicit MessageLinesWindow(Document& doc, QWidget* parent = nullptr);
    ~MessageLinesWindow() override;

    // Stores both lines as they stand; always true (nothing a box holds can be refused).
    bool validateEdits();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void showLines();
    void storeLine(int line);
    void closeWindow();

    Document& m_doc;
    std::array<QLabel*, 2> m_lineLabels{};
    std::array<QLineEdit*, 2> m_lineBoxes{};
    std::array<QString, 2> m_shown; // what each box showed when it was last stored or shown
    QPushButton* m_close = nullptr;
};
