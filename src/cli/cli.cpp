#include "cli.h"

#include "clifleet.h"
#include "stopsignals.h"

#include "core/channels/channelrules.h"
#include "core/comm/keptfiles.h"
#include "core/comm/localinfo.h"
#include "core/comm/ports.h"
#include "core/comm/session.h"
#include "core/comm/sessiontrace.h"
#include "core/config/datafile.h"
#include "core/config/document.h"
#include "core/config/filereading.h"
#include "core/config/messages.h"
#include "core/config/optionwords.h"
#include "core/config/settingsfile.h"
#include "core/io/wholefile.h"
#include "exchange/channelcsv.h"
#include "exchange/configdiff.h"
#include "exchange/fleetlog.h"
#include "report/report.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QLibraryInfo>
#include <QLocale>
#include <QTextStream>
#include <QTranslator>
#include <memory>
#include <unistd.h>

namespace {

QTextStream& out() {
    static QTextStream s(stdout);
    return s;
}
QTextStream& err() {
    static QTextStream s(stderr);
    return s;
}

// Language of the program's settings file (English when there is none).
void applySettingsLanguage(const Product& p) {
    const SetupSettings settings(defaultSettingsFile());
    const bool chinese =
        p.persistsLanguage && settings.currentLanguage(LanguageEnglish) == LanguageChinese;
    setCurrentLanguage(chinese ? LanguageChinese : LanguageEnglish);
    // The system's reasons beside "file error." ("No space left on device") are Qt's texts:
    // in Chinese from Qt's own translations, as in the windows.
    static QTranslator qtTexts;
    if (chinese &&
        qtTexts.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qt"),
                     QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTexts);
}

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

void printUsage(const Product& p, QTextStream& o) {
    for (const QString& line : usageLines(p))
        o << line << '\n';
    o.flush();
}

int usage(const Product& p) {
    printUsage(p, err());
    return ExitUsageOrFile;
}

// A usage error of a command: what is wrong, naming the option, then the command's usage lines.
int usage(const Product& p, const QString& command, const QString& why) {
    const QString cli = QStringLiteral("%1-cli").arg(p.program);
    err() << cli << ' ' << command << ": " << why << '\n' << "Usage:\n";
    const QString prefix = QStringLiteral("  %1 %2 ").arg(cli, command);
    for (const QString& line : usageLines(p))
        if (line.startsWith(prefix)) err() << line << '\n';
    err() << QStringLiteral("Run %1 --help for every command and option.").arg(cli) << '\n';
    err().flush();
    return ExitUsageOrFile;
}

// Parses "-o FILE" style options of a subcommand; returns false on an unknown option.
struct SubArgs {
    QStringList positional;
    QString output;
    QString port;
    QStringList ports; // every --port, in order
    QString image;     // --image: raw radio memory file
    QString trace;     // --trace: copy of the session trace
    QString log;       // --log: CSV record of each radio
    int retries = 0;
    int group = -1; // --group A..F
    bool overwrite = false;
    bool verify = false; // --verify: read back and compare after a write
    bool timing = false;
    bool repeat = false;
    bool ok = true;
    QString problem;                                 // the first usage error, naming the option
    RadioOperation operation = RadioOperation::Idle; // read or write: what a log row names

    // Several ports, or one port again and again: a fleet run.
    bool fleet() const { return ports.size() > 1 || repeat; }
    bool fleetOptions() const { return fleet() || !log.isEmpty(); }
};

SubArgs parseSubArgs(const QStringList& args) {
    SubArgs r;
    const auto refuse = [&r](const QString& why) {
        if (r.ok) r.problem = why;
        r.ok = false;
    };
    // The value of option i; empty (and refused) when it is missing.
    const auto value = [&](qsizetype& i) {
        if (i + 1 < args.size()) return args.at(++i);
        refuse(QStringLiteral("%1 needs a value.").arg(args.at(i)));
        return QString();
    };
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (a == QLatin1String("-o") || a == QLatin1String("--output")) {
            r.output = value(i);
        } else if (a == QLatin1String("--port") || a == QLatin1String("-p")) {
            r.port = value(i);
            if (!r.port.isEmpty()) r.ports << r.port;
        } else if (a == QLatin1String("--image") || a == QLatin1String("--trace")) {
            (a == QLatin1String("--image") ? r.image : r.trace) = value(i);
        } else if (a == QLatin1String("--retries")) {
            const QString n = value(i);
            bool ok = false;
            r.retries = n.toInt(&ok);
            if (!n.isEmpty() && (!ok || r.retries < 0))
                refuse(QStringLiteral("--retries %1: the number of retries is a whole number, "
                                      "0 or more.")
                           .arg(n));
        } else if (a == QLatin1String("--group")) {
            const QString letter = value(i);
            r.group = groupFromLetter(letter);
            if (!letter.isEmpty() && r.group < 0)
                refuse(
                    QStringLiteral("--group %1: the group is a letter from A to F.").arg(letter));
        } else if (a == QLatin1String("--overwrite")) {
            r.overwrite = true;
        } else if (a == QLatin1String("--verify")) {
            r.verify = true;
        } else if (a == QLatin1String("--timing")) {
            r.timing = true;
        } else if (a == QLatin1String("--repeat")) {
            r.repeat = true;
        } else if (a == QLatin1String("--log")) {
            r.log = value(i);
        } else if (a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            refuse(QStringLiteral("%1 is not an option.").arg(a));
        } else {
            r.positional << a;
        }
    }
    return r;
}

// The usage errors every command shares: an option that cannot be parsed, too many or too few
// file names (named as the usage names them: FILE.dat, OUT.csv), an -o that the command does
// not take. Empty when there is none.
QString commonProblem(const QString& command, const SubArgs& a, const QStringList& files,
                      bool takesOutput = false) {
    if (!a.ok) return a.problem;
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

// Saves the configuration as a data file; the reason for a failure goes to stderr.
int saveAs(Document& doc, const QString& path) {
    doc.takeSnapshot();
    QString why;
    if (!writeRecordFile(doc.product(), doc.snapshot(), path, &why)) {
        err() << messageText(Msg::FileError) << '\n' << path << ": " << why << '\n';
        return ExitUsageOrFile;
    }
    return ExitOk;
}

int newCommand(const Product& p, const QStringList& args) {
    const SubArgs a = parseSubArgs(args);
    QString why = commonProblem(QStringLiteral("new"), a, {}, true);
    if (why.isEmpty() && a.output.isEmpty())
        why = QStringLiteral("-o is missing: it names the new data file.");
    if (!why.isEmpty()) return usage(p, QStringLiteral("new"), why);
    Document doc(p);
    doc.initialiseDefaults();
    return saveAs(doc, a.output);
}

void describe(const Document& doc, QTextStream& o) {
    const Product& p = doc.product();
    const RadioConfig& c = doc.config();
    o << "Product: " << p.productName << '\n';
    if (p.hasVersionField) o << "Version: " << c.version.text() << '\n';
    o << "Model: " << doc.currentModel << '\n';
    o << "Band: " << doc.currentBand << '\n';
    o << "Created: " << shownFieldText(c.modelInfo.createDate.raw()) << '\n';
    o << "Software version: " << shownFieldText(c.modelInfo.softwareVersionText.raw()) << '\n';
    for (int g = 0; g < GroupCount; ++g) {
        const int count = std::clamp<int>(c.groupChannelCount[size_t(g)], 0, ChannelsPerGroup);
        o << '\n'
          << "Group " << groupLetter(g) << ": " << count << (count == 1 ? " channel" : " channels");
        const int emergency = OptionWord::FirstEmergencyChannel + g;
        if (p.optionWordCount > emergency)
            o << ", emergency channel " << c.optionWords[size_t(emergency)] + 1;
        o << '\n';
        for (int k = 1; k <= count; ++k) {
            const ChannelEntry& e = c.entry(g, k);
            QStringList flags;
            for (int i = 1; i <= 7; ++i)
                if (e.channelFlags[size_t(i)] == 1) flags << channelFlagName(i);
            o << QStringLiteral("  %1  RX %2  TX %3  Scan %4  Flags %5")
                     .arg(e.channelNo, 2)
                     .arg(shownFrequency(doc, e.rxFreq.text()), -9)
                     .arg(shownFrequency(doc, e.txFreq.text()), -9)
                     .arg(e.scanFlag == 1 ? QStringLiteral("Add") : QStringLiteral("Del"))
                     .arg(flags.isEmpty() ? QStringLiteral("none") : flags.join(QLatin1Char(' ')))
              << '\n';
        }
    }
    o << '\n' << "Options:" << '\n';
    for (int i = 0; i < p.optionWordCount; ++i) {
        const QString stored = QString::number(c.optionWords[size_t(i)]);
        const QString shown = shownOptionWord(doc, i);
        o << QStringLiteral("  %1 %2 = %3").arg(i, 2).arg(QLatin1String(OptionWordLabels[i]), shown)
          << (shown == stored ? QString() : QStringLiteral(" (stored %1)").arg(stored)) << '\n';
    }
    o << '\n';
    for (int line = 0; line < 2; ++line)
        o << "Message line " << line + 1 << ": \""
          << QString::fromLatin1(c.embeddedMessage[size_t(line)].untilNul()) << "\"\n";
}

// Opens a data file with the version check; the reason for a refusal goes to stderr.
bool openConfigFile(Document& doc, const QString& path) {
    return openDataFile(doc, path) == OpenResult::Opened;
}

int showCommand(const Product& p, const QStringList& args) {
    const SubArgs a = parseSubArgs(args);
    const QString why = commonProblem(QStringLiteral("show"), a, {QStringLiteral("FILE.dat")});
    if (!why.isEmpty()) return usage(p, QStringLiteral("show"), why);
    Document doc(p);
    doc.initialiseDefaults();
    if (!openConfigFile(doc, a.positional.first())) return ExitUsageOrFile;
    describe(doc, out());
    out().flush();
    return ExitOk;
}

// Answers the session's questions the way the options say and prints every message.
class CliMessages : public MessageService {
  public:
    CliMessages(int retries, bool overwrite) : m_retries(retries), m_overwrite(overwrite) {}
    MsgAnswer ask(const MessageRequest& r) override {
        switch (r.id) {
        case Msg::ReadConfirm:
        case Msg::WriteConfirm:
            return MsgAnswer::Ok; // running the command is the consent
        default:
            break;
        }
        endProgressLine();
        err() << QString(r.text).replace(QLatin1String("\r\n"), QLatin1String("\n")) << '\n';
        if (!r.informative.isEmpty()) err() << r.informative << '\n';
        MsgAnswer answer = MsgAnswer::Ok;
        if (r.id == Msg::ModelWrongOverwrite) {
            answer = m_overwrite ? MsgAnswer::Ok : MsgAnswer::Cancel;
        } else if (r.id == Msg::CheckConnection) {
            const bool again = m_retries > 0;
            if (again) --m_retries;
            answer = again
                         ? (r.buttons == MsgButtons::RetryCancel ? MsgAnswer::Retry : MsgAnswer::Ok)
                         : MsgAnswer::Cancel;
            err() << (again ? "-> trying again\n" : "-> giving up\n");
        } else if (r.buttons != MsgButtons::Ok) {
            answer = MsgAnswer::Cancel;
        }
        err().flush();
        return answer;
    }
    void progress(int percent) {
        if (!m_tty) return;
        const int filled = percent * 30 / 100;
        err() << "\r[" << QString(filled, QLatin1Char('#'))
              << QString(30 - filled, QLatin1Char(' ')) << "] " << percent << "%";
        err().flush();
        m_progressShown = true;
    }
    void endProgressLine() {
        if (m_progressShown) err() << '\n';
        m_progressShown = false;
    }

  private:
    int m_retries;
    bool m_overwrite;
    bool m_tty = ::isatty(2) == 1;
    bool m_progressShown = false;
};

// Runs one operation on the port to its end; returns its exit code.
int runSession(Document& doc, const SubArgs& a, const std::function<bool(RadioSession&)>& start,
               FleetRecord* record = nullptr) {
    CliMessages msgs(a.retries, a.overwrite);
    setMessageService(&msgs);
    const QString device = resolvePortName(a.port, defaultSettingsFile());
    if (device.isEmpty()) {
        err() << messageText(Msg::PortOpenError) << '\n'
              << a.port
              << " has no serial device on this computer. Plug in the programming "
                 "cable, or give the device path (/dev/ttyUSB0).\n";
        setMessageService(nullptr);
        return ExitPortError;
    }
    PortLink link;
    RadioSession session(doc, link);
    session.setPortName(device);
    SessionTrace trace(doc.product());
    trace.setCopyPath(a.trace);
    session.setTrace(&trace);
    session.setVerifyAfterWrite(a.verify);
    session.setMemoryDiffer(diffRadioImages);
    QEventLoop loop;
    QObject::connect(&session, &RadioSession::progressChanged, &loop,
                     [&](int pc) { msgs.progress(pc); });
    QObject::connect(&session, &RadioSession::finished, &loop, [&] { loop.quit(); });
    // Ctrl+C, SIGTERM or a closed terminal cancel the session: the radio is let go with "E".
    StopSignals& stop = StopSignals::instance();
    int stoppedBy = stop.received();
    RadioOperation stoppedIn = RadioOperation::Idle;
    bool partlyWritten = false;
    QObject::connect(&stop, &StopSignals::stopRequested, &loop, [&](int signal) {
        // A session that has just ended is not stopped any more.
        if (stoppedBy != 0 || !session.busy()) return;
        stoppedBy = signal;
        stoppedIn = session.operation();
        partlyWritten = session.writingData();
        session.cancel();
    });
    QElapsedTimer clock;
    const QDateTime started = QDateTime::currentDateTime();
    clock.start();
    // A stop that came before the session began: the radio is not touched.
    if (stoppedBy == 0 && start(session)) loop.exec();
    const double ms = double(clock.nsecsElapsed()) / 1e6;
    if (record) {
        record->started = started;
        record->port = a.port;
        record->device = device;
        record->operation = a.operation;
        record->failure = session.lastFailure();
        record->seconds = ms / 1000;
        record->partlyWritten = partlyWritten;
        describeRadio(doc.product(), session, *record);
        if (stoppedBy != 0 && record->failure == SessionFailure::None)
            record->failure = SessionFailure::Cancelled;
    }
    msgs.endProgressLine();
    if (stoppedBy != 0) {
        err() << StopSignals::describe(stoppedBy) << '\n';
        FleetRecord radio;
        describeRadio(doc.product(), session, radio);
        if (partlyWritten)
            err() << a.port << ": " << partlyWrittenText(radio.model) << '\n';
        else if (stoppedIn == RadioOperation::Verify)
            err() << tr2("The radio was written; reading it back to verify it was stopped.",
                         "对讲机已写入；回读校验已停止。")
                  << '\n';
        else if (stoppedIn == RadioOperation::Read)
            err() << tr2("Nothing was changed and no file was written.",
                         "未做任何更改，也未写入文件。")
                  << '\n';
        else
            err() << tr2("Nothing was changed.", "未做任何更改。") << '\n';
    }
    if (a.timing)
        err() << QStringLiteral("timing: %1 ms, %2 exchanges, %3 bytes\n")
                     .arg(ms, 0, 'f', 3)
                     .arg(session.framesSent())
                     .arg(session.bytesMoved());
    setMessageService(nullptr);
    int rc = stoppedBy != 0 ? ExitNoAnswer : exitCodeFor(session.lastFailure());
    // The kept trace is a help, not the command's result; the copy was asked for.
    if (!trace.lastError().isEmpty())
        err() << tr2("Warning: the session trace was not kept: ", "警告：未保存通信记录：")
              << trace.lastError() << '\n';
    if (!trace.copyError().isEmpty()) {
        err() << messageText(Msg::FileError) << '\n' << trace.copyError() << '\n';
        if (rc == ExitOk) rc = ExitUsageOrFile;
    }
    return rc;
}

// Opens the --log file, when there is one, before the radio is touched; false (with the
// reason on stderr) when it cannot be written.
bool openLog(const SubArgs& a, FleetLog& log) {
    QString why;
    if (a.log.isEmpty() || log.open(a.log, &why)) return true;
    err() << messageText(Msg::FileError) << '\n' << a.log << ": " << why << '\n';
    return false;
}

// Appends the radio's row to the --log file, when there is one; returns the command's code.
int logRadio(const SubArgs& a, const Product& p, FleetLog& log, FleetRecord& record, int rc) {
    if (a.log.isEmpty()) return rc;
    if (rc == ExitUsageOrFile && record.failure == SessionFailure::None)
        record.fileError = QStringLiteral("not saved");
    QString why;
    if (!log.append(p.program, record, &why)) {
        err() << messageText(Msg::FileError) << '\n' << a.log << ": " << why << '\n';
        return std::max<int>(rc, ExitUsageOrFile);
    }
    return rc;
}

// Writes the raw radio memory to a file (replaced only when complete).
int saveImage(const QByteArray& image, const QString& path) {
    QString why;
    if (!writeWholeFile(path, image, &why)) {
        err() << messageText(Msg::FileError) << '\n' << path << ": " << why << '\n';
        return ExitUsageOrFile;
    }
    return ExitOk;
}

// After a read: a backup of the radio, then the files asked for.
int keepReadFiles(Document& doc, const SubArgs& a, const QByteArray& image) {
    const Product& p = doc.product();
    // Every read keeps the radio as it was; a backup that cannot be kept does not fail it.
    QString why;
    if (!keepBackupImage(p, doc.currentModel, image, &why))
        err() << tr2("Warning: no backup image of the radio was kept: ",
                     "警告：未保存对讲机的备份映像：")
              << why << '\n';
    // Each file asked for is written even when another one cannot be.
    int rc = a.image.isEmpty() ? ExitOk : saveImage(image, a.image);
    if (!a.output.isEmpty()) rc = std::max(rc, saveAs(doc, a.output));
    return rc;
}

// The sessions of several ports at once, or of one port again and again (--repeat).
int fleetCommand(const Document& doc, const SubArgs& a, const QByteArray& image = {}) {
    FleetOptions options;
    options.operation = a.operation;
    options.image = image;
    options.file = a.image.isEmpty() ? a.positional.value(0) : a.image;
    options.retries = a.retries;
    options.overwrite = a.overwrite;
    options.verify = a.verify;
    options.differ = diffRadioImages;
    options.repeat = a.repeat;
    options.settingsFile = defaultSettingsFile();
    FleetCommand command;
    command.ports = a.ports;
    command.outputDir = a.output;
    command.logPath = a.log;
    command.settingsFile = defaultSettingsFile();
    return runFleet(doc, options, command, out(), err());
}

// What a fleet run cannot take: one trace copy or timing for many sessions, a raw image
// file for many reads, the same port twice. Empty when it can take the options.
QString fleetProblem(const SubArgs& a) {
    if (!a.fleet()) return {};
    const QString many =
        a.repeat ? QStringLiteral("with --repeat") : QStringLiteral("with several ports");
    if (!a.trace.isEmpty())
        return QStringLiteral("--trace cannot be used %1: it keeps the trace of one session.")
            .arg(many);
    if (a.timing)
        return QStringLiteral("--timing cannot be used %1: it times one session.").arg(many);
    if (a.operation == RadioOperation::Read && !a.image.isEmpty())
        return QStringLiteral("--image cannot be used %1: each radio is read into a data file of "
                              "the folder -o names.")
            .arg(many);
    // Two names of one device would fight over it.
    QHash<QString, QString> seen; // device -> the port argument that named it first
    for (const QString& port : a.ports) {
        const QString device = resolvePortName(port, defaultSettingsFile());
        const QString canonical = QFileInfo(device).canonicalFilePath();
        const QString key = !canonical.isEmpty() ? canonical
                            : !device.isEmpty()  ? device
                                                 : port.toUpper();
        const auto first = seen.constFind(key);
        if (first == seen.cend()) {
            seen.insert(key, port);
        } else if (*first == port) {
            return QStringLiteral("--port %1 is given twice.").arg(port);
        } else {
            return QStringLiteral("--port %1 and --port %2 are the same port (%3).")
                .arg(*first, port, device.isEmpty() ? port : device);
        }
    }
    return {};
}

int readCommand(const Product& p, const QStringList& args) {
    SubArgs a = parseSubArgs(args);
    a.operation = RadioOperation::Read;
    QString why = commonProblem(QStringLiteral("read"), a, {}, true);
    if (why.isEmpty() && a.port.isEmpty()) why = missingPort();
    if (why.isEmpty() && a.output.isEmpty() && a.image.isEmpty())
        why = QStringLiteral("-o OUT.dat or --image OUT.img is missing: it names the file the "
                             "radio is read into.");
    if (why.isEmpty()) why = fleetProblem(a);
    if (!why.isEmpty()) return usage(p, QStringLiteral("read"), why);
    Document doc(p);
    doc.initialiseDefaults();
    if (a.fleet()) return fleetCommand(doc, a);
    FleetLog log;
    if (!openLog(a, log)) return ExitUsageOrFile;
    QByteArray image; // the radio's memory as read, once the read succeeded
    FleetRecord record;
    record.file = a.output.isEmpty() ? a.image : a.output;
    int rc = runSession(
        doc, a,
        [&image](RadioSession& s) {
            QObject::connect(&s, &RadioSession::finished, &s,
                             [&image, &s](RadioOperation, bool ok) {
                                 if (ok) image = s.radioImage();
                             });
            return s.readFromRadio();
        },
        &record);
    // A radio that was read is kept also when only the trace copy could not be; a stopped
    // read writes nothing.
    if (!image.isEmpty() && (rc == ExitOk || rc == ExitUsageOrFile))
        rc = std::max(rc, keepReadFiles(doc, a, image));
    return logRadio(a, p, log, record, rc);
}

// Reads a raw image for a write: exactly the memory size, and decodable, so that the radio's
// identity can be checked against the model and band it names. Nothing is sent otherwise.
bool openImageFile(Document& doc, const QString& path, QByteArray* image) {
    const Product& p = doc.product();
    const FileRead file = readRegularFile(path, qint64(p.memorySize) + 1);
    if (!file.ok()) {
        err() << messageText(Msg::FileError) << '\n' << file.problem << '\n';
        return false;
    }
    *image = file.bytes;
    if (image->size() != p.memorySize) {
        err() << tr2("%1: a %2 radio image has exactly %3 bytes; this file has %4.",
                     "%1：%2 对讲机映像应正好为 %3 字节；此文件为 %4 字节。")
                     .arg(path, p.program)
                     .arg(p.memorySize)
                     .arg(QFileInfo(path).size())
              << '\n';
        return false;
    }
    if (const auto error = parseRadioImage(doc, *image)) {
        err() << tr2("%1: the radio image cannot be used: %2", "%1：对讲机映像无法使用：%2")
                     .arg(path, *error)
              << '\n';
        return false;
    }
    return true;
}

int writeCommand(const Product& p, const QStringList& args) {
    SubArgs a = parseSubArgs(args);
    a.operation = RadioOperation::Write;
    QString why =
        commonProblem(QStringLiteral("write"), a,
                      a.image.isEmpty() ? QStringList{QStringLiteral("IN.dat")} : QStringList{});
    if (why.isEmpty() && a.port.isEmpty()) why = missingPort();
    if (why.isEmpty() && a.overwrite && !p.identityAsksOverwrite)
        why = QStringLiteral("--overwrite is not an option of %1-cli: it writes only radios of "
                             "its own model.")
                  .arg(p.program);
    if (why.isEmpty()) why = fleetProblem(a);
    if (!why.isEmpty()) return usage(p, QStringLiteral("write"), why);
    Document doc(p);
    doc.initialiseDefaults();
    QByteArray image;
    if (!a.image.isEmpty() ? !openImageFile(doc, a.image, &image)
                           : !openConfigFile(doc, a.positional.first()))
        return ExitUsageOrFile;
    if (a.fleet()) return fleetCommand(doc, a, image);
    FleetLog log;
    if (!openLog(a, log)) return ExitUsageOrFile;
    FleetRecord record;
    record.file = a.image.isEmpty() ? a.positional.first() : a.image;
    const int rc = runSession(
        doc, a,
        [&image](RadioSession& s) {
            return image.isEmpty() ? s.writeToRadio() : s.writeImageToRadio(image);
        },
        &record);
    return logRadio(a, p, log, record, rc);
}

int infoCommand(const Product& p, const QStringList& args) {
    const SubArgs a = parseSubArgs(args);
    QString why = commonProblem(QStringLiteral("info"), a, {});
    if (why.isEmpty() && a.port.isEmpty()) why = missingPort();
    if (why.isEmpty() && !a.image.isEmpty())
        why = QStringLiteral("--image is not an option of info.");
    if (why.isEmpty() && a.fleetOptions())
        why = QStringLiteral("info reads one radio: one --port, without --repeat or --log.");
    if (!why.isEmpty()) return usage(p, QStringLiteral("info"), why);
    Document doc(p);
    doc.initialiseDefaults();
    LocalInformation info;
    const int rc = runSession(doc, a, [&info](RadioSession& s) {
        s.setLocalInformation(defaultLocalInformation(QDate::currentDate()));
        QObject::connect(&s, &RadioSession::informationRead, &s,
                         [&info, &s] { info = s.localInformation(); });
        return s.readInformation(true);
    });
    if (rc != ExitOk) return rc;
    // Screen order of the information window.
    static const int order[12] = {0, 6, 7, 1, 2, 3, 5, 4, 8, 9, 10, 11};
    for (int i : order)
        out() << localInformationLabel(i, LanguageEnglish) << ": " << shownLocalInformation(info, i)
              << '\n';
    return ExitOk;
}

int exportCsvCommand(const Product& p, const QStringList& args) {
    const SubArgs a = parseSubArgs(args);
    const QString problem = commonProblem(QStringLiteral("export-csv"), a,
                                          {QStringLiteral("FILE.dat"), QStringLiteral("OUT.csv")});
    if (!problem.isEmpty()) return usage(p, QStringLiteral("export-csv"), problem);
    Document doc(p);
    doc.initialiseDefaults();
    if (!openConfigFile(doc, a.positional.at(0))) return ExitUsageOrFile;
    QString why;
    if (!writeWholeFile(a.positional.at(1), exportChannelsCsv(doc), &why)) {
        err() << messageText(Msg::FileError) << '\n' << a.positional.at(1) << ": " << why << '\n';
        return ExitUsageOrFile;
    }
    return ExitOk;
}

// The whole configuration printed as a PDF file, in the language of the settings file
// unless --language names one.
int printCommand(const Product& p, const QStringList& args) {
    QStringList rest;
    int language = currentLanguage();
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args.at(i) != QLatin1String("--language")) {
            rest << args.at(i);
            continue;
        }
        if (i + 1 >= args.size())
            return usage(p, QStringLiteral("print"), QStringLiteral("--language needs a value."));
        const QString& name = args.at(++i);
        if (name == QLatin1String("en"))
            language = LanguageEnglish;
        else if (name == QLatin1String("zh"))
            language = LanguageChinese;
        else
            return usage(p, QStringLiteral("print"),
                         QStringLiteral("--language %1: the language is en (English) or zh "
                                        "(Chinese).")
                             .arg(name));
    }
    const SubArgs a = parseSubArgs(rest);
    QString problem = commonProblem(QStringLiteral("print"), a, {QStringLiteral("FILE.dat")}, true);
    if (problem.isEmpty() && a.output.isEmpty())
        problem = QStringLiteral("-o is missing: it names the PDF file to write.");
    if (problem.isEmpty() && !a.port.isEmpty())
        problem = QStringLiteral("--port is not an option of print.");
    if (!problem.isEmpty()) return usage(p, QStringLiteral("print"), problem);
    // Text layout and fonts need the GUI application that cliMain makes for this command.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        err() << "print: no text rendering available in this process.\n";
        return ExitUsageOrFile;
    }
    Document doc(p);
    doc.initialiseDefaults();
    if (!openConfigFile(doc, a.positional.first())) return ExitUsageOrFile;
    const Report report(doc, PrintSelection::everything(), language);
    QString why;
    if (!writeReportPdf(report, a.output, &why)) {
        err() << messageText(Msg::FileError) << '\n' << a.output << ": " << why << '\n';
        return ExitUsageOrFile;
    }
    return ExitOk;
}

int importCsvCommand(const Product& p, const QStringList& args) {
    const SubArgs a = parseSubArgs(args);
    const QString problem = commonProblem(QStringLiteral("import-csv"), a,
                                          {QStringLiteral("IN.csv"), QStringLiteral("FILE.dat")});
    if (!problem.isEmpty()) return usage(p, QStringLiteral("import-csv"), problem);
    const FileRead in = readChannelListFile(a.positional.at(0));
    if (!in.ok()) {
        err() << messageText(Msg::FileError) << '\n' << in.problem << '\n';
        return ExitUsageOrFile;
    }
    const QByteArray& data = in.bytes;
    Document doc(p);
    doc.initialiseDefaults();
    if (!openConfigFile(doc, a.positional.at(1))) return ExitUsageOrFile;
    const ChannelImportResult r = importChannelsCsv(doc, data, a.group);
    if (!r.ok) {
        err() << tr2("No channels were imported; %1 is unchanged.", "未导入任何信道；%1 未改变。")
                     .arg(a.positional.at(1))
              << '\n';
        for (const QString& line : r.problems)
            err() << "  " << line << '\n';
        if (r.kind == ChannelCsvKind::OtherTool && a.group < 0)
            err() << "  --group A..F names the group.\n";
        return ExitUsageOrFile;
    }
    if (!saveDataFile(doc)) return ExitUsageOrFile;
    err() << importedChannelsText(r) << '\n';
    return ExitOk;
}

// Exit code of diff when a file cannot be compared, as diff(1) has it: 0 and 1 are taken by
// "equal" and "different".
constexpr int DiffTrouble = 2;

int diffCommand(const Product& p, const QStringList& args) {
    const SubArgs a = parseSubArgs(args);
    const QString why = commonProblem(QStringLiteral("diff"), a,
                                      {QStringLiteral("A.dat"), QStringLiteral("B.dat")});
    if (!why.isEmpty()) {
        usage(p, QStringLiteral("diff"), why);
        return DiffTrouble;
    }
    Document da(p), db(p);
    da.initialiseDefaults();
    db.initialiseDefaults();
    if (!openConfigFile(da, a.positional.at(0)) || !openConfigFile(db, a.positional.at(1)))
        return DiffTrouble;
    const QStringList lines = diffConfigurations(da, db, a.positional.at(0), a.positional.at(1));
    for (const QString& line : lines)
        out() << line << '\n';
    return lines.isEmpty() ? ExitOk : 1;
}

} // namespace

int runCli(const Product& p, const QStringList& args) {
    setProgramTitle(p.productName);
    applySettingsLanguage(p);
    if (args.isEmpty()) return usage(p);
    const QString& cmd = args.first();
    if (cmd == QLatin1String("--help") || cmd == QLatin1String("-h")) {
        printUsage(p, out());
        return ExitOk;
    }
    if (cmd == QLatin1String("--version")) {
        out() << p.program << "-cli " << PROGRAM_VERSION << '\n';
        out().flush();
        return ExitOk;
    }
    const QStringList rest = args.mid(1);
    // Only a write has something to verify.
    static const QStringList commands{
        QStringLiteral("new"),        QStringLiteral("show"), QStringLiteral("read"),
        QStringLiteral("write"),      QStringLiteral("info"), QStringLiteral("export-csv"),
        QStringLiteral("import-csv"), QStringLiteral("diff"), QStringLiteral("print")};
    if (cmd != QLatin1String("write") && commands.contains(cmd) &&
        rest.contains(QLatin1String("--verify")))
        return usage(
            p, cmd,
            QStringLiteral("--verify is not an option of %1: only a write is read back.").arg(cmd));
    int rc = ExitUsageOrFile;
    if (cmd == QLatin1String("new"))
        rc = newCommand(p, rest);
    else if (cmd == QLatin1String("show"))
        rc = showCommand(p, rest);
    else if (cmd == QLatin1String("read"))
        rc = readCommand(p, rest);
    else if (cmd == QLatin1String("write"))
        rc = writeCommand(p, rest);
    else if (cmd == QLatin1String("info"))
        rc = infoCommand(p, rest);
    else if (cmd == QLatin1String("export-csv"))
        rc = exportCsvCommand(p, rest);
    else if (cmd == QLatin1String("import-csv"))
        rc = importCsvCommand(p, rest);
    else if (cmd == QLatin1String("diff"))
        rc = diffCommand(p, rest);
    else if (cmd == QLatin1String("print"))
        rc = printCommand(p, rest);
    else {
        err() << p.program << "-cli: " << cmd << " is not a command.\n";
        rc = usage(p);
    }
    out().flush();
    err().flush();
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
    return runCli(p, args);
}
