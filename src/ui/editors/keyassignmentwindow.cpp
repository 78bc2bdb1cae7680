#include "keyassignmentwindow.h"

#include "core/channels/featuretables.h"
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
QString functionName(int code) {
    const QString name = FeatureTables::keyFunctionName(code, currentLanguage());
    return name.isEmpty() ? QString::number(code) : name;
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
        auto* label = new QLabel(FeatureTables::keyLabel(k), this);
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
            for (int code : FeatureTables::offeredKeyFunctions())
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
        QComboBox* list = m_keyLists[size_t(k)];
        // A code the list does not offer stays stored; the list names it greyed until the
        // user picks a function.
        list->setPlaceholderText(functionName(code));
        list->setCurrentIndex(int(FeatureTables::offeredKeyFunctions().indexOf(code)));
    }
}

void KeyAssignmentWindow::storeKey(int key) {
    const int i = m_keyLists[size_t(key)]->currentIndex();
    const QList<int>& offered = FeatureTables::offeredKeyFunctions();
    if (i < 0 || i >= offered.size()) return;
    m_doc.setKeyAssignment(key, offered.at(i), changeCaption(windowTitle()));
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
