#pragma once

#include <QDialog>
#include <functional>

class Document;
class QComboBox;
class QLabel;
class QPushButton;

// The model window (modal): model and band of the configuration. A change clears the
// frequency data after a warning: the main window loads a new configuration.
class ModelWindow : public QDialog {
    Q_OBJECT
  public:
    ModelWindow(Document& doc, std::function<void()> loadNewDoc, QWidget* parent = nullptr);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void fillBands();
    void onOk();

    Document& m_doc;
    std::function<void()> m_loadNewDoc;
    QLabel* Label1;
    QLabel* Label2;
    QComboBox* Combo1;
    QComboBox* Combo2;
    QPushButton* Command1;
    QPushButton* Command2;
};
