#pragma once

// The main window as the window tests start it, beside QObject in the test class: a folder of
// its own (program folder, settings file, data files), message boxes answered from a script,
// and no window placement left from another test. Header only, as windowtest.h: the window
// tests link the windows, the support library does not.

#include "core/config/settingsfile.h"
#include "testsupport.h"
#include "ui/shell/mainwindow.h"

#include <QAction>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <memory>

class MainWindowFixture {
  protected:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedMessages> m_msgs;
    std::unique_ptr<MainWindow> m_main;

    // Call from init(): a fresh folder and script, and neither program remembers a placement.
    void initFixture() {
        setCurrentLanguage(LanguageEnglish);
        m_dir = std::make_unique<QTemporaryDir>();
        m_msgs = std::make_unique<ScriptedMessages>();
        for (const char* app : {"MERIDOX", "SOLVIR"})
            QSettings(QLatin1String(app), QLatin1String(app)).clear();
    }
    // Call from cleanup(): the window goes before what it uses.
    void cleanupFixture() {
        m_main.reset();
        m_msgs.reset();
        QDir::setCurrent(QDir::tempPath()); // the folder can go even when a test went into it
        m_dir.reset();
        setCurrentLanguage(LanguageEnglish);
    }

    QString path(const QString& name) const { return m_dir->filePath(name); }
    QString path(const char* name) const { return path(QLatin1String(name)); }
    QString settingsFile() const { return path("language/mysetup.ini"); }

    // The main window of product p on the test's folder, with the port of its settings file;
    // not shown yet.
    MainWindow& start(const Product& p = meridoxProduct(), int systemLanguage = LanguageEnglish,
                      bool serviceMode = false) {
        AppContext c;
        c.product = &p;
        c.settingsFile = settingsFile();
        c.programFolder = m_dir->path();
        c.systemLanguage = systemLanguage;
        c.serviceMode = serviceMode;
        c.comPort = SetupSettings(c.settingsFile).comPort();
        m_main = std::make_unique<MainWindow>(c);
        return *m_main;
    }
    // COM1 stands for device (a virtual radio's link) in the settings file.
    void pinComPort(const QString& device) const {
        QDir().mkpath(path("language"));
        QSettings(settingsFile(), QSettings::IniFormat)
            .setValue(QStringLiteral("ports/COM1"), device);
    }
    // A menu item, toolbar button or menu of the window by its objectName.
    QAction* action(const QString& name) const {
        return m_main->findChild<QAction*>(name, Qt::FindChildrenRecursively);
    }
    QAction* action(const char* name) const { return action(QString::fromUtf8(name)); }
};
