#pragma once

#include "core/config/messages.h"

#include <QString>

// Runs an event handler of a radio window. An exception it raises does not escape into the
// event loop: a box names the procedure, and the program carries on.
template <typename Handler> void runTrapped(const char* procedure, Handler&& handler) {
    try {
        handler();
    } catch (...) {
        reportProcedureError(QString::fromLatin1(procedure));
    }
}
