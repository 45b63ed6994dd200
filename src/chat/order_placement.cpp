#include "chat/product_scan.h"
#include "chat/text_rules.h"
#include "host/host_api.h"
#include "platform/clock.h"
#include "storage/database.h"
#include "storage/sqlite_db.h"
#include "storage/sqlite_table.h"

namespace quorvel {

void PlaceOrder(const PrivateMessage& m, const ProductRow& product, const std::string& code,
                const Settings& settings) {
  HostApi& host = Host();
  SqliteDB& db = PluginDb();
  Transaction tx(db);
  SqliteTable users;
  std::string jf;
  if (!users.Open("yhxx", db) || !users.Find("wxid=?", {m.senderWxid}) || !users.ReadField("jf", jf)) {
    host.SendTextMsg(m.robotWxid, m.senderWxid, "下单失败，您从未充值过");
    return;
  }
  if (TextToInt(jf) < TextToInt(product.spjg)) {
    host.SendTextMsg(m.robotWxid, m.senderWxid, "余额不足,请转账充值");
    return;
  }
  const std::string newBalance = AddPoints(jf, product.spjg, -1);
  const std::string time = TimeText(NowLocal());
  // The charge, the code on the user and the order row commit together before
  // anything is forwarded or confirmed.
  bool ok = tx.Active() && users.Edit() && users.WriteField("jf", newBalance) && users.WriteField("yqm", code) &&
            users.Update();
  users.Close();
  ok = ok && db.Execute(
                 "INSERT INTO 订单列表(微信id,微信昵称,订单名称,订单价格,邀请码,状态,时间) "
                 "VALUES(?,?,?,?,?,'进行中',?)",
                 {m.senderWxid, m.senderNickname, product.spmc, product.spjg, code, time});
  ok = ok && tx.Commit();
  if (!ok) {
    host.SendTextMsg(m.robotWxid, m.senderWxid, "下单失败，请稍后再试");
    return;
  }
  if (m.type == kMiniProgramMessageType) {
    host.SendMiniAppMsg(m.robotWxid, product.wxid, m.text);
  } else {
    host.ForwardMsg(m.robotWxid, product.wxid, m.messageId);
  }
  host.SendTextMsg(m.robotWxid, m.senderWxid,
                   ReplacePlaceholders(settings.replyOrderStart, {{"【邀请码】", code},
                                                                  {"【订单名称】", product.spmc},
                                                                  {"【使用积分】", product.spjg},
                                                                  {"【剩余积分】", newBalance}}));
}

}  // namespace quorvel
