// The test window and the parameter window against the virtual radio on a pseudo-terminal.
#include "core/channels/channelrules.h"
#include "core/comm/session.h"
#include "core/comm/testmode.h"
#include "radiolauncher.h"
#include "testsupport.h"
#include "ui/radio/testmodewindow.h"
#include "ui/radio/testparameterswindow.h"
#include "windowtest.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {
QColor lampColour(QWidget* window, const char* name) {
    return window->findChild<QLabel*>(QLatin1String(name))->property("lampColor").value<QColor>();
}
} // namespace

class TestTestModeWindows : public QObject {
    Q_OBJECT
    PrivateUserFolders folders;

    // The main window's side, entered into test mode with a radio whose test frequencies match
    // (or differ, with extra radio options).
    struct Rig {
        VirtualRadio radio;
        Document doc;
        PortLink link;
        RadioSession session{doc, link};
        TestModeEngine engine{doc, session};
        QWidget main;
        TestModeWindows windows{engine, doc, &main};
        ScriptedMessages messages;
        explicit Rig(const Product& p) : doc(p) { doc.initialiseDefaults(); }

        bool enter(const QStringList& radioArgs = {}) {
            if (!radio.start(doc.product().program, radioArgs)) return false;
            session.setPortName(radio.linkPath());
            main.show();
            return engine.start();
        }
        TestModeWindow* window() {
            if (!QTest::qWaitFor([this] { return windows.testWindow() != nullptr; }, 5000) ||
                !QTest::qWaitFor([this] { return engine.queue().isEmpty(); }, 2000))
                return nullptr;
            return windows.testWindow();
        }
        // Frames the program sent, as the radio logged them.
        QStringList frames() const {
            QStringList out;
            for (const QString& line : radio.log())
                if (line.startsWith(QLatin1String("> "))) out << line.mid(2);
            return out;
        }
        // Waits until the program has sent `wanted` after the first `from` frames.
        bool sent(int from, const QStringList& wanted) {
            return QTest::qWaitFor([&] { return frames().mid(from) == wanted; }, 3000);
        }
        template <class T> T* find(QWidget* w, const char* name) {
            return w->findChild<T*>(QLatin1String(name));
        }
    };

    static QString code(int c, const char* rest) {
        return QStringLiteral("%1 ").arg(c, 2, 16, QLatin1Char('0')).toUpper() +
               QLatin1String(rest);
    }

  private slots:
    void initTestCase();
    void products_data();
    void enterOpensTestWindow_data() { products_data(); }
    void enterOpensTestWindow();
    void mismatchNeverOpens();
    void channelAndSignalling();
    void wideWhileTransmitting();
    void refusedCommandKeepsState_data();
    void refusedCommandKeepsState();
    void tuneLayout_data();
    void tuneLayout();
    void typedAndSliderValues();
    void readingLayoutPolls();
    void closingEndsTestMode();
    void closingAtFullQueueEnds();
};

void TestTestModeWindows::initTestCase() {
    QVERIFY(folders.config.isValid() && folders.runtime.isValid());
    setCurrentLanguage(LanguageEnglish);
}

void TestTestModeWindows::products_data() {
    QTest::addColumn<const Product*>("product");
    QTest::newRow("meridox") << &meridoxProduct();
    QTest::newRow("solvir") << &solvirProduct();
}

void TestTestModeWindows::enterOpensTestWindow() {
    QFETCH(const Product*, product);
    Rig rig(*product);
    QVERIFY(rig.enter());
    TestModeWindow* w = rig.window();
    QVERIFY(w && w->isVisible());
    QCOMPARE(w->windowTitle(), QStringLiteral("Test Mode"));
    auto* channels = rig.find<QComboBox>(w, "Combo1_0");
    QCOMPARE(channels->count(), 6);
    QCOMPARE(channels->currentText(), QStringLiteral("1"));
    QCOMPARE(rig.find<QLabel>(w, "Label2_0")->text(),
             shownFrequency(rig.doc, QStringLiteral("15050000")));
    QVERIFY(!rig.find<QPushButton>(w, "CommandTune")->isEnabled());
    QCOMPARE(lampColour(w, "ShapePTT"), QColor(0, 255, 0));
    QVERIFY(rig.find<QLabel>(w, "LabelWide")->isVisible());
    QVERIFY(!rig.find<QLabel>(w, "LabelNarrow")->isVisible());
    QVERIFY(rig.messages.asked.isEmpty());
}

void TestTestModeWindows::mismatchNeverOpens() {
    Rig rig(meridoxProduct());
    QVERIFY(rig.enter({QStringLiteral("--test-freq-differ"), QStringLiteral("5")}));
    QVERIFY(QTest::qWaitFor([&] { return !rig.session.busy(); }, 5000));
    QTest::qWait(400);
    QVERIFY(!rig.windows.testWindow());
    QCOMPARE(rig.messages.texts(),
             QStringList{QStringLiteral("Test Frequency nismatch.\r\nExecute read data from "
                                        "radio\r\nor write to radio.")});
}

void TestTestModeWindows::channelAndSignalling() {
    Rig rig(meridoxProduct());
    QVERIFY(rig.enter());
    TestModeWindow* w = rig.window();
    QVERIFY(w);
    auto* channels = rig.find<QComboBox>(w, "Combo1_0");
    auto* signalling = rig.find<QComboBox>(w, "Combo1_1");
    const int before = int(rig.frames().size());
    // The channel shown already: nothing is sent.
    channels->activated(0);
    QTest::qWait(150);
    QCOMPARE(rig.frames().size(), before);

    channels->setFocus();
    QTest::keyClick(channels, Qt::Key_Down);
    QTest::keyClick(channels, Qt::Key_Down);
    QCOMPARE(channels->currentText(), QStringLiteral("3"));
    QCOMPARE(w->currentTestChannel(), 3);
    QCOMPARE(rig.find<QLabel>(w, "Label2_0")->text(),
             shownFrequency(rig.doc, rig.engine.radioTestFreqs()[2].rx));
    signalling->setFocus();
    QTest::keyClick(signalling, Qt::Key_End);
    QCOMPARE(w->currentSignalling(), 9);
    QCOMPARE(rig.find<QLabel>(w, "Label2_2")->text(), QStringLiteral("MSK 1200bps"));
    QVERIFY(
        rig.sent(before, {QStringLiteral("10 02"), QStringLiteral("06"), QStringLiteral("10 03"),
                          QStringLiteral("06"), QStringLiteral("11 09")}));
    QVERIFY(rig.messages.asked.isEmpty());
}

void TestTestModeWindows::wideWhileTransmitting() {
    Rig rig(meridoxProduct());
    QVERIFY(rig.enter());
    TestModeWindow* w = rig.window();
    QVERIFY(w);
    const int before = int(rig.frames().size());
    auto* ptt = rig.find<QCheckBox>(w, "CommandPTT");
    QTest::mouseClick(ptt, Qt::LeftButton);
    QVERIFY(w->transmitting());
    QCOMPARE(lampColour(w, "ShapePTT"), QColor(255, 0, 0));
    QVERIFY(rig.find<QLabel>(w, "LabelTxInd")->isVisible());
    // Narrow first, then Wide while transmitting: the transmitter goes off before "F".
    QTest::mouseClick(rig.find<QPushButton>(w, "CommandNarrow"), Qt::LeftButton);
    QVERIFY(rig.find<QLabel>(w, "LabelNarrow")->isVisible());
    QVERIFY(w->transmitting());
    QTest::mouseClick(rig.find<QPushButton>(w, "CommandWide"), Qt::LeftButton);
    QVERIFY(!w->transmitting() && !ptt->isChecked());
    QCOMPARE(lampColour(w, "ShapePTT"), QColor(0, 255, 0));
    QVERIFY(rig.find<QLabel>(w, "LabelWide")->isVisible());
    QVERIFY(rig.sent(before, {QStringLiteral("08 0E"), QStringLiteral("47"),
                              QStringLiteral("08 0D"), QStringLiteral("46")}));
    // Print only lets go of the transmitter; with it off it sends nothing.
    QTest::mouseClick(rig.find<QPushButton>(w, "CommandPrint"), Qt::LeftButton);
    QTest::qWait(150);
    QCOMPARE(rig.frames().size(), before + 4);
}

void TestTestModeWindows::refusedCommandKeepsState_data() {
    QTest::addColumn<bool>("transmitting");
    QTest::addColumn<QString>("control");
    QTest::newRow("PTT on") << false << QStringLiteral("CommandPTT");
    QTest::newRow("PTT off") << true << QStringLiteral("CommandPTT");
    QTest::newRow("Wide while transmitting") << true << QStringLiteral("CommandWide");
    QTest::newRow("test channel") << false << QStringLiteral("Combo1_0");
    QTest::newRow("signalling") << false << QStringLiteral("Combo1_1");
}

// A click the full queue refuses sends nothing, so the window goes on showing what the radio
// does: a transmitter shown off while it is keyed would be left transmitting.
void TestTestModeWindows::refusedCommandKeepsState() {
    QFETCH(bool, transmitting);
    QFETCH(QString, control);
    Rig rig(meridoxProduct());
    QVERIFY(rig.enter({QStringLiteral("--reply-delay"), QStringLiteral("50")}));
    TestModeWindow* w = rig.window();
    QVERIFY(w);
    auto* ptt = rig.find<QCheckBox>(w, "CommandPTT");
    if (transmitting) QTest::mouseClick(ptt, Qt::LeftButton);
    while (rig.engine.readParameter(1)) {
    }
    QCOMPARE(rig.messages.texts().value(0), QStringLiteral("Comm List is full!"));
    QWidget* widget = w->findChild<QWidget*>(control);
    if (auto* box = qobject_cast<QComboBox*>(widget))
        box->activated(2);
    else
        QTest::mouseClick(widget, Qt::LeftButton);
    QCOMPARE(rig.messages.asked.size(), 2);
    QCOMPARE(w->transmitting(), transmitting);
    QCOMPARE(ptt->isChecked(), transmitting);
    QCOMPARE(lampColour(w, "ShapePTT"), transmitting ? QColor(255, 0, 0) : QColor(0, 255, 0));
    QCOMPARE(w->currentTestChannel(), 1);
    QCOMPARE(w->currentSignalling(), 1);
    QCOMPARE(rig.find<QComboBox>(w, "Combo1_0")->currentIndex(), 0);
    QCOMPARE(rig.find<QLabel>(w, "Label2_0")->text(),
             shownFrequency(rig.doc, rig.engine.radioTestFreqs()[0].rx));
    QCOMPARE(rig.find<QLabel>(w, "Label2_2")->text(), testSignallingText(1, false));
}

void TestTestModeWindows::tuneLayout_data() {
    QTest::addColumn<int>("item");
    QTest::addColumn<bool>("narrow");
    QTest::addColumn<QList<int>>("tabs");
    QTest::addColumn<bool>("reading");
    QTest::newRow("RF High Power: six levels")
        << 1 << false << QList<int>{0, 1, 2, 3, 4, 5} << false;
    QTest::newRow("Max Deviation wide: four") << 4 << false << QList<int>{0, 1, 3, 5} << false;
    QTest::newRow("Max Deviation narrow: one") << 4 << true << QList<int>{0} << false;
    QTest::newRow("Sensitivity narrow: four") << 8 << true << QList<int>{0, 1, 3, 5} << false;
    QTest::newRow("MSK Fine Deviation: one") << 11 << false << QList<int>{0} << false;
    QTest::newRow("RSSI: reading") << 15 << false << QList<int>{0} << true;
}

void TestTestModeWindows::tuneLayout() {
    QFETCH(int, item);
    QFETCH(bool, narrow);
    QFETCH(QList<int>, tabs);
    QFETCH(bool, reading);
    Rig rig(meridoxProduct());
    QVERIFY(rig.enter());
    TestModeWindow* w = rig.window();
    QVERIFY(w);
    if (narrow) {
        QTest::mouseClick(rig.find<QPushButton>(w, "CommandNarrow"), Qt::LeftButton);
        QVERIFY(QTest::qWaitFor([&] { return rig.engine.queue().isEmpty(); }, 2000));
    }
    auto* list = rig.find<QListWidget>(w, "List1");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(item - 1)).center());
    QCOMPARE(w->currentItem(), item);
    auto* tune = rig.find<QPushButton>(w, "CommandTune");
    QVERIFY(tune->isEnabled());
    const int before = int(rig.frames().size());
    QTest::mouseClick(tune, Qt::LeftButton);
    QVERIFY(QTest::qWaitFor([&] { return w->parameterWindow() != nullptr; }, 3000));
    TestParametersWindow* p = w->parameterWindow();
    QVERIFY(p->isVisible() && p->isModal());
    auto* tabWidget = rig.find<QTabWidget>(p, "SSTab1");
    QCOMPARE(tabWidget->isVisible(), !reading);
    QCOMPARE(rig.find<QPushButton>(p, "Command1")->isVisible(), reading);
    QCOMPARE(rig.find<QPushButton>(p, "Command2")->isVisible(), !reading);
    QList<int> enabled;
    for (int i = 0; i < TestLevelCount; ++i)
        if (tabWidget->isTabEnabled(i)) enabled << i;
    QCOMPARE(enabled, tabs);
    // The sliders show the radio's values from the parameter block.
    const int level0 = testParameterCode(item, 0);
    QCOMPARE(rig.find<QSlider>(p, "Slider1_0")->value(), 40 + (level0 * 37) % 180);

    // Closing restores the values read, level by level, and confirms the last one.
    QTest::mouseClick(rig.find<QPushButton>(p, "Command4"), Qt::LeftButton);
    QStringList restore;
    int last = 0;
    for (const int level : tabs) {
        const int c = testParameterCode(item, level);
        restore << code(c, "0D")
                << QStringLiteral("%1 20 %2")
                       .arg(c, 2, 16, QLatin1Char('0'))
                       .arg(40 + (c * 37) % 180, 2, 16, QLatin1Char('0'))
                       .toUpper();
        last = c;
    }
    restore << code(last, "0E");
    QVERIFY(rig.sent(before,
                     QStringList({QStringLiteral("05"), QStringLiteral("06"), code(level0, "0D")}) +
                         restore));
    QVERIFY(!w->parameterWindow());
    QVERIFY(rig.messages.asked.isEmpty());
}

void TestTestModeWindows::typedAndSliderValues() {
    Rig rig(meridoxProduct());
    QVERIFY(rig.enter());
    TestModeWindow* w = rig.window();
    QVERIFY(w);
    auto* list = rig.find<QListWidget>(w, "List1");
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down); // RF High Power
    QTest::keyClick(list, Qt::Key_Return);
    QVERIFY(QTest::qWaitFor([&] { return w->parameterWindow() != nullptr; }, 3000));
    TestParametersWindow* p = w->parameterWindow();
    QVERIFY(QTest::qWaitFor([&] { return rig.engine.queue().isEmpty(); }, 2000));
    const int before = int(rig.frames().size());

    auto* text = rig.find<QLineEdit>(p, "Text2_0");
    text->selectAll();
    QTest::keyClicks(text, QStringLiteral("12a.3"));
    QCOMPARE(text->text(), QStringLiteral("123"));
    QTest::keyClick(text, Qt::Key_Return); // consumed: the value goes to the slider
    auto* slider = rig.find<QSlider>(p, "Slider1_0");
    QCOMPARE(slider->value(), 123);
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Right);
    QCOMPARE(text->text(), QStringLiteral("124"));
    QTest::mouseClick(rig.find<QPushButton>(p, "Command3"), Qt::LeftButton);
    // A tab reads the item's six values.
    QTest::mouseClick(rig.find<QTabWidget>(p, "SSTab1")->tabBar(), Qt::LeftButton, {},
                      rig.find<QTabWidget>(p, "SSTab1")->tabBar()->tabRect(3).center());
    QVERIFY(rig.sent(before, {QStringLiteral("12 20 7B"), QStringLiteral("12 20 7C"),
                              QStringLiteral("12 0E"), QStringLiteral("31 0D"),
                              QStringLiteral("07"), QStringLiteral("06")}));
    QVERIFY(QTest::qWaitFor([&] { return slider->value() == 124; }, 2000)); // read back
    // The confirmed value stays when the window closes.
    p->close();
    QVERIFY(QTest::qWaitFor(
        [&] {
            return rig.frames().contains(QStringLiteral("12 20 7C")) &&
                   rig.frames().count(QStringLiteral("12 20 7C")) == 2;
        },
        3000));
}

void TestTestModeWindows::readingLayoutPolls() {
    Rig rig(meridoxProduct());
    QVERIFY(rig.enter());
    TestModeWindow* w = rig.window();
    QVERIFY(w);
    auto* list = rig.find<QListWidget>(w, "List1");
    list->setCurrentRow(14); // RSSI
    QTest::mouseClick(rig.find<QPushButton>(w, "CommandTune"), Qt::LeftButton);
    QVERIFY(QTest::qWaitFor([&] { return w->parameterWindow() != nullptr; }, 3000));
    TestParametersWindow* p = w->parameterWindow();
    auto* read = rig.find<QPushButton>(p, "Command1");
    QTest::mouseClick(read, Qt::LeftButton);
    QVERIFY(p->liveReading());
    QCOMPARE(lampColour(p, "ShapeRead"), QColor(0, 255, 0));
    QVERIFY(
        QTest::qWaitFor([&] { return rig.frames().count(QStringLiteral("22 0A")) >= 2; }, 3000));
    QTest::mouseClick(read, Qt::LeftButton);
    QVERIFY(!p->liveReading());
    const int value = rig.find<QLabel>(p, "LabelValue")->text().toInt();
    QVERIFY(qAbs(value - (40 + (34 * 37) % 180)) <= 1);
    QVERIFY(rig.messages.asked.isEmpty());
}

void TestTestModeWindows::closingEndsTestMode() {
    Rig rig(meridoxProduct());
    QVERIFY(rig.enter());
    TestModeWindow* w = rig.window();
    QVERIFY(w);
    auto* signalling = rig.find<QComboBox>(w, "Combo1_1");
    signalling->setFocus();
    QTest::keyClick(signalling, Qt::Key_Down);
    QTest::mouseClick(rig.find<QCheckBox>(w, "CommandPTT"), Qt::LeftButton);
    QVERIFY(QTest::qWaitFor([&] { return rig.engine.queue().isEmpty(); }, 2000));
    const int before = int(rig.frames().size());
    QTest::keyClick(w, Qt::Key_Escape);
    // The close itself does not key the transmitter off: the radio drops it on leaving.
    QVERIFY(rig.sent(before, {QStringLiteral("11 02"), QStringLiteral("45")}));
    QVERIFY(QTest::qWaitFor([&] { return !rig.session.busy(); }, 2000));
    QVERIFY(!rig.link.isOpen());
    QVERIFY(QTest::qWaitFor([&] { return !rig.windows.testWindow(); }, 2000));
}

// Closing the window when the queue has no room: the commands queued go out, then the end.
void TestTestModeWindows::closingAtFullQueueEnds() {
    Rig rig(meridoxProduct());
    QVERIFY(rig.enter({QStringLiteral("--reply-delay"), QStringLiteral("20")}));
    TestModeWindow* w = rig.window();
    QVERIFY(w);
    const int before = int(rig.frames().size());
    int queued = 0;
    while (rig.engine.readParameter(1))
        ++queued;
    rig.messages.clear();
    QTest::keyClick(w, Qt::Key_Escape);
    QVERIFY(waitForSessionEnd(rig.session, 10000));
    const QStringList sent = rig.frames().mid(before);
    QCOMPARE(sent.count(QStringLiteral("01 0A")), queued);
    QCOMPARE(sent.mid(sent.size() - 2),
             QStringList({QStringLiteral("11 01"), QStringLiteral("45")}));
    QVERIFY(rig.messages.asked.isEmpty());
}

QTEST_MAIN(TestTestModeWindows)
#include "tst_testmodewindows.moc"
