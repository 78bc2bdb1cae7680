#include "clisession.h"

#include "core/comm/localinfo.h"
#include "core/config/document.h"

// info --port PORT: the radio's factory and dealer information, one "Label: value" a line.
int infoCommand(const Product& p, const QStringList& args, const CliStreams& io) {
    const CliArgs a = parseCliArgs(args);
    QString why = commonProblem(QStringLiteral("info"), a, {});
    if (why.isEmpty() && a.port.isEmpty()) why = missingPort();
    if (why.isEmpty() && !a.image.isEmpty())
        why = QStringLiteral("--image is not an option of info.");
    if (why.isEmpty() && a.fleetOptions())
        why = QStringLiteral("info reads one radio: one --port, without --repeat or --log.");
    if (!why.isEmpty()) return usageError(p, QStringLiteral("info"), why, io.err);
    Document doc(p);
    doc.initialiseDefaults();
    LocalInformation info;
    const int rc = runSession(doc, a, io, [&info](RadioSession& s) {
        s.setLocalInformation(defaultLocalInformation(QDate::currentDate()));
        QObject::connect(&s, &RadioSession::informationRead, &s,
                         [&info, &s] { info = s.localInformation(); });
        return s.readInformation(true);
    });
    if (rc != ExitOk) return rc;
    // Screen order of the information window.
    static const int order[12] = {0, 6, 7, 1, 2, 3, 5, 4, 8, 9, 10, 11};
    for (int i : order)
        io.out << localInformationLabel(i, LanguageEnglish) << ": "
               << shownLocalInformation(info, i) << '\n';
    return ExitOk;
}
