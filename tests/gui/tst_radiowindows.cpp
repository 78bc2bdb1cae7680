// The radio windows offscreen: factory information display, Set Radio Information, the
// progress window, and the write command's wait for the editors.
#include "fakelink.h"
#include "recordedit.h"
#include "testsupport.h"
#include "ui/common/uicommon.h"
#include "ui/radio/factoryinformationwindow.h"
#include "ui/radio/progresswindow.h"
#include "ui/radio/radiocommands.h"
#include "ui/radio/radioinformationwindow.h"
#include "windowtest.h"

#include <QComboBox>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {
QString today() {
    return QDate::currentDate().toString(QStringLiteral("yyyyMMdd"));
}

template <typename W = QWidget> W* child(const QWidget& w, const char* name) {
    return w.findChild<W*>(QLatin1String(name));
}

QString textOf(const QWidget& w, const QString& name) {
    QWidget* c = w.findChild<QWidget*>(name);
    if (auto* e = qobject_cast<QLineEdit*>(c)) return e->text();
    if (auto* e = qobject_cast<QPlainTextEdit*>(c)) return e->toPlainText();
    return {};
}

// Pixels between a label's right edge and its control.
int gapBetween(const QWidget* label, const QWidget* control) {
    return control->geometry().left() - (label->geometry().right() + 1);
}
} // namespace

class TestRadioWindows : public QObject {
    Q_OBJECT
    PrivateUserFolders folders;

    // A document and a session over an in-process line whose radio acknowledges everything.
    struct Rig {
        Document doc{meridoxProduct()};
        FakeLink link;
        RadioSession session{doc, link};
        Rig() {
            doc.initialiseDefaults();
            doc.takeSnapshot();
            session.setPortName(QStringLiteral("/dev/fake"));
            link.responder = [](const QByteArray& f) {
                if (f.size() == 1 && f.at(0) == 2)
                    return QByteArray("PSOLV\x04\xF8", 7) + QByteArray(1, 0) + "V100" +
                           QByteArray(2, 0);
                return QByteArray(1, 6);
            };
        }
        bool finish() { return waitForSessionEnd(session, 5000); }
    };

  private slots:
    void initTestCase();
    void cleanup() { setCurrentLanguage(LanguageEnglish); }
    void emgShownValue_data();
    void emgShownValue();
    void emgCaptionsAndPlacement_data();
    void emgCaptionsAndPlacement();
    void infoSetVersionOnLeaving_data();
    void infoSetVersionOnLeaving();
    void infoSetKeysAndTimeSync();
    void infoSetModelBands_data();
    void infoSetModelBands();
    void infoSetStoresOnClose();
    void infoSetWriteSendsWindowValues();
    void infoSetKeepsStoredBand_data();
    void infoSetKeepsStoredBand();
    void progressWindow_data();
    void progressWindow();
    void writeWaitsForEditors();
    void writeStoppedBeforeData();
};

void TestRadioWindows::initTestCase() {
    QVERIFY(folders.config.isValid() && folders.runtime.isValid());
}

void TestRadioWindows::emgShownValue_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    const QString nul(QChar(0));
    QTest::newRow("missing field") << 0 << QString() << QString();
    QTest::newRow("NUL and spaces")
        << 8 << QStringLiteral("HF-07") + nul + QStringLiteral("  ") << QStringLiteral("HF-07");
    QTest::newRow("description") << 4 << QStringLiteral("Mic") + nul << QStringLiteral("Mic");
    QTest::newRow("version as stored") << 5 << QStringLiteral(" V1.0") << QStringLiteral(" V1.0");
}

void TestRadioWindows::emgShownValue() {
    QFETCH(int, index);
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    Rig rig;
    LocalInformation info = defaultLocalInformation(QDate(2010, 12, 7));
    info[size_t(index)] = stored;
    FactoryInformationWindow w(rig.doc, info);
    QCOMPARE(textOf(w, QStringLiteral("Text1_%1").arg(index)), shown);
}

void TestRadioWindows::emgCaptionsAndPlacement_data() {
    QTest::addColumn<const Product*>("product");
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("secondDescription");
    QTest::addColumn<QString>("band");
    QTest::newRow("meridox English") << &meridoxProduct() << int(LanguageEnglish) << "Description"
                                     << "25.605000 - 30.115000 MHz";
    QTest::newRow("solvir Chinese") << &solvirProduct() << int(LanguageChinese) << ""
                                    << "26.515 - 27.855 MHz";
}

void TestRadioWindows::emgCaptionsAndPlacement() {
    QFETCH(const Product*, product);
    QFETCH(int, language);
    QFETCH(QString, secondDescription);
    QFETCH(QString, band);
    setCurrentLanguage(language);
    Document doc(*product);
    doc.initialiseDefaults();
    const QDate day(2010, 12, 7);
    FactoryInformationWindow w(doc, defaultLocalInformation(day));
    QCOMPARE(w.windowTitle(), tr2("Embedded Message", "嵌入信息"));
    QCOMPARE(child<QLabel>(w, "Label1_7")->text(), secondDescription);
    auto* model = child<QComboBox>(w, "Combo1_0");
    QCOMPARE(model->count(), 1);
    QCOMPARE(model->currentText(), doc.model());
    auto* bands = child<QComboBox>(w, "Combo1_1");
    QCOMPARE(bands->count(), 1);
    QCOMPARE(bands->currentText(), band);
    // The start-up defaults, shown by the rules.
    QCOMPARE(textOf(w, QStringLiteral("Text1_1")), QStringLiteral("2010120700000001"));
    QCOMPARE(textOf(w, QStringLiteral("Text1_6")), QStringLiteral("12-1-E-1"));
    QCOMPARE(textOf(w, QStringLiteral("Text1_11")), QString());

    // Each label ends 50 twips left of its control, the dealer labels inside the frame.
    const char* const pairs[][2] = {
        {"Label2", "Text1_0"},     {"Label1_0", "Text1_6"},  {"Label1_9", "Text1_7"},
        {"Label1_1", "Combo1_0"},  {"Label1_2", "Combo1_1"}, {"Label1_3", "Text1_1"},
        {"Label1_4", "Text1_2"},   {"Label1_5", "Text1_3"},  {"Label1_8", "Text1_5"},
        {"Label1_6", "Text1_4"},   {"Label1_10", "Text1_8"}, {"Label1_11", "Text1_9"},
        {"Label1_12", "Text1_10"}, {"Label1_13", "Text1_11"}};
    for (const auto& p : pairs) {
        QWidget* label = child(w, p[0]);
        QWidget* control = child(w, p[1]);
        QVERIFY2(label->parentWidget() == control->parentWidget() && label->x() >= 0, p[0]);
        QCOMPARE(gapBetween(label, control), twipsToPixelsX(50));
    }
    QCOMPARE(child(w, "Label1_13")->parentWidget(), child(w, "Frame1"));
}

void TestRadioWindows::infoSetVersionOnLeaving_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    QTest::newRow("number") << "1.00"
                            << "V1.00";
    QTest::newRow("five digits") << "12345"
                                 << "V1234";
    QTest::newRow("empty") << ""
                           << "V";
    QTest::newRow("already V") << "V2.1"
                               << "V2.1";
}

void TestRadioWindows::infoSetVersionOnLeaving() {
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    Rig rig;
    RadioInformationWindow w(rig.doc, rig.session);
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    auto* version = child<QLineEdit>(w, "Text1_1");
    version->setFocus();
    version->selectAll();
    QTest::keyClick(version, Qt::Key_Delete);
    QTest::keyClicks(version, typed);
    QTest::keyClick(version, Qt::Key_Tab);
    QCOMPARE(version->text(), kept);
    w.close();
    QCOMPARE(rig.doc.config().modelInfo.softwareVersionText.untilNul(), kept.toLatin1());
}

void TestRadioWindows::infoSetKeysAndTimeSync() {
    Rig rig;
    RadioInformationWindow w(rig.doc, rig.session);
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    auto* serial = child<QLineEdit>(w, "Text1_0");
    serial->setFocus();
    serial->clear();
    QTest::keyClicks(serial, QStringLiteral("2010"));
    for (QChar c : QStringLiteral("年é"))
        QTest::sendKeyEvent(QTest::Click, serial, Qt::Key_unknown, QString(c), Qt::NoModifier);
    QTest::keyClicks(serial, QStringLiteral("1207AB9"));
    QCOMPARE(serial->text(), QStringLiteral("20101207AB")); // ten characters at most
    // Enter moves on and never starts a radio command.
    QTest::keyClick(serial, Qt::Key_Return);
    QVERIFY(!serial->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(rig.link.opens, 0);
    child<QPushButton>(w, "CommandTimeSync")->click();
    QCOMPARE(serial->text(), today());
}

void TestRadioWindows::infoSetModelBands_data() {
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("selected");
    QTest::newRow("715") << "715" << 5 << "450 - 490 MHz(M)";
    QTest::newRow("610") << "610" << 2 << "136 - 174 MHz(M)";
    QTest::newRow("unknown model") << "999" << 0 << "";
}

void TestRadioWindows::infoSetModelBands() {
    QFETCH(QString, model);
    QFETCH(int, count);
    QFETCH(QString, selected);
    Rig rig;
    RadioInformationWindow w(rig.doc, rig.session);
    auto* models = child<QComboBox>(w, "Combo1_0");
    auto* bands = child<QComboBox>(w, "Combo1_1");
    models->setCurrentIndex(models->findText(QStringLiteral("710")));
    bands->setCurrentIndex(3); // a refill must select the first entry again
    models->lineEdit()->selectAll();
    QTest::keyClicks(models->lineEdit(), model);
    QCOMPARE(bands->count(), count);
    QCOMPARE(bands->currentText(), selected);
}

void TestRadioWindows::infoSetStoresOnClose() {
    Rig rig;
    {
        // Looking changes nothing, although the model shows cut to three characters and no
        // band entry fits the stored band code.
        RadioInformationWindow w(rig.doc, rig.session);
        QCOMPARE(child<QComboBox>(w, "Combo1_0")->currentText(), QStringLiteral("SOL"));
        w.show();
        w.close();
    }
    QVERIFY(!rig.doc.isModified());

    RadioInformationWindow w(rig.doc, rig.session);
    w.show();
    auto* models = child<QComboBox>(w, "Combo1_0");
    models->setCurrentIndex(models->findText(QStringLiteral("715")));
    child<QPushButton>(w, "CommandTimeSync")->click();
    child<QLineEdit>(w, "Text1_1")->setText(QStringLiteral("2.00")); // not left before closing
    QTest::keyClick(&w, Qt::Key_Escape);
    QVERIFY(!w.isVisible());
    const ModelInfo& mi = rig.doc.config().modelInfo;
    QCOMPARE(mi.modelNameCopy.raw(), QByteArray("715\0  ", 6));
    QCOMPARE(mi.typeLetter, int16_t(67));
    QCOMPARE(mi.createDate.raw(), today().toLatin1());
    QCOMPARE(mi.softwareVersionText.raw(), QByteArray("V2.00"));
}

void TestRadioWindows::infoSetWriteSendsWindowValues() {
    Rig rig;
    ScriptedMessages messages;
    RadioInformationWindow w(rig.doc, rig.session);
    w.show();
    auto* models = child<QComboBox>(w, "Combo1_0");
    models->setCurrentIndex(models->findText(QStringLiteral("714")));
    child<QPushButton>(w, "CommandTimeSync")->click();
    child<QLineEdit>(w, "Text1_1")->setText(QStringLiteral("1.05"));
    child<QPushButton>(w, "CommandWrite")->click();
    QVERIFY(rig.finish());
    QCOMPARE(rig.session.lastFailure(), SessionFailure::None);
    QVERIFY(messages.asked.isEmpty()); // success shows nothing
    const QList<QByteArray>& f = rig.link.frames;
    QCOMPARE(f.size(), 6); // PROGRAM, 02, 06, information, version, E
    QCOMPARE(f[3].left(8), QByteArray("NTKK714\xFF"));
    QCOMPARE(f[3].mid(17, 8), today().toLatin1());
    QCOMPARE(f[4], QByteArray("V1.05\xFF\xFF\xFF\xFF\xFF"));
}

void TestRadioWindows::infoSetKeepsStoredBand_data() {
    QTest::addColumn<const Product*>("product");
    QTest::addColumn<QByteArray>("modelCopy");
    QTest::addColumn<int>("codeCopy");
    QTest::addColumn<QString>("pick"); // band entry the user picks; empty: none
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("sent");
    QTest::newRow("default band") << &meridoxProduct() << QByteArray("SOLV") << 4 << QString()
                                  << "25.605000 - 30.115000 MHz" << 4;
    QTest::newRow("solvir default band") << &solvirProduct() << QByteArray("SOLVIR") << 4
                                         << QString() << "25.615000 - 30.105000 MHz" << 4;
    QTest::newRow("band the list lacks")
        << &meridoxProduct() << QByteArray("610") << 99 << QString() << "136 - 174 MHz" << 99;
    QTest::newRow("band of a four-character model")
        << &meridoxProduct() << QByteArray("5470") << 1 << QString() << "350 - 390 MHz" << 1;
    QTest::newRow("picked band") << &meridoxProduct() << QByteArray("715") << 65
                                 << "440 - 480 MHz(C)"
                                 << "400 - 470 MHz" << 0;
}

void TestRadioWindows::infoSetKeepsStoredBand() {
    QFETCH(const Product*, product);
    QFETCH(QByteArray, modelCopy);
    QFETCH(int, codeCopy);
    QFETCH(QString, pick);
    QFETCH(QString, shown);
    QFETCH(int, sent);
    Rig rig;
    rig.doc = Document(*product);
    rig.doc.initialiseDefaults();
    editRecord(rig.doc, [&](RadioConfig& c) {
        c.modelInfo.modelNameCopy.assign(modelCopy + '\0');
        c.modelInfo.bandCodeCopy = int16_t(codeCopy);
    });
    RadioInformationWindow w(rig.doc, rig.session);
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    auto* bands = child<QComboBox>(w, "Combo1_1");
    QCOMPARE(bands->currentIndex(), -1);
    QCOMPARE(bands->placeholderText(), shown);
    if (!pick.isEmpty()) {
        bands->setFocus();
        while (bands->currentText() != pick && bands->currentIndex() < bands->count() - 1)
            QTest::keyClick(bands, Qt::Key_Down);
        QCOMPARE(bands->currentText(), pick);
    }
    child<QPushButton>(w, "CommandWrite")->click();
    QVERIFY(rig.finish());
    QCOMPARE(rig.link.frames.size(), 6);
    QCOMPARE(int(uint8_t(rig.link.frames[3].at(13))), sent);
    QCOMPARE(int(rig.doc.config().modelInfo.bandCodeCopy), sent);
}

void TestRadioWindows::progressWindow_data() {
    QTest::addColumn<int>("commType");
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("label");
    QTest::newRow("read English") << int(RadioOperation::Read) << int(LanguageEnglish)
                                  << "Read data from radio"
                                  << "Completion percentage:";
    QTest::newRow("write Chinese")
        << int(RadioOperation::Write) << int(LanguageChinese) << "向对讲机写入数据"
        << "完成进度:";
}

void TestRadioWindows::progressWindow() {
    QFETCH(int, commType);
    QFETCH(int, language);
    QFETCH(QString, title);
    QFETCH(QString, label);
    setCurrentLanguage(language);
    Rig rig;
    ProgressWindow w(rig.session, RadioOperation(commType));
    auto* label1 = child<QLabel>(w, "Label1");
    auto* label2 = child<QLabel>(w, "Label2");
    auto* bar = child<QProgressBar>(w, "ProgressBar1");
    QCOMPARE(w.windowTitle(), title);
    QCOMPARE(label1->text(), label);
    QCOMPARE(label2->text(), QStringLiteral("0%"));
    QCOMPARE(bar->value(), 0);
    QCOMPARE(gapBetween(label1, label2), twipsToPixelsX(10));
    QVERIFY(label1->x() >= 0);
    emit rig.session.progressChanged(37);
    QCOMPARE(bar->value(), 37);
    QCOMPARE(label2->text(), QStringLiteral("37%"));
    emit rig.session.progressChanged(0); // OK at the restart prompt
    QCOMPARE(label2->text(), QStringLiteral("0%"));
}

void TestRadioWindows::writeWaitsForEditors() {
    Rig rig;
    ScriptedMessages messages; // the write question gets Cancel
    QWidget main;
    RadioCommands commands(rig.doc, rig.session, &main);
    int validated = 0;
    connect(&commands, &RadioCommands::aboutToWrite, &main,
            [&] { validated += rig.link.opens == 0 ? 1 : 100; });
    commands.writeToRadio();
    commands.writeToRadio(); // pressed again while the first waits: ignored
    QCOMPARE(validated, 1);
    QVERIFY(commands.writePending());
    QCOMPARE(rig.link.opens, 0);
    QVERIFY(QTest::qWaitFor([&] { return !messages.asked.isEmpty(); }, 2000));
    QCOMPARE(messages.asked.size(), 1);
    QCOMPARE(messages.asked.first().id, Msg::WriteConfirm);
    QVERIFY(!rig.link.isOpen());
    QVERIFY(rig.link.frames.isEmpty());
    QVERIFY(!commands.progressWindow());
}

// A write stopped while the radio has not yet answered PROGRAM sent it nothing: no "E" is
// due, and the user learns the radio is unchanged.
void TestRadioWindows::writeStoppedBeforeData() {
    Rig rig;
    rig.link.responder = nullptr; // the radio stays silent
    ScriptedMessages messages;
    messages.answers = {MsgAnswer::Ok, MsgAnswer::Yes};
    QWidget main;
    RadioCommands commands(rig.doc, rig.session, &main);
    commands.writeToRadio();
    QVERIFY(QTest::qWaitFor([&] { return commands.progressWindow() != nullptr; }, 2000));
    commands.progressWindow()->close();
    QCOMPARE(
        messages.texts().mid(1),
        QStringList(
            {messageText(Msg::StopWriting),
             QStringLiteral("Writing stopped before any data was sent. The radio is unchanged.")}));
    QCOMPARE(rig.session.lastFailure(), SessionFailure::Cancelled);
    QCOMPARE(rig.link.frames, QList<QByteArray>{QByteArray("PROGRAM")});
}

QTEST_MAIN(TestRadioWindows)
#include "tst_radiowindows.moc"
