#pragma once

#include "core/product/product.h"

#include <QString>
#include <QStringList>

// The data files a program opened or saved last, newest first, at most eight. A file is
// listed once, by its absolute path; using it again moves it to the top.
class RecentFiles {
  public:
    static constexpr int Limit = 8;

    RecentFiles() = default;
    explicit RecentFiles(const QStringList& paths);

    const QStringList& paths() const { return m_paths; }
    bool isEmpty() const { return m_paths.isEmpty(); }

    // Puts the file at the top; the oldest beyond the limit drops out.
    void add(const QString& path);
    void remove(const QString& path);
    void clear() { m_paths.clear(); }

  private:
    QStringList m_paths;
};

// The list is remembered beside the main window's placement: keys "RecentFile1" (newest) to
// "RecentFile8" in section "Settings" of the per-user settings of p.settingsName.
RecentFiles loadRecentFiles(const Product& p);
void saveRecentFiles(const Product& p, const RecentFiles& files);
