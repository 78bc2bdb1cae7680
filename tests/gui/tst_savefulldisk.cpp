// Saving in the main window to a disk that cannot take the file: the file that was there stays
// as it was, nothing half-written is left, "file error." names the file and the reason, and the
// work still counts as unsaved under the name it had. The disk is a small tmpfs mounted by the
// test (root only).

#include "core/config/datafile.h"
#include "fulldisk.h"
#include "mainwindowfixture.h"
#include "recordedit.h"
#include "report/report.h"
#include "testsupport.h"
#include "ui/common/filedialogs.h"
#include "ui/common/printdialogs.h"
#include "ui/shell/filecommands.h"
#include "windowtest.h"

#include <QAction>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

class TestSaveFullDisk : public QObject, MainWindowFixture {
    Q_OBJECT
    PrivateUserFolders m_folders;

  private slots:
    void init() { initFixture(); }
    void cleanup() { cleanupFixture(); }
    void saveOnFullDisk_data();
    void saveOnFullDisk();
    void printToPdfOnFullDisk();
};

void TestSaveFullDisk::saveOnFullDisk_data() {
    QTest::addColumn<bool>("titled");    // keep.dat is open, else an untitled configuration
    QTest::addColumn<QString>("how");    // the command: an action, or "exit" (Yes to its question)
    QTest::addColumn<QString>("chosen"); // the save dialog's answer
    QTest::addColumn<QString>("target"); // the file the message names
    QTest::newRow("Save over the open file") << true << "mnuFileSave"
                                             << ""
                                             << "keep.dat";
    QTest::newRow("Save As over another file") << true << "mnuFileSaveAs"
                                               << "other.dat"
                                               << "other.dat";
    QTest::newRow("Save As, a new file") << false << "mnuFileSaveAs"
                                         << "fresh.dat"
                                         << "fresh.dat";
    QTest::newRow("save before Exit") << true << "exit"
                                      << ""
                                      << "keep.dat";
    QTest::newRow("Export Channels over a list") << true << "mnuFileExportCsv"
                                                 << "keep.csv"
                                                 << "keep.csv";
    QTest::newRow("Export Configuration as Text over a text") << true << "mnuFileExportText"
                                                              << "keep.yaml"
                                                              << "keep.yaml";
    QTest::newRow("Save Support Information over a text") << true << "mnuHelpSupportInfo"
                                                          << "keep.txt"
                                                          << "keep.txt";
}

void TestSaveFullDisk::saveOnFullDisk() {
    QFETCH(bool, titled);
    QFETCH(QString, how);
    QFETCH(QString, chosen);
    QFETCH(QString, target);
    FullDisk disk;
    if (!disk.mounted()) QSKIP(qPrintable(disk.skipReason()));
    ScriptedMessages& msgs = *m_msgs;
    ScriptedFileDialogs dialogs;
    Document fresh(meridoxProduct());
    fresh.initialiseDefaults();
    const QByteArray kept = encodeRecord(meridoxProduct(), fresh.config());
    QVERIFY(disk.put(QStringLiteral("keep.dat"), kept));
    QVERIFY(disk.put(QStringLiteral("other.dat"), kept));
    QVERIFY(disk.put(QStringLiteral("keep.csv"), "Group,Channel,RX MHz\nA,1,27.000000\n"));
    QVERIFY(disk.put(QStringLiteral("keep.yaml"), "format: \"meridox configuration 1\"\n"));
    QVERIFY(disk.put(QStringLiteral("keep.txt"), "what was there"));

    MainWindow& main = start();
    main.show();
    Document& doc = main.document();
    if (titled) QVERIFY(main.files().openFile(disk.filePath(QStringLiteral("keep.dat"))));
    editRecord(doc,
               [&](RadioConfig& c) { c.embeddedMessage[0].assign(QByteArray("UNSAVED WORK")); });
    QVERIFY(doc.isModified());
    QVERIFY(disk.fill());
    const QStringList before = disk.files();
    const QString title = main.windowTitle();
    const QString fileName = doc.fileName();

    msgs.answers = {how == QLatin1String("exit") ? MsgAnswer::Yes : MsgAnswer::Ok};
    if (!chosen.isEmpty()) dialogs.answers = {disk.filePath(chosen)};
    if (how == QLatin1String("exit"))
        QVERIFY(!main.close());
    else
        main.findChild<QAction*>(how)->trigger();

    QVERIFY(!msgs.asked.isEmpty());
    const MessageRequest& said = msgs.asked.last();
    QCOMPARE(said.text, QStringLiteral("file error."));
    QCOMPARE(said.informative, disk.filePath(target) + QStringLiteral(": No space left on device"));
    QCOMPARE(disk.files(), before);
    QVERIFY(doc.isModified());
    QCOMPARE(doc.isUntitled(), !titled);
    QCOMPARE(doc.fileName(), fileName);
    QCOMPARE(main.windowTitle(), title);
}

// Printed to a PDF file from the print preview: the preview itself writes nothing, the printout
// is refused whole.
void TestSaveFullDisk::printToPdfOnFullDisk() {
    FullDisk disk;
    if (!disk.mounted()) QSKIP(qPrintable(disk.skipReason()));
    QVERIFY(disk.put(QStringLiteral("keep.pdf"), "what was there"));
    QVERIFY(disk.fill());
    const QStringList before = disk.files();
    ScriptedMessages& msgs = *m_msgs;
    Document doc(meridoxProduct());
    doc.initialiseDefaults();
    const Report report(doc, PrintSelection::everything(), LanguageEnglish);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(disk.filePath(QStringLiteral("keep.pdf")));
    {
        QPrintPreviewDialog preview(&printer);
        int pages = 0;
        connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                [&](QPrinter* target) { pages += printReport(*target, report) ? 1 : 0; });
        preview.show();
        QTRY_COMPARE(pages, 1);
    }
    QVERIFY(msgs.asked.isEmpty());
    QCOMPARE(disk.files(), before);
    // On a disk with room the printout is the whole PDF.
    QTemporaryDir room;
    printer.setOutputFileName(room.filePath(QStringLiteral("a.pdf")));
    QVERIFY(printReport(printer, report));
    QFile pdf(room.filePath(QStringLiteral("a.pdf")));
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QVERIFY(pdf.readAll().startsWith("%PDF-") && pdf.size() > 10000);
    printer.setOutputFileName(disk.filePath(QStringLiteral("keep.pdf")));
    QVERIFY(!printReport(printer, report));
    QCOMPARE(msgs.texts(), QStringList(QStringLiteral("file error.")));
    QCOMPARE(msgs.asked.first().informative, disk.filePath(QStringLiteral("keep.pdf")) +
                                                 QStringLiteral(": No space left on device"));
    QCOMPARE(disk.files(), before);
}

QTEST_MAIN(TestSaveFullDisk)
#include "tst_savefulldisk.moc"
