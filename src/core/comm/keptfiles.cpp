#include "keptfiles.h"

#include "core/config/messages.h"
#include "core/io/wholefile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <algorithm>

namespace {
constexpr int KeptBackups = 50;
constexpr int KeptTraces = 10;

QString dataFolder(const char* sub) {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return base.isEmpty() ? QString() : base + QLatin1Char('/') + QLatin1String(sub);
}

QString cleanTag(const QString& tag) {
    QString out;
    for (const QChar c : tag)
        if (c.unicode() < 0x80 && c.isLetterOrNumber()) out += c;
    return out.isEmpty() ? QStringLiteral("radio") : out;
}
} // namespace

KeptFolder::KeptFolder(QString path, QString program, QString suffix, int keep)
    : m_path(std::move(path)), m_program(std::move(program)), m_suffix(std::move(suffix)),
      m_keep(keep) {}

bool KeptFolder::ensure(QString* error) const {
    if (m_path.isEmpty()) {
        if (error) *error = tr2("There is no per-user data folder.", "没有用户数据文件夹。");
        return false;
    }
    if (QDir().mkpath(m_path)) return true;
    if (error) *error = tr2("Cannot create the folder %1.", "无法创建文件夹 %1。").arg(m_path);
    return false;
}

QString KeptFolder::newFilePath(const QDateTime& when, const QString& tag) const {
    const QString stem = m_program + QLatin1Char('-') +
                         when.toString(QStringLiteral("yyyyMMdd-HHmmss-zzz")) + QLatin1Char('-') +
                         cleanTag(tag);
    const QDir dir(m_path);
    // Files of the same millisecond are numbered upwards, never into a gap left by pruning,
    // so the numbers keep telling the order.
    int last = QFileInfo::exists(dir.filePath(stem + m_suffix)) ? 1 : 0;
    const QRegularExpression numbered(QLatin1Char('^') + QRegularExpression::escape(stem) +
                                      QStringLiteral("-(\\d+)") +
                                      QRegularExpression::escape(m_suffix) + QLatin1Char('$'));
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        const auto m = numbered.match(name);
        if (m.hasMatch()) last = std::max(last, m.captured(1).toInt());
    }
    if (last == 0) return dir.filePath(stem + m_suffix);
    return dir.filePath(stem + QLatin1Char('-') + QString::number(last + 1) + m_suffix);
}

QStringList KeptFolder::files() const {
    const QRegularExpression own(
        QLatin1Char('^') + QRegularExpression::escape(m_program) +
        QStringLiteral("-(\\d{8}-\\d{6}-\\d{3})-[A-Za-z0-9]+(?:-(\\d+))?") +
        QRegularExpression::escape(m_suffix) + QLatin1Char('$'));
    struct Entry {
        QString time;
        int n;
        QString path;
    };
    QList<Entry> entries;
    const QDir dir(m_path);
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        const auto m = own.match(name);
        if (!m.hasMatch()) continue;
        entries.append({m.captured(1), m.captured(2).isEmpty() ? 1 : m.captured(2).toInt(),
                        dir.filePath(name)});
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return a.time != b.time ? a.time < b.time : a.n < b.n;
    });
    QStringList out;
    for (const Entry& e : entries)
        out << e.path;
    return out;
}

void KeptFolder::prune(const QString& current) const {
    QStringList own = files();
    // The file just made stays even when the clock was set back since the others were made.
    if (own.removeAll(current) > 0) own.append(current);
    for (qsizetype i = 0; i + m_keep < own.size(); ++i)
        QFile::remove(own.at(i));
}

KeptFolder backupFolder(const Product& p) {
    return {dataFolder("backups"), p.program, QStringLiteral(".img"), KeptBackups};
}

KeptFolder traceFolder(const Product& p) {
    return {dataFolder("traces"), p.program, QStringLiteral(".txt"), KeptTraces};
}

std::optional<QString> keepBackupImage(const Product& p, const QString& model,
                                       const QByteArray& image, QString* error,
                                       const QDateTime& when) {
    const KeptFolder folder = backupFolder(p);
    if (!folder.ensure(error)) return std::nullopt;
    const QString path = folder.newFilePath(when, model);
    QString why;
    if (!writeWholeFile(path, image, &why)) {
        if (error) *error = QStringLiteral("%1: %2").arg(path, why);
        return std::nullopt;
    }
    folder.prune(path);
    return path;
}
