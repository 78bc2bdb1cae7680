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
      Label1(new QLabel(this)), Combo1(new QComboBox(this)), Command1(new QPushButton(this)),
      Command2(new QPushButton(this)) {
    setObjectName(QStringLiteral("FrmSetLanguage"));
    Label1->setObjectName(QStringLiteral("Label1"));
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2->setObjectName(QStringLiteral("Command2"));
    setModal(true);

    setWindowTitle(generalText(GeneralText::LanguageWindowCaption));
    Label1->setText(generalText(GeneralText::LanguageLabel));
    Label1->setBuddy(Combo1);
    captionOkAndCancel(this);

    // A fixed list: only the offered names can be chosen. Chinese is offered on a Chinese
    // system, and kept on offer while the program already speaks it.
    Combo1->addItem(generalText(GeneralText::EnglishName), int(LanguageEnglish));
    if (systemLanguage == LanguageChinese || currentLanguage() == LanguageChinese)
        Combo1->addItem(generalText(GeneralText::ChineseName), int(LanguageChinese));
    const int shown = Combo1->findData(currentLanguage());
    Combo1->setCurrentIndex(shown >= 0 ? shown : 0);
    Combo1->installEventFilter(this);
    Combo1->setMinimumWidth(twipsToPixelsX(2000));

    auto* grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Combo1, 0, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    grid->addLayout(buttons, 1, 0, 1, 2);
    Command1->setDefault(true);

    connect(Command1, &QPushButton::clicked, this, &LanguageWindow::onOk);
    connect(Command2, &QPushButton::clicked, this, &QDialog::reject);
}

bool LanguageWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Combo1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            focusNextChild();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void LanguageWindow::onOk() {
    const int chosen = Combo1->currentData().toInt();
    m_previous = currentLanguage();
    if (chosen != currentLanguage()) setCurrentLanguage(chosen);
    if (m_settings) m_settings->setCurrentLanguage(chosen);
    accept();
}
