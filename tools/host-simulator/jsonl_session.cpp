#include <cstdio>

#include "line_runner.h"
#include "sessions.h"
#include "sim_control.h"
#include "timing.h"

namespace quorvel::sim {
namespace {

void WriteToOutput(void* context, const char* line) { static_cast<Output*>(context)->Line(line); }

// The reason is quoted from the line in places; it must stay on one line.
void ReportError(size_t lineNumber, std::string reason) {
  for (char& c : reason)
    if (c == '\n' || c == '\r') c = ' ';
  std::fprintf(stderr, "quorvel-host: line %zu: %s\n", lineNumber, reason.c_str());
  std::fflush(stderr);
}

// The line's kind for --timing: "call:EventFriendMsg", "concurrent", "host",
// "window:click".
std::string LineKind(const Json& line) {
  if (!line.is_object()) return "?";
  for (const char* k : {"call", "window"}) {
    if (line.contains(k)) return std::string(k) + ":" + (line[k].is_string() ? line[k].get<std::string>() : "?");
  }
  for (const char* k : {"concurrent", "host"}) {
    if (line.contains(k)) return k;
  }
  return "?";
}

bool IsBlank(const std::string& text) { return text.find_first_not_of(" \t\r\n") == std::string::npos; }

}  // namespace

int RunJsonlSession(const PluginLibrary& plugin, const LineSource& input, Output& out) {
  LineRunner runner(plugin);
  Sim_SetSink(WriteToOutput, &out);
  int status = 0;
  std::string text;
  for (size_t number = 1; input(text); ++number) {
    if (number == 1 && text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
    if (IsBlank(text)) continue;
    Json line;
    try {
      line = Json::parse(text);
    } catch (const Json::exception& e) {
      ReportError(number, std::string("not valid JSON: ") + e.what());
      status = 2;
      break;
    }
    Json closing;
    std::string error;
    TimingClock::time_point start = TimingClock::now();
    bool ran = runner.Run(line, closing, error);
    if (TimingEnabled()) ReportLineTiming(number, LineKind(line), TimingClock::now() - start);
    if (!ran) {
      ReportError(number, error);
      status = 2;
      break;
    }
    out.Line(DumpLine(closing));
  }
  Sim_SetSink(nullptr, nullptr);
  return status;
}

}  // namespace quorvel::sim
