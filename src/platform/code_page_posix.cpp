#include "platform/code_page.h"

#include <iconv.h>

#include <cerrno>

namespace quorvel {
namespace {

// One conversion with iconv; false on any invalid or unconvertible input.
bool Convert(const char* to, const char* from, std::string_view in, std::string& out) {
  out.clear();
  if (in.empty()) return true;
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  std::string result(in.size() * 4 + 16, '\0');
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char* dst = result.data();
  size_t dstLeft = result.size();
  size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
  bool ok = rc != static_cast<size_t>(-1) && srcLeft == 0;
  // iconv counts irreversible conversions in rc; GBK<->UTF-8 has none that we accept.
  if (ok && rc != 0) ok = false;
  iconv_close(cd);
  if (!ok) return false;
  result.resize(result.size() - dstLeft);
  out = std::move(result);
  return true;
}

bool HasLongUtf8Sequence(std::string_view utf8) {
  for (unsigned char c : utf8)
    if (c >= 0xF0) return true;
  return false;
}

}  // namespace

bool GbkToUtf8(std::string_view gbk, std::string& out) {
  return Convert("UTF-8", "GBK", gbk, out);
}

bool Utf8ToGbk(std::string_view utf8, std::string& out) {
  if (HasLongUtf8Sequence(utf8)) {
    out.clear();
    return false;
  }
  return Convert("GBK", "UTF-8", utf8, out);
}

}  // namespace quorvel
