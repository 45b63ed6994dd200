#include "host/json_document.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

struct ReadCase {
  const char* json;
  const char* path;
  const char* expected;
};

class JsonReadText : public ::testing::TestWithParam<ReadCase> {};

TEST_P(JsonReadText, GivesTheValueAsScriptText) {
  JsonDocument doc;
  doc.Parse(GetParam().json);
  EXPECT_EQ(doc.ReadText(GetParam().path), GetParam().expected) << GetParam().json << " @ " << GetParam().path;
}

INSTANTIATE_TEST_SUITE_P(
    Paths, JsonReadText,
    ::testing::Values(
        ReadCase{R"({"is_arrived":1,"is_received":"0"})", "is_arrived", "1"},
        ReadCase{R"({"is_arrived":1,"is_received":"0"})", "is_received", "0"},
        ReadCase{R"({"is_arrived":1,"is_received":"0"})", "remark", ""},
        ReadCase{R"({"is_arrived":true})", "is_arrived", "true"},
        ReadCase{R"({"a":false})", "a", "false"},
        ReadCase{R"({"a":null})", "a", ""},
        ReadCase{R"({"a":{"b":"x"}})", "a.b", "x"},
        ReadCase{R"({"a":{"b":"x"}})", "a", "[object Object]"},
        ReadCase{R"({"a":"x"})", "a.b", ""},
        ReadCase{R"({"list":[{"wxid":"w0"},{"wxid":"w1"},{"wxid":"w2"}]})", "list[2].wxid", "w2"},
        ReadCase{R"({"list":[1]})", "list[5]", ""},
        ReadCase{R"([{"nickname":"n0"}])", "[0].nickname", "n0"},
        ReadCase{R"({"a":[1,"b",[2,3],null,true]})", "a", "1,b,2,3,,true"},
        ReadCase{R"("text")", "", "text"},
        ReadCase{R"({"s":"中文"})", "s", "中文"},
        ReadCase{R"({"s":"a\"b\\c"})", "s", "a\"b\\c"}));

INSTANTIATE_TEST_SUITE_P(
    Numbers, JsonReadText,
    ::testing::Values(ReadCase{R"({"n":1.50})", "n", "1.5"}, ReadCase{R"({"n":2.0})", "n", "2"},
                      ReadCase{R"({"n":-0.5})", "n", "-0.5"}, ReadCase{R"({"n":1e21})", "n", "1e+21"},
                      ReadCase{R"({"n":1e20})", "n", "100000000000000000000"},
                      ReadCase{R"({"n":123456789012345678})", "n", "123456789012345680"},
                      ReadCase{R"({"n":0.000001})", "n", "0.000001"}, ReadCase{R"({"n":1e-7})", "n", "1e-7"},
                      ReadCase{R"({"n":1.5e-7})", "n", "1.5e-7"}, ReadCase{R"({"n":0.1})", "n", "0.1"},
                      ReadCase{R"({"n":-0})", "n", "0"}, ReadCase{R"({"n":12345.678})", "n", "12345.678"}));

TEST(JsonParse, RejectsEmptyNullAndMalformedTextAndReadsNothingAfterwards) {
  for (const char* text : {"", "null", "{\"a\":", "not json", "{'a':1}"}) {
    JsonDocument doc;
    doc.SetText("a", "kept?");
    EXPECT_FALSE(doc.Parse(text)) << text;
    EXPECT_EQ(doc.ReadText("a"), "") << text;
    EXPECT_EQ(doc.ReadText(""), "") << text;
  }
}

TEST(JsonSetText, KeepsMemberOrderAndPlaceOnReplace) {
  JsonDocument doc;
  EXPECT_TRUE(doc.SetText("name", "n1"));
  EXPECT_TRUE(doc.SetText("desc", "d"));
  EXPECT_TRUE(doc.SetText("name", "n2"));
  EXPECT_EQ(doc.ToText(), R"({"name":"n2","desc":"d"})");
}

TEST(JsonSetText, NeedsEveryStepBeforeTheLast) {
  JsonDocument doc;
  EXPECT_FALSE(doc.SetText("a.b", "x"));
  EXPECT_FALSE(doc.SetText("", "x"));
  ASSERT_TRUE(doc.Parse(R"({"a":{},"l":["0"]})"));
  EXPECT_TRUE(doc.SetText("a.b", "x"));
  EXPECT_TRUE(doc.SetText("l[0]", "y"));
  EXPECT_FALSE(doc.SetText("l[3]", "z"));
  EXPECT_EQ(doc.ToText(), R"({"a":{"b":"x"},"l":["y"]})");
}

TEST(JsonToText, EscapesControlCharactersAndKeepsChinese) {
  JsonDocument doc;
  doc.SetText("t", "a\r\nb\t\b\f\x01\"");
  doc.SetText("c", "中文【换行】");
  EXPECT_EQ(doc.ToText(), "{\"t\":\"a\\r\\nb\\t\\b\\f\\u0001\\\"\",\"c\":\"中文【换行】\"}");
}

TEST(JsonToText, KeepsParsedMemberOrder) {
  JsonDocument doc;
  ASSERT_TRUE(doc.Parse(R"({"z":1,"a":[true,null],"m":{"k":"v"}})"));
  doc.SetText("b", "new");
  EXPECT_EQ(doc.ToText(), R"({"z":1,"a":[true,null],"m":{"k":"v"},"b":"new"})");
}

}  // namespace
}  // namespace quorvel
