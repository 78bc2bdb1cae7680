// Undo and redo of every kind of change in the main window, and channel rows through the
// clipboard in the channel grid.

#include "core/channels/channelrules.h"
#include "core/config/datafile.h"
#include "core/config/settingsfile.h"
#include "exchange/channelcsv.h"
#include "exchange/configtext.h"
#include "mainwindowfixture.h"
#include "radiolauncher.h"
#include "recordedit.h"
#include "testsupport.h"
#include "ui/common/edithistory.h"
#include "ui/common/filedialogs.h"
#include "ui/common/hiddengrid.h"
#include "ui/common/uicommon.h"
#include "ui/editors/channelgrid.h"
#include "ui/editors/channelgridwindow.h"
#include "ui/editors/dtmfwindow.h"
#include "ui/editors/fleetsyncwindow.h"
#include "ui/editors/keyassignmentwindow.h"
#include "ui/editors/messagelineswindow.h"
#include "ui/editors/scanwindow.h"
#include "ui/editors/testfrequencieswindow.h"
#include "ui/radio/comparewindow.h"
#include "ui/radio/radiocommands.h"
#include "ui/radio/radioinformationwindow.h"
#include "ui/shell/modelwindow.h"
#include "windowtest.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>
#include <memory>

namespace {

class OneFileDialog : public FileDialogService {
  public:
    OneFileDialog() { setFileDialogService(this); }
    ~OneFileDialog() override { setFileDialogService(nullptr); }
    QString openFileName(QWidget*, const QString&, const QString&) override { return answer; }
    QString saveFileName(QWidget*, const QString&, const QString&) override { return answer; }
    int chooseItem(QWidget*, const QString&, const QString&, const QStringList&, int) override {
        return 0;
    }
    QString answer;
};

// The record as an undo must bring it back: every byte but the group the grid shows.
QByteArray recordBytes(const Document& doc) {
    RadioConfig c;
    std::memcpy(static_cast<void*>(&c), &doc.config(), sizeof c);
    c.currentGroup = 0;
    return QByteArray(reinterpret_cast<const char*>(&c), sizeof c);
}

enum Step {
    GridCell,
    GridDeletesChannel,
    OptionList,
    OptionBox,
    MessageLine,
    HiddenEditor,
    DtmfSideToneBox,
    FleetSyncSideToneBox,
    InitialSetting,
    ImportList,
    ModelChange,
    PasteRows,
    DeleteRows,
    ScanList,
    FleetSyncGridCell,
    TestFrequencyCell,
    RadioInformationClosed
};

} // namespace

class TestUndo : public QObject, MainWindowFixture {
    Q_OBJECT

    PrivateUserFolders m_folders;
    std::unique_ptr<OneFileDialog> m_dialog;

    // The main window shown, in the language of the test, with the channel grid's editor
    // ready for typing.
    MainWindow& startShown(const Product& p = meridoxProduct()) {
        start(p, currentLanguage());
        showActive(m_main.get());
        if (!QTest::qWaitFor([&] { return text1() && text1()->hasFocus(); }))
            qFatal("the channel grid's editor has no focus");
        return *m_main;
    }
    // The main window with COM1 pinned to the radio.
    MainWindow& startOnPort(const VirtualRadio& radio) {
        pinComPort(radio.linkPath());
        return startShown();
    }
    Document& doc() const { return m_main->document(); }
    ChannelGridWindow* gridWindow() const {
        return qobject_cast<ChannelGridWindow*>(m_main->windows().find(ChildWindow::ChannelGrid));
    }
    ChannelGrid* grid() const {
        return gridWindow()->findChild<ChannelGrid*>(QStringLiteral("MSFlexGrid1"));
    }
    QLineEdit* text1() const {
        return gridWindow() ? gridWindow()->findChild<QLineEdit*>(QStringLiteral("Text1"))
                            : nullptr;
    }
    QRect cellRect(int row, int col) const {
        grid()->scrollToItem(grid()->item(row, col));
        return grid()->visualRect(grid()->model()->index(row, col));
    }
    // Types a frequency into a cell of the grid and leaves it with Enter.
    void typeInto(int row, int col, const QString& text) {
        // The editor lies over the current cell: a click there lands in the editor.
        const QRect cell = cellRect(row, col);
        if (grid()->currentRow() != row || grid()->currentColumn() != col)
            QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, cell.center());
        QVERIFY(QTest::qWaitFor([&] { return text1()->hasFocus(); }));
        text1()->selectAll(); // as the editor opens
        if (text.isEmpty())
            QTest::keyClick(text1(), Qt::Key_Backspace);
        else
            QTest::keyClicks(text1(), text);
        QTest::keyClick(text1(), Qt::Key_Return);
        // Enter moves on to the next frequency cell, whose editor takes the focus.
        QVERIFY(QTest::qWaitFor([&] { return text1()->hasFocus(); }));
    }
    void clickNumber(int row, Qt::KeyboardModifiers mods = {}) {
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, mods, cellRect(row, 0).center());
    }
    void writeFile(const QString& name, const QByteArray& bytes) {
        QFile f(m_dir->filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    // What a step needs before it: more channels in group A, saved as the file they came in.
    void prepare(Step step) {
        if (step != GridDeletesChannel && step != DeleteRows) return;
        doc().addChannel(0, 2, QStringLiteral("28.200000"));
        doc().addChannel(0, 3, QStringLiteral("28.300000"));
        doc().takeSnapshot();
        m_main->history().reset();
        gridWindow()->showCurrentGroup();
    }

    // Makes one change of the kind; the caption its Undo item then shows.
    void makeStep(Step step) {
        switch (step) {
        case GridCell:
            typeInto(5, ColRx, QStringLiteral("28.5"));
            break;
        case GridDeletesChannel:
            typeInto(1, ColRx, QString());
            QVERIFY(findChannelPlace(doc(), 0, 1) == 0);
            break;
        case OptionList: {
            QWidget* options = m_main->windows().show(ChildWindow::OptionFeatures);
            auto* list = options->findChild<QComboBox*>(QStringLiteral("Combo1_0"));
            list->setCurrentIndex(list->currentIndex() == 0 ? 1 : 0);
            emit list->activated(list->currentIndex());
            break;
        }
        case OptionBox: {
            QWidget* options = m_main->windows().show(ChildWindow::OptionFeatures);
            auto* box = options->findChild<QCheckBox*>(QStringLiteral("Check1_4"));
            box->click();
            break;
        }
        case MessageLine: {
            m_main->windows().show(ChildWindow::MessageLines);
            auto* box = m_main->findChild<QLineEdit*>(QStringLiteral("Text1_0"));
            QTest::keyClicks(box, QStringLiteral("HELLO"));
            QTest::keyClick(box, Qt::Key_Return); // on to the next line: stored
            break;
        }
        case HiddenEditor: {
            auto* list = showHidden(new KeyAssignmentWindow(doc()))
                             ->findChild<QComboBox*>(QStringLiteral("Combo1_0"));
            list->setCurrentIndex(3);
            emit list->activated(3);
            break;
        }
        case DtmfSideToneBox:
            showHidden(new DtmfWindow(doc()))
                ->findChild<QCheckBox*>(QStringLiteral("Check1"))
                ->click();
            break;
        case FleetSyncSideToneBox:
            showHidden(new FleetSyncWindow(doc()))
                ->findChild<QCheckBox*>(QStringLiteral("Check1"))
                ->click();
            break;
        case InitialSetting: {
            RadioConfig factory = doc().config();
            factory.embeddedMessage[1].assign(QByteArray("FACTORY"));
            writeFile(QStringLiteral("KORVEN.dat"), encodeRecord(doc().product(), factory));
            action("MnuInitial")->trigger();
            break;
        }
        case ImportList:
            writeFile(QStringLiteral("list.csv"), "Group,Channel,RX MHz\nC,4,28.4\n");
            m_dialog->answer = m_dir->filePath(QStringLiteral("list.csv"));
            action("mnuFileImportCsv")->trigger();
            break;
        case ModelChange: {
            ModelWindow w(doc(), m_main.get());
            connect(&w, &ModelWindow::modelChanged, this,
                    [this] { m_main->files().newDocument(false); });
            auto* bands = w.findChild<QComboBox*>(QStringLiteral("Combo2"));
            bands->setCurrentIndex(bands->currentIndex() == 0 ? 1 : 0);
            w.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
            break;
        }
        case PasteRows:
            QGuiApplication::clipboard()->setText(QStringLiteral("28.5\t28.6\n28.7\t28.7\n"));
            clickNumber(10);
            QTest::keyClick(grid(), Qt::Key_V, Qt::ControlModifier);
            QCOMPARE(gridWindow()->selectedRows(), (QList<int>{10, 11}));
            break;
        case DeleteRows:
            clickNumber(1);
            clickNumber(3, Qt::ShiftModifier);
            QTest::keyClick(grid(), Qt::Key_Delete);
            break;
        case ScanList: {
            auto* list = showHidden(new ScanWindow(doc()))
                             ->findChild<QComboBox*>(QStringLiteral("Combo1_0"));
            list->setCurrentIndex(list->currentIndex() == 1 ? 2 : 1);
            emit list->activated(list->currentIndex());
            break;
        }
        case FleetSyncGridCell:
        case TestFrequencyCell: {
            QWidget* w = step == TestFrequencyCell ? showHidden(new TestFrequenciesWindow(doc()))
                                                   : showHidden(new FleetSyncWindow(doc()));
            if (auto* tabs = w->findChild<QTabWidget*>(QStringLiteral("SSTab1")))
                tabs->setCurrentIndex(1);
            auto* cells = w->findChild<EditorGrid*>(QStringLiteral("MSFlexGrid1"));
            cells->moveTo(1, 1);
            cells->editor()->selectAll();
            QTest::keyClicks(cells->editor(),
                             QLatin1String(step == TestFrequencyCell ? "27.1" : "120"));
            QTest::keyClick(cells->editor(), Qt::Key_Return);
            break;
        }
        case RadioInformationClosed: {
            RadioInformationWindow w(doc(), m_main->session(), m_main.get());
            w.show();
            w.findChild<QLineEdit*>(QStringLiteral("Text1_0"))->setText(QStringLiteral("S1234"));
            w.findChild<QPushButton*>(QStringLiteral("CommandClose"))->click();
            break;
        }
        }
    }

    QWidget* showHidden(QWidget* w) {
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->setParent(m_main.get(), Qt::Window);
        w->show();
        return w;
    }

  private slots:
    void init() {
        initFixture();
        m_dialog = std::make_unique<OneFileDialog>();
    }
    void cleanup() {
        m_main.reset();
        m_dialog.reset();
        cleanupFixture();
    }

    // Each kind of change is one step: Undo names it, puts every byte back and leaves the
    // configuration unmodified; Redo makes the change again.
    void eachStepUndoneAndRedone_data() {
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("undoText");
        QTest::newRow("grid cell") << int(GridCell) << 1 << "Undo Change RX of A5";
        QTest::newRow("grid cell, Chinese") << int(GridCell) << 2 << "撤销 修改 A5 接收频率";
        QTest::newRow("empty RX deletes the channel")
            << int(GridDeletesChannel) << 1 << "Undo Change RX of A1";
        QTest::newRow("option list")
            << int(OptionList) << 1 << "Undo Change Time Out Timer(TOT)[s]";
        QTest::newRow("option box") << int(OptionBox) << 1 << "Undo Change PA Enalbe";
        QTest::newRow("message line") << int(MessageLine) << 1 << "Undo Change Line 1";
        QTest::newRow("hidden editor") << int(HiddenEditor) << 1 << "Undo Change Key Assignment";
        QTest::newRow("DTMF side tone") << int(DtmfSideToneBox) << 1 << "Undo Change DTMF";
        QTest::newRow("FleetSync side tone")
            << int(FleetSyncSideToneBox) << 1 << "Undo Change FleetSync";
        QTest::newRow("Initial Setting") << int(InitialSetting) << 1 << "Undo Initial Setting";
        QTest::newRow("CSV import") << int(ImportList) << 1 << "Undo Import Channels";
        QTest::newRow("model") << int(ModelChange) << 1 << "Undo Change Model";
        QTest::newRow("paste rows") << int(PasteRows) << 1 << "Undo Paste Channels";
        QTest::newRow("delete rows") << int(DeleteRows) << 1 << "Undo Delete Channels";
        QTest::newRow("scan list") << int(ScanList) << 1 << "Undo Change Scan Information";
        QTest::newRow("FleetSync list cell")
            << int(FleetSyncGridCell) << 1 << "Undo Change FleetSync";
        QTest::newRow("test frequency cell")
            << int(TestFrequencyCell) << 1 << "Undo Change Test Frequency";
        QTest::newRow("radio information")
            << int(RadioInformationClosed) << 1 << "Undo Change Set Radio Information";
    }
    void eachStepUndoneAndRedone() {
        QFETCH(int, step);
        QFETCH(int, language);
        QFETCH(QString, undoText);
        setCurrentLanguage(language);
        startShown();
        prepare(Step(step));
        m_msgs->answers = {MsgAnswer::Ok, MsgAnswer::Ok};
        const QByteArray before = recordBytes(doc());
        const QString band = doc().band();
        QVERIFY(!doc().isModified());
        QVERIFY(!action("mnuEditUndo")->isEnabled());

        makeStep(Step(step));
        const QByteArray after = recordBytes(doc());
        QVERIFY(after != before);
        QCOMPARE(m_main->history().stack().count(), 1);
        QCOMPARE(action("mnuEditUndo")->text(), undoText);

        action("mnuEditUndo")->trigger();
        QCOMPARE(recordBytes(doc()), before);
        QCOMPARE(doc().band(), band);
        QVERIFY(!doc().isModified());
        QVERIFY(!m_main->windowTitle().isEmpty());
        QVERIFY(!action("mnuEditUndo")->isEnabled());
        QVERIFY(action("mnuEditRedo")->isEnabled());
        // The windows show the record again.
        if (gridWindow())
            for (int row : {1, 2, 5, 10}) {
                const int place = findChannelPlace(doc(), 0, row);
                QCOMPARE(grid()->cellText(row, ColRx),
                         place ? shownFrequency(doc(), doc().config().entry(0, place).rxFreq.text())
                               : QString());
            }
        if (step == MessageLine)
            QCOMPARE(m_main->findChild<QLineEdit*>(QStringLiteral("Text1_0"))->text(), QString());

        action("mnuEditRedo")->trigger();
        QCOMPARE(recordBytes(doc()), after);
        QVERIFY(doc().isModified()); // every step changes what a save would keep
    }

    void itemsHeadTheEditMenu() {
        startShown();
        auto* edit = m_main->findChild<QMenu*>(QStringLiteral("mnuEdit"));
        const QList<QAction*> items = edit->actions();
        QCOMPARE(items.at(0)->objectName(), QStringLiteral("mnuEditUndo"));
        QCOMPARE(items.at(1)->objectName(), QStringLiteral("mnuEditRedo"));
        QCOMPARE(items.at(0)->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
        QCOMPARE(items.at(1)->shortcuts(),
                 (QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+Shift+Z")),
                                      QKeySequence(QStringLiteral("Ctrl+Y"))}));
        QCOMPARE(items.at(0)->text(), QStringLiteral("Undo"));
        QCOMPARE(items.at(1)->text(), QStringLiteral("Redo"));
        QVERIFY(!items.at(0)->isEnabled());
        QVERIFY(!items.at(1)->isEnabled());

        // Ctrl+Z in the grid's editor, with nothing typed there, undoes the last step; a typed
        // value is the editor's own to undo first.
        typeInto(5, ColRx, QStringLiteral("28.5"));
        QTest::keyClicks(text1(), QStringLiteral("2"));
        QTest::keyClick(text1(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(findChannelPlace(doc(), 0, 5) > 0);
        QTest::keyClick(text1(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(findChannelPlace(doc(), 0, 5), 0);
        QTest::keyClick(text1(), Qt::Key_Y, Qt::ControlModifier);
        QVERIFY(findChannelPlace(doc(), 0, 5) > 0);

        // New starts a fresh history, and so does Open.
        m_msgs->answers = {MsgAnswer::Ok, MsgAnswer::No};
        action("mnuFileNew")->trigger();
        QVERIFY(!action("mnuEditUndo")->isEnabled());
        QVERIFY(!action("mnuEditRedo")->isEnabled());
    }

    // A read over unsaved work is one step; undoing it brings the work back with its name.
    void readUndoneBackToUnsavedWork() {
        VirtualRadio radio;
        QVERIFY2(radio.start(QStringLiteral("meridox")), qPrintable(radio.errorOutput()));
        startOnPort(radio);
        doc().fileOpened(m_dir->filePath(QStringLiteral("work.dat")));
        typeInto(7, ColRx, QStringLiteral("27.5"));
        const QByteArray work = recordBytes(doc());

        m_msgs->answers = {MsgAnswer::Ok};
        bool disabledWhileReading = false;
        connect(&m_main->session(), &RadioSession::progressChanged, this,
                [&] { disabledWhileReading = !action("mnuEditUndo")->isEnabled(); });
        action("mnuReadFromRadio")->trigger();
        QVERIFY(waitForSessionEnd(m_main->session(), 20000));
        QVERIFY(disabledWhileReading);
        QVERIFY(recordBytes(doc()) != work);
        QCOMPARE(action("mnuEditUndo")->text(), QStringLiteral("Undo Read from Radio"));

        action("mnuEditUndo")->trigger();
        QCOMPARE(recordBytes(doc()), work);
        QCOMPARE(doc().fileName(), m_dir->filePath(QStringLiteral("work.dat")));
        QVERIFY(doc().isModified());
        QCOMPARE(grid()->cellText(7, ColRx), QStringLiteral("27.500000"));
        QCOMPARE(action("mnuEditUndo")->text(), QStringLiteral("Undo Change RX of A7"));
    }

    // Whatever the user does with files, the radio and the history, the configuration counts
    // as modified exactly when it differs from the file on disk its title names (an untitled
    // one names none). Random sequences from a fixed seed; a failure names its sequence.
    void modifiedTellsTheTruthAboutTheFile() {
        QTemporaryDir backups; // reads keep backups: not in the user's folder
        qputenv("XDG_DATA_HOME", backups.path().toLocal8Bit());
        VirtualRadio radio;
        QVERIFY2(radio.start(QStringLiteral("meridox")), qPrintable(radio.errorOutput()));
        startOnPort(radio);
        // Thousands of saves: in memory where the system has a place for it.
        QTemporaryDir files(QDir(QStringLiteral("/dev/shm")).exists()
                                ? QStringLiteral("/dev/shm/undo-XXXXXX")
                                : m_dir->filePath(QStringLiteral("files-XXXXXX")));
        QStringList names; // x.dat and y.dat differ in A2; r.dat is made by a save
        for (const char* name : {"x.dat", "y.dat", "r.dat"})
            names << files.filePath(QLatin1String(name));
        const Product& p = doc().product();
        for (int i = 0; i < 2; ++i) {
            QFile f(names[i]);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(encodeRecord(p, doc().config())) > 0);
            doc().setChannelCell(2, ColRx, QStringLiteral("28.2"));
        }
        // y.dat as a text (opened untitled) and a list for Import Channels.
        const QString text = files.filePath(QStringLiteral("y.yaml"));
        const QString list = files.filePath(QStringLiteral("list.csv"));
        for (const auto& [path, bytes] :
             {std::pair{text, exportConfigurationText(p, doc().config())},
              std::pair{list, QByteArray("Group,Channel,RX MHz\nA,1,27.5\nA,3,28.2\n")}}) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) > 0);
        }
        const QStringList values = {QStringLiteral("27.5"), QStringLiteral("28.015"),
                                    QStringLiteral("28.2")};
        // One letter per operation, as often as it is drawn: Edit, Save, sAve as, Open, Read,
        // Undo, redO, New, Initial setting, Fill, sorT, Move, insert (K), Paste, import Channels,
        // Delete, open a Yaml text, compare with the radio (V), eXport as text, export channels
        // (W) (sessions are slow: rare).
        const QByteArray ops("EEEEEESSAAOORUUUUUUZZZZNIFTMKPCDYVXW");
        QRandomGenerator random(20);
        for (int sequence = 0; sequence < 200; ++sequence) {
            // A fresh history on x.dat or y.dat; unsaved work is given up.
            m_dialog->answer = names[random.bounded(2)];
            m_msgs->answers = {MsgAnswer::No};
            action("mnuFileOpen")->trigger();
            QVERIFY(!doc().isUntitled() && !doc().isModified());
            QString steps = QStringLiteral("sequence %1: O %2")
                                .arg(sequence)
                                .arg(QFileInfo(m_dialog->answer).fileName());
            for (int i = 0; i < 8; ++i) {
                const char op = ops[random.bounded(int(ops.size()))];
                m_dialog->answer = names[random.bounded(int(names.size()))];
                steps += QStringLiteral(", %1 %2")
                             .arg(QLatin1Char(op))
                             .arg(QFileInfo(m_dialog->answer).fileName());
                // Questions: OK to save or read; the save question before Open either way.
                const bool saving = random.bounded(2) == 0;
                m_msgs->answers = {op != 'O' && op != 'Y' ? MsgAnswer::Ok
                                   : saving               ? MsgAnswer::Yes
                                                          : MsgAnswer::No};
                if ((op == 'O' || op == 'Y') && saving) steps += QStringLiteral(" saving");
                if (op == 'E') {
                    const int channel = random.bounded(1, 3);
                    const QString value = values[random.bounded(int(values.size()))];
                    doc().setChannelCell(channel, ColRx, value);
                    steps += QStringLiteral(" A%1=%2").arg(channel).arg(value);
                } else if (op == 'R' || op == 'V') {
                    action(op == 'R' ? "mnuReadFromRadio" : "mnuCompareWithRadio")->trigger();
                    // A comparison starts after a short delay.
                    QVERIFY(
                        QTest::qWaitFor([&] { return !m_main->radioCommands().writePending(); }));
                    QVERIFY(waitForSessionEnd(m_main->session(), 20000));
                    if (CompareWindow* w = m_main->radioCommands().compareWindow()) w->close();
                } else if (op == 'F') {
                    doc().fillFrequencies({1, 2},
                                          values[random.bounded(int(values.size()))].toDouble(),
                                          random.bounded(2) * 10.0, 0.0);
                } else if (op == 'T') {
                    doc().sortGroupByFrequency();
                } else if (op == 'M') {
                    const int channel = random.bounded(1, 3);
                    doc().moveChannels({channel}, channel == 1 ? 1 : -1);
                } else if (op == 'K') {
                    doc().insertChannelBefore(random.bounded(1, 3));
                } else if (op == 'P') {
                    pasteChannelRows(doc(), "27.5\n28.2\n", 0, random.bounded(1, 3));
                } else if (op == 'D') {
                    doc().deleteChannels(0, {random.bounded(1, 4)});
                } else if (op == 'X' || op == 'W') {
                    // Exported as text or channels: over the open data file, or beside it.
                    m_dialog->answer = !doc().isUntitled() && random.bounded(2) == 0
                                           ? doc().fileName()
                                           : files.filePath(op == 'X' ? QStringLiteral("out.yaml")
                                                                      : QStringLiteral("out.csv"));
                    steps += QStringLiteral(" to ") + QFileInfo(m_dialog->answer).fileName();
                    action(op == 'X' ? "mnuFileExportText" : "mnuFileExportCsv")->trigger();
                } else if (op == 'C' || op == 'Y') {
                    m_dialog->answer = op == 'C' ? list : text;
                    action(op == 'C' ? "mnuFileImportCsv" : "mnuFileOpen")->trigger();
                } else {
                    const char* actions[] = {"mnuFileSave", "mnuFileSaveAs", "mnuFileOpen",
                                             "mnuEditUndo", "mnuEditRedo",   "mnuFileNew",
                                             "MnuInitial"};
                    action(actions[QByteArray("SAOUZNI").indexOf(op)])->trigger();
                }
                if (doc().isUntitled()) continue;
                QVERIFY2(m_main->windowTitle().contains(QFileInfo(doc().fileName()).fileName()),
                         qPrintable(steps));
                QFile file(doc().fileName());
                QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(steps));
                Document asOnDisk = doc();
                const RadioConfig working = doc().config();
                const auto record = decodeRecord(p, file.readAll());
                QVERIFY2(record, qPrintable(steps + QStringLiteral(": no data file on disk")));
                asOnDisk.openRecord(*record);
                setRecord(asOnDisk, working);
                QVERIFY2(doc().isModified() == asOnDisk.isModified(), qPrintable(steps));
            }
        }
    }

    // Copy and paste by keyboard and mouse: rows chosen by their numbers, another group.
    void copyRowsIntoAnotherGroup() {
        startShown();
        typeInto(4, ColRx, QStringLiteral("28.4"));
        clickNumber(1);
        clickNumber(4, Qt::ControlModifier);
        QCOMPARE(gridWindow()->selectedRows(), (QList<int>{1, 4}));
        QTest::keyClick(grid(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QStringLiteral("Group\tChannel\tRX MHz\tTX MHz\tBUSY\tVOIC\tECHO\tHI-CUT\t"
                                "+10KHz\tNB/ANL\tRB\tScan\n"
                                "A\t1\t28.015000\t28.015000\t0\t0\t1\t0\t0\t0\t0\t1\n"
                                "A\t4\t28.400000\t28.400000\t0\t0\t1\t0\t0\t0\t0\t1\n"));
        auto* groups = gridWindow()->findChild<QComboBox*>(QStringLiteral("Combo6"));
        groups->setCurrentIndex(3);
        emit groups->activated(3);
        clickNumber(20);
        QTest::keyClick(grid(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(grid()->cellText(1, ColRx), QStringLiteral("28.015000"));
        QCOMPARE(grid()->cellText(4, ColRx), QStringLiteral("28.400000"));
        QCOMPARE(doc().config().groupChannelCount[3], int16_t(2));

        // A bad row is named and nothing changes.
        m_msgs->clear();
        QGuiApplication::clipboard()->setText(QStringLiteral("28.1\n31.0\n"));
        const QByteArray before = recordBytes(doc());
        QTest::keyClick(grid(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(recordBytes(doc()), before);
        QCOMPARE(m_msgs->texts().value(0),
                 QStringLiteral("No channels were pasted; the configuration is unchanged."));
        QVERIFY(m_msgs->asked.value(0).informative.startsWith(QLatin1String("Line 2: ")));
    }

    // 200 grid edits stay in the history (well under 8 MB) and all undo back to the start.
    void twoHundredSteps() {
        Document d(meridoxProduct());
        d.initialiseDefaults();
        EditHistory history(d);
        const QByteArray start = recordBytes(d);
        for (int i = 0; i < 200; ++i)
            d.setChannelCell(i % 60 + 1, ColRx, formatMhz(26.0 + 0.01 * i));
        QCOMPARE(history.stack().count(), 200);
        const qsizetype bytes = history.memoryUse();
        qInfo("undo memory for 200 grid edits: %lld bytes", static_cast<long long>(bytes));
        QVERIFY(bytes < 8 * 1024 * 1024);
        for (int i = 0; i < 200; ++i)
            history.undo();
        QCOMPARE(recordBytes(d), start);
    }
};

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"
