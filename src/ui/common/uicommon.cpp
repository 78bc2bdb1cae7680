#include "uicommon.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace {
double dpiX() {
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->logicalDotsPerInchX() : 96.0;
}
double dpiY() {
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->logicalDotsPerInchY() : 96.0;
}

class RightClickSwallower : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonDblClick ||
            e->type() == QEvent::MouseButtonRelease) {
            return static_cast<QMouseEvent*>(e)->button() == Qt::RightButton;
        }
        return e->type() == QEvent::ContextMenu;
    }
};

void setButtonText(QWidget* window, const char* name, const QString& text) {
    if (auto* b = window->findChild<QAbstractButton*>(QLatin1String(name))) b->setText(text);
}
} // namespace

int twipsToPixelsX(int twips) {
    return qRound(twips * dpiX() / 1440.0);
}
int twipsToPixelsY(int twips) {
    return qRound(twips * dpiY() / 1440.0);
}
int pixelsToTwipsX(int pixels) {
    return qRound(pixels * 1440.0 / dpiX());
}
int pixelsToTwipsY(int pixels) {
    return qRound(pixels * 1440.0 / dpiY());
}

namespace Caption {
QString close() {
    return tr2("&Close", "关闭(&C)");
}
QString print() {
    return tr2("&Print", "打印(&R)");
}
QString help() {
    return tr2("&Help", "帮助(&H)");
}
QString ok() {
    return tr2("&OK", "确定(&O)");
}
QString cancel() {
    return tr2("&Cancel", "取消(&C)");
}
} // namespace Caption

void captionCloseAndHelp(QWidget* window) {
    setButtonText(window, "CommandClose", Caption::close());
    setButtonText(window, "CommandHelp", Caption::help());
}

// The swallower has no meta-object of its own, so findChild<RightClickSwallower*> would match
// any child (a validator, the line edit's own control): it is found by its name instead.
const QLatin1String SwallowerName("rightClickSwallower");

void suppressRightClick(QWidget* w) {
    if (w->findChild<QObject*>(SwallowerName, Qt::FindDirectChildrenOnly)) return;
    w->setContextMenuPolicy(Qt::NoContextMenu);
    auto* swallower = new RightClickSwallower(w);
    swallower->setObjectName(SwallowerName);
    w->installEventFilter(swallower);
}

void restoreRightClick(QWidget* w) {
    w->setContextMenuPolicy(Qt::DefaultContextMenu);
    delete w->findChild<QObject*>(SwallowerName, Qt::FindDirectChildrenOnly);
}

QString hexByte(int value) {
    return QStringLiteral("%1").arg(value & 0xFF, 2, 16, QLatin1Char('0')).toUpper();
}

QWidget* WidgetMessageService::ownerWindow() {
    // A modal window asking keeps its message over itself; everything else stands over the
    // main window, also when the window that asked has just closed (a finished session).
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows)
        if (w->inherits("QMainWindow") && w->isVisible()) return w;
    return QApplication::activeWindow();
}

int WidgetMessageService::minimumWidth(const QWidget& box, const QString& title) {
    // Room for the title beside the title bar's icon and buttons (drawn by the window system in
    // a bolder font: a fifth wider than the box's own), and never narrower than a short
    // sentence.
    const int titleWidth = box.fontMetrics().horizontalAdvance(title) * 6 / 5;
    return std::max(titleWidth + box.fontMetrics().height() * 9,
                    box.fontMetrics().averageCharWidth() * 40);
}

namespace {

QMessageBox::Icon standardIcon(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::Warning:
        return QMessageBox::Warning;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Critical:
        return QMessageBox::Critical;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons standardButtons(MsgButtons buttons) {
    using B = QMessageBox::StandardButton;
    switch (buttons) {
    case MsgButtons::OkCancel:
        return B::Ok | B::Cancel;
    case MsgButtons::YesNoCancel:
        return B::Yes | B::No | B::Cancel;
    case MsgButtons::RetryCancel:
        return B::Retry | B::Cancel;
    case MsgButtons::YesNo:
        return B::Yes | B::No;
    case MsgButtons::Ok:
        break;
    }
    return B::Ok;
}

// The answer of a box closed with the button pressed (or by its close button: then Cancel, or
// OK for a box that has only OK).
MsgAnswer answerOf(int pressed, MsgButtons buttons) {
    using B = QMessageBox::StandardButton;
    switch (pressed) {
    case B::Ok:
        return MsgAnswer::Ok;
    case B::Yes:
        return MsgAnswer::Yes;
    case B::No:
        return MsgAnswer::No;
    case B::Retry:
        return MsgAnswer::Retry;
    default:
        return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Cancel;
    }
}

} // namespace

MsgAnswer WidgetMessageService::ask(const MessageRequest& r) {
    // On the heap: the window it stands over may close while the box is open (a session that
    // ends under its question) and takes the box with it; a box on the stack would then be
    // destroyed twice.
    const QPointer<QMessageBox> box = new QMessageBox(ownerWindow());
    box->setWindowTitle(r.title);
    box->setText(QString(r.text).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    if (!r.informative.isEmpty()) {
        box->setInformativeText(r.informative);
        // A list of many lines (the problems of a refused channel list or text) shows one item
        // per line: wrapped, its lines would run past the bottom of a small screen. A line
        // wider than the box may grow is still wrapped.
        constexpr qsizetype ListLines = 8;
        if (r.informative.count(QLatin1Char('\n')) >= ListLines)
            if (auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel")))
                label->setWordWrap(false);
    }
    box->setIcon(standardIcon(r.icon));
    box->setStandardButtons(standardButtons(r.buttons));
    // Captions of the buttons in the program's language.
    using B = QMessageBox::StandardButton;
    const struct {
        B button;
        const char* en;
        const char* zh;
    } captions[] = {{B::Ok, "OK", "确定"},
                    {B::Cancel, "Cancel", "取消"},
                    {B::Yes, "&Yes", "是(&Y)"},
                    {B::No, "&No", "否(&N)"},
                    {B::Retry, "&Retry", "重试(&R)"}};
    for (const auto& c : captions)
        if (QAbstractButton* b = box->button(c.button)) b->setText(tr2(c.en, c.zh));
    // A message box sizes itself to its text alone; a spacer across its grid keeps it wide
    // enough for its title.
    if (auto* grid = qobject_cast<QGridLayout*>(box->layout()))
        grid->addItem(new QSpacerItem(minimumWidth(*box, r.title), 0, QSizePolicy::Minimum,
                                      QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    const int answer = box->exec();
    // Unless its window took it along while it was open (exec() then answers as if closed).
    delete box.data();
    return answerOf(answer, r.buttons);
}
