#include "optionfeatureswindow.h"

#include "core/channels/channelrules.h"
#include "core/channels/optiontables.h"
#include "core/config/optionwords.h"
#include "ui/common/editorsupport.h"
#include "ui/common/uicommon.h"

#include <QAbstractItemView>
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

using OptionTables::FirstFunctionCheck;
using OptionTables::LastFunctionCheck;
constexpr int ModeChecks = OptionTables::ModeCheckCount; // Check1 0..5
constexpr int SingleChangeDataCheck = OptionTables::SingleChangeCheck;
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

OptionFeaturesWindow::OptionFeaturesWindow(Document& doc, QWidget* parent)
    : QWidget(parent), m_doc(doc) {
    setObjectName(QStringLiteral("FrmOptFeatures"));
    // The older radio's grid has no emergency channel lists: this window holds them.
    const bool emergencyHere = !doc.product().emergencyInGrid;

    buildLists();
    buildCheckBoxes();
    if (emergencyHere) buildEmergencyLists();
    m_close = new QPushButton(this);
    m_close->setObjectName(QStringLiteral("CommandClose"));
    connectSignals();

    QGridLayout* lists = layOutLists();
    QHBoxLayout* boxes = layOutCheckBoxes();
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(m_close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists);
    layout->addSpacing(twipsToPixelsY(120));
    layout->addLayout(boxes);
    layout->addStretch(1);
    layout->addLayout(bottom);

    runTrapped("FrmOptFeatures_Form_Load", [&] {
        fillLists();
        if (emergencyHere) fillEmergencyLists();
        setCaptions();
        showSettings();
    });

    // An undo or a replaced configuration shows anew.
    connect(&m_doc.notifier(), &DocumentNotifier::configurationReplaced, this,
            &OptionFeaturesWindow::refresh);
    if (emergencyHere) {
        // Channels come and go in the channel grid; the emergency choices follow them here.
        connect(&m_doc.notifier(), &DocumentNotifier::emergencyListsChanged, this,
                &OptionFeaturesWindow::refreshEmergencyLists);
    }
}

// A caption and a list for each setting the radio has.
void OptionFeaturesWindow::buildLists() {
    for (int k = 0; k < ListCount; ++k) {
        if (!hasList(k)) continue;
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("Label1_%1").arg(k));
        auto* list = new QComboBox(this);
        list->setObjectName(QStringLiteral("Combo1_%1").arg(k));
        list->setMaxVisibleItems(15);
        label->setBuddy(list);
        m_listLabels[size_t(k)] = label;
        m_lists[size_t(k)] = list;
    }
}

// A check box for each on/off setting the radio has.
void OptionFeaturesWindow::buildCheckBoxes() {
    for (int k = 0; k < CheckCount; ++k) {
        if (!hasCheck(k)) continue;
        auto* box = new QCheckBox(this);
        box->setObjectName(QStringLiteral("Check1_%1").arg(k));
        m_checkBoxes[size_t(k)] = box;
    }
}

// solvir: the emergency channel of each group, a caption and a list of its channel numbers.
void OptionFeaturesWindow::buildEmergencyLists() {
    for (int g = 0; g < GroupCount; ++g) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("Label2_%1").arg(g));
        auto* list = new QComboBox(this);
        list->setObjectName(QStringLiteral("Combo2_%1").arg(g));
        label->setBuddy(list);
        m_emergencyLabels[size_t(g)] = label;
        m_emergencyLists[size_t(g)] = list;
    }
}

void OptionFeaturesWindow::connectSignals() {
    for (int k = 0; k < ListCount; ++k)
        if (QComboBox* list = m_lists[size_t(k)])
            connect(list, &QComboBox::activated, this, [this, k] {
                runTrapped("FrmOptFeatures_Combo1_Click", [&] { storeList(k); });
            });
    for (int k = 0; k < CheckCount; ++k)
        if (QCheckBox* box = m_checkBoxes[size_t(k)])
            connect(box, &QCheckBox::clicked, this, [this, k] {
                runTrapped("FrmOptFeatures_Check1_Click", [&] { storeCheck(k); });
            });
    for (int g = 0; g < GroupCount; ++g)
        if (QComboBox* list = m_emergencyLists[size_t(g)])
            connect(list, &QComboBox::activated, this, [this, g] { emergencyChosen(g); });
    connect(m_close, &QPushButton::clicked, this, &OptionFeaturesWindow::closeWindow);
}

// Lists in two columns, each caption right-aligned just left of its list; solvir's emergency
// channel lists come last.
QGridLayout* OptionFeaturesWindow::layOutLists() {
    auto* lists = new QGridLayout;
    lists->setHorizontalSpacing(twipsToPixelsX(100));
    std::vector<std::pair<QLabel*, QComboBox*>> pairs;
    for (int k = 0; k < ListCount; ++k)
        if (hasList(k)) pairs.emplace_back(m_listLabels[size_t(k)], m_lists[size_t(k)]);
    const bool emergencyHere = !m_doc.product().emergencyInGrid;
    for (int g = 0; g < GroupCount && emergencyHere; ++g)
        pairs.emplace_back(m_emergencyLabels[size_t(g)], m_emergencyLists[size_t(g)]);
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
    return lists;
}

// The operating modes in one frame, the single-change-data box and the channel functions in
// another, the remaining boxes beside them.
QHBoxLayout* OptionFeaturesWindow::layOutCheckBoxes() {
    m_modeBox = new QGroupBox(this);
    m_modeBox->setObjectName(QStringLiteral("Frame1"));
    auto* modes = new QGridLayout(m_modeBox);
    for (int k = 0; k < ModeChecks; ++k) {
        m_checkBoxes[size_t(k)]->setParent(m_modeBox);
        modes->addWidget(m_checkBoxes[size_t(k)], k % 3, k / 3);
    }

    m_functionBox = new QGroupBox(this);
    m_functionBox->setObjectName(QStringLiteral("Frame2"));
    auto* functions = new QGridLayout(m_functionBox);
    m_checkBoxes[SingleChangeDataCheck]->setParent(m_functionBox);
    functions->addWidget(m_checkBoxes[SingleChangeDataCheck], 0, 0, 1, FunctionColumns);
    for (int k = FirstFunctionCheck; k <= LastFunctionCheck; ++k) {
        m_checkBoxes[size_t(k)]->setParent(m_functionBox);
        const int i = k - FirstFunctionCheck;
        functions->addWidget(m_checkBoxes[size_t(k)], 1 + i / FunctionColumns, i % FunctionColumns);
    }

    auto* others = new QVBoxLayout;
    for (int k : {7, 8, 16, 17})
        if (hasCheck(k)) others->addWidget(m_checkBoxes[size_t(k)]);
    others->addStretch(1);

    auto* boxes = new QHBoxLayout;
    boxes->addWidget(m_modeBox);
    boxes->addWidget(m_functionBox);
    boxes->addLayout(others);
    boxes->addStretch(1);
    return boxes;
}

OptionFeaturesWindow::~OptionFeaturesWindow() = default;

bool OptionFeaturesWindow::hasList(int k) const {
    return OptionTables::hasList(m_doc, k);
}
bool OptionFeaturesWindow::hasCheck(int k) const {
    return OptionTables::hasCheck(m_doc, k);
}

void OptionFeaturesWindow::fillLists() {
    runTrapped("FrmOptFeatures_InitOptComboList", [&] {
        for (int k = 0; k < ListCount; ++k) {
            if (!hasList(k)) continue;
            const QStringList entries = OptionTables::listEntries(k, currentLanguage());
            for (int i = 0; i < entries.size(); ++i)
                setListEntry(m_lists[size_t(k)], i, entries[i]);
        }
    });
}

void OptionFeaturesWindow::setCaptions() {
    runTrapped("FrmOptFeatures_ChangOptByLanguage", [&] {
        const bool older = m_doc.product().captions == Product::Captions::Older;
        setWindowTitle(tr2("Optional Features", "可选功能"));
        for (int k = 0; k < ListCount; ++k)
            if (hasList(k))
                m_listLabels[size_t(k)]->setText(
                    OptionTables::listLabel(k, older, currentLanguage()));
        for (int k = 0; k < CheckCount; ++k)
            if (hasCheck(k))
                m_checkBoxes[size_t(k)]->setText(
                    OptionTables::checkLabel(k, older, currentLanguage()));
        m_modeBox->setTitle(QStringLiteral("Mode Option"));
        // The second frame shows no caption; a screen reader names it by what it holds, and
        // each list's entries by the list's caption.
        m_functionBox->setAccessibleName(tr2("Channel functions", "信道功能"));
        for (int k = 0; k < ListCount; ++k)
            if (hasList(k))
                m_lists[size_t(k)]->view()->setAccessibleName(m_listLabels[size_t(k)]->text());
        if (!m_doc.product().emergencyInGrid)
            for (int g = 0; g < GroupCount; ++g)
                m_emergencyLabels[size_t(g)]->setText(tr2("Emergency Channel", "紧急信道") +
                                                      QLatin1Char(' ') + groupLetter(g));
        for (QLabel* caption : m_listLabels)
            if (caption) fitCaption(caption);
        for (QLabel* caption : m_emergencyLabels)
            if (caption) fitCaption(caption);
        captionCloseAndHelp(this);
    });
}

void OptionFeaturesWindow::showSettings() {
    runTrapped("FrmOptFeatures_ShowOptData", [&] {
        const auto words = m_doc.config().optionWords;
        for (int k = 0; k < ListCount; ++k) {
            if (!hasList(k)) continue;
            QComboBox* list = m_lists[size_t(k)];
            list->setCurrentIndex(
                OptionTables::shownListIndex(k, words[size_t(listSetting(k).word)], list->count()));
        }
        for (int k = 0; k < CheckCount; ++k) {
            if (!hasCheck(k)) continue;
            m_checkBoxes[size_t(k)]->setChecked(
                OptionTables::shownChecked(k, words[size_t(checkSetting(k).word)]));
        }
        // What is shown is what is stored: a value no entry matched becomes the entry shown.
        auto shown = words;
        for (int k = 0; k < ListCount; ++k)
            if (hasList(k) && m_lists[size_t(k)]->currentIndex() >= 0)
                shown[size_t(listSetting(k).word)] =
                    int16_t(m_lists[size_t(k)]->currentIndex() + listSetting(k).offset);
        for (int k = 0; k < CheckCount; ++k)
            if (hasCheck(k))
                shown = OptionTables::withCheck(
                    shown, k, OptionTables::shownChecked(k, shown[size_t(checkSetting(k).word)]));
        m_doc.setOptionWords(shown, changeCaption(windowTitle()));
        showChecks();
        showEmergencyChoices();
    });
}

void OptionFeaturesWindow::refresh() {
    fillLists();
    if (!m_doc.product().emergencyInGrid) fillEmergencyLists();
    showSettings();
}

bool OptionFeaturesWindow::validateEdits() {
    return true;
}

// Stores the entry a list shows into its OptionWord.
void OptionFeaturesWindow::storeList(int list) {
    if (list < 0 || list >= ListCount || !hasList(list)) return;
    const int index = m_lists[size_t(list)]->currentIndex();
    if (index < 0) return;
    m_doc.setOptionWord(listSetting(list).word, index + listSetting(list).offset,
                        settingCaption(m_listLabels[size_t(list)]->text()));
}

// Stores a check box into its OptionWord (1 on, 0 off), with the boxes it ties.
void OptionFeaturesWindow::storeCheck(int check) {
    if (check < 0 || check >= CheckCount || !hasCheck(check)) return;
    const auto words = OptionTables::withCheck(m_doc.config().optionWords, check,
                                               m_checkBoxes[size_t(check)]->isChecked());
    m_doc.setOptionWords(words, settingCaption(m_checkBoxes[size_t(check)]->text()));
    showChecks();
}

// Shows the check boxes as the record holds them; the common channel functions are locked
// while single change is on.
void OptionFeaturesWindow::showChecks() {
    const auto& words = m_doc.config().optionWords;
    for (int k = 0; k < CheckCount; ++k)
        if (hasCheck(k))
            m_checkBoxes[size_t(k)]->setChecked(
                OptionTables::shownChecked(k, words[size_t(checkSetting(k).word)]));
    const bool editable = OptionTables::functionsEditable(words);
    for (int f = FirstFunctionCheck; f <= LastFunctionCheck; ++f)
        if (hasCheck(f)) m_checkBoxes[size_t(f)]->setEnabled(editable);
}

void OptionFeaturesWindow::fillEmergencyLists() {
    for (int g = 0; g < GroupCount; ++g)
        if (QComboBox* list = m_emergencyLists[size_t(g)]) fillGroupChannelList(list, m_doc, g);
}

void OptionFeaturesWindow::showEmergencyChoices() {
    for (int g = 0; g < GroupCount; ++g)
        if (QComboBox* list = m_emergencyLists[size_t(g)])
            showListEntry(
                list,
                QString::number(
                    m_doc.config().optionWords[size_t(OptionWord::FirstEmergencyChannel + g)] + 1));
}

void OptionFeaturesWindow::refreshEmergencyLists() {
    fillEmergencyLists();
    showEmergencyChoices();
}

void OptionFeaturesWindow::emergencyChosen(int group) {
    runTrapped("FrmOptFeatures_Combo2_Click", [&] {
        const QComboBox* list = m_emergencyLists[size_t(group)];
        if (list->currentIndex() < 0) return;
        m_doc.setEmergencyChannel(group, list->currentText().toInt(),
                                  settingCaption(m_emergencyLabels[size_t(group)]->text()));
    });
}

void OptionFeaturesWindow::closeWindow() {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
}
