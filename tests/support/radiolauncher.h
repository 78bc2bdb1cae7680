#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Runs the virtual-radio program on a pseudo-terminal for a test: the link, the frame log and
// the memory dump live in a temporary folder of their own. The radio is stopped (SIGTERM,
// then killed if it lingers) by stop() or the destructor.
class VirtualRadio {
  public:
    VirtualRadio();
    ~VirtualRadio();
    VirtualRadio(const VirtualRadio&) = delete;
    VirtualRadio& operator=(const VirtualRadio&) = delete;

    // Starts `virtual-radio --product PRODUCT --link ... --log ... --dump ... EXTRA` and waits
    // up to 5 s for its "ready" line. False when it did not come; errorOutput() says why.
    bool start(const QString& product, const QStringList& extraArgs = {});
    void stop();

    // Waits for the radio to end by itself (for example after a hang-up).
    bool waitForExit(int msecs = 3000);
    bool isRunning() const { return m_process.state() != QProcess::NotRunning; }
    int exitCode() const { return m_process.exitCode(); }
    QProcess::ExitStatus exitStatus() const { return m_process.exitStatus(); }
    // What the radio printed on stderr so far.
    QString errorOutput();

    QString linkPath() const { return m_dir.filePath(QStringLiteral("radio")); }
    QString logPath() const { return m_dir.filePath(QStringLiteral("frames.log")); }
    QString dumpPath() const { return m_dir.filePath(QStringLiteral("memory.bin")); }
    // A free path in the radio's folder, for input files (memory image, information area).
    QString filePath(const QString& name) const { return m_dir.filePath(name); }

    // Lines of the frame log: "> HEX" received by the radio, "< HEX" sent by it.
    QStringList log() const;
    // The last memory dump (after an end command or at exit); empty when there is none.
    QByteArray dump() const;

  private:
    QTemporaryDir m_dir;
    QProcess m_process;
    QByteArray m_stderr;
};
