// The optional features window offscreen: stored values and their lists, the mode and
// "Single Change Data" rules, and solvir's emergency channel lists.
#include "core/channels/channelrules.h"
#include "recordedit.h"
#include "testsupport.h"
#include "ui/editors/channelgridwindow.h"
#include "ui/editors/optionfeatureswindow.h"
#include "windowtest.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class TestOptFeatures : public QObject, EditorUnderTest<OptionFeaturesWindow> {
    Q_OBJECT
    PrivateUserFolders m_folders;

    OptionFeaturesWindow& open() { return openWindow(); }
    QCheckBox* check(int k) const {
        return m_window->findChild<QCheckBox*>(QStringLiteral("Check1_%1").arg(k));
    }
    QComboBox* list(const QString& name) const { return m_window->findChild<QComboBox*>(name); }
    QStringList itemsOf(const QComboBox* c) const {
        QStringList out;
        for (int i = 0; i < c->count(); ++i)
            out << c->itemText(i);
        return out;
    }
    int word(int w) const { return m_doc->config().optionWords[size_t(w)]; }

  private slots:
    void initTestCase() { setCurrentLanguage(LanguageEnglish); }
    void cleanup() {
        m_window.reset();
        m_doc.reset();
    }

    // A stored word is shown by its control; one that no entry matches is shown as the
    // list's first entry (or the box's default) and stored back so.
    void storedWordsShownAndStoredBack_data() {
        QTest::addColumn<const Product*>("product");
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("word");
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("storedBack");
        const Product* m = &meridoxProduct();
        const Product* s = &solvirProduct();
        QTest::newRow("RB frequency 0") << m << "Combo1_1" << 1 << 0 << "300" << 30;
        QTest::newRow("RB frequency 301") << m << "Combo1_1" << 1 << 301 << "300" << 30;
        QTest::newRow("RB frequency 300") << m << "Combo1_1" << 1 << 300 << "3000" << 300;
        QTest::newRow("time-out 21") << m << "Combo1_0" << 0 << 21 << "Off" << 0;
        QTest::newRow("time-out 20") << m << "Combo1_0" << 0 << 20 << "600" << 20;
        QTest::newRow("SWR 12") << m << "Combo1_9" << 9 << 12 << "1.2" << 12;
        QTest::newRow("battery min 170") << m << "Combo1_10" << 10 << 170 << "17.0" << 170;
        QTest::newRow("squelch delay -1") << m << "Combo1_14" << 23 << -1 << "5" << 0;
        QTest::newRow("single tone 29") << m << "Combo1_15" << 39 << 29 << "300" << 30;
        QTest::newRow("push mode 3") << m << "Combo1_17" << 41 << 3 << "Coarse" << 0;
        QTest::newRow("USB 2 (default on)") << m << "Check1_1" << 13 << 2 << "1" << 1;
        QTest::newRow("common option 2 (default off)") << m << "Check1_7" << 19 << 2 << "0" << 0;
        QTest::newRow("ECHO 3 (default on)") << m << "Check1_11" << 32 << 3 << "1" << 1;
        QTest::newRow("DC protect -1 (default on)") << m << "Check1_17" << 38 << -1 << "1" << 1;
        QTest::newRow("solvir frequency step 2") << s << "Combo1_4" << 4 << 2 << "100Hz" << 2;
        QTest::newRow("solvir RB 2 (default off)") << s << "Check1_15" << 36 << 2 << "0" << 0;
    }
    void storedWordsShownAndStoredBack() {
        QFETCH(const Product*, product);
        QFETCH(QString, control);
        QFETCH(int, word);
        QFETCH(int, stored);
        QFETCH(QString, shown);
        QFETCH(int, storedBack);
        editRecord(freshDoc(*product),
                   [&](RadioConfig& c) { c.optionWords[size_t(word)] = int16_t(stored); });
        open();
        QWidget* w = m_window->findChild<QWidget*>(control);
        QVERIFY(w);
        if (auto* c = qobject_cast<QComboBox*>(w))
            QCOMPARE(c->currentText(), shown);
        else
            QCOMPARE(qobject_cast<QCheckBox*>(w)->isChecked(), shown == QLatin1String("1"));
        QCOMPARE(this->word(word), storedBack);
    }

    void choosingStoresWithOffset_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("word");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::newRow("SWR protect") << "Combo1_9" << 9 << 12 << 200;
        QTest::newRow("RB frequency") << "Combo1_1" << 1 << 30 << 300;
        QTest::newRow("battery max") << "Combo1_11" << 11 << 105 << 170;
        QTest::newRow("scan resume") << "Combo1_7" << 7 << 0 << 59;
    }
    void choosingStoresWithOffset() {
        QFETCH(QString, control);
        QFETCH(int, word);
        QFETCH(int, first);
        QFETCH(int, last);
        freshDoc(meridoxProduct());
        open();
        QComboBox* c = list(control);
        QTest::keyClick(c, Qt::Key_End);
        QCOMPARE(this->word(word), last);
        QTest::keyClick(c, Qt::Key_Home);
        QCOMPARE(this->word(word), first);
    }

    void lastModeStaysChecked_data() {
        QTest::addColumn<const Product*>("product");
        QTest::newRow("meridox") << &meridoxProduct();
        QTest::newRow("solvir") << &solvirProduct();
    }
    void lastModeStaysChecked() {
        QFETCH(const Product*, product);
        Document& doc = freshDoc(*product);
        for (int w = 12; w <= 16; ++w)
            editRecord(doc, [&](RadioConfig& c) { c.optionWords[size_t(w)] = 0; });
        open();
        QTest::mouseClick(check(5), Qt::LeftButton); // CW, the only mode left
        QVERIFY(check(5)->isChecked());
        QCOMPARE(word(17), 1);
        QTest::mouseClick(check(2), Qt::LeftButton); // FM on; now CW may go
        QTest::mouseClick(check(5), Qt::LeftButton);
        QVERIFY(!check(5)->isChecked());
        QCOMPARE(word(17), 0);
        QCOMPARE(word(14), 1);
    }

    void allModesOffStoredBackWithOne() {
        Document& doc = freshDoc(meridoxProduct());
        for (int w = 12; w <= 17; ++w)
            editRecord(doc, [&](RadioConfig& c) { c.optionWords[size_t(w)] = 0; });
        open();
        int on = 0;
        for (int w = 12; w <= 17; ++w)
            on += word(w);
        QCOMPARE(on, 1);
    }

    void singleChangeData() {
        Document& doc = freshDoc(meridoxProduct());
        editRecord(doc, [&](RadioConfig& c) { c.optionWords[30] = 1; }); // BUSY
        editRecord(doc, [&](RadioConfig& c) { c.optionWords[32] = 1; }); // ECHO
        open();
        QVERIFY(check(9)->isChecked());
        QTest::keyClick(check(6), Qt::Key_Space);
        QCOMPARE(word(18), 1);
        for (int k = 9; k <= 15; ++k) {
            QVERIFY(!check(k)->isChecked());
            QVERIFY(!check(k)->isEnabled());
            QCOMPARE(word(21 + k), 0);
        }
        QTest::keyClick(check(6), Qt::Key_Space);
        QCOMPARE(word(18), 0);
        for (int k = 9; k <= 15; ++k) {
            QVERIFY(check(k)->isEnabled());
            QVERIFY(!check(k)->isChecked());
        }
        QTest::mouseClick(check(11), Qt::LeftButton);
        QCOMPARE(word(32), 1);
        // The emergency channel words are carried unchanged.
        QCOMPARE(word(24), 0);
    }

    void singleChangeDataSetWhenShown() {
        Document& doc = freshDoc(solvirProduct());
        editRecord(doc, [&](RadioConfig& c) { c.optionWords[18] = 1; });
        editRecord(doc, [&](RadioConfig& c) { c.optionWords[33] = 1; });
        open();
        QCOMPARE(word(33), 0);
        QVERIFY(!check(12)->isEnabled());
    }

    void productControls_data() {
        QTest::addColumn<const Product*>("product");
        QTest::addColumn<int>("lists");
        QTest::addColumn<int>("boxes");
        QTest::addColumn<QString>("delayLabel");
        QTest::addColumn<QString>("frequencyBox");
        QTest::newRow("meridox") << &meridoxProduct() << 18 << 18 << "FM SQ Close Delay Time[ms]"
                                 << "Single Change RX/TX Frequency";
        QTest::newRow("solvir") << &solvirProduct() << 15 << 16 << "SQ Delay Time 0[ms]"
                                << "Single Change Frequency";
    }
    void productControls() {
        QFETCH(const Product*, product);
        QFETCH(int, lists);
        QFETCH(int, boxes);
        QFETCH(QString, delayLabel);
        QFETCH(QString, frequencyBox);
        freshDoc(*product);
        open();
        QCOMPARE(m_window->objectName(), QStringLiteral("FrmOptFeatures"));
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Optional Features"));
        int shownLists = 0;
        for (int k = 0; k < 18; ++k)
            shownLists += list(QStringLiteral("Combo1_%1").arg(k)) != nullptr;
        int shownBoxes = 0;
        for (int k = 0; k < 18; ++k)
            shownBoxes += check(k) != nullptr;
        QCOMPARE(shownLists, lists);
        QCOMPARE(shownBoxes, boxes);
        QVERIFY(list(QStringLiteral("Combo1_%1").arg(lists - 1)));
        QCOMPARE(m_window->findChild<QLabel*>(QStringLiteral("Label1_12"))->text(), delayLabel);
        QCOMPARE(check(8)->text(), frequencyBox);
        QCOMPARE(list(QStringLiteral("Combo2_0")) != nullptr, !product->emergencyInGrid);
        QCOMPARE(list(QStringLiteral("Combo1_1"))->count(), 271);
        QCOMPARE(list(QStringLiteral("Combo1_9"))->count(), 189);
    }

    // solvir keeps the emergency channels here; they follow channels deleted in the grid,
    // with the grid open or not.
    void solvirEmergencyListsFollowChannels_data() {
        QTest::addColumn<bool>("gridOpen");
        QTest::newRow("grid closed") << false;
        QTest::newRow("grid open") << true;
    }
    void solvirEmergencyListsFollowChannels() {
        QFETCH(bool, gridOpen);
        Document& doc = freshDoc(solvirProduct());
        doc.addChannel(0, 5, QStringLiteral("28.500000"));
        doc.addChannel(0, 3, QStringLiteral("28.300000"));
        editRecord(doc, [&](RadioConfig& c) { c.optionWords[24] = 4; }); // channel 5
        open();
        QComboBox* emergency = list(QStringLiteral("Combo2_0"));
        QCOMPARE(itemsOf(emergency).join(QLatin1Char(',')), QStringLiteral("1,3,5"));
        QCOMPARE(emergency->currentText(), QStringLiteral("5"));
        std::unique_ptr<ChannelGridWindow> grid;
        if (gridOpen) grid = std::make_unique<ChannelGridWindow>(doc);
        doc.setChannelCell(5, ColRx, QString());
        QCOMPARE(itemsOf(emergency).join(QLatin1Char(',')), QStringLiteral("1,3"));
        QCOMPARE(emergency->currentText(), QStringLiteral("1"));
        QCOMPARE(word(24), 0);
        // Closing the grid leaves this window listening.
        grid.reset();
        doc.setChannelCell(3, ColRx, QString());
        QCOMPARE(itemsOf(emergency).join(QLatin1Char(',')), QStringLiteral("1"));
        QTest::keyClick(list(QStringLiteral("Combo2_1")), Qt::Key_Home);
        QCOMPARE(word(25), 0);
        m_window.reset();
        doc.setChannelCell(3, ColRx, QStringLiteral("28")); // nobody listens: no crash
    }
};

QTEST_MAIN(TestOptFeatures)
#include "tst_optfeatures.moc"
