#pragma once
// The plug-in's self-description, handed to the host at LoadingInfo.
#include <string>
#include <vector>

namespace quorvel {

struct PluginInfo {
  std::string name;
  std::string desc;
  std::string author;
  std::string developerKey;
  std::vector<unsigned char> cover;  // a 32x32, 32-bit icon file
  std::string version;
  std::string apiVersion;  // "5.0" is put in by the handshake when empty
  std::string menuTitle;
};

// The process-wide record.
PluginInfo& GlobalPluginInfo();

// Sets every field but apiVersion to the plug-in's own values.
void FillPluginInfo(PluginInfo& info);

// The cover icon carried in the library (4286 bytes).
const std::vector<unsigned char>& CoverIcon();

}  // namespace quorvel
