#include "clicommand.h"
#include "clisession.h"

#include "core/comm/keptfiles.h"
#include "core/config/document.h"
#include "exchange/configdiff.h"

#include <optional>

namespace {
// Exit code of diff when a file cannot be compared, as diff(1) has it: 0 and 1 are taken by
// "equal" and "different".
constexpr int DiffTrouble = 2;

int printDifferences(const QStringList& lines, QTextStream& out) {
    for (const QString& line : lines)
        out << line << '\n';
    return lines.isEmpty() ? ExitOk : 1;
}

// diff --port PORT FILE.dat: the radio is read as `read` reads it (identity checked against the
// file) and compared with the file, the radio's side first. FILE may be a .yaml text, as in a
// diff of two files. A failed read exits with its code.
int diffWithRadio(const Product& p, const CliArgs& a, const CliStreams& io) {
    const QString file = a.positional.at(0);
    Document doc(p);
    doc.initialiseDefaults();
    if (!openConfigFileOrText(doc, file, io.err)) return DiffTrouble;
    std::optional<Document> radio;
    QByteArray image;
    const int rc = runSession(doc, a, io, [&radio, &image](RadioSession& s) {
        QObject::connect(&s, &RadioSession::radioConfigurationRead, &s,
                         [&radio, &image, &s](const Document& read) {
                             radio = read;
                             image = s.radioImage();
                         });
        return s.readForComparison();
    });
    // A read that went through but whose trace copy could not be written (a file error) still
    // shows the differences; that file makes it trouble rather than a difference.
    const bool traceLost = rc == ExitUsageOrFile && radio;
    if ((rc != ExitOk && !traceLost) || !radio) return rc == ExitOk ? ExitNoAnswer : rc;
    // Every read keeps the radio as it was; a backup that cannot be kept does not fail it.
    QString why;
    if (!keepBackupImage(p, radio->model(), image, &why))
        io.err << tr2("Warning: no backup image of the radio was kept: ",
                      "警告：未保存对讲机的备份映像：")
               << why << '\n';
    const int compared =
        printDifferences(diffConfigurations(*radio, doc, QStringLiteral("radio"), file), io.out);
    return traceLost ? DiffTrouble : compared;
}
} // namespace

// diff A.dat B.dat: every difference, field by field (either side may be a .yaml text); diff --port
// PORT FILE.dat: the radio against a file.
int diffCommand(const Product& p, const QStringList& args, const CliStreams& io) {
    const CliArgs a = parseCliArgs(args);
    const bool withRadio = !a.port.isEmpty();
    QStringList files{QStringLiteral("A.dat"), QStringLiteral("B.dat")};
    if (withRadio) files = {QStringLiteral("FILE.dat")};
    QString why = commonProblem(QStringLiteral("diff"), a, files);
    if (why.isEmpty() && withRadio && (!a.image.isEmpty() || a.fleetOptions() || a.verify))
        why = QStringLiteral("diff --port reads one radio: one --port, without --image, "
                             "--verify, --repeat or --log.");
    if (!why.isEmpty()) {
        usageError(p, QStringLiteral("diff"), why, io.err);
        return DiffTrouble;
    }
    if (withRadio) return diffWithRadio(p, a, io);
    Document da(p), db(p);
    da.initialiseDefaults();
    db.initialiseDefaults();
    if (!openConfigFileOrText(da, a.positional.at(0), io.err) ||
        !openConfigFileOrText(db, a.positional.at(1), io.err))
        return DiffTrouble;
    return printDifferences(diffConfigurations(da, db, a.positional.at(0), a.positional.at(1)),
                            io.out);
}
