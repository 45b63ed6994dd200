// The settings file reader and writer over arbitrary file content:
// content NUL section NUL key NUL value.
#include "fuzz_input.h"
#include "storage/profile_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quorvel;
  std::vector<std::string> in = fuzz::SplitInput(data, size, 4);
  const std::string& content = in[0];
  for (const char* key : {"管理员id", "积分比例", "自动收款", "自动回复_订单开始"}) {
    if (ReadProfileStringFromText(content, "配置", key).size() > 10239) __builtin_trap();
  }
  ReadProfileStringFromText(content, in[1], in[2]);
  std::string written = WriteProfileStringToText(content, in[1], in[2], in[3]);
  ReadProfileStringFromText(written, in[1], in[2]);
  WriteProfileStringToText(content, "配置", "自动收款", in[3]);
  return 0;
}
