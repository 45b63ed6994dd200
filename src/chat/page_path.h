#pragma once
// The page path of a mini-program message and the parameters of its query.
#include <string>

namespace quorvel {

// The text between "<pagepath>" and "</pagepath>" with its character-data
// wrapper removed, percent escapes decoded and "&amp;" turned into "&";
// empty when the message has no page path.
std::string MiniProgramPagePath(const std::string& message);

// Percent escapes become their bytes; no character-set conversion and no
// "+" to blank. A "%" without two hexadecimal digits after it is kept as is.
std::string UrlDecode(const std::string& text);

// The value of the last item named `name` in the query (the part after the
// first "?", or the whole path); empty when absent or when that item has no
// "=". A value ends at the item's second "=".
std::string getUrlParam(const std::string& pagePath, const std::string& name);

}  // namespace quorvel
