#pragma once
// Page 1, "用户信息": the users of table yhxx and the popup menu "用户菜单".
#include <string>

#include "window/page_context.h"

namespace quorvel {

class UsersPage {
 public:
  explicit UsersPage(PageContext& context) : ctx_(context) {}

  void Fill();
  // An item of "用户菜单".
  void OnMenu(const std::string& item);
  void Refresh();
  void Delete();

 private:
  PageContext& ctx_;
};

}  // namespace quorvel
