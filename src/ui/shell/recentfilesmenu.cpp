#include "recentfilesmenu.h"

#include "core/config/filereading.h"
#include "core/config/messages.h"
#include "filecommands.h"
#include "ui/common/handlertrap.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

RecentFilesMenu::RecentFilesMenu(const Product& p, FileCommands& files, QMenu* menu,
                                 QAction* clearItem, QObject* parent)
    : QObject(parent), m_product(p), m_files(files), m_menu(menu), m_clearItem(clearItem),
      m_list(loadRecentFiles(p)) {
    m_separator = m_menu->insertSeparator(m_clearItem);
    connectTrapped(m_clearItem, &QAction::triggered, this, "Click", [this] { clear(); });
    refill();
}

void RecentFilesMenu::add(const QString& path) {
    m_list.add(path);
    store();
}

void RecentFilesMenu::clear() {
    m_list.clear();
    store();
}

void RecentFilesMenu::open(const QString& path) {
    // Checked before the save question: there is nothing to make room for.
    if (!QFileInfo::exists(path)) {
        m_list.remove(path);
        store();
        showMessage(tr2("The file \"%1\" no longer exists. It has been removed from the "
                        "recent files.",
                        "文件“%1”已不存在，已从最近使用的文件中删除。")
                        .arg(QDir::toNativeSeparators(path)),
                    MsgIcon::Warning);
        return;
    }
    // A folder or a FIFO of that name now: never opened, and kept in the list.
    if (const auto problem = regularFileProblem(path)) {
        showMessage(Msg::FileError, MsgIcon::None, MsgButtons::Ok, *problem);
        return;
    }
    if (!m_files.saveBeforeLeaving()) return;
    m_files.openFile(path);
}

void RecentFilesMenu::store() {
    saveRecentFiles(m_product, m_list);
    refill();
}

void RecentFilesMenu::refill() {
    qDeleteAll(m_entries);
    m_entries.clear();
    const QStringList& paths = m_list.paths();
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const QString path = paths.at(i);
        QString shown = QDir::toNativeSeparators(path);
        shown.replace(QLatin1Char('&'), QLatin1String("&&"));
        auto* entry = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shown), m_menu);
        entry->setObjectName(QStringLiteral("mnuFileRecent_%1").arg(i + 1));
        // Queued: the file's windows replace the ones the menu was opened over.
        connect(
            entry, &QAction::triggered, this,
            [this, path] { runTrapped("mnuFileRecent_Click", [this, &path] { open(path); }); },
            Qt::QueuedConnection);
        m_menu->insertAction(m_separator, entry);
        m_entries << entry;
    }
    m_menu->menuAction()->setEnabled(!paths.isEmpty());
}
