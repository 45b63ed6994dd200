#include "chat/card_key_recharge.h"

#include "chat/text_rules.h"
#include "host/host_api.h"
#include "storage/database.h"
#include "storage/sqlite_dataset.h"
#include "storage/sqlite_db.h"
#include "storage/sqlite_table.h"

namespace quorvel {
namespace {

// Credits the key's face value and marks the key used, in one transaction.
// Returns the new balance text, or false when anything could not be written.
bool CreditKey(const PrivateMessage& m, const std::string& faceValue, std::string& newBalance) {
  SqliteDB& db = PluginDb();
  Transaction tx(db);
  if (!tx.Active()) return false;
  SqliteTable users;
  bool ok = false;
  if (users.Open("yhxx", db) && users.Find("wxid=?", {m.senderWxid})) {
    std::string jf;
    users.ReadField("jf", jf);
    if (!CreditFits(jf, TextToInt(faceValue))) return false;
    newBalance = AddPoints(jf, faceValue, +1);
    ok = users.Edit() && users.WriteField("jf", newBalance) && users.Update();
  } else {
    // A first credit keeps the face value as it was stored.
    if (!CreditFits("", TextToInt(faceValue))) return false;
    newBalance = faceValue;
    ok = db.Execute("INSERT INTO yhxx(wxid,name,jf) VALUES(?,?,?)", {m.senderWxid, m.senderNickname, faceValue});
  }
  users.Close();
  ok = ok && db.Execute("UPDATE kmxx SET zt='已使用',wxid=?,name=? WHERE km=?",
                        {m.senderWxid, m.senderNickname, m.text});
  return ok && tx.Commit();
}

}  // namespace

void RedeemCardKey(const PrivateMessage& m) {
  HostApi& host = Host();
  SqliteDataset keys;
  keys.Open("SELECT * FROM kmxx WHERE km=?", PluginDb(), {m.text});
  keys.First();
  if (keys.Count() == 0) {
    host.SendTextMsg(m.robotWxid, m.senderWxid, "卡密不存在！");
    return;
  }
  std::string status, faceValue;
  keys.Next();
  keys.ReadField("zt", status);
  if (status != "未使用") {
    host.SendTextMsg(m.robotWxid, m.senderWxid, "卡密已被使用！");
    return;
  }
  keys.ReadField("mr", faceValue);
  keys.Close();

  std::string newBalance;
  if (!CreditKey(m, faceValue, newBalance)) {
    // Nothing was written: the key stays unused for a later try.
    host.SendTextMsg(m.robotWxid, m.senderWxid, "卡密充值失败，请稍后再试");
    return;
  }
  host.SendTextMsg(m.robotWxid, m.senderWxid, "卡密充值成功！\r\n当前积分：" + newBalance);
}

}  // namespace quorvel
