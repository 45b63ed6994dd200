#include "window/users_page.h"

#include <mutex>

#include "storage/database.h"
#include "storage/sqlite_db.h"
#include "window/table_rows.h"

namespace quorvel {
namespace {

const char kList[] = "超级列表框_用户";
constexpr int kWxidColumn = 1;
constexpr size_t kColumns = 6;

// Column "备注" stays empty: the table has nothing for it.
ListRows ReadUsers() {
  ListRows rows;
  QueryListRows("SELECT wxid,name,jf,zt FROM yhxx ORDER BY rowid", {}, 4, rows);
  return rows;
}

}  // namespace

void UsersPage::Fill() { ctx_.ui.SetRows(kList, ReadUsers()); }

void UsersPage::OnMenu(const std::string& item) {
  if (item == "刷新用户") Refresh();
  else if (item == "删除用户") Delete();
}

void UsersPage::Refresh() {
  if (ctx_.ui.SelectedRow(kList) >= 0) Fill();
}

void UsersPage::Delete() {
  std::optional<ListRow> user = SelectedListRow(ctx_.ui, kList, kColumns);
  if (!user) {
    ctx_.ui.ShowMessage(kNoticeTitle, "请选择要删除的用户。", MessageButtons::Ok);
    return;
  }
  if (!ctx_.ui.ShowMessage(kNoticeTitle, "确定要删除选定用户吗？", MessageButtons::OkCancel)) return;
  ListRows rows;
  {
    std::lock_guard<std::recursive_mutex> lock(PluginLock());
    PluginDb().Execute("DELETE FROM yhxx WHERE wxid=?", {(*user)[kWxidColumn]});
    rows = ReadUsers();
  }
  ctx_.ui.SetRows(kList, std::move(rows));
}

}  // namespace quorvel
