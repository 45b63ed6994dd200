#include "window/orders_page.h"

#include "window/table_rows.h"

namespace quorvel {
namespace {

const char kList[] = "超级列表框_订单";
const char kSelect[] = "SELECT 微信id,微信昵称,订单名称,订单价格,邀请码,状态,时间 FROM 订单列表";
constexpr int kColumnsRead = 7;
// Items 1 to 3 of the status box.
const char* const kStatuses[] = {"进行中", "已完成", "已失败"};

}  // namespace

void OrdersPage::ListAll() {
  ListRows rows;
  QueryListRows(std::string(kSelect) + " ORDER BY rowid", {}, kColumnsRead, rows);
  ctx_.ui.SetRows(kList, std::move(rows));
}

void OrdersPage::Filter(int index) {
  if (index < 0 || index > 3) return;
  std::string sql = kSelect;
  SqlParams params;
  if (index > 0) {
    sql += " WHERE 状态=?";
    params.emplace_back(std::string(kStatuses[index - 1]));
  }
  sql += " ORDER BY rowid";
  Controls& ui = ctx_.ui;
  ctx_.workers.Start([&ui, sql, params] {
    ListRows rows;
    // A statement that cannot run leaves the list as it is.
    if (!QueryListRows(sql, params, kColumnsRead, rows)) return;
    ui.Post([&ui, rows = std::move(rows)]() mutable { ui.SetRows(kList, std::move(rows)); });
  });
}

}  // namespace quorvel
