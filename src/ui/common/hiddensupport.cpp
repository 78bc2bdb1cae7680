#include "hiddensupport.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QPushButton>

void closeEditorWindow(QWidget* window) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget()))
        sub->close();
    else
        window->close();
}

QPushButton* addCloseRow(QWidget* window, QVBoxLayout* layout) {
    auto* close = new QPushButton(window);
    close->setObjectName(QStringLiteral("CommandClose"));
    QObject::connect(close, &QPushButton::clicked, window, [window] { closeEditorWindow(window); });
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(close);
    layout->addLayout(bottom);
    return close;
}

void showListIndex(QComboBox* list, int index) {
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
}

BoxKey classifyBoxKey(QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
        return BoxKey::Other;
    const auto* k = static_cast<const QKeyEvent*>(event);
    const bool control = k->modifiers() & Qt::ControlModifier;
    if (k->matches(QKeySequence::Cut) || k->matches(QKeySequence::Copy) ||
        k->matches(QKeySequence::Paste) ||
        (control && (k->key() == Qt::Key_X || k->key() == Qt::Key_C || k->key() == Qt::Key_V)))
        return BoxKey::Swallow;
    if (event->type() != QEvent::KeyPress) return BoxKey::Other;
    if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) return BoxKey::Enter;
    const QString text = k->text();
    if (!text.isEmpty() && text.at(0).unicode() > 127) return BoxKey::Swallow;
    return BoxKey::Other;
}

CharsetValidator::CharsetValidator(const QString& allowed, QObject* parent)
    : QValidator(parent), m_allowed(allowed) {}

QValidator::State CharsetValidator::validate(QString& input, int& pos) const {
    QString kept;
    kept.reserve(input.size());
    int newPos = pos;
    for (int i = 0; i < input.size(); ++i) {
        QChar c = input.at(i);
        if (c.unicode() < 128 && c.isLower() && m_allowed.contains(c.toUpper())) c = c.toUpper();
        if (m_allowed.contains(c))
            kept.append(c);
        else if (i < pos)
            --newPos;
    }
    input = kept;
    pos = newPos;
    return Acceptable;
}
