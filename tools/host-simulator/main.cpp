// quorvel-host [--plugin FILE] [--jsonl] [--timing] [SCRIPT]: loads the plug-in as its
// host would and runs the line protocol or the console.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "output.h"
#include "plugin_library.h"
#include "sessions.h"
#include "sim_platform.h"
#include "timing.h"

namespace {

#ifdef _WIN32
const char* const kDefaultPlugin = "Quorvel系列.cat.dll";
#else
const char* const kDefaultPlugin = "Quorvel系列.cat.so";
#endif

const char* const kUsage =
    "usage: quorvel-host [--plugin FILE] [--jsonl] [--timing] [SCRIPT]\n"
    "  --plugin FILE  the plug-in library (default: the one beside this program)\n"
    "  --jsonl        run the line protocol from SCRIPT or standard input;\n"
    "                 without it, the interactive console (SCRIPT: console commands to run first)\n"
    "  --timing       write the duration of every export call and protocol line to standard error\n";

int UsageError(const std::string& why) {
  std::fprintf(stderr, "quorvel-host: %s\n%s", why.c_str(), kUsage);
  return 2;
}

int Main(int argc, char** argv) {
  using namespace quorvel::sim;
  UseBinaryStdio();
  std::string pluginPath = ExecutableDirectory() + kDefaultPlugin;
  std::string scriptPath;
  bool jsonl = false;
  std::vector<std::string> args = CommandLineArguments(argc, argv);
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--plugin") {
      if (i + 1 >= args.size()) return UsageError("--plugin needs a file");
      pluginPath = args[++i];
    } else if (a == "--jsonl") {
      jsonl = true;
    } else if (a == "--timing") {
      EnableTiming();
    } else if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (a.size() > 1 && a[0] == '-') {
      return UsageError("unknown option " + a);
    } else if (scriptPath.empty()) {
      scriptPath = a;
    } else {
      return UsageError("more than one SCRIPT");
    }
  }

  std::ifstream scriptFile;
  if (!scriptPath.empty()) {
    scriptFile.open(std::filesystem::u8path(scriptPath), std::ios::binary);
    if (!scriptFile) return UsageError("cannot read " + scriptPath);
  }
  LineSource fromScript = [&scriptFile](std::string& line) {
    if (!std::getline(scriptFile, line)) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
  };
  LineSource fromStdin = [](std::string& line) { return ReadInputLine(line); };

  // Output outlives the plug-in: threads the plug-in left running may still
  // report while it is unloaded.
  static Output out(stdout);
  PluginLibrary plugin;
  std::string error;
  if (!plugin.Load(pluginPath, error)) {
    std::fprintf(stderr, "quorvel-host: cannot load the plug-in %s: %s\n", pluginPath.c_str(), error.c_str());
    return 1;
  }
  int status = jsonl ? RunJsonlSession(plugin, scriptPath.empty() ? fromStdin : fromScript, out)
                     : RunConsole(plugin, scriptPath.empty() ? nullptr : &fromScript, out);
  plugin.Unload();
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Main(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "quorvel-host: %s\n", e.what());
  } catch (...) {
    std::fprintf(stderr, "quorvel-host: unexpected failure\n");
  }
  return 2;
}
