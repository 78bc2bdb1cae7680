#include "clicommand.h"

#include "core/channels/channelrules.h"
#include "core/config/datafile.h"
#include "core/config/document.h"

#include <QCommandLineParser>

namespace {

QStringList usageLines(const Product& p) {
    const QString cli = QStringLiteral("  %1-cli ").arg(p.program);
    return {
        QStringLiteral("Usage:"),
        cli + QStringLiteral("new -o OUT.dat"),
        cli + QStringLiteral("show FILE.dat"),
        cli + QStringLiteral("read --port PORT (-o OUT.dat | --image OUT.img | both) [--retries N] "
                             "[--trace FILE]"),
        cli + QStringLiteral("write --port PORT (IN.dat | --image IN.img) [--retries N]") +
            (p.identityAsksOverwrite ? QStringLiteral(" [--overwrite]") : QString()) +
            QStringLiteral(" [--verify] [--trace FILE]"),
        cli + QStringLiteral("read --port P1 --port P2 ... -o DIR [--repeat] [--log FILE.csv] "
                             "[--retries N]"),
        cli + QStringLiteral("write --port P1 --port P2 ... (IN.dat | --image IN.img) [--repeat] "
                             "[--log FILE.csv] [--retries N] [--verify]"),
        cli + QStringLiteral("info --port PORT [--retries N] [--trace FILE]"),
        cli + QStringLiteral("export-csv FILE.dat OUT.csv"),
        cli + QStringLiteral("import-csv IN.csv FILE.dat [--group A..F]"),
        cli + QStringLiteral("diff A.dat B.dat   (exit 0 equal, 1 different, 2 trouble)"),
        cli + QStringLiteral("print FILE.dat -o OUT.pdf [--language en|zh]"),
        QStringLiteral("PORT is a device path (/dev/ttyUSB0), a name under /dev (ttyUSB0) or "
                       "COM1..COM8."),
        QStringLiteral("--image: the radio's raw memory (%1 bytes); --trace: the bytes of the "
                       "session.")
            .arg(p.memorySize),
        QStringLiteral("Several --port: one session per port at once, a summary table at the "
                       "end, the exit"),
        QStringLiteral("code is the highest of any radio. --repeat: one radio after another on "
                       "each port"),
        QStringLiteral("until Ctrl+C. --log: one CSV row per radio appended to FILE.csv."),
        QStringLiteral("--verify: read the radio back after the write; exit 5 when it holds "
                       "something else."),
        QStringLiteral("Exit codes: 0 done, 1 usage or file, 2 port, 3 radio identity, 4 no "
                       "answer, lost"),
        QStringLiteral("  or stopped (Ctrl+C, SIGTERM, SIGHUP), 5 written, but the radio holds "
                       "something else."),
        cli + QStringLiteral("--help | --version"),
    };
}

QCommandLineOption valueOption(const QStringList& names) {
    return {names, QString(), QStringLiteral("value")};
}

// The argument as the user wrote it that names an option the parser did not know.
QString writtenOption(const QStringList& args, const QString& name) {
    for (const QString& a : args)
        for (const QString& dashes : {QStringLiteral("-"), QStringLiteral("--")})
            if (a == dashes + name || a.startsWith(dashes + name + QLatin1Char('=')))
                return a.section(QLatin1Char('='), 0, 0);
    return QStringLiteral("--") + name;
}

// The values of options that must be checked; the first problem wins.
void readValues(const QCommandLineParser& parser, bool takesLanguage, CliArgs& r) {
    const auto refuse = [&r](const QString& why) {
        if (r.problem.isEmpty()) r.problem = why;
    };
    if (takesLanguage) {
        for (const QString& name : parser.values(QStringLiteral("language"))) {
            if (name == QLatin1String("en"))
                r.language = LanguageEnglish;
            else if (name == QLatin1String("zh"))
                r.language = LanguageChinese;
            else
                refuse(QStringLiteral("--language %1: the language is en (English) or zh "
                                      "(Chinese).")
                           .arg(name));
        }
    }
    for (const QString& n : parser.values(QStringLiteral("retries"))) {
        bool ok = false;
        r.retries = n.toInt(&ok);
        if (!n.isEmpty() && (!ok || r.retries < 0))
            refuse(QStringLiteral("--retries %1: the number of retries is a whole number, 0 or "
                                  "more.")
                       .arg(n));
    }
    for (const QString& letter : parser.values(QStringLiteral("group"))) {
        r.group = groupFromLetter(letter);
        if (!letter.isEmpty() && r.group < 0)
            refuse(QStringLiteral("--group %1: the group is a letter from A to F.").arg(letter));
    }
}

} // namespace

CliArgs parseCliArgs(const QStringList& args, bool takesLanguage) {
    QCommandLineParser parser;
    // "-o" and "-p" are the only short names; a word after one dash is an option of its own.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption output = valueOption({QStringLiteral("o"), QStringLiteral("output")});
    const QCommandLineOption port = valueOption({QStringLiteral("p"), QStringLiteral("port")});
    parser.addOptions(
        {output, port, valueOption({QStringLiteral("image")}),
         valueOption({QStringLiteral("trace")}), valueOption({QStringLiteral("log")}),
         valueOption({QStringLiteral("retries")}), valueOption({QStringLiteral("group")}),
         QCommandLineOption(QStringLiteral("overwrite")),
         QCommandLineOption(QStringLiteral("verify")), QCommandLineOption(QStringLiteral("timing")),
         QCommandLineOption(QStringLiteral("repeat"))});
    if (takesLanguage) parser.addOption(valueOption({QStringLiteral("language")}));
    CliArgs r;
    // The parser takes the program's name first.
    if (!parser.parse(QStringList{QString()} + args)) {
        const QStringList unknown = parser.unknownOptionNames();
        // Otherwise the last argument is an option whose value is missing.
        r.problem =
            !unknown.isEmpty()
                ? QStringLiteral("%1 is not an option.").arg(writtenOption(args, unknown.first()))
                : QStringLiteral("%1 needs a value.").arg(args.value(args.size() - 1));
    }
    readValues(parser, takesLanguage, r);
    r.positional = parser.positionalArguments();
    r.output = parser.value(output);
    r.port = parser.value(port);
    for (const QString& p : parser.values(port))
        if (!p.isEmpty()) r.ports << p;
    r.image = parser.value(QStringLiteral("image"));
    r.trace = parser.value(QStringLiteral("trace"));
    r.log = parser.value(QStringLiteral("log"));
    r.overwrite = parser.isSet(QStringLiteral("overwrite"));
    r.verify = parser.isSet(QStringLiteral("verify"));
    r.timing = parser.isSet(QStringLiteral("timing"));
    r.repeat = parser.isSet(QStringLiteral("repeat"));
    return r;
}

void printUsage(const Product& p, QTextStream& o) {
    for (const QString& line : usageLines(p))
        o << line << '\n';
    o.flush();
}

int usageError(const Product& p, const QString& command, const QString& why, QTextStream& err) {
    const QString cli = QStringLiteral("%1-cli").arg(p.program);
    err << cli << ' ' << command << ": " << why << '\n' << "Usage:\n";
    const QString prefix = QStringLiteral("  %1 %2 ").arg(cli, command);
    for (const QString& line : usageLines(p))
        if (line.startsWith(prefix)) err << line << '\n';
    err << QStringLiteral("Run %1 --help for every command and option.").arg(cli) << '\n';
    err.flush();
    return ExitUsageOrFile;
}

QString commonProblem(const QString& command, const CliArgs& a, const QStringList& files,
                      bool takesOutput) {
    if (!a.ok()) return a.problem;
    if (a.positional.size() > files.size())
        return QStringLiteral("%1: one file name too many.").arg(a.positional.at(files.size()));
    if (a.positional.size() < files.size())
        return QStringLiteral("%1 is missing.").arg(files.at(a.positional.size()));
    if (!takesOutput && !a.output.isEmpty())
        return QStringLiteral("-o is not an option of %1.").arg(command);
    return {};
}

QString missingPort() {
    return QStringLiteral("--port is missing: it names the radio's port (COM1, /dev/ttyUSB0).");
}

void printFileError(QTextStream& err, const QString& problem) {
    err << messageText(Msg::FileError) << '\n' << problem << '\n';
}

void printFileError(QTextStream& err, const QString& path, const QString& why) {
    printFileError(err, path + QLatin1String(": ") + why);
}

bool openConfigFile(Document& doc, const QString& path) {
    return openDataFile(doc, path) == OpenResult::Opened;
}

int saveAs(Document& doc, const QString& path, QTextStream& err) {
    doc.takeSnapshot();
    QString why;
    if (!writeRecordFile(doc.product(), doc.snapshot, path, &why)) {
        printFileError(err, path, why);
        return ExitUsageOrFile;
    }
    return ExitOk;
}
