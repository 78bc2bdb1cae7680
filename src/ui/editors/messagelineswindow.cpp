#include "messagelineswindow.h"

#include "ui/common/editorsupport.h"
#include "ui/common/uicommon.h"

#include <QApplication>
#include <QFocusEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValidator>

namespace {
constexpr int LineLength = 32;

// The radio shows plain ASCII only: whatever reaches a box (typed, pasted with the middle
// button, dropped, from an input method) keeps only its printable ASCII characters.
class AsciiValidator : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override {
        QString kept;
        kept.reserve(input.size());
        int newPos = pos;
        for (int i = 0; i < input.size(); ++i) {
            const char16_t c = input.at(i).unicode();
            if (c >= 0x20 && c < 0x7F)
                kept.append(input.at(i));
            else if (i < pos)
                --newPos;
        }
        input = kept;
        pos = newPos;
        return Acceptable;
    }
};
} // namespace

MessageLinesWindow::MessageLinesWindow(Document& doc, QWidget* parent)
    : QWidget(parent), m_doc(doc) {
    setObjectName(QStringLiteral("FrmEmbMsg"));
    auto* layout = new QVBoxLayout(this);
    auto* lines = new QFormLayout;
    layout->addLayout(lines);
    for (int i = 0; i < 2; ++i) {
        auto* box = new QLineEdit(this);
        box->setObjectName(QStringLiteral("Text1_%1").arg(i));
        box->setMaxLength(LineLength);
        box->setValidator(new AsciiValidator(box));
        box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QString(LineLength, u'X')) + 16);
        box->installEventFilter(this);
        m_lineBoxes[size_t(i)] = box;
        m_lineLabels[size_t(i)] = new QLabel(this);
        m_lineLabels[size_t(i)]->setObjectName(QStringLiteral("Label1_%1").arg(i));
        m_lineLabels[size_t(i)]->setBuddy(box);
        lines->addRow(m_lineLabels[size_t(i)], box);
    }
    m_close = new QPushButton(this);
    m_close->setObjectName(QStringLiteral("CommandClose"));
    connect(m_close, &QPushButton::clicked, this, &MessageLinesWindow::closeWindow);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(m_close);
    layout->addLayout(bottom);
    layout->addStretch(1);

    connect(&m_doc.notifier(), &DocumentNotifier::configurationReplaced, this,
            &MessageLinesWindow::showLines);
    runTrapped("FrmEmbMsg_Form_Load", [&] {
        setWindowTitle(tr2("Local Information", "本机信息"));
        m_lineLabels[0]->setText(tr2("Line 1", "第1行"));
        m_lineLabels[1]->setText(tr2("Line 2", "第2行"));
        captionCloseAndHelp(this);
        showLines();
        for (QLineEdit* box : m_lineBoxes)
            suppressRightClick(box);
    });
}

MessageLinesWindow::~MessageLinesWindow() {
    for (QLineEdit* box : m_lineBoxes)
        restoreRightClick(box);
}

void MessageLinesWindow::showLines() {
    // A box keeps only printable ASCII: a stored line holding other bytes shows without them
    // and stays stored as it is until the user edits it.
    for (int i = 0; i < 2; ++i) {
        m_lineBoxes[size_t(i)]->setText(
            QString::fromLatin1(m_doc.config().embeddedMessage[size_t(i)].untilNul()));
        m_shown[size_t(i)] = m_lineBoxes[size_t(i)]->text();
    }
}

void MessageLinesWindow::storeLine(int line) {
    runTrapped("FrmEmbMsg_Text1_Validate", [&] {
        const QString text = m_lineBoxes[size_t(line)]->text().left(LineLength);
        // A line left as it was shown is not rewritten (its bytes after the end stay).
        if (text == m_shown[size_t(line)]) return;
        QByteArray bytes = text.toLatin1();
        if (bytes.size() < LineLength) bytes.append('\0'); // shorter lines end with NUL
        m_shown[size_t(line)] = text;
        m_doc.setMessageLine(line, bytes, settingCaption(m_lineLabels[size_t(line)]->text()));
    });
}

bool MessageLinesWindow::validateEdits() {
    storeLine(0);
    storeLine(1);
    return true;
}

bool MessageLinesWindow::eventFilter(QObject* watched, QEvent* event) {
    const int line = watched == m_lineBoxes[0] ? 0 : watched == m_lineBoxes[1] ? 1 : -1;
    if (line < 0) return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::FocusOut) {
        storeLine(line);
    } else if (event->type() == QEvent::KeyPress) {
        const auto* k = static_cast<QKeyEvent*>(event);
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            focusNextChild(); // as a Tab key would
            return true;
        }
        if (k->matches(QKeySequence::Cut) || k->matches(QKeySequence::Copy) ||
            k->matches(QKeySequence::Paste) ||
            ((k->modifiers() & Qt::ControlModifier) &&
             (k->key() == Qt::Key_X || k->key() == Qt::Key_V || k->key() == Qt::Key_C)))
            return true;
        const QString text = k->text();
        if (!text.isEmpty() && text.at(0).unicode() > 127) return true;
    } else if (event->type() == QEvent::ShortcutOverride) {
        const auto* k = static_cast<QKeyEvent*>(event);
        if (k->matches(QKeySequence::Paste) || k->matches(QKeySequence::Cut) ||
            k->matches(QKeySequence::Copy)) {
            event->accept();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MessageLinesWindow::closeEvent(QCloseEvent* event) {
    validateEdits();
    QWidget::closeEvent(event);
}

void MessageLinesWindow::closeWindow() {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
}
