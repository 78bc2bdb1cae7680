#include "aboutwindow.h"

#include "core/config/messages.h"

#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#ifndef PROGRAM_VERSION
#define PROGRAM_VERSION "0.0.0"
#endif

AboutWindow::AboutWindow(const QString& objectName, const QString& productName, int language,
                         QWidget* parent)
    : QDialog(parent), lblTitle(new QLabel(this)), lblVersion(new QLabel(this)),
      cmdOK(new QPushButton(this)), cmdSysInfo(new QPushButton(this)) {
    setObjectName(objectName);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    setModal(true);

    const bool chinese = language == LanguageChinese;
    setWindowTitle((chinese ? QString::fromUtf8("关于 ") : QStringLiteral("About ")) + productName);
    lblTitle->setText(productName);
    QFont big = lblTitle->font();
    big.setPointSizeF(big.pointSizeF() * 1.8);
    big.setBold(true);
    lblTitle->setFont(big);
    lblVersion->setText((chinese ? QString::fromUtf8("版本 ") : QStringLiteral("Version ")) +
                        programVersion());
    cmdOK->setText(chinese ? QString::fromUtf8("确定") : QStringLiteral("OK"));
    cmdSysInfo->setText(chinese ? QString::fromUtf8("系统信息(&S)...")
                                : QStringLiteral("&System Info..."));

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("picIcon"));
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(48, 48));

    auto* text = new QVBoxLayout;
    text->addWidget(lblTitle);
    text->addWidget(lblVersion);
    text->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addLayout(text, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    buttons->addStretch();
    top->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    setMinimumWidth(360);
    cmdOK->setDefault(true);

    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSysInfo, &QPushButton::clicked, this, &AboutWindow::showSystemInfo);
}

QString AboutWindow::programVersion() {
    return QStringLiteral(PROGRAM_VERSION);
}

void AboutWindow::showSystemInfo() {
    // There is no system-information tool to start on this platform.
    showMessage(QString::fromUtf8("此时系统信息不可用"), MsgIcon::Information, MsgButtons::Ok);
}

ChineseAboutWindow::ChineseAboutWindow(const QString& productName, QWidget* parent)
    : AboutWindow(QStringLiteral("frmAbout"), productName, LanguageChinese, parent) {}

EnglishAboutWindow::EnglishAboutWindow(const QString& productName, QWidget* parent)
    : AboutWindow(QStringLiteral("FrmAbout2"), productName, LanguageEnglish, parent) {}
