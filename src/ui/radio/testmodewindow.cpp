#include "testmodewindow.h"

#include "ui/common/uicommon.h"
#include "core/channels/channelrules.h"
#include "testparameterswindow.h"
#include "ui/common/handlertrap.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr int ParaFrmDelayMs = 300;
constexpr int LampSize = 16;
const QColor Red(255, 0, 0);
const QColor Green(0, 255, 0);

// A frequency as the radio reported it, in display form; empty when it is none or its digits
// are not decimal.
QString shownRadioFreq(const Document& doc, const QString& digits) {
    const bool decimal =
        digits.size() == 8 && std::all_of(digits.cbegin(), digits.cend(), [](QChar c) {
            return c >= QLatin1Char('0') && c <= QLatin1Char('9');
        });
    return decimal ? shownFrequency(doc, digits) : QString();
}

QPushButton* button(QWidget* parent, const char* name) {
    auto* b = new QPushButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false); // Enter belongs to the control that has the focus
    return b;
}
} // namespace

void setLamp(QLabel* lamp, const QColor& colour) {
    lamp->setProperty("lampColor", colour);
    lamp->setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid #606060; "
                                       "border-radius: %2px;")
                            .arg(colour.name())
                            .arg(LampSize / 2));
}

TestModeWindow::TestModeWindow(TestModeEngine& engine, Document& doc, QWidget* parent)
    : QDialog(parent), m_engine(engine), m_doc(doc) {
    setObjectName(QStringLiteral("FrmTestMode"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    TimerTestModeParaFrm.setSingleShot(true);
    TimerTestModeParaFrm.setInterval(ParaFrmDelayMs);

    for (size_t i = 0; i < Frame1.size(); ++i) {
        Frame1[i] = new QGroupBox(this);
        Frame1[i]->setObjectName(QStringLiteral("Frame1_%1").arg(i));
    }
    for (size_t i = 0; i < Label1.size(); ++i) {
        Label1[i] = new QLabel(this);
        Label1[i]->setObjectName(QStringLiteral("Label1_%1").arg(i));
    }
    for (size_t i = 0; i < Label2.size(); ++i) {
        Label2[i] = new QLabel(this);
        Label2[i]->setObjectName(QStringLiteral("Label2_%1").arg(i));
        Label2[i]->setMinimumWidth(110);
        Label2[i]->setFrameShape(QFrame::StyledPanel);
    }
    for (size_t i = 0; i < Combo1.size(); ++i) {
        Combo1[i] = new QComboBox(this);
        Combo1[i]->setObjectName(QStringLiteral("Combo1_%1").arg(i));
        Combo1[i]->setMinimumWidth(70);
    }
    for (int n = 1; n <= TestSignallingCount; ++n)
        Combo1[1]->addItem(QString::number(n));
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    CommandWide = button(this, "CommandWide");
    CommandNarrow = button(this, "CommandNarrow");
    CommandPTT = new QCheckBox(this);
    CommandPTT->setObjectName(QStringLiteral("CommandPTT"));
    CommandTune = button(this, "CommandTune");
    CommandPrint = button(this, "CommandPrint");
    CommandClose = button(this, "CommandClose");
    LabelWide = new QLabel(this);
    LabelWide->setObjectName(QStringLiteral("LabelWide"));
    LabelNarrow = new QLabel(this);
    LabelNarrow->setObjectName(QStringLiteral("LabelNarrow"));
    LabelRxInd = new QLabel(this);
    LabelRxInd->setObjectName(QStringLiteral("LabelRxInd"));
    LabelTxInd = new QLabel(this);
    LabelTxInd->setObjectName(QStringLiteral("LabelTxInd"));
    for (QLabel* l : {LabelWide, LabelNarrow, LabelRxInd, LabelTxInd})
        l->setStyleSheet(QStringLiteral("font-weight: bold;"));
    ShapePTT = new QLabel(this);
    ShapePTT->setObjectName(QStringLiteral("ShapePTT"));
    ShapePTT->setFixedSize(LampSize, LampSize);

    buildLayout();
    runTrapped("FrmTestMode_Load", [this] {
        changeShowByLanguage();
        fillTestChannels();
        Combo1[1]->setCurrentIndex(0);
        showSignalling(0);
        CommandTune->setEnabled(false);
        showBandwidth();
        showTransmitter();
    });

    connect(Combo1[0], &QComboBox::activated, this,
            [this](int i) { runTrapped("Combo1_Click", [this, i] { onTestChannel(i); }); });
    connect(Combo1[1], &QComboBox::activated, this,
            [this](int i) { runTrapped("Combo1_Click", [this, i] { onSignalling(i); }); });
    connect(List1, &QListWidget::currentRowChanged, this,
            [this](int row) { runTrapped("List1_Click", [this, row] { onItem(row); }); });
    connect(List1, &QListWidget::itemSelectionChanged, this, [this] {
        // Exactly one item stays selected.
        if (List1->selectedItems().isEmpty() && m_item > 0)
            List1->item(m_item - 1)->setSelected(true);
    });
    connect(List1, &QListWidget::itemActivated, CommandTune, &QPushButton::click);
    connect(CommandWide, &QPushButton::clicked, this, [this] {
        runTrapped("CommandWide_Click", [this] {
            TestModeUnSetPTT();
            m_engine.setWide();
            showBandwidth();
        });
    });
    connect(CommandNarrow, &QPushButton::clicked, this, [this] {
        runTrapped("CommandNarrow_Click", [this] {
            m_engine.setNarrow();
            showBandwidth();
        });
    });
    connect(CommandPTT, &QCheckBox::clicked, this,
            [this](bool on) { runTrapped("CommandPTT_Click", [this, on] { onPtt(on); }); });
    connect(CommandTune, &QPushButton::clicked, this, [this] {
        runTrapped("CommandTune_Click", [this] {
            if (m_item < 1) return;
            TestModeUnSetPTT();
            m_engine.tune(m_item);
        });
    });
    // Printing has nothing to print in test mode; it only lets go of the transmitter.
    connect(CommandPrint, &QPushButton::clicked, this,
            [this] { runTrapped("CommandPrint_Click", [this] { TestModeUnSetPTT(); }); });
    connect(CommandClose, &QPushButton::clicked, this, &QDialog::close);

    connect(&m_engine, &TestModeEngine::tuneAcknowledged, this,
            [this] { TimerTestModeParaFrm.start(); });
    connect(&TimerTestModeParaFrm, &QTimer::timeout, this, [this] {
        TimerTestModeParaFrm.stop();
        runTrapped("TimerTestModeParaFrm_Timer", [this] { openParameterWindow(); });
    });
    connect(&m_engine, &TestModeEngine::testModeEnded, this, [this] {
        // The port is closed: nothing here can reach the radio any more.
        m_ended = true;
        if (m_para) m_para->close();
        close();
    });
}

void TestModeWindow::changeShowByLanguage() {
    setWindowTitle(tr2("Test Mode", "测试模式"));
    Frame1[0]->setTitle(tr2("Test Channel", "测试信道"));
    Frame1[1]->setTitle(tr2("Test Signalling", "测试信令"));
    Label1[0]->setText(tr2("Channel No.", "信道编号"));
    Label1[1]->setText(tr2("RX", "接收"));
    Label1[2]->setText(tr2("TX", "发射"));
    Label1[3]->setText(tr2("Signalling", "信令"));
    Label1[4]->setText(tr2("RX", "接收"));
    Label1[5]->setText(tr2("TX", "发射"));
    Label1[6]->setText(tr2("Adjustment Item", "调整项目"));
    List1->clear();
    for (int item = 1; item <= TestItemCount; ++item)
        List1->addItem(testItemName(item));
    CommandWide->setText(tr2("&Wide", "宽带(&W)"));
    CommandNarrow->setText(tr2("&Narrow", "窄带(&N)"));
    CommandPTT->setText(QStringLiteral("&PTT"));
    CommandTune->setText(tr2("&Tuning", "调协模式(&T)"));
    CommandPrint->setText(tr2("p&Rint", "打印(&R)"));
    LabelWide->setText(tr2("Wide", "宽带"));
    LabelNarrow->setText(tr2("Narrow", "窄带"));
    LabelRxInd->setText(tr2("Receiving", "接收中"));
    LabelTxInd->setText(tr2("Transmitting", "发射中"));
    captionCloseAndHelp(this);
}

// Left: the two frames and the radio's state; right: the adjustment items with Tuning under
// them; the bottom row holds Print and Close.
void TestModeWindow::buildLayout() {
    // Frame k (channel, signalling): its list, then two captioned state texts.
    for (int k = 0; k < 2; ++k) {
        auto* grid = new QGridLayout(Frame1[k]);
        grid->addWidget(Label1[3 * k], 0, 0, Qt::AlignRight);
        grid->addWidget(Combo1[k], 0, 1, Qt::AlignLeft);
        for (int row = 1; row <= 2; ++row) {
            grid->addWidget(Label1[3 * k + row], row, 0, Qt::AlignRight);
            grid->addWidget(Label2[2 * k + row - 1], row, 1);
        }
        grid->setColumnStretch(1, 1);
    }

    auto* bandwidth = new QHBoxLayout;
    bandwidth->addWidget(CommandWide);
    bandwidth->addWidget(CommandNarrow);
    bandwidth->addWidget(LabelWide);
    bandwidth->addWidget(LabelNarrow);
    bandwidth->addStretch();

    auto* transmitter = new QHBoxLayout;
    transmitter->addWidget(CommandPTT);
    transmitter->addSpacing(12);
    transmitter->addWidget(ShapePTT);
    transmitter->addWidget(LabelRxInd);
    transmitter->addWidget(LabelTxInd);
    transmitter->addStretch();

    auto* left = new QVBoxLayout;
    left->addWidget(Frame1[0]);
    left->addWidget(Frame1[1]);
    left->addLayout(bandwidth);
    left->addLayout(transmitter);
    left->addStretch();

    auto* right = new QVBoxLayout;
    right->addWidget(Label1[6]);
    right->addWidget(List1, 1);
    right->addWidget(CommandTune, 0, Qt::AlignRight);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(CommandPrint);
    bottom->addWidget(CommandClose);

    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 3);
    columns->addSpacing(8);
    columns->addLayout(right, 2);

    auto* all = new QVBoxLayout(this);
    all->addLayout(columns);
    all->addLayout(bottom);
    List1->setMinimumHeight(List1->fontMetrics().height() * 16);
    List1->setMinimumWidth(180);
}

void TestModeWindow::fillTestChannels() {
    Combo1[0]->clear();
    for (const RadioTestFreq& f : m_engine.radioTestFreqs())
        Combo1[0]->addItem(QString::number(f.number));
    Combo1[0]->setCurrentIndex(Combo1[0]->count() > 0 ? 0 : -1);
    m_testChannel = 1;
    showTestChannel(0);
}

void TestModeWindow::showTestChannel(int index) {
    const auto& list = m_engine.radioTestFreqs();
    const bool known = index >= 0 && index < list.size();
    Label2[0]->setText(known ? shownRadioFreq(m_doc, list[index].rx) : QString());
    Label2[1]->setText(known ? shownRadioFreq(m_doc, list[index].tx) : QString());
}

void TestModeWindow::showSignalling(int index) {
    Label2[2]->setText(testSignallingText(index + 1, false));
    Label2[3]->setText(testSignallingText(index + 1, true));
}

void TestModeWindow::showBandwidth() {
    LabelWide->setVisible(m_engine.isWide());
    LabelNarrow->setVisible(!m_engine.isWide());
}

void TestModeWindow::showTransmitter() {
    CommandPTT->setChecked(m_transmitting);
    LabelTxInd->setVisible(m_transmitting);
    LabelRxInd->setVisible(!m_transmitting);
    setLamp(ShapePTT, m_transmitting ? Red : Green);
}

void TestModeWindow::onTestChannel(int index) {
    if (index < 0 || index + 1 == m_testChannel) return; // the same channel again: nothing
    m_testChannel = index + 1;
    showTestChannel(index);
    TestModeUnSetPTT();
    m_engine.selectTestChannel(Combo1[0]->itemText(index).toInt());
}

void TestModeWindow::onSignalling(int index) {
    if (index < 0 || index + 1 == m_signalling) return;
    m_signalling = index + 1;
    showSignalling(index);
    TestModeUnSetPTT();
    m_engine.selectSignalling(Combo1[1]->itemText(index).toInt());
}

void TestModeWindow::onItem(int row) {
    if (row < 0) return;
    m_item = row + 1;
    List1->item(row)->setSelected(true);
    CommandTune->setEnabled(true);
}

void TestModeWindow::onPtt(bool on) {
    m_transmitting = on;
    showTransmitter();
    if (on)
        m_engine.transmitterOn();
    else
        m_engine.transmitterOff();
}

void TestModeWindow::TestModeUnSetPTT() {
    if (!m_transmitting) return;
    m_transmitting = false;
    showTransmitter();
    m_engine.transmitterOff();
}

void TestModeWindow::openParameterWindow() {
    if (m_para || m_item < 1 || !m_engine.active()) return;
    m_para = new TestParametersWindow(m_engine, m_item, this);
    m_para->setAttribute(Qt::WA_DeleteOnClose);
    m_para->open();
}

void TestModeWindow::done(int result) {
    if (!m_closing) {
        m_closing = true;
        TimerTestModeParaFrm.stop();
        // A transmitter left on is switched off by the radio when it leaves test mode.
        if (!m_ended) runTrapped("Form_Unload", [this] { m_engine.end(m_signalling); });
    }
    QDialog::done(result);
}

TestModeWindows::TestModeWindows(TestModeEngine& engine, Document& doc, QWidget* parent)
    : QObject(parent), m_engine(engine), m_doc(doc), m_parent(parent) {
    connect(&m_engine, &TestModeEngine::openTestWindow, this, [this] {
        runTrapped("TimerShowTestFrm_Timer", [this] {
            if (m_window) {
                m_window->raise();
                return;
            }
            m_window = new TestModeWindow(m_engine, m_doc, m_parent);
            m_window->setAttribute(Qt::WA_DeleteOnClose);
            m_window->open();
        });
    });
}
