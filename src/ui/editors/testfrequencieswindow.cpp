#include "testfrequencieswindow.h"

#include "core/channels/channelrules.h"
#include "ui/common/editorsupport.h"
#include "ui/common/hiddengrid.h"
#include "ui/common/hiddensupport.h"
#include "ui/common/uicommon.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int RxColumn = 1;
constexpr int TxColumn = 2;
} // namespace

TestFrequenciesWindow::TestFrequenciesWindow(Document& doc, QWidget* parent)
    : QWidget(parent), m_doc(doc) {
    setObjectName(QStringLiteral("FrmTestFre"));
    connect(&m_doc.notifier(), &DocumentNotifier::configurationReplaced, this,
            &TestFrequenciesWindow::showTable);
    m_grid = new EditorGrid(TestChannels + 1, 3, this);
    m_grid->setObjectName(QStringLiteral("MSFlexGrid1"));
    QLineEdit* editor = m_grid->editor();
    editor->setObjectName(QStringLiteral("Text1"));
    editor->setMaxLength(9);
    editor->setValidator(new CharsetValidator(QStringLiteral("0123456789."), editor));
    m_grid->enterMovesOn = false;
    connect(m_grid, &EditorGrid::enterPressed, this, &TestFrequenciesWindow::enterPressed);
    connect(m_grid, &EditorGrid::cellEdited, this,
            [this](int row, int column, const QString& text) {
                runTrapped("FrmTestFre_Text1_Validate", [&] { commitCell(row, column, text); });
            });
    const int fixed = twipsToPixelsX(900);
    const int data = twipsToPixelsX(3600);
    m_grid->setColumnWidth(0, fixed);
    m_grid->setColumnWidth(RxColumn, data / 2);
    m_grid->setColumnWidth(TxColumn, data / 2);
    m_grid->setFixedWidth(fixed + data + 2 * m_grid->frameWidth());
    m_grid->horizontalHeader()->setFixedHeight(m_grid->rowHeight(1));
    m_grid->fitHeightToRows(twipsToPixelsY(50));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grid, 0, Qt::AlignHCenter);
    layout->addStretch(1);
    m_close = addCloseRow(this, layout);

    runTrapped("FrmTestFre_Form_Load", [&] {
        setCaptions();
        showTable();
        suppressRightClick(editor);
    });
}

TestFrequenciesWindow::~TestFrequenciesWindow() {
    restoreRightClick(m_grid->editor());
}

void TestFrequenciesWindow::setCaptions() {
    setWindowTitle(tr2("Test Frequency", "测试频率"));
    m_grid->setHeaderText(0, tr2("Chennal", "信道"));
    m_grid->setHeaderText(RxColumn, tr2("RX[MHz]", "接收[MHz]"));
    m_grid->setHeaderText(TxColumn, tr2("TX[MHz]", "发射[MHz]"));
    for (int r = 1; r <= TestChannels; ++r)
        m_grid->setCellText(r, 0, QString::number(r));
    captionCloseAndHelp(this);
}

// A test frequency shorter than its field ends with a character 0 (the defaults do); it is
// shown up to there.
QString TestFrequenciesWindow::shownFrequency(const FixedText<8>& stored) const {
    return ::shownFrequency(m_doc, QString::fromLatin1(stored.untilNul()));
}

void TestFrequenciesWindow::showTable() {
    m_shownRx.fill(QString());
    m_shownTx.fill(QString());
    const int count = std::clamp<int>(m_doc.config().testFreqCount, 0, TestChannels);
    for (int i = 0; i < count; ++i) {
        const TestFreqEntry& e = m_doc.config().testFreqs[size_t(i)];
        if (e.number < 1 || e.number > TestChannels) continue;
        m_shownRx[size_t(e.number)] = shownFrequency(e.rxFreq);
        m_shownTx[size_t(e.number)] = shownFrequency(e.txFreq);
    }
    for (int r = 1; r <= TestChannels; ++r) {
        m_grid->setCellText(r, RxColumn, m_shownRx[size_t(r)]);
        m_grid->setCellText(r, TxColumn, m_shownTx[size_t(r)]);
    }
}

void TestFrequenciesWindow::enterPressed() {
    const int row = m_grid->editRow();
    const int column = m_grid->editColumn();
    // An empty receive cell goes down the rows; otherwise Enter goes RX → TX → next RX.
    if (column == RxColumn && m_grid->editor()->text().isEmpty())
        m_grid->moveTo(row % TestChannels + 1, RxColumn);
    else
        m_grid->moveTo(row, column == RxColumn ? TxColumn : RxColumn);
}

void TestFrequenciesWindow::commitCell(int row, int column, const QString& text) {
    const int other = column == RxColumn ? TxColumn : RxColumn;
    if (!text.isEmpty()) {
        const bool clamp = column == TxColumn && m_doc.product().clampOutOfRange;
        const QString value = formatTypedFrequency(m_doc, text, clamp);
        if (value.isEmpty()) {
            // Refused (the warning has been shown): the cell keeps what it held.
            m_grid->setCellText(
                row, column, column == RxColumn ? m_shownRx[size_t(row)] : m_shownTx[size_t(row)]);
            return;
        }
        m_grid->setCellText(row, column, value);
        if (m_grid->cellText(row, other).isEmpty()) m_grid->setCellText(row, other, value);
    } else {
        // Either cell emptied: the test channel goes.
        m_grid->setCellText(row, RxColumn, QString());
        m_grid->setCellText(row, TxColumn, QString());
    }
    storeRow(row);
}

void TestFrequenciesWindow::storeRow(int row) {
    auto freqs = m_doc.config().testFreqs;
    int count = std::clamp<int>(m_doc.config().testFreqCount, 0, TestChannels);
    int found = -1;
    for (int i = 0; i < count && found < 0; ++i)
        if (freqs[size_t(i)].number == row) found = i;
    const QString rx = m_grid->cellText(row, RxColumn);
    const QString tx = m_grid->cellText(row, TxColumn);

    if (rx.isEmpty()) {
        if (found >= 0) {
            for (int i = found; i + 1 < count; ++i)
                freqs[size_t(i)] = freqs[size_t(i + 1)];
            --count;
        }
    } else {
        if (found < 0) {
            if (count >= TestChannels) return;
            found = count++;
            freqs[size_t(found)] = TestFreqEntry{};
            freqs[size_t(found)].number = int16_t(row);
            m_shownRx[size_t(row)].clear();
            m_shownTx[size_t(row)].clear();
        }
        TestFreqEntry& e = freqs[size_t(found)];
        // A side whose cell still shows the stored frequency keeps its stored text.
        if (rx != m_shownRx[size_t(row)]) e.rxFreq.assign(storedFrequency(m_doc, rx));
        if (tx != m_shownTx[size_t(row)]) e.txFreq.assign(storedFrequency(m_doc, tx));
    }
    m_shownRx[size_t(row)] = rx;
    m_shownTx[size_t(row)] = tx;
    m_doc.setTestFrequencies(count, freqs, changeCaption(windowTitle()));
}

bool TestFrequenciesWindow::validateEdits() {
    m_grid->commitEditor();
    return true;
}

void TestFrequenciesWindow::closeEvent(QCloseEvent* event) {
    validateEdits();
    QWidget::closeEvent(event);
}
