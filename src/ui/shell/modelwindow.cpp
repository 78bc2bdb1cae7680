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

ModelWindow::ModelWindow(Document& doc, std::function<void()> loadNewDoc, QWidget* parent)
    : QDialog(parent), m_doc(doc), m_loadNewDoc(std::move(loadNewDoc)), Label1(new QLabel(this)),
      Label2(new QLabel(this)), Combo1(new QComboBox(this)), Combo2(new QComboBox(this)),
      Command1(new QPushButton(this)), Command2(new QPushButton(this)) {
    setObjectName(QStringLiteral("FrmModelInfo"));
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2->setObjectName(QStringLiteral("Label2"));
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo2->setObjectName(QStringLiteral("Combo2"));
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2->setObjectName(QStringLiteral("Command2"));
    setModal(true);

    setWindowTitle(generalText(GeneralText::ModelWindowCaption));
    Label1->setText(generalText(GeneralText::ModelLabel));
    Label2->setText(generalText(GeneralText::BandLabel));
    Label1->setBuddy(Combo1);
    Label2->setBuddy(Combo2);
    captionOkAndCancel(this);

    // Both boxes take typed text as well as list entries. The model box takes as many
    // characters as the record's model name field holds: a shorter name is stored with a
    // terminating 0, a full-length one ("SOLVIR") without.
    constexpr int modelLength = decltype(ModelInfo::modelName)::size;
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->lineEdit()->setMaxLength(modelLength);
    Combo1->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[\\x20-\\x7e]{0,%1}").arg(modelLength)), Combo1));
    Combo2->setEditable(true);
    Combo2->setInsertPolicy(QComboBox::NoInsert);
    Combo2->setMinimumWidth(twipsToPixelsX(3000));
    Combo1->addItem(QStringLiteral("WX40"));
    Combo1->setEditText(trimSpaces(m_doc.currentModel));
    fillBands();
    Combo2->setEditText(m_doc.currentBand);
    Combo1->installEventFilter(this);
    Combo2->installEventFilter(this);

    auto* grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Combo1, 0, 1);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(Combo2, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    grid->addLayout(buttons, 2, 0, 1, 2);
    Command1->setDefault(true);

    connect(Combo1, &QComboBox::textActivated, this, &ModelWindow::fillBands);
    connect(Combo1->lineEdit(), &QLineEdit::textEdited, this, &ModelWindow::fillBands);
    connect(Command1, &QPushButton::clicked, this, &ModelWindow::onOk);
    connect(Command2, &QPushButton::clicked, this, &QDialog::reject);
}

void ModelWindow::fillBands() {
    Combo2->clear();
    Combo2->addItems(bandsOfferedFor(trimSpaces(Combo1->currentText())));
    if (Combo2->count() > 0) Combo2->setCurrentIndex(0);
}

bool ModelWindow::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == Combo1 || watched == Combo2) && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            focusNextChild();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ModelWindow::onOk() {
    const QString model = trimSpaces(Combo1->currentText());
    const QString band = Combo2->currentText();
    if (model != trimSpaces(m_doc.currentModel) || band != m_doc.currentBand) {
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
            if (m_loadNewDoc) m_loadNewDoc();
        }
    }
    accept();
}
