#include "clisession.h"

#include "core/comm/codec.h"
#include "core/config/document.h"
#include "core/config/filereading.h"
#include "exchange/fleetlog.h"

#include <QFileInfo>

namespace {

// Reads a raw image for a write: exactly the memory size, and decodable, so that the radio's
// identity can be checked against the model and band it names. Nothing is sent otherwise.
bool openImageFile(Document& doc, const QString& path, QByteArray* image, QTextStream& err) {
    const Product& p = doc.product();
    const FileRead file = readRegularFile(path, qint64(p.memorySize) + 1);
    if (!file.ok()) {
        printFileError(err, file.problem);
        return false;
    }
    *image = file.bytes;
    if (image->size() != p.memorySize) {
        err << tr2("%1: a %2 radio image has exactly %3 bytes; this file has %4.",
                   "%1：%2 对讲机映像应正好为 %3 字节；此文件为 %4 字节。")
                   .arg(path, p.program)
                   .arg(p.memorySize)
                   .arg(QFileInfo(path).size())
            << '\n';
        return false;
    }
    if (const auto error = parseRadioImage(doc, *image)) {
        err << tr2("%1: the radio image cannot be used: %2", "%1：对讲机映像无法使用：%2")
                   .arg(path, *error)
            << '\n';
        return false;
    }
    return true;
}

} // namespace

// write --port PORT (IN.dat | --image IN.img): a configuration or a raw image into a radio, or
// into every radio of several ports.
int writeCommand(const Product& p, const QStringList& args, const CliStreams& io) {
    CliArgs a = parseCliArgs(args);
    a.operation = RadioOperation::Write;
    QString why =
        commonProblem(QStringLiteral("write"), a,
                      a.image.isEmpty() ? QStringList{QStringLiteral("IN.dat")} : QStringList{});
    if (why.isEmpty() && a.port.isEmpty()) why = missingPort();
    if (why.isEmpty() && a.overwrite && !p.identityAsksOverwrite)
        why = QStringLiteral("--overwrite is not an option of %1-cli: it writes only radios of "
                             "its own model.")
                  .arg(p.program);
    if (why.isEmpty()) why = fleetProblem(a);
    if (!why.isEmpty()) return usageError(p, QStringLiteral("write"), why, io.err);
    Document doc(p);
    doc.initialiseDefaults();
    QByteArray image;
    if (!a.image.isEmpty() ? !openImageFile(doc, a.image, &image, io.err)
                           : !openConfigFile(doc, a.positional.first()))
        return ExitUsageOrFile;
    if (a.fleet()) return fleetCommand(doc, a, io, image);
    FleetLog log;
    if (!openLog(a, log, io.err)) return ExitUsageOrFile;
    FleetRecord record;
    record.file = a.image.isEmpty() ? a.positional.first() : a.image;
    const int rc = runSession(
        doc, a, io,
        [&image](RadioSession& s) {
            return image.isEmpty() ? s.writeToRadio() : s.writeImageToRadio(image);
        },
        &record);
    return logRadio(a, p, log, record, rc, io.err);
}
