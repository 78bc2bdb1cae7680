#include "frmoptfeatures.h"

#include "app/uicommon.h"
#include "editorsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {
// Where each list keeps its value: the option word and the value of the list's first entry.
struct ListSetting {
    int word;
    int offset;
};
constexpr std::array<ListSetting, FrmOptFeatures::ListCount> Lists = {{
    {0, 0},    // time-out timer: Off, 30 .. 600 s
    {1, 30},   // RB frequency, tens of Hz
    {2, 0},    // RB time
    {3, 30},   // CW side tone, tens of Hz
    {4, 0},    // frequency step
    {5, 0},    // LCD display
    {6, 0},    // scan mode
    {7, 0},    // scan resume time
    {8, 0},    // LCD display in TX
    {9, 12},   // SWR protect value, tenths
    {10, 105}, // battery protect minimum, tenths of V
    {11, 105}, // battery protect maximum
    {21, 0},   // squelch close delays: FM, AM, CW/USB/LSB
    {22, 0},
    {23, 0},
    {39, 30}, // single tone, tens of Hz
    {40, 0},  // clarifier mode
    {41, 0},  // push mode
}};

struct CheckSetting {
    int word;
    bool defaultOn; // shown for a word that is neither 0 nor 1
};
constexpr std::array<CheckSetting, FrmOptFeatures::CheckCount> Checks = {{
    {12, true},
    {13, true},
    {14, true},
    {15, true},
    {16, true},
    {17, true}, // modes
    {18, false},
    {19, false},
    {20, false}, // single change
    {30, false},
    {31, false},
    {32, true},
    {33, false},
    {34, false},
    {35, false},
    {36, false}, // channel functions BUSY .. RB
    {37, true},
    {38, true}, // protection switches
}};

constexpr int ModeChecks = 6; // Check1 0..5: LSB, USB, FM, AM, PA, CW
constexpr int SingleChangeDataCheck = 6;
constexpr int FirstFunctionCheck = 9; // Check1 9..15: BUSY .. RB
constexpr int LastFunctionCheck = 15;
constexpr int FirstEmergencyWord = 24;

QStringList numbers(int first, int last, int step) {
    QStringList out;
    for (int v = first; v <= last; v += step)
        out << QString::number(v);
    return out;
}
QStringList tenths(int first, int last) {
    QStringList out;
    for (int v = first; v <= last; ++v)
        out << QString::number(v / 10.0, 'f', 1);
    return out;
}
} // namespace

FrmOptFeatures::FrmOptFeatures(Document& doc, QWidget* parent) : QWidget(parent), m_doc(doc) {
    setObjectName(QStringLiteral("FrmOptFeatures"));
    const bool older = !doc.product().emergencyInGrid;

    for (int k = 0; k < ListCount; ++k) {
        if (!hasList(k)) continue;
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("Label1_%1").arg(k));
        auto* list = new QComboBox(this);
        list->setObjectName(QStringLiteral("Combo1_%1").arg(k));
        list->setMaxVisibleItems(15);
        label->setBuddy(list);
        m_label1[size_t(k)] = label;
        m_combo1[size_t(k)] = list;
        connect(list, &QComboBox::activated, this,
                [this, k] { trapErrors("FrmOptFeatures_Combo1_Click", [&] { SaveOptFeat(k); }); });
    }
    for (int k = 0; k < CheckCount; ++k) {
        if (!hasCheck(k)) continue;
        auto* box = new QCheckBox(this);
        box->setObjectName(QStringLiteral("Check1_%1").arg(k));
        m_check1[size_t(k)] = box;
        connect(box, &QCheckBox::clicked, this, [this, k] {
            trapErrors("FrmOptFeatures_Check1_Click", [&] { SaveOptFeat(k + FirstCheckId); });
        });
    }
    if (older) {
        for (int g = 0; g < GroupCount; ++g) {
            auto* label = new QLabel(this);
            label->setObjectName(QStringLiteral("Label2_%1").arg(g));
            auto* list = new QComboBox(this);
            list->setObjectName(QStringLiteral("Combo2_%1").arg(g));
            label->setBuddy(list);
            m_label2[size_t(g)] = label;
            m_combo2[size_t(g)] = list;
            connect(list, &QComboBox::activated, this, [this, g] { emergencyChosen(g); });
        }
    }
    m_close = new QPushButton(this);
    m_close->setObjectName(QStringLiteral("CommandClose"));
    connect(m_close, &QPushButton::clicked, this, &FrmOptFeatures::closeWindow);

    // Lists in two columns, each caption right-aligned just left of its list.
    auto* lists = new QGridLayout;
    lists->setHorizontalSpacing(twipsToPixelsX(100));
    std::vector<std::pair<QLabel*, QComboBox*>> pairs;
    for (int k = 0; k < ListCount; ++k)
        if (hasList(k)) pairs.emplace_back(m_label1[size_t(k)], m_combo1[size_t(k)]);
    for (int g = 0; g < GroupCount && older; ++g)
        pairs.emplace_back(m_label2[size_t(g)], m_combo2[size_t(g)]);
    const int perColumn = int(pairs.size() + 1) / 2;
    for (int i = 0; i < int(pairs.size()); ++i) {
        const int column = i < perColumn ? 0 : 3;
        const int row = i < perColumn ? i : i - perColumn;
        lists->addWidget(pairs[size_t(i)].first, row, column, Qt::AlignRight | Qt::AlignVCenter);
        lists->addWidget(pairs[size_t(i)].second, row, column + 1);
    }
    lists->setColumnMinimumWidth(2, twipsToPixelsX(300));
    lists->setColumnStretch(1, 1);
    lists->setColumnStretch(4, 1);

    m_frameModes = new QGroupBox(this);
    m_frameModes->setObjectName(QStringLiteral("Frame1"));
    auto* modes = new QGridLayout(m_frameModes);
    for (int k = 0; k < ModeChecks; ++k) {
        m_check1[size_t(k)]->setParent(m_frameModes);
        modes->addWidget(m_check1[size_t(k)], k % 3, k / 3);
    }

    m_frameFunctions = new QGroupBox(this);
    m_frameFunctions->setObjectName(QStringLiteral("Frame2"));
    auto* functions = new QGridLayout(m_frameFunctions);
    m_check1[SingleChangeDataCheck]->setParent(m_frameFunctions);
    functions->addWidget(m_check1[SingleChangeDataCheck], 0, 0, 1, 4);
    for (int k = FirstFunctionCheck; k <= LastFunctionCheck; ++k) {
        m_check1[size_t(k)]->setParent(m_frameFunctions);
        const int i = k - FirstFunctionCheck;
        functions->addWidget(m_check1[size_t(k)], 1 + i / 4, i % 4);
    }

    auto* others = new QVBoxLayout;
    for (int k : {7, 8, 16, 17})
        if (hasCheck(k)) others->addWidget(m_check1[size_t(k)]);
    others->addStretch(1);

    auto* boxes = new QHBoxLayout;
    boxes->addWidget(m_frameModes);
    boxes->addWidget(m_frameFunctions);
    boxes->addLayout(others);
    boxes->addStretch(1);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(m_close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists);
    layout->addSpacing(twipsToPixelsY(120));
    layout->addLayout(boxes);
    layout->addStretch(1);
    layout->addLayout(bottom);

    trapErrors("FrmOptFeatures_Form_Load", [&] {
        InitOptComboList();
        if (older) InitEmergencyLists();
        ChangOptByLanguage();
        ShowOptData();
    });

    if (older) {
        // Channels come and go in the channel grid; the emergency choices follow them here.
        m_doc.hooks.emergencyListsChanged = [this] {
            InitEmergencyLists();
            showEmergencyChoices();
        };
        m_hookedEmergency = true;
    }
}

FrmOptFeatures::~FrmOptFeatures() {
    if (m_hookedEmergency) m_doc.hooks.emergencyListsChanged = nullptr;
}

bool FrmOptFeatures::hasList(int k) const {
    return Lists[size_t(k)].word < m_doc.optionWordCount();
}
bool FrmOptFeatures::hasCheck(int k) const {
    return Checks[size_t(k)].word < m_doc.optionWordCount();
}

void FrmOptFeatures::InitOptComboList() {
    trapErrors("FrmOptFeatures_InitOptComboList", [&] {
        const QStringList tones = numbers(300, 3000, 10);
        const QStringList delays = numbers(5, 300, 5);
        const QStringList entries[ListCount] = {
            QStringList{tr2("Off", "关")} + numbers(30, 600, 30),
            tones,
            numbers(50, 1000, 50),
            tones,
            {QStringLiteral("10KHz"), QStringLiteral("1KHz"), QStringLiteral("100Hz"),
             QStringLiteral("10Hz")},
            {tr2("OFF", "关"), tr2("ON", "开")},
            {tr2("Squelch Scan", "静噪扫描"), tr2("Time Scan", "时间扫描")},
            numbers(1, 60, 1),
            {tr2("Tx Frequency Display", "发射频率显示"), tr2("SWR LCD Display", "SWR驻波LCD显示"),
             tr2("Battery Voltage Display", "电池电压显示"),
             tr2("TOT Remain Time Display", "TOT剩余时间显示")},
            tenths(12, 200),
            tenths(105, 170),
            tenths(105, 170),
            delays,
            delays,
            delays,
            tones,
            {tr2("Fine", "细调"), tr2("Rx/Tx Frequency", "接收/发射 频率"),
             tr2("Tx Frequency", "发射频率")},
            {tr2("Coarse", "粗调"), tr2("Step Frequency", "频率步进"),
             tr2("Tx Frequency", "发射频率")},
        };
        for (int k = 0; k < ListCount; ++k) {
            if (!hasList(k)) continue;
            for (int i = 0; i < entries[k].size(); ++i)
                setListEntry(m_combo1[size_t(k)], i, entries[k][i]);
        }
    });
}

void FrmOptFeatures::ChangOptByLanguage() {
    trapErrors("FrmOptFeatures_ChangOptByLanguage", [&] {
        const bool older = !m_doc.product().emergencyInGrid;
        setWindowTitle(tr2("Optional Features", "可选功能"));
        const QString hz = QStringLiteral("[Hz]");
        const QString ms = QStringLiteral("[ms]");
        const QString s = QStringLiteral("[s]");
        const QString v = QStringLiteral("[V]");
        const QString labels[ListCount] = {
            tr2("Time Out Timer(TOT)[s]", "超时定时器(TOT)[秒]"),
            tr2("RB Frequecy", "RB 频率") + hz,
            tr2("RB Time", "RB 时间") + ms,
            tr2("CW Side Tone", "CW 侧音") + hz,
            tr2("Frequency Step", "频率步进"),
            tr2("LCD Display", "LCD 显示"),
            tr2("Scan Mode", "扫描模式"),
            tr2("Scan Resume Time", "扫描恢复时间") + s,
            tr2("LCD Display In Tx", "发射时LCD显示"),
            tr2("SWR Protect value", "驻波保护值"),
            tr2("Battery Voltage Protect Value 1 -- Min", "电池电压保护值1--最低") + v,
            tr2("Battery Voltage Protect Value 2 -- Max", "电池电压保护值2--最高") + v,
            older ? QStringLiteral("SQ Delay Time 0") + ms
                  : tr2("FM SQ Close Delay Time", "FM SQ关闭延时时间") + ms,
            older ? QStringLiteral("SQ Delay Time 1") + ms
                  : tr2("AM SQ Close Delay Time", "AM SQ关闭延时时间") + ms,
            older ? QStringLiteral("SQ Delay Time 2") + ms
                  : tr2("CW/USB/LSB SQ Close Delay Time", "CW/USB/LSB SQ关闭延时时间") + ms,
            tr2("Single Tone", "单音") + hz,
            QStringLiteral("Clarifier Mode"),
            QStringLiteral("Push Mode"),
        };
        for (int k = 0; k < ListCount; ++k)
            if (hasList(k)) m_label1[size_t(k)]->setText(labels[k]);

        const QString checks[CheckCount] = {
            tr2("LSB Enable", "使用LSB"),
            tr2("USB Enable", "使用USB"),
            tr2("FM Enable", "使用FM"),
            tr2("AM Enable", "使用AM"),
            tr2("PA Enalbe", "使用PA"),
            tr2("CW Enable", "使用CW"),
            tr2("Single Change Data", "允许独立改变信道数据"),
            tr2("Common Option", "信道设置公共信道"),
            older ? tr2("Single Change Frequency", "允许独立改变频率")
                  : tr2("Single Change RX/TX Frequency", "允许独立改变收发频率"),
            QStringLiteral("BUSY"),
            QStringLiteral("VOIC"),
            QStringLiteral("ECHO"),
            QStringLiteral("HI-CUT"),
            QStringLiteral("+10KHz"),
            QStringLiteral("NB/ANL"),
            QStringLiteral("RB"),
            tr2("SWR Protect Enabled", "驻波保护使能"),
            tr2("DC Protect Enabled", "低电压保护使能"),
        };
        for (int k = 0; k < CheckCount; ++k)
            if (hasCheck(k)) m_check1[size_t(k)]->setText(checks[k]);
        m_frameModes->setTitle(QStringLiteral("Mode Option"));
        if (older)
            for (int g = 0; g < GroupCount; ++g)
                m_label2[size_t(g)]->setText(tr2("Emergency Channel", "紧急信道") +
                                             QLatin1Char(' ') + QChar(u'A' + g));
        captionCloseAndHelp(this);
    });
}

void FrmOptFeatures::ShowOptData() {
    trapErrors("FrmOptFeatures_ShowOptData", [&] {
        const auto words = m_doc.config.optionWords;
        for (int k = 0; k < ListCount; ++k) {
            if (!hasList(k)) continue;
            QComboBox* list = m_combo1[size_t(k)];
            const int index = words[size_t(Lists[size_t(k)].word)] - Lists[size_t(k)].offset;
            list->setCurrentIndex(list->count() == 0                    ? -1
                                  : index >= 0 && index < list->count() ? index
                                                                        : 0);
        }
        for (int k = 0; k < CheckCount; ++k) {
            if (!hasCheck(k)) continue;
            const int w = words[size_t(Checks[size_t(k)].word)];
            m_check1[size_t(k)]->setChecked(w == 0 || w == 1 ? w == 1
                                                             : Checks[size_t(k)].defaultOn);
        }
        // What is shown is what is stored: a value no entry matched becomes the entry shown.
        for (int k = 0; k < ListCount; ++k)
            if (hasList(k)) SaveOptFeat(k);
        for (int k = 0; k < CheckCount; ++k)
            if (hasCheck(k)) SaveOptFeat(k + FirstCheckId);
        showEmergencyChoices();
    });
}

void FrmOptFeatures::ReShowData() {
    InitOptComboList();
    if (!m_doc.product().emergencyInGrid) InitEmergencyLists();
    ShowOptData();
}

bool FrmOptFeatures::validateEdits() {
    return true;
}

void FrmOptFeatures::SaveOptFeat(int id) {
    auto words = m_doc.config.optionWords;
    if (id >= 0 && id < ListCount) {
        if (!hasList(id)) return;
        const int index = m_combo1[size_t(id)]->currentIndex();
        if (index < 0) return;
        words[size_t(Lists[size_t(id)].word)] = int16_t(index + Lists[size_t(id)].offset);
    } else if (id >= FirstCheckId && id < FirstCheckId + CheckCount) {
        const int k = id - FirstCheckId;
        if (!hasCheck(k)) return;
        const bool on = m_check1[size_t(k)]->isChecked();
        words[size_t(Checks[size_t(k)].word)] = on ? 1 : 0;
        if (k == SingleChangeDataCheck) {
            // While channels may differ one by one, the common channel functions are off.
            for (int f = FirstFunctionCheck; f <= LastFunctionCheck; ++f) {
                QCheckBox* box = m_check1[size_t(f)];
                if (on) {
                    box->setChecked(false);
                    words[size_t(Checks[size_t(f)].word)] = 0;
                }
                box->setEnabled(!on);
            }
        }
    } else {
        return;
    }
    m_doc.config.optionWords = words;

    const int k = id - FirstCheckId;
    if (k >= 0 && k < ModeChecks) {
        const bool anyMode = std::any_of(m_check1.begin(), m_check1.begin() + ModeChecks,
                                         [](const QCheckBox* b) { return b->isChecked(); });
        if (!anyMode) {
            // At least one operating mode stays enabled.
            m_check1[size_t(k)]->setChecked(true);
            SaveOptFeat(id);
        }
    }
}

void FrmOptFeatures::InitEmergencyLists() {
    for (int g = 0; g < GroupCount; ++g)
        if (QComboBox* list = m_combo2[size_t(g)]) fillGroupChannelList(list, m_doc, g);
}

void FrmOptFeatures::showEmergencyChoices() {
    for (int g = 0; g < GroupCount; ++g)
        if (QComboBox* list = m_combo2[size_t(g)])
            showListEntry(list, QString::number(
                                    m_doc.config.optionWords[size_t(FirstEmergencyWord + g)] + 1));
}

void FrmOptFeatures::emergencyChosen(int group) {
    trapErrors("FrmOptFeatures_Combo2_Click", [&] {
        const QComboBox* list = m_combo2[size_t(group)];
        if (list->currentIndex() < 0) return;
        m_doc.config.optionWords[size_t(FirstEmergencyWord + group)] =
            int16_t(list->currentText().toInt() - 1);
    });
}

void FrmOptFeatures::closeWindow() {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
}
