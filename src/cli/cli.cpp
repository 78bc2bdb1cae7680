#include "cli.h"

#include "clicommand.h"

#include "core/config/messages.h"
#include "core/config/settingsfile.h"

#include <QCoreApplication>
#include <QFileDevice>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <memory>
#include <unistd.h>

namespace {

// Language of the program's settings file (English when there is none).
void applySettingsLanguage(const Product& p) {
    const SetupSettings settings(defaultSettingsFile());
    const bool chinese =
        p.persistsLanguage && settings.currentLanguage(LanguageEnglish) == LanguageChinese;
    setCurrentLanguage(chinese ? LanguageChinese : LanguageEnglish);
    // The system's reasons beside "file error." ("No space left on device") are Qt's texts:
    // in Chinese from Qt's own translations, as in the windows.
    static QTranslator qtTexts;
    if (!chinese) {
        QCoreApplication::removeTranslator(&qtTexts);
    } else if (qtTexts.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qt"),
                            QStringLiteral("_"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(&qtTexts);
    }
}

// The messages of the files a command opens and saves go to its error stream, answered with
// the cautious choice; the radio's questions are answered by each session's own answerer.
class StreamMessages : public MessageService {
  public:
    explicit StreamMessages(QTextStream& err) : m_err(err) { setMessageService(this); }
    ~StreamMessages() override { setMessageService(nullptr); }
    StreamMessages(const StreamMessages&) = delete;
    StreamMessages& operator=(const StreamMessages&) = delete;

    MsgAnswer ask(const MessageRequest& r) override {
        m_err << QString(r.text).replace(QLatin1String("\r\n"), QLatin1String("\n")) << '\n';
        if (!r.informative.isEmpty()) m_err << r.informative << '\n';
        m_err.flush();
        switch (r.buttons) {
        case MsgButtons::Ok:
            return MsgAnswer::Ok;
        case MsgButtons::YesNo:
            return MsgAnswer::No;
        default:
            return MsgAnswer::Cancel;
        }
    }

  private:
    QTextStream& m_err;
};

using Command = int (*)(const Product&, const QStringList&, const CliStreams&);

struct NamedCommand {
    const char* name;
    Command run;
};

constexpr NamedCommand Commands[] = {
    {"new", newCommand},
    {"show", showCommand},
    {"read", readCommand},
    {"write", writeCommand},
    {"info", infoCommand},
    {"export-csv", exportCsvCommand},
    {"import-csv", importCsvCommand},
    {"export", exportCommand},
    {"import", importCommand},
    {"diff", diffCommand},
    {"print", printCommand},
    {"doctor", doctorCommand},
};

Command commandNamed(const QString& name) {
    for (const NamedCommand& c : Commands)
        if (name == QLatin1String(c.name)) return c.run;
    return nullptr;
}

int runCommand(const Product& p, const QStringList& args, const CliStreams& io) {
    if (args.isEmpty()) {
        printUsage(p, io.err);
        return ExitUsageOrFile;
    }
    const QString& name = args.first();
    if (name == QLatin1String("--help") || name == QLatin1String("-h")) {
        printUsage(p, io.out);
        return ExitOk;
    }
    if (name == QLatin1String("--version")) {
        io.out << p.program << "-cli " << PROGRAM_VERSION << '\n';
        return ExitOk;
    }
    const Command command = commandNamed(name);
    if (!command) {
        io.err << p.program << "-cli: " << name << " is not a command.\n";
        printUsage(p, io.err);
        return ExitUsageOrFile;
    }
    const QStringList rest = args.mid(1);
    // Only a write has something to verify.
    if (command != writeCommand && rest.contains(QLatin1String("--verify")))
        return usageError(
            p, name,
            QStringLiteral("--verify is not an option of %1: only a write is read back.").arg(name),
            io.err);
    // Only the doctor asks a radio who it is without a session.
    if (command != doctorCommand && rest.contains(QLatin1String("--probe")))
        return usageError(
            p, name,
            QStringLiteral("--probe is not an option of %1: it belongs to doctor.").arg(name),
            io.err);
    return command(p, rest, io);
}

// Flushes the results; false when they did not all reach standard output (a full disk behind
// a redirection, a pipe closed by its reader), with the system's reason in why.
bool standardOutputWritten(QTextStream& out, QString* why) {
    out.flush();
    auto* file = qobject_cast<QFileDevice*>(out.device());
    if (out.status() == QTextStream::Ok && (!file || file->flush())) return true;
    *why = file ? file->errorString() : QStringLiteral("cannot be written");
    return false;
}

} // namespace

int runCli(const Product& p, const QStringList& args, const CliStreams& io) {
    setProgramTitle(p.productName);
    applySettingsLanguage(p);
    const StreamMessages messages(io.err);
    int rc = runCommand(p, args, io);
    // Results that never reached their file are no success: `show x.dat > report.txt` on a full
    // disk fails as a written file does. diff keeps 0 and 1 for equal and different, and 2 for
    // trouble. A command that failed already said why.
    const bool diff = !args.isEmpty() && args.first() == QLatin1String("diff");
    QString why;
    if (!standardOutputWritten(io.out, &why) && (rc == ExitOk || (diff && rc == 1))) {
        printFileError(io.err, QStringLiteral("standard output"), why);
        rc = diff ? 2 : ExitUsageOrFile;
    }
    io.err.flush();
    return rc;
}

int cliMain(const Product& p, int argc, char** argv) {
    // Printing lays out text with fonts, which takes a GUI application; it shows no window,
    // so it runs on the offscreen platform unless one is chosen. The other commands keep a
    // plain core application.
    std::unique_ptr<QCoreApplication> owner;
    if (argc > 1 && qstrcmp(argv[1], "print") == 0) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        owner = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        owner = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(p.program);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    QTextStream out(stdout);
    QTextStream err(stderr);
    return runCli(p, args, {out, err, ::isatty(2) == 1});
}
