#include "cli.h"

#include "config/datafile.h"
#include "config/document.h"
#include "config/messages.h"
#include "editors/channelrules.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QTextStream>

namespace {

QTextStream& out() {
    static QTextStream s(stdout);
    return s;
}
QTextStream& err() {
    static QTextStream s(stderr);
    return s;
}

const char* const OptionLabels[MaxOptionWords] = {
    "Time Out Timer(TOT)[s]",
    "RB Frequecy[Hz]",
    "RB Time[ms]",
    "CW Side Tone[Hz]",
    "Frequency Step",
    "LCD Display",
    "Scan Mode",
    "Scan Resume Time[s]",
    "LCD Display In Tx",
    "SWR Protect value",
    "Battery Voltage Protect Value 1 -- Min[V]",
    "Battery Voltage Protect Value 2 -- Max[V]",
    "LSB Enable",
    "USB Enable",
    "FM Enable",
    "AM Enable",
    "PA Enalbe",
    "CW Enable",
    "Single Change Data",
    "Common Option",
    "Single Change RX/TX Frequency",
    "FM SQ Close Delay Time[ms]",
    "AM SQ Close Delay Time[ms]",
    "CW/USB/LSB SQ Close Delay Time[ms]",
    "Emergency Channel A",
    "Emergency Channel B",
    "Emergency Channel C",
    "Emergency Channel D",
    "Emergency Channel E",
    "Emergency Channel F",
    "BUSY",
    "VOIC",
    "ECHO",
    "HI-CUT",
    "+10KHz",
    "NB/ANL",
    "RB",
    "SWR Protect Enabled",
    "DC Protect Enabled",
    "Single Tone[Hz]",
    "Clarifier Mode",
    "Push Mode",
};

const char* const FlagNames[8] = {"", "BUSY", "VOIC", "ECHO", "HI-CUT", "+10KHz", "NB/ANL", "RB"};

// Language of the program's settings file (English when there is none).
void applySettingsLanguage(const Product& p) {
    const QString path =
        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) +
        QLatin1String("/language/mysetup.ini");
    QSettings s(path, QSettings::IniFormat);
    const int lang = s.value(QStringLiteral("language/CurrentLanguage")).toInt();
    setCurrentLanguage(p.persistsLanguage && lang == LanguageChinese ? LanguageChinese
                                                                      : LanguageEnglish);
}

int usage(const Product& p) {
    err() << "Usage:\n"
          << "  " << p.program << "-cli new -o OUT.dat\n"
          << "  " << p.program << "-cli show FILE.dat\n";
    err().flush();
    return ExitUsageOrFile;
}

// Parses "-o FILE" style options of a subcommand; returns false on an unknown option.
struct SubArgs {
    QStringList positional;
    QString output;
    bool ok = true;
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
        } else if (a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            r.ok = false;
        } else {
            r.positional << a;
        }
    }
    return r;
}

int newCommand(const Product& p, const QStringList& args) {
    const SubArgs a = parseSubArgs(args);
    if (!a.ok || a.output.isEmpty() || !a.positional.isEmpty()) return usage(p);
    Document doc(p);
    doc.initialiseDefaults();
    doc.takeSnapshot();
    QString why;
    if (!writeRecordFile(p, doc.snapshot, a.output, &why)) {
        err() << messageText(Msg::FileError) << '\n' << a.output << ": " << why << '\n';
        return ExitUsageOrFile;
    }
    return ExitOk;
}

QString textField(const QByteArray& bytes) {
    QString s;
    for (char c : bytes) {
        if (c == '\0') break;
        s += QLatin1Char(c);
    }
    return trimSpaces(s);
}

void describe(const Document& doc, QTextStream& o) {
    const Product& p = doc.product();
    const RadioConfig& c = doc.config;
    o << "Product: " << p.productName << '\n';
    if (p.hasVersionField) o << "Version: " << c.version.text() << '\n';
    o << "Model: " << doc.currentModel << '\n';
    o << "Band: " << doc.currentBand << '\n';
    o << "Created: " << textField(c.modelInfo.createDate.raw()) << '\n';
    o << "Software version: " << textField(c.modelInfo.softwareVersionText.raw()) << '\n';
    for (int g = 0; g < GroupCount; ++g) {
        const int count = std::clamp<int>(c.groupChannelCount[size_t(g)], 0, ChannelsPerGroup);
        o << '\n' << "Group " << QChar(QLatin1Char('A' + g)) << ": " << count
          << (count == 1 ? " channel" : " channels");
        if (p.optionWordCount > 24 + g)
            o << ", emergency channel " << c.optionWords[size_t(24 + g)] + 1;
        o << '\n';
        for (int k = 1; k <= count; ++k) {
            const ChannelEntry& e = c.entry(g, k);
            QStringList flags;
            for (int i = 1; i <= 7; ++i)
                if (e.channelFlags[size_t(i)] == 1) flags << QLatin1String(FlagNames[i]);
            o << QStringLiteral("  %1  RX %2  TX %3  Scan %4  Flags %5")
                     .arg(e.channelNo, 2)
                     .arg(FreDataToText(doc, e.rxFreq.text()), -9)
                     .arg(FreDataToText(doc, e.txFreq.text()), -9)
                     .arg(e.scanFlag == 1 ? QStringLiteral("Add") : QStringLiteral("Del"))
                     .arg(flags.isEmpty() ? QStringLiteral("none") : flags.join(QLatin1Char(' ')))
              << '\n';
        }
    }
    o << '\n' << "Options:" << '\n';
    for (int i = 0; i < p.optionWordCount; ++i)
        o << QStringLiteral("  %1 %2 = %3")
                 .arg(i, 2)
                 .arg(QLatin1String(OptionLabels[i]))
                 .arg(c.optionWords[size_t(i)])
          << '\n';
    o << '\n';
    for (int line = 0; line < 2; ++line)
        o << "Message line " << line + 1 << ": \""
          << QString::fromLatin1(c.embeddedMessage[size_t(line)].untilNul()) << "\"\n";
}

// Opens a data file with the version check; the reason for a refusal goes to stderr.
bool openConfigFile(Document& doc, const QString& path) {
    const OpenResult r = openDataFile(doc, path);
    if (r == OpenResult::FileError)
        err() << path << ": not a " << doc.product().program << " data file of "
              << doc.product().recordLength << " bytes, or it cannot be read.\n";
    return r == OpenResult::Opened;
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

} // namespace

int runCli(const Product& p, const QStringList& args) {
    setProgramTitle(p.productName);
    applySettingsLanguage(p);
    if (args.isEmpty()) return usage(p);
    const QString cmd = args.first();
    const QStringList rest = args.mid(1);
    int rc = ExitUsageOrFile;
    if (cmd == QLatin1String("new")) rc = newCommand(p, rest);
    else if (cmd == QLatin1String("show")) rc = showCommand(p, rest);
    else rc = usage(p);
    out().flush();
    err().flush();
    return rc;
}

int cliMain(const Product& p, int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(p.program);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    return runCli(p, args);
}
