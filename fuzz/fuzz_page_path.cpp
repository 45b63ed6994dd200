// The page path of a mini-program message and its query parameters, over
// arbitrary bytes: message NUL parameter-name.
#include "chat/page_path.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quorvel;
  std::vector<std::string> in = fuzz::SplitInput(data, size, 2);
  std::string path = MiniProgramPagePath(in[0]);
  getUrlParam(path, in[1]);
  getUrlParam(in[0], in[1]);
  // Decoding never makes a text longer.
  if (UrlDecode(in[0]).size() > in[0].size()) __builtin_trap();
  return 0;
}
