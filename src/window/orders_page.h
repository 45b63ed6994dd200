#pragma once
// Page 4, "订单列表": the orders, all or of one status.
#include "window/page_context.h"

namespace quorvel {

class OrdersPage {
 public:
  explicit OrdersPage(PageContext& context) : ctx_(context) {}

  // Every time the page is shown, whatever the status box shows.
  void ListAll();
  // An item chosen in "组合框_订单状态": on a worker thread.
  void Filter(int index);

 private:
  PageContext& ctx_;
};

}  // namespace quorvel
