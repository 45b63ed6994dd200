#include "boundary/config_dir.h"

namespace quorvel {

std::string& ConfigDir() {
  static std::string dir;
  return dir;
}

}  // namespace quorvel
