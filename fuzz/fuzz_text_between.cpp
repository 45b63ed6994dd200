// TextBetween over arbitrary bytes: text NUL left NUL right.
#include "chat/text_rules.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quorvel;
  std::vector<std::string> in = fuzz::SplitInput(data, size, 3);
  std::string between = TextBetween(in[0], in[1], in[2]);
  // Without the quote marker the result is a part of the text.
  if (in[1].find("#引号") == std::string::npos && in[2].find("#引号") == std::string::npos &&
      in[0].find(between) == std::string::npos)
    __builtin_trap();
  TextBetween(in[0], "?appid=", "&");
  return 0;
}
