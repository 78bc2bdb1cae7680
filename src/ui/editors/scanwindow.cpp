#include "scanwindow.h"

#include "core/config/modelband.h"
#include "ui/common/editorsupport.h"
#include "ui/common/hiddensupport.h"
#include "ui/common/uicommon.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// ScanWords, in record order.
enum ScanWord : int {
    PriorityMode,
    PriorityChannel,
    LookBackA,
    LookBackB,
    RevertChannel,
    DropoutDelay,
    TxDwell,
};
constexpr int NoPriorityChannel = 255;
constexpr int LookBackSteps = 91; // 0.50 s .. 5.00 s in steps of 0.05 s
constexpr int MaxDelay = 300;     // seconds

// Revert channel rules, by stored value.
QString revertName(int value) {
    switch (value) {
    case 0:
        return tr2("Selected", "选定");
    case 1:
        return tr2("Selected+Talk Back", "选定+当前通话");
    case 2:
        return tr2("Priority", "优先");
    case 3:
        return tr2("Priority+Talk Back", "优先+当前通话");
    default:
        return {};
    }
}

// The revert rules a priority mode offers: without priority only the selected channel, with
// a selected priority only the priority channel, with a fixed one all four.
QList<int> revertChoices(int mode) {
    switch (mode) {
    case 0:
        return {0, 1};
    case 2:
        return {2, 3};
    default:
        return {0, 1, 2, 3};
    }
}
} // namespace

int ScanWindow::modelChannelCount(const QString& model) {
    const QString m = cleanModelText(model);
    if (m == QLatin1String("610") || m == QLatin1String("710")) return 8;
    if (m == QLatin1String("614") || m == QLatin1String("615") || m == QLatin1String("714") ||
        m == QLatin1String("715"))
        return 16;
    return 40;
}

ScanWindow::ScanWindow(Document& doc, QWidget* parent) : QWidget(parent), m_doc(doc) {
    setObjectName(QStringLiteral("FrmScanInfo"));
    connect(&m_doc.notifier(), &DocumentNotifier::configurationReplaced, this,
            &ScanWindow::showRecord);
    auto* grid = new QGridLayout;
    // Each caption ends 50 twips left of its list, so both languages line up.
    grid->setHorizontalSpacing(twipsToPixelsX(50));
    for (int i = 0; i < ListCount; ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("Label1_%1").arg(i));
        auto* list = new QComboBox(this);
        list->setObjectName(QStringLiteral("Combo1_%1").arg(i));
        list->setMaxVisibleItems(15);
        list->setMinimumContentsLength(18);
        label->setBuddy(list);
        m_labels[size_t(i)] = label;
        m_lists[size_t(i)] = list;
        grid->addWidget(label, i, 0, Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(list, i, 1);
        connect(list, &QComboBox::activated, this,
                [this, i] { runTrapped("FrmScanInfo_Combo1_Click", [&] { storeList(i); }); });
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch(1);
    m_close = addCloseRow(this, layout);

    runTrapped("FrmScanInfo_Form_Load", [&] {
        fillLists();
        setCaptions();
        showRecord();
    });
}

void ScanWindow::fillLists() {
    QStringList channels{tr2("None", "无")};
    const int n = modelChannelCount(m_doc.currentModel);
    for (int c = 1; c <= n; ++c)
        channels << QString::number(c);
    m_lists[PriorityChannel]->addItems(channels);

    QStringList lookBack;
    for (int i = 0; i < LookBackSteps; ++i)
        lookBack << QString::number(0.5 + i * 0.05, 'f', 2);
    m_lists[LookBackA]->addItems(lookBack);
    m_lists[LookBackB]->addItems(lookBack);

    QStringList seconds;
    for (int s = 0; s <= MaxDelay; ++s)
        seconds << QString::number(s);
    m_lists[DropoutDelay]->addItems(seconds);
    m_lists[TxDwell]->addItems(seconds);
}

void ScanWindow::setCaptions() {
    setWindowTitle(tr2("Scan Information", "扫描信息"));
    const QString labels[ListCount] = {
        tr2("Priority", "优先"),
        tr2("Priority Channel", "优先信道"),
        tr2("Look Back Time A[s]", "回扫时间A[秒]"),
        tr2("Look Back Time B[s]", "回扫时间B[秒]"),
        tr2("Revert Channel", "返回信道"),
        tr2("Dropout Delay Time[s]", "扫描接收恢复延迟时间[秒]"),
        tr2("TX Dwell Time[s]", "扫描发射恢复延迟时间[秒]"),
    };
    for (int i = 0; i < ListCount; ++i)
        m_labels[size_t(i)]->setText(labels[i]);
    const QStringList modes{tr2("None", "无"), tr2("Fixd", "固定"), tr2("Selected", "选定")};
    for (int i = 0; i < modes.size(); ++i)
        setListEntry(m_lists[PriorityMode], i, modes[i]);
    captionCloseAndHelp(this);
}

void ScanWindow::showRecord() {
    const auto& w = m_doc.config().scanWords;
    const int mode = w[PriorityMode];
    showListIndex(m_lists[PriorityMode], mode);
    showListIndex(m_lists[PriorityChannel],
                  w[PriorityChannel] == NoPriorityChannel ? 0 : w[PriorityChannel]);
    showListIndex(m_lists[LookBackA], w[LookBackA] - 1);
    showListIndex(m_lists[LookBackB], w[LookBackB] - 1);
    offerRevertChoices(mode);
    // A rule the mode does not offer (a hand-made file) shows no selection and stays stored
    // until the user picks one: opening the window changes nothing.
    const int revert = w[RevertChannel];
    showListIndex(m_lists[RevertChannel], revertChoices(mode).indexOf(revert));
    showListIndex(m_lists[DropoutDelay], w[DropoutDelay]);
    showListIndex(m_lists[TxDwell], w[TxDwell]);
    enableByMode(mode);
}

void ScanWindow::offerRevertChoices(int mode) {
    QComboBox* list = m_lists[RevertChannel];
    list->clear();
    for (int v : revertChoices(mode))
        list->addItem(revertName(v));
}

void ScanWindow::showRevertAfterModeChange() {
    const int mode = m_doc.config().scanWords[PriorityMode];
    const int revert = m_doc.config().scanWords[RevertChannel];
    if (revert < 0 || revert > 3) {
        m_lists[RevertChannel]->setCurrentIndex(-1); // kept until the user picks a rule
        return;
    }
    const int index = mode == 1 ? revert : revert % 2;
    showListIndex(m_lists[RevertChannel], index);
    storeList(RevertChannel);
}

void ScanWindow::enableByMode(int mode) {
    // Disabled lists keep their values; they are only greyed.
    m_lists[PriorityChannel]->setEnabled(mode == 1);
    m_lists[LookBackA]->setEnabled(mode == 1 || mode == 2);
    m_lists[LookBackB]->setEnabled(mode == 1 || mode == 2);
}

void ScanWindow::storeList(int list) {
    // Whatever this stores, the revert channel the new mode brings included, is one step.
    const QString caption = changeCaption(windowTitle());
    const EditStep step(m_doc, caption);
    auto w = m_doc.config().scanWords;
    QComboBox* box = m_lists[size_t(list)];
    const int i = box->currentIndex();
    if (i < 0) return;
    switch (list) {
    case PriorityMode:
        w[PriorityMode] = int16_t(i);
        m_doc.setScanWords(w, caption);
        offerRevertChoices(i);
        showRevertAfterModeChange();
        enableByMode(i);
        return;
    case PriorityChannel:
        w[PriorityChannel] = int16_t(i == 0 ? NoPriorityChannel : i);
        break;
    case LookBackA:
    case LookBackB:
        w[size_t(list)] = int16_t(i + 1);
        break;
    case RevertChannel:
        for (int v = 0; v < 4; ++v)
            if (box->currentText() == revertName(v)) w[RevertChannel] = int16_t(v);
        break;
    case DropoutDelay:
    case TxDwell:
        w[size_t(list)] = int16_t(i);
        break;
    default:
        break;
    }
    m_doc.setScanWords(w, caption);
}
