#include "testparameterswindow.h"

#include "ui/common/uicommon.h"
#include "testmodewindow.h"
#include "ui/common/handlertrap.h"

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
constexpr int GetParaMs = 500;
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
    TimerGetPara.setInterval(GetParaMs);

    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    for (int i = 0; i < TestLevelCount; ++i) {
        auto* page = new QWidget(SSTab1);
        Label1[size_t(i)] = new QLabel(page);
        Label1[size_t(i)]->setObjectName(QStringLiteral("Label1_%1").arg(i));
        QSlider*& s = Slider1[size_t(i)];
        s = new QSlider(Qt::Horizontal, page);
        s->setObjectName(QStringLiteral("Slider1_%1").arg(i));
        s->setRange(0, MaxValue);
        s->setPageStep(16);
        s->setTracking(false); // a drag sends its value once, when the slider is let go
        s->setMinimumWidth(260);
        QLineEdit*& t = Text2[size_t(i)];
        t = new QLineEdit(page);
        t->setObjectName(QStringLiteral("Text2_%1").arg(i));
        t->setMaxLength(3);
        t->setFixedWidth(t->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12);
        t->setAlignment(Qt::AlignRight);
        t->installEventFilter(this);
        suppressRightClick(t);
        auto* row = new QGridLayout(page);
        row->addWidget(Label1[size_t(i)], 0, 0, 1, 2);
        row->addWidget(s, 1, 0);
        row->addWidget(t, 1, 1);
        row->setRowStretch(2, 1);
        SSTab1->addTab(page, QString());

        connect(s, &QSlider::valueChanged, this, [this, i](int v) {
            runTrapped("Slider1_Change", [this, i, v] { onSlider(i, v); });
        });
        connect(s, &QSlider::sliderMoved, t, [t](int v) { t->setText(QString::number(v)); });
    }
    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    LabelValue = new QLabel(Frame1);
    LabelValue->setObjectName(QStringLiteral("LabelValue"));
    LabelValue->setAlignment(Qt::AlignCenter);
    LabelValue->setStyleSheet(QStringLiteral("font-size: 20pt; font-weight: bold;"));
    LabelValue->setMinimumWidth(160);
    Command1 = button(this, "Command1");
    ShapeRead = lamp(this, "ShapeRead");
    Command2 = button(this, "Command2");
    Command2->setCheckable(true);
    ShapePTT = lamp(this, "ShapePTT");
    Command3 = button(this, "Command3");
    Command4 = button(this, "Command4");

    buildLayout();
    runTrapped("FrmTestModePara_Load", [this] {
        changeShowByLanguage();
        layoutForItem();
        showValues();
    });

    connect(SSTab1, &QTabWidget::currentChanged, this,
            [this](int i) { runTrapped("SSTab1_Click", [this, i] { onTab(i); }); });
    connect(SSTab1, &QTabWidget::tabBarClicked, this, [this](int i) {
        // A click on the tab already shown reads its values again.
        if (i == SSTab1->currentIndex()) runTrapped("SSTab1_Click", [this, i] { onTab(i); });
    });
    connect(Command1, &QPushButton::clicked, this,
            [this] { runTrapped("Command1_Click", [this] { onReadToggle(); }); });
    connect(Command2, &QPushButton::clicked, this,
            [this](bool on) { runTrapped("Command2_Click", [this, on] { onPtt(on); }); });
    connect(Command3, &QPushButton::clicked, this,
            [this] { runTrapped("Command3_Click", [this] { onConfirm(); }); });
    connect(Command4, &QPushButton::clicked, this, &QDialog::close);
    connect(&TimerGetPara, &QTimer::timeout, this, [this] {
        runTrapped("TimerGetPara_Timer", [this] { m_engine.readParameter(levelCode(0)); });
    });
    connect(&m_engine, &TestModeEngine::parametersChanged, this,
            [this] { runTrapped("TestModeParaShow", [this] { showValues(); }); });
}

void TestParametersWindow::changeShowByLanguage() {
    setWindowTitle(tr2("Tuning - %1", "调协 - %1").arg(testItemName(m_item)));
    for (int i = 0; i < TestLevelCount; ++i) {
        SSTab1->setTabText(i, testLevelName(i));
        Label1[size_t(i)]->setText(tr2("%1: %2 (0 to 255)", "%1：%2（0 至 255）")
                                       .arg(testItemName(m_item), testLevelName(i)));
    }
    Frame1->setTitle(testItemName(m_item));
    Command1->setText(tr2("&Read", "读取(&R)"));
    Command2->setText(QStringLiteral("&PTT"));
    Command3->setText(tr2("C&onfirm", "确定(&O)"));
    Command4->setText(tr2("&Cancel", "取消(&C)"));
}

void TestParametersWindow::buildLayout() {
    auto* reading = new QHBoxLayout(Frame1);
    reading->addWidget(LabelValue);

    auto* controls = new QHBoxLayout;
    controls->addWidget(Command1);
    controls->addWidget(ShapeRead);
    controls->addWidget(Command2);
    controls->addWidget(ShapePTT);
    controls->addStretch();
    controls->addWidget(Command3);
    controls->addWidget(Command4);

    auto* all = new QVBoxLayout(this);
    all->addWidget(SSTab1);
    all->addWidget(Frame1);
    all->addLayout(controls);
}

// Items 1..11 tune with the level tabs and have a transmitter; items 12..15 read live.
void TestParametersWindow::layoutForItem() {
    m_transmitting = false;
    const bool reading = readingLayout();
    SSTab1->setVisible(!reading);
    Command2->setVisible(!reading);
    ShapePTT->setVisible(!reading);
    Command1->setVisible(reading);
    ShapeRead->setVisible(reading);
    Frame1->setVisible(reading);
    const QList<int> levels = testLevelsOfValues(testValueCount(m_item, m_engine.isWide()));
    for (int i = 0; i < TestLevelCount; ++i)
        SSTab1->setTabEnabled(i, levels.contains(i) && levelCode(i) != 0);
    SSTab1->setCurrentIndex(0);
    Command2->setChecked(false);
    setLamp(ShapePTT, Green);
    setLamp(ShapeRead, Off);
    adjustSize();
    setFixedSize(sizeHint());
}

void TestParametersWindow::showValues() {
    m_showing = true;
    for (int i = 0; i < TestLevelCount; ++i) {
        const int v = m_engine.parameterValues()[size_t(i)];
        Slider1[size_t(i)]->setValue(v);
        Text2[size_t(i)]->setText(QString::number(v));
    }
    LabelValue->setText(QString::number(m_engine.parameterValues()[0]));
    m_showing = false;
}

void TestParametersWindow::onTab(int level) {
    if (level < 0 || !SSTab1->isTabEnabled(level) || levelCode(level) == 0) return;
    m_engine.selectParameter(levelCode(level), testValueCount(m_item, m_engine.isWide()));
}

void TestParametersWindow::onSlider(int level, int value) {
    Text2[size_t(level)]->setText(QString::number(value));
    if (m_showing || levelCode(level) == 0) return;
    m_engine.setParameter(levelCode(level), value);
}

void TestParametersWindow::applyTyped(int level) {
    QLineEdit* t = Text2[size_t(level)];
    bool ok = false;
    const int v = std::clamp(t->text().toInt(&ok), 0, MaxValue);
    if (!ok) {
        t->setText(QString::number(Slider1[size_t(level)]->value()));
        return;
    }
    t->setText(QString::number(v));
    Slider1[size_t(level)]->setValue(v); // sends it when it differs
}

void TestParametersWindow::onReadToggle() {
    if (TimerGetPara.isActive())
        TimerGetPara.stop();
    else
        TimerGetPara.start();
    setLamp(ShapeRead, TimerGetPara.isActive() ? Green : Off);
}

void TestParametersWindow::onPtt(bool on) {
    m_transmitting = on;
    Command2->setChecked(on);
    setLamp(ShapePTT, on ? Red : Green);
    if (on)
        m_engine.transmitterOn();
    else
        m_engine.transmitterOff();
}

void TestParametersWindow::onConfirm() {
    const int level = readingLayout() ? 0 : SSTab1->currentIndex();
    const int code = levelCode(level);
    if (code == 0) return;
    if (m_engine.confirmParameter(code)) {
        const int value =
            readingLayout() ? m_engine.parameterValues()[0] : Slider1[size_t(level)]->value();
        m_engine.keepConfirmedValue(level, value);
    }
}

bool TestParametersWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    for (int i = 0; i < TestLevelCount; ++i) {
        if (watched != Text2[size_t(i)]) continue;
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
        TimerGetPara.stop();
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
