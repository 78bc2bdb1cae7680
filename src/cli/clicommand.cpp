#include "clicommand.h"

#include "core/channels/channelrules.h"
#include "core/config/datafile.h"
#include "core/config/document.h"

#include "core/config/filereading.h"
#include "exchange/configtext.h"

#include <QCommandLineParser>
#include <QFile>
#include <QFileDevice>
#include <QFileInfo>

#include <algorithm>

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
        cli + QStringLiteral("export FILE.dat OUT.yaml   (the whole configuration as text; - for "
                             "standard output)"),
        cli + QStringLiteral("import IN.yaml OUT.dat [--onto BASE.dat]   (- for standard input "
                             "or output)"),
        cli + QStringLiteral("diff A.dat B.dat   (exit 0 equal, 1 different, 2 trouble; .yaml "
                             "on either side)"),
        cli + QStringLiteral("diff --port PORT FILE.dat [--retries N] [--trace FILE]   (the "
                             "radio against FILE)"),
        cli + QStringLiteral("print FILE.dat -o OUT.pdf [--language en|zh]"),
        cli + QStringLiteral("doctor [--port PORT] [--probe]   (exit 0 usable, 2 not)"),
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
        QStringLiteral("diff --port: exit 0 equal, 1 different; a read that fails exits 2, 3 "
                       "or 4 as read does."),
        QStringLiteral("Exit codes: 0 done, 1 usage or file, 2 port, 3 radio identity, 4 no "
                       "answer, lost"),
        QStringLiteral("  or stopped (Ctrl+C, SIGTERM, SIGHUP), 5 written, but the radio holds "
                       "something else."),
        cli + QStringLiteral("--help | --version"),
    };
}

// The options the commands share, with a value (by each of their names) and without. print
// takes --language as well.
const QList<QStringList> ValueOptions{{QStringLiteral("o"), QStringLiteral("output")},
                                      {QStringLiteral("p"), QStringLiteral("port")},
                                      {QStringLiteral("image")},
                                      {QStringLiteral("trace")},
                                      {QStringLiteral("log")},
                                      {QStringLiteral("retries")},
                                      {QStringLiteral("group")},
                                      {QStringLiteral("onto")}};
const QStringList Switches{QStringLiteral("overwrite"), QStringLiteral("verify"),
                           QStringLiteral("timing"), QStringLiteral("repeat"),
                           QStringLiteral("probe")};

bool takesValue(const QString& name) {
    return name == QLatin1String("language") ||
           std::any_of(ValueOptions.begin(), ValueOptions.end(),
                       [&name](const QStringList& names) { return names.contains(name); });
}

// An option as the user wrote it.
struct WrittenOption {
    QString written; // "--retries", "-frob", "--frob=1"
    QString name;    // "retries"
    QString value;
    bool hasValue;
};

// The options in the order written, read as the parser reads them, so that the first problem
// the user wrote is the one reported.
std::vector<WrittenOption> writtenOptions(const QStringList& args) {
    std::vector<WrittenOption> list;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (!a.startsWith(QLatin1Char('-')) || a.size() < 2) continue;
        WrittenOption o{a, a.mid(a.startsWith(QLatin1String("--")) ? 2 : 1), {}, false};
        if (takesValue(o.name) && i + 1 < args.size()) {
            o.value = args.at(++i);
            o.hasValue = true;
        }
        list.push_back(o);
    }
    return list;
}

// What is wrong with an option's value; empty when nothing is.
QString valueProblem(const WrittenOption& o, bool takesLanguage) {
    if (!o.hasValue) return {};
    if (o.name == QLatin1String("language") && takesLanguage && o.value != QLatin1String("en") &&
        o.value != QLatin1String("zh"))
        return QStringLiteral("--language %1: the language is en (English) or zh (Chinese).")
            .arg(o.value);
    bool ok = false;
    if (o.name == QLatin1String("retries") && !o.value.isEmpty() && (o.value.toInt(&ok) < 0 || !ok))
        return QStringLiteral("--retries %1: the number of retries is a whole number, 0 or more.")
            .arg(o.value);
    if (o.name == QLatin1String("group") && !o.value.isEmpty() && groupFromLetter(o.value) < 0)
        return QStringLiteral("--group %1: the group is a letter from A to F.").arg(o.value);
    return {};
}

// A one-letter name takes one dash ("-o"), a word two ("--output").
bool writtenAsDefined(const WrittenOption& o) {
    const bool oneDash = !o.written.startsWith(QLatin1String("--"));
    return oneDash == (o.name.size() == 1);
}

// The first problem as written: an option the parser does not know, a value it cannot take,
// or the value missing after the last argument. The commands take neither "--" nor
// "--option=value", nor "-output" or "--o".
QString firstProblem(const QStringList& args, const QCommandLineParser& parser, bool parsed,
                     bool takesLanguage) {
    const std::vector<WrittenOption> options = writtenOptions(args);
    // print reads its --language before the options it shares with the other commands.
    for (const WrittenOption& o : options) {
        if (!takesLanguage || o.name != QLatin1String("language")) continue;
        if (!o.hasValue) return QStringLiteral("%1 needs a value.").arg(o.written);
        if (const QString why = valueProblem(o, takesLanguage); !why.isEmpty()) return why;
    }
    const QStringList unknown = parser.unknownOptionNames();
    for (const WrittenOption& o : options) {
        if (o.written == QLatin1String("--") || o.written.contains(QLatin1Char('=')) ||
            unknown.contains(o.name) || !writtenAsDefined(o))
            return QStringLiteral("%1 is not an option.").arg(o.written);
        if (const QString why = valueProblem(o, takesLanguage); !why.isEmpty()) return why;
    }
    return parsed ? QString()
                  : QStringLiteral("%1 needs a value.").arg(args.value(args.size() - 1));
}

} // namespace

CliArgs parseCliArgs(const QStringList& args, bool takesLanguage) {
    QCommandLineParser parser;
    // "-o" and "-p" are the only short names; a word after one dash is an option of its own.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const QStringList& names : ValueOptions)
        parser.addOption({names, QString(), QStringLiteral("value")});
    for (const QString& name : Switches)
        parser.addOption(QCommandLineOption(name));
    if (takesLanguage) parser.addOption({QStringLiteral("language"), {}, QStringLiteral("value")});
    CliArgs r;
    // The parser takes the program's name first.
    const bool parsed = parser.parse(QStringList{QString()} + args);
    r.problem = firstProblem(args, parser, parsed, takesLanguage);
    if (takesLanguage)
        r.language = parser.value(QStringLiteral("language")) == QLatin1String("zh")
                         ? LanguageChinese
                     : parser.isSet(QStringLiteral("language")) ? LanguageEnglish
                                                                : LanguageNone;
    r.retries = parser.value(QStringLiteral("retries")).toInt();
    r.group = groupFromLetter(parser.value(QStringLiteral("group")));
    r.positional = parser.positionalArguments();
    r.output = parser.value(QStringLiteral("o"));
    r.port = parser.value(QStringLiteral("port"));
    for (const QString& p : parser.values(QStringLiteral("port")))
        if (!p.isEmpty()) r.ports << p;
    r.image = parser.value(QStringLiteral("image"));
    r.trace = parser.value(QStringLiteral("trace"));
    r.log = parser.value(QStringLiteral("log"));
    r.onto = parser.value(QStringLiteral("onto"));
    r.overwrite = parser.isSet(QStringLiteral("overwrite"));
    r.verify = parser.isSet(QStringLiteral("verify"));
    r.timing = parser.isSet(QStringLiteral("timing"));
    r.repeat = parser.isSet(QStringLiteral("repeat"));
    r.probe = parser.isSet(QStringLiteral("probe"));
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
    if (!a.onto.isEmpty() && command != QLatin1String("import"))
        return QStringLiteral("--onto is not an option of %1.").arg(command);
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

bool refusedAsInput(const QString& in, const QString& out, QTextStream& err) {
    const QFileInfo target(out);
    if (!target.exists() || target != QFileInfo(in)) return false;
    printFileError(err, out,
                   QStringLiteral("this is the data file being exported; choose another name."));
    return true;
}

bool openConfigFile(Document& doc, const QString& path) {
    return openDataFile(doc, path) == OpenResult::Opened;
}

bool isConfigTextName(const QString& path) {
    return path.endsWith(QLatin1String(".yaml"), Qt::CaseInsensitive) ||
           path.endsWith(QLatin1String(".yml"), Qt::CaseInsensitive);
}

std::optional<QByteArray> readConfigText(const QString& path, QTextStream& err) {
    FileRead in;
    if (path == QLatin1String("-")) {
        QFile input;
        if (!input.open(stdin, QIODevice::ReadOnly)) {
            in.problem = QStringLiteral("standard input: ") + input.errorString();
        } else {
            // A pipe hands the text over in pieces as its writer sends them: read to its end
            // (or past the limit), or the text would be cut at the first piece.
            while (in.bytes.size() <= MaxConfigTextBytes) {
                const QByteArray piece = input.read(MaxConfigTextBytes + 1 - in.bytes.size());
                if (piece.isEmpty()) break;
                in.bytes += piece;
            }
            if (input.error() != QFileDevice::NoError)
                in.problem = QStringLiteral("standard input: ") + input.errorString();
        }
    } else {
        in = readRegularFile(path, MaxConfigTextBytes + 1);
    }
    if (in.ok() && in.bytes.size() > MaxConfigTextBytes)
        in.problem = QStringLiteral("%1: larger than %2 MB; a configuration as text is far "
                                    "smaller.")
                         .arg(path == QLatin1String("-") ? QStringLiteral("standard input") : path)
                         .arg(MaxConfigTextBytes / (1024 * 1024));
    if (!in.ok()) {
        printFileError(err, in.problem);
        return std::nullopt;
    }
    return in.bytes;
}

bool writeStandardOutput(const CliStreams& io, const QByteArray& bytes, bool binary) {
    QIODevice* device = io.out.device();
    auto* file = qobject_cast<QFileDevice*>(device);
    bool ok = true;
    if (binary && device) {
        io.out.flush();
        ok = device->write(bytes) == bytes.size();
    } else {
        io.out << (binary ? QString::fromLatin1(bytes) : QString::fromUtf8(bytes));
        io.out.flush();
        ok = io.out.status() == QTextStream::Ok;
    }
    // A full disk or a closed pipe shows only when the bytes leave the buffers.
    if (ok && file) ok = file->flush();
    if (!ok)
        printFileError(io.err, QStringLiteral("standard output"),
                       file ? file->errorString() : QStringLiteral("cannot be written"));
    return ok;
}

void printImportProblems(QTextStream& err, const QString& source, const QStringList& problems) {
    err << QStringLiteral("%1: %2 problem(s); nothing was imported.")
               .arg(source == QLatin1String("-") ? QStringLiteral("standard input") : source)
               .arg(problems.size())
        << '\n';
    for (const QString& line : problems)
        err << "  " << line << '\n';
}

bool openConfigFileOrText(Document& doc, const QString& path, QTextStream& err) {
    if (!isConfigTextName(path)) return openConfigFile(doc, path);
    const auto text = readConfigText(path, err);
    if (!text) return false;
    const ConfigTextImport r = importConfigurationText(doc.product(), *text, doc.config());
    if (!r.record) {
        printImportProblems(err, path, r.problems);
        return false;
    }
    doc.openRecord(*r.record);
    return true;
}

int saveAs(Document& doc, const QString& path, QTextStream& err) {
    doc.takeSnapshot();
    QString why;
    if (!writeRecordFile(doc.product(), doc.snapshot(), path, &why)) {
        printFileError(err, path, why);
        return ExitUsageOrFile;
    }
    return ExitOk;
}
