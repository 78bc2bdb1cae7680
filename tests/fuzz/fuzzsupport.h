#pragma once

#include "core/config/messages.h"

#include <QCoreApplication>
#include <QDir>
#include <QString>
#include <cstdio>
#include <cstdlib>

// An invariant of the code under test: a violation aborts, so the fuzzer keeps the input.
#define FUZZ_CHECK(cond)                                                                           \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            std::fprintf(stderr, "invariant failed: %s (%s:%d)\n", #cond, __FILE__, __LINE__);     \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

// Answers every question with its cautious choice, without printing.
struct SilentMessages : MessageService {
    MsgAnswer ask(const MessageRequest& r) override {
        return r.buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Cancel;
    }
};

// Qt needs an application object for timers and settings; messages are answered silently.
struct FuzzEnvironment {
    SilentMessages silent;
    FuzzEnvironment() { setMessageService(&silent); }
    int argc = 1;
    char arg0[6] = "fuzz";
    char* argv[2] = {arg0, nullptr};
    QCoreApplication app{argc, argv};
    QString scratch =
        QDir::tempPath() + QStringLiteral("/fuzz-%1.dat").arg(QCoreApplication::applicationPid());
    const QString& scratchFile() const { return scratch; }
};
