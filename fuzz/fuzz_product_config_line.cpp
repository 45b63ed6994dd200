// The product configuration line read back by "一键配置", over arbitrary bytes.
#include "fuzz_input.h"
#include "window/product_config_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quorvel;
  std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> fields = SplitProductConfigLine(text);
  size_t bytes = 0;
  for (const std::string& field : fields) bytes += field.size();
  // The fields are the text less its separators.
  if (bytes > text.size()) __builtin_trap();
  JoinProductConfigLine(fields);
  return 0;
}
