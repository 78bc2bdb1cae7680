#include "frmprintlist.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QString zh(const char* text) {
    return QString::fromUtf8(text);
}
} // namespace

FrmPrintList::FrmPrintList(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmPrintList"));
    setModal(true);
    // The window keeps its Chinese captions in both languages.
    setWindowTitle(zh("打印列表"));

    auto* grid = new QGridLayout;
    const auto check = [this](int i, const char* caption) {
        auto* c = new QCheckBox(zh(caption), this);
        c->setObjectName(QStringLiteral("Check1_%1").arg(i));
        return c;
    };
    const auto text = [this](int i, const char* value) {
        auto* t = new QLineEdit(QString::fromLatin1(value), this);
        t->setObjectName(QStringLiteral("Text1_%1").arg(i));
        t->setMaxLength(2);
        t->setFixedWidth(40);
        return t;
    };
    const auto label = [this](const QString& name, const char* caption) {
        auto* l = new QLabel(zh(caption), this);
        l->setObjectName(name);
        return l;
    };
    for (int g = 0; g < 2; ++g) {
        grid->addWidget(check(g, g == 0 ? "信道信息-组1" : "信道信息-组2"), g, 0);
        grid->addWidget(label(QStringLiteral("Label1_%1").arg(g), "开始--终止"), g, 1);
        grid->addWidget(text(2 * g, "1"), g, 2);
        grid->addWidget(label(QStringLiteral("Label2_%1").arg(g), "--"), g, 3);
        grid->addWidget(text(2 * g + 1, "40"), g, 4);
    }
    grid->addWidget(check(2, "可选功能"), 2, 0);
    grid->addWidget(check(3, "本机信息"), 3, 0);
    grid->addWidget(check(4, "嵌入信息"), 4, 0);

    auto* buttons = new QHBoxLayout;
    const struct {
        const char* name;
        const char* caption;
    } captions[] = {{"CommandSelAll", "选择所有"},
                    {"CommandClrAll", "清除所有"},
                    {"CommandSet", "设置(&S)"},
                    {"Command1", "确定(&O)"},
                    {"Command2", "取消(&C)"}};
    for (const auto& c : captions) {
        auto* b = new QPushButton(zh(c.caption), this);
        b->setObjectName(QLatin1String(c.name));
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
}

void FrmPrintList::keyPressEvent(QKeyEvent* event) {
    // Escape would close the window: it closes only through its close box.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
