#pragma once
// Conversion between the plug-in's texts (GBK, code page 936) and UTF-8, the
// database's and the simulator's encoding. A text that cannot be converted
// converts to nothing: the functions return false and leave `out` empty.
#include <string>
#include <string_view>

namespace quorvel {

bool GbkToUtf8(std::string_view gbk, std::string& out);
// Only UTF-8 sequences of one to three bytes are taken (the Basic Multilingual
// Plane), as the database boundary has always done.
bool Utf8ToGbk(std::string_view utf8, std::string& out);

// Lenient forms for display and logs: an invalid sequence becomes U+FFFD
// (or "?" towards GBK) instead of failing the whole text.
std::string GbkToUtf8Lossy(std::string_view gbk);
std::string Utf8ToGbkLossy(std::string_view utf8);

}  // namespace quorvel
