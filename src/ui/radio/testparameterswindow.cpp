#include "testparameterswindow.h"

#include "testmodewindow.h"
#include "ui/common/handlertrap.h"
#include "ui/common/uicommon.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr int LiveReadingMs = 500;
constexpr int MaxValue = 255; // a parameter is one byte
constexpr int LampSize = 16;
const QColor Red(255, 0, 0);
const QColor Green(0, 255, 0);
const QColor Off(128, 128, 128);

QPushButton* button(QWidget* parent, const char* name) {
    auto* b = new QPushButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

QLabel* lamp(QWidget* parent, const char* name) {
    auto* l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setFixedSize(LampSize, LampSize);
    return l;
}
} // namespace

TestParametersWindow::TestParametersWindow(TestModeEngine& engine, int item, QWidget* parent)
    : QDialog(parent), m_engine(engine), m_item(item) {
    setObjectName(QStringLiteral("FrmTestModePara"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    m_liveReadingTimer.setInterval(LiveReadingMs);

    createLevelTabs();
    m_readingFrame = new QGroupBox(this);
    m_readingFrame->setObjectName(QStringLiteral("Frame1"));
    m_readingLabel = new QLabel(m_readingFrame);
    m_readingLabel->setObjectName(QStringLiteral("LabelValue"));
    m_readingLabel->setAlignment(Qt::AlignCenter);
    m_readingLabel->setStyleSheet(QStringLiteral("font-size: 20pt; font-weight: bold;"));
    m_readingLabel->setMinimumWidth(160);
    m_readButton = button(this, "Command1");
    m_readingLamp = lamp(this, "ShapeRead");
    m_pttButton = button(this, "Command2");
    m_pttButton->setCheckable(true);
    m_transmitterLamp = lamp(this, "ShapePTT");
    m_confirmButton = button(this, "Command3");
    m_cancelButton = button(this, "Command4");

    buildLayout();
    runTrapped(handlerName(this, "Load"), [this] {
        retranslate();
        layoutForItem();
        showValues();
    });

    connectControls();
}

// One tab per level: its caption, a slider and a box that shows and takes the value.
void TestParametersWindow::createLevelTabs() {
    m_levelTabs = new QTabWidget(this);
    m_levelTabs->setObjectName(QStringLiteral("SSTab1"));
    for (int i = 0; i < TestLevelCount; ++i) {
        auto* page = new QWidget(m_levelTabs);
        m_levelLabels[size_t(i)] = new QLabel(page);
        m_levelLabels[size_t(i)]->setObjectName(QStringLiteral("Label1_%1").arg(i));
        QSlider*& slider = m_levelSliders[size_t(i)];
        slider = new QSlider(Qt::Horizontal, page);
        slider->setObjectName(QStringLiteral("Slider1_%1").arg(i));
        slider->setRange(0, MaxValue);
        slider->setPageStep(16);
        slider->setTracking(false); // a drag sends its value once, when the slider is let go
        slider->setMinimumWidth(260);
        QLineEdit*& valueBox = m_levelValueBoxes[size_t(i)];
        valueBox = new QLineEdit(page);
        valueBox->setObjectName(QStringLiteral("Text2_%1").arg(i));
        valueBox->setMaxLength(3);
        valueBox->setFixedWidth(valueBox->fontMetrics().horizontalAdvance(QStringLiteral("0000")) +
                                12);
        valueBox->setAlignment(Qt::AlignRight);
        valueBox->installEventFilter(this);
        suppressRightClick(valueBox);
        auto* row = new QGridLayout(page);
        row->addWidget(m_levelLabels[size_t(i)], 0, 0, 1, 2);
        row->addWidget(slider, 1, 0);
        row->addWidget(valueBox, 1, 1);
        row->setRowStretch(2, 1);
        m_levelTabs->addTab(page, QString());

        connectTrapped(slider, &QSlider::valueChanged, this, "Change",
                       [this, i](int v) { onSlider(i, v); });
        connect(slider, &QSlider::sliderMoved, valueBox,
                [valueBox](int v) { valueBox->setText(QString::number(v)); });
    }
}

// The tabs, buttons, live-reading timer and the engine's new values.
void TestParametersWindow::connectControls() {
    connectTrapped(m_levelTabs, &QTabWidget::currentChanged, this, "Click",
                   [this](int i) { onTab(i); });
    connect(m_levelTabs, &QTabWidget::tabBarClicked, this, [this](int i) {
        // A click on the tab already shown reads its values again.
        if (i == m_levelTabs->currentIndex()) runTrapped("SSTab1_Click", [this, i] { onTab(i); });
    });
    connectTrapped(m_readButton, &QPushButton::clicked, this, "Click", [this] { onReadToggle(); });
    connectTrapped(m_pttButton, &QPushButton::clicked, this, "Click",
                   [this](bool on) { onPtt(on); });
    connectTrapped(m_confirmButton, &QPushButton::clicked, this, "Click", [this] { onConfirm(); });
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::close);
    connect(&m_liveReadingTimer, &QTimer::timeout, this, [this] {
        runTrapped("TimerGetPara_Timer", [this] { m_engine.readParameter(levelCode(0)); });
    });
    connect(&m_engine, &TestModeEngine::parametersChanged, this,
            [this] { runTrapped("TestModeParaShow", [this] { showValues(); }); });
}

void TestParametersWindow::retranslate() {
    setWindowTitle(tr2("Tuning - %1", "调协 - %1").arg(testItemName(m_item)));
    for (int i = 0; i < TestLevelCount; ++i) {
        m_levelTabs->setTabText(i, testLevelName(i));
        m_levelLabels[size_t(i)]->setText(tr2("%1: %2 (0 to 255)", "%1：%2（0 至 255）")
                                              .arg(testItemName(m_item), testLevelName(i)));
    }
    m_readingFrame->setTitle(testItemName(m_item));
    m_readButton->setText(tr2("&Read", "读取(&R)"));
    m_pttButton->setText(QStringLiteral("&PTT"));
    m_confirmButton->setText(tr2("C&onfirm", "确定(&O)"));
    m_cancelButton->setText(tr2("&Cancel", "取消(&C)"));
}

void TestParametersWindow::buildLayout() {
    auto* reading = new QHBoxLayout(m_readingFrame);
    reading->addWidget(m_readingLabel);

    auto* controls = new QHBoxLayout;
    controls->addWidget(m_readButton);
    controls->addWidget(m_readingLamp);
    controls->addWidget(m_pttButton);
    controls->addWidget(m_transmitterLamp);
    controls->addStretch();
    controls->addWidget(m_confirmButton);
    controls->addWidget(m_cancelButton);

    auto* all = new QVBoxLayout(this);
    all->addWidget(m_levelTabs);
    all->addWidget(m_readingFrame);
    all->addLayout(controls);
}

// Items 1..11 tune with the level tabs and have a transmitter; items 12..15 read live.
void TestParametersWindow::layoutForItem() {
    m_transmitting = false;
    const bool reading = readingLayout();
    m_levelTabs->setVisible(!reading);
    m_pttButton->setVisible(!reading);
    m_transmitterLamp->setVisible(!reading);
    m_readButton->setVisible(reading);
    m_readingLamp->setVisible(reading);
    m_readingFrame->setVisible(reading);
    const QList<int> levels = testLevelsOfValues(testValueCount(m_item, m_engine.isWide()));
    for (int i = 0; i < TestLevelCount; ++i)
        m_levelTabs->setTabEnabled(i, levels.contains(i) && levelCode(i) != 0);
    m_levelTabs->setCurrentIndex(0);
    m_pttButton->setChecked(false);
    setLamp(m_transmitterLamp, Green);
    setLamp(m_readingLamp, Off);
    adjustSize();
    setFixedSize(sizeHint());
}

void TestParametersWindow::showValues() {
    m_showing = true;
    for (int i = 0; i < TestLevelCount; ++i) {
        const int v = m_engine.parameterValues()[size_t(i)];
        m_levelSliders[size_t(i)]->setValue(v);
        m_levelValueBoxes[size_t(i)]->setText(QString::number(v));
    }
    m_readingLabel->setText(QString::number(m_engine.parameterValues()[0]));
    m_showing = false;
}

void TestParametersWindow::onTab(int level) {
    if (level < 0 || !m_levelTabs->isTabEnabled(level) || levelCode(level) == 0) return;
    m_engine.selectParameter(levelCode(level), testValueCount(m_item, m_engine.isWide()));
}

void TestParametersWindow::onSlider(int level, int value) {
    m_levelValueBoxes[size_t(level)]->setText(QString::number(value));
    if (m_showing || levelCode(level) == 0) return;
    m_engine.setParameter(levelCode(level), value);
}

void TestParametersWindow::applyTyped(int level) {
    QLineEdit* t = m_levelValueBoxes[size_t(level)];
    bool ok = false;
    const int v = std::clamp(t->text().toInt(&ok), 0, MaxValue);
    if (!ok) {
        t->setText(QString::number(m_levelSliders[size_t(level)]->value()));
        return;
    }
    t->setText(QString::number(v));
    m_levelSliders[size_t(level)]->setValue(v); // sends it when it differs
}

void TestParametersWindow::onReadToggle() {
    if (m_liveReadingTimer.isActive())
        m_liveReadingTimer.stop();
    else
        m_liveReadingTimer.start();
    setLamp(m_readingLamp, m_liveReadingTimer.isActive() ? Green : Off);
}

void TestParametersWindow::onPtt(bool on) {
    // A command the full queue refuses is not sent: the transmitter stays as it was.
    if (on ? m_engine.transmitterOn() : m_engine.transmitterOff()) m_transmitting = on;
    m_pttButton->setChecked(m_transmitting);
    setLamp(m_transmitterLamp, m_transmitting ? Red : Green);
}

void TestParametersWindow::onConfirm() {
    const int level = readingLayout() ? 0 : m_levelTabs->currentIndex();
    const int code = levelCode(level);
    if (code == 0) return;
    if (m_engine.confirmParameter(code)) {
        const int value = readingLayout() ? m_engine.parameterValues()[0]
                                          : m_levelSliders[size_t(level)]->value();
        m_engine.keepConfirmedValue(level, value);
    }
}

bool TestParametersWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    for (int i = 0; i < TestLevelCount; ++i) {
        if (watched != m_levelValueBoxes[size_t(i)]) continue;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            runTrapped("Text2_KeyPress", [this, i] { applyTyped(i); });
            return true;
        }
        if (key->matches(QKeySequence::Cut) || key->matches(QKeySequence::Paste) ||
            key->matches(QKeySequence::Copy))
            return true;
        const QString text = key->text();
        if (!text.isEmpty() && text.at(0).isPrint()) {
            const QChar c = text.at(0);
            return c.unicode() > 127 || c < QLatin1Char('0') || c > QLatin1Char('9');
        }
        if (!text.isEmpty() && text.at(0).unicode() > 127) return true;
        return false;
    }
    return QDialog::eventFilter(watched, event);
}

void TestParametersWindow::done(int result) {
    if (!m_closing) {
        m_closing = true;
        m_liveReadingTimer.stop();
        runTrapped("Form_Unload", [this] {
            if (m_transmitting) {
                m_transmitting = false;
                m_engine.transmitterOff();
            }
            m_engine.restoreParameters(m_item);
        });
    }
    QDialog::done(result);
}
