#include "scanwindow.h"

#include "core/channels/featuretables.h"
#include "ui/common/editorsupport.h"
#include "ui/common/hiddensupport.h"
#include "ui/common/uicommon.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace FeatureTables;

int ScanWindow::modelChannelCount(const QString& model) {
    return priorityChannelCount(model);
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
    const int n = modelChannelCount(m_doc.model());
    for (int c = 1; c <= n; ++c)
        channels << QString::number(c);
    m_lists[ScanPriorityChannel]->addItems(channels);

    const QStringList lookBack = lookBackTimes();
    m_lists[ScanLookBackA]->addItems(lookBack);
    m_lists[ScanLookBackB]->addItems(lookBack);

    QStringList seconds;
    for (int s = 0; s <= MaxScanDelay; ++s)
        seconds << QString::number(s);
    m_lists[ScanDropoutDelay]->addItems(seconds);
    m_lists[ScanTxDwell]->addItems(seconds);
}

void ScanWindow::setCaptions() {
    setWindowTitle(tr2("Scan Information", "扫描信息"));
    for (int i = 0; i < ListCount; ++i)
        m_labels[size_t(i)]->setText(scanLabel(i, currentLanguage()));
    const QStringList modes = priorityModeNames(currentLanguage());
    for (int i = 0; i < modes.size(); ++i)
        setListEntry(m_lists[ScanPriorityMode], i, modes[i]);
    captionCloseAndHelp(this);
}

void ScanWindow::showRecord() {
    const auto& w = m_doc.config().scanWords;
    const int mode = w[ScanPriorityMode];
    showListIndex(m_lists[ScanPriorityMode], mode);
    showListIndex(m_lists[ScanPriorityChannel],
                  w[ScanPriorityChannel] == NoPriorityChannel ? 0 : w[ScanPriorityChannel]);
    showListIndex(m_lists[ScanLookBackA], w[ScanLookBackA] - 1);
    showListIndex(m_lists[ScanLookBackB], w[ScanLookBackB] - 1);
    offerRevertChoices(mode);
    // A rule the mode does not offer (a hand-made file) shows no selection and stays stored
    // until the user picks one: opening the window changes nothing.
    const int revert = w[ScanRevertChannel];
    showListIndex(m_lists[ScanRevertChannel], revertChoices(mode).indexOf(revert));
    showListIndex(m_lists[ScanDropoutDelay], w[ScanDropoutDelay]);
    showListIndex(m_lists[ScanTxDwell], w[ScanTxDwell]);
    enableByMode(mode);
}

void ScanWindow::offerRevertChoices(int mode) {
    QComboBox* list = m_lists[ScanRevertChannel];
    list->clear();
    for (int v : revertChoices(mode))
        list->addItem(revertChannelName(v, currentLanguage()));
}

void ScanWindow::showRevertAfterModeChange() {
    const int mode = m_doc.config().scanWords[ScanPriorityMode];
    const int revert = m_doc.config().scanWords[ScanRevertChannel];
    if (revert < 0 || revert > 3) {
        m_lists[ScanRevertChannel]->setCurrentIndex(-1); // kept until the user picks a rule
        return;
    }
    const int index = mode == 1 ? revert : revert % 2;
    showListIndex(m_lists[ScanRevertChannel], index);
    storeList(ScanRevertChannel);
}

void ScanWindow::enableByMode(int mode) {
    // Disabled lists keep their values; they are only greyed.
    m_lists[ScanPriorityChannel]->setEnabled(mode == 1);
    m_lists[ScanLookBackA]->setEnabled(mode == 1 || mode == 2);
    m_lists[ScanLookBackB]->setEnabled(mode == 1 || mode == 2);
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
    case ScanPriorityMode:
        w[ScanPriorityMode] = int16_t(i);
        m_doc.setScanWords(w, caption);
        offerRevertChoices(i);
        showRevertAfterModeChange();
        enableByMode(i);
        return;
    case ScanPriorityChannel:
        w[ScanPriorityChannel] = int16_t(i == 0 ? NoPriorityChannel : i);
        break;
    case ScanLookBackA:
    case ScanLookBackB:
        w[size_t(list)] = int16_t(i + 1);
        break;
    case ScanRevertChannel:
        for (int v = 0; v < 4; ++v)
            if (box->currentText() == revertChannelName(v, currentLanguage()))
                w[ScanRevertChannel] = int16_t(v);
        break;
    case ScanDropoutDelay:
    case ScanTxDwell:
        w[size_t(list)] = int16_t(i);
        break;
    default:
        break;
    }
    m_doc.setScanWords(w, caption);
}
