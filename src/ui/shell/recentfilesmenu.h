#pragma once

#include "core/config/recentfiles.h"

#include <QObject>

class FileCommands;
class QAction;
class QMenu;

// File > Recent Files: the data files the program opened or saved last, newest first, and
// Clear Recent Files at the end. Choosing an entry opens it like File > Open (the save
// question first); an entry whose file is gone is removed, with a message that says so.
// Every change is stored at once, beside the window placement.
class RecentFilesMenu : public QObject {
    Q_OBJECT
  public:
    // menu holds clearItem; the entries go above it.
    RecentFilesMenu(const Product& p, FileCommands& files, QMenu* menu, QAction* clearItem,
                    QObject* parent = nullptr);

    const RecentFiles& files() const { return m_list; }
    // A file opened or saved goes to the top.
    void add(const QString& path);
    void open(const QString& path);
    void clear();

  private:
    void store();
    void refill();

    const Product& m_product;
    FileCommands& m_files;
    QMenu* m_menu;
    QAction* m_clearItem;
    QAction* m_separator;
    QList<QAction*> m_entries;
    RecentFiles m_list;
};
