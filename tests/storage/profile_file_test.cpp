// The INI reader and writer. tests/storage/ini_diff.sh holds them against the
// Windows profile functions; these cases pin down what the plug-in relies on.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "storage/profile_file.h"
#include "temp_dir.h"

namespace quorvel {
namespace {

std::string Repeat(const std::string& piece, size_t times) {
  std::string s;
  for (size_t i = 0; i < times; ++i) s += piece;
  return s;
}

TEST(ProfileText, Read) {
  const std::string s = "[配置]\r\n";
  struct Case {
    std::string content, section, key, expected;
  } cases[] = {
      {s + "k=v\r\n", "配置", "k", "v"},
      {"[配置]\nk=v\n", "配置", "k", "v"},
      {s + "k=v", "配置", "k", "v"},
      {s + "k=v\r\n", "其他", "k", ""},
      {s + "a=1\r\n", "配置", "k", ""},
      {"", "配置", "k", ""},
      {s + "  k \t=  v v \t\r\n", "配置", "k", "v v"},
      {s + "k=\"v\"\r\n", "配置", "k", "v"},
      {s + "k='v'\r\n", "配置", "k", "v"},
      {s + "k=\" v \"\r\n", "配置", "k", " v "},
      {s + "k=\"v'\r\n", "配置", "k", "\"v'"},
      {s + "k=\"\r\n", "配置", "k", "\""},
      {s + "k=\"\"v\"\"\r\n", "配置", "k", "\"v\""},  // one pair only
      {s + "k=1\r\nk=2\r\n", "配置", "k", "1"},
      {s + "a=1\r\n[其他]\r\n" + s + "k=2\r\n", "配置", "k", ""},  // the first section of a name counts
      {s + "Key=v\r\n", "配置", "KEY", "v"},
      {"[CFG]\r\nk=v\r\n", "cfg", "k", "v"},
      {s + "\xB0\x41=v\r\n", "配置", "\xB0\x61", ""},  // double-byte characters never fold
      {"[\xB0\x5D]\r\nk=v\r\n", "\xB0\x5D", "k", "v"},  // a second byte that looks like ']'
      {"k=v\r\n" + s, "配置", "k", ""},
      {s + "k=a=b\r\n", "配置", "k", "a=b"},
      {s + "自动收款=真 \r\n", "配置", "自动收款", "真"},
      {s + "k=" + Repeat("a", 10300) + "\r\n", "配置", "k", Repeat("a", 10239)},
      {s + "k=" + Repeat("真", 6000) + "\r\n", "配置", "k", Repeat("真", 5119)},  // never half a character
      {s + "k=\"" + Repeat("a", 10239) + "\"\r\n", "配置", "k", Repeat("a", 10238)},
  };
  for (const Case& c : cases) {
    std::string value = ReadProfileStringFromText(c.content, c.section, c.key);
    EXPECT_EQ(value, c.expected) << c.content.substr(0, 60);
  }
}

TEST(ProfileText, Write) {
  struct Case {
    const char* name;
    std::string content, section, key, value, expected;
  } cases[] = {
      {"replaces in place, keeping every other byte",
       "; note\r\n[配置]\r\na = 1\r\nk=old\r\n\r\n[其他]\r\nk=x\r\n", "配置", "k", "new",
       "; note\r\n[配置]\r\na = 1\r\nk=new\r\n\r\n[其他]\r\nk=x\r\n"},
      {"appends after the section's last key", "[配置]\r\na=1\r\n\r\n[其他]\r\n", "配置", "b", "2",
       "[配置]\r\na=1\r\nb=2\r\n\r\n[其他]\r\n"},
      {"keeps LF lines", "[配置]\na=1\n", "配置", "b", "2", "[配置]\na=1\nb=2\n"},
      {"adds the section at the end", "[其他]\r\nb=2", "配置", "k", "v", "[其他]\r\nb=2\r\n[配置]\r\nk=v\r\n"},
      {"starts an empty file", "", "配置", "k", "v", "[配置]\r\nk=v\r\n"},
      {"keeps a key with an empty value", "[配置]\r\nk=v\r\n", "配置", "k", "", "[配置]\r\nk=\r\n"},
      {"keeps the key's own spelling", "[配置]\r\n  Key = 1\r\n", "配置", "key", "2", "[配置]\r\nKey=2\r\n"},
      {"first of twin keys", "[配置]\r\nk=1\r\nk=2\r\n", "配置", "k", "3", "[配置]\r\nk=3\r\nk=2\r\n"},
      {"header at the very end", "[配置]", "配置", "k", "v", "[配置]\r\nk=v"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WriteProfileStringToText(c.content, c.section, c.key, c.value), c.expected) << c.name;
    EXPECT_EQ(ReadProfileStringFromText(c.expected, c.section, c.key), c.value) << c.name;
  }
}

TEST(ProfileFile, ReadingCreatesNothingAndWritingCreatesTheFile) {
  test::TempDir dir;
  const std::string path = dir.File("cfg.ini");
  EXPECT_EQ(ReadProfileString(path, "配置", "k"), "");
  EXPECT_FALSE(std::filesystem::exists(path));

  ASSERT_TRUE(WriteProfileString(path, "配置", "k", "v"));
  ASSERT_TRUE(WriteProfileString(path, "配置", "a", "1"));
  ASSERT_TRUE(WriteProfileString(path, "配置", "k", "w"));
  EXPECT_EQ(ReadProfileString(path, "配置", "k"), "w");
  std::ifstream in(path, std::ios::binary);
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(content, "[配置]\r\nk=w\r\na=1\r\n");
  // The file was replaced whole each time; nothing else is left beside it.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), std::filesystem::directory_iterator()), 1);
}

TEST(ProfileFile, AWriteThatCannotHappenReportsFalse) {
  test::TempDir dir;
  EXPECT_FALSE(WriteProfileString(dir.File("missing/cfg.ini"), "配置", "k", "v"));
  EXPECT_FALSE(std::filesystem::exists(dir.File("missing")));
  EXPECT_FALSE(WriteProfileString("", "配置", "k", "v"));
  EXPECT_EQ(ReadProfileString(dir.Dir(), "配置", "k"), "");  // a folder is no settings file
}

}  // namespace
}  // namespace quorvel
