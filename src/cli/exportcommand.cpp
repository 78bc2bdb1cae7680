#include "clicommand.h"

#include "core/config/document.h"
#include "core/io/wholefile.h"
#include "exchange/configtext.h"

// export FILE.dat OUT.yaml: the whole configuration as text ("-": standard output).
int exportCommand(const Product& p, const QStringList& args, const CliStreams& io) {
    const CliArgs a = parseCliArgs(args);
    const QString problem = commonProblem(QStringLiteral("export"), a,
                                          {QStringLiteral("FILE.dat"), QStringLiteral("OUT.yaml")});
    if (!problem.isEmpty()) return usageError(p, QStringLiteral("export"), problem, io.err);
    Document doc(p);
    doc.initialiseDefaults();
    if (!openConfigFile(doc, a.positional.at(0))) return ExitUsageOrFile;
    const QByteArray text = exportConfigurationText(p, doc.config());
    const QString out = a.positional.at(1);
    if (out == QLatin1String("-"))
        return writeStandardOutput(io, text, false) ? ExitOk : ExitUsageOrFile;
    if (refusedAsInput(a.positional.at(0), out, io.err)) return ExitUsageOrFile;
    QString why;
    if (!writeWholeFile(out, text, &why)) {
        printFileError(io.err, out, why);
        return ExitUsageOrFile;
    }
    return ExitOk;
}
