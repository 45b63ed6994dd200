#include <cstdint>

#include "chat/product_scan.h"
#include "chat/text_rules.h"
#include "host/host_api.h"
#include "storage/database.h"
#include "storage/sqlite_dataset.h"
#include "storage/sqlite_db.h"
#include "storage/sqlite_table.h"

namespace quorvel {
namespace {

// Blanks at both ends: the ASCII space and the ideographic space (A1 A1).
std::string TrimBlanks(std::string s) {
  for (;;) {
    if (!s.empty() && s.front() == ' ') {
      s.erase(0, 1);
    } else if (s.size() >= 2 && static_cast<unsigned char>(s[0]) == 0xA1 && static_cast<unsigned char>(s[1]) == 0xA1) {
      s.erase(0, 2);
    } else {
      break;
    }
  }
  for (;;) {
    if (!s.empty() && s.back() == ' ') {
      s.pop_back();
    } else if (s.size() >= 2 && static_cast<unsigned char>(s[s.size() - 2]) == 0xA1 &&
               static_cast<unsigned char>(s[s.size() - 1]) == 0xA1) {
      s.resize(s.size() - 2);
    } else {
      break;
    }
  }
  return s;
}

std::string ResultCode(const PrivateMessage& m, const ProductRow& product) {
  return TrimBlanks(TextBetween(m.text, product.yqmz, product.yqmy));
}

// The order a result is for: the first in table order holding the code that
// is still in progress, else the first holding the code; 0 when none.
int64_t FindOrder(const std::string& code, std::string& status) {
  for (const char* sql : {"SELECT _ROWID_,状态 FROM 订单列表 WHERE 邀请码=? AND 状态='进行中' ORDER BY _ROWID_ LIMIT 1",
                          "SELECT _ROWID_,状态 FROM 订单列表 WHERE 邀请码=? ORDER BY _ROWID_ LIMIT 1"}) {
    SqliteDataset ds;
    int64_t rowid = 0;
    if (ds.Open(sql, PluginDb(), {code}) && ds.Next() && ds.ReadField(1, rowid)) {
      ds.ReadField(2, status);
      return rowid;
    }
  }
  return 0;
}

bool SetOrderStatus(int64_t rowid, const char* status) {
  return rowid == 0 || PluginDb().Execute("UPDATE 订单列表 SET 状态=? WHERE _ROWID_=?", {std::string(status), rowid});
}

}  // namespace

void FinishOrder(const PrivateMessage& m, const ProductRow& product, const Settings& settings) {
  const std::string code = ResultCode(m, product);
  SqliteTable users;
  std::string userWxid;
  bool found = users.Open("yhxx", PluginDb()) && users.Find("yqm=?", {code}) && users.ReadField("wxid", userWxid);
  users.Close();
  // With no user holding the code there is no one to tell.
  if (found) {
    Host().SendTextMsg(m.robotWxid, userWxid,
                       ReplacePlaceholders(settings.replyOrderDone, {{"【订单名称】", product.spmc}, {"【邀请码】", code}}));
  }
  std::string status;
  const int64_t order = FindOrder(code, status);
  // A failed order has had its refund; a late success must not make it look paid.
  if (status != "已失败") SetOrderStatus(order, "已完成");
}

void FailOrder(const PrivateMessage& m, const ProductRow& product, const Settings& settings) {
  const std::string code = ResultCode(m, product);
  std::string status;
  const int64_t order = FindOrder(code, status);
  // A failure repeated for an order that already failed was refunded once.
  if (order != 0 && status == "已失败") return;

  SqliteDB& db = PluginDb();
  Transaction tx(db);
  SqliteTable users;
  std::string userWxid, jf;
  bool found = users.Open("yhxx", db) && users.Find("yqm=?", {code}) && users.ReadField("wxid", userWxid) &&
               users.ReadField("jf", jf);
  bool ok = tx.Active();
  if (found) {
    ok = ok && users.Edit() && users.WriteField("jf", AddPoints(jf, product.spjg, +1)) && users.Update();
  }
  users.Close();
  ok = ok && SetOrderStatus(order, "已失败") && tx.Commit();
  if (!ok || !found) return;
  HostApi& host = Host();
  host.SendTextMsg(m.robotWxid, userWxid,
                   ReplacePlaceholders(settings.replyOrderFailed, {{"【订单名称】", product.spmc}, {"【邀请码】", code}}));
  host.SendTextMsg(m.robotWxid, userWxid, "退款成功！\r退款积分：" + product.spjg + "\r订单邀请码：" + code);
}

}  // namespace quorvel
