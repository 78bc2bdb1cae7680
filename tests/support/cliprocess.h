#pragma once

#include <QString>
#include <QStringList>

// One run of a command-line program as a user starts it, with the test's own settings and data
// folders. A run that does not end in time is killed and reported with code -1.
struct CliRun {
    int code = -1;
    QString out;
    QString err;
};

struct CliEnvironment {
    QString configHome;    // XDG_CONFIG_HOME
    QString dataHome;      // XDG_DATA_HOME; empty: inherited
    QString workDir;       // empty: the test's own
    bool headless = false; // as on a machine without a display: no platform, no DISPLAY
    int timeoutMs = 60000;
};

CliRun runCli(const QString& program, const QStringList& args, const CliEnvironment& env);
