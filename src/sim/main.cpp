// virtual-radio: the radio's side of the programming protocol on a pseudo-terminal. It is the
// peer of the end-to-end tests and the demo radio that scripts/run.sh attaches to a port.
//
//   virtual-radio --product meridox|solvir --link PATH [options]
//
// Prints "ready PATH" once PATH leads to the radio; SIGTERM or SIGINT ends it cleanly (dump
// written, link removed).

#include "core/config/filereading.h"
#include "memoryimage.h"
#include "pty.h"
#include "radio.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <unistd.h>

namespace {

constexpr int ExitOk = 0;
constexpr int ExitFailure = 1;

int g_signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &byte, 1);
}

// Termination signals only write a byte into a pipe; the event loop reads it and quits.
bool installSignalHandlers() {
    if (::pipe2(g_signalPipe, O_NONBLOCK | O_CLOEXEC) != 0) return false;
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int s : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(s, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    return true;
}

int fail(const QString& message) {
    std::fprintf(stderr, "virtual-radio: %s\n", qPrintable(message));
    return ExitFailure;
}

struct Options {
    const Product* product = nullptr;
    QString link, memoryPath, infoPath, dumpPath, logPath;
    RadioBehaviour behaviour;
};

// The options: name, description, value name (none for a switch).
struct OptionEntry {
    const char* name;
    const char* description;
    const char* valueName;
};
constexpr OptionEntry OptionTable[] = {
    {"product", "Radio family: meridox or solvir.", "name"},
    {"link", "Path of the link to the radio's serial port.", "path"},
    {"memory", "Initial memory image (the radio's memory size).", "file"},
    {"info", "256 bytes for the local information area.", "file"},
    {"dump", "Memory image written after each end command and at exit.", "file"},
    {"log", "Frame log, one line per frame.", "file"},
    {"model", "Model code in the identification (default SOLV).", "text"},
    {"band", "Band code in the identification (default 4).", "n"},
    {"class", "Model class code (default 248).", "n"},
    {"firmware", "Firmware version (default V100).", "text"},
    {"ignore-program", "Ignore the first N PROGRAM commands.", "n"},
    {"ignore-ident", "Ignore the first N identification requests.", "n"},
    {"bad-checksum", "Send the K-th data frame with a wrong checksum.", "k"},
    {"silent-after", "Answer nothing after K blocks.", "k"},
    {"hangup-after", "Hang up and exit after K blocks.", "k"},
    {"reply-delay", "Wait before each reply.", "ms"},
    {"start-delay", "Answer nothing for this long after the start (switched off).", "ms"},
    {"hangup-after-session",
     "Hang up and exit after the end command of a session that moved blocks.", nullptr},
    {"pace-us", "Time per byte on the line (1041.667 is 9600 baud).", "us"},
    {"corrupt-write", "Store the K-th written block with its first byte wrong.", "k"},
    {"test-freq-differ", "Test frequency N differs from the band defaults (test mode).", "n"},
};

void declareOptions(QCommandLineParser& p) {
    p.setApplicationDescription(QStringLiteral("The radio's side of the programming protocol on a "
                                               "pseudo-terminal."));
    p.addHelpOption();
    for (const OptionEntry& o : OptionTable)
        p.addOption({QString::fromLatin1(o.name), QString::fromLatin1(o.description),
                     QString::fromLatin1(o.valueName)});
}

// Reads the values of a parsed command line; the first value out of range is the problem.
class OptionValues {
  public:
    explicit OptionValues(const QCommandLineParser& p) : m_p(p) {}

    int number(const char* name, int fallback, int min, int max) {
        const QString option = QString::fromLatin1(name);
        if (!m_p.isSet(option)) return fallback;
        bool ok = false;
        const int n = m_p.value(option).toInt(&ok);
        if (ok && n >= min && n <= max) return n;
        refuse(QStringLiteral("--%1 must be a number from %2 to %3").arg(option).arg(min).arg(max));
        return fallback;
    }
    QByteArray fourChars(const char* name, const char* fallback) {
        const QString option = QString::fromLatin1(name);
        const QString text = m_p.isSet(option) ? m_p.value(option) : QLatin1String(fallback);
        if (text.size() == 4 && std::all_of(text.begin(), text.end(), [](QChar c) {
                return c.unicode() >= 0x20 && c.unicode() < 0x7F;
            }))
            return text.toLatin1();
        refuse(QStringLiteral("--%1 must be 4 ASCII characters").arg(option));
        return QByteArray(4, ' ');
    }
    void refuse(const QString& why) {
        if (!problem) problem = why;
    }
    std::optional<QString> problem;

  private:
    const QCommandLineParser& m_p;
};

// The radio's behaviour from the identification and fault options.
void readBehaviour(const QCommandLineParser& p, OptionValues& v, RadioBehaviour& b) {
    // Identification: 50, model code (4), band code, model class, 00, firmware (4), 00 00.
    QByteArray& ident = b.identification;
    ident = QByteArray(1, 0x50) + v.fourChars("model", "SOLV");
    ident += char(v.number("band", 4, 0, 255));
    ident += char(v.number("class", 248, 0, 255));
    ident += '\0';
    ident += v.fourChars("firmware", "V100");
    ident += QByteArray(2, '\0');

    b.ignoreProgram = v.number("ignore-program", 0, 0, 1'000'000);
    b.ignoreIdent = v.number("ignore-ident", 0, 0, 1'000'000);
    b.badChecksumAt = v.number("bad-checksum", 0, 1, 1'000'000);
    b.silentAfter = v.number("silent-after", -1, 0, 1'000'000);
    b.hangupAfter = v.number("hangup-after", -1, 0, 1'000'000);
    b.replyDelayMs = v.number("reply-delay", 0, 0, 60'000);
    b.startDelayMs = v.number("start-delay", 0, 0, 3'600'000);
    b.hangupAfterSession = p.isSet(QStringLiteral("hangup-after-session"));
    b.testFreqDiffer = v.number("test-freq-differ", 0, 1, 16);
    b.corruptWriteAt = v.number("corrupt-write", 0, 1, 1'000'000);
    if (p.isSet(QStringLiteral("pace-us"))) {
        bool ok = false;
        b.paceUs = p.value(QStringLiteral("pace-us")).toDouble(&ok);
        if (!ok || b.paceUs < 0 || b.paceUs > 1'000'000)
            v.refuse(QStringLiteral("--pace-us must be a number of microseconds, 0 to 1000000"));
    }
}

// Parses the command line; on a usage error returns its message.
std::optional<QString> parseOptions(const QStringList& arguments, Options& o) {
    QCommandLineParser p;
    declareOptions(p);
    if (!p.parse(arguments)) return p.errorText();
    if (p.isSet(QStringLiteral("help"))) p.showHelp(ExitOk);
    if (!p.positionalArguments().isEmpty())
        return QStringLiteral("unexpected argument %1").arg(p.positionalArguments().first());

    o.product = productByName(p.value(QStringLiteral("product")));
    if (!o.product) return QStringLiteral("--product must be meridox or solvir");
    o.link = p.value(QStringLiteral("link"));
    if (o.link.isEmpty()) return QStringLiteral("--link PATH is required");
    o.memoryPath = p.value(QStringLiteral("memory"));
    o.infoPath = p.value(QStringLiteral("info"));
    o.dumpPath = p.value(QStringLiteral("dump"));
    o.logPath = p.value(QStringLiteral("log"));
    OptionValues values(p);
    readBehaviour(p, values, o.behaviour);
    return values.problem;
}

// Reads a file that must hold exactly `size` bytes.
std::optional<QByteArray> readExactly(const QString& path, qsizetype size, const char* what,
                                      QString* error) {
    const FileRead file = readRegularFile(path, size + 1);
    if (!file.ok()) {
        *error = QStringLiteral("cannot read %1: %2").arg(QLatin1String(what), file.problem);
        return std::nullopt;
    }
    const QByteArray& data = file.bytes;
    if (data.size() != size) {
        *error = QStringLiteral("%1 %2 must be exactly %3 bytes")
                     .arg(QLatin1String(what), path)
                     .arg(size);
        return std::nullopt;
    }
    return data;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    Options options;
    if (const auto problem = parseOptions(app.arguments(), options)) return fail(*problem);
    const Product& product = *options.product;

    QString error;
    std::optional<QByteArray> info;
    if (!options.infoPath.isEmpty()) {
        info = readExactly(options.infoPath, InformationAreaSize, "information area", &error);
        if (!info) return fail(error);
    }
    std::optional<QByteArray> memory =
        options.memoryPath.isEmpty()
            ? defaultMemoryImage(product, &error)
            : readExactly(options.memoryPath, product.memorySize, "memory image", &error);
    if (!memory) return fail(error);
    if (info) memory->replace(product.infoBase(), InformationAreaSize, *info);

    if (!installSignalHandlers()) return fail(QStringLiteral("cannot set up signal handling"));
    QSocketNotifier signalNotifier(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &app, [] {
        char bytes[16];
        while (::read(g_signalPipe[0], bytes, sizeof bytes) > 0) {
        }
        QCoreApplication::exit(ExitOk);
    });

    PseudoTerminal pty;
    if (!pty.open(&error)) return fail(error);
    SimulatedRadio radio(product, *memory, options.behaviour, pty);
    if (!radio.start(options.logPath, options.dumpPath, &error)) return fail(error);
    QObject::connect(&radio, &SimulatedRadio::hungUp, &app, [] { QCoreApplication::exit(ExitOk); });
    QObject::connect(&radio, &SimulatedRadio::failed, &app, [](const QString& reason) {
        std::fprintf(stderr, "virtual-radio: %s\n", qPrintable(reason));
        QCoreApplication::exit(ExitFailure);
    });
    if (!pty.link(options.link, &error)) return fail(error);

    std::printf("ready %s\n", QFile::encodeName(options.link).constData());
    std::fflush(stdout);

    int code = app.exec();
    // The link goes first, so nobody opens the port while the radio shuts down; closing the
    // master then tells a connected program that the cable is gone.
    pty.removeLink();
    pty.close();
    if (!radio.writeDump(&error)) code = fail(error);
    return code;
}
