// The channel grid offscreen: typing into cells, the in-place editors and their keys, the
// emergency channel lists, and the group list.
#include "core/channels/channelrules.h"
#include "recordedit.h"
#include "testsupport.h"
#include "ui/editors/channelgridwindow.h"
#include "windowtest.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {
QStringList split(const char* items) {
    return QString::fromLatin1(items).split(QLatin1Char(','));
}
QStringList itemsOf(const QComboBox* c) {
    QStringList out;
    for (int i = 0; i < c->count(); ++i)
        out << c->itemText(i);
    return out;
}
} // namespace

class TestChannelGrid : public QObject, EditorUnderTest<ChannelGridWindow> {
    Q_OBJECT
    PrivateUserFolders m_folders;

    // Opens the grid and waits until the editor of channel 1's RX cell has the focus.
    ChannelGridWindow& open() {
        openWindow();
        if (!QTest::qWaitFor([&] { return text1()->hasFocus(); })) qFatal("editor without focus");
        return *m_window;
    }
    ChannelGrid* grid() const {
        return m_window->findChild<ChannelGrid*>(QStringLiteral("MSFlexGrid1"));
    }
    QLineEdit* text1() const { return m_window->findChild<QLineEdit*>(QStringLiteral("Text1")); }
    QComboBox* combo(const char* name) const {
        return m_window->findChild<QComboBox*>(QLatin1String(name));
    }
    // Clicks a visible cell and waits until its editor has the focus.
    void clickCell(int row, int col) {
        ChannelGrid* g = grid();
        g->scrollToItem(g->item(row, col));
        const QRect r = g->visualRect(g->model()->index(row, col));
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, r.center());
        waitForEditor();
    }
    void waitForEditor() {
        const int col = grid()->currentColumn();
        QWidget* editor = col <= ColTx ? static_cast<QWidget*>(text1())
                                       : m_window->findChild<QWidget*>(
                                             QStringLiteral("Combo8_%1").arg(col - ColFirstFlag));
        QVERIFY(QTest::qWaitFor([&] { return editor->hasFocus(); }));
    }
    void type(const QString& keys) {
        if (keys.isEmpty())
            QTest::keyClick(text1(), Qt::Key_Backspace);
        else
            QTest::keyClicks(text1(), keys);
    }
    const ChannelEntry* channel(int group, int n) const {
        const int place = findChannelPlace(*m_doc, group, n);
        return place > 0 ? &m_doc->config().entry(group, place) : nullptr;
    }
    static void productColumn() { QTest::addColumn<const Product*>("product"); }

  private slots:
    void initTestCase() { setCurrentLanguage(LanguageEnglish); }
    void cleanup() {
        m_window.reset();
        m_doc.reset();
    }

    void typingCreatesChannel_data() {
        productColumn();
        QTest::newRow("meridox") << &meridoxProduct();
        QTest::newRow("solvir") << &solvirProduct();
    }
    void typingCreatesChannel() {
        QFETCH(const Product*, product);
        freshDoc(*product);
        open();
        clickCell(5, ColRx);
        type(QStringLiteral("28.5"));
        QTest::keyClick(text1(), Qt::Key_Return);
        const ChannelEntry* e = channel(0, 5);
        QVERIFY(e);
        QCOMPARE(e->rxFreq.text(), QStringLiteral("28500000"));
        QCOMPARE(e->txFreq.text(), QStringLiteral("28500000"));
        QCOMPARE(e->scanFlag, 1);
        QCOMPARE(e->channelFlags[3], 1);
        QCOMPARE(grid()->cellText(5, ColRx), QStringLiteral("28.500000"));
        QCOMPARE(grid()->cellText(5, 5), QStringLiteral("Enable"));
        QCOMPARE(grid()->cellText(5, ColScan), QStringLiteral("Add"));
        // Enter moved on to the TX cell of the new channel.
        waitForEditor();
        QCOMPARE(m_window->editRow(), 5);
        QCOMPARE(m_window->editColumn(), ColTx);
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Channel Information[Channel - 5]---A"));
    }

    void rxEdits_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("otherChannel");
        QTest::addColumn<bool>("deleted");
        QTest::addColumn<int>("warnings");
        QTest::newRow("out of range, group has others") << "99" << true << true << 1;
        QTest::newRow("out of range, only channel") << "99" << false << false << 1;
        QTest::newRow("cleared, group has others") << "" << true << true << 0;
        QTest::newRow("cleared, only channel") << "" << false << false << 0;
    }
    void rxEdits() {
        QFETCH(QString, typed);
        QFETCH(bool, otherChannel);
        QFETCH(bool, deleted);
        QFETCH(int, warnings);
        Document& doc = freshDoc(meridoxProduct());
        if (otherChannel) doc.addChannel(0, 2, QStringLiteral("28.200000"));
        ScriptedMessages msgs;
        open();
        type(typed);
        QTest::keyClick(text1(), Qt::Key_Return);
        QCOMPARE(msgs.asked.size(), warnings);
        if (warnings) {
            QCOMPARE(msgs.asked.first().text, messageText(Msg::OutOfRange));
            QCOMPARE(msgs.asked.first().icon, MsgIcon::Warning);
        }
        QCOMPARE(channel(0, 1) == nullptr, deleted);
        QCOMPARE(grid()->cellText(1, ColRx), deleted ? QString() : QStringLiteral("28.015000"));
        QCOMPARE(doc.config().groupChannelCount[0], otherChannel && !deleted ? 2 : 1);
    }

    // Walking through cells stores nothing: a value the user did not touch keeps its form.
    void passingThroughStoresNothing_data() {
        productColumn();
        QTest::addColumn<QString>("rx");
        QTest::addColumn<QString>("tx");
        QTest::newRow("meridox, RX outside the band") << &meridoxProduct() << "31000000"
                                                      << "28015000";
        QTest::newRow("solvir, TX differs from RX") << &solvirProduct() << "28015000"
                                                    << "28115000";
    }
    void passingThroughStoresNothing() {
        QFETCH(const Product*, product);
        QFETCH(QString, rx);
        QFETCH(QString, tx);
        Document& doc = freshDoc(*product);
        editRecord(doc, [&](RadioConfig& c) { c.entry(0, 1).rxFreq.assign(rx); });
        editRecord(doc, [&](RadioConfig& c) { c.entry(0, 1).txFreq.assign(tx); });
        ScriptedMessages msgs;
        open();
        QTest::keyClick(text1(), Qt::Key_Return); // RX -> TX
        waitForEditor();
        QTest::keyClick(text1(), Qt::Key_Return); // TX -> BUSY
        waitForEditor();
        QCOMPARE(msgs.asked.size(), 0);
        QCOMPARE(doc.config().entry(0, 1).rxFreq.text(), rx);
        QCOMPARE(doc.config().entry(0, 1).txFreq.text(), tx);
    }

    void enterMovesOn_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("nextRow");
        QTest::newRow("column 10 to next row") << 1 << 2;
        QTest::newRow("row 60, column 10 wraps to row 1") << 60 << 1;
    }
    void enterMovesOn() {
        QFETCH(int, row);
        QFETCH(int, nextRow);
        Document& doc = freshDoc(meridoxProduct());
        doc.addChannel(0, 60, QStringLiteral("29.000000"));
        open();
        grid()->setCurrentCell(row, ColScan);
        waitForEditor();
        QComboBox* scan = combo("Combo8_7");
        QVERIFY(scan->isVisible());
        QTest::keyClick(scan, Qt::Key_Up); // Add -> Del, committed when the cell is left
        QTest::keyClick(scan, Qt::Key_Return);
        waitForEditor();
        QCOMPARE(grid()->currentRow(), nextRow);
        QCOMPARE(grid()->currentColumn(), int(ColRx));
        QVERIFY(text1()->isVisible());
        QVERIFY(scan->isHidden());
        QCOMPARE(channel(0, row)->scanFlag, 0);
        QCOMPARE(grid()->cellText(row, ColScan), QStringLiteral("Del"));
    }

    // Tab and Shift+Tab in an editor move to the next and previous cell and stay in the grid.
    void tabMovesBetweenCells_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::addColumn<bool>("back");
        QTest::addColumn<int>("nextRow");
        QTest::addColumn<int>("nextCol");
        QTest::newRow("Tab, RX to TX") << 1 << int(ColRx) << false << 1 << int(ColTx);
        QTest::newRow("Tab, last column to next row")
            << 1 << int(ColScan) << false << 2 << int(ColRx);
        QTest::newRow("Shift+Tab, BUSY to TX") << 1 << int(ColTx) + 1 << true << 1 << int(ColTx);
        QTest::newRow("Shift+Tab, RX to the row above")
            << 2 << int(ColRx) << true << 1 << int(ColScan);
        // Row 60 has no channel: its RX cell comes first.
        QTest::newRow("Shift+Tab, row 1 to row 60") << 1 << int(ColRx) << true << 60 << int(ColRx);
    }
    void tabMovesBetweenCells() {
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(bool, back);
        QFETCH(int, nextRow);
        QFETCH(int, nextCol);
        freshDoc(meridoxProduct());
        open();
        grid()->setCurrentCell(row, col);
        waitForEditor();
        QWidget* editor = QApplication::focusWidget();
        if (back)
            QTest::keyClick(editor, Qt::Key_Backtab, Qt::ShiftModifier);
        else
            QTest::keyClick(editor, Qt::Key_Tab);
        waitForEditor();
        QCOMPARE(grid()->currentRow(), nextRow);
        QCOMPARE(grid()->currentColumn(), nextCol);
    }

    void rowWithoutRx_data() {
        productColumn();
        QTest::newRow("meridox") << &meridoxProduct();
        QTest::newRow("solvir") << &solvirProduct();
    }
    void rowWithoutRx() {
        QFETCH(const Product*, product);
        Document& doc = freshDoc(*product);
        open();
        clickCell(7, 5);
        // The editor went to the RX cell of the row instead.
        QCOMPARE(grid()->currentColumn(), int(ColRx));
        QCOMPARE(m_window->editRow(), 7);
        QCOMPARE(m_window->editColumn(), int(ColRx));
        QVERIFY(combo("Combo8_2")->isHidden());
        // Enter in the empty editor moves down without creating a channel.
        QTest::keyClick(text1(), Qt::Key_Return);
        waitForEditor();
        QCOMPARE(grid()->currentRow(), 8);
        QCOMPARE(doc.config().groupChannelCount[0], 1);
    }

    void groupChangeCommitsIntoOldGroup() {
        Document& doc = freshDoc(meridoxProduct());
        open();
        clickCell(3, ColRx);
        type(QStringLiteral("28.3"));
        QTest::keyClick(combo("Combo6"), Qt::Key_Down); // A -> B
        QCOMPARE(doc.config().currentGroup, 1);
        QVERIFY(channel(0, 3));
        QVERIFY(!channel(1, 3));
        QVERIFY(text1()->isHidden());
        QCOMPARE(m_window->editRow(), 0);
        QCOMPARE(grid()->cellText(3, ColRx), QString());
        QCOMPARE(grid()->cellText(1, ColRx), QStringLiteral("28.145000"));
        QVERIFY(m_window->windowTitle().endsWith(QLatin1String("---B")));
        QVERIFY(combo("Combo1_1")->isVisibleTo(m_window.get()));
        QVERIFY(!combo("Combo1_0")->isVisibleTo(m_window.get()));
    }

    void emergencyListFollowsDeletion() {
        Document& doc = freshDoc(meridoxProduct());
        doc.addChannel(0, 3, QStringLiteral("28.300000"));
        doc.addChannel(0, 2, QStringLiteral("28.200000"));
        editRecord(doc, [&](RadioConfig& c) { c.optionWords[24] = 2; }); // channel 3
        open();
        QComboBox* list = combo("Combo1_0");
        QCOMPARE(itemsOf(list), split("1,2,3"));
        QCOMPARE(list->currentText(), QStringLiteral("3"));
        clickCell(3, ColRx);
        type(QString());
        QTest::keyClick(text1(), Qt::Key_Return);
        QVERIFY(!channel(0, 3));
        QCOMPARE(itemsOf(list), split("1,2"));
        QCOMPARE(list->currentText(), QStringLiteral("1"));
        QCOMPARE(doc.config().optionWords[24], 0);
        QTest::keyClick(list, Qt::Key_Down); // choose channel 2
        QCOMPARE(doc.config().optionWords[24], 1);
    }

    void validateEditsCommits_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<bool>("created");
        QTest::newRow("in band") << "28.7" << true << true;
        QTest::newRow("above the band") << "31" << false << false;
    }
    void validateEditsCommits() {
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        QFETCH(bool, created);
        freshDoc(meridoxProduct());
        ScriptedMessages msgs;
        open();
        clickCell(4, ColRx);
        type(typed);
        QCOMPARE(m_window->validateEdits(), accepted);
        QCOMPARE(channel(0, 4) != nullptr, created);
        QCOMPARE(msgs.asked.size(), accepted ? 0 : 1);
        // The editor stays over its cell with what was stored, and keeps the focus.
        QVERIFY(text1()->isVisible());
        QCOMPARE(text1()->text(), created ? QStringLiteral("28.700000") : QString());
        QVERIFY(QTest::qWaitFor([&] { return text1()->hasFocus(); }));
        QVERIFY(m_window->validateEdits()); // nothing left to commit
    }

    // Leaving an editor by the mouse, or closing the window, commits it (once).
    void leavingCommits_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("warnings");
        QTest::newRow("frequency, click elsewhere") << 1 << "click"
                                                    << "28.7" << 0;
        QTest::newRow("invalid frequency, click elsewhere") << 1 << "click"
                                                            << "9" << 1;
        QTest::newRow("frequency, close") << 1 << "close"
                                          << "28.7" << 0;
        QTest::newRow("ECHO list, click elsewhere") << 5 << "click"
                                                    << "" << 0;
    }
    void leavingCommits() {
        QFETCH(int, column);
        QFETCH(QString, how);
        QFETCH(QString, typed);
        QFETCH(int, warnings);
        Document& doc = freshDoc(meridoxProduct());
        ScriptedMessages msgs;
        open();
        const int row = column == ColRx ? 4 : 1;
        clickCell(row, column);
        if (column == ColRx)
            type(typed);
        else
            QTest::keyClick(combo("Combo8_2"), Qt::Key_Up); // Enable -> Disable
        if (how == QLatin1String("click"))
            clickCell(6, ColRx);
        else
            m_window->close();
        QCOMPARE(msgs.asked.size(), warnings);
        if (column == ColRx) {
            QCOMPARE(channel(0, 4) != nullptr, warnings == 0);
            if (warnings == 0) QCOMPARE(channel(0, 4)->rxFreq.text(), QStringLiteral("28700000"));
        } else {
            QCOMPARE(doc.config().entry(0, 1).channelFlags[3], 0);
        }
    }

    void frequencyKeyFilter_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("text");
        QTest::newRow("letters and minus") << "2a8-.B5 "
                                           << "28.5";
        QTest::newRow("non-ASCII") << "2\u00e98"
                                   << "28";
        QTest::newRow("paste") << "^V"
                               << "";
    }
    void frequencyKeyFilter() {
        QFETCH(QString, keys);
        QFETCH(QString, text);
        freshDoc(meridoxProduct());
        open();
        clickCell(9, ColRx);
        QVERIFY(text1()->contextMenuPolicy() == Qt::NoContextMenu);
        if (keys == QLatin1String("^V")) {
            QGuiApplication::clipboard()->setText(QStringLiteral("1234"));
            QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("1234"));
            QTest::keyClick(text1(), Qt::Key_V, Qt::ControlModifier);
            QTest::keyClick(text1(), Qt::Key_Insert, Qt::ShiftModifier);
        } else {
            for (QChar ch : keys)
                QTest::sendKeyEvent(QTest::Click, text1(), Qt::Key_unknown, QString(ch),
                                    Qt::NoModifier);
        }
        QCOMPARE(text1()->text(), text);
    }

    void scrollMovesEditCell() {
        freshDoc(meridoxProduct());
        open();
        clickCell(3, ColRx);
        QScrollBar* bar = grid()->verticalScrollBar();
        const int top = grid()->rowAt(0);
        bar->setValue(bar->value() + 5);
        QCOMPARE(m_window->editRow(), 3 + grid()->rowAt(0) - top);
        // A second scroll within 500 ms is followed when the timer runs out.
        const int first = m_window->editRow();
        bar->setValue(bar->value() + 5);
        QCOMPARE(m_window->editRow(), first);
        QTRY_COMPARE(m_window->editRow(), 3 + grid()->rowAt(0) - top);
    }

    // A list editor shows its whole entry in the narrow flag and scan columns, and stays in
    // the grid's view even in the last column.
    void listEditorsShowWholeEntry_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("entry");
        QTest::newRow("BUSY Disable") << int(LanguageEnglish) << 3 << "Disable";
        QTest::newRow("RB Disable") << int(LanguageEnglish) << 9 << "Disable";
        QTest::newRow("Scan Add") << int(LanguageEnglish) << 10 << "Add";
        QTest::newRow("RB 不使用") << int(LanguageChinese) << 9 << "不使用";
    }
    void listEditorsShowWholeEntry() {
        QFETCH(int, language);
        QFETCH(int, column);
        QFETCH(QString, entry);
        setCurrentLanguage(language);
        freshDoc(meridoxProduct());
        open();
        setCurrentLanguage(LanguageEnglish);
        clickCell(1, column);
        auto* list =
            m_window->findChild<QComboBox*>(QStringLiteral("Combo8_%1").arg(column - ColFirstFlag));
        list->setCurrentIndex(list->findText(entry));
        QCOMPARE(list->currentText(), entry);
        QStyleOptionComboBox option;
        option.initFrom(list);
        option.editable = false;
        option.currentText = entry;
        const QRect field = list->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                          QStyle::SC_ComboBoxEditField, list);
        QVERIFY(field.width() >= list->fontMetrics().horizontalAdvance(entry));
        QVERIFY(grid()->viewport()->rect().contains(list->geometry()));
    }

    void productTexts_data() {
        productColumn();
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("rxHeader");
        QTest::addColumn<QString>("scanHeader");
        QTest::addColumn<QString>("title");
        QTest::newRow("meridox") << &meridoxProduct() << int(LanguageEnglish) << "Band"
                                 << "RX Frequency"
                                 << "Scan"
                                 << "Channel Information[Channel - 1]---A";
        QTest::newRow("meridox, Chinese") << &meridoxProduct() << int(LanguageChinese) << "组"
                                          << "接收频率"
                                          << "扫描"
                                          << "信道信息[信道 - 1]---A";
        QTest::newRow("solvir") << &solvirProduct() << int(LanguageEnglish) << "Group"
                                << "Frequency"
                                << "Scan Add"
                                << "Channel Information[Channel - 1]---A";
    }
    void productTexts() {
        QFETCH(const Product*, product);
        QFETCH(int, language);
        QFETCH(QString, label);
        QFETCH(QString, rxHeader);
        QFETCH(QString, scanHeader);
        QFETCH(QString, title);
        setCurrentLanguage(language);
        freshDoc(*product);
        open();
        setCurrentLanguage(LanguageEnglish);
        QCOMPARE(m_window->objectName(), QStringLiteral("frmCommChInfo"));
        QCOMPARE(m_window->windowTitle(), title);
        QCOMPARE(m_window->findChild<QLabel*>(QStringLiteral("Label1"))->text(), label);
        QCOMPARE(grid()->rowCount(), 61);
        QCOMPARE(grid()->columnCount(), 11);
        QCOMPARE(grid()->horizontalHeaderItem(ColRx)->text(), rxHeader);
        QCOMPARE(grid()->horizontalHeaderItem(ColScan)->text(), scanHeader);
        QCOMPARE(grid()->cellText(60, 0), QStringLiteral("60"));
        QCOMPARE(combo("Combo1_0") != nullptr, product->emergencyInGrid);
        // The editor covers its cell exactly.
        QCOMPARE(text1()->geometry(), grid()->visualRect(grid()->model()->index(1, ColRx)));
    }
};

QTEST_MAIN(TestChannelGrid)
#include "tst_channelgrid.moc"
