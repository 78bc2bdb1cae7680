#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class SetupSettings;

// The language window (modal). OK sets the language index and, when the program keeps its
// language (meridox), writes "CurrentLanguage"; the main window redraws itself in the new
// language when it next becomes active.
class LanguageWindow : public QDialog {
    Q_OBJECT
  public:
    // settings: where "CurrentLanguage" is written; nullptr when the program keeps no language.
    LanguageWindow(int systemLanguage, SetupSettings* settings, QWidget* parent = nullptr);

    // After OK: the language index before the change.
    int previousLanguage() const { return m_previous; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void onOk();

    SetupSettings* m_settings;
    int m_previous;
    QLabel* m_languageLabel;
    QComboBox* m_languageList;
    QPushButton* m_okButton;
    QPushButton* m_cancelButton;
};
