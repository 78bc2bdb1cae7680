#include "clicommand.h"

#include "core/config/document.h"
#include "exchange/configdiff.h"

namespace {
// Exit code of diff when a file cannot be compared, as diff(1) has it: 0 and 1 are taken by
// "equal" and "different".
constexpr int DiffTrouble = 2;
} // namespace

// diff A.dat B.dat: every difference, field by field.
int diffCommand(const Product& p, const QStringList& args, const CliStreams& io) {
    const CliArgs a = parseCliArgs(args);
    const QString why = commonProblem(QStringLiteral("diff"), a,
                                      {QStringLiteral("A.dat"), QStringLiteral("B.dat")});
    if (!why.isEmpty()) {
        usageError(p, QStringLiteral("diff"), why, io.err);
        return DiffTrouble;
    }
    Document da(p), db(p);
    da.initialiseDefaults();
    db.initialiseDefaults();
    if (!openConfigFile(da, a.positional.at(0)) || !openConfigFile(db, a.positional.at(1)))
        return DiffTrouble;
    const QStringList lines = diffConfigurations(da, db, a.positional.at(0), a.positional.at(1));
    for (const QString& line : lines)
        io.out << line << '\n';
    return lines.isEmpty() ? ExitOk : 1;
}
