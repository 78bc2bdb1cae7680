// The main window and the channel grid without a mouse and with a screen reader: what the
// accessible tree names, in both languages, and where the focus goes after each key.
#include "core/channels/channelrules.h"
#include "mainwindowfixture.h"
#include "ui/editors/channelgridwindow.h"
#include "ui/shell/printlistwindow.h"
#include "windowtest.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QMdiArea>
#include <QTest>
#include <QToolButton>
#include <functional>

namespace {
// The first interface below root (root included) that matches.
QAccessibleInterface* findAccessible(QAccessibleInterface* root,
                                     const std::function<bool(QAccessibleInterface*)>& match) {
    if (!root) return nullptr;
    if (match(root)) return root;
    for (int i = 0; i < root->childCount(); ++i)
        if (QAccessibleInterface* found = findAccessible(root->child(i), match)) return found;
    return nullptr;
}
QString nameOf(QAccessibleInterface* a) {
    return a ? a->text(QAccessible::Name) : QStringLiteral("(not in the tree)");
}
} // namespace

class TestAccessibility : public QObject, MainWindowFixture {
    Q_OBJECT
    PrivateUserFolders m_folders;

    ChannelGridWindow* grid() const {
        return qobject_cast<ChannelGridWindow*>(m_main->windows().find(ChildWindow::ChannelGrid));
    }
    // The main window with channels 1 to 3 in group A, the RX editor of channel 1 focused.
    void open(int language) {
        setCurrentLanguage(language);
        start(meridoxProduct(), language);
        m_main->document().setChannelCell(2, ColRx, QStringLiteral("28.1"));
        m_main->document().setChannelCell(3, ColRx, QStringLiteral("28.2"));
        showActive(m_main.get());
        QVERIFY(QTest::qWaitFor([&] { return where() == QLatin1String("Text1@1,1"); }));
    }
    QAccessibleInterface* mainTree() const {
        return QAccessible::queryAccessibleInterface(m_main.get());
    }
    QAccessibleInterface* byObject(const QString& name) const {
        return findAccessible(mainTree(), [&](QAccessibleInterface* a) {
            return a->object() && a->object()->objectName() == name;
        });
    }
    QAccessibleInterface* toolButton(const QString& key) const {
        return findAccessible(mainTree(), [&](QAccessibleInterface* a) {
            const auto* b = qobject_cast<QToolButton*>(a->object());
            return b && b->defaultAction() && b->defaultAction()->objectName() == key;
        });
    }
    QAccessibleInterface* gridTable() const { return byObject(QStringLiteral("MSFlexGrid1")); }
    // What a screen reader reads for the named place of the window.
    QString spoken(const QString& place) {
        if (place.startsWith(QLatin1String("tool "))) return nameOf(toolButton(place.mid(5)));
        if (place == QLatin1String("tree node")) {
            // The first node below the product's root.
            return nameOf(findAccessible(byObject(QStringLiteral("TreeView1")), [](auto* a) {
                return a->role() == QAccessible::TreeItem &&
                       a->text(QAccessible::Name) != QLatin1String("MERIDOX");
            }));
        }
        if (place == QLatin1String("table")) return nameOf(gridTable());
        QAccessibleTableInterface* table = gridTable()->tableInterface();
        if (place == QLatin1String("rows")) return QString::number(table->rowCount());
        if (place == QLatin1String("first cell")) return nameOf(table->cellAt(0, 0));
        if (place == QLatin1String("its row header"))
            return nameOf(table->cellAt(0, 0)->tableCellInterface()->rowHeaderCells().value(0));
        if (place == QLatin1String("its column header"))
            return nameOf(table->cellAt(0, 0)->tableCellInterface()->columnHeaderCells().value(0));
        if (place == QLatin1String("RX editor"))
            return nameOf(QAccessible::queryAccessibleInterface(QApplication::focusWidget()));
        if (place == QLatin1String("BUSY editor")) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QTest::qWait(30); // the editor of the TX cell takes the focus
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            if (!QTest::qWaitFor([&] { return where().startsWith(QLatin1String("Combo8_0@1,3")); }))
                return where();
            QAccessibleInterface* list =
                QAccessible::queryAccessibleInterface(QApplication::focusWidget());
            return nameOf(list->relations(QAccessible::Label).value(0).first);
        }
        if (place == QLatin1String("print range")) {
            PrintListWindow print(m_main->document(), m_main.get());
            return nameOf(QAccessible::queryAccessibleInterface(
                print.findChild<QWidget*>(QStringLiteral("Text1_1"))));
        }
        return nameOf(byObject(place));
    }

    // Where the focus is: the widget's name, for a cell editor its cell and for a list its value;
    // an open menu by its name.
    QString where() const {
        if (QWidget* popup = QApplication::activePopupWidget()) return popup->objectName();
        const QWidget* f = QApplication::focusWidget();
        if (!f) return QStringLiteral("nothing");
        QString s = f->objectName();
        const ChannelGridWindow* g = grid();
        if (g && g->isAncestorOf(f) &&
            (s == QLatin1String("Text1") || s.startsWith(QLatin1String("Combo8_"))))
            s += QStringLiteral("@%1,%2").arg(g->editRow()).arg(g->editColumn());
        if (const auto* list = qobject_cast<const QComboBox*>(f);
            list && s.startsWith(QLatin1String("Combo8_")))
            s += QLatin1Char('=') + list->currentText();
        return s;
    }

  private slots:
    void init() { initFixture(); }
    void cleanup() {
        while (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
        cleanupFixture();
    }

    void names_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("place");
        QTest::addColumn<QString>("expected");
        const struct {
            const char* place;
            const char* english;
            const char* chinese;
        } rows[] = {
            {"RX editor", "RX Frequency, channel 1, group A", "接收频率，信道 1，组 A"},
            {"BUSY editor", "BUSY, channel 1, group A", "BUSY，信道 1，组 A"},
            {"table", "Channels, group A", "信道，组 A"},
            {"rows", "60", "60"},
            {"first cell", "28.015000", "28.015000"},
            {"its row header", "1", "1"},
            {"its column header", "RX Frequency", "接收频率"},
            {"tool ReadRadio", "Read from Radio", "从对讲机读取数据"},
            {"tool 新建", "New", "新建"},
            {"picTreeView", "Tree View", "树视图"},
            {"TreeView1", "Tree View", "树视图"},
            {"tool 删除", "Close Tree View", "关闭树视图"},
            {"tree node", "Channel Information", "信道信息"},
            {"print range", "Channel Information Group 1, last channel", "信道信息-组1，终止信道"},
        };
        for (const auto& r : rows) {
            QTest::addRow("%s, English", r.place)
                << int(LanguageEnglish) << QString::fromUtf8(r.place)
                << QString::fromUtf8(r.english);
            QTest::addRow("%s, Chinese", r.place)
                << int(LanguageChinese) << QString::fromUtf8(r.place)
                << QString::fromUtf8(r.chinese);
        }
    }
    void names() {
        QFETCH(int, language);
        QFETCH(QString, place);
        QFETCH(QString, expected);
        open(language);
        QCOMPARE(spoken(place), expected);
    }

    // Each row: keys pressed one after the other (a "View>Tree" item turns the tree pane off
    // and on through its menu item), and where the focus is after each.
    void keys_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<bool>("optionFeatures"); // opened in front of the grid first
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QStringList>("focus");
        const auto row = [](const char* name, bool options, const char* keys, const char* focus,
                            int language = LanguageEnglish) {
            QTest::newRow(name) << language << options
                                << QString::fromUtf8(keys).split(QLatin1Char(' '))
                                << QString::fromUtf8(focus).split(QLatin1Char(' '));
        };
        row("F6 to the tree and back", false, "F6 F6 Shift+F6", "TreeView1 Text1@1,1 TreeView1");
        row("tree turned on takes the focus", false, "View>Tree View>Tree", "Text1@1,1 TreeView1");
        row("next window, close, close", true, "Ctrl+F6 Ctrl+F4 Ctrl+W",
            "Text1@1,1 Combo1_0 TreeView1");
        row("F6 returns to the window in front", true, "F6 F6", "TreeView1 Combo1_0");
        row("F10 opens the menu bar", false, "F10", "mnuFile");
        row("Alt+E in Chinese", false, "Alt+E", "mnuEdit", LanguageChinese);
        row("Right at the end, Left at the start", false, "Right Right Left Home Left",
            "Text1@1,2 Combo8_0@1,3=Disable Text1@1,2 Text1@1,2 Text1@1,1");
        row("Ctrl+Up and Ctrl+Down between rows", false, "Ctrl+Down Ctrl+Down Ctrl+Up",
            "Text1@2,1 Text1@3,1 Text1@2,1");
        row("Up and Down change a list, Ctrl+Down leaves it", false,
            "Tab Tab Down Ctrl+Down Ctrl+Up",
            "Text1@1,2 Combo8_0@1,3=Disable Combo8_0@1,3=Enable Combo8_0@2,3=Disable "
            "Combo8_0@1,3=Enable");
    }
    void keys() {
        QFETCH(int, language);
        QFETCH(bool, optionFeatures);
        QFETCH(QStringList, keys);
        QFETCH(QStringList, focus);
        open(language);
        if (optionFeatures) {
            m_main->windows().show(ChildWindow::OptionFeatures);
            QTRY_COMPARE(where(), QStringLiteral("Combo1_0"));
        }
        for (qsizetype i = 0; i < keys.size(); ++i) {
            if (keys[i] == QLatin1String("View>Tree")) {
                action("mnuTreeView")->trigger();
            } else {
                const QKeyCombination k = QKeySequence::fromString(keys[i])[0];
                QWidget* to = QApplication::activePopupWidget();
                if (!to) to = QApplication::focusWidget();
                QTest::keyClick(to, k.key(), k.keyboardModifiers());
            }
            QTRY_COMPARE(where(), focus[i]);
        }
        // Moving between rows moved no channel.
        const Document& doc = m_main->document();
        QCOMPARE(doc.config().entry(0, findChannelPlace(doc, 0, 1)).rxFreq.text(),
                 QStringLiteral("28015000"));
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
