#pragma once
// --timing: how long each export call and each protocol line took, written to
// standard error (standard output keeps the protocol's lines only). For load
// measurements: one line each,
//   timing call EventFriendMsg 153        (microseconds, one per export call)
//   timing line 12 concurrent 1234567     (line number, kind, microseconds)
#include <chrono>
#include <string>

namespace quorvel::sim {

void EnableTiming();
bool TimingEnabled();

using TimingClock = std::chrono::steady_clock;

void ReportCallTiming(const char* exportName, TimingClock::duration elapsed);
void ReportLineTiming(size_t lineNumber, const std::string& kind, TimingClock::duration elapsed);

}  // namespace quorvel::sim
