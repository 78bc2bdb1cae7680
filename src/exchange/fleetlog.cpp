#include "fleetlog.h"

#include "core/comm/sessiontrace.h"

#include <QFile>

namespace {
// A field as CSV carries it: quoted when it holds a separator, a quote or a line break.
QString csvField(QString text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    text.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}
} // namespace

QString fleetLogHeader() {
    return QStringLiteral(
        "time,program,port,model,band,firmware,serial,operation,result,seconds,verify,file");
}

QString fleetLogRow(const QString& program, const FleetRecord& r) {
    const QDateTime t = r.started.toOffsetFromUtc(r.started.offsetFromUtc());
    const QStringList fields{t.toString(Qt::ISODate),
                             program,
                             r.port,
                             r.model,
                             r.band,
                             r.firmware,
                             r.serial,
                             traceOperationName(int(r.operation)),
                             fleetResultName(r),
                             QString::number(r.seconds, 'f', 2),
                             fleetVerifyName(r.verify),
                             r.file};
    QStringList out;
    for (const QString& f : fields)
        out << csvField(f);
    return out.join(QLatin1Char(','));
}

bool appendFleetLog(const QString& path, const QString& program, const FleetRecord& record,
                    QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        if (error) *error = file.errorString();
        return false;
    }
    QByteArray text;
    if (file.size() == 0) text = fleetLogHeader().toUtf8() + '\n';
    text += fleetLogRow(program, record).toUtf8() + '\n';
    if (file.write(text) != text.size() || !file.flush()) {
        if (error) *error = file.errorString();
        return false;
    }
    file.close();
    return true;
}
