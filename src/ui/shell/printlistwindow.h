#pragma once

#include "report/report.h"

#include <QDialog>
#include <array>
#include <memory>
#include <optional>

class Document;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QHBoxLayout;
class QLineEdit;
class QPrinter;

// The print item selection window (modal): which channel groups (each with a range of
// channel numbers), and whether the optional features, the local information and the
// embedded message go into the printout. Set opens the printer setup; OK shows the print
// preview, from which the user prints or saves a PDF file.
class PrintListWindow : public QDialog {
    Q_OBJECT
  public:
    explicit PrintListWindow(const Document& doc, QWidget* parent = nullptr);
    ~PrintListWindow() override;

    // What the boxes select; nothing when a checked channel range is invalid (the message
    // names it and the box gets the focus).
    std::optional<PrintSelection> selection();

  private:
    QGridLayout* buildItems();
    QHBoxLayout* buildButtons();
    void setAllChecked(bool on);
    void setupPrinter();
    void printSelected();
    QPrinter& printer();

    const Document& m_doc;
    std::array<QCheckBox*, 5> m_itemChecks{};
    std::array<QLineEdit*, 4> m_rangeBoxes{};
    std::array<QComboBox*, 2> m_groupLists{}; // the group of each channel line
    std::unique_ptr<QPrinter> m_printer;
};
