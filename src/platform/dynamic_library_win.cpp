#include <windows.h>

#include "platform/dynamic_library.h"

namespace quorvel {

struct DynamicLibrary::Handle {
  HMODULE module = nullptr;
  ~Handle() {
    if (module) FreeLibrary(module);
  }
};

DynamicLibrary::DynamicLibrary() = default;
DynamicLibrary::~DynamicLibrary() = default;

bool DynamicLibrary::Open(const std::string& fileName) {
  Close();
  HMODULE module = LoadLibraryA(fileName.c_str());
  if (!module) return false;
  handle_ = std::make_unique<Handle>();
  handle_->module = module;
  return true;
}

bool DynamicLibrary::IsOpen() const { return handle_ != nullptr; }

void DynamicLibrary::Close() { handle_.reset(); }

void* DynamicLibrary::Symbol(const char* name) const {
  return handle_ ? reinterpret_cast<void*>(GetProcAddress(handle_->module, name)) : nullptr;
}

const char* HostLibraryFileName() { return "coupler.dll"; }

}  // namespace quorvel
