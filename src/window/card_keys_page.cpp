#include "window/card_keys_page.h"

#include <mutex>

#include "chat/text_rules.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "storage/database.h"
#include "storage/sqlite_dataset.h"
#include "storage/sqlite_db.h"
#include "window/card_key_generator.h"
#include "window/table_rows.h"

namespace quorvel {
namespace {

const char kList[] = "超级列表框_卡密";
const char kColumnsRead[] = "km,mr,zt,wxid,name";
constexpr int kColumnsReadCount = 5;
constexpr int kKeyColumn = 1;
const char kUsed[] = "已使用";
const char kUnused[] = "未使用";

ListRows ReadAllKeys() {
  ListRows rows;
  QueryListRows(std::string("SELECT ") + kColumnsRead + " FROM kmxx ORDER BY rowid", {}, kColumnsReadCount, rows);
  return rows;
}

}  // namespace

bool CardKeyQuery(int statusIndex, const std::string& faceValue, std::string& sql, SqlParams& params) {
  if (statusIndex < 0 || statusIndex > 2) return false;
  std::string where;
  params.clear();
  if (faceValue != "0") {
    where = "mr=?";
    params.emplace_back(faceValue);
  }
  if (statusIndex != 0) {
    where += where.empty() ? "zt=?" : " AND zt=?";
    params.emplace_back(std::string(statusIndex == 1 ? kUsed : kUnused));
  }
  sql = std::string("SELECT ") + kColumnsRead + " FROM kmxx" + (where.empty() ? "" : " WHERE " + where) +
        " ORDER BY rowid";
  return true;
}

std::string CardKeyExportPath(const std::string& directory, const std::string& faceValue) {
  std::string name = "导出" + faceValue + "面额的卡密.txt";
#ifndef _WIN32
  // File names here are UTF-8; the GBK bytes would show as garbage.
  name = GbkToUtf8Lossy(name);
#endif
  return directory + PathSeparator() + name;
}

void CardKeysPage::Fill() { ctx_.ui.SetRows(kList, ReadAllKeys()); }

void CardKeysPage::Generate() {
  int count = TextToInt(ctx_.ui.Text("编辑框_生成卡密数量"));
  std::string face = ctx_.ui.Text("编辑框_卡密面额");
  Controls& ui = ctx_.ui;
  ctx_.workers.Start([&ui, count, face] {
    ListRows rows;
    {
      std::lock_guard<std::recursive_mutex> lock(PluginLock());
      StoreNewCardKeys(PluginDb(), face, count);
      rows = ReadAllKeys();
    }
    ui.Post([&ui, rows = std::move(rows)]() mutable { ui.SetRows(kList, std::move(rows)); });
  });
}

void CardKeysPage::Query() {
  std::string sql;
  SqlParams params;
  if (!CardKeyQuery(ctx_.ui.ComboIndex("组合框_卡密状态"), ctx_.ui.Text("编辑框_查询面额"), sql, params)) return;
  Controls& ui = ctx_.ui;
  ctx_.workers.Start([&ui, sql, params] {
    ListRows rows;
    // A query that cannot run leaves the list as it is.
    if (!QueryListRows(sql, params, kColumnsReadCount, rows)) return;
    ui.Post([&ui, rows = std::move(rows)]() mutable { ui.SetRows(kList, std::move(rows)); });
  });
}

void CardKeysPage::OnMenu(const std::string& item) {
  if (item == "刷新卡密") Refresh();
  else if (item == "复制卡密") CopyKey();
  else if (item == "删除已使用") DeleteByStatus(kUsed);
  else if (item == "删除未使用") DeleteByStatus(kUnused);
  else if (item == "导出已使用") Export(kUsed);
  else if (item == "导出未使用") Export(kUnused);
}

void CardKeysPage::Refresh() {
  if (ctx_.ui.SelectedRow(kList) >= 0) Fill();
}

void CardKeysPage::CopyKey() {
  std::optional<ListRow> row = SelectedListRow(ctx_.ui, kList, kColumnsReadCount + 1);
  if (!row) {
    ctx_.ui.ShowMessage(kNoticeTitle, "请选择要复制的卡密。", MessageButtons::Ok);
    return;
  }
  ctx_.ui.SetClipboardText((*row)[kKeyColumn]);
}

void CardKeysPage::DeleteByStatus(const std::string& status) {
  // Any selected row will do: the selection only enables the action.
  if (ctx_.ui.SelectedRow(kList) < 0) return;
  std::string question = status == kUsed ? "确定要删除所有已使用卡密吗？" : "确定要删除所有未使用卡密吗？";
  if (!ctx_.ui.ShowMessage(kNoticeTitle, question, MessageButtons::OkCancel)) return;
  ListRows rows;
  {
    std::lock_guard<std::recursive_mutex> lock(PluginLock());
    PluginDb().Execute("DELETE FROM kmxx WHERE zt=?", {status});
    rows = ReadAllKeys();
  }
  ctx_.ui.SetRows(kList, std::move(rows));
}

void CardKeysPage::Export(const std::string& status) {
  std::optional<std::string> face = ctx_.ui.AskInput("请输入：", "输入需要导出多少面额的卡密", "100");
  if (!face) return;
  std::string lines;
  int count = 0;
  {
    std::lock_guard<std::recursive_mutex> lock(PluginLock());
    SqliteDataset keys;
    if (keys.Open("SELECT km FROM kmxx WHERE mr=? AND zt=? ORDER BY rowid", PluginDb(), {*face, status})) {
      std::string key;
      while (keys.Next()) {
        key.clear();
        keys.ReadField(1, key);
        lines += key;
        lines += "\r\n";
        ++count;
      }
      keys.Close();
    }
  }
  // The count is of keys read; a failed write is not reported.
  if (count > 0) AppendToFile(CardKeyExportPath(ctx_.exportDirectory, *face), lines);
  ctx_.ui.ShowMessage("信息：", "成功导出【" + std::to_string(count) + "】个[" + status + "]的卡密", MessageButtons::Ok);
}

}  // namespace quorvel
