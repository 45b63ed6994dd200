#include "window/settings_page.h"

#include <mutex>
#include <utility>
#include <vector>

#include "storage/settings.h"
#include "storage/sqlite_db.h"

namespace quorvel {
namespace {

struct Binding {
  const char* control;
  const char* key;
};

// In the order the keys are written.
const Binding kPlainTexts[] = {
    {"编辑框_管理员id", "管理员id"},   {"编辑框_积分比例", "积分比例"}, {"编辑框_发卡地址", "发卡地址"},
    {"编辑框_拉群关键词", "拉群关键词"}, {"编辑框_拉群ID", "拉群ID"},
};
const Binding kReplyTexts[] = {
    {"编辑框_添加好友回复", "自动回复_添加好友"}, {"编辑框_帮助回复", "自动回复_帮助"},
    {"编辑框_充值回复", "自动回复_充值"},         {"编辑框_订单开始回复", "自动回复_订单开始"},
    {"编辑框_订单成功回复", "自动回复_订单成功"}, {"编辑框_订单失败回复", "自动回复_订单失败"},
};
const Binding kSwitches[] = {
    {"选择框_同意好友", "自动同意好友"},
    {"选择框_自动收款", "自动收款"},
    {"选择框_关键词拉群", "关键词拉群"},
};

const char kOn[] = "真";
const char kOff[] = "假";

const char kGreetingText[] =
    "【我的id】查询当前用户wxid\r\n【你的id】获取当前机器人wxid\r\n【查询积分】查询当前积分\r\n【充值】获取当前充值方式\r\n"
    "【菜单】获取当前活动列表\r\n\r\n\r\n请尝试直接发送小程序或连接进行快速下单";

}  // namespace

void SettingsPage::Load() {
  std::vector<std::pair<const char*, std::string>> texts;
  std::vector<std::pair<const char*, bool>> checks;
  {
    std::lock_guard<std::recursive_mutex> lock(PluginLock());
    for (const Binding& b : kPlainTexts) texts.emplace_back(b.control, ReadSetting(b.key));
    for (const Binding& b : kReplyTexts) texts.emplace_back(b.control, DecodeLineBreaksForWindow(ReadSetting(b.key)));
    for (const Binding& b : kSwitches) checks.emplace_back(b.control, ReadSetting(b.key) == kOn);
  }
  for (auto& [control, text] : texts) ctx_.ui.SetText(control, text);
  for (auto& [control, on] : checks) ctx_.ui.SetChecked(control, on);
}

void SettingsPage::Save() {
  // The boxes are read here, on the window's thread; the worker only writes.
  std::vector<std::pair<const char*, std::string>> values;
  for (const Binding& b : kPlainTexts) values.emplace_back(b.key, ctx_.ui.Text(b.control));
  for (const Binding& b : kReplyTexts) values.emplace_back(b.key, EncodeLineBreaks(ctx_.ui.Text(b.control)));
  for (const Binding& b : kSwitches) values.emplace_back(b.key, ctx_.ui.Checked(b.control) ? kOn : kOff);
  ctx_.workers.Start([values = std::move(values)] {
    std::lock_guard<std::recursive_mutex> lock(PluginLock());
    for (const auto& [key, value] : values) WriteSetting(key, value);
  });
}

void SettingsPage::FillDefaults() {
  Controls& ui = ctx_.ui;
  ui.SetText("编辑框_积分比例", "10");
  ui.SetText("编辑框_拉群关键词", "拉群");
  ui.SetText("编辑框_添加好友回复", kGreetingText);
  ui.SetText("编辑框_帮助回复", kGreetingText);
  ui.SetText("编辑框_充值回复", "支持转账充值和卡密充值\r\n购卡地址：【发卡地址】\r\n如打不开请复制到浏览器打开");
  ui.SetText("编辑框_订单开始回复",
             "创建订单成功!\r\n\r\n邀请码：【邀请码】\r\n订单名称：【订单名称】\r\n使用积分：【使用积分】\r\n"
             "剩余积分：【剩余积分】\r\n请稍后留意订单信息！");
  ui.SetText("编辑框_订单成功回复", "您的订单已完成！\r\n\r\n订单名称：【订单名称】\r\n订单邀请码：【邀请码】");
  ui.SetText("编辑框_订单失败回复", "您的订单已失败！\r\n\r\n订单名称：【订单名称】\r\n订单邀请码：【邀请码】");
  ui.SetChecked("选择框_同意好友", true);
  ui.SetChecked("选择框_自动收款", true);
}

}  // namespace quorvel
