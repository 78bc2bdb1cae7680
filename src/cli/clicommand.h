#pragma once

#include "cli.h"
#include "core/comm/session.h"

#include <optional>

class Document;

// The options of the commands, parsed with one QCommandLineParser; each command takes the
// ones it needs and refuses the others it cannot use.
struct CliArgs {
    QStringList positional;
    QString output;
    QString port;      // the last --port
    QStringList ports; // every --port, in order
    QString image;     // --image: raw radio memory file
    QString trace;     // --trace: copy of the session trace
    QString log;       // --log: CSV record of each radio
    QString onto;      // import --onto: the data file whose values the text's omissions keep
    int retries = 0;
    int group = -1;              // --group A..F
    int language = LanguageNone; // print's --language (LanguageNone: not given)
    bool overwrite = false;
    bool verify = false; // --verify: read back and compare after a write
    bool timing = false;
    bool repeat = false;
    bool probe = false;                              // doctor: ask the radio who it is
    QString problem;                                 // the first usage error, naming the option
    RadioOperation operation = RadioOperation::Idle; // read or write: what a log row names

    bool ok() const { return problem.isEmpty(); }
    // Several ports, or one port again and again: a fleet run.
    bool fleet() const { return ports.size() > 1 || repeat; }
    bool fleetOptions() const { return fleet() || !log.isEmpty(); }
};

// Parses a command's arguments; --language only for print.
CliArgs parseCliArgs(const QStringList& args, bool takesLanguage = false);

// The usage of every command.
void printUsage(const Product& p, QTextStream& o);
// A usage error of a command: what is wrong, naming the option, then the command's usage
// lines. Returns the usage exit code.
int usageError(const Product& p, const QString& command, const QString& why, QTextStream& err);

// The usage errors every command shares: an option that cannot be parsed, too many or too few
// file names (named as the usage names them: FILE.dat, OUT.csv), an -o that the command does
// not take. Empty when there is none.
QString commonProblem(const QString& command, const CliArgs& a, const QStringList& files,
                      bool takesOutput = false);
QString missingPort();

// "file error." and the file's problem on the error stream.
void printFileError(QTextStream& err, const QString& problem);
void printFileError(QTextStream& err, const QString& path, const QString& why);

// A data file with the version check; the reason for a refusal goes to the message service.
bool openConfigFile(Document& doc, const QString& path);
// True, with a file error, when out is the data file in itself (export and export-csv would
// put a text or list in the place of the configuration they read).
bool refusedAsInput(const QString& in, const QString& out, QTextStream& err);
// Configurations as text (".yaml", ".yml"): the whole text of path ("-": standard input), read
// no further than MaxConfigTextBytes; a problem goes to `err` as a file error.
constexpr qint64 MaxConfigTextBytes = 4 * 1024 * 1024;
bool isConfigTextName(const QString& path);
std::optional<QByteArray> readConfigText(const QString& path, QTextStream& err);
// Writes bytes to standard output (binary: as they are, else UTF-8 text) and to the end, so that
// a full disk or closed pipe is seen; says so on `err` as a file error and gives false.
bool writeStandardOutput(const CliStreams& io, const QByteArray& bytes, bool binary);
// "IN.yaml: 2 problem(s); nothing was imported." and every problem, one a line.
void printImportProblems(QTextStream& err, const QString& source, const QStringList& problems);
// A data file, or a configuration as text over the built-in defaults doc holds.
bool openConfigFileOrText(Document& doc, const QString& path, QTextStream& err);
// Saves the configuration as a data file; the reason for a failure goes to `err`.
int saveAs(Document& doc, const QString& path, QTextStream& err);

// The commands, each in a file of its own.
int newCommand(const Product& p, const QStringList& args, const CliStreams& io);
int showCommand(const Product& p, const QStringList& args, const CliStreams& io);
int readCommand(const Product& p, const QStringList& args, const CliStreams& io);
int writeCommand(const Product& p, const QStringList& args, const CliStreams& io);
int infoCommand(const Product& p, const QStringList& args, const CliStreams& io);
int exportCsvCommand(const Product& p, const QStringList& args, const CliStreams& io);
int importCsvCommand(const Product& p, const QStringList& args, const CliStreams& io);
int exportCommand(const Product& p, const QStringList& args, const CliStreams& io);
int importCommand(const Product& p, const QStringList& args, const CliStreams& io);
int diffCommand(const Product& p, const QStringList& args, const CliStreams& io);
int printCommand(const Product& p, const QStringList& args, const CliStreams& io);
int doctorCommand(const Product& p, const QStringList& args, const CliStreams& io);
