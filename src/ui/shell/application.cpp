#include "application.h"

#include "core/config/messages.h"
#include "core/config/settingsfile.h"
#include "mainwindow.h"
#include "splashwindow.h"
#include "ui/common/uicommon.h"

#include <QApplication>
#include <QDir>
#include <QLocale>
#include <memory>

int guiMain(const Product& p, int argc, char** argv) {
    QApplication app(argc, argv);
    // The per-user configuration folder is named after the program (XDG_CONFIG_HOME/meridox).
    // No display name: the window system would append it to every window title, and the
    // titles are exactly the windows' own.
    QApplication::setApplicationName(p.program);
    // Numbers are formatted and parsed with "." whatever the user's locale; the system's
    // setting is left alone.
    QLocale::setDefault(QLocale::c());

    AppContext context;
    context.product = &p;
    context.systemLanguage = systemLanguageFor(QLocale::system());
    context.settingsFile = defaultSettingsFile();
    context.programFolder = programFolderFor(p, QApplication::applicationDirPath());
    setCurrentLanguage(context.systemLanguage);

    SetupSettings settings(context.settingsFile);
    const StartupValues start = applyStartupSettings(p, settings, context.systemLanguage);
    setCurrentLanguage(start.language);
    context.comPort = start.comPort;

    setProgramTitle(p.productName);
    WidgetMessageService messages;
    setMessageService(&messages);

    auto splash = std::make_unique<SplashWindow>(context.programFolder, currentLanguage());
    if (splash->hasPicture()) {
        splash->show();
        splash->repaint();
        QApplication::processEvents();
    }

    // The main window fills the configuration with its defaults and the template file.
    MainWindow main(context);

    const auto showMain = [&main] {
        main.show();
        main.activateWindow();
    };
    if (splash->hasPicture()) {
        QObject::connect(splash.get(), &SplashWindow::finished, &main, showMain);
        splash->Timer1.start();
    } else {
        showMain();
    }

    const int rc = app.exec();
    setMessageService(nullptr);
    return rc;
}
