// The radio commands against the virtual radio on a real pseudo-terminal: question, progress
// window, completion, the information display, and giving up a read or a write half-way.
#include "core/channels/channelrules.h"
#include "core/comm/keptfiles.h"
#include "core/config/datafile.h"
#include "radiolauncher.h"
#include "testsupport.h"
#include "ui/common/uicommon.h"
#include "ui/radio/factoryinformationwindow.h"
#include "ui/radio/progresswindow.h"
#include "ui/radio/radiocommands.h"
#include "ui/radio/radioinformationwindow.h"
#include "windowtest.h"

#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {
QString shownRx(const Document& doc) {
    return shownFrequency(doc, doc.config().entry(0, 1).rxFreq.text());
}

// Frames the program sent, as the radio logged them.
QStringList sentFrames(const VirtualRadio& radio) {
    QStringList out;
    for (const QString& line : radio.log())
        if (line.startsWith(QLatin1String("> "))) out << line.mid(2);
    return out;
}

// A radio memory file: the default configuration with group A channel 1 on 27.5 MHz.
QString memoryFile(const Product& p, const VirtualRadio& radio) {
    Document d(p);
    d.initialiseDefaults();
    d.setChannelCell(1, ColRx, QStringLiteral("27.5"));
    QByteArray image;
    clearRadioImage(p, image);
    if (buildRadioImage(d, image)) return {};
    QFile f(radio.filePath(QStringLiteral("memory.img")));
    return f.open(QIODevice::WriteOnly) && f.write(image) == image.size() ? f.fileName()
                                                                          : QString();
}
} // namespace

class TestRadioEnd2End : public QObject {
    Q_OBJECT
    PrivateUserFolders folders;
    QTemporaryDir dataDir;

    // The main window's side: document, link, session and commands.
    struct Rig {
        Document doc;
        PortLink link;
        RadioSession session{doc, link};
        QWidget main;
        RadioCommands commands{doc, session, &main};
        QStringList calls;
        Rig(const Product& p, const QString& port) : doc(p) {
            doc.initialiseDefaults();
            doc.fileOpened(QStringLiteral("mine.dat"));
            doc.takeSnapshot();
            session.setPortName(port);
            QObject::connect(&commands, &RadioCommands::aboutToApplyRead, &main,
                             [this] { calls << QStringLiteral("closeEditors"); });
            QObject::connect(&commands, &RadioCommands::readApplied, &main,
                             [this] { calls << QStringLiteral("afterRead"); });
            main.show();
        }
        bool finish() { return waitForSessionEnd(session, 20000); }
    };

  private slots:
    void initTestCase();
    void products_data();
    void readEditWrite_data() { products_data(); }
    void readEditWrite();
    void closingProgressCancels_data();
    void closingProgressCancels();
    void informationReadShowsEmg_data() { products_data(); }
    void informationReadShowsEmg();
    void backupFailureWarnsOnce();
    void verifyAfterWrite_data();
    void verifyAfterWrite();
};

void TestRadioEnd2End::initTestCase() {
    QVERIFY(folders.config.isValid() && folders.runtime.isValid());
    qputenv("XDG_DATA_HOME", dataDir.path().toLocal8Bit());
}

void TestRadioEnd2End::products_data() {
    QTest::addColumn<const Product*>("product");
    QTest::newRow("meridox") << &meridoxProduct();
    QTest::newRow("solvir") << &solvirProduct();
}

void TestRadioEnd2End::readEditWrite() {
    QFETCH(const Product*, product);
    VirtualRadio radio;
    QVERIFY(
        radio.start(product->program, {QStringLiteral("--memory"), memoryFile(*product, radio)}));
    Rig rig(*product, radio.linkPath());
    ScriptedMessages messages;
    messages.answers = {MsgAnswer::Ok};
    rig.commands.readFromRadio();
    QCOMPARE(messages.texts(), QStringList{messageText(Msg::ReadConfirm)});
    // The progress window is up and modal while the session runs on.
    QPointer<ProgressWindow> progress = rig.commands.progressWindow();
    QVERIFY(progress && progress->isVisible() && progress->isModal() && rig.session.busy());
    QVERIFY(rig.finish());
    QCOMPARE(rig.session.lastFailure(), SessionFailure::None);
    QVERIFY(!progress || !progress->isVisible());
    QCOMPARE(rig.calls, QStringList({QStringLiteral("closeEditors"), QStringLiteral("afterRead")}));
    QCOMPARE(shownRx(rig.doc), QStringLiteral("27.500000"));
    QCOMPARE(rig.doc.fileName(), QStringLiteral("new.dat"));
    QVERIFY(rig.doc.isUntitled());
    QCOMPARE(messages.texts().last(), QStringLiteral("Read Data Completed."));
    // The radio as it was read is kept as one new backup image, and the session as a trace.
    const KeptFolder backups = backupFolder(*product);
    const QStringList kept = backups.files();
    QVERIFY(!kept.isEmpty());
    QCOMPARE(kept.last(), rig.commands.lastBackup());
    QFile backup(kept.last());
    QVERIFY(backup.open(QIODevice::ReadOnly));
    QCOMPARE(backup.readAll(), rig.session.radioImage());
    const QString readTrace = rig.commands.trace().keptPath();
    QFile trace(readTrace);
    QVERIFY(trace.open(QIODevice::ReadOnly));
    const QByteArray traced = trace.readAll();
    QVERIFY(traced.contains("Operation: read") && traced.contains("  RX  ") &&
            traced.endsWith("end: success\n"));

    // A value still in an editor is committed when the write is asked for, and sent.
    QObject::connect(&rig.commands, &RadioCommands::aboutToWrite, &rig.main,
                     [&rig] { rig.doc.setChannelCell(1, ColRx, QStringLiteral("27.125")); });
    messages.clear();
    messages.answers = {MsgAnswer::Ok, MsgAnswer::Ok}; // the question (solvir: and overwrite)
    rig.commands.writeToRadio();
    QVERIFY(QTest::qWaitFor([&] { return rig.session.busy(); }, 2000));
    QCOMPARE(rig.commands.progressWindow()->windowTitle(), QStringLiteral("Write data to radio"));
    QVERIFY(rig.finish());
    QCOMPARE(rig.session.lastFailure(), SessionFailure::None);
    QCOMPARE(messages.texts().last(), QStringLiteral("Write Data Completed."));
    Document back(*product);
    QVERIFY(!parseRadioImage(back, radio.dump()));
    QCOMPARE(shownRx(back), QStringLiteral("27.125000"));
    // A write keeps no backup, but a trace of its own.
    QCOMPARE(backups.files(), kept);
    QVERIFY(rig.commands.trace().keptPath() != readTrace);
    QVERIFY(traceFolder(*product).files().contains(rig.commands.trace().keptPath()));
}

void TestRadioEnd2End::closingProgressCancels_data() {
    QTest::addColumn<const Product*>("product");
    QTest::addColumn<bool>("write");
    QTest::addColumn<bool>("verify"); // closed during the read-back after the write
    QTest::addColumn<bool>("escape"); // Esc, or the close button (and Alt+F4: both close)
    QTest::addColumn<int>("answer");  // to "Stop writing?"
    QTest::addColumn<bool>("endsWhileAsked");
    QTest::addColumn<int>("language");
    QTest::addColumn<QStringList>("texts"); // after the read or write question
    const int yes = int(MsgAnswer::Yes);
    const int no = int(MsgAnswer::No);
    const QString stop = QStringLiteral("Stop writing? The radio will hold a partly written "
                                        "configuration until it is written again.");
    QTest::newRow("read, close button")
        << &meridoxProduct() << false << false << false << yes << false << int(LanguageEnglish)
        << QStringList{QStringLiteral("Reading stopped. Nothing was changed.")};
    QTest::newRow("read, Esc, solvir")
        << &solvirProduct() << false << false << true << yes << false << int(LanguageEnglish)
        << QStringList{QStringLiteral("Reading stopped. Nothing was changed.")};
    QTest::newRow("write stopped, close button")
        << &meridoxProduct() << true << false << false << yes << false << int(LanguageEnglish)
        << QStringList{stop, QStringLiteral("Writing stopped. The radio holds a partly written "
                                            "configuration: write it again.")};
    QTest::newRow("write stopped, Esc, Chinese")
        << &meridoxProduct() << true << false << true << yes << false << int(LanguageChinese)
        << QStringList{
               QString::fromUtf8("停止写入？在重新写入之前，对讲机将保存只写入了一部分的配置。"),
               QString::fromUtf8("写入已停止。对讲机中的配置只写入了一部分，请重新写入。")};
    QTest::newRow("write goes on after No")
        << &meridoxProduct() << true << false << false << no << false << int(LanguageEnglish)
        << QStringList{stop, QStringLiteral("Write Data Completed.")};
    QTest::newRow("write ends while the question is open")
        << &meridoxProduct() << true << false << true << yes << true << int(LanguageEnglish)
        << QStringList{stop, QStringLiteral("Write Data Completed.")};
    QTest::newRow("verify stopped")
        << &meridoxProduct() << true << true << false << yes << false << int(LanguageEnglish)
        << QStringList{QStringLiteral(
               "Verifying stopped. The radio was written, but not read back to compare.")};
}

// Closing the progress window gives up a read at once and says nothing changed; a write
// only after the user confirms it, and the user is told the radio is partly written.
void TestRadioEnd2End::closingProgressCancels() {
    QFETCH(const Product*, product);
    QFETCH(bool, write);
    QFETCH(bool, verify);
    QFETCH(bool, escape);
    QFETCH(int, answer);
    QFETCH(bool, endsWhileAsked);
    QFETCH(int, language);
    QFETCH(QStringList, texts);
    VirtualRadio radio;
    // A line of 9600 baud; a write that runs to its end at full speed, each reply a little late.
    const bool toTheEnd = verify || endsWhileAsked || answer == int(MsgAnswer::No);
    const QStringList slow =
        toTheEnd ? QStringList{QStringLiteral("--reply-delay"), QStringLiteral("2")}
                 : QStringList{QStringLiteral("--pace-us"), QStringLiteral("1041.667")};
    QVERIFY(
        radio.start(product->program,
                    QStringList{QStringLiteral("--memory"), memoryFile(*product, radio)} + slow));
    const qsizetype backupsBefore = backupFolder(*product).files().size();
    setCurrentLanguage(language);
    Rig rig(*product, radio.linkPath());
    rig.session.setVerifyAfterWrite(verify);
    const QByteArray before = encodeRecord(*product, rig.doc.config());
    ScriptedMessages messages;
    messages.whileOpen = [&](const MessageRequest& r) {
        if (r.id != Msg::StopWriting) {
            messages.answers.prepend(MsgAnswer::Ok); // the read or write question
            return;
        }
        if (endsWhileAsked) QVERIFY(rig.finish());
        messages.answers.prepend(MsgAnswer(answer));
    };
    if (write)
        rig.commands.writeToRadio();
    else
        rig.commands.readFromRadio();
    QVERIFY(QTest::qWaitFor(
        [&] {
            return rig.session.percent() >= 3 &&
                   (rig.session.operation() == RadioOperation::Verify) == verify;
        },
        10000));
    QPointer<ProgressWindow> progress = rig.commands.progressWindow();
    QCOMPARE(progress->findChild<QLabel*>(QStringLiteral("Label2"))->text(),
             QString::number(rig.session.percent()) + QLatin1Char('%'));
    const int framesBefore = int(sentFrames(radio).count());
    const qsizetype askedBefore = messages.asked.size();
    if (escape)
        QTest::keyClick(progress, Qt::Key_Escape);
    else
        progress->close();
    const bool stopped = !write || (answer == int(MsgAnswer::Yes) && !endsWhileAsked);
    if (!stopped) QVERIFY(rig.finish());
    setCurrentLanguage(LanguageEnglish);

    QCOMPARE(messages.texts().mid(askedBefore), texts);
    QVERIFY(!rig.session.busy());
    QVERIFY(!rig.link.isOpen());
    QVERIFY(!progress || !progress->isVisible());
    QVERIFY(rig.calls.isEmpty());
    // The configuration is as it was.
    QCOMPARE(encodeRecord(*product, rig.doc.config()), before);
    QVERIFY(!rig.doc.isModified());
    QCOMPARE(rig.doc.fileName(), QStringLiteral("mine.dat"));
    // A cancelled read keeps no backup.
    QCOMPARE(backupFolder(*product).files().size(), backupsBefore);
    if (!stopped) {
        QCOMPARE(rig.session.lastFailure(), SessionFailure::None);
        return;
    }
    QCOMPARE(rig.session.lastFailure(), SessionFailure::Cancelled);
    QCOMPARE(messages.asked.last().icon, write ? MsgIcon::Warning : MsgIcon::Information);
    // The radio is let out of programming mode at once.
    QVERIFY(
        QTest::qWaitFor([&] { return sentFrames(radio).endsWith(QStringLiteral("45")); }, 3000));
    QVERIFY(sentFrames(radio).count() <= framesBefore + 3);

    // The next command finds port and radio ready once the radio has finished the reply it was
    // sending (about 75 ms for a block at 9600 baud), as it would for a user.
    QTest::qWait(300);
    rig.commands.readRadioInfo();
    QVERIFY(rig.finish());
    QCOMPARE(rig.session.lastFailure(), SessionFailure::None);
    QVERIFY(rig.commands.informationWindow());
}

// meridox through the menu's Embedded Message, solvir through the Read button of Set Radio
// Information.
void TestRadioEnd2End::informationReadShowsEmg() {
    QFETCH(const Product*, product);
    const bool fromInfoSet = product == &solvirProduct();
    VirtualRadio radio;
    QVERIFY(radio.start(product->program));
    Rig rig(*product, radio.linkPath());
    ScriptedMessages messages;
    rig.commands.localInformation[5] = QStringLiteral("V1.07");
    RadioInformationWindow* infoSet = nullptr;
    if (fromInfoSet) {
        rig.commands.setRadioInfo();
        infoSet = rig.main.findChild<RadioInformationWindow*>();
        QVERIFY(infoSet && infoSet->isModal());
        infoSet->findChild<QPushButton*>(QStringLiteral("CommandRead"))->click();
    } else {
        rig.commands.readEmbeddedInfo();
    }
    QVERIFY(!rig.commands.progressWindow());
    QVERIFY(rig.finish());
    QVERIFY(messages.asked.isEmpty());
    QPointer<FactoryInformationWindow> emg = rig.commands.informationWindow();
    QVERIFY(emg && emg->isVisible() && emg->isModal());
    QCOMPARE(emg->parentWidget(), fromInfoSet ? static_cast<QWidget*>(infoSet) : &rig.main);
    const auto box = [&emg](int i) {
        return emg->findChild<QLineEdit*>(QStringLiteral("Text1_%1").arg(i))->text();
    };
    QCOMPARE(box(0), QStringLiteral("0595"));
    QCOMPARE(box(8), QStringLiteral("HF-DEALER-07"));
    QCOMPARE(box(5), QStringLiteral("V1.07")); // the area has no version: it carries over
    QCOMPARE(rig.commands.localInformation[11], QStringLiteral("Counter 2"));
    const int first = product->infoStart + 16;
    QStringList reads;
    for (const QString& f : sentFrames(radio))
        if (f.startsWith(QLatin1String("52 "))) reads << f;
    QCOMPARE(reads.size(), 16);
    QCOMPARE(reads.first(), QStringLiteral("52 %1 %2 10").arg(hexByte(first >> 8), hexByte(first)));
    QTimer::singleShot(0, emg, [&emg] { QTest::keyClick(emg, Qt::Key_Escape); });
    QVERIFY(QTest::qWaitFor([&] { return !emg; }, 2000));
}

// A backup or trace that cannot be kept does not undo the read; the user is told once per run.
void TestRadioEnd2End::backupFailureWarnsOnce() {
    QTemporaryDir blocked;
    QFile file(blocked.filePath(QCoreApplication::applicationName()));
    QVERIFY(file.open(QIODevice::WriteOnly)); // a file where the data folder should be
    file.close();
    qputenv("XDG_DATA_HOME", blocked.path().toLocal8Bit());
    VirtualRadio radio;
    QVERIFY(radio.start(QStringLiteral("meridox"),
                        {QStringLiteral("--memory"), memoryFile(meridoxProduct(), radio)}));
    Rig rig(meridoxProduct(), radio.linkPath());
    ScriptedMessages messages;
    for (int read = 1; read <= 2; ++read) {
        messages.clear();
        messages.answers = {MsgAnswer::Ok};
        rig.commands.readFromRadio();
        QVERIFY(rig.finish());
        QCOMPARE(rig.session.lastFailure(), SessionFailure::None);
        QCOMPARE(shownRx(rig.doc), QStringLiteral("27.500000"));
        QVERIFY(rig.commands.lastBackup().isEmpty());
        QStringList expected{messageText(Msg::ReadConfirm), messageText(Msg::ReadCompleted)};
        // Neither the backup nor the trace can be kept there: one box says both, once.
        if (read == 1)
            expected << QStringLiteral(
                "The data was read, but no backup image of the radio could be kept.\r\n"
                "The trace of the session could not be kept.");
        QCOMPARE(messages.texts(), expected);
    }
    qputenv("XDG_DATA_HOME", dataDir.path().toLocal8Bit());
}

void TestRadioEnd2End::verifyAfterWrite_data() {
    QTest::addColumn<const Product*>("product");
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("corruptBlock"); // --corrupt-write; empty: a good radio
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("informative");
    const QString channel = QStringLiteral("Group A channel 1 RX: 28.015000 -> 29.015000");
    QTest::newRow("meridox verified")
        << &meridoxProduct() << int(LanguageEnglish) << QString()
        << "Write verified: the radio holds what was written." << QString();
    QTest::newRow("meridox differs")
        << &meridoxProduct() << int(LanguageEnglish) << "1"
        << "The data was written, but the radio holds something else:" << channel;
    QTest::newRow("solvir verified, Chinese")
        << &solvirProduct() << int(LanguageChinese) << QString()
        << QString::fromUtf8("写入已校验：对讲机中的数据与写入的一致。") << QString();
    QTest::newRow("solvir differs, Chinese")
        << &solvirProduct() << int(LanguageChinese) << "2"
        << QString::fromUtf8("数据已写入，但对讲机中的数据与写入的不一致：")
        // The channel as the Chinese grid of solvir names it: its RX column reads "频率".
        << QStringLiteral("组 A 信道 1 频率：28.015000 -> 29.015000");
}

// The write, then its read-back in a progress window of its own, then one message: an
// information when the radio holds what was sent, a warning naming the channel otherwise.
void TestRadioEnd2End::verifyAfterWrite() {
    QFETCH(const Product*, product);
    QFETCH(int, language);
    QFETCH(QString, corruptBlock);
    QFETCH(QString, text);
    QFETCH(QString, informative);
    VirtualRadio radio;
    QStringList args;
    if (!corruptBlock.isEmpty()) args << QStringLiteral("--corrupt-write") << corruptBlock;
    QVERIFY(radio.start(product->program, args));
    setCurrentLanguage(language);
    Rig rig(*product, radio.linkPath());
    rig.session.setVerifyAfterWrite(true);
    QStringList titles;
    connect(&rig.session, &RadioSession::progressOpened, this,
            [&rig, &titles] { titles << rig.commands.progressWindow()->windowTitle(); });
    ScriptedMessages messages;
    messages.answers = {MsgAnswer::Ok, MsgAnswer::Ok}; // the question (solvir: and overwrite)
    rig.commands.writeToRadio();
    QVERIFY(QTest::qWaitFor([&] { return rig.session.busy(); }, 2000));
    QVERIFY(rig.finish());
    setCurrentLanguage(LanguageEnglish);
    QCOMPARE(titles.size(), 2);
    QCOMPARE(titles.at(1), language == LanguageEnglish
                               ? QStringLiteral("Verify data written to radio")
                               : QString::fromUtf8("校验写入对讲机的数据"));
    QVERIFY(!rig.commands.progressWindow() || !rig.commands.progressWindow()->isVisible());
    const MessageRequest& last = messages.asked.last();
    QCOMPARE(last.text, text);
    QCOMPARE(last.icon, informative.isEmpty() ? MsgIcon::Information : MsgIcon::Warning);
    QCOMPARE(last.informative, informative);
    QCOMPARE(rig.session.lastFailure(),
             informative.isEmpty() ? SessionFailure::None : SessionFailure::VerifyMismatch);
}

QTEST_MAIN(TestRadioEnd2End)
#include "tst_radioend2end.moc"
