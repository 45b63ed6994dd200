#include "timing.h"

#include <atomic>
#include <cstdio>

namespace quorvel::sim {
namespace {

std::atomic<bool> enabled{false};

long long Microseconds(TimingClock::duration elapsed) {
  return std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count();
}

}  // namespace

void EnableTiming() { enabled = true; }

bool TimingEnabled() { return enabled; }

// One fprintf per line: the C library writes it whole, so lines from the
// threads of a concurrent line never mix.
void ReportCallTiming(const char* exportName, TimingClock::duration elapsed) {
  std::fprintf(stderr, "timing call %s %lld\n", exportName, Microseconds(elapsed));
}

void ReportLineTiming(size_t lineNumber, const std::string& kind, TimingClock::duration elapsed) {
  std::fprintf(stderr, "timing line %zu %s %lld\n", lineNumber, kind.c_str(), Microseconds(elapsed));
}

}  // namespace quorvel::sim
