#include <gtest/gtest.h>

#include "window_fixture.h"

namespace quorvel {
namespace {

const char kUsers[] = "超级列表框_用户";
const char kOrders[] = "超级列表框_订单";

class UsersPageTest : public test::WindowTest {
 protected:
  void SeedUsers() {
    Exec("INSERT INTO yhxx(wxid,name,jf) VALUES('wxid_a','甲','90')");
    Exec("INSERT INTO yhxx(wxid,name,jf) VALUES('wxid_b','乙','5')");
    Exec("INSERT INTO yhxx(wxid,name,jf) VALUES('wxid_a','甲2','1')");
  }
};

TEST_F(UsersPageTest, FillListsEveryUserWithAnEmptyNote) {
  SeedUsers();
  Page(1);
  EXPECT_EQ(Rows(kUsers), (ListRows{{"1", "wxid_a", "甲", "90", "", ""},
                                    {"2", "wxid_b", "乙", "5", "", ""},
                                    {"3", "wxid_a", "甲2", "1", "", ""}}));
}

TEST_F(UsersPageTest, MenuWithoutASelection) {
  SeedUsers();
  Page(1);
  Exec("DELETE FROM yhxx WHERE wxid='wxid_b'");
  Menu(kUsers, "刷新用户");
  EXPECT_EQ(Rows(kUsers).size(), 3u);
  EXPECT_TRUE(ui_->TakeShown().empty());
  Menu(kUsers, "删除用户");
  std::vector<UiReport> shown = ui_->TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "请选择要删除的用户。");
  EXPECT_EQ(shown[0].buttons, MessageButtons::Ok);
  Select(kUsers, 0);
  Menu(kUsers, "刷新用户");
  EXPECT_EQ(Rows(kUsers).size(), 2u);
}

TEST_F(UsersPageTest, DeleteRemovesEveryRowOfTheAccountOnlyOnOk) {
  SeedUsers();
  Exec("INSERT INTO 订单列表(微信id,状态) VALUES('wxid_a','进行中')");
  Page(1);
  Select(kUsers, 2);
  ui_->QueueAnswer(false);
  Menu(kUsers, "删除用户");
  std::vector<UiReport> shown = ui_->TakeShown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "确定要删除选定用户吗？");
  EXPECT_EQ(shown[0].buttons, MessageButtons::OkCancel);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM yhxx"), 3);

  Select(kUsers, 2);
  ui_->QueueAnswer(true);
  Menu(kUsers, "删除用户");
  EXPECT_EQ(Rows(kUsers), (ListRows{{"1", "wxid_b", "乙", "5", "", ""}}));
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 订单列表"), 1);
}

class OrdersPageTest : public test::WindowTest {
 protected:
  void SeedOrders() {
    const char* statuses[] = {"进行中", "已完成", "已失败", "进行中"};
    for (int i = 0; i < 4; ++i)
      Exec("INSERT INTO 订单列表(微信id,微信昵称,订单名称,订单价格,邀请码,状态,时间) VALUES(?,?,?,?,?,?,?)",
           {"wxid_" + std::to_string(i), std::string("昵称"), std::string("商品"), std::string("10"),
            "code" + std::to_string(i), std::string(statuses[i]), std::string("2024年3月5日")});
  }
  std::vector<std::string> Codes() {
    std::vector<std::string> codes;
    for (const ListRow& r : Rows(kOrders)) codes.push_back(r[5]);
    return codes;
  }
};

TEST_F(OrdersPageTest, EveryVisitListsAllOrders) {
  SeedOrders();
  Page(4);
  ASSERT_EQ(Rows(kOrders).size(), 4u);
  EXPECT_EQ(Rows(kOrders)[0],
            (ListRow{"1", "wxid_0", "昵称", "商品", "10", "code0", "进行中", "2024年3月5日"}));
  Exec("DELETE FROM 订单列表 WHERE 邀请码='code0'");
  Page(0);
  Page(4);
  EXPECT_EQ(Rows(kOrders).size(), 3u);
}

TEST_F(OrdersPageTest, FilterByStatusAndSwitchBackListsAll) {
  SeedOrders();
  Page(4);
  struct Case {
    int index;
    std::vector<std::string> codes;
  };
  for (const Case& c : {Case{1, {"code0", "code3"}}, Case{2, {"code1"}}, Case{3, {"code2"}},
                        Case{0, {"code0", "code1", "code2", "code3"}}}) {
    Choose("组合框_订单状态", c.index);
    EXPECT_EQ(Codes(), c.codes) << c.index;
    for (size_t i = 0; i < Rows(kOrders).size(); ++i) EXPECT_EQ(Rows(kOrders)[i][0], std::to_string(i + 1));
  }
  Choose("组合框_订单状态", 3);
  Page(1);
  Page(4);
  EXPECT_EQ(Codes().size(), 4u);
  EXPECT_EQ(ui_->ComboIndex("组合框_订单状态"), 3);
}

TEST_F(OrdersPageTest, NoOrdersGivesEmptyListsAndAFailedFilterKeepsTheList) {
  Page(4);
  for (int i = 0; i < 4; ++i) {
    Choose("组合框_订单状态", i);
    EXPECT_TRUE(Rows(kOrders).empty());
  }
  SeedOrders();
  Page(0);
  Page(4);
  {
    std::lock_guard<std::recursive_mutex> lock(PluginLock());
    PluginDb().Close();
  }
  Choose("组合框_订单状态", 1);
  EXPECT_EQ(Rows(kOrders).size(), 4u);
}

}  // namespace
}  // namespace quorvel
