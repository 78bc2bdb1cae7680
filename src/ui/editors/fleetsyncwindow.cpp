#include "fleetsyncwindow.h"

#include "core/channels/featuretables.h"
#include "ui/common/editorsupport.h"
#include "ui/common/hiddengrid.h"
#include "ui/common/hiddensupport.h"
#include "ui/common/uicommon.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace FeatureTables;

namespace {
constexpr int FleetColumn = 1;
constexpr int IdColumn = 2;
// The settings lists (Combo1), in FleetSyncSettings order.
constexpr int OwnFleetList = 0;
constexpr int OwnIdList = 1;
constexpr int BaudRateList = 2;
constexpr int ModulationDelayList = 3;
constexpr int MessageTimerList = 4;

const QString Blank = QStringLiteral(" "); // the own fleet and ID lists' "none"

QString allWord() {
    return fleetAllWord(currentLanguage());
}

QStringList numbers(int first, int last) {
    QStringList out;
    out.reserve(last - first + 1);
    for (int v = first; v <= last; ++v)
        out << QString::number(v);
    return out;
}

// What a fleet list cell may hold: nothing, a number of up to 3 (fleet) or 4 (ID) digits, a
// lone "A" (typed for "All"), or the word "All" itself.
class FleetCellValidator : public QValidator {
  public:
    using QValidator::QValidator;
    int maxDigits = 3;
    State validate(QString& input, int& pos) const override {
        Q_UNUSED(pos);
        for (QChar& c : input)
            if (c == QLatin1Char('a')) c = QLatin1Char('A');
        if (input.isEmpty() || input == QLatin1String("A") || input == allWord()) return Acceptable;
        if (input.size() > maxDigits) return Invalid;
        for (QChar c : input)
            if (c < QLatin1Char('0') || c > QLatin1Char('9')) return Invalid;
        return Acceptable;
    }
};
} // namespace

FleetSyncWindow::FleetSyncWindow(Document& doc, QWidget* parent) : QWidget(parent), m_doc(doc) {
    setObjectName(QStringLiteral("FrmFleetSync"));
    connect(&m_doc.notifier(), &DocumentNotifier::configurationReplaced, this,
            &FleetSyncWindow::showRecord);
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("SSTab1"));
    QWidget* settings = buildSettingsTab();
    QWidget* list = buildFleetListTab();
    m_tabs->addTab(settings, QString());
    m_tabs->addTab(list, QString());

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs, 1);
    m_close = addCloseRow(this, layout);

    runTrapped("FrmFleetSync_Form_Load", [&] {
        fillLists();
        setCaptions();
        showRecord();
        suppressRightClick(m_fleetGrid->editor());
    });
}

// The own fleet and ID, the data parameters and the PTT ID side tone.
QWidget* FleetSyncWindow::buildSettingsTab() {
    auto* settings = new QWidget(m_tabs);
    auto* grid = new QGridLayout;
    // Each caption ends 100 twips left of its list.
    grid->setHorizontalSpacing(twipsToPixelsX(100));
    grid->setColumnStretch(2, 1);
    for (int i = 0; i < 5; ++i) {
        auto* label = new QLabel(settings);
        label->setObjectName(QStringLiteral("Label1_%1").arg(i));
        auto* list = new QComboBox(settings);
        list->setObjectName(QStringLiteral("Combo1_%1").arg(i));
        list->setMaxVisibleItems(15);
        list->setMinimumContentsLength(8);
        label->setBuddy(list);
        m_settingLabels[size_t(i)] = label;
        m_settingLists[size_t(i)] = list;
        grid->addWidget(label, i, 0, Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(list, i, 1);
    }
    connect(m_settingLists[OwnFleetList], &QComboBox::activated, this, [this](int index) {
        runTrapped("FrmFleetSync_Combo1_Click", [&] { ownFleetChosen(index); });
    });
    connect(m_settingLists[OwnIdList], &QComboBox::activated, this, [this](int index) {
        runTrapped("FrmFleetSync_Combo1_Click", [&] { ownIdChosen(index); });
    });
    for (int i = BaudRateList; i < 5; ++i)
        connect(m_settingLists[size_t(i)], &QComboBox::activated, this,
                [this, i] { runTrapped("FrmFleetSync_Combo1_Click", [&] { storeList(i); }); });
    m_pttIdSideTone = new QCheckBox(settings);
    m_pttIdSideTone->setObjectName(QStringLiteral("Check1"));
    grid->addWidget(m_pttIdSideTone, 5, 1);
    connect(m_pttIdSideTone, &QCheckBox::clicked, this, [this](bool on) {
        changeSettings([on](FleetSyncSettings& f) { f.pttIdSideTone = on ? 1 : 0; });
    });
    auto* settingsLayout = new QVBoxLayout(settings);
    settingsLayout->addLayout(grid);
    settingsLayout->addStretch(1);
    return settings;
}

// The fleet list: up to eight fleet/ID pairs the radio accepts calls from.
QWidget* FleetSyncWindow::buildFleetListTab() {
    auto* list = new QWidget(m_tabs);
    m_fleetGrid = new EditorGrid(FleetListEntries + 1, 3, list);
    m_fleetGrid->setObjectName(QStringLiteral("MSFlexGrid1"));
    QLineEdit* editor = m_fleetGrid->editor();
    editor->setObjectName(QStringLiteral("Text1"));
    editor->setMaxLength(4);
    auto* validator = new FleetCellValidator(editor);
    editor->setValidator(validator);
    connect(m_fleetGrid, &EditorGrid::editorOpened, validator,
            [validator](int, int column) { validator->maxDigits = column == FleetColumn ? 3 : 4; });
    connect(m_fleetGrid, &EditorGrid::cellEdited, this,
            [this](int row, int column, const QString& text) {
                runTrapped("FrmFleetSync_Text1_Validate", [&] { commitCell(row, column, text); });
            });
    // Installed after the grid's own filter, so it sees the editor's keys first.
    editor->installEventFilter(this);
    const int fixed = twipsToPixelsX(700);
    const int data = twipsToPixelsX(4400);
    m_fleetGrid->setColumnWidth(0, fixed);
    m_fleetGrid->setColumnWidth(FleetColumn, data / 2);
    m_fleetGrid->setColumnWidth(IdColumn, data / 2);
    m_fleetGrid->setFixedWidth(fixed + data + 2 * m_fleetGrid->frameWidth());
    m_fleetGrid->fitHeightToRows();
    auto* listLayout = new QVBoxLayout(list);
    listLayout->addWidget(m_fleetGrid, 0, Qt::AlignHCenter);
    listLayout->addStretch(1);
    return list;
}

FleetSyncWindow::~FleetSyncWindow() {
    restoreRightClick(m_fleetGrid->editor());
}

void FleetSyncWindow::fillLists() {
    m_settingLists[OwnFleetList]->addItem(Blank);
    m_settingLists[OwnFleetList]->addItems(numbers(FirstFleet, LastFleet));
    m_settingLists[OwnIdList]->addItems(numbers(FirstFleetId, LastFleetId));
    m_settingLists[BaudRateList]->addItems(fleetSyncBaudRates());
    m_settingLists[ModulationDelayList]->addItems(numbers(0, MaxModulationDelay));
    m_settingLists[MessageTimerList]->addItem(QString()); // "Off", captioned with the language
    m_settingLists[MessageTimerList]->addItems(numbers(1, MaxMessageTimer));
}

void FleetSyncWindow::setCaptions() {
    setWindowTitle(tr2("FleetSync", "FleetSync(队列同步)"));
    m_tabs->setTabText(0, tr2("FleetSync", "队列同步"));
    m_tabs->setTabText(1, fleetListCaption(currentLanguage()));
    for (int i = 0; i < 5; ++i)
        m_settingLabels[size_t(i)]->setText(fleetSyncLabel(i, currentLanguage()));
    setListEntry(m_settingLists[MessageTimerList], 0, fleetSyncOffText(currentLanguage()));
    m_pttIdSideTone->setText(fleetSyncLabel(5, currentLanguage()));
    m_fleetGrid->setHeaderText(0, tr2("No.", "编号"));
    m_fleetGrid->setHeaderText(FleetColumn, fleetColumnCaption(currentLanguage()));
    m_fleetGrid->setHeaderText(IdColumn, QStringLiteral("ID"));
    for (int r = 1; r <= FleetListEntries; ++r)
        m_fleetGrid->setCellText(r, 0, QString::number(r));
    captionCloseAndHelp(this);
}

bool FleetSyncWindow::idBlankShown() const {
    return m_settingLists[OwnIdList]->count() > 0 &&
           m_settingLists[OwnIdList]->itemText(0) == Blank;
}

// The own ID list offers "none" only while there is no own fleet.
void FleetSyncWindow::setIdBlank(bool blank) {
    QComboBox* ids = m_settingLists[OwnIdList];
    if (blank && !idBlankShown()) ids->insertItem(0, Blank);
    if (!blank && idBlankShown()) ids->removeItem(0);
}

void FleetSyncWindow::showRecord() {
    const FleetSyncSettings& f = m_doc.config().fleetSync;
    if (f.ownFleet == NoFleet) {
        setIdBlank(true);
        m_settingLists[OwnFleetList]->setCurrentIndex(0);
        m_settingLists[OwnIdList]->setCurrentIndex(0);
    } else {
        setIdBlank(false);
        showListIndex(m_settingLists[OwnFleetList],
                      f.ownFleet >= 1 && f.ownFleet <= LastFleet - FleetOffset ? f.ownFleet : -1);
        showListIndex(m_settingLists[OwnIdList],
                      f.ownId >= 1 && f.ownId <= LastFleetId - FleetIdOffset ? int(f.ownId - 1)
                                                                             : -1);
    }
    showListIndex(m_settingLists[BaudRateList], f.baudRate);
    showListIndex(m_settingLists[ModulationDelayList],
                  f.modulationDelay >= 0 && f.modulationDelay <= MaxModulationDelay
                      ? int(f.modulationDelay)
                      : -1);
    showListIndex(m_settingLists[MessageTimerList],
                  f.messageTimer >= 0 && f.messageTimer <= MaxMessageTimer ? int(f.messageTimer)
                                                                           : -1);
    m_pttIdSideTone->setChecked(f.pttIdSideTone == 1);

    for (int r = 1; r <= FleetListEntries; ++r) {
        m_fleetGrid->setCellText(r, FleetColumn, QString());
        m_fleetGrid->setCellText(r, IdColumn, QString());
    }
    const int count = std::clamp<int>(m_doc.config().fleetSyncListCount, 0, FleetListEntries);
    for (int j = 0; j < count; ++j) {
        const FleetSyncEntry& e = m_doc.config().fleetSyncList[size_t(j)];
        if (e.row < 1 || e.row > FleetListEntries) continue;
        m_fleetGrid->setCellText(e.row, FleetColumn,
                                 e.fleet == NoFleet ? QString()
                                 : e.fleet == 0     ? allWord()
                                                    : QString::number(e.fleet + FleetOffset));
        // 255 in either field is the radio's mark for "nothing here".
        m_fleetGrid->setCellText(e.row, IdColumn,
                                 e.id == NoFleet ? QString()
                                 : e.id == 0     ? allWord()
                                                 : QString::number(e.id + FleetIdOffset));
    }
}

void FleetSyncWindow::changeSettings(const std::function<void(FleetSyncSettings&)>& edit) {
    FleetSyncSettings f = m_doc.config().fleetSync;
    edit(f);
    m_doc.setFleetSyncSettings(f, changeCaption(windowTitle()));
}

void FleetSyncWindow::ownFleetChosen(int index) {
    if (index >= 0) changeSettings([&](FleetSyncSettings& f) { chooseOwnFleet(f, index); });
}

void FleetSyncWindow::chooseOwnFleet(FleetSyncSettings& f, int index) {
    if (index == 0) {
        // No own fleet: no own ID either.
        setIdBlank(true);
        m_settingLists[OwnIdList]->setCurrentIndex(0);
        f.ownFleet = NoFleet;
        f.ownId = 0;
        return;
    }
    if (idBlankShown()) {
        const bool wasBlank = m_settingLists[OwnIdList]->currentIndex() == 0;
        setIdBlank(false);
        if (wasBlank) {
            m_settingLists[OwnIdList]->setCurrentIndex(0);
            f.ownId = 1;
        }
    }
    f.ownFleet = int16_t(m_settingLists[OwnFleetList]->itemText(index).toInt() - FleetOffset);
}

void FleetSyncWindow::ownIdChosen(int index) {
    if (index >= 0) changeSettings([&](FleetSyncSettings& f) { chooseOwnId(f, index); });
}

void FleetSyncWindow::chooseOwnId(FleetSyncSettings& f, int index) {
    const QString text = m_settingLists[OwnIdList]->itemText(index);
    if (text == Blank) {
        f.ownId = 0;
        return;
    }
    if (m_settingLists[OwnFleetList]->currentIndex() <= 0) {
        // An ID needs a fleet: the first fleet is taken.
        m_settingLists[OwnFleetList]->setCurrentIndex(1);
        f.ownFleet = int16_t(FirstFleet - FleetOffset);
    }
    setIdBlank(false);
    f.ownId = text.toInt() - FleetIdOffset;
}

void FleetSyncWindow::storeList(int list) {
    const int index = m_settingLists[size_t(list)]->currentIndex();
    if (index < 0) return;
    FleetSyncSettings f = m_doc.config().fleetSync;
    switch (list) {
    case BaudRateList:
        f.baudRate = int16_t(index);
        break;
    case ModulationDelayList:
        f.modulationDelay = index;
        break;
    case MessageTimerList:
        f.messageTimer = index;
        break;
    default:
        break;
    }
    m_doc.setFleetSyncSettings(f, changeCaption(windowTitle()));
}

bool FleetSyncWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_fleetGrid->editor() && event->type() == QEvent::KeyPress &&
        editorKey(static_cast<QKeyEvent*>(event)))
        return true;
    return QWidget::eventFilter(watched, event);
}

bool FleetSyncWindow::editorKey(QKeyEvent* key) {
    QLineEdit* box = m_fleetGrid->editor();
    const bool erase = key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Delete;
    // "All" (or the "A" typed for it) is one value: erasing any of it erases it all.
    if (erase && (box->text() == allWord() || box->text() == QLatin1String("A"))) {
        box->clear();
        return true;
    }
    return false;
}

void FleetSyncWindow::commitCell(int row, int column, const QString& text) {
    const int other = column == FleetColumn ? IdColumn : FleetColumn;
    QString cell = text;
    bool isNumber = false;
    const int n = text.toInt(&isNumber);
    if (text == QLatin1String("A") || text == allWord())
        cell = allWord();
    else if (isNumber)
        cell = QString::number(column == FleetColumn ? std::clamp(n, FirstFleet, LastFleet)
                                                     : std::clamp(n, FirstFleetId, LastFleetId));
    m_fleetGrid->setCellText(row, column, cell);

    auto list = m_doc.config().fleetSyncList;
    int count = std::clamp<int>(m_doc.config().fleetSyncListCount, 0, FleetListEntries);
    int found = -1;
    for (int j = 0; j < count && found < 0; ++j)
        if (list[size_t(j)].row == row) found = j;

    if (!cell.isEmpty()) {
        if (m_fleetGrid->cellText(row, other).isEmpty())
            m_fleetGrid->setCellText(row, other, allWord());
        if (found < 0) {
            if (count >= FleetListEntries) return;
            found = count++;
            list[size_t(found)].row = int16_t(row);
        }
        const QString fleet = m_fleetGrid->cellText(row, FleetColumn);
        const QString id = m_fleetGrid->cellText(row, IdColumn);
        FleetSyncEntry& e = list[size_t(found)];
        e.fleet = int16_t(fleet == allWord() ? 0 : fleet.toInt() - FleetOffset);
        e.id = id == allWord() ? 0 : id.toInt() - FleetIdOffset;
    } else {
        m_fleetGrid->setCellText(row, other, QString());
        if (found >= 0) {
            for (int j = found; j + 1 < count; ++j)
                list[size_t(j)] = list[size_t(j + 1)];
            --count;
        }
    }
    m_doc.setFleetSyncList(count, list, changeCaption(windowTitle()));
}

bool FleetSyncWindow::validateEdits() {
    m_fleetGrid->commitEditor();
    return true;
}

void FleetSyncWindow::closeEvent(QCloseEvent* event) {
    validateEdits();
    QWidget::closeEvent(event);
}
