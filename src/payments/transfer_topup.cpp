#include "payments/transfer_topup.h"

#include <mutex>

#include "chat/text_rules.h"
#include "host/host_api.h"
#include "host/json_document.h"
#include "storage/database.h"
#include "storage/settings.h"
#include "storage/sqlite_db.h"
#include "storage/sqlite_table.h"

namespace quorvel {
namespace {

// Writes the points; the new balance text, or false with the reason.
bool CreditPoints(const Transfer& t, double product, const std::string& points, std::string& newBalance,
                  std::string& reason) {
  SqliteDB& db = PluginDb();
  if (!db.IsOpen()) {
    reason = "数据库未打开";
    return false;
  }
  Transaction tx(db);
  SqliteTable users;
  bool ok = tx.Active();
  if (ok && users.Open("yhxx", db) && users.Find("wxid=?", {t.senderWxid})) {
    std::string jf;
    users.ReadField("jf", jf);
    if (!CreditFits(jf, product)) {
      reason = "积分超出上限";
      return false;
    }
    newBalance = AddPoints(points, jf, +1);
    ok = users.Edit() && users.WriteField("jf", newBalance) && users.Update();
  } else if (ok) {
    if (!CreditFits("", product)) {
      reason = "积分超出上限";
      return false;
    }
    newBalance = points;
    ok = db.Execute("INSERT INTO yhxx(wxid,name,jf) VALUES(?,?,?)", {t.senderWxid, t.senderNickname, points});
  }
  users.Close();
  ok = ok && tx.Commit();
  if (!ok) reason = db.ErrorText();
  return ok;
}

}  // namespace

void HandleTransfer(const Transfer& t) {
  std::lock_guard<std::recursive_mutex> lock(PluginLock());
  const bool collect = SwitchOn("自动收款");
  const std::string ratio = ReadSetting("积分比例");
  GlobalSettings().pointsRatio = ratio;
  if (!collect) return;

  bool arrived = false, received = false;
  JsonDocument doc;
  if (doc.Parse(t.payload)) {
    arrived = doc.ReadText("is_arrived") == "1";
    received = doc.ReadText("is_received") == "1";
  }
  HostApi& host = Host();
  host.AppendLogs("插件例子消息 | 收到转账消息，用户昵称：" + t.robotWxid + " " + t.senderWxid + " 转账金额：" + t.amount +
                  " json：" + t.payload);
  if (t.robotWxid == t.senderWxid || t.robotWxid != t.recipientWxid || received) return;
  if (!arrived) {
    host.SendTextMsg(t.robotWxid, t.senderWxid, "充值失败转账不是即时到账\r\n这笔转账会在时间到期后自动退换回您的账户");
    return;
  }
  // Both factors are single-precision values; their product is exact in double.
  const double product = TextToReal(t.amount) * TextToReal(ratio);
  const std::string points = IntText(RealToInt(product));
  std::string newBalance, reason;
  if (!CreditPoints(t, product, points, newBalance, reason)) {
    host.AppendLogs("插件例子消息 | 转账积分写入失败，未收款：" + t.senderWxid + " 转账金额：" + t.amount + " 原因：" + reason);
    return;
  }
  host.AcceptTransfer(t.robotWxid, t.senderWxid, t.payload);
  host.SendTextMsg(t.robotWxid, t.senderWxid, "充值成功！\r\n当前积分：" + newBalance);
}

}  // namespace quorvel
