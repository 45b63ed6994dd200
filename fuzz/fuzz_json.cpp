// JsonDocument::Parse and ReadText over arbitrary payloads: payload NUL path.
#include "fuzz_input.h"
#include "host/json_document.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quorvel;
  std::vector<std::string> in = fuzz::SplitInput(data, size, 2);
  JsonDocument doc;
  bool parsed = doc.Parse(in[0]);
  for (const char* path : {"is_arrived", "is_received", "", "a.b", "[0]", "[0].nickname", "list[2].wxid"})
    doc.ReadText(path);
  doc.ReadText(in[1]);
  doc.SetText(in[1], in[0]);
  if (parsed) doc.ToText();
  return 0;
}
