#include "sessionfailure.h"

#include <iterator>

namespace {
// In the order of SessionFailure.
constexpr SessionFailureInfo Table[] = {
    {SessionFailure::None, "success", "success", ExitOk},
    {SessionFailure::Busy, "busy", "failed (another operation was running)", ExitNoAnswer},
    {SessionFailure::PortOpen, "port-error", "failed (the port cannot be opened)", ExitPortError},
    {SessionFailure::Refused, "refused", "failed (nothing was sent: the data cannot be written)",
     ExitUsageOrFile},
    {SessionFailure::Identity, "identity-rejected", "failed (the radio's identity was rejected)",
     ExitIdentityRejected},
    {SessionFailure::NoAnswer, "no-answer", "failed (no answer)", ExitNoAnswer},
    {SessionFailure::Cancelled, "cancelled", "failed (cancelled)", ExitNoAnswer},
    {SessionFailure::DeviceLost, "connection-lost", "failed (connection lost)", ExitNoAnswer},
    {SessionFailure::BadData, "bad-data", "failed (the data read cannot be used)", ExitNoAnswer},
    {SessionFailure::VerifyMismatch, "verify-different",
     "failed (written, but the radio holds something else)", ExitVerifyMismatch},
};

constexpr bool tableInOrder() {
    for (size_t i = 0; i < std::size(Table); ++i)
        if (size_t(Table[i].failure) != i) return false;
    return true;
}
static_assert(tableInOrder(), "one row per failure, in the order of SessionFailure");
static_assert(std::size(Table) == size_t(SessionFailure::VerifyMismatch) + 1);
} // namespace

const SessionFailureInfo& sessionFailureInfo(SessionFailure failure) {
    const auto i = size_t(failure);
    // A value outside the enumeration (a corrupted record) counts as a radio that gave no
    // usable answer rather than reading past the table.
    static constexpr SessionFailureInfo Unknown{SessionFailure::NoAnswer, "failed", "failed",
                                                ExitNoAnswer};
    return i < std::size(Table) ? Table[i] : Unknown;
}
