#include "sessiontrace.h"

#include "core/io/wholefile.h"

#include <QDateTime>

namespace {
// A test-mode session can stay open for hours: past this size only the end is written.
constexpr qint64 MaxTraceBytes = qint64(16) * 1024 * 1024;

QString hex(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}
} // namespace

QString traceOperationName(int commType) {
    switch (commType) {
    case 1:
        return QStringLiteral("read");
    case 2:
        return QStringLiteral("write");
    case 3:
        return QStringLiteral("information read");
    case 4:
        return QStringLiteral("information write");
    case 5:
        return QStringLiteral("test mode");
    case 6:
        return QStringLiteral("verify");
    default:
        return QStringLiteral("operation %1").arg(commType);
    }
}

SessionTrace::SessionTrace(const Product& p, KeptFolder folder)
    : m_product(p), m_folder(std::move(folder)) {}

SessionTrace::~SessionTrace() {
    if (m_active) end(QStringLiteral("program ended"));
}

void SessionTrace::begin(const QString& port, int commType) {
    if (m_active) end(QStringLiteral("abandoned"));
    m_active = true;
    m_truncated = false;
    m_written = 0;
    m_copy.clear();
    m_keptPath.clear();
    m_error.clear();
    m_copyError.clear();
    m_clock.start();

    const QDateTime now = QDateTime::currentDateTime();
    QString why;
    if (m_folder.ensure(&why)) {
        const QString op = traceOperationName(commType);
        m_file.setFileName(m_folder.newFilePath(now, QString(op).remove(QLatin1Char(' '))));
        if (m_file.open(QIODevice::WriteOnly | QIODevice::Text)) {
            m_keptPath = m_file.fileName();
            m_folder.prune(m_keptPath);
        } else {
            m_error = QStringLiteral("%1: %2").arg(m_file.fileName(), m_file.errorString());
        }
    } else {
        m_error = why;
    }

    QString head = m_product.program + QStringLiteral(" session trace\n");
    head +=
        QStringLiteral("Program: %1 %2\n").arg(m_product.program, QStringLiteral(PROGRAM_VERSION));
    head += QStringLiteral("Port: %1\n").arg(port.isEmpty() ? QStringLiteral("(none)") : port);
    head += QStringLiteral("Operation: %1\n").arg(traceOperationName(commType));
    head += QStringLiteral("Started: %1\n\n")
                .arg(now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODateWithMs));
    append(head.toUtf8());
}

void SessionTrace::line(const char* kind, const QString& text) {
    if (!m_active) return;
    const double ms = double(m_clock.nsecsElapsed()) / 1e6;
    const QString l =
        QStringLiteral("+%1 ms  %2  %3\n").arg(ms, 10, 'f', 3).arg(QLatin1String(kind), text);
    if (!m_truncated && m_written + l.size() > MaxTraceBytes) {
        m_truncated = true;
        append("(trace too long: the rest up to the end is left out)\n");
    }
    if (!m_truncated) append(l.toUtf8());
}

void SessionTrace::append(const QByteArray& text) {
    m_written += text.size();
    // Written at once, so a trace survives a program that is killed mid-session.
    if (m_file.isOpen() && (m_file.write(text) != text.size() || !m_file.flush())) {
        // A trace with lines missing would mislead whoever reads it: it goes altogether.
        m_error = QStringLiteral("%1: %2").arg(m_file.fileName(), m_file.errorString());
        m_file.close();
        m_file.remove();
        m_keptPath.clear();
    }
    if (!m_copyPath.isEmpty()) m_copy += text;
}

void SessionTrace::sent(const QByteArray& bytes) {
    line("TX", hex(bytes));
}

void SessionTrace::received(const QByteArray& bytes) {
    line("RX", hex(bytes));
}

void SessionTrace::note(const QString& text) {
    line("--", text);
}

void SessionTrace::end(const QString& result) {
    if (!m_active) return;
    m_truncated = false; // the end is always written
    note(QStringLiteral("end: %1").arg(result));
    m_active = false;
    if (m_file.isOpen()) m_file.close();
    if (m_copyPath.isEmpty()) return;
    QString why;
    if (!writeWholeFile(m_copyPath, m_copy, &why))
        m_copyError = QStringLiteral("%1: %2").arg(m_copyPath, why);
    m_copy.clear();
}
