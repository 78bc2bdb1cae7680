#include "dtmfwindow.h"

#include "core/channels/featuretables.h"
#include "ui/common/editorsupport.h"
#include "ui/common/hiddengrid.h"
#include "ui/common/hiddensupport.h"
#include "ui/common/uicommon.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace FeatureTables;

namespace {
constexpr int IdCodeLength = DtmfIdCodeLength;
constexpr int MinIdCodeLength = DtmfMinIdCodeLength;
constexpr int StunCodeLength = DtmfStunCodeLength;
constexpr int AutodialLength = DtmfAutodialLength;
constexpr int AutodialMemories = DtmfAutodialMemories;

QByteArray terminatedCode(const QString& text, int width) {
    return terminatedDtmfCode(text.toLatin1(), width);
}

QGridLayout* pairGrid() {
    auto* grid = new QGridLayout;
    // Each caption sits right against its control.
    grid->setHorizontalSpacing(twipsToPixelsX(45));
    grid->setColumnStretch(2, 1);
    return grid;
}
QLabel* makeLabel(QWidget* parent, const QString& name) {
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    return l;
}
QComboBox* makeList(QWidget* parent, const QString& name) {
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    c->setMaxVisibleItems(17);
    c->setMinimumContentsLength(12);
    return c;
}
void addPair(QGridLayout* grid, QLabel* label, QWidget* control) {
    const int row = grid->rowCount();
    grid->addWidget(label, row, 0, Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(control, row, 1);
    label->setBuddy(control);
}
} // namespace

DtmfWindow::DtmfWindow(Document& doc, QWidget* parent) : QWidget(parent), m_doc(doc) {
    setObjectName(QStringLiteral("FrmDTMF"));
    connect(&m_doc.notifier(), &DocumentNotifier::configurationReplaced, this,
            &DtmfWindow::showRecord);
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("SSTab1"));
    QWidget* encode = buildEncodeTab();
    QWidget* decode = buildDecodeTab();
    QWidget* autodial = buildAutodialTab();
    m_tabs->addTab(encode, QString());
    m_tabs->addTab(decode, QString());
    m_tabs->addTab(autodial, QString());

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs, 1);
    m_close = addCloseRow(this, layout);

    runTrapped("FrmDTMF_Form_Load", [&] {
        fillLists();
        setCaptions();
        showRecord();
        for (QLineEdit* box : {m_idCode, m_stunCode, m_autodialGrid->editor()})
            suppressRightClick(box);
    });
}

// Encode: speed and timing of the tones the radio sends, the D key, the side tone.
QWidget* DtmfWindow::buildEncodeTab() {
    auto* encode = new QWidget(m_tabs);
    auto* encodeGrid = pairGrid();
    for (int i = 0; i < 5; ++i) {
        m_encodeLabels[size_t(i)] = makeLabel(this, QStringLiteral("Label1_%1").arg(i));
        m_encodeLists[size_t(i)] = makeList(this, QStringLiteral("Combo1_%1").arg(i));
        addPair(encodeGrid, m_encodeLabels[size_t(i)], m_encodeLists[size_t(i)]);
        connect(m_encodeLists[size_t(i)], &QComboBox::activated, this,
                [this, i] { runTrapped("FrmDTMF_Combo1_Click", [&] { storeEncodeList(i); }); });
    }
    m_sideTone = new QCheckBox(this);
    m_sideTone->setObjectName(QStringLiteral("Check1"));
    encodeGrid->addWidget(m_sideTone, encodeGrid->rowCount(), 1);
    connect(m_sideTone, &QCheckBox::clicked, this, [this](bool on) {
        changeSettings([on](DtmfSettings& d) { d.encode[DtmfSideTone] = on ? 1 : 0; });
    });
    auto* encodeLayout = new QVBoxLayout(encode);
    encodeLayout->addLayout(encodeGrid);
    encodeLayout->addStretch(1);
    return encode;
}

// Decode: the radio's own ID code, how it answers a call, and the stun function.
QWidget* DtmfWindow::buildDecodeTab() {
    auto* decode = new QWidget(m_tabs);
    auto* decodeGrid = pairGrid();
    m_idCodeLabel = makeLabel(this, QStringLiteral("Label3"));
    m_idCode = new QLineEdit(this);
    m_idCode->setObjectName(QStringLiteral("Text1"));
    m_idCode->setMaxLength(IdCodeLength);
    m_idCode->setValidator(new CharsetValidator(QStringLiteral("0123456789"), m_idCode));
    addPair(decodeGrid, m_idCodeLabel, m_idCode);
    // After "Invalid Data" the box shows "000" over the code the record keeps: a "000" typed
    // then is a code of its own.
    connect(m_idCode, &QLineEdit::textEdited, this, [this] { m_idTyped = true; });
    for (int i = 0; i < 4; ++i) {
        m_decodeLabels[size_t(i)] = makeLabel(this, QStringLiteral("Label2_%1").arg(i));
        m_decodeLists[size_t(i)] = makeList(this, QStringLiteral("Combo2_%1").arg(i));
        addPair(decodeGrid, m_decodeLabels[size_t(i)], m_decodeLists[size_t(i)]);
        connect(m_decodeLists[size_t(i)], &QComboBox::activated, this,
                [this, i] { runTrapped("FrmDTMF_Combo2_Click", [&] { storeDecodeList(i); }); });
    }
    m_clearToTranspond = new QCheckBox(this);
    m_clearToTranspond->setObjectName(QStringLiteral("Check2"));
    decodeGrid->addWidget(m_clearToTranspond, decodeGrid->rowCount(), 1);
    connect(m_clearToTranspond, &QCheckBox::clicked, this, [this](bool on) {
        changeSettings([on](DtmfSettings& d) { d.decode[DtmfClearToTranspond] = on ? 1 : 0; });
    });

    m_stunBox = new QGroupBox(this);
    m_stunBox->setObjectName(QStringLiteral("Frame1"));
    auto* stunGrid = pairGrid();
    m_stunCodeLabel = makeLabel(this, QStringLiteral("Label4"));
    m_stunCode = new QLineEdit(this);
    m_stunCode->setObjectName(QStringLiteral("Text2"));
    m_stunCode->setMaxLength(StunCodeLength);
    m_stunCode->setValidator(new CharsetValidator(dtmfCharacters(), m_stunCode));
    addPair(stunGrid, m_stunCodeLabel, m_stunCode);
    m_stunTypeLabel = makeLabel(this, QStringLiteral("Label5"));
    m_stunTypeList = makeList(this, QStringLiteral("Combo3"));
    addPair(stunGrid, m_stunTypeLabel, m_stunTypeList);
    connect(m_stunTypeList, &QComboBox::activated, this, [this](int i) {
        if (i >= 0) changeSettings([i](DtmfSettings& d) { d.stunType = int16_t(i); });
    });
    m_stunBox->setLayout(stunGrid);
    for (QLineEdit* box : {m_idCode, m_stunCode})
        box->installEventFilter(this);

    auto* decodeLayout = new QVBoxLayout(decode);
    decodeLayout->addLayout(decodeGrid);
    decodeLayout->addWidget(m_stunBox);
    decodeLayout->addStretch(1);
    return decode;
}

// Autodial memory: eight numbered DTMF codes the radio dials on demand.
QWidget* DtmfWindow::buildAutodialTab() {
    auto* autodial = new QWidget(m_tabs);
    m_autodialGrid = new EditorGrid(AutodialMemories + 1, 2, autodial);
    m_autodialGrid->setObjectName(QStringLiteral("MSFlexGrid1"));
    QLineEdit* editor = m_autodialGrid->editor();
    editor->setObjectName(QStringLiteral("Text3"));
    editor->setMaxLength(AutodialLength);
    editor->setValidator(new CharsetValidator(dtmfCharacters(), editor));
    m_autodialGrid->editorWidthReduction = twipsToPixelsX(50);
    // A memory entered and left empty takes an entry of its own.
    m_autodialGrid->commitsUnchanged = true;
    connect(m_autodialGrid, &EditorGrid::cellEdited, this,
            [this](int row, int, const QString& text) {
                runTrapped("FrmDTMF_MSFlexGrid1_Validate", [&] { commitAutodial(row, text); });
            });
    m_autodialGrid->setColumnWidth(0, twipsToPixelsX(700));
    m_autodialGrid->setColumnWidth(1, twipsToPixelsX(4200));
    m_autodialGrid->setFixedWidth(twipsToPixelsX(4900) + 2 * m_autodialGrid->frameWidth());
    m_autodialGrid->fitHeightToRows();
    auto* autodialLayout = new QVBoxLayout(autodial);
    autodialLayout->addWidget(m_autodialGrid, 0, Qt::AlignHCenter);
    autodialLayout->addStretch(1);
    return autodial;
}

DtmfWindow::~DtmfWindow() {
    for (QLineEdit* box : {m_idCode, m_stunCode, m_autodialGrid->editor()})
        restoreRightClick(box);
}

void DtmfWindow::fillLists() {
    // Entries named in the language are captioned by setCaptions.
    for (int i = 0; i < 4; ++i)
        m_encodeLists[size_t(i)]->addItems(dtmfEncodeEntries(i, currentLanguage()));
    m_decodeLists[DtmfGroupCode]->addItems(dtmfDecodeEntries(DtmfGroupCode, currentLanguage()));
    m_decodeLists[1]->addItems(dtmfDecodeEntries(1, currentLanguage()));
}

void DtmfWindow::setCaptions() {
    const int language = currentLanguage();
    setWindowTitle(tr2("DTMF", "DTMF(双音多频)"));
    m_tabs->setTabText(0, tr2("Encode", "编码"));
    m_tabs->setTabText(1, tr2("Decode", "解码"));
    m_tabs->setTabText(2, dtmfAutodialCaption(language));
    for (int i = 0; i < 5; ++i)
        m_encodeLabels[size_t(i)]->setText(dtmfEncodeLabel(i, language));
    m_sideTone->setText(dtmfEncodeLabel(DtmfSideTone, language));
    const QStringList dCodes = dtmfEncodeEntries(DtmfDCodeAssignment, language);
    for (int s = 0; s < dCodes.size(); ++s)
        setListEntry(m_encodeLists[4], s, dCodes.at(s));

    m_idCodeLabel->setText(dtmfIdCodeLabel(language));
    for (int i = 0; i < 4; ++i) {
        m_decodeLabels[size_t(i)]->setText(dtmfDecodeLabel(i, language));
        const QStringList entries = dtmfDecodeEntries(i, language);
        // Lists 0 and 1 only caption their "Off"; their other entries are the same in both
        // languages.
        for (int e = 0; e < (i < 2 ? 1 : entries.size()); ++e)
            setListEntry(m_decodeLists[size_t(i)], e, entries.at(e));
    }
    m_clearToTranspond->setText(dtmfDecodeLabel(DtmfClearToTranspond, language));
    m_stunBox->setTitle(QStringLiteral("Stun"));
    m_stunCodeLabel->setText(dtmfStunCodeLabel(language));
    m_stunTypeLabel->setText(dtmfStunTypeLabel(language));
    const QStringList stunTypes = dtmfStunTypes(language);
    for (int i = 0; i < stunTypes.size(); ++i)
        setListEntry(m_stunTypeList, i, stunTypes.at(i));

    m_autodialGrid->setHeaderText(0, tr2("No.", "编号"));
    m_autodialGrid->setHeaderText(1, dtmfAutodialCaption(language));
    for (int r = 1; r <= AutodialMemories; ++r)
        m_autodialGrid->setCellText(r, 0, QString::number(r));
    captionCloseAndHelp(this);
}

void DtmfWindow::showRecord() {
    const DtmfSettings& d = m_doc.config().dtmf;
    for (int i : {0, 1, 3, 4})
        showListIndex(m_encodeLists[size_t(i)], d.encode[size_t(i)]);
    showListIndex(m_encodeLists[DtmfFirstDigitDelay],
                  m_encodeLists[DtmfFirstDigitDelay]->findText(
                      QString::number(d.encode[DtmfFirstDigitDelay] * 10)));
    m_sideTone->setChecked(d.encode[DtmfSideTone] == 1);

    m_shownId = trimSpaces(QString::fromLatin1(d.idCode.untilNul()));
    m_idCode->setText(m_shownId);

    const int group = d.decode[DtmfGroupCode];
    showListIndex(m_decodeLists[DtmfGroupCode],
                  group == 0                 ? 0
                  : group > 0 && group < 128 ? m_decodeLists[DtmfGroupCode]->findText(
                                                   QString(QChar(group)), Qt::MatchCaseSensitive)
                                             : -1);
    for (int i = 1; i < 4; ++i)
        showListIndex(m_decodeLists[size_t(i)], d.decode[size_t(i)]);
    m_clearToTranspond->setChecked(d.decode[DtmfClearToTranspond] == 1);

    m_shownStun = QString::fromLatin1(d.stunCode.untilNul());
    m_stunCode->setText(m_shownStun);
    showListIndex(m_stunTypeList, d.stunType);

    for (int r = 1; r <= AutodialMemories; ++r)
        m_autodialGrid->setCellText(r, 1, QString());
    const int count = std::clamp<int>(m_doc.config().dtmfCodeCount, 0, AutodialMemories);
    for (int j = 0; j < count; ++j) {
        const DtmfCodeEntry& e = m_doc.config().dtmfCodes[size_t(j)];
        if (e.number >= 1 && e.number <= AutodialMemories)
            m_autodialGrid->setCellText(e.number, 1, QString::fromLatin1(e.code.untilNul()));
    }
}

void DtmfWindow::changeSettings(const std::function<void(DtmfSettings&)>& edit) {
    DtmfSettings d = m_doc.config().dtmf;
    edit(d);
    m_doc.setDtmfSettings(d, changeCaption(windowTitle()));
}

void DtmfWindow::storeEncodeList(int i) {
    const int index = m_encodeLists[size_t(i)]->currentIndex();
    if (index < 0) return;
    const int value =
        i == DtmfFirstDigitDelay ? m_encodeLists[size_t(i)]->currentText().toInt() / 10 : index;
    changeSettings([&](DtmfSettings& d) { d.encode[size_t(i)] = int16_t(value); });
}

void DtmfWindow::storeDecodeList(int i) {
    const int index = m_decodeLists[size_t(i)]->currentIndex();
    if (index < 0) return;
    // The group code is stored as its character; "Off" is 0.
    const int value =
        i == DtmfGroupCode
            ? (index == 0 ? 0 : m_decodeLists[size_t(i)]->currentText().at(0).unicode())
            : index;
    changeSettings([&](DtmfSettings& d) { d.decode[size_t(i)] = int16_t(value); });
}

bool DtmfWindow::storeIdCode() {
    bool stored = true;
    if (m_checkingId) return stored;
    m_checkingId = true;
    runTrapped("FrmDTMF_Text1_Validate", [&] {
        const QString text = m_idCode->text();
        if (text == m_shownId && !m_idTyped) return;
        m_idTyped = false;
        if (text.size() >= MinIdCodeLength) {
            changeSettings(
                [&](DtmfSettings& d) { d.idCode.assign(text.left(IdCodeLength).toLatin1()); });
            m_shownId = text;
            return;
        }
        stored = false;
        // The box starts again from the shortest code; the record keeps its code until a
        // usable one is typed.
        m_shownId = QStringLiteral("000");
        m_idCode->setText(m_shownId);
        showMessage(Msg::InvalidData, MsgIcon::Critical);
    });
    m_checkingId = false;
    return stored;
}

void DtmfWindow::storeStunCode() {
    runTrapped("FrmDTMF_Text2_Validate", [&] {
        const QString text = m_stunCode->text();
        if (text == m_shownStun) return; // left as shown: its bytes stay as loaded
        changeSettings(
            [&](DtmfSettings& d) { d.stunCode.assign(terminatedCode(text, StunCodeLength)); });
        m_shownStun = text;
    });
}

void DtmfWindow::commitAutodial(int row, const QString& text) {
    auto codes = m_doc.config().dtmfCodes;
    int count = std::clamp<int>(m_doc.config().dtmfCodeCount, 0, AutodialMemories);
    int found = -1;
    for (int j = 0; j < count && found < 0; ++j)
        if (codes[size_t(j)].number == row) found = j;
    // A memory left as it was keeps its entry and its bytes.
    if (found >= 0 && text == m_autodialGrid->cellText(row, 1)) return;
    if (found >= 0 && text.isEmpty()) {
        for (int j = found; j + 1 < count; ++j)
            codes[size_t(j)] = codes[size_t(j + 1)];
        --count;
    } else if (found >= 0) {
        codes[size_t(found)].code.assign(terminatedCode(text, AutodialLength));
    } else if (found < 0 && count < AutodialMemories) {
        DtmfCodeEntry& e = codes[size_t(count)];
        e.number = int16_t(row);
        e.code.assign(terminatedCode(text, AutodialLength));
        ++count;
    }
    m_doc.setDtmfAutodialMemories(count, codes, changeCaption(windowTitle()));
    m_autodialGrid->setCellText(row, 1, text);
}

bool DtmfWindow::validateEdits() {
    const bool ok = storeIdCode();
    storeStunCode();
    m_autodialGrid->commitEditor();
    return ok;
}

bool DtmfWindow::eventFilter(QObject* watched, QEvent* event) {
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (box != m_idCode && box != m_stunCode) return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            if (box == m_idCode)
                storeIdCode();
            else
                storeStunCode();
        }
        return false;
    }
    switch (classifyBoxKey(event)) {
    case BoxKey::Swallow:
        event->accept();
        return true;
    case BoxKey::Enter: {
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QCoreApplication::sendEvent(box, &tab);
        return true;
    }
    case BoxKey::Other:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void DtmfWindow::closeEvent(QCloseEvent* event) {
    validateEdits();
    QWidget::closeEvent(event);
}
