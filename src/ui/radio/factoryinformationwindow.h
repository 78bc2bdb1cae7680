#pragma once

#include "core/comm/localinfo.h"
#include "core/config/document.h"
#include <QDialog>

#include <array>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The radio's factory and dealer information as last read (or the start-up defaults). A
// display only: nothing shown here is stored anywhere.
class FactoryInformationWindow : public QDialog {
    Q_OBJECT
  public:
    FactoryInformationWindow(const Document& doc, const LocalInformation& info, QWidget* parent = nullptr);

  private:
    void changeShowByLanguage();
    void placeControls();
    void showValues(const LocalInformation& info);

    const Document& m_doc;
    QLabel* Label2;
    std::array<QLabel*, 14> Label1{};
    std::array<QLineEdit*, 12> Text1{}; // Text1(4), the description, is Description below
    QPlainTextEdit* Description;
    QComboBox* Combo1_0;
    QComboBox* Combo1_1;
    QGroupBox* Frame1;
    QPushButton* CommandClose;
};
