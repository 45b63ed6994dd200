#include "chat/text_rules.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <system_error>

namespace quorvel {
namespace {

bool IsLeadByte(char c) { return static_cast<unsigned char>(c) >= 0x80; }

// Bytes of the character starting at `pos`, never past the end.
size_t CharLength(const std::string& text, size_t pos) {
  return IsLeadByte(text[pos]) && pos + 1 < text.size() ? 2 : 1;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// White space as the C library skips it before a number.
bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether `placeholder` stands at `pos`. Single-byte characters compare with
// ASCII case ignored; double-byte characters compare exactly, so a trail byte
// that happens to be a letter does not make two characters equal.
bool PlaceholderAt(const std::string& text, size_t pos, const std::string& placeholder) {
  if (text.size() - pos < placeholder.size()) return false;
  for (size_t k = 0; k < placeholder.size(); ++k) {
    const char p = placeholder[k];
    const char t = text[pos + k];
    if (IsLeadByte(p)) {
      if (t != p) return false;
      if (k + 1 < placeholder.size()) {
        ++k;
        if (text[pos + k] != placeholder[k]) return false;
      }
    } else if (AsciiLower(p) != AsciiLower(t)) {
      return false;
    }
  }
  return true;
}

std::string ReplaceOne(const std::string& text, const std::string& placeholder,
                       const std::string& value) {
  if (placeholder.empty() || text.empty()) return text;
  std::string result;
  result.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    if (PlaceholderAt(text, pos, placeholder)) {
      result += value;
      pos += placeholder.size();
    } else {
      const size_t n = CharLength(text, pos);
      result.append(text, pos, n);
      pos += n;
    }
  }
  return result;
}

}  // namespace

int FindText(const std::string& text, const std::string& needle, int start) {
  if (start < 1) start = 1;
  size_t pos = static_cast<size_t>(start) - 1;
  if (pos >= text.size()) return -1;
  if (needle.empty()) return 1;
  while (pos < text.size() && text.size() - pos >= needle.size()) {
    if (text.compare(pos, needle.size(), needle) == 0) return static_cast<int>(pos) + 1;
    pos += IsLeadByte(text[pos]) ? 2 : 1;
  }
  return -1;
}

bool Contains(const std::string& text, const std::string& needle) {
  return FindText(text, needle) != -1;
}

std::string ReplacePlaceholders(const std::string& text, const std::vector<Replacement>& pairs) {
  std::string result = text;
  for (const auto& [placeholder, value] : pairs) result = ReplaceOne(result, placeholder, value);
  return result;
}

std::string TextBetween(const std::string& text, const std::string& left, const std::string& right) {
  const std::string quote = "\"";
  const std::string leftMarker = ReplaceAll(left, "#引号", quote);
  const std::string rightMarker = ReplaceAll(right, "#引号", quote);

  const int leftPos = FindText(text, leftMarker);
  if (leftPos < 0) return {};
  const size_t start = static_cast<size_t>(leftPos) - 1 + leftMarker.size();
  const int rightPos = FindText(text, rightMarker, static_cast<int>(start) + 1);
  // An empty right marker is "found" at position 1, before the start.
  if (rightPos < 0 || static_cast<size_t>(rightPos) - 1 < start) return {};
  return text.substr(start, static_cast<size_t>(rightPos) - 1 - start);
}

std::string ReplaceAll(const std::string& text, const std::string& from, const std::string& to) {
  if (from.empty()) return text;
  std::string result;
  result.reserve(text.size());
  size_t pos = 0;
  for (size_t found; (found = text.find(from, pos)) != std::string::npos; pos = found + from.size()) {
    result.append(text, pos, found - pos);
    result += to;
  }
  result.append(text, pos, std::string::npos);
  return result;
}

std::string FoldFullWidth(const std::string& text) {
  std::string result;
  result.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t n = CharLength(text, pos);
    if (n == 2) {
      const auto lead = static_cast<unsigned char>(text[pos]);
      const auto trail = static_cast<unsigned char>(text[pos + 1]);
      if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
        result += static_cast<char>(trail & 0x7F);
      } else if (lead == 0xA1 && trail == 0xA1) {
        result += ' ';
      } else {
        result.append(text, pos, 2);
      }
    } else {
      result += text[pos];
    }
    pos += n;
  }
  return result;
}

int32_t TextToInt(const std::string& text) {
  const std::string s = FoldFullWidth(text);
  size_t i = 0;
  while (i < s.size() && IsSpace(s[i])) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  // The magnitude stops growing just past the range, whatever the length.
  const int64_t limit = int64_t{INT32_MAX} + 1;
  int64_t magnitude = 0;
  for (; i < s.size() && IsDigit(s[i]); ++i) {
    magnitude = magnitude * 10 + (s[i] - '0');
    if (magnitude > limit) magnitude = limit;
  }
  if (negative) return static_cast<int32_t>(-magnitude);
  return magnitude > INT32_MAX ? INT32_MAX : static_cast<int32_t>(magnitude);
}

double TextToReal(const std::string& text) {
  const std::string s = FoldFullWidth(text);
  size_t i = 0;
  while (i < s.size() && IsSpace(s[i])) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';

  // Only the plain decimal form counts: no hexadecimal, "inf" or "nan".
  const size_t begin = i;
  size_t digits = 0;
  for (; i < s.size() && IsDigit(s[i]); ++i) ++digits;
  if (i < s.size() && s[i] == '.') {
    for (++i; i < s.size() && IsDigit(s[i]); ++i) ++digits;
  }
  if (digits == 0) return 0.0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    size_t e = i + 1;
    if (e < s.size() && (s[e] == '+' || s[e] == '-')) ++e;
    if (e < s.size() && IsDigit(s[e])) {
      while (e < s.size() && IsDigit(s[e])) ++e;
      i = e;
    }
  }

  // from_chars rounds correctly and ignores the locale's decimal point.
  double value = 0.0;
  const auto [end, error] = std::from_chars(s.data() + begin, s.data() + i, value);
  if (error == std::errc::result_out_of_range || end != s.data() + i) {
    // Overflow gives infinity and underflow zero, as strtod does.
    value = std::strtod(s.substr(begin, i - begin).c_str(), nullptr);
  }
  if (negative) value = -value;
  return static_cast<double>(static_cast<float>(value));
}

int32_t RealToInt(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483648.0) return INT32_MAX;
  if (value <= -2147483649.0) return INT32_MIN;
  return static_cast<int32_t>(value);
}

std::string NumberText(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.13g", value);
  std::string result = buffer;
  // Some Windows C runtimes print three exponent digits (1e+013); keep the
  // usual two.
  const size_t e = result.find('e');
  if (e != std::string::npos && result.size() - e == 5 && result[e + 2] == '0') result.erase(e + 2, 1);
  return result;
}

std::string IntText(int value) { return std::to_string(value); }

std::string TimeText(const LocalDateTime& time) {
  std::string result = std::to_string(time.year) + "年" + std::to_string(time.month) + "月" +
                       std::to_string(time.day) + "日";
  if (time.second != 0) {
    result += std::to_string(time.hour) + "时" + std::to_string(time.minute) + "分" +
              std::to_string(time.second) + "秒";
  } else if (time.minute != 0) {
    result += std::to_string(time.hour) + "时" + std::to_string(time.minute) + "分";
  } else if (time.hour != 0) {
    result += std::to_string(time.hour) + "时";
  }
  return result;
}

std::string AddPoints(const std::string& a, const std::string& b, int sign) {
  const double left = TextToInt(a);
  const double right = TextToInt(b);
  return NumberText(sign < 0 ? left - right : left + right);
}

bool CreditFits(const std::string& balance, double credit) {
  // A balance read back at the limit may stand for more than the limit: crediting
  // it would write back fewer points than the user has.
  const double current = TextToInt(balance);
  return current < INT32_MAX && credit < INT32_MAX && current + credit <= INT32_MAX;
}

}  // namespace quorvel
