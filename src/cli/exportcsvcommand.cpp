#include "clicommand.h"

#include "core/config/document.h"
#include "core/io/wholefile.h"
#include "exchange/channelcsv.h"

// export-csv FILE.dat OUT.csv: the channels of every group as a channel list.
int exportCsvCommand(const Product& p, const QStringList& args, const CliStreams& io) {
    const CliArgs a = parseCliArgs(args);
    const QString problem = commonProblem(QStringLiteral("export-csv"), a,
                                          {QStringLiteral("FILE.dat"), QStringLiteral("OUT.csv")});
    if (!problem.isEmpty()) return usageError(p, QStringLiteral("export-csv"), problem, io.err);
    Document doc(p);
    doc.initialiseDefaults();
    if (!openConfigFile(doc, a.positional.at(0)) ||
        refusedAsInput(a.positional.at(0), a.positional.at(1), io.err))
        return ExitUsageOrFile;
    QString why;
    if (!writeWholeFile(a.positional.at(1), exportChannelsCsv(doc), &why)) {
        printFileError(io.err, a.positional.at(1), why);
        return ExitUsageOrFile;
    }
    return ExitOk;
}
