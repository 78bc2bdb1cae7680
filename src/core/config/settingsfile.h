#pragma once

#include "core/product/product.h"

#include <QLocale>
#include <QString>

// The settings file language/mysetup.ini: section "language" with "IsFirstRun", "comPort" and
// "CurrentLanguage" (solvir keeps only "comPort"), and section "ports" with pinned devices.
// Each getter gives the stored value, or its default when the value is missing or not a
// valid number.
class SetupSettings {
  public:
    explicit SetupSettings(const QString& path);

    QString path() const { return m_path; }

    static constexpr bool DefaultFirstRun = true;
    static constexpr int DefaultComPort = 1;

    bool isFirstRun() const; // "IsFirstRun"; true when absent
    void setFirstRun(bool firstRun);
    int comPort() const; // "comPort", 1..8; 1 otherwise
    void setComPort(int port);
    int currentLanguage(int fallback) const; // "CurrentLanguage", 1 or 2; else fallback
    void setCurrentLanguage(int language);

  private:
    QString value(const char* key) const;
    void setValue(const char* key, const QString& value);

    QString m_path;
};

// The settings file of a program: language/mysetup.ini under its per-user configuration
// folder (QStandardPaths::AppConfigLocation of the application name = program name).
QString defaultSettingsFile();

// 2 (Chinese) when the locale is Chinese in China, else 1 (English).
int systemLanguageFor(const QLocale& locale);

// What start-up reads from and writes to the settings file: the first-run flag is cleared,
// the port and (meridox) the language are written back. Returns the language to use and the
// port.
struct StartupValues {
    int language = 1;
    int comPort = 1;
    bool firstRun = true;
};
StartupValues applyStartupSettings(const Product& p, SetupSettings& settings, int systemLanguage);

// Where a program finds its pictures and its template and factory files:
//  1. the folder "<exe folder>/<program>-data" when it exists (solvir in a build tree,
//     beside meridox's own files),
//  2. the executable's folder when it holds the template file or the splash pictures,
//  3. "<exe folder>/../share/<program>" (installed),
//  4. the executable's folder.
QString programFolderFor(const Product& p, const QString& executableFolder);

// Window placement of the main window, in twips, in the per-user settings of the application
// p.settingsName (section "Settings").
struct WindowPlacement {
    int left = 100;
    int top = 100;
    int width = 14500;
    int height = 10500;
    bool verifyAfterWrite = false;         // Program > Verify after Write
    bool showChangesBeforeWriting = false; // Program > Show changes before writing
    bool sizeStored = false;               // width and height come from the settings
};
WindowPlacement loadPlacement(const Product& p);
void savePlacement(const Product& p, const WindowPlacement& placement);
