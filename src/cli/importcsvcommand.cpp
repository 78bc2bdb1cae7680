#include "clicommand.h"

#include "core/config/datafile.h"
#include "core/config/document.h"
#include "exchange/channelcsv.h"

// import-csv IN.csv FILE.dat [--group A..F]: the groups the list names, all or nothing.
int importCsvCommand(const Product& p, const QStringList& args, const CliStreams& io) {
    const CliArgs a = parseCliArgs(args);
    const QString problem = commonProblem(QStringLiteral("import-csv"), a,
                                          {QStringLiteral("IN.csv"), QStringLiteral("FILE.dat")});
    if (!problem.isEmpty()) return usageError(p, QStringLiteral("import-csv"), problem, io.err);
    const FileRead in = readChannelListFile(a.positional.at(0));
    if (!in.ok()) {
        printFileError(io.err, in.problem);
        return ExitUsageOrFile;
    }
    Document doc(p);
    doc.initialiseDefaults();
    if (!openConfigFile(doc, a.positional.at(1))) return ExitUsageOrFile;
    const ChannelImportResult r = importChannelsCsv(doc, in.bytes, a.group);
    if (!r.ok) {
        io.err << tr2("No channels were imported; %1 is unchanged.", "未导入任何信道；%1 未改变。")
                      .arg(a.positional.at(1))
               << '\n';
        for (const QString& line : r.problems)
            io.err << "  " << line << '\n';
        if (r.kind == ChannelCsvKind::OtherTool && a.group < 0)
            io.err << "  --group A..F names the group.\n";
        return ExitUsageOrFile;
    }
    if (!saveDataFile(doc)) return ExitUsageOrFile;
    io.err << importedChannelsText(r) << '\n';
    return ExitOk;
}
