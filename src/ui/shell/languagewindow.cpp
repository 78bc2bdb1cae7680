#include "languagewindow.h"

#include "core/config/settingsfile.h"
#include "ui/common/texttables.h"
#include "ui/common/uicommon.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

LanguageWindow::LanguageWindow(int systemLanguage, SetupSettings* settings, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_previous(currentLanguage()),
      m_languageLabel(new QLabel(this)), m_languageList(new QComboBox(this)),
      m_okButton(new QPushButton(this)), m_cancelButton(new QPushButton(this)) {
    setObjectName(QStringLiteral("FrmSetLanguage"));
    m_languageLabel->setObjectName(QStringLiteral("Label1"));
    m_languageList->setObjectName(QStringLiteral("Combo1"));
    m_okButton->setObjectName(QStringLiteral("Command1"));
    m_cancelButton->setObjectName(QStringLiteral("Command2"));
    setModal(true);

    setWindowTitle(generalText(GeneralText::LanguageWindowCaption));
    m_languageLabel->setText(generalText(GeneralText::LanguageLabel));
    m_languageLabel->setBuddy(m_languageList);
    m_okButton->setText(Caption::ok());
    m_cancelButton->setText(Caption::cancel());

    // A fixed list: only the offered names can be chosen. Chinese is offered on a Chinese
    // system, and kept on offer while the program already speaks it.
    m_languageList->addItem(generalText(GeneralText::EnglishName), int(LanguageEnglish));
    if (systemLanguage == LanguageChinese || currentLanguage() == LanguageChinese)
        m_languageList->addItem(generalText(GeneralText::ChineseName), int(LanguageChinese));
    const int shown = m_languageList->findData(currentLanguage());
    m_languageList->setCurrentIndex(shown >= 0 ? shown : 0);
    m_languageList->installEventFilter(this);
    m_languageList->setMinimumWidth(twipsToPixelsX(2000));

    auto* grid = new QGridLayout(this);
    grid->addWidget(m_languageLabel, 0, 0);
    grid->addWidget(m_languageList, 0, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    grid->addLayout(buttons, 1, 0, 1, 2);
    m_okButton->setDefault(true);

    connect(m_okButton, &QPushButton::clicked, this, &LanguageWindow::onOk);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

bool LanguageWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_languageList && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            focusNextChild();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void LanguageWindow::onOk() {
    const int chosen = m_languageList->currentData().toInt();
    m_previous = currentLanguage();
    if (chosen != currentLanguage()) setCurrentLanguage(chosen);
    if (m_settings) m_settings->setCurrentLanguage(chosen);
    accept();
}
