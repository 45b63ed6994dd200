#include "platform/code_page.h"

// The lenient conversions, built on the strict ones one character at a time.
namespace quorvel {

std::string GbkToUtf8Lossy(std::string_view gbk) {
  std::string out;
  if (GbkToUtf8(gbk, out)) return out;
  out.clear();
  size_t i = 0;
  while (i < gbk.size()) {
    unsigned char c = static_cast<unsigned char>(gbk[i]);
    size_t len = c < 0x80 ? 1 : 2;
    if (i + len > gbk.size()) len = 1;
    std::string piece;
    if (GbkToUtf8(gbk.substr(i, len), piece)) {
      out += piece;
    } else {
      out += "\xEF\xBF\xBD";
      len = 1;
    }
    i += len;
  }
  return out;
}

std::string Utf8ToGbkLossy(std::string_view utf8) {
  std::string out;
  if (Utf8ToGbk(utf8, out)) return out;
  out.clear();
  size_t i = 0;
  while (i < utf8.size()) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    size_t len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    if (i + len > utf8.size()) len = 1;
    std::string piece;
    if (Utf8ToGbk(utf8.substr(i, len), piece)) {
      out += piece;
    } else {
      out += '?';
    }
    i += len;
  }
  return out;
}

}  // namespace quorvel
