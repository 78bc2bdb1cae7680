#include "channelgridwindow.h"

#include "channelgridaccessible.h"
#include "core/channels/channelrules.h"
#include "core/config/optionwords.h"
#include "ui/common/editorsupport.h"
#include "ui/common/uicommon.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

// The channel grid window: building it, its captions, and what the grid and the group and
// emergency channel lists show. The cell editors are in channelgridediting.cpp.

namespace {
constexpr int GridRows = ChannelsPerGroup + 1; // header row + channels 1..60
constexpr int GridColumns = ColScan + 1;       // channel number + 10 value columns

// Column widths in twips: channel number, RX, TX, the seven flags and scan.
constexpr std::array<int, GridColumns> ColumnTwips = {500,  1200, 1200, 1000, 1000, 1000,
                                                      1000, 1000, 1000, 1000, 1000};
constexpr int WindowWidthTwips = 11500;
constexpr int WindowHeightTwips = 9500;
constexpr int HeaderRowTwips = 510;
constexpr int GridWidthTwips = 11220;
} // namespace

ChannelGridWindow::ChannelGridWindow(Document& doc, QWidget* parent) : QWidget(parent), m_doc(doc) {
    setObjectName(QStringLiteral("frmCommChInfo"));
    installChannelGridAccessibility();
    const bool emergency = doc.product().emergencyInGrid;

    QHBoxLayout* top = buildGroupRow();
    if (emergency) top->addLayout(buildEmergencyStrip());

    m_grid = new ChannelGrid(GridRows, GridColumns, this);
    m_grid->setObjectName(QStringLiteral("MSFlexGrid1"));
    buildCellEditors();

    m_close = new QPushButton(this);
    m_close->setObjectName(QStringLiteral("CommandClose"));
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(m_close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_grid, 1, Qt::AlignHCenter);
    layout->addLayout(bottom);
    buildTimers();

    runTrapped("frmCommChInfo_Form_Load", [&] {
        resize(sizeHint());
        setUpGrid();
        if (emergency) fillEmergencyLists();
        setCaptions();
        showCurrentGroup();
        // The first cell is entered when the window is first shown.
        const QSignalBlocker quiet(m_grid);
        m_grid->setCurrentCell(1, ColRx);
        suppressRightClick(m_frequencyEditor);
    });
    connectSignals();
    buildBulkEditing();
}

ChannelGridWindow::~ChannelGridWindow() = default;

// The group (band) list above the grid, its caption on the left.
QHBoxLayout* ChannelGridWindow::buildGroupRow() {
    m_groupLabel = new QLabel(this);
    m_groupLabel->setObjectName(QStringLiteral("Label1"));
    m_groupList = new QComboBox(this);
    m_groupList->setObjectName(QStringLiteral("Combo6"));
    for (int g = 0; g < GroupCount; ++g)
        m_groupList->addItem(groupLetter(g));
    m_groupLabel->setBuddy(m_groupList);

    auto* row = new QHBoxLayout;
    row->setSpacing(twipsToPixelsX(100));
    row->addWidget(m_groupLabel);
    row->addWidget(m_groupList);
    row->addStretch(1);
    return row;
}

// meridox keeps the emergency channel of each group beside the group list.
QLayout* ChannelGridWindow::buildEmergencyStrip() {
    // The six pairs share one place; only the current group's pair is visible.
    auto* pairs = new QGridLayout;
    pairs->setHorizontalSpacing(twipsToPixelsX(100));
    for (int k = 0; k < GroupCount; ++k) {
        QLabel* label = new QLabel(this);
        label->setObjectName(QStringLiteral("Label2_%1").arg(k));
        QComboBox* list = new QComboBox(this);
        list->setObjectName(QStringLiteral("Combo1_%1").arg(k));
        list->setMinimumContentsLength(3);
        label->setBuddy(list);
        pairs->addWidget(label, 0, 0, Qt::AlignRight | Qt::AlignVCenter);
        pairs->addWidget(list, 0, 1);
        m_emergencyLabels[size_t(k)] = label;
        m_emergencyLists[size_t(k)] = list;
    }
    return pairs;
}

// The editors laid over the cell being edited: a line editor for the frequencies, a list for
// each flag column and for the scan column.
void ChannelGridWindow::buildCellEditors() {
    m_frequencyEditor = new QLineEdit(m_grid->viewport());
    m_frequencyEditor->setObjectName(QStringLiteral("Text1"));
    m_frequencyEditor->setAlignment(Qt::AlignCenter);
    // Only digits and the point reach the editor, however the text arrives (typed, pasted
    // with the middle button, dropped).
    m_frequencyEditor->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9.]*")), m_frequencyEditor));
    m_frequencyEditor->installEventFilter(this);
    for (int k = 0; k < 8; ++k) {
        auto* c = new QComboBox(m_grid->viewport());
        c->setObjectName(QStringLiteral("Combo8_%1").arg(k));
        c->setFocusPolicy(Qt::StrongFocus);
        c->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        c->installEventFilter(this);
        m_listEditors[size_t(k)] = c;
    }
    m_editorCaption = new QLabel(m_grid->viewport());
    m_editorCaption->setObjectName(QStringLiteral("lblEditorCaption"));
    m_editorCaption->hide();
}

// The focus timer hands the focus to a newly opened editor once the grid has settled; the
// scroll timer spaces out how often the editor follows a scroll of the rows.
void ChannelGridWindow::buildTimers() {
    m_focusTimer = new QTimer(this);
    m_focusTimer->setObjectName(QStringLiteral("TimerFocus"));
    m_focusTimer->setSingleShot(true);
    m_focusTimer->setInterval(10);
    m_scrollTimer = new QTimer(this);
    m_scrollTimer->setObjectName(QStringLiteral("ScrollTimer"));
    m_scrollTimer->setSingleShot(true);
    m_scrollTimer->setInterval(500);
}

void ChannelGridWindow::connectSignals() {
    const bool emergency = m_doc.product().emergencyInGrid;
    if (emergency)
        for (int k = 0; k < GroupCount; ++k)
            connect(m_emergencyLists[size_t(k)], &QComboBox::activated, this,
                    [this, k] { emergencyChosen(k); });
    connect(m_groupList, &QComboBox::activated, this, &ChannelGridWindow::groupChosen);
    connect(m_grid, &QTableWidget::currentCellChanged, this, &ChannelGridWindow::enterCell);
    connect(m_grid, &ChannelGrid::channelNumberPressed, this,
            &ChannelGridWindow::channelNumberPressed);
    // A cell chosen ends a row selection, unless it is one of several selected rows.
    connect(m_grid, &QTableWidget::cellPressed, this, &ChannelGridWindow::cellPressed);
    // The view makes the released cell its only selection; the selected rows stay shown.
    connect(m_grid, &QTableWidget::cellClicked, this, [this](int row) {
        if (editsSelectedRows(row)) selectRows(m_selectedRows);
    });
    connect(m_grid->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &ChannelGridWindow::gridScrolled);
    connect(m_focusTimer, &QTimer::timeout, this, &ChannelGridWindow::focusTimerFired);
    connect(m_scrollTimer, &QTimer::timeout, this, [this] {
        if (!m_scrollPending) return;
        m_scrollPending = false;
        runTrapped("MSFlexGrid1_Scroll Error", [&] { followScroll(); });
    });
    connect(m_close, &QPushButton::clicked, this, &ChannelGridWindow::closeWindow);
    m_grid->installEventFilter(this);

    // The grid follows the configuration: a row changed elsewhere (a pasted or imported
    // channel) is drawn again, and the emergency lists follow the channels that exist.
    DocumentNotifier& changes = m_doc.notifier();
    connect(&changes, &DocumentNotifier::channelRowChanged, this,
            [this](int n) { showChannelRow(n); });
    if (emergency)
        connect(&changes, &DocumentNotifier::emergencyListsChanged, this,
                &ChannelGridWindow::refreshEmergencyLists);
    connect(&changes, &DocumentNotifier::configurationReplaced, this,
            &ChannelGridWindow::showConfiguration);
}

QSize ChannelGridWindow::sizeHint() const {
    return {twipsToPixelsX(WindowWidthTwips), twipsToPixelsY(WindowHeightTwips)};
}

// Fixed column widths and row heights, the header row drawn by the header view, every cell
// empty and no editor shown.
void ChannelGridWindow::setUpGrid() {
    runTrapped("frmCommChInfo_InitShowGridError", [&] {
        QHeaderView* h = m_grid->horizontalHeader();
        h->setDefaultAlignment(Qt::Alignment(Qt::AlignCenter | Qt::TextWordWrap));
        h->setSectionResizeMode(QHeaderView::Fixed);
        h->setSectionsClickable(false);
        h->setHighlightSections(false);
        h->setFixedHeight(twipsToPixelsY(HeaderRowTwips));
        m_grid->verticalHeader()->hide();
        for (int c = 0; c < GridColumns; ++c)
            m_grid->setColumnWidth(c, twipsToPixelsX(ColumnTwips[size_t(c)]));

        // Rows as tall as the list editors, so that an editor covers exactly its cell.
        const int rowHeight =
            std::max(m_listEditors[0]->sizeHint().height(), m_frequencyEditor->sizeHint().height());
        QHeaderView* v = m_grid->verticalHeader();
        v->setSectionResizeMode(QHeaderView::Fixed);
        v->setMinimumSectionSize(1);
        v->setDefaultSectionSize(rowHeight);

        for (int r = 0; r < GridRows; ++r)
            for (int c = 0; c < GridColumns; ++c)
                m_grid->setCellText(r, c, QString());
        m_grid->hideRow(0);

        m_grid->setFixedWidth(twipsToPixelsX(GridWidthTwips));
        m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
        m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
        m_grid->setSelectionBehavior(QAbstractItemView::SelectItems);
        m_grid->setTabKeyNavigation(false);
        m_grid->setWordWrap(false);
        hideEditors();
    });
}

// Selects the configuration's current group, then captions the window, the column headers,
// the channel numbers and the list editors' entries in the current language.
void ChannelGridWindow::setCaptions() {
    runTrapped("frmCommChInfo_ChangShowByLanguage", [&] {
        const bool older = m_doc.product().captions == Product::Captions::Older;
        const int group = m_doc.config().currentGroupIndex();
        m_groupList->setCurrentIndex(group);
        groupChosen(group);
        setBulkCaptions();

        updateTitle();
        m_groupLabel->setText(older ? tr2("Group", "组") : tr2("Band", "组"));

        const QStringList headers = channelColumnHeaders(older, currentLanguage());
        for (int c = 0; c < GridColumns && c < headers.size(); ++c)
            m_grid->setCellText(0, c, headers.at(c));
        for (int r = 1; r < GridRows; ++r)
            m_grid->setCellText(r, 0, QString::number(r));

        for (int k = 0; k < 8; ++k) {
            QComboBox* c = m_listEditors[size_t(k)];
            const int shown = c->currentIndex();
            c->clear();
            if (k < 7)
                c->addItems({tr2("Disable", "不使用"), tr2("Enable", "使用")});
            else
                c->addItems({tr2("Del", "删除"), tr2("Add", "添加")});
            c->setCurrentIndex(std::max(shown, 0));
        }
        // The lists' entries are read under the list's caption.
        m_groupList->view()->setAccessibleName(m_groupLabel->text());
        if (!older)
            for (int k = 0; k < GroupCount; ++k) {
                m_emergencyLabels[size_t(k)]->setText(tr2("Emergency Channel", "紧急信道") +
                                                      QLatin1Char(' ') + groupLetter(k));
                m_emergencyLists[size_t(k)]->view()->setAccessibleName(
                    m_emergencyLabels[size_t(k)]->text());
            }
        captionCloseAndHelp(this);
    });
}

void ChannelGridWindow::retranslate() {
    setCaptions();
    showCurrentGroup();
}

// Each emergency list offers the channel numbers its group has.
void ChannelGridWindow::fillEmergencyLists() {
    if (!m_doc.product().emergencyInGrid) return;
    for (int k = 0; k < GroupCount; ++k)
        fillGroupChannelList(m_emergencyLists[size_t(k)], m_doc, k);
}

void ChannelGridWindow::showEmergencyChoices() {
    if (!m_doc.product().emergencyInGrid) return;
    for (int k = 0; k < GroupCount; ++k)
        showListEntry(
            m_emergencyLists[size_t(k)],
            QString::number(
                m_doc.config().optionWords[size_t(OptionWord::FirstEmergencyChannel + k)] + 1));
}

void ChannelGridWindow::refreshEmergencyLists() {
    fillEmergencyLists();
    showEmergencyChoices();
}

void ChannelGridWindow::showCurrentGroup() {
    runTrapped("frmCommChInfo_SetGridData", [&] {
        for (int r = 1; r < GridRows; ++r)
            for (int c = 1; c < GridColumns; ++c)
                m_grid->setCellText(r, c, QString());
        const int g = m_doc.config().currentGroupIndex();
        const int count =
            std::clamp<int>(m_doc.config().groupChannelCount[size_t(g)], 0, ChannelsPerGroup);
        for (int place = 1; place <= count; ++place)
            showChannel(m_doc.config().entry(g, place));
        if (m_doc.product().emergencyInGrid) {
            for (int k = 0; k < GroupCount; ++k) {
                m_emergencyLabels[size_t(k)]->setVisible(k == g);
                m_emergencyLists[size_t(k)]->setVisible(k == g);
            }
            showEmergencyChoices();
        }
    });
}

// Draws a channel in the row of its channel number; the flags show as the list editors
// name them.
void ChannelGridWindow::showChannel(const ChannelEntry& e) {
    runTrapped("ShowChIfoData", [&] {
        const int row = e.channelNo;
        if (row < 1 || row > ChannelsPerGroup) return; // not a channel the grid can show
        m_grid->setCellText(row, ColRx, shownFrequency(m_doc, e.rxFreq.text()));
        m_grid->setCellText(row, ColTx, shownFrequency(m_doc, e.txFreq.text()));
        for (int c = ColFirstFlag; c <= ColLastFlag; ++c)
            m_grid->setCellText(row, c,
                                listEntryByIndex(m_listEditors[size_t(c - ColFirstFlag)],
                                                 e.channelFlags[size_t(c - 2)]));
        m_grid->setCellText(row, ColScan, listEntryByIndex(m_listEditors[7], e.scanFlag));
    });
}

void ChannelGridWindow::showChannelRow(int channelNo) {
    runTrapped("frmCommChInfo_reShowGrid", [&] {
        showEmergencyChoices();
        if (channelNo < 1 || channelNo > ChannelsPerGroup) return;
        const int g = m_doc.config().currentGroupIndex();
        const int place = findChannelPlace(m_doc, g, channelNo);
        if (place > 0) {
            showChannel(m_doc.config().entry(g, place));
        } else {
            for (int c = 1; c < GridColumns; ++c)
                m_grid->setCellText(channelNo, c, QString());
            // Only the editor of this row shows what is no longer there.
            if (m_editRow == channelNo) m_frequencyEditor->clear();
        }
    });
}

// After an undo or redo: the group the step was made in, with every row, the emergency
// channels and the editor over the current cell showing what the configuration holds now.
void ChannelGridWindow::showConfiguration() {
    runTrapped("frmCommChInfo_SetGridData", [&] {
        const bool hadFocus = editorHasFocus();
        hideEditors();
        m_editRow = 0;
        m_editColumn = 0;
        clearRowSelection();
        const int g = m_doc.config().currentGroupIndex();
        m_groupList->setCurrentIndex(g);
        fillEmergencyLists();
        showCurrentGroup();
        updateTitle();
        if (m_grid->currentRow() >= 1 && m_grid->currentColumn() >= 1) {
            openEditor(false);
            if (hadFocus) focusEditorLater(m_editColumn);
        }
    });
}

void ChannelGridWindow::updateTitle() {
    const int g = m_doc.config().currentGroupIndex();
    setWindowTitle(tr2("Channel Information[Channel -", "信道信息[信道 -") + QLatin1Char(' ') +
                   QString::number(m_titleChannel) + QLatin1String("]---") + groupLetter(g));
    m_grid->setAccessibleName(tr2("Channels, group %1", "信道，组 %1").arg(groupLetter(g)));
}

void ChannelGridWindow::groupChosen(int group) {
    runTrapped("Combo6_Click", [&] {
        if (group < 0 || group >= GroupCount) return;
        // An open editor belongs to the group shown until now.
        commitEditor();
        moveTo(0, std::max(1, m_grid->currentColumn()));
        m_editRow = 0;
        m_editColumn = 0;
        hideEditors();
        // Rows chosen in the group shown until now are no rows of the new one.
        clearRowSelection();
        m_doc.setCurrentGroup(group);
        showCurrentGroup();
        updateTitle();
    });
}

void ChannelGridWindow::emergencyChosen(int group) {
    runTrapped("Combo1_Click", [&] {
        const QComboBox* list = m_emergencyLists[size_t(group)];
        if (list->currentIndex() < 0) return;
        m_doc.setEmergencyChannel(group, list->currentText().toInt(),
                                  settingCaption(m_emergencyLabels[size_t(group)]->text()));
    });
}

void ChannelGridWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!m_firstShow) return;
    m_firstShow = false;
    QTimer::singleShot(0, this, [this] { enterCell(); });
}

void ChannelGridWindow::closeEvent(QCloseEvent* event) {
    // The open editor is committed before the window goes.
    runTrapped("frmCommChInfo_Form_Unload", [&] { commitEditor(); });
    QWidget::closeEvent(event);
}

void ChannelGridWindow::closeWindow() {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
}
