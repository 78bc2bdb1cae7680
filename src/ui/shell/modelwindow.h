#pragma once

#include <QDialog>

class Document;
class QComboBox;
class QLabel;
class QPushButton;

// The model window (modal): model and band of the configuration. A change clears the
// frequency data after a warning: modelChanged() asks for a new configuration.
class ModelWindow : public QDialog {
    Q_OBJECT
  public:
    explicit ModelWindow(Document& doc, QWidget* parent = nullptr);

  signals:
    // The user accepted another model or band: a new configuration for it is loaded now, as
    // part of the same edit step.
    void modelChanged();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void fillBands();
    void onOk();

    Document& m_doc;
    QLabel* m_modelLabel;
    QLabel* m_bandLabel;
    QComboBox* m_modelBox;
    QComboBox* m_bandBox;
    QPushButton* m_okButton;
    QPushButton* m_cancelButton;
};
