#include "chat/dispatcher.h"

#include <mutex>

#include "chat/card_key_recharge.h"
#include "chat/product_menu.h"
#include "chat/product_scan.h"
#include "chat/text_rules.h"
#include "host/host_api.h"
#include "storage/database.h"
#include "storage/settings.h"
#include "storage/sqlite_db.h"
#include "storage/sqlite_table.h"

namespace quorvel {
namespace {

bool Equals(const std::string& text, const char* a, const char* b = nullptr) {
  return text == a || (b && text == b);
}

void Reply(const PrivateMessage& m, const std::string& text) { Host().SendTextMsg(m.robotWxid, m.senderWxid, text); }

void ReplyBalance(const PrivateMessage& m) {
  SqliteTable users;
  std::string jf;
  if (users.Open("yhxx", PluginDb()) && users.Find("wxid=?", {m.senderWxid}) && users.ReadField("jf", jf)) {
    Reply(m, "您的积分为:" + jf);
  } else {
    Reply(m, "查询积分失败，您从未充值过");
  }
}

}  // namespace

void DispatchPrivateMessage(const PrivateMessage& m) {
  std::lock_guard<std::recursive_mutex> lock(PluginLock());
  LoadSettings();
  const Settings settings = GlobalSettings();
  const std::string& text = m.text;

  if (SwitchOn("关键词拉群") && text == settings.groupKeyword) {
    Host().InviteInGroup(m.robotWxid, settings.groupId, m.senderWxid);
    return;
  }
  if (Contains(text, "现在可以开始聊天了。")) {
    Reply(m, settings.replyNewFriend);
    return;
  }
  if (Equals(text, "你的id", "你的ID")) {
    Reply(m, "当前机器人wxid：\r\n" + m.robotWxid);
    return;
  }
  if (Equals(text, "我的id", "我的ID")) {
    Reply(m, m.senderWxid);
    return;
  }
  if (Equals(text, "帮助")) {
    Reply(m, settings.replyHelp);
    return;
  }
  if (Equals(text, "菜单")) {
    Reply(m, "输入编号选择下单的项目:\r\n" + ProductMenuText());
    return;
  }
  if (Equals(text, "充值", "充值积分")) {
    // No return: the message goes on through the later steps.
    Reply(m, ReplacePlaceholders(settings.replyRecharge, {{"【发卡地址】", settings.cardShopUrl}}));
  }
  if (Equals(text, "查询", "查询积分")) {
    ReplyBalance(m);
    return;
  }
  if (Contains(text, "TOVU")) {
    RedeemCardKey(m);
    return;
  }
  if (m.type == kMiniProgramMessageType && m.senderWxid == settings.adminId) {
    Reply(m, "小程序唯一ID\r\n" + TextBetween(text, "?appid=", "&"));
    return;
  }
  RunProductScan(m, settings);
}

}  // namespace quorvel
