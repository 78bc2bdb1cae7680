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
    FactoryInformationWindow(const Document& doc, const LocalInformation& info,
                             QWidget* parent = nullptr);

  private:
    void retranslate();
    void placeControls();
    void showValues(const LocalInformation& info);

    const Document& m_doc;
    QLabel* m_areaCodeLabel;
    // Captions of the boxes; 10..13 caption the dealer boxes inside the dealer frame.
    std::array<QLabel*, 14> m_captionLabels{};
    // One box per field of the local information, in its order; field 4, the description,
    // shows in m_descriptionBox instead (its slot here stays empty).
    std::array<QLineEdit*, 12> m_valueBoxes{};
    QPlainTextEdit* m_descriptionBox;
    QComboBox* m_modelBox;
    QComboBox* m_bandBox;
    QGroupBox* m_dealerFrame;
    QPushButton* m_closeButton;
};
