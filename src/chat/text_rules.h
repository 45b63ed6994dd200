#pragma once
// The text and number rules every chat reply is built with. All texts are GBK
// byte strings: a byte of 0x80 or above leads a two-byte character.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/clock.h"

namespace quorvel {

// The 1-based byte position of the first occurrence of `needle` at or after
// `start` (0 or less counts as 1), or -1. Matches begin only at character
// boundaries, so a needle is never found across a double-byte character.
// An empty needle is found at position 1 whenever the searched part is not
// empty.
int FindText(const std::string& text, const std::string& needle, int start = 1);
bool Contains(const std::string& text, const std::string& needle);

// {placeholder, value}
using Replacement = std::pair<std::string, std::string>;

// Applies the pairs in order, each to the result of the one before. Every
// occurrence of a placeholder is replaced (ASCII letters matched regardless
// of case); a value just inserted is not searched again by its own pair, but
// later pairs do see it. An empty placeholder or an empty text changes nothing.
std::string ReplacePlaceholders(const std::string& text, const std::vector<Replacement>& pairs);

// The bytes after the first `left` up to the next `right` after it; empty
// when either is missing. "#引号" in a marker stands for a double quote.
std::string TextBetween(const std::string& text, const std::string& left, const std::string& right);

// Every occurrence of `from` replaced by `to`, left to right, byte for byte.
std::string ReplaceAll(const std::string& text, const std::string& from, const std::string& to);

// Full-width ASCII forms (A3 A1..A3 FE) become their ASCII bytes and the
// ideographic space (A1 A1) a blank; everything else is kept.
std::string FoldFullWidth(const std::string& text);

// Leading blanks, an optional sign and decimal digits, after folding; 0 when
// there are no digits. Values beyond the 32-bit range saturate at
// INT32_MIN / INT32_MAX rather than wrap, so an oversized balance never reads
// back as a negative one.
int32_t TextToInt(const std::string& text);

// A decimal number (sign, digits, point, exponent) after folding, rounded to
// single precision; 0 when there is no number. The float is returned widened
// to double, so products of two such values are formed exactly.
double TextToReal(const std::string& text);

// A real truncated toward zero, saturating at the 32-bit range (NaN gives 0)
// where a plain cast would be undefined.
int32_t RealToInt(double value);

// "%.13g": sums of 32-bit integers print as plain integers.
std::string NumberText(double value);
// "%d".
std::string IntText(int value);

// 2024年3月5日14时7分9秒; trailing zero fields (second, then minute, then
// hour) are left out.
std::string TimeText(const LocalDateTime& time);

// The new balance NumberText(TextToInt(a) + TextToInt(b)) for sign >= 0, or
// with b subtracted for a negative sign; the sum is formed in double, so it
// cannot overflow. A stored result beyond the 32-bit range reads back through
// TextToInt as INT32_MAX (or INT32_MIN), never wrapped.
std::string AddPoints(const std::string& a, const std::string& b, int sign);

// Whether crediting `credit` points to `balance` stays within the 32-bit range
// that balances are read back in. A credit past it would lose points, so it is
// refused instead.
bool CreditFits(const std::string& balance, double credit);

}  // namespace quorvel
