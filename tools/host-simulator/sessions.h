#pragma once
// The simulator's two ways of running: the line protocol for scripts and
// tests, and the console for people.
#include <functional>
#include <string>

#include "output.h"
#include "plugin_library.h"

namespace quorvel::sim {

// Hands over the next input line; false at the end of input.
using LineSource = std::function<bool(std::string&)>;

// The line protocol: 0 after the last line, 2 at the first line that is not
// valid protocol (the reason goes to standard error as one line).
int RunJsonlSession(const PluginLibrary& plugin, const LineSource& input, Output& out);

// The interactive console: the commands of `script` (if any), then those typed
// on standard input, until "quit" or the end of input.
int RunConsole(const PluginLibrary& plugin, const LineSource* script, Output& out);

}  // namespace quorvel::sim
