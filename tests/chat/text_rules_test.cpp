#include "chat/text_rules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace quorvel {
namespace {

// Literals here are GBK, like the plug-in's: "中文" is D6 D0 CE C4.

TEST(FindTextTest, FindsOnlyAtCharacterBoundaries) {
  struct Case {
    std::string text, needle;
    int start, expected;
  };
  const std::vector<Case> cases = {
      {"abc", "b", 1, 2},
      {"abc", "x", 1, -1},
      {"abcabc", "abc", 2, 4},
      {"abc", "b", 0, 2},    // 0 or less counts as 1
      {"abc", "b", -7, 2},
      {"abc", "b", 9, -1},
      {"a中文b", "文", 1, 4},
      {"中文", "\xD0\xCE", 1, -1},   // the bytes across 中|文 are no character
      {"\x81" "AB", "AB", 1, -1},     // "A" is the trail byte of 0x8141
      {"\x81" "ABAB", "AB", 1, 4},    // the next "AB" is a real one
      {"中文", "中文文", 1, -1},
      {"ab\xD6", "\xD6", 1, 3},       // a lone lead byte at the end
      // An empty needle is found at 1 wherever the searched part is not empty.
      {"abc", "", 1, 1},
      {"abc", "", 3, 1},
      {"abc", "", 4, -1},
      {"", "", 1, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("text=" + c.text + " needle=" + c.needle + " start=" + std::to_string(c.start));
    EXPECT_EQ(FindText(c.text, c.needle, c.start), c.expected);
  }
  EXPECT_TRUE(Contains("现在可以开始聊天了。好", "现在可以开始聊天了。"));
  EXPECT_FALSE(Contains("中文", "\xD0\xCE"));
}

TEST(ReplacePlaceholdersTest, Cases) {
  struct Case {
    const char* name;
    std::string text;
    std::vector<Replacement> pairs;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"every occurrence", "码【邀请码】，再说【邀请码】", {{"【邀请码】", "AB12"}}, "码AB12，再说AB12"},
      {"a later pair sees an earlier value",
       "【邀请码】|【订单名称】|【使用积分】|【剩余积分】",
       {{"【邀请码】", "C1"}, {"【订单名称】", "套餐【使用积分】"}, {"【使用积分】", "10"}, {"【剩余积分】", "90"}},
       "C1|套餐10|10|90"},
      {"a placeholder not given stays", "【订单名称】成功【剩余积分】", {{"【订单名称】", "A"}}, "A成功【剩余积分】"},
      {"ASCII case ignored", "x<![cdata[p]]>y", {{"<![CDATA[", ""}, {"]]>", ""}}, "xpy"},
      {"mixed case", "TeXt text", {{"text", "v"}}, "v v"},
      {"no re-scan of the inserted value", "abab", {{"ab", "xaby"}}, "xabyxaby"},
      {"occurrences do not overlap", "aaa", {{"aa", "b"}}, "ba"},
      {"empty placeholder", "abc", {{"", "x"}}, "abc"},
      {"empty text", "", {{"a", "x"}}, ""},
      {"no pairs", "abc", {}, "abc"},
      {"not across a double-byte character", "中文", {{"\xD0\xCE", "x"}}, "中文"},
      {"trail bytes compare exactly", "\x81" "a", {{"\x81" "A", "x"}}, "\x81" "a"},
      {"a trail byte is no letter", "\x81" "a", {{"a", "x"}}, "\x81" "a"},
      {"after a double-byte character", "中a", {{"A", "x"}}, "中x"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ReplacePlaceholders(c.text, c.pairs), c.expected);
  }
}

TEST(TextBetweenTest, Cases) {
  struct Case {
    std::string text, left, right, expected;
  };
  const std::vector<Case> cases = {
      {"a?appid=wx12&b", "?appid=", "&", "wx12"},
      {"a?appid=wx12", "?appid=", "&", ""},             // right marker missing
      {"x&a?appid=wx12", "?appid=", "&", ""},           // right marker only before the left
      {"a&?appid=wx12&b", "?appid=", "&", "wx12"},
      {"no marker", "?appid=", "&", ""},
      {"say \"hi\" now", "#引号", "#引号", "hi"},
      {"k=\"v\"", "k=#引号", "#引号", "v"},
      {"<a>中文</a>", "<a>", "</a>", "中文"},
      {"abc]d]", "", "]", "abc"},                       // empty left marker: from the start
      {"abc", "a", "", ""},                             // empty right marker: always empty
      {"abc", "c", "x", ""},
      {"", "", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text + " | " + c.left + " | " + c.right);
    EXPECT_EQ(TextBetween(c.text, c.left, c.right), c.expected);
  }
}

TEST(ReplaceAllTest, LeftToRightWithoutOverlap) {
  EXPECT_EQ(ReplaceAll("a&amp;b&amp;amp;", "&amp;", "&"), "a&b&amp;");
  EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
  EXPECT_EQ(ReplaceAll("&AMP;", "&amp;", "&"), "&AMP;");
  EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
}

TEST(FoldFullWidthTest, Cases) {
  EXPECT_EQ(FoldFullWidth("１２"), "12");
  EXPECT_EQ(FoldFullWidth("ＡＢｃ！－"), "ABc!-");
  EXPECT_EQ(FoldFullWidth("\xA3\xA1\xA3\xFE"), "!~");  // both ends of the range
  EXPECT_EQ(FoldFullWidth("　7"), " 7");
  EXPECT_EQ(FoldFullWidth("中文ab"), "中文ab");
  EXPECT_EQ(FoldFullWidth("a\xA3"), "a\xA3");  // a lone lead byte is kept
}

TEST(TextToIntTest, Cases) {
  struct Case {
    std::string text;
    int32_t expected;
  };
  const std::vector<Case> cases = {
      {"12.5", 12},
      {"１２", 12},
      {"abc", 0},
      {"", 0},
      {"-5", -5},
      {"－５", -5},
      {"+8", 8},
      {" 7", 7},
      {"\t\r\n 9x", 9},
      {"　7", 7},                  // ideographic space
      {"- 5", 0},
      {"000000000000000000012", 12},
      {"2147483647", INT32_MAX},
      {"-2147483648", INT32_MIN},
      // Beyond the range the value saturates rather than wrapping around.
      {"2147483648", INT32_MAX},
      {"4294967296", INT32_MAX},
      {"99999999999", INT32_MAX},
      {"-2147483649", INT32_MIN},
      {"-99999999999", INT32_MIN},
      {"123456789012345678901234567890", INT32_MAX},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(TextToInt(c.text), c.expected);
  }
}

TEST(TextToRealTest, RoundsToSinglePrecision) {
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    std::string text;
    double expected;
  };
  const std::vector<Case> cases = {
      {"0.29", 0.28999999165534973},
      {"1.15", static_cast<double>(1.15f)},
      {"10", 10.0},
      {"-2.5", -2.5},
      {"１.５", 1.5},
      {" 3.5abc", 3.5},
      {"1e3", 1000.0},
      {"2E-1", static_cast<double>(0.2f)},
      {"1e", 1.0},
      {"1e+", 1.0},
      {".5", 0.5},
      {"5.", 5.0},
      {".", 0.0},
      {"", 0.0},
      {"abc", 0.0},
      {"inf", 0.0},
      {"nan", 0.0},
      {"0x10", 0.0},
      {"1e39", inf},     // beyond single precision
      {"1e999", inf},
      {"1e-999", 0.0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(TextToReal(c.text), c.expected);
  }
}

TEST(TextToRealTest, TransferPointsTruncateTheSinglePrecisionProduct) {
  struct Case {
    std::string amount, ratio;
    int32_t points;
  };
  const std::vector<Case> cases = {
      {"10", "100", 1000},
      {"0.01", "100", 0},    // 0.0099999998 * 100 is just below 1
      {"1.15", "100", 114},
      {"0.29", "100", 28},
      {"abc", "100", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.amount + " x " + c.ratio);
    EXPECT_EQ(RealToInt(TextToReal(c.amount) * TextToReal(c.ratio)), c.points);
  }
}

TEST(RealToIntTest, TruncatesTowardZeroAndSaturates) {
  EXPECT_EQ(RealToInt(2.9), 2);
  EXPECT_EQ(RealToInt(-2.9), -2);
  EXPECT_EQ(RealToInt(2147483647.5), INT32_MAX);
  EXPECT_EQ(RealToInt(1e10), INT32_MAX);
  EXPECT_EQ(RealToInt(-2147483648.9), INT32_MIN);
  EXPECT_EQ(RealToInt(-1e10), INT32_MIN);
  EXPECT_EQ(RealToInt(std::numeric_limits<double>::infinity()), INT32_MAX);
  EXPECT_EQ(RealToInt(std::nan("")), 0);
}

TEST(NumberTextTest, Cases) {
  struct Case {
    double value;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {150, "150"},       {-20, "-20"},          {0, "0"},
      {12.5, "12.5"},     {0.1, "0.1"},          {9999999999999.0, "9999999999999"},
      {1e13, "1e+13"},    {4294967294.0, "4294967294"},
      {-1e13, "-1e+13"},  {1e100, "1e+100"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(NumberText(c.value), c.expected);
  }
  EXPECT_EQ(IntText(-5), "-5");
  EXPECT_EQ(IntText(INT32_MIN), "-2147483648");
}

TEST(TimeTextTest, TrailingZeroFieldsAreLeftOut) {
  EXPECT_EQ(TimeText({2024, 3, 5, 14, 7, 9}), "2024年3月5日14时7分9秒");
  EXPECT_EQ(TimeText({2024, 3, 5, 14, 7, 0}), "2024年3月5日14时7分");
  EXPECT_EQ(TimeText({2024, 3, 5, 14, 0, 0}), "2024年3月5日14时");
  EXPECT_EQ(TimeText({2024, 3, 5, 0, 0, 0}), "2024年3月5日");
  // Only trailing zeros go: a zero in the middle is printed.
  EXPECT_EQ(TimeText({2024, 12, 31, 0, 0, 1}), "2024年12月31日0时0分1秒");
}

TEST(AddPointsTest, Cases) {
  struct Case {
    std::string a, b;
    int sign;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"30", "100", 1, "130"},
      {"100", "12.5", -1, "88"},    // a price of 12.5 charges 12
      {"10", "10", -1, "0"},
      {"abc", "5", 1, "5"},
      {"30", "50.5", 1, "80"},
      {"１０", "5", -1, "5"},
      {"2147483647", "2147483647", 1, "4294967294"},  // no overflow in double
      {"-2147483648", "2147483647", -1, "-4294967295"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.a + (c.sign < 0 ? " - " : " + ") + c.b);
    EXPECT_EQ(AddPoints(c.a, c.b, c.sign), c.expected);
  }
}

TEST(AddPointsTest, AnOversizedBalanceNeverTurnsNegative) {
  const std::string balance = AddPoints("2147483647", "100", 1);
  EXPECT_EQ(balance, "2147483747");
  EXPECT_EQ(TextToInt(balance), INT32_MAX);
  EXPECT_EQ(AddPoints(balance, "1", 1), "2147483648");
}

}  // namespace
}  // namespace quorvel

namespace quorvel {
namespace {

// A credit that would carry a balance past the 32-bit range it is read back in
// is refused: written, it would read back as less than the user has.
TEST(CreditFits, RefusesCreditsPastThe32BitRange) {
  struct Case {
    const char* balance;
    double credit;
    bool fits;
  };
  const Case cases[] = {
      {"", 100, true},
      {"90", 10, true},
      {"2147483000", 647, true},
      {"2147483000", 648, false},
      {"2147483647", 1, false},
      {"4294966000", 0, false},  // already past the range: reads back as the limit
      {"", 2147483647, false},
      {"", 3e9, false},
      {"-5", 2147483647, false},
  };
  for (const Case& c : cases) EXPECT_EQ(CreditFits(c.balance, c.credit), c.fits) << c.balance << " + " << c.credit;
}

}  // namespace
}  // namespace quorvel
