#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The About windows: the program's title, "Version " / "版本 " and its version, OK, and the
// system-information button. EnglishAboutWindow is the English window, ChineseAboutWindow the
// Chinese one.
class AboutWindow : public QDialog {
    Q_OBJECT
  public:
    AboutWindow(const QString& objectName, const QString& productName, int language,
                QWidget* parent);

    // "1.0.0": major.minor.revision of the program.
    static QString programVersion();

  private:
    void showSystemInfo();

    QLabel* m_titleLabel;
    QLabel* m_versionLabel;
    QPushButton* m_okButton;
    QPushButton* m_systemInfoButton;
};

class ChineseAboutWindow : public AboutWindow {
    Q_OBJECT
  public:
    explicit ChineseAboutWindow(const QString& productName, QWidget* parent = nullptr);
};

class EnglishAboutWindow : public AboutWindow {
    Q_OBJECT
  public:
    explicit EnglishAboutWindow(const QString& productName, QWidget* parent = nullptr);
};
