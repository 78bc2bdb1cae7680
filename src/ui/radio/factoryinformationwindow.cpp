#include "factoryinformationwindow.h"

#include "ui/common/uicommon.h"
#include "ui/common/handlertrap.h"

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

// Length of each text box Text1(i) (the description is not limited here: it only shows).
constexpr std::array<int, 12> BoxLength{4, 16, 16, 16, 96, 8, 8, 4, 16, 16, 16, 16};
// Width of each text box in twips.
constexpr std::array<int, 12> BoxWidth{800,  2400, 2400, 2400, 3900, 1300,
                                       1300, 800,  2400, 2400, 2400, 2400};
} // namespace

FactoryInformationWindow::FactoryInformationWindow(const Document& doc, const LocalInformation& info, QWidget* parent)
    : QDialog(parent), m_doc(doc) {
    setObjectName(QStringLiteral("FrmEMG"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    for (int i = 0; i < int(Label1.size()); ++i) {
        // The dealer labels (10..13) live in the frame.
        Label1[size_t(i)] = new QLabel(i >= 10 ? static_cast<QWidget*>(Frame1) : this);
        Label1[size_t(i)]->setObjectName(QStringLiteral("Label1_%1").arg(i));
    }
    for (int i = 0; i < int(Text1.size()); ++i) {
        if (i == 4) continue;
        auto* box = new QLineEdit(i >= 8 ? static_cast<QWidget*>(Frame1) : this);
        box->setObjectName(QStringLiteral("Text1_%1").arg(i));
        box->setMaxLength(BoxLength[size_t(i)]);
        box->setReadOnly(true);
        Text1[size_t(i)] = box;
    }
    Description = new QPlainTextEdit(this);
    Description->setObjectName(QStringLiteral("Text1_4"));
    Description->setReadOnly(true);
    Description->setTabChangesFocus(true);

    // The version is not something the area holds: it shows on the window's background.
    QPalette versionPalette = Text1[5]->palette();
    versionPalette.setColor(QPalette::Base, palette().color(QPalette::Window));
    Text1[5]->setPalette(versionPalette);

    Combo1_0 = new QComboBox(this);
    Combo1_0->setObjectName(QStringLiteral("Combo1_0"));
    Combo1_1 = new QComboBox(this);
    Combo1_1->setObjectName(QStringLiteral("Combo1_1"));

    CommandClose = new QPushButton(this);
    CommandClose->setObjectName(QStringLiteral("CommandClose"));
    CommandClose->setDefault(true);
    connect(CommandClose, &QPushButton::clicked, this, &QDialog::close);

    runTrapped("FrmEMG_Load", [&] {
        Combo1_1->addItem(doc.product().infoBandText);
        changeShowByLanguage();
        placeControls();
        showValues(info);
    });
    CommandClose->setFocus();
}

void FactoryInformationWindow::changeShowByLanguage() {
    setWindowTitle(tr2("Embedded Message", "嵌入信息"));
    Label2->setText(tr2("Area Code", "销售区号"));
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
    for (size_t i = 0; i < Label1.size(); ++i)
        Label1[i]->setText(tr2(captions[i][0], captions[i][1]));
    Frame1->setTitle(tr2("Dealer Information", "销售商信息"));
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
        {Label2, Text1[0], BoxWidth[0]},    {Label1[0], Text1[6], BoxWidth[6]},
        {Label1[9], Text1[7], BoxWidth[7]}, {Label1[1], Combo1_0, 2400},
        {Label1[2], Combo1_1, 3300},        {Label1[3], Text1[1], BoxWidth[1]},
        {Label1[4], Text1[2], BoxWidth[2]}, {Label1[5], Text1[3], BoxWidth[3]},
        {Label1[8], Text1[5], BoxWidth[5]}, {Label1[6], Description, BoxWidth[4]},
    };
    const Row dealer[] = {
        {Label1[10], Text1[8], BoxWidth[8]},
        {Label1[11], Text1[9], BoxWidth[9]},
        {Label1[12], Text1[10], BoxWidth[10]},
        {Label1[13], Text1[11], BoxWidth[11]},
    };
    int widest = Label1[7]->sizeHint().width();
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
        const int h = r.control == Description ? twipsToPixelsY(DescriptionHeight) : height;
        r.control->setGeometry(column, y, twipsToPixelsX(r.widthTw), h);
        placeLabel(r.label, column, y, height);
        right = std::max(right, r.control->geometry().right());
        if (r.control == Description) placeLabel(Label1[7], column, y + height, height);
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
    Frame1->setGeometry(margin / 2, frameTop, frameWidth, fy + twipsToPixelsY(120));

    const int width = std::max(Frame1->geometry().right(), right) + margin;
    const int buttonTop = Frame1->geometry().bottom() + twipsToPixelsY(200);
    const int buttonWidth = std::max(twipsToPixelsX(ButtonWidth), CommandClose->sizeHint().width());
    CommandClose->setGeometry(width - margin - buttonWidth, buttonTop, buttonWidth,
                              twipsToPixelsY(ButtonHeight));
    setFixedSize(width, CommandClose->geometry().bottom() + margin);
}

void FactoryInformationWindow::showValues(const LocalInformation& info) {
    Combo1_0->clear();
    Combo1_0->addItem(m_doc.currentModel);
    Combo1_0->setCurrentIndex(0);
    // The band entry: the one equal to the current band, else the first.
    const int band = Combo1_1->findText(m_doc.currentBand);
    Combo1_1->setCurrentIndex(band >= 0 ? band : 0);
    for (int i = 0; i < int(Text1.size()); ++i) {
        if (i == 4)
            Description->setPlainText(shownLocalInformation(info, i));
        else
            Text1[size_t(i)]->setText(shownLocalInformation(info, i));
    }
}
