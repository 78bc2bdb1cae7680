#include "keyassignmentwindow.h"

#include "ui/common/editorsupport.h"
#include "ui/common/hiddensupport.h"
#include "ui/common/uicommon.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
struct KeyFunction {
    int code;
    const char* english;
    const char* chinese;
};
// Every key function code the radio knows, in code order. The reserved codes are not offered;
// they appear only in records loaded from a data file.
constexpr std::array<KeyFunction, 12> Functions = {{
    {255, "None", "无"},
    {0, "Reserved1", "保留1"},
    {1, "Reserved1", "保留1"},
    {2, "Key Lock", "按键锁定"},
    {3, "Key Lock with Backup", "按键锁定及备份"},
    {4, "Monitor", "监听"},
    {5, "Monitor Momentary", "监听瞬时"},
    {6, "Scan", "扫描"},
    {7, "Scan+Temporary Delete", "扫描+暂时删除"},
    {8, "Reserved2", "保留2"},
    {9, "Squelch Off", "取消静噪"},
    {10, "Squelch Off Momentary", "瞬时取消静噪"},
}};
// The codes of the list entries, in list order.
constexpr std::array<int, 10> Offered = {255, 2, 3, 4, 5, 6, 7, 9, 10, 11};

QString functionName(int code) {
    if (code == 11) return tr2("Temporary Delete", "暂时删除");
    for (const KeyFunction& f : Functions)
        if (f.code == code) return tr2(f.english, f.chinese);
    return QString::number(code);
}
} // namespace

KeyAssignmentWindow::KeyAssignmentWindow(Document& doc, QWidget* parent)
    : QWidget(parent), m_doc(doc) {
    setObjectName(QStringLiteral("FrmKeyAssignm"));
    connect(&m_doc.notifier(), &DocumentNotifier::configurationReplaced, this,
            &KeyAssignmentWindow::showKeys);
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    for (int k = 0; k < 2; ++k) {
        auto* list = new QComboBox(this);
        list->setObjectName(QStringLiteral("Combo1_%1").arg(k));
        auto* label = new QLabel(k == 0 ? QStringLiteral("PF1") : QStringLiteral("PF2"), this);
        label->setObjectName(QStringLiteral("Label1_%1").arg(k));
        label->setBuddy(list);
        m_keyLists[size_t(k)] = list;
        m_keyLabels[size_t(k)] = label;
        form->addRow(label, list);
        connect(list, &QComboBox::activated, this,
                [this, k] { runTrapped("FrmKeyAssignm_Combo1_Click", [&] { storeKey(k); }); });
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addStretch(1);
    m_close = addCloseRow(this, layout);

    runTrapped("FrmKeyAssignm_Form_Load", [&] {
        setWindowTitle(tr2("Key Assignment", "键设定"));
        for (QComboBox* list : m_keyLists) {
            for (int code : Offered)
                list->addItem(functionName(code));
            list->setMinimumContentsLength(22);
        }
        captionCloseAndHelp(this);
        showKeys();
    });
}

void KeyAssignmentWindow::showKeys() {
    for (int k = 0; k < 2; ++k) {
        const int code = m_doc.config().keyAssign[size_t(k)];
        const auto* at = std::find(Offered.begin(), Offered.end(), code);
        QComboBox* list = m_keyLists[size_t(k)];
        // A code the list does not offer stays stored; the list names it greyed until the
        // user picks a function.
        list->setPlaceholderText(functionName(code));
        list->setCurrentIndex(at == Offered.end() ? -1 : int(at - Offered.begin()));
    }
}

void KeyAssignmentWindow::storeKey(int key) {
    const int i = m_keyLists[size_t(key)]->currentIndex();
    if (i < 0 || i >= int(Offered.size())) return;
    m_doc.setKeyAssignment(key, Offered[size_t(i)], changeCaption(windowTitle()));
}

bool KeyAssignmentWindow::validateEdits() {
    runTrapped("FrmKeyAssignm_Combo1_Validate", [&] {
        storeKey(0);
        storeKey(1);
    });
    return true;
}

void KeyAssignmentWindow::closeEvent(QCloseEvent* event) {
    validateEdits();
    QWidget::closeEvent(event);
}
