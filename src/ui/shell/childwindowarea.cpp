#include "childwindowarea.h"

#include "core/config/document.h"
#include "core/config/messages.h"
#include "core/product/product.h"
#include "ui/editors/channelgridwindow.h"
#include "ui/editors/dtmfwindow.h"
#include "ui/editors/fleetsyncwindow.h"
#include "ui/editors/keyassignmentwindow.h"
#include "ui/editors/messagelineswindow.h"
#include "ui/editors/optionfeatureswindow.h"
#include "ui/editors/scanwindow.h"
#include "ui/editors/testfrequencieswindow.h"

#include <QAction>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPainter>

#include <algorithm>

ChildWindowArea::ChildWindowArea(QMdiArea* area, Document& doc, QObject* parent)
    : QObject(parent), m_area(area), m_doc(doc) {}

QString ChildWindowArea::objectNameOf(ChildWindow kind) {
    switch (kind) {
    case ChildWindow::ChannelGrid:
        return QStringLiteral("frmCommChInfo");
    case ChildWindow::OptionFeatures:
        return QStringLiteral("FrmOptFeatures");
    case ChildWindow::MessageLines:
        return QStringLiteral("FrmEmbMsg");
    case ChildWindow::KeyAssignment:
        return QStringLiteral("FrmKeyAssignm");
    case ChildWindow::ScanInformation:
        return QStringLiteral("FrmScanInfo");
    case ChildWindow::Dtmf:
        return QStringLiteral("FrmDTMF");
    case ChildWindow::FleetSync:
        return QStringLiteral("FrmFleetSync");
    case ChildWindow::TestFrequencies:
        return QStringLiteral("FrmTestFre");
    }
    return {};
}

QWidget* ChildWindowArea::find(ChildWindow kind) const {
    const QMdiSubWindow* s = m_opened[size_t(kind)];
    // A hidden window is closed, on its way out.
    return s && !s->isHidden() ? s->widget() : nullptr;
}

QWidget* ChildWindowArea::show(ChildWindow kind) {
    if (QWidget* open = find(kind)) {
        auto* s = qobject_cast<QMdiSubWindow*>(open->parentWidget());
        if (s) {
            if (s->isMinimized()) s->showNormal();
            m_area->setActiveSubWindow(s);
            s->raise();
        }
        return open;
    }
    // Windows the user closed go now: a hidden window would still follow the configuration.
    const auto windows = m_area->subWindowList();
    for (QMdiSubWindow* s : windows)
        if (s->isHidden()) delete s;
    QWidget* w = nullptr;
    switch (kind) {
    case ChildWindow::ChannelGrid:
        w = new ChannelGridWindow(m_doc);
        break;
    case ChildWindow::OptionFeatures:
        w = new OptionFeaturesWindow(m_doc);
        break;
    case ChildWindow::MessageLines:
        w = new MessageLinesWindow(m_doc);
        break;
    case ChildWindow::KeyAssignment:
        w = new KeyAssignmentWindow(m_doc);
        break;
    case ChildWindow::ScanInformation:
        w = new ScanWindow(m_doc);
        break;
    case ChildWindow::Dtmf:
        w = new DtmfWindow(m_doc);
        break;
    case ChildWindow::FleetSync:
        w = new FleetSyncWindow(m_doc);
        break;
    case ChildWindow::TestFrequencies:
        w = new TestFrequenciesWindow(m_doc);
        break;
    }
    QMdiSubWindow* s = m_area->addSubWindow(w);
    m_opened[size_t(kind)] = s;
    s->setAttribute(Qt::WA_DeleteOnClose);
    s->setWindowIcon(QIcon(QPixmap(1, 1)));
    // Ctrl+F4 belongs to the main window, which closes the window in front and then moves the
    // focus on; the window's own menu keeps its Close item without the key.
    if (QMenu* menu = s->systemMenu()) {
        const auto items = menu->actions();
        for (QAction* a : items)
            if (a->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_F4))) a->setShortcuts({});
    }
    s->show();
    cascade();
    return w;
}

void ChildWindowArea::closeAll() {
    // Closed and destroyed at once: no window waiting to be deleted follows the configuration.
    const auto windows = m_area->subWindowList();
    for (QMdiSubWindow* s : windows) {
        s->close();
        delete s;
    }
}

void ChildWindowArea::destroyAll() {
    const auto windows = m_area->subWindowList();
    for (QMdiSubWindow* s : windows)
        delete s;
}

void ChildWindowArea::reopenChannelGrid() {
    closeAll();
    show(ChildWindow::ChannelGrid); // which cascades
}

// Cascading gives each window its full size: the channel grid window, which scrolls its rows,
// would then run past a small area with its Close button out of sight.
void ChildWindowArea::cascade() {
    m_area->cascadeSubWindows();
    // Before the main window is up the area has no size of its own yet.
    if (!m_area->isVisible()) return;
    const auto windows = m_area->subWindowList();
    for (QMdiSubWindow* s : windows)
        fitIntoArea(s);
}

void ChildWindowArea::fitIntoArea(QMdiSubWindow* window) const {
    if (window->isHidden() || window->isMinimized() || window->isMaximized()) return;
    const QSize area = m_area->viewport()->size();
    QRect r = window->geometry();
    const QSize room = area - QSize(std::max(0, r.left()), std::max(0, r.top()));
    r.setSize(
        r.size().boundedTo(room.expandedTo(QSize(0, 0))).expandedTo(window->minimumSizeHint()));
    r.moveLeft(std::max(0, std::min(r.left(), area.width() - r.width())));
    r.moveTop(std::max(0, std::min(r.top(), area.height() - r.height())));
    if (r != window->geometry()) window->setGeometry(r);
}

void ChildWindowArea::validateOpenEditors() {
    const auto windows = m_area->subWindowList();
    for (QMdiSubWindow* s : windows) {
        QWidget* w = s->widget();
        if (auto* grid = qobject_cast<ChannelGridWindow*>(w))
            grid->validateEdits();
        else if (auto* options = qobject_cast<OptionFeaturesWindow*>(w))
            options->validateEdits();
        else if (auto* message = qobject_cast<MessageLinesWindow*>(w))
            message->validateEdits();
        else if (auto* keys = qobject_cast<KeyAssignmentWindow*>(w))
            keys->validateEdits();
        else if (auto* dtmf = qobject_cast<DtmfWindow*>(w))
            dtmf->validateEdits();
        else if (auto* fleet = qobject_cast<FleetSyncWindow*>(w))
            fleet->validateEdits();
        else if (auto* testFreqs = qobject_cast<TestFrequenciesWindow*>(w))
            testFreqs->validateEdits();
    }
}

void ChildWindowArea::fillWindowMenu(QMenu* menu) {
    qDeleteAll(m_windowListActions);
    m_windowListActions.clear();
    const auto windows = m_area->subWindowList();
    int n = 0;
    for (QMdiSubWindow* s : windows) {
        if (s->isHidden()) continue;
        ++n;
        QAction* a = menu->addAction(QStringLiteral("&%1 %2").arg(n).arg(s->windowTitle()));
        a->setCheckable(true);
        a->setChecked(s == m_area->activeSubWindow());
        connect(a, &QAction::triggered, this, [this, s] { m_area->setActiveSubWindow(s); });
        m_windowListActions << a;
    }
}

void ChildWindowArea::tileBackground(const Product& product, const QString& programFolder) {
    if (!product.hasBackgroundPicture) return;
    const QString path =
        QDir(programFolder).filePath(QStringLiteral("PIC/BK_%1.jpg").arg(currentLanguage()));
    const QPixmap picture(path);
    const QSize size = m_area->viewport()->size();
    if (picture.width() < 3 || picture.height() < 3 || size.isEmpty()) {
        m_area->setBackground(m_area->palette().brush(QPalette::Dark));
        return;
    }
    // The picture without its one-pixel border, repeated across the first row, and that row
    // repeated down the area.
    const int w = picture.width() - 2;
    const int h = picture.height() - 2;
    QPixmap canvas(size);
    canvas.fill(Qt::white);
    {
        QPainter p(&canvas);
        for (int x = 0; x < size.width(); x += w)
            p.drawPixmap(x, 0, picture, 1, 0, w, h + 2);
        const QPixmap band = canvas.copy(1, 1, size.width(), h);
        for (int y = h; y < size.height(); y += h)
            p.drawPixmap(0, y, band);
    }
    m_area->setBackground(QBrush(canvas));
}
