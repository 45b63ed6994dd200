#include <dlfcn.h>

#include "platform/dynamic_library.h"

namespace quorvel {

struct DynamicLibrary::Handle {
  void* lib = nullptr;
  ~Handle() {
    if (lib) dlclose(lib);
  }
};

DynamicLibrary::DynamicLibrary() = default;
DynamicLibrary::~DynamicLibrary() = default;

bool DynamicLibrary::Open(const std::string& fileName) {
  Close();
  void* lib = dlopen(fileName.c_str(), RTLD_NOW);
  if (!lib) return false;
  handle_ = std::make_unique<Handle>();
  handle_->lib = lib;
  return true;
}

bool DynamicLibrary::IsOpen() const { return handle_ != nullptr; }

void DynamicLibrary::Close() { handle_.reset(); }

void* DynamicLibrary::Symbol(const char* name) const {
  return handle_ ? dlsym(handle_->lib, name) : nullptr;
}

const char* HostLibraryFileName() { return "libcoupler.so"; }

}  // namespace quorvel
