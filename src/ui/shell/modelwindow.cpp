#include "modelwindow.h"

#include "core/config/document.h"
#include "core/config/modelband.h"
#include "ui/common/texttables.h"
#include "ui/common/uicommon.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

ModelWindow::ModelWindow(Document& doc, QWidget* parent)
    : QDialog(parent), m_doc(doc), m_modelLabel(new QLabel(this)), m_bandLabel(new QLabel(this)),
      m_modelBox(new QComboBox(this)), m_bandBox(new QComboBox(this)),
      m_okButton(new QPushButton(this)), m_cancelButton(new QPushButton(this)) {
    setObjectName(QStringLiteral("FrmModelInfo"));
    m_modelLabel->setObjectName(QStringLiteral("Label1"));
    m_bandLabel->setObjectName(QStringLiteral("Label2"));
    m_modelBox->setObjectName(QStringLiteral("Combo1"));
    m_bandBox->setObjectName(QStringLiteral("Combo2"));
    m_okButton->setObjectName(QStringLiteral("Command1"));
    m_cancelButton->setObjectName(QStringLiteral("Command2"));
    setModal(true);

    setWindowTitle(generalText(GeneralText::ModelWindowCaption));
    m_modelLabel->setText(generalText(GeneralText::ModelLabel));
    m_bandLabel->setText(generalText(GeneralText::BandLabel));
    m_modelLabel->setBuddy(m_modelBox);
    m_bandLabel->setBuddy(m_bandBox);
    m_okButton->setText(Caption::ok());
    m_cancelButton->setText(Caption::cancel());

    // Both boxes take typed text as well as list entries. The model box takes as many
    // characters as the record's model name field holds: a shorter name is stored with a
    // terminating 0, a full-length one ("SOLVIR") without.
    constexpr int modelLength = decltype(ModelInfo::modelName)::size;
    m_modelBox->setEditable(true);
    m_modelBox->setInsertPolicy(QComboBox::NoInsert);
    m_modelBox->lineEdit()->setMaxLength(modelLength);
    m_modelBox->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[\\x20-\\x7e]{0,%1}").arg(modelLength)), m_modelBox));
    m_bandBox->setEditable(true);
    m_bandBox->setInsertPolicy(QComboBox::NoInsert);
    m_bandBox->setMinimumWidth(twipsToPixelsX(3000));
    m_modelBox->addItem(QStringLiteral("WX40"));
    m_modelBox->setEditText(trimSpaces(m_doc.model()));
    fillBands();
    m_bandBox->setEditText(m_doc.band());
    m_modelBox->installEventFilter(this);
    m_bandBox->installEventFilter(this);

    auto* grid = new QGridLayout(this);
    grid->addWidget(m_modelLabel, 0, 0);
    grid->addWidget(m_modelBox, 0, 1);
    grid->addWidget(m_bandLabel, 1, 0);
    grid->addWidget(m_bandBox, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    grid->addLayout(buttons, 2, 0, 1, 2);
    m_okButton->setDefault(true);

    connect(m_modelBox, &QComboBox::textActivated, this, &ModelWindow::fillBands);
    connect(m_modelBox->lineEdit(), &QLineEdit::textEdited, this, &ModelWindow::fillBands);
    connect(m_okButton, &QPushButton::clicked, this, &ModelWindow::onOk);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void ModelWindow::fillBands() {
    m_bandBox->clear();
    m_bandBox->addItems(bandsOfferedFor(trimSpaces(m_modelBox->currentText())));
    if (m_bandBox->count() > 0) m_bandBox->setCurrentIndex(0);
}

bool ModelWindow::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == m_modelBox || watched == m_bandBox) && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            focusNextChild();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ModelWindow::onOk() {
    const QString model = trimSpaces(m_modelBox->currentText());
    const QString band = m_bandBox->currentText();
    if (model != trimSpaces(m_doc.model()) || band != m_doc.band()) {
        MessageRequest r;
        r.text = messageText(Msg::FreqDataCleared);
        r.title = messageText(Msg::WarningTitle);
        r.icon = MsgIcon::Warning;
        r.buttons = MsgButtons::OkCancel;
        r.id = Msg::FreqDataCleared;
        if (messageService().ask(r) == MsgAnswer::Ok) {
            // The new model and the new configuration it brings are one step.
            const EditStep step(m_doc, changeCaption(tr2("Model", "型号")));
            m_doc.setModelAndBand(model, band, changeCaption(tr2("Model", "型号")));
            emit modelChanged();
        }
    }
    accept();
}
