#include "clisession.h"

#include "core/comm/keptfiles.h"
#include "core/config/document.h"
#include "core/io/wholefile.h"
#include "exchange/fleetlog.h"

namespace {

// Writes the raw radio memory to a file (replaced only when complete).
int saveImage(const QByteArray& image, const QString& path, QTextStream& err) {
    QString why;
    if (!writeWholeFile(path, image, &why)) {
        printFileError(err, path, why);
        return ExitUsageOrFile;
    }
    return ExitOk;
}

// After a read: a backup of the radio, then the files asked for.
int keepReadFiles(Document& doc, const CliArgs& a, const QByteArray& image, QTextStream& err) {
    const Product& p = doc.product();
    // Every read keeps the radio as it was; a backup that cannot be kept does not fail it.
    QString why;
    if (!keepBackupImage(p, doc.model(), image, &why))
        err << tr2("Warning: no backup image of the radio was kept: ",
                   "警告：未保存对讲机的备份映像：")
            << why << '\n';
    // Each file asked for is written even when another one cannot be.
    int rc = a.image.isEmpty() ? ExitOk : saveImage(image, a.image, err);
    if (!a.output.isEmpty()) rc = std::max(rc, saveAs(doc, a.output, err));
    return rc;
}

} // namespace

// read --port PORT (-o OUT.dat | --image OUT.img | both): one radio into files; with several
// ports or --repeat, one data file per radio in the folder -o names.
int readCommand(const Product& p, const QStringList& args, const CliStreams& io) {
    CliArgs a = parseCliArgs(args);
    a.operation = RadioOperation::Read;
    QString why = commonProblem(QStringLiteral("read"), a, {}, true);
    if (why.isEmpty() && a.port.isEmpty()) why = missingPort();
    if (why.isEmpty() && a.output.isEmpty() && a.image.isEmpty())
        why = QStringLiteral("-o OUT.dat or --image OUT.img is missing: it names the file the "
                             "radio is read into.");
    if (why.isEmpty()) why = fleetProblem(a);
    if (!why.isEmpty()) return usageError(p, QStringLiteral("read"), why, io.err);
    Document doc(p);
    doc.initialiseDefaults();
    if (a.fleet()) return fleetCommand(doc, a, io);
    FleetLog log;
    if (!openLog(a, log, io.err)) return ExitUsageOrFile;
    QByteArray image; // the radio's memory as read, once the read succeeded
    FleetRecord record;
    record.file = a.output.isEmpty() ? a.image : a.output;
    int rc = runSession(
        doc, a, io,
        [&image](RadioSession& s) {
            QObject::connect(&s, &RadioSession::finished, &s,
                             [&image, &s](RadioOperation, bool ok) {
                                 if (ok) image = s.radioImage();
                             });
            return s.readFromRadio();
        },
        &record);
    // A radio that was read is kept also when only the trace copy could not be; a stopped
    // read writes nothing.
    if (!image.isEmpty() && (rc == ExitOk || rc == ExitUsageOrFile))
        rc = std::max(rc, keepReadFiles(doc, a, image, io.err));
    return logRadio(a, p, log, record, rc, io.err);
}
