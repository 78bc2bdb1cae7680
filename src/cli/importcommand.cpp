#include "clicommand.h"

#include "core/config/datafile.h"
#include "core/config/document.h"
#include "exchange/configtext.h"

// import IN.yaml OUT.dat [--onto BASE.dat]: a configuration as text made a data file. What the
// text omits keeps the built-in defaults, or BASE's values. Any problem writes nothing.
int importCommand(const Product& p, const QStringList& args, const CliStreams& io) {
    const CliArgs a = parseCliArgs(args);
    QString problem = commonProblem(QStringLiteral("import"), a,
                                    {QStringLiteral("IN.yaml"), QStringLiteral("OUT.dat")});
    // A data file under a text's name would put binary over the text, and Open would read it
    // as a text.
    if (problem.isEmpty() && isConfigTextName(a.positional.at(1)))
        problem = QStringLiteral("%1: the data file is not written under the name of a "
                                 "configuration text (.yaml, .yml).")
                      .arg(a.positional.at(1));
    if (!problem.isEmpty()) return usageError(p, QStringLiteral("import"), problem, io.err);
    Document base(p);
    base.initialiseDefaults();
    if (!a.onto.isEmpty() && !openConfigFile(base, a.onto)) return ExitUsageOrFile;
    const QString in = a.positional.at(0);
    const auto text = readConfigText(in, io.err);
    if (!text) return ExitUsageOrFile;
    const ConfigTextImport r = importConfigurationText(p, *text, base.config());
    if (!r.record) {
        printImportProblems(io.err, in, r.problems);
        return ExitUsageOrFile;
    }
    const QString out = a.positional.at(1);
    if (out == QLatin1String("-"))
        return writeStandardOutput(io, encodeRecord(p, *r.record), true) ? ExitOk : ExitUsageOrFile;
    QString why;
    if (!writeRecordFile(p, *r.record, out, &why)) {
        printFileError(io.err, out, why);
        return ExitUsageOrFile;
    }
    return ExitOk;
}
