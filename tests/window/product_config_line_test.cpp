#include "window/product_config_line.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

using Fields = std::vector<std::string>;

struct SplitCase {
  const char* what;
  std::string text;
  Fields fields;
};

class SplitProductConfigLineTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitProductConfigLineTest, Splits) { EXPECT_EQ(SplitProductConfigLine(GetParam().text), GetParam().fields); }

INSTANTIATE_TEST_SUITE_P(
    Lines, SplitProductConfigLineTest,
    ::testing::Values(
        SplitCase{"empty", "", {}},
        SplitCase{"one field", "abc", {"abc"}},
        SplitCase{"eleven", "1----名称A----10----mp----code----成功----失败----[----]----wxid_f----开启",
                  {"1", "名称A", "10", "mp", "code", "成功", "失败", "[", "]", "wxid_f", "开启"}},
        SplitCase{"ten (status missing)", "1----n----10----mp----c----s----f----l----r----w",
                  {"1", "n", "10", "mp", "c", "s", "f", "l", "r", "w"}},
        SplitCase{"twelve", "1----n----10----mp----c----s----f----l----r----w----开启----extra",
                  {"1", "n", "10", "mp", "c", "s", "f", "l", "r", "w", "开启", "extra"}},
        SplitCase{"empty middle field keeps later positions", "1--------10",
                  {"1", "", "10"}},
        SplitCase{"only the trailing empty field is dropped", "a--------", {"a", ""}},
        SplitCase{"a lone separator", "----", {""}},
        SplitCase{"leading separator", "----a", {"", "a"}},
        SplitCase{"three hyphens are text", "a---b", {"a---b"}},
        SplitCase{"five hyphens: separator then text", "a-----b", {"a", "-b"}},
        SplitCase{"fields are not trimmed", " a ---- b ", {" a ", " b "}},
        SplitCase{"double-byte character right before a separator", "商品----价格", {"商品", "价格"}},
        // A lead byte takes the next byte as its trail, whatever it is, so a
        // separator is never found inside a character.
        SplitCase{"separator starting inside a character is not one", std::string("a\x81-----b"),
                  {std::string("a\x81-"), "b"}},
        SplitCase{"lone lead byte at the end", std::string("a----\x81"), {"a", std::string("\x81")}}),
    [](const ::testing::TestParamInfo<SplitCase>& param) { return "Case" + std::to_string(param.index); });

TEST(ProductConfigLineTest, JoinThenSplitGivesTheValuesBack) {
  Fields values = {"1", "名称", "10", "mp", "code", "成功", "失败", "左", "右", "wxid_f", "关闭"};
  std::string line = JoinProductConfigLine(values);
  EXPECT_EQ(line, "1----名称----10----mp----code----成功----失败----左----右----wxid_f----关闭");
  EXPECT_EQ(SplitProductConfigLine(line), values);
}

TEST(ProductConfigLineTest, EmptyLastValueDoesNotReadBack) {
  Fields values = {"1", "n", "10", "mp", "c", "s", "f", "l", "r", "w", ""};
  EXPECT_EQ(SplitProductConfigLine(JoinProductConfigLine(values)).size(), 10u);
}

}  // namespace
}  // namespace quorvel
