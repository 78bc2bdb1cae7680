#include "optionfeatureswindow.h"

#include "ui/common/uicommon.h"
#include "core/channels/channelrules.h"
#include "core/channels/optiontables.h"
#include "ui/common/editorsupport.h"

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
using OptionTables::checkSetting;
using OptionTables::listSetting;

constexpr int ModeChecks = 6; // Check1 0..5: LSB, USB, FM, AM, PA, CW
constexpr int SingleChangeDataCheck = 6;
constexpr int FirstFunctionCheck = 9; // Check1 9..15: BUSY .. RB
constexpr int LastFunctionCheck = 15;
constexpr int FirstEmergencyWord = 24;
// Widest a list caption gets before it takes a second line, so that the two columns of lists
// fit the child window area of the main window at its default size.
constexpr int CaptionTwips = 2600;
constexpr int FunctionColumns = 3; // the channel-function boxes, per row

// A list caption, right-aligned beside its list: one line, or two when it is long.
void fitCaption(QLabel* label) {
    const int limit = twipsToPixelsX(CaptionTwips);
    const int natural = label->fontMetrics().horizontalAdvance(label->text()) + 2;
    label->setWordWrap(natural > limit);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setFixedWidth(std::min(natural, limit));
}

} // namespace

OptionFeaturesWindow::OptionFeaturesWindow(Document& doc, QWidget* parent) : QWidget(parent), m_doc(doc) {
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
    connect(m_close, &QPushButton::clicked, this, &OptionFeaturesWindow::closeWindow);

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
    functions->addWidget(m_check1[SingleChangeDataCheck], 0, 0, 1, FunctionColumns);
    for (int k = FirstFunctionCheck; k <= LastFunctionCheck; ++k) {
        m_check1[size_t(k)]->setParent(m_frameFunctions);
        const int i = k - FirstFunctionCheck;
        functions->addWidget(m_check1[size_t(k)], 1 + i / FunctionColumns, i % FunctionColumns);
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
        connect(&m_doc.notifier(), &DocumentNotifier::emergencyListsChanged, this, [this] {
            InitEmergencyLists();
            showEmergencyChoices();
        });
    }
}

OptionFeaturesWindow::~OptionFeaturesWindow() = default;

bool OptionFeaturesWindow::hasList(int k) const {
    return OptionTables::hasList(m_doc, k);
}
bool OptionFeaturesWindow::hasCheck(int k) const {
    return OptionTables::hasCheck(m_doc, k);
}

void OptionFeaturesWindow::InitOptComboList() {
    trapErrors("FrmOptFeatures_InitOptComboList", [&] {
        for (int k = 0; k < ListCount; ++k) {
            if (!hasList(k)) continue;
            const QStringList entries = OptionTables::listEntries(k, currentLanguage());
            for (int i = 0; i < entries.size(); ++i)
                setListEntry(m_combo1[size_t(k)], i, entries[i]);
        }
    });
}

void OptionFeaturesWindow::ChangOptByLanguage() {
    trapErrors("FrmOptFeatures_ChangOptByLanguage", [&] {
        const bool older = !m_doc.product().emergencyInGrid;
        setWindowTitle(tr2("Optional Features", "可选功能"));
        for (int k = 0; k < ListCount; ++k)
            if (hasList(k))
                m_label1[size_t(k)]->setText(OptionTables::listLabel(k, older, currentLanguage()));
        for (int k = 0; k < CheckCount; ++k)
            if (hasCheck(k))
                m_check1[size_t(k)]->setText(OptionTables::checkLabel(k, older, currentLanguage()));
        m_frameModes->setTitle(QStringLiteral("Mode Option"));
        if (older)
            for (int g = 0; g < GroupCount; ++g)
                m_label2[size_t(g)]->setText(tr2("Emergency Channel", "紧急信道") +
                                             QLatin1Char(' ') + groupLetter(g));
        for (QLabel* caption : m_label1)
            if (caption) fitCaption(caption);
        for (QLabel* caption : m_label2)
            if (caption) fitCaption(caption);
        captionCloseAndHelp(this);
    });
}

void OptionFeaturesWindow::ShowOptData() {
    trapErrors("FrmOptFeatures_ShowOptData", [&] {
        const auto words = m_doc.config.optionWords;
        for (int k = 0; k < ListCount; ++k) {
            if (!hasList(k)) continue;
            QComboBox* list = m_combo1[size_t(k)];
            list->setCurrentIndex(OptionTables::shownListIndex(
                k, words[size_t(listSetting(k).word)], list->count()));
        }
        for (int k = 0; k < CheckCount; ++k) {
            if (!hasCheck(k)) continue;
            m_check1[size_t(k)]->setChecked(
                OptionTables::shownChecked(k, words[size_t(checkSetting(k).word)]));
        }
        // What is shown is what is stored: a value no entry matched becomes the entry shown.
        for (int k = 0; k < ListCount; ++k)
            if (hasList(k)) SaveOptFeat(k);
        for (int k = 0; k < CheckCount; ++k)
            if (hasCheck(k)) SaveOptFeat(k + FirstCheckId);
        showEmergencyChoices();
    });
}

void OptionFeaturesWindow::ReShowData() {
    InitOptComboList();
    if (!m_doc.product().emergencyInGrid) InitEmergencyLists();
    ShowOptData();
}

bool OptionFeaturesWindow::validateEdits() {
    return true;
}

void OptionFeaturesWindow::SaveOptFeat(int id) {
    auto words = m_doc.config.optionWords;
    if (id >= 0 && id < ListCount) {
        if (!hasList(id)) return;
        const int index = m_combo1[size_t(id)]->currentIndex();
        if (index < 0) return;
        words[size_t(listSetting(id).word)] = int16_t(index + listSetting(id).offset);
    } else if (id >= FirstCheckId && id < FirstCheckId + CheckCount) {
        const int k = id - FirstCheckId;
        if (!hasCheck(k)) return;
        const bool on = m_check1[size_t(k)]->isChecked();
        words[size_t(checkSetting(k).word)] = on ? 1 : 0;
        if (k == SingleChangeDataCheck) {
            // While channels may differ one by one, the common channel functions are off.
            for (int f = FirstFunctionCheck; f <= LastFunctionCheck; ++f) {
                QCheckBox* box = m_check1[size_t(f)];
                if (on) {
                    box->setChecked(false);
                    words[size_t(checkSetting(f).word)] = 0;
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

void OptionFeaturesWindow::InitEmergencyLists() {
    for (int g = 0; g < GroupCount; ++g)
        if (QComboBox* list = m_combo2[size_t(g)]) fillGroupChannelList(list, m_doc, g);
}

void OptionFeaturesWindow::showEmergencyChoices() {
    for (int g = 0; g < GroupCount; ++g)
        if (QComboBox* list = m_combo2[size_t(g)])
            showListEntry(list, QString::number(
                                    m_doc.config.optionWords[size_t(FirstEmergencyWord + g)] + 1));
}

void OptionFeaturesWindow::emergencyChosen(int group) {
    trapErrors("FrmOptFeatures_Combo2_Click", [&] {
        const QComboBox* list = m_combo2[size_t(group)];
        if (list->currentIndex() < 0) return;
        m_doc.config.optionWords[size_t(FirstEmergencyWord + group)] =
            int16_t(list->currentText().toInt() - 1);
    });
}

void OptionFeaturesWindow::closeWindow() {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
}
