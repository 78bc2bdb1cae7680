// The print list offscreen: what its boxes select, what it refuses, and what it hands to the
// printer setup and the print preview.
#include "testsupport.h"
#include "ui/common/printdialogs.h"
#include "ui/shell/printlistwindow.h"
#include "windowtest.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {
// Answers at once and keeps what the window handed over.
class RecordingPrintDialogs : public PrintDialogService {
  public:
    RecordingPrintDialogs() { setPrintDialogService(this); }
    ~RecordingPrintDialogs() override { setPrintDialogService(nullptr); }

    bool pageSetup(QWidget*, QPrinter& printer) override {
        ++setups;
        pageSize = printer.pageLayout().pageSize().id();
        return true;
    }
    bool preview(QWidget*, QPrinter&, const Report& report) override {
        ++previews;
        selection = report.selection();
        text = report.plainText();
        return printed;
    }

    int setups = 0;
    int previews = 0;
    QPageSize::PageSizeId pageSize = QPageSize::Custom;
    PrintSelection selection;
    QString text;
    bool printed = true;
};
} // namespace

class TestPrintList : public QObject {
    Q_OBJECT
    PrivateUserFolders m_folders;
    std::unique_ptr<Document> m_doc;
    std::unique_ptr<PrintListWindow> m_window;
    std::unique_ptr<ScriptedMessages> m_msgs;
    std::unique_ptr<RecordingPrintDialogs> m_dialogs;

    PrintListWindow& open() {
        m_window = std::make_unique<PrintListWindow>(*m_doc);
        m_window->show();
        if (!QTest::qWaitForWindowExposed(m_window.get())) qFatal("window not shown");
        return *m_window;
    }
    QCheckBox* check(int i) const {
        return m_window->findChild<QCheckBox*>(QStringLiteral("Check1_%1").arg(i));
    }
    QLineEdit* text(int i) const {
        return m_window->findChild<QLineEdit*>(QStringLiteral("Text1_%1").arg(i));
    }
    QComboBox* group(int line) const {
        return m_window->findChild<QComboBox*>(QStringLiteral("Combo1_%1").arg(line));
    }
    void click(const char* name) {
        QTest::mouseClick(m_window->findChild<QPushButton*>(QLatin1String(name)), Qt::LeftButton);
    }
    void type(QLineEdit* box, const QString& value) {
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, value);
    }

  private slots:
    void init() {
        setCurrentLanguage(LanguageEnglish);
        m_doc = std::make_unique<Document>(meridoxProduct());
        m_doc->initialiseDefaults();
        m_msgs = std::make_unique<ScriptedMessages>();
        m_dialogs = std::make_unique<RecordingPrintDialogs>();
    }
    void cleanup() {
        m_window.reset();
        m_dialogs.reset();
        m_msgs.reset();
        m_doc.reset();
    }

    void opensWithNothingSelected() {
        open();
        for (int i = 0; i < 5; ++i)
            QVERIFY(!check(i)->isChecked());
        QCOMPARE(group(0)->currentText(), QStringLiteral("A"));
        QCOMPARE(group(1)->currentText(), QStringLiteral("B"));
        QCOMPARE(group(0)->count(), GroupCount);
        QCOMPARE(text(0)->text(), QStringLiteral("1"));
        QCOMPARE(text(1)->text(), QStringLiteral("40"));
    }

    // The print texts in English, the window's own captions in Chinese.
    void captionsFollowTheLanguage_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("captions"); // title, Check1_0..4, Label1_0, five buttons
        QTest::newRow("English")
            << 1
            << "Print List|Channel Information Group 1|Channel Information Group 2|Option "
               "Features|Local Information|Embedded Message|Start -- End|Select &All|&Clear "
               "All|&Set|&OK|&Cancel";
        QTest::newRow("Chinese") << 2
                                 << QString::fromUtf8(
                                        "打印列表|信道信息-组1|信道信息-组2|可选功能|本机信息|"
                                        "嵌入信息|开始--终止|选择所有|清除所有|设置(&S)|"
                                        "确定(&O)|取消(&C)");
    }
    void captionsFollowTheLanguage() {
        QFETCH(int, language);
        QFETCH(QString, captions);
        setCurrentLanguage(language);
        open();
        QStringList shown{m_window->windowTitle()};
        for (int i = 0; i < 5; ++i)
            shown << check(i)->text();
        shown << m_window->findChild<QLabel*>(QStringLiteral("Label1_0"))->text();
        for (const char* b :
             {"CommandSelAll", "CommandClrAll", "CommandSet", "Command1", "Command2"})
            shown << m_window->findChild<QPushButton*>(QLatin1String(b))->text();
        QCOMPARE(shown, captions.split(QLatin1Char('|')));
    }

    // Qt's preview opens large enough to read, its pages fitted to the width.
    void previewOpensReadable() {
        m_dialogs.reset();
        open();
        check(2)->setChecked(true);
        QSize size;
        int zoom = -1;
        QTimer::singleShot(300, this, [&] {
            auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
            if (!preview) return;
            size = preview->size();
            zoom = preview->findChild<QPrintPreviewWidget*>()->zoomMode();
            preview->reject();
        });
        click("Command1");
        const QRect screen = m_window->screen()->availableGeometry();
        QVERIFY(size.width() >= screen.width() * 2 / 3 && size.height() >= screen.height() * 4 / 5);
        QCOMPARE(zoom, int(QPrintPreviewWidget::FitToWidth));
    }

    void selectAllAndClearAll() {
        open();
        check(2)->setChecked(true);
        click("CommandSelAll");
        for (int i = 0; i < 5; ++i)
            QVERIFY(check(i)->isChecked());
        click("CommandClrAll");
        for (int i = 0; i < 5; ++i)
            QVERIFY(!check(i)->isChecked());
        QVERIFY(m_msgs->asked.isEmpty());
    }

    void okWithNothingSelected_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("message");
        QTest::newRow("English") << 1 << "Please select printing items.";
        QTest::newRow("Chinese") << 2 << QString::fromUtf8("请选择打印项目。");
    }
    void okWithNothingSelected() {
        QFETCH(int, language);
        QFETCH(QString, message);
        setCurrentLanguage(language);
        open();
        // A range that would be refused does not matter while its line is not checked.
        type(text(0), QStringLiteral("9"));
        type(text(1), QStringLiteral("3"));
        click("Command1");
        QCOMPARE(m_msgs->texts(), QStringList{message});
        QCOMPARE(m_msgs->asked.first().id, Msg::SelectPrintItems);
        QCOMPARE(m_dialogs->previews, 0);
        QVERIFY(m_window->isVisible());
    }

    // OK hands the preview a report of exactly the chosen sections.
    void okHandsOverTheSelection() {
        m_doc->addChannel(2, 5, QStringLiteral("27.500000"));
        m_doc->addChannel(2, 9, QStringLiteral("27.900000"));
        open();
        check(1)->setChecked(true);
        group(1)->setCurrentIndex(2); // the second line prints group C
        type(text(2), QStringLiteral("2"));
        type(text(3), QStringLiteral("6"));
        check(4)->setChecked(true);
        click("Command1");
        QVERIFY(m_msgs->asked.isEmpty());
        QCOMPARE(m_dialogs->previews, 1);
        const PrintSelection& s = m_dialogs->selection;
        QCOMPARE(s.channels.size(), 1);
        QCOMPARE(s.channels.first().group, 2);
        QCOMPARE(s.channels.first().first, 2);
        QCOMPARE(s.channels.first().last, 6);
        QVERIFY(!s.options && !s.localInfo && s.message);
        const QString& t = m_dialogs->text;
        QVERIFY(t.contains(QStringLiteral("Channel Information Group C")));
        QVERIFY(t.contains(QStringLiteral("27.500000")));
        QVERIFY(!t.contains(QStringLiteral("27.900000")));
        QVERIFY(!t.contains(QStringLiteral("28.115000"))); // channel 1 of group C
        QVERIFY(t.contains(QStringLiteral("Embedded Message")));
        QVERIFY(!t.contains(QStringLiteral("Option Features")));
        QVERIFY(!t.contains(QStringLiteral("Local Information")));
        // Printed: the window has done its work.
        QVERIFY(!m_window->isVisible());
        QCOMPARE(m_window->result(), int(QDialog::Accepted));
    }

    void previewClosedWithoutPrinting() {
        m_dialogs->printed = false;
        open();
        click("CommandSelAll");
        click("Command1");
        QCOMPARE(m_dialogs->previews, 1);
        QCOMPARE(m_dialogs->selection.channels.size(), 2);
        QVERIFY(m_dialogs->selection.options && m_dialogs->selection.localInfo);
        QVERIFY(m_window->isVisible());
    }

    void invalidRangeRefused_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<int>("focused"); // the box that gets the focus
        QTest::newRow("start above end") << "30"
                                         << "20" << 0;
        QTest::newRow("start zero") << "0"
                                    << "10" << 0;
        QTest::newRow("start empty") << ""
                                     << "10" << 0;
        QTest::newRow("end past 60") << "1"
                                     << "61" << 1;
        QTest::newRow("end empty") << "5"
                                   << "" << 1;
    }
    void invalidRangeRefused() {
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(int, focused);
        open();
        check(0)->setChecked(true);
        check(2)->setChecked(true);
        type(text(0), start);
        type(text(1), end);
        click("Command1");
        QCOMPARE(m_dialogs->previews, 0);
        QCOMPARE(m_msgs->asked.size(), 1);
        QVERIFY2(m_msgs->asked.first().text.contains(QStringLiteral("1 to 60")),
                 qPrintable(m_msgs->asked.first().text));
        QCOMPARE(m_msgs->asked.first().icon, MsgIcon::Warning);
        QTRY_VERIFY(text(focused)->hasFocus());
        QVERIFY(m_window->isVisible());
    }

    void boxesTakeDigitsOnly() {
        open();
        type(text(0), QStringLiteral("a-7x"));
        QCOMPARE(text(0)->text(), QStringLiteral("7"));
        type(text(1), QStringLiteral("123"));
        QCOMPARE(text(1)->text(), QStringLiteral("12"));
    }

    void setOpensThePageSetup() {
        open();
        click("CommandSet");
        QCOMPARE(m_dialogs->setups, 1);
        QCOMPARE(m_dialogs->pageSize, QPageSize::A4);
        QVERIFY(m_window->isVisible());
    }

    void cancelCloses() {
        open();
        check(0)->setChecked(true);
        click("Command2");
        QVERIFY(!m_window->isVisible());
        QCOMPARE(m_window->result(), int(QDialog::Rejected));
        QCOMPARE(m_dialogs->previews, 0);
    }
};

QTEST_MAIN(TestPrintList)
#include "tst_printlist.moc"
