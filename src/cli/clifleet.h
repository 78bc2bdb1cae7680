#pragma once

#include "cli.h"
#include "core/comm/fleet.h"

#include <QStringList>
#include <QTextStream>

// Exit code of one radio: its session's failure, else a file it could not keep or a verify
// that found the radio holding something else.
int exitCodeFor(const FleetRecord& record);

// Options of a run over several ports, or one port again and again.
struct FleetCommand {
    QStringList ports; // as given: device paths or COMn
    QString outputDir; // read: the folder that gets one data file per radio
    QString logPath;   // --log: the CSV file that gets one row per radio
    QString settingsFile;
};

// Runs the sessions of all ports at once on this thread's event loop until every port is done
// (or, with repeat, until SIGINT, SIGTERM or SIGHUP). Progress and messages go to the error
// stream, the summary table to the output. Returns the highest exit code of any radio.
int runFleet(const Document& doc, const FleetOptions& options, const FleetCommand& command,
             const CliStreams& io);

// What a radio stopped in the middle of a write holds, for the user.
QString partlyWrittenText(const QString& model);

// A radio's data file name in the read folder: the port and the radio's identification,
// "ttyUSB0-SOLV-4-V100.dat"; a name already taken gets "-2", "-3", ... (nothing is replaced).
QString fleetReadFileName(const QString& folder, const QString& port,
                          const RadioSession::RadioIdentity& id);
