// The application shell: start-up settings, the main window's menus, tree, title and file
// commands, and the port, language, model, print-list and About windows.

#include "core/comm/keptfiles.h"
#include "core/config/datafile.h"
#include "core/config/settingsfile.h"
#include "exchange/channelcsv.h"
#include "mainwindowfixture.h"
#include "radiolauncher.h"
#include "recordedit.h"
#include "testsupport.h"
#include "ui/common/filedialogs.h"
#include "ui/common/handlertrap.h"
#include "ui/common/texttables.h"
#include "ui/common/uicommon.h"
#include "ui/editors/channelgridwindow.h"
#include "ui/shell/aboutwindow.h"
#include "ui/shell/application.h"
#include "ui/shell/backupfolder.h"
#include "ui/shell/languagewindow.h"
#include "ui/shell/modelwindow.h"
#include "ui/shell/portwindow.h"
#include "ui/shell/printlistwindow.h"
#include "windowtest.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <memory>

namespace {

// Answers the open and save dialogs from a script and remembers where they started.
class ScriptedDialogs : public FileDialogService {
  public:
    ScriptedDialogs() { setFileDialogService(this); }
    ~ScriptedDialogs() override { setFileDialogService(nullptr); }
    QString openFileName(QWidget*, const QString& start, const QString& filter) override {
        opened << start;
        filters << filter;
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
    QString saveFileName(QWidget*, const QString& start, const QString& filter) override {
        saved << start;
        filters << filter;
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
    QString openFileNameTitled(QWidget* parent, const QString& title, const QString& start,
                               const QString& filter) override {
        titles << title;
        return openFileName(parent, start, filter);
    }
    QString saveFileNameTitled(QWidget* parent, const QString& title, const QString& start,
                               const QString& filter) override {
        titles << title;
        return saveFileName(parent, start, filter);
    }
    int chooseItem(QWidget*, const QString&, const QString& label, const QStringList& items,
                   int current) override {
        choices << QStringLiteral("%1 %2 %3").arg(label, items.join(QLatin1Char(','))).arg(current);
        return choice;
    }
    QStringList answers, opened, saved, filters, choices, titles;
    int choice = -1;
};

QStringList names(std::initializer_list<const char*> list) {
    QStringList out;
    for (const char* s : list)
        out << QString::fromUtf8(s);
    return out;
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Runs f (which asserts nothing) on the modal window of type W that the next exec() shows,
// then makes sure that window is gone, so no test can wait on it. Gives up after 5 s; the test
// asserts on what f recorded once exec() has returned.
template <class W, class F> void whenModal(F f) {
    auto* poll = new QTimer(qApp);
    auto waited = std::make_shared<QElapsedTimer>();
    waited->start();
    QObject::connect(poll, &QTimer::timeout, poll, [poll, waited, f] {
        auto* w = qobject_cast<W*>(QApplication::activeModalWidget());
        if (!w && !waited->hasExpired(5000)) return;
        poll->stop();
        poll->deleteLater();
        if (!w) return;
        const QPointer<W> window(w);
        f(w);
        if (window && window->isVisible()) window->reject();
    });
    poll->start(10);
}

} // namespace

class TestMainWindow : public QObject, MainWindowFixture {
    Q_OBJECT

    PrivateUserFolders m_folders;
    std::unique_ptr<ScriptedDialogs> m_dialogs;

    QStringList openChildren() const {
        QStringList names;
        for (QMdiSubWindow* s : m_main->mdiArea()->subWindowList())
            if (!s->isHidden()) names << s->widget()->objectName();
        return names;
    }
    // A configuration that differs from any file saved so far: a message line.
    void modify() {
        static int edits = 0;
        editRecord(m_main->document(), [&](RadioConfig& c) {
            c.embeddedMessage[0].assign("EDITED" + QByteArray::number(++edits));
        });
        QVERIFY(m_main->document().isModified());
    }

  private slots:
    void init() {
        initFixture();
        m_dialogs = std::make_unique<ScriptedDialogs>();
    }
    void cleanup() {
        m_main.reset();
        m_dialogs.reset();
        cleanupFixture();
    }

    // Start-up ----------------------------------------------------------------------------

    // A handler's error names the control after its objectName, an indexed control without
    // its index; the handler gets the signal's argument, and the program carries on.
    void trappedHandlerNames_data() {
        QTest::addColumn<QString>("objectName");
        QTest::addColumn<QString>("event");
        QTest::addColumn<QString>("named");
        QTest::newRow("menu item") << "mnuFileNew"
                                   << "Click"
                                   << "mnuFileNew_Click";
        QTest::newRow("indexed control") << "Combo1_0"
                                         << "Click"
                                         << "Combo1_Click";
        QTest::newRow("two-digit index") << "Slider1_12"
                                         << "Change"
                                         << "Slider1_Change";
        QTest::newRow("digits in the name stay") << "Command3"
                                                 << "Click"
                                                 << "Command3_Click";
        QTest::newRow("tree") << "TreeView1"
                              << "NodeClick"
                              << "TreeView1_NodeClick";
    }
    void trappedHandlerNames() {
        QFETCH(QString, objectName);
        QFETCH(QString, event);
        QFETCH(QString, named);
        QAction control;
        control.setObjectName(objectName);
        control.setCheckable(true);
        const QByteArray e = event.toLatin1();
        QList<bool> got;
        connectTrapped(&control, &QAction::toggled, this, e.constData(), [&](bool on) {
            got << on;
            throw std::runtime_error("handler failed");
        });
        control.toggle();
        QCOMPARE(got, QList<bool>{true});
        QCOMPARE(m_msgs->texts(), QStringList{named});
    }

    void systemLanguage_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("language");
        QTest::newRow("zh_CN") << "zh_CN" << 2;
        QTest::newRow("zh_TW is not PRC") << "zh_TW" << 1;
        QTest::newRow("en_US") << "en_US" << 1;
        QTest::newRow("C") << "C" << 1;
    }
    void systemLanguage() {
        QFETCH(QString, locale);
        QFETCH(int, language);
        QCOMPARE(systemLanguageFor(QLocale(locale)), language);
    }

    void startupSettings_data() {
        QTest::addColumn<bool>("solvir");
        QTest::addColumn<QString>("before"); // settings file contents, empty: no file
        QTest::addColumn<int>("system");
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("after"); // keys of section "language" afterwards
        QTest::newRow("first run, Chinese system")
            << false << "" << 2 << 2 << 1 << "CurrentLanguage=2 IsFirstRun=0 comPort=1";
        QTest::newRow("first run, English system")
            << false << "" << 1 << 1 << 1 << "CurrentLanguage=1 IsFirstRun=0 comPort=1";
        QTest::newRow("stored language wins after the first run")
            << false << "[language]\nIsFirstRun=0\nCurrentLanguage=2\ncomPort=3\n"
            << 1 << 2 << 3 << "CurrentLanguage=2 IsFirstRun=0 comPort=3";
        QTest::newRow("garbage falls back: first run, port 1")
            << false << "[language]\nIsFirstRun=abc\nCurrentLanguage=7\ncomPort=x\n"
            << 1 << 1 << 1 << "CurrentLanguage=1 IsFirstRun=0 comPort=1";
        QTest::newRow("bad language after first run: system language")
            << false << "[language]\nIsFirstRun=0\nCurrentLanguage=\ncomPort=12\n"
            << 2 << 2 << 1 << "CurrentLanguage=2 IsFirstRun=0 comPort=1";
        QTest::newRow("solvir keeps only the port") << true << "" << 1 << 1 << 1 << "comPort=1";
        QTest::newRow("solvir ignores a stored language")
            << true << "[language]\nCurrentLanguage=2\ncomPort=4\n"
            << 1 << 1 << 4 << "CurrentLanguage=2 comPort=4";
    }
    void startupSettings() {
        QFETCH(bool, solvir);
        QFETCH(QString, before);
        QFETCH(int, system);
        QFETCH(int, language);
        QFETCH(int, port);
        QFETCH(QString, after);
        if (!before.isEmpty()) {
            QDir().mkpath(QFileInfo(settingsFile()).absolutePath());
            writeBytes(settingsFile(), before.toUtf8());
        }
        SetupSettings s(settingsFile());
        const StartupValues v =
            applyStartupSettings(solvir ? solvirProduct() : meridoxProduct(), s, system);
        QCOMPARE(v.language, language);
        QCOMPARE(v.comPort, port);
        QSettings ini(settingsFile(), QSettings::IniFormat);
        ini.beginGroup(QStringLiteral("language"));
        QStringList keys;
        for (const QString& k : ini.childKeys())
            keys << k + QLatin1Char('=') + ini.value(k).toString();
        QCOMPARE(keys.join(QLatin1Char(' ')), after);
    }

    void programFolder() {
        const QDir d(m_dir->path());
        d.mkpath(QStringLiteral("bin"));
        d.mkpath(QStringLiteral("share/meridox"));
        d.mkpath(QStringLiteral("share/solvir"));
        const QString bin = d.filePath(QStringLiteral("bin"));
        // Installed: <prefix>/share/<program>.
        QCOMPARE(programFolderFor(meridoxProduct(), bin),
                 d.filePath(QStringLiteral("share/meridox")));
        // A build tree: meridox's files beside the executable, solvir's in solvir-data.
        writeBytes(d.filePath(QStringLiteral("bin/KORVEN_New.dat")), "x");
        d.mkpath(QStringLiteral("bin/solvir-data"));
        QCOMPARE(programFolderFor(meridoxProduct(), bin), bin);
        QCOMPARE(programFolderFor(solvirProduct(), bin),
                 d.filePath(QStringLiteral("bin/solvir-data")));
    }

    void placement() {
        MainWindow& w = start();
        w.show();
        w.showNormal(); // maximised at first on the small test screen
        w.resize(twipsToPixelsX(9000), twipsToPixelsY(6000));
        QVERIFY(w.close());
        QSettings s(QStringLiteral("MERIDOX"), QStringLiteral("MERIDOX"));
        QCOMPARE(s.value(QStringLiteral("Settings/MainWidth")).toInt(), 9000);
        QCOMPARE(s.value(QStringLiteral("Settings/MainHeight")).toInt(), 6000);

        // Minimized at exit: the stored placement stays.
        s.setValue(QStringLiteral("Settings/MainWidth"), QStringLiteral("12000"));
        s.sync();
        MainWindow& again = start();
        QCOMPARE(again.width(), twipsToPixelsX(12000));
        again.showMinimized();
        QVERIFY(again.close());
        s.sync();
        QCOMPARE(s.value(QStringLiteral("Settings/MainWidth")).toInt(), 12000);
    }

    // Program > Verify after Write and Show changes before writing: off at first, then as the
    // user left them, minimized or not.
    void programChecksRemembered_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("chinese");
        QTest::newRow("verify") << "mnuVerifyAfterWrite"
                                << "&Verify after Write" << QString::fromUtf8("写入后校验(&V)");
        QTest::newRow("show changes")
            << "mnuShowChangesBeforeWriting"
            << "Show c&hanges before writing" << QString::fromUtf8("写入前显示更改(&H)");
    }
    void programChecksRemembered() {
        QFETCH(QString, item);
        QFETCH(QString, english);
        QFETCH(QString, chinese);
        // What the item switches, where it takes effect.
        const auto inEffect = [this, &item] {
            return item == QLatin1String("mnuVerifyAfterWrite")
                       ? m_main->session().verifyAfterWrite()
                       : m_main->radioCommands().showChangesBeforeWriting();
        };
        start();
        QAction* check = action(item);
        QVERIFY(check && check->isCheckable() && !check->isChecked());
        QCOMPARE(check->text(), english);
        QVERIFY(!inEffect());
        check->trigger();
        QVERIFY(inEffect());
        m_main->show();
        QVERIFY(m_main->close());

        start();
        check = action(item);
        QVERIFY(check->isChecked());
        QVERIFY(inEffect());
        setCurrentLanguage(LanguageChinese);
        m_main->retranslate();
        QCOMPARE(check->text(), chinese);
        check->trigger();
        m_main->showMinimized();
        QVERIFY(m_main->close());
        start();
        QVERIFY(!action(item)->isChecked());
        QVERIFY(!inEffect());
    }

    // Main window -------------------------------------------------------------------------

    void title_data() {
        QTest::addColumn<bool>("solvir");
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("title");
        QTest::newRow("meridox en")
            << false << 1 << "MERIDOX[25.605000 - 30.115000 MHz][File Name:new.dat]";
        QTest::newRow("meridox zh")
            << false << 2 << "MERIDOX[25.605000 - 30.115000 MHz][文件名:new.dat]";
        QTest::newRow("solvir en")
            << true << 1 << "SOLVIR[SOLVIR:25.615000 - 30.105000 MHz][File Name:new.dat]";
    }
    void title() {
        QFETCH(bool, solvir);
        QFETCH(int, language);
        QFETCH(QString, title);
        setCurrentLanguage(language);
        MainWindow& w = start(solvir ? solvirProduct() : meridoxProduct());
        QCOMPARE(w.windowTitle(), title);
        QCOMPARE(w.findChild<QLabel*>(QStringLiteral("Panel3"))->text(),
                 language == 1 ? QStringLiteral("COM1") : QString::fromUtf8("通信口1"));
    }

    void menuCaptions_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("chinese");
        QTest::newRow("file menu") << "mnuFile"
                                   << "&File"
                                   << "文件&F";
        QTest::newRow("edit menu") << "mnuEdit"
                                   << "&Edit"
                                   << "编辑(&E)";
        QTest::newRow("read") << "mnuReadFromRadio"
                              << "&Read from Radio"
                              << "从对讲机读取数据(&R)";
        QTest::newRow("local information") << "mnuEmbeddedMsg"
                                           << "Local &Information"
                                           << "本机信息(&I)";
        QTest::newRow("about") << "mnuHelpAbout"
                               << "&About MERIDOX"
                               << "关于 MERIDOX(&A)";
        QTest::newRow("backup folder") << "mnuHelpBackupFolder"
                                       << "Open &Backup Folder"
                                       << "打开备份文件夹(&B)";
    }

    // Help > Open Backup Folder makes the folder when needed and hands it to the desktop; when
    // the desktop cannot show it, the user is told where it is.
    void openBackupFolderItem_data() {
        QTest::addColumn<bool>("desktopShowsIt");
        QTest::newRow("shown") << true;
        QTest::newRow("no file manager") << false;
    }
    void openBackupFolderItem() {
        QFETCH(bool, desktopShowsIt);
        QTemporaryDir data;
        const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
        QList<QUrl> opened;
        setUrlOpener([&](const QUrl& url) {
            opened << url;
            return desktopShowsIt;
        });
        start();
        // Placed before About.
        QList<QAction*> items = action(QStringLiteral("mnuHelp"))->menu()->actions();
        QCOMPARE(items.indexOf(action(QStringLiteral("mnuHelpBackupFolder"))) + 1,
                 items.indexOf(action(QStringLiteral("mnuHelpAbout"))));
        const QString folder = backupFolder(meridoxProduct()).path();
        QVERIFY(folder.startsWith(data.path()));
        QVERIFY(!QFileInfo::exists(folder));
        action(QStringLiteral("mnuHelpBackupFolder"))->trigger();
        setUrlOpener(nullptr);
        qputenv("XDG_DATA_HOME", dataHome);
        QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(folder)});
        QVERIFY(QFileInfo(folder).isDir());
        if (desktopShowsIt) {
            QVERIFY(m_msgs->asked.isEmpty());
        } else {
            QCOMPARE(m_msgs->asked.size(), 1);
            QCOMPARE(m_msgs->asked.first().informative, folder);
        }
    }
    void menuCaptions() {
        QFETCH(QString, item);
        QFETCH(QString, english);
        QFETCH(QString, chinese);
        start();
        QCOMPARE(action(item)->text(), english);
        setCurrentLanguage(LanguageChinese);
        m_main->retranslate();
        QCOMPARE(action(item)->text(), chinese);
        // Every table answers empty for language 0.
        QCOMPARE(menuCaption(item, 0), QString());
    }

    // The About item and its button name the running product in both languages.
    void aboutNamesProduct_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("tip");
        QTest::newRow("en") << 1 << "&About SOLVIR"
                            << "About SOLVIR";
        QTest::newRow("zh") << 2 << "关于 SOLVIR(&A)"
                            << "关于 SOLVIR";
    }
    void aboutNamesProduct() {
        QFETCH(int, language);
        QFETCH(QString, caption);
        QFETCH(QString, tip);
        setCurrentLanguage(language);
        start(solvirProduct());
        QCOMPARE(action(QStringLiteral("mnuHelpAbout"))->text(), caption);
        QCOMPARE(m_main->findChild<QAction*>(QStringLiteral("About"))->toolTip(), tip);
    }

    // Each toolbar button has a picture of its own (print is a printer, not a radio).
    void toolbarPicturesDiffer() {
        start();
        QList<QImage> pictures;
        for (QAction* a : m_main->findChild<QToolBar*>(QStringLiteral("tbToolBar"))->actions()) {
            if (a->isSeparator()) continue;
            const QImage picture = a->icon().pixmap(24, 24).toImage();
            QVERIFY2(!pictures.contains(picture), qPrintable(a->objectName()));
            pictures << picture;
        }
        QCOMPARE(pictures.size(), 8);
    }

    void menuVisibility() {
        start().show();
        const QStringList hidden =
            names({"mnuModel", "mnuKeyAssignm", "mnuScanInfo", "mnuDTMF", "mnuFleetSync",
                   "mnuTestFre", "mnuTest", "mnuTools", "mnuWindowTileVertical",
                   "mnuWindowTileHorizontal", "mnuWindowArrangeIcons", "mnuHelpTopic"});
        for (const QString& name : menuItemNames()) {
            QAction* a = action(name);
            QVERIFY2(a, qPrintable(name));
            QCOMPARE(a->isVisible(), !hidden.contains(name));
        }
        // A language change keeps them hidden.
        setCurrentLanguage(LanguageChinese);
        m_main->retranslate();
        QVERIFY(!action(QStringLiteral("mnuTools"))->isVisible());
        // Toolbar keys with their tool tips, the print button included.
        auto* bar = m_main->findChild<QToolBar*>(QStringLiteral("tbToolBar"));
        QStringList keys;
        for (QAction* a : bar->actions())
            if (!a->isSeparator()) keys << a->objectName();
        QCOMPARE(keys.join(QLatin1Char(',')),
                 QString::fromUtf8("新建,打开,保存,打印,ReadRadio,CommSet,WriteRadio,About"));
        QCOMPARE(bar->actions().at(0)->toolTip(), QString::fromUtf8("新建"));
        QCOMPARE(action(QStringLiteral("mnuFileNew"))->shortcut(),
                 QKeySequence(QStringLiteral("Ctrl+N")));
    }

    // Started with --service, the hidden items are offered and each opens its window or goes to
    // the radio (the same start hides them: menuVisibility).
    void serviceModeItems_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("opens"); // the window's name; "radio": a radio exchange
        QTest::newRow("Key Assignment") << "mnuKeyAssignm"
                                        << "FrmKeyAssignm";
        QTest::newRow("Scan Information") << "mnuScanInfo"
                                          << "FrmScanInfo";
        QTest::newRow("DTMF") << "mnuDTMF"
                              << "FrmDTMF";
        QTest::newRow("Fleet Sync") << "mnuFleetSync"
                                    << "FrmFleetSync";
        QTest::newRow("Test FreQuence") << "mnuTestFre"
                                        << "FrmTestFre";
        QTest::newRow("Model Information") << "mnuModelInfo"
                                           << "FrmModelInfo";
        QTest::newRow("Set Radio Information") << "mnuSetRadioInfo"
                                               << "FrmRadioInfoSet";
        QTest::newRow("Radio Information") << "mnuRadioInfo"
                                           << "radio";
        QTest::newRow("Test Mode") << "mnuTest"
                                   << "FrmTestMode";
    }
    void serviceModeItems() {
        QFETCH(QString, item);
        QFETCH(QString, opens);
        VirtualRadio radio;
        QVERIFY2(radio.start(QStringLiteral("meridox")), qPrintable(radio.errorOutput()));
        pinComPort(radio.linkPath());
        start(meridoxProduct(), LanguageEnglish, true).show();
        for (const char* shown : {"mnuModel", "mnuTools"})
            QVERIFY(action(QLatin1String(shown))->isVisible());
        QAction* a = action(item);
        QVERIFY(a->isVisible() && a->isEnabled());
        QString modal;
        if (opens == QLatin1String("FrmModelInfo"))
            whenModal<ModelWindow>([&](ModelWindow* w) { modal = w->objectName(); });
        a->trigger();
        const auto opened = [&] {
            if (opens == QLatin1String("radio")) return !radio.log().isEmpty();
            if (openChildren().contains(opens) || modal == opens) return true;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->objectName() == opens && w->isVisible()) return true;
            return false;
        };
        QVERIFY(QTest::qWaitFor(opened, 10000));
        QVERIFY(m_msgs->asked.isEmpty());
    }

    void treeNodes() {
        start().show();
        auto* tree = m_main->findChild<QTreeWidget*>(QStringLiteral("TreeView1"));
        QTreeWidgetItem* root = tree->topLevelItem(0);
        QCOMPARE(root->text(0), QStringLiteral("MERIDOX"));
        QVERIFY(root->isExpanded());
        QStringList nodes;
        for (int i = 0; i < root->childCount(); ++i)
            nodes << root->child(i)->data(0, Qt::UserRole).toString() + QLatin1Char('=') +
                         root->child(i)->text(0);
        QCOMPARE(nodes, names({"N1=&Channel Information", "N2=&Option Features",
                               "N8=Local &Information", "N9=Embedded &Message"}));

        const auto click = [&](int i) {
            const QRect r = tree->visualItemRect(root->child(i));
            QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, r.center());
        };
        QCOMPARE(openChildren(), names({"frmCommChInfo"}));
        QWidget* grid = m_main->windows().find(ChildWindow::ChannelGrid);
        click(1);
        click(2);
        click(0); // already open: brought to the front, not opened twice
        QCOMPARE(openChildren(), names({"frmCommChInfo", "FrmOptFeatures", "FrmEmbMsg"}));
        QCOMPARE(m_main->mdiArea()->activeSubWindow()->widget(), grid);

        // N9 reads the radio: without a device for COM1 the port cannot be opened.
        pinComPort(path("no-such-device"));
        click(3);
        QCOMPARE(m_msgs->texts(), QStringList(messageText(Msg::PortOpenError)));

        // The pane's close button hides it and unchecks its menu item.
        m_main->findChild<QToolBar*>(QStringLiteral("Toolbar1"))->actions().at(0)->trigger();
        QVERIFY(!tree->isVisible());
        QVERIFY(!action(QStringLiteral("mnuTreeView"))->isChecked());
        action(QStringLiteral("mnuCloseAll"))->trigger();
        QCOMPARE(openChildren(), QStringList());
    }

    void splitterMinimum() {
        start().show();
        QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
        auto* pane = m_main->findChild<QTreeWidget*>(QStringLiteral("TreeView1"))->parentWidget();
        auto* splitter = m_main->findChild<QPushButton*>(QStringLiteral("CommandMove"));
        const int before = pane->width();
        const auto drag = [&](int dx) {
            const QPoint c = splitter->rect().center();
            QTest::mousePress(splitter, Qt::LeftButton, {}, c);
            QTest::mouseMove(splitter, c + QPoint(dx, 0));
            QTest::mouseRelease(splitter, Qt::LeftButton, {}, c + QPoint(dx, 0));
        };
        drag(30);
        QCOMPARE(pane->width(), before + 30);
        drag(-(before + 30 - twipsToPixelsX(300) + 1)); // one pixel below the minimum
        QCOMPARE(pane->width(), before + 30);
    }

    void resizeKeepsSessionTimers() {
        start().show();
        m_main->session().restartReplyTimer();
        m_main->resize(m_main->width() - 50, m_main->height() - 50);
        QApplication::processEvents();
        QVERIFY(m_main->session().replyTimerActive());
        m_main->session().stopReplyTimer();
    }

    void languageChangeOnActivation() {
        MainWindow& w = start(meridoxProduct(), LanguageChinese);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.windows().show(ChildWindow::OptionFeatures);
        const QPointer<QWidget> oldGrid = w.windows().find(ChildWindow::ChannelGrid);
        int offered = 0;
        whenModal<LanguageWindow>([&offered](LanguageWindow* d) {
            auto* combo = d->findChild<QComboBox*>(QStringLiteral("Combo1"));
            offered = combo->count();
            combo->setCurrentIndex(1);
            QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("Command1")),
                              Qt::LeftButton);
        });
        action(QStringLiteral("mnuLanguage"))->trigger();
        QCOMPARE(offered, 2);
        QCOMPARE(currentLanguage(), int(LanguageChinese));
        QCOMPARE(w.displayedLanguage(), int(LanguageChinese));
        QCOMPARE(action(QStringLiteral("mnuFile"))->text(), QString::fromUtf8("文件&F"));
        QCOMPARE(openChildren(), names({"frmCommChInfo"}));
        QVERIFY(oldGrid.isNull()); // closed; the grid shown is a new one
        QCOMPARE(QSettings(settingsFile(), QSettings::IniFormat)
                     .value(QStringLiteral("language/CurrentLanguage"))
                     .toInt(),
                 2);

        // A language set elsewhere shows when the window becomes active again.
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        setCurrentLanguage(LanguageEnglish);
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTRY_COMPARE(action(QStringLiteral("mnuFile"))->text(), QStringLiteral("&File"));
    }

    void solvirLanguageLastsUntilExit() {
        start(solvirProduct(), LanguageChinese).show();
        whenModal<LanguageWindow>([](LanguageWindow* d) {
            d->findChild<QComboBox*>(QStringLiteral("Combo1"))->setCurrentIndex(1);
            QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("Command1")),
                              Qt::LeftButton);
        });
        action(QStringLiteral("mnuLanguage"))->trigger();
        QCOMPARE(currentLanguage(), int(LanguageChinese));
        QCOMPARE(action(QStringLiteral("mnuFile"))->text(), QString::fromUtf8("文件&F"));
        QVERIFY(!QSettings(settingsFile(), QSettings::IniFormat)
                     .contains(QStringLiteral("language/CurrentLanguage")));
    }

    void languageWindowOffers_data() {
        QTest::addColumn<int>("system");
        QTest::addColumn<int>("current");
        QTest::addColumn<QString>("entries");
        QTest::newRow("English system") << 1 << 1 << "English";
        QTest::newRow("Chinese system") << 2 << 1 << "English,Chinese";
        QTest::newRow("Chinese system, Chinese shown") << 2 << 2 << "英语,中文";
    }
    void languageWindowOffers() {
        QFETCH(int, system);
        QFETCH(int, current);
        QFETCH(QString, entries);
        setCurrentLanguage(current);
        LanguageWindow w(system, nullptr);
        auto* combo = w.findChild<QComboBox*>(QStringLiteral("Combo1"));
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        QCOMPARE(items.join(QLatin1Char(',')), entries);
        QCOMPARE(combo->currentIndex(), current - 1);
        QVERIFY(!combo->isEditable());
    }

    void listEntries_data() {
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("byText");
        QTest::addColumn<QString>("byIndex");
        const QStringList abc = names({"A", "B", "C"});
        QTest::newRow("found") << abc << "B" << 2 << "B"
                               << "C";
        QTest::newRow("missing: first entry") << abc << "b" << 3 << "A"
                                              << "A";
        QTest::newRow("negative index") << abc << "" << -1 << "A"
                                        << "A";
        QTest::newRow("empty list") << QStringList() << "A" << 0 << ""
                                    << "";
    }
    void listEntries() {
        QFETCH(QStringList, list);
        QFETCH(QString, text);
        QFETCH(int, index);
        QComboBox combo;
        combo.addItems(list);
        QTEST(ListEntry::lookup(&combo, text), "byText");
        QTEST(ListEntry::byIndex(&combo, index), "byIndex");
    }

    // Port window ---------------------------------------------------------------------------

    void portWindow() {
        const QString present1 = path("dev1"), present3 = path("dev3"), later2 = path("dev2");
        writeBytes(present1, "");
        writeBytes(present3, "");
        {
            QSettings s(settingsFile(), QSettings::IniFormat);
            for (int n = 1; n <= 8; ++n)
                s.setValue(QStringLiteral("ports/COM%1").arg(n), path("dev") + QString::number(n));
            s.setValue(QStringLiteral("language/comPort"), QStringLiteral("3"));
        }
        SetupSettings settings(settingsFile());
        const auto option = [](QWidget& w, int i) {
            return w.findChild<QRadioButton*>(QStringLiteral("Option1_%1").arg(i));
        };
        {
            PortWindow w(3, settings);
            QString enabled;
            for (int i = 0; i < 8; ++i)
                enabled += option(w, i)->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
            QCOMPARE(enabled, QStringLiteral("10100000"));
            QCOMPARE(option(w, 0)->text(), QStringLiteral("COM1"));
            QVERIFY(option(w, 2)->isChecked());
            QCOMPARE(w.findChild<QLabel*>(QStringLiteral("lblDevice_2"))->text(), present3);
            // A device that appears is offered within a second; a selected one that goes away
            // stays selected.
            writeBytes(later2, "");
            QFile::remove(present3);
            QTRY_VERIFY_WITH_TIMEOUT(option(w, 1)->isEnabled(), 2500);
            QVERIFY(!option(w, 2)->isEnabled());
            QVERIFY(option(w, 2)->isChecked());
            // Cancel writes nothing.
            const QByteArray before = fileBytes(settingsFile());
            QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("Command2")),
                              Qt::LeftButton);
            QCOMPARE(fileBytes(settingsFile()), before);
        }
        PortWindow w(3, settings);
        option(w, 1)->setChecked(true);
        QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(SetupSettings(settingsFile()).comPort(), 2);
        QVERIFY(!w.refreshTimer().isActive());
    }

    void radioCommandsUseChosenPort() {
        VirtualRadio radio;
        QVERIFY2(radio.start(QStringLiteral("meridox")), qPrintable(radio.errorOutput()));
        pinComPort(radio.linkPath());
        start().show();
        m_msgs->answers = {MsgAnswer::Cancel}; // at "Read data from radio."
        m_main->findChild<QAction*>(QStringLiteral("ReadRadio"))->trigger();
        QCOMPARE(m_main->session().portName(), radio.linkPath());
        QCOMPARE(m_msgs->texts(), QStringList(messageText(Msg::ReadConfirm)));
        QVERIFY(!m_main->session().busy());

        // A read replaces the configuration: editors closed, the grid open again, the title.
        m_main->windows().show(ChildWindow::OptionFeatures);
        m_main->document().fileOpened(path("before.dat"));
        m_msgs->clear();
        m_msgs->answers = {MsgAnswer::Ok};
        action(QStringLiteral("mnuReadFromRadio"))->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(m_msgs->texts().contains(messageText(Msg::ReadCompleted)), 15000);
        QTRY_VERIFY(!m_main->session().busy());
        QCOMPARE(openChildren(), QStringList(QStringLiteral("frmCommChInfo")));
        QVERIFY(m_main->windowTitle().endsWith(QLatin1String("[File Name:new.dat]")));
    }

    // The channel grid opens at its designed 11500 x 9500 twips (at 15 twips per pixel) with
    // about twenty rows in sight, however often the child windows are cascaded.
    void channelGridDesignedSize_data() {
        QTest::addColumn<int>("language");
        QTest::newRow("en") << 1;
        QTest::newRow("zh") << 2;
    }
    void channelGridDesignedSize() {
        QFETCH(int, language);
        setCurrentLanguage(language);
        start().show();
        QCOMPARE(twipsToPixelsX(1500), 100); // the screen these sizes are written for
        action(QStringLiteral("mnuOptFeature"))->trigger();
        action(QStringLiteral("mnuWindowCascade"))->trigger();
        QWidget* grid = m_main->windows().find(ChildWindow::ChannelGrid);
        // Its designed size; on this 800 x 800 screen it is narrowed to the area by a pixel.
        QCOMPARE(grid->sizeHint(), QSize(767, 633));
        QCOMPARE(grid->height(), 633);
        auto* table = grid->findChild<QTableWidget*>(QStringLiteral("MSFlexGrid1"));
        const int shown = table->rowAt(table->viewport()->height() - 1) - table->rowAt(0) + 1;
        QVERIFY2(shown >= 19, qPrintable(QString::number(shown)));
    }

    // Every child window shows all of its content in the first main window: on a screen that
    // holds the channel grid whole (tst_mainwindow_largescreen) every window fits the window
    // area; on a smaller screen what does not fit is reached by scrolling the area.
    void childWindowsFit_data() {
        QTest::addColumn<bool>("solvir");
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("window");
        for (const bool solvir : {false, true})
            for (const int language : {1, 2})
                for (const ChildWindow window :
                     {ChildWindow::ChannelGrid, ChildWindow::OptionFeatures,
                      ChildWindow::MessageLines})
                    QTest::addRow("%s %s %s", solvir ? "solvir" : "meridox",
                                  language == 1 ? "en" : "zh",
                                  qPrintable(ChildWindowArea::objectNameOf(window)))
                        << solvir << language << int(window);
    }
    void childWindowsFit() {
        QFETCH(bool, solvir);
        QFETCH(int, language);
        QFETCH(int, window);
        setCurrentLanguage(language);
        start(solvir ? solvirProduct() : meridoxProduct()).show();
        QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
        QWidget* w = m_main->windows().show(ChildWindow(window));
        auto* frame = qobject_cast<QMdiSubWindow*>(w->parentWidget());
        QMdiArea* area = m_main->mdiArea();
        QTRY_COMPARE(area->activeSubWindow(), frame);
        // The window is not squeezed below what its content needs.
        QVERIFY(w->width() >= w->minimumSizeHint().width());
        QVERIFY(w->height() >= w->minimumSizeHint().height());
        const QRect view = area->viewport()->rect();
        const QRect g = frame->geometry();
        if (!m_main->isMaximized()) {
            QVERIFY(view.contains(g));
        } else {
            // What lies beyond the visible area can be scrolled to.
            QVERIFY(g.left() >= 0 && g.top() >= 0);
            QVERIFY(g.right() <= view.right() + area->horizontalScrollBar()->maximum());
            QVERIFY(g.bottom() <= view.bottom() + area->verticalScrollBar()->maximum());
        }
    }

    // A write started while a frequency is still being typed into the grid sends that value.
    void writeSendsValueStillInEditor() {
        VirtualRadio radio;
        QVERIFY2(radio.start(QStringLiteral("meridox")), qPrintable(radio.errorOutput()));
        pinComPort(radio.linkPath());
        start().show();
        m_main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_main.get()));
        auto* editor = m_main->findChild<QLineEdit*>(QStringLiteral("Text1"));
        QVERIFY(editor);
        QTRY_VERIFY(editor->isVisible() && editor->hasFocus());
        editor->selectAll();
        QTest::keyClicks(editor, QStringLiteral("27.5"));
        m_msgs->clear();
        m_msgs->answers = {MsgAnswer::Ok};
        m_main->findChild<QAction*>(QStringLiteral("WriteRadio"))->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(m_msgs->texts().contains(messageText(Msg::WriteCompleted)), 15000);
        QCOMPARE(m_main->document().config().entry(0, 1).rxFreq.raw(), QByteArray("27500000"));
        QTRY_VERIFY(radio.dump().size() == 8192);
        QCOMPARE(radio.dump().mid(0x0010, 3).toHex(), QByteArray("275000"));
    }

    // New, Initial Setting ----------------------------------------------------------------

    void newAsksToolbarDoesNot() {
        Document t(meridoxProduct());
        t.initialiseDefaults();
        editRecord(t, [&](RadioConfig& c) { c.embeddedMessage[1].assign(QByteArray("TEMPLATE")); });
        QVERIFY(writeRecordFile(meridoxProduct(), t.config(), path("KORVEN_New.dat")));
        start().show();
        const auto line2 = [this] { return m_main->document().config().embeddedMessage[1].text(); };
        QVERIFY(line2().startsWith(QLatin1String("TEMPLATE")));

        // New names the configuration as at start-up: the open file is no longer its file.
        QVERIFY(writeRecordFile(meridoxProduct(), RadioConfig(m_main->document().config()),
                                path("a.dat")));
        m_dialogs->answers = {path("a.dat")};
        action(QStringLiteral("mnuFileOpen"))->trigger();
        editRecord(m_main->document(),
                   [&](RadioConfig& c) { c.embeddedMessage[1].assign(QByteArray("EDITED")); });

        m_msgs->answers = {MsgAnswer::Cancel};
        action(QStringLiteral("mnuFileNew"))->trigger();
        QCOMPARE(m_msgs->texts(), QStringList(QStringLiteral("All data will be cleared.")));
        QVERIFY(line2().startsWith(QLatin1String("EDITED")));

        m_msgs->answers = {MsgAnswer::Ok};
        action(QStringLiteral("mnuFileNew"))->trigger();
        QVERIFY(line2().startsWith(QLatin1String("TEMPLATE")));
        QVERIFY(m_main->windowTitle().endsWith(QLatin1String("[File Name:new.dat]")));
        QVERIFY(m_main->document().isUntitled() && !m_main->document().isModified());

        editRecord(m_main->document(),
                   [&](RadioConfig& c) { c.embeddedMessage[1].assign(QByteArray("EDITED")); });
        m_msgs->clear();
        m_main->findChild<QAction*>(QString::fromUtf8("新建"))->trigger();
        QVERIFY(m_msgs->asked.isEmpty());
        QVERIFY(line2().startsWith(QLatin1String("TEMPLATE")));
        QCOMPARE(openChildren(), names({"frmCommChInfo"}));

        // Initial Setting: the factory file, no question; without it nothing changes.
        editRecord(t, [&](RadioConfig& c) { c.embeddedMessage[1].assign(QByteArray("FACTORY")); });
        QVERIFY(writeRecordFile(meridoxProduct(), t.config(), path("KORVEN.dat")));
        action(QStringLiteral("MnuInitial"))->trigger();
        QVERIFY(line2().startsWith(QLatin1String("FACTORY")));
        QFile::remove(path("KORVEN.dat"));
        editRecord(m_main->document(),
                   [&](RadioConfig& c) { c.embeddedMessage[1].assign(QByteArray("EDITED")); });
        action(QStringLiteral("MnuInitial"))->trigger();
        QVERIFY(line2().startsWith(QLatin1String("EDITED")));
        QVERIFY(m_msgs->asked.isEmpty());
    }

    // File commands -----------------------------------------------------------------------

    void open_data() {
        QTest::addColumn<QByteArray>("version"); // empty: a file too short to hold a record
        QTest::addColumn<bool>("opens");
        QTest::addColumn<QString>("message");
        QTest::newRow("V101 opens") << QByteArray("V101") << true << "";
        QTest::newRow("V200 refused") << QByteArray("V200") << false
                                      << "Version is wrong.\r\nDataFile version is "
                                         "V2.00\r\nProgramming software version is V1.0X";
        QTest::newRow("ABCD refused") << QByteArray("ABCD") << false
                                      << "Version is wrong.\r\nDataFile version is "
                                         "Unknown\r\nProgramming software version is V1.0X";
        QTest::newRow("unreadable") << QByteArray() << false << "file error.";
    }
    void open() {
        QFETCH(QByteArray, version);
        QFETCH(bool, opens);
        QFETCH(QString, message);
        start().show();
        Document other(meridoxProduct());
        other.initialiseDefaults();
        editRecord(other,
                   [&](RadioConfig& c) { c.embeddedMessage[0].assign(QByteArray("FROMFILE")); });
        QByteArray bytes = encodeRecord(meridoxProduct(), other.config());
        if (version.isEmpty())
            bytes.truncate(100);
        else
            bytes.replace(0, 4, version);
        writeBytes(path("x.dat"), bytes);
        const QString titleBefore = m_main->windowTitle();

        m_dialogs->answers = {path("x.dat")};
        action(QStringLiteral("mnuFileOpen"))->trigger();
        QCOMPARE(m_dialogs->filters, QStringList(QStringLiteral(
                                         "Data File or Configuration Text (*.dat *.yaml *.yml);;"
                                         "Data File (*.dat);;Configuration Text (*.yaml *.yml)")));
        QCOMPARE(m_msgs->texts(), message.isEmpty() ? QStringList() : QStringList(message));
        Document& doc = m_main->document();
        QCOMPARE(doc.config().embeddedMessage[0].text().startsWith(QLatin1String("FROMFILE")),
                 opens);
        QCOMPARE(doc.isUntitled(), !opens);
        QVERIFY(!doc.isModified());
        QCOMPARE(m_main->windowTitle(),
                 opens ? QStringLiteral("MERIDOX[25.605000 - 30.115000 MHz][File Name:x.dat]")
                       : titleBefore);
        QCOMPARE(openChildren(), names({"frmCommChInfo"}));
    }

    void openAsksToSave_data() {
        QTest::addColumn<bool>("untitled");
        QTest::addColumn<MsgAnswer>("answer");
        QTest::addColumn<QString>(
            "saveAsAnswer"); // the Save As dialog's answer, "-" when not shown
        QTest::addColumn<bool>("opened");
        QTest::newRow("cancel") << true << MsgAnswer::Cancel << "-" << false;
        QTest::newRow("no") << true << MsgAnswer::No << "-" << true;
        QTest::newRow("yes, untitled: Save As") << true << MsgAnswer::Yes << "saved.dat" << true;
        QTest::newRow("yes, untitled, Save As cancelled") << true << MsgAnswer::Yes << "" << false;
        QTest::newRow("yes, titled: saved in place") << false << MsgAnswer::Yes << "-" << true;
    }
    void openAsksToSave() {
        QFETCH(bool, untitled);
        QFETCH(MsgAnswer, answer);
        QFETCH(QString, saveAsAnswer);
        QFETCH(bool, opened);
        start().show();
        Document& doc = m_main->document();
        QVERIFY(writeRecordFile(meridoxProduct(), doc.config(), path("other.dat")));
        if (!untitled) {
            doc.fileOpened(path("mine.dat"));
        }
        modify();
        m_msgs->answers = {answer};
        if (saveAsAnswer != QLatin1String("-"))
            m_dialogs->answers << (saveAsAnswer.isEmpty() ? QString() : path("saved.dat"));
        m_dialogs->answers << path("other.dat");
        action(QStringLiteral("mnuFileOpen"))->trigger();
        QCOMPARE(m_msgs->texts().value(0), QStringLiteral("File has been modify,save it now?"));
        QCOMPARE(m_dialogs->saved.size(), saveAsAnswer == QLatin1String("-") ? 0 : 1);
        QCOMPARE(QFileInfo(doc.fileName()).fileName(),
                 opened ? QStringLiteral("other.dat") : QFileInfo(doc.fileName()).fileName());
        QCOMPARE(m_dialogs->opened.size(), opened ? 1 : 0);
        // An untitled configuration is never written to "new.dat" in the working folder.
        QVERIFY(!QFile::exists(QDir::current().filePath(QStringLiteral("new.dat"))));
        if (answer == MsgAnswer::Yes && opened)
            QCOMPARE(fileBytes(untitled ? path("saved.dat") : path("mine.dat")).size(), 15245);
    }

    void save() {
        start().show();
        Document& doc = m_main->document();
        // Untitled: Save goes to Save As, which starts at the current name.
        m_dialogs->answers = {path("a.dat")};
        action(QStringLiteral("mnuFileSave"))->trigger();
        QCOMPARE(m_dialogs->saved, QStringList(QStringLiteral("new.dat")));
        QCOMPARE(fileBytes(path("a.dat")).size(), 15245);
        QVERIFY(!doc.isUntitled());
        QCOMPARE(m_main->windowTitle(),
                 QStringLiteral("MERIDOX[25.605000 - 30.115000 MHz][File Name:a.dat]"));
        QVERIFY(m_msgs->asked.isEmpty());

        // Titled: the overwrite question; Cancel writes nothing.
        modify();
        m_msgs->answers = {MsgAnswer::Cancel};
        action(QStringLiteral("mnuFileSave"))->trigger();
        QCOMPARE(m_msgs->texts(),
                 QStringList(QStringLiteral("\"a.dat\"file will be Overwrite,Continue?")));
        QCOMPARE(m_msgs->asked.at(0).icon, MsgIcon::Question);
        QVERIFY(doc.isModified());
        m_msgs->answers = {MsgAnswer::Ok};
        action(QStringLiteral("mnuFileSave"))->trigger();
        QVERIFY(!doc.isModified());
        QVERIFY(fileBytes(path("a.dat")).contains("EDITED"));

        // Save As starts at the current file; a cancelled dialog changes nothing.
        action(QStringLiteral("mnuFileSaveAs"))->trigger();
        QCOMPARE(m_dialogs->saved.last(), path("a.dat"));
        QCOMPARE(doc.fileName(), path("a.dat"));

        // A failed save keeps the name and the modified state, so nothing is lost later.
        modify();
        m_msgs->clear();
        m_dialogs->answers = {path("missing/b.dat")};
        action(QStringLiteral("mnuFileSaveAs"))->trigger();
        QCOMPARE(m_msgs->texts(), QStringList(QStringLiteral("file error.")));
        QCOMPARE(doc.fileName(), path("a.dat"));
        QVERIFY(doc.isModified());
    }

    // Every save stores what an editor still holds, though the button or item takes no focus.
    void saveCommitsValueStillInEditor_data() {
        QTest::addColumn<QString>("editor"); // "grid" or "message"
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("untitled");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("grid, toolbar Save, untitled")
            << "grid"
            << "保存" << true << "27.5" << QByteArray("27500000");
        QTest::newRow("grid, toolbar Save, titled")
            << "grid"
            << "保存" << false << "27.5" << QByteArray("27500000");
        QTest::newRow("grid, menu Save")
            << "grid"
            << "mnuFileSave" << false << "26" << QByteArray("26000000");
        QTest::newRow("grid, menu Save As")
            << "grid"
            << "mnuFileSaveAs" << false << "29.99" << QByteArray("29990000");
        // A value out of the band is refused (with its warning) and the stored one is saved.
        QTest::newRow("grid, refused value, toolbar Save")
            << "grid"
            << "保存" << false << "31" << QByteArray("28015000");
        QTest::newRow("message line, toolbar Save")
            << "message"
            << "保存" << false << "TYPED LINE" << QByteArray("TYPED LINE");
        QTest::newRow("message line, menu Save As")
            << "message"
            << "mnuFileSaveAs" << true << "TYPED LINE" << QByteArray("TYPED LINE");
    }
    void saveCommitsValueStillInEditor() {
        QFETCH(QString, editor);
        QFETCH(QString, command);
        QFETCH(bool, untitled);
        QFETCH(QString, typed);
        QFETCH(QByteArray, stored);
        start().show();
        m_main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_main.get()));
        Document& doc = m_main->document();
        if (!untitled) {
            doc.fileOpened(path("mine.dat"));
        }
        QLineEdit* box = nullptr;
        if (editor == QLatin1String("grid")) {
            box = m_main->findChild<QLineEdit*>(QStringLiteral("Text1"));
            QTRY_VERIFY(box && box->isVisible() && box->hasFocus());
        } else {
            box = m_main->windows()
                      .show(ChildWindow::MessageLines)
                      ->findChild<QLineEdit*>(QStringLiteral("Text1_0"));
            box->setFocus();
            QTRY_VERIFY(box->hasFocus());
        }
        box->selectAll();
        QTest::keyClicks(box, typed);
        m_msgs->answers = {MsgAnswer::Ok, MsgAnswer::Ok};
        m_dialogs->answers = {path("mine.dat")};
        m_main->findChild<QAction*>(command)->trigger();
        QVERIFY(fileBytes(path("mine.dat")).contains(stored));
        QCOMPARE(m_msgs->texts().contains(QStringLiteral("Frequency is out of range.")),
                 typed == QLatin1String("31"));
        QVERIFY(!doc.isModified());
    }

    void exitQuestion_data() {
        QTest::addColumn<bool>("untitled");
        QTest::addColumn<MsgAnswer>("answer");
        QTest::addColumn<QString>("saveAs"); // Save As answer: "" cancels, "-" not shown
        QTest::addColumn<bool>("closes");
        QTest::newRow("cancel keeps it open") << true << MsgAnswer::Cancel << "-" << false;
        QTest::newRow("no closes") << true << MsgAnswer::No << "-" << true;
        QTest::newRow("yes, untitled, saved as") << true << MsgAnswer::Yes << "exit.dat" << true;
        QTest::newRow("yes, untitled, dialog cancelled") << true << MsgAnswer::Yes << "" << false;
        QTest::newRow("yes, titled") << false << MsgAnswer::Yes << "-" << true;
    }
    void exitQuestion() {
        QFETCH(bool, untitled);
        QFETCH(MsgAnswer, answer);
        QFETCH(QString, saveAs);
        QFETCH(bool, closes);
        setCurrentLanguage(LanguageChinese);
        start().show();
        Document& doc = m_main->document();
        if (!untitled) {
            doc.fileOpened(path("mine.dat"));
        }
        modify();
        m_msgs->answers = {answer};
        if (saveAs != QLatin1String("-"))
            m_dialogs->answers = {saveAs.isEmpty() ? QString() : path("exit.dat")};
        QCOMPARE(m_main->close(), closes);
        QCOMPARE(m_msgs->texts().value(0), QString::fromUtf8("当前文件已被修改，是否现在保存？"));
        QCOMPARE(m_msgs->asked.value(0).buttons, MsgButtons::YesNoCancel);
        if (answer == MsgAnswer::Yes && closes)
            QCOMPARE(fileBytes(untitled ? path("exit.dat") : path("mine.dat")).size(), 15245);

        // Unmodified: no question at all.
        m_msgs->clear();
        start().show();
        QVERIFY(m_main->close());
        QVERIFY(m_msgs->asked.isEmpty());
    }

    // Model, print list, About --------------------------------------------------------------

    void modelWindow_data() {
        QTest::addColumn<bool>("solvir");
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("band");
        QTest::addColumn<MsgAnswer>("answer");
        QTest::addColumn<int>("loads"); // LoadNewDoc runs
        QTest::newRow("unchanged: no question")
            << false << "SOLV"
            << "25.605000 - 30.115000 MHz" << MsgAnswer::Ok << 0;
        QTest::newRow("solvir keeps all six letters: no question")
            << true << "SOLVIR"
            << "25.615000 - 30.105000 MHz" << MsgAnswer::Ok << 0;
        QTest::newRow("864 confirmed") << false << "864"
                                       << "136 - 174 MHz" << MsgAnswer::Ok << 1;
        QTest::newRow("864 cancelled") << false << "864"
                                       << "136 - 174 MHz" << MsgAnswer::Cancel << 0;
        QTest::newRow("solvir 864 confirmed") << true << "864"
                                              << "136 - 174 MHz" << MsgAnswer::Ok << 1;
    }
    void modelWindow() {
        QFETCH(bool, solvir);
        QFETCH(QString, model);
        QFETCH(QString, band);
        QFETCH(MsgAnswer, answer);
        QFETCH(int, loads);
        const QString initial = solvir ? QStringLiteral("SOLVIR") : QStringLiteral("SOLV");
        Document doc(solvir ? solvirProduct() : meridoxProduct());
        doc.initialiseDefaults();
        int loaded = 0;
        ModelWindow w(doc);
        connect(&w, &ModelWindow::modelChanged, this, [&] { ++loaded; });
        w.show();
        auto* combo1 = w.findChild<QComboBox*>(QStringLiteral("Combo1"));
        auto* combo2 = w.findChild<QComboBox*>(QStringLiteral("Combo2"));
        QCOMPARE(combo1->currentText(), initial);
        QCOMPARE(combo2->count(), 0); // the default model offers no band
        QCOMPARE(combo2->currentText(), doc.band());
        if (model != initial) {
            combo1->lineEdit()->selectAll();
            QTest::keyClicks(combo1->lineEdit(), model);
            emit combo1->textActivated(model); // choosing a model refills the band list
            QCOMPARE(combo2->itemText(0), QStringLiteral("136 - 174 MHz"));
        }
        combo2->setEditText(band);
        m_msgs->answers = {answer};
        QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
        QVERIFY(!w.isVisible());
        QCOMPARE(loaded, loads);
        QCOMPARE(m_msgs->asked.size(), model == initial ? 0 : 1);
        if (!m_msgs->asked.isEmpty()) {
            QCOMPARE(m_msgs->asked.at(0).text, QStringLiteral("Frequency data will be cleared."));
            QCOMPARE(m_msgs->asked.at(0).title, QStringLiteral("Warning"));
        }
        if (loads) {
            QCOMPARE(doc.model(), model);
            QCOMPARE(doc.config().modelInfo.modelCode, int16_t(249));
            QCOMPARE(doc.config().modelInfo.bandCode, int16_t(1));
            QCOMPARE(doc.lowerLimit(), 136.0);
        } else {
            QCOMPARE(doc.model(), initial);
        }
    }

    void modelWindowThroughMainWindow() {
        // Without a template the chosen model stays after the new configuration is loaded.
        start().show();
        whenModal<ModelWindow>([](ModelWindow* d) {
            d->findChild<QComboBox*>(QStringLiteral("Combo1"))->setEditText(QStringLiteral("WX40"));
            d->findChild<QComboBox*>(QStringLiteral("Combo2"))
                ->setEditText(QStringLiteral("26.51500 - 27.85500 MHz"));
            QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("Command1")),
                              Qt::LeftButton);
        });
        m_msgs->answers = {MsgAnswer::Ok};
        m_main->showModelWindow();
        QCOMPARE(m_main->document().model(), QStringLiteral("WX40"));
        QCOMPARE(m_main->windowTitle(),
                 QStringLiteral("MERIDOX[26.51500 - 27.85500 MHz][File Name:new.dat]"));
        QCOMPARE(openChildren(), names({"frmCommChInfo"}));
    }

    void channelListsThroughMenu() {
        start().show();
        Document& doc = m_main->document();
        editRecord(doc, [&](RadioConfig& c) { c.currentGroup = 3; });

        // Export: the save dialog offers a channel list beside the data file's name.
        m_dialogs->answers = {path("list.csv")};
        action(QStringLiteral("mnuFileExportCsv"))->trigger();
        QCOMPARE(m_dialogs->saved,
                 QStringList(QStringLiteral("%1/new.csv").arg(QDir::currentPath())));
        QCOMPARE(m_dialogs->filters.last(), QStringLiteral("Channel List (*.csv)"));
        QCOMPARE(fileBytes(path("list.csv")), exportChannelsCsv(doc));

        // A rejected import names its lines and changes nothing, not even the open grid.
        const RadioConfig before = doc.config();
        writeBytes(path("bad.csv"), "Group;Channel;RX MHz\r\nA;1;28,2\r\nA;2;40\r\nQ;3;28\r\n");
        m_dialogs->answers = {path("bad.csv")};
        action(QStringLiteral("mnuFileImportCsv"))->trigger();
        QCOMPARE(m_msgs->texts(),
                 QStringList(
                     QStringLiteral("No channels were imported; the configuration is unchanged.")));
        QCOMPARE(m_msgs->asked.at(0).icon, MsgIcon::Warning);
        QVERIFY(m_msgs->asked.at(0).informative.startsWith(
            QStringLiteral("Line 3: the RX frequency 40.000000")));
        QVERIFY(
            m_msgs->asked.at(0).informative.contains(QStringLiteral("\nLine 4: the group \"Q\"")));
        QCOMPARE(encodeRecord(meridoxProduct(), doc.config()),
                 encodeRecord(meridoxProduct(), before));
        QVERIFY(!doc.isModified());

        // Another tool's list asks for its group (starting at the current one); Cancel stops.
        writeBytes(path("other.csv"),
                   "Location,Frequency,Duplex,Offset,Skip\n1,29.6,-,0.1,\n7,28.4,split,28.5,S\n");
        m_msgs->clear();
        m_dialogs->answers = {path("other.csv")};
        action(QStringLiteral("mnuFileImportCsv"))->trigger();
        QCOMPARE(m_dialogs->choices.size(), 1);
        QVERIFY(m_dialogs->choices.at(0).endsWith(QStringLiteral(" A,B,C,D,E,F 3")));
        QVERIFY(m_msgs->asked.isEmpty());
        QVERIFY(!doc.isModified());

        m_dialogs->choice = 1;
        m_dialogs->answers = {path("other.csv")};
        action(QStringLiteral("mnuFileImportCsv"))->trigger();
        QCOMPARE(m_msgs->texts(), QStringList(QStringLiteral("2 channels imported into group B.")));
        QVERIFY(doc.isModified());
        QCOMPARE(doc.config().groupChannelCount[1], int16_t(2));
        QCOMPARE(doc.config().entry(1, 2).txFreq.text(), QStringLiteral("28500000"));
        QCOMPARE(doc.config().entry(1, 2).scanFlag, int16_t(0));
        // The grid is open again on what is stored now.
        QCOMPARE(openChildren(), QStringList(QStringLiteral("frmCommChInfo")));

        // A FIFO is refused at once: nothing waits for a writer.
        UnblockedFifo fifo(path("pipe.csv"));
        QVERIFY(fifo.created());
        m_msgs->clear();
        m_dialogs->answers = {path("pipe.csv")};
        action(QStringLiteral("mnuFileImportCsv"))->trigger();
        QCOMPARE(m_msgs->texts(), QStringList(QStringLiteral("file error.")));
        QCOMPARE(m_msgs->asked.at(0).informative,
                 QStringLiteral("\"%1\" is not a regular file.").arg(path("pipe.csv")));
    }

    // The configuration as text: exported, opened as a configuration of no file yet, refused
    // whole when it holds problems.
    void configurationTextThroughMenu() {
        start().show();
        Document& doc = m_main->document();
        editRecord(doc, [&](RadioConfig& c) { c.keyAssign[0] = 6; });
        const QByteArray record = encodeRecord(meridoxProduct(), doc.recordToSave());

        m_dialogs->answers = {path("customer.yaml")};
        action(QStringLiteral("mnuFileExportText"))->trigger();
        QCOMPARE(m_dialogs->saved,
                 QStringList(QStringLiteral("%1/new.yaml").arg(QDir::currentPath())));
        QCOMPARE(m_dialogs->filters.last(), QStringLiteral("Configuration Text (*.yaml *.yml)"));
        QVERIFY(fileBytes(path("customer.yaml")).contains("key assignment:\n  PF1: \"Scan\"\n"));

        // Opened, it is what was exported, under a data file's name that Save will ask for.
        m_msgs->answers = {MsgAnswer::No}; // the unsaved change is dropped
        m_dialogs->answers = {path("customer.yaml")};
        action(QStringLiteral("mnuFileOpen"))->trigger();
        QCOMPARE(encodeRecord(meridoxProduct(), doc.recordToSave()), record);
        QVERIFY(doc.isUntitled());
        QCOMPARE(doc.fileName(), path("customer.dat"));
        QVERIFY(!doc.isModified());
        QCOMPARE(openChildren(), names({"frmCommChInfo"}));
        // Save As under the text's own name would put a data file over it: refused.
        const QByteArray text = fileBytes(path("customer.yaml"));
        m_msgs->clear();
        m_dialogs->answers = {path("customer.yaml")};
        action(QStringLiteral("mnuFileSaveAs"))->trigger();
        QCOMPARE(m_msgs->texts(), QStringList(QStringLiteral("file error.")));
        QCOMPARE(fileBytes(path("customer.yaml")), text);
        QVERIFY(doc.isUntitled());
        // Save asks for a data file's name; the text is never written over.
        action(QStringLiteral("mnuFileSave"))->trigger();
        QCOMPARE(m_dialogs->saved.last(), path("customer.dat"));
        QVERIFY(fileBytes(path("customer.yaml")).startsWith("# yaml-language-server"));

        // Every problem is listed; the open configuration stays.
        writeBytes(path("bad.yaml"), "format: \"meridox configuration 1\"\nkey assignment:\n"
                                     "  PF1: Lock\n  PF3: \"None\"\n");
        m_msgs->clear();
        m_dialogs->answers = {path("bad.yaml")};
        action(QStringLiteral("mnuFileOpen"))->trigger();
        QCOMPARE(m_msgs->texts(), QStringList(QStringLiteral("file error.")));
        QCOMPARE(m_msgs->asked.at(0).informative,
                 path("bad.yaml") +
                     QStringLiteral("\nNothing was opened; the configuration is unchanged.\n"
                                    "line 3: key assignment.PF1: \"Lock\" is not one of "
                                    "\"None\", \"Key Lock\", \"Key Lock with Backup\", "
                                    "\"Monitor\", \"Monitor Momentary\", \"Scan\", "
                                    "\"Scan+Temporary Delete\", \"Squelch Off\", \"Squelch Off "
                                    "Momentary\", \"Temporary Delete\"\n"
                                    "line 4: key assignment.PF3: unknown key"));
        QCOMPARE(encodeRecord(meridoxProduct(), doc.recordToSave()), record);
        QCOMPARE(doc.fileName(), path("customer.dat"));

        // A text of a band every channel leaves: the box names the first 25 and counts the rest.
        QByteArray wrongBand =
            "format: \"meridox configuration 1\"\ngroups:\n  A:\n    channels:\n";
        for (int n = 1; n <= 30; ++n)
            wrongBand += QByteArray("      - {channel: ") + QByteArray::number(n) + ", rx: 31}\n";
        writeBytes(path("band.yaml"), wrongBand);
        m_msgs->clear();
        m_dialogs->answers = {path("band.yaml")};
        action(QStringLiteral("mnuFileOpen"))->trigger();
        const QStringList lines = m_msgs->asked.at(0).informative.split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 2 + 25 + 1);
        QCOMPARE(lines.at(2), QStringLiteral("line 5: groups.A.channels[0].rx: 31 MHz is outside "
                                             "the band 25.605000 - 30.115000 MHz"));
        QCOMPARE(lines.last(), QStringLiteral("... and 5 more."));

        // A text far larger than any configuration is refused unread.
        writeBytes(path("huge.yaml"), QByteArray(4 * 1024 * 1024 + 1, '#'));
        m_msgs->clear();
        m_dialogs->answers = {path("huge.yaml")};
        action(QStringLiteral("mnuFileOpen"))->trigger();
        QCOMPARE(m_msgs->asked.at(0).informative,
                 QStringLiteral("The file \"%1\" is larger than 4 MB: it is no configuration text.")
                     .arg(path("huge.yaml")));
        QCOMPARE(doc.fileName(), path("customer.dat"));

        // An export that cannot be written names the file and why.
        m_msgs->clear();
        m_dialogs->answers = {path("missing/customer.yaml")};
        action(QStringLiteral("mnuFileExportText"))->trigger();
        QCOMPARE(m_msgs->texts(), QStringList(QStringLiteral("file error.")));
        QVERIFY(m_msgs->asked.at(0).informative.startsWith(path("missing/customer.yaml") +
                                                           QStringLiteral(": ")));
        QVERIFY(!QFileInfo::exists(path("missing/customer.yaml")));
    }

    // File > Print and the toolbar's print button open the same print list.
    void printListFromMenuAndToolbar() {
        start().show();
        auto* bar = m_main->findChild<QToolBar*>(QStringLiteral("tbToolBar"));
        QAction* button = nullptr;
        for (QAction* a : bar->actions())
            if (a->objectName() == QString::fromUtf8("打印")) button = a;
        for (QAction* a : {action(QStringLiteral("mnuFilePrint")), button}) {
            QVERIFY(a && a->isVisible() && a->isEnabled());
            QString opened;
            QTimer::singleShot(0, m_main.get(), [&opened] {
                if (auto* w = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                    opened = w->objectName();
                    w->reject();
                }
            });
            a->trigger();
            QCOMPARE(opened, QStringLiteral("FrmPrintList"));
        }
    }

    void about_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("version");
        QTest::newRow("English") << 1 << "FrmAbout2"
                                 << "Version ";
        QTest::newRow("Chinese") << 2 << "frmAbout"
                                 << "版本 ";
    }
    void about() {
        QFETCH(int, language);
        QFETCH(QString, window);
        QFETCH(QString, version);
        setCurrentLanguage(language);
        start(solvirProduct()).show();
        QStringList shown; // object name, version line, title
        whenModal<QDialog>([&shown](QDialog* d) {
            shown << d->objectName() << d->findChild<QLabel*>(QStringLiteral("lblVersion"))->text()
                  << d->findChild<QLabel*>(QStringLiteral("lblTitle"))->text();
            QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("cmdSysInfo")),
                              Qt::LeftButton);
            QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
        });
        m_main->findChild<QAction*>(QStringLiteral("About"))->trigger();
        QCOMPARE(shown, (QStringList{window, version + QStringLiteral(PROGRAM_VERSION),
                                     QStringLiteral("SOLVIR")}));
        QCOMPARE(m_msgs->texts(), QStringList(QString::fromUtf8("此时系统信息不可用")));
    }

    // What a new user meets ---------------------------------------------------------------

    void firstStartGeometry_data() {
        QTest::addColumn<QRect>("placed");
        QTest::addColumn<QSize>("needed");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QRect>("expected"); // null: maximised
        const QRect screen(0, 0, 1920, 1200);
        QTest::newRow("grown where placed")
            << QRect(7, 7, 975, 730) << QSize(950, 800) << screen << QRect(7, 7, 975, 800);
        QTest::newRow("moved back inside")
            << QRect(1500, 900, 975, 730) << QSize(950, 800) << screen << QRect(945, 400, 975, 800);
        QTest::newRow("beside a panel on the left")
            << QRect(7, 7, 975, 730) << QSize(950, 800) << QRect(64, 0, 1856, 1200)
            << QRect(64, 7, 975, 800);
        QTest::newRow("exactly the screen") << QRect(7, 7, 975, 730) << QSize(1024, 768)
                                            << QRect(0, 0, 1024, 768) << QRect(0, 0, 1024, 768);
        QTest::newRow("too low: maximised")
            << QRect(7, 7, 975, 730) << QSize(950, 800) << QRect(0, 0, 1366, 768) << QRect();
        QTest::newRow("too narrow: maximised")
            << QRect(7, 7, 700, 500) << QSize(950, 600) << QRect(0, 0, 800, 800) << QRect();
    }
    void firstStartGeometry() {
        QFETCH(QRect, placed);
        QFETCH(QSize, needed);
        QFETCH(QRect, available);
        QFETCH(QRect, expected);
        QCOMPARE(::firstStartGeometry(placed, needed, available).value_or(QRect()), expected);
    }

    // With nothing stored, the window shows the grid window whole on a screen that holds it
    // (tst_mainwindow_largescreen runs this on a 1920 x 1200 screen) and is maximised on the
    // default 800 x 800 test screen and on a 1024 x 700 one (tst_mainwindow_smallscreen: 768
    // lines less a panel and a title bar). Where the area is too small for the grid window,
    // maximised or placed as last time, the grid window is shortened to it, Close in sight; it
    // stays so when the windows are cascaded again (another window opened, Window > Cascade).
    void firstStart_data() {
        QTest::addColumn<bool>("stored");
        QTest::addColumn<QString>("then"); // an item chosen once the window is up
        QTest::newRow("nothing stored") << false << QString();
        QTest::newRow("placed as last time, 1000 x 650") << true << QString();
        QTest::newRow("then Option Features") << false << "mnuOptFeature";
        QTest::newRow("then Window > Cascade") << false << "mnuWindowCascade";
        QTest::newRow("placed, then Local Information") << true << "mnuEmbeddedMsg";
    }
    void firstStart() {
        QFETCH(bool, stored);
        QFETCH(QString, then);
        if (stored) savePlacement(meridoxProduct(), {0, 0, 15000, 9750, false, true});
        MainWindow& w = start();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        if (!then.isEmpty()) {
            QTest::mouseClick(w.statusBar(), Qt::LeftButton); // the user is at work
            action(then)->trigger();
        }
        const QRect screen = w.screen()->availableGeometry();
        const bool large = screen.height() >= 1200;
        QCOMPARE(w.isMaximized(), !large && !stored);
        if (large) QVERIFY(screen.contains(w.frameGeometry()));
        const auto* grid = qobject_cast<QMdiSubWindow*>(
            w.windows().find(ChildWindow::ChannelGrid)->parentWidget());
        if (screen.width() < 1024) return; // too narrow for the grid window's columns
        const QRect area(QPoint(), w.mdiArea()->viewport()->size());
        QTRY_VERIFY(area.contains(grid->geometry()));
        const auto* close = grid->findChild<QPushButton*>(QStringLiteral("CommandClose"));
        QVERIFY(
            area.contains(QRect(close->mapTo(w.mdiArea()->viewport(), QPoint()), close->size())));
    }

    void qtDialogsSpeakTheLanguage() {
        start();
        const auto cancel = [] {
            QDialogButtonBox box(QDialogButtonBox::Cancel);
            return box.button(QDialogButtonBox::Cancel)->text();
        };
        setCurrentLanguage(LanguageChinese);
        m_main->checkLanguageChange();
        QCOMPARE(cancel(), QString::fromUtf8("取消"));
        setCurrentLanguage(LanguageEnglish);
        m_main->checkLanguageChange();
        QCOMPARE(cancel(), QStringLiteral("Cancel"));
    }

    void programIcon_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<bool>("installed");
        QTest::newRow("meridox, build tree") << "meridox" << false;
        QTest::newRow("solvir, build tree") << "solvir" << false;
        QTest::newRow("installed") << "meridox" << true;
    }
    void programIcon() {
        QFETCH(QString, program);
        QFETCH(bool, installed);
        QString bin = QFileInfo(QStringLiteral(MERIDOX_CLI)).absolutePath();
        if (installed) {
            bin = path("usr/bin");
            const QString icons = path("usr/share/icons/hicolor/48x48/apps");
            QVERIFY(QDir().mkpath(bin) && QDir().mkpath(icons));
            QPixmap picture(48, 48);
            picture.fill(Qt::blue);
            QVERIFY(picture.save(icons + QStringLiteral("/meridox.png")));
        }
        QVERIFY(!::programIcon(program, bin).isNull());
    }

    void treeFollowsTheActiveWindow() {
        MainWindow& w = start();
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto* tree = w.findChild<QTreeWidget*>(QStringLiteral("TreeView1"));
        const auto highlighted = [tree] {
            const auto items = tree->selectedItems();
            return items.size() == 1 ? items.first()->data(0, Qt::UserRole).toString() : QString();
        };
        QTRY_COMPARE(highlighted(), QStringLiteral("N1"));
        w.windows().show(ChildWindow::OptionFeatures);
        QTRY_COMPARE(highlighted(), QStringLiteral("N2"));
        w.windows().show(ChildWindow::MessageLines);
        QTRY_COMPARE(highlighted(), QStringLiteral("N8"));
        w.windows().show(ChildWindow::ChannelGrid);
        QTRY_COMPARE(highlighted(), QStringLiteral("N1"));
        w.windows().closeAll();
        QTRY_COMPARE(highlighted(), QString());
    }

    // Write to Several Radios starts with its Verify box as Program > Verify after Write.
    void severalRadiosVerifyAsTheMenu_data() {
        QTest::addColumn<bool>("verify");
        QTest::newRow("on") << true;
        QTest::newRow("off") << false;
    }
    void severalRadiosVerifyAsTheMenu() {
        QFETCH(bool, verify);
        start().show();
        action(QStringLiteral("mnuVerifyAfterWrite"))->setChecked(verify);
        action(QStringLiteral("mnuWriteSeveral"))->trigger();
        const QPointer<QDialog> fleet = m_main->radioCommands().fleetWindow();
        QVERIFY(fleet);
        QCOMPARE(fleet->findChild<QCheckBox*>(QStringLiteral("chkVerify"))->isChecked(), verify);
        fleet->close();
    }

    void dialogTitles_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("title");
        QTest::newRow("export") << "mnuFileExportCsv" << 1 << "Export Channels";
        QTest::newRow("import") << "mnuFileImportCsv" << 1 << "Import Channels";
        QTest::newRow("export, Chinese")
            << "mnuFileExportCsv" << 2 << QString::fromUtf8("导出信道");
        QTest::newRow("import, Chinese")
            << "mnuFileImportCsv" << 2 << QString::fromUtf8("导入信道");
        QTest::newRow("text") << "mnuFileExportText" << 1 << "Export Configuration as Text";
        QTest::newRow("text, Chinese")
            << "mnuFileExportText" << 2 << QString::fromUtf8("将配置导出为文本");
    }
    void dialogTitles() {
        QFETCH(QString, item);
        QFETCH(int, language);
        QFETCH(QString, title);
        setCurrentLanguage(language);
        start();
        action(item)->trigger();
        QCOMPARE(m_dialogs->titles, QStringList{title});
    }

    // Message boxes stand over the main window, also when the window that asked is gone, and
    // are wide enough for their title.
    void messageBoxPlacement_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("text");
        QTest::newRow("English") << 1 << "Read Data Completed.";
        QTest::newRow("Chinese") << 2 << QString::fromUtf8("读取数据完成。");
    }
    void messageBoxPlacement() {
        QFETCH(int, language);
        QFETCH(QString, text);
        setCurrentLanguage(language);
        MainWindow& w = start();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QWidget other; // a window that is in front but does not own the message
        other.setGeometry(0, 0, 120, 80);
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QRect box;
        whenModal<QMessageBox>([&box](QMessageBox* b) { box = b->geometry(); });
        WidgetMessageService service;
        MessageRequest r;
        r.text = text;
        r.title = QStringLiteral("MERIDOX");
        r.icon = MsgIcon::Information;
        service.ask(r);
        QVERIFY(!box.isNull());
        QVERIFY2(
            (box.center() - w.geometry().center()).manhattanLength() <= 2,
            qPrintable(QStringLiteral("box %1,%2").arg(box.center().x()).arg(box.center().y())));
        QVERIFY2(box.width() >= 250, qPrintable(QString::number(box.width())));
    }

    // A box stays within the screen: a list of problems (a refused channel list, a text with
    // problems) shows one problem per line instead of wrapping each past the bottom.
    void messageBoxFitsTheScreen_data() {
        QTest::addColumn<int>("lines");
        QTest::newRow("a long list") << 26;
        QTest::newRow("one sentence") << 1;
    }
    void messageBoxFitsTheScreen() {
        QFETCH(int, lines);
        MainWindow& w = start();
        w.show();
        QStringList problems;
        for (int i = 2; i < 2 + lines; ++i)
            problems << QStringLiteral("Line %1: the RX frequency 99.%1 MHz of channel A%1 is "
                                       "outside the band (25.605000 to 30.115000 MHz).")
                            .arg(i);
        QRect box;
        whenModal<QMessageBox>([&box](QMessageBox* b) { box = b->frameGeometry(); });
        WidgetMessageService service;
        MessageRequest r;
        r.text = QStringLiteral("No channels were imported; the configuration is unchanged.");
        r.informative = problems.join(QLatin1Char('\n'));
        r.title = QStringLiteral("MERIDOX");
        r.icon = MsgIcon::Warning;
        service.ask(r);
        const QRect screen = w.screen()->availableGeometry();
        QVERIFY2(box.height() <= screen.height() && box.width() <= screen.width(),
                 qPrintable(QStringLiteral("%1 x %2").arg(box.width()).arg(box.height())));
        if (lines == 1) QVERIFY(box.width() <= screen.width() * 3 / 4); // a sentence wraps
    }

    // A window that closes while a message stands over it (a write that ends under its "Stop
    // writing?" question) takes the message along: the question counts as not answered.
    void messageOverWindowThatCloses() {
        MainWindow& w = start();
        w.show();
        auto* owner = new QDialog(&w);
        owner->setAttribute(Qt::WA_DeleteOnClose);
        owner->open();
        const QPointer<QDialog> ownerAlive(owner);
        QTimer::singleShot(50, owner, [owner] { owner->done(QDialog::Accepted); });
        QObject test; // a box still open after 5 s is closed: the test never hangs
        QTimer::singleShot(5000, &test, [] { QApplication::activeModalWidget()->close(); });
        WidgetMessageService service;
        MessageRequest r;
        r.text = QStringLiteral("Stop writing?");
        r.title = QStringLiteral("MERIDOX");
        r.buttons = MsgButtons::YesNo;
        QCOMPARE(service.ask(r), MsgAnswer::Cancel);
        QVERIFY(!ownerAlive);
    }

    // Help > Open Backup Folder through the desktop's opener: when it fails (no file manager),
    // the folder's path is shown; when it succeeds, nothing is said.
    void backupFolderOpener_data() {
        QTest::addColumn<int>("exitCode");
        QTest::newRow("shown") << 0;
        QTest::newRow("no program can show it") << 3;
    }
    void backupFolderOpener() {
        QFETCH(int, exitCode);
        QTemporaryDir data;
        const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
        const QByteArray pathVariable = qgetenv("PATH");
        qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
        const QString opener = path("xdg-open");
        writeBytes(opener, "#!/bin/sh\necho \"$1\" > \"$0.arg\"\nexit " +
                               QByteArray::number(exitCode) + "\n");
        QFile::setPermissions(opener, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PATH", m_dir->path().toLocal8Bit() + ':' + pathVariable);
        start();
        action(QStringLiteral("mnuHelpBackupFolder"))->trigger();
        const QString folder = backupFolder(meridoxProduct()).path();
        qputenv("PATH", pathVariable);
        qputenv("XDG_DATA_HOME", dataHome);
        QTRY_COMPARE(fileBytes(opener + QStringLiteral(".arg")), folder.toLocal8Bit() + '\n');
        if (exitCode == 0) {
            QTest::qWait(100);
            QVERIFY(m_msgs->asked.isEmpty());
        } else {
            QTRY_COMPARE(m_msgs->asked.size(), 1);
            QCOMPARE(m_msgs->asked.first().informative, folder);
        }
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
