#include <gtest/gtest.h>

#include "storage/settings.h"
#include "window_fixture.h"

namespace quorvel {
namespace {

class SettingsPageTest : public test::WindowTest {
 protected:
  bool HasSettingsFile() const { return std::filesystem::exists(dir_.Path() / "cfg.ini"); }
};

const char* const kEditBoxes[] = {
    "编辑框_管理员id",   "编辑框_积分比例",   "编辑框_发卡地址",     "编辑框_拉群关键词",
    "编辑框_拉群ID",     "编辑框_添加好友回复", "编辑框_帮助回复",     "编辑框_充值回复",
    "编辑框_订单开始回复", "编辑框_订单成功回复", "编辑框_订单失败回复",
};
const char* const kCheckBoxes[] = {"选择框_同意好友", "选择框_自动收款", "选择框_关键词拉群"};

TEST_F(SettingsPageTest, WithoutAFileEveryBoxIsEmptyAndNothingIsCreated) {
  for (const char* box : kEditBoxes) EXPECT_EQ(ui_->Text(box), "") << box;
  for (const char* box : kCheckBoxes) EXPECT_FALSE(ui_->Checked(box)) << box;
  EXPECT_EQ(ui_->CurrentPage(), 0);
  EXPECT_FALSE(HasSettingsFile());
}

TEST_F(SettingsPageTest, DefaultsFillEightBoxesAndCheckTwo) {
  Set("编辑框_管理员id", "wxid_admin");
  Click("按钮_载入默认配置");
  int filled = 0;
  for (const char* box : kEditBoxes) filled += !ui_->Text(box).empty();
  EXPECT_EQ(filled, 9);  // eight defaults and the administrator typed before
  EXPECT_EQ(ui_->Text("编辑框_管理员id"), "wxid_admin");
  EXPECT_EQ(ui_->Text("编辑框_发卡地址"), "");
  EXPECT_EQ(ui_->Text("编辑框_拉群ID"), "");
  EXPECT_EQ(ui_->Text("编辑框_积分比例"), "10");
  EXPECT_EQ(ui_->Text("编辑框_拉群关键词"), "拉群");
  EXPECT_EQ(ui_->Text("编辑框_帮助回复"), ui_->Text("编辑框_添加好友回复"));
  EXPECT_EQ(ui_->Text("编辑框_订单开始回复"),
            "创建订单成功!\r\n\r\n邀请码：【邀请码】\r\n订单名称：【订单名称】\r\n使用积分：【使用积分】\r\n"
            "剩余积分：【剩余积分】\r\n请稍后留意订单信息！");
  EXPECT_TRUE(ui_->Checked("选择框_同意好友"));
  EXPECT_TRUE(ui_->Checked("选择框_自动收款"));
  EXPECT_FALSE(ui_->Checked("选择框_关键词拉群"));
  EXPECT_FALSE(HasSettingsFile());
}

TEST_F(SettingsPageTest, SavingDefaultsWritesAllFourteenKeys) {
  Click("按钮_载入默认配置");
  Click("按钮_保存配置");
  ASSERT_TRUE(HasSettingsFile());
  EXPECT_EQ(ReadSetting("积分比例"), "10");
  EXPECT_EQ(ReadSetting("管理员id"), "");
  EXPECT_EQ(ReadSetting("自动同意好友"), "真");
  EXPECT_EQ(ReadSetting("自动收款"), "真");
  EXPECT_EQ(ReadSetting("关键词拉群"), "假");
  EXPECT_EQ(ReadSetting("自动回复_充值"), "支持转账充值和卡密充值【换行】购卡地址：【发卡地址】【换行】如打不开请复制到浏览器打开");
  std::string file = ReadFile((dir_.Path() / "cfg.ini").string());
  for (const char* key : {"管理员id=", "积分比例=", "发卡地址=", "拉群关键词=", "拉群ID=", "自动回复_添加好友=",
                          "自动回复_帮助=", "自动回复_充值=", "自动回复_订单开始=", "自动回复_订单成功=",
                          "自动回复_订单失败=", "自动同意好友=", "自动收款=", "关键词拉群="})
    EXPECT_NE(file.find(key), std::string::npos) << key;
}

TEST_F(SettingsPageTest, RoundTripKeepsLineBreaksAndSwitches) {
  Set("编辑框_帮助回复", "A\r\n\r\n\r\nB");
  Set("编辑框_管理员id", "wxid_admin");
  Check("选择框_关键词拉群", true);
  Check("选择框_自动收款", false);
  Click("按钮_保存配置");
  EXPECT_EQ(ReadSetting("自动回复_帮助"), "A【换行】【换行】【换行】B");
  EXPECT_EQ(ReadSetting("关键词拉群"), "真");
  EXPECT_EQ(ReadSetting("自动收款"), "假");

  OpenWindow();
  EXPECT_EQ(ui_->Text("编辑框_帮助回复"), "A\r\n\r\n\r\nB");
  EXPECT_EQ(ui_->Text("编辑框_管理员id"), "wxid_admin");
  EXPECT_TRUE(ui_->Checked("选择框_关键词拉群"));
  EXPECT_FALSE(ui_->Checked("选择框_自动收款"));
}

TEST_F(SettingsPageTest, OnlyTrueTextChecksABox) {
  WriteSetting("自动同意好友", "是");
  WriteSetting("自动收款", "真");
  WriteSetting("关键词拉群", "1");
  OpenWindow();
  EXPECT_FALSE(ui_->Checked("选择框_同意好友"));
  EXPECT_TRUE(ui_->Checked("选择框_自动收款"));
  EXPECT_FALSE(ui_->Checked("选择框_关键词拉群"));
}

TEST_F(SettingsPageTest, ClosingWithoutSavingChangesNothing) {
  Set("编辑框_积分比例", "7");
  Click("按钮_保存配置");
  std::string before = ReadFile((dir_.Path() / "cfg.ini").string());
  Click("按钮_载入默认配置");
  Set("编辑框_管理员id", "someone");
  ASSERT_EQ(ui_->OperateClose(), "");
  window_->Settle();
  EXPECT_EQ(ReadFile((dir_.Path() / "cfg.ini").string()), before);
  OpenWindow();
  EXPECT_EQ(ui_->Text("编辑框_积分比例"), "7");
  EXPECT_EQ(ui_->Text("编辑框_管理员id"), "");
  EXPECT_EQ(ui_->Text("编辑框_添加好友回复"), "");
}

}  // namespace
}  // namespace quorvel
