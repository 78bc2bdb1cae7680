#include "comparewindow.h"

#include "core/config/messages.h"
#include "ui/common/texttables.h"
#include "ui/common/uicommon.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int WindowWidth = 9000; // twips
constexpr int WindowHeight = 5400;

QString titleFor(qsizetype count) {
    if (count == 0) return tr2("Compare with Radio (no differences)", "与对讲机比较（无差异）");
    if (count == 1) return tr2("Compare with Radio (1 difference)", "与对讲机比较（1 处差异）");
    return tr2("Compare with Radio (%1 differences)", "与对讲机比较（%1 处差异）").arg(count);
}
} // namespace

CompareWindow::CompareWindow(const QStringList& differences, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmCompare"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(titleFor(differences.size()));
    auto* summary = new QLabel(this);
    summary->setObjectName(QStringLiteral("Label1"));
    summary->setWordWrap(true);
    summary->setText(
        differences.isEmpty()
            ? tr2("The radio holds this configuration.", "对讲机中的数据与本配置相同。")
            : tr2("Each line: a setting, the radio's value -> this configuration's "
                  "value, which a write puts into the radio.",
                  "每行：设置、对讲机中的值 -> 本配置中的值（写入后对讲机中的值）。"));
    auto* list = new QListWidget(this);
    list->setObjectName(QStringLiteral("List1"));
    list->addItems(differences);
    list->setVisible(!differences.isEmpty());
    // A screen reader names the list as the title does: what it holds and how many lines.
    list->setAccessibleName(windowTitle());
    auto* write = new QPushButton(tr2("&Write to Radio", "写入对讲机(&W)"), this);
    write->setObjectName(QStringLiteral("CommandWrite"));
    auto* close = new QPushButton(generalText(GeneralText::CloseButton), this);
    close->setObjectName(QStringLiteral("CommandClose"));
    // Enter closes: only a deliberate click or Alt+W writes.
    write->setAutoDefault(false);
    close->setDefault(true);
    close->setFocus();

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(write);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary);
    layout->addWidget(list, 1);
    if (differences.isEmpty()) layout->addStretch();
    layout->addLayout(buttons);
    resize(twipsToPixelsX(WindowWidth),
           differences.isEmpty() ? sizeHint().height() : twipsToPixelsY(WindowHeight));

    connect(write, &QPushButton::clicked, this, [this] {
        accept();
        emit writeRequested();
    });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}
