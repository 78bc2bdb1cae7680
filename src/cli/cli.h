#pragma once

#include "core/comm/sessionfailure.h"
#include "core/product/product.h"

#include <QStringList>
#include <QTextStream>

// Where a command writes: its results (standard output) and its messages and progress
// (standard error). Tests hand in streams over strings and run the commands in-process.
struct CliStreams {
    QTextStream& out;
    QTextStream& err;
    bool errIsTerminal = false; // progress bars and redrawn port lines only on a terminal
};

// Runs the companion for product p with its arguments (without the program name).
int runCli(const Product& p, const QStringList& args, const CliStreams& io);

// Entry point shared by both executables.
int cliMain(const Product& p, int argc, char** argv);
