#include <dlfcn.h>
#include <unistd.h>

#include <filesystem>
#include <iostream>

#include "sim_platform.h"

namespace quorvel::sim {

std::string ExecutableDirectory() {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return "./";
  std::string dir = exe.parent_path().string();
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir;
}

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

void UseBinaryStdio() {}

void PrepareInteractiveConsole() {}

bool StdinIsInteractive() { return isatty(0) == 1; }

bool ReadInputLine(std::string& line) {
  if (!std::getline(std::cin, line)) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

bool PumpWindowMessages(int) { return false; }

void* OpenLibrary(const std::string& path, std::string& error) {
  void* lib = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!lib) {
    const char* why = dlerror();
    error = why ? why : "unknown error";
  }
  return lib;
}

void* LibrarySymbol(void* library, const char* name) { return library ? dlsym(library, name) : nullptr; }

void CloseLibrary(void* library) {
  if (library) dlclose(library);
}

}  // namespace quorvel::sim
