// The character-boundary text search and the placeholder replacement over
// arbitrary GBK bytes: text NUL needle NUL value NUL placeholder2 NUL value2.
#include "chat/text_rules.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quorvel;
  std::vector<std::string> in = fuzz::SplitInput(data, size, 5);
  const std::string& text = in[0];
  const std::string& needle = in[1];
  for (int start : {-1, 0, 1, 2, 3, static_cast<int>(text.size()), static_cast<int>(text.size()) + 1}) {
    int found = FindText(text, needle, start);
    // A match lies inside the text and is the needle.
    if (found != -1 && (found < 1 || text.compare(static_cast<size_t>(found - 1), needle.size(), needle) != 0))
      __builtin_trap();
  }
  Contains(text, needle);
  ReplacePlaceholders(text, {{needle, in[2]}, {in[3], in[4]}});
  ReplacePlaceholders(text, {{"【邀请码】", in[2]}, {"【订单名称】", needle}, {"【使用积分】", in[3]}, {"【剩余积分】", in[4]}});
  ReplaceAll(text, needle.empty() ? "x" : needle, in[2]);
  FoldFullWidth(text);
  return 0;
}
