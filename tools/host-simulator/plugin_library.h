#pragma once
// The plug-in as the host sees it: a library whose exports are found by name
// and called with the parameter kinds of kQuorvelExports.
#include <optional>
#include <string>
#include <vector>

namespace quorvel::sim {

// One argument of an export: an int, a text (GBK bytes) or a null pointer.
struct ExportArg {
  int number = 0;
  std::optional<std::string> text;
  const char* Text() const { return text ? text->c_str() : nullptr; }
};

class PluginLibrary {
 public:
  PluginLibrary() = default;
  ~PluginLibrary();
  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;

  bool Load(const std::string& path, std::string& error);
  void Unload();

  // Index of the export in kQuorvelExports, or -1 for an unknown name.
  static int ExportIndex(const std::string& name);
  bool Exports(int index) const;
  // Calls the export; its result, or nothing for Menu. The arguments must
  // match the export's parameter kinds (checked by the caller).
  std::optional<int> Call(int index, const std::vector<ExportArg>& args) const;

 private:
  std::optional<int> CallExport(int index, const std::vector<ExportArg>& args) const;

  void* library_ = nullptr;
  void* exports_[16] = {};
};

}  // namespace quorvel::sim
