// The settings file cfg.ini as the chat side and the settings tab use it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "boundary/config_dir.h"
#include "storage/settings.h"
#include "temp_dir.h"

namespace quorvel {
namespace {

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override { ConfigDir() = dir.Dir(); }
  void TearDown() override {
    ConfigDir().clear();
    GlobalSettings() = Settings{};
  }

  test::TempDir dir;
};

struct Field {
  const char* key;
  std::string Settings::*member;
  bool reply;  // a reply text: "【换行】" becomes a line break
};

const Field kFields[] = {
    {"管理员id", &Settings::adminId, false},
    {"积分比例", &Settings::pointsRatio, false},
    {"发卡地址", &Settings::cardShopUrl, false},
    {"拉群关键词", &Settings::groupKeyword, false},
    {"拉群ID", &Settings::groupId, false},
    {"自动回复_添加好友", &Settings::replyNewFriend, true},
    {"自动回复_帮助", &Settings::replyHelp, true},
    {"自动回复_充值", &Settings::replyRecharge, true},
    {"自动回复_订单开始", &Settings::replyOrderStart, true},
    {"自动回复_订单成功", &Settings::replyOrderDone, true},
    {"自动回复_订单失败", &Settings::replyOrderFailed, true},
};

TEST_F(SettingsTest, WithoutAFileEverythingIsEmptyOrOffAndNothingIsCreated) {
  for (const Field& f : kFields) GlobalSettings().*f.member = "stale";
  LoadSettings();
  for (const Field& f : kFields) EXPECT_EQ(GlobalSettings().*f.member, "") << f.key;
  for (const char* key : {"自动同意好友", "自动收款", "关键词拉群"}) EXPECT_FALSE(SwitchOn(key)) << key;
  EXPECT_EQ(ReadSetting("积分比例"), "");
  EXPECT_FALSE(std::filesystem::exists(SettingsPath()));
  EXPECT_EQ(SettingsPath(), dir.Dir() + "cfg.ini");
}

TEST_F(SettingsTest, LoadSettingsFillsEachFieldFromItsKey) {
  // Each value names its key, so a field read from the wrong key shows.
  for (const Field& f : kFields) ASSERT_TRUE(WriteSetting(f.key, std::string(f.key) + "【换行】x"));
  LoadSettings();
  for (const Field& f : kFields) {
    std::string expected = std::string(f.key) + (f.reply ? "\rx" : "【换行】x");
    EXPECT_EQ(GlobalSettings().*f.member, expected) << f.key;
  }
}

TEST_F(SettingsTest, LineBreaksRoundTrip) {
  // Typed as two lines in the settings tab, stored on one line.
  const std::string typed = "A\r\nB";
  ASSERT_TRUE(WriteSetting("自动回复_帮助", EncodeLineBreaks(typed)));
  EXPECT_EQ(ReadSetting("自动回复_帮助"), "A【换行】B");
  EXPECT_EQ(DecodeLineBreaksForWindow(ReadSetting("自动回复_帮助")), typed);
  LoadSettings();
  EXPECT_EQ(GlobalSettings().replyHelp, "A\rB");  // chat lines break with a bare CR

  struct Case {
    std::string text, encoded;
  } cases[] = {
      {"A\r\n\r\nB\r\n", "A【换行】【换行】B【换行】"},
      {"A\rB\nC", "A\rB\nC"},  // only the pair is encoded
      {"\n\r\n\r", "\n【换行】\r"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EncodeLineBreaks(c.text), c.encoded);
    EXPECT_EQ(DecodeLineBreaksForWindow(c.encoded), c.text);
  }
  // The marker typed literally by the operator comes back as a line break.
  EXPECT_EQ(DecodeLineBreaksForChat("前【换行】后【换行】"), "前\r后\r");
  EXPECT_EQ(DecodeLineBreaksForWindow("【换行】"), "\r\n");
  // The marker's bytes straddling two characters are no marker:
  // 啊(B0 A1) 净(BE BB) 恍(BB D0) 小(D0 A1) 俊(BF A1) holds A1 BE BB BB D0 D0 A1 BF.
  const std::string straddling = "啊净恍小俊";
  EXPECT_EQ(DecodeLineBreaksForChat(straddling), straddling);
}

TEST_F(SettingsTest, SwitchIsOnExactlyForTrue) {
  struct Case {
    std::string stored;
    bool on;
  } cases[] = {
      {"真", true},  {"真 ", true},  {"\t真", true},  {"\"真\"", true},  {"假", false},
      {"是", false}, {"1", false},   {"", false},     {"真真", false},   {"true", false},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(WriteSetting("自动收款", c.stored));
    EXPECT_EQ(SwitchOn("自动收款"), c.on) << '"' << c.stored << '"';
  }
  EXPECT_FALSE(SwitchOn("关键词拉群"));  // missing
}

TEST_F(SettingsTest, LongValuesAreCutTo10239Bytes) {
  ASSERT_TRUE(WriteSetting("自动回复_帮助", std::string(10300, 'a')));
  EXPECT_EQ(ReadSetting("自动回复_帮助"), std::string(10239, 'a'));
  LoadSettings();
  EXPECT_EQ(GlobalSettings().replyHelp.size(), 10239u);
}

TEST_F(SettingsTest, AnEmptyValueKeepsTheKey) {
  ASSERT_TRUE(WriteSetting("拉群ID", "g1"));
  ASSERT_TRUE(WriteSetting("拉群ID", ""));
  EXPECT_EQ(ReadSetting("拉群ID"), "");
  LoadSettings();
  EXPECT_EQ(GlobalSettings().groupId, "");
  ASSERT_TRUE(WriteSetting("拉群关键词", "k"));
  std::ifstream in(SettingsPath(), std::ios::binary);
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(content, "[配置]\r\n拉群ID=\r\n拉群关键词=k\r\n");
}

}  // namespace
}  // namespace quorvel
