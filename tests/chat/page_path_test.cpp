#include "chat/page_path.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorvel {
namespace {

TEST(UrlDecodeTest, Cases) {
  struct Case {
    std::string text, expected;
  };
  const std::vector<Case> cases = {
      {"%41", "A"},
      {"%4a", "J"},
      {"%E4%BD%A0", "\xE4\xBD\xA0"},   // UTF-8 bytes stay UTF-8
      {"a+b", "a+b"},
      {"中文%41", "中文A"},
      {"%26amp;", "&amp;"},
      // A "%" without two hexadecimal digits is kept with what follows.
      {"%", "%"},
      {"abc%", "abc%"},
      {"%4", "%4"},
      {"%G1", "%G1"},
      {"%4G", "%4G"},
      {"%%41", "%A"},
      {"%\xD6\xD0", "%\xD6\xD0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(UrlDecode(c.text), c.expected);
  }
}

TEST(MiniProgramPagePathTest, Cases) {
  struct Case {
    std::string message, expected;
  };
  const std::vector<Case> cases = {
      {"<msg><pagepath><![CDATA[pages/buy/index.html?id=7&amp;code=A%42C]]></pagepath></msg>",
       "pages/buy/index.html?id=7&code=ABC"},
      {"<pagepath>p?x=%26amp;</pagepath>", "p?x=&"},
      {"<PAGEPATH>p?code=1</PAGEPATH>", ""},                   // tags are case-sensitive
      {"<pagepath><![cdata[p?code=1]]></pagepath>", "p?code=1"},  // the wrapper is not
      {"<pagepath>p?code=1", ""},
      {"</pagepath>p?code=1<pagepath>", ""},
      {"plain text", ""},
      {"<pagepath>p?a=1&AMP;b=2</pagepath>", "p?a=1&AMP;b=2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    EXPECT_EQ(MiniProgramPagePath(c.message), c.expected);
  }
}

TEST(GetUrlParamTest, Cases) {
  struct Case {
    std::string path, name, expected;
  };
  const std::string worked = "pages/buy/index.html?id=7&code=ABC";
  const std::vector<Case> cases = {
      {worked, "code", "ABC"},
      {worked, "id", "7"},
      {worked, "x", ""},
      {"p?a=1=2", "a", "1"},             // the part after a second "=" is dropped
      {"p?code=1&code=2", "code", "2"},  // the last occurrence wins
      {"p?code=1&code", "code", ""},     // ...even without a value
      {"p?code=1&code=", "code", ""},
      {"code=5", "code", "5"},           // no "?": the whole path is the query
      {"p?Code=1", "code", ""},          // names are case-sensitive
      {"p?a=1&&b=2", "b", "2"},
      {"p?x=1?y", "x", "1?y"},           // only the first "?" starts the query
      {"p?=5", "", "5"},
      {"", "code", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path + " / " + c.name);
    EXPECT_EQ(getUrlParam(c.path, c.name), c.expected);
  }
}

}  // namespace
}  // namespace quorvel
