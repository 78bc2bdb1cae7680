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
} // namespace

CompareWindow::CompareWindow(const QStringList& differences, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmCompare"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(titleFor(differences.size()));
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("Label1"));
    m_summary->setWordWrap(true);
    m_summary->setText(
        differences.isEmpty()
            ? tr2("The radio holds this configuration.", "对讲机中的数据与本配置相同。")
            : tr2("Each line names a setting, the radio's value, then this configuration's "
                  "value, which a write puts into the radio.",
                  "每行列出一项设置、对讲机中的值，然后是本配置中的值（写入后对讲机将保存此值）"
                  "。"));
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("List1"));
    m_list->addItems(differences);
    m_list->setVisible(!differences.isEmpty());
    m_writeButton = new QPushButton(tr2("&Write to Radio", "写入对讲机(&W)"), this);
    m_writeButton->setObjectName(QStringLiteral("CommandWrite"));
    m_closeButton = new QPushButton(generalText(GeneralText::CloseButton), this);
    m_closeButton->setObjectName(QStringLiteral("CommandClose"));
    // Enter closes: only a deliberate click or Alt+W writes.
    m_writeButton->setAutoDefault(false);
    m_closeButton->setDefault(true);
    m_closeButton->setFocus();

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_writeButton);
    buttons->addWidget(m_closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_summary);
    layout->addWidget(m_list, 1);
    if (differences.isEmpty()) layout->addStretch();
    layout->addLayout(buttons);
    resize(twipsToPixelsX(WindowWidth),
           differences.isEmpty() ? sizeHint().height() : twipsToPixelsY(WindowHeight));

    connect(m_writeButton, &QPushButton::clicked, this, [this] {
        accept();
        emit writeRequested();
    });
    connect(m_closeButton, &QPushButton::clicked, this, &QDialog::reject);
}

QString CompareWindow::titleFor(qsizetype count) {
    if (count == 0) return tr2("Compare with Radio (no differences)", "与对讲机比较（无差异）");
    if (count == 1) return tr2("Compare with Radio (1 difference)", "与对讲机比较（1 处差异）");
    return tr2("Compare with Radio (%1 differences)", "与对讲机比较（%1 处差异）").arg(count);
}
