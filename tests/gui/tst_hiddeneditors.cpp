// The key assignment, scan, DTMF, FleetSync and test-frequency windows offscreen, driven with
// keys and clicks: what each pick, box and grid cell stores in the record. Opening any editor,
// the option and message windows included, stores nothing.
#include "core/channels/channelrules.h"
#include "core/config/datafile.h"
#include "recordedit.h"
#include "testsupport.h"
#include "ui/common/edithistory.h"
#include "ui/common/hiddengrid.h"
#include "ui/editors/dtmfwindow.h"
#include "ui/editors/fleetsyncwindow.h"
#include "ui/editors/keyassignmentwindow.h"
#include "ui/editors/messagelineswindow.h"
#include "ui/editors/optionfeatureswindow.h"
#include "ui/editors/scanwindow.h"
#include "ui/editors/testfrequencieswindow.h"
#include "windowtest.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {
QStringList words(std::initializer_list<const char*> texts) {
    QStringList out;
    for (const char* t : texts)
        out << QString::fromUtf8(t);
    return out;
}
QByteArray field(const char* text, int width, bool terminated) {
    QByteArray b(text);
    if (terminated) b.append('\0');
    return b.leftJustified(width, ' ');
}

// A record as a hand-edited file or another program version may leave it: values no list
// offers, texts without their terminator.
void makeAwkward(RadioConfig& c) {
    c.keyAssign = {8, 300};
    c.scanWords = {0, 99, 0, 92, 2, 301, -1};
    c.dtmf.encode = {9, 7, 5, 2, 40, 3};
    c.dtmf.decode = {'Z', 30, 9, 9, 1};
    c.dtmf.stunType = 7;
    c.dtmf.idCode.assign(QByteArray(" 12"));
    c.dtmf.stunCode.assign(QByteArray("12345678901"));
    c.fleetSync = {400, 5000, 9, -1, 99999, 2};
    c.embeddedMessage[0].assign(QByteArray("NO TERMINATOR, FULL THIRTY-TWO!!"));
    c.embeddedMessage[1].assign(QByteArray("caf\xe9 au lait"));
    for (int i = 0; i < MaxOptionWords; ++i)
        c.optionWords[size_t(i)] = int16_t(500 + i);
}
} // namespace

class TestHiddenEditors : public QObject {
    Q_OBJECT
    PrivateUserFolders m_folders;
    std::unique_ptr<Document> m_doc;
    std::unique_ptr<QWidget> m_window;
    std::unique_ptr<ScriptedMessages> m_messages;

    template <class W> W& open() {
        auto* w = new W(*m_doc);
        m_window.reset(w);
        return showActive(w);
    }
    template <class T> T* child(const char* name) const {
        T* c = m_window->findChild<T*>(QLatin1String(name));
        if (!c) qFatal("no control %s", name);
        return c;
    }
    QComboBox* list(const char* name) const { return child<QComboBox>(name); }
    EditorGrid* grid() const { return child<EditorGrid>("MSFlexGrid1"); }

    // Picks an entry the way a user does: focus the list, then arrow keys.
    static void choose(QComboBox* box, const QString& text) {
        QVERIFY2(box->findText(text) >= 0, qPrintable(text));
        box->setFocus();
        if (box->currentIndex() < 0) QTest::keyClick(box, Qt::Key_Home);
        if (std::abs(box->currentIndex() - box->findText(text)) > 20)
            QTest::keyClicks(box, text); // the list's type-ahead search
        // A pick may change the list itself (the FleetSync blanks): look the entry up anew.
        for (int steps = 0; box->currentText() != text && steps < 50; ++steps)
            QTest::keyClick(box,
                            box->currentIndex() < box->findText(text) ? Qt::Key_Down : Qt::Key_Up);
        QCOMPARE(box->currentText(), text);
    }
    static QStringList entries(const QComboBox* box) {
        QStringList out;
        for (int i = 0; i < box->count(); ++i)
            out << box->itemText(i);
        return out;
    }
    void clickCell(int row, int column) {
        EditorGrid* g = grid();
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {},
                          g->visualRect(g->model()->index(row, column)).center());
    }
    // Opens the editor on a cell, replaces its text by typing, and clicks away (on the fixed
    // column), which commits it.
    void typeCell(int row, int column, const QString& typed) {
        clickCell(row, column);
        QLineEdit* editor = grid()->editor();
        QVERIFY(editor->hasFocus());
        editor->selectAll();
        QTest::keyClick(editor, Qt::Key_Backspace);
        QTest::keyClicks(editor, typed);
        clickCell(row, 0);
        QVERIFY(!grid()->editorOpen());
    }

  private slots:
    void init() {
        setCurrentLanguage(LanguageEnglish);
        m_messages = std::make_unique<ScriptedMessages>();
        m_doc = std::make_unique<Document>(meridoxProduct());
        m_doc->initialiseDefaults();
    }
    void cleanup() {
        m_window.reset();
        m_doc.reset();
        m_messages.reset();
    }

    void titlesFollowTheLanguage_data() {
        QTest::addColumn<bool>("solvir");
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("titles");
        const QStringList english =
            words({"Key Assignment", "Scan Information", "DTMF", "FleetSync", "Test Frequency"});
        const QStringList chinese =
            words({"键设定", "扫描信息", "DTMF(双音多频)", "FleetSync(队列同步)", "测试频率"});
        QTest::newRow("meridox English") << false << int(LanguageEnglish) << english;
        QTest::newRow("meridox Chinese") << false << int(LanguageChinese) << chinese;
        QTest::newRow("solvir Chinese") << true << int(LanguageChinese) << chinese;
    }
    void titlesFollowTheLanguage() {
        QFETCH(bool, solvir);
        QFETCH(int, language);
        QFETCH(QStringList, titles);
        m_doc = std::make_unique<Document>(solvir ? solvirProduct() : meridoxProduct());
        m_doc->initialiseDefaults();
        setCurrentLanguage(language);
        const RadioConfig before = m_doc->config();
        QStringList seen;
        seen << open<KeyAssignmentWindow>().windowTitle() << open<ScanWindow>().windowTitle()
             << open<DtmfWindow>().windowTitle() << open<FleetSyncWindow>().windowTitle()
             << open<TestFrequenciesWindow>().windowTitle();
        QCOMPARE(seen, titles);
        m_window.reset();
        // Opening and closing stores nothing and asks nothing.
        QVERIFY(m_messages->asked.isEmpty());
        QCOMPARE(m_doc->config().dtmf.idCode.raw(), before.dtmf.idCode.raw());
        QCOMPARE(m_doc->config().keyAssign, before.keyAssign);
        QCOMPARE(m_doc->config().fleetSync.ownFleet, before.fleetSync.ownFleet);
        QCOMPARE(m_doc->config().scanWords, before.scanWords);
        QCOMPARE(m_doc->config().testFreqs[0].rxFreq.raw(), before.testFreqs[0].rxFreq.raw());
    }

    void openingChangesNothing_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<bool>("awkward");
        for (const char* w : {"FrmKeyAssignm", "FrmScanInfo", "FrmDTMF", "FrmFleetSync",
                              "FrmTestFre", "FrmEmbMsg"}) {
            QTest::addRow("%s defaults", w) << QString::fromLatin1(w) << false;
            QTest::addRow("%s awkward record", w) << QString::fromLatin1(w) << true;
        }
        QTest::newRow("FrmOptFeatures defaults") << QStringLiteral("FrmOptFeatures") << false;
    }
    void openingChangesNothing() {
        QFETCH(QString, window);
        QFETCH(bool, awkward);
        if (awkward) {
            editRecord(*m_doc, makeAwkward);
            m_doc->takeSnapshot();
        }
        const QByteArray before = encodeRecord(m_doc->product(), m_doc->config());
        if (window == QLatin1String("FrmKeyAssignm")) open<KeyAssignmentWindow>();
        if (window == QLatin1String("FrmScanInfo")) open<ScanWindow>();
        if (window == QLatin1String("FrmDTMF")) open<DtmfWindow>();
        if (window == QLatin1String("FrmFleetSync")) open<FleetSyncWindow>();
        if (window == QLatin1String("FrmTestFre")) open<TestFrequenciesWindow>();
        if (window == QLatin1String("FrmEmbMsg")) open<MessageLinesWindow>();
        if (window == QLatin1String("FrmOptFeatures")) open<OptionFeaturesWindow>();
        QCOMPARE(m_window->objectName(), window);
        m_window->close();
        m_window.reset();
        QVERIFY(m_messages->asked.isEmpty());
        QVERIFY(!m_doc->isModified());
        QCOMPARE(encodeRecord(m_doc->product(), m_doc->config()), before);
    }

    // The scan window shows a stored rule its priority mode does not offer as no selection and
    // keeps it until the user picks one.
    void scanRevertNotOfferedStays_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("revert");
        QTest::newRow("none, priority") << 0 << 2;
        QTest::newRow("none, priority+talk back") << 0 << 3;
        QTest::newRow("selected, selected+talk back") << 2 << 1;
        QTest::newRow("fixed, unknown rule 4") << 1 << 4;
    }
    void scanRevertNotOfferedStays() {
        QFETCH(int, mode);
        QFETCH(int, revert);
        editRecord(*m_doc, [&](RadioConfig& c) { c.scanWords[0] = int16_t(mode); });
        editRecord(*m_doc, [&](RadioConfig& c) { c.scanWords[4] = int16_t(revert); });
        open<ScanWindow>();
        QComboBox* rule = list("Combo1_4");
        QCOMPARE(rule->currentIndex(), -1);
        QCOMPARE(int(m_doc->config().scanWords[4]), revert);
        const QString first = rule->itemText(0);
        choose(rule, rule->itemText(1));
        choose(rule, first);
        QCOMPARE(int(m_doc->config().scanWords[4]), mode == 2 ? 2 : 0);
    }

    // ---- key assignment ----

    void keyFunctionCodes_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("code");
        QTest::newRow("Squelch Off") << "Squelch Off" << 9;
        QTest::newRow("Scan+Temporary Delete") << "Scan+Temporary Delete" << 7;
        QTest::newRow("None") << "None" << 255;
        QTest::newRow("Key Lock") << "Key Lock" << 2;
        QTest::newRow("Temporary Delete") << "Temporary Delete" << 11;
    }
    void keyFunctionCodes() {
        QFETCH(QString, name);
        QFETCH(int, code);
        open<KeyAssignmentWindow>();
        QCOMPARE(list("Combo1_0")->currentText(), QStringLiteral("None"));
        QCOMPARE(list("Combo1_1")->currentText(), QStringLiteral("Squelch Off Momentary"));
        QCOMPARE(list("Combo1_1")->count(), 10);
        choose(list("Combo1_1"), name);
        QCOMPARE(int(m_doc->config().keyAssign[1]), code);
        QCOMPARE(int(m_doc->config().keyAssign[0]), 255);
    }

    void reservedCodeStaysUntilPicked() {
        editRecord(*m_doc, [&](RadioConfig& c) { c.keyAssign[0] = 8; });
        setCurrentLanguage(LanguageChinese);
        open<KeyAssignmentWindow>();
        QComboBox* pf1 = list("Combo1_0");
        QCOMPARE(pf1->currentIndex(), -1);
        QCOMPARE(pf1->placeholderText(), QStringLiteral("保留2"));
        QCOMPARE(list("Combo1_1")->currentText(), QStringLiteral("瞬时取消静噪"));
        m_window->close();
        QCOMPARE(int(m_doc->config().keyAssign[0]), 8);
    }

    // ---- scan information ----

    void scanDefaults() {
        open<ScanWindow>();
        const QStringList shown =
            words({"None", "None", "2.00", "3.00", "Selected+Talk Back", "3", "3"});
        for (int i = 0; i < 7; ++i)
            QCOMPARE(list(qPrintable(QStringLiteral("Combo1_%1").arg(i)))->currentText(), shown[i]);
        QVERIFY(!list("Combo1_1")->isEnabled());
        QVERIFY(!list("Combo1_2")->isEnabled());
        QVERIFY(!list("Combo1_3")->isEnabled());
        QCOMPARE(entries(list("Combo1_0")), (words({"None", "Fixd", "Selected"})));
    }

    // The revert rule follows the priority mode and keeps its "+Talk Back" part.
    void revertRuleAcrossModes_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("revert");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QStringList>("offered");
        QTest::addColumn<int>("stored");
        const QStringList all =
            words({"Selected", "Selected+Talk Back", "Priority", "Priority+Talk Back"});
        QTest::newRow("fixed offers all") << 0 << 1 << "Fixd" << all << 1;
        QTest::newRow("selected keeps talk back")
            << 1 << 1 << "Selected" << words({"Priority", "Priority+Talk Back"}) << 3;
        QTest::newRow("selected from plain")
            << 1 << 0 << "Selected" << words({"Priority", "Priority+Talk Back"}) << 2;
        QTest::newRow("none from priority")
            << 1 << 2 << "None" << words({"Selected", "Selected+Talk Back"}) << 0;
        QTest::newRow("none keeps talk back")
            << 2 << 3 << "None" << words({"Selected", "Selected+Talk Back"}) << 1;
    }
    void revertRuleAcrossModes() {
        QFETCH(int, mode);
        QFETCH(int, revert);
        QFETCH(QString, chosen);
        QFETCH(QStringList, offered);
        QFETCH(int, stored);
        editRecord(*m_doc, [&](RadioConfig& c) { c.scanWords[0] = int16_t(mode); });
        editRecord(*m_doc, [&](RadioConfig& c) { c.scanWords[4] = int16_t(revert); });
        open<ScanWindow>();
        choose(list("Combo1_0"), chosen);
        QCOMPARE(entries(list("Combo1_4")), offered);
        QCOMPARE(int(m_doc->config().scanWords[4]), stored);
        const QStringList names =
            words({"Selected", "Selected+Talk Back", "Priority", "Priority+Talk Back"});
        QCOMPARE(list("Combo1_4")->currentText(), names.at(stored));
        const bool fixed = chosen == QLatin1String("Fixd");
        QCOMPARE(list("Combo1_1")->isEnabled(), fixed);
        QCOMPARE(list("Combo1_2")->isEnabled(), chosen != QLatin1String("None"));
    }

    void scanListValues_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("lastChannel");
        QTest::addColumn<QString>("listName");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<int>("word");
        QTest::addColumn<int>("stored");
        QTest::newRow("610 has 8, None is 255") << "610"
                                                << "8"
                                                << "Combo1_1"
                                                << "None" << 1 << 255;
        QTest::newRow("715 has 16") << "715"
                                    << "16"
                                    << "Combo1_1"
                                    << "16" << 1 << 16;
        QTest::newRow("WX40 has 40, 0.50 is 1") << "WX40"
                                                << "40"
                                                << "Combo1_2"
                                                << "0.50" << 2 << 1;
        QTest::newRow("5.00 is 91") << "SOLV"
                                    << "40"
                                    << "Combo1_3"
                                    << "5.00" << 3 << 91;
        QTest::newRow("dwell 300") << "SOLV"
                                   << "40"
                                   << "Combo1_6"
                                   << "300" << 6 << 300;
    }
    void scanListValues() {
        QFETCH(QString, model);
        QFETCH(QString, lastChannel);
        QFETCH(QString, listName);
        QFETCH(QString, chosen);
        QFETCH(int, word);
        QFETCH(int, stored);
        useModelAndBand(*m_doc, model, m_doc->band());
        editRecord(*m_doc, [&](RadioConfig& c) {
            c.scanWords[0] = 1;
        }); // fixed priority: every list enabled
        editRecord(*m_doc, [&](RadioConfig& c) { c.scanWords[1] = 5; });
        open<ScanWindow>();
        QComboBox* channels = list("Combo1_1");
        QCOMPARE(channels->itemText(0), QStringLiteral("None"));
        QCOMPARE(channels->itemText(channels->count() - 1), lastChannel);
        choose(list(qPrintable(listName)), chosen);
        QCOMPARE(int(m_doc->config().scanWords[size_t(word)]), stored);
    }

    // ---- DTMF ----

    void dtmfDefaults() {
        open<DtmfWindow>();
        const QStringList encode = words({"6", "0", "100", "0", "D Code"});
        for (int i = 0; i < 5; ++i)
            QCOMPARE(list(qPrintable(QStringLiteral("Combo1_%1").arg(i)))->currentText(),
                     encode[i]);
        QVERIFY(child<QCheckBox>("Check1")->isChecked());
        QCOMPARE(child<QLineEdit>("Text1")->text(), QStringLiteral("000"));
        const QStringList decode = words({"Off", "10", "Off", "Off"});
        for (int i = 0; i < 4; ++i)
            QCOMPARE(list(qPrintable(QStringLiteral("Combo2_%1").arg(i)))->currentText(),
                     decode[i]);
        QVERIFY(!child<QCheckBox>("Check2")->isChecked());
        QCOMPARE(child<QLineEdit>("Text2")->text(), QString());
        QCOMPARE(list("Combo3")->currentText(), QStringLiteral("TX Inhibit"));
        for (int r = 1; r <= 8; ++r)
            QCOMPARE(grid()->cellText(r, 1), QString());
        QCOMPARE(grid()->cellText(8, 0), QStringLiteral("8"));
    }

    void dtmfListValues_data() {
        QTest::addColumn<QString>("listName");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<int>("word"); // encode 0..5, decode as 10..14
        QTest::addColumn<int>("stored");
        QTest::newRow("delay 150 is 15") << "Combo1_2"
                                         << "150" << 2 << 15;
        QTest::newRow("delay 1000 is 100") << "Combo1_2"
                                           << "1000" << 2 << 100;
        QTest::newRow("speed 15") << "Combo1_0"
                                  << "15" << 0 << 3;
        QTest::newRow("16s") << "Combo1_4"
                             << "16s" << 4 << 16;
        QTest::newRow("group #") << "Combo2_0"
                                 << "#" << 10 << 35;
        QTest::newRow("group A") << "Combo2_0"
                                 << "A" << 10 << 65;
        QTest::newRow("transpond ID Code") << "Combo2_3"
                                           << "ID Code" << 13 << 2;
    }
    void dtmfListValues() {
        QFETCH(QString, listName);
        QFETCH(QString, chosen);
        QFETCH(int, word);
        QFETCH(int, stored);
        open<DtmfWindow>();
        child<QTabWidget>("SSTab1")->setCurrentIndex(word < 10 ? 0 : 1);
        choose(list(qPrintable(listName)), chosen);
        const DtmfSettings& d = m_doc->config().dtmf;
        QCOMPARE(int(word < 10 ? d.encode[size_t(word)] : d.decode[size_t(word - 10)]), stored);
        if (listName == QLatin1String("Combo2_0")) {
            choose(list("Combo2_0"), QStringLiteral("Off"));
            QCOMPARE(int(d.decode[0]), 0);
        }
    }

    void idCode_data() {
        QTest::addColumn<QStringList>("typed"); // one entry each time the box is left
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("two digits refused")
            << QStringLiteral("12").split(u',') << true << "000" << field("98765", 10, false);
        QTest::newRow("000 typed after a refusal")
            << QStringLiteral("12,000").split(u',') << true << "000" << field("000", 10, false);
        QTest::newRow("five digits")
            << QStringLiteral("12345").split(u',') << false << "12345" << field("12345", 10, false);
        QTest::newRow("only digits get in")
            << QStringLiteral("1a2#3").split(u',') << false << "123" << field("123", 10, false);
        QTest::newRow("ten digits") << QStringLiteral("01234567899").split(u',') << false
                                    << "0123456789" << field("0123456789", 10, false);
    }
    void idCode() {
        QFETCH(QStringList, typed);
        QFETCH(bool, refused);
        QFETCH(QString, shown);
        QFETCH(QByteArray, stored);
        editRecord(*m_doc, [&](RadioConfig& c) { c.dtmf.idCode.assign(QByteArray("98765")); });
        open<DtmfWindow>();
        child<QTabWidget>("SSTab1")->setCurrentIndex(1);
        auto* box = child<QLineEdit>("Text1");
        for (const QString& text : typed) {
            box->setFocus();
            box->selectAll();
            QTest::keyClicks(box, text);
            QTest::keyClick(box, Qt::Key_Return); // moves on, which stores the code
            QVERIFY(!box->hasFocus());
        }
        QCOMPARE(m_messages->texts(),
                 refused ? QStringList{QStringLiteral("Invalid Data")} : QStringList{});
        if (refused) QCOMPARE(m_messages->asked.at(0).icon, MsgIcon::Critical);
        QCOMPARE(box->text(), shown);
        QCOMPARE(m_doc->config().dtmf.idCode.raw(), stored);
    }

    void stunCodeCapitalsAndTerminator() {
        open<DtmfWindow>();
        child<QTabWidget>("SSTab1")->setCurrentIndex(1);
        auto* box = child<QLineEdit>("Text2");
        box->setFocus();
        QTest::keyClicks(box, QStringLiteral("ab*1e"));
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(box->text(), QStringLiteral("AB*1"));
        QTest::keyClick(box, Qt::Key_Tab);
        QCOMPARE(m_doc->config().dtmf.stunCode.raw(), field("AB*1", 10, true));
    }

    void autodialMemories() {
        open<DtmfWindow>();
        child<QTabWidget>("SSTab1")->setCurrentIndex(2);
        QCOMPARE(grid()->editor()->maxLength(), 16);
        const auto& codes = m_doc->config().dtmfCodes;
        typeCell(2, 1, QString()); // a memory entered and left empty takes an entry
        QCOMPARE(int(m_doc->config().dtmfCodeCount), 1);
        QCOMPARE(int(codes[0].number), 2);
        QCOMPARE(codes[0].code.raw(), field("", 16, true));
        typeCell(3, 1, QStringLiteral("123#"));
        typeCell(1, 1, QStringLiteral("0123456789abcd*#"));
        QCOMPARE(int(m_doc->config().dtmfCodeCount), 3);
        QCOMPARE(int(codes[1].number), 3);
        QCOMPARE(codes[1].code.raw(), field("123#", 16, true));
        QCOMPARE(int(codes[2].number), 1);
        QCOMPARE(codes[2].code.raw(), QByteArray("0123456789ABCD*#"));
        QCOMPARE(grid()->cellText(1, 1), QStringLiteral("0123456789ABCD*#"));
        typeCell(3, 1, QString());
        typeCell(2, 1, QString()); // entered again and left empty: it keeps its entry
        QCOMPARE(int(m_doc->config().dtmfCodeCount), 2);
        QCOMPARE(int(codes[0].number), 2);
        QCOMPARE(int(codes[1].number), 1);
        QCOMPARE(grid()->cellText(3, 1), QString());
    }

    // A box or list change is one step of its own: undo takes it back, and nothing else.
    void boxChangeIsOneStep_data() {
        QTest::addColumn<bool>("fleetSync");
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("control");
        QTest::newRow("DTMF side tone") << false << 0 << "Check1";
        QTest::newRow("clear to transpond") << false << 1 << "Check2";
        QTest::newRow("stun type") << false << 1 << "Combo3";
        QTest::newRow("PTT ID side tone") << true << 0 << "Check1";
    }
    void boxChangeIsOneStep() {
        QFETCH(bool, fleetSync);
        QFETCH(int, tab);
        QFETCH(QString, control);
        EditHistory history(*m_doc);
        const QByteArray before = encodeRecord(m_doc->product(), m_doc->config());
        if (fleetSync)
            open<FleetSyncWindow>();
        else
            open<DtmfWindow>();
        child<QTabWidget>("SSTab1")->setCurrentIndex(tab);
        if (control.startsWith(QLatin1String("Check")))
            child<QCheckBox>(qPrintable(control))->click();
        else
            choose(list(qPrintable(control)), QStringLiteral("TX/RX Inhibit"));
        QVERIFY(encodeRecord(m_doc->product(), m_doc->config()) != before);
        QCOMPARE(history.stack().count(), 1);
        history.undo();
        QCOMPARE(encodeRecord(m_doc->product(), m_doc->config()), before);
    }

    // ---- FleetSync ----

    void fleetSyncDefaultsAndOwnFleet() {
        open<FleetSyncWindow>();
        QComboBox* fleet = list("Combo1_0");
        QComboBox* id = list("Combo1_1");
        QCOMPARE(fleet->currentText(), QStringLiteral(" "));
        QCOMPARE(id->currentText(), QStringLiteral(" "));
        QCOMPARE(list("Combo1_2")->currentText(), QStringLiteral("1200"));
        QCOMPARE(list("Combo1_3")->currentText(), QStringLiteral("400"));
        QCOMPARE(list("Combo1_4")->currentText(), QStringLiteral("10"));
        QVERIFY(child<QCheckBox>("Check1")->isChecked());
        QCOMPARE(grid()->cellText(1, 1), QString());

        const FleetSyncSettings& f = m_doc->config().fleetSync;
        choose(fleet, QStringLiteral("100"));
        QCOMPARE(int(f.ownFleet), 1);
        QCOMPARE(id->currentText(), QStringLiteral("1000"));
        QCOMPARE(int(f.ownId), 1);
        QCOMPARE(id->itemText(0), QStringLiteral("1000")); // no blank ID while a fleet is set
        choose(id, QStringLiteral("1254"));
        QCOMPARE(int(f.ownId), 255);
        choose(fleet, QStringLiteral(" "));
        QCOMPARE(int(f.ownFleet), 255);
        QCOMPARE(int(f.ownId), 0);
        QCOMPARE(id->currentText(), QStringLiteral(" "));
        // Choosing an ID while there is no fleet takes the first fleet.
        choose(id, QStringLiteral("1001"));
        QCOMPARE(fleet->currentText(), QStringLiteral("100"));
        QCOMPARE(int(f.ownFleet), 1);
        QCOMPARE(int(f.ownId), 2);
    }

    void fleetListCells_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("fleetCell");
        QTest::addColumn<QString>("idCell");
        QTest::addColumn<int>("fleet");
        QTest::addColumn<int>("id");
        QTest::newRow("fleet 5 clamps to 100") << 1 << "5"
                                               << "100"
                                               << "All" << 1 << 0;
        QTest::newRow("fleet 4 digits cut to 3") << 1 << "3499"
                                                 << "349"
                                                 << "All" << 250 << 0;
        QTest::newRow("ID 6000 clamps to 4999") << 2 << "6000"
                                                << "All"
                                                << "4999" << 0 << 4000;
        QTest::newRow("ID 1254 is not none") << 2 << "1254"
                                             << "All"
                                             << "1254" << 0 << 255;
        QTest::newRow("a means All") << 1 << "a"
                                     << "All"
                                     << "All" << 0 << 0;
        QTest::newRow("A then digits") << 2 << "A12"
                                       << "All"
                                       << "All" << 0 << 0;
    }
    void fleetListCells() {
        QFETCH(int, column);
        QFETCH(QString, typed);
        QFETCH(QString, fleetCell);
        QFETCH(QString, idCell);
        QFETCH(int, fleet);
        QFETCH(int, id);
        open<FleetSyncWindow>();
        child<QTabWidget>("SSTab1")->setCurrentIndex(1);
        typeCell(2, column, typed);
        QCOMPARE(grid()->cellText(2, 1), fleetCell);
        QCOMPARE(grid()->cellText(2, 2), idCell);
        QCOMPARE(int(m_doc->config().fleetSyncListCount), 1);
        const FleetSyncEntry& e = m_doc->config().fleetSyncList[0];
        QCOMPARE(int(e.row), 2);
        QCOMPARE(int(e.fleet), fleet);
        QCOMPARE(int(e.id), id);
    }

    void fleetListRowsEmptyAndMoveUp() {
        editRecord(*m_doc, [](RadioConfig& c) {
            c.fleetSyncListCount = 3;
            c.fleetSyncList[0] = {5, 255, 20};
            c.fleetSyncList[1] = {1, 0, 0};
            c.fleetSyncList[2] = {3, 7, 255};
        });
        open<FleetSyncWindow>();
        child<QTabWidget>("SSTab1")->setCurrentIndex(1);
        QCOMPARE(grid()->cellText(5, 1), QString()); // fleet 255: no fleet
        QCOMPARE(grid()->cellText(5, 2), QStringLiteral("1019"));
        QCOMPARE(grid()->cellText(1, 1), QStringLiteral("All"));
        QCOMPARE(grid()->cellText(3, 2), QString()); // ID 255: no ID

        // Erasing "All" erases it whole; the row and its entry go, later entries move up.
        clickCell(1, 2);
        QLineEdit* editor = grid()->editor();
        editor->deselect();
        editor->end(false);
        QTest::keyClick(editor, Qt::Key_Backspace);
        QCOMPARE(editor->text(), QString());
        clickCell(1, 0);
        QCOMPARE(grid()->cellText(1, 1), QString());
        const RadioConfig& c = m_doc->config();
        QCOMPARE(int(c.fleetSyncListCount), 2);
        QCOMPARE(int(c.fleetSyncList[0].row), 5);
        QCOMPARE(int(c.fleetSyncList[1].row), 3);
        // Editing the ID of the row without a fleet gives it "All" as its fleet.
        typeCell(5, 2, QStringLiteral("1000"));
        QCOMPARE(grid()->cellText(5, 1), QStringLiteral("All"));
        QCOMPARE(int(c.fleetSyncList[0].fleet), 0);
        QCOMPARE(int(c.fleetSyncList[0].id), 1);
    }

    // ---- test frequencies ----

    void testFrequencyDefaultsShowQuietly() {
        open<TestFrequenciesWindow>();
        QVERIFY(m_messages->asked.isEmpty()); // no "Not IsNumeric" for the default texts
        for (int r = 1; r <= 16; ++r)
            QCOMPARE(grid()->cellText(r, 1).isEmpty(), r > 6);
        QCOMPARE(grid()->cellText(1, 1), QStringLiteral("15.050000"));
        // Passing through a default (outside this band) stores nothing and warns of nothing.
        clickCell(1, 1);
        QTest::keyClick(grid()->editor(), Qt::Key_Return);
        QCOMPARE(grid()->editColumn(), 2);
        clickCell(1, 0);
        QVERIFY(m_messages->asked.isEmpty());
        QCOMPARE(m_doc->config().testFreqs[0].rxFreq.raw(), field("1505", 8, true));
        QCOMPARE(int(m_doc->config().testFreqs[0].rxMark), 15);
    }

    void testFrequencyEnterMoves_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("toRow");
        QTest::addColumn<int>("toColumn");
        QTest::newRow("empty RX goes down") << 9 << 1 << 10 << 1;
        QTest::newRow("last row wraps") << 16 << 1 << 1 << 1;
        QTest::newRow("filled RX goes to TX") << 2 << 1 << 2 << 2;
        QTest::newRow("TX goes back to RX") << 9 << 2 << 9 << 1;
    }
    void testFrequencyEnterMoves() {
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(int, toRow);
        QFETCH(int, toColumn);
        open<TestFrequenciesWindow>();
        clickCell(row, column);
        QTest::keyClick(grid()->editor(), Qt::Key_Return);
        QCOMPARE(grid()->editRow(), toRow);
        QCOMPARE(grid()->editColumn(), toColumn);
        QVERIFY(grid()->editor()->hasFocus());
    }

    void testFrequencyEdits_data() {
        QTest::addColumn<bool>("solvir");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("warned");
        QTest::addColumn<QString>("rxCell");
        QTest::addColumn<QString>("txCell");
        QTest::addColumn<int>("count");
        QTest::newRow("new row fills both") << false << 8 << 1 << "28.5" << false << "28.500000"
                                            << "28.500000" << 7;
        QTest::newRow("snapped to 10 Hz") << false << 8 << 1 << "27.123456" << false << "27.123450"
                                          << "27.123450" << 7;
        QTest::newRow("RX out of band kept") << false << 1 << 1 << "31" << true << "15.050000"
                                             << "15.100000" << 6;
        QTest::newRow("TX out of band clamps") << false << 1 << 2 << "31" << true << "15.050000"
                                               << "30.115000" << 6;
        QTest::newRow("solvir TX out of band kept") << true << 1 << 2 << "31" << true << "15.050000"
                                                    << "15.100000" << 6;
        QTest::newRow("cleared TX removes") << false << 1 << 2 << "" << false << ""
                                            << "" << 5;
        QTest::newRow("cleared RX removes") << false << 1 << 1 << "" << false << ""
                                            << "" << 5;
    }
    void testFrequencyEdits() {
        QFETCH(bool, solvir);
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QString, typed);
        QFETCH(bool, warned);
        QFETCH(QString, rxCell);
        QFETCH(QString, txCell);
        QFETCH(int, count);
        if (solvir) {
            m_doc = std::make_unique<Document>(solvirProduct());
            m_doc->initialiseDefaults();
        }
        useModelAndBand(*m_doc, m_doc->model(), QStringLiteral("25.605000 - 30.115000 MHz"));
        open<TestFrequenciesWindow>();
        typeCell(row, column, typed);
        QCOMPARE(m_messages->texts(),
                 warned ? QStringList{QStringLiteral("Frequency is out of range.")}
                        : QStringList{});
        QCOMPARE(grid()->cellText(row, 1), rxCell);
        QCOMPARE(grid()->cellText(row, 2), txCell);
        const RadioConfig& c = m_doc->config();
        QCOMPARE(int(c.testFreqCount), count);
        const TestFreqEntry* e = nullptr;
        for (int i = 0; i < count; ++i)
            if (c.testFreqs[size_t(i)].number == row) e = &c.testFreqs[size_t(i)];
        QCOMPARE(e != nullptr, !rxCell.isEmpty());
        if (!e) {
            QCOMPARE(int(c.testFreqs[0].number), 2); // the later entries moved up
            return;
        }
        QCOMPARE(shownFrequency(*m_doc, QString::fromLatin1(e->rxFreq.untilNul())), rxCell);
        QCOMPARE(shownFrequency(*m_doc, QString::fromLatin1(e->txFreq.untilNul())), txCell);
        // Marks: a side still holding its band default stays 15, any other text gives 2.
        const bool rxDefault = row <= 6 && rxCell == QLatin1String("15.050000");
        QCOMPARE(int(e->rxMark), rxDefault ? 15 : 2);
        QCOMPARE(int(e->txMark), row <= 6 && txCell == QLatin1String("15.100000") ? 15 : 2);
    }
};

QTEST_MAIN(TestHiddenEditors)
#include "tst_hiddeneditors.moc"
