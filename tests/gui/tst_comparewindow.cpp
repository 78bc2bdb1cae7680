// Program > Compare with Radio and Show changes before writing, against the virtual radio on a
// pseudo-terminal: what the window lists, that a compare changes nothing of the open
// configuration, and that only its Write to Radio button writes.

#include "core/channels/channelrules.h"
#include "core/comm/codec.h"
#include "mainwindowfixture.h"
#include "radiolauncher.h"
#include "testsupport.h"
#include "ui/common/edithistory.h"
#include "ui/radio/comparewindow.h"
#include "windowtest.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <cstring>

namespace {
QByteArray recordBytes(const Document& doc) {
    QByteArray bytes(int(sizeof(RadioConfig)), Qt::Uninitialized);
    std::memcpy(bytes.data(), static_cast<const void*>(&doc.config()), sizeof(RadioConfig));
    return bytes;
}

QStringList listed(const CompareWindow* w) {
    QStringList out;
    const auto* list = w->findChild<QListWidget*>(QStringLiteral("List1"));
    for (int i = 0; list && i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

// Frames the program sent that write a data block ("W").
qsizetype writeFrames(const VirtualRadio& radio) {
    return radio.log().filter(QRegularExpression(QStringLiteral("^> 57 "))).size();
}
} // namespace

class TestCompareWindow : public QObject, MainWindowFixture {
    Q_OBJECT
    PrivateUserFolders m_folders;

    CompareWindow* compareWindow() { return m_main->radioCommands().compareWindow(); }
    // The main window on COM1 = the radio, group A channel 1 changed to 27.5 MHz when asked.
    void startOnRadio(const VirtualRadio& radio, bool changeChannel) {
        pinComPort(radio.linkPath());
        start(meridoxProduct(), currentLanguage());
        showActive(m_main.get());
        if (changeChannel) m_main->document().setChannelCell(1, ColRx, QStringLiteral("27.5"));
    }
    bool waitForCompareWindow() {
        return QTest::qWaitFor([this] { return compareWindow() && compareWindow()->isVisible(); },
                               20000);
    }

  private slots:
    void init() { initFixture(); }
    void cleanup() {
        cleanupFixture();
        setCurrentLanguage(LanguageEnglish);
    }

    void compareChangesNothing_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<bool>("changeChannel");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("summary"); // empty: not checked
        QTest::newRow("one channel differs")
            << int(LanguageEnglish) << true << "Compare with Radio (1 difference)"
            << QStringList{QStringLiteral("Group A channel 1 RX: 28.015000 -> 27.500000")}
            << QString();
        QTest::newRow("equal, Chinese")
            << int(LanguageChinese) << false << QString::fromUtf8("与对讲机比较（无差异）")
            << QStringList() << QString::fromUtf8("对讲机中的数据与本配置相同。");
        QTest::newRow("equal") << int(LanguageEnglish) << false
                               << "Compare with Radio (no differences)" << QStringList()
                               << "The radio holds this configuration.";
    }
    // The radio is read into a copy: the record, file name, modified state and history stay.
    void compareChangesNothing() {
        QFETCH(int, language);
        QFETCH(bool, changeChannel);
        QFETCH(QString, title);
        QFETCH(QStringList, lines);
        QFETCH(QString, summary);
        VirtualRadio radio;
        QVERIFY2(radio.start(QStringLiteral("meridox")), qPrintable(radio.errorOutput()));
        setCurrentLanguage(language);
        startOnRadio(radio, changeChannel);
        Document& doc = m_main->document();
        doc.fileName = path("mine.dat");
        doc.untitled = false;
        const QByteArray record = recordBytes(doc);
        const bool modified = doc.isModified();
        const int steps = m_main->history().stack().count();
        const QString windowTitle = m_main->windowTitle();

        m_msgs->answers = {MsgAnswer::Ok}; // the read's question
        action("mnuCompareWithRadio")->trigger();
        QVERIFY(waitForCompareWindow());
        QVERIFY(compareWindow()->isModal());
        QCOMPARE(compareWindow()->windowTitle(), title);
        QCOMPARE(listed(compareWindow()), lines);
        if (!summary.isEmpty())
            QCOMPARE(compareWindow()->findChild<QLabel*>(QStringLiteral("Label1"))->text(),
                     summary);
        QCOMPARE(recordBytes(doc), record);
        QCOMPARE(doc.fileName, path("mine.dat"));
        QVERIFY(!doc.untitled);
        QCOMPARE(doc.isModified(), modified);
        QCOMPARE(m_main->history().stack().count(), steps);
        QCOMPARE(m_main->windowTitle(), windowTitle);
        // The window takes the place of the read's completion message.
        QCOMPARE(m_msgs->texts(), QStringList{messageText(Msg::ReadConfirm)});
        compareWindow()->findChild<QPushButton*>(QStringLiteral("CommandClose"))->click();
        QTRY_VERIFY(!compareWindow());
        QCOMPARE(writeFrames(radio), 0);
    }

    void showChangesBeforeWriting_data() {
        QTest::addColumn<QStringList>("radioArgs");
        QTest::addColumn<QString>("button"); // pressed in the window; empty: no window
        QTest::addColumn<bool>("written");
        QTest::newRow("Write writes") << QStringList() << "CommandWrite" << true;
        QTest::newRow("Close writes nothing") << QStringList() << "CommandClose" << false;
        QTest::newRow("radio of another model refused before anything")
            << QStringList{QStringLiteral("--model"), QStringLiteral("5480")} << QString()
            << false;
    }
    // Write to Radio compares first and writes only on the window's Write to Radio.
    void showChangesBeforeWriting() {
        QFETCH(QStringList, radioArgs);
        QFETCH(QString, button);
        QFETCH(bool, written);
        VirtualRadio radio;
        QVERIFY2(radio.start(QStringLiteral("meridox"), radioArgs),
                 qPrintable(radio.errorOutput()));
        startOnRadio(radio, true);
        QAction* preview = action("mnuShowChangesBeforeWriting");
        QVERIFY(preview->isCheckable() && !preview->isChecked());
        preview->trigger();

        m_msgs->answers = {MsgAnswer::Ok, MsgAnswer::Ok}; // the read's, then the write's question
        action("mnuWriteToRadio")->trigger();
        if (button.isEmpty()) {
            QVERIFY(QTest::qWaitFor([this] { return m_msgs->asked.size() >= 2; }, 20000));
            QVERIFY(waitForSessionEnd(m_main->session(), 20000));
            QCOMPARE(m_msgs->texts().at(1), messageText(Msg::ModelWrong));
            QVERIFY(!compareWindow());
        } else {
            QVERIFY(waitForCompareWindow());
            QCOMPARE(listed(compareWindow()),
                     QStringList{QStringLiteral("Group A channel 1 RX: 28.015000 -> 27.500000")});
            QCOMPARE(writeFrames(radio), 0);
            compareWindow()->findChild<QPushButton*>(button)->click();
            QTRY_VERIFY(!compareWindow());
            if (written) {
                QVERIFY(QTest::qWaitFor([this] { return m_main->session().busy(); }, 2000));
                QVERIFY(waitForSessionEnd(m_main->session(), 20000));
                QCOMPARE(m_msgs->texts().last(), messageText(Msg::WriteCompleted));
            }
        }
        QCOMPARE(writeFrames(radio) > 0, written);
        if (written) {
            Document back(meridoxProduct());
            QVERIFY(!parseRadioImage(back, radio.dump()));
            QCOMPARE(shownFrequency(back, back.config().entry(0, 1).rxFreq.text()),
                     QStringLiteral("27.500000"));
        }
    }
};

QTEST_MAIN(TestCompareWindow)
#include "tst_comparewindow.moc"
