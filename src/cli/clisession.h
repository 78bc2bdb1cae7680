#pragma once

#include "clicommand.h"
#include "core/comm/fleet.h"

#include <functional>

class FleetLog;

// Runs one operation on the radio at a.port to its end: `start` begins it on the session. The
// session's questions are answered by the options (--retries, --overwrite) and its messages
// go to the error stream, as does a progress bar on a terminal. Ctrl+C, SIGTERM and a closed
// terminal cancel it. Fills `record` (when given) for the log. Returns the exit code.
int runSession(Document& doc, const CliArgs& a, const CliStreams& io,
               const std::function<bool(RadioSession&)>& start, FleetRecord* record = nullptr);

// Opens the --log file, when there is one, before the radio is touched; false (with the
// reason on the error stream) when it cannot be written.
bool openLog(const CliArgs& a, FleetLog& log, QTextStream& err);
// Appends the radio's row to the --log file, when there is one; returns the command's code.
int logRadio(const CliArgs& a, const Product& p, FleetLog& log, FleetRecord& record, int rc,
             QTextStream& err);

// What a fleet run cannot take: one trace copy or timing for many sessions, a raw image file
// for many reads, the same port twice. Empty when it can take the options.
QString fleetProblem(const CliArgs& a);
// The sessions of several ports at once, or of one port again and again (--repeat).
int fleetCommand(const Document& doc, const CliArgs& a, const CliStreams& io,
                 const QByteArray& image = {});
