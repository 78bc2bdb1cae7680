#include "recentfiles.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {
QString absolute(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

QString key(int n) {
    return QStringLiteral("RecentFile%1").arg(n);
}
} // namespace

RecentFiles::RecentFiles(const QStringList& paths) {
    // Added oldest first, so a list read back keeps its order and loses its duplicates.
    for (auto it = paths.crbegin(); it != paths.crend(); ++it)
        if (!it->isEmpty()) add(*it);
}

void RecentFiles::add(const QString& path) {
    const QString file = absolute(path);
    m_paths.removeAll(file);
    m_paths.prepend(file);
    while (m_paths.size() > Limit)
        m_paths.removeLast();
}

void RecentFiles::remove(const QString& path) {
    m_paths.removeAll(absolute(path));
}

RecentFiles loadRecentFiles(const Product& p) {
    QSettings s(p.settingsName, p.settingsName);
    s.beginGroup(QStringLiteral("Settings"));
    QStringList paths;
    for (int n = 1; n <= RecentFiles::Limit; ++n)
        paths << s.value(key(n)).toString();
    return RecentFiles(paths);
}

void saveRecentFiles(const Product& p, const RecentFiles& files) {
    QSettings s(p.settingsName, p.settingsName);
    s.beginGroup(QStringLiteral("Settings"));
    for (int n = 1; n <= RecentFiles::Limit; ++n) {
        if (n <= files.paths().size())
            s.setValue(key(n), files.paths().at(n - 1));
        else
            s.remove(key(n));
    }
}
