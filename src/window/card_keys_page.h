#pragma once
// Page 3, "卡密信息": card keys of table kmxx, the generator and query forms
// and the popup menu "卡密菜单".
#include <string>

#include "storage/sql_value.h"
#include "window/page_context.h"

namespace quorvel {

// The query of "按钮_查询卡密" for a status item (0 全部, 1 已使用, 2 未使用)
// and a face value, where exactly "0" means any. False for any other item.
bool CardKeyQuery(int statusIndex, const std::string& faceValue, std::string& sql, SqlParams& params);

// "导出" + face value + "面额的卡密.txt" in the directory. The name is GBK
// where the system's file functions take GBK, UTF-8 elsewhere.
std::string CardKeyExportPath(const std::string& directory, const std::string& faceValue);

class CardKeysPage {
 public:
  explicit CardKeysPage(PageContext& context) : ctx_(context) {}

  void Fill();
  // "按钮_生成卡密" and "按钮_查询卡密": on worker threads.
  void Generate();
  void Query();
  // An item of "卡密菜单".
  void OnMenu(const std::string& item);

  void Refresh();
  void CopyKey();
  void DeleteByStatus(const std::string& status);
  void Export(const std::string& status);

 private:
  PageContext& ctx_;
};

}  // namespace quorvel
