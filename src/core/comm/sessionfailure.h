#pragma once

#include <QString>

// Why the last operation of a radio session did not succeed.
enum class SessionFailure {
    None,
    Busy,
    PortOpen,
    Refused,
    Identity,
    NoAnswer,
    Cancelled,
    DeviceLost,
    BadData,
    VerifyMismatch // written, but the verify read found the radio holding something else
};

// Exit codes of the command-line companions.
enum CliExit : int {
    ExitOk = 0,
    ExitUsageOrFile = 1,
    ExitPortError = 2,
    ExitIdentityRejected = 3,
    ExitNoAnswer = 4,
    ExitVerifyMismatch = 5, // written, but the verify read found the radio holding something else
};

// What a failure means to each reader of it, in one table so that the trace, the logs and the
// exit code of a radio can never disagree.
struct SessionFailureInfo {
    SessionFailure failure;
    const char* resultWord; // the logs' and summary table's result column: "no-answer"
    const char* traceText;  // the last line of a session trace: "failed (no answer)"
    CliExit exitCode;       // the command-line companions' exit code for a radio that ended so
};

const SessionFailureInfo& sessionFailureInfo(SessionFailure failure);

inline QString sessionResultWord(SessionFailure failure) {
    return QString::fromLatin1(sessionFailureInfo(failure).resultWord);
}
inline QString sessionTraceText(SessionFailure failure) {
    return QString::fromLatin1(sessionFailureInfo(failure).traceText);
}
inline CliExit sessionExitCode(SessionFailure failure) {
    return sessionFailureInfo(failure).exitCode;
}
