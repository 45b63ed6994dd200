#pragma once
// The product configuration line: a product's eleven values joined by "----",
// as "复制配置" puts it on the clipboard and "一键配置" reads it back.
#include <string>
#include <vector>

namespace quorvel {

inline constexpr int kProductConfigFields = 11;

// Splits at every "----" found at a GBK character boundary, left to right.
// Empty fields between separators are kept; one trailing empty field (a text
// ending in "----") is dropped; an empty text has no fields. No trimming.
std::vector<std::string> SplitProductConfigLine(const std::string& text);

std::string JoinProductConfigLine(const std::vector<std::string>& values);

}  // namespace quorvel
