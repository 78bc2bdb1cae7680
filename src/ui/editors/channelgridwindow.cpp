#include "channelgridwindow.h"

#include "ui/common/uicommon.h"
#include "core/channels/channelrules.h"
#include "ui/common/editorsupport.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace {
constexpr int GridRows = ChannelsPerGroup + 1; // header row + channels 1..60
constexpr int GridColumns = ColScan + 1;       // channel number + 10 value columns
constexpr int FirstEmergencyWord = 24;

// Column widths in twips: channel number, RX, TX, the seven flags and scan.
constexpr std::array<int, GridColumns> ColumnTwips = {500,  1200, 1200, 1000, 1000, 1000,
                                                      1000, 1000, 1000, 1000, 1000};
constexpr int WindowWidthTwips = 11500;
constexpr int WindowHeightTwips = 9500;
constexpr int HeaderRowTwips = 510;
constexpr int GridWidthTwips = 11220;

// Temporarily sets a flag for the lifetime of the guard.
class FlagGuard {
  public:
    explicit FlagGuard(bool& flag) : m_flag(flag), m_old(flag) { m_flag = true; }
    ~FlagGuard() { m_flag = m_old; }

  private:
    bool& m_flag;
    bool m_old;
};
} // namespace

// ---- ChannelGrid ---------------------------------------------------------------------------

QString ChannelGrid::cellText(int row, int column) const {
    const QTableWidgetItem* it = item(row, column);
    return it ? it->text() : QString();
}

void ChannelGrid::setCellText(int row, int column, const QString& text) {
    QTableWidgetItem* it = item(row, column);
    if (!it) {
        it = new QTableWidgetItem;
        it->setTextAlignment(Qt::AlignCenter);
        if (column == 0) {
            // The channel number column is fixed: it cannot be entered.
            it->setFlags(Qt::NoItemFlags);
            it->setBackground(palette().button());
            it->setForeground(palette().buttonText());
        } else {
            it->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        }
        setItem(row, column, it);
    }
    it->setText(text);
    if (row == 0) {
        QTableWidgetItem* h = horizontalHeaderItem(column);
        if (!h) {
            h = new QTableWidgetItem;
            setHorizontalHeaderItem(column, h);
        }
        h->setText(text);
    }
}

void ChannelGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    FlagGuard following(m_followingCurrent);
    QTableWidget::currentChanged(current, previous);
}

// ---- ChannelGridWindow -------------------------------------------------------------------------

ChannelGridWindow::ChannelGridWindow(Document& doc, QWidget* parent) : QWidget(parent), m_doc(doc) {
    setObjectName(QStringLiteral("frmCommChInfo"));
    const bool emergency = doc.product().emergencyInGrid;

    m_label1 = new QLabel(this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_combo6 = new QComboBox(this);
    m_combo6->setObjectName(QStringLiteral("Combo6"));
    for (int g = 0; g < GroupCount; ++g)
        m_combo6->addItem(groupLetter(g));
    m_label1->setBuddy(m_combo6);

    auto* top = new QHBoxLayout;
    top->setSpacing(twipsToPixelsX(100));
    top->addWidget(m_label1);
    top->addWidget(m_combo6);
    top->addStretch(1);
    if (emergency) {
        // The six pairs share one place; only the current group's pair is visible.
        auto* pairs = new QGridLayout;
        pairs->setHorizontalSpacing(twipsToPixelsX(100));
        for (int k = 0; k < GroupCount; ++k) {
            m_label2[size_t(k)] = new QLabel(this);
            m_label2[size_t(k)]->setObjectName(QStringLiteral("Label2_%1").arg(k));
            m_combo1[size_t(k)] = new QComboBox(this);
            m_combo1[size_t(k)]->setObjectName(QStringLiteral("Combo1_%1").arg(k));
            m_combo1[size_t(k)]->setMinimumContentsLength(3);
            m_label2[size_t(k)]->setBuddy(m_combo1[size_t(k)]);
            pairs->addWidget(m_label2[size_t(k)], 0, 0, Qt::AlignRight | Qt::AlignVCenter);
            pairs->addWidget(m_combo1[size_t(k)], 0, 1);
            connect(m_combo1[size_t(k)], &QComboBox::activated, this,
                    [this, k] { emergencyChosen(k); });
        }
        top->addLayout(pairs);
    }

    m_grid = new ChannelGrid(GridRows, GridColumns, this);
    m_grid->setObjectName(QStringLiteral("MSFlexGrid1"));

    m_text1 = new QLineEdit(m_grid->viewport());
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setAlignment(Qt::AlignCenter);
    // Only digits and the point reach the editor, however the text arrives (typed, pasted
    // with the middle button, dropped).
    m_text1->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9.]*")), m_text1));
    m_text1->installEventFilter(this);
    for (int k = 0; k < 8; ++k) {
        auto* c = new QComboBox(m_grid->viewport());
        c->setObjectName(QStringLiteral("Combo8_%1").arg(k));
        c->setFocusPolicy(Qt::StrongFocus);
        c->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        c->installEventFilter(this);
        m_combo8[size_t(k)] = c;
    }

    m_close = new QPushButton(this);
    m_close->setObjectName(QStringLiteral("CommandClose"));
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(m_close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_grid, 1, Qt::AlignHCenter);
    layout->addLayout(bottom);

    m_timerFocus = new QTimer(this);
    m_timerFocus->setObjectName(QStringLiteral("TimerFocus"));
    m_timerFocus->setSingleShot(true);
    m_timerFocus->setInterval(10);
    m_scrollTimer = new QTimer(this);
    m_scrollTimer->setObjectName(QStringLiteral("ScrollTimer"));
    m_scrollTimer->setSingleShot(true);
    m_scrollTimer->setInterval(500);

    trapErrors("frmCommChInfo_Form_Load", [&] {
        resize(sizeHint());
        InitShowGrid();
        if (emergency) InitComboList();
        ChangShowByLanguage();
        SetGridData();
        // The first cell is entered when the window is first shown.
        const QSignalBlocker quiet(m_grid);
        m_grid->setCurrentCell(1, ColRx);
        suppressRightClick(m_text1);
    });

    connect(m_combo6, &QComboBox::activated, this, &ChannelGridWindow::groupChosen);
    connect(m_grid, &QTableWidget::currentCellChanged, this, &ChannelGridWindow::enterCell);
    connect(m_grid->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &ChannelGridWindow::gridScrolled);
    connect(m_timerFocus, &QTimer::timeout, this, &ChannelGridWindow::focusTimerFired);
    connect(m_scrollTimer, &QTimer::timeout, this, [this] {
        if (!m_scrollPending) return;
        m_scrollPending = false;
        trapErrors("MSFlexGrid1_Scroll Error", [&] { followScroll(); });
    });
    connect(m_close, &QPushButton::clicked, this, &ChannelGridWindow::closeWindow);
    m_grid->installEventFilter(this);

    DocumentNotifier& changes = m_doc.notifier();
    connect(&changes, &DocumentNotifier::channelRowChanged, this, [this](int n) { reShowGrid(n); });
    if (emergency)
        connect(&changes, &DocumentNotifier::emergencyListsChanged, this, [this] {
            InitComboList();
            showEmergencyChoices();
        });
}

ChannelGridWindow::~ChannelGridWindow() = default;

QSize ChannelGridWindow::sizeHint() const {
    return {twipsToPixelsX(WindowWidthTwips), twipsToPixelsY(WindowHeightTwips)};
}

void ChannelGridWindow::InitShowGrid() {
    trapErrors("frmCommChInfo_InitShowGridError", [&] {
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
            std::max(m_combo8[0]->sizeHint().height(), m_text1->sizeHint().height());
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
        SetEditNoVisable();
    });
}

void ChannelGridWindow::ChangShowByLanguage() {
    trapErrors("frmCommChInfo_ChangShowByLanguage", [&] {
        const bool older = !m_doc.product().emergencyInGrid;
        const int group = std::clamp<int>(m_doc.config.currentGroup, 0, GroupCount - 1);
        m_combo6->setCurrentIndex(group);
        groupChosen(group);

        updateTitle();
        m_label1->setText(older ? tr2("Group", "组") : tr2("Band", "组"));

        const QStringList headers = channelColumnHeaders(older, currentLanguage());
        for (int c = 0; c < GridColumns && c < headers.size(); ++c)
            m_grid->setCellText(0, c, headers.at(c));
        for (int r = 1; r < GridRows; ++r)
            m_grid->setCellText(r, 0, QString::number(r));

        for (int k = 0; k < 8; ++k) {
            QComboBox* c = m_combo8[size_t(k)];
            const int shown = c->currentIndex();
            c->clear();
            if (k < 7)
                c->addItems({tr2("Disable", "不使用"), tr2("Enable", "使用")});
            else
                c->addItems({tr2("Del", "删除"), tr2("Add", "添加")});
            c->setCurrentIndex(std::max(shown, 0));
        }
        if (!older)
            for (int k = 0; k < GroupCount; ++k)
                m_label2[size_t(k)]->setText(tr2("Emergency Channel", "紧急信道") +
                                             QLatin1Char(' ') + groupLetter(k));
        captionCloseAndHelp(this);
    });
}

void ChannelGridWindow::ReShowChInfoByLanguage() {
    ChangShowByLanguage();
    SetGridData();
}

void ChannelGridWindow::InitComboList() {
    if (!m_doc.product().emergencyInGrid) return;
    for (int k = 0; k < GroupCount; ++k) fillGroupChannelList(m_combo1[size_t(k)], m_doc, k);
}

void ChannelGridWindow::showEmergencyChoices() {
    if (!m_doc.product().emergencyInGrid) return;
    for (int k = 0; k < GroupCount; ++k)
        showListEntry(
            m_combo1[size_t(k)],
            QString::number(m_doc.config.optionWords[size_t(FirstEmergencyWord + k)] + 1));
}

void ChannelGridWindow::SetGridData() {
    trapErrors("frmCommChInfo_SetGridData", [&] {
        for (int r = 1; r < GridRows; ++r)
            for (int c = 1; c < GridColumns; ++c)
                m_grid->setCellText(r, c, QString());
        const int g = std::clamp<int>(m_doc.config.currentGroup, 0, GroupCount - 1);
        const int count =
            std::clamp<int>(m_doc.config.groupChannelCount[size_t(g)], 0, ChannelsPerGroup);
        for (int place = 1; place <= count; ++place)
            ShowChIfoData(m_doc.config.entry(g, place));
        if (m_doc.product().emergencyInGrid) {
            for (int k = 0; k < GroupCount; ++k) {
                m_label2[size_t(k)]->setVisible(k == g);
                m_combo1[size_t(k)]->setVisible(k == g);
            }
            showEmergencyChoices();
        }
    });
}

void ChannelGridWindow::ShowChIfoData(const ChannelEntry& e) {
    trapErrors("ShowChIfoData", [&] {
        const int row = e.channelNo;
        if (row < 1 || row > ChannelsPerGroup) return; // not a channel the grid can show
        m_grid->setCellText(row, ColRx, shownFrequency(m_doc, e.rxFreq.text()));
        m_grid->setCellText(row, ColTx, shownFrequency(m_doc, e.txFreq.text()));
        for (int c = ColFirstFlag; c <= ColLastFlag; ++c)
            m_grid->setCellText(row, c,
                                listEntryByIndex(m_combo8[size_t(c - ColFirstFlag)],
                                                 e.channelFlags[size_t(c - 2)]));
        m_grid->setCellText(row, ColScan, listEntryByIndex(m_combo8[7], e.scanFlag));
    });
}

void ChannelGridWindow::reShowGrid(int channelNo) {
    trapErrors("frmCommChInfo_reShowGrid", [&] {
        showEmergencyChoices();
        if (channelNo < 1 || channelNo > ChannelsPerGroup) return;
        const int g = std::clamp<int>(m_doc.config.currentGroup, 0, GroupCount - 1);
        const int place = findChannelPlace(m_doc, g, channelNo);
        if (place > 0) {
            ShowChIfoData(m_doc.config.entry(g, place));
        } else {
            for (int c = 1; c < GridColumns; ++c)
                m_grid->setCellText(channelNo, c, QString());
            // Only the editor of this row shows what is no longer there.
            if (m_editRow == channelNo) m_text1->clear();
        }
    });
}

void ChannelGridWindow::SetEditNoVisable() {
    hideEditor(m_text1);
    for (QComboBox* c : m_combo8)
        hideEditor(c);
}

void ChannelGridWindow::hideEditor(QWidget* editor) {
    if (editor->isHidden()) return;
    if (editor->hasFocus()) {
        // Park the focus on the grid so that hiding the editor does not move it elsewhere.
        const FlagGuard internal(m_internal);
        m_grid->setFocus(Qt::OtherFocusReason);
    }
    editor->hide();
}

bool ChannelGridWindow::editorHasFocus() const {
    if (m_text1->hasFocus()) return true;
    return std::any_of(m_combo8.begin(), m_combo8.end(),
                       [](const QComboBox* c) { return c->hasFocus(); });
}

int ChannelGridWindow::topRow() const {
    return std::max(1, m_grid->rowAt(0));
}

void ChannelGridWindow::updateTitle() {
    const int g = std::clamp<int>(m_doc.config.currentGroup, 0, GroupCount - 1);
    setWindowTitle(tr2("Channel Information[Channel -", "信道信息[信道 -") + QLatin1Char(' ') +
                   QString::number(m_channel) + QLatin1String("]---") + groupLetter(g));
}

void ChannelGridWindow::moveTo(int row, int column) {
    m_grid->setCurrentCell(row, column);
}

void ChannelGridWindow::groupChosen(int group) {
    trapErrors("Combo6_Click", [&] {
        if (group < 0 || group >= GroupCount) return;
        // An open editor belongs to the group shown until now.
        SaveShowGridData();
        moveTo(0, std::max(1, m_grid->currentColumn()));
        m_editRow = 0;
        m_editCol = 0;
        SetEditNoVisable();
        m_doc.config.currentGroup = int16_t(group);
        SetGridData();
        updateTitle();
    });
}

void ChannelGridWindow::emergencyChosen(int group) {
    trapErrors("Combo1_Click", [&] {
        const QComboBox* list = m_combo1[size_t(group)];
        if (list->currentIndex() < 0) return;
        m_doc.config.optionWords[size_t(FirstEmergencyWord + group)] =
            int16_t(list->currentText().toInt() - 1);
    });
}

void ChannelGridWindow::enterCell() {
    trapErrors("frmCommChInfo_MSFlexGrid1_EnterCell", [&] {
        const int row = m_grid->currentRow();
        const int col = m_grid->currentColumn();
        if (row < 1 || col < 1) return;
        if (m_skip) {
            m_skip = false;
            return;
        }
        m_channel = row;
        updateTitle();
        if (col == ColRx && m_returnedToRx) {
            // The refused entry already committed the previous editor.
            m_returnedToRx = false;
        } else {
            if (m_editRow > 0 && m_editCol > 0) SaveShowGridData();
            if (col >= ColTx && FlexConcludeRx()) return;
        }
        EnterGridEdit();
    });
}

bool ChannelGridWindow::FlexConcludeRx() {
    bool refused = false;
    trapErrors("frmCommChInfo_FlexConcludeRx", [&] {
        const int row = m_grid->currentRow();
        if (!m_grid->cellText(row, ColRx).isEmpty()) return;
        // A row without a receive frequency is no channel yet: its RX cell comes first.
        m_editCol = ColRx;
        m_editRow = row;
        m_returnedToRx = true;
        refused = true;
        moveTo(row, ColRx);
    });
    return refused;
}

void ChannelGridWindow::EnterGridEdit() {
    openEditor(true);
}

void ChannelGridWindow::openEditor(bool takeFocus) {
    trapErrors("frmCommChInfo_EnterGridEdit", [&] {
        const int row = m_grid->currentRow();
        const int col = m_grid->currentColumn();
        if (row < 1 || col < 1) return;
        m_topRow = topRow();
        m_editRow = row;
        m_editCol = col;
        const QRect cell = m_grid->visualRect(m_grid->model()->index(row, col));
        const QString text = m_grid->cellText(row, col);
        if (col <= ColTx) {
            for (QComboBox* c : m_combo8)
                hideEditor(c);
            m_text1->setGeometry(cell);
            m_text1->setText(text);
            m_openedText = text;
            m_text1->show();
            m_text1->raise();
            if (!text.isEmpty()) m_text1->selectAll();
        } else {
            QComboBox* editor = m_combo8[size_t(col - ColFirstFlag)];
            hideEditor(m_text1);
            for (QComboBox* c : m_combo8)
                if (c != editor) hideEditor(c);
            // The list is at least as wide as its longest entry needs, so that "Disable" is
            // not cut off in a narrow column; it stays inside the grid's view.
            const int width = std::max(cell.width(), editor->sizeHint().width());
            const int left = std::max(0, std::min(cell.x(), m_grid->viewport()->width() - width));
            editor->setGeometry(left, cell.y(), width, cell.height());
            editor->setCurrentIndex(std::max(0, editor->findText(text)));
            m_openedIndex = editor->currentIndex();
            editor->show();
            editor->raise();
        }
        if (takeFocus) SetGridFocus(col);
    });
}

void ChannelGridWindow::SetGridFocus(int column) {
    m_focusColumn = column;
    m_timerFocus->start();
}

void ChannelGridWindow::focusTimerFired() {
    trapErrors("FrmCommChInfo_TimerFocus_Timer_Error", [&] {
        m_timerFocus->stop();
        // A timer that fires after the user moved on to another control of the main window
        // (another child window, the tree) must not pull the focus back. A message box on
        // top is no such move: the editor gets the focus when this window is active again.
        const QWidget* f = QApplication::focusWidget();
        const bool mayFocus = !f || f->window() != window() || f == this || isAncestorOf(f);
        const FlagGuard internal(m_internal);
        if (m_focusColumn >= ColRx && m_focusColumn <= ColTx) {
            if (mayFocus && m_text1->isVisible() && m_text1->isEnabled()) {
                m_text1->setFocus(Qt::OtherFocusReason);
                if (!m_text1->text().isEmpty()) m_text1->selectAll();
            }
            for (QComboBox* c : m_combo8)
                hideEditor(c);
        } else if (m_focusColumn >= ColFirstFlag && m_focusColumn <= ColScan) {
            QComboBox* editor = m_combo8[size_t(m_focusColumn - ColFirstFlag)];
            if (mayFocus && editor->isVisible() && editor->isEnabled())
                editor->setFocus(Qt::OtherFocusReason);
            hideEditor(m_text1);
            for (QComboBox* c : m_combo8)
                if (c != editor) hideEditor(c);
        }
    });
}

bool ChannelGridWindow::SaveShowGridData() {
    bool accepted = true;
    trapErrors("frmCommChInfo_SaveShowGridData", [&] {
        if (m_editRow <= 0) return;
        const int row = m_editRow;
        const int col = m_editCol;
        if (col == ColRx || col == ColTx) {
            if (m_text1->isHidden()) return;
            const QString typed = m_text1->text();
            hideEditor(m_text1);
            // A cell the user only passed through is not stored again: storing it would
            // re-run the range check on a value the user never touched.
            if (typed == m_openedText) return;
            m_openedText = typed;
            double mhz = 0;
            const bool numeric = isNumericText(typed, &mhz);
            accepted =
                typed.isEmpty() || (numeric && m_doc.lowerLimit <= mhz && mhz <= m_doc.upperLimit);
            m_grid->setCellText(row, col, numeric ? formatMhz(mhz) : typed);
            updateChannelCell(m_doc, row, col, typed);
        } else if (col >= ColFirstFlag && col <= ColScan) {
            QComboBox* editor = m_combo8[size_t(col - ColFirstFlag)];
            if (editor->isHidden()) return;
            const int index = editor->currentIndex();
            if (index == m_openedIndex || index < 0) return;
            m_openedIndex = index;
            m_grid->setCellText(row, col, editor->currentText());
            updateChannelCell(m_doc, row, col, QString::number(index));
        }
    });
    return accepted;
}

bool ChannelGridWindow::commitAndReopen() {
    const bool hadFocus = editorHasFocus();
    const bool accepted = SaveShowGridData();
    // The editor stays over its cell, showing what was stored.
    if (m_editRow > 0 && m_grid->currentRow() == m_editRow &&
        m_grid->currentColumn() == m_editCol) {
        openEditor(false);
        if (hadFocus) {
            m_focusColumn = m_editCol;
            focusTimerFired();
        }
    }
    return accepted;
}

bool ChannelGridWindow::validateEdits() {
    bool accepted = true;
    trapErrors("frmCommChInfo_SaveShowGridData", [&] { accepted = commitAndReopen(); });
    return accepted;
}

void ChannelGridWindow::GridNextLine() {
    trapErrors("frmCommChInfo_GridNextLine", [&] {
        const int row = m_grid->currentRow();
        moveTo(row >= ChannelsPerGroup ? 1 : row + 1, std::max(1, m_grid->currentColumn()));
    });
}

void ChannelGridWindow::GridNextCol() {
    trapErrors("rmCommChInfo_GridNextCol", [&] {
        const int row = m_grid->currentRow();
        const int col = m_grid->currentColumn();
        if (col < ColScan) {
            moveTo(row, col + 1);
            return;
        }
        // Past the last column: the move back to column 1 of this row enters nothing.
        m_skip = true;
        moveTo(row, ColRx);
        m_skip = false;
        GridNextLine();
    });
}

bool ChannelGridWindow::textKeyPress(const QKeyEvent* k) {
    bool consumed = false;
    trapErrors("FrmCommChInfo_Text1_KeyPress_Error", [&] {
        const int key = k->key();
        const Qt::KeyboardModifiers mods = k->modifiers();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            consumed = true;
            if (m_editCol == ColRx && m_text1->text().isEmpty())
                GridNextLine();
            else
                GridNextCol();
            return;
        }
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            consumed = true;
            const int row = m_grid->currentRow();
            if (key == Qt::Key_Down)
                GridNextLine();
            else if (row > 1)
                moveTo(row - 1, m_grid->currentColumn());
            return;
        }
        if (key == Qt::Key_Escape) {
            // Back to what the cell held when the editor opened.
            consumed = true;
            m_text1->setText(m_openedText);
            m_text1->selectAll();
            return;
        }
        if (k->matches(QKeySequence::Cut) || k->matches(QKeySequence::Copy) ||
            k->matches(QKeySequence::Paste) ||
            ((mods & Qt::ControlModifier) &&
             (key == Qt::Key_X || key == Qt::Key_V || key == Qt::Key_C))) {
            consumed = true;
            return;
        }
        const QString text = k->text();
        if (text.isEmpty()) return;
        const QChar ch = text.at(0);
        // Only digits and the point reach the frequency editor; nothing above 127.
        if (ch.unicode() > 127 || (ch.isPrint() && !(ch >= u'0' && ch <= u'9') && ch != u'.'))
            consumed = true;
    });
    return consumed;
}

bool ChannelGridWindow::eventFilter(QObject* watched, QEvent* event) {
    const bool isText = watched == m_text1;
    const bool isCombo =
        !isText && std::find(m_combo8.begin(), m_combo8.end(), watched) != m_combo8.end();
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto* k = static_cast<QKeyEvent*>(event);
        if (isText) return textKeyPress(k);
        const bool enter = k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
        if (isCombo && enter) {
            trapErrors("Combo8_KeyPress", [&] {
                if (m_editCol == ColRx && m_text1->text().isEmpty())
                    GridNextLine();
                else
                    GridNextCol();
            });
            return true;
        }
        if (watched == m_grid && enter) {
            EnterGridEdit();
            return true;
        }
        break;
    }
    case QEvent::ShortcutOverride:
        // Keep Ctrl+V and friends inside the frequency editor, where the filter drops them.
        if (isText) {
            const auto* k = static_cast<QKeyEvent*>(event);
            if (k->matches(QKeySequence::Paste) || k->matches(QKeySequence::Cut) ||
                k->matches(QKeySequence::Copy)) {
                event->accept();
                return true;
            }
        }
        break;
    case QEvent::Wheel:
        // A list editor the mouse merely passes over while scrolling keeps its value.
        if (isCombo && !static_cast<QWidget*>(watched)->hasFocus()) return true;
        break;
    case QEvent::FocusOut: {
        if (!(isText || isCombo) || m_internal) break;
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason) break;
        const QWidget* now = QApplication::focusWidget();
        if (now == m_text1 || std::find(m_combo8.begin(), m_combo8.end(), now) != m_combo8.end())
            break;
        // Leaving the editor for another control validates it.
        if (static_cast<QWidget*>(watched)->isVisible())
            trapErrors(isText ? "frmCommChInfo_SaveShowGridData" : "Combo8_Validate",
                       [&] { commitAndReopen(); });
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void ChannelGridWindow::gridScrolled() {
    // The view bringing a newly entered cell into sight is not a scroll of the user's.
    if (m_grid->followingCurrent()) return;
    trapErrors("MSFlexGrid1_Scroll Error", [&] {
        if (m_scrollTimer->isActive()) {
            m_scrollPending = true; // followed once more when the timer runs out
            return;
        }
        m_scrollTimer->start();
        followScroll();
    });
}

void ChannelGridWindow::followScroll() {
    if (m_editRow < 1) return;
    if (m_text1->isHidden() &&
        std::all_of(m_combo8.begin(), m_combo8.end(), [](QComboBox* c) { return c->isHidden(); }))
        return;
    // The edit cell keeps its place on screen: it moves to the row now shown there.
    const int row = m_grid->currentRow();
    const int col = m_grid->currentColumn();
    const int newRow = row - m_topRow + topRow();
    if (newRow > 0 && newRow < GridRows && newRow != row) moveTo(newRow, col);
    if (m_grid->currentRow() != m_editRow) enterCell();
}

void ChannelGridWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!m_firstActivation) return;
    m_firstActivation = false;
    QTimer::singleShot(0, this, [this] { enterCell(); });
}

void ChannelGridWindow::closeEvent(QCloseEvent* event) {
    // The open editor is committed before the window goes.
    trapErrors("frmCommChInfo_Form_Unload", [&] { SaveShowGridData(); });
    QWidget::closeEvent(event);
}

void ChannelGridWindow::closeWindow() {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
}
