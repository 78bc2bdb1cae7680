#pragma once

#include "core/config/messages.h"

#include <QObject>
#include <QString>
#include <type_traits>
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

// The name an error of a control's event handler gives: the control's objectName without the
// index of an indexed control, then the event ("Combo1_0" and "Click" give "Combo1_Click").
QString handlerName(const QObject* control, const char* event);

// Runs handler, trapped under the handler name of control and event, whenever control sends
// signal; the handler takes the signal's arguments or none.
template <typename Control, typename Signal, typename Handler>
void connectTrapped(Control* control, Signal signal, QObject* context, const char* event,
                    Handler handler) {
    QObject::connect(control, signal, context,
                     [control, event, handler = std::move(handler)](auto... args) {
                         runTrapped(handlerName(control, event), [&] {
                             if constexpr (std::is_invocable_v<const Handler&, decltype(args)...>)
                                 handler(args...);
                             else
                                 handler();
                         });
                     });
}
