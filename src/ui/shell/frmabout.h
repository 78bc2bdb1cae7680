#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The About windows: the program's title, "Version " / "版本 " and its version, OK, and the
// system-information button. FrmAbout2 is the English window, frmAbout the Chinese one.
class AboutWindow : public QDialog {
    Q_OBJECT
  public:
    AboutWindow(const QString& objectName, const QString& productName, int language,
                QWidget* parent);

    // "1.0.0": major.minor.revision of the program.
    static QString programVersion();

  private:
    void showSystemInfo();

    QLabel* lblTitle;
    QLabel* lblVersion;
    QPushButton* cmdOK;
    QPushButton* cmdSysInfo;
};

class frmAbout : public AboutWindow {
    Q_OBJECT
  public:
    explicit frmAbout(const QString& productName, QWidget* parent = nullptr);
};

class FrmAbout2 : public AboutWindow {
    Q_OBJECT
  public:
    explicit FrmAbout2(const QString& productName, QWidget* parent = nullptr);
};
