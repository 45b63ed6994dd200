#pragma once
#include <string>

namespace quorvel {

// The configuration directory from EventInit; file paths are ConfigDir()
// followed directly by a file name. Guard with PluginLock().
std::string& ConfigDir();

}  // namespace quorvel
