#pragma once

#include "core/config/messages.h"

#include <QObject>
#include <QString>
#include <utility>

// Runs an event handler of a window. An exception it raises does not escape into the event
// loop: a box names the procedure, and the program carries on. The one trap of every window.
template <typename Handler> void runTrapped(const QString& procedure, Handler&& handler) {
    try {
        handler();
    } catch (...) {
        reportProcedureError(procedure);
    }
}

template <typename Handler> void runTrapped(const char* procedure, Handler&& handler) {
    runTrapped(QString::fromLatin1(procedure), std::forward<Handler>(handler));
}

// Runs handler, trapped, whenever the control sends signal. The procedure an error names is
// the control's objectName and suffix ("mnuFileNew" gives "mnuFileNew_Click").
template <typename Control, typename Signal, typename Handler>
void connectTrapped(Control* control, Signal signal, QObject* context, Handler handler,
                    const char* suffix = "_Click") {
    QObject::connect(control, signal, context, [control, suffix, handler = std::move(handler)] {
        runTrapped(control->objectName() + QLatin1String(suffix), handler);
    });
}
