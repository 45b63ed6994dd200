#include "chat/page_path.h"

#include "chat/text_rules.h"

namespace quorvel {
namespace {

// The value of a hexadecimal digit (either case), or -1.
int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::string MiniProgramPagePath(const std::string& message) {
  const std::string path = TextBetween(message, "<pagepath>", "</pagepath>");
  const std::string bare = ReplacePlaceholders(path, {{"<![CDATA[", ""}, {"]]>", ""}});
  return ReplaceAll(UrlDecode(bare), "&amp;", "&");
}

std::string UrlDecode(const std::string& text) {
  std::string result;
  result.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && text.size() - i > 2) {
      const int high = HexValue(text[i + 1]);
      const int low = HexValue(text[i + 2]);
      if (high >= 0 && low >= 0) {
        result += static_cast<char>(high * 16 + low);
        i += 2;
        continue;
      }
    }
    result += text[i];
  }
  return result;
}

std::string getUrlParam(const std::string& pagePath, const std::string& name) {
  const size_t question = pagePath.find('?');
  const std::string query = question == std::string::npos ? pagePath : pagePath.substr(question + 1);

  std::string value;
  size_t begin = 0;
  for (;;) {
    size_t end = query.find('&', begin);
    if (end == std::string::npos) end = query.size();
    const std::string item = query.substr(begin, end - begin);
    const size_t equals = item.find('=');
    if (item.substr(0, equals) == name) {
      if (equals == std::string::npos) {
        value.clear();  // a later item without "=" takes the earlier value away
      } else {
        const size_t second = item.find('=', equals + 1);
        value = item.substr(equals + 1, second == std::string::npos ? std::string::npos : second - equals - 1);
      }
    }
    if (end == query.size()) break;
    begin = end + 1;
  }
  return value;
}

}  // namespace quorvel
