#pragma once
// Carries out the protocol's input lines: calls of exports (one, or several
// at once), the host functions' return values, and the window's lines.
#include <string>

#include <nlohmann/json.hpp>

#include "plugin_library.h"

namespace quorvel::sim {

using Json = nlohmann::ordered_json;

// Compact UTF-8, as every output line is written.
std::string DumpLine(const Json& value);

class LineRunner {
 public:
  explicit LineRunner(const PluginLibrary& plugin) : plugin_(plugin) {}

  // Carries out one line. True with the closing line in `closing`; false with
  // a one-line reason when the line is not valid protocol (nothing was run,
  // except a window line the window itself refused).
  bool Run(const Json& line, Json& closing, std::string& error);

 private:
  struct PreparedCall {
    int exportIndex = -1;
    std::vector<ExportArg> args;
  };
  bool PrepareCall(const Json& line, PreparedCall& call, std::string& error) const;
  bool RunCall(const Json& line, Json& closing, std::string& error);
  bool RunConcurrent(const Json& line, Json& closing, std::string& error);
  bool RunHost(const Json& line, Json& closing, std::string& error);
  bool RunWindow(const Json& line, Json& closing, std::string& error);

  const PluginLibrary& plugin_;
};

}  // namespace quorvel::sim
