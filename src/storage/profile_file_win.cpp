#include <windows.h>

#include <cstring>

#include "storage/profile_file.h"  // after windows.h: it drops the WriteProfileString macro

namespace quorvel {

namespace {

// The profile functions return at most the buffer less its terminator.
constexpr DWORD kValueBuffer = 10240;

}  // namespace

std::string ReadProfileString(const std::string& path, const std::string& section, const std::string& key) {
  std::string buffer(kValueBuffer, '\0');
  DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer.data(), kValueBuffer, path.c_str());
  // A cut value may end before the count returned (a double-byte character
  // that did not fit is left out): the text ends at the terminator.
  buffer.resize(n < kValueBuffer ? n : kValueBuffer - 1);
  buffer.resize(std::strlen(buffer.c_str()));
  return buffer;
}

bool WriteProfileString(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& value) {
  return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path.c_str()) != FALSE;
}

}  // namespace quorvel
