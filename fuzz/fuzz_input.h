#pragma once
// Fuzzer input split into texts at NUL bytes, as the host's zero-terminated
// arguments arrive; a seed file is therefore its texts joined by NULs.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quorvel::fuzz {

// Exactly `count` texts: the first count-1 NULs separate them, the last text
// takes the rest (missing texts are empty).
inline std::vector<std::string> SplitInput(const uint8_t* data, size_t size, size_t count) {
  std::vector<std::string> parts(count);
  size_t part = 0;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0 && part + 1 < count) {
      ++part;
      continue;
    }
    parts[part].push_back(static_cast<char>(data[i]));
  }
  return parts;
}

}  // namespace quorvel::fuzz
