#pragma once

#include <QByteArray>
#include <QString>

// The radio's end of the programming cable: a pseudo-terminal whose slave side the programming
// software opens like a serial port, reached through a symbolic link at a path of our choice.
//
// The radio keeps its own descriptor of the slave open for its whole life, so the master never
// reports EIO while no program has the port open (between two sessions, or before the first).
class PseudoTerminal {
  public:
    PseudoTerminal() = default;
    ~PseudoTerminal(); // removes the link and closes both ends
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // Creates the pair; the slave is raw, 9600 8N1, and the master is non-blocking.
    bool open(QString* error);

    // Points `path` at the slave atomically (link under a temporary name beside it, then
    // rename), so a client never sees a half-made link. A stale link left by a radio that was
    // killed is replaced; any other file at `path` is left alone and reported.
    bool link(const QString& path, QString* error);

    // Removes the link, but only while it still points at our slave.
    void removeLink();

    // Closes the master (the client sees a hang-up) and our slave descriptor.
    void close();

    int masterFd() const { return m_master; }
    // Bytes written by the radio that the client has not read yet.
    int pendingForClient() const;

  private:
    int m_master = -1;
    int m_slave = -1;
    QByteArray m_slaveName;
    QByteArray m_linkPath;
};
