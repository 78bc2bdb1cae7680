#include "cli.h"

#include "clifleet.h"

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
#include <QSaveFile>
#include <QTextStream>
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
}

void printUsage(const Product& p, QTextStream& o) {
    o << "Usage:\n"
      << "  " << p.program << "-cli new -o OUT.dat\n"
      << "  " << p.program << "-cli show FILE.dat\n"
      << "  " << p.program
      << "-cli read --port PORT (-o OUT.dat | --image OUT.img | both) [--retries N] "
         "[--trace FILE]\n"
      << "  " << p.program << "-cli write --port PORT (IN.dat | --image IN.img) [--retries N]"
      << (p.identityAsksOverwrite ? " [--overwrite]" : "") << " [--verify] [--trace FILE]\n"
      << "  " << p.program
      << "-cli read --port P1 --port P2 ... -o DIR [--repeat] [--log FILE.csv] [--retries N]\n"
      << "  " << p.program
      << "-cli write --port P1 --port P2 ... (IN.dat | --image IN.img) [--repeat] "
         "[--log FILE.csv] [--retries N] [--verify]\n"
      << "  " << p.program << "-cli info --port PORT [--retries N] [--trace FILE]\n"
      << "  " << p.program << "-cli export-csv FILE.dat OUT.csv\n"
      << "  " << p.program << "-cli import-csv IN.csv FILE.dat [--group A..F]\n"
      << "  " << p.program << "-cli diff A.dat B.dat   (exit 0 equal, 1 different, 2 trouble)\n"
      << "  " << p.program << "-cli print FILE.dat -o OUT.pdf [--language en|zh]\n"
      << "PORT is a device path (/dev/ttyUSB0) or COM1..COM8.\n"
      << "--image: the radio's raw memory (" << p.memorySize
      << " bytes); --trace: the bytes of the session.\n"
      << "Several --port: one session per port at once, a summary table at the end, the exit\n"
      << "code is the highest of any radio. --repeat: one radio after another on each port\n"
      << "until Ctrl+C. --log: one CSV row per radio appended to FILE.csv.\n"
      << "--verify: read the radio back after the write; exit 5 when it holds something else.\n"
      << "Exit codes: 0 done, 1 usage or file, 2 port, 3 radio identity, 4 no answer or lost,\n"
      << "  5 written, but the radio holds something else.\n"
      << "  " << p.program << "-cli --help | --version\n";
    o.flush();
}

int usage(const Product& p) {
    printUsage(p, err());
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
    RadioOperation operation = RadioOperation::Idle; // read or write: what a log row names

    // Several ports, or one port again and again: a fleet run.
    bool fleet() const { return ports.size() > 1 || repeat; }
    bool fleetOptions() const { return fleet() || !log.isEmpty(); }
};

SubArgs parseSubArgs(const QStringList& args) {
    SubArgs r;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (a == QLatin1String("-o") || a == QLatin1String("--output")) {
            if (i + 1 >= args.size()) {
                r.ok = false;
                break;
            }
            r.output = args.at(++i);
        } else if (a == QLatin1String("--port") || a == QLatin1String("-p")) {
            if (i + 1 >= args.size()) {
                r.ok = false;
                break;
            }
            r.port = args.at(++i);
            r.ports << r.port;
        } else if (a == QLatin1String("--image") || a == QLatin1String("--trace")) {
            if (i + 1 >= args.size()) {
                r.ok = false;
                break;
            }
            (a == QLatin1String("--image") ? r.image : r.trace) = args.at(++i);
        } else if (a == QLatin1String("--retries")) {
            bool ok = false;
            r.retries = i + 1 < args.size() ? args.at(++i).toInt(&ok) : -1;
            if (!ok || r.retries < 0) r.ok = false;
        } else if (a == QLatin1String("--group")) {
            r.group = i + 1 < args.size() ? groupFromLetter(args.at(++i)) : -1;
            if (r.group < 0) r.ok = false;
        } else if (a == QLatin1String("--overwrite")) {
            r.overwrite = true;
        } else if (a == QLatin1String("--verify")) {
            r.verify = true;
        } else if (a == QLatin1String("--timing")) {
            r.timing = true;
        } else if (a == QLatin1String("--repeat")) {
            r.repeat = true;
        } else if (a == QLatin1String("--log")) {
            if (i + 1 >= args.size()) {
                r.ok = false;
                break;
            }
            r.log = args.at(++i);
        } else if (a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            r.ok = false;
        } else {
            r.positional << a;
        }
    }
    return r;
}

// Saves the configuration as a data file; the reason for a failure goes to stderr.
int saveAs(Document& doc, const QString& path) {
    doc.takeSnapshot();
    QString why;
    if (!writeRecordFile(doc.product(), doc.snapshot, path, &why)) {
        err() << messageText(Msg::FileError) << '\n' << path << ": " << why << '\n';
        return ExitUsageOrFile;
    }
    return ExitOk;
}

int newCommand(const Product& p, const QStringList& args) {
    const SubArgs a = parseSubArgs(args);
    if (!a.ok || a.output.isEmpty() || !a.positional.isEmpty()) return usage(p);
    Document doc(p);
    doc.initialiseDefaults();
    return saveAs(doc, a.output);
}

void describe(const Document& doc, QTextStream& o) {
    const Product& p = doc.product();
    const RadioConfig& c = doc.config;
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
    if (!a.ok || a.positional.size() != 1 || !a.output.isEmpty()) return usage(p);
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
    QElapsedTimer clock;
    const QDateTime started = QDateTime::currentDateTime();
    clock.start();
    if (start(session)) loop.exec();
    const double ms = double(clock.nsecsElapsed()) / 1e6;
    if (record) {
        record->started = started;
        record->port = a.port;
        record->device = device;
        record->operation = a.operation;
        record->failure = session.lastFailure();
        record->seconds = ms / 1000;
        describeRadio(doc.product(), session, *record);
    }
    msgs.endProgressLine();
    if (a.timing)
        err() << QStringLiteral("timing: %1 ms, %2 exchanges, %3 bytes\n")
                     .arg(ms, 0, 'f', 3)
                     .arg(session.framesSent())
                     .arg(session.bytesMoved());
    setMessageService(nullptr);
    int rc = exitCodeFor(session.lastFailure());
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

// Appends the radio's row to the --log file, when there is one; returns the command's code.
int logRadio(const SubArgs& a, const Product& p, FleetRecord& record, int rc) {
    if (a.log.isEmpty()) return rc;
    if (rc == ExitUsageOrFile && record.failure == SessionFailure::None)
        record.fileError = QStringLiteral("not saved");
    QString why;
    if (!appendFleetLog(a.log, p.program, record, &why)) {
        err() << messageText(Msg::FileError) << '\n' << a.log << ": " << why << '\n';
        return std::max<int>(rc, ExitUsageOrFile);
    }
    return rc;
}

// Writes the raw radio memory to a file (replaced only when complete).
int saveImage(const QByteArray& image, const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(image) != image.size() || !file.commit()) {
        err() << messageText(Msg::FileError) << '\n' << path << ": " << file.errorString() << '\n';
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
    if (!a.image.isEmpty() && saveImage(image, a.image) != ExitOk) return ExitUsageOrFile;
    return a.output.isEmpty() ? ExitOk : saveAs(doc, a.output);
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
    FleetCommand command;
    command.ports = a.ports;
    command.outputDir = a.output;
    command.logPath = a.log;
    command.settingsFile = defaultSettingsFile();
    return runFleet(doc, options, command, out(), err());
}

// What a fleet run cannot take: one trace copy or timing for many sessions, a raw image
// file for many reads.
bool fleetUsageOk(const SubArgs& a) {
    return !a.fleet() || (a.trace.isEmpty() && !a.timing &&
                          (a.operation == RadioOperation::Write || a.image.isEmpty()));
}

int readCommand(const Product& p, const QStringList& args) {
    SubArgs a = parseSubArgs(args);
    a.operation = RadioOperation::Read;
    if (!a.ok || a.port.isEmpty() || (a.output.isEmpty() && a.image.isEmpty()) ||
        !a.positional.isEmpty() || !fleetUsageOk(a))
        return usage(p);
    Document doc(p);
    doc.initialiseDefaults();
    if (a.fleet()) return fleetCommand(doc, a);
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
    if (rc == ExitOk) rc = keepReadFiles(doc, a, image);
    return logRadio(a, p, record, rc);
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
    if (!a.ok || a.port.isEmpty() || a.positional.size() != (a.image.isEmpty() ? 1 : 0) ||
        !a.output.isEmpty() || !fleetUsageOk(a))
        return usage(p);
    if (a.overwrite && !p.identityAsksOverwrite) return usage(p);
    Document doc(p);
    doc.initialiseDefaults();
    QByteArray image;
    if (!a.image.isEmpty() ? !openImageFile(doc, a.image, &image)
                           : !openConfigFile(doc, a.positional.first()))
        return ExitUsageOrFile;
    if (a.fleet()) return fleetCommand(doc, a, image);
    FleetRecord record;
    record.file = a.image.isEmpty() ? a.positional.first() : a.image;
    const int rc = runSession(
        doc, a,
        [&image](RadioSession& s) {
            return image.isEmpty() ? s.writeToRadio() : s.writeImageToRadio(image);
        },
        &record);
    return logRadio(a, p, record, rc);
}

int infoCommand(const Product& p, const QStringList& args) {
    const SubArgs a = parseSubArgs(args);
    if (!a.ok || a.port.isEmpty() || !a.positional.isEmpty() || !a.output.isEmpty() ||
        !a.image.isEmpty() || a.fleetOptions())
        return usage(p);
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
    if (!a.ok || a.positional.size() != 2 || !a.output.isEmpty()) return usage(p);
    Document doc(p);
    doc.initialiseDefaults();
    if (!openConfigFile(doc, a.positional.at(0))) return ExitUsageOrFile;
    QSaveFile f(a.positional.at(1));
    if (!f.open(QIODevice::WriteOnly) || f.write(exportChannelsCsv(doc)) < 0 || !f.commit()) {
        err() << messageText(Msg::FileError) << '\n'
              << a.positional.at(1) << ": " << f.errorString() << '\n';
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
        const QString name = i + 1 < args.size() ? args.at(++i) : QString();
        if (name == QLatin1String("en"))
            language = LanguageEnglish;
        else if (name == QLatin1String("zh"))
            language = LanguageChinese;
        else
            return usage(p);
    }
    const SubArgs a = parseSubArgs(rest);
    if (!a.ok || a.positional.size() != 1 || a.output.isEmpty() || !a.port.isEmpty())
        return usage(p);
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
    if (!a.ok || a.positional.size() != 2 || !a.output.isEmpty()) return usage(p);
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
    if (!a.ok || a.positional.size() != 2 || !a.output.isEmpty()) {
        usage(p);
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
    if (cmd != QLatin1String("write") && rest.contains(QLatin1String("--verify"))) return usage(p);
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
    else
        rc = usage(p);
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
