#include "settingsfile.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <optional>

namespace {
const QString Section = QStringLiteral("language/");

// A stored number, or nothing when the text is empty or not a whole decimal number.
std::optional<int> storedNumber(const QString& text) {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    return ok ? std::optional<int>(v) : std::nullopt;
}
} // namespace

SetupSettings::SetupSettings(const QString& path) : m_path(path) {}

QString SetupSettings::value(const char* key) const {
    const QSettings s(m_path, QSettings::IniFormat);
    return s.value(Section + QLatin1String(key)).toString();
}

void SetupSettings::setValue(const char* key, const QString& value) {
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QSettings s(m_path, QSettings::IniFormat);
    s.setValue(Section + QLatin1String(key), value);
    s.sync();
}

bool SetupSettings::isFirstRun() const {
    // "0" is the only value start-up writes; "False" is accepted as well.
    const QString v = value("IsFirstRun").trimmed();
    if (v.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) return false;
    if (v.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) return true;
    const auto n = storedNumber(v);
    return n ? *n != 0 : DefaultFirstRun;
}

void SetupSettings::setFirstRun(bool firstRun) {
    setValue("IsFirstRun", QString::number(firstRun ? 1 : 0));
}

int SetupSettings::comPort() const {
    const auto n = storedNumber(value("comPort"));
    return n && *n >= 1 && *n <= 8 ? *n : DefaultComPort;
}

void SetupSettings::setComPort(int port) {
    setValue("comPort", QString::number(port));
}

int SetupSettings::currentLanguage(int fallback) const {
    const auto n = storedNumber(value("CurrentLanguage"));
    return n && (*n == 1 || *n == 2) ? *n : fallback;
}

void SetupSettings::setCurrentLanguage(int language) {
    setValue("CurrentLanguage", QString::number(language));
}

QString defaultSettingsFile() {
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) +
           QLatin1String("/language/mysetup.ini");
}

int systemLanguageFor(const QLocale& locale) {
    return locale.language() == QLocale::Chinese && locale.territory() == QLocale::China ? 2 : 1;
}

StartupValues applyStartupSettings(const Product& p, SetupSettings& settings, int systemLanguage) {
    StartupValues v;
    v.language = systemLanguage;
    v.comPort = settings.comPort();
    if (p.persistsLanguage) {
        v.firstRun = settings.isFirstRun();
        if (v.firstRun)
            settings.setFirstRun(false);
        else
            v.language = settings.currentLanguage(systemLanguage);
    } else {
        v.firstRun = false;
    }
    settings.setComPort(v.comPort);
    if (p.persistsLanguage) settings.setCurrentLanguage(v.language);
    return v;
}

QString programFolderFor(const Product& p, const QString& executableFolder) {
    const QDir exe(executableFolder);
    const QFileInfo own(exe.filePath(p.program + QLatin1String("-data")));
    if (own.isDir()) return own.absoluteFilePath();
    if (exe.exists(QStringLiteral("KORVEN_New.dat")) || exe.exists(QStringLiteral("StartE.jpg")))
        return exe.absolutePath();
    const QString shared = exe.absoluteFilePath(QLatin1String("../share/") + p.program);
    if (QFileInfo(shared).isDir()) return QDir::cleanPath(shared);
    return exe.absolutePath();
}

WindowPlacement loadPlacement(const Product& p) {
    QSettings s(p.settingsName, p.settingsName);
    s.beginGroup(QStringLiteral("Settings"));
    WindowPlacement w;
    const auto read = [&](const char* key, int fallback) {
        const auto n = storedNumber(s.value(QLatin1String(key)).toString());
        return n ? *n : fallback;
    };
    w.left = read("MainLeft", w.left);
    w.top = read("MainTop", w.top);
    w.width = read("MainWidth", w.width);
    w.height = read("MainHeight", w.height);
    w.sizeStored = storedNumber(s.value(QStringLiteral("MainWidth")).toString()) &&
                   storedNumber(s.value(QStringLiteral("MainHeight")).toString());
    w.verifyAfterWrite = read("VerifyAfterWrite", 0) == 1;
    w.showChangesBeforeWriting = read("ShowChangesBeforeWriting", 0) == 1;
    return w;
}

void savePlacement(const Product& p, const WindowPlacement& w) {
    QSettings s(p.settingsName, p.settingsName);
    s.beginGroup(QStringLiteral("Settings"));
    s.setValue(QStringLiteral("MainLeft"), QString::number(w.left));
    s.setValue(QStringLiteral("MainTop"), QString::number(w.top));
    s.setValue(QStringLiteral("MainWidth"), QString::number(w.width));
    s.setValue(QStringLiteral("MainHeight"), QString::number(w.height));
    s.setValue(QStringLiteral("VerifyAfterWrite"),
               w.verifyAfterWrite ? QStringLiteral("1") : QStringLiteral("0"));
    s.setValue(QStringLiteral("ShowChangesBeforeWriting"),
               w.showChangesBeforeWriting ? QStringLiteral("1") : QStringLiteral("0"));
}
