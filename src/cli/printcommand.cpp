#include "clicommand.h"

#include "core/config/document.h"
#include "report/report.h"

#include <QGuiApplication>

// print FILE.dat -o OUT.pdf [--language en|zh]: the whole configuration as a PDF file, in the
// language of the settings file unless --language names one.
int printCommand(const Product& p, const QStringList& args, const CliStreams& io) {
    const CliArgs a = parseCliArgs(args, true);
    QString problem = commonProblem(QStringLiteral("print"), a, {QStringLiteral("FILE.dat")}, true);
    if (problem.isEmpty() && a.output.isEmpty())
        problem = QStringLiteral("-o is missing: it names the PDF file to write.");
    if (problem.isEmpty() && !a.port.isEmpty())
        problem = QStringLiteral("--port is not an option of print.");
    if (!problem.isEmpty()) return usageError(p, QStringLiteral("print"), problem, io.err);
    // Text layout and fonts need the GUI application that cliMain makes for this command.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        io.err << "print: no text rendering available in this process.\n";
        return ExitUsageOrFile;
    }
    Document doc(p);
    doc.initialiseDefaults();
    if (!openConfigFile(doc, a.positional.first())) return ExitUsageOrFile;
    const int language = a.language != LanguageNone ? a.language : currentLanguage();
    const Report report(doc, PrintSelection::everything(), language);
    QString why;
    if (!writeReportPdf(report, a.output, &why)) {
        printFileError(io.err, a.output, why);
        return ExitUsageOrFile;
    }
    return ExitOk;
}
