// Files opened from outside the File > Open dialog: a file named on the command line, and
// File > Recent Files (order, limit, a file that is gone, remembered across runs).

#include "core/config/datafile.h"
#include "core/config/recentfiles.h"
#include "mainwindowfixture.h"
#include "recordedit.h"
#include "testsupport.h"
#include "ui/common/filedialogs.h"
#include "windowtest.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

QStringList strings(std::initializer_list<const char*> list) {
    QStringList out;
    for (const char* s : list)
        out << QString::fromUtf8(s);
    return out;
}

} // namespace

class TestOpenFiles : public QObject, MainWindowFixture {
    Q_OBJECT

    PrivateUserFolders m_folders;
    std::unique_ptr<ScriptedFileDialogs> m_dialogs;

    // The caption of the n-th recent file.
    QString entry(int n, const char* name) const {
        return QStringLiteral("&%1 ").arg(n) + path(name);
    }

    // A data file whose first message line names it; version replaces the version field.
    void writeDataFile(const QString& name, const QByteArray& version = "V101") {
        Document d(meridoxProduct());
        d.initialiseDefaults();
        editRecord(d, [&](RadioConfig& c) { c.embeddedMessage[0].assign(name.toLatin1()); });
        QByteArray bytes = encodeRecord(meridoxProduct(), d.config());
        bytes.replace(0, 4, version);
        QFile f(path(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QString firstLine() const {
        return QString::fromLatin1(m_main->document().config().embeddedMessage[0].untilNul())
            .trimmed();
    }
    QMenu* recentMenu() const { return m_main->findChild<QMenu*>(QStringLiteral("mnuFileRecent")); }
    // The entries of File > Recent Files as the menu shows them.
    QStringList entries() const {
        QStringList captions;
        for (QAction* a : recentMenu()->actions())
            if (a->objectName().startsWith(QLatin1String("mnuFileRecent_"))) captions << a->text();
        return captions;
    }
    void chooseEntry(int n) {
        auto* entry = recentMenu()->findChild<QAction*>(QStringLiteral("mnuFileRecent_%1").arg(n));
        QVERIFY(entry);
        entry->trigger();
        QCoreApplication::processEvents(); // entries act once the menu has closed
    }
    void openWithDialog(const QString& name) {
        m_dialogs->answers = {path(name)};
        m_main->files().fileOpen();
    }

  private slots:
    void init() {
        initFixture();
        m_dialogs = std::make_unique<ScriptedFileDialogs>();
        writeDataFile(QStringLiteral("KORVEN_New.dat"));
    }
    void cleanup() {
        m_main.reset();
        m_dialogs.reset();
        cleanupFixture();
    }

    void recentList_data() {
        QTest::addColumn<QStringList>("added"); // in order; "-x" removes x
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("newest first") << strings({"a", "b", "c"}) << strings({"c", "b", "a"});
        QTest::newRow("used again: to the top")
            << strings({"a", "b", "c", "a"}) << strings({"a", "c", "b"});
        QTest::newRow("same file by another path")
            << strings({"a", "sub/../a", "./b"}) << strings({"b", "a"});
        QTest::newRow("eight at most, the oldest drops out")
            << strings({"1", "2", "3", "4", "5", "6", "7", "8", "9"})
            << strings({"9", "8", "7", "6", "5", "4", "3", "2"});
        QTest::newRow("removed") << strings({"a", "b", "c", "-b", "-x"}) << strings({"c", "a"});
    }
    void recentList() {
        QFETCH(QStringList, added);
        QFETCH(QStringList, listed);
        QDir::setCurrent(m_dir->path());
        RecentFiles list;
        for (const QString& name : added) {
            if (name.startsWith(QLatin1Char('-')))
                list.remove(name.mid(1));
            else
                list.add(name);
        }
        QStringList expected;
        for (const QString& name : listed)
            expected << path(name);
        QCOMPARE(list.paths(), expected);
        // Stored beside the window placement and read back as it was.
        saveRecentFiles(meridoxProduct(), list);
        QCOMPARE(loadRecentFiles(meridoxProduct()).paths(), expected);
        QSettings s(QStringLiteral("MERIDOX"), QStringLiteral("MERIDOX"));
        QCOMPARE(s.value(QStringLiteral("Settings/RecentFile1")).toString(), expected.first());
        QVERIFY(!s.contains(QStringLiteral("Settings/RecentFile%1").arg(expected.size() + 1)));
    }

    void commandLineFile_data() {
        QTest::addColumn<QByteArray>("version"); // empty: no file; "folder", "fifo": one of those
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("reason"); // the line below "file error."; %1 the file
        QTest::newRow("opens") << QByteArray("V101") << QStringList() << QString();
        QTest::newRow("version refused")
            << QByteArray("V200")
            << strings({"Version is wrong.\r\nDataFile version is V2.00\r\nProgramming "
                        "software version is V1.0X"})
            << QString();
        QTest::newRow("missing") << QByteArray() << strings({"file error."})
                                 << "The file \"%1\" does not exist.";
        QTest::newRow("folder") << QByteArray("folder") << strings({"file error."})
                                << "\"%1\" is a folder, not a regular file.";
        QTest::newRow("FIFO") << QByteArray("fifo") << strings({"file error."})
                              << "\"%1\" is not a regular file.";
    }
    void commandLineFile() {
        QFETCH(QByteArray, version);
        QFETCH(QStringList, messages);
        QFETCH(QString, reason);
        std::unique_ptr<UnblockedFifo> fifo;
        if (version == "folder") {
            QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("given.dat")));
        } else if (version == "fifo") {
            fifo = std::make_unique<UnblockedFifo>(path("given.dat"));
            QVERIFY(fifo->created());
        } else if (!version.isEmpty()) {
            writeDataFile(QStringLiteral("given.dat"), version);
        }
        start().show();
        const QString title = m_main->windowTitle();
        // A name relative to the folder the program was started in.
        QDir::setCurrent(m_dir->path());
        const bool opens = messages.isEmpty();
        QCOMPARE(m_main->files().openFile(QStringLiteral("given.dat")), opens);
        QCOMPARE(m_msgs->texts(), messages);
        const Document& doc = m_main->document();
        if (opens) {
            QCOMPARE(firstLine(), QStringLiteral("given.dat"));
            QCOMPARE(doc.fileName(), path("given.dat"));
            QCOMPARE(m_main->windowTitle(),
                     QStringLiteral("MERIDOX[25.605000 - 30.115000 MHz][File Name:given.dat]"));
            QCOMPARE(entries(), QStringList{entry(1, "given.dat")});
        } else {
            // The template stays, untitled, and the recent files are not touched.
            QCOMPARE(firstLine(), QStringLiteral("KORVEN_New.dat"));
            QVERIFY(doc.isUntitled());
            QCOMPARE(m_main->windowTitle(), title);
            QVERIFY(entries().isEmpty());
            QVERIFY(!recentMenu()->menuAction()->isEnabled());
        }
        if (!reason.isEmpty())
            QCOMPARE(m_msgs->asked.first().informative, reason.arg(path("given.dat")));
    }

    void recentAfterOpenAndSave() {
        for (const char* name : {"a.dat", "b.dat"})
            writeDataFile(QLatin1String(name));
        start().show();
        openWithDialog(QStringLiteral("a.dat"));
        m_dialogs->answers = {path("saved.dat")};
        QVERIFY(m_main->files().fileSaveAs());
        openWithDialog(QStringLiteral("b.dat"));
        QCOMPARE(entries(),
                 (QStringList{entry(1, "b.dat"), entry(2, "saved.dat"), entry(3, "a.dat")}));
        // Choosing one opens it and moves it to the top.
        chooseEntry(3);
        QCOMPARE(firstLine(), QStringLiteral("a.dat"));
        QCOMPARE(entries().first(), entry(1, "a.dat"));
        QVERIFY(m_msgs->asked.isEmpty());

        // The next run finds the list; captions follow the language.
        m_main.reset();
        setCurrentLanguage(LanguageChinese);
        start();
        QCOMPARE(entries().size(), 3);
        QCOMPARE(recentMenu()->menuAction()->text(), QString::fromUtf8("最近使用的文件(&R)"));
        auto* clear = recentMenu()->findChild<QAction*>(QStringLiteral("mnuFileRecentClear"));
        QCOMPARE(clear->text(), QString::fromUtf8("清除最近使用的文件(&C)"));
        QCOMPARE(recentMenu()->actions().last(), clear);
        clear->trigger();
        QVERIFY(entries().isEmpty());
        QVERIFY(loadRecentFiles(meridoxProduct()).isEmpty());
    }

    void recentEntryAsksToSave() {
        writeDataFile(QStringLiteral("a.dat"));
        start().show();
        openWithDialog(QStringLiteral("a.dat"));
        editRecord(m_main->document(),
                   [&](RadioConfig& c) { c.embeddedMessage[0].assign(QByteArray("EDITED")); });
        m_msgs->answers = {MsgAnswer::Cancel};
        chooseEntry(1);
        QCOMPARE(m_msgs->texts(), strings({"File has been modify,save it now?"}));
        QCOMPARE(firstLine(), QStringLiteral("EDITED"));
    }

    void goneEntryRemoved() {
        for (const char* name : {"a.dat", "b.dat"})
            writeDataFile(QLatin1String(name));
        start().show();
        openWithDialog(QStringLiteral("a.dat"));
        openWithDialog(QStringLiteral("b.dat"));
        QVERIFY(QFile::remove(path("a.dat")));
        editRecord(m_main->document(),
                   [&](RadioConfig& c) { c.embeddedMessage[0].assign(QByteArray("EDITED")); });
        chooseEntry(2);
        // No save question: nothing is replaced.
        QCOMPARE(m_msgs->texts(),
                 QStringList{QStringLiteral("The file \"%1\" no longer exists. It has "
                                            "been removed from the recent files.")
                                 .arg(path("a.dat"))});
        QCOMPARE(firstLine(), QStringLiteral("EDITED"));
        QCOMPARE(entries(), QStringList{entry(1, "b.dat")});
        QCOMPARE(loadRecentFiles(meridoxProduct()).paths(), QStringList{path("b.dat")});
    }

    // An entry that names a FIFO now is refused at once, before the save question, and stays.
    void fifoEntryRefused() {
        writeDataFile(QStringLiteral("a.dat"));
        start().show();
        openWithDialog(QStringLiteral("a.dat"));
        QVERIFY(QFile::remove(path("a.dat")));
        UnblockedFifo fifo(path("a.dat"));
        QVERIFY(fifo.created());
        editRecord(m_main->document(),
                   [&](RadioConfig& c) { c.embeddedMessage[0].assign(QByteArray("EDITED")); });
        chooseEntry(1);
        QCOMPARE(m_msgs->texts(), strings({"file error."}));
        QCOMPARE(m_msgs->asked.first().informative,
                 QStringLiteral("\"%1\" is not a regular file.").arg(path("a.dat")));
        QCOMPARE(firstLine(), QStringLiteral("EDITED"));
        QCOMPARE(entries(), QStringList{entry(1, "a.dat")});
    }
};

QTEST_MAIN(TestOpenFiles)
#include "tst_openfiles.moc"
