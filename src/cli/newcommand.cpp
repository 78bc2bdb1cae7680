#include "clicommand.h"

#include "core/config/document.h"

// new -o OUT.dat: the built-in default configuration as a data file.
int newCommand(const Product& p, const QStringList& args, const CliStreams& io) {
    const CliArgs a = parseCliArgs(args);
    QString why = commonProblem(QStringLiteral("new"), a, {}, true);
    if (why.isEmpty() && a.output.isEmpty())
        why = QStringLiteral("-o is missing: it names the new data file.");
    if (!why.isEmpty()) return usageError(p, QStringLiteral("new"), why, io.err);
    Document doc(p);
    doc.initialiseDefaults();
    return saveAs(doc, a.output, io.err);
}
