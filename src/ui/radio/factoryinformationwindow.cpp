#include "factoryinformationwindow.h"

#include "ui/common/handlertrap.h"
#include "ui/common/uicommon.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <algorithm>

namespace {
// Geometry in twips.
constexpr int Margin = 240;
constexpr int LabelColumn = 2000; // left edge of the main controls, at least
constexpr int FrameColumn = 1700; // left edge of the dealer controls inside the frame
constexpr int LabelGap = 50;      // labels end this far left of their controls
constexpr int RowPitch = 400;
constexpr int ControlHeight = 330;
constexpr int DescriptionHeight = 1000;
constexpr int ButtonWidth = 1200;
constexpr int ButtonHeight = 375;

// Length of each text box (the description is not limited here: it only shows).
constexpr std::array<int, 12> BoxLength{4, 16, 16, 16, 96, 8, 8, 4, 16, 16, 16, 16};
// Width of each text box in twips.
constexpr std::array<int, 12> BoxWidth{800,  2400, 2400, 2400, 3900, 1300,
                                       1300, 800,  2400, 2400, 2400, 2400};
} // namespace

FactoryInformationWindow::FactoryInformationWindow(const Document& doc,
                                                   const LocalInformation& info, QWidget* parent)
    : QDialog(parent), m_doc(doc) {
    setObjectName(QStringLiteral("FrmEMG"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    m_dealerFrame = new QGroupBox(this);
    m_dealerFrame->setObjectName(QStringLiteral("Frame1"));
    m_areaCodeLabel = new QLabel(this);
    m_areaCodeLabel->setObjectName(QStringLiteral("Label2"));
    for (int i = 0; i < int(m_captionLabels.size()); ++i) {
        // The dealer labels (10..13) live in the frame.
        m_captionLabels[size_t(i)] =
            new QLabel(i >= 10 ? static_cast<QWidget*>(m_dealerFrame) : this);
        m_captionLabels[size_t(i)]->setObjectName(QStringLiteral("Label1_%1").arg(i));
    }
    for (int i = 0; i < int(m_valueBoxes.size()); ++i) {
        if (i == 4) continue;
        auto* box = new QLineEdit(i >= 8 ? static_cast<QWidget*>(m_dealerFrame) : this);
        box->setObjectName(QStringLiteral("Text1_%1").arg(i));
        box->setMaxLength(BoxLength[size_t(i)]);
        box->setReadOnly(true);
        m_valueBoxes[size_t(i)] = box;
    }
    m_descriptionBox = new QPlainTextEdit(this);
    m_descriptionBox->setObjectName(QStringLiteral("Text1_4"));
    m_descriptionBox->setReadOnly(true);
    m_descriptionBox->setTabChangesFocus(true);

    // The version is not something the area holds: it shows on the window's background.
    QPalette versionPalette = m_valueBoxes[5]->palette();
    versionPalette.setColor(QPalette::Base, palette().color(QPalette::Window));
    m_valueBoxes[5]->setPalette(versionPalette);

    m_modelBox = new QComboBox(this);
    m_modelBox->setObjectName(QStringLiteral("Combo1_0"));
    m_bandBox = new QComboBox(this);
    m_bandBox->setObjectName(QStringLiteral("Combo1_1"));

    m_closeButton = new QPushButton(this);
    m_closeButton->setObjectName(QStringLiteral("CommandClose"));
    m_closeButton->setDefault(true);
    connect(m_closeButton, &QPushButton::clicked, this, &QDialog::close);

    runTrapped(handlerName(this, "Load"), [&] {
        m_bandBox->addItem(doc.product().infoBandText);
        retranslate();
        placeControls();
        showValues(info);
    });
    m_closeButton->setFocus();
}

void FactoryInformationWindow::retranslate() {
    setWindowTitle(tr2("Embedded Message", "嵌入信息"));
    m_areaCodeLabel->setText(tr2("Area Code", "销售区号"));
    static const char* const captions[14][2] = {
        {"Manufacture Code", "生产批号"},
        {"Radio Type", "机型"},
        {"Frequency", "频段"},
        {"Serial Number", "序列号"},
        {"Producted Date", "出厂日期"},
        {"Maintained Date", "维修日期"},
        {"Maintained", "维修原因"},
        {"Description", ""},
        {"Version", "固件版本"},
        {"User Code", "客户代码"},
        {"Dealer Code", "经销商代码"},
        {"Stock Date", "入库时间"},
        {"Sell Date", "销售时间"},
        {"Seller", "经手人"},
    };
    for (size_t i = 0; i < m_captionLabels.size(); ++i)
        m_captionLabels[i]->setText(tr2(captions[i][0], captions[i][1]));
    m_dealerFrame->setTitle(tr2("Dealer Information", "销售商信息"));
    captionCloseAndHelp(this);
}

// Rows from the top, each label ending 50 twips left of its control's column; the column is
// moved right when a label of the current language would not fit before it.
void FactoryInformationWindow::placeControls() {
    const int margin = twipsToPixelsX(Margin);
    const int gap = twipsToPixelsX(LabelGap);
    const int pitch = twipsToPixelsY(RowPitch);
    const int height = twipsToPixelsY(ControlHeight);

    struct Row {
        QLabel* label;
        QWidget* control;
        int widthTw;
    };
    const Row main[] = {
        {m_areaCodeLabel, m_valueBoxes[0], BoxWidth[0]},
        {m_captionLabels[0], m_valueBoxes[6], BoxWidth[6]},
        {m_captionLabels[9], m_valueBoxes[7], BoxWidth[7]},
        {m_captionLabels[1], m_modelBox, 2400},
        {m_captionLabels[2], m_bandBox, 3300},
        {m_captionLabels[3], m_valueBoxes[1], BoxWidth[1]},
        {m_captionLabels[4], m_valueBoxes[2], BoxWidth[2]},
        {m_captionLabels[5], m_valueBoxes[3], BoxWidth[3]},
        {m_captionLabels[8], m_valueBoxes[5], BoxWidth[5]},
        {m_captionLabels[6], m_descriptionBox, BoxWidth[4]},
    };
    const Row dealer[] = {
        {m_captionLabels[10], m_valueBoxes[8], BoxWidth[8]},
        {m_captionLabels[11], m_valueBoxes[9], BoxWidth[9]},
        {m_captionLabels[12], m_valueBoxes[10], BoxWidth[10]},
        {m_captionLabels[13], m_valueBoxes[11], BoxWidth[11]},
    };
    int widest = m_captionLabels[7]->sizeHint().width();
    for (const Row& r : main)
        widest = std::max(widest, r.label->sizeHint().width());
    int widestDealer = 0;
    for (const Row& r : dealer)
        widestDealer = std::max(widestDealer, r.label->sizeHint().width());

    const int column = std::max(twipsToPixelsX(LabelColumn), margin + widest + gap);
    const int frameColumn = std::max(twipsToPixelsX(FrameColumn), margin + widestDealer + gap);
    const auto placeLabel = [gap](QLabel* label, int column, int top, int rowHeight) {
        label->adjustSize();
        label->move(column - gap - label->width(), top + (rowHeight - label->height()) / 2);
    };

    int right = 0;
    int y = margin;
    for (const Row& r : main) {
        const int h = r.control == m_descriptionBox ? twipsToPixelsY(DescriptionHeight) : height;
        r.control->setGeometry(column, y, twipsToPixelsX(r.widthTw), h);
        placeLabel(r.label, column, y, height);
        right = std::max(right, r.control->geometry().right());
        if (r.control == m_descriptionBox)
            placeLabel(m_captionLabels[7], column, y + height, height);
        y += h + pitch - height;
    }

    const int frameTop = y + twipsToPixelsY(60);
    int fy = twipsToPixelsY(360);
    int frameRight = 0;
    for (const Row& r : dealer) {
        r.control->setGeometry(frameColumn, fy, twipsToPixelsX(r.widthTw), height);
        placeLabel(r.label, frameColumn, fy, height);
        frameRight = std::max(frameRight, r.control->geometry().right());
        fy += pitch;
    }
    const int frameWidth = std::max(frameRight + margin, right);
    m_dealerFrame->setGeometry(margin / 2, frameTop, frameWidth, fy + twipsToPixelsY(120));

    const int width = std::max(m_dealerFrame->geometry().right(), right) + margin;
    const int buttonTop = m_dealerFrame->geometry().bottom() + twipsToPixelsY(200);
    const int buttonWidth =
        std::max(twipsToPixelsX(ButtonWidth), m_closeButton->sizeHint().width());
    m_closeButton->setGeometry(width - margin - buttonWidth, buttonTop, buttonWidth,
                               twipsToPixelsY(ButtonHeight));
    setFixedSize(width, m_closeButton->geometry().bottom() + margin);
}

void FactoryInformationWindow::showValues(const LocalInformation& info) {
    m_modelBox->clear();
    m_modelBox->addItem(m_doc.model());
    m_modelBox->setCurrentIndex(0);
    // The band entry: the one equal to the current band, else the first.
    const int band = m_bandBox->findText(m_doc.band());
    m_bandBox->setCurrentIndex(band >= 0 ? band : 0);
    for (int i = 0; i < int(m_valueBoxes.size()); ++i) {
        if (i == 4)
            m_descriptionBox->setPlainText(shownLocalInformation(info, i));
        else
            m_valueBoxes[size_t(i)]->setText(shownLocalInformation(info, i));
    }
}
