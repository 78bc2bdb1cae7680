// Edits of many channels at once: what each leaves in the group (numbers, frequencies, the
// emergency channel), the reasons it gives when it refuses, and the grid window's commands,
// keys, fill dialog and find bar, each undone as one step.
#include "core/channels/channelrules.h"
#include "core/config/datafile.h"
#include "core/config/optionwords.h"
#include "mainwindowfixture.h"
#include "recordedit.h"
#include "testsupport.h"
#include "ui/common/edithistory.h"
#include "ui/editors/channelgridwindow.h"
#include "windowtest.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

QList<int> numbers(const QString& list) {
    QList<int> out;
    for (const QString& n : list.split(QLatin1Char(',')))
        out << n.toInt();
    return out;
}

// Runs an edit written "sort", "move 3,4 -1", "insert 2", "fill 1,2 27.0 12.5 -5" (first RX,
// step kHz, TX offset kHz) or "cell 1,2 COLUMN VALUE"; gives its problems.
QStringList runEdit(Document& doc, const QString& command) {
    const QStringList w = command.split(QLatin1Char(' '));
    if (w[0] == QLatin1String("sort")) return doc.sortGroupByFrequency(), QStringList();
    if (w[0] == QLatin1String("move")) return doc.moveChannels(numbers(w[1]), w[2].toInt());
    if (w[0] == QLatin1String("insert")) return doc.insertChannelBefore(w[1].toInt());
    if (w[0] == QLatin1String("fill"))
        return doc.fillFrequencies(numbers(w[1]), w[2].toDouble(), w[3].toDouble(),
                                   w[4].toDouble());
    return doc.setChannelsCell(numbers(w[1]), w[2].toInt(), w.value(3));
}

// Group A from "n:rx" or "n:rx/tx" items, and its emergency channel.
void setGroupA(Document& doc, const QString& channels, int emergency) {
    editRecord(doc, [&](RadioConfig& r) {
        const QStringList items = channels.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        r.groupChannelCount[0] = int16_t(items.size());
        for (qsizetype i = 0; i < items.size(); ++i) {
            const QStringList parts = items[i].split(QLatin1Char(':'));
            ChannelEntry& e = r.entry(0, int(i) + 1);
            e = ChannelEntry{};
            e.channelNo = int16_t(parts[0].toInt());
            e.inUse = 1;
            const QStringList freqs = parts[1].split(QLatin1Char('/'));
            e.rxFreq.assign(storedFrequencyText(freqs[0], doc.lowerLimit()));
            e.txFreq.assign(storedFrequencyText(freqs.last(), doc.lowerLimit()));
        }
        r.optionWords[OptionWord::FirstEmergencyChannel] = int16_t(emergency - 1);
    });
}

// Group A in the same form, by channel number, then "E" and its emergency channel.
QString groupA(const Document& doc) {
    QMap<int, QString> byNumber;
    for (int place = 1; place <= doc.config().groupChannelCount[0]; ++place) {
        const ChannelEntry& e = doc.config().entry(0, place);
        const QString rx = shownFrequency(doc, e.rxFreq.text());
        const QString tx = shownFrequency(doc, e.txFreq.text());
        byNumber[e.channelNo] = rx == tx ? rx : rx + QLatin1Char('/') + tx;
    }
    QStringList out;
    for (auto it = byNumber.cbegin(); it != byNumber.cend(); ++it)
        out << QStringLiteral("%1:%2").arg(it.key()).arg(it.value());
    const int emergency = doc.config().optionWords[OptionWord::FirstEmergencyChannel] + 1;
    return out.join(QLatin1Char(' ')) + QStringLiteral(" E%1").arg(emergency);
}

QString sixtyFrom(int first) {
    QStringList items;
    for (int n = first; n <= ChannelsPerGroup; ++n)
        items << QStringLiteral("%1:27.0").arg(n);
    return items.join(QLatin1Char(' '));
}

} // namespace

class TestBulkEdits : public QObject, EditorUnderTest<ChannelGridWindow>, MainWindowFixture {
    Q_OBJECT
    PrivateUserFolders m_folders;
    ScriptedMessages m_messages;
    std::unique_ptr<EditHistory> m_history;

    ChannelGrid* grid() const {
        return m_window->findChild<ChannelGrid*>(QStringLiteral("MSFlexGrid1"));
    }
    // A meridox configuration with group A as given, its grid open, a fresh history.
    void openOn(const QString& channels, int emergency = 1) {
        freshDoc(meridoxProduct());
        setGroupA(*m_doc, channels, emergency);
        m_history = std::make_unique<EditHistory>(*m_doc);
        openWindow();
        QTest::qWait(30); // the first cell's editor takes the focus
    }
    void pressChannelNumber(int row, Qt::KeyboardModifiers mods = {}) {
        const QRect r = grid()->visualRect(grid()->model()->index(row, 0));
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, mods, r.center());
    }
    void selectRows(int first, int last) {
        pressChannelNumber(first);
        pressChannelNumber(last, Qt::ShiftModifier);
    }
    // One step of the history; undone it gives back before.
    void checkOneStepUndone(const QString& before) {
        QCOMPARE(m_history->stack().count(), 1);
        m_history->undo();
        QCOMPARE(groupA(*m_doc), before);
    }

  private slots:
    void initTestCase() { setCurrentLanguage(LanguageEnglish); }
    void init() { m_messages.clear(); }
    void cleanup() {
        m_window.reset();
        m_history.reset();
        m_doc.reset();
    }

    // What each edit leaves in group A, or the reasons it gives for leaving it untouched.
    void groupEdits_data() {
        QTest::addColumn<QString>("channels");
        QTest::addColumn<int>("emergency");
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("expected"); // empty: unchanged, no step
        QTest::addColumn<QString>("problems");
        QTest::addColumn<bool>("older"); // solvir: RX and TX linked
        auto row = [](const char* name, const QString& channels, int emergency, const char* edit,
                      const char* expected, const QString& problems = {}, bool older = false) {
            QTest::newRow(name) << channels << emergency << QString::fromLatin1(edit)
                                << QString::fromLatin1(expected) << problems << older;
        };
        using L = QLatin1String;
        row("sort keeps the numbers, emergency follows", L("1:28.0 2:26.0 5:27.0 7:26.0"), 1,
            "sort", "1:26.000000 2:26.000000 5:27.000000 7:28.000000 E7");
        row("block moves up past the row above", L("1:26.0 2:26.1 3:26.2 4:26.3"), 3, "move 3,4 -1",
            "1:26.000000 2:26.200000 3:26.300000 4:26.100000 E2");
        row("move down into an empty row", L("1:26.0 2:26.1"), 2, "move 2 1",
            "1:26.000000 3:26.100000 E3");
        row("scattered rows move down each", L("1:26.0 2:26.1 4:26.3"), 1, "move 1,4 1",
            "1:26.100000 2:26.000000 5:26.300000 E2");
        row("insert shifts the run up to the first free number", L("1:26.0 2:26.1 3:26.2 5:26.4"),
            3, "insert 2", "1:26.000000 3:26.100000 4:26.200000 5:26.400000 E4");
        row("fill creates channels, TX at a negative offset", L("1:26.0"), 1,
            "fill 4,1,2 27.0 12.5 -5",
            "1:27.000000/26.995000 2:27.012500/27.007500 4:27.025000/27.020000 E1");
        // A TX off the radio's 10 Hz step could not be written as shown: it is put on the step
        // as a typed TX is.
        row("fill's TX offset onto the 10 Hz step", L("1:26.0"), 1, "fill 1,2 27.0 10 -0.005",
            "1:27.000000/26.999990 2:27.010000/27.009990 E1");
        row("RX set creates the missing channels", L("1:26.0 2:26.1"), 1, "cell 2,3 1 27.25",
            "1:26.000000 2:27.250000/26.100000 3:27.250000 E1");
        row("empty RX deletes, the group keeps its last", L("1:26.0 2:26.1"), 1, "cell 1,2 1",
            "2:26.100000 E2");

        const QString band = QStringLiteral(" MHz is outside the band 25.605000 - 30.115000 MHz.");
        row("fill past the band's top", L("1:26.0"), 1, "fill 1,2,3 30.105 10 0", "",
            L("Channel A3 RX: 30.125000") + band + L("\nChannel A3 TX: 30.125000") + band);
        // Any number of digits can be typed; it must not overflow on its way to the check.
        row("fill far above every band", L("1:26.0"), 1, "fill 1 99999999999999999999 10 0", "",
            L("Channel A1 RX: 1000000000.000000") + band + L("\nChannel A1 TX: 1000000000.000000") +
                band);
        row("fill's TX offset below the band", L("1:26.0"), 1, "fill 1 25.61 10 -10", "",
            L("Channel A1 TX: 25.600000") + band);
        row("value out of band", L("1:26.0 2:26.1"), 1, "cell 1,2 1 31.2", "",
            L("31.200000") + band);
        row("value not a number", L("1:26.0 2:26.1"), 1, "cell 1,2 2 2.7.1", "",
            QStringLiteral("\"2.7.1\" is not a frequency in MHz."));
        row("move up from channel 1", L("1:26.0 2:26.1"), 1, "move 1,2 -1", "",
            QStringLiteral("Channel 1 cannot move up: it is the first channel number."));
        row("move down past 60", L("1:26.0 60:26.1"), 1, "move 60 1", "",
            QStringLiteral("Channel 60 cannot move down: a group has no channel number past 60."));
        row("linked: a TX set is the RX too", L("1:26.0 2:26.1"), 1, "cell 1,2 2 27.25",
            "1:27.250000 2:27.250000 E1", {}, true);
        row("linked: no TX offset", L("1:26.0"), 1, "fill 1 27.0 10 5", "",
            QStringLiteral("TX cannot be offset from RX: while the option \"Single Change "
                           "Frequency\" is off the two stay equal."),
            true);
        row("insert without room", L("1:26.0 ") + sixtyFrom(5), 1, "insert 7", "",
            QStringLiteral(
                "No channel number is free from 7 to 60: channel 60 would run past 60."));
    }
    void groupEdits() {
        QFETCH(QString, channels);
        QFETCH(int, emergency);
        QFETCH(QString, edit);
        QFETCH(QString, expected);
        QFETCH(QString, problems);
        QFETCH(bool, older);
        freshDoc(older ? solvirProduct() : meridoxProduct());
        setGroupA(*m_doc, channels, emergency);
        EditHistory history(*m_doc);
        const QString before = groupA(*m_doc);
        QCOMPARE(runEdit(*m_doc, edit).join(QLatin1Char('\n')), problems);
        QCOMPARE(groupA(*m_doc), expected.isEmpty() ? before : expected);
        QCOMPARE(history.stack().count(), expected.isEmpty() ? 0 : 1);
    }

    // A value given in a cell of one of several selected rows goes to all of them.
    void cellGoesToSelectedRows_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("typed"); // empty: the next list entry is chosen
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<int>("leaveKey");
        QTest::newRow("VOIC chosen") << 4 << ""
                                     << "Enable"
                                     << "" << int(Qt::Key_Return);
        // Down leaves the selection: the value still goes to every selected row.
        QTest::newRow("TX typed, Down") << int(ColTx) << "27.5"
                                        << "27.500000"
                                        << "" << int(Qt::Key_Down);
        // The value the pressed row already holds is still meant for the others.
        QTest::newRow("TX typed as shown") << int(ColTx) << "26.200000"
                                           << "26.200000"
                                           << "" << int(Qt::Key_Return);
        QTest::newRow("TX out of band")
            << int(ColTx) << "31.2"
            << "26.200000"
            << "31.200000 MHz is outside the band 25.605000 - 30.115000 MHz."
            << int(Qt::Key_Return);
    }
    void cellGoesToSelectedRows() {
        QFETCH(int, column);
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        QFETCH(QString, refusal);
        QFETCH(int, leaveKey);
        openOn(QStringLiteral("1:26.0 2:26.1 3:26.2 4:26.3"));
        const QString before = groupA(*m_doc);
        selectRows(1, 3);
        const QRect cell = grid()->visualRect(grid()->model()->index(3, column));
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, cell.center());
        QWidget* editor =
            column == ColTx
                ? static_cast<QWidget*>(m_window->findChild<QLineEdit*>(QStringLiteral("Text1")))
                : m_window->findChild<QComboBox*>(QStringLiteral("Combo8_1"));
        QVERIFY(QTest::qWaitFor([&] { return editor->hasFocus(); }));
        QCOMPARE(m_window->selectedRows(), (QList<int>{1, 2, 3}));
        QVERIFY(grid()->item(1, ColTx)->isSelected()); // the rows still show it
        if (typed.isEmpty())
            QTest::keyClick(editor, Qt::Key_Down);
        else
            QTest::keyClicks(editor, typed);
        QTest::keyClick(editor, Qt::Key(leaveKey));
        QTRY_COMPARE(grid()->cellText(3, column), expected);
        if (!refusal.isEmpty()) {
            QCOMPARE(m_messages.asked.size(), 1);
            QCOMPARE(m_messages.asked[0].informative, refusal);
            QCOMPARE(groupA(*m_doc), before);
            return;
        }
        for (int row = 1; row <= 4; ++row)
            QCOMPARE(grid()->cellText(row, column) == expected, row <= 3);
        // Enter moves along the row: still one of the selected rows, still shown so.
        QCOMPARE(grid()->item(1, ColTx)->isSelected(), leaveKey == Qt::Key_Return);
        checkOneStepUndone(before);
    }

    void fillDialog_data() {
        QTest::addColumn<QString>("step");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("filled") << "-5"
                                << "1:27.100000 2:27.095000 3:27.090000 E1"
                                << "";
        // A comma typed is taken for the point, not dropped (which would give -50 kHz).
        QTest::newRow("comma as point") << "-5,0"
                                        << "1:27.100000 2:27.095000 3:27.090000 E1"
                                        << "";
        QTest::newRow("refused")
            << "1510"
            << "1:26.000000 2:26.100000 3:26.200000 E1"
            << "Channel A3 RX: 30.120000 MHz is outside the band 25.605000 - 30.115000 MHz.\n"
               "Channel A3 TX: 30.120000 MHz is outside the band 25.605000 - 30.115000 MHz.";
    }
    void fillDialog() {
        QFETCH(QString, step);
        QFETCH(QString, expected);
        QFETCH(QString, refusal);
        openOn(QStringLiteral("1:26.0 2:26.1 3:26.2"));
        const QString before = groupA(*m_doc);
        selectRows(1, 3);
        m_window->fillFrequencies();
        auto* dialog = m_window->findChild<QDialog*>(QStringLiteral("frmFillFrequencies"));
        QVERIFY(dialog && dialog->isVisible());
        auto* firstRx = dialog->findChild<QLineEdit*>(QStringLiteral("txtFirstRx"));
        QCOMPARE(firstRx->text(), QStringLiteral("26.000000"));
        firstRx->setText(QStringLiteral("27.1"));
        auto* stepBox = dialog->findChild<QLineEdit*>(QStringLiteral("txtStepKhz"));
        stepBox->clear();
        QTest::keyClicks(stepBox, step);
        dialog->accept();
        QCOMPARE(groupA(*m_doc), expected);
        if (refusal.isEmpty()) {
            QCOMPARE(grid()->cellText(2, ColTx), QStringLiteral("27.095000"));
            checkOneStepUndone(before);
        } else {
            QCOMPARE(m_messages.asked.size(), 1);
            QCOMPARE(m_messages.asked[0].text,
                     QStringLiteral("No channel was changed; the configuration is unchanged."));
            QCOMPARE(m_messages.asked[0].informative, refusal);
        }
    }

    // The window's keys, each one step that undo takes back.
    void keys_data() {
        QTest::addColumn<int>("selected");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Ctrl+Down") << 2 << (Qt::CTRL | Qt::Key_Down).toCombined()
                                   << "1:26.000000 2:26.200000 3:26.100000 E1";
        QTest::newRow("Ctrl+Up") << 2 << (Qt::CTRL | Qt::Key_Up).toCombined()
                                 << "1:26.100000 2:26.000000 3:26.200000 E2";
        QTest::newRow("Insert") << 1 << int(Qt::Key_Insert)
                                << "2:26.000000 3:26.100000 4:26.200000 E2";
        // Without a selection Move Down (of the Edit menu; Ctrl+Down in an editor moves the
        // edit) moves the channel of the cell being edited.
        QTest::newRow("Move Down in the RX editor")
            << 0 << 0 << "1:26.100000 2:26.000000 3:26.200000 E2";
    }
    void keys() {
        QFETCH(int, selected);
        QFETCH(int, key);
        QFETCH(QString, expected);
        openOn(QStringLiteral("1:26.0 2:26.1 3:26.2"));
        const QString before = groupA(*m_doc);
        const QKeyCombination k = QKeyCombination::fromCombined(key);
        if (selected > 0) {
            pressChannelNumber(selected);
            QTest::keyClick(grid(), k.key(), k.keyboardModifiers());
        } else {
            // The RX editor of channel 1 has the focus.
            m_window->moveRowsDown();
            QCOMPARE(grid()->currentRow(), 2);
        }
        QCOMPARE(groupA(*m_doc), expected);
        if (key != Qt::Key_Insert && selected > 0)
            QCOMPARE(m_window->selectedRows(),
                     QList<int>{selected + (k.key() == Qt::Key_Up ? -1 : 1)});
        checkOneStepUndone(before);
    }

    // Rows chosen in one group are no rows of another: the edits that follow act there.
    void groupChangeEndsSelection() {
        openOn(QStringLiteral("1:26.0 2:26.1"));
        selectRows(1, 2);
        auto* groups = m_window->findChild<QComboBox*>(QStringLiteral("Combo6"));
        groups->setCurrentIndex(1);
        emit groups->activated(1);
        QCOMPARE(m_window->selectedRows(), QList<int>());
        QTest::keyClick(grid(), Qt::Key_Down, Qt::ControlModifier);
        QCOMPARE(m_history->stack().count(), 0);
        QCOMPARE(m_messages.asked.size(), 1);
        QCOMPARE(m_messages.asked[0].informative,
                 QStringLiteral("Choose the channels first: click a cell of a channel or its "
                                "number."));
    }

    void findShowsNextMatchInItsGroup() {
        openOn(QStringLiteral("1:26.0"));
        editRecord(*m_doc, [](RadioConfig& r) {
            r.entry(1, 1).rxFreq.assign(QByteArray("26550000"));
            r.entry(3, 1).txFreq.assign(QByteArray("26551000"));
            r.entry(3, 1).channelNo = 9;
        });
        QTest::keyClick(grid(), Qt::Key_F, Qt::ControlModifier);
        auto* find = m_window->findChild<QLineEdit*>(QStringLiteral("txtFind"));
        QVERIFY(QTest::qWaitFor([&] { return find->hasFocus(); }));
        QTest::keyClicks(find, QStringLiteral("26.55"));
        const auto* status = m_window->findChild<QLabel*>(QStringLiteral("lblFindStatus"));
        const auto* groups = m_window->findChild<QComboBox*>(QStringLiteral("Combo6"));
        const QStringList expected{QStringLiteral("1 of 2: channel B1"),
                                   QStringLiteral("2 of 2: channel D9"),
                                   QStringLiteral("1 of 2: channel B1")};
        for (const QString& match : expected) {
            QTest::keyClick(find, Qt::Key_Return);
            QCOMPARE(status->text(), match);
            QCOMPARE(groups->currentText(), match.right(2).left(1));
            QCOMPARE(m_window->selectedRows(), QList<int>{match.right(1).toInt()});
            QVERIFY(find->hasFocus());
        }
        find->setText(QStringLiteral("29.9"));
        QTest::keyClick(find, Qt::Key_Return);
        QCOMPARE(status->text(), QStringLiteral("No channel has a frequency with 29.9."));
    }

    // Insert and the row keys typed in the find text leave the channels where they are.
    void findTextKeepsRowKeys() {
        openOn(QStringLiteral("1:26.0 2:26.5 3:27.0"));
        QTest::keyClick(grid(), Qt::Key_F, Qt::ControlModifier);
        auto* find = m_window->findChild<QLineEdit*>(QStringLiteral("txtFind"));
        QVERIFY(QTest::qWaitFor([&] { return find->hasFocus(); }));
        QTest::keyClicks(find, QStringLiteral("26.5"));
        QTest::keyClick(find, Qt::Key_Return);
        QCOMPARE(m_window->selectedRows(), QList<int>{2});
        const QByteArray before = encodeRecord(meridoxProduct(), m_doc->config());
        for (const QKeyCombination key :
             {QKeyCombination(Qt::Key_Insert), QKeyCombination(Qt::ControlModifier, Qt::Key_Up),
              QKeyCombination(Qt::ControlModifier, Qt::Key_Down)})
            QTest::keyClick(find, key.key(), key.keyboardModifiers());
        QCOMPARE(encodeRecord(meridoxProduct(), m_doc->config()), before);
    }

    // The Edit menu brings the grid up and acts on its group (last: the main window's own
    // message script replaces this suite's).
    void editMenuActsOnTheGrid() {
        initFixture();
        MainWindow& main = start();
        showActive(&main);
        setGroupA(main.document(), QStringLiteral("1:28.0 2:26.0"), 1);
        main.findChild<QAction*>(QStringLiteral("mnuSortByFrequency"))->trigger();
        QVERIFY(main.findChild<ChannelGridWindow*>());
        QCOMPARE(groupA(main.document()), QStringLiteral("1:26.000000 2:28.000000 E2"));
        QCOMPARE(main.history().stack().undoText(), QStringLiteral("Sort by Frequency"));
        cleanupFixture();
    }
};

QTEST_MAIN(TestBulkEdits)
#include "tst_bulkedits.moc"
