#pragma once
// A dynamic library opened by file name, with its functions found by name.
#include <memory>
#include <string>

namespace quorvel {

class DynamicLibrary {
 public:
  DynamicLibrary();
  ~DynamicLibrary();
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;

  // Opens the library by file name (as the system's loader searches for it).
  bool Open(const std::string& fileName);
  bool IsOpen() const;
  void Close();
  // The address of an exported function, or nullptr.
  void* Symbol(const char* name) const;

 private:
  struct Handle;
  std::unique_ptr<Handle> handle_;
};

// The library's file name of the host API: "coupler.dll" on Windows,
// "libcoupler.so" (the simulator's) elsewhere.
const char* HostLibraryFileName();

}  // namespace quorvel
