#pragma once
// Page 2, "商品信息": the products of table spxx, the new-product form and
// the popup menu "商品菜单".
#include <string>

#include "storage/sql_value.h"
#include "window/page_context.h"

namespace quorvel {

class ProductsPage {
 public:
  explicit ProductsPage(PageContext& context) : ctx_(context) {}

  void Fill();
  // "按钮_添加商品": inserts the form's product on a worker thread.
  void Add();
  // An item of "商品菜单".
  void OnMenu(const std::string& item);

  void Switch();
  void Import();
  void Copy();
  void Refresh();
  void Delete();

 private:
  // Runs the statement and refills the list from the table.
  void ExecuteAndFill(const std::string& sql, const SqlParams& params);
  PageContext& ctx_;
};

}  // namespace quorvel
