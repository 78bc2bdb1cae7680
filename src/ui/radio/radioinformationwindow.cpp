#include "radioinformationwindow.h"

#include "core/config/modelband.h"
#include "ui/common/handlertrap.h"
#include "ui/common/uicommon.h"

#include <QComboBox>
#include <QDate>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>
#include <algorithm>

namespace {
// Geometry in twips.
constexpr int Margin = 240;
constexpr int Column = 1500; // left edge of the controls, at least
constexpr int LabelGap = 50;
constexpr int RowPitch = 450;
constexpr int ControlHeight = 330;
constexpr int ButtonWidth = 1200;
constexpr int ButtonHeight = 375;
constexpr int ButtonGap = 120;

// Field sizes of the ModelInfo copies, less the character 0 that ends a stored text.
constexpr int ModelLength = 5;
constexpr int SerialLength = 10; // CreateDate keeps the first 8 characters; the radio gets 8
constexpr int VersionLength = 5;

constexpr int TypeLetterC = 67;

// The radio stores one byte per character: only codes 1 to 127 are taken (typed or pasted).
class AsciiValidator : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        for (QChar c : input)
            if (c.unicode() == 0 || c.unicode() > 127) return Invalid;
        return Acceptable;
    }
};

} // namespace

RadioInformationWindow::RadioInformationWindow(Document& doc, RadioSession& session,
                                               QWidget* parent)
    : QDialog(parent), m_doc(doc), m_session(session) {
    setObjectName(QStringLiteral("FrmRadioInfoSet"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    auto* ascii = new AsciiValidator(this);
    for (int i = 0; i < int(m_captionLabels.size()); ++i) {
        m_captionLabels[size_t(i)] = new QLabel(this);
        m_captionLabels[size_t(i)]->setObjectName(QStringLiteral("Label1_%1").arg(i));
    }
    // Created in tab order.
    m_modelBox = new QComboBox(this);
    m_modelBox->setEditable(true);
    m_modelBox->setInsertPolicy(QComboBox::NoInsert);
    m_modelBox->addItems({QStringLiteral("610"), QStringLiteral("614"), QStringLiteral("615"),
                          QStringLiteral("710"), QStringLiteral("714"), QStringLiteral("715")});
    m_modelBox->lineEdit()->setMaxLength(ModelLength);
    m_modelBox->setValidator(ascii);
    m_modelBox->setObjectName(QStringLiteral("Combo1_0"));
    m_bandBox = new QComboBox(this);
    m_bandBox->setObjectName(QStringLiteral("Combo1_1"));
    m_serialBox = new QLineEdit(this);
    m_serialBox->setMaxLength(SerialLength);
    m_timeSyncButton = new QPushButton(this);
    m_timeSyncButton->setObjectName(QStringLiteral("CommandTimeSync"));
    m_versionBox = new QLineEdit(this);
    m_versionBox->setMaxLength(VersionLength);
    m_serialBox->setObjectName(QStringLiteral("Text1_0"));
    m_versionBox->setObjectName(QStringLiteral("Text1_1"));
    for (QLineEdit* box : {m_serialBox, m_versionBox}) {
        box->setValidator(ascii);
        suppressRightClick(box);
        box->installEventFilter(this);
    }
    m_modelBox->installEventFilter(this);
    m_modelBox->lineEdit()->installEventFilter(this);
    m_bandBox->installEventFilter(this);
    m_readButton = new QPushButton(this);
    m_readButton->setObjectName(QStringLiteral("CommandRead"));
    m_writeButton = new QPushButton(this);
    m_writeButton->setObjectName(QStringLiteral("CommandWrite"));
    m_closeButton = new QPushButton(this);
    m_closeButton->setObjectName(QStringLiteral("CommandClose"));

    connectTrapped(m_modelBox, &QComboBox::currentTextChanged, this, "Click",
                   [this] { refillBands(); });
    connect(m_bandBox, &QComboBox::activated, this, [this] { m_storedBandShown = false; });
    connectTrapped(m_readButton, &QPushButton::clicked, this, "Click", [this] { onRead(); });
    connectTrapped(m_writeButton, &QPushButton::clicked, this, "Click", [this] { onWrite(); });
    connectTrapped(m_timeSyncButton, &QPushButton::clicked, this, "Click",
                   [this] { onTimeSync(); });
    connect(m_closeButton, &QPushButton::clicked, this, &QDialog::close);

    runTrapped(handlerName(this, "Load"), [this] {
        retranslate();
        placeControls();
        loadValues();
    });
}

QStringList RadioInformationWindow::bandsForModel(const QString& model) {
    const QString m = trimSpaces(model);
    if (m == QLatin1String("610"))
        return {QStringLiteral("136 - 174 MHz(M)"), QStringLiteral("136 - 174 MHz(K)")};
    if (m == QLatin1String("614") || m == QLatin1String("615"))
        return {QStringLiteral("136 - 174 MHz(M)")};
    if (m == QLatin1String("710"))
        return {QStringLiteral("450 - 490 MHz(K)"), QStringLiteral("470 - 512 MHz(K2)"),
                QStringLiteral("450 - 490 MHz(M)"), QStringLiteral("470 - 512 MHz(M2)")};
    if (m == QLatin1String("714"))
        return {QStringLiteral("450 - 490 MHz(M)"), QStringLiteral("400 - 430 MHz(M3)")};
    if (m == QLatin1String("715"))
        return {QStringLiteral("450 - 490 MHz(M)"), QStringLiteral("440 - 480 MHz(C)"),
                QStringLiteral("400 - 430 MHz(C2)"), QStringLiteral("370 - 390 MHz(C5)"),
                QStringLiteral("350 - 370 MHz(C6)")};
    return {};
}

QString RadioInformationWindow::normalisedVersion(const QString& text) {
    if (text.isEmpty()) return QStringLiteral("V");
    if (text.startsWith(QLatin1Char('V'))) return text;
    return (QLatin1Char('V') + text).left(VersionLength);
}

void RadioInformationWindow::retranslate() {
    setWindowTitle(tr2("Set Radio Information", "设置对讲机信息"));
    m_captionLabels[0]->setText(tr2("Model Type", "机型类型"));
    m_captionLabels[1]->setText(tr2("Frequency", "频率"));
    m_captionLabels[2]->setText(tr2("Serial Number", "序号"));
    m_captionLabels[3]->setText(QStringLiteral("版本"));
    m_readButton->setText(tr2("&Read", "读出(&R)"));
    m_writeButton->setText(tr2("&Write", "写入(&W)"));
    m_timeSyncButton->setText(tr2("&Time Sync", "时间同步(&T)"));
    captionCloseAndHelp(this);
}

// Labels end 50 twips left of the control column; Time Sync sits beside the serial number it
// fills; Read, Write and Close form the bottom row.
void RadioInformationWindow::placeControls() {
    const int margin = twipsToPixelsX(Margin);
    const int gap = twipsToPixelsX(LabelGap);
    const int height = twipsToPixelsY(ControlHeight);
    const int buttonHeight = twipsToPixelsY(ButtonHeight);
    const int buttonGap = twipsToPixelsX(ButtonGap);
    const auto buttonWidth = [](QPushButton* b) {
        return std::max(twipsToPixelsX(ButtonWidth), b->sizeHint().width());
    };

    int widest = 0;
    for (QLabel* l : m_captionLabels) {
        l->adjustSize();
        widest = std::max(widest, l->width());
    }
    const int column = std::max(twipsToPixelsX(Column), margin + widest + gap);
    const struct {
        QWidget* control;
        int widthTw;
    } rows[] = {{m_modelBox, 1300}, {m_bandBox, 2500}, {m_serialBox, 1300}, {m_versionBox, 900}};
    int y = margin;
    int right = 0;
    for (size_t i = 0; i < 4; ++i) {
        rows[i].control->setGeometry(column, y, twipsToPixelsX(rows[i].widthTw), height);
        m_captionLabels[i]->move(column - gap - m_captionLabels[i]->width(),
                                 y + (height - m_captionLabels[i]->height()) / 2);
        right = std::max(right, rows[i].control->geometry().right());
        if (rows[i].control == m_serialBox) {
            const QRect box = m_serialBox->geometry();
            m_timeSyncButton->setGeometry(box.right() + 1 + buttonGap,
                                          y + (height - buttonHeight) / 2,
                                          buttonWidth(m_timeSyncButton), buttonHeight);
            right = std::max(right, m_timeSyncButton->geometry().right());
        }
        y += twipsToPixelsY(RowPitch);
    }

    y += twipsToPixelsY(120);
    const int bottomRow = buttonWidth(m_readButton) + buttonWidth(m_writeButton) +
                          buttonWidth(m_closeButton) + 2 * buttonGap;
    const int width = std::max(right + margin, bottomRow + 2 * margin);
    int x = width - margin - bottomRow;
    for (QPushButton* b : {m_readButton, m_writeButton, m_closeButton}) {
        b->setGeometry(x, y, buttonWidth(b), buttonHeight);
        x += buttonWidth(b) + buttonGap;
    }
    setFixedSize(width, y + buttonHeight + margin);
}

void RadioInformationWindow::loadValues() {
    const ModelInfo& mi = m_doc.config().modelInfo;
    const QString model = shownFieldText(mi.modelNameCopy.untilNul()).left(3);
    const int modelIndex = m_modelBox->findText(model);
    if (modelIndex >= 0) m_modelBox->setCurrentIndex(modelIndex);
    m_modelBox->setEditText(model);
    refillBands();
    // The stored band: its entry when the list offers it, else its text over no selection
    // (the list's entries carry a factory suffix the band texts do not have). Either way the
    // stored band code stays until the user picks a band or another model.
    // The band code reads by the whole model text the radio reported ("5470" has a band of its
    // own), not by the three characters the model box shows.
    const QString stored =
        bandText(m_doc.product(), mi.bandCodeCopy, shownFieldText(mi.modelNameCopy.untilNul()));
    const int band = m_bandBox->findText(stored);
    m_bandBox->setCurrentIndex(band);
    m_bandBox->setPlaceholderText(band < 0 ? stored : QString());
    m_storedBandShown = true;
    m_serialBox->setText(shownFieldText(mi.createDate.untilNul()));
    m_versionBox->setText(shownFieldText(mi.softwareVersionText.untilNul()));

    m_shownModel = m_modelBox->currentText();
    m_shownBand = m_bandBox->currentText();
    m_shownSerial = m_serialBox->text();
    m_shownVersion = m_versionBox->text();
}

void RadioInformationWindow::refillBands() {
    m_storedBandShown = false;
    m_bandBox->setPlaceholderText(QString());
    m_bandBox->clear();
    m_bandBox->addItems(bandsForModel(m_modelBox->currentText()));
    if (m_bandBox->count() > 0) m_bandBox->setCurrentIndex(0);
}

void RadioInformationWindow::storeValues(bool onlyChanged) {
    const QString model = m_modelBox->currentText();
    const QString band = m_bandBox->currentText();
    const QString serial = m_serialBox->text();
    const bool versionEdited = m_versionBox->text() != m_shownVersion;
    m_versionBox->setText(normalisedVersion(m_versionBox->text()));
    const QString version = m_versionBox->text();

    ModelInfo mi = m_doc.config().modelInfo;
    if (!onlyChanged || model != m_shownModel || band != m_shownBand) {
        mi.modelNameCopy.assign(model.toLatin1() + '\0');
        if (!m_storedBandShown) mi.bandCodeCopy = int16_t(bandCode(m_doc.product(), band, model));
        mi.typeLetter = TypeLetterC;
    }
    if (!onlyChanged || serial != m_shownSerial) mi.createDate.assign(serial.toLatin1() + '\0');
    if (!onlyChanged || versionEdited) mi.softwareVersionText.assign(version.toLatin1() + '\0');
    m_doc.setModelInformation(mi, changeCaption(windowTitle()));
    m_shownModel = model;
    m_shownBand = band;
    m_shownSerial = serial;
    m_shownVersion = version;
}

void RadioInformationWindow::onRead() {
    if (m_session.busy()) return;
    emit readRequested();
}

// The radio gets exactly what the window shows.
void RadioInformationWindow::onWrite() {
    if (m_session.busy()) return;
    storeValues(false);
    m_session.writeInformation();
}

void RadioInformationWindow::onTimeSync() {
    m_serialBox->setText(QDate::currentDate().toString(QStringLiteral("yyyyMMdd")));
}

void RadioInformationWindow::done(int result) {
    runTrapped(handlerName(this, "Unload"), [this] { storeValues(true); });
    QDialog::done(result);
}

bool RadioInformationWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            focusNextChild();
            return true;
        }
    } else if (event->type() == QEvent::FocusOut && watched == m_versionBox) {
        runTrapped("Text1_LostFocus",
                   [this] { m_versionBox->setText(normalisedVersion(m_versionBox->text())); });
    }
    return QDialog::eventFilter(watched, event);
}
