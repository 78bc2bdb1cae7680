#include "radioinformationwindow.h"

#include "ui/common/uicommon.h"
#include "core/config/modelband.h"
#include "ui/common/handlertrap.h"

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
constexpr int SerialLength = 8; // CreateDate holds 8 characters; the radio gets 8
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

RadioInformationWindow::RadioInformationWindow(Document& doc, RadioSession& session, QWidget* parent)
    : QDialog(parent), m_doc(doc), m_session(session) {
    setObjectName(QStringLiteral("FrmRadioInfoSet"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    readInformation = [this] { m_session.readInformation(false); };

    auto* ascii = new AsciiValidator(this);
    for (int i = 0; i < int(Label1.size()); ++i) {
        Label1[size_t(i)] = new QLabel(this);
        Label1[size_t(i)]->setObjectName(QStringLiteral("Label1_%1").arg(i));
    }
    // Created in tab order.
    Combo1[0] = new QComboBox(this);
    Combo1[0]->setEditable(true);
    Combo1[0]->setInsertPolicy(QComboBox::NoInsert);
    Combo1[0]->addItems({QStringLiteral("610"), QStringLiteral("614"), QStringLiteral("615"),
                         QStringLiteral("710"), QStringLiteral("714"), QStringLiteral("715")});
    Combo1[0]->lineEdit()->setMaxLength(ModelLength);
    Combo1[0]->setValidator(ascii);
    Combo1[1] = new QComboBox(this);
    for (int i = 0; i < 2; ++i)
        Combo1[size_t(i)]->setObjectName(QStringLiteral("Combo1_%1").arg(i));
    Text1[0] = new QLineEdit(this);
    Text1[0]->setMaxLength(SerialLength);
    CommandTimeSync = new QPushButton(this);
    CommandTimeSync->setObjectName(QStringLiteral("CommandTimeSync"));
    Text1[1] = new QLineEdit(this);
    Text1[1]->setMaxLength(VersionLength);
    for (int i = 0; i < 2; ++i) {
        Text1[size_t(i)]->setObjectName(QStringLiteral("Text1_%1").arg(i));
        Text1[size_t(i)]->setValidator(ascii);
        suppressRightClick(Text1[size_t(i)]);
        Text1[size_t(i)]->installEventFilter(this);
    }
    Combo1[0]->installEventFilter(this);
    Combo1[0]->lineEdit()->installEventFilter(this);
    Combo1[1]->installEventFilter(this);
    CommandRead = new QPushButton(this);
    CommandRead->setObjectName(QStringLiteral("CommandRead"));
    CommandWrite = new QPushButton(this);
    CommandWrite->setObjectName(QStringLiteral("CommandWrite"));
    CommandClose = new QPushButton(this);
    CommandClose->setObjectName(QStringLiteral("CommandClose"));

    connect(Combo1[0], &QComboBox::currentTextChanged, this,
            [this] { runTrapped("Combo1_Click", [this] { refillBands(); }); });
    connect(Combo1[1], &QComboBox::activated, this, [this] { m_storedBandShown = false; });
    connect(CommandRead, &QPushButton::clicked, this,
            [this] { runTrapped("CommandRead_Click", [this] { onRead(); }); });
    connect(CommandWrite, &QPushButton::clicked, this,
            [this] { runTrapped("CommandWrite_Click", [this] { onWrite(); }); });
    connect(CommandTimeSync, &QPushButton::clicked, this,
            [this] { runTrapped("CommandTimeSync_Click", [this] { onTimeSync(); }); });
    connect(CommandClose, &QPushButton::clicked, this, &QDialog::close);

    runTrapped("FrmRadioInfoSet_Load", [this] {
        changeShowByLanguage();
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

void RadioInformationWindow::changeShowByLanguage() {
    setWindowTitle(tr2("Set Radio Information", "设置对讲机信息"));
    Label1[0]->setText(tr2("Model Type", "机型类型"));
    Label1[1]->setText(tr2("Frequency", "频率"));
    Label1[2]->setText(tr2("Serial Number", "序号"));
    Label1[3]->setText(QStringLiteral("版本"));
    CommandRead->setText(tr2("&Read", "读出(&R)"));
    CommandWrite->setText(tr2("&Write", "写入(&W)"));
    CommandTimeSync->setText(tr2("&Time Sync", "时间同步(&T)"));
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
    for (QLabel* l : Label1) {
        l->adjustSize();
        widest = std::max(widest, l->width());
    }
    const int column = std::max(twipsToPixelsX(Column), margin + widest + gap);
    const struct {
        QWidget* control;
        int widthTw;
    } rows[] = {{Combo1[0], 1300}, {Combo1[1], 2500}, {Text1[0], 1300}, {Text1[1], 900}};
    int y = margin;
    int right = 0;
    for (size_t i = 0; i < 4; ++i) {
        rows[i].control->setGeometry(column, y, twipsToPixelsX(rows[i].widthTw), height);
        Label1[i]->move(column - gap - Label1[i]->width(), y + (height - Label1[i]->height()) / 2);
        right = std::max(right, rows[i].control->geometry().right());
        if (rows[i].control == Text1[0]) {
            const QRect box = Text1[0]->geometry();
            CommandTimeSync->setGeometry(box.right() + 1 + buttonGap,
                                         y + (height - buttonHeight) / 2,
                                         buttonWidth(CommandTimeSync), buttonHeight);
            right = std::max(right, CommandTimeSync->geometry().right());
        }
        y += twipsToPixelsY(RowPitch);
    }

    y += twipsToPixelsY(120);
    const int bottomRow = buttonWidth(CommandRead) + buttonWidth(CommandWrite) +
                          buttonWidth(CommandClose) + 2 * buttonGap;
    const int width = std::max(right + margin, bottomRow + 2 * margin);
    int x = width - margin - bottomRow;
    for (QPushButton* b : {CommandRead, CommandWrite, CommandClose}) {
        b->setGeometry(x, y, buttonWidth(b), buttonHeight);
        x += buttonWidth(b) + buttonGap;
    }
    setFixedSize(width, y + buttonHeight + margin);
}

void RadioInformationWindow::loadValues() {
    const ModelInfo& mi = m_doc.config.modelInfo;
    const QString model = shownFieldText(mi.modelNameCopy.untilNul()).left(3);
    const int modelIndex = Combo1[0]->findText(model);
    if (modelIndex >= 0) Combo1[0]->setCurrentIndex(modelIndex);
    Combo1[0]->setEditText(model);
    refillBands();
    // The stored band: its entry when the list offers it, else its text over no selection
    // (the list's entries carry a factory suffix the band texts do not have). Either way the
    // stored band code stays until the user picks a band or another model.
    const QString stored = bandText(m_doc.product(), mi.bandCodeCopy, model);
    const int band = Combo1[1]->findText(stored);
    Combo1[1]->setCurrentIndex(band);
    Combo1[1]->setPlaceholderText(band < 0 ? stored : QString());
    m_storedBandShown = true;
    Text1[0]->setText(shownFieldText(mi.createDate.untilNul()));
    Text1[1]->setText(shownFieldText(mi.softwareVersionText.untilNul()));

    m_shownModel = Combo1[0]->currentText();
    m_shownBand = Combo1[1]->currentText();
    m_shownSerial = Text1[0]->text();
    m_shownVersion = Text1[1]->text();
}

void RadioInformationWindow::refillBands() {
    m_storedBandShown = false;
    Combo1[1]->setPlaceholderText(QString());
    Combo1[1]->clear();
    Combo1[1]->addItems(bandsForModel(Combo1[0]->currentText()));
    if (Combo1[1]->count() > 0) Combo1[1]->setCurrentIndex(0);
}

void RadioInformationWindow::storeValues(bool onlyChanged) {
    const QString model = Combo1[0]->currentText();
    const QString band = Combo1[1]->currentText();
    const QString serial = Text1[0]->text();
    const bool versionEdited = Text1[1]->text() != m_shownVersion;
    Text1[1]->setText(normalisedVersion(Text1[1]->text()));
    const QString version = Text1[1]->text();

    ModelInfo& mi = m_doc.config.modelInfo;
    if (!onlyChanged || model != m_shownModel || band != m_shownBand) {
        mi.modelNameCopy.assign(model.toLatin1() + '\0');
        if (!m_storedBandShown) mi.bandCodeCopy = int16_t(bandCode(m_doc.product(), band, model));
        mi.typeLetter = TypeLetterC;
    }
    if (!onlyChanged || serial != m_shownSerial) mi.createDate.assign(serial.toLatin1() + '\0');
    if (!onlyChanged || versionEdited) mi.softwareVersionText.assign(version.toLatin1() + '\0');
    m_shownModel = model;
    m_shownBand = band;
    m_shownSerial = serial;
    m_shownVersion = version;
}

void RadioInformationWindow::onRead() {
    if (m_session.busy()) return;
    if (readInformation) readInformation();
}

// The radio gets exactly what the window shows.
void RadioInformationWindow::onWrite() {
    if (m_session.busy()) return;
    storeValues(false);
    m_session.writeInformation();
}

void RadioInformationWindow::onTimeSync() {
    Text1[0]->setText(QDate::currentDate().toString(QStringLiteral("yyyyMMdd")));
}

void RadioInformationWindow::done(int result) {
    runTrapped("FrmRadioInfoSet_Unload", [this] { storeValues(true); });
    QDialog::done(result);
}

bool RadioInformationWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            focusNextChild();
            return true;
        }
    } else if (event->type() == QEvent::FocusOut && watched == Text1[1]) {
        runTrapped("Text1_LostFocus",
                   [this] { Text1[1]->setText(normalisedVersion(Text1[1]->text())); });
    }
    return QDialog::eventFilter(watched, event);
}
