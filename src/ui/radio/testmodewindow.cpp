#include "testmodewindow.h"

#include "core/channels/channelrules.h"
#include "testparameterswindow.h"
#include "ui/common/handlertrap.h"
#include "ui/common/uicommon.h"

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
constexpr int ParameterWindowDelayMs = 300;
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
    m_parameterWindowTimer.setSingleShot(true);
    m_parameterWindowTimer.setInterval(ParameterWindowDelayMs);

    createControls();
    buildLayout();
    runTrapped(handlerName(this, "Load"), [this] {
        retranslate();
        fillTestChannels();
        m_signallingBox->setCurrentIndex(0);
        showSignalling(0);
        m_tuneButton->setEnabled(false);
        showBandwidth();
        showTransmitter();
    });
    connectControls();
    connectEngine();
}

// The controls in tab order, with the object names the tests and the help find them by.
void TestModeWindow::createControls() {
    for (size_t i = 0; i < m_frames.size(); ++i) {
        m_frames[i] = new QGroupBox(this);
        m_frames[i]->setObjectName(QStringLiteral("Frame1_%1").arg(i));
    }
    for (size_t i = 0; i < m_captionLabels.size(); ++i) {
        m_captionLabels[i] = new QLabel(this);
        m_captionLabels[i]->setObjectName(QStringLiteral("Label1_%1").arg(i));
    }
    for (size_t i = 0; i < m_stateLabels.size(); ++i) {
        m_stateLabels[i] = new QLabel(this);
        m_stateLabels[i]->setObjectName(QStringLiteral("Label2_%1").arg(i));
        m_stateLabels[i]->setMinimumWidth(110);
        m_stateLabels[i]->setFrameShape(QFrame::StyledPanel);
    }
    m_testChannelBox = new QComboBox(this);
    m_testChannelBox->setObjectName(QStringLiteral("Combo1_0"));
    m_signallingBox = new QComboBox(this);
    m_signallingBox->setObjectName(QStringLiteral("Combo1_1"));
    for (QComboBox* box : {m_testChannelBox, m_signallingBox})
        box->setMinimumWidth(70);
    for (int n = 1; n <= TestSignallingCount; ++n)
        m_signallingBox->addItem(QString::number(n));
    m_itemList = new QListWidget(this);
    m_itemList->setObjectName(QStringLiteral("List1"));
    m_itemList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_wideButton = button(this, "CommandWide");
    m_narrowButton = button(this, "CommandNarrow");
    m_pttBox = new QCheckBox(this);
    m_pttBox->setObjectName(QStringLiteral("CommandPTT"));
    m_tuneButton = button(this, "CommandTune");
    m_printButton = button(this, "CommandPrint");
    m_closeButton = button(this, "CommandClose");
    m_wideLabel = new QLabel(this);
    m_wideLabel->setObjectName(QStringLiteral("LabelWide"));
    m_narrowLabel = new QLabel(this);
    m_narrowLabel->setObjectName(QStringLiteral("LabelNarrow"));
    m_receivingLabel = new QLabel(this);
    m_receivingLabel->setObjectName(QStringLiteral("LabelRxInd"));
    m_transmittingLabel = new QLabel(this);
    m_transmittingLabel->setObjectName(QStringLiteral("LabelTxInd"));
    for (QLabel* l : {m_wideLabel, m_narrowLabel, m_receivingLabel, m_transmittingLabel})
        l->setStyleSheet(QStringLiteral("font-weight: bold;"));
    m_transmitterLamp = new QLabel(this);
    m_transmitterLamp->setObjectName(QStringLiteral("ShapePTT"));
    m_transmitterLamp->setFixedSize(LampSize, LampSize);
}

// What each control asks of the engine; every handler runs trapped under its old event name.
void TestModeWindow::connectControls() {
    connectTrapped(m_testChannelBox, &QComboBox::activated, this, "Click",
                   [this](int i) { onTestChannel(i); });
    connectTrapped(m_signallingBox, &QComboBox::activated, this, "Click",
                   [this](int i) { onSignalling(i); });
    connectTrapped(m_itemList, &QListWidget::currentRowChanged, this, "Click",
                   [this](int row) { onItem(row); });
    connect(m_itemList, &QListWidget::itemSelectionChanged, this, [this] {
        // Exactly one item stays selected.
        if (m_itemList->selectedItems().isEmpty() && m_item > 0)
            m_itemList->item(m_item - 1)->setSelected(true);
    });
    connect(m_itemList, &QListWidget::itemActivated, m_tuneButton, &QPushButton::click);
    connectTrapped(m_wideButton, &QPushButton::clicked, this, "Click", [this] {
        if (!releaseTransmitter()) return;
        m_engine.setWide();
        showBandwidth();
    });
    connectTrapped(m_narrowButton, &QPushButton::clicked, this, "Click", [this] {
        m_engine.setNarrow();
        showBandwidth();
    });
    connectTrapped(m_pttBox, &QCheckBox::clicked, this, "Click", [this](bool on) { onPtt(on); });
    connectTrapped(m_tuneButton, &QPushButton::clicked, this, "Click", [this] {
        if (m_item < 1 || !releaseTransmitter()) return;
        m_engine.tune(m_item);
    });
    // Printing has nothing to print in test mode; it only lets go of the transmitter.
    connectTrapped(m_printButton, &QPushButton::clicked, this, "Click",
                   [this] { releaseTransmitter(); });
    connect(m_closeButton, &QPushButton::clicked, this, &QDialog::close);
}

// The engine's reports: the acknowledged tune request opens the parameter window a little
// later; the end of test mode closes both windows.
void TestModeWindow::connectEngine() {
    connect(&m_engine, &TestModeEngine::tuneAcknowledged, this,
            [this] { m_parameterWindowTimer.start(); });
    connect(&m_parameterWindowTimer, &QTimer::timeout, this, [this] {
        m_parameterWindowTimer.stop();
        runTrapped("TimerTestModeParaFrm_Timer", [this] { openParameterWindow(); });
    });
    connect(&m_engine, &TestModeEngine::testModeEnded, this, [this] {
        // The port is closed: nothing here can reach the radio any more.
        m_ended = true;
        if (m_parameterWindow) m_parameterWindow->close();
        close();
    });
}

void TestModeWindow::retranslate() {
    setWindowTitle(tr2("Test Mode", "测试模式"));
    m_frames[0]->setTitle(tr2("Test Channel", "测试信道"));
    m_frames[1]->setTitle(tr2("Test Signalling", "测试信令"));
    m_captionLabels[0]->setText(tr2("Channel No.", "信道编号"));
    m_captionLabels[1]->setText(tr2("RX", "接收"));
    m_captionLabels[2]->setText(tr2("TX", "发射"));
    m_captionLabels[3]->setText(tr2("Signalling", "信令"));
    m_captionLabels[4]->setText(tr2("RX", "接收"));
    m_captionLabels[5]->setText(tr2("TX", "发射"));
    m_captionLabels[6]->setText(tr2("Adjustment Item", "调整项目"));
    m_itemList->clear();
    for (int item = 1; item <= TestItemCount; ++item)
        m_itemList->addItem(testItemName(item));
    m_wideButton->setText(tr2("&Wide", "宽带(&W)"));
    m_narrowButton->setText(tr2("&Narrow", "窄带(&N)"));
    m_pttBox->setText(QStringLiteral("&PTT"));
    m_tuneButton->setText(tr2("&Tuning", "调协模式(&T)"));
    m_printButton->setText(tr2("p&Rint", "打印(&R)"));
    m_wideLabel->setText(tr2("Wide", "宽带"));
    m_narrowLabel->setText(tr2("Narrow", "窄带"));
    m_receivingLabel->setText(tr2("Receiving", "接收中"));
    m_transmittingLabel->setText(tr2("Transmitting", "发射中"));
    captionCloseAndHelp(this);
}

// Left: the two frames and the radio's state; right: the adjustment items with Tuning under
// them; the bottom row holds Print and Close.
void TestModeWindow::buildLayout() {
    // Frame k (channel, signalling): its list, then two captioned state texts.
    const std::array<QComboBox*, 2> boxes{m_testChannelBox, m_signallingBox};
    for (int k = 0; k < 2; ++k) {
        auto* grid = new QGridLayout(m_frames[k]);
        grid->addWidget(m_captionLabels[size_t(3) * size_t(k)], 0, 0, Qt::AlignRight);
        grid->addWidget(boxes[size_t(k)], 0, 1, Qt::AlignLeft);
        for (int row = 1; row <= 2; ++row) {
            grid->addWidget(m_captionLabels[size_t(3) * size_t(k) + size_t(row)], row, 0,
                            Qt::AlignRight);
            grid->addWidget(m_stateLabels[2 * k + row - 1], row, 1);
        }
        grid->setColumnStretch(1, 1);
    }

    auto* bandwidth = new QHBoxLayout;
    bandwidth->addWidget(m_wideButton);
    bandwidth->addWidget(m_narrowButton);
    bandwidth->addWidget(m_wideLabel);
    bandwidth->addWidget(m_narrowLabel);
    bandwidth->addStretch();

    auto* transmitter = new QHBoxLayout;
    transmitter->addWidget(m_pttBox);
    transmitter->addSpacing(12);
    transmitter->addWidget(m_transmitterLamp);
    transmitter->addWidget(m_receivingLabel);
    transmitter->addWidget(m_transmittingLabel);
    transmitter->addStretch();

    auto* left = new QVBoxLayout;
    left->addWidget(m_frames[0]);
    left->addWidget(m_frames[1]);
    left->addLayout(bandwidth);
    left->addLayout(transmitter);
    left->addStretch();

    auto* right = new QVBoxLayout;
    right->addWidget(m_captionLabels[6]);
    right->addWidget(m_itemList, 1);
    right->addWidget(m_tuneButton, 0, Qt::AlignRight);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(m_printButton);
    bottom->addWidget(m_closeButton);

    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 3);
    columns->addSpacing(8);
    columns->addLayout(right, 2);

    auto* all = new QVBoxLayout(this);
    all->addLayout(columns);
    all->addLayout(bottom);
    m_itemList->setMinimumHeight(m_itemList->fontMetrics().height() * 16);
    m_itemList->setMinimumWidth(180);
}

void TestModeWindow::fillTestChannels() {
    m_testChannelBox->clear();
    for (const RadioTestFreq& f : m_engine.radioTestFreqs())
        m_testChannelBox->addItem(QString::number(f.number));
    m_testChannelBox->setCurrentIndex(m_testChannelBox->count() > 0 ? 0 : -1);
    m_testChannel = 1;
    showTestChannel(0);
}

void TestModeWindow::showTestChannel(int index) {
    const auto& list = m_engine.radioTestFreqs();
    const bool known = index >= 0 && index < list.size();
    m_stateLabels[0]->setText(known ? shownRadioFreq(m_doc, list[index].rx) : QString());
    m_stateLabels[1]->setText(known ? shownRadioFreq(m_doc, list[index].tx) : QString());
}

void TestModeWindow::showSignalling(int index) {
    m_stateLabels[2]->setText(testSignallingText(index + 1, false));
    m_stateLabels[3]->setText(testSignallingText(index + 1, true));
}

void TestModeWindow::showBandwidth() {
    m_wideLabel->setVisible(m_engine.isWide());
    m_narrowLabel->setVisible(!m_engine.isWide());
}

void TestModeWindow::showTransmitter() {
    m_pttBox->setChecked(m_transmitting);
    m_transmittingLabel->setVisible(m_transmitting);
    m_receivingLabel->setVisible(!m_transmitting);
    setLamp(m_transmitterLamp, m_transmitting ? Red : Green);
}

// A command the full queue refuses is not sent: the controls go back to what the radio does.
void TestModeWindow::onTestChannel(int index) {
    if (index < 0 || index + 1 == m_testChannel) return; // the same channel again: nothing
    if (releaseTransmitter() &&
        m_engine.selectTestChannel(m_testChannelBox->itemText(index).toInt()))
        m_testChannel = index + 1;
    m_testChannelBox->setCurrentIndex(m_testChannel - 1);
    showTestChannel(m_testChannel - 1);
}

void TestModeWindow::onSignalling(int index) {
    if (index < 0 || index + 1 == m_signalling) return;
    if (releaseTransmitter() && m_engine.selectSignalling(m_signallingBox->itemText(index).toInt()))
        m_signalling = index + 1;
    m_signallingBox->setCurrentIndex(m_signalling - 1);
    showSignalling(m_signalling - 1);
}

void TestModeWindow::onItem(int row) {
    if (row < 0) return;
    m_item = row + 1;
    m_itemList->item(row)->setSelected(true);
    m_tuneButton->setEnabled(true);
}

void TestModeWindow::onPtt(bool on) {
    showTransmitter(); // the click's own tick waits until the command is queued
    if (on ? m_engine.transmitterOn() : m_engine.transmitterOff()) m_transmitting = on;
    showTransmitter();
}

bool TestModeWindow::releaseTransmitter() {
    if (!m_transmitting) return true;
    if (!m_engine.transmitterOff()) {
        showTransmitter();
        return false;
    }
    m_transmitting = false;
    showTransmitter();
    return true;
}

void TestModeWindow::openParameterWindow() {
    if (m_parameterWindow || m_item < 1 || !m_engine.active()) return;
    m_parameterWindow = new TestParametersWindow(m_engine, m_item, this);
    m_parameterWindow->setAttribute(Qt::WA_DeleteOnClose);
    m_parameterWindow->open();
}

void TestModeWindow::done(int result) {
    if (!m_closing) {
        m_closing = true;
        m_parameterWindowTimer.stop();
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
