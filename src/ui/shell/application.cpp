#include "application.h"

#include "core/config/messages.h"
#include "core/config/settingsfile.h"
#include "mainwindow.h"
#include "splashwindow.h"
#include "ui/common/uicommon.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QTimer>
#include <cstdio>
#include <memory>

namespace {
struct CommandLine {
    QString file; // the data file to open after start-up, or empty
    bool service = false;
};

// The data file named on the command line and the options. --help and --version print their
// text and end the program; so does a wrong command line, with exit code 1.
CommandLine parseCommandLine(const Product& p) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Reads, edits and writes the configuration of %1 radios.")
            .arg(p.productName));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption service(
        QStringLiteral("service"),
        QStringLiteral("Service mode: also offer the model window, the key assignment, scan, "
                       "DTMF, FleetSync and test-frequency editors, test mode and the radio "
                       "information tools."));
    parser.addOption(service);
    parser.addPositionalArgument(
        QStringLiteral("FILE"),
        QStringLiteral("Data file (.dat) or configuration text (.yaml) to open after "
                       "start-up."),
        QStringLiteral("[FILE]"));
    parser.process(*QCoreApplication::instance());
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        std::fprintf(stderr, "%s: one data file at most\n", qPrintable(p.program));
        parser.showHelp(1);
    }
    return {files.isEmpty() ? QString() : files.first(), parser.isSet(service)};
}

bool asksHelpOrVersion(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        for (const char* option : {"-h", "--help", "--help-all", "-v", "--version"})
            if (qstrcmp(argv[i], option) == 0) return true;
    return false;
}
} // namespace

QIcon programIcon(const QString& program, const QString& executableFolder) {
    const QDir exe(executableFolder);
    const QString file = QStringLiteral("/apps/") + program + QStringLiteral(".png");
    QIcon icon;
    for (const QString& folder : {exe.filePath(QStringLiteral("icons/") + program),
                                  exe.filePath(QStringLiteral("../share/icons/hicolor"))}) {
        for (const char* size : {"48x48", "64x64", "128x128", "256x256"}) {
            const QString path = folder + QLatin1Char('/') + QLatin1String(size) + file;
            if (QFileInfo::exists(path)) icon.addFile(path);
        }
        if (!icon.isNull()) return icon;
    }
    return QIcon::fromTheme(program);
}

int guiMain(const Product& p, int argc, char** argv) {
    // Help and version are printed without a display.
    if (asksHelpOrVersion(argc, argv)) {
        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationName(p.program);
        QCoreApplication::setApplicationVersion(QStringLiteral(PROGRAM_VERSION));
        parseCommandLine(p);
        return 0;
    }
    QApplication app(argc, argv);
    // The per-user configuration folder is named after the program (XDG_CONFIG_HOME/meridox).
    // No display name: the window system would append it to every window title, and the
    // titles are exactly the windows' own.
    QApplication::setApplicationName(p.program);
    QApplication::setApplicationVersion(QStringLiteral(PROGRAM_VERSION));
    QApplication::setWindowIcon(programIcon(p.program, QApplication::applicationDirPath()));
    const CommandLine commandLine = parseCommandLine(p);
    const QString file = commandLine.file;
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
    context.serviceMode = commandLine.service;

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

    // A file named on the command line opens once the window is up, through File > Open's
    // path, so its messages stand over the window.
    const auto showMain = [&main, file] {
        main.show();
        main.activateWindow();
        if (!file.isEmpty())
            QTimer::singleShot(0, &main, [&main, file] { main.files().openFile(file); });
    };
    if (splash->hasPicture()) {
        QObject::connect(splash.get(), &SplashWindow::finished, &main, showMain);
        splash->startCountdown();
    } else {
        showMain();
    }

    const int rc = app.exec();
    setMessageService(nullptr);
    return rc;
}
