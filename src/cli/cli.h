#pragma once

#include "core/product/product.h"

#include <QStringList>

// Exit codes of the command-line companions.
enum CliExit : int {
    ExitOk = 0,
    ExitUsageOrFile = 1,
    ExitPortError = 2,
    ExitIdentityRejected = 3,
    ExitNoAnswer = 4,
    ExitVerifyMismatch = 5, // written, but the verify read found the radio holding something else
};

// Runs the companion for product p with its arguments (without the program name).
int runCli(const Product& p, const QStringList& args);

// Entry point shared by both executables.
int cliMain(const Product& p, int argc, char** argv);
