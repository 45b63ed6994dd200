// The number texts: TextToInt, TextToReal and the points arithmetic over
// arbitrary bytes: a NUL b.
#include <cmath>

#include "chat/text_rules.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quorvel;
  std::vector<std::string> in = fuzz::SplitInput(data, size, 2);
  int32_t a = TextToInt(in[0]);
  double r = TextToReal(in[0]);
  RealToInt(r);
  RealToInt(r * TextToReal(in[1]));
  NumberText(r);
  // A balance written back reads as the same number when it fits.
  std::string sum = AddPoints(in[0], in[1], +1);
  double exact = static_cast<double>(a) + static_cast<double>(TextToInt(in[1]));
  if (std::fabs(exact) < 2147483647.0 && TextToInt(sum) != static_cast<int32_t>(exact)) __builtin_trap();
  AddPoints(in[0], in[1], -1);
  IntText(a);
  return 0;
}
