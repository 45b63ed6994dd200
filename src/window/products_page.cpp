#include "window/products_page.h"

#include <mutex>

#include "storage/database.h"
#include "storage/sqlite_db.h"
#include "window/product_config_line.h"
#include "window/table_rows.h"

namespace quorvel {
namespace {

const char kList[] = "超级列表框_商品";
const char kSelectAll[] = "SELECT spid,spmc,spjg,xcxbs,yqmcs,cgbs,sbbs,yqmz,yqmy,wxid,zt FROM spxx ORDER BY rowid";
const char kInsert[] = "INSERT INTO spxx(spid,spmc,spjg,xcxbs,yqmcs,cgbs,sbbs,yqmz,yqmy,wxid,zt) VALUES(?,?,?,?,?,?,?,?,?,?,?)";
const char kImportPrompt[] =
    "商品ID----商品名称----商品价格----小程序标识----邀请码参数----成功标识----失败标识----邀请码左----邀请码右----"
    "对接wxid----状态";
const char kOn[] = "开启";
const char kOff[] = "关闭";

// The form's edit boxes, in column order (zt is not on the form).
const char* const kFormBoxes[] = {
    "编辑框_商品id",   "编辑框_商品名称", "编辑框_商品价格", "编辑框_程序标识", "编辑框_邀请码参数",
    "编辑框_成功标识", "编辑框_失败标识", "编辑框_邀请码左", "编辑框_邀请码右", "编辑框_对接wxid",
};

constexpr int kIdColumn = 1;
constexpr int kStatusColumn = 11;
constexpr size_t kColumns = 12;

ListRows ReadProducts() {
  ListRows rows;
  QueryListRows(kSelectAll, {}, kProductConfigFields, rows);
  return rows;
}

}  // namespace

void ProductsPage::Fill() { ctx_.ui.SetRows(kList, ReadProducts()); }

void ProductsPage::ExecuteAndFill(const std::string& sql, const SqlParams& params) {
  ListRows rows;
  {
    std::lock_guard<std::recursive_mutex> lock(PluginLock());
    PluginDb().Execute(sql, params);
    rows = ReadProducts();
  }
  ctx_.ui.SetRows(kList, std::move(rows));
}

void ProductsPage::Add() {
  SqlParams values;
  for (const char* box : kFormBoxes) values.emplace_back(ctx_.ui.Text(box));
  values.emplace_back(std::string(kOn));
  Controls& ui = ctx_.ui;
  ctx_.workers.Start([&ui, values = std::move(values)] {
    ListRows rows;
    {
      std::lock_guard<std::recursive_mutex> lock(PluginLock());
      PluginDb().Execute(kInsert, values);
      rows = ReadProducts();
    }
    ui.Post([&ui, rows = std::move(rows)]() mutable { ui.SetRows(kList, std::move(rows)); });
  });
}

void ProductsPage::OnMenu(const std::string& item) {
  if (item == "开启/关闭") Switch();
  else if (item == "一键配置") Import();
  else if (item == "复制配置") Copy();
  else if (item == "刷新商品") Refresh();
  else if (item == "删除商品") Delete();
}

void ProductsPage::Switch() {
  std::optional<ListRow> product = SelectedListRow(ctx_.ui, kList, kColumns);
  if (!product) {
    ctx_.ui.ShowMessage(kNoticeTitle, "请选择要关闭的商品。", MessageButtons::Ok);
    return;
  }
  // The status shown decides, even if the table has changed since.
  const char* next = (*product)[kStatusColumn] == kOn ? kOff : kOn;
  ExecuteAndFill("UPDATE spxx SET zt=? WHERE spid=?", {std::string(next), (*product)[kIdColumn]});
}

void ProductsPage::Import() {
  std::optional<std::string> line = ctx_.ui.AskInput("一键配置", kImportPrompt, "");
  if (!line) return;
  std::vector<std::string> fields = SplitProductConfigLine(*line);
  if (fields.size() < kProductConfigFields) {
    ctx_.ui.ShowMessage(kNoticeTitle, "配置格式不正确，需要11个字段。", MessageButtons::Ok);
    return;
  }
  SqlParams values(fields.begin(), fields.begin() + kProductConfigFields);
  ExecuteAndFill(kInsert, values);
}

void ProductsPage::Copy() {
  std::optional<ListRow> product = SelectedListRow(ctx_.ui, kList, kColumns);
  if (!product) {
    ctx_.ui.ShowMessage(kNoticeTitle, "请选择要复制的配置。", MessageButtons::Ok);
    return;
  }
  std::vector<std::string> values(product->begin() + kIdColumn, product->begin() + kStatusColumn + 1);
  ctx_.ui.SetClipboardText(JoinProductConfigLine(values));
  ctx_.ui.ShowMessage(kNoticeTitle, "复制成功", MessageButtons::Ok);
}

void ProductsPage::Refresh() {
  if (ctx_.ui.SelectedRow(kList) >= 0) Fill();
}

void ProductsPage::Delete() {
  std::optional<ListRow> product = SelectedListRow(ctx_.ui, kList, kColumns);
  if (!product) {
    ctx_.ui.ShowMessage(kNoticeTitle, "请选择要删除的商品。", MessageButtons::Ok);
    return;
  }
  std::string id = (*product)[kIdColumn];
  if (!ctx_.ui.ShowMessage(kNoticeTitle, "确定要删除选定商品吗？", MessageButtons::OkCancel)) return;
  ExecuteAndFill("DELETE FROM spxx WHERE spid=?", {id});
}

}  // namespace quorvel
