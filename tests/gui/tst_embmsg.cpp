// The message lines window offscreen: what a line stores, and what can be typed into it.
#include "recordedit.h"
#include "testsupport.h"
#include "ui/editors/messagelineswindow.h"
#include "windowtest.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class TestEmbMsg : public QObject {
    Q_OBJECT
    PrivateUserFolders m_folders;
    std::unique_ptr<Document> m_doc;
    std::unique_ptr<MessageLinesWindow> m_window;

    MessageLinesWindow& open() {
        m_window = std::make_unique<MessageLinesWindow>(*m_doc);
        return showActive(m_window.get());
    }
    QLineEdit* line(int i) const {
        return m_window->findChild<QLineEdit*>(QStringLiteral("Text1_%1").arg(i));
    }
    QByteArray stored(int i) const { return m_doc->config().embeddedMessage[size_t(i)].raw(); }
    static QByteArray terminated(const char* text) {
        QByteArray b(text);
        b.append('\0');
        return b.leftJustified(32, ' ');
    }

  private slots:
    void initTestCase() { setCurrentLanguage(LanguageEnglish); }
    void init() {
        m_doc = std::make_unique<Document>(meridoxProduct());
        m_doc->initialiseDefaults();
    }
    void cleanup() {
        m_window.reset();
        m_doc.reset();
    }

    void defaultLinesAreEmpty() {
        editRecord(*m_doc,
                   [&](RadioConfig& c) { c.embeddedMessage[1].assign(terminated("HELLO")); });
        open();
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Local Information"));
        QCOMPARE(line(0)->text(), QString());
        QCOMPARE(line(1)->text(), QStringLiteral("HELLO"));
        QCOMPARE(line(0)->maxLength(), 32);
        QVERIFY(line(0)->contextMenuPolicy() == Qt::NoContextMenu);
    }

    // Enter moves to the next box, and leaving a box stores its line.
    void terminatorRule_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("stored");
        const QString full = QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUV");
        QTest::newRow("short") << "ABC" << terminated("ABC");
        QTest::newRow("32 characters") << full << full.toLatin1();
        QTest::newRow("33 characters") << full + QLatin1Char('W') << full.toLatin1();
        QTest::newRow("cleared") << "" << terminated("");
    }
    void terminatorRule() {
        QFETCH(QString, typed);
        QFETCH(QByteArray, stored);
        editRecord(*m_doc, [&](RadioConfig& c) { c.embeddedMessage[0].assign(terminated("OLD")); });
        open();
        line(0)->setFocus();
        QTest::keyClick(line(0), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(line(0), Qt::Key_Backspace);
        QTest::keyClicks(line(0), typed);
        QTest::keyClick(line(0), Qt::Key_Return);
        QVERIFY(line(1)->hasFocus());
        QCOMPARE(this->stored(0), stored);
        QCOMPARE(this->stored(1), terminated(""));
    }

    void onlyAsciiReachesTheLine() {
        open();
        line(1)->setFocus();
        for (QChar ch : QStringLiteral("Gr\u00fc\u00dfe \u4e2d"))
            QTest::sendKeyEvent(QTest::Click, line(1), Qt::Key_unknown, QString(ch),
                                Qt::NoModifier);
        QCOMPARE(line(1)->text(), QStringLiteral("Gre "));
        QGuiApplication::clipboard()->setText(QStringLiteral("X\u00e9Y"));
        QTest::keyClick(line(1), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(line(1)->text(), QStringLiteral("Gre "));
        line(1)->paste(); // any other way in (middle button, drop) keeps only ASCII
        QCOMPARE(line(1)->text(), QStringLiteral("Gre XY"));
        QVERIFY(m_window->validateEdits());
        QCOMPARE(stored(1), terminated("Gre XY"));
    }

    void untouchedLineKeepsItsBytes() {
        QByteArray odd = terminated("KEEP");
        odd[10] = 'Z'; // bytes after the terminator
        editRecord(*m_doc, [&](RadioConfig& c) { c.embeddedMessage[0].assign(odd); });
        open();
        line(0)->setFocus();
        QTest::keyClick(line(0), Qt::Key_Tab);
        m_window->close();
        QCOMPARE(stored(0), odd);
    }
};

QTEST_MAIN(TestEmbMsg)
#include "tst_embmsg.moc"
