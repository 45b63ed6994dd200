#include "platform/code_page.h"

#include <windows.h>

namespace quorvel {
namespace {

constexpr UINT kGbk = 936;  // our texts are GBK whatever the system's locale

bool ToWide(UINT codePage, std::string_view in, std::wstring& wide) {
  wide.clear();
  if (in.empty()) return true;
  int n = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, in.data(), static_cast<int>(in.size()), nullptr, 0);
  if (n <= 0) return false;
  wide.resize(static_cast<size_t>(n));
  return MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, in.data(), static_cast<int>(in.size()), wide.data(), n) == n;
}

bool FromWide(UINT codePage, const std::wstring& wide, std::string& out) {
  out.clear();
  if (wide.empty()) return true;
  BOOL usedDefault = FALSE;
  BOOL* usedDefaultPtr = codePage == CP_UTF8 ? nullptr : &usedDefault;
  DWORD flags = codePage == CP_UTF8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  int n = WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, usedDefaultPtr);
  if (n <= 0 || usedDefault) return false;
  out.resize(static_cast<size_t>(n));
  if (WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, usedDefaultPtr) != n ||
      usedDefault) {
    out.clear();
    return false;
  }
  return true;
}

}  // namespace

bool GbkToUtf8(std::string_view gbk, std::string& out) {
  std::wstring wide;
  if (!ToWide(kGbk, gbk, wide) || !FromWide(CP_UTF8, wide, out)) {
    out.clear();
    return false;
  }
  return true;
}

bool Utf8ToGbk(std::string_view utf8, std::string& out) {
  for (unsigned char c : utf8) {
    if (c >= 0xF0) {  // beyond three bytes: outside what the database boundary takes
      out.clear();
      return false;
    }
  }
  std::wstring wide;
  if (!ToWide(CP_UTF8, utf8, wide) || !FromWide(kGbk, wide, out)) {
    out.clear();
    return false;
  }
  return true;
}

}  // namespace quorvel
