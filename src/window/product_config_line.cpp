#include "window/product_config_line.h"

namespace quorvel {
namespace {
const char kSeparator[] = "----";
constexpr size_t kSeparatorSize = 4;
}  // namespace

std::vector<std::string> SplitProductConfigLine(const std::string& text) {
  std::vector<std::string> fields;
  if (text.empty()) return fields;
  size_t start = 0;
  size_t i = 0;
  while (i < text.size()) {
    if (static_cast<unsigned char>(text[i]) >= 0x80) {
      // A lead byte and its trail byte are one character: never part of a separator.
      i += 2;
    } else if (text.compare(i, kSeparatorSize, kSeparator) == 0) {
      fields.push_back(text.substr(start, i - start));
      i += kSeparatorSize;
      start = i;
    } else {
      ++i;
    }
  }
  if (start < text.size()) fields.push_back(text.substr(start));
  return fields;
}

std::string JoinProductConfigLine(const std::vector<std::string>& values) {
  std::string line;
  for (size_t i = 0; i < values.size(); ++i) {
    if (i) line += kSeparator;
    line += values[i];
  }
  return line;
}

}  // namespace quorvel
