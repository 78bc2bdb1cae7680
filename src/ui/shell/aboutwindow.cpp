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
    : QDialog(parent), m_titleLabel(new QLabel(this)), m_versionLabel(new QLabel(this)),
      m_okButton(new QPushButton(this)), m_systemInfoButton(new QPushButton(this)) {
    setObjectName(objectName);
    m_titleLabel->setObjectName(QStringLiteral("lblTitle"));
    m_versionLabel->setObjectName(QStringLiteral("lblVersion"));
    m_okButton->setObjectName(QStringLiteral("cmdOK"));
    m_systemInfoButton->setObjectName(QStringLiteral("cmdSysInfo"));
    setModal(true);

    const bool chinese = language == LanguageChinese;
    setWindowTitle((chinese ? QString::fromUtf8("关于 ") : QStringLiteral("About ")) + productName);
    m_titleLabel->setText(productName);
    QFont big = m_titleLabel->font();
    big.setPointSizeF(big.pointSizeF() * 1.8);
    big.setBold(true);
    m_titleLabel->setFont(big);
    m_versionLabel->setText((chinese ? QString::fromUtf8("版本 ") : QStringLiteral("Version ")) +
                            programVersion());
    m_okButton->setText(chinese ? QString::fromUtf8("确定") : QStringLiteral("OK"));
    m_systemInfoButton->setText(chinese ? QString::fromUtf8("系统信息(&S)...")
                                        : QStringLiteral("&System Info..."));

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("picIcon"));
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(48, 48));

    auto* text = new QVBoxLayout;
    text->addWidget(m_titleLabel);
    text->addWidget(m_versionLabel);
    text->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addLayout(text, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_systemInfoButton);
    buttons->addStretch();
    top->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    setMinimumWidth(360);
    m_okButton->setDefault(true);

    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_systemInfoButton, &QPushButton::clicked, this, &AboutWindow::showSystemInfo);
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
