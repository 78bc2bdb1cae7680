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

  private slots:
    void init() { initFixture(); }
    void cleanup() {
        cleanupFixture();
        setCurrentLanguage(LanguageEnglish);
    }

    void compareThenWriteOrClose_data() {
        QTest::addColumn<bool>("preview"); // Write to Radio with Show changes before writing
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("radioArgs");
        QTest::addColumn<QString>("line");    // group A channel 1 changed to 27.5 MHz, as listed
        QTest::addColumn<QString>("title");   // empty: refused, no window
        QTest::addColumn<QString>("summary"); // the label when nothing differs
        QTest::addColumn<QString>("button");  // pressed in the window ("Return": the key)
        const QStringList none;
        const QString one = QStringLiteral("Compare with Radio (1 difference)");
        const QString changed = QStringLiteral("Group A channel 1 RX: 28.015000 -> 27.500000");
        QTest::newRow("compare, one channel, Close writes nothing")
            << false << int(LanguageEnglish) << none << changed << one << QString()
            << "CommandClose";
        QTest::newRow("compare, one channel, Chinese, Close writes nothing")
            << false << int(LanguageChinese) << none
            << QStringLiteral("组 A 信道 1 接收频率：28.015000 -> 27.500000")
            << QStringLiteral("与对讲机比较（1 处差异）") << QString() << "CommandClose";
        QTest::newRow("compare, equal, Chinese, Write writes")
            << false << int(LanguageChinese) << none << QString()
            << QString::fromUtf8("与对讲机比较（无差异）")
            << QString::fromUtf8("对讲机中的数据与本配置相同。") << "CommandWrite";
        QTest::newRow("preview, one channel, Write writes")
            << true << int(LanguageEnglish) << none << changed << one << QString()
            << "CommandWrite";
        QTest::newRow("preview, equal, Return closes and writes nothing")
            << true << int(LanguageEnglish) << none << QString()
            << "Compare with Radio (no differences)"
            << "The radio holds this configuration."
            << "Return";
        QTest::newRow("preview, radio of another model refused before anything")
            << true << int(LanguageEnglish)
            << QStringList{QStringLiteral("--model"), QStringLiteral("5480")} << changed
            << QString() << QString() << QString();
    }
    // The radio is read into a copy: the open record, its file name and its history stay as
    // they were; only the window's Write to Radio writes.
    void compareThenWriteOrClose() {
        QFETCH(bool, preview);
        QFETCH(int, language);
        QFETCH(QStringList, radioArgs);
        QFETCH(QString, line);
        const bool changeChannel = !line.isEmpty();
        QFETCH(QString, title);
        QFETCH(QString, summary);
        QFETCH(QString, button);
        VirtualRadio radio;
        QVERIFY2(radio.start(QStringLiteral("meridox"), radioArgs),
                 qPrintable(radio.errorOutput()));
        pinComPort(radio.linkPath());
        setCurrentLanguage(language);
        start(meridoxProduct(), language);
        showActive(m_main.get());
        Document& doc = m_main->document();
        if (changeChannel) doc.setChannelCell(1, ColRx, QStringLiteral("27.5"));
        doc.fileOpened(path("mine.dat"));
        const QByteArray record = recordBytes(doc);
        const int steps = m_main->history().stack().count();

        m_msgs->answers = {MsgAnswer::Ok, MsgAnswer::Ok}; // the read's, then the write's question
        if (preview) action("mnuShowChangesBeforeWriting")->trigger();
        action(preview ? "mnuWriteToRadio" : "mnuCompareWithRadio")->trigger();
        if (title.isEmpty()) {
            QVERIFY(QTest::qWaitFor([this] { return m_msgs->asked.size() >= 2; }, 20000));
            QCOMPARE(m_msgs->texts().at(1), messageText(Msg::ModelWrong));
            QVERIFY(waitForSessionEnd(m_main->session(), 20000));
            QVERIFY(!compareWindow());
            QCOMPARE(writeFrames(radio), 0);
            return;
        }
        QVERIFY(QTest::qWaitFor([this] { return compareWindow() && compareWindow()->isVisible(); },
                                20000));
        QCOMPARE(compareWindow()->windowTitle(), title);
        QCOMPARE(
            compareWindow()->findChild<QListWidget*>(QStringLiteral("List1"))->accessibleName(),
            title);
        QCOMPARE(listed(compareWindow()), changeChannel ? QStringList{line} : QStringList());
        if (!summary.isEmpty())
            QCOMPARE(compareWindow()->findChild<QLabel*>(QStringLiteral("Label1"))->text(),
                     summary);
        QCOMPARE(recordBytes(doc), record);
        QCOMPARE(doc.fileName(), path("mine.dat"));
        QVERIFY(!doc.isUntitled());
        QCOMPARE(m_main->history().stack().count(), steps);
        // The window takes the place of the read's completion message.
        QCOMPARE(m_msgs->texts(), QStringList{messageText(Msg::ReadConfirm)});
        QCOMPARE(writeFrames(radio), 0);

        if (button == QLatin1String("Return"))
            QTest::keyClick(compareWindow(), Qt::Key_Return);
        else
            compareWindow()->findChild<QPushButton*>(button)->click();
        QTRY_VERIFY(!compareWindow());
        const bool written = button == QLatin1String("CommandWrite");
        if (!written) {
            QTest::qWait(100); // time enough for a write that should not start
            QVERIFY(!m_main->session().busy());
            QCOMPARE(writeFrames(radio), 0);
            return;
        }
        QVERIFY(QTest::qWaitFor([this] { return m_main->session().busy(); }, 2000));
        QVERIFY(waitForSessionEnd(m_main->session(), 20000));
        QCOMPARE(m_msgs->texts().last(), messageText(Msg::WriteCompleted));
        Document back(meridoxProduct());
        QVERIFY(!parseRadioImage(back, radio.dump()));
        QCOMPARE(shownFrequency(back, back.config().entry(0, 1).rxFreq.text()),
                 changeChannel ? QStringLiteral("27.500000") : QStringLiteral("28.015000"));
    }
};

QTEST_MAIN(TestCompareWindow)
#include "tst_comparewindow.moc"
